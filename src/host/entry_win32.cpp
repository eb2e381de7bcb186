// The plug-in's one export: records the host's call and acts on its kind:
// the initialisation, one of the six external functions by index, or the
// Preferences window.
#include "call/host_call.h"
#include "call/popup_state.h"
#include "common/com_objects_win32.h"
#include "host/version_win32.h"
#include "popups/date_functions_win32.h"
#include "popups/time_popup_win32.h"
#include "settings/preferences_window_win32.h"

namespace {

typedef void (*FunctionBody)(TextHandle parameter, TextHandle result);

struct ExternalFunction {
  FunctionBody run;
  bool opensWindow;  // runs a modal window inside the call
};

// Indexed by the host's function index (string 144 + index).
const ExternalFunction functionTable[] = {
    {VOVUVAVersion, false}, {Version, false},  {CalPopup, true},
    {CalPopup2, true},      {TimePopup, true}, {YearPopup, true},
};
const uint32_t functionCount = sizeof(functionTable) / sizeof(functionTable[0]);

// True while a call runs one of the plug-in's modal windows. The host handles
// its own messages (timers, script triggers) in that window's loop and may
// call again from them; the one call state serves one window at a time.
bool windowOpen = false;

// Runs `openWindow`, which shows one of the plug-in's modal windows, unless
// one is open already: then it sounds the default beep and does nothing else,
// as for an unknown function, so the open window, its state and its result
// stay as they are.
template <typename OpenWindow>
void runAsOnlyWindow(OpenWindow openWindow) {
  if (windowOpen) {
    MessageBeep(0);
    return;
  }
  windowOpen = true;
  openWindow();
  windowOpen = false;
}

// Accepts host interface versions 4 to 255 and answers 4; -1 refuses.
int32_t initialise(int16_t hostVersion) { return (hostVersion < 4 || hostVersion > 255) ? -1 : 4; }

void dispatch(HostCall* call) {
  if (call->functionIndex >= functionCount) {
    MessageBeep(0);
    return;
  }
  const ExternalFunction& function = functionTable[call->functionIndex];
  auto run = [&] { function.run(call->parameterText, call->resultText); };
  if (function.opensWindow) runAsOnlyWindow(run);
  else run();
}

}  // namespace

extern "C" __declspec(dllexport) void FMExternCallProc(HostCall* call) {
  // A call made from an open window's loop nests inside the call that opened
  // the window. Each answers through its own record: the outer record is back
  // in place when the nested call returns, and none is kept between calls,
  // since the host may reuse a record's memory once its call has returned.
  releaseModuleHoldWhenUnused();
  HostCall* const outerCall = popupState.hostCall;
  popupState.hostCall = call;
  switch (call->callKind) {
    case CallInitialise:
      call->initResult = initialise(call->hostVersion);
      break;
    case CallFunction:
      dispatch(call);
      break;
    case CallPreferences:
      runAsOnlyWindow(runPreferencesWindow);
      break;
    default:
      break;
  }
  popupState.hostCall = outerCall;
}
