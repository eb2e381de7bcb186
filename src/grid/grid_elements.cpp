#include "grid/grid_elements.h"

#include <cstdio>

#include "call/popup_state.h"
#include "common/text.h"
#include "dates/date_text.h"
#include "grid/cell_pick.h"
#include "grid/month_grid.h"
#include "settings/theme_tables.h"

namespace {

bool yearView() { return popupState.mode == YearView; }

// Slots in use: whole slots of cellCount, never beyond the grid.
int slotsInUse() {
  const int32_t count = popupState.cellCount;
  if (count <= 0) return 0;
  return count >= kGridCells ? kGridSlots : count / kCellsPerSlot;
}

// Elements per slot: a title in the year view, the headings, the days.
int elementsPerSlot() { return kCellsPerSlot + (yearView() ? 1 : 0); }

// Month names of the language in effect; English when it is out of range.
const char* const* monthRow() {
  int32_t language = popupState.settings.language;
  if (language < 0 || language >= kLanguageCount) language = 0;
  return monthNames[language];
}

int titleElement(int slot) { return (slot - 1) * elementsPerSlot(); }

}  // namespace

int gridElementCount() { return slotsInUse() * elementsPerSlot(); }

GridElement gridElement(int number) {
  if (number < 0 || number >= gridElementCount()) return {NoElement, 0, -1};
  const int slot = number / elementsPerSlot() + 1;
  int position = number % elementsPerSlot();
  if (yearView()) {
    if (position == 0) return {MonthTitleElement, slot, -1};
    --position;
  }
  return {position < kFirstDayPosition ? HeadingElement : DayElement, slot, cellIndex(slot, position)};
}

int gridElementOfCell(int cell) {
  if (cell < 0 || cell >= slotsInUse() * kCellsPerSlot) return -1;
  const int slot = cell / kCellsPerSlot + 1;
  return titleElement(slot) + (yearView() ? 1 : 0) + cell % kCellsPerSlot;
}

int gridElementAt(int32_t x, int32_t y) {
  int cell = cellAt(x, y);
  for (int slot = 1; cell < 0 && slot <= slotsInUse(); ++slot)
    for (int position = 0; position < kFirstDayPosition; ++position)
      if (rectContains(popupState.grid[cellIndex(slot, position)].rect, x, y)) cell = cellIndex(slot, position);
  if (cell >= 0) return gridElementOfCell(cell);
  if (!yearView()) return -1;
  for (int slot = 1; slot <= slotsInUse(); ++slot)
    if (rectContains(gridElementRect({MonthTitleElement, slot, -1}), x, y)) return titleElement(slot);
  return -1;
}

CellRect gridElementRect(const GridElement& element) {
  if (element.kind == NoElement) return {0, 0, 0, 0};
  if (element.kind != MonthTitleElement) return popupState.grid[element.cell].rect;
  return monthTitleBand(element.slot);
}

void gridElementName(const GridElement& element, char* out, size_t outSize) {
  if (outSize == 0) return;
  out[0] = '\0';
  if (element.kind == NoElement) return;
  if (element.kind == MonthTitleElement) {
    copyText(out, outSize, monthRow()[element.slot - 1]);
    return;
  }
  const CalendarCell& cell = popupState.grid[element.cell];
  const LocalDate date = readWrittenDate(cell.dateText, sizeof cell.dateText);
  if (element.kind == DayElement && date.month >= 1 && date.month <= 12)
    std::snprintf(out, outSize, "%d %s %d", date.day, monthRow()[date.month - 1], date.year);
  else
    copyText(out, outSize, cell.label);
}

bool dayHasDate(const GridElement& element) {
  return element.kind == DayElement && popupState.grid[element.cell].dateText[0] != '\0';
}

bool dayOutsideShownMonth(const GridElement& element) {
  return dayHasDate(element) && popupState.grid[element.cell].normalBkColor != popupState.objects.dayBkColor;
}
