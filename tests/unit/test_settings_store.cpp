#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "settings/settings_store.h"
#include "settings/theme_tables.h"

namespace {

// Stands in for the registry: the bytes stored under each name, read into a
// buffer of limit + 1 bytes the way the registry does (too long fails).
struct FakeKey {
  std::map<std::string, std::string> values;
  std::vector<std::string> reads;  // names asked for, in order
};

bool readFake(void* context, const char* name, size_t limit, char* text) {
  FakeKey* key = static_cast<FakeKey*>(context);
  key->reads.push_back(name);
  auto it = key->values.find(name);
  if (it == key->values.end() || it->second.size() > limit + 1) return false;
  std::memcpy(text, it->second.data(), it->second.size());
  return finishSettingText(text, it->second.size(), limit);
}

PopupSettings decode(FakeKey& key, PopupMode mode = SingleDate) {
  PopupSettings settings;
  std::memset(&settings, 0x5A, sizeof settings);  // stale bytes of an earlier call
  decodeSettings(readFake, &key, mode, settings);
  return settings;
}

TEST(SettingsStore, FinishSettingTextCountsCharactersUpToTheFirstNul) {
  struct Case {
    std::string bytes;
    size_t limit;
    bool ok;
    const char* text;
  } cases[] = {
      {"1", 1, true, "1"},           // written without terminator
      {std::string("1\0", 2), 1, true, "1"},  // written with it
      {"10", 1, false, ""},          // two characters in a two-byte buffer
      {"", 1, true, ""},
      {std::string("\0", 1), 1, true, ""},
      {"1234", 4, true, "1234"},
      {"12345", 4, false, ""},
      {std::string("12345", 4) + std::string("\0", 1), 4, true, "1234"},
      {std::string("A\0BC", 4), 49, true, "A"},
      {std::string(49, 't'), 49, true, nullptr},
      {std::string(50, 't'), 49, false, ""},
  };
  for (const Case& c : cases) {
    char buffer[64];
    std::memset(buffer, '#', sizeof buffer);
    std::memcpy(buffer, c.bytes.data(), c.bytes.size());
    bool ok = finishSettingText(buffer, c.bytes.size(), c.limit);
    EXPECT_EQ(ok, c.ok) << c.bytes;
    if (ok) EXPECT_STREQ(buffer, c.text ? c.text : std::string(49, 't').c_str()) << c.bytes;
  }
}

TEST(SettingsStore, NoValuesGiveTheDefaultsInEveryMode) {
  for (PopupMode mode : {SingleDate, DateRange, YearView}) {
    FakeKey key;
    PopupSettings s = decode(key, mode);
    EXPECT_STREQ(s.title, "Datewell 3.0");
    for (int32_t field : {s.language, s.calendarType, s.dateStyle, s.selectionMethod, s.location,
                          s.locationX, s.locationY, s.sizeIndex, s.theme, s.font})
      EXPECT_EQ(field, 0);
    EXPECT_EQ(s.scale, 1.0f);
  }
}

TEST(SettingsStore, InRangeValuesAreReadInStoredOrder) {
  FakeKey key;
  key.values = {{"Title", "My dates"}, {"Language", "7"}, {"CalendarType", "1"}, {"DateStyle", "2"},
                {"DateSelectionMethod", "1"}, {"Location", "1"}, {"LocationX", "999"},
                {"LocationY", "12"}, {"Size", "1"}, {"Theme", "5"}, {"Font", "3"}};
  PopupSettings s = decode(key, YearView);
  EXPECT_STREQ(s.title, "My dates");
  EXPECT_EQ(s.language, 7);
  EXPECT_EQ(s.calendarType, 1);
  EXPECT_EQ(s.dateStyle, 2);
  EXPECT_EQ(s.selectionMethod, 1);
  EXPECT_EQ(s.location, 1);
  EXPECT_EQ(s.locationX, 999);
  EXPECT_EQ(s.locationY, 12);
  EXPECT_EQ(s.sizeIndex, 1);
  EXPECT_EQ(s.scale, 0.9f);
  EXPECT_LT(s.scale, 0.9);
  EXPECT_EQ(s.theme, 5);
  EXPECT_EQ(s.font, 3);
  std::vector<std::string> order = {"Title", "Language", "CalendarType", "DateStyle",
                                    "DateSelectionMethod", "Location", "LocationX", "LocationY",
                                    "Size", "Theme", "Font"};
  EXPECT_EQ(key.reads, order);
}

TEST(SettingsStore, ScaleFollowsSizeOnlyInTheYearView) {
  struct Case {
    const char* size;
    PopupMode mode;
    int32_t sizeIndex;
    float scale;
  } cases[] = {
      {"2", YearView, 2, 0.75f}, {"2", SingleDate, 2, 1.0f}, {"2", DateRange, 2, 1.0f},
      {"1", YearView, 1, 0.9f},  {"0", YearView, 0, 1.0f},   {"3", YearView, 0, 1.0f},
      {"9", YearView, 0, 1.0f},  {"x", YearView, 0, 1.0f},   {"12", YearView, 0, 1.0f},
  };
  for (const Case& c : cases) {
    FakeKey key;
    key.values["Size"] = c.size;
    PopupSettings s = decode(key, c.mode);
    EXPECT_EQ(s.sizeIndex, c.sizeIndex) << c.size << " mode " << c.mode;
    EXPECT_EQ(s.scale, c.scale) << c.size << " mode " << c.mode;
  }
}

// Every index field: each single digit is either its value (in range) or the
// default 0; a non-digit and a two-character text give 0 as well.
TEST(SettingsStore, OutOfRangeDigitsCountAsMissingInEveryField) {
  struct Field {
    const char* name;
    int32_t count;
    int32_t PopupSettings::*member;
  } fields[] = {
      {"Language", 8, &PopupSettings::language},
      {"CalendarType", 2, &PopupSettings::calendarType},
      {"DateStyle", 3, &PopupSettings::dateStyle},
      {"DateSelectionMethod", 2, &PopupSettings::selectionMethod},
      {"Location", 2, &PopupSettings::location},
      {"Size", 3, &PopupSettings::sizeIndex},
      {"Theme", 6, &PopupSettings::theme},
      {"Font", 4, &PopupSettings::font},
  };
  for (const Field& f : fields) {
    for (int digit = 0; digit <= 9; ++digit) {
      FakeKey key;
      key.values[f.name] = std::string(1, static_cast<char>('0' + digit));
      key.values["LocationX"] = "5";
      PopupSettings s = decode(key, YearView);
      EXPECT_EQ(s.*f.member, digit < f.count ? digit : 0) << f.name << " " << digit;
      EXPECT_EQ(storedIndex(key.values[f.name].c_str(), f.count), digit < f.count ? digit : -1) << f.name << digit;
    }
    for (const char* text : {"x", " ", "-", "10", "-1", ""}) {
      FakeKey key;
      key.values[f.name] = text;
      EXPECT_EQ(decode(key).*f.member, 0) << f.name << " \"" << text << "\"";
      // a text without digits reads as 0; "10" and "-1" lie outside every table
      EXPECT_EQ(storedIndex(text, f.count), std::strlen(text) == 2 ? -1 : 0) << f.name << " \"" << text << "\"";
    }
  }
}

TEST(SettingsStore, PositionsAreReadOnlyForSpecified) {
  struct Case {
    std::map<std::string, std::string> values;
    int32_t location, x, y;
    bool positionsRead;
  } cases[] = {
      {{{"Location", "0"}, {"LocationX", "500"}, {"LocationY", "40"}}, 0, 0, 0, false},
      {{{"LocationX", "500"}, {"LocationY", "40"}}, 0, 0, 0, false},
      {{{"Location", "7"}, {"LocationX", "500"}}, 0, 0, 0, false},
      {{{"Location", "1"}, {"LocationX", "120"}}, 1, 120, 0, true},
      {{{"Location", "1"}, {"LocationX", "1234"}, {"LocationY", "12345"}}, 1, 1234, 0, true},
      {{{"Location", "1"}, {"LocationX", "-5"}, {"LocationY", " 7x"}}, 1, -5, 7, true},
      {{{"Location", "1"}, {"LocationX", std::string("80\0", 3)}, {"LocationY", "abc"}}, 1, 80, 0, true},
  };
  for (const Case& c : cases) {
    FakeKey key;
    key.values = c.values;
    PopupSettings s = decode(key);
    EXPECT_EQ(s.location, c.location);
    EXPECT_EQ(s.locationX, c.x);
    EXPECT_EQ(s.locationY, c.y);
    bool read = false;
    for (const std::string& name : key.reads) read |= name == "LocationX" || name == "LocationY";
    EXPECT_EQ(read, c.positionsRead);
  }
}

TEST(SettingsStore, TitleIsReadAsStoredWithinItsLimit) {
  struct Case {
    std::string stored;
    bool present;
    std::string title;
  } cases[] = {
      {"", true, ""},
      {"", false, "Datewell 3.0"},
      {std::string(49, 'a'), true, std::string(49, 'a')},
      {std::string(50, 'a'), true, "Datewell 3.0"},
      {std::string(49, 'a') + std::string("\0", 1), true, std::string(49, 'a')},
      {"F\xE9vrier", true, "F\xE9vrier"},
  };
  for (const Case& c : cases) {
    FakeKey key;
    if (c.present) key.values["Title"] = c.stored;
    EXPECT_EQ(std::string(decode(key).title), c.title) << c.stored.size();
  }
}

std::vector<std::string> writtenNames(const char* location) {
  SettingTexts texts = {"T", "1", "0", "2", "1", "", "1", "4", "2", "120", "45"};
  std::strcpy(texts.location, location);
  SettingWrite writes[kMaxSettingWrites];
  int count = settingWrites(texts, writes);
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) names.push_back(std::string(writes[i].name) + "=" + writes[i].text);
  return names;
}

