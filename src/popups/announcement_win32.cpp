#include "popups/announcement_win32.h"

#include "common/text.h"
#include "grid/accessible_tree.h"
#include "grid/grid_elements.h"

#ifndef EVENT_OBJECT_LIVEREGIONCHANGED
#define EVENT_OBJECT_LIVEREGIONCHANGED 0x8019
#endif

namespace {

char announcement[kSpokenDescriptionSize];  // one window is open at a time

}  // namespace

void resetAnnouncement() { announcement[0] = '\0'; }

const char* latestAnnouncement() { return announcement; }

namespace {

// Makes `text` the announcement unless it is empty; whether it did. The text
// is read through a cleared copy: a caller's buffer holding "" may hold
// anything behind its terminator.
bool kept(const char* text) {
  char copy[kSpokenDescriptionSize] = {};
  copyText(copy, sizeof copy, text);
  if (copy[0] == '\0') return false;
  copyText(announcement, sizeof announcement, copy);
  return true;
}

}  // namespace

void keepUnsaid(const char* text) { kept(text); }

void announce(HWND window, const char* text) {
  if (kept(text)) NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, window, OBJID_CLIENT, announcementChildId());
}

LONG announcementState() { return announcement[0] ? STATE_SYSTEM_READONLY : STATE_SYSTEM_INVISIBLE; }
