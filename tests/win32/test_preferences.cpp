// The Preferences window through the real plug-in (call kind 5) against
// Wine's registry: what it shows when it opens, its checks, and what OK,
// Cancel and the close command leave in the registry.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "calendar_support.h"
#include "harness.h"
#include "registry_faults.h"
#include "resources/resource_ids.h"

namespace {

const int kListIds[] = {IDC_PREF_LANGUAGE, IDC_PREF_CALENDAR_TYPE, IDC_PREF_DATE_STYLE, IDC_PREF_SELECTION,
                        IDC_PREF_LOCATION, IDC_PREF_SIZE,          IDC_PREF_THEME,      IDC_PREF_FONT};
const int kPositionGroup[] = {IDC_PREF_LEFT_LABEL, IDC_PREF_LEFT, IDC_PREF_TOP_LABEL, IDC_PREF_TOP};

// What the window shows.
struct Shown {
  std::string caption, title, left, top;
  std::map<int, std::string> selected;  // list id -> selected entry ("" for none)
  std::map<int, int> position;          // list id -> selected position (-1 for none)
  std::map<int, std::vector<std::string>> entries;
  bool groupVisible = false, groupConsistent = true;
  bool focusInTitle = false;
  RECT rect = {};
  HWND owner = nullptr;
};

Shown read(WindowDriver& d) {
  Shown s;
  s.caption = d.caption();
  s.title = d.controlText(IDC_PREF_TITLE);
  s.left = d.controlText(IDC_PREF_LEFT);
  s.top = d.controlText(IDC_PREF_TOP);
  for (int id : kListIds) {
    s.selected[id] = d.selectedText(id);
    s.position[id] = d.selectedIndex(id);
    s.entries[id] = d.listEntries(id);
  }
  s.groupVisible = d.controlVisible(IDC_PREF_LEFT);
  for (int id : kPositionGroup) s.groupConsistent &= d.controlVisible(id) == s.groupVisible;
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(d.window(), nullptr), &info);
  s.focusInTitle = info.hwndFocus == GetDlgItem(d.window(), IDC_PREF_TITLE);
  s.rect = d.windowRect();
  s.owner = d.owner();
  return s;
}

// Opens the window (call kind 5), runs `script` on it and checks that the
// window closed by itself afterwards.
void openPreferences(const std::function<void(WindowDriver&)>& script) {
  bool driven = runDriven([] { plugin().callKind(5); }, script);
  EXPECT_TRUE(driven) << "the window did not open, or stayed open";
}

Shown openAndCancel() {
  Shown s;
  openPreferences([&](WindowDriver& d) {
    s = read(d);
    d.pressButton(IDCANCEL);
  });
  return s;
}

// The settings key as the registry holds it: each value's type and data
// (queried through the wide-character calls, which return it unchanged);
// "<no key>" alone when the key does not exist.
typedef std::map<std::string, std::pair<DWORD, std::string>> Snapshot;

Snapshot snapshot() {
  Snapshot values;
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    values["<no key>"] = {0, ""};
    return values;
  }
  for (DWORD i = 0;; ++i) {
    wchar_t name[64];
    BYTE data[512];
    DWORD nameLength = 64, type = 0, size = sizeof data;
    if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
    char narrow[64] = {};
    WideCharToMultiByte(CP_ACP, 0, name, -1, narrow, sizeof narrow, nullptr, nullptr);
    values[narrow] = {type, std::string(reinterpret_cast<char*>(data), size)};
  }
  RegCloseKey(key);
  return values;
}

// A stored text value as the plug-in reads it, its terminator dropped;
// "<missing>" when absent or not REG_SZ.
std::string storedText(const Snapshot& values, const char* name) {
  auto it = values.find(name);
  if (it == values.end() || it->second.first != REG_SZ) return "<missing>";
  std::string text;
  const std::string& data = it->second.second;
  for (size_t i = 0; i + 1 < data.size(); i += 2) {
    wchar_t c = static_cast<wchar_t>(static_cast<unsigned char>(data[i]) | (static_cast<unsigned char>(data[i + 1]) << 8));
    if (c == 0) break;
    char narrow[4] = {};
    WideCharToMultiByte(CP_ACP, 0, &c, 1, narrow, sizeof narrow, nullptr, nullptr);
    text += narrow;
  }
  return text;
}

void deleteVantrellTree() {
  deleteSettingsKey();
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Vantrell\\XELMCalendar");
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Vantrell");
}

void storeAll(const std::map<std::string, std::string>& values) {
  for (const auto& v : values) storeSetting(v.first, v.second);
}

