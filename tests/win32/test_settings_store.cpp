// The settings store against Wine's real registry: reading limits,
// terminators, value types, defaults, and what saving writes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "harness.h"
#include "registry_faults.h"
#include "settings/settings_store.h"
#include "settings/settings_store_win32.h"

namespace {

// Stores exactly `bytes`. The registry adds a terminator to a string value
// whose data is followed by a NUL in memory (NT does so, and Wine with it),
// so the bytes are copied into a buffer with a non-NUL byte behind them.
void storeRaw(const char* name, DWORD type, const std::string& bytes) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                            nullptr),
            ERROR_SUCCESS);
  std::string data = bytes + "#";
  RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                 static_cast<DWORD>(bytes.size()));
  RegCloseKey(key);
}

void storeDword(const char* name, DWORD value) {
  storeRaw(name, REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof value));
}

// Type and data of a stored value, as the registry holds it: queried through
// the wide-character call, which returns the data as stored (the ANSI call
// adds a terminator where the buffer has room). Texts come back narrowed,
// one character per stored UTF-16 unit, a stored NUL included.
std::pair<DWORD, std::string> storedValue(const char* name) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return {REG_NONE, "<no key>"};
  wchar_t wideName[64];
  MultiByteToWideChar(CP_ACP, 0, name, -1, wideName, 64);
  wchar_t data[128];
  DWORD type = 0, size = sizeof data;
  LONG status = RegQueryValueExW(key, wideName, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return {REG_NONE, "<missing>"};
  char narrow[128] = {};
  int length = WideCharToMultiByte(CP_ACP, 0, data, static_cast<int>(size / sizeof(wchar_t)), narrow,
                                   sizeof narrow, nullptr, nullptr);
  return {type, std::string(narrow, length)};
}

// saveSettings passes the characters without a NUL; the registry then adds
// one itself (see storeRaw), which is what a stored text looks like after.
std::string withoutTerminator(const std::string& stored) {
  return !stored.empty() && stored.back() == '\0' ? stored.substr(0, stored.size() - 1) : stored;
}

bool keyExists() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

PopupSettings load(PopupMode mode = SingleDate) {
  std::memset(&popupState.settings, 0x5A, sizeof popupState.settings);
  popupState.mode = mode;
  loadSettings();
  return popupState.settings;
}

// The store's code is linked into this program: the registry answers its
// calls as Windows documents them (a reserved argument other than 0 fails).
class SettingsStore : public ::testing::Test {
 protected:
  void SetUp() override {
    deleteSettingsKey();
    ASSERT_TRUE(registry_.installed());
  }
  void TearDown() override { deleteSettingsKey(); }

 private:
  DocumentedRegistry registry_{GetModuleHandleA(nullptr)};
};

TEST_F(SettingsStore, NoKeyGivesTheDefaultsEvenInTheYearView) {
  storeSetting("Size", "2");
  deleteSettingsKey();
  ASSERT_FALSE(keyExists());
  PopupSettings s = load(YearView);
  EXPECT_STREQ(s.title, "Datewell 3.0");
  EXPECT_EQ(s.sizeIndex, 0);
  EXPECT_EQ(s.scale, 1.0f);
  EXPECT_EQ(s.language + s.calendarType + s.dateStyle + s.selectionMethod + s.location + s.locationX +
                s.locationY + s.theme + s.font,
            0);
}

// Each read limit at its edge, stored without and with a terminating NUL:
// both forms read the same; one character more counts as missing.
TEST_F(SettingsStore, TerminatorDoesNotCountAgainstTheLimit) {
  struct Case {
    const char* name;
    std::string text;
    bool fits;
  } cases[] = {
      {"Theme", "4", true},          {"Theme", "10", false},
      {"LocationX", "1234", true},   {"LocationX", "12345", false},
      {"Title", std::string(49, 'q'), true}, {"Title", std::string(50, 'q'), false},
      {"Title", "", true},
  };
  const size_t limits[] = {1, 1, 4, 4, 49, 49, 49};
  int i = 0;
  for (const Case& c : cases) {
    for (bool withNul : {false, true}) {
      deleteSettingsKey();
      std::string bytes = withNul ? c.text + std::string("\0", 1) : c.text;
      storeRaw(c.name, REG_SZ, bytes);
      ASSERT_EQ(storedValue(c.name).second, bytes) << "stored as given";
      HKEY key;
      ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_QUERY_VALUE, &key), ERROR_SUCCESS);
      char buffer[64];
      std::memset(buffer, '#', sizeof buffer);
      bool ok = readSettingText(key, c.name, limits[i], buffer);
      RegCloseKey(key);
      EXPECT_EQ(ok, c.fits) << c.name << " \"" << c.text << "\" nul " << withNul;
      if (ok) {
        EXPECT_EQ(std::string(buffer), c.text) << c.name << " nul " << withNul;
      }
      EXPECT_EQ(buffer[limits[i] + 1], '#') << c.name << ": read past its buffer";
    }
    ++i;
  }
}

