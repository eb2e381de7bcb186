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
    const int rowStep = templateClientHeight - 31, columnStep = templateClientWidth - 5;
    return {scaled(column * columnStep + 20 * column), 20 + scaled(row * rowStep + 20 * row)};
  }
  return {slot == 2 ? templateClientWidth + 15 : 0, 0};
}

RECT CalendarGeometry::cell(int slot, int position) const {
  const int w = static_cast<int>(35 * scale), h = static_cast<int>(18 * scale);
  const POINT corner = slotCorner(slot);
  const int x0 = corner.x + 5, y0 = corner.y + 31;
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
  return true;
}

bool calendarGeometryOf(HWND window, CalendarGeometry& geometry) {
  HINSTANCE module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
  if (!measureTemplate(module, kCalendarTemplate, geometry)) return false;
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
      const int expected = static_cast<int>(static_cast<double>(3 * geometry.templateWidth + 18) * candidate);
      const int miss = std::abs(expected - (outer.right - outer.left));
      if (best < 0 || miss < best) {
        best = miss;
        geometry.scale = candidate;
      }
    }
  }
  return true;
}
