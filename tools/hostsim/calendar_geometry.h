// Where the calendar window's cells are, worked out from outside the plug-in
// the way a user sees the window: the template's own size (a hidden copy of
// dialog 122 made from the plug-in's module), the layout the window shows
// (lists visible) and, in the year view, the size factor that its width
// matches, and the display's DPI, which enlarges every pixel figure of the
// 96-DPI layout. Used by the driver's "day" action and by tests that aim at
// cell edges; it deliberately does not read the plug-in's memory.
#pragma once
#include <windows.h>

struct CalendarGeometry {
  int mode = 0;                 // 1 single date, 2 date range, 3 year view; 0 unknown
  float scale = 1.0f;           // year-view size factor (1, 0.9 or 0.75)
  int templateWidth = 0;        // outer size of the template window, frame included
  int templateHeight = 0;
  int templateClientWidth = 0;  // its client size
  int templateClientHeight = 0;
  int dpi = 96;                 // dots per inch of the window's display
  // The one-month window the layout starts from, outer and client size: the
  // template's at 96 DPI; elsewhere the one that holds the enlarged grid
  // (5 + 7 cell widths - 6 + 7 by 31 + 7 cell heights - 13 + 1 + 5, each
  // margin enlarged), since the template does not grow in step.
  int layoutWidth = 0;
  int layoutHeight = 0;
  int layoutClientWidth = 0;
  int layoutClientHeight = 0;

  // Top-left corner of month slot 1-12 (the cell grid starts 5 right, 31 down,
  // enlarged).
  POINT slotCorner(int slot) const;
  // Cell `position` (0-48) of `slot`; right and bottom exclusive.
  RECT cell(int slot, int position) const;
  POINT centre(int slot, int position) const;
  // trunc(value x scale), the single-precision factor widened to double.
  int scaled(int value) const;
  // A 96-DPI pixel figure on this display: trunc(value x dpi / 96).
  int px(int value) const { return value * dpi / 96; }
};

// The template's sizes from a hidden copy of dialog `templateId` of `module`.
bool measureTemplate(HINSTANCE module, int templateId, CalendarGeometry& geometry);

// The layout's figures for a display of `dpi` dots per inch, from the
// template sizes already measured (its frame and caption).
void enlargeForDisplay(CalendarGeometry& geometry, int dpi);

// Geometry of the open calendar window `window` (the plug-in's dialog 122).
bool calendarGeometryOf(HWND window, CalendarGeometry& geometry);
