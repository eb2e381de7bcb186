#include <gtest/gtest.h>

#include "call/popup_state.h"
#include "grid/month_grid.h"
#include "popups/calendar_layout.h"
#include "settings/theme_tables.h"

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

// Figures enlarged for the display truncate toward zero; 96 DPI and values
// no display has leave them as they are.
TEST(CalendarLayout, FiguresEnlargedForTheDisplay) {
  struct Case {
    int32_t pixels, dpi, expected;
  } cases[] = {
      {35, 96, 35},    {35, 120, 43},  {35, 144, 52},   {31, 144, 46},   {-59, 144, -88}, {-59, 120, -73},
      {7, 0, 7},       {7, -144, 7},   {7, 47, 7},      {7, 961, 7},     {1000000, 144, 1500000},
      {1, 120, 1},     {1, 192, 2},
  };
  for (const Case& c : cases) EXPECT_EQ(dpiScaled(c.pixels, c.dpi), c.expected) << c.pixels << " at " << c.dpi;
  // The window takes such a measured figure as 96 and every other as it is.
  struct Measured { int32_t dpi, accepted; } measured[] = {
      {0, 96}, {-144, 96}, {47, 96}, {961, 96}, {48, 48}, {144, 144}, {960, 960}};
  for (const Measured& m : measured) EXPECT_EQ(acceptedDpi(m.dpi), m.accepted) << m.dpi;
}

// Cells and fonts: the size factor's single-precision product truncated,
// then enlarged; the one-month client area that holds the enlarged grid.
TEST(CalendarLayout, CellsFontsAndClientPerSizeAndDpi) {
  struct Case {
    float scale;
    int32_t dpi, cellWidth, cellHeight, font14, font18;
  } cases[] = {
      {1.0f, 96, 35, 18, 14, 18},   {0.9f, 96, 31, 16, 12, 16},   {0.75f, 96, 26, 13, 10, 13},
      {1.0f, 144, 52, 27, 21, 27},  {0.9f, 144, 46, 24, 18, 24},  {0.75f, 120, 32, 16, 12, 16},
  };
  for (const Case& c : cases) {
    const CellSize size = cellSize(c.scale, c.dpi);
    EXPECT_EQ(size.width, c.cellWidth) << c.scale << " at " << c.dpi;
    EXPECT_EQ(size.height, c.cellHeight) << c.scale << " at " << c.dpi;
    EXPECT_EQ(fontHeight(14, c.scale, c.dpi), c.font14) << c.scale << " at " << c.dpi;
    EXPECT_EQ(fontHeight(18, c.scale, c.dpi), c.font18) << c.scale << " at " << c.dpi;
  }
  struct Client {
    int32_t dpi, width, height;
  } clients[] = {{96, 251, 150}, {120, 309, 186}, {144, 375, 230}};
  for (const Client& c : clients) {
    int32_t width = 0, height = 0;
    enlargedClientSize(c.dpi, &width, &height);
    EXPECT_EQ(width, c.width) << c.dpi;
    EXPECT_EQ(height, c.height) << c.dpi;
  }
}

// At 96 DPI a 250 x 150 client area, narrowed to (0, 20, 245, 139); at 144
// the enlarged 375 x 230 one, narrowed to (0, 30, 368, 214).
TEST(CalendarLayout, YearViewSlotCorners) {
  struct Case {
    int32_t dpi, clientWidth, clientHeight;
    int slot;
    float scale;
    int32_t top, left;
  } cases[] = {
      {96, 250, 150, 1, 1.0f, 20, 0},     {96, 250, 150, 2, 1.0f, 20, 265},    {96, 250, 150, 3, 1.0f, 20, 530},
      {96, 250, 150, 4, 1.0f, 159, 0},    {96, 250, 150, 7, 1.0f, 298, 0},     {96, 250, 150, 12, 1.0f, 437, 530},
      {96, 250, 150, 3, 0.9f, 20, 476},   {96, 250, 150, 6, 0.9f, 145, 476},   {96, 250, 150, 12, 0.9f, 395, 476},
      {96, 250, 150, 3, 0.75f, 20, 397},  {96, 250, 150, 12, 0.75f, 332, 397}, {144, 375, 230, 2, 1.0f, 30, 398},
      {144, 375, 230, 12, 0.75f, 511, 597},
  };
  for (const Case& c : cases) {
    const CellRect narrowed = yearViewNarrowed({0, 0, c.clientWidth, c.clientHeight}, c.dpi);
    int32_t top = 0, left = 0;
    yearViewSlotCorner(narrowed, c.slot, c.scale, c.dpi, &top, &left);
    EXPECT_EQ(top, c.top) << "slot " << c.slot << " x " << c.scale << " at " << c.dpi;
    EXPECT_EQ(left, c.left) << "slot " << c.slot << " x " << c.scale << " at " << c.dpi;
  }
  // Columns lie the narrowed width apart wherever the rectangle starts.
  int32_t top = 0, left = 0;
  yearViewSlotCorner({100, 20, 345, 139}, 3, 1.0f, 96, &top, &left);
  EXPECT_EQ(left, 630);
}

TEST(CalendarLayout, WindowSizes) {
  struct Case {
    int mode;
    float scale;
    int32_t dpi;
    bool buttons;
    int32_t width, height;
  } cases[] = {
      {SingleDate, 1.0f, 96, false, 256, 178}, {SingleDate, 1.0f, 96, true, 256, 208},
      {DateRange, 1.0f, 96, false, 524, 178},  {DateRange, 1.0f, 96, true, 524, 208},
      {YearView, 1.0f, 96, false, 786, 647},   {YearView, 0.9f, 96, false, 707, 582},
      {YearView, 0.75f, 96, true, 589, 515},   {SingleDate, 1.0f, 144, true, 256, 223},
      {DateRange, 1.0f, 144, false, 530, 178}, {YearView, 0.75f, 144, true, 596, 506},
  };
  for (const Case& c : cases) {
    int32_t width = 0, height = 0;
    calendarWindowSize(c.mode, 256, 178, c.scale, c.dpi, c.buttons, &width, &height);
    EXPECT_EQ(width, c.width) << c.mode << " " << c.scale << " at " << c.dpi;
    EXPECT_EQ(height, c.height) << c.mode << " " << c.scale << " at " << c.dpi;
  }
}

}  // namespace
