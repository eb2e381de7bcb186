#include <cstring>
#include <vector>

#include "common/text.h"
#include "grid/cell_pick.h"
#include "grid/month_grid.h"
#include "grid_fixture.h"

namespace {

void record(int index, void* context) { static_cast<std::vector<int>*>(context)->push_back(index); }

class CellPick : public GridTest {
 protected:
  // Lays out and fills the slots of `mode` as the calendar window does:
  // slot 1 at (0, 0), a range's slot 2 at 250 + 15, year-view slot m of
  // row r, column c at (265c, 139r + 20).
  void open(PopupMode mode, int32_t month, int32_t year) {
    popupState.mode = mode;
    popupState.cellCount = mode == SingleDate ? 49 : mode == DateRange ? 98 : 588;
    if (mode == YearView) {
      for (int m = 1; m <= 12; ++m) {
        layoutMonth(m, 20 + 139 * ((m - 1) / 3), 265 * ((m - 1) % 3));
        fillMonthCells(m, m, year);
      }
    } else {
      layoutMonth(1, 0, 0);
      fillMonthCells(1, month, year);
      if (mode == DateRange) {
        layoutMonth(2, 0, 265);
        fillMonthCells(2, month == 12 ? 1 : month + 1, month == 12 ? year + 1 : year);
      }
    }
    popupState.dialogReady = 1;
  }

  // Picks the cell of (slot, position) by a click at its centre.
  int clickOn(int slot, int position) {
    const CellRect& r = cell(slot, position).rect;
    repainted.clear();
    return pickCell(cellAt((r.left + r.right) / 2, (r.top + r.bottom) / 2), record, &repainted);
  }

  static bool highlighted(int slot, int position) {
    const CalendarCell& c = cell(slot, position);
    return c.brush == popupState.objects.selectedBrush && c.bkColor == popupState.objects.selectedBkColor &&
           c.textColor == popupState.objects.selectedTextColor;
  }

  std::vector<int> highlightedIndexes() const {
    std::vector<int> out;
    for (int i = 0; i < popupState.cellCount; ++i)
      if (popupState.grid[i].brush == popupState.objects.selectedBrush) out.push_back(i);
    return out;
  }