// The registry answers the plug-in as Windows documents it: a reserved
// argument other than 0 fails, where Wine would let it pass.
class Preferences : public ::testing::Test {
 protected:
  void SetUp() override {
    deleteVantrellTree();
    ASSERT_TRUE(registry_.installed());
  }
  void TearDown() override { deleteVantrellTree(); }

 private:
  DocumentedRegistry registry_{plugin().module()};
};

TEST_F(Preferences, NothingStoredShowsTheDefaultsAndCreatesTheKey) {
  ASSERT_EQ(snapshot().count("<no key>"), 1u);
  Shown s = openAndCancel();
  EXPECT_EQ(s.caption, "Preferences");
  EXPECT_EQ(s.title, "Datewell 3.0");
  EXPECT_TRUE(s.focusInTitle);
  std::map<int, std::vector<std::string>> entries = {
      {IDC_PREF_LANGUAGE, {"Dutch", "English", "French", "German", "Italian", "Norwegian", "Spanish", "Swedish"}},
      {IDC_PREF_CALENDAR_TYPE, {"Sunday", "Monday"}},
      {IDC_PREF_DATE_STYLE, {"mm/dd/yyyy", "dd/mm/yyyy", "yyyy/mm/dd"}},
      {IDC_PREF_SELECTION, {"Date Click", "Command Buttons"}},
      {IDC_PREF_LOCATION, {"Centered", "Specified"}},
      {IDC_PREF_SIZE, {"Normal", "Small", "Smaller"}},
      {IDC_PREF_THEME, {"Default", "Blue", "Purple", "Red", "Green", "Yellow"}},
      {IDC_PREF_FONT, {"Arial", "Courier New", "Times New Roman", "MS Serif"}},
  };
  EXPECT_EQ(s.entries, entries);
  EXPECT_EQ(s.selected[IDC_PREF_LANGUAGE], "English");
  for (int id : kListIds) EXPECT_EQ(s.position[id], id == IDC_PREF_LANGUAGE ? 1 : 0) << id;
  EXPECT_FALSE(s.groupVisible);
  EXPECT_TRUE(s.groupConsistent);
  Snapshot after = snapshot();
  EXPECT_EQ(after.count("<no key>"), 0u) << "opening creates the key";
  EXPECT_TRUE(after.empty()) << "and writes no value";
}

TEST_F(Preferences, ShowsStoredValuesAndOkStoresThemAgain) {
  struct Case {
    std::map<std::string, std::string> stored;
    std::map<int, std::string> selected;
    bool groupVisible;
    std::string left, top;
    std::map<std::string, std::string> saved;  // differences from `stored` after OK
  } cases[] = {
      {{{"Title", "Mes dates"}, {"Language", "1"}, {"CalendarType", "1"}, {"DateStyle", "2"},
        {"DateSelectionMethod", "1"}, {"Location", "1"}, {"LocationX", "1234"}, {"LocationY", "-100"},
        {"Size", "2"}, {"Theme", "5"}, {"Font", "3"}},
       {{IDC_PREF_LANGUAGE, "French"}, {IDC_PREF_CALENDAR_TYPE, "Monday"}, {IDC_PREF_DATE_STYLE, "yyyy/mm/dd"},
        {IDC_PREF_SELECTION, "Command Buttons"}, {IDC_PREF_LOCATION, "Specified"}, {IDC_PREF_SIZE, "Smaller"},
        {IDC_PREF_THEME, "Yellow"}, {IDC_PREF_FONT, "MS Serif"}},
       true, "1234", "-100",
       {}},  // positions left alone are stored as read, however long
      {{{"Title", ""}, {"Language", "6"}, {"Location", "0"}, {"LocationX", "77"}},
       {{IDC_PREF_LANGUAGE, "Dutch"}, {IDC_PREF_LOCATION, "Centered"}, {IDC_PREF_THEME, "Default"}},
       false, "77", "",
       {{"CalendarType", "0"}, {"DateStyle", "0"}, {"DateSelectionMethod", "0"}, {"Size", "0"},
        {"Theme", "0"}, {"Font", "0"}}},
      {{{"Language", "7"}, {"Theme", "x"}},
       {{IDC_PREF_LANGUAGE, "Norwegian"}, {IDC_PREF_THEME, "Default"}},
       false, "", "",
       {{"Title", "Datewell 3.0"}, {"Theme", "0"}, {"CalendarType", "0"}, {"DateStyle", "0"},
        {"DateSelectionMethod", "0"}, {"Location", "0"}, {"Size", "0"}, {"Font", "0"}}},
  };
  for (const Case& c : cases) {
    deleteVantrellTree();
    storeAll(c.stored);
    Shown s;
    openPreferences([&](WindowDriver& d) {
      s = read(d);
      d.pressButton(IDOK);
    });
    std::string title = c.stored.count("Title") ? c.stored.at("Title") : "Datewell 3.0";
    EXPECT_EQ(s.title, title);
    for (const auto& expected : c.selected) EXPECT_EQ(s.selected[expected.first], expected.second) << expected.first;
    EXPECT_EQ(s.groupVisible, c.groupVisible);
    EXPECT_TRUE(s.groupConsistent);
    EXPECT_EQ(s.left, c.left);
    EXPECT_EQ(s.top, c.top);
    std::map<std::string, std::string> expected = c.stored;
    for (const auto& change : c.saved) expected[change.first] = change.second;
    Snapshot after = snapshot();
    for (const auto& value : expected) EXPECT_EQ(storedText(after, value.first.c_str()), value.second) << value.first;
    EXPECT_EQ(after.size(), expected.size());
  }
}

