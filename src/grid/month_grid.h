// The month grid model: placing a slot's 49 cells and filling its 42 day
// cells with day numbers, date texts and colours. Portable: the Win32 layer
// reads the shown month and year from the window's lists and calls
// fillMonthCells.
#pragma once
#include <cstdint>

// Sets the rectangles of slot (1-12) with its origin at (left + 5, top + 31),
// the day cells' font, and the seven weekday headings.
void layoutMonth(int slot, int32_t top, int32_t left);

// Writes the 42 day cells of `slot` for the shown month (1-12) and year.
void fillMonthCells(int slot, int32_t month, int32_t year);
