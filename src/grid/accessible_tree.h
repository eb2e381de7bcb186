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
// Events and selections must name a day that is not the client's own
// child: the client also answers for every grid element under a nested id,
// kNestedElementIds + element + 1, beyond any child id it counts.
#pragma once
#include "call/calendar_cell.h"

constexpr long kNestedElementIds = 1000;

// Month objects of the window: 0 for one month, 2 in a range, 12 in the year view.
int monthObjectCount();

// The announcement element's child id, after the grid or the month objects;
// the controls follow it.
long announcementChildId();

// The child id under which the client object answers for grid element
// `number`: its own child's id when flat, else its nested id; 0 when the
// number is outside the grid.
long elementChildId(int number);

// The grid element that child id `id` of the client names; -1 for another id.
int elementOfChildId(long id);

// The slot of the month object with child id `id`; 0 for another id.
int monthOfChildId(long id);

// The grid element that child `child` (1-49) of slot `slot`'s month object
// is; -1 outside them and outside the slots in use.
int monthChildElement(int slot, long child);

// The child id of grid element `number` in its month object; -1 for a month
// title or a number outside the grid.
long monthChildOfElement(int number);

// Slot `slot`'s area in client coordinates: its headings and days, and in
// the year view the band of its title; empty outside the slots in use.
CellRect monthObjectRect(int slot);
