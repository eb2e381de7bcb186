#include "control_costs.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <vector>

#include "summary.h"
#include "window_cycle.h"

namespace {

struct ControlKind {
  const char* label;
  const char* className;
  DWORD style;
};

const ControlKind kinds[] = {
    {"drop-down list (COMBOBOX, CBS_DROPDOWNLIST)", "COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL},
    {"month calendar (SysMonthCal32)", MONTHCAL_CLASSA, 0},
    {"time picker (SysDateTimePick32, DTS_TIMEFORMAT)", DATETIMEPICK_CLASSA, DTS_TIMEFORMAT},
    {"push button", "BUTTON", BS_PUSHBUTTON},
    {"static text", "STATIC", 0},
};
const size_t kKindCount = sizeof kinds / sizeof kinds[0];

}  // namespace

void printControlCosts(int cycles) {
  HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
  std::vector<double> created[kKindCount], destroyed[kKindCount];
  for (int round = 0; round < cycles; ++round) {
    for (size_t k = 0; k < kKindCount; ++k) {
      const double start = nowMicroseconds();
      HWND control = CreateWindowExA(0, kinds[k].className, "", WS_CHILD | WS_VISIBLE | kinds[k].style, 10, 10, 150,
                                     150, parent, nullptr, nullptr, nullptr);
      const double made = nowMicroseconds();
      DestroyWindow(control);
      created[k].push_back(made - start);
      destroyed[k].push_back(nowMicroseconds() - made);
    }
  }
  DestroyWindow(parent);
  std::printf("\nOne control, created and destroyed (medians of %d, ms):\n", cycles);
  for (size_t k = 0; k < kKindCount; ++k)
    std::printf("%-50s create %6.3f  destroy %6.3f\n", kinds[k].label, summarise(created[k]).median / 1000,
                summarise(destroyed[k]).median / 1000);
  std::printf("(a drop-down list's list is a top-level popup window of its own; the calendar window holds\n"
              " 1 to 4 of them, the time window 2 or 3, the Preferences window 8)\n");
}
