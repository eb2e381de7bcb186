// The fonts and brushes of one date call. They are made once per call from
// the settings in effect and released in one place when the calendar window
// is destroyed; the cells only hold copies of the handles.
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

}  // namespace

void createThemeObjects() {
  // Objects of an earlier call whose window never opened (so was never
  // destroyed) are released here instead of piling up.
  releaseThemeObjects();
  const PopupSettings& settings = popupState.settings;
  ThemeObjects& o = popupState.objects;
  // Out-of-range indexes cannot come from the store or the parameters; fall
  // back to the first entry rather than read past a table.
  const ThemePalette& palette = themePalettes[settings.theme >= 0 && settings.theme < kThemeCount ? settings.theme : 0];

  createThemeFonts(kBaseDpi);
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

  popupState.picked1 = 0;
  popupState.picked2 = 0;
}

void createThemeFonts(int32_t dpi) {
  const PopupSettings& settings = popupState.settings;
  ThemeObjects& o = popupState.objects;
  const char* face = faceNames[settings.font >= 0 && settings.font < kFontCount ? settings.font : 0];
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
  // The stock brushes belong to the system and are never deleted.
}
