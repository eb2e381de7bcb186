// The time popup's parameter scan. Fields, separated by '|':
//   0 left, 1 top        first 5 characters each after any leading blanks,
//                        read later as numbers
//   2 24-hour switch     "2", or anything ending in "24", selects 0-23 hours
//   3 minute step        first two digits; used when it divides 60
//   4 initial time       "9:30 PM", "21:30", "10:30:00 pm": hour and minute
//                        from its first 5 positions, then an AM/PM word
//                        anywhere after them
// Later fields are ignored. Nothing is refused: what does not fit a field's
// rule leaves that setting at its default.
#include "popups/time_parameters.h"

#include <cstdio>
#include <cstring>

#include "call/popup_state.h"
#include "common/text.h"

namespace {

enum TimeField { LeftField = 0, TopField, TwentyFourField, StepField, TimeOfDayField };

constexpr int32_t kPositionChars = 5;
constexpr int32_t kMinuteEnd = 4;  // last position that may hold a minute digit

// Finds the AM/PM marker in what follows the minute. That text is split into
// words at every character that is not a letter or a '.', the letters of
// code page 1252 counting as letters ("A\xF1o" is one word, not the marker
// A and an "o"); a word that reads A, AM, P or PM without its dots, in any
// case ("pm", "p.m."), is a marker, and a later marker replaces an earlier
// one. Seconds and any other word (a time zone, "Uhr", "Pacific") are passed
// over, so they never change a marker that was stated.
class MarkerScanner {
 public:
  void add(char c) {
    if (c == '.') return;  // "p.m." reads as "pm"
    if (!isLetter(c)) {
      endWord();
      return;
    }
    if (length_ < 2) word_[length_] = upper(c);
    if (length_ < 3) ++length_;  // 3 stands for any longer word
  }

  // Ends the last word; the marker found, if any, goes into `meridiem`.
  void finish(char (&meridiem)[3]) {
    endWord();
    if (marker_ != '\0') {
      meridiem[0] = marker_;
      meridiem[1] = 'M';
      meridiem[2] = '\0';
    }
  }

 private:
  // ASCII letters and those of code page 1252: 0xC0-0xFF but the signs
  // 0xD7 and 0xF7, the ordinal indicators 0xAA and 0xBA, and f with hook,
  // S and Z with caron, OE and Y with diaeresis among 0x83-0x9F.
  static bool isLetter(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z')) return true;
    if (u >= 0xC0) return u != 0xD7 && u != 0xF7;
    switch (u) {
      case 0x83: case 0x8A: case 0x8C: case 0x8E: case 0x9A: case 0x9C: case 0x9E: case 0x9F: case 0xAA: case 0xBA:
        return true;
      default:
        return false;
    }
  }
  static char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

  void endWord() {
    const bool firstIsMarker = length_ >= 1 && (word_[0] == 'A' || word_[0] == 'P');
    if (firstIsMarker && (length_ == 1 || (length_ == 2 && word_[1] == 'M'))) marker_ = word_[0];
    length_ = 0;
  }

  char word_[2] = {};   // the current word's first two letters, upper case
  int32_t length_ = 0;  // letters in the current word, 3 for more than 2
  char marker_ = '\0';  // 'A' or 'P' once a marker word has ended
};

// One character of the initial time at position `position` of its field:
// the hour at positions 0 and 1, the minute from position 2 while it has
// fewer than 2 characters; everything else goes to the marker search.
void scanTimeCharacter(char c, int32_t position, MarkerScanner& marker) {
  PopupState& s = popupState;
  if (c == ':') {
    marker.add(c);  // skipped, but it still takes its position and ends a word
    return;
  }
  if (position < 2) {
    // The hour keeps the column it was typed in, so ":5" leaves an empty hour.
    s.hourText[position] = c;
    return;
  }
  if (position <= kMinuteEnd && std::strlen(s.minuteText) < 2) {
    appendChar(s.minuteText, c);
    return;
  }
  marker.add(c);
}

// Converts the scanned hour to the list's form: 0-23 in 24-hour form,
// 12 and 1-11 with a marker otherwise.
void convertHour() {
  PopupState& s = popupState;
  int32_t hour = readDecimal(s.hourText);
  bool pm = std::strcmp(s.meridiemText, "PM") == 0;
  if (s.use24Hour) {
    if (pm && hour >= 1 && hour <= 11) hour += 12;
    else if (!pm && hour == 12) hour = 0;
  } else if (hour == 0 || hour == 24) {
    hour = 12;
    copyText(s.meridiemText, "AM");
  } else if (hour > 12) {
    hour -= 12;
    copyText(s.meridiemText, "PM");
  }
  clearText(s.hourText);
  std::snprintf(s.hourText, sizeof s.hourText, "%d", static_cast<int>(hour));
}

}  // namespace

void scanTimeParameters(const char* chars, int32_t length) {
  if (length <= 0) return;
  PopupState& s = popupState;
  char stepText[3] = {};
  int32_t field = LeftField;
  int32_t count = 0;      // characters kept or examined in the current field
  char previous = '\0';   // the field's previous character (24-hour switch)
  MarkerScanner marker;   // the initial time's AM/PM word

  for (int32_t i = 0; i < length; ++i) {
    char c = chars[i];
    if (c == '|') {
      ++field;
      count = 0;
      previous = '\0';
      continue;
    }
    switch (field) {
      case LeftField:
      case TopField:
        // Leading blanks are passed over, not kept: "  1000" is 1000, and
        // a field of blanks only centres the window as an empty one does.
        if (count == 0 && isBlank(c)) break;
        if (count < kPositionChars) {
          appendChar(field == LeftField ? s.leftText : s.topText, sizeof s.leftText, c);
          ++count;
        }
        break;
      case TwentyFourField:
        s.use24Hour = (c == '2' && count == 0) || (c == '4' && previous == '2');
        ++count;
        break;
      case StepField:
        if (c >= '0' && c <= '9') appendChar(stepText, c);
        break;
      case TimeOfDayField:
        scanTimeCharacter(c, count, marker);
        if (count <= kMinuteEnd) ++count;  // positions past the minute all scan alike
        break;
      default:
        break;
    }
    previous = c;
  }

  marker.finish(s.meridiemText);
  if (stepText[0] != '\0') {
    int32_t step = readDecimal(stepText);
    if (step >= 1 && step <= 60 && 60 % step == 0) s.minuteStep = step;
  }
  convertHour();
  if (s.leftText[0] != '\0') s.settings.locationX = readDecimal(s.leftText);
  if (s.topText[0] != '\0') s.settings.locationY = readDecimal(s.topText);
}
