// Pixel figures on displays of other than 96 dots per inch. The calendar's
// figures are given for a 96-DPI display; on another one each is enlarged by
// dpi / 96 and truncated toward zero, so the window is the 96-DPI window
// enlarged, and at 96 DPI every figure is the 96-DPI one itself.
#pragma once
#include <cstdint>

// Dots per inch of the display the pixel figures are given for.
constexpr int32_t kBaseDpi = 96;

// The dots per inch a window works with: the measured figure, or 96 for one
// outside 48-960 that no display has (a failed measurement's 0). Taken once,
// where the window measures its display, so that every figure the window
// derives agrees with dpiScaled.
inline int32_t acceptedDpi(int32_t measured) { return measured < 48 || measured > 960 ? kBaseDpi : measured; }

// trunc(pixels x dpi / 96). A dpi outside 48-960 (such as the 0 of a window
// that has not measured it yet) counts as 96.
inline int32_t dpiScaled(int32_t pixels, int32_t dpi) {
  if (acceptedDpi(dpi) != dpi) return pixels;
  // 64 bits: no product of a 32-bit figure and a dpi overflows; division
  // truncates toward zero.
  return static_cast<int32_t>(static_cast<int64_t>(pixels) * dpi / kBaseDpi);
}
