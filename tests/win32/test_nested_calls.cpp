// Calls that the host makes from its own window procedure while one of the
// plug-in's modal windows is open, as its timers and script triggers do: the
// window's loop dispatches the host's message, and the host calls again. The
// host overwrites each nested call's record and texts once it returns.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "gdi_count.h"
#include "harness.h"
#include "import_hook.h"
#include "plugin_version.h"
#include "resources/resource_ids.h"

namespace {

const UINT kCallAgainMessage = WM_APP + 7;

// One nested call and what it answers. Kind 3 runs `function`; a window
// function leaves the result as the host set it ("as set").
struct NestedCall {
  uint8_t kind;
  const char* function;
  const char* parameter;
  const char* answer;
};
const NestedCall kNestedCalls[] = {
    {0, nullptr, "", "4"},
    {3, "XELM VOVUVAVersion", "", XELM_VERSION_TEXT},
    {3, "XELM Version", "p", "Datewell " XELM_VERSION_TEXT " x86"},
    {3, "XELM CalPopup", "01/02/2005", "as set"},
    {3, "XELM CalPopup2", "01/02/2005|01/09/2005", "as set"},
    {3, "XELM YearPopup", "2005", "as set"},
    {3, "XELM TimePopup", "|||10|9:30 PM", "as set"},
    {5, nullptr, "", "record intact"},
};

struct NestedRun {
  std::vector<std::string> answers;
  std::atomic<bool> done{false};
};

std::string callAgain(const NestedCall& call) {
  if (call.kind == 0) return std::to_string(plugin().initialise(80));
  if (call.kind == 5) return plugin().callKind(5) ? "record intact" : "record changed";
  return plugin().callFunction(functionIndexOf(call.function), call.parameter, "as set").text();
}

// The sounds the plug-in makes: each refused call beeps the default sound.
std::vector<UINT> beeps;
BOOL WINAPI recordBeep(UINT type) {
  beeps.push_back(type);
  return TRUE;
}

// The host window's procedure: makes every nested call when asked.
LRESULT CALLBACK hostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kCallAgainMessage) return DefWindowProcA(window, message, wParam, lParam);
  NestedRun* run = reinterpret_cast<NestedRun*>(lParam);
  for (const NestedCall& call : kNestedCalls) run->answers.push_back(callAgain(call));
  run->done = true;
  return 0;
}

// Posts the request to the host window and waits for the nested calls. A
// window that a nested call opened instead is closed, so that a fault fails
// the test rather than hanging it.
bool runNestedCalls(WindowDriver& d, HWND host, NestedRun& run) {
  PostMessageA(host, kCallAgainMessage, 0, reinterpret_cast<LPARAM>(&run));
  for (int waited = 0; waited < 10000 && !run.done; waited += 10) Sleep(10);
  const bool returned = run.done;
  for (int attempt = 0; attempt < 100 && !run.done; ++attempt) {
    HWND opened = d.waitForDialog(100, d.window());
    if (opened) SendNotifyMessageA(opened, WM_CLOSE, 0, 0);
  }
  return returned;
}

// What a window shows: its caption and the texts of its main controls.
std::string shownBy(WindowDriver& d, const std::vector<int>& controls) {
  d.waitPainted(d.window());
  std::string shown = d.caption();
  for (int id : controls) shown += "|" + d.controlText(id);
  return shown;
}

TEST(NestedCalls, AnswerThroughTheirOwnRecordAndLeaveTheOpenWindowAlone) {
  struct OpenWindow {
    const char* function;  // nullptr: the Preferences window (call kind 5)
    const char* parameter;
    std::vector<int> shownControls;
    int endButton;
    const char* result;
  } windows[] = {
      {"XELM CalPopup", "12/25/2003|||Outer||||command", {IDC_MONTH_LEFT, IDC_YEAR_LEFT}, IDC_CAL_OK, "12/25/2003"},
      {"XELM TimePopup", "|||15|9:30 PM", {IDC_HOUR_LIST, IDC_MINUTE_LIST, IDC_MERIDIEM_LIST}, IDOK, "9:30 PM"},
      {nullptr, "", {IDC_PREF_TITLE, IDC_PREF_LANGUAGE, IDC_PREF_THEME}, IDCANCEL, "record intact"},
  };
  deleteSettingsKey();
  ActiveOwner host(100, 100, 700, 500);
  SetWindowLongPtrA(host.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(hostWindowProc));
  ImportHook sounds(plugin().module(), "user32.dll", "MessageBeep", reinterpret_cast<const void*>(recordBeep));
  ASSERT_TRUE(sounds.installed());
  for (const OpenWindow& w : windows) {
    SCOPED_TRACE(w.function ? w.function : "Preferences");
    beeps.clear();
    NestedRun run;
    std::string shownBefore, shownAfter, result;
    GdiCounts before, after;
    bool returned = false;
    const bool driven = runDriven(
        [&] {
          if (w.function) result = plugin().callFunction(functionIndexOf(w.function), w.parameter, "").text();
          else result = plugin().callKind(5) ? "record intact" : "record changed";
        },
        [&](WindowDriver& d) {
          shownBefore = shownBy(d, w.shownControls);
          before = countGdiObjects();
          returned = runNestedCalls(d, host.hwnd(), run);
          shownAfter = shownBy(d, w.shownControls);
          after = countGdiObjects();
          d.pressButton(w.endButton);
        });
    EXPECT_TRUE(driven);
    EXPECT_TRUE(returned) << "a nested call opened a window";
    ASSERT_EQ(run.answers.size(), sizeof kNestedCalls / sizeof kNestedCalls[0]);
    for (size_t i = 0; i < run.answers.size(); ++i)
      EXPECT_EQ(run.answers[i], kNestedCalls[i].answer) << "nested call " << i;
    EXPECT_EQ(beeps, std::vector<UINT>(5, MB_OK)) << "one default beep for each window refused";
    EXPECT_EQ(shownAfter, shownBefore);
    EXPECT_EQ(after.fonts, before.fonts);
    EXPECT_EQ(after.brushes, before.brushes);
    EXPECT_EQ(result, w.result);
  }
}

}  // namespace
