// The fonts and brushes of one date call. They are made once per call from
// the settings in effect (again while the window is open when the system's
// colours change) and released in one place when the calendar window is
// destroyed; the cells only hold copies of the handles.
#include "settings/theme_objects.h"

#include <windows.h>

#include "call/popup_state.h"
#include "common/display_scale.h"
#include "settings/theme_tables.h"

namespace {

constexpr Colour kDayBkColor = 0xFFFFFF;
constexpr Colour kOtherMonthBkColor = 0xBEBEBE;
constexpr Colour kOtherMonthTextColor = 0x808080;
constexpr Colour kSelectedTextColor = 0x000000;

// Heights are character cell heights (positive).
HFONT makeFont(int32_t height, int weight, const char* face) {
  // ANSI_CHARSET, not SHIFTJIS_CHARSET: with the Japanese set the font mapper
  // swaps the face for a Japanese font wherever one is installed, and draws
  // the French February's 0xE9 as the lead byte of a double-byte character.
  return CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH, face);
}

void deleteHandle(void*& handle) {
  if (handle) DeleteObject(static_cast<HGDIOBJ>(handle));
  handle = nullptr;
}

// Whether the user has high contrast on. The structure's size must be set
// in both places, or the call fails.
bool highContrastOn() {
  HIGHCONTRASTA setting = {};
  setting.cbSize = sizeof setting;
  return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof setting, &setting, 0) &&
         (setting.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

// The brushes and colours of the theme: the window and headings in its
// colours, the days on the stock white and light grey brushes. The objects
// were released just before, which leaves no line pen and high contrast off.
void makeThemeColours(ThemeObjects& o, const ThemePalette& palette) {
  o.dialogBrush = CreateSolidBrush(palette.background);
  o.weekdayBrush = CreateSolidBrush(palette.weekdayBackground);
  o.otherMonthBrush = GetStockObject(LTGRAY_BRUSH);
  o.dayBrush = GetStockObject(WHITE_BRUSH);
  o.selectedBrush = CreateSolidBrush(palette.selectedBackground);

  o.otherMonthBkColor = kOtherMonthBkColor;
  o.dayBkColor = kDayBkColor;
  o.otherMonthTextColor = kOtherMonthTextColor;
  o.selectedTextColor = kSelectedTextColor;
  o.weekdayBkColor = palette.weekdayBackground;
  o.selectedBkColor = palette.selectedBackground;
  o.monthTitleTextColor = palette.monthTitleText;
  o.weekdayTextColor = palette.weekdayText;
  o.dayTextColor = palette.dayText;
  o.windowBkColor = palette.background;
}

// The system's colours in matched pairs, as the user chose them: text in
// WindowText on Window (the neighbouring months' days in GrayText, as the
// platform's month calendar draws them), what is selected in HighlightText
// on Highlight, lines in WindowText. Every brush is a solid one of its own:
// the system's brushes are replaced when the colours change.
void makeSystemColours(ThemeObjects& o) {
  const COLORREF window = GetSysColor(COLOR_WINDOW), text = GetSysColor(COLOR_WINDOWTEXT);
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  o.dialogBrush = CreateSolidBrush(window);
  o.weekdayBrush = CreateSolidBrush(window);
  o.otherMonthBrush = CreateSolidBrush(window);
  o.dayBrush = CreateSolidBrush(window);
  o.selectedBrush = CreateSolidBrush(highlight);

  o.windowBkColor = o.dayBkColor = o.otherMonthBkColor = o.weekdayBkColor = window;
  o.monthTitleTextColor = o.weekdayTextColor = o.dayTextColor = text;
  o.otherMonthTextColor = GetSysColor(COLOR_GRAYTEXT);
  o.selectedBkColor = highlight;
  o.selectedTextColor = GetSysColor(COLOR_HIGHLIGHTTEXT);
  o.linePen = CreatePen(PS_SOLID, 1, text);
  o.highContrast = 1;
}

// Makes every object for a display of `dpi`, releasing those held first.
void makeThemeObjects(int32_t dpi) {
  // Objects of an earlier call whose window never opened (so was never
  // destroyed) are released here instead of piling up.
  releaseThemeObjects();
  const PopupSettings& settings = popupState.settings;
  const ThemePalette& palette = paletteOf(settings.theme);
  createThemeFonts(dpi);
  if (highContrastOn())
    makeSystemColours(popupState.objects);
  else
    makeThemeColours(popupState.objects, palette);
}

}  // namespace

void createThemeObjects() {
  makeThemeObjects(kBaseDpi);
  popupState.picked1 = 0;
  popupState.picked2 = 0;
}

void remakeThemeObjects() { makeThemeObjects(popupState.dpi ? popupState.dpi : kBaseDpi); }

void createThemeFonts(int32_t dpi) {
  const PopupSettings& settings = popupState.settings;
  ThemeObjects& o = popupState.objects;
  const char* face = faceOf(settings.font);
  releaseThemeFonts();
  o.weekdayFont = makeFont(fontHeight(14, settings.scale, dpi), FW_BOLD, face);
  o.dayFont = makeFont(fontHeight(14, settings.scale, dpi), 0, face);
  o.monthTitleFont = makeFont(fontHeight(18, settings.scale, dpi), FW_BOLD, face);
}

void releaseThemeFonts() {
  ThemeObjects& o = popupState.objects;
  deleteHandle(o.weekdayFont);
  deleteHandle(o.dayFont);
  deleteHandle(o.monthTitleFont);
}

void releaseThemeObjects() {
  ThemeObjects& o = popupState.objects;
  releaseThemeFonts();
  deleteHandle(o.dialogBrush);
  deleteHandle(o.weekdayBrush);
  deleteHandle(o.selectedBrush);
  deleteHandle(o.linePen);
  // The stock brushes belong to the system and are never deleted; in high
  // contrast the day brushes are the call's own.
  if (o.highContrast) {
    deleteHandle(o.otherMonthBrush);
    deleteHandle(o.dayBrush);
  }
  o.highContrast = 0;
}
