// A month of the calendar as an accessible object of its own: in a range
// and the year view each month slot is one, a child of the window's object
// (grid/accessible_tree.h), so that a screen reader's object navigation
// passes a month in one step instead of its 49 elements.
//   itself     role grouping, named by the month it shows ("December 2004",
//              in a range "Start: March 2004"); its area is the slot's
//              headings and days (and the year view's title); its selection
//              is its highlighted day; next and previous lead to the
//              neighbouring month objects, and from the last one on to the
//              announcement's object
//   events     named by its own object id of the window
//              (grid/accessible_tree.h), and its days' by that id and their
//              child ids here
//   children   the slot's headings (ids 1-7) and days (8-49), simple
//              elements as grid_element_accessible_win32.h describes them,
//              moved between in id order or by their places on the grid
// Made by the window's object, which holds one reference and closes it at
// the window's end; from then on every call fails with RPC_E_DISCONNECTED.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <oleacc.h>

// Month slot `slot` of `window`, whose parent is `parent` (not kept: the
// parent closes the month before it goes). One reference; nullptr when out
// of memory.
IAccessible* madeMonthAccessible(HWND window, int slot, IAccessible* parent);

// Makes every later call on `month` (one madeMonthAccessible made) fail.
void closeMonthAccessible(IAccessible* month);
