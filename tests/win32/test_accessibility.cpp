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
        {3, 10, L"Dienstag, 2. M\u00e4rz 2004", L""}, {0, 13, L"", L"", STATE_SYSTEM_INVISIBLE}}},
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

// March 2004 from 29 February: the 5th selected, grey days described, every
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
// NVDA counts them from the window: a month object passes a month in one
// step, and one month is walked day by day. After the months comes the
// announcement, then the controls, and back the same way. NVDA describes a
// grouping whose next sibling is a named static text by that text: after a
// pick no month object is followed by one, and NVDA's walk still reaches
// the announcement.
TEST_F(AccessibilityTest, ObjectNavigationReachesAnyDayInAFewSteps) {
  const struct {
    const char *function, *parameter;
    const wchar_t* path;
    int steps;
    long announcement;  // the client's child id of the announcement
    const wchar_t* pick = nullptr;  // picked first, when given
    const wchar_t* beforeAnnouncement = nullptr;  // then, what comes before the announcement (the last month)
  } cases[] = {
      {"XELM CalPopup", "03/05/2004||||English|Sunday|mm/dd/yyyy|click", L"Wednesday 31 March 2004", 39, 50},
      {"XELM CalPopup2", "03/05/2004|04/10/2004||||English|Sunday|mm/dd/yyyy|click",
       L"End: April 2004 / Tuesday 20 April 2004", 33, 3},
      {"XELM YearPopup", "2004||||English|Sunday|mm/dd/yyyy|click", L"December 2004 / Friday 31 December 2004", 53, 13},
      {"XELM CalPopup2", "03/05/2004|04/10/2004||||English|Sunday|mm/dd/yyyy|command",
       L"Start: Tuesday 9 March 2004", 3, 3, L"Start: March 2004 / Tuesday 9 March 2004", L"End: April 2004"},
      {"XELM YearPopup", "2004||||English|Sunday|mm/dd/yyyy|command", L"Tuesday 10 February 2004 selected", 13, 13,
       L"February 2004 / Tuesday 10 February 2004", L"December 2004"},
  };
  for (const auto& c : cases) {
    callDriven(c.function, c.parameter, [&](WindowDriver& d) {
      {
        AccessibleView view(d.window());
        if (c.pick) {
          EXPECT_EQ(view.doDefaultActionOf(c.pick), S_OK);
          d.waitIdle(d.window());
        }
        EXPECT_EQ(view.stepsTo(c.path), c.steps) << c.parameter;
        std::wstring before, next;
        long role = 0;
        if (c.pick) {
          AccessibleView(view.child(c.announcement)).navigate(CHILDID_SELF, NAVDIR_PREVIOUS, &before, &role);
          EXPECT_EQ(before, c.beforeAnnouncement) << c.parameter;
          EXPECT_EQ(role, ROLE_SYSTEM_GROUPING) << c.parameter;
          for (long month = 1; month < c.announcement; ++month) {
            AccessibleView(view.child(month)).navigate(CHILDID_SELF, NAVDIR_NEXT, &next, &role);
            EXPECT_TRUE(role != 0 && (role != ROLE_SYSTEM_STATICTEXT || next.empty())) << c.parameter << " " << month;
          }
        }
      }  // let go before the window ends
      d.close();
    });
  }
}

