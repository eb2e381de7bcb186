// Gregorian calendar arithmetic over plain integers. Months are 1-12, years
// signed; weekdays are 0 Sunday to 6 Saturday everywhere in the plug-in.
// The grid passes years 1899-2101 (the months around the 1900-2100 lists).
// Callers pass months 1-12 only: nothing here checks its arguments.
#pragma once
#include <cstdint>

// Month term of the weekday formula, indexed by month - 1.
extern const int32_t monthOffsets[12];
// Days of each month in a common year, indexed by month (index 0 unused).
extern const int32_t monthLengths[13];

// Weekday (0 Sunday - 6 Saturday) of the given date.
int32_t dayOfWeek(int32_t month, int32_t day, int32_t year);
// 1 for a leap year, 0 otherwise; symmetric about year 0.
int32_t isLeapYear(int32_t year);
// Days of the month in that year: 28-31.
int32_t daysInMonth(int32_t month, int32_t year);
