#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "call/popup_state.h"

namespace {

// Fills every text field whole with 'x' (no terminator inside) and every
// number with a marker, so a reset that clears only the first byte shows.
void soil() {
  std::memset(&popupState, 'x', sizeof popupState);
  popupState.hostCall = nullptr;
}

bool wholeFieldClear(const char* field, size_t size) {
  for (size_t i = 0; i < size; ++i)
    if (field[i] != '\0') return false;
  return true;
}

bool untouched(const char* field, size_t size) {
  for (size_t i = 0; i < size; ++i)
    if (field[i] != 'x') return false;
  return true;
}

#define FIELD(name) #name, popupState.name, sizeof popupState.name

struct TextField {
  const char* name;
  char* data;
  size_t size;
};

TEST(PopupState, EachFunctionResetsItsOwnFieldsWhole) {
  const TextField fields[] = {
      {FIELD(resultText)}, {FIELD(initialDate1)}, {FIELD(initialDate2)}, {FIELD(leftText)},
      {FIELD(topText)},    {FIELD(month1)},       {FIELD(day1)},         {FIELD(year1)},
      {FIELD(month2)},     {FIELD(day2)},         {FIELD(year2)},        {FIELD(pick1)},
      {FIELD(pick2)},      {FIELD(timeResult)},   {FIELD(hourText)},     {FIELD(minuteText)},
      {FIELD(meridiemText)},
  };
  // Which fields each reset clears, in the order of the table above.
  struct Reset {
    const char* name;
    std::function<void()> run;
    const char* cleared;  // one letter per field: c cleared, - untouched
  } resets[] = {
      {"CalPopup", resetForCalPopup,   "cccccccc-----" "----"},
      {"CalPopup2", resetForCalPopup2, "ccccccccccccc" "----"},
      {"YearPopup", resetForYearPopup, "cc-cccccccc--" "----"},
      {"TimePopup", resetForTimePopup, "---cc--------" "cccc"},
  };
  for (const Reset& reset : resets) {
    soil();
    reset.run();
    for (size_t i = 0; i < sizeof fields / sizeof fields[0]; ++i) {
      const TextField& f = fields[i];
      if (reset.cleared[i] == 'c')
        EXPECT_TRUE(wholeFieldClear(f.data, f.size)) << reset.name << " should clear " << f.name;
      else
        EXPECT_TRUE(untouched(f.data, f.size)) << reset.name << " should leave " << f.name;
    }
  }
}

TEST(PopupState, ModesCellCountsAndTimeDefaults) {
  struct Case { std::function<void()> reset; PopupMode mode; int cells; } cases[] = {
      {resetForCalPopup, SingleDate, 49}, {resetForCalPopup2, DateRange, 98}, {resetForYearPopup, YearView, 588},
  };
  for (const Case& c : cases) {
    soil();
    c.reset();
    EXPECT_EQ(popupState.mode, c.mode);
    EXPECT_EQ(popupState.cellCount, c.cells);
  }
  popupState.mode = DateRange;
  popupState.cellCount = 98;
  popupState.minuteStep = 15;
  popupState.use24Hour = 1;
  resetForTimePopup();
  EXPECT_EQ(popupState.minuteStep, 5);
  EXPECT_EQ(popupState.use24Hour, 0);
  EXPECT_EQ(popupState.mode, DateRange) << "the time popup leaves the date call's mode";
  EXPECT_EQ(popupState.cellCount, 98);
}

}  // namespace
