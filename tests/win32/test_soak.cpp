// Many calls in a row through the real plug-in, mixing all six functions and
// the Preferences window and every way their windows end (a click, OK,
// Cancel, the close command, a message box), must leave no GDI object and no
// window behind. `make test` runs a few hundred calls; `make soak` runs the
// same mix with XELM_SOAK_CALLS calls (default 10,000) and prints the rate.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "calendar_support.h"
#include "gdi_count.h"
#include "plugin_version.h"
#include "resources/resource_ids.h"

namespace {

const int kDefaultCalls = 300;

// Calls to make: XELM_SOAK_CALLS when set to a positive number.
int soakCalls() {
  char text[16] = {};
  if (GetEnvironmentVariableA("XELM_SOAK_CALLS", text, sizeof text) == 0) return kDefaultCalls;
  int calls = std::atoi(text);
  return calls > 0 ? calls : kDefaultCalls;
}

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

// One call of the mix. `function` is an external function's name, or nullptr
// for the Preferences window (call kind 5); without `actions` the call opens
// no window. `expected` is the result text (not used for the Preferences).
struct Call {
  const char* function;
  const char* parameter;
  std::function<void(WindowDriver&)> actions;
  const char* expected;
};

// Makes the call; false when its result or its window was not as expected.
bool makeCall(const Call& c) {
  if (!c.function) return runDriven([] { plugin().callKind(5); }, c.actions);
  if (!c.actions) return plugin().callFunction(functionIndexOf(c.function), c.parameter).text() == c.expected;
  bool driven = false;
  return callDriven(c.function, c.parameter, c.actions, &driven) == c.expected && driven;
}

// Presses a button that opens a message box, answers the box, then presses
// `after`.
std::function<void(WindowDriver&)> throughMessageBox(int button, int after) {
  return [=](WindowDriver& d) {
    SendNotifyMessageA(d.window(), WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                       reinterpret_cast<LPARAM>(GetDlgItem(d.window(), button)));
    d.answerMessageBox();
    d.pressButton(after);
  };
}

const Call kCalls[] = {
    {"XELM VOVUVAVersion", "", nullptr, XELM_VERSION_TEXT},
    {"XELM Version", "p", nullptr, "Datewell " XELM_VERSION_TEXT " x86"},
    {"XELM CalPopup", "03/01/2004", [](WindowDriver& d) { d.clickCell(1, 20); }, "03/13/2004"},
    {"XELM CalPopup", "03/01/2004|||||||command", [](WindowDriver& d) { d.pressButton(IDC_CAL_OK); }, "03/01/2004"},
    {"XELM CalPopup", "03/01/2004||||French|Monday||click|blue|arial", [](WindowDriver& d) { d.close(); }, ""},
    {"XELM CalPopup2", "03/01/2004|03/01/2004",
     [](WindowDriver& d) {
       d.clickCell(1, 8);
       d.clickCell(2, 9);
     },
     "03/01/2004...03/02/2004"},
    {"XELM CalPopup2", "03/01/2004|03/01/2004|||||||command|green|courier new",
     throughMessageBox(IDC_CAL_OK, IDC_CAL_CANCEL), ""},
    {"XELM YearPopup", "2004||||||||purple|times new roman|small", [](WindowDriver& d) { d.clickCell(3, 20); },
     "03/13/2004"},
    {"XELM YearPopup", "2004|||||||command|||smaller",
     [](WindowDriver& d) {
       d.selectText(IDC_YEAR_LEFT, "2005");
       d.pressButton(IDC_CAL_CANCEL);
     },
     ""},
    {"XELM TimePopup", "|||15|9:30 PM", [](WindowDriver& d) { d.pressButton(IDOK); }, "9:30 PM"},
    {"XELM TimePopup", "||24",
     [](WindowDriver& d) {
       d.selectText(IDC_HOUR_LIST, "17");
       d.pressButton(IDCANCEL);
     },
     ""},
    {"XELM TimePopup", "", [](WindowDriver& d) { d.close(); }, ""},
    {"XELM Version", "", nullptr, "Datewell " XELM_VERSION_TEXT},
    // The Preferences window stores what it shows, the defaults, so the date
    // calls above see the same settings whichever came first.
    {nullptr, "", [](WindowDriver& d) { d.pressButton(IDOK); }, ""},
    {nullptr, "",
     [](WindowDriver& d) {
       d.selectText(IDC_PREF_LOCATION, "Specified");
       throughMessageBox(IDOK, IDCANCEL)(d);  // Left and Top missing
     },
     ""},
    {nullptr, "",
     [](WindowDriver& d) {
       deleteSettingsKey();  // the save fails and says so
       d.pressButton(IDOK);
       d.answerMessageBox();
       d.close();
     },
     ""},
};
const int kKinds = sizeof kCalls / sizeof kCalls[0];

TEST(Soak, CallsLeaveNothingBehind) {
  deleteSettingsKey();
  // The platform's pool of window device contexts at its ceiling, then a few
  // calls of each kind, so that what else it caches (fonts realised, classes
  // registered) is in the starting count.
  fillDcCache();
  for (int i = 0; i < 3 * kKinds; ++i) makeCall(kCalls[i % kKinds]);
  const GdiCounts start = countGdiObjects();
  const int windowsAtStart = windowsOfThisThread();
  std::printf("start: %d GDI objects (%d fonts, %d brushes, %d DCs), %d windows\n", start.total, start.fonts,
              start.brushes, start.dcs, windowsAtStart);

  const int calls = soakCalls();
  const auto began = std::chrono::steady_clock::now();
  int failed = 0;
  for (int i = 0; i < calls; ++i)
    if (!makeCall(kCalls[i % kKinds])) ++failed;
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();

  const GdiCounts end = countGdiObjects();
  const int windowsAtEnd = windowsOfThisThread();
  std::printf("end:   %d GDI objects (%d fonts, %d brushes, %d DCs), %d windows\n", end.total, end.fonts,
              end.brushes, end.dcs, windowsAtEnd);
  std::printf("%d calls (%d kinds) in %.1f s: %.1f calls per second, %d not as expected\n", calls, kKinds, seconds,
              calls / seconds, failed);
  for (int type = 0; type < 128; ++type)
    if (end.byType[type] != start.byType[type])
      std::printf("  type 0x%02x: %d -> %d\n", type, start.byType[type], end.byType[type]);
  EXPECT_EQ(failed, 0);
  EXPECT_EQ(end.total, start.total);
  EXPECT_EQ(end.fonts, start.fonts);
  EXPECT_EQ(end.brushes, start.brushes);
  EXPECT_EQ(windowsAtEnd, windowsAtStart);
  deleteSettingsKey();
}

// The counter itself sees objects come and go.
TEST(Soak, CounterSeesFontsAndBrushes) {
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
