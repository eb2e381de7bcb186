// The month grid model. Geometry of a slot (W and H are the scaled cell
// width and height, origin x0 = left + 5, y0 = top + 31, the 5 and 31
// enlarged on a display of other than 96 DPI):
//   column c (0-6): left x0 + c(W - 1), W wide (neighbours share one pixel)
//   row 0, headings: top y0, H high
//   row r (1-6), days: top y0 + r(H - 2), H - 1 high
// so the heading row reaches two pixels into the first day row.
//
// Filling a slot: the 42 day cells run from the first leading day of the
// previous month through the shown month into the next one. A shown month
// outside 1-12 or year outside 1900-2100 (a list without a selection) blanks
// the day cells instead, so nothing stale or out of range is shown or picked.
#include "grid/month_grid.h"

#include "call/calendar_cell.h"
#include "call/popup_state.h"
#include "common/display_scale.h"
#include "common/text.h"
#include "dates/date_math.h"
#include "dates/date_text.h"
#include "settings/theme_tables.h"

namespace {

constexpr int32_t kBaseCellWidth = 35;
constexpr int32_t kBaseCellHeight = 18;
constexpr int32_t kFirstListYear = 1900;
constexpr int32_t kLastListYear = 2100;

bool slotInRange(int slot) { return slot >= 1 && slot <= kGridSlots; }

// The scale in effect, or 1 when the stored value is not a usable factor
// (zero, negative, not a number, or large enough to overflow a cell size).
float layoutScale() {
  float scale = popupState.settings.scale;
  if (!(scale > 0.0f && scale <= 100.0f)) return 1.0f;
  return scale;
}

// Monday-first weeks for any calendarType other than 0, both in the
// headings and in the fill, so the day columns always match their headings.
bool weeksStartOnMonday() { return popupState.settings.calendarType != 0; }

// Weekday names of the language in effect; English when it is out of range.
const char* const* weekdayRow() {
  int32_t language = popupState.settings.language;
  if (language < 0 || language >= kLanguageCount) language = 0;
  return weekdayNames[language];
}

void setHeading(CalendarCell& cell, int weekday) {
  cell.kind = HeadingCell;
  cell.highlighted = 0;
  applyCellLook(cell);
  cell.labelFont = popupState.objects.weekdayFont;
  copyText(cell.label, weekdayRow()[weekday]);
  clearText(cell.dateText);
}

// Appearance classes of a day cell.
enum DayLook { ShownMonthDay, OtherMonthDay, MarkedDay };

void setDayLook(CalendarCell& cell, DayLook look) {
  cell.kind = look == OtherMonthDay ? OtherMonthCell : ShownMonthCell;
  cell.highlighted = look == MarkedDay;
  applyCellLook(cell);
}

// The day and year a fill of `slot` showing `month` marks, as read from the
// initial date texts; false when this fill marks nothing.
//   SingleDate, DateRange: slot 1 against day1/year1, slot 2 of a range
//     against day2/year2 (the month is the one its list shows).
//   YearView: the slot of month1 against day1/year1, so today is marked in
//     whichever month it falls (the texts are empty unless the year shown is
//     the current one).
bool markedDate(int slot, int32_t month, int32_t* day, int32_t* year) {
  const PopupState& s = popupState;
  if (s.dialogReady) return false;
  if (s.mode == YearView) {
    if (readDecimal(s.month1) != month) return false;
    *day = readDecimal(s.day1);
    *year = readDecimal(s.year1);
    return true;
  }
  if (slot == 1) {
    *day = readDecimal(s.day1);
    *year = readDecimal(s.year1);
    return true;
  }
  if (slot == 2 && s.mode == DateRange) {
    *day = readDecimal(s.day2);
    *year = readDecimal(s.year2);
    return true;
  }
  return false;
}

void blankDayCells(CalendarCell* days) {
  for (int k = 0; k < kCellsPerSlot - kFirstDayPosition; ++k) {
    clearText(days[k].label);
    clearText(days[k].dateText);
    setDayLook(days[k], ShownMonthDay);
  }
}

// Writes "%d" of a day number (1-31) into a label.
void writeDayLabel(char (&label)[4], int32_t day) {
  clearText(label);
  if (day >= 10) {
    label[0] = static_cast<char>('0' + day / 10);
    label[1] = static_cast<char>('0' + day % 10);
  } else {
    label[0] = static_cast<char>('0' + day);
  }
}

}  // namespace

int32_t headingWeekday(int column) { return weeksStartOnMonday() ? (column + 1) % 7 : column; }

