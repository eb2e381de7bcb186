// "XELM YearPopup" through the real plug-in: the twelve months' geometry at
// the three sizes (window size, year list over February, every month's cell
// corners to the pixel), year changes, confirmation and cancelling.
#include <gtest/gtest.h>

#include <algorithm>

#include "calendar_support.h"

namespace {

const char* const kYearPopup = "XELM YearPopup";
const int kOk = 1033, kCancel = 1034, kMonthList = 1015, kYearList = 1016;

struct Size {
  const char* keyword;  // parameter field 11
  const char* stored;   // the Size value
  float scale;
};
const Size kSizes[] = {{"normal", "0", 1.0f}, {"small", "1", 0.9f}, {"smaller", "2", 0.75f}};

class YearPopupTest : public ::testing::Test {
 protected:
  void SetUp() override { deleteSettingsKey(); }
  void TearDown() override { deleteSettingsKey(); }
};

CalendarGeometry yearGeometry(float scale) {
  CalendarGeometry g = templateSizes();
  g.mode = 3;
  g.scale = scale;
  return g;
}

std::string sizeParameter(const char* keyword, const char* confirmation = "") {
  return std::string("2004|||||||") + confirmation + "|||" + keyword;
}

// Date of the last cell (position 48) of month `month` of 2004, Sunday first.
std::string lastCellDate(int month) {
  SYSTEMTIME first = {};
  first.wYear = 2004;
  first.wMonth = static_cast<WORD>(month);
  first.wDay = 1;
  FILETIME ft;
  SystemTimeToFileTime(&first, &ft);
  ULARGE_INTEGER t;
  t.LowPart = ft.dwLowDateTime;
  t.HighPart = ft.dwHighDateTime;
  t.QuadPart += static_cast<ULONGLONG>(48 - dayPosition(2004, month, 1)) * 24 * 3600 * 10000000ULL;
  ft.dwLowDateTime = t.LowPart;
  ft.dwHighDateTime = t.HighPart;
  SYSTEMTIME last;
  FileTimeToSystemTime(&ft, &last);
  return writtenDate(last.wMonth, last.wDay, last.wYear);
}

TEST_F(YearPopupTest, WindowAndYearListAtEachSize) {
  for (const Size& size : kSizes) {
    const CalendarGeometry g = yearGeometry(size.scale);
    for (const char* confirmation : {"", "command"}) {
      callDriven(kYearPopup, sizeParameter(size.keyword, confirmation), [&](WindowDriver& d) {
        const int extra = confirmation[0] ? 30 : 0;
        EXPECT_EQ(widthOf(d.windowRect()), g.scaled(3 * g.templateWidth + 18)) << size.keyword;
        EXPECT_EQ(heightOf(d.windowRect()), g.scaled(4 * g.templateHeight - 65) + extra) << size.keyword;
        EXPECT_FALSE(d.controlVisible(kMonthList));
        EXPECT_EQ(d.controlVisible(kOk), extra != 0);
        const RECT list = d.controlRectInClient(kYearList);
        const int left = g.cell(2, 0).left, right = g.cell(2, 48).right;
        EXPECT_EQ(list.left, left + (right - left) / 2 - widthOf(list) / 2 - 10) << size.keyword;
        EXPECT_EQ(list.top, 5);
        EXPECT_EQ(d.selectedText(kYearList), "2004");
        d.close();
      });
    }
  }
}

// Every month's corners, to the pixel: just outside the grid nothing is
// picked; the last cell's bottom-right pixel picks its date. The offsets are
// truncated products of the single-precision size factor.
TEST_F(YearPopupTest, EveryMonthSitsWhereTheScaledLayoutPutsIt) {
  for (const Size& size : kSizes) {
    const CalendarGeometry g = yearGeometry(size.scale);
    const std::string parameter = sizeParameter(size.keyword);
    bool open = false;
    callDriven(kYearPopup, parameter, [&](WindowDriver& d) {
      for (int month = 1; month <= 12; ++month) {
        const RECT first = g.cell(month, 7), last = g.cell(month, 48);
        d.clickAt(first.left - 1, first.bottom - 1);
        d.clickAt(last.right, last.bottom - 1);
        d.clickAt(last.right - 1, last.bottom);
      }
      open = d.windowOpen() && IsWindowVisible(d.window());
      // Each month's name stands over its grid, centred, in the theme's
      // title colour (black), within the band 20 to 3 pixels above the grid
      // and below the year list.
      const int listBottom = d.controlRectInClient(kYearList).bottom;
      d.pixelAt(0, 0);  // painted
      const RECT client = d.clientRect();
      HDC windowDc = GetDC(d.window()), copy = CreateCompatibleDC(windowDc);
      HBITMAP bitmap = CreateCompatibleBitmap(windowDc, client.right, client.bottom);
      HGDIOBJ previous = SelectObject(copy, bitmap);
      BitBlt(copy, 0, 0, client.right, client.bottom, windowDc, 0, 0, SRCCOPY);
      for (int month = 1; month <= 12; ++month) {
        const RECT first = g.cell(month, 0), last = g.cell(month, 48);
        int left = last.right, right = first.left;
        for (int y = std::max<int>(first.top - g.px(20), listBottom); y < first.top - g.px(3); ++y)
          for (int x = first.left + 1; x < last.right - 1; ++x)
            if (GetPixel(copy, x, y) == 0) left = std::min<int>(left, x), right = std::max<int>(right, x);
        EXPECT_GT(right, left) << size.keyword << ": no name over month " << month;
        EXPECT_NEAR((left + right) / 2, (first.left + last.right) / 2, g.px(3)) << size.keyword << " month " << month;
        // The month's frame runs just outside its last column, the background beyond it.
        const int middle = (first.top + last.bottom) / 2;
        EXPECT_EQ(GetPixel(copy, last.right, middle), COLORREF(0)) << size.keyword << " month " << month;
        EXPECT_NE(GetPixel(copy, last.right + 1, middle), COLORREF(0)) << size.keyword << " month " << month;
      }
      SelectObject(copy, previous);
      DeleteObject(bitmap);
      DeleteDC(copy);
      ReleaseDC(d.window(), windowDc);
      d.close();
    });
    EXPECT_TRUE(open) << size.keyword << ": a click outside every grid picked a day";
    for (int month = 1; month <= 12; ++month) {
      const RECT last = g.cell(month, 48);
      EXPECT_EQ(callDriven(kYearPopup, parameter, [&](WindowDriver& d) { d.clickAt(last.right - 1, last.bottom - 1); }),
                lastCellDate(month))
          << size.keyword << " month " << month;
    }
  }
}

TEST_F(YearPopupTest, StoredSizeAppliesAndAParameterOverridesItOnce) {
  storeSetting("Size", "2");
  const CalendarGeometry t = templateSizes();
  const int smaller = static_cast<int>((3 * t.templateWidth + 18) * 0.75), normal = 3 * t.templateWidth + 18;
  callDriven(kYearPopup, "", [&](WindowDriver& d) { EXPECT_EQ(widthOf(d.windowRect()), smaller); d.close(); });
  callDriven(kYearPopup, sizeParameter("NORMAL"), [&](WindowDriver& d) { EXPECT_EQ(widthOf(d.windowRect()), normal); d.close(); });
  callDriven(kYearPopup, sizeParameter("huge"), [&](WindowDriver& d) { EXPECT_EQ(widthOf(d.windowRect()), smaller); d.close(); });
  callDriven(kYearPopup, "2004", [&](WindowDriver& d) { EXPECT_EQ(widthOf(d.windowRect()), smaller); d.close(); });
  // Single dates ignore the size.
  callDriven("XELM CalPopup", "", [&](WindowDriver& d) { EXPECT_EQ(widthOf(d.windowRect()), t.templateWidth); d.close(); });
}

TEST_F(YearPopupTest, PicksYearChangesAndEndings) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  const std::string thisYear = std::to_string(now.wYear);
  struct Case {
    const char* name;
    std::string parameter;
    std::function<void(WindowDriver&)> actions;
    std::string expected;
  } cases[] = {
      {"a day of March", "2004", [](WindowDriver& d) { clickDay(d, 3, 2004, 3, 17); }, "03/17/2004"},
      {"a grey day of a neighbouring month", "2004", [](WindowDriver& d) { d.clickCell(1, 7); }, "12/28/2003"},
      {"after a year change", "2004",
       [](WindowDriver& d) { d.selectText(kYearList, "2005"); clickDay(d, 12, 2005, 12, 31); }, "12/31/2005"},
      {"no year given shows this one", "",
       [&](WindowDriver& d) { EXPECT_EQ(d.selectedText(kYearList), thisYear); d.close(); }, ""},
      {"a year outside the list", "1850",
       [&](WindowDriver& d) { EXPECT_EQ(d.selectedText(kYearList), thisYear); d.close(); }, ""},
      {"OK without a pick", "2004|||||||command", [](WindowDriver& d) { d.pressButton(kOk); }, ""},
      {"the last pick, then OK", "2004|||||||command",
       [](WindowDriver& d) { clickDay(d, 1, 2004, 1, 9); clickDay(d, 6, 2004, 6, 2); d.pressButton(kOk); }, "06/02/2004"},
      {"a pick withdrawn by a year change", "2004|||||||command",
       [](WindowDriver& d) { clickDay(d, 6, 2004, 6, 2); d.selectText(kYearList, "2001"); d.pressButton(kOk); }, ""},
      {"Cancel after a pick", "2004|||||||command",
       [](WindowDriver& d) { clickDay(d, 6, 2004, 6, 2); d.pressButton(kCancel); }, ""},
      {"closed after a pick", "2004|||||||command",
       [](WindowDriver& d) { clickDay(d, 6, 2004, 6, 2); d.close(); }, ""},
  };
  for (const Case& c : cases) {
    bool driven = false;
    EXPECT_EQ(callDriven(kYearPopup, c.parameter, c.actions, &driven), c.expected) << c.name;
    EXPECT_TRUE(driven) << c.name;
  }
}

}  // namespace
