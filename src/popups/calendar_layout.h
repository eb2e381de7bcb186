// The calendar window's size arithmetic, kept apart from the Win32 code so
// that its truncation rules can be checked natively. Year-view distances
// are products of an integer and the single-precision size factor, formed in
// double precision and truncated toward zero: 530 x 0.9f (0.9 stored just
// below 0.9) gives 476, where a product rounded to single precision would
// give 477.
//
// Every pixel figure is given for a 96-DPI display. On another display each
// figure is enlarged by dpi / 96 and truncated (dpiScaled) before the year
// view's factor applies to it, so the window is the 96-DPI window enlarged;
// at 96 DPI every figure and every result is the 96-DPI one itself.
#pragma once
#include <cstdint>

#include "common/display_scale.h"

#include "call/calendar_cell.h"

// trunc(value x scale), the factor widened to double.
int32_t scaleTruncated(int32_t value, float scale);

// Client size of the one-month window laid out for dpi: the month grid with
// the margins the frame around it keeps (5 left, 7 right, 31 above for the
// lists, 5 below the frame's line, which lies one pixel under the grid). At
// 96 DPI this is the dialog template's own client area, 251 x 150; the
// window takes it on displays where the template's font does not grow in
// step with the display.
void enlargedClientSize(int32_t dpi, int32_t* width, int32_t* height);

// The year view's client rectangle, narrowed to top + 20, right - 5,
// bottom - 11 (each enlarged for dpi): the area whose size is the step
// between month rows and columns.
CellRect yearViewNarrowed(const CellRect& client, int32_t dpi);

// Top-left corner handed to layoutMonth for year-view slot 1-12 (three
// months a row), given the narrowed client rectangle: rows and columns lie
// the narrowed size plus a 20-pixel gap apart, times the factor.
void yearViewSlotCorner(const CellRect& narrowed, int slot, float scale, int32_t dpi, int32_t* top, int32_t* left);

// Outer size of the window from the template window's outer size w x h:
// a range 2w + 12 wide, the year view (3w + 18) x (4h - 65) scaled, one
// month w x h; 30 taller with OK and Cancel.
void calendarWindowSize(int mode, int32_t w, int32_t h, float scale, int32_t dpi, bool commandButtons,
                        int32_t* width, int32_t* height);
