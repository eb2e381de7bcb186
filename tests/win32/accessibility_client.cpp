// A screen reader's part in the Win32 tests, as a process of its own: reads
// the window whose handle it is given through oleacc, writes the element
// tree to a file, and performs the default action of the first element with
// the given name, listening meanwhile to the window's WinEvents out of
// context, as a reader does. Every call it makes is marshalled across
// processes.
//
//   accessibility_client WINDOW-HANDLE OUT-FILE [NAME]
//
// The file holds the tree, then "default action: 0xHRESULT" and one line
// "heard: ..." an event (describeEvent). Exits with 0 when the tree was
// read (and the action, if asked for, was accepted), 1 otherwise.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "accessible_view.h"

namespace {

HWND listenedTo = nullptr;
std::vector<std::string> heard;  // one line an event, in the order they came
DWORD lastHeard = 0;             // tick count of the latest event, 0 before the first

void CALLBACK hear(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
  if (window != listenedTo) return;
  lastHeard = GetTickCount();
  // Its place is taken before the element is resolved: while that call
  // waits, the events after this one are delivered.
  const size_t at = heard.size();
  heard.emplace_back();
  heard[at] = describeEvent(event, window, object, child);
}

// Takes events until the window is gone (an action that ended it; under
// Wine a call that reaches its thread while its apartment ends is never
// answered, so nothing is let go before), or half a second after the last
// one while it stays open, or 5 s.
void listenUntilSettled(HWND window) {
  for (int waited = 0; waited < 5000 && IsWindow(window); waited += 10) {
    if (lastHeard && GetTickCount() - lastHeard > 500) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageA(&msg);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  HWND window = reinterpret_cast<HWND>(static_cast<uintptr_t>(std::strtoul(argv[1], nullptr, 0)));
  int status = 1;
  {
    AccessibleView view(window);
    const std::vector<AccessibleElement> elements = view.read();
    std::string report = describeTree(elements) + "\n";
    status = view.ok() ? 0 : 1;
    if (argc > 3) {
      wchar_t name[64] = {};
      MultiByteToWideChar(1252, 0, argv[3], -1, name, 64);
      DWORD process = 0;
      GetWindowThreadProcessId(window, &process);
      listenedTo = window;
      HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_REORDER, 0x8019, nullptr, hear, process, 0,
                                           WINEVENT_OUTOFCONTEXT);
      const int found = findElement(elements, name);
      const HRESULT hr = found < 0 ? E_INVALIDARG : view.doDefaultAction(elements[static_cast<size_t>(found)]);
      char line[64];
      std::snprintf(line, sizeof line, "default action: 0x%08lX\n", static_cast<unsigned long>(hr));
      report += line;
      if (FAILED(hr)) status = 1;
      listenUntilSettled(window);
      if (hook) UnhookWinEvent(hook);
      for (const std::string& line : heard)
        if (!line.empty()) report += "heard: " + line + "\n";
    }
    if (FILE* out = std::fopen(argv[2], "wb")) {
      std::fputs(report.c_str(), out);
      std::fclose(out);
    }
  }
  return status;
}
