#include "popups/grid_element_accessible_win32.h"

#include "common/accessible_win32.h"
#include "grid/cell_pick.h"

namespace {

const wchar_t* const kClickAction = L"Click";

}  // namespace

HRESULT elementText(const GridElement& element, ElementText which, BSTR* out) {
  *out = nullptr;
  char written[kSpokenDescriptionSize];
  switch (which) {
    case NameText:
      gridElementName(element, written, sizeof written);
      break;
    case DescriptionText:
      gridElementDescription(element, written, sizeof written);
      if (written[0] == '\0') return S_FALSE;
      break;
    case ActionText:
      if (!dayHasDate(element)) return S_FALSE;
      *out = SysAllocString(kClickAction);
      return *out ? S_OK : E_OUTOFMEMORY;
    default:
      return S_FALSE;
  }
  *out = accessibleText(written);
  return *out ? S_OK : E_OUTOFMEMORY;
}

LONG elementRole(const GridElement& element) {
  return element.kind == DayElement ? ROLE_SYSTEM_CELL : ROLE_SYSTEM_COLUMNHEADER;
}

LONG elementState(HWND window, const GridElement& element) {
  // Headings and titles have no state to tell. A cell without a date shows
  // nothing, so a reader need not list it.
  LONG bits = 0;
  if (element.kind == DayElement) {
    bits = dayHasDate(element) ? STATE_SYSTEM_SELECTABLE : STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_INVISIBLE;
    if (cellHighlighted(element.cell)) bits |= STATE_SYSTEM_SELECTED;
  }
  if (!IsWindowEnabled(window)) bits |= STATE_SYSTEM_UNAVAILABLE;
  return bits;
}

void elementLocation(HWND window, const GridElement& element, LONG* left, LONG* top, LONG* width, LONG* height) {
  screenLocation(window, gridElementRect(element), left, top, width, height);
}

void screenLocation(HWND window, const CellRect& r, LONG* left, LONG* top, LONG* width, LONG* height) {
  POINT corner = {r.left, r.top};
  ClientToScreen(window, &corner);
  *left = corner.x;
  *top = corner.y;
  *width = r.right - r.left;
  *height = r.bottom - r.top;
}

int elementToward(int number, LONG direction) {
  static const GridDirection toward[] = {TowardUp, TowardDown, TowardLeft, TowardRight};
  return gridElementToward(number, toward[direction - NAVDIR_UP]);
}

HRESULT clickElement(HWND window, const GridElement& element) {
  if (!dayHasDate(element)) return DISP_E_MEMBERNOTFOUND;
  if (!IsWindowEnabled(window)) return E_ACCESSDENIED;
  const CellRect r = gridElementRect(element);
  const LPARAM centre = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  return PostMessageW(window, WM_LBUTTONUP, 0, centre) ? S_OK : E_FAIL;
}

HRESULT selectElement(HWND window, const GridElement& element, LONG flags) {
  if (!dayHasDate(element)) return DISP_E_MEMBERNOTFOUND;
  if (flags == SELFLAG_NONE) return S_OK;
  if ((flags & ~SELFLAG_TAKEFOCUS) != SELFLAG_TAKESELECTION) return E_INVALIDARG;
  return clickElement(window, element);
}
