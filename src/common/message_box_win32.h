// The plug-in's messages.
#pragma once
#include <windows.h>

// Shows `text` under `caption` with only an OK button and no owner window,
// and returns once it is answered. The box is task-modal: while it is up,
// every top-level window of this thread (the plug-in's window behind it and
// the host's windows) is disabled, so none takes a click or a key, none can
// come in front of it, and the window behind it cannot end under it.
inline void showMessage(const char* caption, const char* text) {
  MessageBoxA(nullptr, text, caption, MB_OK | MB_TASKMODAL);
}
