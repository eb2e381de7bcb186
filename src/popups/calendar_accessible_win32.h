// The calendar window's accessible object (Microsoft Active Accessibility),
// through which screen readers and voice-control programs read the grid and
// pick a day. Nothing is made until the first request for it, and it ends
// with the window.
//
// The client object's children by child id (grid/accessible_tree.h):
//   one month        the grid's elements 1 to G in reading order (headings
//                    and days, as grid_element_accessible_win32.h describes
//                    them), then the announcement (G + 1), a simple element
//                    whose questions its object answers
//   range, year view the month objects 1 to M (month_accessible_win32.h),
//                    then the announcement's object (M + 1)
//   then             the window's controls, in their order as child windows,
//                    each the platform's own object for it
//                    (CreateStdAccessibleObject)
// The grid comes first so that a reader's object navigation (first child,
// then next sibling) meets every day, or every month, before it leaves for
// the controls, whose objects lead on to their sibling windows, not back to
// the grid. The announcement (announcement_win32.h) is a status line named
// by the latest thing the window said.
// Events name an element where a reader finds it: a month object by its own
// object id of the window (grid/accessible_tree.h), which WM_GETOBJECT
// answers, and a day or heading inside one by that id and its child id
// there; the announcement and one month's elements by the client object
// and their child ids.
// The client object's description says which month or months are shown and
// which days are selected; in one month its selection is the highlighted
// day. Up,
// down, left and right move between a month's headings and days by their
// places on the grid. Everything else about the client object itself (its
// name, role, state, location and parent) is the platform's proxy's answer.
//
// Calls arrive on the window's thread: from other apartments and processes
// they are marshalled by COM. A host whose thread is in the multithreaded
// apartment (no host with windows should be) gets the platform's object
// alone, as before, and hears no event of ours: the platform's object
// would resolve them to its own children (child 3 to the third control).
// After the window is destroyed every call on a reference a client kept
// fails with RPC_E_DISCONNECTED. docs/accessibility.md draws the whole
// tree, its ids and its events.
#pragma once
#include <windows.h>
#include <ole2.h>

// Answers WM_GETOBJECT: for OBJID_CLIENT the window's accessible object,
// made at the first request (which also initialises COM on this thread when
// it is not yet, until the window ends), and for a month object's id that
// month object, as LresultFromObject gives them; 0 for any other object id
// or on a thread of the multithreaded apartment, so that the platform
// answers as before.
LRESULT answerGetObject(HWND window, WPARAM flags, LPARAM objectId);

// Whether the window hands out no object of its own: on a host thread of
// the multithreaded apartment, where answerGetObject answers 0.
bool windowRefusesObjects();

// NotifyWinEvent, unless the window refuses its objects.
void raiseEvent(DWORD event, HWND window, LONG objectId, LONG childId);

// Tells listening clients that the grid's days of slot `slot` were filled
// again (a list change; in the year view every slot was), where
// `selectedBefore` was the highlighted cell of its calendar before the fill
// (-1 for none): EVENT_OBJECT_SELECTIONREMOVE on that day's element when
// the fill left it unselected, EVENT_OBJECT_REORDER on the days' container
// (the client object, or each month object refilled, which also raises
// EVENT_OBJECT_NAMECHANGE as it shows another month),
// EVENT_OBJECT_DESCRIPTIONCHANGE on the client object, and the month now
// shown as the announcement ("April 2004", "End: May 2004"). The year
// view's year is not said again after its list's own value; its
// announcement is emptied instead.
void notifyGridRefilled(HWND window, int slot, int selectedBefore);

// Tells listening clients that the day of grid cell `cell` was picked, where
// `replaced` was highlighted in its calendar before (-1 for none):
// EVENT_OBJECT_SELECTION in the day's container, and in the year view
// EVENT_OBJECT_SELECTIONREMOVE for a replaced day in another month object.
// Events go out whether or not a client has asked for the object yet: one
// that starts listening while the window is open hears them, and without a
// listener NotifyWinEvent does nothing.
void notifyDayPicked(HWND window, int cell, int replaced);

// After a pick that leaves the window open: the client's description changed
// (it names the picked day), and the day is announced as selected, in a range
// with its calendar.
void announcePick(HWND window, int cell);

// The client object's child after (`next`) or before its child `id`, as a
// client reads it from accNavigate: a simple element's id (VT_I4), or an
// object's (VT_DISPATCH); S_FALSE when there is none.
HRESULT calendarSibling(long id, bool next, VARIANT* out);

// Disconnects the window's accessible object from its clients, releases what
// answerGetObject made and ends COM on this thread when it began it there.
// Called when the window is destroyed; nothing when no client ever asked.
// A client in this process that still holds one of the module's objects
// (an in-context hook) keeps the module loaded until it lets go
// (holdModuleWhileObjectsLive), so that its last Release never calls into an
// unloaded module.
void closeAccessible();

