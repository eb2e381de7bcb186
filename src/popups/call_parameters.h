// The parameter text of the three date functions: "|"-separated positional
// fields that override the loaded settings for this call alone.
#pragma once

// Splits `text` (NUL-terminated) and applies its fields for the popup mode
// in effect. Reads mode; writes the settings, initial dates and position.
void applyParameters(const char* text);
