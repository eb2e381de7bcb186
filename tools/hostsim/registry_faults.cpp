#include "registry_faults.h"

#include <sddl.h>

#include "import_hook.h"

namespace {

// The names refused by the one ValueRefusal in place.
std::vector<std::string> refusedNames;

LONG WINAPI refuseListedValues(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) {
  for (const std::string& refused : refusedNames)
    if (name && lstrcmpiA(name, refused.c_str()) == 0) return ERROR_NOT_ENOUGH_QUOTA;
  return RegSetValueExA(key, name, reserved, type, data, size);
}

// Sets the permissions of HKEY_LOCAL_MACHINE\`path`: everyone may do
// anything, or the same except set values.
bool setKeyWritable(const std::string& path, bool writable) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, WRITE_DAC, &key) != ERROR_SUCCESS) return false;
  PSECURITY_DESCRIPTOR sd = nullptr;
  LONG status = ERROR_INVALID_PARAMETER;
  // 0x2 is KEY_SET_VALUE; KA is every right.
  if (ConvertStringSecurityDescriptorToSecurityDescriptorA(writable ? "D:(A;;KA;;;WD)" : "D:(D;;0x2;;;WD)(A;;KA;;;WD)",
                                                           SDDL_REVISION_1, &sd, nullptr)) {
    status = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd);
    LocalFree(sd);
  }
  RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

}  // namespace

KeyWriteDenial::KeyWriteDenial(const std::string& path) : path_(path), denied_(setKeyWritable(path, false)) {}

KeyWriteDenial::~KeyWriteDenial() {
  if (denied_) setKeyWritable(path_, true);
}

ValueRefusal::ValueRefusal(HMODULE module, const std::vector<std::string>& names) {
  refusedNames = names;
  hook_.reset(new ImportHook(module, "advapi32.dll", "RegSetValueExA", reinterpret_cast<const void*>(refuseListedValues)));
}

ValueRefusal::~ValueRefusal() {
  hook_.reset();
  refusedNames.clear();
}

bool ValueRefusal::installed() const { return hook_->installed(); }
