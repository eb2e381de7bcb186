// Date texts: the three date styles, the reading of a caller's initial date
// into a calendar's month, day and year texts, today's fallback, and the
// order check of a picked range. Readers take today's date as an argument so
// that tests can fix the day; todayLocal() supplies it in the plug-in.
#pragma once
#include <cstddef>
#include <cstdint>

struct LocalDate {
  int32_t year;   // four digits
  int32_t month;  // 1-12
  int32_t day;    // 1-31
};

enum CalendarSide { LeftCalendar = 1, RightCalendar = 2 };

// Today's date from the machine's clock in local time (Win32 layer).
LocalDate todayLocal();

// Writes the date in the written form of `style` (0 "%02d/%02d/%d" month
// first, 1 day first, 2 "%d/%02d/%02d" year first); an unknown style writes
// an empty text.
void formatDateText(char* out, size_t outSize, int32_t style, int32_t month, int32_t day, int32_t year);

// Reads initialDate1 (and in DateRange initialDate2) into the calendars'
// texts; returns the last reading's result.
int readInitialDates(const LocalDate& today);

// Reads one initial text into the texts of `side`; 1 when the text was taken
// as a date, 0 when today's date stands in (always 0 in the year view).
int readInitialDate(const char* text, CalendarSide side, const LocalDate& today);

// True when pick1 is not later than pick2 (both written texts of the style).
bool rangeInOrder();

// The date a written text of the date style in effect stands for, read from
// the style's field positions (at most `size` characters); all fields 0 for
// a style outside 0-2, and 0 in each field the text does not reach.
LocalDate readWrittenDate(const char* text, size_t size);
