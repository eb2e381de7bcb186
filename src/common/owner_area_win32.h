// The rectangles a popup window is placed against.
#pragma once
#include <windows.h>

#include "common/placement.h"

// The owner window's rectangle in screen coordinates, or the screen's work
// area when the window has no owner (no window was active when the popup
// opened).
inline RECT ownerOrWorkArea(HWND window) {
  RECT area = {};
  HWND owner = GetWindow(window, GW_OWNER);
  if (!owner || !GetWindowRect(owner, &area)) SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

// `placed` moved as little as needed to lie within the work area of the
// monitor nearest to it (its taskbar and side bars left free); a window
// larger than that area keeps its top-left corner on it. The dialog
// manager's DM_REPOSITION would do this on Windows, but Wine 8 leaves the
// window where it is.
inline RECT keptInWorkArea(RECT placed) {
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoA(MonitorFromRect(&placed, MONITOR_DEFAULTTONEAREST), &monitor)) return placed;
  const RECT& area = monitor.rcWork;
  const LONG width = placed.right - placed.left, height = placed.bottom - placed.top;
  const LONG left = keptInsideStart(placed.left, width, area.left, area.right);
  const LONG top = keptInsideStart(placed.top, height, area.top, area.bottom);
  RECT kept = {left, top, left + width, top + height};
  return kept;
}
