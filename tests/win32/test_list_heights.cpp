// How many entries each drop-down list shows when open, with the common
// controls that a plain host gets (version 5, user32's lists) and with
// version 6 (an activation context asking for it, as a host with such a
// manifest has): the same count, the one the template's height gives with
// Windows' dialog font metrics (in a prefix with Wine's own, 6 x 12, the
// year lists show 8 on version 5).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include "harness.h"
#include "resources/resource_ids.h"

namespace {

struct List {
  int id;
  int entries;  // shown when open
};

struct WindowCase {
  const char* function;  // nullptr: the Preferences window
  const char* parameter;
  std::vector<List> lists;
};

// Entries shown by the open list: its height inside the border over the
// height of one entry.
int shownEntries(WindowDriver& d, int id) {
  HWND combo = GetDlgItem(d.window(), id);
  SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
  COMBOBOXINFO info = {};
  info.cbSize = sizeof info;
  GetComboBoxInfo(combo, &info);
  RECT inside = {};
  GetClientRect(info.hwndList, &inside);
  const int itemHeight = static_cast<int>(SendMessageA(info.hwndList, LB_GETITEMHEIGHT, 0, 0));
  SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
  return itemHeight > 0 ? inside.bottom / itemHeight : 0;
}

void checkWindows(const std::vector<WindowCase>& cases) {
  for (const WindowCase& c : cases) {
    SCOPED_TRACE(std::string(c.function ? c.function : "Preferences") + " " + c.parameter);
    const auto script = [&](WindowDriver& d) {
      for (const List& list : c.lists) {
        const int shown = shownEntries(d, list.id);
        EXPECT_EQ(shown, list.entries) << "list " << list.id;
      }
      d.close();
    };
    if (c.function) callDriven(c.function, c.parameter, script);
    else runDriven([] { plugin().callKind(5); }, script);
  }
}

// Measured on version 5 (user32's lists): the calendar's month lists show 8
// of their 12 entries and its year lists 9 of 201, the Set Time hour and
// minute lists 5 (minutes in steps of 1 here, 60 entries); every other list
// shows all its entries. Version 6 would show 12, 30, 12 and 30.
const std::vector<WindowCase> kWindows = {
    {"XELM CalPopup2", "03/01/2004|04/01/2004",
     {{IDC_MONTH_LEFT, 8}, {IDC_YEAR_LEFT, 9}, {IDC_MONTH_RIGHT, 8}, {IDC_YEAR_RIGHT, 9}}},
    {"XELM YearPopup", "2004", {{IDC_YEAR_LEFT, 9}}},
    {"XELM TimePopup", "|||1", {{IDC_HOUR_LIST, 5}, {IDC_MINUTE_LIST, 5}, {IDC_MERIDIEM_LIST, 2}}},
    {nullptr, "",
     {{IDC_PREF_LANGUAGE, 8}, {IDC_PREF_CALENDAR_TYPE, 2}, {IDC_PREF_DATE_STYLE, 3}, {IDC_PREF_SELECTION, 2},
      {IDC_PREF_LOCATION, 2}, {IDC_PREF_SIZE, 3}, {IDC_PREF_THEME, 6}, {IDC_PREF_FONT, 4}}},
};

TEST(ListHeights, CommonControlsVersion5) {
  deleteSettingsKey();
  checkWindows(kWindows);
}

// The activation context of a manifest naming version 6 of the common
// controls, active on this thread while the windows are made.
class CommonControls6 {
 public:
  CommonControls6() {
    const std::string path = testOutputPath("common-controls-6.manifest");
    FILE* file = std::fopen(path.c_str(), "w");
    if (!file) return;
    std::fputs(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\n"
        "<dependency><dependentAssembly><assemblyIdentity type=\"win32\" "
        "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" processorArchitecture=\"x86\" "
        "publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/></dependentAssembly></dependency>\n"
        "</assembly>\n",
        file);
    std::fclose(file);
    ACTCTXA context = {};
    context.cbSize = sizeof context;
    context.lpSource = path.c_str();
    handle_ = CreateActCtxA(&context);
    if (handle_ != INVALID_HANDLE_VALUE) active_ = ActivateActCtx(handle_, &cookie_) != FALSE;
  }
  ~CommonControls6() {
    if (active_) DeactivateActCtx(0, cookie_);
    if (handle_ != INVALID_HANDLE_VALUE) ReleaseActCtx(handle_);
  }
  bool active() const { return active_; }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  ULONG_PTR cookie_ = 0;
  bool active_ = false;
};

TEST(ListHeights, CommonControlsVersion6) {
  deleteSettingsKey();
  CommonControls6 context;
  ASSERT_TRUE(context.active());
  checkWindows(kWindows);
}

}  // namespace
