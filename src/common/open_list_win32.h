// How many entries an open drop-down list shows.
#pragma once
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

// Has the open list show `entries` entries (all of them when it holds fewer)
// with either version of the common controls. Version 5 fits the open list
// into the height the dialog template gives the control; version 6, which a
// host with such a manifest gets, ignores that height and shows 30 entries
// unless told the count by this message (which version 5 ignores).
inline void showOpenEntries(HWND list, int entries) { SendMessageA(list, CB_SETMINVISIBLE, entries, 0); }
