// The time popup's own parameter syntax: left|top|24-hour switch|minute
// step|initial time. Scans the host's characters in place (no terminator
// needed) into the popup state: leftText, topText, use24Hour, minuteStep,
// hourText, minuteText, meridiemText, locationX and locationY.
#pragma once
#include <cstdint>

// Expects resetForTimePopup() first. With length 0 nothing changes.
void scanTimeParameters(const char* chars, int32_t length);
