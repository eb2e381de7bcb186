#pragma once
#include <windows.h>

#include <string>

// Copies the window's pixels, frame included, from its window DC and writes
// them as a PNG. The window must be visible and on screen.
bool captureWindowPng(HWND window, const std::string& path);
