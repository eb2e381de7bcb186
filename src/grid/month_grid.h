// The month grid model: placing a slot's 49 cells and filling its 42 day
// cells with day numbers, date texts and colours. Portable: the Win32 layer
// reads the shown month and year from the window's lists and calls
// fillMonthCells.
#pragma once
#include <cstdint>

#include "call/calendar_cell.h"

// A grid cell's width and height (heading cells; day cells are one pixel
// lower): 35 x 18 times the size factor in single precision, each truncated,
// then enlarged for a display of `dpi` dots per inch (dpiScaled).
struct CellSize {
  int32_t width, height;
};
CellSize cellSize(float scale, int32_t dpi);

// Sets the rectangles of slot (1-12) with its origin at (left + 5, top + 31),
// the day cells' font, and the seven weekday headings (label, brush, colours,
// font; date text empty). Cell size is 35 x 18 times settings.scale, each
// truncated (a scale that is not a positive number up to 100 counts as 1);
// cell size and origin offsets are enlarged for popupState.dpi.
// Headings read Sunday first for calendarType 0, Monday first otherwise; a
// language outside 0-7 reads English. A slot outside 1-12 is ignored.
void layoutMonth(int slot, int32_t top, int32_t left);

// Weekday (0 Sunday - 6 Saturday) of heading column 0-6: Sunday first for
// calendarType 0, Monday first otherwise.
int32_t headingWeekday(int column);

// Writes label, dateText, kind, highlighted flag and colours of the
// 42 day cells of `slot` for the shown month (1-12) and year (1900-2100).
// While dialogReady is clear, the initial date is marked when it lies in the
// shown month: slot 1 against day1/year1, slot 2 of a DateRange against
// day2/year2; in the YearView the slot whose month is month1, against
// day1/year1. Month or year out of range (a list without a selection): the
// day cells become blank, undated, unmarked cells of the shown month's look.
// A dateStyle outside 0-2 writes empty date texts (cells that cannot be
// picked). A slot outside 1-12 is ignored.
void fillMonthCells(int slot, int32_t month, int32_t year);

// Gives `cell` the brush and label colours of the objects held for what it
// is: a heading's, a highlighted day's, a neighbouring month's day's or a
// shown month's day's.
void applyCellLook(CalendarCell& cell);

// Gives every cell in use the fonts and colours of the objects now held,
// keeping what each cell is, its label, date and highlight: for objects made
// again while the window is open.
void restyleCells();

// The band above a laid-out slot (1-12) in which the year view draws its
// month's name: as wide as the slot's grid, from 20 to 3 pixels (enlarged
// for popupState.dpi) above its top; right and bottom exclusive. The name's
// top edge is the band's top.
CellRect monthTitleBand(int slot);
