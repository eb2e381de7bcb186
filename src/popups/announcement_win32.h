// The calendar window's announcement element: a child of its accessible
// object (child id announcementChildId(), role status bar, as browsers
// give a polite live region of role "status") whose name is the latest
// thing the window wants heard. Screen readers speak a live
// region's name when it changes, whatever has the focus; the grid's days
// never take the focus, so a pick that leaves the window open and a month
// change are heard this way. Nothing is said while the window opens or
// closes: its description says what it shows on opening.
//
// One object answers for it in every window. In one month the window's
// object hands it out as a simple element after the grid's and passes the
// element's questions on to it. In a range and the year view it is handed
// out itself, between the last month object and the first control, so that
// moving to the next sibling from a month object (whose child ids number
// its days) can reach it. It is invisible until it has something to say.
// Its role is not static text: NVDA describes a grouping by the named
// static text that follows it, and would read the last month object as
// "End: April 2004 grouping, Start: Tuesday 9 March 2004".
#pragma once
#include <windows.h>
#include <ole2.h>
#include <oleacc.h>

// Forgets the previous window's announcement; called as a window opens,
// before it answers a reader.
void resetAnnouncement();

// The latest announcement, "" before the first; code page 1252.
const char* latestAnnouncement();

// Makes `text` the announcement and tells listening clients
// (EVENT_OBJECT_LIVEREGIONCHANGED on the element); nothing for an empty text.
void announce(HWND window, const char* text);

// The element's state: read only once it holds a text, invisible before.
LONG announcementState();

// The announcement as an object of its own, a child of `parent` (the
// window's object, which closes it before it goes). Its identity is the
// element (window, OBJID_CLIENT, announcementChildId()) that events and the
// live-region mark name. One reference; nullptr when out of memory.
IAccessible* madeAnnouncementAccessible(HWND window, IAccessible* parent);

// Makes every later call on `announcement` (one madeAnnouncementAccessible
// made) fail with RPC_E_DISCONNECTED.
void closeAnnouncementAccessible(IAccessible* announcement);
