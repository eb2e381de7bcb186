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
// first. The fonts use the ANSI character set. While the user has high
// contrast on (SPI_GETHIGHCONTRAST) the theme gives way to the system's
// colours; the settings are not changed.
void createThemeObjects();
// Makes every object again for popupState.dpi, asking for high contrast
// again and releasing those held, and keeps the picks: for a window whose
// system colours or contrast setting changed while it was open.
void remakeThemeObjects();
// Makes the three fonts again at the heights for a display of `dpi` dots
// per inch (createThemeObjects makes them for 96), releasing those held: the
// calendar window calls it once it knows its display's DPI.
void createThemeFonts(int32_t dpi);
void releaseThemeFonts();
// Releases the fonts, the brushes that are not stock ones and the line pen,
// and clears their handles, so a second release does nothing.
void releaseThemeObjects();
