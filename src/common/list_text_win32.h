// Reading a drop-down list's selected entry into a fixed buffer.
#pragma once
#include <windows.h>

#include <cstddef>

// Copies the selected entry's text into out; false (out empty) when nothing
// is selected or the entry would not fit with its terminator.
inline bool selectedListText(HWND list, char* out, size_t outSize) {
  out[0] = '\0';
  const LRESULT index = SendMessageA(list, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return false;
  const LRESULT length = SendMessageA(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR || length >= static_cast<LRESULT>(outSize)) return false;
  return SendMessageA(list, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(out)) != CB_ERR;
}
