// The calendar window's announcement element: a simple child of its
// accessible object (child id announcementChildId(), role static text)
// whose name is the latest thing the window wants heard. Screen readers
// speak a live region's name when it changes, whatever has the focus; the
// grid's days never take the focus, so a pick that leaves the window open
// and a month change are heard this way. Nothing is said while the window
// opens or closes: its description says what it shows on opening.
#pragma once
#include <windows.h>

// Forgets the previous window's announcement; called as a window opens.
void resetAnnouncement();

// The latest announcement, "" before the first; code page 1252.
const char* latestAnnouncement();

// Makes `text` the announcement and tells listening clients
// (EVENT_OBJECT_LIVEREGIONCHANGED on the element); nothing for an empty text.
void announce(HWND window, const char* text);
