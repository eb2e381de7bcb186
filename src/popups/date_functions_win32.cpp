// "XELM CalPopup", "XELM CalPopup2" and "XELM YearPopup": one flow from the
// host's call to the returned text, run for the mode each function resets.
//   reset -> stored settings -> parameter overrides -> initial dates ->
//   fonts and brushes -> calendar window (modal) -> result text.
// The result is what the window left in resultText: a date, a range joined
// by "...", or an empty text when the user cancelled or the window could not
// be shown. CalPopup alone falls back on the caller's initial date once its
// window was confirmed (see runDateCall).
#include "popups/date_functions_win32.h"

#include <windows.h>

#include "call/host_interface.h"
#include "call/popup_state.h"
#include "common/text.h"
#include "dates/date_text.h"
#include "popups/calendar_window_win32.h"
#include "popups/call_parameters.h"
#include "resources/resource_ids.h"
#include "settings/settings_store.h"
#include "settings/theme_objects.h"

namespace {

// Parameter texts are read into a fixed buffer; a longer text is cut to its
// first 199 characters, which is more than all eleven fields can use.
const size_t kParameterBufferSize = 200;

// Runs the calendar window after `reset` has set the mode and cleared the
// call's fields, and hands its result to the host.
//
// CalPopup (SingleDate) under Command Buttons starts with the initial date
// in resultText, so OK without a pick returns it; and when the window was
// confirmed with nothing in resultText (a list change emptied it) and the
// caller's initial date was readable, that date text is returned as given.
void runDateCall(void (*reset)(), TextHandle parameter, TextHandle result) {
  PopupState& s = popupState;
  reset();
  loadSettings();  // needs the mode: the scale depends on it
  char buffer[kParameterBufferSize];
  if (copyParameter(parameter, buffer, sizeof buffer) > 0) applyParameters(buffer);

  const int initialGiven = readInitialDates(todayLocal());
  const bool singleDate = s.mode == SingleDate;
  if (singleDate && s.settings.selectionMethod == 1) copyText(s.resultText, s.initialDate1);

  s.dialogReady = 0;
  createThemeObjects();
  const INT_PTR ended = runCalendarWindow(moduleInstance(), GetActiveWindow());
  // A window that could not be created never reached its destruction, which
  // is where the fonts and brushes are otherwise released. Nobody saw a date
  // in it, so nothing is returned, as after a cancel.
  if (ended == -1) {
    releaseThemeObjects();
    clearText(s.resultText);
  }

  if (singleDate && s.resultText[0] == '\0' && initialGiven == 1 && ended == 0)
    copyText(s.resultText, s.initialDate1);
  setResultText(result, s.resultText);
}

}  // namespace

void CalPopup(TextHandle parameter, TextHandle result) { runDateCall(resetForCalPopup, parameter, result); }
void CalPopup2(TextHandle parameter, TextHandle result) { runDateCall(resetForCalPopup2, parameter, result); }
void YearPopup(TextHandle parameter, TextHandle result) { runDateCall(resetForYearPopup, parameter, result); }
