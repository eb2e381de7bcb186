// The call state's one instance and the resets of each popup function.
#include "call/popup_state.h"

#include "common/text.h"

PopupState popupState;  // zero-initialised static storage

namespace {

// Fields every date function clears, whatever its layout.
void resetDateCall(PopupMode mode, int32_t cellCount) {
  PopupState& s = popupState;
  s.mode = mode;
  s.cellCount = cellCount;
  clearText(s.resultText);
  clearText(s.initialDate1);
  clearText(s.leftText);
  clearText(s.topText);
  clearText(s.month1);
  clearText(s.day1);
  clearText(s.year1);
}

void clearRightCalendar() {
  clearText(popupState.month2);
  clearText(popupState.day2);
  clearText(popupState.year2);
}

}  // namespace

void resetForCalPopup() {
  resetDateCall(SingleDate, kCellsPerSlot);
  clearText(popupState.initialDate2);
}

void resetForCalPopup2() {
  resetDateCall(DateRange, 2 * kCellsPerSlot);
  clearText(popupState.initialDate2);
  clearRightCalendar();
  clearText(popupState.pick1);
  clearText(popupState.pick2);
}

void resetForYearPopup() {
  resetDateCall(YearView, kGridCells);
  clearRightCalendar();
}

void resetForTimePopup() {
  PopupState& s = popupState;
  clearText(s.leftText);
  clearText(s.topText);
  clearText(s.timeResult);
  clearText(s.hourText);
  clearText(s.minuteText);
  clearText(s.meridiemText);
  s.minuteStep = 5;
  s.use24Hour = 0;
}
