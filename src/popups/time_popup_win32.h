// "XELM TimePopup" (function index 4): runs the Set Time window modally and
// hands back the picked time, or an empty text when the user cancels.
#pragma once
#include <windows.h>

#include "call/host_call.h"

void TimePopup(TextHandle parameter, TextHandle result);

// The Set Time window's dialog procedure (dialog 124). Every message answers
// 0, so the system sets no default focus.
INT_PTR CALLBACK setTimeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
