// Feeds one parameter text to every date popup mode, over settings loaded
// with each date style (and damaged style and size values that only a
// hand-edited registry could give), then reads the initial dates and checks
// the range order. Besides the sanitizers it checks the readers' contracts.
#include <cstdint>
#include <string>

#include "../common/popup_calls.h"
#include "call/popup_state.h"
#include "common/text.h"
#include "dates/date_text.h"
#include "fuzz_checks.h"
#include "popups/call_parameters.h"

namespace {

const LocalDate kToday = {2004, 3, 7};

void startCall(PopupMode mode, int32_t style, int32_t sizeIndex) {
  resetForMode(mode);
  PopupSettings& s = popupState.settings;
  s = PopupSettings{};
  s.dateStyle = style;
  s.sizeIndex = sizeIndex;
  s.scale = 1.0f;
}

void checkTexts() {
  const PopupState& s = popupState;
  FUZZ_CHECK(terminated(s.settings.title));
  FUZZ_CHECK(terminated(s.initialDate1) && terminated(s.initialDate2));
  FUZZ_CHECK(terminated(s.month1) && terminated(s.day1) && terminated(s.year1));
  FUZZ_CHECK(terminated(s.month2) && terminated(s.day2) && terminated(s.year2));
  FUZZ_CHECK(strnlen(s.leftText, sizeof s.leftText) <= 4 && strnlen(s.topText, sizeof s.topText) <= 4);
}

// Today stands in: the calendar shows today's month, day and year.
bool showsToday(const char* month, const char* day, const char* year) {
  return readDecimal(month) == kToday.month && readDecimal(day) == kToday.day && readDecimal(year) == kToday.year;
}

void checkReading(PopupMode mode, int taken) {
  const PopupState& s = popupState;
  if (mode == YearView) {
    FUZZ_CHECK(taken == 0);
    int32_t year = readDecimal(s.year1);
    FUZZ_CHECK(year >= 1900 && year <= 2100);
    return;
  }
  bool right = mode == DateRange;
  const char* month = right ? s.month2 : s.month1;
  if (taken == 1) {
    FUZZ_CHECK(s.settings.dateStyle >= 0 && s.settings.dateStyle <= 2);
    FUZZ_CHECK(std::strlen(month) == 1 || std::strlen(month) == 2);
  } else {
    FUZZ_CHECK(taken == 0);
    FUZZ_CHECK(showsToday(month, right ? s.day2 : s.day1, right ? s.year2 : s.year1));
  }
}

// Whatever the picks hold, the order check is total: a pair out of order is
// in order the other way round.
void checkOrder() {
  PopupState& s = popupState;
  copyText(s.pick1, s.initialDate1);
  copyText(s.pick2, s.initialDate2);
  if (rangeInOrder()) return;
  copyText(s.pick1, s.initialDate2);
  copyText(s.pick2, s.initialDate1);
  FUZZ_CHECK(rangeInOrder());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);  // terminated copy
  const PopupMode modes[] = {SingleDate, DateRange, YearView};
  const int32_t styles[] = {StyleMonthFirst, StyleDayFirst, StyleYearFirst, 3, -1};
  for (PopupMode mode : modes) {
    for (int32_t style : styles) {
      startCall(mode, style, style);
      applyParameters(text.c_str());
      checkTexts();
      checkReading(mode, readInitialDates(kToday));
      checkTexts();
      checkOrder();
    }
  }
  return 0;
}
