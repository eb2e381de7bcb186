// The single-instance state of the popup call in progress. The popup
// functions, their dialog procedures and the operations they call in dates/,
// grid/ and settings/ share these fields instead of passing arguments. Every
// field is zero at module load; each popup function resets the fields it
// uses (resetFor*), everything else keeps the previous call's value. Text
// fields hold width + 1 bytes.
#pragma once
#include <cstdint>

#include "call/calendar_cell.h"

struct HostCall;

enum PopupMode : int32_t { NoPopupMode = 0, SingleDate = 1, DateRange = 2, YearView = 3 };

enum DateStyle : int32_t { StyleMonthFirst = 0, StyleDayFirst = 1, StyleYearFirst = 2 };

// The preferences in effect for one date call: loaded from the registry,
// then overridden field by field by the call's parameter text.
struct PopupSettings {
  char title[50];           // calendar window caption, up to 49 characters
  int32_t language;         // 0-7, row of the month and weekday name tables
  int32_t calendarType;     // 0 weeks start on Sunday, 1 on Monday
  int32_t dateStyle;        // 0 mm/dd/yyyy, 1 dd/mm/yyyy, 2 yyyy/mm/dd
  int32_t selectionMethod;  // 0 Date Click, 1 Command Buttons
  int32_t location;         // 0 Centered, 1 Specified
  int32_t locationX;        // screen position used when Specified
  int32_t locationY;
  int32_t sizeIndex;        // 0 Normal, 1 Small, 2 Smaller (year view)
  float scale;              // size percentage / 100 in the year view, else 1
  int32_t theme;            // 0-5, row of the theme palette table
  int32_t font;             // 0-3, entry of the face name table
};

// The fonts, brushes and colours of one date call, made by the settings from
// the theme, font and scale in effect (or, while high contrast is on, from
// the system's colours: the brushes are then all solid ones of their own)
// and released when the calendar window is destroyed. Handles are opaque
// here.
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
  Colour selectedTextColor;   // 0x000000; also the selection frame in high contrast
  Colour windowBkColor;       // window background, behind the year view's month titles
  void* linePen;              // frames and grid lines; null: the device context's black pen
  int32_t highContrast;       // 1: made from the system's colours (high contrast is on)
};

struct PopupState {
  // The call.
  HostCall* hostCall;   // host's record of the call in progress
  PopupMode mode;       // layout of the date call
  int32_t cellCount;    // grid cells in use: 49, 98 or 588

  PopupSettings settings;

  // Dates of a date call.
  char initialDate1[11];  // initial date text of the left or only calendar
  char initialDate2[11];  // the same for the right calendar
  char month1[4];         // month shown in the left calendar, decimal
  char day1[4];           // initial day of the left calendar
  char year1[8];          // year shown in the left calendar
  char month2[4];         // the same for the right calendar
  char day2[4];
  char year2[8];
  char leftText[6];       // position texts as given in the parameter
  char topText[6];
  char pick1[12];         // date picked in the left or only calendar
  char pick2[12];         // date picked in the right calendar
  int32_t picked1;        // a date was picked in the left calendar
  int32_t picked2;        // a date was picked in the right calendar
  char resultText[50];    // what the date call hands back

  // The calendar window.
  int32_t dialogReady;            // initialisation finished; list changes count
  CellRect clientRect;            // client rectangle as the window adjusts it
  int32_t dpi;                    // dots per inch of the window's display; 0 (not measured) counts as 96
  CalendarCell grid[kGridCells];  // the calendar grid
  ThemeObjects objects;           // fonts, brushes and colours of the call

  // The time popup.
  char hourText[3];       // initial hour as looked up in the hour list
  char minuteText[3];     // initial minute as looked up in the minute list
  char meridiemText[3];   // "AM", "PM" or empty
  int32_t use24Hour;      // 1: hours 0-23 and no AM/PM list
  int32_t minuteStep;     // distance between minute entries, divides 60
  char timeResult[10];    // what the time call hands back
};

extern PopupState popupState;

// The resets each popup function makes before it reads its parameter.
void resetForCalPopup();
void resetForCalPopup2();
void resetForYearPopup();
void resetForTimePopup();
