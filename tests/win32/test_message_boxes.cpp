// The plug-in's messages hold their window: while one is up, a real click on
// the window behind it (a day, OK) does nothing, so the window can neither
// end under the message nor stack a second one; once the message is
// answered, its window is active again and the same clicks work.
#include <gtest/gtest.h>

#include <vector>

#include "calendar_support.h"
#include "resources/resource_ids.h"

namespace {

const char* const kCalPopup2 = "XELM CalPopup2";
const int kCalendarOk = 1033;

POINT controlCentre(HWND window, int id) {
  RECT r = {};
  GetWindowRect(GetDlgItem(window, id), &r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

POINT dayCentre(WindowDriver& d, int slot, int month, int day) {
  CalendarGeometry g;
  d.calendarGeometry(g);
  POINT p = g.centre(slot, dayPosition(2004, month, day));
  ClientToScreen(d.window(), &p);
  return p;
}

BOOL CALLBACK countBox(HWND hwnd, LPARAM param) {
  auto* args = reinterpret_cast<std::pair<HWND, int>*>(param);
  char cls[16] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  if (hwnd != args->first && std::string(cls) == "#32770" && IsWindowVisible(hwnd)) ++args->second;
  return TRUE;
}

// Message boxes up on the window's thread.
int boxesUp(WindowDriver& d) {
  std::pair<HWND, int> args = {d.window(), 0};
  EnumThreadWindows(GetWindowThreadProcessId(d.window(), nullptr), countBox, reinterpret_cast<LPARAM>(&args));
  return args.second;
}

TEST(MessageBoxes, TheirWindowTakesNoClickUntilTheyAreAnswered) {
  typedef std::function<void(WindowDriver&)> Script;
  struct Case {
    const char* name;
    std::function<std::string(const Script&)> open;  // runs the call, gives its result
    Script raise;                                     // brings up a message
    std::function<std::vector<POINT>(WindowDriver&)> clicks;  // would end the window, or raise another message
    Script afterAnswer;
    std::string result;
    int button = 0;  // pressed through the driver under the message, which refuses it (0: none)
  } cases[] = {
      {"a day under the order message",
       [](const Script& s) { return callDriven(kCalPopup2, "03/01/2004|03/01/2004", s); },
       [](WindowDriver& d) {
         clickDay(d, 1, 2004, 3, 20);
         clickDay(d, 2, 2004, 3, 15);
       },
       [](WindowDriver& d) { return std::vector<POINT>{dayCentre(d, 1, 3, 2)}; }, nullptr,
       "03/02/2004...03/15/2004"},
      {"days and a second OK under a missing pick",
       [](const Script& s) { return callDriven(kCalPopup2, "03/01/2004|03/01/2004|||||||command", s); },
       [](WindowDriver& d) { d.pressButton(kCalendarOk); },
       [](WindowDriver& d) {
         return std::vector<POINT>{dayCentre(d, 1, 3, 4), dayCentre(d, 2, 3, 24), controlCentre(d.window(), kCalendarOk)};
       },
       nullptr, "03/04/2004...03/24/2004", kCalendarOk},
      {"a second OK under the Preferences warning",
       [](const Script& s) {
         EXPECT_TRUE(runDriven([] { plugin().callKind(5); }, s));
         return std::string();
       },
       [](WindowDriver& d) {
         d.selectText(IDC_PREF_LOCATION, "Specified");
         d.typeText(IDC_PREF_LEFT, "10");
         d.pressButton(IDOK);
       },
       [](WindowDriver& d) { return std::vector<POINT>{controlCentre(d.window(), IDOK)}; },
       [](WindowDriver& d) { d.typeText(IDC_PREF_TOP, "20"); }, "", IDOK},
  };
  for (const Case& c : cases) {
    deleteSettingsKey();
    bool ended = false;
    std::string result = c.open([&](WindowDriver& d) {
      c.raise(d);
      HWND box = d.waitForDialog(5000, d.window());
      ASSERT_TRUE(box) << c.name;
      // Out of the way, as the user may drag it: the clicks land on the window.
      SetWindowPos(box, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      EXPECT_FALSE(IsWindowEnabled(d.window())) << c.name;
      // Each click, handled or dropped before the next, as a user clicks.
      const std::vector<POINT> clicks = c.clicks(d);
      for (POINT p : clicks) {
        d.userClick(p, 0);
        EXPECT_TRUE(d.inputSettled()) << c.name;
      }
      if (c.button) EXPECT_STREQ(d.pressButton(c.button), "the window is disabled under a message") << c.name;
      EXPECT_TRUE(IsWindowVisible(d.window())) << c.name;
      EXPECT_EQ(boxesUp(d), 1) << c.name;
      EXPECT_TRUE(d.answerMessageBox().found) << c.name;
      // The window is enabled again once the message's call has returned.
      for (int waited = 0; waited < 5000 && !IsWindowEnabled(d.window()); waited += 10) Sleep(10);
      EXPECT_TRUE(IsWindowEnabled(d.window())) << c.name;
      // ... and active, with the keyboard in it, not left to another program.
      GUITHREADINFO ui = {};
      ui.cbSize = sizeof ui;
      GetGUIThreadInfo(GetWindowThreadProcessId(d.window(), nullptr), &ui);
      EXPECT_EQ(ui.hwndActive, d.window()) << c.name;
      EXPECT_TRUE(ui.hwndFocus && (ui.hwndFocus == d.window() || IsChild(d.window(), ui.hwndFocus))) << c.name;
      EXPECT_EQ(GetForegroundWindow(), d.window()) << c.name;
      if (c.afterAnswer) c.afterAnswer(d);
      for (POINT p : clicks) EXPECT_TRUE(d.userClick(p)) << c.name;
      ended = d.waitClosed(5000);
    });
    EXPECT_TRUE(ended) << c.name << ": the same clicks, once the message is answered";
    EXPECT_EQ(result, c.result) << c.name;
  }
  deleteSettingsKey();
}

}  // namespace
