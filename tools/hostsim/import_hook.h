// Replaces one function that a loaded module imports by rewriting its entry
// in the module's import address table, and puts the original back when
// destroyed. Tests and hostsim use it to make one platform call of the
// plug-in fail at a chosen moment, which the platform itself cannot be made
// to do on demand.
#pragma once
#include <windows.h>

#include <cstring>

class ImportHook {
 public:
  // `dll` is compared ignoring case ("advapi32.dll"); installed() is false
  // when the module does not import `function` from it by name.
  ImportHook(HMODULE module, const char* dll, const char* function, const void* replacement) {
    BYTE* base = reinterpret_cast<BYTE*>(module);
    const IMAGE_NT_HEADERS* nt =
        reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); entry->Name;
         ++entry) {
      if (lstrcmpiA(reinterpret_cast<const char*>(base + entry->Name), dll) != 0) continue;
      auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(
          base + (entry->OriginalFirstThunk ? entry->OriginalFirstThunk : entry->FirstThunk));
      auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
      for (; names->u1.AddressOfData; ++names, ++slots) {
        if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
        auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
        if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0) continue;
        slot_ = reinterpret_cast<const void**>(&slots->u1.Function);
        original_ = *slot_;
        write(replacement);
        return;
      }
    }
  }
  ~ImportHook() {
    if (slot_) write(original_);
  }
  ImportHook(const ImportHook&) = delete;
  ImportHook& operator=(const ImportHook&) = delete;

  bool installed() const { return slot_ != nullptr; }

 private:
  void write(const void* value) {
    DWORD protection;
    VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &protection);
    *slot_ = value;
    VirtualProtect(slot_, sizeof *slot_, protection, &protection);
  }

  const void** slot_ = nullptr;
  const void* original_ = nullptr;
};

// A function as `dll` exports it, past any import table a hook rewrote: what
// a hook calls on to.
template <typename Function>
Function exportedFunction(const char* dll, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(dll), name)));
}
