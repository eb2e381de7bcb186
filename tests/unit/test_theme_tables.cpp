#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "settings/theme_tables.h"

namespace {

TEST(ThemeTables, NamesArePlainAsciiExceptTheFrenchFebruary) {
  EXPECT_EQ(std::strlen(monthNames[1][1]), 7u);
  EXPECT_EQ(std::memcmp(monthNames[1][1], "F\xE9vrier", 8), 0);
  for (int language = 0; language < kLanguageCount; ++language) {
    for (int month = 0; month < 12; ++month) {
      if (language == 1 && month == 1) continue;
      for (const char* p = monthNames[language][month]; *p; ++p)
        EXPECT_TRUE(*p > 0x20 && *p < 0x7F) << monthNames[language][month];
    }
    for (int day = 0; day < 7; ++day) EXPECT_EQ(std::strlen(weekdayNames[language][day]), 3u);
  }
}

TEST(ThemeTables, LanguageNamesFitTheListTextOfNineCharacters) {
  size_t longest = 0;
  for (const char* name : languageNames) longest = std::max(longest, std::strlen(name));
  EXPECT_EQ(longest, 9u);  // "Norwegian"
}

TEST(ThemeTables, LanguageIndexMatchesWholeNamesWithCase) {
  EXPECT_EQ(languageIndex("English"), 0);
  EXPECT_EQ(languageIndex("Dutch"), 6);
  EXPECT_EQ(languageIndex("Norwegian"), 7);
  for (const char* name : {"english", "Norwegia", "Dutch ", "", "Englishman"}) EXPECT_EQ(languageIndex(name), -1) << name;
}

TEST(ThemeTables, AnIndexOutsideATableGivesItsFirstEntry) {
  struct Case {
    int32_t index;
    int themeEntry, fontEntry;
  } cases[] = {{0, 0, 0}, {3, 3, 3}, {5, 5, 0}, {6, 0, 0}, {4, 4, 0}, {-1, 0, 0}, {INT32_MIN, 0, 0}, {INT32_MAX, 0, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(&paletteOf(c.index), &themePalettes[c.themeEntry]) << c.index;
    EXPECT_EQ(faceOf(c.index), faceNames[c.fontEntry]) << c.index;
  }
}

TEST(ThemeTables, ScaleForSize) {
  struct Case {
    int32_t sizeIndex;
    float scale;
  } cases[] = {{0, 1.0f}, {1, 0.9f}, {2, 0.75f}, {3, 1.0f}, {9, 1.0f}, {-1, 1.0f}, {INT32_MIN, 1.0f}};
  for (const Case& c : cases) EXPECT_EQ(scaleForSize(c.sizeIndex), c.scale) << c.sizeIndex;
  EXPECT_LT(scaleForSize(1), 0.9);  // single precision, slightly below
}

}  // namespace