// Moving by direction within a month, the selection a reader is told, and
// selecting a day as its default action picks it.
TEST_F(AccessibilityTest, SelectionAndDirectionsFollowTheGrid) {
  struct Move {
    long from, direction, to;  // to: -2 no such child, -3 no such move, -1 nothing there, 0 an object
    int control = 0;  // the control whose object it is, when it is checked
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
        {43, NAVDIR_DOWN, -1}, {36, NAVDIR_DOWN, 43}, {49, NAVDIR_NEXT, 50}, {50, NAVDIR_NEXT, 0, 1015},
        {52, NAVDIR_PREVIOUS, 0, 1015}, {54, NAVDIR_PREVIOUS, 0, kOk}, {54, NAVDIR_NEXT, -1},
        {55, NAVDIR_PREVIOUS, -2}, {CHILDID_SELF, NAVDIR_LASTCHILD, 0, 1034},
        {50, NAVDIR_PREVIOUS, 49}, {1, NAVDIR_PREVIOUS, -1}, {CHILDID_SELF, NAVDIR_FIRSTCHILD, 1},
        {13, NAVDIR_FIRSTCHILD, -2}, {13, NAVDIR_LASTCHILD, -2}, {50, NAVDIR_UP, -3}},
       {13},
       "04/01/2004"},
      // The client holds the two month objects, then the announcement's
      // object, then the controls; a day is no child of its own, and the
      // selected days are the month objects'.
      {"XELM CalPopup2", "03/05/2004|04/10/2004|||||||command",
       {{CHILDID_SELF, NAVDIR_FIRSTCHILD, 0}, {1, NAVDIR_NEXT, 0}, {2, NAVDIR_NEXT, 0}, {3, NAVDIR_NEXT, 0},
        {3, NAVDIR_PREVIOUS, 0}, {1, NAVDIR_PREVIOUS, -1}, {2, NAVDIR_FIRSTCHILD, -2}, {1013, NAVDIR_NEXT, -2},
        {50, NAVDIR_UP, -2}},
       {},
       ""},
      {"XELM YearPopup", "2004", {{12, NAVDIR_NEXT, 0}, {13, NAVDIR_NEXT, 0}, {1002, NAVDIR_DOWN, -2}}, {}, ""},
  };
  for (const auto& c : cases) {
    const std::string result = callDriven(c.function, c.parameter, [&](WindowDriver& d) {
      auto view = std::make_unique<AccessibleView>(d.window());  // let go before the window ends
      for (const Move& m : c.moves) {
        int control = 0;
        EXPECT_EQ(view->navigate(m.from, m.direction, nullptr, nullptr, &control), m.to)
            << c.parameter << " from " << m.from << " " << m.direction;
        if (m.control) {
          EXPECT_EQ(control, m.control) << c.parameter << " from " << m.from << " " << m.direction;
        }
      }
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
    const wchar_t *name, *next;  // next: the next month's, or the announcement's
    long previous, selected, firstDay;  // previous: 0 a month, -1 none; child ids (-1 none)
    const wchar_t* pick;                // picked first, when given
  } cases[] = {
      {"XELM CalPopup2", "03/05/2004|04/10/2004|||||||command", 1, L"Start: March 2004", L"End: April 2004", -1, 13, 9},
      {"XELM CalPopup2", "03/05/2004|04/10/2004|||||||command", 2, L"End: April 2004", L"Start: Tuesday 9 March 2004", 0,
       21, 12, L"Start: March 2004 / Tuesday 9 March 2004"},
      {"XELM YearPopup", "2004||||English|Sunday|mm/dd/yyyy|command", 2, L"February 2004", L"March 2004", 0, 17, 8,
       L"February 2004 / Tuesday 10 February 2004"},
      {"XELM YearPopup", "2004||||English|Sunday|mm/dd/yyyy|command", 12, L"December 2004",
       L"Tuesday 10 February 2004 selected", 0, -1, 11, L"February 2004 / Tuesday 10 February 2004"},
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
        // By places on the grid: headings 1-7 over the six weeks of days.
        const long moves[][3] = {{1, NAVDIR_DOWN, 8},  {8, NAVDIR_UP, 1},    {1, NAVDIR_UP, -1},   {8, NAVDIR_LEFT, -1},
                                 {9, NAVDIR_LEFT, 8},  {14, NAVDIR_RIGHT, -1}, {43, NAVDIR_DOWN, -1}, {36, NAVDIR_DOWN, 43},
                                 {20, NAVDIR_RIGHT, 21}, {50, NAVDIR_UP, -2},  {9, NAVDIR_PREVIOUS, 8},
                                 {1, NAVDIR_PREVIOUS, -1}, {9, NAVDIR_NEXT, 10}};
        for (const auto& m : moves)
          EXPECT_EQ(month.navigate(m[0], m[1]), m[2]) << c.name << " from " << m[0] << " " << m[1];
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
        std::wstring hit;
        EXPECT_EQ(view.hitTest(centre, &hit), 0) << c.name;
        EXPECT_EQ(hit, c.name);
        EXPECT_EQ(month.hitTest({area.left - 1, area.top}), -1) << c.name;
        const RECT& heading = all[1].location;
        EXPECT_EQ(month.hitTest({(heading.left + heading.right) / 2, (heading.top + heading.bottom) / 2}), 1) << c.name;
        BSTR description = nullptr;
        EXPECT_EQ(month.object()->get_accDescription(childVariant(1), &description), S_FALSE) << "a heading";
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

// Takes what is told after an action: once something was heard, until the
// window has been quiet for 300 ms (each event is resolved across threads,
// slowly while other tests run), 10 s at most.
void hear(EventListener& listener) { listener.pump(300, 10000, true); }

// `before`, what the year view's month objects tell as they show 2005, then
// `after`.
std::vector<std::string> monthsRenamed(std::initializer_list<const char*> before,
                                       std::initializer_list<const char*> after) {
  const char* const months[] = {"January", "February", "March",     "April",   "May",      "June",
                                "July",    "August",   "September", "October", "November", "December"};
  std::vector<std::string> lines(before.begin(), before.end());
  for (int k = 0; k < 12; ++k)
    for (const char* event : {"name #", "reorder #"})
      lines.push_back(event + std::to_string(k + 1) + ": " + months[k] + " 2005");
  lines.insert(lines.end(), after.begin(), after.end());
  return lines;
}

// A month change and the mouse's picks are told, to a reader that began
// listening after the window opened and never asked for its object: what
// changed, named where navigation finds it (a day in its month object, a
// renamed month object, the announcement), and what to say, whatever has
// the focus, unless the list that changed says it already; a day that a
// refill leaves unselected is told as removed. Nothing is told on a pick
// that closes the window. Every element of an object of our own names
// itself by the event's element (describeEvent checks its identity).
TEST_F(AccessibilityTest, ListChangesAndPicksAreAnnounced) {
  const struct {
    const char* function;
    const char* parameter;
    std::function<void(WindowDriver&, EventListener&)> actions;
    std::vector<std::string> expected;
  } cases[] = {
      {"XELM CalPopup", "03/05/2004||||English|Sunday|mm/dd/yyyy|command",
       [](WindowDriver& d, EventListener& l) {
         d.selectIndex(1015, 3);  // April
         hear(l);
         clickDay(d, 1, 2004, 4, 9);
       },
       {"remove 13: Friday 2 April 2004", "reorder 0", "description 0", "live 50: April 2004",
        "selection 20: Friday 9 April 2004", "description 0", "live 50: Friday 9 April 2004 selected"}},
      {"XELM CalPopup", "03/05/2004||||English|Sunday|mm/dd/yyyy|click",
       [](WindowDriver& d, EventListener& l) {
         d.selectIndex(1016, 105);  // 2005: "March 2005" adds the month to the list's year
         hear(l);
         clickDay(d, 1, 2005, 3, 9);  // closes the window
       },
       {"remove 13: Friday 4 March 2005", "reorder 0", "description 0", "live 50: March 2005"}},
      // 5 March and 10 April selected; 9 March is the start's 17th child, 2
      // April the end's 13th.
      {"XELM CalPopup2", "03/05/2004|04/10/2004||||English|Sunday|mm/dd/yyyy|command",
       [](WindowDriver& d, EventListener& l) {
         clickDay(d, 1, 2004, 3, 9);
         hear(l);
         clickDay(d, 2, 2004, 4, 2);
         hear(l);
         d.selectIndex(1017, 4);  // May on the right
       },
       {"selection #1/17: Tuesday 9 March 2004", "description 0", "live #3: Start: Tuesday 9 March 2004",
        "selection #2/13: Friday 2 April 2004", "description 0", "live #3: End: Friday 2 April 2004",
        "remove #2/13: Friday 30 April 2004", "name #2: End: May 2004", "reorder #2: End: May 2004", "description 0", "live #3: End: May 2004"}},
      // Under Date Click the first pick of a range leaves the window open.
      {"XELM CalPopup2", "03/05/2004|04/10/2004||||French|Sunday|mm/dd/yyyy|click",
       [](WindowDriver& d, EventListener&) { clickDay(d, 2, 2004, 4, 2); },
       {"selection #2/13: vendredi 2 avril 2004", "description 0", "live #3: Fin : vendredi 2 avril 2004"}},
      // The year list says "2005" itself: nothing more is said, and what a
      // pick said before no longer shows. A pick in another month empties
      // the month that held the selection.
      {"XELM YearPopup", "2004||||English|Sunday|mm/dd/yyyy|command",
       [](WindowDriver& d, EventListener& l) {
         clickDay(d, 5, 2004, 5, 7);
         hear(l);
         d.selectIndex(1016, 105);  // 2005
         hear(l);
         const std::vector<AccessibleElement> said = AccessibleView(d.window()).readElements(13, 13);
         EXPECT_TRUE(said.size() == 1 && said[0].name.empty() && (said[0].state & STATE_SYSTEM_INVISIBLE));
         clickDay(d, 2, 2005, 2, 14);
         hear(l);
         clickDay(d, 3, 2005, 3, 1);
       },
       monthsRenamed({"selection #5/20: Friday 7 May 2004", "description 0", "live #13: Friday 7 May 2004 selected",
                      "remove #5/20: Friday 13 May 2005"},
                     {"description 0", "selection #2/23: Monday 14 February 2005", "description 0",
                      "live #13: Monday 14 February 2005 selected", "remove #2/23: Monday 14 February 2005",
                      "selection #3/10: Tuesday 1 March 2005", "description 0", "live #13: Tuesday 1 March 2005 selected"})},
  };
  for (const auto& c : cases) {
    std::vector<std::string> heard;
    callDriven(c.function, c.parameter, [&](WindowDriver& d) {
      CoInitializeEx(nullptr, COINIT_MULTITHREADED);
      {
        EventListener listener(d.window());
        c.actions(d, listener);
        hear(listener);
        heard = listener.events();
      }
      CoUninitialize();
      if (d.windowOpen()) d.close();
    });
    EXPECT_EQ(heard, c.expected) << c.parameter;
  }
}

// A host whose thread is in the multithreaded apartment: the platform's
// object answers alone, the window works as before, and it raises no event
// of its own, which the platform's object would resolve to its controls
// (a range's announcement, child 3, to the End month list).
TEST_F(AccessibilityTest, AHostInTheMultithreadedApartmentKeepsThePlatformsObject) {
  const struct {
    const char *function, *parameter, *result;
    size_t elements;  // the client object and its lists
  } cases[] = {
      {"XELM CalPopup", "03/05/2004||||English|Sunday|mm/dd/yyyy|click", "03/18/2004", 3},
      {"XELM CalPopup2", "03/05/2004|04/10/2004||||English|Sunday|mm/dd/yyyy|click", "03/18/2004...04/10/2004", 5},
  };
  for (const auto& c : cases) {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    std::vector<AccessibleElement> all;
    std::vector<std::string> heard;
    EXPECT_EQ(callDriven(c.function, c.parameter, [&](WindowDriver& d) {
                CoInitializeEx(nullptr, COINIT_MULTITHREADED);
                {
                  EventListener listener(d.window());
                  all = AccessibleView(d.window()).read();
                  d.selectIndex(1015, 3);  // April: a refill, then a pick that leaves a range open
                  d.selectIndex(1015, 2);
                  clickDay(d, 1, 2004, 3, 18);
                  listener.pump(1000, 5000);
                  heard = listener.events();
                }
                CoUninitialize();
                if (d.windowOpen()) clickDay(d, 2, 2004, 4, 10);
              }),
              c.result);
    CoUninitialize();
    EXPECT_EQ(all.size(), c.elements) << c.function;
    EXPECT_TRUE(gridElements(all).empty()) << c.function;
    EXPECT_EQ(heard, std::vector<std::string>{}) << c.function;
  }
}

// A screen reader in its own process: every call crosses processes, and
// the events it hears out of context resolve there to the elements it
// reads (a picked day in its month object).
TEST_F(AccessibilityTest, AnotherProcessReadsPicksAndHears) {
  const struct {
    const char *function, *parameter, *pick;
    std::vector<std::string> found;  // lines of the client's report
    const char* result;
  } cases[] = {
      {"XELM CalPopup", "03/05/2004", "Tuesday 9 March 2004",
       {"cell \"Friday 5 March 2004\" [selected, selectable] action \"Click\"",
        "cell \"Saturday 10 April 2004\" [selectable] (Outside the month shown)", "default action: 0x00000000"},
       "03/09/2004"},
      {"XELM CalPopup2", "03/05/2004|04/10/2004||||English|Sunday|mm/dd/yyyy|command", "Tuesday 9 March 2004",
       {"default action: 0x00000000\nheard: selection #1/17: Tuesday 9 March 2004\nheard: description 0\n"
        "heard: live #3: Start: Tuesday 9 March 2004\n"},
       ""},
      {"XELM YearPopup", "2004||||English|Sunday|mm/dd/yyyy|command", "Tuesday 10 February 2004",
       {"heard: selection #2/17: Tuesday 10 February 2004\nheard: description 0\n"
        "heard: live #13: Tuesday 10 February 2004 selected\n"},
       ""},
  };
  for (const auto& c : cases) {
    const std::string out = testOutputPath("accessibility_client.txt");
    DeleteFileA(out.c_str());
    DWORD exitCode = 99;
    const std::string result = callDriven(c.function, c.parameter, [&](WindowDriver& d) {
      char command[1024];
      std::snprintf(command, sizeof command, "\"%s\" 0x%lx \"%s\" \"%s\"", XELM_ACCESSIBILITY_CLIENT,
                    static_cast<unsigned long>(reinterpret_cast<uintptr_t>(d.window())), out.c_str(), c.pick);
      STARTUPINFOA startup = {};
      startup.cb = sizeof startup;
      PROCESS_INFORMATION process = {};
      ASSERT_TRUE(CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
      WaitForSingleObject(process.hProcess, 60000);
      GetExitCodeProcess(process.hProcess, &exitCode);
      CloseHandle(process.hThread);
      CloseHandle(process.hProcess);
      if (d.windowOpen()) d.close();
    });
    EXPECT_EQ(exitCode, 0u) << c.parameter;
    EXPECT_EQ(result, c.result) << c.parameter;
    std::ifstream file(out, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    for (const std::string& line : c.found) EXPECT_NE(text.str().find(line), std::string::npos) << line << "\n" << text.str();
  }
}

bool comInitialisedOnThisThread() {
  const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (SUCCEEDED(hr)) CoUninitialize();
  return hr != S_OK;
}

// Keeps a reference to the window's object, and in a range to its end's
// month object and the announcement's, while `end` ends the window, then
// uses them: every call fails, their identities' too.
void keepPastTheEnd(WindowDriver& d, const std::function<void(WindowDriver&)>& end, const char* name) {
  AccessibleView kept(d.window());
  IAccessible* month = kept.child(2);
  IAccessible* announcement = month ? kept.child(3) : nullptr;
  AccessibleView holder(month ? month : kept.object());  // of the last day, child 49
  std::wstring text;
  EXPECT_EQ(holder.nameOf(49, text), S_OK) << name;
  if (month) EXPECT_FALSE(identityOf(month, 49).empty() || identityOf(announcement, CHILDID_SELF).empty()) << name;
  end(d);
  EXPECT_TRUE(d.waitClosed()) << name;
  EXPECT_TRUE(FAILED(holder.nameOf(49, text))) << name;
  EXPECT_TRUE(FAILED(holder.doDefaultAction(49))) << name;
  EXPECT_EQ(kept.read().size(), 1u) << name;  // the client object alone, read as nothing
  if (!month) return;
  EXPECT_EQ(holder.nameOf(CHILDID_SELF, text), RPC_E_DISCONNECTED) << name;
  EXPECT_EQ(holder.doDefaultAction(9), RPC_E_DISCONNECTED) << name;
  ASSERT_NE(announcement, nullptr) << name;
  EXPECT_EQ(AccessibleView(announcement).nameOf(CHILDID_SELF, text), RPC_E_DISCONNECTED) << name;
  EXPECT_EQ(identityOf(month, 49) + identityOf(announcement, CHILDID_SELF), "") << name;
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
// leave the heap as it was. The heap is measured after N and after 2N
// walks, so that what the first walks fill once (COM's and the runtime's
// caches) is not counted: the second N may add no more than kHeapNoise
// bytes in all, which one leaked BSTR (8 bytes or more) or object a walk
// passes at the default N. The controls' objects are left out: under Wine
// a walk through the platform's objects handed out as children keeps about
// 2 KB whoever hands them out. XELM_ACCESSIBILITY_WALKS sets N.
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
  const long kHeapNoise = 512;  // bytes; measured here: 0
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
         AccessibleView end(view.child(2));
         EXPECT_EQ(end.navigate(16, NAVDIR_UP), 9);
         EXPECT_EQ(end.selection(), std::vector<long>{21});
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
      walk(kWalks);  // the objects made, and COM's and the runtime's caches filled
      before = countsNow();
      heapBefore = heapBytesInUse();
      walk(kWalks);
      heapAfter = heapBytesInUse();
      after = countsNow();
      reader.reset();
      c.pick(d);
    });
    EXPECT_EQ(result, c.result);
    EXPECT_LE(static_cast<long>(heapAfter) - static_cast<long>(heapBefore), kHeapNoise) << c.function;
    EXPECT_EQ(after.gdi, before.gdi) << c.function;
    EXPECT_EQ(after.windows, before.windows) << c.function;
    EXPECT_EQ(after.handles, before.handles) << c.function;
    std::printf("%s: walks %d to %d: heap bytes in use %lu -> %lu, GDI objects %d -> %d, windows %d -> %d, handles %lu -> %lu\n",
                c.function, kWalks, 2 * kWalks, static_cast<unsigned long>(heapBefore), static_cast<unsigned long>(heapAfter),
                before.gdi, after.gdi, before.windows, after.windows, before.handles, after.handles);
  }
}

// An in-context client in the host's own apartment (a hook of a screen
// reader): it takes the calendar's object as the window is shown (and in a
// range its first month object), and asks again while the window's lists
// are destroyed.
struct InContextClient {
  HWND shownCalendar = nullptr;
  IAccessible* kept = nullptr;       // the window's object
  IAccessible* keptMonth = nullptr;  // in a range its first month object
  LRESULT askedWhileEnding = -1;
  std::vector<HRESULT> callsWithoutAPointer;
  std::vector<std::string> announcementAnswers;  // answersOf the announcement
  std::string announcementMoves;
  std::string identities;  // of the announcement and a day, before the end
  HRESULT dayHelpTopic = E_FAIL;  // a day's (a simple element's) help topic, asked of its container

  void reset() { *this = InContextClient(); }
} inContext;

// What the announcement answers, asked in its own apartment, as a child
// `id` of `o` (CHILDID_SELF of its own object; in one month the window's
// object's child 50): "name: 0x..." for each answer that is not the
// contract's, so a failure says which method broke. `own`: asked of its own
// object, which also answers for what an object answers.
std::vector<std::string> answersOf(IAccessible* o, long id, bool own) {
  const VARIANT self = childVariant(id), one = childVariant(1);
  BSTR text = nullptr;
  VARIANT out;
  IDispatch* child = nullptr;
  LONG number = -1, topic = -1;
  UINT typeInfos = 1;
  LONG place[4] = {-1, -1, -1, -1};
  POINT corner = {0, 0};  // the client's, where the announcement's empty area lies
  ClientToScreen(inContext.shownCalendar, &corner);
  struct Row {
    const char* name;
    bool objectOnly;  // asked of the announcement's own object alone
    HRESULT expected;
    std::function<HRESULT()> answer;
  } rows[] = {
      {"value", false, S_FALSE, [&] { return o->get_accValue(self, &text); }},
      {"description", false, S_FALSE, [&] { return o->get_accDescription(self, &text); }},
      {"help", false, S_FALSE, [&] { return o->get_accHelp(self, &text); }},
      {"shortcut", false, S_FALSE, [&] { return o->get_accKeyboardShortcut(self, &text); }},
      {"default action", false, S_FALSE, [&] { return o->get_accDefaultAction(self, &text); }},
      {"help topic", false, S_FALSE, [&] { return o->get_accHelpTopic(&text, self, &topic); }},
      {"no help topic", false, S_OK, [&] { return topic == 0 ? S_OK : E_FAIL; }},
      {"role", false, S_OK, [&] { return o->get_accRole(self, &out); }},
      {"role status bar", false, S_OK, [&] { return out.vt == VT_I4 && out.lVal == ROLE_SYSTEM_STATUSBAR ? S_OK : E_FAIL; }},
      {"do default action", false, DISP_E_MEMBERNOTFOUND, [&] { return o->accDoDefaultAction(self); }},
      {"select", false, DISP_E_MEMBERNOTFOUND, [&] { return o->accSelect(SELFLAG_TAKEFOCUS, self); }},
      {"location", false, S_OK, [&] { return o->accLocation(&place[0], &place[1], &place[2], &place[3], self); }},
      {"empty at the client's corner", false, S_OK,
       [&] { return place[0] == corner.x && place[1] == corner.y && place[2] + place[3] == 0 ? S_OK : E_FAIL; }},
      {"focus", true, S_FALSE, [&] { return o->get_accFocus(&out); }},
      {"selection", true, S_FALSE, [&] { return o->get_accSelection(&out); }},
      {"hit test", true, S_FALSE, [&] { return o->accHitTest(0, 0, &out); }},
      {"child", true, E_INVALIDARG, [&] { return o->get_accChild(self, &child); }},
      {"child count", true, S_OK, [&] { return o->get_accChildCount(&number); }},
      {"no children", true, S_OK, [&] { return number == 0 ? S_OK : E_FAIL; }},
      {"a child's name", true, E_INVALIDARG, [&] { return o->get_accName(one, &text); }},
      {"a child's value", true, E_INVALIDARG, [&] { return o->get_accValue(one, &text); }},
      {"type info count", true, S_OK, [&] { return o->GetTypeInfoCount(&typeInfos); }},
      {"no type info", true, S_OK, [&] { return typeInfos == 0 ? S_OK : E_FAIL; }},
      {"a child's location", true, E_INVALIDARG,
       [&] { return o->accLocation(&place[0], &place[1], &place[2], &place[3], one); }},
      {"no place for a child", true, S_OK, [&] { return place[0] | place[1] | place[2] | place[3] ? E_FAIL : S_OK; }},
  };
  std::vector<std::string> wrong;
  for (const Row& row : rows) {
    if (row.objectOnly && !own) continue;
    const HRESULT hr = row.answer();
    char line[64];
    std::snprintf(line, sizeof line, "%s: 0x%08lX", row.name, static_cast<unsigned long>(hr));
    if (hr != row.expected) wrong.push_back(line);
  }
  return wrong;
}

LRESULT CALLBACK inContextClient(int code, WPARAM wParam, LPARAM lParam) {
  const CWPSTRUCT& m = *reinterpret_cast<const CWPSTRUCT*>(lParam);
  InContextClient& c = inContext;
  char className[16] = {};
  GetClassNameA(m.hwnd, className, sizeof className);
  if (m.message == WM_SHOWWINDOW && m.wParam && !c.shownCalendar && std::string(className) == "#32770") {
    c.shownCalendar = m.hwnd;
    AccessibleObjectFromWindow(m.hwnd, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                               reinterpret_cast<void**>(&c.kept));
    IDispatch* month = nullptr;
    if (c.kept && c.kept->get_accChild(childVariant(1), &month) == S_OK && month) {
      month->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&c.keptMonth));
      month->Release();
    }
    // In a range the announcement is an object of its own (child 3); in one
    // month the window's object answers for it as its child 50.
    IDispatch* announcementObject = nullptr;
    IAccessible* announcement = nullptr;
    if (c.kept && !c.keptMonth) c.announcementAnswers = answersOf(c.kept, 50, false);
    BSTR file = nullptr;
    LONG topic = -1;
    if (IAccessible* days = c.keptMonth ? c.keptMonth : c.kept)
      c.dayHelpTopic = days->get_accHelpTopic(&file, childVariant(9), &topic);
    SysFreeString(file);
    if (c.keptMonth && c.kept->get_accChild(childVariant(3), &announcementObject) == S_OK && announcementObject) {
      announcementObject->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&announcement));
      announcementObject->Release();
      c.announcementAnswers = answersOf(announcement, CHILDID_SELF, true);
      // NEXT leads on to the first list, PREVIOUS back to the last month:
      // both objects of their own; a move by direction goes nowhere.
      for (LONG direction : {NAVDIR_NEXT, NAVDIR_PREVIOUS, NAVDIR_UP}) {
        VARIANT end;
        VariantInit(&end);
        const HRESULT hr = announcement->accNavigate(direction, childVariant(CHILDID_SELF), &end);
        c.announcementMoves += hr == S_OK && end.vt == VT_DISPATCH ? "object " : hr == S_FALSE ? "none " : "other ";
        VariantClear(&end);
      }
      // The identities of the announcement and of a day of the first month:
      // the elements its live-region mark and a day's events name.
      const bool announced = identityOf(announcement, CHILDID_SELF) == composedIdentity(m.hwnd, OBJID_CLIENT, 3);
      const bool day = identityOf(c.keptMonth, 9) == composedIdentity(m.hwnd, 101, 9);
      const bool distinct = identityOf(c.keptMonth, 9) != identityOf(c.keptMonth, 10);
      c.identities = std::string(announced ? "announcement " : "") + (day ? "day " : "") + (distinct ? "distinct" : "");
    }
    // No proxy stands between this client and the objects: a location asked
    // without one of its four out-pointers, or the focus without its own, is
    // refused, never written through.
    for (IAccessible* object : {c.kept, c.keptMonth, announcement}) {
      if (object) c.callsWithoutAPointer.push_back(object->get_accFocus(nullptr));
      LONG place[4] = {};
      for (int missing = 0; object && missing < 4; ++missing) {
        LONG* out[4] = {&place[0], &place[1], &place[2], &place[3]};
        out[missing] = nullptr;
        c.callsWithoutAPointer.push_back(object->accLocation(out[0], out[1], out[2], out[3], childVariant(9)));
      }
    }
    if (announcement) announcement->Release();
  }
  if (m.message == WM_DESTROY && c.shownCalendar && GetParent(m.hwnd) == c.shownCalendar && c.askedWhileEnding < 0)
    c.askedWhileEnding = SendMessageW(c.shownCalendar, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT));
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Its references outlive the window and the host's unloading of the
// plug-in: no object is made once the window's end has begun, the kept ones
// refuse every call (a month object and its day also once the window's
// object they came from is gone), and the last Release still finds the
// module's code, which the module's next host call then lets go.
TEST_F(AccessibilityTest, AnInProcessClientOutlivesTheWindowAndThePlugin) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(plugin().module(), path, MAX_PATH);
  const char* const kCopy = "XELMCalendar-unloaded.fmx";  // a module of its own, loaded and unloaded here
  const std::string copy = testOutputPath(kCopy);
  ASSERT_TRUE(CopyFileA(path, copy.c_str(), FALSE));
  for (const char* function : {"XELM CalPopup", "XELM CalPopup2"}) {
    const char* parameter = std::string(function) == "XELM CalPopup" ? "03/05/2004" : "03/05/2004|04/10/2004";
    inContext.reset();
    const InContextClient& c = inContext;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    auto host = std::make_unique<PluginHost>();
    ASSERT_TRUE(host->load(copy));
    const HMODULE module = host->module();
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, inContextClient, nullptr, GetCurrentThreadId());
    EXPECT_TRUE(runDriven([&] { host->callFunction(host->functionIndex(function), parameter); },
                          [](WindowDriver& d) { d.close(); }));
    UnhookWindowsHookEx(hook);
    const bool range = std::string(function) == "XELM CalPopup2";
    EXPECT_EQ(c.askedWhileEnding, 0) << function;
    EXPECT_EQ(c.callsWithoutAPointer, std::vector<HRESULT>(range ? 15 : 5, E_POINTER)) << function;
    EXPECT_EQ(c.announcementAnswers, std::vector<std::string>{}) << function;
    EXPECT_EQ(c.announcementMoves, range ? "object object none " : "") << function;
    EXPECT_EQ(c.identities, range ? "announcement day distinct" : "") << function;
    EXPECT_EQ(c.dayHelpTopic, S_FALSE) << function;
    ASSERT_NE(c.kept, nullptr) << function;
    EXPECT_EQ(c.keptMonth != nullptr, range) << function;
    BSTR name = nullptr;
    EXPECT_EQ(c.kept->get_accName(childVariant(13), &name), RPC_E_DISCONNECTED) << function;
    // A host call while one object (in a range two) still lives keeps the
    // module's hold on itself.
    EXPECT_EQ(host->callFunction(host->functionIndex("XELM Version"), "").text().empty(), false);
    host.reset();
    EXPECT_EQ(GetModuleHandleA(kCopy), module) << function << ": unloaded under a live object";
    c.kept->Release();
    if (c.keptMonth) {
      IDispatch* parent = nullptr;
      IAccIdentity* identity = nullptr;
      BYTE* bytes = nullptr;
      DWORD size = 0;
      EXPECT_EQ(c.keptMonth->get_accName(childVariant(CHILDID_SELF), &name), RPC_E_DISCONNECTED);
      EXPECT_EQ(c.keptMonth->get_accName(childVariant(9), &name), RPC_E_DISCONNECTED);
      EXPECT_EQ(c.keptMonth->get_accParent(&parent), RPC_E_DISCONNECTED);
      EXPECT_EQ(c.keptMonth->accDoDefaultAction(childVariant(9)), RPC_E_DISCONNECTED);
      ASSERT_EQ(c.keptMonth->QueryInterface(IID_IAccIdentity, reinterpret_cast<void**>(&identity)), S_OK);
      EXPECT_EQ(identity->GetIdentityString(9, &bytes, &size), RPC_E_DISCONNECTED);
      EXPECT_TRUE(bytes == nullptr && size == 0);
      identity->Release();
      EXPECT_EQ(GetModuleHandleA(kCopy), module) << "unloaded under a live month object";
      c.keptMonth->Release();
    }
    host = std::make_unique<PluginHost>();
    ASSERT_TRUE(host->load(copy));
    host->initialise(80);
    host.reset();
    EXPECT_EQ(GetModuleHandleA(kCopy), nullptr) << function << ": kept loaded after its last object";
    CoUninitialize();
  }
  // A reader that let go before the window's end leaves the module no hold
  // on itself: the host's unloading unloads it.
  auto host = std::make_unique<PluginHost>();
  ASSERT_TRUE(host->load(copy));
  EXPECT_TRUE(runDriven([&] { host->callFunction(host->functionIndex("XELM CalPopup2"), "03/05/2004|04/10/2004"); },
                        [](WindowDriver& d) {
                          std::wstring name;
                          EXPECT_EQ(AccessibleView(d.window()).nameOf(1, name), S_OK);
                          d.close();
                        }));
  host.reset();
  EXPECT_EQ(GetModuleHandleA(kCopy), nullptr) << "kept loaded after its window, with no object left";
}

