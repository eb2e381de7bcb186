// 1,000 date calls in a row, mixing the three functions and the ways their
// windows end, must leave no GDI object and no window behind.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "calendar_support.h"
#include "gdi_count.h"

namespace {

const int kCalls = 1000;

BOOL CALLBACK countWindow(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

// Top-level windows of the calling thread, where the plug-in's windows live.
int windowsOfThisThread() {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), countWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

struct Call {
  const char* function;
  const char* parameter;
  std::function<void(WindowDriver&)> actions;
  const char* expected;
};

void answerAndCancel(WindowDriver& d) {
  SendNotifyMessageA(d.window(), WM_COMMAND, MAKEWPARAM(1033, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(d.window(), 1033)));
  d.answerMessageBox();
  d.pressButton(1034);
}

TEST(CalendarSoak, ThousandCallsLeaveNothingBehind) {
  deleteSettingsKey();
  const Call calls[] = {
      {"XELM CalPopup", "03/01/2004", [](WindowDriver& d) { d.clickCell(1, 20); }, "03/13/2004"},
      {"XELM CalPopup", "03/01/2004|||||||command", [](WindowDriver& d) { d.pressButton(1033); }, "03/01/2004"},
      {"XELM CalPopup", "03/01/2004||||French|Monday||click|blue|arial", [](WindowDriver& d) { d.close(); }, ""},
      {"XELM CalPopup2", "03/01/2004|03/01/2004", [](WindowDriver& d) { d.clickCell(1, 8); d.clickCell(2, 9); },
       "03/01/2004...03/02/2004"},
      {"XELM CalPopup2", "03/01/2004|03/01/2004|||||||command|green|courier new", answerAndCancel, ""},
      {"XELM YearPopup", "2004||||||||purple|times new roman|small", [](WindowDriver& d) { d.clickCell(3, 20); },
       "03/13/2004"},
      {"XELM YearPopup", "2004|||||||command|||smaller",
       [](WindowDriver& d) { d.selectText(1016, "2005"); d.pressButton(1034); }, ""},
  };
  const int kinds = sizeof calls / sizeof calls[0];

  // The platform's pool of window device contexts at its ceiling, then five
  // calls of each kind, so that what else it caches (fonts realised, classes
  // registered) is in the starting count.
  fillDcCache();
  for (int i = 0; i < 5 * kinds; ++i) callDriven(calls[i % kinds].function, calls[i % kinds].parameter, calls[i % kinds].actions);
  const GdiCounts start = countGdiObjects();
  const int windowsAtStart = windowsOfThisThread();
  std::printf("start: %d GDI objects (%d fonts, %d brushes, %d DCs), %d windows\n", start.total, start.fonts,
              start.brushes, start.dcs, windowsAtStart);

  const auto began = std::chrono::steady_clock::now();
  int wrong = 0, undriven = 0;
  for (int i = 0; i < kCalls; ++i) {
    const Call& c = calls[i % kinds];
    bool driven = false;
    if (callDriven(c.function, c.parameter, c.actions, &driven) != c.expected) ++wrong;
    if (!driven) ++undriven;
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();

  const GdiCounts end = countGdiObjects();
  const int windowsAtEnd = windowsOfThisThread();
  std::printf("end:   %d GDI objects (%d fonts, %d brushes, %d DCs), %d windows\n", end.total, end.fonts,
              end.brushes, end.dcs, windowsAtEnd);
  std::printf("%d calls in %.1f s\n", kCalls, seconds);
  for (int type = 0; type < 128; ++type)
    if (end.byType[type] != start.byType[type])
      std::printf("  type 0x%02x: %d -> %d\n", type, start.byType[type], end.byType[type]);
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(undriven, 0);
  EXPECT_EQ(end.total, start.total);
  EXPECT_EQ(end.fonts, start.fonts);
  EXPECT_EQ(end.brushes, start.brushes);
  EXPECT_EQ(windowsAtEnd, windowsAtStart);
}

// The counter itself sees objects come and go.
TEST(CalendarSoak, CounterSeesFontsAndBrushes) {
  const GdiCounts before = countGdiObjects();
  HFONT font = CreateFontA(14, 0, 0, 0, 700, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  const GdiCounts during = countGdiObjects();
  DeleteObject(font);
  DeleteObject(brush);
  const GdiCounts after = countGdiObjects();
  EXPECT_EQ(during.total, before.total + 2);
  if (runningOnWine()) {
    EXPECT_EQ(during.fonts, before.fonts + 1);
    EXPECT_EQ(during.brushes, before.brushes + 1);
  }
  EXPECT_EQ(after.total, before.total);
}

}  // namespace
