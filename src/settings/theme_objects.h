// The fonts, brushes and colours of one date call, made from the theme, font
// and scale in effect (createThemeObjects) and released when the calendar
// window is destroyed (releaseThemeObjects). Handles are opaque here.
#pragma once
#include "grid/calendar_cell.h"

struct ThemeObjects {
  void* weekdayFont;          // weekday headings: bold, scale x 14
  void* dayFont;              // day numbers: normal weight, scale x 14
  void* monthTitleFont;       // year-view month titles: bold, scale x 18
  void* dialogBrush;          // window background (solid, theme background)
  void* weekdayBrush;         // heading cells (solid, theme weekday background)
  void* selectedBrush;        // highlighted day (solid, theme selected background)
  void* otherMonthBrush;      // neighbouring months' days (stock light grey)
  void* dayBrush;             // shown month's days (stock white)
  Colour monthTitleTextColor; // year-view month titles
  Colour weekdayBkColor;      // heading text background
  Colour weekdayTextColor;    // heading text
  Colour dayTextColor;        // day numbers of the shown month
  Colour selectedBkColor;     // highlighted day's text background
  Colour dayBkColor;          // 0xFFFFFF
  Colour otherMonthBkColor;   // 0xBEBEBE
  Colour otherMonthTextColor; // 0x808080
  Colour selectedTextColor;   // 0x000000
};

// Makes the call's fonts and brushes from settings.theme, settings.font and
// settings.scale into popupState.objects, sets the colours, and clears
// picked1 and picked2. Objects still held from an earlier call are released
// first. The fonts use the ANSI character set.
void createThemeObjects();
// Releases the three fonts and three solid brushes (never the stock ones) and
// clears their handles, so a second release does nothing.
void releaseThemeObjects();
