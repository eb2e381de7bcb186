// The Preferences window, opened by the host's plug-in configuration.
#pragma once
#include <windows.h>

// Runs the Preferences window modally, owned by the active window.
void runPreferencesWindow();

// The window's dialog procedure (dialog 125).
INT_PTR CALLBACK preferencesWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
