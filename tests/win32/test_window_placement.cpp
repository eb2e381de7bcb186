// Every placed window of the plug-in ends inside the work area: one that
// would run past its right or bottom edge is moved back by as much as it
// would overhang, and one that fits opens exactly where it is placed.
#include <gtest/gtest.h>

#include <algorithm>

#include "harness.h"

namespace {

const int kCentred = -1;  // requested position: centred over the host window

struct Case {
  const char* function;  // nullptr: the Preferences window
  const char* parameter;
  RECT host;             // the active window, in screen coordinates
  int x, y;              // where the window is placed, or kCentred
};

// A host window near the bottom-right corner of the 1280 x 1024 screen, and
// one in the middle of it.
const RECT kCornerHost = {1000, 800, 1280, 1024}, kMiddleHost = {300, 200, 1000, 700};

const Case kCases[] = {
    {"XELM CalPopup", "12/25/2003|1200|950", kMiddleHost, 1200, 950},
    {"XELM CalPopup", "12/25/2003|100|50", kMiddleHost, 100, 50},
    {"XELM CalPopup", "12/25/2003", kCornerHost, kCentred, kCentred},
    {"XELM CalPopup2", "03/01/2004|04/01/2004|1200|300", kMiddleHost, 1200, 300},
    {"XELM YearPopup", "2004|900|700|||||command", kMiddleHost, 900, 700},
    {"XELM YearPopup", "2004|||||||command", kCornerHost, kCentred, kCentred},
    {"XELM TimePopup", "900|750", kMiddleHost, 1200, 950},  // offsets from the host window
    {"XELM TimePopup", "", kMiddleHost, kCentred, kCentred},
    {nullptr, "", kCornerHost, kCentred, kCentred},
    {nullptr, "", kMiddleHost, kCentred, kCentred},
};

int placedStart(int requested, int hostStart, int hostEnd, int size) {
  return requested == kCentred ? hostStart + ((hostEnd - hostStart - size) >> 1) : requested;
}

TEST(WindowPlacement, InsideTheWorkAreaMovedAsLittleAsNeeded) {
  deleteSettingsKey();
  RECT area;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.function ? c.function : "Preferences") + " " + c.parameter);
    ActiveOwner host(c.host.left, c.host.top, c.host.right - c.host.left, c.host.bottom - c.host.top);
    RECT shown = {};
    const auto script = [&](WindowDriver& d) {
      shown = d.windowRect();
      d.close();
    };
    if (c.function) callDriven(c.function, c.parameter, script);
    else runDriven([] { plugin().callKind(5); }, script);

    const int width = shown.right - shown.left, height = shown.bottom - shown.top;
    ASSERT_GT(width, 0);
    const RECT h = host.rect();
    const int x = placedStart(c.x, h.left, h.right, width), y = placedStart(c.y, h.top, h.bottom, height);
    EXPECT_EQ(shown.left, std::min(x, int(area.right) - width));
    EXPECT_EQ(shown.top, std::min(y, int(area.bottom) - height));
  }
}

}  // namespace
