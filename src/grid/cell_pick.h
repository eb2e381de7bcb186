// Hit-testing a click and moving the highlight of a picked day, over the
// cells of popupState.grid. Portable: every cell these operations change is
// handed at once to a repaint callback, which the Win32 layer implements by
// drawing that one cell on its own device context.
//
// Calendars: 1 is the left or only calendar (cells 7-48), 2 the right
// calendar of a DateRange (cells 56-97), 0 the whole YearView (cells 7 to
// cellCount - 1). A day cell counts as highlighted when its highlighted
// flag is set and its dateText is not empty, whatever it is painted with.
#pragma once
#include <cstdint>

// Called for each cell whose look an operation has just changed.
typedef void (*CellRepaint)(int index, void* context);

// The first cell, testing indexes 7 to cellCount - 1 in order, with
// left <= x < right and top <= y < bottom; -1 when none contains the point.
// So a shared border goes to the lower index and slot 1's headings are never
// tested, while later slots' headings are (they come first in index order).
int cellAt(int32_t x, int32_t y);

// Whether cell `index` is a day cell in use that counts as highlighted.
bool cellHighlighted(int index);

// The first highlighted cell of `calendar`; -1 when it has none.
int highlightedCell(int calendar);

// Returns the highlighted cells of `calendar` to the look of their kind (a
// shown or a neighbouring month's day), in index order, repainting each. Other calendars' cells and
// unhighlighted cells are left alone.
void clearCalendarHighlight(int calendar, CellRepaint repaint, void* context);

// Picks cell `index`: when it is a cell in use with a date text, copies the
// date into resultText (and in a DateRange into pick1/picked1 below index 49,
// pick2/picked2 from 49 on), clears the highlight of its calendar, highlights
// the cell, repaints it and returns 1. Otherwise changes nothing and
// returns 0.
int pickCell(int index, CellRepaint repaint, void* context);
