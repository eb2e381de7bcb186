// The calendar window (dialog 122): one month (SingleDate), two months side
// by side (DateRange) or the twelve months of a year (YearView), built from
// one template. The grid module lays out, fills, paints and hit-tests the
// cells; this file sizes and places the window, keeps the lists, buttons and
// grid in step, and turns picks into the window's result:
//   0  confirmed (a click under Date Click, or OK); resultText holds the date
//      or range, or under Command Buttons whatever was picked last;
//   1  cancelled (Cancel or the close command); resultText is empty.
// While the user has high contrast on, the theme gives way to the system's
// colours, followed live when they or the setting change.
// Every message is reported as not handled (0) except the background colour
// request, answered with the theme's dialog brush, and a screen reader's
// request for the client area's accessible object (calendar_accessible_win32).
// Keyboard OK and Cancel commands carry identifiers no control here has and
// do nothing.
#include "popups/calendar_window_win32.h"

#include <cstdio>

#include "call/popup_state.h"
#include "common/dialog_template_win32.h"
#include "common/list_fill_win32.h"
#include "common/list_names_win32.h"
#include "common/message_box_win32.h"
#include "common/open_list_win32.h"
#include "common/owner_area_win32.h"
#include "common/placement.h"
#include "common/text.h"
#include "grid/accessible_tree.h"
#include "grid/cell_pick.h"
#include "grid/grid_win32.h"
#include "grid/month_grid.h"
#include "popups/announcement_win32.h"
#include "popups/calendar_accessible_win32.h"
#include "popups/calendar_layout.h"
#include "resources/resource_ids.h"
#include "settings/theme_objects.h"
#include "settings/theme_tables.h"

