#include "settings/theme_tables.h"

#include <cstring>

#include "common/display_scale.h"

const ThemePalette themePalettes[kThemeCount] = {
    // background monthTitle weekdayBg  weekdayTx  dayText    selectedBg
    {0xC7D0D4, 0x000000, 0x8FE6F0, 0x000000, 0xB80E1A, 0xCB6699},  // Default
    {0xFA001D, 0xFFFFFF, 0xF69480, 0x000000, 0xB80E1A, 0x61F2FF},  // Blue
    {0x940080, 0xFFFFFF, 0xCC6699, 0x000000, 0x5C0A68, 0xE70986},  // Purple
    {0x0403FD, 0x000000, 0xCACEFF, 0x000000, 0x2C2B45, 0x3131B3},  // Red
    {0x05A518, 0x000000, 0x097315, 0xFFFFFF, 0x1E390B, 0x11FF70},  // Green
    {0x11FFFC, 0x000000, 0x80F6EF, 0x000000, 0x097359, 0x28CEFE},  // Yellow
};

const char* const themeNames[kThemeCount] = {"Default", "Blue", "Purple", "Red", "Green", "Yellow"};

const char* const faceNames[kFontCount] = {"Arial", "Courier New", "Times New Roman", "MS Serif"};

const int32_t sizePercents[kSizeCount] = {100, 90, 75};

const char* const sizeNames[kSizeCount] = {"Normal", "Small", "Smaller"};

const char* const languageNames[kLanguageCount] = {"English", "French", "German", "Italian",
                                                   "Spanish", "Swedish", "Dutch",  "Norwegian"};

const char* const monthNames[kLanguageCount][12] = {
    {"January", "February", "March", "April", "May", "June", "July", "August", "September",
     "October", "November", "December"},
    {"Janvier", "F\xE9vrier", "Mars", "Avril", "Mai", "Juin", "Juillet", "Aout", "Septembre",
     "Octobre", "Novembre", "Decembre"},
    {"Januar", "Februar", "Marz", "April", "Mai", "Juni", "Juli", "August", "September",
     "Oktober", "November", "Dezember"},
    {"Gennaio", "Febbraio", "Marzo", "Aprile", "Maggio", "Giugno", "Luglio", "Agosto",
     "Settembre", "Ottobre", "Novembre", "Dicembre"},
    {"Enero", "Febrero", "Marzo", "Abril", "Mayo", "Junio", "Julio", "Agosto", "Septiembre",
     "Octubre", "Noviembre", "Diciembre"},
    {"Januari", "Februari", "Mars", "April", "Maj", "Juni", "Juli", "Augusti", "September",
     "Oktober", "November", "December"},
    {"Januari", "Februari", "Maart", "April", "Mei", "Juni", "Juli", "Augustus", "September",
     "Oktober", "November", "December"},
    {"Januar", "Februar", "Mars", "April", "Mai", "Juni", "Juli", "August", "September",
     "Oktober", "November", "Desember"},
};

const char* const weekdayNames[kLanguageCount][7] = {
    {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"},
    {"Dim", "Lun", "Mar", "Mer", "Jeu", "Ven", "Sam"},
    {"Son", "Mon", "Die", "Mit", "Don", "Fre", "Sam"},
    {"Dom", "Lun", "Mar", "Mer", "Gio", "Ven", "Sab"},
    {"Dom", "Lun", "Mar", "Mie", "Jue", "Vie", "Sab"},
    {"Son", "Man", "Tis", "Ons", "Tor", "Fre", "Lor"},
    {"Zon", "Maa", "Din", "Woe", "Don", "Vri", "Zat"},
    {"Son", "Man", "Tir", "Ons", "Tor", "Fre", "Lor"},
};

// A negative index, taken as unsigned, lies past every table too.
const ThemePalette& paletteOf(int32_t theme) {
  return themePalettes[static_cast<uint32_t>(theme) < kThemeCount ? theme : 0];
}

const char* faceOf(int32_t font) { return faceNames[static_cast<uint32_t>(font) < kFontCount ? font : 0]; }

float scaleForSize(int32_t sizeIndex) {
  if (sizeIndex < 0 || sizeIndex >= kSizeCount) sizeIndex = 0;  // unknown size: Normal
  // Single-precision product, as the year-view geometry expects: 0.9f < 0.9.
  float percent = static_cast<float>(sizePercents[sizeIndex]);
  return percent * 0.01f;
}

int32_t languageIndex(const char* name) {
  for (int32_t i = 0; i < kLanguageCount; ++i)
    if (std::strcmp(languageNames[i], name) == 0) return i;
  return -1;
}

int32_t fontHeight(int32_t height96, float scale, int32_t dpi) {
  return dpiScaled(static_cast<int32_t>(scale * static_cast<float>(height96)), dpi);
}