CellSize cellSize(float scale, int32_t dpi) {
  return {dpiScaled(static_cast<int32_t>(scale * kBaseCellWidth), dpi),
          dpiScaled(static_cast<int32_t>(scale * kBaseCellHeight), dpi)};
}

void layoutMonth(int slot, int32_t top, int32_t left) {
  if (!slotInRange(slot)) return;
  const int32_t dpi = popupState.dpi;
  const CellSize size = cellSize(layoutScale(), dpi);
  const int32_t width = size.width, height = size.height;
  const int32_t x0 = left + dpiScaled(5, dpi);
  const int32_t y0 = top + dpiScaled(31, dpi);
  CalendarCell* cells = &popupState.grid[cellIndex(slot, 0)];

  for (int position = 0; position < kCellsPerSlot; ++position) {
    const int row = position / 7;
    const int column = position % 7;
    CellRect& r = cells[position].rect;
    r.left = x0 + column * (width - 1);
    r.right = r.left + width;
    if (row == 0) {
      r.top = y0;
      r.bottom = y0 + height;
      setHeading(cells[position], headingWeekday(column));
    } else {
      r.top = y0 + row * (height - 2);
      r.bottom = r.top + height - 1;
      cells[position].labelFont = popupState.objects.dayFont;
    }
  }
}

void fillMonthCells(int slot, int32_t month, int32_t year) {
  if (!slotInRange(slot)) return;
  CalendarCell* days = &popupState.grid[cellIndex(slot, kFirstDayPosition)];
  if (month < 1 || month > 12 || year < kFirstListYear || year > kLastListYear) {
    blankDayCells(days);
    return;
  }

  const int32_t firstWeekday = dayOfWeek(month, 1, year);
  const int32_t leading = weeksStartOnMonday() ? (firstWeekday + 6) % 7 : firstWeekday;
  int32_t runDay = 1, runMonth = month, runYear = year;
  if (leading != 0) {
    runMonth = month == 1 ? 12 : month - 1;
    runYear = month == 1 ? year - 1 : year;
    runDay = daysInMonth(runMonth, runYear) - leading + 1;
  }

  int32_t markDay = 0, markYear = 0;
  bool markPending = markedDate(slot, month, &markDay, &markYear);
  const int32_t style = popupState.settings.dateStyle;

  for (int k = 0; k < kCellsPerSlot - kFirstDayPosition; ++k) {
    CalendarCell& cell = days[k];
    writeDayLabel(cell.label, runDay);
    formatDateText(cell.dateText, sizeof cell.dateText, style, runMonth, runDay, runYear);

    DayLook look = runMonth == month ? ShownMonthDay : OtherMonthDay;
    if (markPending && runMonth == month && runDay == markDay && runYear == markYear) {
      look = MarkedDay;
      markPending = false;
    }
    setDayLook(cell, look);

    if (++runDay > daysInMonth(runMonth, runYear)) {
      runDay = 1;
      if (++runMonth > 12) {
        runMonth = 1;
        ++runYear;
      }
    }
  }
}

void applyCellLook(CalendarCell& cell) {
  const ThemeObjects& o = popupState.objects;
  if (cell.kind == HeadingCell)
    setCellColours(cell, o.weekdayBrush, o.weekdayBkColor, o.weekdayTextColor);
  else if (cell.highlighted)
    setCellColours(cell, o.selectedBrush, o.selectedBkColor, o.selectedTextColor);
  else if (cell.kind == OtherMonthCell)
    setCellColours(cell, o.otherMonthBrush, o.otherMonthBkColor, o.otherMonthTextColor);
  else
    setCellColours(cell, o.dayBrush, o.dayBkColor, o.dayTextColor);
}

void restyleCells() {
  const ThemeObjects& o = popupState.objects;
  const int32_t count = popupState.cellCount;
  for (int i = 0; i < kGridCells && i < count; ++i) {
    CalendarCell& cell = popupState.grid[i];
    cell.labelFont = cell.kind == HeadingCell ? o.weekdayFont : o.dayFont;
    applyCellLook(cell);
  }
}

CellRect monthTitleBand(int slot) {
  const CellRect& first = popupState.grid[cellIndex(slot, 0)].rect;
  const CellRect& last = popupState.grid[cellIndex(slot, kCellsPerSlot - 1)].rect;
  const int32_t dpi = popupState.dpi;
  return {first.left, first.top - dpiScaled(20, dpi), last.right, first.top - dpiScaled(3, dpi)};
}