// Stored values that no list entry stands for leave that list without a
// selection; OK then stores "0", the value the date popups already use for
// them. Over-long values show as missing.
TEST_F(Preferences, OutOfRangeAndOverlongValues) {
  std::string longTitle(50, 't');
  storeAll({{"Title", longTitle}, {"Language", "8"}, {"CalendarType", "2"}, {"DateStyle", "9"},
            {"DateSelectionMethod", "5"}, {"Location", "7"}, {"LocationX", "12345"}, {"LocationY", "x"},
            {"Size", "3"}, {"Theme", "6"}, {"Font", "4"}});
  Shown s;
  openPreferences([&](WindowDriver& d) {
    s = read(d);
    // Another program's entry that begins with a language's name is no language.
    SendDlgItemMessageA(d.window(), IDC_PREF_LANGUAGE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Norwegian2"));
    d.selectText(IDC_PREF_LANGUAGE, "Norwegian2");
    d.pressButton(IDOK);
  });
  EXPECT_EQ(s.title, "Datewell 3.0");
  for (int id : kListIds) EXPECT_EQ(s.position[id], -1) << id;
  EXPECT_EQ(s.left, "");
  EXPECT_EQ(s.top, "x");
  EXPECT_FALSE(s.groupVisible) << "Specified is not shown, so neither are Left and Top";
  Snapshot after = snapshot();
  EXPECT_EQ(storedText(after, "Title"), "Datewell 3.0");
  for (const char* name : {"Language", "CalendarType", "DateStyle", "DateSelectionMethod", "Location", "Size",
                           "Theme", "Font"})
    EXPECT_EQ(storedText(after, name), "0") << name;
  EXPECT_EQ(storedText(after, "LocationX"), "12345") << "not written for Centered";
  EXPECT_EQ(storedText(after, "LocationY"), "x");
}

TEST_F(Preferences, LocationListShowsAndHidesLeftAndTopKeepingTheirTexts) {
  openPreferences([](WindowDriver& d) {
    d.selectText(IDC_PREF_LOCATION, "Specified");
    for (int id : kPositionGroup) EXPECT_TRUE(d.controlVisible(id)) << id;
    d.typeText(IDC_PREF_LEFT, "10");
    d.typeText(IDC_PREF_TOP, "20");
    d.selectText(IDC_PREF_LOCATION, "Centered");
    for (int id : kPositionGroup) EXPECT_FALSE(d.controlVisible(id)) << id;
    d.selectText(IDC_PREF_LOCATION, "Specified");
    EXPECT_TRUE(d.controlVisible(IDC_PREF_TOP));
    EXPECT_EQ(d.controlText(IDC_PREF_LEFT), "10");
    EXPECT_EQ(d.controlText(IDC_PREF_TOP), "20");
    d.pressButton(IDCANCEL);
  });
}

TEST_F(Preferences, MissingPositionWarnsAndStoresNothing) {
  storeAll({{"Title", "Kept"}, {"Location", "0"}});
  Snapshot before = snapshot();
  openPreferences([](WindowDriver& d) {
    d.selectText(IDC_PREF_LOCATION, "Specified");
    d.typeText(IDC_PREF_TITLE, "Changed");
    const char* boxes[][2] = {{"10", ""}, {"", "5"}, {"", ""}};
    for (auto& box : boxes) {
      d.typeText(IDC_PREF_LEFT, box[0]);
      d.typeText(IDC_PREF_TOP, box[1]);
      d.pressButton(IDOK);
      WindowDriver::MessageBoxText message = d.answerMessageBox();
      EXPECT_TRUE(message.found);
      EXPECT_EQ(message.caption, "WARNING");
      EXPECT_EQ(message.text, "You must specify Left and Top positions.");
      EXPECT_EQ(message.owner, d.window());
      EXPECT_TRUE(d.windowOpen()) << "the window stays open";
      EXPECT_EQ(d.controlText(IDC_PREF_TITLE), "Changed");
      EXPECT_EQ(d.selectedText(IDC_PREF_LOCATION), "Specified");
    }
    d.pressButton(IDCANCEL);
  });
  EXPECT_EQ(snapshot(), before);
}

TEST_F(Preferences, OkStoresWhatTheWindowShows) {
  storeAll({{"LocationX", "500"}, {"LocationY", "40"}});
  std::string typedTitle(60, 'T');
  std::map<std::string, std::string> shown;  // each box's text at OK, by value name
  openPreferences([&](WindowDriver& d) {
    d.typeText(IDC_PREF_TITLE, typedTitle);  // keys past the 49th are refused
    shown["Title"] = d.controlText(IDC_PREF_TITLE);
    d.selectText(IDC_PREF_LANGUAGE, "Swedish");
    d.selectText(IDC_PREF_CALENDAR_TYPE, "Monday");
    d.selectText(IDC_PREF_DATE_STYLE, "dd/mm/yyyy");
    d.selectText(IDC_PREF_SELECTION, "Command Buttons");
    d.selectText(IDC_PREF_SIZE, "Small");
    d.selectText(IDC_PREF_THEME, "Green");
    d.selectText(IDC_PREF_FONT, "Courier New");
    d.pressButton(IDOK);  // Centered with the stored positions: no check, not written
  });
  Snapshot centered = snapshot();
  std::map<std::string, std::string> expected = {
      {"Title", typedTitle.substr(0, 49)}, {"Language", "5"}, {"CalendarType", "1"}, {"DateStyle", "1"},
      {"DateSelectionMethod", "1"}, {"Location", "0"}, {"LocationX", "500"}, {"LocationY", "40"},
      {"Size", "1"}, {"Theme", "4"}, {"Font", "1"}};
  for (const auto& value : expected) EXPECT_EQ(storedText(centered, value.first.c_str()), value.second) << value.first;
  EXPECT_EQ(storedText(centered, "Title"), shown["Title"]);

  openPreferences([&](WindowDriver& d) {
    EXPECT_EQ(d.selectedText(IDC_PREF_LANGUAGE), "Swedish");
    EXPECT_EQ(d.controlText(IDC_PREF_LEFT), "500");
    d.selectText(IDC_PREF_LOCATION, "Specified");
    d.typeText(IDC_PREF_LEFT, "1200");  // the fourth key is refused
    d.typeText(IDC_PREF_TOP, "0");
    d.typeText(IDC_PREF_TITLE, "");
    shown["LocationX"] = d.controlText(IDC_PREF_LEFT);
    shown["LocationY"] = d.controlText(IDC_PREF_TOP);
    d.pressButton(IDOK);
  });
  Snapshot specified = snapshot();
  for (const char* name : {"LocationX", "LocationY"}) EXPECT_EQ(storedText(specified, name), shown[name]) << name;
  EXPECT_EQ(storedText(specified, "Location"), "1");
  EXPECT_EQ(storedText(specified, "LocationX"), "120");
  EXPECT_EQ(storedText(specified, "LocationY"), "0");
  EXPECT_EQ(storedText(specified, "Title"), "");
  EXPECT_EQ(specified.at("Title").first, static_cast<DWORD>(REG_SZ));
  storeSetting("LocationX", "1200");  // one digit of a stored 4-character position overtyped
  openPreferences([](WindowDriver& d) {
    SendDlgItemMessageA(d.window(), IDC_PREF_LEFT, EM_SETSEL, 1, 2);
    SendDlgItemMessageA(d.window(), IDC_PREF_LEFT, WM_CHAR, '5', 0);
    d.pressButton(IDOK);
  });
  EXPECT_EQ(storedText(snapshot(), "LocationX"), "1500");
}

// Rights on the settings key, denied to everyone as the machine-wide key
// denies them to an ordinary user; every other right stays granted.
const DWORD kSetValue = KEY_SET_VALUE, kSetAndCreate = KEY_SET_VALUE | KEY_CREATE_SUB_KEY,
            kNoAccess = KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_QUERY_VALUE;

void denyToEveryone(DWORD rights) { ASSERT_TRUE(denyKeyRights(kSettingsKey, rights)); }

// Whether `text` starts with `begin` and ends with `end`: a message with the
// system's own words for an error, which differ between systems, between them.
// Those words come as one line: the line end the system gives them, and any
// blank before it, are trimmed.
bool framedBy(const std::string& text, const std::string& begin, const std::string& end, LONG error) {
  if (text.size() <= begin.size() + end.size() || text.compare(0, begin.size(), begin) != 0 ||
      text.compare(text.size() - end.size(), end.size(), end) != 0)
    return false;
  const std::string words = text.substr(begin.size(), text.size() - begin.size() - end.size());
  char system[200] = {};
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, static_cast<DWORD>(error), 0,
                 system, sizeof system, nullptr);
  return std::string(system).rfind(words, 0) == 0 && words.find_first_of("\r\n") == std::string::npos &&
         words.back() != ' ';
}

