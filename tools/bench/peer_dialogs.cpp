#include "peer_dialogs.h"

#include <commctrl.h>

#include "common/list_fill_win32.h"
#include "settings/theme_tables.h"

namespace {

const DWORD kDialogStyle = DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
const int kCalendarId = 100;

// Writes a DLGTEMPLATE and its items word by word (ordinal-free classes are
// written as text, so any registered class can be named).
class TemplateWriter {
 public:
  TemplateWriter(const char* caption, short cx, short cy, int items) {
    putDword(kDialogStyle);
    putDword(0);
    words_.push_back(static_cast<WORD>(items));
    putShorts(0, 0, cx, cy);
    words_.push_back(0);  // no menu
    words_.push_back(0);  // default class
    putText(caption);
    words_.push_back(8);  // point size
    putText("MS Sans Serif");
  }
  void item(const char* className, const char* text, DWORD style, short x, short y, short cx, short cy, WORD id) {
    if (words_.size() % 2) words_.push_back(0);  // DWORD alignment
    putDword(style | WS_CHILD | WS_VISIBLE);
    putDword(0);
    putShorts(x, y, cx, cy);
    words_.push_back(id);
    putText(className);
    putText(text);
    words_.push_back(0);  // no creation data
  }
  std::vector<WORD> words() const { return words_; }

 private:
  void putDword(DWORD v) {
    words_.push_back(LOWORD(v));
    words_.push_back(HIWORD(v));
  }
  void putShorts(short a, short b, short c, short d) {
    for (short v : {a, b, c, d}) words_.push_back(static_cast<WORD>(v));
  }
  void putText(const char* text) {
    while (*text) words_.push_back(static_cast<WORD>(static_cast<unsigned char>(*text++)));
    words_.push_back(0);
  }
  std::vector<WORD> words_;
};

enum class Entries { Months, Years, Hours, Minutes, Meridiem };

// One of the plug-in's drop-down lists: its template rectangle and style,
// its entries and the entry the bench's calls select.
struct ListItem {
  Entries entries;
  short x, y, cx, cy;
  DWORD style;
  const char* selected;
};

const DWORD kListStyle = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
const WORD kFirstListId = 201;
const short kListRow = 18;  // dialog units the lists take above a control

const ListItem kMonthList = {Entries::Months, 27, 3, 65, 83, kListStyle, "December"};
const ListItem kYearList = {Entries::Years, 100, 3, 41, 88, kListStyle, "2003"};
const std::vector<ListItem> kListSets[5] = {
    {},
    {kYearList},
    {kMonthList, kYearList},
    {{Entries::Hours, 58, 7, 27, 61, kListStyle, "9"},
     {Entries::Minutes, 97, 7, 27, 60, kListStyle | CBS_SORT, "30"},
     {Entries::Meridiem, 135, 7, 27, 41, kListStyle | CBS_SORT, "PM"}},
    {kMonthList, kYearList, kMonthList, kYearList},  // the second pair moves right
};

// The entries as the plug-in adds them: month names, 1900-2100, the 12-hour
// form's hours from 12, minutes in steps of 5, AM and PM.
const std::vector<std::string>& entriesOf(Entries kind) {
  static const std::vector<std::string> lists[] = {
      [] {
        std::vector<std::string> v;
        for (const char* name : monthNames[0]) v.push_back(name);
        return v;
      }(),
      [] {
        std::vector<std::string> v;
        for (int year = 1900; year <= 2100; ++year) v.push_back(std::to_string(year));
        return v;
      }(),
      {"12", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"},
      {"00", "05", "10", "15", "20", "25", "30", "35", "40", "45", "50", "55"},
      {"AM", "PM"},
  };
  return lists[static_cast<int>(kind)];
}

void fillLists(HWND window, int lists) {
  for (size_t i = 0; i < kListSets[lists].size(); ++i) {
    const ListItem& item = kListSets[lists][i];
    HWND list = GetDlgItem(window, kFirstListId + static_cast<WORD>(i));
    {
      ListFill fill(list);
      for (const std::string& text : entriesOf(item.entries)) fill.add(text.c_str());
    }
    SendMessageA(list, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(item.selected));
  }
}

// The init parameter is the peer's key: a peer with a control gives it the
// focus, as a dialog does by default; a floor, like the plug-in's windows,
// sets none.
INT_PTR CALLBACK peerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    const PeerKind kind = PeerKind::fromKey(static_cast<int>(lParam));
    fillLists(window, kind.lists);
    return kind.control != PeerControl::None;
  }
  if (message == WM_CLOSE || (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL))) {
    EndDialog(window, 0);
    return TRUE;
  }
  return FALSE;
}

// Pixels to dialog units of the dialog font, rounded up.
SIZE toDialogUnits(HWND dialog, SIZE pixels) {
  RECT base = {0, 0, 4, 8};
  MapDialogRect(dialog, &base);
  SIZE dlu = {(pixels.cx * 4 + base.right - 1) / base.right, (pixels.cy * 8 + base.bottom - 1) / base.bottom};
  return dlu;
}

const DLGTEMPLATE* asTemplate(const std::vector<WORD>& words) {
  return reinterpret_cast<const DLGTEMPLATE*>(words.data());
}

}  // namespace

PeerDialogs::PeerDialogs(HWND owner) {
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_DATE_CLASSES};
  InitCommonControlsEx(&icc);
  entriesOf(Entries::Months);  // every list's entries made outside the timing
  // A hidden one-month dialog tells the calendar's minimum size.
  std::vector<WORD> probe = build({PeerControl::MonthCalendar1, 0});
  HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), asTemplate(probe), owner, peerProc, 0);
  RECT minimum = {};
  SendDlgItemMessageA(dialog, kCalendarId, MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&minimum));
  monthDlu_ = toDialogUnits(dialog, SIZE{minimum.right, minimum.bottom});
  DestroyWindow(dialog);
}

