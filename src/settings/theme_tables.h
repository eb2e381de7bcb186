// Constant tables of the calendar's look and words: six colour themes, four
// font faces, the year-view sizes, and the names of eight languages. Every
// text is 8-bit and plain ASCII except the French February, "F\xE9vrier".
#pragma once
#include <cstdint>

#include "call/calendar_cell.h"

constexpr int kThemeCount = 6;
constexpr int kFontCount = 4;
constexpr int kLanguageCount = 8;
constexpr int kSizeCount = 3;

struct ThemePalette {
  Colour background;          // window background, year-view title background
  Colour monthTitleText;      // year-view month titles
  Colour weekdayBackground;   // heading cells
  Colour weekdayText;         // heading text
  Colour dayText;             // day numbers of the shown month
  Colour selectedBackground;  // highlighted day
};

extern const ThemePalette themePalettes[kThemeCount];
extern const char* const themeNames[kThemeCount];
extern const char* const faceNames[kFontCount];
extern const int32_t sizePercents[kSizeCount];
extern const char* const sizeNames[kSizeCount];
extern const char* const languageNames[kLanguageCount];
extern const char* const monthNames[kLanguageCount][12];   // January first
extern const char* const weekdayNames[kLanguageCount][7];  // Sunday first

// Index of the language whose name equals `name` exactly (case counts);
// -1 when none does.
int32_t languageIndex(const char* name);

// The palette of a theme index and the face of a font index; an index
// outside the table (another tool may store one) gives the first entry.
const ThemePalette& paletteOf(int32_t theme);
const char* faceOf(int32_t font);

// The year view's size factor for a size index: percent x 0.01 in single
// precision (so 0.9 is stored slightly below 0.9); an index outside 0-2
// gives the Normal size, 1.0.
float scaleForSize(int32_t sizeIndex);

// Height in pixels of a calendar font given as `height96` (14 for days and
// weekdays, 18 for the year view's month titles): the size factor's product
// in single precision truncated, then enlarged for a display of `dpi` dots
// per inch (dpiScaled).
int32_t fontHeight(int32_t height96, float scale, int32_t dpi);
