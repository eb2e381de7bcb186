// The registry side of the settings store, for the Preferences window, which
// reads the stored values itself with the same reading rule.
#pragma once
#include <windows.h>

#include <cstddef>

// Reads value `name` of the open `key` into `text` (limit + 1 bytes) and
// terminates it. The value's bytes are the text whatever type it is stored
// with. False, with `text` undefined, when the value is missing, cannot be
// read, or has more than `limit` characters; a NUL stored after the text is
// not counted.
bool readSettingText(HKEY key, const char* name, size_t limit, char* text);
