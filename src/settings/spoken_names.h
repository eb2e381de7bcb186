// What a screen reader is given to speak, beside the painted tables of
// theme_tables.h: the whole weekday names, the month names spelled in full
// with their accents, the few words the calendar's descriptions use, and
// each language's long date form. 8-bit texts in code page 1252, one row per
// language in the order of languageNames. Names are written as they stand
// inside a phrase: German and English capitalise them, the others do not.
#pragma once
#include <cstddef>
#include <cstdint>

#include "dates/date_text.h"
#include "settings/theme_tables.h"

extern const char* const spokenMonthNames[kLanguageCount][12];   // January first
extern const char* const spokenWeekdayNames[kLanguageCount][7];  // Sunday first

struct SpokenWords {
  const char* selected; // follows the date of the highlighted or picked day
  const char* start;    // the range's left calendar
  const char* end;      // the range's right calendar
  const char* label;    // between "Start" or "End" and the month it shows
  const char* outside;  // a grey day, written as it stands after a comma
};

extern const SpokenWords spokenWords[kLanguageCount];

// The long date in `language` (0-7): "Friday 12 March 2004", "vendredi
// 12 mars 2004", "Freitag, 12. November 2004", "viernes, 12 de marzo de
// 2004"; without the weekday (and its comma) when `withWeekday` is false:
// "12 March 2004". The date's month must be 1-12.
void spokenDate(char* out, size_t outSize, int32_t language, const LocalDate& date, bool withWeekday);

// A month and year in `language`: "March 2004", "marzo de 2004".
void spokenMonth(char* out, size_t outSize, int32_t language, int32_t month, int32_t year);
