// High contrast: the calendar windows in the system's colours, in matched
// pairs, at open and switched live; the same results, reader states and GDI
// objects as with the setting off.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "calendar_support.h"
#include "gdi_count.h"
#include "high_contrast.h"

namespace {

// No theme's colour, nor white, black or a fixed grey; WindowText and
// GrayText on Highlight would be too faint to read.
const std::vector<SystemColour> kProbe = {
    {COLOR_WINDOW, RGB(0x20, 0x10, 0x40)},    {COLOR_WINDOWTEXT, RGB(0xF0, 0xE8, 0x60)},
    {COLOR_HIGHLIGHT, RGB(0x30, 0xD0, 0xE8)}, {COLOR_HIGHLIGHTTEXT, RGB(0x10, 0x20, 0x08)},
    {COLOR_GRAYTEXT, RGB(0x90, 0xC8, 0x70)}};

double luminance(COLORREF c) {
  auto linear = [](int v) { return v <= 10 ? v / 255.0 / 12.92 : std::pow((v / 255.0 + 0.055) / 1.055, 2.4); };
  return 0.2126 * linear(GetRValue(c)) + 0.7152 * linear(GetGValue(c)) + 0.0722 * linear(GetBValue(c)) + 0.05;
}

// The client area's pixels row by row, CLR_INVALID where a visible control is.
std::vector<COLORREF> shoot(WindowDriver& d) {
  d.waitPainted(d.window());
  const RECT client = d.clientRect();
  std::vector<COLORREF> pixels;
  HDC dc = GetDC(d.window()), copy = CreateCompatibleDC(dc);
  HGDIOBJ previous = SelectObject(copy, CreateCompatibleBitmap(dc, client.right, client.bottom));
  BitBlt(copy, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
  for (int y = 0; y < client.bottom; ++y)
    for (int x = 0; x < client.right; ++x) pixels.push_back(GetPixel(copy, x, y));
  DeleteObject(SelectObject(copy, previous));
  DeleteDC(copy);
  ReleaseDC(d.window(), dc);
  for (HWND c = GetWindow(d.window(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    RECT r = d.controlRectInClient(GetDlgCtrlID(c));
    if (IsWindowVisible(c) && IntersectRect(&r, &r, &client))
      for (int y = r.top; y < r.bottom; ++y) std::fill_n(&pixels[y * client.right + r.left], r.right - r.left, CLR_INVALID);
  }
  return pixels;
}

// Only the probe's colours; in every day cell one pair of them, at least
// 4.5:1 apart; the picked day Highlight and HighlightText, with a frame.
void expectProbeColours(WindowDriver& d, int slots, int pickedSlot, int pickedPosition, const std::string& what) {
  const std::vector<COLORREF> pixels = shoot(d);
  const int width = d.clientRect().right;
  auto colours = [&](const RECT& r) {
    std::set<COLORREF> found;
    for (int y = r.top; y < r.bottom; ++y) found.insert(&pixels[y * width + r.left], &pixels[y * width + r.right]);
    found.erase(CLR_INVALID);
    return found;
  };
  std::set<COLORREF> probe = colours(d.clientRect());
  for (const SystemColour& c : kProbe) probe.erase(c.value);
  EXPECT_TRUE(probe.empty()) << what << ": " << probe.size() << " other colours";
  CalendarGeometry g;
  d.calendarGeometry(g);
  for (int slot = 1; slot <= slots; ++slot)
    for (int position = 7; position < 49; ++position) {
      RECT inside = g.cell(slot, position);
      InflateRect(&inside, -1, -1);
      const std::set<COLORREF> pair = colours(inside);
      ASSERT_LE(pair.size(), 2u) << what << " " << slot << "/" << position;
      const double a = luminance(*pair.begin()), b = luminance(*pair.rbegin());
      EXPECT_GE(std::max(a, b) / std::min(a, b), pair.size() == 2 ? 4.5 : 1) << what << " " << slot << "/" << position;
      if (slot != pickedSlot || position != pickedPosition) continue;
      EXPECT_EQ(pair, (std::set<COLORREF>{GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_HIGHLIGHTTEXT)})) << what;
      const int x = inside.left + g.px(1) - 1, y = (inside.top + inside.bottom) / 2;
      EXPECT_EQ(pixels[y * width + x], GetSysColor(COLOR_HIGHLIGHTTEXT)) << what << ": the frame";
    }
}

// Each window after a script that picks a day (under Command Buttons it
// stays open), told of a switch on and back by these messages (0: the
// colours' own). What the script reports (messages, a reader's tree) and
// the result are the same with the setting on at open; switched 20 times
// while open, the window keeps its GDI objects and its themed pixels.
TEST(HighContrast, WindowsTakeTheSystemColoursAtOpenAndLiveAndKeepTheirMeaning) {
  struct Window {
    const char *function, *parameter;
    std::vector<std::string> script;
    int slots, pickedSlot, pickedPosition;
    UINT on, off;
  } const windows[] = {
      {"XELM CalPopup", "03/05/2004|||||sunday|mm/dd/yyyy|command|purple", {"day 1 20"}, 1, 1, 20, WM_SETTINGCHANGE, 0},
      {"XELM CalPopup2", "03/01/2004|04/15/2004|||||sunday|mm/dd/yyyy|command|green",
       {"day 1 44", "day 2 8", "ok", "msgbox", "act End: April 2004 / Saturday 10 April 2004"}, 2, 2, 20, 0,
       WM_THEMECHANGED},
      {"XELM YearPopup", "2004|||||sunday|mm/dd/yyyy|command|yellow", {"act December 2004 / Friday 31 December 2004"},
       12, 12, 40, WM_THEMECHANGED, WM_SETTINGCHANGE},
      {"XELM YearPopup", "2004|||||monday|mm/dd/yyyy|command||arial|smaller", {"day 1 7"}, 12, 1, 7, 0, 0},
  };
  HighContrast contrast(plugin().module());
  ASSERT_TRUE(contrast.installed());
  for (const Window& w : windows) {
    const std::string what = w.parameter;
    std::string seen[2];
    auto run = [&](WindowDriver& d, std::string& log) {
      std::vector<std::string> actions = w.script;
      actions.push_back("tree");
      for (const std::string& action : actions) {
        std::string out;
        EXPECT_TRUE(d.run(action, out)) << what << " " << action << ": " << out;
        log += action + ": " + out + "\n";
      }
    };
    contrast.turnOn(kProbe);
    const int asked = contrast.questions();
    seen[1] += callDriven(w.function, w.parameter, [&](WindowDriver& d) {
      EXPECT_EQ(contrast.questions(), asked + 1) << what << ": asked once at open";
      run(d, seen[1]);
      expectProbeColours(d, w.slots, w.pickedSlot, w.pickedPosition, what + " at open");
      d.pressButton(1033);
    });
    contrast.turnOff();
    seen[0] += callDriven(w.function, w.parameter, [&](WindowDriver& d) {
      run(d, seen[0]);
      // The theme frames no picked day: one pixel in from its outline is its fill.
      CalendarGeometry g;
      ASSERT_TRUE(d.calendarGeometry(g));
      const RECT picked = g.cell(w.pickedSlot, w.pickedPosition);
      const int middle = (picked.top + picked.bottom) / 2;
      EXPECT_EQ(d.pixelAt(picked.left + 1, middle), d.pixelAt(picked.left + 3, middle)) << what << ": a frame";
      const std::vector<COLORREF> themed = shoot(d);
      fillDcCache();
      const int objects = countGdiObjects().total;
      for (int i = 0; i < 20; ++i) {
        contrast.turnOn(kProbe, d.window(), w.on);
        d.waitPainted(d.window());
        contrast.turnOff(d.window(), w.off);
        EXPECT_EQ(shoot(d), themed) << what << ": the theme comes back";
      }
      EXPECT_EQ(countGdiObjects().total, objects) << what;
      contrast.turnOn(kProbe, d.window(), w.on);
      expectProbeColours(d, w.slots, w.pickedSlot, w.pickedPosition, what + " switched on");
      d.pressButton(1033);
    });
    contrast.turnOff();
    EXPECT_EQ(seen[1], seen[0]);
  }
  EXPECT_EQ(contrast.badlySized(), 0);
}

}  // namespace
