// The fonts, brushes and colours of a date call: what they are made from,
// that every one made is released, and that the fonts draw the French
// February with the chosen face.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "call/popup_state.h"
#include "gdi_count.h"
#include "harness.h"
#include "settings/theme_objects.h"
#include "settings/theme_tables.h"

namespace {

void useSettings(int theme, int font, float scale) {
  popupState.settings.theme = theme;
  popupState.settings.font = font;
  popupState.settings.scale = scale;
}

LOGFONTA fontOf(void* handle) {
  LOGFONTA font = {};
  EXPECT_EQ(GetObjectA(static_cast<HGDIOBJ>(handle), sizeof font, &font), static_cast<int>(sizeof font));
  return font;
}

COLORREF brushColour(void* handle) {
  LOGBRUSH brush = {};
  GetObjectA(static_cast<HGDIOBJ>(handle), sizeof brush, &brush);
  EXPECT_EQ(brush.lbStyle, static_cast<UINT>(BS_SOLID));
  return brush.lbColor;
}

// The six themes' colours as the product documents them, in the order
// background, month title, weekday background, weekday text, day text,
// selected background (0x00BBGGRR).
const Colour kDocumentedPalettes[6][6] = {
    {0xC7D0D4, 0x000000, 0x8FE6F0, 0x000000, 0xB80E1A, 0xCB6699},  // Default
    {0xFA001D, 0xFFFFFF, 0xF69480, 0x000000, 0xB80E1A, 0x61F2FF},  // Blue
    {0x940080, 0xFFFFFF, 0xCC6699, 0x000000, 0x5C0A68, 0xE70986},  // Purple
    {0x0403FD, 0x000000, 0xCACEFF, 0x000000, 0x2C2B45, 0x3131B3},  // Red
    {0x05A518, 0x000000, 0x097315, 0xFFFFFF, 0x1E390B, 0x11FF70},  // Green
    {0x11FFFC, 0x000000, 0x80F6EF, 0x000000, 0x097359, 0x28CEFE},  // Yellow
};

TEST(ThemeObjects, MadeFromThemeFontAndScale) {
  struct Case {
    int theme, font;
    float scale;
    int dpi;  // the calendar window's display; fonts made again unless 96
    LONG dayHeight, titleHeight;
  } cases[] = {
      {0, 0, 1.0f, 96, 14, 18}, {1, 1, 0.9f, 96, 12, 16},  {2, 2, 0.75f, 96, 10, 13},
      {3, 3, 1.0f, 96, 14, 18}, {4, 0, 0.75f, 96, 10, 13}, {5, 3, 0.9f, 96, 12, 16},
      {1, 1, 0.9f, 144, 18, 24}, {2, 2, 0.75f, 120, 12, 16},
  };
  for (const Case& c : cases) {
    useSettings(c.theme, c.font, c.scale);
    popupState.picked1 = popupState.picked2 = 1;
    createThemeObjects();
    if (c.dpi != 96) createThemeFonts(c.dpi);
    const ThemeObjects& o = popupState.objects;
    struct FontCase {
      void* handle;
      LONG height, weight;
    } fonts[] = {{o.weekdayFont, c.dayHeight, 700}, {o.dayFont, c.dayHeight, 0},
                 {o.monthTitleFont, c.titleHeight, 700}};
    for (const FontCase& f : fonts) {
      LOGFONTA font = fontOf(f.handle);
      EXPECT_EQ(font.lfHeight, f.height) << c.theme;
      EXPECT_EQ(font.lfWeight, f.weight);
      EXPECT_STREQ(font.lfFaceName, faceNames[c.font]);
      EXPECT_EQ(font.lfCharSet, ANSI_CHARSET);
      EXPECT_EQ(font.lfPitchAndFamily, 2);
      EXPECT_EQ(font.lfWidth + font.lfEscapement + font.lfOrientation + font.lfItalic + font.lfUnderline +
                    font.lfStrikeOut + font.lfOutPrecision + font.lfClipPrecision + font.lfQuality,
                0);
    }
    const Colour* p = kDocumentedPalettes[c.theme];
    EXPECT_EQ(brushColour(o.dialogBrush), p[0]);
    EXPECT_EQ(brushColour(o.weekdayBrush), p[2]);
    EXPECT_EQ(brushColour(o.selectedBrush), p[5]);
    EXPECT_EQ(o.otherMonthBrush, GetStockObject(LTGRAY_BRUSH));
    EXPECT_EQ(o.dayBrush, GetStockObject(WHITE_BRUSH));
    Colour expected[] = {p[1], p[2], p[3], p[4], p[5], 0xFFFFFF, 0xBEBEBE, 0x808080, 0x000000};
    Colour actual[] = {o.monthTitleTextColor, o.weekdayBkColor, o.weekdayTextColor, o.dayTextColor,
                       o.selectedBkColor, o.dayBkColor, o.otherMonthBkColor, o.otherMonthTextColor,
                       o.selectedTextColor};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(actual[i], expected[i]) << "colour " << i << " theme " << c.theme;
    EXPECT_EQ(popupState.picked1, 0);
    EXPECT_EQ(popupState.picked2, 0);
    releaseThemeObjects();
  }
}

TEST(ThemeObjects, ReleaseDeletesTheMadeObjectsAndKeepsTheStockOnes) {
  useSettings(2, 1, 1.0f);
  createThemeObjects();
  ThemeObjects made = popupState.objects;
  releaseThemeObjects();
  for (void* handle : {made.weekdayFont, made.dayFont, made.monthTitleFont, made.dialogBrush,
                       made.weekdayBrush, made.selectedBrush})
    EXPECT_EQ(GetObjectType(static_cast<HGDIOBJ>(handle)), 0u) << handle;
  EXPECT_EQ(GetObjectType(GetStockObject(LTGRAY_BRUSH)), static_cast<DWORD>(OBJ_BRUSH));
  EXPECT_EQ(GetObjectType(GetStockObject(WHITE_BRUSH)), static_cast<DWORD>(OBJ_BRUSH));
  releaseThemeObjects();  // a second release deletes nothing more
}

TEST(ThemeObjects, SeriesOfCallsLeavesNoFontOrBrushBehind) {
  const GdiCounts before = countGdiObjects();
  ASSERT_GT(before.fonts, 0) << "no GDI handle table in the PEB";
  useSettings(0, 0, 1.0f);
  createThemeObjects();
  // The count sees exactly what one call holds.
  EXPECT_EQ(countGdiObjects().fonts, before.fonts + 3);
  EXPECT_EQ(countGdiObjects().brushes, before.brushes + 3);
  releaseThemeObjects();
  for (int call = 0; call < 1000; ++call) {
    useSettings(call % kThemeCount, call % kFontCount, call % 3 == 0 ? 0.75f : 1.0f);
    createThemeObjects();
    if (call % 7 == 0) createThemeObjects();  // a call whose window never opened
    if (call % 5 == 0) createThemeFonts(144);  // a window on a 144-DPI display
    releaseThemeObjects();
  }
  const GdiCounts after = countGdiObjects();
  EXPECT_EQ(after.fonts, before.fonts);
  EXPECT_EQ(after.brushes, before.brushes);
  EXPECT_EQ(after.total, before.total);
}

// Glyph indexes of `text` drawn with `font`, and the face and character set
// the font mapper really chose.
struct Drawn {
  std::string face;
  int charset = -1;
  int glyphs = 0;      // glyphs the text maps to
  int missing = 0;     // of which the font has none
};

Drawn draw(HFONT font, const char* text) {
  Drawn d;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, font);
  char face[LF_FACESIZE] = {};
  GetTextFaceA(dc, sizeof face, face);
  d.face = face;
  d.charset = GetTextCharset(dc);
  WORD indexes[32];
  d.glyphs = static_cast<int>(GetGlyphIndicesA(dc, text, lstrlenA(text), indexes, GGI_MARK_NONEXISTING_GLYPHS));
  for (int i = 0; i < d.glyphs; ++i) d.missing += indexes[i] == 0xFFFF;
  SelectObject(dc, previous);
  DeleteDC(dc);
  return d;
}

