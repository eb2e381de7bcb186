// The calendar window's size arithmetic, kept apart from the Win32 code so
// that its truncation rules can be checked natively. Year-view distances
// are products of an integer and the single-precision size factor, formed in
// double precision and truncated toward zero: 530 x 0.9f (0.9 stored just
// below 0.9) gives 476, where a product rounded to single precision would
// give 477.
#pragma once
#include <cstdint>

#include "call/calendar_cell.h"

// trunc(value x scale), the factor widened to double.
int32_t scaleTruncated(int32_t value, float scale);

// Top-left corner handed to layoutMonth for year-view slot 1-12 (three
// months a row), given the client rectangle already narrowed to top + 20,
// right - 5, bottom - 11.
void yearViewSlotCorner(const CellRect& narrowed, int slot, float scale, int32_t* top, int32_t* left);

// Outer size of the window from the template window's outer size w x h:
// a range 2w + 12 wide, the year view (3w + 18) x (4h - 65) scaled, one
// month w x h; 30 taller with OK and Cancel.
void calendarWindowSize(int mode, int32_t w, int32_t h, float scale, bool commandButtons, int32_t* width,
                        int32_t* height);
