// The calendar window as a screen reader reads and drives it, through oleacc
// from the driver's thread (so every call is marshalled to the window's
// thread) and from a separate process: names, states, locations and hit
// tests of the grid's elements, the default action on the click's path,
// references kept past the window's end, and no leak over many queries.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
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

// A run of day names of 2004: days `from` to `to` of `month`.
struct DayRun {
  int from, to;
  const wchar_t* month;
};
std::vector<std::wstring> dayNames(std::initializer_list<DayRun> runs) {
  std::vector<std::wstring> names;
  for (const DayRun& run : runs)
    for (int day = run.from; day <= run.to; ++day) names.push_back(std::to_wstring(day) + L" " + run.month + L" 2004");
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

TEST_F(AccessibilityTest, EveryDayAndHeadingIsNamedInTheWindowsLanguage) {
  struct Case {
    const char* parameter;
    std::vector<std::wstring> headings, days;
  } cases[] = {
      {"03/05/2004", {L"Sun", L"Mon", L"Tue", L"Wed", L"Thu", L"Fri", L"Sat"},
       dayNames({{29, 29, L"February"}, {1, 31, L"March"}, {1, 10, L"April"}})},
      {"02/05/2004||||French|Monday", {L"Lun", L"Mar", L"Mer", L"Jeu", L"Ven", L"Sam", L"Dim"},
       dayNames({{26, 31, L"Janvier"}, {1, 29, L"F\u00e9vrier"}, {1, 7, L"Mars"}})},
  };
  for (const Case& c : cases) {
    std::vector<AccessibleElement> grid;
    callDriven("XELM CalPopup", c.parameter, [&](WindowDriver& d) {
      grid = gridElements(AccessibleView(d.window()).read());
      d.close();
    });
    ASSERT_EQ(grid.size(), 49u) << c.parameter;
    for (int k = 0; k < 49; ++k)
      EXPECT_EQ(grid[k].name, k < 7 ? c.headings[k] : c.days[k - 7]) << c.parameter << " element " << k;
  }
}

// March 2004 from 29 February: the 5th marked, grey days described, every
// element where its cell is and found there; a pick moves the selection.
TEST_F(AccessibilityTest, StatesLocationsAndHitTestsFollowTheGrid) {
  callDriven("XELM CalPopup", "03/05/2004|||||||command", [](WindowDriver& d) {
    CalendarGeometry g;
    ASSERT_TRUE(d.calendarGeometry(g));
    for (const wchar_t* selected : {L"5 March 2004", L"9 March 2004"}) {
      if (selected[0] == L'9') {
        EXPECT_EQ(act(d, selected), S_OK);
      }
      AccessibleView view(d.window());
      const std::vector<AccessibleElement> grid = gridElements(view.read());
      ASSERT_EQ(grid.size(), 49u);
      for (int position = 0; position < 49; ++position) {
        const AccessibleElement& e = grid[position];
        const bool grey = position == 7 || position >= 39;  // 29 February, 1-10 April
        EXPECT_EQ(e.role, position < 7 ? ROLE_SYSTEM_COLUMNHEADER : ROLE_SYSTEM_CELL) << position;
        EXPECT_EQ((e.state & STATE_SYSTEM_SELECTED) != 0, e.name == selected) << position;
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
    }
    d.pressButton(kOk);
  });
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
       [](WindowDriver& d) { EXPECT_EQ(act(d, L"9 March 2004"), S_OK); }, "03/09/2004"},
      {"a grey day", "XELM CalPopup", "03/05/2004",
       [](WindowDriver& d) { EXPECT_EQ(act(d, L"1 April 2004"), S_OK); }, "04/01/2004"},
      {"a heading has none", "XELM CalPopup", "03/05/2004",
       [](WindowDriver& d) {
         EXPECT_EQ(act(d, L"Sun"), DISP_E_MEMBERNOTFOUND);
         EXPECT_TRUE(d.windowOpen());
         d.close();
       },
       ""},
      {"Command Buttons", "XELM CalPopup", "03/05/2004|||||||command",
       [](WindowDriver& d) {
         EXPECT_EQ(act(d, L"9 March 2004"), S_OK);
         EXPECT_EQ(act(d, L"12 March 2004"), S_OK);
         EXPECT_TRUE(d.windowOpen());
         d.pressButton(kOk);
       },
       "03/12/2004"},
      {"a range", "XELM CalPopup2", "03/01/2004|04/01/2004",
       [](WindowDriver& d) {
         EXPECT_EQ(act(d, L"10 March 2004"), S_OK);
         EXPECT_EQ(act(d, L"2 April 2004", true), S_OK);
       },
       "03/10/2004...04/02/2004"},
      {"a range out of order", "XELM CalPopup2", "03/01/2004|04/01/2004",
       [](WindowDriver& d) {
         EXPECT_EQ(act(d, L"5 April 2004"), S_OK);  // the left calendar's grey day
         EXPECT_EQ(act(d, L"2 April 2004", true), S_OK);
         EXPECT_EQ(act(d, L"1 March 2004"), E_ACCESSDENIED);  // under the message, as a click is refused
         EXPECT_EQ(d.answerMessageBox().text,
                   "The date selected in the left calendar must be less than or equal to the date in the right "
                   "calendar.");
         EXPECT_EQ(act(d, L"1 March 2004"), S_OK);
       },
       "03/01/2004...04/02/2004"},
      {"the year view", "XELM YearPopup", "2004",
       [](WindowDriver& d) { EXPECT_EQ(act(d, L"7 May 2004"), S_OK); }, "05/07/2004"},
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
  if (window == announcing && object == OBJID_CLIENT) announced.push_back({event, child});
}

// A month change and a pick by the mouse are announced once a screen reader
// has asked for the window's object, and nothing is before.
TEST_F(AccessibilityTest, ListChangesAndPicksAreAnnounced) {
  for (bool asked : {false, true}) {
    std::vector<std::pair<DWORD, LONG>> expected;
    callDriven("XELM CalPopup", "03/05/2004|||||||command", [&](WindowDriver& d) {
      announced.clear();
      announcing = d.window();
      HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_REORDER, EVENT_OBJECT_SELECTION, nullptr, recordEvent,
                                           GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
      if (asked) AccessibleView(d.window()).read();
      d.selectIndex(1015, 3);  // April
      clickDay(d, 1, 2004, 4, 9);
      for (int i = 0; i < 20; ++i) {
        for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageA(&msg);
        Sleep(10);
      }
      UnhookWinEvent(hook);
      if (asked) {
        const std::vector<AccessibleElement> all = AccessibleView(d.window()).read();
        expected = {{EVENT_OBJECT_REORDER, CHILDID_SELF},
                    {EVENT_OBJECT_SELECTION, all[findElement(all, L"9 April 2004")].id}};
      }
      d.pressButton(kOk);
    });
    EXPECT_EQ(announced, expected) << (asked ? "asked" : "never asked");
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
    std::snprintf(command, sizeof command, "\"%s\" 0x%lx \"%s\" \"9 March 2004\"", XELM_ACCESSIBILITY_CLIENT,
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
  EXPECT_NE(text.str().find("cell \"5 March 2004\" [selected, selectable] action \"Click\""), std::string::npos)
      << text.str();
  EXPECT_NE(text.str().find("cell \"10 April 2004\" [selectable] (Outside the month shown)"), std::string::npos);
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
  const long last = kept.read().back().id;
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
      {"picked", false, [](WindowDriver& d) { act(d, L"9 March 2004"); }},
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
    EXPECT_EQ(callDriven("XELM CalPopup", "03/05/2004", [](WindowDriver& d) { act(d, L"10 March 2004"); }),
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

TEST_F(AccessibilityTest, AThousandQueriesLeaveTheCountsAsTheyWere) {
  fillDcCache();
  const int kQueries = 1000;
  Counts before = {}, after = {};
  const std::string result = callDriven("XELM CalPopup", "03/05/2004", [&](WindowDriver& d) {
    AccessibleElement last;
    {
      AccessibleView warm(d.window());  // the first query makes the object
      last = warm.read().back();
    }
    const POINT centre = {(last.location.left + last.location.right) / 2, (last.location.top + last.location.bottom) / 2};
    before = countsNow();
    for (int i = 0; i < kQueries; ++i) {
      AccessibleView view(d.window());
      if (i % 10 == 0) view.read();  // a whole tree walk every tenth query
      else EXPECT_EQ(view.hitTest(centre), last.id) << i;
    }
    after = countsNow();
    clickDay(d, 1, 2004, 3, 10);  // the window still takes a click
  });
  EXPECT_EQ(result, "03/10/2004");
  EXPECT_EQ(after.gdi, before.gdi);
  EXPECT_EQ(after.windows, before.windows);
  EXPECT_EQ(after.handles, before.handles);
  std::printf("%d queries: GDI objects %d -> %d, windows %d -> %d, handles %lu -> %lu\n", kQueries, before.gdi,
              after.gdi, before.windows, after.windows, before.handles, after.handles);
}

// An annotation service laid out as COM lays it out, recording the lists named ("id name|")
// and those whose name is removed ("id "); the plug-in calls no other method, whose slot is empty.
std::wstring named, cleared;
HRESULT WINAPI queryInterface(void* self, REFIID, void** out) { return *out = self, S_OK; }
ULONG WINAPI keep(void*) { return 1; }
HRESULT WINAPI setHwndPropStr(void*, HWND list, DWORD object, DWORD child, MSAAPROPID prop, LPCWSTR name) {
  if (object == DWORD(OBJID_CLIENT) && child == CHILDID_SELF && prop == PROPID_ACC_NAME)
    named += std::to_wstring(GetDlgCtrlID(list)) + L" " + name + L"|";
  return S_OK;
}
HRESULT WINAPI clearHwndProps(void*, HWND list, DWORD object, DWORD child, const MSAAPROPID* props, int count) {
  if (object == DWORD(OBJID_CLIENT) && child == CHILDID_SELF && count == 1 && props[0] == PROPID_ACC_NAME)
    cleared += std::to_wstring(GetDlgCtrlID(list)) + L" ";
  return S_OK;
}
template <typename Method> const void* slot(Method m) { return reinterpret_cast<const void*>(m); }
const void* const recorderMethods[18] = {slot(queryInterface), slot(keep), slot(keep), 0, 0, 0, 0,
                                         slot(setHwndPropStr), 0, slot(clearHwndProps)};
const void* const* recorder = recorderMethods;

// The plug-in's CoCreateInstance: the recorder for the annotation service.
HRESULT WINAPI recordingCoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** out) {
  if (IsEqualCLSID(clsid, CLSID_AccPropServices)) return queryInterface(&recorder, iid, out);
  return CoCreateInstance(clsid, outer, context, iid, out);
}

TEST_F(AccessibilityTest, EveryListHasANameWhileItsWindowIsOpen) {
  const ImportHook hook(plugin().module(), "ole32.dll", "CoCreateInstance",
                        reinterpret_cast<const void*>(recordingCoCreateInstance));
  const struct { const char *function, *parameter; const wchar_t *names, *cleared; } cases[] = {
      {"XELM CalPopup", "03/01/2004", L"1015 Month|1016 Year|", L"1015 1016 "},
      {"XELM CalPopup2", "", L"1015 Start month|1016 Start year|1017 End month|1018 End year|", L"1015 1016 1017 1018 "},
      {"XELM YearPopup", "03/01/2004", L"1016 Year|", L"1016 "},
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
