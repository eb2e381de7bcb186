#pragma once
#include <windows.h>

#include <string>

// Copies the window's pixels, frame included, from its window DC and writes
// them as a PNG. The window must be visible and on screen. False when nothing
// could be copied or written, and when the client area is one colour (a
// window that did not paint); that file is written all the same, for a look.
bool captureWindowPng(HWND window, const std::string& path);
