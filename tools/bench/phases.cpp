#include "phases.h"

#include <cstring>

#include "dates/date_text.h"
#include "popups/calendar_window_win32.h"
#include "popups/call_parameters.h"
#include "call/popup_state.h"
#include "popups/time_parameters.h"
#include "popups/time_popup_win32.h"
#include "resources/resource_ids.h"
#include "settings/preferences_window_win32.h"
#include "settings/settings_store.h"
#include "settings/theme_objects.h"

namespace {

// The dialog procedure being timed and the moments the wrapper records.
DLGPROC realProc = nullptr;
double initStart = 0, initEnd = 0;
double drawing = 0;  // µs inside the dialog procedure's WM_PAINT

INT_PTR CALLBACK timedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    const double start = nowMicroseconds();
    const INT_PTR result = realProc(window, message, wParam, lParam);
    drawing += nowMicroseconds() - start;
    return result;
  }
  if (message != WM_INITDIALOG) return realProc(window, message, wParam, lParam);
  initStart = nowMicroseconds();
  const INT_PTR result = realProc(window, message, wParam, lParam);
  initEnd = nowMicroseconds();
  return result;
}

// The date call's steps before its window, as the plug-in makes them.
void prepareDateCall(int function, const std::string& parameter, PhaseTimes& times) {
  const double start = nowMicroseconds();
  if (function == 3) resetForCalPopup2();
  else if (function == 5) resetForYearPopup();
  else resetForCalPopup();
  loadSettings();
  char buffer[200] = {};
  std::strncpy(buffer, parameter.c_str(), sizeof buffer - 1);
  if (buffer[0]) applyParameters(buffer);
  readInitialDates(todayLocal());
  if (popupState.mode == SingleDate && popupState.settings.selectionMethod == 1)
    std::strcpy(popupState.resultText, popupState.initialDate1);
  popupState.dialogReady = 0;
  const double settingsRead = nowMicroseconds();
  createThemeObjects();
  const double objectsMade = nowMicroseconds();
  times.settings = settingsRead - start;
  times.fonts = objectsMade - settingsRead;
}

}  // namespace

namespace {

// Runs `openWindow` (which opens one dialog with timedProc) as a timed cycle
// and splits it at the moments timedProc and the owner record, into `times`
// (whose settings and fonts openWindow may fill).
PhaseTimes timeCycle(CycleOwner& owner, const std::function<void(double& dialogCalled)>& openWindow,
                     PhaseTimes& times) {
  double dialogCalled = 0, painted = 0;
  owner.onPainted = [&](double at) { painted = at; };
  drawing = 0;
  const CycleTimes cycle = owner.run([&] { openWindow(dialogCalled); });
  owner.onPainted = nullptr;
  times.ok = cycle.ok;
  if (cycle.ok) {
    times.creation = initStart - dialogCalled;
    times.init = initEnd - initStart;
    times.paint = painted - initEnd;
    times.drawing = drawing;
    times.close = cycle.closed;
  }
  return times;
}

}  // namespace

PhaseTimes timePhases(CycleOwner& owner, HMODULE fmx, PhaseWindow window, int function,
                      const std::string& parameter) {
  PhaseTimes times;
  return timeCycle(
      owner,
      [&](double& dialogCalled) {
        int templateId = 0;
        if (window == PhaseWindow::Date) {
          prepareDateCall(function, parameter, times);
          realProc = calendarWindowProc;
        } else if (window == PhaseWindow::Time) {
          resetForTimePopup();
          popupState.settings.locationX = 0;
          popupState.settings.locationY = 0;
          scanTimeParameters(parameter.data(), static_cast<int32_t>(parameter.size()));
          templateId = IDD_SET_TIME;
          realProc = setTimeProc;
        } else {
          templateId = IDD_PREFERENCES;
          realProc = preferencesWindowProc;
        }
        dialogCalled = nowMicroseconds();
        if (window == PhaseWindow::Date) runCalendarWindow(fmx, owner.hwnd(), timedProc);
        else DialogBoxParamA(fmx, MAKEINTRESOURCEA(templateId), owner.hwnd(), timedProc, 0);
      },
      times);
}

PhaseTimes timePeerPhases(CycleOwner& owner, const PeerDialogs& peers, PeerKind kind) {
  PhaseTimes times;
  return timeCycle(
      owner,
      [&](double& dialogCalled) {
        realProc = PeerDialogs::procedure();
        dialogCalled = nowMicroseconds();
        peers.run(kind, owner.hwnd(), timedProc);
      },
      times);
}
