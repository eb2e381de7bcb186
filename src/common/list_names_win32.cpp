#include "common/list_names_win32.h"

#include <ole2.h>
#include <oleacc.h>

namespace {

// Runs `use` with the platform's annotation service. COM is started on this
// thread for the call when the host has not started it, and ended again, so
// the host's thread comes back in the state it was in. On a thread of the
// multithreaded apartment (RPC_E_CHANGED_MODE) the service is used there.
template <typename Use>
void withAnnotations(Use use) {
  const HRESULT started = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  IAccPropServices* services = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                 reinterpret_cast<void**>(&services)))) {
    use(services);
    services->Release();
  }
  if (SUCCEEDED(started)) CoUninitialize();
}

}  // namespace

void nameLists(HWND window, const ListName* names, int count) {
  withAnnotations([&](IAccPropServices* services) {
    for (int i = 0; i < count; ++i)
      services->SetHwndPropStr(GetDlgItem(window, names[i].id), static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                               PROPID_ACC_NAME, names[i].name);
  });
}

void clearListNames(HWND window, const ListName* names, int count) {
  withAnnotations([&](IAccPropServices* services) {
    for (int i = 0; i < count; ++i)
      services->ClearHwndProps(GetDlgItem(window, names[i].id), static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                               &PROPID_ACC_NAME, 1);
  });
}