// When OK cannot store the choices, the window says why and stays open with
// the input as it was, having stored every value it could; once the cause is
// gone, OK stores every value.
TEST_F(Preferences, FailedSaveWarnsAndKeepsTheInput) {
  const std::map<std::string, std::string> expected = {
      {"Title", "After"},   {"Language", "0"},  {"CalendarType", "0"}, {"DateStyle", "0"},
      {"DateSelectionMethod", "0"}, {"Location", "1"}, {"LocationX", "12"}, {"LocationY", "34"},
      {"Size", "0"},        {"Theme", "3"},     {"Font", "0"}};
  std::vector<std::string> everyValue;
  for (const auto& value : expected) everyValue.push_back(value.first);
  std::unique_ptr<ValueRefusal> refusal;
  auto refuse = [&](std::vector<std::string> names, LONG error) {
    refusal.reset(new ValueRefusal(plugin().module(), names, error));
    ASSERT_TRUE(refusal->installed());
  };
  auto lift = [&] { refusal.reset(); };
  const char* const kNeedsRights = "saving them needs the right to change settings for all users of this computer.";
  const char* const kRemoved =
      "their registry key was removed while this window was open. Opening Preferences again creates it anew.";
  struct Case {
    std::function<void()> breakSaving, repair;
    std::string message, messageEnd;  // the message, or its start and end around the system's words
    std::vector<std::string> refused;  // values the failed OK could not store; it stored the others
  } cases[] = {
      {[] { denyToEveryone(kSetValue); }, [] { denyToEveryone(0); },
       std::string("Your preferences could not be saved: ") + kNeedsRights, "", {}},
      {[] { deleteSettingsKey(); }, [] { storeSetting("Title", "Recreated"); },
       std::string("Your preferences could not be saved: ") + kRemoved, "", {}},
      {[&] { refuse({"Language"}, ERROR_NOT_ENOUGH_QUOTA); }, lift,
       "Your preferences were saved, except Language: Windows reported \"", "\" when storing them.", {"Language"}},
      // An error the system has no words for is given by its number.
      {[&] { refuse({"Theme"}, 0x20000001); }, lift,
       "Your preferences were saved, except Theme: Windows reported \"error 536870913\" when storing them.", "",
       {"Theme"}},
      {[&] { refuse({"DateSelectionMethod", "LocationX"}, ERROR_ACCESS_DENIED); }, lift,
       std::string("Your preferences were saved, except Date Selection Method, Left: ") + kNeedsRights, "",
       {"DateSelectionMethod", "LocationX"}},
      // The key removed after OK opened it: every write fails, nothing is stored.
      {[&] { refuse(everyValue, ERROR_KEY_DELETED); }, lift,
       std::string("Your preferences could not be saved: ") + kRemoved, "", everyValue},
  };
  for (const Case& c : cases) {
    deleteVantrellTree();
    storeSetting("Title", "Before");
    openPreferences([&](WindowDriver& d) {
      d.typeText(IDC_PREF_TITLE, "After");
      d.selectText(IDC_PREF_THEME, "Red");
      d.selectText(IDC_PREF_LOCATION, "Specified");
      d.typeText(IDC_PREF_LEFT, "12");
      d.typeText(IDC_PREF_TOP, "34");
      c.breakSaving();
      d.pressButton(IDOK);
      WindowDriver::MessageBoxText message = d.answerMessageBox();
      EXPECT_EQ(message.caption, "WARNING");
      EXPECT_TRUE(c.messageEnd.empty() ? message.text == c.message
                                       : framedBy(message.text, c.message, c.messageEnd, ERROR_NOT_ENOUGH_QUOTA))
          << message.text;
      EXPECT_EQ(message.owner, d.window());
      EXPECT_TRUE(d.windowOpen()) << c.message;
      EXPECT_EQ(d.controlText(IDC_PREF_TITLE), "After");
      EXPECT_EQ(d.selectedText(IDC_PREF_THEME), "Red");
      EXPECT_EQ(d.controlText(IDC_PREF_LEFT) + d.controlText(IDC_PREF_TOP), "1234");
      if (!c.refused.empty()) {
        Snapshot partly = snapshot();
        std::vector<std::string> missing;
        for (const auto& value : expected)
          if (storedText(partly, value.first.c_str()) != value.second) missing.push_back(value.first);
        EXPECT_EQ(missing, c.refused) << "every other value is stored";
      }
      c.repair();
      d.pressButton(IDOK);
    });
    Snapshot after = snapshot();
    for (const auto& value : expected) EXPECT_EQ(storedText(after, value.first.c_str()), value.second) << value.first;
    EXPECT_EQ(after.size(), expected.size()) << c.message;
  }
}

