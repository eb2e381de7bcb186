#include "calendar_geometry.h"

#include <cstdlib>

namespace {

const int kCalendarTemplate = 122;
const int kMonthLeft = 1015, kMonthRight = 1017;
const float kScales[] = {1.0f, 0.9f, 0.75f};

INT_PTR CALLBACK inertDialog(HWND, UINT, WPARAM, LPARAM) { return 0; }

}  // namespace

int CalendarGeometry::scaled(int value) const {
  return static_cast<int>(static_cast<double>(value) * static_cast<double>(scale));
}

POINT CalendarGeometry::slotCorner(int slot) const {
  if (mode == 3) {
    // Rows (H - 31 + 20) x scale apart from y = 20, columns (W - 5 + 20) x scale.
    const int row = (slot - 1) / 3, column = (slot - 1) % 3;
    const int rowStep = layoutClientHeight - px(20) - px(11), columnStep = layoutClientWidth - px(5);
    return {scaled(column * (columnStep + px(20))), px(20) + scaled(row * (rowStep + px(20)))};
  }
  return {slot == 2 ? layoutClientWidth + px(15) : 0, 0};
}

RECT CalendarGeometry::cell(int slot, int position) const {
  const int w = px(static_cast<int>(35 * scale)), h = px(static_cast<int>(18 * scale));
  const POINT corner = slotCorner(slot);
  const int x0 = corner.x + px(5), y0 = corner.y + px(31);
  const int column = position % 7, row = position / 7;
  const int left = x0 + column * (w - 1);
  if (row == 0) return {left, y0, left + w, y0 + h};
  const int top = y0 + row * (h - 2);
  return {left, top, left + w, top + h - 1};
}

POINT CalendarGeometry::centre(int slot, int position) const {
  const RECT r = cell(slot, position);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

bool measureTemplate(HINSTANCE module, int templateId, CalendarGeometry& geometry) {
  HWND copy = CreateDialogParamA(module, MAKEINTRESOURCEA(templateId), nullptr, inertDialog, 0);
  if (!copy) return false;
  RECT outer, client;
  GetWindowRect(copy, &outer);
  GetClientRect(copy, &client);
  DestroyWindow(copy);
  geometry.templateWidth = outer.right - outer.left;
  geometry.templateHeight = outer.bottom - outer.top;
  geometry.templateClientWidth = client.right;
  geometry.templateClientHeight = client.bottom;
  geometry.layoutWidth = geometry.templateWidth;
  geometry.layoutHeight = geometry.templateHeight;
  geometry.layoutClientWidth = geometry.templateClientWidth;
  geometry.layoutClientHeight = geometry.templateClientHeight;
  return true;
}

void enlargeForDisplay(CalendarGeometry& g, int dpi) {
  // The client area is the layout's whatever the template's is (the two
  // agree only with a dialog font of Windows' Western metrics at 96 DPI).
  g.dpi = dpi;
  const int cellWidth = g.px(35), cellHeight = g.px(18);
  g.layoutClientWidth = g.px(5) + 7 * cellWidth - 6 + g.px(7);
  g.layoutClientHeight = g.px(31) + 7 * cellHeight - 13 + 1 + g.px(5);
  g.layoutWidth = g.templateWidth - g.templateClientWidth + g.layoutClientWidth;
  g.layoutHeight = g.templateHeight - g.templateClientHeight + g.layoutClientHeight;
}

bool calendarGeometryOf(HWND window, CalendarGeometry& geometry) {
  HINSTANCE module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
  if (!measureTemplate(module, kCalendarTemplate, geometry)) return false;
  HDC dc = GetDC(window);
  enlargeForDisplay(geometry, GetDeviceCaps(dc, LOGPIXELSY));
  ReleaseDC(window, dc);
  if (!IsWindowVisible(GetDlgItem(window, kMonthLeft))) geometry.mode = 3;
  else if (IsWindowVisible(GetDlgItem(window, kMonthRight))) geometry.mode = 2;
  else geometry.mode = 1;
  geometry.scale = 1.0f;
  if (geometry.mode == 3) {
    // The year view is trunc((3w + 18) x scale) wide: take the size it matches best.
    RECT outer;
    GetWindowRect(window, &outer);
    int best = -1;
    for (float candidate : kScales) {
      const int expected =
          static_cast<int>(static_cast<double>(3 * geometry.layoutWidth + geometry.px(18)) * candidate);
      const int miss = std::abs(expected - (outer.right - outer.left));
      if (best < 0 || miss < best) {
        best = miss;
        geometry.scale = candidate;
      }
    }
  }
  return true;
}
