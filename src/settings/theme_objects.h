// Making and releasing the fonts, brushes and colours of one date call
// (popupState.objects), from the theme, font and scale in effect. They live
// from createThemeObjects until the calendar window is destroyed, which calls
// releaseThemeObjects.
#pragma once
#include <cstdint>

#include "call/popup_state.h"

// Makes the call's fonts and brushes from settings.theme, settings.font and
// settings.scale into popupState.objects, sets the colours, and clears
// picked1 and picked2. Objects still held from an earlier call are released
// first. The fonts use the ANSI character set.
void createThemeObjects();
// Makes the three fonts again at the heights for a display of `dpi` dots
// per inch (createThemeObjects makes them for 96), releasing those held: the
// calendar window calls it once it knows its display's DPI.
void createThemeFonts(int32_t dpi);
void releaseThemeFonts();
// Releases the three fonts and three solid brushes (never the stock ones) and
// clears their handles, so a second release does nothing.
void releaseThemeObjects();
