#include "peer_dialogs.h"

#include <commctrl.h>

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

INT_PTR CALLBACK peerProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_CLOSE || (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL))) {
    EndDialog(window, 0);
    return TRUE;
  }
  return message == WM_INITDIALOG;
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
  // A hidden one-month dialog tells the calendar's minimum size.
  std::vector<WORD> probe = monthTemplate(1, 1);
  HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), asTemplate(probe), owner, peerProc, 0);
  RECT minimum = {};
  SendDlgItemMessageA(dialog, kCalendarId, MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&minimum));
  monthDlu_ = toDialogUnits(dialog, SIZE{minimum.right, minimum.bottom});
  DestroyWindow(dialog);

  month1_ = monthTemplate(1, 1);
  month2_ = monthTemplate(2, 1);
  month12_ = monthTemplate(3, 4);
  // The time picker in the Set Time window's frame: 186 x 50 units, the
  // picker where the hour list stands, OK and Cancel where its buttons are.
  TemplateWriter time("Set Time", 186, 50, 3);
  time.item(DATETIMEPICK_CLASSA, "", DTS_TIMEFORMAT | WS_TABSTOP, 58, 7, 66, 14, 101);
  time.item("BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 40, 28, 50, 14, IDOK);
  time.item("BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 101, 28, 50, 14, IDCANCEL);
  time_ = time.words();
}

// A calendar sized for columns x rows months (the calendar fills its area
// with as many months as fit), in a dialog that fits it.
std::vector<WORD> PeerDialogs::monthTemplate(int columns, int rows) const {
  const short gap = 4;  // wider than the calendar's own gap between months
  const short cx = static_cast<short>(monthDlu_.cx ? columns * monthDlu_.cx + (columns - 1) * gap : 140);
  const short cy = static_cast<short>(monthDlu_.cy ? rows * monthDlu_.cy + (rows - 1) * gap : 100);
  TemplateWriter writer("Calendar", static_cast<short>(cx + 8), static_cast<short>(cy + 8), 1);
  writer.item(MONTHCAL_CLASSA, "", WS_TABSTOP, 4, 4, cx, cy, kCalendarId);
  return writer.words();
}

const std::vector<WORD>& PeerDialogs::templateOf(PeerKind kind) const {
  switch (kind) {
    case PeerKind::MonthCalendar1: return month1_;
    case PeerKind::MonthCalendar2: return month2_;
    case PeerKind::MonthCalendar12: return month12_;
    default: return time_;
  }
}

void PeerDialogs::run(PeerKind kind, HWND owner, DLGPROC proc) const {
  DialogBoxIndirectParamA(GetModuleHandleA(nullptr), asTemplate(templateOf(kind)), owner, proc, 0);
}

DLGPROC PeerDialogs::procedure() { return peerProc; }

int PeerDialogs::monthsShown(PeerKind kind, HWND owner) const {
  HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), asTemplate(templateOf(kind)), owner, peerProc, 0);
  SYSTEMTIME range[2] = {};
  const LRESULT months = SendDlgItemMessageA(dialog, kCalendarId, MCM_GETMONTHRANGE, GMR_VISIBLE,
                                             reinterpret_cast<LPARAM>(range));
  DestroyWindow(dialog);
  return static_cast<int>(months);
}
