// "XELM TimePopup" through the real plug-in: the Set Time window's lists,
// selections, placement and results.
#include <gtest/gtest.h>

#include "harness.h"
#include "import_hook.h"
#include "resources/resource_ids.h"

namespace {

struct TimeWindow {
  std::vector<std::string> hours, minutes;
  std::string hour, minute, meridiem;
  bool meridiemVisible = false;
  RECT rect = {};
  HWND owner = nullptr;
  std::string caption;
};

// Opens the time window with `parameter`, reads it, then ends it with
// `finish` ("ok", "cancel", "close", "escape"); returns the result text.
std::string timeCall(const std::string& parameter, TimeWindow* seen = nullptr, const std::string& finish = "ok") {
  return callDriven("XELM TimePopup", parameter, [&](WindowDriver& d) {
    if (seen) {
      seen->hours = d.listEntries(IDC_HOUR_LIST);
      seen->minutes = d.listEntries(IDC_MINUTE_LIST);
      seen->hour = d.selectedText(IDC_HOUR_LIST);
      seen->minute = d.selectedText(IDC_MINUTE_LIST);
      seen->meridiem = d.selectedText(IDC_MERIDIEM_LIST);
      seen->meridiemVisible = d.controlVisible(IDC_MERIDIEM_LIST);
      seen->rect = d.windowRect();
      seen->owner = d.owner();
      seen->caption = d.caption();
    }
    if (finish == "ok") d.pressButton(IDOK);
    else if (finish == "cancel") d.pressButton(IDCANCEL);
    else if (finish == "escape") { PostMessageA(d.window(), WM_KEYDOWN, VK_ESCAPE, 0); d.barrier(); }
    else d.close();
  });
}

TEST(TimePopup, EmptyParameterOffersTwelveHourForm) {
  TimeWindow w;
  EXPECT_EQ(timeCall("", &w), "12:00 AM");
  EXPECT_EQ(w.caption, "Set Time");
  std::vector<std::string> hours = {"12", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"};
  EXPECT_EQ(w.hours, hours);
  ASSERT_EQ(w.minutes.size(), 12u);
  EXPECT_EQ(w.minutes.front(), "00");
  EXPECT_EQ(w.minutes[1], "05");
  EXPECT_EQ(w.minutes.back(), "55");
  EXPECT_TRUE(w.meridiemVisible);
  EXPECT_EQ(w.hour, "12");
  EXPECT_EQ(w.minute, "00");
  EXPECT_EQ(w.meridiem, "AM");
}

TEST(TimePopup, ParametersSelectFormStepAndTime) {
  struct Case {
    const char* parameter;
    size_t hourCount, minuteCount;
    const char *hour, *minute, *meridiem, *result;
  } cases[] = {
      {"||24", 24, 12, "0", "00", "", "0:00"},
      {"||2", 24, 12, "0", "00", "", "0:00"},
      {"||124", 24, 12, "0", "00", "", "0:00"},
      {"||24h", 12, 12, "12", "00", "AM", "12:00 AM"},
      {"||42", 12, 12, "12", "00", "AM", "12:00 AM"},
      {"|||15", 12, 4, "12", "00", "AM", "12:00 AM"},
      {"|||60", 12, 1, "12", "00", "AM", "12:00 AM"},
      {"|||7", 12, 12, "12", "00", "AM", "12:00 AM"},
      {"|||90", 12, 12, "12", "00", "AM", "12:00 AM"},
      {"|||1", 12, 60, "12", "00", "AM", "12:00 AM"},
      {"||||9:30 PM", 12, 12, "9", "30", "PM", "9:30 PM"},
      {"||24||9:30 PM", 24, 12, "21", "30", "", "21:30"},
      {"||24||12:15 PM|||", 24, 12, "12", "15", "", "12:15"},
      {"||24|15|12:15 AM", 24, 4, "0", "15", "", "0:15"},
      {"||24|15|12:15", 24, 4, "0", "15", "", "0:15"},
      {"|||15|18:45", 12, 4, "6", "45", "PM", "6:45 PM"},
      {"|||15|0:45", 12, 4, "12", "45", "AM", "12:45 AM"},
      // A time with seconds or a marker in either case opens at the time it
      // names; a word that is no marker changes nothing.
      {"||||10:30:00 PM", 12, 12, "10", "30", "PM", "10:30 PM"},
      {"||24||10:30:00 PM", 24, 12, "22", "30", "", "22:30"},
      {"||||9:30 pm", 12, 12, "9", "30", "PM", "9:30 PM"},
      {"||24|15|12:15:00 pm", 24, 4, "12", "15", "", "12:15"},
      {"||||9:30 PM Eastern", 12, 12, "9", "30", "PM", "9:30 PM"},
      {"||24||21:30 Uhr", 24, 12, "21", "30", "", "21:30"},
      {"||||7:3", 12, 12, "7", "00", "AM", "7:00 AM"},      // minute "3" is no entry
      {"|||15|:30 PM", 12, 4, "12", "00", "AM", "12:00 AM"},  // no hour: midnight
      {"||||9:05 PM", 12, 12, "9", "05", "PM", "9:05 PM"},
      {"|||15|9:05 PM", 12, 4, "9", "00", "PM", "9:00 PM"},  // 05 is no entry with step 15
      {"||24||25:00", 24, 12, "0", "00", "", "0:00"},      // hour 25 is no entry
  };
  for (const Case& c : cases) {
    TimeWindow w;
    EXPECT_EQ(timeCall(c.parameter, &w), c.result) << c.parameter;
    EXPECT_EQ(w.hours.size(), c.hourCount) << c.parameter;
    EXPECT_EQ(w.minutes.size(), c.minuteCount) << c.parameter;
    EXPECT_EQ(w.hour, c.hour) << c.parameter;
    EXPECT_EQ(w.minute, c.minute) << c.parameter;
    EXPECT_EQ(w.meridiemVisible, c.meridiem[0] != '\0') << c.parameter;
    if (c.meridiem[0]) {
      EXPECT_EQ(w.meridiem, c.meridiem) << c.parameter;
    }
  }
}

int WINAPI noConversion(UINT, DWORD, LPCSTR, int, LPWSTR, int) { return 0; }

TEST(TimePopup, UserChoicesReachTheResult) {
  std::string result = callDriven("XELM TimePopup", "|||15", [](WindowDriver& d) {
    d.selectText(IDC_HOUR_LIST, "7");
    d.selectText(IDC_MINUTE_LIST, "45");
    d.selectText(IDC_MERIDIEM_LIST, "PM");
    d.pressButton(IDOK);
  });
  EXPECT_EQ(result, "7:45 PM");
  // An entry another program added, too long for an hour (8 characters fill
  // the buffer without its terminator), or a choice it took away, confirms
  // nothing.
  for (int list : {IDC_HOUR_LIST, IDC_MINUTE_LIST, IDC_MERIDIEM_LIST})
    for (bool cleared : {false, true}) {
      EXPECT_EQ(callDriven("XELM TimePopup", "", [&](WindowDriver& d) {
                  const HWND box = GetDlgItem(d.window(), list);
                  const LRESULT added = SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("12345678"));
                  SendMessageA(box, CB_SETCURSEL, cleared ? -1 : added, 0);
                  d.pressButton(IDOK);
                }),
                "") << list << (cleared ? " cleared" : " overlong");
    }
  // A system refusing the lists' text conversion still gets a time, not ":".
  ImportHook refused(plugin().module(), "kernel32.dll", "MultiByteToWideChar", reinterpret_cast<const void*>(noConversion));
  ASSERT_TRUE(refused.installed());
  EXPECT_EQ(timeCall("||24|15|21:45"), "21:45");
}

TEST(TimePopup, CancelCloseAndEscapeReturnNothing) {
  for (const char* finish : {"cancel", "close", "escape"}) EXPECT_EQ(timeCall("||||9:30 PM", nullptr, finish), "") << finish;
}

TEST(TimePopup, PlacedAgainstTheActiveWindow) {
  ActiveOwner owner(200, 150, 640, 480);
  RECT o = owner.rect();
  // A date call placed at 100, 50 leaves that position in the shared state;
  // the time call that follows without position fields is still centred.
  callDriven("XELM CalPopup", "03/01/2004|100|50", [](WindowDriver& d) { d.close(); });
  struct Case { const char* parameter; bool offsetX, offsetY; int dx, dy; } cases[] = {
      {"", false, false, 0, 0},
      {"100|0", true, false, 100, 0},
      {"0|40", false, true, 0, 40},
      {"-30|25", true, true, -30, 25},
      {"abc|xyz", false, false, 0, 0},  // not numbers: 0, so centred
  };
  SIZE first = {0, 0};  // wherever it is placed, the window keeps its size
  for (const Case& c : cases) {
    TimeWindow w;
    timeCall(c.parameter, &w);
    EXPECT_EQ(w.owner, owner.hwnd()) << c.parameter;
    int width = w.rect.right - w.rect.left, height = w.rect.bottom - w.rect.top;
    if (first.cx == 0) first = {width, height};
    EXPECT_EQ(width, first.cx) << c.parameter;
    EXPECT_EQ(height, first.cy) << c.parameter;
    int centredX = o.left + ((o.right - o.left - width) >> 1);
    int centredY = o.top + ((o.bottom - o.top - height) >> 1);
    EXPECT_EQ(w.rect.left, c.offsetX ? o.left + c.dx : centredX) << c.parameter;
    EXPECT_EQ(w.rect.top, c.offsetY ? o.top + c.dy : centredY) << c.parameter;
  }
}

// A shell that moves and shrinks a window as it is shown.
BOOL WINAPI showMoved(HWND window, int command) {
  const BOOL shown = ShowWindow(window, command);
  if (!(GetWindowLongA(window, GWL_STYLE) & WS_CHILD))
    SetWindowPos(window, nullptr, 3, 4, 50, 40, SWP_NOZORDER | SWP_NOACTIVATE);
  return shown;
}

TEST(TimePopup, ShownWhereItWasPlacedEvenWhenShowingMovesIt) {
  ActiveOwner owner(200, 150, 640, 480);
  TimeWindow placed, moved;
  timeCall("100|40", &placed);
  ImportHook hook(plugin().module(), "user32.dll", "ShowWindow", reinterpret_cast<const void*>(showMoved));
  ASSERT_TRUE(hook.installed());
  timeCall("100|40", &moved);
  EXPECT_TRUE(EqualRect(&moved.rect, &placed.rect)) << moved.rect.left << "," << moved.rect.top << " "
                                                    << moved.rect.right << "," << moved.rect.bottom;
}

TEST(TimePopup, WithoutActiveWindowCentredOnTheWorkArea) {
  SetActiveWindow(nullptr);
  RECT area;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  TimeWindow w;
  timeCall("", &w);
  EXPECT_EQ(w.owner, nullptr);
  int width = w.rect.right - w.rect.left, height = w.rect.bottom - w.rect.top;
  EXPECT_EQ(w.rect.left, area.left + ((area.right - area.left - width) >> 1));
  EXPECT_EQ(w.rect.top, area.top + ((area.bottom - area.top - height) >> 1));
}

TEST(TimePopup, FailedResizeWritesNothing) {
  PluginHost::Outcome outcome;
  runDriven([&] { outcome = plugin().callFunction(functionIndexOf("XELM TimePopup"), "", "kept", true); },
            [](WindowDriver& d) { d.pressButton(IDOK); });
  EXPECT_EQ(outcome.text(), "kept");
  EXPECT_TRUE(outcome.guardIntact);
}

TEST(TimePopup, ConsecutiveCallsDoNotInheritState) {
  // A 24-hour call with a two-digit hour, then a 12-hour call whose time
  // begins with a colon: the second must not see the first's hour or form.
  EXPECT_EQ(timeCall("||24|15|21:45"), "21:45");
  TimeWindow w;
  EXPECT_EQ(timeCall("||||:5", &w), "12:00 AM");
  EXPECT_EQ(w.hours.size(), 12u);
  EXPECT_EQ(w.minutes.size(), 12u);
}

}  // namespace
