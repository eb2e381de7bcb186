// The grid's drawing and list reading with real GDI objects: cells painted
// into a memory bitmap and checked pixel by pixel, picks repainting a window
// at once, fills reading the calendar's drop-down lists, and the calendar
// window's repainting. Links the plug-in's objects directly; the window is
// made from the loaded plug-in's template with the linked procedure.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "call/popup_state.h"
#include "dates/date_text.h"
#include "grid/grid_win32.h"
#include "grid/month_grid.h"
#include "harness.h"
#include "popups/calendar_window_win32.h"
#include "popups/call_parameters.h"
#include "resources/resource_ids.h"
#include "settings/settings_store.h"
#include "settings/theme_objects.h"
#include "settings/theme_tables.h"

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kBackdrop = RGB(255, 0, 255);  // nothing draws magenta
constexpr COLORREF kWeekdayFill = RGB(0, 0, 160);
constexpr COLORREF kSelectedFill = RGB(200, 40, 40);
constexpr COLORREF kDayFill = RGB(255, 255, 255);
constexpr COLORREF kOtherFill = RGB(192, 192, 192);

// A 32-bit top-down bitmap selected into a memory device context.
class Canvas {
 public:
  Canvas(int width, int height) : width_(width) {
    dc_ = CreateCompatibleDC(nullptr);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    oldBitmap_ = SelectObject(dc_, bitmap_);
    HBRUSH backdrop = CreateSolidBrush(kBackdrop);
    RECT all = {0, 0, width, height};
    FillRect(dc_, &all, backdrop);
    DeleteObject(backdrop);
  }
  ~Canvas() {
    SelectObject(dc_, oldBitmap_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  COLORREF at(int x, int y) const {
    GdiFlush();
    const uint32_t p = bits_[y * width_ + x];  // 0x00RRGGBB
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }

 private:
  int width_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ oldBitmap_;
  uint32_t* bits_ = nullptr;
};

// Real theme stand-ins: four solid brushes and two aliased fonts, released
// by the fixture.
class CellPaint : public ::testing::Test {
 protected:
  void SetUp() override {
    popupState = PopupState{};
    ThemeObjects& o = popupState.objects;
    o.weekdayBrush = CreateSolidBrush(kWeekdayFill);
    o.selectedBrush = CreateSolidBrush(kSelectedFill);
    o.dayBrush = CreateSolidBrush(kDayFill);
    o.otherMonthBrush = CreateSolidBrush(kOtherFill);
    o.weekdayFont = makeFont(FW_BOLD);
    o.dayFont = makeFont(FW_NORMAL);
    o.weekdayBkColor = RGB(0, 0, 200);
    o.weekdayTextColor = RGB(255, 255, 0);
    o.dayBkColor = RGB(250, 250, 250);
    o.dayTextColor = RGB(0, 0, 128);
    o.otherMonthBkColor = RGB(190, 190, 190);
    o.otherMonthTextColor = RGB(128, 128, 128);
    o.selectedBkColor = RGB(220, 60, 60);
    o.selectedTextColor = RGB(0, 0, 0);
    popupState.settings.scale = 1.0f;
    popupState.mode = SingleDate;
    popupState.cellCount = 49;
  }
  void TearDown() override {
    ThemeObjects& o = popupState.objects;
    for (void* handle : {o.weekdayBrush, o.selectedBrush, o.dayBrush, o.otherMonthBrush, o.weekdayFont, o.dayFont})
      DeleteObject(static_cast<HGDIOBJ>(handle));
  }
  static void* makeFont(int weight) {
    return CreateFontA(-14, 0, 0, 0, weight, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       NONANTIALIASED_QUALITY, DEFAULT_PITCH, "Arial");
  }
  static CalendarCell& cell(int index) { return popupState.grid[index]; }

  // Size of a label's character cells in the cell's font.
  static SIZE labelExtent(HDC dc, const CalendarCell& c) {
    HGDIOBJ old = SelectObject(dc, static_cast<HGDIOBJ>(c.labelFont));
    SIZE size = {};
    GetTextExtentPoint32A(dc, c.label, static_cast<int>(std::strlen(c.label)), &size);
    SelectObject(dc, old);
    return size;
  }
};

TEST_F(CellPaint, OutlineOnTheInclusiveEdgesAndInteriorInTheBrush) {
  Canvas canvas(80, 60);
  CalendarCell& c = cell(7);
  c.rect = {10, 12, 45, 29};
  c.brush = popupState.objects.otherMonthBrush;
  c.labelFont = popupState.objects.dayFont;
  paintCell(canvas.dc(), 7);

  struct Probe { const char* what; int x, y; COLORREF expected; } probes[] = {
      {"left line", 10, 20, kBlack},        {"top line", 30, 12, kBlack},
      {"right line on right - 1", 44, 20, kBlack}, {"bottom line on bottom - 1", 30, 28, kBlack},
      {"top-left corner", 10, 12, kBlack},  {"bottom-right corner", 44, 28, kBlack},
      {"interior", 30, 20, kOtherFill},     {"interior by the bottom line", 43, 27, kOtherFill},
      {"right edge is exclusive", 45, 20, kBackdrop}, {"bottom edge is exclusive", 30, 29, kBackdrop},
      {"left of the cell", 9, 20, kBackdrop}, {"above the cell", 30, 11, kBackdrop},
  };
  for (const Probe& p : probes) EXPECT_EQ(canvas.at(p.x, p.y), p.expected) << p.what;
}

TEST_F(CellPaint, LabelAtLeftPlus6TopPlus1InItsColours) {
  struct Case { const char* label; void* font; COLORREF bk, text; } cases[] = {
      {"28", popupState.objects.dayFont, RGB(250, 250, 250), RGB(0, 0, 128)},
      {"Mit", popupState.objects.weekdayFont, RGB(0, 0, 200), RGB(255, 255, 0)},
      {"7", popupState.objects.dayFont, RGB(220, 60, 60), RGB(0, 0, 0)},
  };
  for (const Case& k : cases) {
    Canvas canvas(100, 60);
    CalendarCell& c = cell(20);
    c.rect = {10, 10, 45, 30};
    c.brush = popupState.objects.dayBrush;
    c.labelFont = k.font;
    c.bkColor = k.bk;
    c.textColor = k.text;
    std::strcpy(c.label, k.label);
    paintCell(canvas.dc(), 20);

    const SIZE size = labelExtent(canvas.dc(), c);
    ASSERT_GT(size.cx, 0);
    const int x0 = 16, y0 = 11;  // left + 6, top + 1
    int textPixels = 0, otherPixels = 0;
    for (int y = y0; y < y0 + size.cy && y < 29; ++y)
      for (int x = x0; x < x0 + size.cx; ++x) {
        const COLORREF p = canvas.at(x, y);
        if (p == k.text) ++textPixels;
        else if (p != k.bk) ++otherPixels;
      }
    EXPECT_GT(textPixels, 0) << k.label;
    EXPECT_EQ(otherPixels, 0) << k.label << ": the label's box holds only its two colours";
    // The opaque box starts exactly at left + 6 and top + 1.
    EXPECT_EQ(canvas.at(x0 - 1, y0 + 2), kDayFill) << k.label;
    EXPECT_EQ(canvas.at(x0, y0 - 1), kBlack) << k.label;
    EXPECT_EQ(canvas.at(x0 + size.cx, y0 + 2), kDayFill) << k.label;
  }
}

TEST_F(CellPaint, PaintingRestoresTheBrushAndFontItReplaced) {
  Canvas canvas(80, 60);
  HGDIOBJ brush = GetCurrentObject(canvas.dc(), OBJ_BRUSH);
  HGDIOBJ font = GetCurrentObject(canvas.dc(), OBJ_FONT);
  CalendarCell& c = cell(8);
  c.rect = {0, 0, 35, 17};
  c.brush = popupState.objects.selectedBrush;
  c.labelFont = popupState.objects.weekdayFont;
  std::strcpy(c.label, "31");
  paintCell(canvas.dc(), 8);
  EXPECT_EQ(GetCurrentObject(canvas.dc(), OBJ_BRUSH), brush);
  EXPECT_EQ(GetCurrentObject(canvas.dc(), OBJ_FONT), font);
  // Indexes outside the grid draw nothing.
  paintCell(canvas.dc(), -1);
  paintCell(canvas.dc(), kGridCells);
  EXPECT_EQ(canvas.at(60, 40), kBackdrop);
}

// December 2003, Sunday-first, 25th marked: every cell's interior shows its
// class, and each shared border is one black line.
TEST_F(CellPaint, AFilledSlotPaintedInIndexOrder) {
  std::strcpy(popupState.day1, "25");
  std::strcpy(popupState.year1, "2003");
  layoutMonth(1, 0, 0);
  fillMonthCells(1, 12, 2003);
  Canvas canvas(260, 160);
  for (int i = 0; i < 49; ++i) paintCell(canvas.dc(), i);

  for (int i = 0; i < 49; ++i) {
    const CellRect& r = cell(i).rect;
    const COLORREF fill = i < 7 ? kWeekdayFill : i == 32 ? kSelectedFill : (i == 7 || i >= 39) ? kOtherFill : kDayFill;
    EXPECT_EQ(canvas.at(r.left + 3, r.bottom - 3), fill) << i;  // left of the label
    EXPECT_EQ(canvas.at(r.left, r.bottom - 3), kBlack) << i;
  }
  // Between columns 0 and 1 of the first day row only one line: x 39.
  EXPECT_EQ(canvas.at(38, 55), kOtherFill);
  EXPECT_EQ(canvas.at(39, 55), kBlack);
  EXPECT_EQ(canvas.at(40, 55), kDayFill);
}

// Each cell drawn on its own: its outline and fill, then its label by a
// text call of its own in opaque mode.
void paintWithOwnTextCalls(HDC dc, int count) {
  const HGDIOBJ brush = GetCurrentObject(dc, OBJ_BRUSH), font = GetCurrentObject(dc, OBJ_FONT);
  for (int i = 0; i < count; ++i) {
    const CalendarCell& c = popupState.grid[i];
    SelectObject(dc, c.brush ? static_cast<HGDIOBJ>(c.brush) : brush);
    Rectangle(dc, c.rect.left, c.rect.top, c.rect.right, c.rect.bottom);
    SelectObject(dc, c.labelFont ? static_cast<HGDIOBJ>(c.labelFont) : font);
    SetBkColor(dc, c.bkColor);
    SetTextColor(dc, c.textColor);
    TextOutA(dc, c.rect.left + 6, c.rect.top + 1, c.label, static_cast<int>(strnlen(c.label, sizeof c.label)));
  }
  SelectObject(dc, brush);
  SelectObject(dc, font);
}

// The window paints all its cells in one pass that selects each object only
// when it changes and draws a row's labels together: it must leave the same
// pixels as each cell drawn with text calls of its own (in every face, at
// the three sizes and two too large for the cells, smoothed or not: under
// Wine some characters advance a pixel further in one form than in the
// other), and the device context's brush and font as they were.
TEST_F(CellPaint, OnePassPaintsWhatCellByCellPaints) {
  std::strcpy(popupState.day1, "25");
  std::strcpy(popupState.year1, "2003");
  // Day labels on their own fill, headings on a box of their colour.
  popupState.objects.dayBkColor = kDayFill;
  popupState.objects.otherMonthBkColor = kOtherFill;
  layoutMonth(1, 0, 0);
  fillMonthCells(1, 12, 2003);
  const char* const weekdays[] = {"Sun", "Mon", "Thu", "Wed", "Mit", "S\xF6n", "Fri"};  // 0xF6: o umlaut
  for (int i = 0; i < 7; ++i) std::strcpy(cell(i).label, weekdays[i]);
  for (const char* face : faceNames)
    // 20: labels past the cell's bottom and right border lines; 21: one (a
    // Times New Roman heading) whose box ends on the right border line
    for (int size : {21, 20, 14, 12, 10})
      for (DWORD quality : {NONANTIALIASED_QUALITY, ANTIALIASED_QUALITY}) {
        HFONT weekday = CreateFontA(size, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, quality, 0, face);
        HFONT day = CreateFontA(size, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, quality, 0, face);
        for (int i = 0; i < 49; ++i) cell(i).labelFont = i < 7 ? weekday : day;
        cell(3).labelFont = nullptr;  // a cell without a font uses the context's
        const int width = 260, height = 160;
        Canvas separate(width, height), onePass(width, height);
        paintWithOwnTextCalls(separate.dc(), 49);
        const HGDIOBJ brush = GetCurrentObject(onePass.dc(), OBJ_BRUSH);
        const HGDIOBJ font = GetCurrentObject(onePass.dc(), OBJ_FONT);
        paintCells(onePass.dc(), 0, 49);

        EXPECT_EQ(GetCurrentObject(onePass.dc(), OBJ_BRUSH), brush);
        EXPECT_EQ(GetCurrentObject(onePass.dc(), OBJ_FONT), font);
        int differing = 0;
        for (int y = 0; y < height; ++y)
          for (int x = 0; x < width; ++x) differing += separate.at(x, y) != onePass.at(x, y);
        EXPECT_EQ(differing, 0) << face << " " << size << " quality " << quality;
        DeleteObject(weekday);
        DeleteObject(day);
      }
}

// A plain visible window with its own class: it paints nothing itself, so
// anything on it was drawn by the grid's immediate repaints.
class RepaintWindow {
 public:
  RepaintWindow() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "GridRepaintTest";
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    RegisterClassA(&wc);
    window_ = CreateWindowExA(WS_EX_TOPMOST, "GridRepaintTest", "", WS_POPUP | WS_VISIBLE, 0, 0, 260, 160,
                              nullptr, nullptr, wc.hInstance, nullptr);
    UpdateWindow(window_);
  }
  ~RepaintWindow() { DestroyWindow(window_); }
  HWND hwnd() const { return window_; }
  COLORREF at(int x, int y) const {
    HDC dc = GetDC(window_);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(window_, dc);
    return c;
  }

 private:
  HWND window_;
};

TEST_F(CellPaint, PicksRepaintTheChangedCellsAtOnce) {
  std::strcpy(popupState.day1, "25");
  std::strcpy(popupState.year1, "2003");
  layoutMonth(1, 0, 0);
  fillMonthCells(1, 12, 2003);
  popupState.dialogReady = 1;
  RepaintWindow window;
  for (int i = 0; i < 49; ++i) {
    HDC dc = GetDC(window.hwnd());
    paintCell(dc, i);
    ReleaseDC(window.hwnd(), dc);
  }
  auto centre = [&](int i) {
    const CellRect& r = cell(i).rect;
    return window.at(r.left + 3, r.bottom - 3);
  };
  ASSERT_EQ(centre(32), kSelectedFill);

  const CellRect& r = cell(10).rect;
  EXPECT_EQ(pickAt(window.hwnd(), r.left + 10, r.top + 8), 1);
  EXPECT_STREQ(popupState.resultText, "12/03/2003");
  EXPECT_EQ(centre(10), kSelectedFill);
  EXPECT_EQ(centre(32), kDayFill);

  EXPECT_EQ(pickAt(window.hwnd(), 20, 40), 0);  // a heading of slot 1
  EXPECT_EQ(centre(10), kSelectedFill);

  clearHighlight(window.hwnd(), 1);
  EXPECT_EQ(centre(10), kDayFill);
}

// A hidden parent with the calendar's four drop-down lists.
class ListWindow {
 public:
  ListWindow() {
    parent_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 300, 300, nullptr, nullptr, nullptr, nullptr);
    for (int id : {IDC_MONTH_LEFT, IDC_YEAR_LEFT, IDC_MONTH_RIGHT, IDC_YEAR_RIGHT}) {
      HWND list = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 100, 200, parent_,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
      const bool months = id == IDC_MONTH_LEFT || id == IDC_MONTH_RIGHT;
      for (int n = months ? 1 : 1900; n <= (months ? 12 : 2100); ++n)
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_string(n).c_str()));
    }
  }
  ~ListWindow() { DestroyWindow(parent_); }
  HWND hwnd() const { return parent_; }
  // Selects entry `index` of list `id`; -1 clears the selection.
  void select(int id, int index) const { SendDlgItemMessageA(parent_, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0); }

 private:
  HWND parent_;
};