namespace {

const int kFirstListYear = 1900;
const int kLastListYear = 2100;
const int kListTop = 5;              // lists moved at run time stand here (96 DPI)
// Entries the open lists show: what the heights of their templates (83 and
// 88 dialog units) hold on version 5 of the common controls.
const int kMonthListOpenEntries = 8;
const int kYearListOpenEntries = 9;

const char* const kValidationCaption = "Calendar Validation";
const char* const kOrderMessage =
    "The date selected in the left calendar must be less than or equal to the date in the right calendar.";
const char* const kNoLeftPickMessage = "Please select a date in the left calendar.";
const char* const kNoRightPickMessage = "Please select a date in the right calendar.";

enum WindowResult { Confirmed = 0, Cancelled = 1 };

bool commandButtons() { return popupState.settings.selectionMethod == 1; }

// A pixel figure of the 96-DPI window on this window's display.
int32_t enlarged(int32_t pixels) { return dpiScaled(pixels, popupState.dpi); }

int32_t width(const RECT& r) { return r.right - r.left; }
int32_t height(const RECT& r) { return r.bottom - r.top; }

const CellRect& cellRect(int slot, int position) { return popupState.grid[cellIndex(slot, position)].rect; }

void showValidationMessage(HWND window, const char* text) { showMessage(window, kValidationCaption, text); }

void formatRange() {
  PopupState& s = popupState;
  std::snprintf(s.resultText, sizeof s.resultText, "%s...%s", s.pick1, s.pick2);
}

// Moves a control's top-left corner, keeping its size: for a drop-down list
// the height it was created with also sets its open list's height, which the
// closed list's reported rectangle would shrink.
void moveControl(HWND window, int id, int x, int y) {
  SetWindowPos(GetDlgItem(window, id), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT controlRect(HWND window, int id) {
  RECT r = {};
  GetWindowRect(GetDlgItem(window, id), &r);
  return r;
}

// The display's dots per inch, from the window's own device context (the
// system DPI; a later move to a monitor of another DPI is not followed). On
// any display but a 96-DPI one the fonts are made again at its heights.
// The client area then takes the size of the enlarged layout, which the
// template's may differ from: the template grows with its dialog font, which keeps
// step neither with the display (under Wine at 144 DPI its client is
// 334 x 219 where the layout needs 375 x 230) nor, on systems whose dialog
// font has other metrics, with the grid (with 6 x 12 base units it is 12
// pixels short and the last week row would be cut off). With Windows'
// Western dialog font at 96 DPI the template gives the layout's size.
void adaptToDisplay(HWND window) {
  HDC dc = GetDC(window);
  popupState.dpi = acceptedDpi(dc ? GetDeviceCaps(dc, LOGPIXELSY) : kBaseDpi);
  if (dc) ReleaseDC(window, dc);
  if (popupState.dpi != kBaseDpi) createThemeFonts(popupState.dpi);

  RECT outer, client;
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  int32_t w = 0, h = 0;
  enlargedClientSize(popupState.dpi, &w, &h);
  SetWindowPos(window, nullptr, 0, 0, width(outer) - client.right + w, height(outer) - client.bottom + h,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The first half of the initialisation: the client rectangle recorded, the
// grid laid out and filled, the lists filled and selected.
void layoutAndFill(HWND window) {
  PopupState& s = popupState;
  RECT client;
  GetClientRect(window, &client);
  s.clientRect = {client.left, client.top, client.right, client.bottom};

  if (s.mode != YearView) {
    layoutMonth(1, s.clientRect.top, s.clientRect.left);
    if (s.mode == DateRange) layoutMonth(2, s.clientRect.top, s.clientRect.right + enlarged(15));
  }
  fillYearList(window, LeftCalendar);
  if (s.mode != YearView) {
    fillMonthList(window, LeftCalendar);
    fillMonth(window, 1);
  }
  if (s.mode == DateRange) {
    fillMonthList(window, RightCalendar);
    fillYearList(window, RightCalendar);
    fillMonth(window, 2);
  }
  if (s.mode == YearView) {
    s.clientRect = yearViewNarrowed(s.clientRect, s.dpi);
    for (int slot = 1; slot <= kGridSlots; ++slot) {
      int32_t top = 0, left = 0;
      yearViewSlotCorner(s.clientRect, slot, s.settings.scale, s.dpi, &top, &left);
      layoutMonth(slot, top, left);
      fillMonth(window, slot);
    }
  }
}

// The outer rectangle the window is moved to: its size for the layout, at a
// screen point or centred, then kept within the work area.
RECT targetRectangle(HWND window) {
  PopupState& s = popupState;
  RECT own;
  GetWindowRect(window, &own);
  int32_t w = 0, h = 0;
  calendarWindowSize(s.mode, width(own), height(own), s.settings.scale, s.dpi, commandButtons(), &w, &h);

  RECT target = {0, 0, w, h};
  if (s.settings.location != 0) {
    OffsetRect(&target, s.settings.locationX, s.settings.locationY);
  } else {
    // Centred over the owner window; without one (no window was active when
    // the popup opened) over the work area of the screen.
    RECT around = ownerOrWorkArea(window);
    OffsetRect(&target, centredStart(around.left, around.right, w), centredStart(around.top, around.bottom, h));
  }
  return keptInWorkArea(target);
}

// OK and Cancel centred in the band added at the bottom, 20 pixels apart.
void placeCommandButtons(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  const RECT button = controlRect(window, IDC_CAL_OK);
  const int32_t bw = width(button), bh = height(button);
  const int32_t y = client.bottom - bh - enlarged(5);
  moveControl(window, IDC_CAL_OK, client.right / 2 - bw - enlarged(10), y);
  moveControl(window, IDC_CAL_CANCEL, client.right / 2 + enlarged(10), y);
  ShowWindow(GetDlgItem(window, IDC_CAL_OK), SW_SHOW);
  ShowWindow(GetDlgItem(window, IDC_CAL_CANCEL), SW_SHOW);
}

// Moves a calendar's month and year lists over its slot: the month list 36
// pixels right of the first heading, the year list 59 left of the last one.
// At 96 DPI this is where the template puts the left calendar's lists.
void placeCalendarLists(HWND window, int slot, int monthList, int yearList) {
  moveControl(window, monthList, cellRect(slot, 0).left + enlarged(36), enlarged(kListTop));
  moveControl(window, yearList, cellRect(slot, 6).left - enlarged(59), enlarged(kListTop));
}

// The lists over their months: each calendar's over it (the template's
// positions keep step with the grid only at 96 DPI with Windows' Western
// dialog font), the year view's only list over February.
void placeLists(HWND window) {
  if (popupState.mode != YearView) placeCalendarLists(window, 1, IDC_MONTH_LEFT, IDC_YEAR_LEFT);
  if (popupState.mode == DateRange) {
    placeCalendarLists(window, 2, IDC_MONTH_RIGHT, IDC_YEAR_RIGHT);
    ShowWindow(GetDlgItem(window, IDC_MONTH_RIGHT), SW_SHOW);
    ShowWindow(GetDlgItem(window, IDC_YEAR_RIGHT), SW_SHOW);
  } else if (popupState.mode == YearView) {
    // The year list stands over February, the middle month of the top row.
    ShowWindow(GetDlgItem(window, IDC_MONTH_LEFT), SW_HIDE);
    const int32_t left = cellRect(2, 0).left;
    const int32_t right = cellRect(2, kCellsPerSlot - 1).right;
    const int32_t listWidth = width(controlRect(window, IDC_YEAR_LEFT));
    moveControl(window, IDC_YEAR_LEFT, left + (right - left) / 2 - listWidth / 2 - enlarged(10), enlarged(kListTop));
  }
}

void sizeOpenLists(HWND window) {
  showOpenEntries(GetDlgItem(window, IDC_YEAR_LEFT), kYearListOpenEntries);
  if (popupState.mode != YearView) showOpenEntries(GetDlgItem(window, IDC_MONTH_LEFT), kMonthListOpenEntries);
  if (popupState.mode == DateRange) {
    showOpenEntries(GetDlgItem(window, IDC_MONTH_RIGHT), kMonthListOpenEntries);
    showOpenEntries(GetDlgItem(window, IDC_YEAR_RIGHT), kYearListOpenEntries);
  }
}

// The names screen readers read for the lists the window shows: a range's
// tell its start from its end; the year view shows its year list only.
int shownListNames(const ListName** names) {
  static const ListName single[] = {{IDC_MONTH_LEFT, L"Month"}, {IDC_YEAR_LEFT, L"Year"}};
  static const ListName range[] = {{IDC_MONTH_LEFT, L"Start month"}, {IDC_YEAR_LEFT, L"Start year"},
                                   {IDC_MONTH_RIGHT, L"End month"}, {IDC_YEAR_RIGHT, L"End year"}};
  switch (popupState.mode) {
    case DateRange:
      *names = range;
      return 4;
    case YearView:
      *names = single + 1;
      return 1;
    default:
      *names = single;
      return 2;
  }
}

void onInitDialog(HWND window) {
  // Before the window can answer a reader (WM_GETOBJECT waits for
  // dialogReady): the previous window's last words are not this one's.
  resetAnnouncement();
  adaptToDisplay(window);
  layoutAndFill(window);
  SetWindowTextA(window, popupState.settings.title);
  popupState.dialogReady = 1;

  // Sized, placed and its controls arranged while still hidden, then shown:
  // the window is drawn once, where and as it stays.
  const RECT target = targetRectangle(window);
  SetWindowPos(window, nullptr, target.left, target.top, width(target), height(target),
               SWP_NOZORDER | SWP_NOACTIVATE);
  if (commandButtons()) placeCommandButtons(window);
  placeLists(window);
  sizeOpenLists(window);
  const ListName* names = nullptr;
  const int named = shownListNames(&names);
  nameLists(window, names, named, announcementChildId());
  ShowWindow(window, SW_SHOW);
  SetFocus(window);
}

// Year-view month names over their grids, and a frame around each grid.
void drawMonthTitles(HDC dc) {
  const PopupState& s = popupState;
  SetBkColor(dc, s.objects.windowBkColor);
  HGDIOBJ previousFont = SelectObject(dc, static_cast<HFONT>(s.objects.monthTitleFont));
  TEXTMETRICA metrics = {};
  GetTextMetricsA(dc, &metrics);
  const int32_t titleHeight = metrics.tmHeight;
  SetTextAlign(dc, TA_CENTER | TA_TOP);
  SetTextColor(dc, s.objects.monthTitleTextColor);
  for (int month = 1; month <= 12; ++month) {
    const CellRect& first = cellRect(month, 0);
    const CellRect& last = cellRect(month, kCellsPerSlot - 1);
    const CellRect band = monthTitleBand(month);
    const char* name = monthNames[s.settings.language][month - 1];
    RECT clip = {band.left, first.top - titleHeight - enlarged(10), band.right, band.bottom};
    ExtTextOutA(dc, (band.left + band.right) / 2, band.top, ETO_CLIPPED, &clip, name,
                static_cast<UINT>(lstrlenA(name)), nullptr);
    Rectangle(dc, first.left, first.top, last.right + 1, last.bottom + 1);
  }
  SelectObject(dc, previousFont);
  SetTextAlign(dc, TA_LEFT | TA_TOP);
}

// Frames around the calendars (or month titles), then every cell in use over
// them, in index order so that a later cell's outline covers a shared border.
void paintCalendar(HDC dc) {
  const PopupState& s = popupState;
  const CellRect& r = s.clientRect;
  const LinePen lines(dc);
  if (s.mode == YearView) {
    drawMonthTitles(dc);
  } else {
    const int32_t top = r.top + enlarged(31), bottom = r.bottom - enlarged(5);
    Rectangle(dc, r.left + enlarged(5), top, r.right - enlarged(7), bottom);
    MoveToEx(dc, r.right - enlarged(7), top, nullptr);
    LineTo(dc, r.right - enlarged(7), bottom);
    if (s.mode == DateRange) {
      // The right calendar's frame runs along its cells' outer edges (at 96
      // DPI from the client width + 20 to twice it + 9): a frame placed by
      // figures enlarged on their own would miss the cells by a pixel where
      // the enlarged 15 and 5 of the cells' offset truncate apart.
      const int32_t left = cellRect(2, 0).left, right = cellRect(2, 6).right + 1;
      Rectangle(dc, left, top, right, bottom);
      MoveToEx(dc, left, top, nullptr);
      LineTo(dc, left, bottom);
    }
  }
  paintCells(dc, 0, s.cellCount);
}

void onPaint(HWND window) {
  // BeginPaint erases a pending background first, so nothing wipes the cells
  // afterwards. The drawing goes to a device context of the whole client
  // area: the update region may already have been validated (a repaint asked
  // for from another thread erases and validates before the paint arrives),
  // and the calendar is cheap to draw whole.
  PAINTSTRUCT paint;
  BeginPaint(window, &paint);
  HDC dc = GetDC(window);
  paintCalendar(dc);
  ReleaseDC(window, dc);
  EndPaint(window, &paint);
}

void onListChanged(HWND window, int listId) {
  PopupState& s = popupState;
  const bool left = listId == IDC_MONTH_LEFT || listId == IDC_YEAR_LEFT;
  const int selectedBefore = highlightedCell(s.mode == YearView ? 0 : left ? 1 : 2);
  if (s.mode == YearView) {
    for (int slot = 1; slot <= kGridSlots; ++slot) fillMonth(window, slot);
  } else {
    fillMonth(window, left ? 1 : 2);
  }
  clearText(s.resultText);
  if (left) {
    clearText(s.pick1);
    s.picked1 = 0;
  } else {
    clearText(s.pick2);
    s.picked2 = 0;
  }
  InvalidateRect(window, nullptr, FALSE);
  notifyGridRefilled(window, left ? 1 : 2, selectedBefore);
}

// The system's colours or the contrast setting changed while the window is
// open. Every object is made again (the old ones released), each cell takes
// the new look of what it is, with its picks and highlight kept, and the
// window and its controls are drawn again. Windows sends several messages
// for one change in no documented order, so doing this twice is harmless.
void onColoursChanged(HWND window) {
  if (!popupState.dialogReady) return;
  remakeThemeObjects();
  restyleCells();
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void onOk(HWND window) {
  PopupState& s = popupState;
  if (s.mode != DateRange) {
    EndDialog(window, Confirmed);
    return;
  }
  const bool havePicks = s.pick1[0] != '\0' && s.pick2[0] != '\0';
  if (havePicks && rangeInOrder()) {
    formatRange();
    EndDialog(window, Confirmed);
  } else if (havePicks) {
    showValidationMessage(window, kOrderMessage);
  } else if (s.pick1[0] == '\0') {
    showValidationMessage(window, kNoLeftPickMessage);
  } else {
    showValidationMessage(window, kNoRightPickMessage);
  }
}

void onCancel(HWND window) {
  clearText(popupState.resultText);
  EndDialog(window, Cancelled);
}

void onCommand(HWND window, int id, int code) {
  switch (id) {
    case IDC_MONTH_LEFT:
    case IDC_YEAR_LEFT:
    case IDC_MONTH_RIGHT:
    case IDC_YEAR_RIGHT:
      if (code == CBN_SELCHANGE && popupState.dialogReady) onListChanged(window, id);
      break;
    case IDC_CAL_OK:
      if (code == BN_CLICKED) onOk(window);
      break;
    case IDC_CAL_CANCEL:
      if (code == BN_CLICKED) onCancel(window);
      break;
    default:
      break;
  }
}

void onLeftButtonUp(HWND window, int x, int y) {
  PopupState& s = popupState;
  const int cell = cellAt(x, y);
  const int replaced = highlightedCell(s.mode == YearView ? 0 : cell < kCellsPerSlot ? 1 : 2);
  if (!pickAt(window, x, y)) return;
  // resultText holds the one date of a range so far until both are picked.
  const bool rangeComplete = s.mode == DateRange && s.picked1 && s.picked2;
  if (rangeComplete) formatRange();
  if (!commandButtons() && (s.mode != DateRange || (rangeComplete && rangeInOrder()))) {
    EndDialog(window, Confirmed);
    return;
  }
  // The window stays open: under Command Buttons OK confirms (and checks a
  // range's order again). Nothing is told on the closing path above.
  notifyDayPicked(window, cell, replaced);
  announcePick(window, cell);
  if (rangeComplete && !commandButtons()) showValidationMessage(window, kOrderMessage);
}

}  // namespace

void fillYearList(HWND window, CalendarSide side) {
  HWND list = GetDlgItem(window, side == LeftCalendar ? IDC_YEAR_LEFT : IDC_YEAR_RIGHT);
  {
    ListFill fill(list);
    for (int year = kFirstListYear; year <= kLastListYear; ++year) {
      char text[8];
      std::snprintf(text, sizeof text, "%d", year);
      fill.add(text);
    }
  }
  // The list's own prefix search from the start: "200" selects 2000, and a
  // text that begins no entry leaves the list without a selection.
  const char* year = side == LeftCalendar ? popupState.year1 : popupState.year2;
  SendMessageA(list, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(year));
}

void fillMonthList(HWND window, CalendarSide side) {
  HWND list = GetDlgItem(window, side == LeftCalendar ? IDC_MONTH_LEFT : IDC_MONTH_RIGHT);
  const char* const* names = monthNames[popupState.settings.language];
  {
    ListFill fill(list);
    for (int month = 0; month < 12; ++month) fill.add(names[month]);
  }
  const int32_t month = readDecimal(side == LeftCalendar ? popupState.month1 : popupState.month2);
  SendMessageA(list, CB_SETCURSEL, (month >= 1 && month <= 12) ? month - 1 : -1, 0);
}

// Whether control `id` is ever shown in the window of the call in progress:
// the right calendar's lists only in a date range, the month list of the
// left calendar not in the year view, OK and Cancel only with Command
// Buttons.
bool calendarControlShown(int id) {
  switch (id) {
    case IDC_MONTH_LEFT:
      return popupState.mode != YearView;
    case IDC_MONTH_RIGHT:
    case IDC_YEAR_RIGHT:
      return popupState.mode == DateRange;
    case IDC_CAL_OK:
    case IDC_CAL_CANCEL:
      return commandButtons();
    default:
      return true;
  }
}

INT_PTR runCalendarWindow(HINSTANCE module, HWND owner, DLGPROC proc) {
  return runDialogWithShownControls(module, IDD_CALENDAR, calendarControlShown, owner, proc);
}

INT_PTR CALLBACK calendarWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      onInitDialog(window);
      break;
    case WM_PAINT:
      // Handled: the default painting would erase and validate, unpainted,
      // whatever was invalidated while the calendar was being drawn.
      onPaint(window);
      return TRUE;
    case WM_COMMAND:
      onCommand(window, LOWORD(wParam), HIWORD(wParam));
      break;
    case WM_CLOSE:
      onCancel(window);
      break;
    case WM_LBUTTONUP:
      // While a validation message is up the window is disabled, but its
      // loop still dispatches a click posted to the window (by another
      // program, or a default action queued before it): none is taken.
      if (!IsWindowEnabled(window)) break;
      // Client coordinates are signed 16-bit halves of lParam.
      onLeftButtonUp(window, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
      break;
    case WM_SETTINGCHANGE:
      if (wParam == SPI_SETHIGHCONTRAST || wParam == 0) onColoursChanged(window);
      break;
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED:
      onColoursChanged(window);
      break;
    case WM_CTLCOLORDLG:
      return reinterpret_cast<INT_PTR>(popupState.objects.dialogBrush);
    case WM_GETOBJECT: {
      // Not before the window is ready nor once its end has begun: a hook
      // reacting to the controls' destruction must not make a new object
      // or start COM again. A dialog procedure hands a message's result
      // over in DWLP_MSGRESULT.
      if (!popupState.dialogReady) break;
      const LRESULT object = answerGetObject(window, wParam, lParam);
      if (object <= 0) break;
      SetWindowLongPtrA(window, DWLP_MSGRESULT, object);
      return TRUE;
    }
    case WM_DESTROY: {
      // The names first: where the accessible object started COM on this
      // thread, it is not started again after that object's end.
      const ListName* names = nullptr;
      const int named = shownListNames(&names);
      clearListNames(window, names, named, announcementChildId());
      popupState.dialogReady = 0;
      closeAccessible();
      releaseThemeObjects();
      break;
    }
    default:
      break;
  }
  return 0;
}
