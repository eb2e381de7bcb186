// The plug-in's one export: records the host's call and acts on its kind.
#include "host/host_functions.h"
#include "popups/popup_state.h"

namespace {

typedef void (*ExternalFunction)(TextHandle parameter, TextHandle result);

// Indexed by the host's function index (string 144 + index).
const ExternalFunction functionTable[] = {
    VOVUVAVersion, Version, CalPopup, CalPopup2, TimePopup, YearPopup,
};
const uint32_t functionCount = sizeof(functionTable) / sizeof(functionTable[0]);

// Accepts host interface versions 4 to 255 and answers 4; -1 refuses.
int32_t initialise(int16_t hostVersion) { return (hostVersion < 4 || hostVersion > 255) ? -1 : 4; }

void dispatch(HostCall* call) {
  if (call->functionIndex >= functionCount) {
    MessageBeep(0);
    return;
  }
  functionTable[call->functionIndex](call->parameterText, call->resultText);
}

}  // namespace

HINSTANCE moduleInstance() { return popupState.hostCall->moduleInstance; }

extern "C" __declspec(dllexport) void FMExternCallProc(HostCall* call) {
  popupState.hostCall = call;
  switch (call->callKind) {
    case CallInitialise:
      call->initResult = initialise(call->hostVersion);
      break;
    case CallFunction:
      dispatch(call);
      break;
    case CallPreferences:
      runPreferencesWindow();
      break;
    default:
      break;
  }
}
