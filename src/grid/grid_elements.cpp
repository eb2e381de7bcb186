#include "grid/grid_elements.h"

#include <cstdio>

#include "call/popup_state.h"
#include "common/text.h"
#include "dates/date_text.h"
#include "grid/cell_pick.h"
#include "grid/month_grid.h"
#include "settings/spoken_names.h"
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

// The language row in effect; English when it is out of range.
int32_t language() {
  const int32_t language = popupState.settings.language;
  return language < 0 || language >= kLanguageCount ? 0 : language;
}

// The date of a day cell, read from its date text; month 0 when it has none.
LocalDate cellDate(int cell) {
  const CalendarCell& c = popupState.grid[cell];
  const LocalDate date = readWrittenDate(c.dateText, sizeof c.dateText);
  return date.month >= 1 && date.month <= 12 && date.day >= 1 ? date : LocalDate{0, 0, 0};
}

// The first dated day of the month `slot` shows; false when it has none.
bool shownMonth(int slot, LocalDate* shown) {
  for (int position = kFirstDayPosition; position < kCellsPerSlot; ++position) {
    const GridElement day = {DayElement, slot, cellIndex(slot, position)};
    if (!dayHasDate(day) || dayOutsideShownMonth(day)) continue;
    *shown = cellDate(day.cell);
    return shown->month != 0;
  }
  return false;
}

// Appends ", <date> selected" for the highlighted day of `calendar` (as
// highlightedCell numbers them: 1, 2, or 0 for the whole year view).
void appendSelectedDay(char* out, size_t outSize, int calendar) {
  const int cell = highlightedCell(calendar);
  if (cell < 0 || cellDate(cell).month == 0) return;
  char date[kSpokenNameSize], part[kSpokenDescriptionSize];
  spokenDate(date, sizeof date, language(), cellDate(cell), false);
  std::snprintf(part, sizeof part, ", %s %s", date, spokenWords[language()].selected);
  appendText(out, outSize, part);
}

// Appends the label of slot `slot`'s calendar and its separator, "Start: ",
// in a range; nothing in the other modes.
void appendCalendarLabel(char* out, size_t outSize, int slot) {
  if (popupState.mode != DateRange) return;
  const SpokenWords& words = spokenWords[language()];
  appendText(out, outSize, slot == 1 ? words.start : words.end);
  appendText(out, outSize, words.label);
}

int titleElement(int slot) { return (slot - 1) * elementsPerSlot(); }

}  // namespace

int gridElementCount() { return slotsInUse() * elementsPerSlot(); }

int gridSlotsInUse() { return slotsInUse(); }

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

int gridElementToward(int number, GridDirection direction) {
  const GridElement element = gridElement(number);
  if (element.kind != HeadingElement && element.kind != DayElement) return -1;
  const int position = element.cell % kCellsPerSlot;
  int row = position / 7, column = position % 7;  // row 0 holds the headings
  switch (direction) {
    case TowardUp: --row; break;
    case TowardDown: ++row; break;
    case TowardLeft: --column; break;
    case TowardRight: ++column; break;
  }
  if (row < 0 || row >= kCellsPerSlot / 7 || column < 0 || column >= 7) return -1;
  return gridElementOfCell(cellIndex(element.slot, row * 7 + column));
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
    copyText(out, outSize, spokenMonthNames[language()][element.slot - 1]);
    return;
  }
  const int position = element.cell % kCellsPerSlot;
  const LocalDate date = cellDate(element.cell);
  if (element.kind == HeadingElement)
    copyText(out, outSize, spokenWeekdayNames[language()][headingWeekday(position)]);
  else if (date.month != 0)
    spokenDate(out, outSize, language(), date, true);
  else
    copyText(out, outSize, popupState.grid[element.cell].label);
}

void gridElementDescription(const GridElement& element, char* out, size_t outSize) {
  if (outSize == 0) return;
  out[0] = '\0';
  if (element.kind != DayElement) return;
  const SpokenWords& words = spokenWords[language()];
  if (popupState.mode == DateRange) copyText(out, outSize, element.slot == 1 ? words.start : words.end);
  if (!dayOutsideShownMonth(element)) return;
  if (out[0] == '\0') {
    copyText(out, outSize, words.outside);
    if (out[0] >= 'a' && out[0] <= 'z') out[0] = static_cast<char>(out[0] - 'a' + 'A');
  } else {
    appendText(out, outSize, ", ");
    appendText(out, outSize, words.outside);
  }
}

void gridDescription(char* out, size_t outSize) {
  if (outSize == 0) return;
  out[0] = '\0';
  if (slotsInUse() == 0) return;
  if (yearView()) {
    LocalDate shown;
    if (!shownMonth(1, &shown)) return;
    std::snprintf(out, outSize, "%d", shown.year);
    appendSelectedDay(out, outSize, 0);
    return;
  }
  for (int slot = 1; slot <= slotsInUse(); ++slot) {
    char calendar[kSpokenNameSize] = {};
    calendarName(slot, calendar, sizeof calendar);
    if (calendar[0] == '\0') continue;
    if (out[0] != '\0') appendText(out, outSize, ", ");
    appendText(out, outSize, calendar);
    appendSelectedDay(out, outSize, slot);
  }
}

void calendarName(int slot, char* out, size_t outSize) {
  if (outSize == 0) return;
  out[0] = '\0';
  LocalDate shown;
  if (slot < 1 || slot > slotsInUse() || !shownMonth(slot, &shown)) return;
  char month[kSpokenNameSize];
  spokenMonth(month, sizeof month, language(), shown.month, shown.year);
  appendCalendarLabel(out, outSize, slot);
  appendText(out, outSize, month);
}

void pickAnnouncement(int cell, char* out, size_t outSize) {
  if (outSize == 0) return;
  out[0] = '\0';
  const int number = gridElementOfCell(cell);
  if (number < 0 || cellDate(cell).month == 0) return;  // a heading's date is none
  char date[kSpokenNameSize];
  spokenDate(date, sizeof date, language(), cellDate(cell), true);
  appendCalendarLabel(out, outSize, gridElement(number).slot);
  appendText(out, outSize, date);
  if (popupState.mode == DateRange) return;
  appendText(out, outSize, " ");
  appendText(out, outSize, spokenWords[language()].selected);
}

void shownAnnouncement(int slot, char* out, size_t outSize) {
  if (outSize == 0) return;
  out[0] = '\0';
  LocalDate shown;
  if (yearView() && shownMonth(1, &shown)) std::snprintf(out, outSize, "%d", shown.year);
  else if (!yearView()) calendarName(slot, out, outSize);
}

bool dayHasDate(const GridElement& element) {
  return element.kind == DayElement && popupState.grid[element.cell].dateText[0] != '\0';
}

bool dayOutsideShownMonth(const GridElement& element) {
  return dayHasDate(element) && popupState.grid[element.cell].kind == OtherMonthCell;
}
