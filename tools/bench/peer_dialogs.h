// The yardsticks: modal dialogs with the same dialog font as the plug-in's
// windows ("MS Sans Serif" 8) holding the platform's own controls, built as
// in-memory templates and run with DialogBoxIndirectParam.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

enum class PeerKind { MonthCalendar1, MonthCalendar2, MonthCalendar12, TimePicker };

class PeerDialogs {
 public:
  // Measures the month calendar's one-month size and builds the templates.
  explicit PeerDialogs(HWND owner);
  // Runs one peer modally, owned by `owner`; returns when it has ended.
  // `proc` (for phase timing) must pass every message on to procedure().
  void run(PeerKind kind, HWND owner, DLGPROC proc = procedure()) const;
  // The peers' dialog procedure: ends the dialog on close, OK or Cancel.
  static DLGPROC procedure();
  // Months the calendar of `kind` shows (checked once, outside the timing).
  int monthsShown(PeerKind kind, HWND owner) const;

 private:
  std::vector<WORD> monthTemplate(int columns, int rows) const;
  const std::vector<WORD>& templateOf(PeerKind kind) const;

  SIZE monthDlu_ = {};  // one month's minimum size in dialog units
  std::vector<WORD> month1_, month2_, month12_, time_;
};
