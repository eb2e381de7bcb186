// "XELM CalPopup" through the real plug-in: picks, confirmation, the
// pre-filled and fallback results, size and placement, stored preferences
// and per-call overrides, and calls following each other.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "calendar_support.h"
#include "call/host_call.h"
#include "gdi_count.h"
#include "import_hook.h"

namespace {

const char* const kCalPopup = "XELM CalPopup";
const int kOk = 1033, kCancel = 1034, kMonthList = 1015, kYearList = 1016;

class CalPopupTest : public ::testing::Test {
 protected:
  void SetUp() override { deleteSettingsKey(); }
  void TearDown() override { deleteSettingsKey(); }
};

// March 2004 starts on a Monday: Sunday-first grids show 29 February first.
TEST_F(CalPopupTest, DateClickEndsWithTheClickedCellsDate) {
  struct Case {
    const char* parameter;
    int position;
    const char* expected;
  } cases[] = {
      {"03/01/2004", 8, "03/01/2004"},                     // the shown month
      {"01/15/2004", 25, "01/15/2004"},                    // January, the list's first month
      {"03/01/2004", 7, "02/29/2004"},                     // leading day, leap February
      {"03/01/2004", 48, "04/10/2004"},                    // last trailing day
      {"03/01/2004|||||Monday", 7, "03/01/2004"},         // Monday-first: no leading day
      {"01/03/2004|||||Sunday|dd/mm/yyyy", 20, "13/03/2004"},
      {"2004/03/01||||||yyyy/mm/dd", 38, "2004/03/31"},
      {"12/25/2100", 48, "01/08/2101"},                    // trailing days run into 2101
  };
  for (const Case& c : cases) {
    bool driven = false;
    std::string result = callDriven(kCalPopup, c.parameter, [&](WindowDriver& d) { d.clickCell(1, c.position); }, &driven);
    EXPECT_TRUE(driven) << c.parameter;
    EXPECT_EQ(result, c.expected) << c.parameter << " position " << c.position;
  }
}

// Clicks that hit no dated cell leave the window open; a later day click ends it.
TEST_F(CalPopupTest, ClicksOutsideDaysAreIgnoredAndBordersGoToTheLowerIndex) {
  const CalendarGeometry g = templateSizes();
  CalendarGeometry layout = g;
  layout.mode = 1;
  const RECT heading = layout.cell(1, 3);
  const RECT first = layout.cell(1, 7), second = layout.cell(1, 8), below = layout.cell(1, 14);
  struct Case {
    int x, y;
    const char* expected;  // empty: nothing picked, the window stays open
  } cases[] = {
      {(heading.left + heading.right) / 2, heading.top + 2, ""},  // weekday heading
      {2, 2, ""},                                                 // outside the grid
      {first.right - 1, (first.top + first.bottom) / 2, "02/29/2004"},  // shared column: left cell
      {second.left + 1, (first.top + first.bottom) / 2, "03/01/2004"},
      {(first.left + first.right) / 2, first.bottom - 1, "02/29/2004"},  // shared row: upper cell
      {(below.left + below.right) / 2, below.top + 1, "03/07/2004"},
      {(first.left + first.right) / 2, heading.bottom - 1, "02/29/2004"},  // heading overlap picks the day
  };
  for (const Case& c : cases) {
    bool stillOpen = false;
    std::string result = callDriven(kCalPopup, "03/01/2004", [&](WindowDriver& d) {
      d.clickAt(c.x, c.y);
      stillOpen = d.windowOpen() && IsWindowVisible(d.window());
      if (stillOpen) d.close();
    });
    EXPECT_EQ(result, c.expected) << c.x << "," << c.y;
    EXPECT_EQ(stillOpen, c.expected[0] == '\0') << c.x << "," << c.y;
  }
}

TEST_F(CalPopupTest, CommandButtonsPreFillAndFallBack) {
  struct Case {
    const char* name;
    const char* parameter;
    std::function<void(WindowDriver&)> actions;
    std::string expected;
  } cases[] = {
      {"OK at once", "12/25/2003|||||||command", [](WindowDriver& d) { d.pressButton(kOk); }, "12/25/2003"},
      {"OK keeps the text as given", "3/5/2003|||||||command", [](WindowDriver& d) { d.pressButton(kOk); }, "3/5/2003"},
      {"OK without an initial date", "|||||||command", [](WindowDriver& d) { d.pressButton(kOk); }, todayWritten()},
      {"month change without an initial date", "|||||||command",
       [](WindowDriver& d) { d.selectIndex(kMonthList, 0); d.pressButton(kOk); }, ""},
      {"year change with an initial date", "12/25/2003|||||||command",
       [](WindowDriver& d) { d.selectText(kYearList, "2010"); d.pressButton(kOk); }, "12/25/2003"},
      {"pick then OK", "12/25/2003|||||||command",
       [](WindowDriver& d) { clickDay(d, 1, 2003, 12, 3); d.pressButton(kOk); }, "12/03/2003"},
      {"the last of several picks", "12/25/2003|||||||command",
       [](WindowDriver& d) { clickDay(d, 1, 2003, 12, 3); d.clickCell(1, 7); clickDay(d, 1, 2003, 12, 9); d.pressButton(kOk); },
       "12/09/2003"},
      {"pick withdrawn by a month change", "|||||||command",
       [](WindowDriver& d) { d.clickCell(1, 20); d.selectIndex(kMonthList, 5); d.pressButton(kOk); }, ""},
      {"pick in a new month", "12/25/2003|||||||command",
       [](WindowDriver& d) { d.selectIndex(kMonthList, 1); clickDay(d, 1, 2003, 2, 14); d.pressButton(kOk); }, "02/14/2003"},
      {"Cancel with an initial date", "12/25/2003|||||||command",
       [](WindowDriver& d) { d.pressButton(kCancel); }, ""},
      {"Cancel after a pick", "12/25/2003|||||||command",
       [](WindowDriver& d) { clickDay(d, 1, 2003, 12, 3); d.pressButton(kCancel); }, ""},
      {"closed after a pick", "12/25/2003|||||||command",
       [](WindowDriver& d) { clickDay(d, 1, 2003, 12, 3); d.close(); }, ""},
      {"Date Click, closed", "", [](WindowDriver& d) { d.close(); }, ""},
      // A misspelt keyword leaves Date Click: no OK for the driver to press.
      {"Date Click, OK refused", "12/25/2003|||||||comand", [](WindowDriver& d) { d.pressButton(kOk); d.close(); }, ""},
  };
  for (const Case& c : cases) {
    bool driven = false;
    EXPECT_EQ(callDriven(kCalPopup, c.parameter, c.actions, &driven), c.expected) << c.name;
    EXPECT_TRUE(driven) << c.name;
  }
}

// The keyboard's default OK and Cancel commands carry identifiers no control
// of the window has: they change nothing.
TEST_F(CalPopupTest, KeyboardDefaultCommandsDoNothing) {
  std::string result = callDriven(kCalPopup, "12/25/2003|||||||command", [](WindowDriver& d) {
    for (int id : {IDOK, IDCANCEL}) {
      SendMessageA(d.window(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
      EXPECT_TRUE(d.windowOpen()) << id;
    }
    d.pressButton(kOk);
  });
  EXPECT_EQ(result, "12/25/2003");
}

TEST_F(CalPopupTest, ListsFollowTheInitialDate) {
  struct Case {
    const char* parameter;
    int month;            // selected month index, -1 none
    const char* year;     // selected year text, "" none
  } cases[] = {
      {"12/25/2003", 11, "2003"},
      {"2/3/04", 1, "2004"},
      {"2/3/200", 1, "2000"},    // the list's prefix search
      {"13/03/2004", -1, "2004"},  // no month 13
      {"03/03/1850", 2, ""},       // a year no entry begins
  };
  for (const Case& c : cases) {
    callDriven(kCalPopup, c.parameter, [&](WindowDriver& d) {
      EXPECT_EQ(d.listEntries(kYearList).size(), 201u);
      EXPECT_EQ(d.listEntries(kYearList).front(), "1900");
      EXPECT_EQ(d.selectedIndex(kMonthList), c.month) << c.parameter;
      EXPECT_EQ(d.selectedText(kYearList), c.year) << c.parameter;
      d.close();
    });
  }
}

TEST_F(CalPopupTest, SizeComesFromTheTemplateAndButtonsSitInTheAddedBand) {
  const CalendarGeometry t = templateSizes();
  callDriven(kCalPopup, "", [&](WindowDriver& d) {
    EXPECT_EQ(widthOf(d.windowRect()), t.templateWidth);
    EXPECT_EQ(heightOf(d.windowRect()), t.templateHeight);
    EXPECT_FALSE(d.controlVisible(kOk));
    EXPECT_FALSE(d.controlVisible(kCancel));
    EXPECT_FALSE(d.controlVisible(1017));
    d.close();
  });
  callDriven(kCalPopup, "|||||||command", [&](WindowDriver& d) {
    EXPECT_EQ(widthOf(d.windowRect()), t.templateWidth);
    EXPECT_EQ(heightOf(d.windowRect()), t.templateHeight + 30);
    const RECT client = d.clientRect(), ok = d.controlRectInClient(kOk), cancel = d.controlRectInClient(kCancel);
    EXPECT_TRUE(d.controlVisible(kOk));
    EXPECT_TRUE(d.controlVisible(kCancel));
    EXPECT_EQ(ok.left, client.right / 2 - widthOf(ok) - 10);
    EXPECT_EQ(cancel.left, client.right / 2 + 10);
    EXPECT_EQ(ok.bottom, client.bottom - 5);
    EXPECT_EQ(cancel.top, ok.top);
    d.close();
  });
}

TEST_F(CalPopupTest, PlacementAtAPointOverTheOwnerOrOnTheWorkArea) {
  // A parameter position is a screen point, whatever the owner.
  callDriven(kCalPopup, "|100|50", [](WindowDriver& d) {
    EXPECT_EQ(d.windowRect().left, 100);
    EXPECT_EQ(d.windowRect().top, 50);
    d.close();
  });
  callDriven(kCalPopup, "||", [](WindowDriver& d) {  // empty fields keep the stored placement
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const RECT r = d.windowRect();
    EXPECT_EQ(r.left, work.left + (widthOf(work) - widthOf(r)) / 2);
    EXPECT_EQ(r.top, work.top + (heightOf(work) - heightOf(r)) / 2);
    EXPECT_EQ(d.owner(), nullptr);
    d.close();
  });
  // Centred over the window active at the call, which owns the calendar.
  HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE | WS_CAPTION, 301, 203, 600, 401,
                               nullptr, nullptr, nullptr, nullptr);
  SetForegroundWindow(owner);
  SetActiveWindow(owner);
  ASSERT_EQ(GetActiveWindow(), owner);
  callDriven(kCalPopup, "", [&](WindowDriver& d) {
    const RECT r = d.windowRect();
    EXPECT_EQ(d.owner(), owner);
    EXPECT_EQ(r.left, 301 + (600 - widthOf(r)) / 2);
    EXPECT_EQ(r.top, 203 + (401 - heightOf(r)) / 2);
    d.close();
  });
  DestroyWindow(owner);
}

TEST_F(CalPopupTest, StoredPreferencesApply) {
  storeSetting("Title", "Pick a day");
  storeSetting("Language", "1");
  storeSetting("CalendarType", "1");
  storeSetting("DateStyle", "1");
  storeSetting("DateSelectionMethod", "1");
  storeSetting("Location", "1");
  storeSetting("LocationX", "40");
  storeSetting("LocationY", "30");
  storeSetting("Theme", "2");
  std::string result = callDriven(kCalPopup, "01/03/2004", [](WindowDriver& d) {
    EXPECT_EQ(d.caption(), "Pick a day");
    EXPECT_EQ(d.listEntries(kMonthList).front(), "Janvier");
    EXPECT_EQ(d.selectedIndex(kMonthList), 2);  // day first: 01/03 is 1 March
    EXPECT_TRUE(d.controlVisible(kOk));
    EXPECT_EQ(d.windowRect().left, 40);
    EXPECT_EQ(d.windowRect().top, 30);
    CalendarGeometry g;
    d.calendarGeometry(g);
    const RECT heading = g.cell(1, 0);
    EXPECT_EQ(d.pixelAt(heading.left + 2, heading.top + 2), 0xCC6699u);  // Purple headings
    EXPECT_EQ(d.pixelAt(1, d.clientRect().bottom - 2), 0x940080u);       // on the Purple background
    d.clickCell(1, 7);  // Monday first: 1 March 2004 is the first cell
    d.pressButton(kOk);
  });
  EXPECT_EQ(result, "01/03/2004");
}

TEST_F(CalPopupTest, ParametersOverrideStoredPreferencesForOneCall) {
  storeSetting("Language", "2");
  storeSetting("DateStyle", "2");
  storeSetting("DateSelectionMethod", "1");
  storeSetting("Title", "Stored");
  std::string result = callDriven(kCalPopup, "03/01/2004|||Given|english|sunday|mm/dd/yyyy|click", [](WindowDriver& d) {
    EXPECT_EQ(d.caption(), "Given");
    EXPECT_EQ(d.listEntries(kMonthList).front(), "January");
    EXPECT_FALSE(d.controlVisible(kOk));
    d.clickCell(1, 7);
  });
  EXPECT_EQ(result, "02/29/2004");
  // The next call is back on the stored preferences.
  result = callDriven(kCalPopup, "2004/03/01", [](WindowDriver& d) {
    EXPECT_EQ(d.caption(), "Stored");
    EXPECT_EQ(d.listEntries(kMonthList).front(), "Januar");
    EXPECT_TRUE(d.controlVisible(kOk));
    d.clickCell(1, 7);
    d.pressButton(kOk);
  });
  EXPECT_EQ(result, "2004/02/29");
}

// A parameter longer than the 200-byte buffer is cut to its first 199
// characters: a field that starts beyond them is not read.
TEST_F(CalPopupTest, LongParametersAreCutSafely) {
  const std::string title60(60, 'T');
  struct Case {
    std::string parameter;
    const char* firstMonth;
    std::string caption;
  } cases[] = {
      {"03/01/2004|||" + title60 + std::string(100, 'x') + "|French", "Janvier", title60.substr(0, 49)},
      // "French" ending at the 199th character is read whole; one further
      // on it loses its "h".
      {"03/01/2004|||" + title60 + std::string(119, 'x') + "|French", "Janvier", title60.substr(0, 49)},
      {"03/01/2004|||" + title60 + std::string(120, 'x') + "|French", "January", title60.substr(0, 49)},
      // A title whose last character is the 200th: the 199 kept are read
      // as a whole text, ended where the parameter was cut.
      {"03/01/2004" + std::string(40, ' ') + "|" + std::string(50, ' ') + "|" + std::string(50, ' ') + "|" +
           std::string(46, 'T') + "Z",
       "January", std::string(46, 'T')},
      {"03/01/2004|||" + title60 + std::string(130, 'x') + "|French", "January", title60.substr(0, 49)},
      {std::string(5000, '|'), "January", "Datewell 3.0"},
      {std::string(5000, '7'), "January", "Datewell 3.0"},
  };
  for (const Case& c : cases) {
    bool driven = false;
    std::string result = callDriven(kCalPopup, c.parameter, [&](WindowDriver& d) {
      EXPECT_EQ(d.listEntries(kMonthList).front(), c.firstMonth) << c.parameter.size();
      EXPECT_EQ(d.caption(), c.caption);
      d.close();
    }, &driven);
    EXPECT_TRUE(driven);
    EXPECT_EQ(result, "");
  }
}

// Each call starts from its own resets: nothing of the previous call shows.
TEST_F(CalPopupTest, ConsecutiveCallsDoNotLeakState) {
  EXPECT_EQ(callDriven(kCalPopup, "12/25/2003|10|20|||||command", [](WindowDriver& d) {
              clickDay(d, 1, 2003, 12, 3);
              d.pressButton(kOk);
            }), "12/03/2003");
  std::string result = callDriven(kCalPopup, "|||||||command", [](WindowDriver& d) {
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NE(d.windowRect().left, 10);  // centred again
    EXPECT_EQ(d.windowRect().left, work.left + (widthOf(work) - widthOf(d.windowRect())) / 2);
    d.pressButton(kOk);
  });
  EXPECT_EQ(result, todayWritten());
  EXPECT_EQ(callDriven(kCalPopup, "", [](WindowDriver& d) { d.close(); }), "");
}

}  // namespace

namespace {

// A host whose record names a module without the calendar template, so the
// window cannot be created: the call returns an empty text, as a cancel
// does, never a date nobody confirmed, and the fonts and brushes made for the
// window are still released.
char* hostBlock = nullptr;
int32_t hostBlockSize = 0;
void __stdcall resizeHostText(TextHandle text, int32_t size) {
  hostBlock = static_cast<char*>(std::realloc(hostBlock, size > 0 ? size : 1));
  hostBlockSize = size;
  *text = hostBlock;
}
int32_t __stdcall hostTextLength(TextHandle text) { return text == nullptr || *text == nullptr ? 0 : static_cast<int32_t>(std::strlen(*text)); }
uint32_t __stdcall hostMemoryStatus() { return 0; }

std::string callWithoutTemplate(uint32_t index, const char* parameter) {
  typedef void(__cdecl * Entry)(HostCall*);
  Entry entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(plugin().module(), "FMExternCallProc")));
  char* parameterBlock = const_cast<char*>(parameter);
  // A stale text in the result, so that a call that never writes it fails.
  hostBlock = static_cast<char*>(std::realloc(hostBlock, 6));
  std::memcpy(hostBlock, "stale", 6);
  hostBlockSize = 5;
  char* resultBlock = hostBlock;
  HostCall call = {};
  call.callKind = CallFunction;
  call.functionIndex = index;
  call.parameterText = &parameterBlock;
  call.moduleInstance = GetModuleHandleA(nullptr);  // the test program: no dialog 122
  call.resultText = &resultBlock;
  call.resizeText = resizeHostText;
  call.textLength = hostTextLength;
  call.memoryStatus = hostMemoryStatus;
  entry(&call);
  return std::string(resultBlock, static_cast<size_t>(hostBlockSize));
}

