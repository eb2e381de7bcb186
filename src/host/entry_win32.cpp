// The plug-in's one export: records the host's call and acts on its kind:
// the initialisation, one of the six external functions by index, or the
// Preferences window.
#include "call/host_call.h"
#include "call/popup_state.h"
#include "host/version_win32.h"
#include "popups/date_functions_win32.h"
#include "popups/time_popup_win32.h"
#include "settings/preferences_window_win32.h"

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
