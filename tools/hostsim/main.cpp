// hostsim: a stand-in for the host application. Loads the plug-in as the
// host does and calls it; optionally drives the window a call opens.
//
//   hostsim [--plugin FILE] info
//   hostsim [--plugin FILE] call NAME PARAM [--do ACTION]... [--fail-resize] [--bytes]
//   hostsim [--plugin FILE] prefs [--do ACTION]...
// and with either of the last two: --before "delkey PATH" or --before
// "denywrite PATH" (done before the window opens), --wait-limit SECONDS (how
// long a window may stay open after the last --do action before hostsim
// closes it and fails; 20 by default), --high-contrast (the plug-in is told
// that high contrast is on, and the system colours are white on black).
//
// ACTION: "select ID INDEX", "select ID TEXT", "press ID", "click X Y",
// "type ID TEXT", "close", "msgbox", "shot FILE.png", "wait MS", "tree"
// (the window's elements as a screen reader reads them: role, name, states,
// description, default action, screen rectangle; a month object's days
// indented under it), "act NAME" (the default action of the element of that
// name, as a screen reader performs it; "act GROUP / NAME" looks in the
// month object named GROUP), "steps [GROUP / ]NAME" (how many moves a
// reader's object navigation takes from the window to that element),
// "delkey PATH", "denywrite PATH" (a key under HKEY_LOCAL_MACHINE: deleted,
// or its values read-only until hostsim ends), "refuse NAME[,NAME...]" (the
// plug-in's writes of those values fail); on the
// calendar window also "day SLOT POSITION" (click a cell's centre),
// "month left|right N", "year left|right YYYY", "ok", "cancel", and
// "msgshot FILE.png" (the message box that is open). "press", "ok" and
// "cancel" fail on a button that is missing, hidden or disabled, and while
// a message box the window raised is open (answer it with "msgbox"). The first
// action that fails ends the script: the window is closed and hostsim exits 1.
// Without --do the window simply opens for a person to use; on a display
// nobody sees (scripts/wine-run's hidden one) it is closed after the wait
// limit instead, and hostsim exits 1.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "high_contrast.h"
#include "plugin_host.h"
#include "window_driver.h"

namespace {

std::string defaultPluginPath() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path);
  size_t slash = dir.find_last_of("\\/");
  return (slash == std::string::npos ? std::string() : dir.substr(0, slash + 1)) + "XELMCalendar.fmx";
}

int usage() {
  std::fprintf(stderr,
               "usage: hostsim [--plugin FILE] info\n"
               "       hostsim [--plugin FILE] call NAME PARAM [--do ACTION]... [--fail-resize] [--bytes]\n"
               "       hostsim [--plugin FILE] prefs [--do ACTION]...\n"
               "options of call and prefs: --before ACTION (delkey/denywrite), --wait-limit SECONDS,\n"
               "  --high-contrast\n");
  return 2;
}

std::string printable(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c == '\n') out += "\\n";
    else if (c < 0x20 || c >= 0x7F) { char hex[8]; std::snprintf(hex, sizeof hex, "\\x%02X", c); out += hex; }
    else out += static_cast<char>(c);
  }
  return out;
}

int info(PluginHost& host) {
  std::printf("name:        %s\n", printable(host.stringResource(128)).c_str());
  std::printf("description: %s\n", printable(host.stringResource(129)).c_str());
  std::printf("string 130:  %s\n", host.stringResource(130).empty() ? "(none)" : "present");
  std::printf("options:     %s\n", host.stringResource(131).c_str());
  for (int i = 0; i < 6; ++i) std::printf("function %d:  %s\n", i, host.stringResource(144 + i).c_str());
  std::printf("file version: %s\n", host.fileVersion().c_str());
  const char* names[] = {"FileVersion", "ProductVersion", "CompanyName", "FileDescription",
                         "InternalName", "OriginalFilename", "ProductName", "Comments"};
  for (const char* name : names) std::printf("  %-17s %s\n", name, host.versionText(name).c_str());
  std::printf("initialise(80): %d\n", host.initialise(80));
  return 0;
}

// Whether the windows open on a display nobody sees: scripts/wine-run sets
// this when it started a hidden X server (Xvfb) for want of DISPLAY.
bool displayHidden() {
  const char* hidden = std::getenv("WINE_RUN_HIDDEN_DISPLAY");
  return hidden && std::strcmp(hidden, "1") == 0;
}

// Prints an action's log, one line at a time (the "tree" action's has many).
void printLog(const std::string& log) {
  size_t start = 0;
  while (start < log.size()) {
    const size_t end = std::min(log.find('\n', start), log.size());
    std::printf("%s\n", printable(log.substr(start, end - start)).c_str());
    start = end + 1;
  }
  std::fflush(stdout);
}