TEST_F(CellPaint, FillReadsTheListsOfItsCalendar) {
  ListWindow lists;
  struct Case {
    const char* what;
    PopupMode mode;
    int slot;
    int monthLeft, yearLeft, monthRight, yearRight;  // list indexes, -1 none
    const char* firstDate;                           // of the 1st of the month shown, "" blank
  } cases[] = {
      {"left lists", SingleDate, 1, 2, 104, 6, 50, "03/01/2004"},
      {"range right lists", DateRange, 2, 2, 104, 6, 50, "07/01/1950"},
      {"range left lists", DateRange, 1, 11, 200, 0, 0, "12/01/2100"},
      {"year view: slot is the month", YearView, 5, 0, 0, 0, 0, "05/01/1900"},
      {"month list without selection", SingleDate, 1, -1, 104, 0, 0, ""},
      {"year list without selection", SingleDate, 1, 3, -1, 0, 0, ""},
      {"right year list without selection", DateRange, 2, 3, 104, 3, -1, ""},
  };
  for (const Case& c : cases) {
    popupState.mode = c.mode;
    lists.select(IDC_MONTH_LEFT, c.monthLeft);
    lists.select(IDC_YEAR_LEFT, c.yearLeft);
    lists.select(IDC_MONTH_RIGHT, c.monthRight);
    lists.select(IDC_YEAR_RIGHT, c.yearRight);
    fillMonth(lists.hwnd(), c.slot);
    bool found = false;
    for (int p = 7; p < 49 && !found; ++p)
      found = std::strcmp(popupState.grid[cellIndex(c.slot, p)].dateText, c.firstDate) == 0 &&
              std::strcmp(popupState.grid[cellIndex(c.slot, p)].label, c.firstDate[0] ? "1" : "") == 0;
    EXPECT_TRUE(found) << c.what;
  }
}

