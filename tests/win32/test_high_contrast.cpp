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
const std::vector<SystemColour> kProbe = {{COLOR_WINDOW, RGB(0x20, 0x10, 0x40)},
                                          {COLOR_WINDOWTEXT, RGB(0xF0, 0xE8, 0x60)},
                                          {COLOR_HIGHLIGHT, RGB(0x30, 0xD0, 0xE8)},
                                          {COLOR_HIGHLIGHTTEXT, RGB(0x10, 0x20, 0x08)},
                                          {COLOR_GRAYTEXT, RGB(0x90, 0xC8, 0x70)}};

double luminance(COLORREF c) {
  auto linear = [](int v) { return v <= 10 ? v / 255.0 / 12.92 : std::pow((v / 255.0 + 0.055) / 1.055, 2.4); };
  return 0.2126 * linear(GetRValue(c)) + 0.7152 * linear(GetGValue(c)) + 0.0722 * linear(GetBValue(c)) + 0.05;
}

// The client area's pixels, and the visible controls' rectangles to leave out.
struct Shot {
  int width = 0;
  std::vector<COLORREF> pixels;
  std::vector<RECT> controls;
  // Colours of the pixels of `r` outside the controls.
  std::set<COLORREF> colours(const RECT& r) const {
    std::set<COLORREF> found;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) {
        const POINT p = {x, y};
        bool control = false;
        for (const RECT& c : controls) control = control || PtInRect(&c, p);
        if (!control) found.insert(pixels[y * width + x]);
      }
    return found;
  }
};