TEST(CalendarWithoutWindow, ReturnsNothingAndReleasesTheThemeObjects) {
  deleteSettingsKey();
  const GdiCounts before = countGdiObjects();
  for (const char* parameter : {"12/25/2003|||||||command", "|||||||command", "12/25/2003", ""})
    EXPECT_EQ(callWithoutTemplate(functionIndexOf(kCalPopup), parameter), "") << parameter;
  EXPECT_EQ(callWithoutTemplate(functionIndexOf("XELM CalPopup2"), "03/01/2004|03/02/2004|||||||command"), "");
  EXPECT_EQ(callWithoutTemplate(functionIndexOf("XELM YearPopup"), "2004|||||||command"), "");
  EXPECT_EQ(callWithoutTemplate(functionIndexOf("XELM TimePopup"), "||24|15|21:45"), "");
  const GdiCounts after = countGdiObjects();
  EXPECT_EQ(after.fonts, before.fonts);
  EXPECT_EQ(after.brushes, before.brushes);
  std::free(hostBlock);
  hostBlock = nullptr;
}

// A system that cannot make the fonts and brushes (out of GDI objects): the
// window still opens, takes a pick and returns it, drawing with the system's
// own objects, and deletes nothing it did not make.
HFONT WINAPI noFont(int, int, int, int, int, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, LPCSTR) {
  return nullptr;
}
HBRUSH WINAPI noBrush(COLORREF) { return nullptr; }
int deletedNothing = 0;
BOOL WINAPI countingDelete(HGDIOBJ object) {
  if (!object) ++deletedNothing;
  return DeleteObject(object);
}