// What a reader in the host's apartment finds as the announcement (child
// 50) while the window is being placed, before it is shown: "[NAME]" each
// time the window's own object answers.
std::wstring earlyAnnouncements;
LRESULT CALLBACK earlyReader(int code, WPARAM wParam, LPARAM lParam) {
  const CWPSTRUCT& m = *reinterpret_cast<const CWPSTRUCT*>(lParam);
  std::wstring name;
  if (m.message == WM_WINDOWPOSCHANGED && !IsWindowVisible(m.hwnd) && GetClassLongA(m.hwnd, GCW_ATOM) == 32770 &&
      AccessibleView(m.hwnd).nameOf(50, name) == S_OK)
    earlyAnnouncements += L"[" + name + L"]";
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A new window says nothing of the previous one's last announcement, even
// to a reader that reaches it before it is shown.
TEST_F(AccessibilityTest, ANewWindowStartsWithoutTheLastOnesAnnouncement) {
  callDriven("XELM CalPopup", "03/05/2004|||||||command", [](WindowDriver& d) {
    EXPECT_EQ(act(d, L"Tuesday 9 March 2004"), S_OK);
    d.close();
  });
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, earlyReader, nullptr, GetCurrentThreadId());
  callDriven("XELM CalPopup", "03/05/2004", [](WindowDriver& d) {
    // Nothing said yet: invisible, so that simple review passes over it.
    const std::vector<AccessibleElement> announcement = AccessibleView(d.window()).readElements(50, 50);
    EXPECT_TRUE(announcement.size() == 1 && (announcement[0].state & STATE_SYSTEM_INVISIBLE));
    d.close();
  });
  UnhookWindowsHookEx(hook);
  CoUninitialize();
  EXPECT_EQ(earlyAnnouncements.substr(0, 2), L"[]");
  EXPECT_EQ(earlyAnnouncements.find_first_not_of(L"[]"), std::wstring::npos) << narrowText(earlyAnnouncements);
}

