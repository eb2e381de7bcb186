#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "call/popup_state.h"
#include "popups/time_parameters.h"

namespace {

struct Scanned {
  std::string hour, minute, meridiem, left, top;
  int use24Hour, step, x, y;
};

Scanned scan(const std::string& parameter) {
  resetForTimePopup();
  popupState.settings.locationX = 0;
  popupState.settings.locationY = 0;
  scanTimeParameters(parameter.data(), static_cast<int32_t>(parameter.size()));
  const PopupState& s = popupState;
  return {s.hourText, s.minuteText, s.meridiemText, s.leftText, s.topText,
          s.use24Hour, s.minuteStep, s.settings.locationX, s.settings.locationY};
}

TEST(TimeParameters, TwentyFourHourSwitch) {
  struct Case { const char* field; int use24; } cases[] = {
      {"24", 1}, {"2", 1}, {"124", 1}, {"24h", 0}, {"42", 0}, {"12", 0}, {"", 0}, {"x2", 0}, {"224", 1}, {"2 4", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(scan(std::string("||") + c.field).use24Hour, c.use24) << c.field;
}

TEST(TimeParameters, MinuteStep) {
  struct Case { const char* field; int step; } cases[] = {
      {"15", 15}, {"60", 60}, {"7", 5}, {"0", 5}, {"90", 5}, {"a5", 5}, {"a1b0", 10}, {"123", 12}, {"1", 1}, {"30", 30}, {"", 5}, {"-20", 20},
      {"915", 5},  // a 9 is a digit too
  };
  for (const Case& c : cases) EXPECT_EQ(scan(std::string("|||") + c.field).step, c.step) << c.field;
}

TEST(TimeParameters, InitialTimeAndHourConversion) {
  struct Case { const char* parameter; const char* hour; const char* minute; const char* meridiem; } cases[] = {
      {"||||9:30 PM", "9", "30", "PM"},
      {"||24||9:30 PM", "21", "30", "PM"},
      {"||24||12:15 PM", "12", "15", "PM"},
      {"||24||11:30 PM", "23", "30", "PM"},
      {"||24||1:30 PM", "13", "30", "PM"},
      {"||24||12:15 AM", "0", "15", "AM"},
      {"||24||12:15", "0", "15", ""},
      {"||||18:45", "6", "45", "PM"},
      {"||||0:45", "12", "45", "AM"},
      {"||||12:30", "12", "30", ""},  // 12 without a marker keeps its hour and no marker
      {"||||13:05", "1", "05", "PM"},
      {"||||0:45 PM", "12", "45", "AM"},  // hour 0 is midnight whatever the marker
      {"||||24:00", "12", "00", "AM"},
      {"||||10:30:00 PM", "10", "30", "PM"},  // seconds are passed over
      {"||24||12:15:00 pm", "12", "15", "PM"},
      {"||||9:30 p.m.", "9", "30", "PM"},
      {"||||9:30PM", "9", "30", "PM"},
      {"||||9:30 PM Eastern", "9", "30", "PM"},  // another word never turns PM into AM
      {"||||9:30 Pacific", "9", "30", ""},       // nor is it a marker of its own
      {"||||9:30 PMX", "9", "30", ""},
      {"||||9:30 PM A\xF1o", "9", "30", "PM"},  // a word with a Western letter is one word
      {"||||9:30 P\xE2ques", "9", "30", ""},
      {"||||9:30 P\xD7 A\xC0 A\x8A", "9", "30", "PM"},  // the sign \xD7 ends a word; \xC0 and \x8A are letters
      {"||||9:30 AZ pz", "9", "30", ""},
      {"||||9:30 PM Z", "9", "30", "PM"},  // a letter other than A or P is no marker
      {"||||7:3 PM", "7", "3 ", "PM"},          // the minute keeps its 2 characters
      {"||||:30 PM", "12", "0 ", "AM"},        // an empty hour is midnight
      {"||||9:05 PM", "9", "05", "PM"},
      {"||||:30", "12", "0", "AM"},  // a leading colon leaves the hour empty (12 AM) and shifts the minute
      {"||||7:00 A", "7", "00", "AM"},
      {"||||7:00 a", "7", "00", "AM"},
      {"||||1230AM", "12", "30", "AM"},  // without a colon the marker starts right after the minute
      {"||||7::::5", "7", "", ""},        // a digit past the minute's positions is no minute
      {"||||7:00 P A", "7", "00", "AM"},  // the later marker wins
      {"||||25:00", "13", "00", "PM"},  // no hour entry is 13: the first stays selected
      {"||24||25:00", "25", "00", ""},
      {"||||", "12", "", "AM"},           // an empty time in a non-empty parameter is hour 0
      {"||24|", "0", "", ""},
      {"", "", "", ""},  // an empty parameter leaves the time to the window
  };
  for (const Case& c : cases) {
    Scanned s = scan(c.parameter);
    EXPECT_EQ(s.hour, c.hour) << c.parameter;
    EXPECT_EQ(s.minute, c.minute) << c.parameter;
    EXPECT_EQ(s.meridiem, c.meridiem) << c.parameter;
  }
}

TEST(TimeParameters, Position) {
  struct Case { std::string parameter; const char* left; const char* top; int x, y; } cases[] = {
      {"100|0", "100", "0", 100, 0},
      {"123456|-45", "12345", "-45", 12345, -45},
      {"abc|", "abc", "", 0, 0},
      {"|50", "", "50", 0, 50},
      {" 7|+8", "7", "+8", 7, 8},
      {"   12000|\t-4000", "12000", "-4000", 12000, -4000},
      {"   |  ", "", "", 0, 0},
      {"5", "5", "", 5, 0},
      {"|8", "", "8", 0, 8},
      {std::string("\0" "123456", 7), "1234", "", 1234, 0},  // a NUL byte takes a place and adds nothing
  };
  for (const Case& c : cases) {
    Scanned s = scan(c.parameter);
    EXPECT_EQ(s.left, c.left) << c.parameter;
    EXPECT_EQ(s.top, c.top) << c.parameter;
    EXPECT_EQ(s.x, c.x) << c.parameter;
    EXPECT_EQ(s.y, c.y) << c.parameter;
  }
}

TEST(TimeParameters, ResetClearsStaleHourBytes) {
  // "21" leaves a second hour byte; a following ":5" writes only position 1.
  scan("||24||21:00");
  Scanned s = scan("||||:5");
  EXPECT_EQ(s.hour, "12");
  EXPECT_EQ(s.meridiem, "AM");
}

TEST(TimeParameters, CharactersAreReadOnlyUpToTheGivenLength) {
  const char chars[] = "||24||21:30 and more";  // scanned as "||24||2"
  resetForTimePopup();
  scanTimeParameters(chars, 7);
  EXPECT_STREQ(popupState.hourText, "2");
  EXPECT_EQ(popupState.use24Hour, 1);
  std::string nul("||2\0|30", 7);  // an embedded NUL is just another character
  Scanned s = scan(nul);
  EXPECT_EQ(s.step, 30);
}

}  // namespace