// With the Japanese character set a Japanese font (IPAGothic here) takes the
// place of every face, and "F\xE9vrier" loses a glyph: 0xE9 starts a
// double-byte character with the "v". The calendar's fonts use ANSI: the
// chosen face, seven glyphs.
TEST(ThemeObjects, FontsDrawTheFrenchFebruaryWithTheChosenFace) {
  for (int font = 0; font < kFontCount; ++font) {
    useSettings(0, font, 1.0f);
    createThemeObjects();
    std::string face;
    for (void* handle : {popupState.objects.dayFont, popupState.objects.monthTitleFont}) {
      Drawn month = draw(static_cast<HFONT>(handle), "F\xE9vrier");
      Drawn day = draw(static_cast<HFONT>(handle), "25");
      face = month.face;
      EXPECT_EQ(month.charset, ANSI_CHARSET) << faceNames[font];
      EXPECT_EQ(month.face, faceNames[font]);  // scripts/wine-run maps the four faces to Liberation fonts
      EXPECT_EQ(month.glyphs, 7) << faceNames[font];
      EXPECT_EQ(month.missing, 0) << faceNames[font];
      EXPECT_EQ(day.glyphs, 2) << faceNames[font];
      EXPECT_EQ(day.missing, 0) << faceNames[font];
    }
    releaseThemeObjects();

    // What the Japanese set would have drawn, for the record.
    HFONT japanese = CreateFontA(14, 0, 0, 0, 0, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, 0, 0, 0, 2, faceNames[font]);
    Drawn shown = draw(japanese, "F\xE9vrier");
    DeleteObject(japanese);
    std::printf("%-16s ANSI: %s, 7 glyphs; SHIFTJIS_CHARSET: %s, %d glyphs\n", faceNames[font], face.c_str(),
                shown.face.c_str(), shown.glyphs);
  }
}

}  // namespace