// An annotation service laid out as COM lays it out, recording the lists
// named ("id name|"), the element marked as a polite live region ("live
// child|") and what is cleared ("id " for a name, "live child " for the
// mark), and composing identities as the text "object child"; the plug-in
// calls no other method, whose slot is empty.
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
HRESULT WINAPI composeHwndIdentityString(void*, HWND, DWORD object, DWORD child, BYTE** out, DWORD* size) {
  const std::string text = std::to_string(static_cast<LONG>(object)) + " " + std::to_string(child);
  *out = static_cast<BYTE*>(CoTaskMemAlloc(text.size()));
  *size = static_cast<DWORD>(text.size());
  CopyMemory(*out, text.data(), text.size());
  return S_OK;
}
template <typename Method> const void* slot(Method m) { return reinterpret_cast<const void*>(m); }
const void* const recorderMethods[18] = {slot(queryInterface), slot(keep), slot(keep), 0, 0, 0, slot(setHwndProp),
                                         slot(setHwndPropStr), 0, slot(clearHwndProps),
                                         slot(composeHwndIdentityString)};
const void* const* recorder = recorderMethods;

// The plug-in's CoCreateInstance: the recorder for the annotation service.
HRESULT WINAPI recordingCoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** out) {
  if (IsEqualCLSID(clsid, CLSID_AccPropServices)) return queryInterface(&recorder, iid, out);
  return CoCreateInstance(clsid, outer, context, iid, out);
}

