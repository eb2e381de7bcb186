// Parameter text of the date functions: up to 11 fields separated by "|",
// positional, each cut to 50 characters. An empty or absent field leaves its
// value as loaded; an unknown keyword likewise. Keywords are whole texts
// compared ignoring the case of A-Z; blanks are not trimmed.
//
//   field  CalPopup       CalPopup2          YearPopup
//   1      initial date   left initial date  initial year
//   2      left           right initial date left
//   3      top            left               top
//   4      title          top                title
//   5      language       title              language
//   6      first weekday  language           first weekday
//   7      date style     first weekday      date style
//   8      confirmation   date style         confirmation
//   9      theme          confirmation       theme
//   10     font           theme              font
//   11     -              font               size
//
// Example: 12/25/2003|100|50|Holidays|French|Monday
#include "popups/call_parameters.h"

#include <cstring>

#include "call/popup_state.h"
#include "common/text.h"
#include "settings/theme_tables.h"

namespace {

constexpr int kFieldCount = 11;
constexpr size_t kFieldWidth = 50;
constexpr size_t kInitialDateWidth = 10;
constexpr size_t kInitialYearWidth = 4;
constexpr size_t kPositionWidth = 4;

enum FieldKind {
  Ignored,
  InitialDate1,
  InitialDate2,
  InitialYear,
  Left,
  Top,
  Title,
  Language,
  FirstWeekday,
  DateStyleField,
  Confirmation,
  Theme,
  Font,
  Size,
};

constexpr FieldKind kSingleDateFields[kFieldCount] = {InitialDate1, Left,  Top,  Title,  Language, FirstWeekday,
                                                      DateStyleField, Confirmation, Theme, Font, Ignored};
constexpr FieldKind kDateRangeFields[kFieldCount] = {InitialDate1, InitialDate2,   Left,         Top,   Title, Language,
                                                     FirstWeekday, DateStyleField, Confirmation, Theme, Font};
constexpr FieldKind kYearViewFields[kFieldCount] = {InitialYear,    Left,         Top,   Title, Language, FirstWeekday,
                                                    DateStyleField, Confirmation, Theme, Font, Size};

const char* const kWeekdayKeywords[] = {"Sunday", "Monday"};
const char* const kDateStyleKeywords[] = {"mm/dd/yyyy", "dd/mm/yyyy", "yyyy/mm/dd"};
const char* const kConfirmationKeywords[] = {"click", "command"};
constexpr int kLanguageKeywordCount = 7;  // the last language has no keyword

// The fields of one parameter text, each cut to kFieldWidth characters.
struct ParameterFields {
  char text[kFieldCount][kFieldWidth + 1];
};

// Splits at "|". Characters beyond a field's width are dropped; whatever
// follows the eleventh "|" is ignored.
void splitFields(const char* text, ParameterFields& fields) {
  int k = 0;
  size_t count = 0;
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p == '|') {
      if (k + 1 == kFieldCount) break;
      ++k;
      count = 0;
    } else if (count < kFieldWidth) {
      fields.text[k][count++] = *p;
    }
  }
}

// Index of the first keyword equal to `field`, or -1.
int findKeyword(const char* field, const char* const* keywords, int count) {
  for (int i = 0; i < count; ++i)
    if (equalsIgnoringAsciiCase(field, keywords[i])) return i;
  return -1;
}

template <int N> void setFromKeyword(int32_t& setting, const char* field, const char* const (&keywords)[N]) {
  int found = findKeyword(field, keywords, N);
  if (found >= 0) setting = found;
}

// A left or top field keeps its first characters after any leading blanks,
// which its reading as a number skips anyway: "  1000" is 1000, not 10. A
// field of blanks only keeps them, and so still places the window (at 0).
void copyPosition(char* text, size_t textSize, const char* field) {
  const char* start = field;
  while (isBlank(*start)) ++start;
  copyTextN(text, textSize, *start != '\0' ? start : field, kPositionWidth);
}

// A year-view initial year: one to four characters that read as a number
// above 0. Anything else leaves the current year to be shown.
void applyInitialYear(const char* field) {
  if (std::strlen(field) <= kInitialYearWidth && readDecimal(field) > 0) copyText(popupState.initialDate1, field);
}

// The size keyword sets the size index; the scale follows the index in
// effect, which an unknown keyword leaves as loaded. An index outside the
// size table (only a damaged setting could give one) keeps the loaded scale.
void applySize(const char* field) {
  PopupSettings& settings = popupState.settings;
  setFromKeyword(settings.sizeIndex, field, sizeNames);
  if (settings.sizeIndex >= 0 && settings.sizeIndex < kSizeCount) settings.scale = scaleForSize(settings.sizeIndex);
}

void applyField(FieldKind kind, const char* field) {
  PopupState& s = popupState;
  PopupSettings& settings = s.settings;
  int found;
  switch (kind) {
    case Ignored: break;
    case InitialDate1: copyTextN(s.initialDate1, sizeof s.initialDate1, field, kInitialDateWidth); break;
    case InitialDate2: copyTextN(s.initialDate2, sizeof s.initialDate2, field, kInitialDateWidth); break;
    case InitialYear: applyInitialYear(field); break;
    case Left: copyPosition(s.leftText, sizeof s.leftText, field); break;
    case Top: copyPosition(s.topText, sizeof s.topText, field); break;
    case Title: copyText(settings.title, field); break;
    case Language:
      found = findKeyword(field, languageNames, kLanguageKeywordCount);
      if (found >= 0) settings.language = found;
      break;
    case FirstWeekday: setFromKeyword(settings.calendarType, field, kWeekdayKeywords); break;
    case DateStyleField: setFromKeyword(settings.dateStyle, field, kDateStyleKeywords); break;
    case Confirmation: setFromKeyword(settings.selectionMethod, field, kConfirmationKeywords); break;
    case Theme: setFromKeyword(settings.theme, field, themeNames); break;
    case Font: setFromKeyword(settings.font, field, faceNames); break;
    case Size: applySize(field); break;
  }
}

const FieldKind* fieldsOf(PopupMode mode) {
  switch (mode) {
    case SingleDate: return kSingleDateFields;
    case DateRange: return kDateRangeFields;
    case YearView: return kYearViewFields;
    default: return nullptr;
  }
}

}  // namespace

void applyParameters(const char* text) {
  const FieldKind* kinds = fieldsOf(popupState.mode);
  if (!kinds || !text) return;
  ParameterFields fields = {};
  splitFields(text, fields);
  for (int i = 0; i < kFieldCount; ++i)
    if (fields.text[i][0] != '\0') applyField(kinds[i], fields.text[i]);

  // A position given in the parameter places the window there for this call.
  PopupState& s = popupState;
  if (s.leftText[0] != '\0' || s.topText[0] != '\0') {
    s.settings.location = 1;
    s.settings.locationX = readDecimal(s.leftText);
    s.settings.locationY = readDecimal(s.topText);
  }
}