// The calendar window's procedure, with the whole window invalidated once
// just after its first paint returns: where a repaint asked for by another
// window or thread lands while the calendar is being drawn.
bool invalidateAfterPaint = false;
INT_PTR CALLBACK invalidatedDuringPaint(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const INT_PTR handled = calendarWindowProc(window, message, wParam, lParam);
  if (message == WM_PAINT && invalidateAfterPaint) {
    invalidateAfterPaint = false;
    InvalidateRect(window, nullptr, TRUE);
  }
  return handled;
}

TEST(CalendarPaint, ARepaintAskedForWhileDrawingIsPainted) {
  deleteSettingsKey();
  popupState = PopupState{};
  resetForCalPopup();
  loadSettings();
  applyParameters("03/01/2004");
  readInitialDates(todayLocal());
  createThemeObjects();
  invalidateAfterPaint = true;
  HWND window = CreateDialogParamA(plugin().module(), MAKEINTRESOURCEA(IDD_CALENDAR), nullptr,
                                   invalidatedDuringPaint, 0);
  ASSERT_NE(window, nullptr);
  for (int round = 0; round < 5; ++round) {
    for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageA(&msg);
    Sleep(20);
  }
  EXPECT_FALSE(invalidateAfterPaint);
  const CellRect& heading = popupState.grid[cellIndex(1, 0)].rect;
  HDC dc = GetDC(window);
  EXPECT_EQ(GetPixel(dc, heading.left + 2, heading.top + 2), themePalettes[0].weekdayBackground);
  ReleaseDC(window, dc);
  DestroyWindow(window);  // releases the theme objects
}

}  // namespace
