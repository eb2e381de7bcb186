// Cell labels drawn a row at a time. Under Wine a text call costs several
// times what its glyphs do (about 9 microseconds for a label of one or two
// characters, barely more for fourteen), so the labels of neighbouring cells
// that share a row, a font and colours go out in one call, each character
// placed where a call of its own would put it.
#pragma once
#include <windows.h>

class LabelRun {
 public:
  explicit LabelRun(HDC dc) : dc_(dc) { empty(); }
  LabelRun(const LabelRun&) = delete;
  LabelRun& operator=(const LabelRun&) = delete;

  // Whether a label at top `y` in `font` (selected in the device context)
  // and these colours can join the labels collected so far.
  bool continues(int y, HGDIOBJ font, COLORREF text, COLORREF background) const;
  // Adds a label at (x, y) of a cell whose right and bottom border lines are
  // at `right` and `bottom`; `boxed` when the cell's fill is not its
  // background colour, so that the label's box must be filled (as it must
  // be wherever it reaches a border line). Returns false when the box
  // reaches the right border line: the caller then draws the run before
  // anything else is drawn over it, as a call of its own would be. The
  // label must continue the run: the caller draws the run first otherwise,
  // before the cell's outline can cover its labels.
  bool add(int x, int y, const char* label, int length, int right, int bottom, HGDIOBJ font, COLORREF text,
           COLORREF background, bool boxed);
  // Draws the collected labels as TextOut in opaque mode would one by one:
  // each label's box in the background colour, then the glyphs of all in
  // one transparent call. Leaves the brush, background mode and text colour
  // as they were, and the run empty.
  void draw();

 private:
  static const int kFonts = 3;        // weekday and day fonts, one spare
  static const int kMostLabels = 7;   // a row
  static const int kMostChars = 7 * 3;
  struct FontMetrics;
  FontMetrics& metricsOf(HGDIOBJ font);
  INT advanceOf(FontMetrics& metrics, char c);
  void drawAlone(int x, int y, const char* label, int length, COLORREF text, COLORREF background);
  // No labels, characters or boxes: a new run, and the run after each draw.
  void empty() { labels_ = length_ = boxCount_ = 0; }

  HDC dc_;
  HGDIOBJ fontHandles_[kFonts] = {};
  FontMetrics* fonts_[kFonts] = {};  // the metrics of the fonts met so far, or none
  int fontCount_ = 0;
  HGDIOBJ font_ = nullptr;  // the run's
  int x_ = 0, y_ = 0;  // the first character's place
  int end_ = 0;        // where the character after the last would go
  COLORREF text_ = 0, background_ = 0;
  char chars_[kMostChars] = {};
  INT advances_[kMostChars] = {};
  RECT boxes_[kMostLabels] = {};  // the boxes to fill
  int length_, labels_, boxCount_;  // set by empty()
};
