#include <gtest/gtest.h>

#include "dates/date_math.h"

namespace {

// Independent reference: days since 1 January 1 (proleptic Gregorian) by
// counting whole years and months; 1 January 1 was a Monday.
int64_t daysBefore(int year, int month) {
  int64_t y = year - 1;
  int64_t days = y * 365 + y / 4 - y / 100 + y / 400;
  static const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  for (int m = 1; m < month; ++m) days += lengths[m - 1] + (m == 2 && leap ? 1 : 0);
  return days;
}

int referenceWeekday(int year, int month) { return static_cast<int>((daysBefore(year, month) + 1) % 7); }

TEST(DateMath, EveryFirstOfAMonthFrom1899To2101) {
  for (int year = 1899; year <= 2101; ++year)
    for (int month = 1; month <= 12; ++month)
      ASSERT_EQ(dayOfWeek(month, 1, year), referenceWeekday(year, month)) << month << "/" << year;
}

TEST(DateMath, MonthLengthsMatchTheDistanceBetweenFirsts) {
  for (int year = 1899; year <= 2101; ++year)
    for (int month = 1; month <= 12; ++month) {
      int64_t next = month == 12 ? daysBefore(year + 1, 1) : daysBefore(year, month + 1);
      ASSERT_EQ(daysInMonth(month, year), next - daysBefore(year, month)) << month << "/" << year;
    }
}

TEST(DateMath, KnownWeekdays) {
  struct Case { int month, day, year, weekday; } cases[] = {
      {1, 1, 2000, 6}, {1, 1, 1900, 1}, {2, 1, 1900, 4}, {3, 1, 2100, 1},
      {3, 1, 2000, 3}, {2, 1, 2000, 2}, {12, 25, 2003, 4}, {2, 1, 2010, 1},
  };
  for (const Case& c : cases) EXPECT_EQ(dayOfWeek(c.month, c.day, c.year), c.weekday) << c.month << "/" << c.day << "/" << c.year;
}

TEST(DateMath, LeapYearsAreSymmetricAboutZero) {
  struct Case { int year, leap; } cases[] = {
      {2000, 1}, {1900, 0}, {2100, 0}, {2004, 1}, {2003, 0}, {0, 1}, {-4, 1}, {-400, 1}, {-100, 0}, {-1, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(isLeapYear(c.year), c.leap) << c.year;
  EXPECT_EQ(daysInMonth(2, 2000), 29);
  EXPECT_EQ(daysInMonth(2, 1900), 28);
  EXPECT_EQ(daysInMonth(12, 1899), 31);
  EXPECT_EQ(daysInMonth(1, 2101), 31);
}

}  // namespace
