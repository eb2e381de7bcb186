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

// Start of a span of `size` placed at `start`, moved as little as needed to
// lie within [areaStart, areaEnd): a span that fits is left where it is; one
// larger than the area starts at areaStart, so that a window's caption stays
// reachable.
inline int32_t keptInsideStart(int32_t start, int32_t size, int32_t areaStart, int32_t areaEnd) {
  if (start > areaEnd - size) start = areaEnd - size;
  if (start < areaStart) start = areaStart;
  return start;
}
