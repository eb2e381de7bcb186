#include "common/list_names_win32.h"

#include <ole2.h>
#include <oleacc.h>

namespace {

// The service, its interface and the name property, defined here: libuuid
// defines them in one object with 2,000 other identifiers (30 KB).
const CLSID kAccPropServices = {0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
const IID kIAccPropServices = {0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
const MSAAPROPID kAccName = {0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};
const MSAAPROPID kLiveSetting = {0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
const LONG kPolite = 1;  // LiveSetting's Polite

// Runs `use` with the platform's annotation service. COM is started on this
// thread for the call when the host has not started it, and ended again, so
// the host's thread comes back in the state it was in. On a thread of the
// multithreaded apartment (RPC_E_CHANGED_MODE) the service is used there.
template <typename Use>
void withAnnotations(Use use) {
  const HRESULT started = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  IAccPropServices* services = nullptr;
  if (SUCCEEDED(CoCreateInstance(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIAccPropServices,
                                 reinterpret_cast<void**>(&services)))) {
    use(services);
    services->Release();
  }
  if (SUCCEEDED(started)) CoUninitialize();
}

}  // namespace

void nameLists(HWND window, const ListName* names, int count, long politeChild) {
  withAnnotations([&](IAccPropServices* services) {
    for (int i = 0; i < count; ++i)
      services->SetHwndPropStr(GetDlgItem(window, names[i].id), static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                               kAccName, names[i].name);
    if (politeChild == 0) return;
    VARIANT polite;
    VariantInit(&polite);
    polite.vt = VT_I4;
    polite.lVal = kPolite;
    services->SetHwndProp(window, static_cast<DWORD>(OBJID_CLIENT), static_cast<DWORD>(politeChild), kLiveSetting,
                          polite);
  });
}

void clearListNames(HWND window, const ListName* names, int count, long politeChild) {
  withAnnotations([&](IAccPropServices* services) {
    for (int i = 0; i < count; ++i)
      services->ClearHwndProps(GetDlgItem(window, names[i].id), static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                               &kAccName, 1);
    if (politeChild != 0)
      services->ClearHwndProps(window, static_cast<DWORD>(OBJID_CLIENT), static_cast<DWORD>(politeChild),
                               &kLiveSetting, 1);
  });
}
