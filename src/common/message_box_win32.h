// The plug-in's messages.
#pragma once
#include <windows.h>

// Shows `text` under `caption` with only an OK button, owned by `window` (the
// plug-in's window the message speaks about), and returns once it is
// answered. While it is up the window is disabled, so it takes no click or
// key and cannot end under the message; the host's windows are already
// disabled by the window's own modal loop. The system enables the owner
// before the box goes away, so the window is active again afterwards, with
// the keyboard focus it had. A box without an owner would leave activation
// to whichever program comes next, and could fall behind its own window.
inline void showMessage(HWND window, const char* caption, const char* text) {
  MessageBoxA(window, text, caption, MB_OK | MB_APPLMODAL);
}