Shot shoot(WindowDriver& d) {
  d.waitPainted(d.window());
  Shot shot;
  const RECT client = d.clientRect();
  shot.width = client.right;
  for (HWND c = GetWindow(d.window(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (IsWindowVisible(c)) shot.controls.push_back(d.controlRectInClient(GetDlgCtrlID(c)));
  HDC dc = GetDC(d.window()), copy = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
  HGDIOBJ previous = SelectObject(copy, bitmap);
  BitBlt(copy, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
  for (int y = 0; y < client.bottom; ++y)
    for (int x = 0; x < client.right; ++x) shot.pixels.push_back(GetPixel(copy, x, y));
  SelectObject(copy, previous);
  DeleteObject(bitmap);
  DeleteDC(copy);
  ReleaseDC(d.window(), dc);
  return shot;
}

// Only the probe's colours outside the controls; in every day cell one pair
// of them, at least 4.5:1 apart; the picked day Highlight and HighlightText.
void expectProbeColours(WindowDriver& d, int slots, int pickedSlot, int pickedPosition, const std::string& what) {
  std::set<COLORREF> probe;
  for (const SystemColour& c : kProbe) probe.insert(c.value);
  const Shot shot = shoot(d);
  const std::set<COLORREF> all = shot.colours(d.clientRect());
  EXPECT_TRUE(std::includes(probe.begin(), probe.end(), all.begin(), all.end())) << what << ": " << all.size();
  CalendarGeometry g;
  d.calendarGeometry(g);
  for (int slot = 1; slot <= slots; ++slot)
    for (int position = 7; position < 49; ++position) {
      RECT inside = g.cell(slot, position);
      InflateRect(&inside, -1, -1);
      const std::set<COLORREF> pair = shot.colours(inside);
      ASSERT_LE(pair.size(), 2u) << what << " " << slot << "/" << position;
      const double a = luminance(*pair.begin()), b = luminance(*pair.rbegin());
      if (pair.size() == 2) {
        EXPECT_GE(std::max(a, b) / std::min(a, b), 4.5) << what << " " << slot << "/" << position;
      }
      if (slot != pickedSlot || position != pickedPosition) continue;
      EXPECT_EQ(pair, (std::set<COLORREF>{GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_HIGHLIGHTTEXT)})) << what;
      // Not by colour alone: a frame inside the outline, left of the label.
      const int x = inside.left + g.px(1) - 1, y = (inside.top + inside.bottom) / 2;
      EXPECT_EQ(shot.pixels[y * shot.width + x], GetSysColor(COLOR_HIGHLIGHTTEXT)) << what << ": the frame";
    }
}

// Each window with a day picked (under Command Buttons it stays open), and
// the message that tells it of a switch on and back (0: the colours' own).
struct Window {
  const char* function;
  const char* parameter;
  int slots, pickedSlot, pickedPosition;
  UINT on, off;
} const kWindows[] = {
    {"XELM CalPopup", "03/05/2004|||||sunday|mm/dd/yyyy|command|purple", 1, 1, 20, WM_SETTINGCHANGE, 0},
    {"XELM CalPopup2", "03/05/2004|04/09/2004|||||sunday|mm/dd/yyyy|command|green", 2, 2, 8, 0, WM_THEMECHANGED},
    {"XELM YearPopup", "2004|||||sunday|mm/dd/yyyy|command|yellow", 12, 12, 48, WM_THEMECHANGED, WM_SETTINGCHANGE},
    {"XELM YearPopup", "2004|||||monday|mm/dd/yyyy|command||arial|smaller", 12, 1, 7, 0, 0},
};

TEST(HighContrast, WindowsTakeTheSystemColoursAtOpenAndLive) {
  HighContrast contrast(plugin().module());
  ASSERT_TRUE(contrast.installed());
  for (const Window& w : kWindows) {
    const std::string what = w.parameter;
    contrast.turnOn(kProbe);
    callDriven(w.function, w.parameter, [&](WindowDriver& d) {
      d.clickCell(w.pickedSlot, w.pickedPosition);
      expectProbeColours(d, w.slots, w.pickedSlot, w.pickedPosition, what + " at open");
      d.close();
    });
    contrast.turnOff();
    callDriven(w.function, w.parameter, [&](WindowDriver& d) {
      d.clickCell(w.pickedSlot, w.pickedPosition);
      const Shot themed = shoot(d);
      contrast.turnOn(kProbe, d.window(), w.on);
      expectProbeColours(d, w.slots, w.pickedSlot, w.pickedPosition, what + " switched on");
      contrast.turnOff(d.window(), w.off);
      EXPECT_EQ(shoot(d).pixels, themed.pixels) << what << ": the theme comes back";
      d.close();
    });
  }
  EXPECT_EQ(contrast.badlySized(), 0);
}

// What a user and a screen reader get is the same with the setting on.
TEST(HighContrast, ResultsAndReaderStatesAreKept) {
  struct Case {
    const char* function;
    const char* parameter;
    std::vector<std::string> actions;
  } cases[] = {
      {"XELM CalPopup2", "03/01/2004|04/15/2004|||||sunday|mm/dd/yyyy|command",
       {"day 1 44", "day 2 8", "tree", "ok", "msgbox", "act End: April 2004 / Saturday 10 April 2004", "tree", "ok"}},
      {"XELM CalPopup2", "03/01/2004|04/15/2004|||||sunday|mm/dd/yyyy|click", {"day 1 7", "day 2 48"}},
      {"XELM YearPopup", "2004|||||sunday|mm/dd/yyyy|command",
       {"act December 2004 / Friday 31 December 2004", "day 2 7", "tree", "ok"}},
  };
  HighContrast contrast(plugin().module());
  for (const Case& c : cases) {
    std::string seen[2];
    for (int on = 0; on < 2; ++on) {
      if (on) contrast.turnOn(kProbe);
      const std::string result = callDriven(c.function, c.parameter, [&](WindowDriver& d) {
        for (const std::string& action : c.actions) {
          std::string log;
          EXPECT_TRUE(d.run(action, log)) << action << ": " << log;
          seen[on] += action + ": " + log + "\n";
        }
      });
      seen[on] += "-> " + result;
      contrast.turnOff();
    }
    EXPECT_EQ(seen[1], seen[0]) << c.parameter;
  }
}

TEST(HighContrast, SwitchingMakesNoObjectsPileUpAndAsksOnceAtOpen) {
  HighContrast contrast(plugin().module());
  callDriven("XELM CalPopup", "03/05/2004|||||sunday|mm/dd/yyyy|command", [&](WindowDriver& d) {
    EXPECT_EQ(contrast.questions(), 1);
    // Told of each switch twice over, as Windows may.
    auto switchTwice = [&] {
      contrast.turnOn(kProbe, d.window(), 0);
      SendMessageA(d.window(), WM_SETTINGCHANGE, 0, 0);
      d.waitPainted(d.window());
      contrast.turnOff(d.window());
      d.waitPainted(d.window());
    };
    switchTwice();
    fillDcCache();
    const int before = countGdiObjects().total;
    for (int i = 0; i < 20; ++i) switchTwice();
    EXPECT_EQ(countGdiObjects().total, before);
    d.close();
  });
  EXPECT_EQ(contrast.badlySized(), 0);
}

}  // namespace
