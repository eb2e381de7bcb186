// Every placed window of the plug-in ends inside the work area: one that
// would run past an edge is moved back by as much as it would overhang, and
// one that fits opens exactly where it is placed.
#include <gtest/gtest.h>

#include <cstdlib>

#include "harness.h"
#include "import_hook.h"

namespace {

// Where a window is expected along one axis.
enum Where {
  Exactly,   // at `value`, in screen coordinates
  FromHost,  // `value` pixels from the host window's left or top edge
  Centred,   // centred over the host window (to a pixel)
  NearEdge,  // moved back against the work area's left or top edge
  FarEdge,   // moved back against the work area's right or bottom edge
};
struct Axis {
  Where where;
  int value;
};

struct Case {
  const char* function;  // nullptr: the Preferences window
  const char* parameter;
  RECT host;             // the active window, in screen coordinates
  Axis x, y;
};

// The work area the test sets, smaller than the 1280 x 1024 screen on every
// side (a taskbar and side bars), so that a window kept on the screen
// instead would fail; host windows near its bottom-right corner, in its
// middle, and half off the screen's top-left corner.
const RECT kWorkArea = {4, 6, 1250, 990};
const RECT kCornerHost = {970, 790, 1250, 990}, kMiddleHost = {300, 200, 1000, 700},
           kOffTopLeftHost = {-300, -200, 100, 100};
const Axis kCentredAxis = {Centred, 0}, kNear = {NearEdge, 0}, kFar = {FarEdge, 0};

const Case kCases[] = {
    {"XELM CalPopup", "12/25/2003|1200|950", kMiddleHost, kFar, kFar},
    {"XELM CalPopup", "12/25/2003|100|50", kMiddleHost, {Exactly, 100}, {Exactly, 50}},
    {"XELM CalPopup", "12/25/2003|-50|-20", kMiddleHost, kNear, kNear},
    {"XELM CalPopup", "12/25/2003|5|-1", kMiddleHost, {Exactly, 5}, kNear},
    {"XELM CalPopup", "12/25/2003", kCornerHost, kCentredAxis, kCentredAxis},
    {"XELM CalPopup", "12/25/2003", kOffTopLeftHost, kNear, kNear},
    {"XELM CalPopup2", "03/01/2004|04/01/2004|1200|300", kMiddleHost, kFar, {Exactly, 300}},
    {"XELM YearPopup", "2004|900|700|||||command", kMiddleHost, kFar, kFar},
    {"XELM YearPopup", "2004|||||||command", kCornerHost, kFar, kFar},
    {"XELM YearPopup", "2004|-10|0|||||command", kMiddleHost, kNear, kNear},  // 0 is a place, not "centred"
    {"XELM TimePopup", "900|750", kMiddleHost, kFar, kFar},
    {"XELM TimePopup", "120|-40", kMiddleHost, {FromHost, 120}, {FromHost, -40}},
    {"XELM TimePopup", "9", kMiddleHost, {FromHost, 9}, kCentredAxis},  // a one-character parameter
    {"XELM TimePopup", "-400|-300", kMiddleHost, kNear, kNear},
    {"XELM TimePopup", "", kMiddleHost, kCentredAxis, kCentredAxis},
    {"XELM TimePopup", "", kOffTopLeftHost, kNear, kNear},
    {nullptr, "", kCornerHost, kFar, kFar},
    {nullptr, "", kMiddleHost, kCentredAxis, kCentredAxis},
    {nullptr, "", kOffTopLeftHost, kNear, kNear},
};

// Checks one axis of the shown window [start, end) against the expectation.
void expectPlaced(const char* axis, Axis expected, LONG start, LONG end, LONG hostStart, LONG hostEnd,
                  LONG areaStart, LONG areaEnd) {
  SCOPED_TRACE(axis);
  switch (expected.where) {
    case Exactly: EXPECT_EQ(start, expected.value); break;
    case FromHost: EXPECT_EQ(start, hostStart + expected.value); break;
    case Centred: EXPECT_LE(std::abs((start - hostStart) - (hostEnd - end)), 1); break;
    case NearEdge: EXPECT_EQ(start, areaStart); break;
    case FarEdge: EXPECT_EQ(end, areaEnd); break;
  }
}

// Windows gives the primary monitor the work area SPI_SETWORKAREA sets;
// Wine 8 keeps the monitor's at the whole screen (SPI_GETWORKAREA alone
// follows). The plug-in's GetMonitorInfoA is answered as Windows would.
BOOL WINAPI primaryWorkArea(HMONITOR monitor, LPMONITORINFO info) {
  if (!GetMonitorInfoA(monitor, info)) return FALSE;
  if (info->dwFlags & MONITORINFOF_PRIMARY) SystemParametersInfoA(SPI_GETWORKAREA, 0, &info->rcWork, 0);
  return TRUE;
}

// Sets the work area for the test's life and puts the previous one back.
struct WorkArea {
  RECT previous = {};
  ImportHook monitors{plugin().module(), "user32.dll", "GetMonitorInfoA", reinterpret_cast<const void*>(primaryWorkArea)};
  explicit WorkArea(RECT area) {
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &previous, 0);
    SystemParametersInfoA(SPI_SETWORKAREA, 0, &area, 0);
  }
  ~WorkArea() { SystemParametersInfoA(SPI_SETWORKAREA, 0, &previous, 0); }
};

TEST(WindowPlacement, InsideTheWorkAreaMovedAsLittleAsNeeded) {
  deleteSettingsKey();
  const WorkArea set(kWorkArea);
  RECT area;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  ASSERT_TRUE(EqualRect(&area, &kWorkArea) && set.monitors.installed());
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

    ASSERT_GT(shown.right - shown.left, 0);
    const RECT h = host.rect();
    expectPlaced("x", c.x, shown.left, shown.right, h.left, h.right, area.left, area.right);
    expectPlaced("y", c.y, shown.top, shown.bottom, h.top, h.bottom, area.top, area.bottom);
  }
}

}  // namespace