// A month calendar is sized for columns x rows months (it fills its area
// with as many months as fit) in a dialog that fits it; the time picker
// stands in the Set Time window's frame (186 x 50 units) where the hour list
// stands, with OK and Cancel where its buttons are. Lists go in a row above
// the control. A floor takes the size of the plug-in window holding its
// lists: the year view (normal size), the calendar, the time window, the
// date range.
std::vector<WORD> PeerDialogs::build(PeerKind kind) const {
  const short shift = kind.lists && kind.control != PeerControl::None ? kListRow : 0;
  const std::vector<ListItem>& lists = kListSets[kind.lists];
  const bool timeFloor = kind.control == PeerControl::None && kind.lists == 3;
  const bool calendarButtons = kind.buttons && kind.control != PeerControl::TimePicker;
  short cx = 0, cy = 0;
  int controlItems = 1;
  if (kind.control == PeerControl::None) {
    const SIZE floors[] = {{0, 0}, {522, 375}, {167, 92}, {186, 50}, {342, 92}};
    cx = static_cast<short>(floors[kind.lists].cx);
    cy = static_cast<short>(floors[kind.lists].cy);
    controlItems = timeFloor ? 4 : 0;  // the time window's two labels, OK and Cancel
  } else if (kind.control == PeerControl::TimePicker) {
    cx = 186;
    cy = static_cast<short>(50 + shift);
    controlItems = 3;
  } else {
    const int columns = kind.control == PeerControl::MonthCalendar1   ? 1
                        : kind.control == PeerControl::MonthCalendar2 ? 2
                                                                      : 3;
    const int rows = kind.control == PeerControl::MonthCalendar12 ? 4 : 1;
    const short gap = 4;  // wider than the calendar's own gap between months
    cx = static_cast<short>((monthDlu_.cx ? columns * monthDlu_.cx + (columns - 1) * gap : 140) + 8);
    cy = static_cast<short>((monthDlu_.cy ? rows * monthDlu_.cy + (rows - 1) * gap : 100) + 8 + shift);
  }
  // The calendar's buttons stand in the 30 pixels (about 19 units) that
  // Command Buttons add under the grid.
  const short gridBottom = cy, buttonsTop = static_cast<short>(cy + 2);
  if (calendarButtons) {
    cy = static_cast<short>(cy + 19);
    controlItems += 2;
  }
  TemplateWriter writer(kind.control == PeerControl::TimePicker || timeFloor ? "Set Time" : "Calendar", cx, cy,
                        controlItems + static_cast<int>(lists.size()));
  if (calendarButtons) {
    writer.item("BUTTON", "OK", BS_PUSHBUTTON | WS_TABSTOP, static_cast<short>(cx / 2 - 54), buttonsTop, 48, 14,
                IDOK);
    writer.item("BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, static_cast<short>(cx / 2 + 6), buttonsTop, 48, 14,
                IDCANCEL);
  }
  if (timeFloor) {
    writer.item("STATIC", "Enter Time:", SS_LEFT, 14, 9, 40, 10, static_cast<WORD>(-1));
    writer.item("STATIC", ":", SS_LEFT, 90, 9, 8, 10, static_cast<WORD>(-1));
  }
  if (kind.control == PeerControl::TimePicker || timeFloor) {
    if (kind.control == PeerControl::TimePicker)
      writer.item(DATETIMEPICK_CLASSA, "", DTS_TIMEFORMAT | WS_TABSTOP, 58, static_cast<short>(7 + shift), 66, 14,
                  101);
    writer.item("BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 40, static_cast<short>(28 + shift), 50, 14, IDOK);
    writer.item("BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 101, static_cast<short>(28 + shift), 50, 14,
                IDCANCEL);
  } else if (kind.control != PeerControl::None) {
    writer.item(MONTHCAL_CLASSA, "", WS_TABSTOP, 4, static_cast<short>(4 + shift), static_cast<short>(cx - 8),
                static_cast<short>(gridBottom - 8 - shift), kCalendarId);
  }
  for (size_t i = 0; i < lists.size(); ++i) {
    const ListItem& l = lists[i];
    const short right = i >= 2 ? static_cast<short>(cx / 2) : 0;
    writer.item("COMBOBOX", "", l.style, static_cast<short>(l.x + right), l.y, l.cx, l.cy,
                static_cast<WORD>(kFirstListId + i));
  }
  return writer.words();
}

const std::vector<WORD>& PeerDialogs::templateOf(PeerKind kind) const {
  auto found = templates_.find(kind.key());
  if (found == templates_.end()) found = templates_.emplace(kind.key(), build(kind)).first;
  return found->second;
}

void PeerDialogs::run(PeerKind kind, HWND owner, DLGPROC proc) const {
  DialogBoxIndirectParamA(GetModuleHandleA(nullptr), asTemplate(templateOf(kind)), owner, proc, kind.key());
}

DLGPROC PeerDialogs::procedure() { return peerProc; }

int PeerDialogs::monthsShown(PeerKind kind, HWND owner) const {
  HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), asTemplate(templateOf(kind)), owner, peerProc,
                                           kind.key());
  SYSTEMTIME range[2] = {};
  const LRESULT months = SendDlgItemMessageA(dialog, kCalendarId, MCM_GETMONTHRANGE, GMR_VISIBLE,
                                             reinterpret_cast<LPARAM>(range));
  DestroyWindow(dialog);
  return static_cast<int>(months);
}
