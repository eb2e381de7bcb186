#include "dates/date_math.h"

const int32_t monthOffsets[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
const int32_t monthLengths[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

int32_t dayOfWeek(int32_t month, int32_t day, int32_t year) {
  // January and February count as months of the previous year, so that the
  // leap day falls at the end of the counted year.
  int32_t y = month < 3 ? year - 1 : year;
  return (y + y / 4 - y / 100 + y / 400 + monthOffsets[month - 1] + day) % 7;
}

int32_t isLeapYear(int32_t year) {
  return (year % 4 == 0 && (year % 400 == 0 || year % 100 != 0)) ? 1 : 0;
}

int32_t daysInMonth(int32_t month, int32_t year) {
  return monthLengths[month] + ((month == 2 && isLeapYear(year)) ? 1 : 0);
}
