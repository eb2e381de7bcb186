// How the calendar window's accessible object arranges the grid's elements
// (grid_elements.h) for a screen reader, by child id. Portable: the Win32
// layer makes the objects and answers for them.
//
// One month (CalPopup) is flat: the client object's children are the grid's
// elements, ids 1 to G, then the announcement element, then the controls.
// A range and the year view group each month in a month object: the client's
// children are the month objects, ids 1 to M (2 or 12), then the
// announcement element, then the controls. A month object's own children
// are its slot's headings, ids 1 to 7, and days, 8 to 49, in reading order
// (the year view's title is the month object's own name).
//
// An event about a month object, or about a day or heading inside one, names
// the month object by a custom object id of the window (positive, as MSAA
// leaves positive ids to the server), which the window's WM_GETOBJECT
// answers with that month object: a reader resolving the event then holds
// the same object, and the same child id in it, as its navigation reaches.
#pragma once
#include "call/calendar_cell.h"

constexpr long kMonthObjectIds = 100;

// Month objects of the window: 0 for one month, 2 in a range, 12 in the year view.
int monthObjectCount();

// The announcement element's child id, after the grid or the month objects;
// the controls follow it.
long announcementChildId();

// The client object's child id of grid element `number` when one month is
// shown; 0 when the number is outside the grid or the element is held by a
// month object.
long elementChildId(int number);

// The grid element that child id `id` of the client names; -1 for another id.
int elementOfChildId(long id);

// The custom object id that names month object `slot` in events and
// WM_GETOBJECT; monthOfObjectId gives the slot back, 0 for any other id
// (any LONG, such as the system's negative ids).
long monthObjectId(int slot);
int monthOfObjectId(long objectId);

// The slot of the month object with child id `id`; 0 for another id. The
// month objects come first among the client's children, so a month
// object's child id is its slot: monthChildId gives it.
int monthOfChildId(long id);
long monthChildId(int slot);

// The grid element that child `child` (1-49) of slot `slot`'s month object
// is; -1 outside them and outside the slots in use.
int monthChildElement(int slot, long child);

// The child id of grid element `number` in its month object; -1 for a month
// title or a number outside the grid.
long monthChildOfElement(int number);

// Slot `slot`'s area in client coordinates: its headings and days, and in
// the year view the band of its title; empty outside the slots in use.
CellRect monthObjectRect(int slot);
