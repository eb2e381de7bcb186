// The yardsticks: modal dialogs with the same dialog font as the plug-in's
// windows ("MS Sans Serif" 8) holding the platform's own controls, the
// plug-in's drop-down lists, or both, built as in-memory templates and run
// with DialogBoxIndirectParam.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <vector>

// The platform control a peer holds; None makes it a floor: an empty dialog
// of the plug-in window's size with only that window's lists (and buttons).
enum class PeerControl { None, MonthCalendar1, MonthCalendar2, MonthCalendar12, TimePicker };

// A peer: a control and 0-4 drop-down lists, made and filled as the plug-in
// makes and fills those of the window that holds as many: 1 the year view's
// year list, 2 a calendar's month and year lists, 3 the time window's hour,
// minute and AM/PM lists, 4 the two calendars' lists of a date range. A
// floor of 3 lists also holds the time window's labels and OK and Cancel;
// `buttons` adds the calendar's OK and Cancel (under Command Buttons) to a
// floor or a month calendar.
struct PeerKind {
  PeerControl control;
  int lists;
  bool buttons = false;
  int key() const { return (static_cast<int>(control) * 8 + lists) * 2 + (buttons ? 1 : 0); }
  static PeerKind fromKey(int key) { return {static_cast<PeerControl>(key / 16), key / 2 % 8, key % 2 == 1}; }
  bool operator==(const PeerKind& o) const { return key() == o.key(); }
};

class PeerDialogs {
 public:
  // Measures the month calendar's one-month size and builds the templates.
  explicit PeerDialogs(HWND owner);
  // Runs one peer modally, owned by `owner`; returns when it has ended.
  // `proc` (for phase timing) must pass every message on to procedure().
  void run(PeerKind kind, HWND owner, DLGPROC proc = procedure()) const;
  // The peers' dialog procedure: fills the lists, ends the dialog on close,
  // OK or Cancel.
  static DLGPROC procedure();
  // Months the calendar of `kind` shows (checked once, outside the timing).
  int monthsShown(PeerKind kind, HWND owner) const;

 private:
  std::vector<WORD> build(PeerKind kind) const;
  const std::vector<WORD>& templateOf(PeerKind kind) const;

  SIZE monthDlu_ = {};  // one month's minimum size in dialog units
  mutable std::map<int, std::vector<WORD>> templates_;
};
