#include <gtest/gtest.h>

#include <string>

#include "../common/popup_calls.h"
#include "call/popup_state.h"
#include "common/text.h"
#include "dates/date_text.h"

namespace {

const LocalDate kToday = {2004, 3, 7};  // 7 March 2004

void startCall(PopupMode mode, int32_t style) {
  resetForMode(mode);
  popupState.settings.dateStyle = style;
}

struct ReadCase {
  int32_t style;
  const char* text;     // read as given; initialDate1 holds its first 10 characters
  int taken;            // expected result of the reading
  const char* month;    // month1, day1, year1 afterwards
  const char* day;
  const char* year;
  const char* initial;  // initialDate1 afterwards
};

// Today's texts, for the cases that fall back.
#define TODAY "3", "7", "2004"

const ReadCase kReadCases[] = {
    // Month first: separators, runs, leading separator, extra parts.
    {0, "3/7/04", 1, "3", "7", "2004", "3/7/04"},
    {0, "12-25-99", 1, "12", "25", "1999", "12-25-99"},
    {0, "12.25.2003", 1, "12", "25", "2003", "12.25.2003"},
    {0, "/3/7/2004", 1, "3", "7", "2004", "/3/7/2004"},
    {0, "3//7//2004", 1, "3", "7", "2004", "3//7//2004"},
    {0, "3/7/2004/9", 1, "3", "7", "2004", "3/7/2004/9"},
    {0, "03/07/2004", 1, "03", "07", "2004", "03/07/2004"},
    {0, "09/10/2004", 1, "09", "10", "2004", "09/10/2004"},
    {0, "10/09/2004", 1, "10", "09", "2004", "10/09/2004"},
    // Two-digit years widen by their first character; other lengths stay.
    {0, "1/1/59", 1, "1", "1", "2059", "1/1/59"},
    {0, "1/1/60", 1, "1", "1", "1960", "1/1/60"},
    {0, "1/1/00", 1, "1", "1", "2000", "1/1/00"},
    {0, "1/1/#1", 1, "1", "1", "20#1", "1/1/#1"},
    {0, "1/1/x1", 1, "1", "1", "19x1", "1/1/x1"},
    {0, "3/7/1", 1, "3", "7", "1", "3/7/1"},
    {0, "3/7/12345", 1, "3", "7", "12345", "3/7/12345"},
    {0, "3/7/1234567", 1, "3", "7", "1234567", "3/7/123456"},
    {0, "3/7/12345678", 0, TODAY, "03/07/2004"},
    // Only the month's width is checked, not the values.
    {0, "a/b/c", 1, "a", "b", "c", "a/b/c"},
    {0, "3/123/2004", 1, "3", "123", "2004", "3/123/2004"},
    // Not dates: today's date stands in.
    {0, "", 0, TODAY, "03/07/2004"},
    {0, "3 7 2004", 0, TODAY, "03/07/2004"},
    {0, "123/4/2004", 0, TODAY, "03/07/2004"},
    {0, "1a/2/2004", 0, TODAY, "03/07/2004"},
    {0, "1", 0, TODAY, "03/07/2004"},
    {0, "12", 0, TODAY, "03/07/2004"},
    {0, "/", 0, TODAY, "03/07/2004"},
    // Fewer than three parts, and a day too long for its text.
    {0, "1/", 0, TODAY, "03/07/2004"},
    {0, "12/25", 0, TODAY, "03/07/2004"},
    {0, "12/25/", 0, TODAY, "03/07/2004"},
    {0, "3-7/2004", 0, TODAY, "03/07/2004"},
    {0, "1/123456/1", 0, TODAY, "03/07/2004"},
    {0, "3/1234/04", 0, TODAY, "03/07/2004"},
    // Day first.
    {1, "7.3.2004", 1, "3", "7", "2004", "7.3.2004"},
    {1, "31/12/99", 1, "12", "31", "1999", "31/12/99"},
    {1, "1/123/2004", 0, TODAY, "07/03/2004"},
    {1, "1234/1/2004", 0, TODAY, "07/03/2004"},
    {1, "", 0, TODAY, "07/03/2004"},
    // Year first: the year range decides, the fifth character separates.
    {2, "2004/03/07", 1, "03", "07", "2004", "2004/03/07"},
    {2, "2004-03-07", 1, "03", "07", "2004", "2004-03-07"},
    {2, "2004 3 7", 1, "3", "7", "2004", "2004 3 7"},
    {2, "2004//3//7", 1, "3", "7", "2004", "2004//3//7"},
    {2, "1900/1/1", 1, "1", "1", "1900", "1900/1/1"},
    {2, "2100/12/31", 1, "12", "31", "2100", "2100/12/31"},
    {2, "2004/3/7/9", 1, "3", "7", "2004", "2004/3/7/9"},
    {2, "2004304305", 1, "04", "05", "2004", "2004304305"},
    {2, "1899/12/31", 0, TODAY, "2004/03/07"},
    {2, "2101/01/01", 0, TODAY, "2004/03/07"},
    {2, "04/03/07", 0, TODAY, "2004/03/07"},
    {2, " 2004/3/7", 0, TODAY, "2004/03/07"},
    {2, "20a4/1/1", 0, TODAY, "2004/03/07"},
    {2, "2004", 0, TODAY, "2004/03/07"},
    {2, "2004/", 0, TODAY, "2004/03/07"},
    {2, "2004/05", 0, TODAY, "2004/03/07"},
    {2, "2004/123/1", 0, TODAY, "2004/03/07"},
    {2, "2004/1/1234", 0, TODAY, "2004/03/07"},
    {2, "", 0, TODAY, "2004/03/07"},
    // A damaged date style reads nothing and writes no date text.
    {3, "3/7/2004", 0, TODAY, ""},
    {-1, "2004/03/07", 0, TODAY, ""},
};

TEST(DateText, ReadsOrFallsBackToToday) {
  for (const ReadCase& c : kReadCases) {
    SCOPED_TRACE(std::string("style ") + std::to_string(c.style) + " text '" + c.text + "'");
    startCall(SingleDate, c.style);
    copyText(popupState.initialDate1, c.text);
    EXPECT_EQ(readInitialDate(c.text, LeftCalendar, kToday), c.taken);
    EXPECT_STREQ(popupState.month1, c.month);
    EXPECT_STREQ(popupState.day1, c.day);
    EXPECT_STREQ(popupState.year1, c.year);
    EXPECT_STREQ(popupState.initialDate1, c.initial);
  }
}

TEST(DateText, RangeReadsBothCalendarsAndReportsTheRight) {
  struct Case { const char* left; const char* right; int result; } cases[] = {
      {"3/1/2004", "", 0}, {"", "3/15/2004", 1}, {"3/1/2004", "3/15/2004", 1}, {"x", "y", 0},
  };
  for (const Case& c : cases) {
    startCall(DateRange, 0);
    copyText(popupState.initialDate1, c.left);
    copyText(popupState.initialDate2, c.right);
    EXPECT_EQ(readInitialDates(kToday), c.result) << c.left << " " << c.right;
  }
  // The last case left both calendars on today.
  EXPECT_STREQ(popupState.initialDate2, "03/07/2004");
  EXPECT_STREQ(popupState.day2, "7");

  startCall(DateRange, 0);
  copyText(popupState.initialDate1, "3/1/2004");
  readInitialDates(kToday);
  EXPECT_STREQ(popupState.day1, "1");
  EXPECT_STREQ(popupState.initialDate1, "3/1/2004");
  EXPECT_STREQ(popupState.month2, "3");
  EXPECT_STREQ(popupState.day2, "7");
  EXPECT_STREQ(popupState.year2, "2004");
  EXPECT_STREQ(popupState.initialDate2, "03/07/2004");
}

TEST(DateText, YearViewShowsTheGivenOrTheCurrentYear) {
  struct Case { const char* text; const char* year; const char* month; const char* day; } cases[] = {
      {"2010", "2010", "", ""}, {"1900", "1900", "", ""}, {"2100", "2100", "", ""},
      {"2004", "2004", "3", "7"}, {"", "2004", "3", "7"},       {"1850", "2004", "3", "7"},
      {"2101", "2004", "3", "7"}, {"05", "2004", "3", "7"},     {"-2010", "2004", "3", "7"},
  };
  for (const Case& c : cases) {
    startCall(YearView, 2);
    copyText(popupState.month1, "9");  // left over from an earlier reading
    copyText(popupState.initialDate1, c.text);
    EXPECT_EQ(readInitialDates(kToday), 0) << c.text;
    EXPECT_STREQ(popupState.year1, c.year) << c.text;
    EXPECT_STREQ(popupState.month1, c.month) << c.text;
    EXPECT_STREQ(popupState.day1, c.day) << c.text;
    EXPECT_STREQ(popupState.initialDate1, "2004/03/07") << c.text;
  }
}

TEST(DateText, RangeOrder) {
  struct Case { int32_t style; const char* left; const char* right; bool inOrder; } cases[] = {
      {0, "12/31/2003", "01/01/2004", true},  {0, "02/01/2004", "01/15/2004", false},
      {0, "01/15/2004", "01/15/2004", true},  {0, "01/15/2004", "01/16/2004", true},
      {0, "01/16/2004", "01/15/2004", false}, {0, "01/01/2005", "12/31/2004", false},
      {1, "31/01/2004", "01/02/2004", true},  {1, "01/02/2004", "31/01/2004", false},
      {1, "02/01/2004", "01/01/2004", false}, {2, "2003/12/31", "2004/01/01", true},
      {2, "2004/02/01", "2004/01/15", false}, {2, "2004/01/15", "2004/01/15", true},
      {1, "25/12/2003", "09/12/2003", false}, {1, "01/12/2003", "01/09/2003", false},
      {2, "2003/12/01", "2003/09/30", false},
      // Short or empty picks read as zeros; nothing behind a terminator counts.
      {0, "", "", true},                      {0, "", "01/01/2004", true},
      {0, "01/01/2004", "", false},           {0, "01/01", "01/01/2004", true},
      // A damaged style has no positions to compare and lets the range stand.
      {3, "02/01/2004", "01/15/2004", true},  {-7, "02/01/2004", "01/15/2004", true},
  };
  for (const Case& c : cases) {
    popupState.settings.dateStyle = c.style;
    clearText(popupState.pick1);
    clearText(popupState.pick2);
    copyText(popupState.pick1, c.left);
    copyText(popupState.pick2, c.right);
    EXPECT_EQ(rangeInOrder(), c.inOrder) << c.style << " " << c.left << " " << c.right;
  }
  // A stale tail behind a shorter pick is not read.
  popupState.settings.dateStyle = 0;
  copyText(popupState.pick1, "09/09/2099");
  copyText(popupState.pick1, "01/01");
  copyText(popupState.pick2, "01/01/2000");
  EXPECT_TRUE(rangeInOrder());
  popupState.settings.dateStyle = 3;  // a damaged style reads no date at all
  const LocalDate none = readWrittenDate("02/01/2004", 11);
  EXPECT_TRUE(none.year == 0 && none.month == 0 && none.day == 0);
}

TEST(DateText, WrittenForms) {
  struct Case { int32_t style, month, day, year; const char* text; } cases[] = {
      {0, 3, 7, 2004, "03/07/2004"}, {1, 3, 7, 2004, "07/03/2004"}, {2, 3, 7, 2004, "2004/03/07"},
      {0, 12, 31, 1899, "12/31/1899"}, {2, 1, 1, 2101, "2101/01/01"}, {3, 3, 7, 2004, ""},
      {-1, 3, 7, 2004, ""},
  };
  for (const Case& c : cases) {
    char out[11] = "xxxxxxxxxx";
    formatDateText(out, sizeof out, c.style, c.month, c.day, c.year);
    EXPECT_STREQ(out, c.text) << c.style;
  }
  char small[5] = "abcd";
  formatDateText(small, sizeof small, 0, 3, 7, 2004);
  EXPECT_STREQ(small, "03/0");
  formatDateText(small, 1, 0, 3, 7, 2004);
  EXPECT_STREQ(small, "");
}

}  // namespace
