#include "popups/calendar_layout.h"

#include "call/popup_state.h"

int32_t scaleTruncated(int32_t value, float scale) {
  return static_cast<int32_t>(static_cast<double>(value) * static_cast<double>(scale));
}

void yearViewSlotCorner(const CellRect& narrowed, int slot, float scale, int32_t* top, int32_t* left) {
  const int32_t rowStep = narrowed.bottom - narrowed.top;
  const int32_t columnStep = narrowed.right - narrowed.left;
  const int32_t row = (slot - 1) / 3, column = (slot - 1) % 3;
  *top = narrowed.top + scaleTruncated(row * rowStep + 20 * row, scale);
  *left = narrowed.left + scaleTruncated(column * columnStep + 20 * column, scale);
}

void calendarWindowSize(int mode, int32_t w, int32_t h, float scale, bool commandButtons, int32_t* width,
                        int32_t* height) {
  *width = w;
  *height = h;
  if (mode == DateRange) {
    *width = 2 * w + 12;
  } else if (mode == YearView) {
    *width = scaleTruncated(3 * w + 18, scale);
    *height = scaleTruncated(4 * h - 65, scale);
  }
  if (commandButtons) *height += 30;
}
