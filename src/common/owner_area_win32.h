// The rectangle a popup window is placed against.
#pragma once
#include <windows.h>

// The owner window's rectangle in screen coordinates, or the screen's work
// area when the window has no owner (no window was active when the popup
// opened).
inline RECT ownerOrWorkArea(HWND window) {
  RECT area = {};
  HWND owner = GetWindow(window, GW_OWNER);
  if (!owner || !GetWindowRect(owner, &area)) SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}