// Every list is named, and the calendar's announcement marked polite, while
// the window is open; both are taken back as it ends. The announcement's
// object and a month object's day answer, as their identities, what the
// service composes for the element that the mark and the events name. The keyboard focus,
// as a reader finds it from another thread, is on the first list: the
// window sets it to itself and the dialog manager passes it on to its first
// control that is a tab stop.
TEST_F(AccessibilityTest, EveryListHasANameWhileItsWindowIsOpen) {
  const ImportHook hook(plugin().module(), "ole32.dll", "CoCreateInstance",
                        reinterpret_cast<const void*>(recordingCoCreateInstance));
  const struct {
    const char *function, *parameter;
    const wchar_t *names, *cleared;
    int focused;  // the control id that has the keyboard focus once the window is open
    long announcement = 0;  // the client's child id of the announcement's own object, when it has one
    const char* identities = "";  // then its identity and day 9's of the first month, "|" after each
  } cases[] = {
      {"XELM CalPopup", "03/01/2004", L"1015 Month|1016 Year|live 50|", L"1015 1016 live 50 ", 1015},
      {"XELM CalPopup", "03/01/2004|||||||command", L"1015 Month|1016 Year|live 50|", L"1015 1016 live 50 ", 1015},
      {"XELM CalPopup2", "", L"1015 Start month|1016 Start year|1017 End month|1018 End year|live 3|",
       L"1015 1016 1017 1018 live 3 ", 1015, 3, "-4 3|101 9|"},
      {"XELM CalPopup2", "|||||||command", L"1015 Start month|1016 Start year|1017 End month|1018 End year|live 3|",
       L"1015 1016 1017 1018 live 3 ", 1015},
      {"XELM YearPopup", "2004", L"1016 Year|live 13|", L"1016 live 13 ", 1016, 13, "-4 13|101 9|"},
      {"XELM YearPopup", "2004|||||||command", L"1016 Year|live 13|", L"1016 live 13 ", 1016},
      {"XELM TimePopup", "", L"1018 Hour|1019 Minute|1020 AM or PM|", L"1018 1019 1020 ", 1018},
      {"XELM TimePopup", "||24", L"1018 Hour|1019 Minute|", L"1018 1019 ", 1018},
  };
  for (const auto& c : cases) {
    named = cleared = L"";
    callDriven(c.function, c.parameter, [&](WindowDriver& d) {
      EXPECT_EQ(named, c.names) << c.parameter;
      GUITHREADINFO ui = {};
      ui.cbSize = sizeof ui;
      GetGUIThreadInfo(GetWindowThreadProcessId(d.window(), nullptr), &ui);
      EXPECT_EQ(GetParent(ui.hwndFocus), d.window()) << c.function << " " << c.parameter;
      EXPECT_EQ(GetDlgCtrlID(ui.hwndFocus), c.focused) << c.function << " " << c.parameter;
      if (c.announcement) {
        AccessibleView view(d.window());
        const std::string identities =
            identityOf(view.child(c.announcement), CHILDID_SELF) + "|" + identityOf(view.child(1), 9) + "|";
        EXPECT_EQ(identities, c.identities) << c.function;
      }
      d.close();
    });
    EXPECT_EQ(cleared, c.cleared) << c.function << " " << c.parameter;
  }
}

}  // namespace
