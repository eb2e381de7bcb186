#include "common/com_objects_win32.h"

LONG liveComObjects = 0;

namespace {

HMODULE heldModule = nullptr;  // the module's reference to itself

// The annotation service and its interface, defined here as for kIAccIdentity.
const CLSID kAccPropServices = {0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
const IID kIAccPropServices = {0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};

}  // namespace

HRESULT composeIdentity(HWND window, LONG objectId, LONG childId, BYTE** out, DWORD* size) {
  *out = nullptr;
  *size = 0;
  // Asked on the window's thread, whose apartment the window's object began
  // or found: the service is made there.
  IAccPropServices* services = nullptr;
  if (SUCCEEDED(CoCreateInstance(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIAccPropServices,
                                 reinterpret_cast<void**>(&services)))) {
    const HRESULT hr = services->ComposeHwndIdentityString(window, static_cast<DWORD>(objectId),
                                                           static_cast<DWORD>(childId), out, size);
    services->Release();
    if (SUCCEEDED(hr) && *out) return S_OK;
    *out = nullptr;
    *size = 0;
  }
  const DWORD parts[3] = {static_cast<DWORD>(reinterpret_cast<UINT_PTR>(window)), static_cast<DWORD>(objectId),
                          static_cast<DWORD>(childId)};
  *out = static_cast<BYTE*>(CoTaskMemAlloc(sizeof parts));
  if (!*out) return E_OUTOFMEMORY;
  CopyMemory(*out, parts, sizeof parts);
  *size = sizeof parts;
  return S_OK;
}

void holdModuleWhileObjectsLive() {
  if (liveComObjects > 0 && !heldModule)
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&liveComObjects),
                       &heldModule);
}

void releaseModuleHoldWhenUnused() {
  if (!heldModule || liveComObjects > 0) return;
  HMODULE held = heldModule;
  heldModule = nullptr;
  FreeLibrary(held);
}
