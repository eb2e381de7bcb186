#include "grid/accessible_tree.h"

#include "call/popup_state.h"
#include "grid/grid_elements.h"
#include "grid/month_grid.h"

namespace {

bool flat() { return monthObjectCount() == 0; }

CellRect unionOf(const CellRect& a, const CellRect& b) {
  if (a.right <= a.left || a.bottom <= a.top) return b;
  return {a.left < b.left ? a.left : b.left, a.top < b.top ? a.top : b.top, a.right > b.right ? a.right : b.right,
          a.bottom > b.bottom ? a.bottom : b.bottom};
}

}  // namespace

int monthObjectCount() {
  const int32_t cells = popupState.mode == SingleDate ? 0 : popupState.cellCount;
  return cells <= 0 ? 0 : cells >= kGridCells ? kGridSlots : cells / kCellsPerSlot;
}

long announcementChildId() { return (flat() ? gridElementCount() : monthObjectCount()) + 1; }

long elementChildId(int number) {
  if (number < 0 || number >= gridElementCount()) return 0;
  return (flat() ? 0 : kNestedElementIds) + number + 1;
}

int elementOfChildId(long id) {
  const long number = id - (flat() ? 0 : kNestedElementIds) - 1;
  return number >= 0 && number < gridElementCount() ? static_cast<int>(number) : -1;
}

int monthOfChildId(long id) { return id >= 1 && id <= monthObjectCount() ? static_cast<int>(id) : 0; }

int monthChildElement(int slot, long child) {
  if (slot < 1 || slot > monthObjectCount() || child < 1 || child > kCellsPerSlot) return -1;
  return gridElementOfCell(cellIndex(slot, static_cast<int>(child) - 1));
}

long monthChildOfElement(int number) {
  const GridElement element = gridElement(number);
  if (element.kind != HeadingElement && element.kind != DayElement) return -1;
  return element.cell % kCellsPerSlot + 1;
}

CellRect monthObjectRect(int slot) {
  CellRect area = {0, 0, 0, 0};
  if (slot < 1 || slot > monthObjectCount()) return area;
  for (int position = 0; position < kCellsPerSlot; ++position)
    area = unionOf(area, popupState.grid[cellIndex(slot, position)].rect);
  if (popupState.mode == YearView) area = unionOf(area, monthTitleBand(slot));
  return area;
}
