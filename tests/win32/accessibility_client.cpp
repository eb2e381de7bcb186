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
      EventListener listener(window);
      const int found = findElement(elements, name);
      const HRESULT hr = found < 0 ? E_INVALIDARG : view.doDefaultAction(elements[static_cast<size_t>(found)]);
      char line[64];
      std::snprintf(line, sizeof line, "default action: 0x%08lX\n", static_cast<unsigned long>(hr));
      report += line;
      if (FAILED(hr)) status = 1;
      // Until the window is gone after an action that ended it (under Wine
      // a call that reaches its thread while its apartment ends is never
      // answered, so nothing is let go before), or has been quiet a while.
      listener.pump(500, 5000, true);
      for (const std::string& line : listener.events()) report += "heard: " + line + "\n";
    }
    if (FILE* out = std::fopen(argv[2], "wb")) {
      std::fputs(report.c_str(), out);
      std::fclose(out);
    }
  }
  return status;
}
