// The calendar window on the display of the prefix this program runs in
// (ctest runs it at 96, 120 and 144 DPI, scripts/wine-run's WINE_DPI): in
// every mode the window is the 96-DPI one enlarged, and so with Wine's own
// dialog font (WINE_DIALOG_FONT=wine). No two controls overlap and none
// covers a month; the months lie within the client area and cover the same
// share of it as at 96 DPI, their frames meeting their cells; a click on a
// cell picks the date drawn there.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "calendar_support.h"

namespace {

const int kMonthLists[] = {1015, 1017}, kYearLists[] = {1016, 1018};  // left, right calendar
const int kOk = 1033, kCancel = 1034;
const int kControls[] = {kMonthLists[0], kYearLists[0], kMonthLists[1], kYearLists[1], kOk, kCancel};

// The DPI the prefix was made for.
int prefixDpi() {
  const char* dpi = std::getenv("WINE_DPI");
  return dpi ? std::atoi(dpi) : 96;
}

struct Pick {
  int slot, position;
};

struct Case {
  const char* function;
  const char* parameter;
  int slots;              // months shown
  std::vector<Pick> picks;
  const char* result;
  // Width and height of the months' bounding box and of the client area at
  // 96 DPI, as the window has them there.
  int gridWidth96, gridHeight96, clientWidth96, clientHeight96;
};

const Case kCases[] = {
    {"XELM CalPopup", "12/25/2003", 1, {{1, 48}}, "01/10/2004", 239, 113, 251, 150},
    {"XELM CalPopup", "3/5/2004|||||||command", 1, {{1, 20}}, "03/13/2004", 239, 113, 251, 180},
    {"XELM CalPopup2", "03/01/2004|04/01/2004", 2, {{1, 12}, {2, 23}}, "03/05/2004...04/13/2004", 505, 113, 520, 150},
    {"XELM CalPopup2", "03/01/2004|04/01/2004|||||||command", 2, {{1, 12}, {2, 23}}, "03/05/2004...04/13/2004",
     505, 113, 520, 180},
    {"XELM YearPopup", "2004", 12, {{6, 20}}, "06/12/2004", 771, 530, 783, 610},
    {"XELM YearPopup", "2004|||||||command", 12, {{6, 20}}, "06/12/2004", 771, 530, 783, 640},
    {"XELM YearPopup", "2004||||||||||small", 12, {{12, 48}}, "01/08/2005", 689, 474, 704, 546},
    {"XELM YearPopup", "2004|||||||command|||smaller", 12, {{3, 7}}, "02/29/2004", 575, 390, 585, 481},
};

bool overlap(const RECT& a, const RECT& b) {
  RECT common;
  return IntersectRect(&common, &a, &b) != 0;
}

RECT monthBox(const CalendarGeometry& g, int slot) {
  const RECT first = g.cell(slot, 0), last = g.cell(slot, 48);
  return {first.left, first.top, last.right, last.bottom};
}

void checkLayout(WindowDriver& d, const Case& c) {
  CalendarGeometry g;
  ASSERT_TRUE(d.calendarGeometry(g));
  // The DPI the plug-in takes from the window's device context is the
  // prefix's: Wine 8 reads it from HKCU\Control Panel\Desktop LogPixels.
  EXPECT_EQ(g.dpi, prefixDpi());

  std::vector<RECT> controls;
  for (int id : kControls)
    if (d.controlVisible(id)) controls.push_back(d.controlRectInClient(id));
  for (size_t i = 0; i < controls.size(); ++i)
    for (size_t j = i + 1; j < controls.size(); ++j) EXPECT_FALSE(overlap(controls[i], controls[j])) << i << " " << j;

  // The lists stand over their months as at 96 DPI: a calendar's month list
  // 36 pixels right of its first heading, its year list 59 left of its last;
  // the year view's only list centred over February, 10 to the left.
  for (int side = 0; side < (c.slots == 12 ? 0 : c.slots); ++side) {
    const RECT month = d.controlRectInClient(kMonthLists[side]), year = d.controlRectInClient(kYearLists[side]);
    EXPECT_EQ(month.left, g.cell(side + 1, 0).left + g.px(36)) << side;
    EXPECT_EQ(year.left, g.cell(side + 1, 6).left - g.px(59)) << side;
    EXPECT_EQ(month.top, g.px(5)) << side;
  }
  if (c.slots == 12) {
    const RECT year = d.controlRectInClient(kYearLists[0]);
    const int left = g.cell(2, 0).left, right = g.cell(2, 48).right;
    EXPECT_EQ(year.left, left + (right - left) / 2 - widthOf(year) / 2 - g.px(10));
    EXPECT_EQ(year.top, g.px(5));
  }

  // Each calendar's frame meets its cells: its bottom line, drawn in the
  // black pen, reaches the first column's left edge and no further, on the
  // right calendar as on the left.
  const int frameBottom = g.layoutClientHeight - g.px(5) - 1;
  for (int slot = 1; slot <= (c.slots == 12 ? 0 : c.slots); ++slot) {
    const int left = g.cell(slot, 42).left;
    EXPECT_EQ(d.pixelAt(left, frameBottom), COLORREF(0)) << "frame of calendar " << slot;
    EXPECT_EQ(d.pixelAt(left + 1, frameBottom), COLORREF(0)) << "frame of calendar " << slot;
    EXPECT_NE(d.pixelAt(left - 1, frameBottom), COLORREF(0)) << "frame of calendar " << slot;
  }
  // The right calendar's frame ends at its last column's outer edge.
  if (c.slots == 2) {
    const int right = g.cell(2, 48).right;
    EXPECT_EQ(d.pixelAt(right, frameBottom), COLORREF(0)) << "right line of the right calendar";
    EXPECT_NE(d.pixelAt(right + 1, frameBottom), COLORREF(0)) << "frame past the right calendar's last column";
  }
  // The first calendar's frame ends at its right line, 7 pixels in from the
  // edge of its area: the margin beyond it keeps the background.
  if (c.slots != 12) {
    const int rightLine = g.layoutClientWidth - g.px(7);
    EXPECT_EQ(d.pixelAt(rightLine, frameBottom), COLORREF(0)) << "right line of the first calendar";
    EXPECT_EQ(d.pixelAt(rightLine, (g.px(31) + frameBottom) / 2), COLORREF(0)) << "right line, halfway down";
    EXPECT_NE(d.pixelAt(rightLine + 2, frameBottom), COLORREF(0)) << "frame past its right line";
  }

  // Centred over the host window, the window still lies inside the work area
  // (at 144 DPI the year view with OK and Cancel is over 1000 pixels high).
  RECT area, window = d.windowRect();
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  EXPECT_TRUE(window.left >= area.left && window.top >= area.top && window.right <= area.right &&
              window.bottom <= area.bottom)
      << window.left << "," << window.top << " " << widthOf(window) << "x" << heightOf(window);

  const RECT client = d.clientRect();
  RECT grid = monthBox(g, 1);
  for (int slot = 1; slot <= c.slots; ++slot) {
    const RECT month = monthBox(g, slot);
    for (const RECT& control : controls) EXPECT_FALSE(overlap(control, month)) << "month " << slot;
    UnionRect(&grid, &grid, &month);
  }
  EXPECT_TRUE(grid.left >= 0 && grid.top >= 0 && grid.right <= client.right && grid.bottom <= client.bottom)
      << grid.right << "x" << grid.bottom << " in " << client.right << "x" << client.bottom;
  // The share of the client area the months cover: within a few pixels'
  // truncation of the 96-DPI share.
  const double widthShare = double(widthOf(grid)) / client.right, heightShare = double(heightOf(grid)) / client.bottom;
  EXPECT_NEAR(widthShare, double(c.gridWidth96) / c.clientWidth96, 0.02);
  EXPECT_NEAR(heightShare, double(c.gridHeight96) / c.clientHeight96, 0.02);
}

TEST(CalendarOnThisDisplay, LayoutIsThe96DpiLayoutEnlarged) {
  deleteSettingsKey();
  ActiveOwner host(100, 100, 700, 500);
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.function) + " " + c.parameter);
    const bool buttons = std::string(c.parameter).find("command") != std::string::npos;
    const std::string result = callDriven(c.function, c.parameter, [&](WindowDriver& d) {
      checkLayout(d, c);
      for (const Pick& pick : c.picks) d.clickCell(pick.slot, pick.position);
      if (!buttons) return;
      // The picked cell is painted where the geometry puts it: its fill, left
      // of the label, shows the highlight.
      CalendarGeometry g;
      d.calendarGeometry(g);
      const RECT picked = g.cell(c.picks.back().slot, c.picks.back().position);
      EXPECT_EQ(d.pixelAt(picked.left + 2, (picked.top + picked.bottom) / 2), COLORREF(0xCB6699));
      d.pressButton(kOk);
    });
    EXPECT_EQ(result, c.result);
  }
}

}  // namespace
