#include "common/com_objects_win32.h"

LONG liveComObjects = 0;

namespace {

HMODULE heldModule = nullptr;  // the module's reference to itself

}  // namespace

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
