#include <string>

#include "grid/grid_elements.h"
#include "grid/month_grid.h"
#include "grid_fixture.h"

namespace {

class GridElements : public GridTest {
 protected:
  // Slot 1 at (0, 0), a range's slot 2 at (0, 265), the year view's months
  // three a row 139 pixels apart below a 20-pixel band: February 2004 in
  // slot 1 (it starts on a Sunday) and the months after it.
  void open(PopupMode mode) {
    popupState.mode = mode;
    popupState.cellCount = mode == SingleDate ? 49 : mode == DateRange ? 98 : 588;
    const int slots = popupState.cellCount / 49;
    for (int slot = 1; slot <= slots; ++slot) {
      const int column = mode == YearView ? (slot - 1) % 3 : slot - 1;
      layoutMonth(slot, mode == YearView ? 20 + 139 * ((slot - 1) / 3) : 0, 265 * column);
      fillMonthCells(slot, mode == YearView ? slot : slot + 1, 2004);
    }
  }
  static std::string name(int number) {
    char text[40];
    gridElementName(gridElement(number), text, sizeof text);
    return text;
  }
};

TEST_F(GridElements, NumberingFollowsTheSlotsInReadingOrder) {
  struct Case {
    PopupMode mode;
    int number;
    GridElementKind kind;
    int slot, cell;
  } cases[] = {
      {SingleDate, 0, HeadingElement, 1, 0},   {SingleDate, 7, DayElement, 1, 7},
      {SingleDate, 48, DayElement, 1, 48},     {SingleDate, 49, NoElement, 0, -1},
      {SingleDate, -1, NoElement, 0, -1},      {DateRange, 49, HeadingElement, 2, 49},
      {DateRange, 97, DayElement, 2, 97},      {DateRange, 98, NoElement, 0, -1},
      {YearView, 0, MonthTitleElement, 1, -1}, {YearView, 1, HeadingElement, 1, 0},
      {YearView, 50, MonthTitleElement, 2, -1}, {YearView, 599, DayElement, 12, 587},
      {YearView, 600, NoElement, 0, -1},
  };
  for (const Case& c : cases) {
    open(c.mode);
    const GridElement e = gridElement(c.number);
    EXPECT_EQ(e.kind, c.kind) << c.mode << " " << c.number;
    EXPECT_EQ(e.slot, c.slot) << c.mode << " " << c.number;
    EXPECT_EQ(e.cell, c.cell) << c.mode << " " << c.number;
    if (c.cell >= 0) EXPECT_EQ(gridElementOfCell(c.cell), c.number) << c.mode << " " << c.number;
  }
}

TEST_F(GridElements, NamesInTheWindowsLanguageAndStyle) {
  struct Case {
    PopupMode mode;
    int language, dateStyle, number;
    const char* name;
    bool outside;
  } cases[] = {
      {SingleDate, 0, 0, 7, "1 February 2004", false},
      {SingleDate, 0, 0, 35, "29 February 2004", false},
      {SingleDate, 0, 0, 36, "1 March 2004", true},  // a grey day names its own month
      {SingleDate, 1, 1, 7, "1 F\xE9vrier 2004", false},
      {SingleDate, 1, 2, 48, "13 Mars 2004", true},
      {SingleDate, 1, 0, 1, "Lun", false},  // a heading
      {SingleDate, 0, 7, 8, "2", false},    // no date written: the label alone
      {DateRange, 0, 0, 56, "29 February 2004", true},
      {YearView, 2, 0, 0, "Januar", false},
      {YearView, 9, 0, 8, "28 December 2003", true},  // a language out of range reads English
  };
  for (const Case& c : cases) {
    popupState.settings.language = c.language;
    popupState.settings.dateStyle = c.dateStyle;
    open(c.mode);
    EXPECT_EQ(name(c.number), c.name) << c.number;
    EXPECT_EQ(dayOutsideShownMonth(gridElement(c.number)), c.outside) << c.number;
  }
}

TEST_F(GridElements, PointsFindTheElementAClickWould) {
  struct Case {
    PopupMode mode;
    int x, y;
    int number;
  } cases[] = {
      {SingleDate, 5 + 17, 31 + 9, 0},             // a heading's centre
      {SingleDate, 5 + 17, 31 + 17, 7},            // where the heading reaches into the first week: the day
      {SingleDate, 5 + 34, 31 + 20, 7},            // a shared column: the left cell
      {SingleDate, 5 + 17, 31 + 32, 7},            // a shared row: the upper cell
      {SingleDate, 2, 2, -1},                      // outside the grid
      {DateRange, 265 + 5 + 17, 31 + 17, 49},      // the right calendar's heading comes first
      {YearView, 265 + 100, 20 + 31 - 10, 50},     // February's title
      {YearView, 265 + 100, 20 + 31 - 2, -1},      // between the title and the grid
  };
  for (const Case& c : cases) {
    open(c.mode);
    EXPECT_EQ(gridElementAt(c.x, c.y), c.number) << c.mode << " " << c.x << "," << c.y;
  }
}

}  // namespace
