#include "grid/cell_pick.h"

#include "call/calendar_cell.h"
#include "call/popup_state.h"
#include "common/text.h"
#include "grid/month_grid.h"

namespace {

constexpr int kRightCalendarFirst = kCellsPerSlot + kFirstDayPosition;  // 56

// Cells in use, never beyond the grid whatever cellCount holds.
int cellsInUse() {
  int32_t count = popupState.cellCount;
  if (count < 0) return 0;
  return count > kGridCells ? kGridCells : count;
}

bool isHighlighted(const CalendarCell& cell) {
  return cell.highlighted && cell.dateText[0] != '\0';
}

void repaintCell(int index, CellRepaint repaint, void* context) {
  if (repaint) repaint(index, context);
}

// The cells of `calendar` (1, 2 or 0 for the whole YearView), as
// [first, end); false for any other calendar number.
bool calendarCells(int calendar, int* first, int* end) {
  *first = kFirstDayPosition;
  *end = cellsInUse();
  if (calendar == 1) {
    *end = *end < kCellsPerSlot ? *end : kCellsPerSlot;
  } else if (calendar == 2) {
    *first = kRightCalendarFirst;
    *end = *end < 2 * kCellsPerSlot ? *end : 2 * kCellsPerSlot;
  } else if (calendar != 0) {
    return false;
  }
  return true;
}

}  // namespace

int cellAt(int32_t x, int32_t y) {
  const int count = cellsInUse();
  for (int i = kFirstDayPosition; i < count; ++i)
    if (rectContains(popupState.grid[i].rect, x, y)) return i;
  return -1;
}

bool cellHighlighted(int index) {
  return index >= kFirstDayPosition && index < cellsInUse() && isHighlighted(popupState.grid[index]);
}

int highlightedCell(int calendar) {
  int first = 0, end = 0;
  if (!calendarCells(calendar, &first, &end)) return -1;
  for (int i = first; i < end; ++i)
    if (isHighlighted(popupState.grid[i])) return i;
  return -1;
}

void clearCalendarHighlight(int calendar, CellRepaint repaint, void* context) {
  int first = 0, end = 0;
  if (!calendarCells(calendar, &first, &end)) return;
  for (int i = first; i < end; ++i) {
    CalendarCell& cell = popupState.grid[i];
    if (!isHighlighted(cell)) continue;
    cell.highlighted = 0;
    applyCellLook(cell);
    repaintCell(i, repaint, context);
  }
}

int pickCell(int index, CellRepaint repaint, void* context) {
  if (index < kFirstDayPosition || index >= cellsInUse()) return 0;
  PopupState& s = popupState;
  CalendarCell& cell = s.grid[index];
  if (cell.dateText[0] == '\0') return 0;

  copyText(s.resultText, cell.dateText);
  if (s.mode == DateRange && index < kCellsPerSlot) {
    s.picked1 = 1;
    copyText(s.pick1, s.resultText);
    clearCalendarHighlight(1, repaint, context);
  } else if (s.mode == DateRange) {
    s.picked2 = 1;
    copyText(s.pick2, s.resultText);
    clearCalendarHighlight(2, repaint, context);
  } else {
    clearCalendarHighlight(s.mode == YearView ? 0 : 1, repaint, context);
  }

  cell.highlighted = 1;
  applyCellLook(cell);
  repaintCell(index, repaint, context);
  return 1;
}
