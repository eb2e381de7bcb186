// The registry side of the settings store, for the Preferences window, which
// reads the stored values itself with the same reading rule.
#pragma once
#include <windows.h>

#include <cstddef>

// Reads text value `name` of the open `key` into `text` (limit + 1 bytes)
// and terminates it. False, with `text` undefined, when the value is missing,
// is not of a text type (REG_SZ, REG_EXPAND_SZ), cannot be read, or has
// more than `limit` characters; a NUL stored after the text is not counted.
bool readSettingText(HKEY key, const char* name, size_t limit, char* text);
