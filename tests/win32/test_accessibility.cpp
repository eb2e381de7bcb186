// The calendar window as a screen reader reads and drives it, through oleacc
// from the driver's thread (so every call is marshalled to the window's
// thread) and from a separate process: names, states, locations and hit
// tests of the grid's elements, a reader's object navigation, selection and
// directions, the default action on the click's path, references kept past
// the window's end and past the plug-in's, and no leak over many walks.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

#include "accessible_view.h"
#include "calendar_support.h"
#include "gdi_count.h"
#include "import_hook.h"

namespace {

const int kOk = 1033;

class AccessibilityTest : public ::testing::Test {
 protected:
  void SetUp() override { deleteSettingsKey(); }
  void TearDown() override { deleteSettingsKey(); }
};

// The grid's elements of a window: those after its controls (whose
// elements read as windows or unknown objects, not as cells or headings).
std::vector<AccessibleElement> gridElements(const std::vector<AccessibleElement>& all) {
  std::vector<AccessibleElement> grid;
  for (const AccessibleElement& e : all)
    if (e.role == ROLE_SYSTEM_CELL || e.role == ROLE_SYSTEM_COLUMNHEADER || e.role == ROLE_SYSTEM_STATICTEXT)
      grid.push_back(e);
  return grid;
}

// A run of day names of 2004 as a reader hears them, "Monday 1 March 2004":
// days `from` to `to` of `month`, each run following on from the one before.
struct DayRun {
  int from, to;
  const wchar_t* month;
};
const wchar_t* const kEnglishDays[] = {L"Sunday", L"Monday", L"Tuesday", L"Wednesday", L"Thursday", L"Friday", L"Saturday"};
const wchar_t* const kFrenchDays[] = {L"dimanche", L"lundi", L"mardi", L"mercredi", L"jeudi", L"vendredi", L"samedi"};
// `weekday`: the first day's, 0 for Sunday.
std::vector<std::wstring> dayNames(const wchar_t* const* weekdays, int weekday, std::initializer_list<DayRun> runs) {
  std::vector<std::wstring> names;
  for (const DayRun& run : runs)
    for (int day = run.from; day <= run.to; ++day, weekday = (weekday + 1) % 7)
      names.push_back(std::wstring(weekdays[weekday]) + L" " + std::to_wstring(day) + L" " + run.month + L" 2004");
  return names;
}

// Headings, whole weekday names from `first` (0 Sunday), then `days`.
std::vector<std::wstring> headed(const wchar_t* const* weekdays, int first, const std::vector<std::wstring>& days) {
  std::vector<std::wstring> names;
  for (int k = 0; k < 7; ++k) names.push_back(weekdays[(first + k) % 7]);
  names.insert(names.end(), days.begin(), days.end());
  return names;
}

// Does the default action of the first element named `name` (with `last`,
// the last: the right calendar's of two that show the day) and waits until the window has taken the click, and
// when the click ends it, until it is gone. (Under Wine a call that reaches
// a window's thread while its apartment ends is never answered: a
// reference is released while the window is open or once it has closed.)
HRESULT act(WindowDriver& d, const wchar_t* name, bool last = false) {
  AccessibleView view(d.window());
  const std::vector<AccessibleElement> all = view.read();
  int found = findElement(all, name);
  for (int next = found; last && next >= 0; next = findElement(all, name, next + 1)) found = next;
  if (found < 0) return E_INVALIDARG;
  const HRESULT hr = view.doDefaultAction(all[found].id);
  if (!d.waitIdle(d.window())) d.waitClosed();
  return hr;
}

// Names and descriptions in the window's language: every heading and day of
// a month, what the window shows (the client's description), and a range's
// two calendars told apart.
TEST_F(AccessibilityTest, EveryElementIsNamedAndDescribedInTheWindowsLanguage) {
  struct Spot {
    long id;
    const wchar_t *name, *description;
    long state = -1;  // -1: not checked
  };
  struct Case {
    const char *function, *parameter;
    const wchar_t* shown;  // the client's description
    std::vector<std::wstring> names;  // of elements 1, 2, ... when given
    std::vector<Spot> spots;
  } cases[] = {
      {"XELM CalPopup", "03/05/2004", L"March 2004, 5 March 2004 marked",
       headed(kEnglishDays, 0, dayNames(kEnglishDays, 0, {{29, 29, L"February"}, {1, 31, L"March"}, {1, 10, L"April"}})),
       {{8, L"Sunday 29 February 2004", L"Outside the month shown"}, {13, L"Friday 5 March 2004", L""}}},
      {"XELM CalPopup", "02/05/2004||||French|Monday", L"f\u00e9vrier 2004, 5 f\u00e9vrier 2004 marqu\u00e9",
       headed(kFrenchDays, 1, dayNames(kFrenchDays, 1, {{26, 31, L"janvier"}, {1, 29, L"f\u00e9vrier"}, {1, 7, L"mars"}})),
       {{8, L"lundi 26 janvier 2004", L"En dehors du mois affich\u00e9"}}},
      // Both calendars of a range show March: the days say which they are in.
      {"XELM CalPopup2", "03/05/2004|03/20/2004",
       L"Start: March 2004, 5 March 2004 marked, End: March 2004, 20 March 2004 marked", {},
       {{9, L"Monday 1 March 2004", L"Start"}, {58, L"Monday 1 March 2004", L"End"},
        {98, L"Saturday 10 April 2004", L"End, outside the month shown"}}},
      {"XELM YearPopup", "2004||||German", L"2004", {},
       {{1, L"Januar", L""}, {2, L"Sonntag", L""}, {101, L"M\u00e4rz", L""},
        {111, L"Dienstag, 2. M\u00e4rz 2004", L""}}},
      // A date whose month no list shows: an empty grid a reader passes over.
      {"XELM CalPopup", "25/12/2003||||||mm/dd/yyyy", L"", {},
       {{8, L"", L"", STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_INVISIBLE}, {1, L"Sunday", L"", 0}}},
  };
  for (const Case& c : cases) {
    std::vector<AccessibleElement> all;
    callDriven(c.function, c.parameter, [&](WindowDriver& d) {
      all = AccessibleView(d.window()).read();
      d.close();
    });
    ASSERT_GT(all.size(), 49u) << c.parameter;
    EXPECT_EQ(all[0].description, c.shown) << c.parameter;
    for (size_t k = 0; k < c.names.size(); ++k) EXPECT_EQ(all[k + 1].name, c.names[k]) << c.parameter << " " << k + 1;
    for (const Spot& spot : c.spots) {
      EXPECT_EQ(all[spot.id].name, spot.name) << c.parameter << " " << spot.id;
      EXPECT_EQ(all[spot.id].description, spot.description) << c.parameter << " " << spot.id;
      if (spot.state >= 0) {
        EXPECT_EQ(all[spot.id].state, spot.state) << c.parameter << " " << spot.id;
      }
    }
  }
}

// March 2004 from 29 February: the 5th marked, grey days described, every
// element where its cell is and found there; a pick moves the selection.
TEST_F(AccessibilityTest, StatesLocationsAndHitTestsFollowTheGrid) {
  callDriven("XELM CalPopup", "03/05/2004|||||||command", [](WindowDriver& d) {
    CalendarGeometry g;
    ASSERT_TRUE(d.calendarGeometry(g));
    for (const wchar_t* selected : {L"Friday 5 March 2004", L"Tuesday 9 March 2004"}) {
      if (selected[0] == L'T') {  // Tuesday the 9th: picked first
        EXPECT_EQ(act(d, selected), S_OK);
      }
      AccessibleView view(d.window());
      const std::vector<AccessibleElement> grid = gridElements(view.read());
      ASSERT_EQ(grid.size(), 49u);
      for (int position = 0; position < 49; ++position) {
        const AccessibleElement& e = grid[position];
        const bool grey = position == 7 || position >= 39;  // 29 February, 1-10 April
        EXPECT_EQ(e.role, position < 7 ? ROLE_SYSTEM_COLUMNHEADER : ROLE_SYSTEM_CELL) << position;
        EXPECT_EQ(e.state, position < 7 ? 0 : STATE_SYSTEM_SELECTABLE | (e.name == selected ? STATE_SYSTEM_SELECTED : 0))
            << position;
        EXPECT_EQ(e.description, grey ? L"Outside the month shown" : L"") << position;
        RECT cell = g.cell(1, position);
        MapWindowPoints(d.window(), HWND_DESKTOP, reinterpret_cast<POINT*>(&cell), 2);
        EXPECT_TRUE(EqualRect(&e.location, &cell)) << position;
        const POINT centre = {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
        EXPECT_EQ(view.hitTest(centre), e.id) << position;
      }
      // A shared border goes to the lower index, as a click's does.
      POINT border = {grid[8].location.left, grid[8].location.top + 5};
      EXPECT_EQ(view.hitTest(border), grid[7].id);
      EXPECT_EQ(view.selection(), std::vector<long>{grid[findElement(grid, selected)].id});
    }
    d.pressButton(kOk);
  });
}

// A reader's object navigation: the client's first child, then the next
// sibling of each simple child, until a child with an object of its own.
// Child ids: element n of the grid (headings, days, year-view titles in
// reading order) is n + 1; the controls follow.
TEST_F(AccessibilityTest, ObjectNavigationMeetsEveryElementBeforeTheControls) {
  const struct {
    const char* function;
    const char* parameter;
    long elements;
  } cases[] = {{"XELM CalPopup", "03/05/2004", 49}, {"XELM CalPopup2", "03/05/2004|04/05/2004", 98},
               {"XELM YearPopup", "2004", 600}};
  for (const auto& c : cases) {
    callDriven(c.function, c.parameter, [&](WindowDriver& d) {
      {
        AccessibleView view(d.window());
        long id = view.navigate(CHILDID_SELF, NAVDIR_FIRSTCHILD), met = 0;
        for (; id > 0 && met < 1000; id = view.navigate(id, NAVDIR_NEXT)) EXPECT_EQ(id, ++met) << c.parameter;
        EXPECT_EQ(met, c.elements) << c.parameter;
        EXPECT_EQ(id, 0) << c.parameter << ": the walk goes on to the first control's object";
      }  // let go before the window ends
      d.close();
    });
  }
}

// Moving by direction within a month, the selection a reader is told, and
// selecting a day as its default action picks it.
TEST_F(AccessibilityTest, SelectionAndDirectionsFollowTheGrid) {
  struct Move {
    long from, direction, to;  // to: -1 nothing there, 0 a control's object
  };
  const struct {
    const char* function;
    const char* parameter;
    std::vector<Move> moves;
    std::vector<long> selection;
    const char* result;  // "" when the window is closed after the moves; else the picks below are made
  } cases[] = {
      // March 2004 from 29 February: heading k is id k + 1, grid position p
      // id p + 1, so 5 March (position 12) is 13 and the last cell 49.
      {"XELM CalPopup", "03/05/2004|||||||command",
       {{13, NAVDIR_UP, 6}, {6, NAVDIR_UP, -1}, {6, NAVDIR_DOWN, 13}, {13, NAVDIR_LEFT, 12},
        {13, NAVDIR_RIGHT, 14}, {8, NAVDIR_LEFT, -1}, {49, NAVDIR_RIGHT, -1}, {49, NAVDIR_DOWN, -1},
        {43, NAVDIR_DOWN, -1}, {36, NAVDIR_DOWN, 43}, {49, NAVDIR_NEXT, 0}, {1, NAVDIR_PREVIOUS, -1},
        {CHILDID_SELF, NAVDIR_FIRSTCHILD, 1}},
       {13},
       "04/01/2004"},
      // The right calendar's headings start at 50: no move crosses calendars.
      {"XELM CalPopup2", "03/05/2004|04/10/2004|||||||command",
       {{50, NAVDIR_LEFT, -1}, {50, NAVDIR_UP, -1}, {57, NAVDIR_UP, 50}, {49, NAVDIR_RIGHT, -1}, {49, NAVDIR_NEXT, 50}},
       {13, 49 + 7 + 4 + 10},
       ""},
      // The year view: January's title is 1, its headings 2 to 8.
      {"XELM YearPopup", "2004", {{1, NAVDIR_DOWN, -1}, {2, NAVDIR_DOWN, 9}, {9, NAVDIR_UP, 2}}, {}, ""},
  };
  for (const auto& c : cases) {
    const std::string result = callDriven(c.function, c.parameter, [&](WindowDriver& d) {
      auto view = std::make_unique<AccessibleView>(d.window());  // let go before the window ends
      for (const Move& m : c.moves)
        EXPECT_EQ(view->navigate(m.from, m.direction), m.to) << c.parameter << " from " << m.from << " " << m.direction;
      HRESULT hr = E_FAIL;
      EXPECT_EQ(view->selection(&hr), c.selection) << c.parameter;
      EXPECT_EQ(hr, c.selection.empty() ? S_FALSE : S_OK) << c.parameter;
      if (!*c.result) {
        view.reset();
        d.close();
        return;
      }
      EXPECT_EQ(view->select(20, SELFLAG_TAKEFOCUS), E_INVALIDARG);
      EXPECT_EQ(view->select(20, SELFLAG_TAKESELECTION | SELFLAG_TAKEFOCUS), E_INVALIDARG);
      EXPECT_EQ(view->select(3, SELFLAG_TAKESELECTION), DISP_E_MEMBERNOTFOUND);  // a heading
      EXPECT_EQ(view->select(20, SELFLAG_TAKESELECTION), S_OK);                  // 12 March
      d.waitIdle(d.window());
      EXPECT_EQ(view->selection(), std::vector<long>{20});
      d.selectIndex(1015, 3);  // April: nothing is marked there
      EXPECT_EQ(view->selection(&hr), std::vector<long>{});
      EXPECT_EQ(hr, S_FALSE);
      EXPECT_EQ(view->select(12, SELFLAG_TAKESELECTION), S_OK);  // 1 April
      d.waitIdle(d.window());
      view.reset();
      d.pressButton(kOk);
    });
    EXPECT_EQ(result, c.result) << c.parameter;
  }
}

TEST_F(AccessibilityTest, DefaultActionTakesTheClicksPath) {
  struct Case {
    const char* name;
    const char* function;
    const char* parameter;
    std::function<void(WindowDriver&)> actions;
    const char* expected;
  } cases[] = {
      {"Date Click", "XELM CalPopup", "03/05/2004",
       [](WindowDriver& d) { EXPECT_EQ(act(d, L"Tuesday 9 March 2004"), S_OK); }, "03/09/2004"},
      {"a grey day", "XELM CalPopup", "03/05/2004",
       [](WindowDriver& d) { EXPECT_EQ(act(d, L"Thursday 1 April 2004"), S_OK); }, "04/01/2004"},
      {"a heading has none", "XELM CalPopup", "03/05/2004",
       [](WindowDriver& d) {
         EXPECT_EQ(act(d, L"Sunday"), DISP_E_MEMBERNOTFOUND);
         EXPECT_TRUE(d.windowOpen());
         d.close();
       },
       ""},
      {"Command Buttons", "XELM CalPopup", "03/05/2004|||||||command",
       [](WindowDriver& d) {
         EXPECT_EQ(act(d, L"Tuesday 9 March 2004"), S_OK);
         EXPECT_EQ(act(d, L"Friday 12 March 2004"), S_OK);
         EXPECT_TRUE(d.windowOpen());
         d.pressButton(kOk);
       },
       "03/12/2004"},
      {"a range", "XELM CalPopup2", "03/01/2004|04/01/2004",
       [](WindowDriver& d) {
         EXPECT_EQ(act(d, L"Wednesday 10 March 2004"), S_OK);
         EXPECT_EQ(act(d, L"Friday 2 April 2004", true), S_OK);
       },
       "03/10/2004...04/02/2004"},
      {"a range out of order", "XELM CalPopup2", "03/01/2004|04/01/2004",
       [](WindowDriver& d) {
         EXPECT_EQ(act(d, L"Monday 5 April 2004"), S_OK);  // the left calendar's grey day
         EXPECT_EQ(act(d, L"Friday 2 April 2004", true), S_OK);
         EXPECT_EQ(act(d, L"Monday 1 March 2004"), E_ACCESSDENIED);  // under the message, as a click is refused
         EXPECT_EQ(d.answerMessageBox().text,
                   "The date selected in the left calendar must be less than or equal to the date in the right "
                   "calendar.");
         EXPECT_EQ(act(d, L"Monday 1 March 2004"), S_OK);
       },
       "03/01/2004...04/02/2004"},
      {"the year view", "XELM YearPopup", "2004",
       [](WindowDriver& d) { EXPECT_EQ(act(d, L"Friday 7 May 2004"), S_OK); }, "05/07/2004"},
  };
  for (const Case& c : cases) {
    bool driven = false;
    EXPECT_EQ(callDriven(c.function, c.parameter, c.actions, &driven), c.expected) << c.name;
    EXPECT_TRUE(driven) << c.name;
  }
}

// What listening screen readers are told, recorded by an out-of-context
// hook of the driver's thread: event and child id, for the window's client.
std::vector<std::pair<DWORD, LONG>> announced;
HWND announcing = nullptr;
void CALLBACK recordEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
  const bool told = event == EVENT_OBJECT_REORDER || event == EVENT_OBJECT_DESCRIPTIONCHANGE ||
                    (event >= EVENT_OBJECT_SELECTION && event <= EVENT_OBJECT_SELECTIONREMOVE);
  if (told && window == announcing && object == OBJID_CLIENT) announced.push_back({event, child});
}

// A month change and the mouse's picks are announced, to a reader that began
// listening after the window opened and never asked for its object too. In a
// range a pick replaces only its own calendar's day.
TEST_F(AccessibilityTest, ListChangesAndPicksAreAnnounced) {
  const struct {
    const char* function;
    const char* parameter;
    std::function<void(WindowDriver&)> actions;
    std::vector<std::pair<DWORD, LONG>> expected;
  } cases[] = {
      {"XELM CalPopup", "03/05/2004|||||||command",
       [](WindowDriver& d) {
         d.selectIndex(1015, 3);  // April
         clickDay(d, 1, 2004, 4, 9);
       },
       {{EVENT_OBJECT_REORDER, CHILDID_SELF}, {EVENT_OBJECT_DESCRIPTIONCHANGE, CHILDID_SELF},
        {EVENT_OBJECT_SELECTION, 20}}},
      // 5 March (13) and 10 April (70) marked; 9 March is 17, 2 April 62.
      {"XELM CalPopup2", "03/05/2004|04/10/2004|||||||command",
       [](WindowDriver& d) {
         clickDay(d, 1, 2004, 3, 9);
         clickDay(d, 2, 2004, 4, 2);
       },
       {{EVENT_OBJECT_SELECTIONREMOVE, 13}, {EVENT_OBJECT_SELECTIONADD, 17}, {EVENT_OBJECT_SELECTIONREMOVE, 70},
        {EVENT_OBJECT_SELECTIONADD, 62}}},
  };
  for (const auto& c : cases) {
    callDriven(c.function, c.parameter, [&](WindowDriver& d) {
      announced.clear();
      announcing = d.window();
      HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_REORDER, EVENT_OBJECT_DESCRIPTIONCHANGE, nullptr, recordEvent,
                                           GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
      c.actions(d);
      for (int i = 0; i < 20; ++i) {
        for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageA(&msg);
        Sleep(10);
      }
      UnhookWinEvent(hook);
      d.pressButton(kOk);
    });
    EXPECT_EQ(announced, c.expected) << c.parameter;
  }
}

// A host whose thread is in the multithreaded apartment: the platform's
// object answers alone, and the window works as before.
TEST_F(AccessibilityTest, AHostInTheMultithreadedApartmentKeepsThePlatformsObject) {
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  std::vector<AccessibleElement> all;
  EXPECT_EQ(callDriven("XELM CalPopup", "03/05/2004", [&](WindowDriver& d) {
              all = AccessibleView(d.window()).read();
              clickDay(d, 1, 2004, 3, 18);
            }),
            "03/18/2004");
  CoUninitialize();
  EXPECT_EQ(all.size(), 3u);  // the client object and its two lists
  EXPECT_TRUE(gridElements(all).empty());
}

// A screen reader in its own process: every call crosses processes.
TEST_F(AccessibilityTest, AnotherProcessReadsAndPicks) {
  const std::string out = testOutputPath("accessibility_client.txt");
  DeleteFileA(out.c_str());
  DWORD exitCode = 99;
  const std::string result = callDriven("XELM CalPopup", "03/05/2004", [&](WindowDriver& d) {
    char command[1024];
    std::snprintf(command, sizeof command, "\"%s\" 0x%lx \"%s\" \"Tuesday 9 March 2004\"", XELM_ACCESSIBILITY_CLIENT,
                  static_cast<unsigned long>(reinterpret_cast<uintptr_t>(d.window())), out.c_str());
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    WaitForSingleObject(process.hProcess, 60000);
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  });
  EXPECT_EQ(exitCode, 0u);
  EXPECT_EQ(result, "03/09/2004");
  std::ifstream file(out);
  std::stringstream text;
  text << file.rdbuf();
  EXPECT_NE(text.str().find("cell \"Friday 5 March 2004\" [selected, selectable] action \"Click\""), std::string::npos)
      << text.str();
  EXPECT_NE(text.str().find("cell \"Saturday 10 April 2004\" [selectable] (Outside the month shown)"), std::string::npos);
  EXPECT_NE(text.str().find("default action: 0x00000000"), std::string::npos);
}

bool comInitialisedOnThisThread() {
  const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (SUCCEEDED(hr)) CoUninitialize();
  return hr != S_OK;
}

// Keeps a reference to the window's object while `end` ends the window,
// then uses it: every call fails.
void keepPastTheEnd(WindowDriver& d, const std::function<void(WindowDriver&)>& end, const char* name) {
  AccessibleView kept(d.window());
  const long last = 49;  // the last day
  std::wstring text;
  EXPECT_EQ(kept.nameOf(last, text), S_OK) << name;
  end(d);
  EXPECT_TRUE(d.waitClosed()) << name;
  EXPECT_TRUE(FAILED(kept.nameOf(last, text))) << name;
  EXPECT_TRUE(FAILED(kept.doDefaultAction(last))) << name;
  EXPECT_EQ(kept.read().size(), 1u) << name;  // the client object alone, read as nothing
}

// However the window ends, a reference a screen reader kept fails from then
// on; COM is left on the host's thread as the host had it, and the next
// window is read and picked as the first was.
TEST_F(AccessibilityTest, ReferencesKeptPastTheWindowsEndFail) {
  struct Case {
    const char* name;
    bool hostUsesCom;
    std::function<void(WindowDriver&)> end;
  } cases[] = {
      {"closed", false, [](WindowDriver& d) { d.close(); }},
      {"picked", false, [](WindowDriver& d) { act(d, L"Tuesday 9 March 2004"); }},
      {"closed, COM on the host's thread", true, [](WindowDriver& d) { d.close(); }},
  };
  for (const Case& c : cases) {
    if (c.hostUsesCom) CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // The host's thread goes on taking messages after the call, as a host's
    // does, until the screen reader has let its reference go.
    std::atomic<bool> released{false};
    const auto call = [&] {
      plugin().callFunction(functionIndexOf("XELM CalPopup"), "03/05/2004");
      for (MSG msg; !released;)
        if (MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT) == WAIT_OBJECT_0)
          while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    };
    EXPECT_TRUE(runDriven(call, [&](WindowDriver& d) {
      keepPastTheEnd(d, c.end, c.name);
      released = true;
    })) << c.name;
    EXPECT_EQ(comInitialisedOnThisThread(), c.hostUsesCom) << c.name;
    if (c.hostUsesCom) CoUninitialize();
    EXPECT_EQ(callDriven("XELM CalPopup", "03/05/2004", [](WindowDriver& d) { act(d, L"Wednesday 10 March 2004"); }),
              "03/10/2004")
        << c.name;
  }
}

