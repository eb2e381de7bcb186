// Test support: starts a date call of the given mode the way its date
// function does, with the resets of that function.
#pragma once
#include "call/popup_state.h"

inline void resetForMode(PopupMode mode) {
  if (mode == DateRange)
    resetForCalPopup2();
  else if (mode == YearView)
    resetForYearPopup();
  else
    resetForCalPopup();
  popupState.mode = mode;
}
