// The time popup's parameter scan. Fields, separated by '|':
//   0 left, 1 top        first 5 characters each, read later as numbers
//   2 24-hour switch     "2", or anything ending in "24", selects 0-23 hours
//   3 minute step        first two digits; used when it divides 60
//   4 initial time       "9:30 PM" or "21:30": only its first 8 positions
// Later fields are ignored. Nothing is refused: what does not fit a field's
// rule leaves that setting at its default.
#include "popups/time_parameters.h"

#include <cstdio>
#include <cstring>

#include "call/popup_state.h"
#include "common/text.h"

namespace {

enum TimeField { LeftField = 0, TopField, TwentyFourField, StepField, TimeOfDayField };

constexpr int32_t kPositionChars = 5;
constexpr int32_t kTimePositions = 8;

// One character of the initial time at position `position` of its field.
void scanTimeCharacter(char c, int32_t position) {
  PopupState& s = popupState;
  if (c == ':') return;  // skipped, but it still takes its position
  if (position < 2) {
    // The hour keeps the column it was typed in, so ":5" leaves an empty hour.
    s.hourText[position] = c;
    return;
  }
  if (position <= 4 && std::strlen(s.minuteText) < 2) {
    appendChar(s.minuteText, c);
    return;
  }
  if (c == 'A') copyText(s.meridiemText, "AM");
  if (c == 'P') copyText(s.meridiemText, "PM");
}

// Converts the scanned hour to the list's form: 0-23 in 24-hour form,
// 12 and 1-11 with a marker otherwise.
void convertHour() {
  PopupState& s = popupState;
  int32_t hour = readDecimal(s.hourText);
  bool pm = std::strcmp(s.meridiemText, "PM") == 0;
  if (s.use24Hour) {
    if (pm && hour >= 1 && hour <= 11) hour += 12;
    else if (!pm && hour == 12) hour = 0;
  } else if (hour == 0 || hour == 24) {
    hour = 12;
    copyText(s.meridiemText, "AM");
  } else if (hour > 12) {
    hour -= 12;
    copyText(s.meridiemText, "PM");
  }
  clearText(s.hourText);
  std::snprintf(s.hourText, sizeof s.hourText, "%d", static_cast<int>(hour));
}

}  // namespace

void scanTimeParameters(const char* chars, int32_t length) {
  if (length <= 0) return;
  PopupState& s = popupState;
  char stepText[3] = {};
  int32_t field = LeftField;
  int32_t count = 0;      // characters kept or examined in the current field
  char previous = '\0';   // the field's previous character (24-hour switch)

  for (int32_t i = 0; i < length; ++i) {
    char c = chars[i];
    if (c == '|') {
      ++field;
      count = 0;
      previous = '\0';
      continue;
    }
    switch (field) {
      case LeftField:
      case TopField:
        if (count < kPositionChars) {
          appendChar(field == LeftField ? s.leftText : s.topText, sizeof s.leftText, c);
          ++count;
        }
        break;
      case TwentyFourField:
        s.use24Hour = (c == '2' && count == 0) || (c == '4' && previous == '2');
        ++count;
        break;
      case StepField:
        if (c >= '0' && c <= '9') appendChar(stepText, c);
        break;
      case TimeOfDayField:
        if (count < kTimePositions) scanTimeCharacter(c, count);
        ++count;
        break;
      default:
        break;
    }
    previous = c;
  }

  if (stepText[0] != '\0') {
    int32_t step = readDecimal(stepText);
    if (step >= 1 && step <= 60 && 60 % step == 0) s.minuteStep = step;
  }
  convertHour();
  if (s.leftText[0] != '\0') s.settings.locationX = readDecimal(s.leftText);
  if (s.topText[0] != '\0') s.settings.locationY = readDecimal(s.topText);
}