BOOL CALLBACK countWindow(HWND window, LPARAM count) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId()) ++*reinterpret_cast<int*>(count);
  return TRUE;
}

struct Counts {
  int gdi, windows;
  DWORD handles;
};

Counts countsNow() {
  Counts c = {countGdiObjects().total, 0, countKernelHandles()};
  EnumWindows(countWindow, reinterpret_cast<LPARAM>(&c.windows));
  return c;
}

// Bytes in use on every heap of the process.
SIZE_T heapBytesInUse() {
  HANDLE heaps[64];
  const DWORD count = GetProcessHeaps(64, heaps);
  SIZE_T total = 0;
  for (DWORD k = 0; k < count && k < 64; ++k) {
    if (!HeapLock(heaps[k])) continue;
    PROCESS_HEAP_ENTRY entry = {};
    while (HeapWalk(heaps[k], &entry))
      if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) total += entry.cbData;
    HeapUnlock(heaps[k]);
  }
  return total;
}

// Walks of the window's own elements (names, descriptions, states,
// locations, a hit test, moves and the selection) from another apartment
// leave the heap as it was: a missing Release or SysFreeString would keep
// tens of bytes a walk. The controls' objects are left out: under Wine a
// walk through the platform's objects handed out as children keeps about
// 2 KB whoever hands them out. XELM_ACCESSIBILITY_WALKS sets how many walks.
TEST_F(AccessibilityTest, ManyWalksLeaveTheHeapAndTheCountsAsTheyWere) {
  fillDcCache();
  const char* walks = std::getenv("XELM_ACCESSIBILITY_WALKS");
  const int kWalks = walks ? std::atoi(walks) : 250;
  Counts before = {}, after = {};
  SIZE_T heapBefore = 0, heapAfter = 0;
  const std::string result = callDriven("XELM CalPopup", "03/05/2004", [&](WindowDriver& d) {
    // A reader's apartment lives as long as the reader: under Wine each time
    // the last one on a thread ends and a new one begins keeps about 1 KB.
    auto reader = std::make_unique<AccessibleView>(d.window());
    const auto walk = [&](int times) {
      for (int i = 0; i < times; ++i) {
        AccessibleView view(d.window());
        const std::vector<AccessibleElement> days = view.readElements(1, 49);
        const RECT& last = days.back().location;
        EXPECT_EQ(view.hitTest({(last.left + last.right) / 2, (last.top + last.bottom) / 2}), 49) << i;
        EXPECT_EQ(view.navigate(13, NAVDIR_UP), 6) << i;
        EXPECT_EQ(view.selection(), std::vector<long>{13}) << i;
      }
    };
    walk(50);  // the object made, and COM's and the runtime's caches filled
    before = countsNow();
    heapBefore = heapBytesInUse();
    walk(kWalks);
    heapAfter = heapBytesInUse();
    after = countsNow();
    reader.reset();
    clickDay(d, 1, 2004, 3, 10);  // the window still takes a click
  });
  EXPECT_EQ(result, "03/10/2004");
  EXPECT_LT(static_cast<long>(heapAfter) - static_cast<long>(heapBefore), 4096);
  EXPECT_EQ(after.gdi, before.gdi);
  EXPECT_EQ(after.windows, before.windows);
  EXPECT_EQ(after.handles, before.handles);
  std::printf("%d walks of the grid's elements: heap bytes in use %lu -> %lu, GDI objects %d -> %d, windows %d -> %d, handles %lu -> %lu\n",
              kWalks, static_cast<unsigned long>(heapBefore), static_cast<unsigned long>(heapAfter), before.gdi,
              after.gdi, before.windows, after.windows, before.handles, after.handles);
}

