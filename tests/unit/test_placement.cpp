#include <gtest/gtest.h>

#include "common/placement.h"

TEST(Placement, HalvingRoundsTowardMinusInfinity) {
  struct Case { int32_t v, half; } cases[] = {{0, 0}, {1, 0}, {2, 1}, {7, 3}, {-1, -1}, {-2, -1}, {-3, -2}, {-8, -4}};
  for (const Case& c : cases) EXPECT_EQ(floorHalf(c.v), c.half) << c.v;
  EXPECT_EQ(centredStart(100, 300, 101), 149);  // 99 / 2 -> 49
  EXPECT_EQ(centredStart(100, 200, 201), 49);   // -101 / 2 -> -51
}
