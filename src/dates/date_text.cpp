// Date texts of the three date styles.
//
// Written form: always 10 characters for the years a calendar shows
// (1899-2101), "/" between the fields, month and day zero-padded:
//   style 0  mm/dd/yyyy     style 1  dd/mm/yyyy     style 2  yyyy/mm/dd
//
// Accepted initial dates (styles 0 and 1): month, day and year in the order of
// the style, separated by "/", "-" or "."; the separator is the second
// character, or the third when the second is a digit. Runs of the separator
// count as one, a leading one is skipped, parts after the third are ignored.
// A two-character year is widened to 20xx when its first character is at or
// below "5", else to 19xx. Examples: 3/7/04, 12-25-1999, 7.3.2004.
//
// Accepted initial dates (style 2): the first four characters are the year,
// which must lie within 1900-2100; the fifth character, whatever it is,
// separates the year, month and day. Examples: 2004/03/07, 2004-3-7.
//
// A text is taken when it yields three parts, the month part has one or two
// characters and the day part at most three (the width of the day text). The
// day and year values themselves are not checked. Anything else, the empty
// text included, is replaced by today's date: the initial date text becomes
// today's written text and the calendar's texts today's numbers.
#include "dates/date_text.h"

#include <cstdio>
#include <cstring>

#include "call/popup_state.h"
#include "common/text.h"

namespace {

// The date texts of one calendar in the popup state.
struct CalendarTexts {
  char (&month)[4];         // month shown, decimal
  char (&day)[4];           // initial day, decimal
  char (&year)[8];          // year shown
  char (&initialDate)[11];  // the caller's text, or today's written text
};

CalendarTexts textsOf(CalendarSide side) {
  PopupState& s = popupState;
  if (side == RightCalendar) return {s.month2, s.day2, s.year2, s.initialDate2};
  return {s.month1, s.day1, s.year1, s.initialDate1};
}

constexpr size_t kMonthDayWidth = 3;  // characters a month or day text holds
constexpr size_t kYearWidth = 7;      // characters a year text holds
constexpr int32_t kFirstYear = 1900;  // range of the calendar's year lists
constexpr int32_t kLastYear = 2100;

template <size_t N> void writeNumber(char (&dst)[N], int32_t value) { std::snprintf(dst, N, "%d", value); }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Up to three parts of a date text, each cut to the widest text it may fill,
// with its full length so that an over-long part can be told apart.
struct DateParts {
  int count;                       // parts found, at most 3
  size_t length[3];                // full length of each part
  char text[3][kYearWidth + 1];    // each part, cut to kYearWidth characters
};

// Splits at `separator`: a run of separators counts as one, a leading one is
// skipped, and whatever follows the third part is ignored. A separator of
// NUL yields the whole text as one part.
DateParts splitDate(const char* text, char separator) {
  DateParts parts = {};
  const char* p = text;
  while (parts.count < 3) {
    while (*p != '\0' && *p == separator) ++p;
    if (*p == '\0') break;
    int i = parts.count++;
    for (; *p != '\0' && *p != separator; ++p) {
      if (parts.length[i] < kYearWidth) parts.text[i][parts.length[i]] = *p;
      ++parts.length[i];
    }
  }
  return parts;
}

// Month and day parts fit their texts and the month has one or two
// characters: the text will be taken.
bool monthAndDayFit(const DateParts& parts, int monthPart, int dayPart) {
  size_t month = parts.length[monthPart];
  return month >= 1 && month <= 2 && parts.length[dayPart] <= kMonthDayWidth;
}

// Styles 0 and 1. Writes the calendar's texts and returns true when taken.
bool readMonthOrDayFirst(const char* text, int32_t style, const CalendarTexts& t) {
  char separator = isDigit(text[1]) ? text[2] : text[1];
  if (separator != '/' && separator != '-' && separator != '.') return false;
  DateParts parts = splitDate(text, separator);
  int monthPart = style == StyleDayFirst ? 1 : 0;
  int dayPart = 1 - monthPart;
  if (parts.count < 3 || !monthAndDayFit(parts, monthPart, dayPart) || parts.length[2] > kYearWidth) return false;
  copyText(t.month, parts.text[monthPart]);
  copyText(t.day, parts.text[dayPart]);
  const char* year = parts.text[2];
  if (parts.length[2] == 2) {
    bool twentyFirst = static_cast<unsigned char>(year[0]) <= '5';
    std::snprintf(t.year, sizeof t.year, "%s%s", twentyFirst ? "20" : "19", year);
  } else {
    copyText(t.year, year);
  }
  return true;
}

// Style 2. Writes the calendar's texts and returns true when taken.
bool readYearFirst(const char* text, const CalendarTexts& t) {
  char year[5];
  copyTextN(year, sizeof year, text, 4);
  int32_t value = readDecimal(year);
  if (value < kFirstYear || value > kLastYear) return false;
  // A year within range took four characters, so text[4] is at most the terminator.
  DateParts parts = splitDate(text, text[4]);
  if (parts.count < 3 || !monthAndDayFit(parts, 1, 2)) return false;
  copyText(t.year, year);
  copyText(t.month, parts.text[1]);
  copyText(t.day, parts.text[2]);
  return true;
}

// Replaces the calendar's texts by today's date; the initial date text gets
// today's written form in the date style.
void useToday(const CalendarTexts& t, const LocalDate& today) {
  formatDateText(t.initialDate, sizeof t.initialDate, popupState.settings.dateStyle, today.month, today.day,
                 today.year);
  writeNumber(t.month, today.month);
  writeNumber(t.day, today.day);
  writeNumber(t.year, today.year);
}

// The year view: a text within 1900-2100 names the year shown, otherwise the
// current year is shown. Month and day are set only for the current year, so
// that today is marked there and nowhere else.
void readYearView(const char* text, const CalendarTexts& t, const LocalDate& today) {
  int32_t value = readDecimal(text);
  if (value >= kFirstYear && value <= kLastYear) copyText(t.year, text);
  formatDateText(t.initialDate, sizeof t.initialDate, popupState.settings.dateStyle, today.month, today.day,
                 today.year);
  if (t.year[0] == '\0') writeNumber(t.year, today.year);
  clearText(t.month);
  clearText(t.day);
  if (readDecimal(t.year) == today.year) useToday(t, today);
}

// Value of `count` characters at `start` of a written date text; characters
// behind the text's terminator are never read.
int32_t numberAt(const char* text, size_t size, size_t start, size_t count) {
  char digits[5] = {};
  if (start < strnlen(text, size)) copyTextN(digits, sizeof digits, text + start, count);
  return readDecimal(digits);
}

// Where month, day and year stand in a written date text of each style.
struct FieldPositions {
  size_t month, day, year;  // offsets from the first character
};
constexpr FieldPositions kFieldPositions[3] = {{0, 3, 6}, {3, 0, 6}, {5, 8, 0}};

}  // namespace