// An in-context client in the host's own apartment (a hook of a screen
// reader): it takes the calendar's object as the window is shown, and asks
// again while the window's lists are destroyed.
HWND shownCalendar = nullptr;
IAccessible* keptInProcess = nullptr;
LRESULT askedWhileEnding = -1;
LRESULT CALLBACK inContextClient(int code, WPARAM wParam, LPARAM lParam) {
  const CWPSTRUCT& m = *reinterpret_cast<const CWPSTRUCT*>(lParam);
  char className[16] = {};
  GetClassNameA(m.hwnd, className, sizeof className);
  if (m.message == WM_SHOWWINDOW && m.wParam && !shownCalendar && std::string(className) == "#32770") {
    shownCalendar = m.hwnd;
    AccessibleObjectFromWindow(m.hwnd, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                               reinterpret_cast<void**>(&keptInProcess));
  }
  if (m.message == WM_DESTROY && shownCalendar && GetParent(m.hwnd) == shownCalendar && askedWhileEnding < 0)
    askedWhileEnding = SendMessageW(shownCalendar, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT));
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Its reference outlives the window and the host's unloading of the plug-in:
// no object is made once the window's end has begun, the kept one refuses
// every call, and its last Release still finds the module's code, which the
// module's next host call then lets go.
TEST_F(AccessibilityTest, AnInProcessClientOutlivesTheWindowAndThePlugin) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(plugin().module(), path, MAX_PATH);
  const char* const kCopy = "XELMCalendar-unloaded.fmx";  // a module of its own, loaded and unloaded here
  const std::string copy = testOutputPath(kCopy);
  ASSERT_TRUE(CopyFileA(path, copy.c_str(), FALSE));
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  auto host = std::make_unique<PluginHost>();
  ASSERT_TRUE(host->load(copy));
  const HMODULE module = host->module();
  HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, inContextClient, nullptr, GetCurrentThreadId());
  EXPECT_TRUE(runDriven([&] { host->callFunction(host->functionIndex("XELM CalPopup"), "03/05/2004"); },
                        [](WindowDriver& d) { d.close(); }));
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(askedWhileEnding, 0);
  ASSERT_NE(keptInProcess, nullptr);
  VARIANT day;
  VariantInit(&day);
  day.vt = VT_I4;
  day.lVal = 13;
  BSTR name = nullptr;
  EXPECT_EQ(keptInProcess->get_accName(day, &name), RPC_E_DISCONNECTED);
  host.reset();
  EXPECT_EQ(GetModuleHandleA(kCopy), module) << "unloaded under a live object";
  keptInProcess->Release();
  host = std::make_unique<PluginHost>();
  ASSERT_TRUE(host->load(copy));
  host->initialise(80);
  host.reset();
  EXPECT_EQ(GetModuleHandleA(kCopy), nullptr) << "kept loaded after its last object";
  CoUninitialize();
}

}  // namespace