// Runs `call`, driven by the actions when there are any. Without actions the
// window is left to a person, unless nobody can see it: it is then closed
// after the wait limit, as a window the actions leave open. The first action
// that fails ends the script: its window is closed at once.
bool runWithActions(const std::vector<std::string>& actions, const std::function<void()>& call) {
  if (actions.empty() && !displayHidden()) {
    call();
    return true;
  }
  bool ok = true, opened = false;
  bool driven = runDriven(call, [&](WindowDriver& driver) {
    opened = true;
    for (const std::string& action : actions) {
      std::string log;
      ok = driver.run(action, log);
      printLog(log);
      if (!ok) {
        std::printf("hostsim: the action \"%s\" failed; the window is closed without the actions after it\n",
                    printable(action).c_str());
        driver.abandon();
        return;
      }
    }
  });
  if (actions.empty() && !opened) return true;  // a call that opens no window
  if (actions.empty())
    std::printf("no display to use the window on (scripts/wine-run started a hidden one): closed after %d s\n",
                closeWaitLimitMs / 1000);
  else if (!driven && ok)
    std::printf("the window did not open, or did not close after the actions\n");
  return ok && driven;
}

// Takes the options that prepare a call: "--wait-limit SECONDS" and
// "--before ACTION". False when args[i] is none of them.
bool takePreparation(const std::vector<std::string>& args, size_t& i, std::vector<std::string>& before) {
  if (i + 1 >= args.size()) return false;
  if (args[i] == "--wait-limit") closeWaitLimitMs = std::atoi(args[++i].c_str()) * 1000;
  else if (args[i] == "--before") before.push_back(args[++i]);
  else return false;
  return true;
}

// Runs the registry actions given with --before, so that the window opens on
// the registry as they leave it; a denial stays in `denial` until hostsim
// ends. False when one is not a registry action or failed.
bool prepareRegistry(const std::vector<std::string>& before, std::unique_ptr<KeyWriteDenial>& denial) {
  for (const std::string& action : before) {
    const size_t space = action.find(' ');
    const std::string verb = action.substr(0, space);
    const std::string path = space == std::string::npos ? std::string() : action.substr(space + 1);
    bool ok = false;
    std::string log = "not an action for --before: " + action;
    if (!runRegistryAction(verb, path, denial, ok, log) || !ok) {
      std::fprintf(stderr, "hostsim: %s\n", log.c_str());
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string pluginPath = defaultPluginPath();
  if (args.size() >= 2 && args[0] == "--plugin") {
    pluginPath = args[1];
    args.erase(args.begin(), args.begin() + 2);
  }
  if (args.empty()) return usage();
  // A caret that never blinks is drawn the same in every screenshot; a
  // blinking one is in some and not in others, so pictures of one build
  // would not compare equal.
  SetCaretBlinkTime(INFINITE);

  PluginHost host;
  if (!host.load(pluginPath)) {
    std::fprintf(stderr, "hostsim: %s\n", host.lastError().c_str());
    return 1;
  }
  const std::string command = args[0];
  if (command == "info") return info(host);

  std::vector<std::string> actions;
  std::vector<std::string> positional, before;
  bool failResize = false, showBytes = false, highContrast = false;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--do" && i + 1 < args.size()) actions.push_back(args[++i]);
    else if (args[i] == "--fail-resize") failResize = true;
    else if (args[i] == "--high-contrast") highContrast = true;
    else if (args[i] == "--bytes") showBytes = true;
    else if (takePreparation(args, i, before)) continue;
    else positional.push_back(args[i]);
  }
  host.initialise(80);
  std::unique_ptr<KeyWriteDenial> denial;
  if (!prepareRegistry(before, denial)) return 1;
  HighContrast contrast(host.module());
  if (highContrast) contrast.turnOn(highContrastBlack());

  if (command == "prefs") {
    bool ok = runWithActions(actions, [&] { host.callKind(5); });
    return ok ? 0 : 1;
  }
  if (command != "call" || positional.empty()) return usage();

  int index = host.functionIndex(positional[0]);
  if (index < 0) {
    std::fprintf(stderr, "hostsim: the plug-in lists no function \"%s\"\n", positional[0].c_str());
    return 1;
  }
  std::string parameter = positional.size() > 1 ? positional[1] : "";
  PluginHost::Outcome outcome;
  bool ok = runWithActions(actions, [&] { outcome = host.callFunction(index, parameter, "", failResize); });
  std::printf("%s(\"%s\") -> \"%s\"\n", positional[0].c_str(), printable(parameter).c_str(),
              printable(outcome.text()).c_str());
  if (showBytes) {
    std::printf("result block: %u bytes:", static_cast<unsigned>(outcome.result.size()));
    for (char c : outcome.result) std::printf(" %02X", static_cast<unsigned char>(c));
    std::printf("%s\n", outcome.guardIntact ? "" : "  (written past its end!)");
  }
  if (failResize) std::printf("resize failed on request; block %s\n", outcome.result.empty() ? "left empty" : "written");
  return ok ? 0 : 1;
}
