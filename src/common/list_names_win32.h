// Annotations of a window's accessible objects, kept by the platform's
// annotation service (IAccPropServices): accessible names for the drop-down
// lists that have no label in front of them, and a live region's politeness.
// The platform's proxies name a control after the static text before
// it, so Set Time's minute list would read ":" and the AM/PM list, the
// calendar's month and year lists nothing. Each list gets its name as an
// annotation of its client object (IAccPropServices, PROPID_ACC_NAME), which
// clients read through the platform's proxies, and loses it when its window
// ends.
#pragma once
#include <windows.h>

struct ListName {
  int id;               // the list's control identifier
  const wchar_t* name;  // what a screen reader reads for it
};

// Gives the first `count` lists of `names` in `window` their names, and
// removes them again (from WM_DESTROY, while the lists still exist). A
// `politeChild` other than 0 is the child id of an element of the window's
// client object that is marked, and unmarked, as a polite live region for UI
// Automation's clients (LiveSetting Polite), in the same visit to the
// service. Where the platform has no annotation service or refuses a
// property (Wine answers E_NOTIMPL), the windows are left as they were and
// nothing else changes.
void nameLists(HWND window, const ListName* names, int count, long politeChild = 0);
void clearListNames(HWND window, const ListName* names, int count, long politeChild = 0);