TEST_F(Preferences, CancelCloseAndEscapeLeaveTheRegistryAsItWas) {
  storeAll({{"Title", "Before"}, {"Language", "2"}, {"Location", "1"}, {"LocationX", "9"}, {"LocationY", "8"},
            {"Theme", "3"}});
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
  DWORD number = 7;
  RegSetValueExA(key, "Foreign", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
  RegCloseKey(key);
  Snapshot before = snapshot();
  for (const char* finish : {"cancel", "close", "escape"}) {
    openPreferences([&](WindowDriver& d) {
      d.typeText(IDC_PREF_TITLE, "After");
      d.selectText(IDC_PREF_LANGUAGE, "Italian");
      d.selectText(IDC_PREF_LOCATION, "Centered");
      d.selectText(IDC_PREF_THEME, "Blue");
      std::string f = finish;
      if (f == "cancel") d.pressButton(IDCANCEL);
      else if (f == "close") d.close();
      else {
        PostMessageA(d.window(), WM_KEYDOWN, VK_ESCAPE, 0);
        d.barrier();
      }
    });
    EXPECT_EQ(snapshot(), before) << finish;
  }
}

TEST_F(Preferences, CentredOverTheActiveWindow) {
  struct Case {
    int x, y, width, height;
  } cases[] = {{200, 150, 640, 480}, {300, 300, 120, 61}};  // larger, then smaller than the window
  for (const Case& c : cases) {
    ActiveOwner owner(c.x, c.y, c.width, c.height);
    RECT o = owner.rect();
    Shown s = openAndCancel();
    EXPECT_EQ(s.owner, owner.hwnd());
    int width = s.rect.right - s.rect.left, height = s.rect.bottom - s.rect.top;
    EXPECT_EQ(s.rect.left, o.left + ((o.right - o.left - width) >> 1)) << c.width;
    EXPECT_EQ(s.rect.top, o.top + ((o.bottom - o.top - height) >> 1)) << c.width;
  }
}

TEST_F(Preferences, WithoutActiveWindowCentredOnTheWorkArea) {
  SetActiveWindow(nullptr);
  RECT area;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  Shown s = openAndCancel();
  EXPECT_EQ(s.owner, nullptr);
  int width = s.rect.right - s.rect.left, height = s.rect.bottom - s.rect.top;
  EXPECT_EQ(s.rect.left, area.left + ((area.right - area.left - width) >> 1));
  EXPECT_EQ(s.rect.top, area.top + ((area.bottom - area.top - height) >> 1));
}

// A volatile parent key cannot hold the settings key, which must persist:
// opening it fails. The defaults are shown, and OK stores nothing and says why.
TEST_F(Preferences, KeyThatCannotBeCreated) {
  HKEY parent;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Vantrell", 0, nullptr, REG_OPTION_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &parent, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(parent);
  Shown s;
  std::string message;
  openPreferences([&](WindowDriver& d) {
    s = read(d);
    d.pressButton(IDOK);
    message = d.answerMessageBox().text;
    d.pressButton(IDCANCEL);
  });
  EXPECT_TRUE(framedBy(message, "Your preferences could not be saved: Windows reported \"",
                       "\" when creating their registry key.", ERROR_CHILD_MUST_BE_VOLATILE))
      << message;
  EXPECT_EQ(s.title, "Datewell 3.0");
  EXPECT_EQ(s.selected[IDC_PREF_LANGUAGE], "English");
  EXPECT_EQ(s.selected[IDC_PREF_LOCATION], "Centered");
  EXPECT_FALSE(s.groupVisible) << "hidden to match Centered";
  EXPECT_EQ(snapshot().count("<no key>"), 1u);
}

// What the window shows of the preferences.
auto shownPreferences(const Shown& s) -> decltype(std::tie(s.title, s.position, s.left, s.top, s.groupVisible)) {
  return std::tie(s.title, s.position, s.left, s.top, s.groupVisible);
}

// A user who may not change the key, denied so before the window opens,
// sees what the date popups use: the stored values when the key can be read,
// the defaults when it cannot. OK warns and keeps the window open; nothing
// changes in the key.
TEST_F(Preferences, WithoutTheRightToWriteShowsThePreferencesInEffect) {
  const std::map<std::string, std::string> preset = {
      {"Title", "Preset title"}, {"Language", "2"}, {"DateStyle", "1"}, {"Location", "1"},
      {"LocationX", "12"},       {"LocationY", "34"}, {"Theme", "3"}};
  const Shown defaults = openAndCancel();  // of an empty key
  storeAll(preset);
  const Shown stored = openAndCancel();
  EXPECT_EQ(stored.selected.at(IDC_PREF_LANGUAGE), "German");
  struct Case {
    DWORD denied;
    const Shown& expected;
  } cases[] = {{kSetAndCreate, stored}, {kNoAccess, defaults}};
  for (const Case& c : cases) {
    const Snapshot before = snapshot();
    denyToEveryone(c.denied);
    Shown s;
    openPreferences([&](WindowDriver& d) {
      s = read(d);
      d.pressButton(IDOK);
      EXPECT_EQ(d.answerMessageBox().text,
                "Your preferences could not be saved: saving them needs the right to change settings for all users "
                "of this computer.");
      EXPECT_TRUE(d.windowOpen());
      d.pressButton(IDCANCEL);
    });
    EXPECT_EQ(shownPreferences(s), shownPreferences(c.expected)) << c.denied;
    EXPECT_TRUE(s.groupConsistent);
    denyToEveryone(0);
    EXPECT_EQ(snapshot(), before) << c.denied;
  }
}

// ---- Round trip: what OK stores is what the next date popup shows ----

// The choices of the window, as the entries of its lists.
struct Choices {
  const char *title, *language, *calendarType, *dateStyle, *selection, *location, *left, *top, *size, *theme, *font;
};

void saveChoices(const Choices& c) {
  openPreferences([&](WindowDriver& d) {
    d.typeText(IDC_PREF_TITLE, c.title);
    d.selectText(IDC_PREF_LANGUAGE, c.language);
    d.selectText(IDC_PREF_CALENDAR_TYPE, c.calendarType);
    d.selectText(IDC_PREF_DATE_STYLE, c.dateStyle);
    d.selectText(IDC_PREF_SELECTION, c.selection);
    d.selectText(IDC_PREF_LOCATION, c.location);
    d.typeText(IDC_PREF_LEFT, c.left);
    d.typeText(IDC_PREF_TOP, c.top);
    d.selectText(IDC_PREF_SIZE, c.size);
    d.selectText(IDC_PREF_THEME, c.theme);
    d.selectText(IDC_PREF_FONT, c.font);
    d.pressButton(IDOK);
  });
}

const int kCalendarMonthList = 1015, kCalendarOk = 1033;

TEST_F(Preferences, SavedChoicesReachTheNextCalPopup) {
  struct Case {
    Choices choices;
    const char* initialDate;  // 1 March 2004 in the chosen date style
    const char* firstMonth;
    bool okVisible;
    COLORREF headingColour;   // the theme's weekday background
    const char* firstCellDate;  // the first day cell: Monday 1 March or Sunday 29 February
  } cases[] = {
      {{"Team calendar", "Italian", "Monday", "dd/mm/yyyy", "Command Buttons", "Specified", "40", "30", "Normal",
        "Green", "Courier New"},
       "01/03/2004", "Gennaio", true, 0x097315, "01/03/2004"},
      {{"", "Norwegian", "Sunday", "yyyy/mm/dd", "Date Click", "Centered", "", "", "Smaller", "Red", "Arial"},
       "2004/03/01", "Januar", false, 0xCACEFF, "2004/02/29"},
  };
  SetActiveWindow(nullptr);
  RECT area;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  for (const Case& c : cases) {
    saveChoices(c.choices);
    std::string result = callDriven("XELM CalPopup", c.initialDate, [&](WindowDriver& d) {
      EXPECT_EQ(d.caption(), c.choices.title);
      EXPECT_EQ(d.listEntries(kCalendarMonthList).front(), c.firstMonth);
      EXPECT_EQ(d.selectedIndex(kCalendarMonthList), 2);  // March: the date was read in the chosen style
      EXPECT_EQ(d.controlVisible(kCalendarOk), c.okVisible);
      RECT r = d.windowRect();
      if (c.choices.left[0]) {
        EXPECT_EQ(r.left, atoi(c.choices.left));
        EXPECT_EQ(r.top, atoi(c.choices.top));
      } else {
        EXPECT_EQ(r.left, area.left + ((area.right - area.left - widthOf(r)) >> 1));
        EXPECT_EQ(r.top, area.top + ((area.bottom - area.top - heightOf(r)) >> 1));
      }
      CalendarGeometry g;
      d.calendarGeometry(g);
      const RECT heading = g.cell(1, 0);
      EXPECT_EQ(d.pixelAt(heading.left + 2, heading.top + 2), c.headingColour);
      d.clickCell(1, 7);
      if (c.okVisible) d.pressButton(kCalendarOk);
    });
    EXPECT_EQ(result, c.firstCellDate) << c.choices.title;
  }
}

TEST_F(Preferences, SavedSizeSetsTheYearPopupOnly) {
  const CalendarGeometry t = templateSizes();
  const int yearWidth = 3 * t.templateWidth + 18;
  struct Case {
    const char* size;
    int width;
  } cases[] = {{"Small", static_cast<int>(yearWidth * 0.9f)}, {"Smaller", static_cast<int>(yearWidth * 0.75f)},
               {"Normal", yearWidth}};
  for (const Case& c : cases) {
    saveChoices({"", "English", "Sunday", "mm/dd/yyyy", "Date Click", "Centered", "", "", c.size, "Default", "Arial"});
    callDriven("XELM YearPopup", "2004", [&](WindowDriver& d) {
      EXPECT_EQ(widthOf(d.windowRect()), c.width) << c.size;
      d.close();
    });
    callDriven("XELM CalPopup", "", [&](WindowDriver& d) {
      EXPECT_EQ(widthOf(d.windowRect()), t.templateWidth) << c.size;
      d.close();
    });
  }
}

// The pixels of one day cell once the window is painted (the screenshot
// waits for that, and is left in the test output).
std::vector<COLORREF> cellPixels(WindowDriver& d, int position, const std::string& shot) {
  EXPECT_TRUE(d.screenshot(testOutputPath(shot)));
  CalendarGeometry g;
  d.calendarGeometry(g);
  const RECT cell = g.cell(1, position);
  std::vector<COLORREF> pixels;
  HDC dc = GetDC(d.window());
  for (int y = cell.top; y < cell.bottom; ++y)
    for (int x = cell.left; x < cell.right; ++x) pixels.push_back(GetPixel(dc, x, y));
  ReleaseDC(d.window(), dc);
  return pixels;
}

// The day numbers drawn with the saved font look exactly like those drawn
// with the same font given as the call's parameter, and unlike the other
// faces. (MS Serif is left out: here it is drawn by the same Liberation font
// as Times New Roman.)
TEST_F(Preferences, SavedFontDrawsTheDays) {
  const char* fonts[] = {"Arial", "Courier New", "Times New Roman"};
  const int kDay25 = 7 + 1 + 24;  // 25 March 2004: March starts on a Monday, Sunday-first grid
  std::vector<std::vector<COLORREF>> saved, given;
  for (const char* font : fonts) {
    saveChoices({"", "English", "Sunday", "mm/dd/yyyy", "Date Click", "Centered", "", "", "Normal", "Default", font});
    callDriven("XELM CalPopup", "03/01/2004", [&](WindowDriver& d) {
      saved.push_back(cellPixels(d, kDay25, std::string("font-saved-") + font + ".png"));
      d.close();
    });
    deleteVantrellTree();
    std::string parameter = std::string("03/01/2004|||||||||") + font;
    callDriven("XELM CalPopup", parameter, [&](WindowDriver& d) {
      given.push_back(cellPixels(d, kDay25, std::string("font-given-") + font + ".png"));
      d.close();
    });
  }
  ASSERT_EQ(saved.size(), 3u);
  ASSERT_EQ(given.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(saved[i], given[i]) << fonts[i];
    EXPECT_NE(saved[i], saved[(i + 1) % 3]) << fonts[i] << " and " << fonts[(i + 1) % 3];
  }
}

}  // namespace
