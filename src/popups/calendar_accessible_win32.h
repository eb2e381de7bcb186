// The calendar window's accessible object (Microsoft Active Accessibility),
// through which screen readers and voice-control programs read the grid and
// pick a day. Nothing is made until the first request for it, and it ends
// with the window.
//
// Children of the window's client object, by child id:
//   1 to G       grid element id - 1 (grid/grid_elements.h), in reading
//                order, each a simple element:
//                  weekday heading  role column header, named by the whole
//                                   weekday
//                  day              role cell, named with its weekday,
//                                   selectable; selected when highlighted
//                                   (the initial date or the pick); its
//                                   description says which calendar of a
//                                   range it belongs to and whether it lies
//                                   outside the month shown; a cell without
//                                   a date is unavailable and invisible;
//                                   default action "Click", which posts the
//                                   window the release of the left button at
//                                   the cell's centre, so it takes the
//                                   mouse's own path (confirming, range
//                                   checks and messages included); selecting
//                                   it (SELFLAG_TAKESELECTION) does the same
//                  month title      role static text (year view)
//   G + 1 to G + C  the window's controls, in their order as child windows,
//                each the platform's own object for it
//                (CreateStdAccessibleObject)
// The grid comes first so that a reader's object navigation (first child,
// then next sibling) meets every day before it leaves for the controls,
// whose objects lead on to their sibling windows, not back to the grid.
// The client object's description says which month or months are shown and
// which days are marked; its selection is the highlighted day or days. Up,
// down, left and right move between a month's headings and days by their
// places on the grid. Everything else about the client object itself (its
// name, role, state, location and parent) is the platform's proxy's answer.
//
// Calls arrive on the window's thread: from other apartments and processes
// they are marshalled by COM. A host whose thread is in the multithreaded
// apartment (no host with windows should be) gets the platform's object
// alone, as before. After the window is destroyed every call on a
// reference a client kept fails with RPC_E_DISCONNECTED.
#pragma once
#include <windows.h>

// Answers WM_GETOBJECT: for OBJID_CLIENT the window's accessible object,
// made at the first request (which also initialises COM on this thread when
// it is not yet, until the window ends), as LresultFromObject gives it; 0
// for any other object id or on a thread of the multithreaded apartment, so
// that the platform answers as before.
LRESULT answerGetObject(HWND window, WPARAM flags, LPARAM objectId);

// Tells listening clients that the grid's days were filled again (a list
// change): EVENT_OBJECT_REORDER and EVENT_OBJECT_DESCRIPTIONCHANGE on the
// client object, so that a reader can say the new month.
void notifyGridRefilled(HWND window);

// Tells listening clients that the day of grid cell `cell` was picked, where
// `replaced` was highlighted in its calendar before (-1 for none): in a range
// EVENT_OBJECT_SELECTIONREMOVE for the replaced day and
// EVENT_OBJECT_SELECTIONADD for the new one, since the other calendar's pick
// stays selected; otherwise EVENT_OBJECT_SELECTION.
// Events go out whether or not a client has asked for the object yet: one
// that starts listening while the window is open hears them, and without a
// listener NotifyWinEvent does nothing.
void notifyDayPicked(HWND window, int cell, int replaced);

// Disconnects the window's accessible object from its clients, releases what
// answerGetObject made and ends COM on this thread when it began it there.
// Called when the window is destroyed; nothing when no client ever asked.
// A client in this process that still holds one of the module's objects
// (an in-context hook) keeps the module loaded until it lets go
// (holdModuleWhileObjectsLive), so that its last Release never calls into an
// unloaded module.
void closeAccessible();

