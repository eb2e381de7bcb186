// make bench: opens, paints and closes every plug-in window and the platform
// controls' dialogs that serve as their yardsticks, interleaved in one run,
// times one Version call, and shows where each plug-in window's time goes.
//
//   bench.exe PLUGIN.fmx [--cycles N]
//
// Prints per window the median, lowest and highest of N cycles and the ratio
// of its median to its peer's; exits 1 when a window failed to paint or a
// target is missed (the date and time windows at most 1.0 x their peers, a
// Version call at most 2 microseconds).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "control_costs.h"
#include "peer_dialogs.h"
#include "phases.h"
#include "plugin_host.h"
#include "summary.h"
#include "window_cycle.h"

namespace {

const int kWarmupRounds = 3;
const int kVersionBatches = 2000;
const int kVersionBatchCalls = 100;  // 200,000 calls in all
const double kVersionTargetMicroseconds = 2.0;

enum class Peer { None = -1, Month1, Month2, Month12, Time };

// A window the bench opens: one of the plug-in's (by function name, or the
// Preferences window) or a peer dialog.
struct Case {
  const char* label;
  const char* function;   // nullptr: Preferences (call kind 5) or a peer
  const char* parameter;
  PeerKind peerKind;      // for a peer dialog
  bool isPeer;
  Peer comparedWith;      // the peer a plug-in window is held against
  PhaseWindow phases;
  int functionIndex;      // for the phase run of a date window
};

// What the cycles of one case measured.
struct Results {
  std::vector<double> totals, opened, closed;  // µs per counted cycle
  std::vector<PhaseTimes> phaseRuns;
  bool failed = false;
};

std::vector<Case> makeCases() {
  return {
      {"CalPopup, date click", "XELM CalPopup", "12/25/2003", PeerKind::MonthCalendar1, false, Peer::Month1,
       PhaseWindow::Date, 2},
      {"CalPopup, command buttons", "XELM CalPopup", "12/25/2003|||||||command", PeerKind::MonthCalendar1, false,
       Peer::Month1, PhaseWindow::Date, 2},
      {"CalPopup2", "XELM CalPopup2", "03/01/2004|04/01/2004", PeerKind::MonthCalendar1, false, Peer::Month2,
       PhaseWindow::Date, 3},
      {"YearPopup, normal", "XELM YearPopup", "2004||||||||||normal", PeerKind::MonthCalendar1, false,
       Peer::Month12, PhaseWindow::Date, 5},
      {"YearPopup, small", "XELM YearPopup", "2004||||||||||small", PeerKind::MonthCalendar1, false, Peer::Month12,
       PhaseWindow::Date, 5},
      {"YearPopup, smaller", "XELM YearPopup", "2004||||||||||smaller", PeerKind::MonthCalendar1, false,
       Peer::Month12, PhaseWindow::Date, 5},
      {"TimePopup", "XELM TimePopup", "||||9:30 PM", PeerKind::MonthCalendar1, false, Peer::Time, PhaseWindow::Time,
       4},
      {"Preferences", nullptr, "", PeerKind::MonthCalendar1, false, Peer::None, PhaseWindow::Preferences, 0},
      {"peer: month calendar, 1 month", nullptr, "", PeerKind::MonthCalendar1, true, Peer::None, PhaseWindow::Date,
       0},
      {"peer: month calendar, 2 months", nullptr, "", PeerKind::MonthCalendar2, true, Peer::None, PhaseWindow::Date,
       0},
      {"peer: month calendar, 12 months", nullptr, "", PeerKind::MonthCalendar12, true, Peer::None,
       PhaseWindow::Date, 0},
      {"peer: time picker, 2 buttons", nullptr, "", PeerKind::TimePicker, true, Peer::None, PhaseWindow::Date, 0},
  };
}

// Index of the case that is peer `peer` (the peers follow the plug-in's).
size_t peerCase(const std::vector<Case>& cases, Peer peer) {
  for (size_t i = 0; i < cases.size(); ++i)
    if (cases[i].isPeer && static_cast<int>(cases[i].peerKind) == static_cast<int>(peer)) return i;
  return 0;
}

// Stored preferences as a user who has saved the Preferences window has
// them, so that a date call reads every value.
void storeDefaultPreferences() {
  HKEY key;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Vantrell\\XELMCalendar\\Settings", 0, nullptr, 0,
                      KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    std::printf("note: cannot store preferences; the date windows use their defaults\n");
    return;
  }
  const char* const values[][2] = {{"Title", "Datewell 3.0"}, {"Language", "0"},   {"CalendarType", "0"},
                                   {"DateStyle", "0"},        {"DateSelectionMethod", "0"},
                                   {"Location", "0"},         {"Size", "0"},       {"Theme", "0"},
                                   {"Font", "0"}};
  for (const auto& v : values)
    RegSetValueExA(key, v[0], 0, REG_SZ, reinterpret_cast<const BYTE*>(v[1]), static_cast<DWORD>(std::strlen(v[1])));
  RegCloseKey(key);
}

