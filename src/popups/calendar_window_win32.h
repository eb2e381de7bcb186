// The calendar window (dialog 122) shared by the three date functions.
#pragma once
#include <windows.h>

#include "dates/date_text.h"

INT_PTR CALLBACK calendarWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the calendar window modally from template 122 of `module`, owned by
// `owner`, with `proc` as its dialog procedure (calendarWindowProc; a test
// or the bench may wrap it). The window is built without the controls that
// would stay hidden all its life (calendarControlShown); the rest is as the
// template says. Returns the window's result, or -1 when it could not be
// created.
INT_PTR runCalendarWindow(HINSTANCE module, HWND owner, DLGPROC proc = calendarWindowProc);

// Whether control `id` of template 122 is ever shown for the call in
// progress (its mode and confirmation method).
bool calendarControlShown(int id);

// Fills the year list of `side` with 1900-2100 and selects the calendar's year.
void fillYearList(HWND window, CalendarSide side);
// Fills the month list of `side` with the language's names and selects the month.
void fillMonthList(HWND window, CalendarSide side);
