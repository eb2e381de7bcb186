// What a screen reader is shown of the calendar grid: one element per
// weekday heading, per day cell and, in the year view, per month title, read
// from the cells of popupState.grid. Portable: the Win32 layer turns these
// into accessible objects, screen coordinates and wide texts.
//
// Elements are numbered 0 to gridElementCount() - 1 in reading order, slot by
// slot for the slots in use (1, 2 or 12): in the year view the month's title
// first, then the slot's seven headings, then its 42 days row by row. The
// numbering depends only on the mode, so it holds for a window's lifetime
// while the months shown change under it.
#pragma once
#include <cstddef>
#include <cstdint>

#include "call/calendar_cell.h"

enum GridElementKind { NoElement, MonthTitleElement, HeadingElement, DayElement };

struct GridElement {
  GridElementKind kind;  // NoElement for a number outside the grid in use
  int slot;              // month slot, 1-12
  int cell;              // grid index of a heading or day; -1 for a title
};

// Elements of the grid in use: 49 per slot, 50 in the year view.
int gridElementCount();

// Month slots in use: whole slots of cellCount (1, 2 or 12), 0 before a fill.
int gridSlotsInUse();

// Element `number`; kind NoElement when it lies outside 0 to count - 1.
GridElement gridElement(int number);

// The element of grid cell `cell`; -1 when the cell is not in use.
int gridElementOfCell(int cell);

// The element at client point (x, y); -1 when there is none. Day cells are
// tested first in the order a click tests them, so a point the click would
// pick finds the day it picks (a shared border goes to the lower index, and
// the two pixel rows where slot 1's headings reach into its first week find
// the day); then the headings, then the year view's titles.
int gridElementAt(int32_t x, int32_t y);

// The element's area in client coordinates (right and bottom exclusive). A
// month title's is the band its name is drawn in (monthTitleBand).
CellRect gridElementRect(const GridElement& element);

// Sizes of the texts below, terminator included: the longest name is a
// Spanish Wednesday of September (35 characters), the longest description a
// range's two months with a selected day each (129 in Spanish).
constexpr size_t kSpokenNameSize = 48;
constexpr size_t kSpokenDescriptionSize = 160;

// The element's name as a screen reader speaks it, in the window's language
// (8-bit, code page 1252, spelled as spoken_names.h spells it): a day its
// long date with the weekday, "Friday 12 March 2004", "vendredi 12 mars 2004"
// (the date that a click on it picks; a grey day names its own month), a
// heading its whole weekday name, a title its month's name. A day cell
// without a date is named by its label: the day number alone, or nothing for
// a blank cell (a month list without a selection).
void gridElementName(const GridElement& element, char* out, size_t outSize);

// The element's description in the window's language; empty when it has
// none. In a range a day says its calendar, "Start" or "End"; a grey day
// adds that it lies outside the month shown ("Start, outside the month
// shown"), or says only that in the other modes ("Outside the month shown").
void gridElementDescription(const GridElement& element, char* out, size_t outSize);

// What the window shows, said once, in the window's language: the month
// shown and the highlighted day, "March 2004, 5 March 2004 selected"; in a
// range each calendar's with its label, "Start: March 2004, End: April 2004";
// in the year view the year, "2004" (and its highlighted day). Read from the
// grid, so it follows every refill; a calendar without dated days (a list
// without a selection) is left out, and a grid without any gives "".
void gridDescription(char* out, size_t outSize);

// The month slot `slot` shows, as its month object is named: "December
// 2004"; in a range with its calendar's label, "Start: March 2004". Empty
// when the slot has no dated day.
void calendarName(int slot, char* out, size_t outSize);

// What a screen reader is told after a pick that leaves the window open:
// the day of grid cell `cell` and that it is now selected, "Tuesday 9 March
// 2004 selected"; in a range which calendar took it, "Start: Tuesday 9 March
// 2004". Empty for a cell without a date.
void pickAnnouncement(int cell, char* out, size_t outSize);

// What a screen reader is told after a month or year list changed slot
// `slot`: the month now shown, "April 2004", in a range with its label,
// "End: April 2004"; in the year view the year, "2004". Empty when the
// slot has no dated day.
void shownAnnouncement(int slot, char* out, size_t outSize);

// Directions on the grid's face, as a screen reader moves by them.
enum GridDirection { TowardUp, TowardDown, TowardLeft, TowardRight };

// The element next to element `number` in `direction` within its month: the
// headings are the row above the first week. -1 past an edge of the month,
// and for a month title or a number outside the grid.
int gridElementToward(int number, GridDirection direction);

// Whether a day element has a date, so that a click on it picks that date.
bool dayHasDate(const GridElement& element);

// Whether a day element is a grey day of the month before or after the one
// its calendar shows.
bool dayOutsideShownMonth(const GridElement& element);