CycleTimes runCase(const Case& c, CycleOwner& owner, PluginHost& host, const PeerDialogs& peers) {
  return owner.run([&] {
    if (c.isPeer) peers.run(c.peerKind, owner.hwnd());
    else if (c.function) host.callFunction(static_cast<uint32_t>(host.functionIndex(c.function)), c.parameter);
    else host.callKind(5);
  });
}

double versionCallMicroseconds(PluginHost& host, std::string& result) {
  PreparedCall call(host, static_cast<uint32_t>(host.functionIndex("XELM Version")), "p");
  std::vector<double> perCall;
  perCall.reserve(kVersionBatches);
  for (int batch = 0; batch < kVersionBatches; ++batch) {
    const double start = nowMicroseconds();
    for (int i = 0; i < kVersionBatchCalls; ++i) call.run();
    perCall.push_back((nowMicroseconds() - start) / kVersionBatchCalls);
  }
  result = call.resultText();
  return summarise(perCall).median;
}

std::vector<double> pick(const std::vector<PhaseTimes>& runs, double PhaseTimes::*field) {
  std::vector<double> values;
  for (const PhaseTimes& t : runs) values.push_back(t.*field);
  return values;
}

void printPhases(const std::vector<Case>& cases, const std::vector<Results>& results) {
  std::printf("\nWhere the time goes (medians in ms; the bench runs the plug-in's own steps, linked in):\n");
  std::printf("%-32s %9s %9s %9s %9s %9s %9s %9s\n", "window", "settings", "fonts", "creation", "init", "paint",
              "close", "sum");
  for (size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    if (results[i].phaseRuns.empty()) continue;
    double sum = 0;
    std::printf("%-32s", c.label);
    for (double PhaseTimes::*field : {&PhaseTimes::settings, &PhaseTimes::fonts, &PhaseTimes::creation,
                                      &PhaseTimes::init, &PhaseTimes::paint, &PhaseTimes::close}) {
      const double median = summarise(pick(results[i].phaseRuns, field)).median;
      if (median < 0) {
        std::printf(" %9s", "-");
      } else {
        std::printf(" %9.3f", median / 1000);
        sum += median;
      }
    }
    std::printf(" %9.3f\n", sum / 1000);
  }
  std::printf("(settings: registry read, parameters and initial dates; creation: template to window and controls;\n"
              " init: WM_INITDIALOG; paint: to the first complete paint; close: WM_CLOSE to the call's return.\n"
              " Preferences reads its settings inside init; the time window and the peers have neither\n"
              " settings nor fonts of their own; a peer's init is its dialog procedure's WM_INITDIALOG.)\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench.exe PLUGIN.fmx [--cycles N]\n");
    return 2;
  }
  int cycles = 40;
  for (int i = 2; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "--cycles") == 0) cycles = std::atoi(argv[i + 1]);
  if (cycles < 30) cycles = 30;

  PluginHost host;
  if (!host.load(argv[1])) {
    std::fprintf(stderr, "%s\n", host.lastError().c_str());
    return 2;
  }
  host.initialise(80);
  storeDefaultPreferences();

  CycleOwner owner;
  PeerDialogs peers(owner.hwnd());
  const std::vector<Case> cases = makeCases();
  std::vector<Results> results(cases.size());
  bool allOk = true;

  const int expectedMonths[] = {1, 2, 12};
  std::printf("Peer month calendars show");
  for (int k = 0; k < 3; ++k) {
    const int shown = peers.monthsShown(static_cast<PeerKind>(k), owner.hwnd());
    std::printf(" %d%s", shown, shown == expectedMonths[k] ? "" : " (WRONG)");
    allOk = allOk && shown == expectedMonths[k];
  }
  std::printf(" months.\n");

  // Rounds: every window once, in an order that starts one case later each
  // round; the phase runs of the plug-in's windows follow in the same round.
  for (int round = 0; round < kWarmupRounds + cycles; ++round) {
    const bool counted = round >= kWarmupRounds;
    for (size_t k = 0; k < cases.size(); ++k) {
      const size_t i = (k + round) % cases.size();
      const CycleTimes t = runCase(cases[i], owner, host, peers);
      Results& r = results[i];
      if (!t.ok) r.failed = true;
      if (counted && t.ok) {
        r.totals.push_back(t.total());
        r.opened.push_back(t.opened);
        r.closed.push_back(t.closed);
      }
    }
    for (size_t i = 0; i < cases.size(); ++i) {
      const Case& c = cases[i];
      const PhaseTimes p = c.isPeer ? timePeerPhases(owner, peers, c.peerKind)
                                    : timePhases(owner, host.module(), c.phases, c.functionIndex, c.parameter);
      if (!p.ok) results[i].failed = true;
      if (counted && p.ok) results[i].phaseRuns.push_back(p);
    }
  }

  std::printf("Window cycles: call to first complete paint, then close to return; %d interleaved cycles, ms\n",
              cycles);
  std::printf("%-32s %8s %8s %8s %8s %8s %8s  %s\n", "window", "median", "lowest", "highest", "open", "close",
              "ratio", "target");
  for (size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    const Results& r = results[i];
    const Summary s = summarise(r.totals);
    std::printf("%-32s %8.2f %8.2f %8.2f %8.2f %8.2f", c.label, s.median / 1000, s.lowest / 1000, s.highest / 1000,
                summarise(r.opened).median / 1000, summarise(r.closed).median / 1000);
    if (r.failed) {
      std::printf("  FAILED: a window did not open, paint and close\n");
      allOk = false;
      continue;
    }
    if (c.comparedWith == Peer::None) {
      std::printf("\n");
      continue;
    }
    const size_t peer = peerCase(cases, c.comparedWith);
    const double ratio = s.median / summarise(results[peer].totals).median;
    const bool met = ratio <= 1.0;
    allOk = allOk && met;
    std::printf(" %8.2f  %s (<= 1.0 x %s)\n", ratio, met ? "met" : "MISSED", cases[peer].label + 6);
  }

  printPhases(cases, results);
  printControlCosts(cycles);

  std::string versionText;
  const double version = versionCallMicroseconds(host, versionText);
  const bool versionMet = version <= kVersionTargetMicroseconds && versionText == "Datewell 3.1.1 x86";
  allOk = allOk && versionMet;
  std::printf("\nVersion call (\"p\" -> \"%s\"), host callbacks included: %.3f us median over %d calls  %s\n",
              versionText.c_str(), version, kVersionBatches * kVersionBatchCalls,
              versionMet ? "met (<= 2 us)" : "MISSED (<= 2 us)");
  return allOk ? 0 : 1;
}