TEST_F(SettingsStore, StoredValuesAndTheirFallbacks) {
  storeSetting("Title", "");
  storeSetting("Language", "6");
  storeSetting("CalendarType", "x");
  storeSetting("DateStyle", "9");
  storeSetting("DateSelectionMethod", "1");
  storeSetting("Location", "1");
  storeSetting("LocationX", "120");
  storeSetting("Size", "2");
  storeSetting("Theme", "10");
  storeSetting("Font", "3");
  for (PopupMode mode : {SingleDate, DateRange, YearView}) {
    PopupSettings s = load(mode);
    EXPECT_STREQ(s.title, "");
    EXPECT_EQ(s.language, 6);
    EXPECT_EQ(s.calendarType, 0);
    EXPECT_EQ(s.dateStyle, 0);
    EXPECT_EQ(s.selectionMethod, 1);
    EXPECT_EQ(s.location, 1);
    EXPECT_EQ(s.locationX, 120);
    EXPECT_EQ(s.locationY, 0);
    EXPECT_EQ(s.sizeIndex, 2);
    EXPECT_EQ(s.scale, mode == YearView ? 0.75f : 1.0f);
    EXPECT_EQ(s.theme, 0);
    EXPECT_EQ(s.font, 3);
  }
  storeSetting("Location", "0");
  storeSetting("LocationY", "44");
  PopupSettings centered = load();
  EXPECT_EQ(centered.locationX, 0);
  EXPECT_EQ(centered.locationY, 0);
}

// The type stored with a value is ignored: its bytes are read as text
// within the read limits, and the range checks apply as to any text.
TEST_F(SettingsStore, ValuesOfAnyTypeAreReadAsTheirBytes) {
  storeSetting("Location", "1");
  storeDword("LocationX", 0x00333231);  // the bytes "123" and a NUL: fits the 5-byte buffer
  storeDword("Language", 1);            // 4 bytes: too long for 2 bytes
  storeRaw("Theme", REG_BINARY, "3");
  storeRaw("Title", REG_BINARY, "Binary");
  storeRaw("Font", REG_EXPAND_SZ, "2");
  storeRaw("DateStyle", REG_MULTI_SZ, std::string("1\0\0", 3));  // 3 bytes: too long
  storeRaw("Size", REG_NONE, "1");
  storeRaw("CalendarType", REG_BINARY, "7");  // out of range: the default
  storeDword("LocationY", 0x00003034);        // "40"
  PopupSettings s = load(YearView);
  EXPECT_EQ(s.locationX, 123);
  EXPECT_EQ(s.locationY, 40);
  EXPECT_EQ(s.language, 0);
  EXPECT_EQ(s.theme, 3);
  EXPECT_STREQ(s.title, "Binary");
  EXPECT_EQ(s.font, 2);
  EXPECT_EQ(s.dateStyle, 0);
  EXPECT_EQ(s.sizeIndex, 1);
  EXPECT_EQ(s.calendarType, 0);
}

SettingTexts texts(const char* title, const char* location, const char* left, const char* top) {
  SettingTexts t = {};
  std::strcpy(t.title, title);
  std::strcpy(t.language, "6");
  std::strcpy(t.calendarType, "1");
  std::strcpy(t.dateStyle, "2");
  std::strcpy(t.selectionMethod, "1");
  std::strcpy(t.location, location);
  std::strcpy(t.size, "1");
  std::strcpy(t.theme, "4");
  std::strcpy(t.font, "2");
  std::strcpy(t.left, left);
  std::strcpy(t.top, top);
  return t;
}

TEST_F(SettingsStore, SavingWritesTextsWithoutTerminator) {
  storeSetting("Font", "0");
  EXPECT_EQ(saveSettings(texts("", "1", "999", "7")).error, ERROR_SUCCESS);
  struct Expect {
    const char* name;
    std::string bytes;
  } expected[] = {{"Title", ""},    {"Language", "6"},  {"CalendarType", "1"}, {"DateStyle", "2"},
                  {"DateSelectionMethod", "1"}, {"Location", "1"}, {"LocationX", "999"},
                  {"LocationY", "7"}, {"Size", "1"},  {"Theme", "4"},      {"Font", "2"}};
  for (const Expect& e : expected) {
    auto value = storedValue(e.name);
    EXPECT_EQ(value.first, static_cast<DWORD>(REG_SZ)) << e.name;
    EXPECT_EQ(withoutTerminator(value.second), e.bytes) << e.name;
  }
  PopupSettings s = load(YearView);
  EXPECT_STREQ(s.title, "");
  EXPECT_EQ(s.language, 6);
  EXPECT_EQ(s.locationX, 999);
  EXPECT_EQ(s.locationY, 7);
  EXPECT_EQ(s.scale, 0.9f);
  EXPECT_EQ(s.theme, 4);
  EXPECT_EQ(s.font, 2);
}

TEST_F(SettingsStore, SavingCenteredLeavesStoredPositionsAlone) {
  storeSetting("LocationX", "500");
  storeSetting("LocationY", "40");
  saveSettings(texts("F\xE9vrier", "0", "1", "2"));
  EXPECT_EQ(withoutTerminator(storedValue("LocationX").second), "500");
  EXPECT_EQ(withoutTerminator(storedValue("LocationY").second), "40");
  EXPECT_EQ(withoutTerminator(storedValue("Location").second), "0");
  EXPECT_STREQ(load().title, "F\xE9vrier");
}

TEST_F(SettingsStore, SavingWithoutTheKeyWritesNothingAndSaysSo) {
  SaveOutcome outcome = saveSettings(texts("Lost", "1", "1", "2"));
  EXPECT_EQ(outcome.error, ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(outcome.failedCount, 0);
  EXPECT_FALSE(keyExists());
}

}  // namespace
