// Helpers shared by the calendar window tests: where a day of a month falls
// in a month grid, the written date texts, the template's real size under
// this platform, clicks on a day, and reading a pixel of the window.
#pragma once
#include <windows.h>

#include <cstdio>
#include <string>

#include "calendar_geometry.h"
#include "harness.h"

// Weekday of the first of a month, 0 = Sunday (Sakamoto's method).
inline int weekdayOfFirst(int year, int month) {
  static const int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  if (month < 3) year -= 1;
  return (year + year / 4 - year / 100 + year / 400 + offsets[month - 1] + 1) % 7;
}

// Grid position (7-48) of `day` (1-31) of the shown month.
inline int dayPosition(int year, int month, int day, bool mondayFirst = false) {
  const int w = weekdayOfFirst(year, month);
  const int leading = mondayFirst ? (w + 6) % 7 : w;
  return 7 + leading + day - 1;
}

// A date written in style 0 (mm/dd/yyyy), 1 (dd/mm/yyyy) or 2 (yyyy/mm/dd).
inline std::string writtenDate(int month, int day, int year, int style = 0) {
  char text[16];
  if (style == 2) std::snprintf(text, sizeof text, "%d/%02d/%02d", year, month, day);
  else if (style == 1) std::snprintf(text, sizeof text, "%02d/%02d/%d", day, month, year);
  else std::snprintf(text, sizeof text, "%02d/%02d/%d", month, day, year);
  return text;
}

inline std::string todayWritten(int style = 0) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return writtenDate(now.wMonth, now.wDay, now.wYear, style);
}

// Sizes of dialog 122 as this platform makes it (fonts differ from Windows).
inline CalendarGeometry templateSizes() {
  CalendarGeometry geometry;
  measureTemplate(plugin().module(), 122, geometry);
  return geometry;
}

// Clicks the centre of `day` of the month shown in `slot`.
inline void clickDay(WindowDriver& driver, int slot, int year, int month, int day, bool mondayFirst = false) {
  driver.clickCell(slot, dayPosition(year, month, day, mondayFirst));
}

inline int widthOf(const RECT& r) { return r.right - r.left; }
inline int heightOf(const RECT& r) { return r.bottom - r.top; }