  std::vector<int> repainted;
};

TEST_F(CellPick, HitTestingInIndexOrder) {
  open(DateRange, 3, 2004);
  // Slot 1 spans x 5-243, y 31-143; its day rows start at y 47. Slot 2 starts at x 270.
  struct Case { const char* what; int32_t x, y; int expected; } cases[] = {
      {"inside the first day", 20, 55, 7},
      {"border between columns goes left", 39, 55, 7},
      {"just right of that border", 40, 55, 8},
      {"border between rows goes up", 20, 63, 7},
      {"just below it", 20, 64, 14},
      {"corner shared by four cells", 39, 63, 7},
      {"slot 1 heading overlapping the first row", 20, 47, 7},
      {"slot 1 heading overlapping, last pixel row", 20, 48, 7},
      {"slot 1 heading above the days", 20, 40, -1},
      {"last pixel of the bottom-right day", 243, 143, 48},
      {"exclusive right edge", 244, 100, -1},
      {"exclusive bottom edge", 100, 144, -1},
      {"left of the grid", 4, 100, -1},
      {"slot 2 heading", 280, 40, 49},
      {"slot 2 heading overlapping its first row", 280, 48, 49},
      {"slot 2 first day below the heading", 280, 49, 56},
      {"between the calendars", 250, 100, -1},
      {"far away", -32768, 32767, -1},
  };
  for (const Case& c : cases) EXPECT_EQ(cellAt(c.x, c.y), c.expected) << c.what;

  popupState.cellCount = 49;  // a single calendar never tests slot 2
  EXPECT_EQ(cellAt(280, 100), -1);
  for (int32_t count : {-5, 0, 7, 100000}) {  // a broken count never reads outside the grid
    popupState.cellCount = count;
    EXPECT_EQ(cellAt(20, 55), count > 7 ? 7 : -1) << count;
  }
}

TEST_F(CellPick, PicksThatChangeNothing) {
  open(DateRange, 3, 2004);
  popupState.settings.dateStyle = 7;
  fillMonthCells(2, 4, 2004);  // slot 2 now has labels but no dates
  std::strcpy(popupState.resultText, "kept");
  const PopupState before = popupState;
  for (int index : {-1, 0, 6, 49, 55, 60, 98, 587, 588, 100000}) {
    repainted.clear();
    EXPECT_EQ(pickCell(index, record, &repainted), 0) << index;
    EXPECT_TRUE(repainted.empty()) << index;
  }
  EXPECT_EQ(std::memcmp(&before, &popupState, sizeof before), 0);
}

TEST_F(CellPick, SingleDateMovesItsOneHighlight) {
  std::strcpy(popupState.day1, "25");
  std::strcpy(popupState.year1, "2003");
  popupState.dialogReady = 0;
  open(SingleDate, 12, 2003);  // Sunday-first: 30 November at 7, 1 December at 8
  ASSERT_EQ(highlightedIndexes(), std::vector<int>{32});

  struct Step { int position; const char* result; std::vector<int> repainted; } steps[] = {
      {10, "12/03/2003", {32, 10}},  // the initial mark returns to normal
      {10, "12/03/2003", {10, 10}},  // picked again: cleared and highlighted again
      {7, "11/30/2003", {10, 7}},    // a leading day of November
      {40, "01/02/2004", {7, 40}},   // a trailing day of January
  };
  for (const Step& s : steps) {
    EXPECT_EQ(clickOn(1, s.position), 1) << s.position;
    EXPECT_STREQ(popupState.resultText, s.result);
    EXPECT_EQ(repainted, s.repainted) << s.position;
    EXPECT_EQ(highlightedIndexes(), std::vector<int>{s.position});
    EXPECT_TRUE(cellHighlighted(s.position));
    EXPECT_FALSE(cellHighlighted(s.position + 1));
    EXPECT_EQ(popupState.picked1, 0);  // pick flags belong to ranges
  }
  // Cleared cells regain the colours of their month.
  const ThemeObjects& o = popupState.objects;
  EXPECT_EQ(cell(1, 7).brush, o.otherMonthBrush);
  EXPECT_EQ(cell(1, 7).bkColor, o.otherMonthBkColor);
  EXPECT_EQ(cell(1, 7).textColor, o.otherMonthTextColor);
  EXPECT_EQ(cell(1, 10).brush, o.dayBrush);
  EXPECT_EQ(cell(1, 10).bkColor, o.dayBkColor);
  EXPECT_EQ(cell(1, 10).textColor, o.dayTextColor);
  EXPECT_STREQ(cell(1, 40).dateText, "01/02/2004");
  EXPECT_EQ(cell(1, 40).kind, OtherMonthCell);
  // A damaged style writes no dates (the old ones' tails stay behind the
  // terminator): the initial date's mark is then no highlight.
  popupState.dialogReady = 0;
  popupState.settings.dateStyle = 7;
  fillMonthCells(1, 12, 2003);
  EXPECT_EQ(highlightedCell(1), -1);
}

TEST_F(CellPick, DateRangeCalendarsKeepTheirOwnHighlight) {
  open(YearView, 1, 2004);
  clickOn(3, 30);            // a year view's pick stays in slot 3 after its window
  open(DateRange, 3, 2004);  // March (1st at 8) and April (1st at 11)
  EXPECT_EQ(clickOn(1, 12), 1);
  EXPECT_EQ(clickOn(2, 19), 1);
  EXPECT_EQ(repainted, std::vector<int>{49 + 19});
  EXPECT_STREQ(popupState.pick1, "03/05/2004");
  EXPECT_STREQ(popupState.pick2, "04/09/2004");
  EXPECT_STREQ(popupState.resultText, "04/09/2004");
  EXPECT_EQ(popupState.picked1, 1);
  EXPECT_EQ(popupState.picked2, 1);
  EXPECT_EQ(highlightedIndexes(), (std::vector<int>{12, 49 + 19}));

  EXPECT_EQ(clickOn(1, 44), 1);  // a trailing day in the last row
  EXPECT_EQ(repainted, (std::vector<int>{12, 44}));
  EXPECT_EQ(clickOn(2, 20), 1);
  EXPECT_EQ(repainted, (std::vector<int>{49 + 19, 49 + 20}));
  EXPECT_STREQ(popupState.pick1, "04/06/2004");
  EXPECT_STREQ(popupState.pick2, "04/10/2004");
  EXPECT_EQ(highlightedIndexes(), (std::vector<int>{44, 49 + 20}));
  struct Asked { int calendar, cell; } asked[] = {{1, 44}, {2, 49 + 20}, {0, 44}, {3, -1}};
  for (const Asked& a : asked) EXPECT_EQ(highlightedCell(a.calendar), a.cell) << a.calendar;

  // Objects made again while the window is open, both kinds of day on one
  // background (as in high contrast): the picks keep their highlight, and
  // a cleared one takes the look of what it is.
  popupState.objects.otherMonthBkColor = popupState.objects.dayBkColor;
  restyleCells();
  EXPECT_EQ(highlightedIndexes(), (std::vector<int>{44, 49 + 20}));
  clearCalendarHighlight(1, nullptr, nullptr);
  EXPECT_EQ(cell(1, 44).textColor, popupState.objects.otherMonthTextColor);  // 6 April under March

  repainted.clear();
  clearCalendarHighlight(2, record, &repainted);
  EXPECT_EQ(repainted, std::vector<int>{49 + 20});
  EXPECT_TRUE(highlightedIndexes().empty());
  EXPECT_EQ(highlightedCell(2), -1);
}

TEST_F(CellPick, YearViewIsOneCalendar) {
  open(YearView, 1, 2004);
  EXPECT_EQ(highlightedCell(0), -1);  // nor the day the fixture places past the grid
  EXPECT_EQ(clickOn(1, 20), 1);
  EXPECT_STREQ(popupState.resultText, "01/10/2004");
  EXPECT_EQ(repainted, std::vector<int>{cellIndex(1, 20)});  // no highlight to clear, even past the grid
  EXPECT_EQ(clickOn(3, 30), 1);
  EXPECT_EQ(repainted, (std::vector<int>{cellIndex(1, 20), cellIndex(3, 30)}));
  EXPECT_EQ(highlightedIndexes(), std::vector<int>{cellIndex(3, 30)});
  EXPECT_EQ(clickOn(12, 48), 1);
  EXPECT_STREQ(popupState.resultText, "01/08/2005");
  EXPECT_EQ(popupState.picked1 + popupState.picked2, 0);
  // A heading of a later month is hit first and picks nothing.
  EXPECT_EQ(clickOn(5, 3), 0);
  EXPECT_EQ(highlightedIndexes(), std::vector<int>{cellIndex(12, 48)});
  EXPECT_EQ(pickCell(588, record, &repainted), 0);  // the first index past the grid
  EXPECT_FALSE(cellHighlighted(588));
}

TEST_F(CellPick, ClearingTouchesOnlyHighlightedDatedCells) {
  open(DateRange, 3, 2004);
  const ThemeObjects& o = popupState.objects;
  for (int position : {20, 21, 22}) cell(1, position).highlighted = 1;  // 21: never left by picks, still cleared
  clearText(cell(1, 22).dateText);  // no date: not highlighted
  cell(2, 20).highlighted = 1;      // the other calendar
  cell(1, 23).brush = o.selectedBrush;  // painted as highlighted, but not one
  for (CalendarCell* c : {&cell(1, 22), &cell(2, 20)}) c->brush = o.selectedBrush;
  clearCalendarHighlight(1, record, &repainted);
  EXPECT_EQ(repainted, (std::vector<int>{20, 21}));
  EXPECT_EQ(highlightedCell(1), -1);
  EXPECT_EQ(highlightedCell(2), cellIndex(2, 20));
  EXPECT_EQ(cell(1, 22).brush, o.selectedBrush);
  EXPECT_EQ(cell(2, 20).brush, o.selectedBrush);
  repainted.clear();
  for (int calendar : {3, -1}) clearCalendarHighlight(calendar, record, &repainted);
  clearCalendarHighlight(1, nullptr, nullptr);
  EXPECT_TRUE(repainted.empty());
}

}  // namespace
