#include <gtest/gtest.h>

#include "common/placement.h"

TEST(Placement, HalvingRoundsTowardMinusInfinity) {
  struct Case { int32_t v, half; } cases[] = {{0, 0}, {1, 0}, {2, 1}, {7, 3}, {-1, -1}, {-2, -1}, {-3, -2}, {-8, -4}};
  for (const Case& c : cases) EXPECT_EQ(floorHalf(c.v), c.half) << c.v;
  EXPECT_EQ(centredStart(100, 300, 101), 149);  // 99 / 2 -> 49
  EXPECT_EQ(centredStart(100, 200, 201), 49);   // -101 / 2 -> -51
}

// A span that fits stays; one that runs past an end moves back by as much;
// one larger than the area starts at its start (a window's caption).
TEST(Placement, KeptInsideTheWorkArea) {
  struct Case { int32_t start, size, areaStart, areaEnd, kept; } cases[] = {
      {100, 200, 0, 1024, 100}, {824, 200, 0, 1024, 824}, {900, 200, 0, 1024, 824}, {1200, 300, 0, 1024, 724},
      {-50, 200, 0, 1024, 0},   {950, 100, 40, 1000, 900}, {10, 100, 40, 1000, 40},  {-62, 1100, 0, 1024, 0},
      {500, 1100, 0, 1024, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(keptInsideStart(c.start, c.size, c.areaStart, c.areaEnd), c.kept) << c.start << "+" << c.size;
}
