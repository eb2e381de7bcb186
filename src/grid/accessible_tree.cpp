#include "grid/accessible_tree.h"

#include "call/popup_state.h"
#include "grid/grid_elements.h"
#include "grid/month_grid.h"

namespace {

bool flat() { return monthObjectCount() == 0; }

}  // namespace

int monthObjectCount() { return popupState.mode == SingleDate ? 0 : gridSlotsInUse(); }

long announcementChildId() { return (flat() ? gridElementCount() : monthObjectCount()) + 1; }

long elementChildId(int number) { return flat() && number >= 0 && number < gridElementCount() ? number + 1 : 0; }

int elementOfChildId(long id) { return flat() && id >= 1 && id <= gridElementCount() ? static_cast<int>(id - 1) : -1; }

int monthOfChildId(long id) { return id >= 1 && id <= monthObjectCount() ? static_cast<int>(id) : 0; }

long monthObjectId(int slot) { return kMonthObjectIds + slot; }

long monthChildId(int slot) { return slot; }

int monthOfObjectId(long objectId) {
  // Compared before any subtraction, which would overflow for the lowest ids.
  if (objectId <= kMonthObjectIds || objectId > kMonthObjectIds + monthObjectCount()) return 0;
  return static_cast<int>(objectId - kMonthObjectIds);
}

int monthChildElement(int slot, long child) {
  if (child < 1 || child > kCellsPerSlot) return -1;
  return gridElementOfCell(cellIndex(slot, static_cast<int>(child) - 1));  // -1 outside the slots in use
}

long monthChildOfElement(int number) {
  const GridElement element = gridElement(number);
  if (element.kind != HeadingElement && element.kind != DayElement) return -1;
  return element.cell % kCellsPerSlot + 1;
}

CellRect monthObjectRect(int slot) {
  if (slot < 1 || slot > monthObjectCount()) return {0, 0, 0, 0};
  // The slot's cells are laid out as a grid: its first heading is the
  // top-left corner and its last day the bottom-right one; the year view's
  // title band lies above the headings, as wide as they are.
  const CellRect first = popupState.grid[cellIndex(slot, 0)].rect;
  const CellRect last = popupState.grid[cellIndex(slot, kCellsPerSlot - 1)].rect;
  const int32_t top = popupState.mode == YearView ? monthTitleBand(slot).top : first.top;
  return {first.left, top, last.right, last.bottom};
}
