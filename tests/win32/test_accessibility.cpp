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

// The grid's headings and days of a window, wherever they are held (the
// controls read as windows or unknown objects, not as cells or headings).
std::vector<AccessibleElement> gridElements(const std::vector<AccessibleElement>& all) {
  std::vector<AccessibleElement> grid;
  for (const AccessibleElement& e : all)
    if (e.role == ROLE_SYSTEM_CELL || e.role == ROLE_SYSTEM_COLUMNHEADER) grid.push_back(e);
  return grid;
}

// The element `id` of the object that is the client's child `container`
// (0: the client's own), as read() lists them; nullptr when there is none.
const AccessibleElement* elementAt(const std::vector<AccessibleElement>& all, long container, long id) {
  for (const AccessibleElement& e : all)
    if (e.depth > 0 && e.container == container && e.id == id) return &e;
  return nullptr;
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
  const HRESULT hr = view.doDefaultAction(all[found]);
  if (!d.waitIdle(d.window())) d.waitClosed();
  return hr;
}

// Names and descriptions in the window's language: every heading and day of
// a month, what the window shows (the client's description), and a range's
// two calendars told apart.
TEST_F(AccessibilityTest, EveryElementIsNamedAndDescribedInTheWindowsLanguage) {
  struct Spot {
    long container, id;  // the month object's child id (0: the client's own) and the element's in it
    const wchar_t *name, *description;
    long state = -1;  // -1: not checked
  };
  struct Case {
    const char *function, *parameter;
    const wchar_t* shown;  // the client's description
    std::vector<std::wstring> names;  // of the client's elements 1, 2, ... when given
    std::vector<Spot> spots;
  } cases[] = {
      {"XELM CalPopup", "03/05/2004", L"March 2004, 5 March 2004 selected",
       headed(kEnglishDays, 0, dayNames(kEnglishDays, 0, {{29, 29, L"February"}, {1, 31, L"March"}, {1, 10, L"April"}})),
       {{0, 8, L"Sunday 29 February 2004", L"Outside the month shown"}, {0, 13, L"Friday 5 March 2004", L""},
        {0, 50, L"", L"", STATE_SYSTEM_INVISIBLE}}},  // nothing announced yet
      {"XELM CalPopup", "02/05/2004||||French|Monday", L"f\u00e9vrier 2004, 5 f\u00e9vrier 2004 s\u00e9lectionn\u00e9",
       headed(kFrenchDays, 1, dayNames(kFrenchDays, 1, {{26, 31, L"janvier"}, {1, 29, L"f\u00e9vrier"}, {1, 7, L"mars"}})),
       {{0, 8, L"lundi 26 janvier 2004", L"En dehors du mois affich\u00e9"}}},
      // Both calendars of a range show March: their month objects and days
      // say which they are.
      {"XELM CalPopup2", "03/05/2004|03/20/2004",
       L"Start: March 2004, 5 March 2004 selected, End: March 2004, 20 March 2004 selected", {},
       {{0, 1, L"Start: March 2004", L"", 0}, {0, 2, L"End: March 2004", L""}, {1, 9, L"Monday 1 March 2004", L"Start"},
        {2, 9, L"Monday 1 March 2004", L"End"}, {2, 49, L"Saturday 10 April 2004", L"End, outside the month shown"}}},
      {"XELM YearPopup", "2004||||German", L"2004", {},
       {{0, 1, L"Januar 2004", L""}, {1, 1, L"Sonntag", L""}, {0, 3, L"M\u00e4rz 2004", L""},
        {3, 10, L"Dienstag, 2. M\u00e4rz 2004", L""}, {0, 13, L"", L""}}},
      // A date whose month no list shows: an empty grid a reader passes over.
      {"XELM CalPopup", "25/12/2003||||||mm/dd/yyyy", L"", {},
       {{0, 8, L"", L"", STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_INVISIBLE}, {0, 1, L"Sunday", L"", 0}}},
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
      const AccessibleElement* e = elementAt(all, spot.container, spot.id);
      ASSERT_NE(e, nullptr) << c.parameter << " " << spot.container << "/" << spot.id;
      EXPECT_EQ(e->name, spot.name) << c.parameter << " " << spot.container << "/" << spot.id;
      EXPECT_EQ(e->description, spot.description) << c.parameter << " " << spot.container << "/" << spot.id;
      if (spot.state >= 0) {
        EXPECT_EQ(e->state, spot.state) << c.parameter << " " << spot.container << "/" << spot.id;
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

// A reader's object navigation reaches any day in a few steps, counted as
// NVDA counts them: a month object passes a month in one step, and one
// month is walked day by day.
TEST_F(AccessibilityTest, ObjectNavigationReachesAnyDayInAFewSteps) {
  const struct {
    const char *function, *parameter;
    const wchar_t* path;
    int steps;
  } cases[] = {
      {"XELM CalPopup", "03/05/2004||||English|Sunday|mm/dd/yyyy|click", L"Wednesday 31 March 2004", 39},
      {"XELM CalPopup2", "03/05/2004|04/10/2004||||English|Sunday|mm/dd/yyyy|click",
       L"End: April 2004 / Tuesday 20 April 2004", 33},
      {"XELM YearPopup", "2004||||English|Sunday|mm/dd/yyyy|click", L"December 2004 / Friday 31 December 2004", 53},
  };
  for (const auto& c : cases) {
    callDriven(c.function, c.parameter, [&](WindowDriver& d) {
      EXPECT_EQ(AccessibleView(d.window()).stepsTo(c.path), c.steps) << c.parameter;
      d.close();
    });
  }
}

// Moving by direction within a month, the selection a reader is told, and
// selecting a day as its default action picks it.
TEST_F(AccessibilityTest, SelectionAndDirectionsFollowTheGrid) {
  struct Move {
    long from, direction, to;  // to: -2 refused, -1 nothing there, 0 an object (a control's, a month's)
  };
  const struct {
    const char* function;
    const char* parameter;
    std::vector<Move> moves;
    std::vector<long> selection;
    const char* result;  // "" when the window is closed after the moves; else the picks below are made
  } cases[] = {
      // March 2004 from 29 February: heading k is id k + 1, grid position p
      // id p + 1, so 5 March (position 12) is 13 and the last cell 49; the
      // announcement is 50, the first control's object follows.
      {"XELM CalPopup", "03/05/2004|||||||command",
       {{13, NAVDIR_UP, 6}, {6, NAVDIR_UP, -1}, {6, NAVDIR_DOWN, 13}, {13, NAVDIR_LEFT, 12},
        {13, NAVDIR_RIGHT, 14}, {8, NAVDIR_LEFT, -1}, {49, NAVDIR_RIGHT, -1}, {49, NAVDIR_DOWN, -1},
        {43, NAVDIR_DOWN, -1}, {36, NAVDIR_DOWN, 43}, {49, NAVDIR_NEXT, 50}, {50, NAVDIR_NEXT, 0},
        {50, NAVDIR_PREVIOUS, 49}, {1, NAVDIR_PREVIOUS, -1}, {CHILDID_SELF, NAVDIR_FIRSTCHILD, 1},
        {13, NAVDIR_FIRSTCHILD, -2}, {13, NAVDIR_LASTCHILD, -2}, {50, NAVDIR_UP, -2}},
       {13},
       "04/01/2004"},
      // The client holds the two month objects, then the announcement; the
      // days answer under nested ids, 1001 on: no move crosses calendars.
      {"XELM CalPopup2", "03/05/2004|04/10/2004|||||||command",
       {{CHILDID_SELF, NAVDIR_FIRSTCHILD, 0}, {1, NAVDIR_NEXT, 0}, {2, NAVDIR_NEXT, 3}, {3, NAVDIR_NEXT, 0},
        {2, NAVDIR_FIRSTCHILD, -2}, {1050, NAVDIR_LEFT, -1}, {1050, NAVDIR_UP, -1}, {1057, NAVDIR_UP, 1050},
        {1049, NAVDIR_RIGHT, -1}, {1049, NAVDIR_NEXT, -1}, {1048, NAVDIR_NEXT, 1049}},
       {1013, 1000 + 49 + 7 + 4 + 10},
       ""},
      // The year view: January's title is 1001, its headings 1002 to 1008.
      {"XELM YearPopup", "2004",
       {{1001, NAVDIR_DOWN, -1}, {1002, NAVDIR_DOWN, 1009}, {1009, NAVDIR_UP, 1002}, {12, NAVDIR_NEXT, 13}},
       {},
       ""},
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
      EXPECT_EQ(view->select(20, SELFLAG_ADDSELECTION), E_INVALIDARG);
      EXPECT_EQ(view->select(20, SELFLAG_NONE), S_OK);
      EXPECT_EQ(view->select(3, SELFLAG_TAKESELECTION), DISP_E_MEMBERNOTFOUND);  // a heading
      EXPECT_EQ(view->select(50, SELFLAG_TAKESELECTION), DISP_E_MEMBERNOTFOUND);  // the announcement
      d.waitIdle(d.window());
      EXPECT_EQ(view->selection(), std::vector<long>{13});  // nothing picked yet
      // UI Automation's bridge selects with both flags.
      EXPECT_EQ(view->select(20, SELFLAG_TAKESELECTION | SELFLAG_TAKEFOCUS), S_OK);  // 12 March
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

// A month object is a container as MSAA has one: its own name, role,
// children, selection, area and hit test, its neighbours, its parent.
TEST_F(AccessibilityTest, MonthObjectsAreContainersOfTheirDays) {
  const struct {
    const char *function, *parameter;
    long month;
    const wchar_t *name, *next;  // "" a control's object
    long previous, selected, firstDay;  // previous: 0 a month, -1 none; child ids (-1 none)
    const wchar_t* pick;                // picked first, when given
  } cases[] = {
      {"XELM CalPopup2", "03/05/2004|04/10/2004|||||||command", 1, L"Start: March 2004", L"End: April 2004", -1, 13, 9},
      {"XELM CalPopup2", "03/05/2004|04/10/2004|||||||command", 2, L"End: April 2004", L"", 0, 21, 12},
      {"XELM YearPopup", "2004||||English|Sunday|mm/dd/yyyy|command", 2, L"February 2004", L"March 2004", 0, 17, 8,
       L"February 2004 / Tuesday 10 February 2004"},
      {"XELM YearPopup", "2004||||English|Sunday|mm/dd/yyyy|command", 12, L"December 2004", L"", 0, -1, 11,
       L"February 2004 / Tuesday 10 February 2004"},
  };
  for (const auto& c : cases) {
    callDriven(c.function, c.parameter, [&](WindowDriver& d) {
      {
        AccessibleView view(d.window());
        if (c.pick) EXPECT_EQ(view.doDefaultActionOf(c.pick), S_OK);
        d.waitIdle(d.window());
        AccessibleView month(view.child(c.month));
        const std::vector<AccessibleElement> all = month.read();
        ASSERT_EQ(all.size(), 50u) << c.name;
        EXPECT_EQ(all[0].name, c.name);
        EXPECT_EQ(all[0].role, ROLE_SYSTEM_GROUPING) << c.name;
        std::wstring next;
        EXPECT_EQ(month.navigate(CHILDID_SELF, NAVDIR_NEXT, &next), 0) << c.name;
        EXPECT_EQ(next, c.next) << c.name;
        EXPECT_EQ(month.navigate(CHILDID_SELF, NAVDIR_PREVIOUS), c.previous) << c.name;
        EXPECT_EQ(month.navigate(CHILDID_SELF, NAVDIR_FIRSTCHILD), 1) << c.name;
        EXPECT_EQ(month.navigate(CHILDID_SELF, NAVDIR_LASTCHILD), 49) << c.name;
        EXPECT_EQ(month.navigate(49, NAVDIR_NEXT), -1) << c.name;
        EXPECT_EQ(month.navigate(9, NAVDIR_FIRSTCHILD), -2) << c.name;
        EXPECT_EQ(month.selection(), c.selected < 0 ? std::vector<long>{} : std::vector<long>{c.selected});
        // The 1st of the month lies inside the month's area; a hit test
        // finds it there, the window's finds the month object.
        const RECT& area = all[0].location;
        const RECT& first = all[static_cast<size_t>(c.firstDay)].location;
        RECT both;
        UnionRect(&both, &area, &first);
        EXPECT_TRUE(EqualRect(&both, &area) && !IsRectEmpty(&first)) << c.name;
        const POINT centre = {(first.left + first.right) / 2, (first.top + first.bottom) / 2};
        EXPECT_EQ(month.hitTest(centre), c.firstDay) << c.name;
        EXPECT_EQ(view.hitTest(centre), 0) << c.name;
        EXPECT_EQ(month.hitTest({area.left - 1, area.top}), -1) << c.name;
        // Its parent is the window's object.
        IDispatch* parent = nullptr;
        IAccessible* parentObject = nullptr;
        if (view.child(c.month)->get_accParent(&parent) == S_OK && parent)
          parent->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&parentObject));
        ASSERT_NE(parentObject, nullptr) << c.name;
        EXPECT_EQ(AccessibleView(parentObject).readElements(0, 0)[0].description, view.readElements(0, 0)[0].description);
        parentObject->Release();
        parent->Release();
      }  // let go before the window ends
      d.close();
    });
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
// hook of the driver's thread: event, child id, and the name of what the
// event names, as a reader finds it (AccessibleObjectFromEvent) when the
// event arrives.
// Each as "event child: name", the event as a word.
std::vector<std::string> heard;
HWND announcing = nullptr;
void CALLBACK recordEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
  const char* word = event == EVENT_OBJECT_REORDER                ? "reorder"
                     : event == EVENT_OBJECT_DESCRIPTIONCHANGE    ? "description"
                     : event == EVENT_OBJECT_LIVEREGIONCHANGED    ? "live"
                     : event == EVENT_OBJECT_SELECTION            ? "selection"
                     : event == EVENT_OBJECT_SELECTIONADD         ? "add"
                     : event == EVENT_OBJECT_SELECTIONREMOVE      ? "remove"
                                                                  : nullptr;
  if (!word || window != announcing || object != OBJID_CLIENT) return;
  // Recorded before the name is asked for: while that call waits, the
  // events after this one are delivered.
  const size_t at = heard.size();
  heard.push_back(std::string(word) + " " + std::to_string(child));
  IAccessible* found = nullptr;
  VARIANT id;
  VariantInit(&id);
  if (child != CHILDID_SELF && SUCCEEDED(AccessibleObjectFromEvent(window, object, child, &found, &id)) && found) {
    BSTR text = nullptr;
    if (found->get_accName(id, &text) == S_OK && text) heard[at] += ": " + narrowText(text);
    SysFreeString(text);
    found->Release();
  }
}

// Takes what is told until the window's thread has been quiet a while.
void listen() {
  for (int i = 0; i < 20; ++i) {
    for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageA(&msg);
    Sleep(10);
  }
}

// A month change and the mouse's picks are told, to a reader that began
// listening after the window opened and never asked for its object: what
// changed, and what to say, whatever has the focus. In a range a pick
// replaces only its own calendar's day, and the days are named through
// their nested ids.
TEST_F(AccessibilityTest, ListChangesAndPicksAreAnnounced) {
  const struct {
    const char* function;
    const char* parameter;
    std::function<void(WindowDriver&)> actions;
    std::vector<std::string> expected;
  } cases[] = {
      {"XELM CalPopup", "03/05/2004||||English|Sunday|mm/dd/yyyy|command",
       [](WindowDriver& d) {
         d.selectIndex(1015, 3);  // April
         listen();
         clickDay(d, 1, 2004, 4, 9);
       },
       {"reorder 0", "description 0", "live 50: April 2004", "selection 20: Friday 9 April 2004", "description 0",
        "live 50: Friday 9 April 2004 selected"}},
      // 5 March and 10 April selected; 9 March is the start's 17th element,
      // 2 April the end's 13th.
      {"XELM CalPopup2", "03/05/2004|04/10/2004||||English|Sunday|mm/dd/yyyy|command",
       [](WindowDriver& d) {
         clickDay(d, 1, 2004, 3, 9);
         listen();
         clickDay(d, 2, 2004, 4, 2);
         listen();
         d.selectIndex(1017, 4);  // May on the right
       },
       {"remove 1013: Friday 5 March 2004", "add 1017: Tuesday 9 March 2004", "description 0",
        "live 3: Start: Tuesday 9 March 2004", "remove 1070: Saturday 10 April 2004", "add 1062: Friday 2 April 2004",
        "description 0", "live 3: End: Friday 2 April 2004", "reorder 0", "description 0", "live 3: End: May 2004"}},
      // Under Date Click the first pick of a range leaves the window open.
      {"XELM CalPopup2", "03/05/2004|04/10/2004||||French|Sunday|mm/dd/yyyy|click",
       [](WindowDriver& d) { clickDay(d, 2, 2004, 4, 2); },
       {"remove 1070: samedi 10 avril 2004", "add 1062: vendredi 2 avril 2004", "description 0",
        "live 3: Fin : vendredi 2 avril 2004"}},
      {"XELM YearPopup", "2004||||English|Sunday|mm/dd/yyyy|command",
       [](WindowDriver& d) {
         d.selectIndex(1016, 105);  // 2005
         listen();
         clickDay(d, 2, 2005, 2, 14);
       },
       {"reorder 0", "description 0", "live 13: 2005", "selection 1074: Monday 14 February 2005", "description 0",
        "live 13: Monday 14 February 2005 selected"}},
  };
  for (const auto& c : cases) {
    callDriven(c.function, c.parameter, [&](WindowDriver& d) {
      heard.clear();
      announcing = d.window();
      CoInitializeEx(nullptr, COINIT_MULTITHREADED);
      HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_REORDER, EVENT_OBJECT_LIVEREGIONCHANGED, nullptr, recordEvent,
                                           GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
      c.actions(d);
      listen();
      UnhookWinEvent(hook);
      CoUninitialize();
      d.close();
    });
    EXPECT_EQ(heard, c.expected) << c.parameter;
    for (const std::string& h : heard)
      if (h.rfind("live", 0) == 0) std::printf("heard: %s\n", h.c_str());
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

// Keeps a reference to the window's object, and in a range to its end's
// month object, while `end` ends the window, then uses them: every call fails.
void keepPastTheEnd(WindowDriver& d, const std::function<void(WindowDriver&)>& end, const char* name) {
  AccessibleView kept(d.window());
  IAccessible* month = kept.child(2);
  const long last = month ? 1098 : 49;  // the last day
  std::wstring text;
  EXPECT_EQ(kept.nameOf(last, text), S_OK) << name;
  end(d);
  EXPECT_TRUE(d.waitClosed()) << name;
  EXPECT_TRUE(FAILED(kept.nameOf(last, text))) << name;
  EXPECT_TRUE(FAILED(kept.doDefaultAction(last))) << name;
  EXPECT_EQ(kept.read().size(), 1u) << name;  // the client object alone, read as nothing
  if (!month) return;
  BSTR monthName = nullptr;
  EXPECT_EQ(month->get_accName(childVariant(CHILDID_SELF), &monthName), RPC_E_DISCONNECTED) << name;
  EXPECT_EQ(month->accDoDefaultAction(childVariant(9)), RPC_E_DISCONNECTED) << name;
}

// However the window ends, a reference a screen reader kept fails from then
// on; COM is left on the host's thread as the host had it, and the next
// window is read and picked as the first was.
TEST_F(AccessibilityTest, ReferencesKeptPastTheWindowsEndFail) {
  struct Case {
    const char* name;
    bool hostUsesCom;
    const char *function, *parameter;
    std::function<void(WindowDriver&)> end;
  } cases[] = {
      {"closed", false, "XELM CalPopup", "03/05/2004", [](WindowDriver& d) { d.close(); }},
      {"picked", false, "XELM CalPopup", "03/05/2004", [](WindowDriver& d) { act(d, L"Tuesday 9 March 2004"); }},
      {"closed, COM on the host's thread", true, "XELM CalPopup", "03/05/2004", [](WindowDriver& d) { d.close(); }},
      {"a range's month object", false, "XELM CalPopup2", "03/05/2004|04/10/2004", [](WindowDriver& d) { d.close(); }},
  };
  for (const Case& c : cases) {
    if (c.hostUsesCom) CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // The host's thread goes on taking messages after the call, as a host's
    // does, until the screen reader has let its reference go.
    std::atomic<bool> released{false};
    const auto call = [&] {
      plugin().callFunction(functionIndexOf(c.function), c.parameter);
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
// A walk of month object `month`: its elements `first` to 49, its
// selection, and its next sibling unless it is the last month (a control's
// object follows, left out as above).
void walkMonth(AccessibleView& view, long month, long first, bool last) {
  view.readElements(first, 49, month);
  AccessibleView object(view.child(month));
  object.selection();
  if (!last) object.navigate(CHILDID_SELF, NAVDIR_NEXT);
}

TEST_F(AccessibilityTest, ManyWalksLeaveTheHeapAndTheCountsAsTheyWere) {
  fillDcCache();
  const char* walks = std::getenv("XELM_ACCESSIBILITY_WALKS");
  const int kWalks = walks ? std::atoi(walks) : 250;
  const struct {
    const char *function, *parameter;
    int months;  // month objects
    std::function<void(AccessibleView&)> walk;
    std::function<void(WindowDriver&)> pick;  // the window still takes a click
    const char* result;
  } cases[] = {
      {"XELM CalPopup", "03/05/2004", 0,
       [](AccessibleView& view) {
         const std::vector<AccessibleElement> days = view.readElements(1, 49);
         const RECT& last = days.back().location;
         EXPECT_EQ(view.hitTest({(last.left + last.right) / 2, (last.top + last.bottom) / 2}), 49);
         EXPECT_EQ(view.navigate(13, NAVDIR_UP), 6);
         EXPECT_EQ(view.selection(), std::vector<long>{13});
       },
       [](WindowDriver& d) { clickDay(d, 1, 2004, 3, 10); }, "03/10/2004"},
      {"XELM CalPopup2", "03/05/2004|04/10/2004", 2,
       [](AccessibleView& view) {
         walkMonth(view, 1, 1, false);
         walkMonth(view, 2, 1, true);
         EXPECT_EQ(view.navigate(1057, NAVDIR_UP), 1050);
         EXPECT_EQ(view.selection(), (std::vector<long>{1013, 1070}));
       },
       [](WindowDriver& d) {
         clickDay(d, 1, 2004, 3, 10);
         clickDay(d, 2, 2004, 4, 12);
       },
       "03/10/2004...04/12/2004"},
      {"XELM YearPopup", "2004||||English|Sunday|mm/dd/yyyy|click", 12,
       [](AccessibleView& view) {
         for (long month = 1; month <= 12; ++month) walkMonth(view, month, month == 12 ? 1 : 49, month == 12);
       },
       [](WindowDriver& d) { clickDay(d, 12, 2004, 12, 31); }, "12/31/2004"},
  };
  for (const auto& c : cases) {
    Counts before = {}, after = {};
    SIZE_T heapBefore = 0, heapAfter = 0;
    const std::string result = callDriven(c.function, c.parameter, [&](WindowDriver& d) {
      // A reader's apartment lives as long as the reader: under Wine each time
      // the last one on a thread ends and a new one begins keeps about 1 KB.
      // It also holds the month objects, as a reader keeps the objects it
      // met: under Wine an object whose last remote reference went and that
      // is handed out again keeps about 1 KB a walk.
      auto reader = std::make_unique<AccessibleView>(d.window());
      for (long month = 1; month <= c.months; ++month) reader->child(month);
      const auto walk = [&](int times) {
        for (int i = 0; i < times; ++i) {
          AccessibleView view(d.window());
          c.walk(view);
        }
      };
      walk(50);  // the objects made, and COM's and the runtime's caches filled
      before = countsNow();
      heapBefore = heapBytesInUse();
      walk(kWalks);
      heapAfter = heapBytesInUse();
      after = countsNow();
      reader.reset();
      c.pick(d);
    });
    EXPECT_EQ(result, c.result);
    EXPECT_LT(static_cast<long>(heapAfter) - static_cast<long>(heapBefore), 4096) << c.function;
    EXPECT_EQ(after.gdi, before.gdi) << c.function;
    EXPECT_EQ(after.windows, before.windows) << c.function;
    EXPECT_EQ(after.handles, before.handles) << c.function;
    std::printf("%s: %d walks: heap bytes in use %lu -> %lu, GDI objects %d -> %d, windows %d -> %d, handles %lu -> %lu\n",
                c.function, kWalks, static_cast<unsigned long>(heapBefore), static_cast<unsigned long>(heapAfter),
                before.gdi, after.gdi, before.windows, after.windows, before.handles, after.handles);
  }
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
  BSTR name = nullptr;
  EXPECT_EQ(keptInProcess->get_accName(childVariant(13), &name), RPC_E_DISCONNECTED);
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

// An annotation service laid out as COM lays it out, recording the lists
// named ("id name|"), the element marked as a polite live region ("live
// child|") and what is cleared ("id " for a name, "live child " for the
// mark); the plug-in calls no other method, whose slot is empty.
std::wstring named, cleared;
const MSAAPROPID kLiveSetting = {0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
HRESULT WINAPI queryInterface(void* self, REFIID, void** out) { return *out = self, S_OK; }
ULONG WINAPI keep(void*) { return 1; }
HRESULT WINAPI setHwndProp(void*, HWND, DWORD object, DWORD child, MSAAPROPID prop, VARIANT value) {
  if (object == DWORD(OBJID_CLIENT) && prop == kLiveSetting && value.vt == VT_I4 && value.lVal == 1)
    named += L"live " + std::to_wstring(child) + L"|";
  return S_OK;
}
HRESULT WINAPI setHwndPropStr(void*, HWND list, DWORD object, DWORD child, MSAAPROPID prop, LPCWSTR name) {
  if (object == DWORD(OBJID_CLIENT) && child == CHILDID_SELF && prop == PROPID_ACC_NAME)
    named += std::to_wstring(GetDlgCtrlID(list)) + L" " + name + L"|";
  return S_OK;
}
HRESULT WINAPI clearHwndProps(void*, HWND window, DWORD object, DWORD child, const MSAAPROPID* props, int count) {
  if (object != DWORD(OBJID_CLIENT) || count != 1) return S_OK;
  if (child == CHILDID_SELF && props[0] == PROPID_ACC_NAME) cleared += std::to_wstring(GetDlgCtrlID(window)) + L" ";
  if (props[0] == kLiveSetting) cleared += L"live " + std::to_wstring(child) + L" ";
  return S_OK;
}
template <typename Method> const void* slot(Method m) { return reinterpret_cast<const void*>(m); }
const void* const recorderMethods[18] = {slot(queryInterface), slot(keep), slot(keep), 0, 0, 0, slot(setHwndProp),
                                         slot(setHwndPropStr), 0, slot(clearHwndProps)};
const void* const* recorder = recorderMethods;

// The plug-in's CoCreateInstance: the recorder for the annotation service.
HRESULT WINAPI recordingCoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** out) {
  if (IsEqualCLSID(clsid, CLSID_AccPropServices)) return queryInterface(&recorder, iid, out);
  return CoCreateInstance(clsid, outer, context, iid, out);
}

// Every list is named, and the calendar's announcement marked polite, while
// the window is open; both are taken back as it ends.
TEST_F(AccessibilityTest, EveryListHasANameWhileItsWindowIsOpen) {
  const ImportHook hook(plugin().module(), "ole32.dll", "CoCreateInstance",
                        reinterpret_cast<const void*>(recordingCoCreateInstance));
  const struct { const char *function, *parameter; const wchar_t *names, *cleared; } cases[] = {
      {"XELM CalPopup", "03/01/2004", L"1015 Month|1016 Year|live 50|", L"1015 1016 live 50 "},
      {"XELM CalPopup2", "", L"1015 Start month|1016 Start year|1017 End month|1018 End year|live 3|",
       L"1015 1016 1017 1018 live 3 "},
      {"XELM YearPopup", "2004", L"1016 Year|live 13|", L"1016 live 13 "},
      {"XELM TimePopup", "", L"1018 Hour|1019 Minute|1020 AM or PM|", L"1018 1019 1020 "},
      {"XELM TimePopup", "||24", L"1018 Hour|1019 Minute|", L"1018 1019 "},
  };
  for (const auto& c : cases) {
    named = cleared = L"";
    callDriven(c.function, c.parameter, [&](WindowDriver& d) { EXPECT_EQ(named, c.names) << c.parameter; d.close(); });
    EXPECT_EQ(cleared, c.cleared) << c.function << " " << c.parameter;
  }
}

}  // namespace
