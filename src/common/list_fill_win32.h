// Filling a drop-down list in one go.
#pragma once
#include <windows.h>

// Switches a drop-down list's drawing off while entries are added and back
// on afterwards. With drawing on, every added entry also updates the scroll
// bar of the list's (hidden) drop-down part, which costs several times the
// adding itself; the list's closed face is drawn as before.
class ListFill {
 public:
  explicit ListFill(HWND list) : list_(list) { SendMessageA(list_, WM_SETREDRAW, FALSE, 0); }
  ~ListFill() { SendMessageA(list_, WM_SETREDRAW, TRUE, 0); }
  ListFill(const ListFill&) = delete;
  ListFill& operator=(const ListFill&) = delete;

  void add(const char* text) { SendMessageA(list_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)); }

 private:
  HWND list_;
};