TEST(SettingsStore, PositionsAreWrittenOnlyForSpecified) {
  std::vector<std::string> centered = {"Title=T", "Language=1", "CalendarType=0", "DateStyle=2",
                                       "DateSelectionMethod=1", "Location=0", "Size=1", "Theme=4",
                                       "Font=2"};
  EXPECT_EQ(writtenNames("0"), centered);
  std::vector<std::string> specified = {"Title=T", "Language=1", "CalendarType=0", "DateStyle=2",
                                        "DateSelectionMethod=1", "Location=1", "LocationX=120",
                                        "LocationY=45", "Size=1", "Theme=4", "Font=2"};
  EXPECT_EQ(writtenNames("1"), specified);
}

TEST(SettingsStore, IndexTextsStayWithinTheirLists) {
  struct Case {
    int32_t position, count;
    const char* text;
  } cases[] = {{0, 2, "0"}, {1, 2, "1"}, {7, 8, "7"}, {5, 6, "5"},
               {-1, 8, "0"}, {2, 2, "0"}, {8, 8, "0"}, {12, 20, "0"}, {INT32_MIN, 3, "0"},
               {9, 10, "9"}, {10, 11, "0"}};
  for (const Case& c : cases) {
    char text[2] = {'#', '#'};
    setIndexText(text, c.position, c.count);
    EXPECT_STREQ(text, c.text) << c.position << " of " << c.count;
  }
}

TEST(SettingsStore, PositionsAreNeededOnlyForSpecified) {
  struct Case {
    const char *location, *left, *top;
    bool missing;
  } cases[] = {{"1", "", "5", true},  {"1", "5", "", true},  {"1", "", "", true}, {"1", "0", "0", false},
               {"0", "", "", false},  {"0", "5", "", false}, {"", "", "", true}};
  for (const Case& c : cases) {
    SettingTexts texts = {};
    std::strcpy(texts.location, c.location);
    std::strcpy(texts.left, c.left);
    std::strcpy(texts.top, c.top);
    EXPECT_EQ(positionsMissing(texts), c.missing) << c.location << "|" << c.left << "|" << c.top;
  }
}

}  // namespace
