// "XELM TimePopup": the Set Time window (dialog 124) with hour, minute and,
// in 12-hour form, AM/PM lists. Returns the picked time as "9:05 PM" or
// "21:05", or an empty text when the user cancels.
#include "popups/time_popup_win32.h"

#include <windows.h>

#include <cstdio>

#include "call/host_interface.h"
#include "call/popup_state.h"
#include "common/dialog_template_win32.h"
#include "common/list_fill_win32.h"
#include "common/list_names_win32.h"
#include "common/list_text_win32.h"
#include "common/open_list_win32.h"
#include "common/owner_area_win32.h"
#include "common/placement.h"
#include "popups/time_parameters.h"
#include "resources/resource_ids.h"

namespace {

// Entries the open hour and minute lists show: what the heights of their
// templates (61 and 60 dialog units) hold on version 5 of the common
// controls. The AM/PM list shows both its entries either way.
const int kTimeListOpenEntries = 5;

// The lists' names for screen readers (the minute list's label is the ":"
// before it, the AM/PM list has none); the 24-hour window has no AM/PM list.
const ListName kListNames[] = {{IDC_HOUR_LIST, L"Hour"}, {IDC_MINUTE_LIST, L"Minute"}, {IDC_MERIDIEM_LIST, L"AM or PM"}};
int shownListCount() { return popupState.use24Hour ? 2 : 3; }

// Places the window at its owner's left/top plus locationX/locationY, or
// centred on an axis whose position is 0, then kept within the work area.
// Returns the rectangle it moved to.
RECT placeWindow(HWND window) {
  RECT own, owner = ownerOrWorkArea(window);
  GetWindowRect(window, &own);
  int32_t w = own.right - own.left, h = own.bottom - own.top;
  const PopupSettings& settings = popupState.settings;
  int32_t x = settings.locationX != 0 ? owner.left + settings.locationX : centredStart(owner.left, owner.right, w);
  int32_t y = settings.locationY != 0 ? owner.top + settings.locationY : centredStart(owner.top, owner.bottom, h);
  const RECT placed = keptInWorkArea({x, y, x + w, y + h});
  MoveWindow(window, placed.left, placed.top, w, h, FALSE);
  return placed;
}

void addNumberEntry(ListFill& fill, const char* format, int value) {
  char text[8];
  std::snprintf(text, sizeof text, format, value);
  fill.add(text);
}

// Selects the entry equal to `text` (ignoring case) when there is one.
void selectExact(HWND list, const char* text) {
  if (text[0] == '\0') return;
  LRESULT index = SendMessageA(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
  if (index != CB_ERR) SendMessageA(list, CB_SETCURSEL, index, 0);
}

void fillHourList(HWND list) {
  {
    ListFill fill(list);
    if (popupState.use24Hour) {
      for (int hour = 0; hour < 24; ++hour) addNumberEntry(fill, "%d", hour);
    } else {
      addNumberEntry(fill, "%d", 12);
      for (int hour = 1; hour < 12; ++hour) addNumberEntry(fill, "%d", hour);
    }
  }
  SendMessageA(list, CB_SETCURSEL, 0, 0);
  selectExact(list, popupState.hourText);
}

void fillMinuteList(HWND list) {
  {
    ListFill fill(list);
    for (int minute = 0; minute < 60; minute += popupState.minuteStep) addNumberEntry(fill, "%02d", minute);
  }
  SendMessageA(list, CB_SETCURSEL, 0, 0);
  selectExact(list, popupState.minuteText);
}

void fillMeridiemList(HWND list) {
  {
    ListFill fill(list);
    fill.add("AM");
    fill.add("PM");
  }
  SendMessageA(list, CB_SETCURSEL, 0, 0);
  if (popupState.meridiemText[0] != '\0')
    SendMessageA(list, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(popupState.meridiemText));
}

void onInitDialog(HWND window) {
  RECT placed = placeWindow(window);
  HWND meridiem = GetDlgItem(window, IDC_MERIDIEM_LIST);
  fillHourList(GetDlgItem(window, IDC_HOUR_LIST));
  ShowWindow(meridiem, popupState.use24Hour ? SW_HIDE : SW_SHOW);
  fillMinuteList(GetDlgItem(window, IDC_MINUTE_LIST));
  if (!popupState.use24Hour) fillMeridiemList(meridiem);
  showOpenEntries(GetDlgItem(window, IDC_HOUR_LIST), kTimeListOpenEntries);
  showOpenEntries(GetDlgItem(window, IDC_MINUTE_LIST), kTimeListOpenEntries);
  nameLists(window, kListNames, shownListCount());
  ShowWindow(window, SW_SHOW);
  // Back to the remembered rectangle should showing have moved the window;
  // where it has not, a move to the same place would only cost time.
  RECT shown;
  GetWindowRect(window, &shown);
  if (!EqualRect(&shown, &placed))
    MoveWindow(window, placed.left, placed.top, placed.right - placed.left, placed.bottom - placed.top, TRUE);
}

// The AM/PM list stays hidden all the 24-hour window's life: the window is
// built without it (a drop-down list costs a popup window of its own).
bool timeControlShown(int id) { return id != IDC_MERIDIEM_LIST || !popupState.use24Hour; }

// Confirms the time the lists show. A list whose choice cannot be read (an
// entry another program added, too long for any hour, minute or AM/PM) confirms
// nothing: the result stays empty, never a time with a part missing.
void onOk(HWND window) {
  char hour[8], minute[8], meridiem[8];
  const bool read = selectedListText(GetDlgItem(window, IDC_HOUR_LIST), hour, sizeof hour) &&
                    selectedListText(GetDlgItem(window, IDC_MINUTE_LIST), minute, sizeof minute);
  if (read && popupState.use24Hour) {
    std::snprintf(popupState.timeResult, sizeof popupState.timeResult, "%s:%s", hour, minute);
  } else if (read && selectedListText(GetDlgItem(window, IDC_MERIDIEM_LIST), meridiem, sizeof meridiem)) {
    std::snprintf(popupState.timeResult, sizeof popupState.timeResult, "%s:%s %s", hour, minute, meridiem);
  }
  PostMessageA(window, WM_CLOSE, 0, 0);
}

}  // namespace

// Every message answers 0, so the system sets no default focus.
INT_PTR CALLBACK setTimeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      onInitDialog(window);
      break;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) onOk(window);
      else if (LOWORD(wParam) == IDCANCEL) PostMessageA(window, WM_CLOSE, 0, 0);
      break;
    case WM_CLOSE:
      EndDialog(window, 0);
      break;
    case WM_DESTROY:
      clearListNames(window, kListNames, shownListCount());
      break;
    default:
      break;
  }
  return 0;
}

void TimePopup(TextHandle parameter, TextHandle result) {
  resetForTimePopup();
  int32_t length = parameterLength(parameter);
  popupState.settings.locationX = 0;
  popupState.settings.locationY = 0;
  if (length > 0) scanTimeParameters(*parameter, length);
  runDialogWithShownControls(moduleInstance(), IDD_SET_TIME, timeControlShown, GetActiveWindow(), setTimeProc);
  setResultText(result, popupState.timeResult);
}
