// Accessible names for the drop-down lists that have no label in front of
// them. The platform's proxies name a control after the static text before
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
// removes them again (from WM_DESTROY, while the lists still exist). Where
// the platform has no annotation service or refuses a name (Wine answers
// E_NOTIMPL), the lists are left as they were and nothing else changes.
void nameLists(HWND window, const ListName* names, int count);
void clearListNames(HWND window, const ListName* names, int count);