void formatDateText(char* out, size_t outSize, int32_t style, int32_t month, int32_t day, int32_t year) {
  if (outSize == 0) return;
  switch (style) {
    case StyleMonthFirst: std::snprintf(out, outSize, "%02d/%02d/%d", month, day, year); break;
    case StyleDayFirst: std::snprintf(out, outSize, "%02d/%02d/%d", day, month, year); break;
    case StyleYearFirst: std::snprintf(out, outSize, "%d/%02d/%02d", year, month, day); break;
    default: out[0] = '\0'; break;
  }
}

int readInitialDate(const char* text, CalendarSide side, const LocalDate& today) {
  if (!text) text = "";
  CalendarTexts t = textsOf(side);
  if (popupState.mode == YearView) {
    readYearView(text, t, today);
    return 0;
  }
  int32_t style = popupState.settings.dateStyle;
  bool taken = false;
  if (text[0] != '\0') {
    if (style == StyleMonthFirst || style == StyleDayFirst)
      taken = readMonthOrDayFirst(text, style, t);
    else if (style == StyleYearFirst)
      taken = readYearFirst(text, t);
  }
  if (taken) return 1;
  useToday(t, today);
  return 0;
}

int readInitialDates(const LocalDate& today) {
  int result = readInitialDate(popupState.initialDate1, LeftCalendar, today);
  if (popupState.mode == DateRange) result = readInitialDate(popupState.initialDate2, RightCalendar, today);
  return result;
}

LocalDate readWrittenDate(const char* text, size_t size) {
  const int32_t style = popupState.settings.dateStyle;
  if (style < StyleMonthFirst || style > StyleYearFirst) return {0, 0, 0};
  const FieldPositions& at = kFieldPositions[style];
  return {numberAt(text, size, at.year, 4), numberAt(text, size, at.month, 2), numberAt(text, size, at.day, 2)};
}

bool rangeInOrder() {
  const int32_t style = popupState.settings.dateStyle;
  if (style < StyleMonthFirst || style > StyleYearFirst) return true;  // no field positions to compare
  const LocalDate left = readWrittenDate(popupState.pick1, sizeof popupState.pick1);
  const LocalDate right = readWrittenDate(popupState.pick2, sizeof popupState.pick2);
  if (left.year != right.year) return left.year < right.year;
  if (left.month != right.month) return left.month < right.month;
  return left.day <= right.day;
}
