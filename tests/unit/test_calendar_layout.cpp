#include <gtest/gtest.h>

#include "call/popup_state.h"
#include "popups/calendar_layout.h"

namespace {

TEST(CalendarLayout, ProductsOfTheSingleFactorTruncate) {
  struct Case {
    int32_t value;
    float scale;
    int32_t expected;
  } cases[] = {
      {530, 0.9f, 476},  // exactly 477 in decimal, just below it in binary
      {10, 0.9f, 8},     {530, 1.0f, 530}, {530, 0.75f, 397}, {0, 0.9f, 0},
      {795, 0.75f, 596}, {-10, 0.9f, -8},  // toward zero
  };
  for (const Case& c : cases) EXPECT_EQ(scaleTruncated(c.value, c.scale), c.expected) << c.value << " x " << c.scale;
}

// A 250 x 150 client area, narrowed to (0, 20, 245, 139).
TEST(CalendarLayout, YearViewSlotCorners) {
  const CellRect narrowed = {0, 20, 245, 139};
  struct Case {
    int slot;
    float scale;
    int32_t top, left;
  } cases[] = {
      {1, 1.0f, 20, 0},     {2, 1.0f, 20, 265},   {3, 1.0f, 20, 530},   {4, 1.0f, 159, 0},
      {7, 1.0f, 298, 0},    {12, 1.0f, 437, 530}, {3, 0.9f, 20, 476},   {6, 0.9f, 145, 476},
      {12, 0.9f, 395, 476}, {3, 0.75f, 20, 397},  {12, 0.75f, 332, 397},
  };
  for (const Case& c : cases) {
    int32_t top = 0, left = 0;
    yearViewSlotCorner(narrowed, c.slot, c.scale, &top, &left);
    EXPECT_EQ(top, c.top) << "slot " << c.slot << " x " << c.scale;
    EXPECT_EQ(left, c.left) << "slot " << c.slot << " x " << c.scale;
  }
}

TEST(CalendarLayout, WindowSizes) {
  struct Case {
    int mode;
    float scale;
    bool buttons;
    int32_t width, height;
  } cases[] = {
      {SingleDate, 1.0f, false, 256, 178}, {SingleDate, 1.0f, true, 256, 208},
      {DateRange, 1.0f, false, 524, 178},  {DateRange, 1.0f, true, 524, 208},
      {YearView, 1.0f, false, 786, 647},   {YearView, 0.9f, false, 707, 582},
      {YearView, 0.75f, true, 589, 515},
  };
  for (const Case& c : cases) {
    int32_t width = 0, height = 0;
    calendarWindowSize(c.mode, 256, 178, c.scale, c.buttons, &width, &height);
    EXPECT_EQ(width, c.width) << c.mode << " " << c.scale;
    EXPECT_EQ(height, c.height) << c.mode << " " << c.scale;
  }
}

}  // namespace
