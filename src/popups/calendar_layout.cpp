#include "popups/calendar_layout.h"

#include "call/popup_state.h"
#include "grid/month_grid.h"

int32_t scaleTruncated(int32_t value, float scale) {
  return static_cast<int32_t>(static_cast<double>(value) * static_cast<double>(scale));
}

void enlargedClientSize(int32_t dpi, int32_t* width, int32_t* height) {
  // Seven columns sharing their borders (7W - 6) and a heading row with six
  // day rows (H + 6(H - 2) - 1, the heading reaching two pixels into the
  // first day row).
  const CellSize cell = cellSize(1.0f, dpi);
  *width = dpiScaled(5, dpi) + 7 * cell.width - 6 + dpiScaled(7, dpi);
  *height = dpiScaled(31, dpi) + 7 * cell.height - 13 + 1 + dpiScaled(5, dpi);
}

CellRect yearViewNarrowed(const CellRect& client, int32_t dpi) {
  return {client.left, client.top + dpiScaled(20, dpi), client.right - dpiScaled(5, dpi),
          client.bottom - dpiScaled(11, dpi)};
}

void yearViewSlotCorner(const CellRect& narrowed, int slot, float scale, int32_t dpi, int32_t* top, int32_t* left) {
  const int32_t rowStep = narrowed.bottom - narrowed.top;
  const int32_t columnStep = narrowed.right - narrowed.left;
  const int32_t gap = dpiScaled(20, dpi);
  const int32_t row = (slot - 1) / 3, column = (slot - 1) % 3;
  *top = narrowed.top + scaleTruncated(row * rowStep + gap * row, scale);
  *left = narrowed.left + scaleTruncated(column * columnStep + gap * column, scale);
}

void calendarWindowSize(int mode, int32_t w, int32_t h, float scale, int32_t dpi, bool commandButtons,
                        int32_t* width, int32_t* height) {
  *width = w;
  *height = h;
  if (mode == DateRange) {
    *width = 2 * w + dpiScaled(12, dpi);
  } else if (mode == YearView) {
    *width = scaleTruncated(3 * w + dpiScaled(18, dpi), scale);
    *height = scaleTruncated(4 * h - dpiScaled(65, dpi), scale);
  }
  if (commandButtons) *height += dpiScaled(30, dpi);
}
