// The calendar window's accessible object (Microsoft Active Accessibility),
// through which screen readers and voice-control programs read the grid and
// pick a day. Nothing is made until the first request for it, and it ends
// with the window.
//
// Children of the window's client object, by child id:
//   1 to C       the window's controls, in their order as child windows, each
//                the platform's own object for it (CreateStdAccessibleObject)
//   C + 1 + n    grid element n (grid/grid_elements.h), a simple element:
//                  weekday heading  role column header, read-only
//                  day              role cell, selectable; selected when
//                                   highlighted (the initial date or the
//                                   pick); a grey day of the month before or
//                                   after has the description "Outside the
//                                   month shown"; a day without a date is
//                                   unavailable; default action "Click",
//                                   which posts the window the release of the
//                                   left button at the cell's centre, so it
//                                   takes the mouse's own path (confirming,
//                                   range checks and messages included)
//                  month title      role static text, read-only (year view)
// Everything else about the client object itself (its name, role, state,
// location and parent) is the platform's proxy's answer.
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
// change): EVENT_OBJECT_REORDER on the client object. Nothing when no client
// ever asked for the object.
void notifyGridRefilled(HWND window);

// Tells listening clients that the day of grid cell `cell` was picked:
// EVENT_OBJECT_SELECTION on its element. Nothing when no client ever asked.
void notifyDayPicked(HWND window, int cell);

// Disconnects the window's accessible object from its clients, releases what
// answerGetObject made and ends COM on this thread when it began it there.
// Called when the window is destroyed; nothing when no client ever asked.
void closeAccessible();
