#include "popups/announcement_win32.h"

#include "common/text.h"
#include "grid/accessible_tree.h"
#include "grid/grid_elements.h"
#include "popups/calendar_accessible_win32.h"

#ifndef EVENT_OBJECT_LIVEREGIONCHANGED
#define EVENT_OBJECT_LIVEREGIONCHANGED 0x8019
#endif

namespace {

char announcement[kSpokenDescriptionSize];  // one window is open at a time

}  // namespace

void resetAnnouncement() { announcement[0] = '\0'; }

const char* latestAnnouncement() { return announcement; }

void announce(HWND window, const char* text) {
  // Read through a cleared copy: a caller's buffer holding "" may hold
  // anything behind its terminator.
  char copy[kSpokenDescriptionSize] = {};
  copyText(copy, sizeof copy, text);
  if (copy[0] == '\0') return;
  copyText(announcement, sizeof announcement, copy);
  raiseEvent(EVENT_OBJECT_LIVEREGIONCHANGED, window, OBJID_CLIENT, announcementChildId());
}

LONG announcementState() { return announcement[0] ? STATE_SYSTEM_READONLY : STATE_SYSTEM_INVISIBLE; }
