// The preferences stored under HKEY_LOCAL_MACHINE\Software\Vantrell\
// XELMCalendar\Settings as eleven REG_SZ texts, their read limits and
// defaults, loaded afresh by every date call.
#pragma once
#include <cstddef>

extern const char* const kSettingsKeyPath;

// Fills popupState.settings from the registry (defaults for what is missing);
// needs popupState.mode, since the scale depends on it.
void loadSettings();
