// The calendar window (dialog 122) shared by the three date functions.
#pragma once
#include <windows.h>

#include "dates/date_text.h"

INT_PTR CALLBACK calendarWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Fills the year list of `side` with 1900-2100 and selects the calendar's year.
void fillYearList(HWND window, CalendarSide side);
// Fills the month list of `side` with the language's names and selects the month.
void fillMonthList(HWND window, CalendarSide side);
