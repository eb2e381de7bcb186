#include <cmath>
#include <cstdio>
#include <cstring>

#include "grid/month_grid.h"
#include "grid_fixture.h"
#include "settings/theme_tables.h"

namespace {

// Independent reference: days since 1 March of year 0 (proleptic Gregorian),
// by the era method; day 0 of the count, 1 March 0, was a Wednesday.
int64_t dayNumber(int year, int month, int day) {
  const int64_t y = month <= 2 ? year - 1 : year;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  return era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy;
}
int referenceWeekday(int year, int month, int day) { return static_cast<int>((dayNumber(year, month, day) + 3) % 7); }

struct Ymd { int year, month, day; };
// Parses a style 2 date text, year first.
bool parseYearFirst(const char* text, Ymd* out) {
  return std::sscanf(text, "%d/%d/%d", &out->year, &out->month, &out->day) == 3 && std::strlen(text) == 10;
}

using MonthGrid = GridTest;

TEST_F(MonthGrid, GeometryAtEachScaleAndDpi) {
  struct Case { float scale; int32_t dpi, top, left; CellRect heading0, heading6, day7, day48; } cases[] = {
      {1.0f, 96, 0, 0, {5, 31, 40, 49}, {209, 31, 244, 49}, {5, 47, 40, 64}, {209, 127, 244, 144}},
      {scaleForSize(1), 96, 0, 0, {5, 31, 36, 47}, {185, 31, 216, 47}, {5, 45, 36, 60}, {185, 115, 216, 130}},
      {scaleForSize(2), 96, 0, 0, {5, 31, 31, 44}, {155, 31, 181, 44}, {5, 42, 31, 54}, {155, 97, 181, 109}},
      {100.0f, 96, 0, 0, {5, 31, 3505, 1831}, {20999, 31, 24499, 1831}, {5, 1829, 3505, 3628},
       {20999, 10819, 24499, 12618}},
      {1.0f, 96, 20, 265, {270, 51, 305, 69}, {474, 51, 509, 69}, {270, 67, 305, 84}, {474, 147, 509, 164}},
      {1.0f, 96, -40, -300, {-295, -9, -260, 9}, {-91, -9, -56, 9}, {-295, 7, -260, 24}, {-91, 87, -56, 104}},
      // Enlarged for the display: cell size and origin offsets.
      {1.0f, 144, 0, 0, {7, 46, 59, 73}, {313, 46, 365, 73}, {7, 71, 59, 97}, {313, 196, 365, 222}},
      {scaleForSize(2), 120, 0, 0, {6, 38, 38, 54}, {192, 38, 224, 54}, {6, 52, 38, 67}, {192, 122, 224, 137}},
      // Scales that are no usable factor lay out as 1.
      {0.0f, 96, 0, 0, {5, 31, 40, 49}, {209, 31, 244, 49}, {5, 47, 40, 64}, {209, 127, 244, 144}},
      {-0.5f, 96, 0, 0, {5, 31, 40, 49}, {209, 31, 244, 49}, {5, 47, 40, 64}, {209, 127, 244, 144}},
      {NAN, 96, 0, 0, {5, 31, 40, 49}, {209, 31, 244, 49}, {5, 47, 40, 64}, {209, 127, 244, 144}},
      {1e30f, 96, 0, 0, {5, 31, 40, 49}, {209, 31, 244, 49}, {5, 47, 40, 64}, {209, 127, 244, 144}},
  };
  auto expectRect = [](const CellRect& got, const CellRect& want, float scale, int position) {
    EXPECT_TRUE(got.left == want.left && got.top == want.top && got.right == want.right && got.bottom == want.bottom)
        << "scale " << scale << " dpi " << popupState.dpi << " position " << position << ": got " << got.left << "," << got.top << ","
        << got.right << "," << got.bottom;
  };
  for (const Case& c : cases) {
    popupState.settings.scale = c.scale;
    popupState.dpi = c.dpi;
    for (int slot : {1, 12}) {
      layoutMonth(slot, c.top, c.left);
      expectRect(cell(slot, 0).rect, c.heading0, c.scale, 0);
      expectRect(cell(slot, 6).rect, c.heading6, c.scale, 6);
      expectRect(cell(slot, 7).rect, c.day7, c.scale, 7);
      expectRect(cell(slot, 48).rect, c.day48, c.scale, 48);
    }
  }
  // The month's name goes in a band above its headings, as wide as the slot.
  expectRect(monthTitleBand(1), {5, 11, 244, 28}, 1.0f, -1);
}

TEST_F(MonthGrid, NeighbouringCellsShareOneBorderPixel) {
  for (float scale : {1.0f, scaleForSize(1), scaleForSize(2)}) {
    popupState.settings.scale = scale;
    popupState.dpi = scale == 1.0f ? 96 : 144;
    layoutMonth(1, 0, 0);
    for (int p = 7; p < 49; ++p) {
      const CellRect& r = cell(1, p).rect;
      if (p % 7 != 6) EXPECT_EQ(cell(1, p + 1).rect.left, r.right - 1) << scale << " " << p;
      if (p + 7 < 49) EXPECT_EQ(cell(1, p + 7).rect.top, r.bottom - 1) << scale << " " << p;
    }
    // The heading row reaches two pixels into the first day row.
    EXPECT_EQ(cell(1, 0).rect.bottom - cell(1, 7).rect.top, 2) << scale;
  }
}

TEST_F(MonthGrid, HeadingsPerLanguageAndFirstWeekday) {
  struct Case { int32_t language, calendarType; const char* labels[7]; } cases[] = {
      {0, 0, {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"}},
      {0, 1, {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"}},
      {2, 1, {"Mon", "Die", "Mit", "Don", "Fre", "Sam", "Son"}},
      {1, 0, {"Dim", "Lun", "Mar", "Mer", "Jeu", "Ven", "Sam"}},
      {7, 1, {"Man", "Tir", "Ons", "Tor", "Fre", "Lor", "Son"}},
      // A hand-edited type reads Monday first; a language beyond the table English.
      {0, 5, {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"}},
      {8, 0, {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"}},
      {-1, 0, {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"}},
  };
  for (const Case& c : cases) {
    popupState.settings.language = c.language;
    popupState.settings.calendarType = c.calendarType;
    layoutMonth(2, 0, 0);
    for (int j = 0; j < 7; ++j) EXPECT_EQ(label(2, j), c.labels[j]) << c.language << "/" << c.calendarType << " " << j;
  }
}

TEST_F(MonthGrid, LayoutDressesHeadingsAndOnlyTheFontOfDays) {
  CalendarCell& heading = cell(3, 4);
  std::strcpy(heading.dateText, "stale");
  heading.kind = OtherMonthCell;
  heading.highlighted = 1;
  CalendarCell& day = cell(3, 20);
  std::strcpy(day.label, "9");
  std::strcpy(day.dateText, "01/09/2004");
  day.brush = fakeHandle(0x99);
  day.bkColor = 0x777777;

  layoutMonth(3, 0, 0);
  const ThemeObjects& o = popupState.objects;
  EXPECT_EQ(heading.brush, o.weekdayBrush);
  EXPECT_EQ(heading.labelFont, o.weekdayFont);
  EXPECT_EQ(heading.bkColor, o.weekdayBkColor);
  EXPECT_EQ(heading.textColor, o.weekdayTextColor);
  EXPECT_EQ(heading.kind, HeadingCell);
  EXPECT_EQ(heading.highlighted, 0);
  EXPECT_STREQ(heading.dateText, "");
  EXPECT_EQ(day.labelFont, o.dayFont);
  EXPECT_EQ(cell(4, 0).labelFont, nullptr);  // the next slot is left alone
  EXPECT_STREQ(day.label, "9");
  EXPECT_STREQ(day.dateText, "01/09/2004");
  EXPECT_EQ(day.brush, fakeHandle(0x99));
  EXPECT_EQ(day.bkColor, 0x777777u);
}

TEST_F(MonthGrid, LeadingAndTrailingDays) {
  struct Case { int32_t month, year, calendarType, leading, length; const char* first; const char* last; } cases[] = {
      {2, 2004, 0, 0, 29, "02/01/2004", "03/13/2004"},  // first is a Sunday
      {2, 2004, 1, 6, 29, "01/26/2004", "03/07/2004"},
      {2, 2004, 5, 6, 29, "01/26/2004", "03/07/2004"},  // hand-edited type: as its Monday-first headings
      {2, 2010, 0, 1, 28, "01/31/2010", "03/13/2010"},  // first is a Monday
      {2, 2010, 1, 0, 28, "02/01/2010", "03/14/2010"},  // 28 days fill rows 1-4
      {1, 2000, 0, 6, 31, "12/26/1999", "02/05/2000"},
      {3, 2000, 1, 2, 31, "02/28/2000", "04/09/2000"},  // leap February
      {3, 1900, 1, 3, 31, "02/26/1900", "04/08/1900"},  // 1900 is not leap
      {1, 1900, 0, 1, 31, "12/31/1899", "02/10/1900"},
      {12, 2100, 0, 3, 31, "11/28/2100", "01/08/2101"},
      {12, 2100, 1, 2, 31, "11/29/2100", "01/09/2101"},
  };
  const ThemeObjects& o = popupState.objects;
  for (const Case& c : cases) {
    popupState.settings.calendarType = c.calendarType;
    fillMonthCells(1, c.month, c.year);
    const std::string where = std::to_string(c.month) + "/" + std::to_string(c.year) + " type " + std::to_string(c.calendarType);
    EXPECT_EQ(date(1, 7), c.first) << where;
    EXPECT_EQ(date(1, 48), c.last) << where;
    EXPECT_EQ(label(1, 7 + c.leading), "1") << where;
    for (int p = 7; p < 49; ++p) {
      const bool shown = std::atoi(date(1, p).c_str()) == c.month;
      const CalendarCell& x = cell(1, p);
      EXPECT_EQ(x.brush, shown ? o.dayBrush : o.otherMonthBrush) << where << " " << p;
      EXPECT_EQ(x.bkColor, shown ? o.dayBkColor : o.otherMonthBkColor) << where << " " << p;
      EXPECT_EQ(x.kind, shown ? ShownMonthCell : OtherMonthCell) << where << " " << p;
      EXPECT_EQ(x.textColor, shown ? o.dayTextColor : o.otherMonthTextColor) << where << " " << p;
      EXPECT_EQ(shown, p >= 7 + c.leading && p < 7 + c.leading + c.length)
          << where << " " << p;
    }
  }
}

// Every month the year lists offer, both week starts: 42 consecutive dates,
// the first of the month under the heading of its weekday, labels matching.
TEST_F(MonthGrid, EveryMonthFrom1900To2100MatchesTheReferenceCalendar) {
  popupState.settings.dateStyle = StyleYearFirst;
  for (int32_t type = 0; type <= 1; ++type) {
    popupState.settings.calendarType = type;
    layoutMonth(1, 0, 0);
    for (int32_t year = 1900; year <= 2100; ++year)
      for (int32_t month = 1; month <= 12; ++month) {
        fillMonthCells(1, month, year);
        Ymd first{};
        ASSERT_TRUE(parseYearFirst(date(1, 7).c_str(), &first)) << date(1, 7);
        const int64_t start = dayNumber(first.year, first.month, first.day);
        int firstOfMonth = -1;
        for (int p = 7; p < 49; ++p) {
          Ymd d{};
          ASSERT_TRUE(parseYearFirst(date(1, p).c_str(), &d)) << date(1, p);
          ASSERT_EQ(dayNumber(d.year, d.month, d.day), start + (p - 7)) << month << "/" << year << " " << p;
          ASSERT_EQ(std::atoi(label(1, p).c_str()), d.day);
          if (d.month == month && d.day == 1) firstOfMonth = p;
        }
        ASSERT_GE(firstOfMonth, 7);
        ASSERT_LT(firstOfMonth, 14) << month << "/" << year;
        const int weekday = referenceWeekday(year, month, 1);
        ASSERT_EQ(label(1, firstOfMonth - 7), weekdayNames[0][weekday]) << month << "/" << year << " type " << type;
      }
  }
}

TEST_F(MonthGrid, DateTextsPerStyle) {
  struct Case { int32_t style; const char* text; } cases[] = {
      {StyleMonthFirst, "03/07/2004"}, {StyleDayFirst, "07/03/2004"}, {StyleYearFirst, "2004/03/07"},
      // Hand-edited styles write no date: the cell cannot be picked.
      {3, ""}, {-1, ""},
  };
  for (const Case& c : cases) {
    std::strcpy(cell(1, 20).dateText, "stale");
    popupState.settings.dateStyle = c.style;
    fillMonthCells(1, 3, 2004);  // Monday 1 March, Sunday-first weeks: 7 March at position 14
    EXPECT_EQ(date(1, 14), c.text) << c.style;
    EXPECT_EQ(date(1, 20), c.style >= 0 && c.style <= 2 ? date(1, 20) : "") << c.style;
    EXPECT_EQ(label(1, 14), "7");
  }
}

TEST_F(MonthGrid, InitialDateMark) {
  struct Case {
    const char* what;
    PopupMode mode;
    int slot;
    int32_t month, year;  // shown
    const char *month1, *day1, *year1, *day2, *year2;
    int32_t dialogReady;
    int marked;  // position, or -1
  };
  const Case cases[] = {
      {"single", SingleDate, 1, 12, 2003, "12", "25", "2003", "", "", 0, 32},
      {"after initialisation", SingleDate, 1, 12, 2003, "12", "25", "2003", "", "", 1, -1},
      {"other year shown", SingleDate, 1, 12, 2004, "12", "25", "2003", "", "", 0, -1},
      {"month1 is not compared", SingleDate, 1, 12, 2003, "7", "25", "2003", "", "", 0, 32},
      {"leading day of that number", SingleDate, 1, 2, 2010, "2", "31", "2010", "", "", 0, -1},
      {"trailing day of that date", SingleDate, 1, 12, 2003, "1", "1", "2004", "", "", 0, -1},
      {"shown day after a leading one", SingleDate, 1, 12, 2003, "12", "30", "2003", "", "", 0, 37},
      {"blank and sign before digits", SingleDate, 1, 2, 2010, "2", " +5", " 2010", "", "", 0, 12},
      {"empty texts", SingleDate, 1, 2, 2010, "", "", "", "", "", 0, -1},
      {"range left", DateRange, 1, 3, 2004, "3", "1", "2004", "15", "2004", 0, 8},
      {"range right", DateRange, 2, 3, 2004, "3", "1", "2004", "15", "2004", 0, 22},
      {"range right ignores day1", DateRange, 2, 3, 2004, "3", "1", "2004", "", "", 0, -1},
      {"second slot of a single date", SingleDate, 2, 3, 2004, "3", "1", "2004", "1", "2004", 0, -1},
      {"year view January", YearView, 1, 1, 2004, "1", "14", "2004", "", "", 0, 24},
      {"year view today in March", YearView, 3, 3, 2004, "3", "14", "2004", "", "", 0, 21},
      {"year view other slots", YearView, 1, 1, 2004, "3", "14", "2004", "", "", 0, -1},
      {"year view, year not today's", YearView, 3, 3, 2004, "", "", "2004", "", "", 0, -1},
      {"year view after initialisation", YearView, 3, 3, 2004, "3", "14", "2004", "", "", 1, -1},
  };
  const ThemeObjects& o = popupState.objects;
  for (const Case& c : cases) {
    popupState.mode = c.mode;
    std::strcpy(popupState.month1, c.month1);
    std::strcpy(popupState.day1, c.day1);
    std::strcpy(popupState.year1, c.year1);
    std::strcpy(popupState.day2, c.day2);
    std::strcpy(popupState.year2, c.year2);
    popupState.dialogReady = c.dialogReady;
    fillMonthCells(c.slot, c.month, c.year);
    for (int p = 7; p < 49; ++p) {
      const CalendarCell& x = cell(c.slot, p);
      const bool marked = p == c.marked;
      EXPECT_EQ(x.brush == o.selectedBrush, marked) << c.what << " " << p;
      EXPECT_EQ(x.highlighted, marked) << c.what << " " << p;
      if (marked) {
        EXPECT_EQ(x.bkColor, o.selectedBkColor) << c.what;
        EXPECT_EQ(x.textColor, o.selectedTextColor) << c.what;
        EXPECT_EQ(x.kind, ShownMonthCell) << c.what;
      }
    }
  }
}

TEST_F(MonthGrid, ListWithoutSelectionBlanksTheDays) {
  struct Case { int32_t month, year; } cases[] = {{0, 2004}, {13, 2004}, {-1, 2004}, {3, 0}, {3, 1899}, {3, 2101}, {0, 0}};
  std::strcpy(popupState.day1, "7");
  std::strcpy(popupState.year1, "2004");
  for (const Case& c : cases) {
    fillMonthCells(1, 3, 2004);
    fillMonthCells(1, c.month, c.year);
    for (int p = 7; p < 49; ++p) {
      EXPECT_EQ(label(1, p), "") << c.month << "/" << c.year << " " << p;
      EXPECT_EQ(date(1, p), "") << c.month << "/" << c.year << " " << p;
      EXPECT_EQ(cell(1, p).brush, popupState.objects.dayBrush);
      EXPECT_EQ(cell(1, p).kind, ShownMonthCell);
      EXPECT_EQ(cell(1, p).highlighted, 0);
    }
  }
  EXPECT_EQ(cell(2, 0).brush, nullptr);  // the next slot is left alone
}

TEST_F(MonthGrid, SlotsOutsideTheGridAreIgnored) {
  for (int slot : {1, 12}) {
    layoutMonth(slot, 0, 0);
    fillMonthCells(slot, 13, 2004);  // blanked
    fillMonthCells(slot, 5, 2004);
  }
  const PopupState before = popupState;
  for (int slot : {0, -1, 13, 1000}) {
    layoutMonth(slot, 0, 0);
    fillMonthCells(slot, 5, 2004);
  }
  EXPECT_EQ(std::memcmp(&before, &popupState, sizeof before), 0);
}

// A colour change restyles every cell in use with the objects made anew
// (the heading font for headings, the day font for days), and no other.
TEST_F(MonthGrid, RestyleGivesTheCellsInUseTheNewObjects) {
  layoutMonth(1, 0, 0);
  fillMonthCells(1, 3, 2004);
  layoutMonth(2, 10, 20);
  const CalendarCell beyond = cell(2, 0);  // past the 49 cells in use
  ThemeObjects& o = popupState.objects;
  o.weekdayFont = fakeHandle(0x11);
  o.dayFont = fakeHandle(0x21);
  o.weekdayBrush = fakeHandle(0x31);
  o.otherMonthBrush = fakeHandle(0x51);
  o.dayBrush = fakeHandle(0x61);
  restyleCells();
  for (int p = 0; p < 49; ++p) {
    const CalendarCell& c = cell(1, p);
    EXPECT_EQ(c.labelFont, p < 7 ? o.weekdayFont : o.dayFont) << p;
    EXPECT_TRUE(c.brush == o.weekdayBrush || c.brush == o.otherMonthBrush || c.brush == o.dayBrush) << p;
  }
  EXPECT_EQ(std::memcmp(&cell(2, 0), &beyond, sizeof beyond), 0);
}

TEST_F(MonthGrid, FillsLeaveRectanglesFontsAndHeadingsAlone) {
  popupState.settings.language = 2;
  layoutMonth(2, 10, 20);
  const PopupState before = popupState;
  fillMonthCells(2, 7, 2020);
  for (int p = 0; p < 49; ++p) {
    const CalendarCell &now = cell(2, p), &was = before.grid[cellIndex(2, p)];
    EXPECT_EQ(std::memcmp(&now.rect, &was.rect, sizeof now.rect), 0) << p;
    EXPECT_EQ(now.labelFont, was.labelFont) << p;
    if (p < 7) EXPECT_EQ(std::memcmp(&now, &was, sizeof now), 0) << p;
  }
  EXPECT_EQ(std::memcmp(&cell(3, 0), &before.grid[cellIndex(3, 0)], sizeof(CalendarCell)), 0);  // nor the next slot
}

}  // namespace
