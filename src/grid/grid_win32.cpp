// The Win32 side of the grid: reading the calendar's lists for a fill,
// drawing one cell, and repainting each cell a pick changes on its own
// device context at once.
#include "grid/grid_win32.h"

#include <cstring>

#include "call/calendar_cell.h"
#include "call/popup_state.h"
#include "common/display_scale.h"
#include "common/list_text_win32.h"
#include "common/text.h"
#include "grid/cell_pick.h"
#include "grid/label_run_win32.h"
#include "grid/month_grid.h"
#include "resources/resource_ids.h"

namespace {

// The year list's selected entry read as a number; 0 when the list has no
// selection or the entry is longer than any year text.
int32_t selectedYear(HWND list) {
  char text[16];
  return selectedListText(list, text, sizeof text) ? readDecimal(text) : 0;
}

// The month list's selection plus 1; 0 when nothing is selected.
int32_t selectedMonth(HWND list) {
  const LRESULT index = SendMessageA(list, CB_GETCURSEL, 0, 0);
  return index == CB_ERR ? 0 : static_cast<int32_t>(index) + 1;
}

// The colour a brush fills with, or CLR_INVALID when it is not solid or
// cannot be read (the description then stays hollow).
COLORREF solidColour(HGDIOBJ brush) {
  LOGBRUSH description = {};
  description.lbStyle = BS_HOLLOW;
  return GetObjectA(brush, sizeof description, &description) && description.lbStyle == BS_SOLID ? description.lbColor
                                                                                                 : CLR_INVALID;
}

// In high contrast a highlighted day also gets a frame in its text colour
// inside its outline, so that a selection is never told by colour alone.
void frameHighlighted(HDC dc, int first, int end) {
  const int32_t inset = dpiScaled(1, popupState.dpi);
  const COLORREF previous = SetDCBrushColor(dc, popupState.objects.selectedTextColor);
  for (int index = first; index < end; ++index) {
    if (!cellHighlighted(index)) continue;
    const CellRect& r = popupState.grid[index].rect;
    const RECT frame = {r.left + inset, r.top + inset, r.right - inset, r.bottom - inset};
    FrameRect(dc, &frame, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  }
  SetDCBrushColor(dc, previous);
}

// Draws one changed cell on a device context of the calendar window.
void repaintOnWindow(int index, void* window) {
  HWND hwnd = static_cast<HWND>(window);
  HDC dc = GetDC(hwnd);
  if (!dc) return;
  paintCell(dc, index);
  ReleaseDC(hwnd, dc);
}

}  // namespace

void fillMonth(HWND window, int slot) {
  const bool right = popupState.mode == DateRange && slot == 2;
  const int32_t year = selectedYear(GetDlgItem(window, right ? IDC_YEAR_RIGHT : IDC_YEAR_LEFT));
  const int32_t month = popupState.mode == YearView
                            ? slot
                            : selectedMonth(GetDlgItem(window, right ? IDC_MONTH_RIGHT : IDC_MONTH_LEFT));
  fillMonthCells(slot, month, year);
}

void paintCells(HDC dc, int first, int end) {
  if (first < 0) first = 0;
  if (end > kGridCells) end = kGridCells;
  if (first >= end) return;
  // Each object is selected only when it changes from one cell to the next:
  // in a filled grid long runs of cells share them, and selecting a font
  // costs more than drawing a label. A cell without a brush or font draws
  // with those the device context came with, as it would alone.
  const LinePen pen(dc);
  const HGDIOBJ originalBrush = GetCurrentObject(dc, OBJ_BRUSH);
  const HGDIOBJ originalFont = GetCurrentObject(dc, OBJ_FONT);
  HGDIOBJ brush = originalBrush, font = originalFont;
  COLORREF fill = solidColour(brush);
  LabelRun labels(dc);
  const int32_t labelLeft = dpiScaled(6, popupState.dpi), labelTop = dpiScaled(1, popupState.dpi);
  for (int index = first; index < end; ++index) {
    const CalendarCell& cell = popupState.grid[index];
    const HGDIOBJ cellFont = cell.labelFont ? static_cast<HGDIOBJ>(cell.labelFont) : originalFont;
    const int32_t x = cell.rect.left + labelLeft, y = cell.rect.top + labelTop;
    // The labels so far are drawn before this cell's outline can cover them.
    if (!labels.continues(y, cellFont, cell.textColor, cell.bkColor)) labels.draw();
    const HGDIOBJ cellBrush = cell.brush ? static_cast<HGDIOBJ>(cell.brush) : originalBrush;
    if (cellBrush != brush) {
      SelectObject(dc, brush = cellBrush);
      fill = solidColour(brush);
    }
    Rectangle(dc, cell.rect.left, cell.rect.top, cell.rect.right, cell.rect.bottom);
    if (cellFont != font) SelectObject(dc, font = cellFont);
    if (!labels.add(x, y, cell.label, static_cast<int>(strnlen(cell.label, sizeof cell.label)), cell.rect.right - 1,
                    cell.rect.bottom - 1, cellFont, cell.textColor, cell.bkColor, fill != cell.bkColor))
      labels.draw();
  }
  labels.draw();
  if (font != originalFont) SelectObject(dc, originalFont);
  if (brush != originalBrush) SelectObject(dc, originalBrush);
  if (popupState.objects.highContrast) frameHighlighted(dc, first, end);
}

LinePen::LinePen(HDC dc) : dc_(dc) {
  const ThemeObjects& o = popupState.objects;
  if (!o.linePen) return;
  pen_ = SelectObject(dc, static_cast<HGDIOBJ>(o.linePen));
  brush_ = SelectObject(dc, static_cast<HGDIOBJ>(o.dayBrush));
}

LinePen::~LinePen() {
  if (pen_) SelectObject(dc_, pen_);
  if (brush_) SelectObject(dc_, brush_);
}

void paintCell(HDC dc, int index) {
  if (index >= 0 && index < kGridCells) paintCells(dc, index, index + 1);
}

int pickAt(HWND window, int x, int y) { return pickCell(cellAt(x, y), repaintOnWindow, window); }

void clearHighlight(HWND window, int calendar) { clearCalendarHighlight(calendar, repaintOnWindow, window); }
