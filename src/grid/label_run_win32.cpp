#include "grid/label_run_win32.h"

#include <algorithm>
#include <cstring>

bool LabelRun::continues(int y, HGDIOBJ font, COLORREF text, COLORREF background) const {
  return labels_ > 0 && y == y_ && font == font_ && text == text_ && background == background_;
}

// What a font's labels are placed by, kept for the process: the glyphs of
// a font follow from its description, so fonts made again for each window
// share one entry.
struct LabelRun::FontMetrics {
  static const INT kUnknown = -1, kAmbiguous = -2;
  LOGFONTA description;
  int height;
  INT widths[256];  // advances by character, or kUnknown, kAmbiguous
};

LabelRun::FontMetrics& LabelRun::metricsOf(HGDIOBJ font) {
  static const int kKeptFonts = 8;  // a few windows' weekday and day fonts
  static FontMetrics keptFonts[kKeptFonts];
  static int keptCount = 0, nextToReplace = 0;
  for (int k = 0; k < fontCount_; ++k)
    if (fonts_[k] && fontHandles_[k] == font) return *fonts_[k];
  LOGFONTA description = {};
  GetObjectA(font, sizeof description, &description);
  FontMetrics* found = nullptr;
  for (int k = 0; k < keptCount && !found; ++k)
    if (std::memcmp(&keptFonts[k].description, &description, sizeof description) == 0) found = &keptFonts[k];
  if (!found) {
    found = &keptFonts[keptCount < kKeptFonts ? keptCount++ : nextToReplace++ % kKeptFonts];
    // Never the entry of a font this run has met: its labels still use it.
    while (std::find(fonts_, fonts_ + fontCount_, found) != fonts_ + fontCount_)
      found = &keptFonts[nextToReplace++ % kKeptFonts];
    found->description = description;
    TEXTMETRICA tm = {};
    GetTextMetricsA(dc_, &tm);
    found->height = tm.tmHeight;
    for (INT& width : found->widths) width = FontMetrics::kUnknown;
  }
  const int slot = fontCount_ < kFonts ? fontCount_++ : kFonts - 1;
  fontHandles_[slot] = font;
  fonts_[slot] = found;
  return *found;
}

// The advance of `c` in the selected font when it is the same however the
// glyph is drawn: a text call places characters by the advance of the glyph
// it renders, and under Wine a one-bit glyph's may differ by a pixel from a
// smoothed one's and from the text extents. kAmbiguous otherwise.
INT LabelRun::advanceOf(FontMetrics& metrics, char c) {
  INT& width = metrics.widths[static_cast<unsigned char>(c)];
  if (width != FontMetrics::kUnknown) return width;
  const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
  GLYPHMETRICS mono = {}, smooth = {};
  INT extent = 0;
  const UINT code = static_cast<unsigned char>(c);
  const bool known = GetCharWidth32A(dc_, code, code, &extent) &&
                     GetGlyphOutlineA(dc_, code, GGO_BITMAP, &mono, 0, nullptr, &identity) != GDI_ERROR &&
                     GetGlyphOutlineA(dc_, code, GGO_GRAY8_BITMAP, &smooth, 0, nullptr, &identity) != GDI_ERROR;
  width = known && mono.gmCellIncX == extent && smooth.gmCellIncX == extent ? extent : FontMetrics::kAmbiguous;
  return width;
}

bool LabelRun::add(int x, int y, const char* label, int length, int right, int bottom, HGDIOBJ font,
                   COLORREF text, COLORREF background, bool boxed) {
  if (labels_ == kMostLabels || length_ + length > kMostChars) draw();
  FontMetrics& metrics = metricsOf(font);
  INT advances[kMostChars];
  int end = x;
  for (int k = 0; k < length; ++k) {
    advances[k] = advanceOf(metrics, label[k]);
    if (advances[k] == FontMetrics::kAmbiguous) {
      // Drawn on its own, where a call of its own puts each character.
      draw();
      drawAlone(x, y, label, length, text, background);
      return true;
    }
    end += advances[k];
  }
  if (labels_ == 0) {
    font_ = font;
    y_ = y;
    text_ = text;
    background_ = background;
  }
  if (length > 0) {
    if (length_ == 0) x_ = x;
    else advances_[length_ - 1] += x - end_;  // the last character advances to this label
    for (int k = 0; k < length; ++k) {
      chars_[length_] = label[k];
      advances_[length_++] = advances[k];
    }
    end_ = end;
  }
  const RECT box = {x, y, end, y + metrics.height};
  const bool inside = box.right < right && box.bottom <= bottom;
  if ((boxed || !inside) && box.right > box.left) boxes_[boxCount_++] = box;
  ++labels_;
  return box.right < right;
}

void LabelRun::drawAlone(int x, int y, const char* label, int length, COLORREF text, COLORREF background) {
  const COLORREF previousText = SetTextColor(dc_, text), previousBackground = SetBkColor(dc_, background);
  TextOutA(dc_, x, y, label, length);
  SetTextColor(dc_, previousText);
  SetBkColor(dc_, previousBackground);
}

void LabelRun::draw() {
  if (labels_ == 0) return;
  if (boxCount_ > 0) {
    const HGDIOBJ brush = SelectObject(dc_, GetStockObject(DC_BRUSH));
    const COLORREF brushColour = SetDCBrushColor(dc_, background_);
    for (int k = 0; k < boxCount_; ++k) {
      const RECT& b = boxes_[k];
      PatBlt(dc_, b.left, b.top, b.right - b.left, b.bottom - b.top, PATCOPY);
    }
    SetDCBrushColor(dc_, brushColour);
    SelectObject(dc_, brush);
  }
  if (length_ > 0) {
    const int mode = SetBkMode(dc_, TRANSPARENT);
    const COLORREF text = SetTextColor(dc_, text_);
    ExtTextOutA(dc_, x_, y_, 0, nullptr, chars_, static_cast<UINT>(length_), advances_);
    SetTextColor(dc_, text);
    SetBkMode(dc_, mode);
  }
  empty();
}
