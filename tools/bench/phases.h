// Where a plug-in window's time goes. The bench links the plug-in's own
// objects and runs the same steps as the loaded plug-in does for a call,
// timing each from outside: the settings read (with the call's parameters),
// the fonts and brushes, the dialog's creation from the plug-in's template,
// its initialisation (the real dialog procedure's WM_INITDIALOG: layout,
// lists, cells, size and place), its first complete paint (and of it, the
// dialog procedure's own WM_PAINT: the cells), and its close.
// Nothing in the shipped plug-in is instrumented.
#pragma once
#include <windows.h>

#include <string>

#include "peer_dialogs.h"
#include "window_cycle.h"

struct PhaseTimes {
  double settings = -1;  // µs; -1 where the window has no such step
  double fonts = -1;
  double creation = 0;
  double init = 0;
  double paint = 0;
  double drawing = 0;  // of init and paint, the window's own WM_PAINT handling
  double close = 0;
  bool ok = false;
};

enum class PhaseWindow { Date, Time, Preferences, Peer };

// One cycle of a plug-in window, run from the linked objects with templates
// from the loaded plug-in module `fmx`. For Date, `function` is 2 (CalPopup),
// 3 (CalPopup2) or 5 (YearPopup); `parameter` is the call's parameter text.
PhaseTimes timePhases(CycleOwner& owner, HMODULE fmx, PhaseWindow window, int function,
                      const std::string& parameter);

// The same cycle of a peer dialog: creation, initialisation, first paint
// and close (it has no settings or fonts of its own).
PhaseTimes timePeerPhases(CycleOwner& owner, const PeerDialogs& peers, PeerKind kind);
