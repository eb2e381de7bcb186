// Window placement arithmetic shared by the plug-in's windows.
#pragma once
#include <cstdint>

// Half of v rounded toward minus infinity (an arithmetic shift by one bit),
// so a window larger than its owner still lands symmetrically.
inline int32_t floorHalf(int32_t v) { return v >= 0 ? v / 2 : -((-(v + 1)) / 2) - 1; }

// Start of a span of `size` centred on the span [ownerStart, ownerEnd).
inline int32_t centredStart(int32_t ownerStart, int32_t ownerEnd, int32_t size) {
  return ownerStart + floorHalf(ownerEnd - ownerStart - size);
}