TEST(CalendarWithoutFontsAndBrushes, StillPicksAndReleasesNothingItDidNotMake) {
  deleteSettingsKey();
  ImportHook fonts(plugin().module(), "gdi32.dll", "CreateFontA", reinterpret_cast<const void*>(noFont));
  ImportHook brushes(plugin().module(), "gdi32.dll", "CreateSolidBrush", reinterpret_cast<const void*>(noBrush));
  ImportHook deletes(plugin().module(), "gdi32.dll", "DeleteObject", reinterpret_cast<const void*>(countingDelete));
  ASSERT_TRUE(fonts.installed() && brushes.installed() && deletes.installed());
  // The second call is counted: the first makes the system's own objects
  // that a window without a background brush of its own draws with.
  GdiCounts before = {};
  for (int call = 0; call < 2; ++call) {
    if (call == 1) before = countGdiObjects();
    EXPECT_EQ(callDriven(kCalPopup, "03/05/2004|||||||command", [](WindowDriver& d) {
                clickDay(d, 1, 2004, 3, 10);
                d.pressButton(kOk);
              }),
              "03/10/2004");
  }
  EXPECT_EQ(deletedNothing, 0);
  const GdiCounts after = countGdiObjects();
  EXPECT_EQ(after.fonts, before.fonts);
  EXPECT_EQ(after.brushes, before.brushes);
}

}  // namespace
