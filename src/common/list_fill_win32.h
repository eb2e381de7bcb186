// Filling a drop-down list in one go with the plug-in's own texts.
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

  // Adds an entry. The plug-in's texts are Western (code page 1252), such
  // as "F\xE9vrier"; the 8-bit message would convert them with the system's
  // code page and garble them on a Cyrillic, Greek, East Asian or UTF-8
  // system, so they are converted from 1252 and added as wide text. (Lists
  // are read back by position, or hold only ASCII where read as text.)
  // Should the conversion fail, the 8-bit message adds the text as the
  // system converts it: exact for the ASCII entries that are read back as
  // text (hours, minutes, years), never an empty entry.
  void add(const char* text) {
    wchar_t wide[64];
    if (MultiByteToWideChar(1252, 0, text, -1, wide, sizeof wide / sizeof wide[0]) == 0)
      SendMessageA(list_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    else
      SendMessageW(list_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide));
  }

 private:
  HWND list_;
};
