// The Win32 side of the grid: filling a slot from the window's month and
// year lists, painting cells, hit-testing a click and moving the highlight.
#pragma once
#include <windows.h>

// Reads the month and year lists of the slot's calendar and fills the slot.
void fillMonth(HWND window, int slot);

// Selects the objects' line pen, and the shown month's day brush to fill
// what the lines enclose, for the object's life; does nothing when there is
// no line pen (the device context's black pen and white brush then draw).
class LinePen {
 public:
  explicit LinePen(HDC dc);
  ~LinePen();
  LinePen(const LinePen&) = delete;
  LinePen& operator=(const LinePen&) = delete;

 private:
  HDC dc_;
  HGDIOBJ pen_ = nullptr, brush_ = nullptr;
};

// Draws cell `index` from its fields on `dc`, leaving the device context's
// brush, font, background mode and colours as they were.
void paintCell(HDC dc, int index);

// Draws cells first to end - 1 in index order, as paintCell would one by
// one: the same pixels, the brush and font restored at the end.
void paintCells(HDC dc, int first, int end);

// Picks the day cell under client point (x, y): 1 when a dated cell was hit.
int pickAt(HWND window, int x, int y);

// Returns the highlighted cells of calendar 1, 2, or 0 (whole year view) to
// their normal colours, repainting each at once.
void clearHighlight(HWND window, int calendar);
