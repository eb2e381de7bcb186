#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "../common/popup_calls.h"
#include "call/popup_state.h"
#include "common/text.h"
#include "dates/date_text.h"
#include "popups/call_parameters.h"
#include "settings/theme_tables.h"

namespace {

// Settings as loadSettings might leave them; every case starts from these.
PopupSettings loadedSettings() {
  PopupSettings s = {};
  copyText(s.title, "Loaded");
  s.language = 2;
  s.locationX = 7;
  s.locationY = 8;
  s.scale = 1.0f;
  s.font = 3;
  return s;
}

void startCall(PopupMode mode) {
  resetForMode(mode);
  popupState.settings = loadedSettings();
}

void noteText(std::string& out, const char* name, const char* value, const char* before) {
  if (std::string(value) != before) out += std::string(out.empty() ? "" : " ") + name + "=" + value;
}

void noteNumber(std::string& out, const char* name, int32_t value, int32_t before) {
  if (value != before) noteText(out, name, std::to_string(value).c_str(), "");
}

// What the parameter changed, as "name=value" in field order.
std::string changes() {
  const PopupSettings was = loadedSettings();
  const PopupSettings& is = popupState.settings;
  std::string out;
  noteText(out, "title", is.title, was.title);
  noteNumber(out, "language", is.language, was.language);
  noteNumber(out, "calendarType", is.calendarType, was.calendarType);
  noteNumber(out, "dateStyle", is.dateStyle, was.dateStyle);
  noteNumber(out, "selectionMethod", is.selectionMethod, was.selectionMethod);
  noteNumber(out, "location", is.location, was.location);
  noteNumber(out, "locationX", is.locationX, was.locationX);
  noteNumber(out, "locationY", is.locationY, was.locationY);
  noteNumber(out, "sizeIndex", is.sizeIndex, was.sizeIndex);
  char scale[32];
  std::snprintf(scale, sizeof scale, "%.9g", is.scale);
  noteText(out, "scale", scale, "1");
  noteNumber(out, "theme", is.theme, was.theme);
  noteNumber(out, "font", is.font, was.font);
  noteText(out, "initialDate1", popupState.initialDate1, "");
  noteText(out, "initialDate2", popupState.initialDate2, "");
  noteText(out, "leftText", popupState.leftText, "");
  noteText(out, "topText", popupState.topText, "");
  return out;
}

struct Case {
  PopupMode mode;
  std::string text;
  std::string expected;  // the changes, "" for none
};

const std::string k60(60, 'T');

const Case kCases[] = {
    {SingleDate, "", ""},
    {SingleDate, "01/05/2004", "initialDate1=01/05/2004"},
    {SingleDate, "12/25/20031999", "initialDate1=12/25/2003"},
    {SingleDate, "|100|200", "location=1 locationX=100 locationY=200 leftText=100 topText=200"},
    {SingleDate, "||50", "location=1 locationX=0 locationY=50 topText=50"},
    {SingleDate, "|12345", "location=1 locationX=1234 locationY=0 leftText=1234"},
    {SingleDate, "|5", "location=1 locationX=5 locationY=0 leftText=5"},
    {SingleDate, "||5", "location=1 locationX=0 locationY=5 topText=5"},
    {SingleDate, "|abc|", "location=1 locationX=0 locationY=0 leftText=abc"},
    {SingleDate, "| -12|+5x", "location=1 locationX=-12 locationY=5 leftText=-12 topText=+5x"},
    {SingleDate, "|  1000|\t 2000x", "location=1 locationX=1000 locationY=2000 leftText=1000 topText=2000"},
    {SingleDate, "|   |  ", "location=1 locationX=0 locationY=0 leftText=    topText=  "},
    // A field keeps 50 characters, blanks included, and no more spills into the next.
    {SingleDate, "|" + std::string(48, ' ') + "1234", "location=1 locationX=12 locationY=0 leftText=12"},
    {SingleDate, "|" + std::string(51, ' ') + "|123",
     "location=1 locationX=0 locationY=123 leftText=" + std::string(4, ' ') + " topText=123"},
    {SingleDate, "01/05/2004|||My Title|french|MONDAY|dd/mm/yyyy|Command|Purple|Courier New",
     "title=My Title language=1 calendarType=1 dateStyle=1 selectionMethod=1 theme=2 font=1 "
     "initialDate1=01/05/2004"},
    {SingleDate, "||||||YYYY/MM/DD|click|yellow|times new roman|smaller", "dateStyle=2 theme=5 font=2"},
    {SingleDate, "|||||sunday|mm/dd/yyyy||default|ARIAL", "font=0"},
    // Languages: the last one has no keyword; blanks make a keyword unknown.
    {SingleDate, "||||Dutch", "language=6"},
    {SingleDate, "||||english", "language=0"},
    {SingleDate, "||||Norwegian", ""},
    {SingleDate, "|||| French", ""},
    {SingleDate, "||||French ", ""},
    {SingleDate, "||||Fran\xE7" "ais", ""},
    {SingleDate, "|||||||||Times New Roman|", "font=2"},
    {SingleDate, "|||||||||||French", ""},
    // Field widths: a title keeps 49 characters, a long field keeps the rest aligned.
    {SingleDate, "|||" + k60, "title=" + std::string(49, 'T')},
    {SingleDate, "|||" + std::string(300, 'T') + "|German|monday", "title=" + std::string(49, 'T') + " calendarType=1"},
    {SingleDate, "||||" + std::string(300, 'x') + "French|monday", "calendarType=1"},
    {SingleDate, "||||||||||", ""},
    // Two calendars; an eleventh "|" ends the text.
    {DateRange, "03/01/2004|03/15/2004", "initialDate1=03/01/2004 initialDate2=03/15/2004"},
    {DateRange, "|03/15/2004|10|20|Trip|German|Monday|yyyy/mm/dd|command|red|times new roman|courier new",
     "title=Trip calendarType=1 dateStyle=2 selectionMethod=1 location=1 locationX=10 locationY=20 theme=3 font=2 "
     "initialDate2=03/15/2004 leftText=10 topText=20"},
    {DateRange, "||||||||||arial|Courier New", "font=0"},
    // The year view: a short positive year, and the size with its scale.
    {YearView, "2005||||||||||small", "sizeIndex=1 scale=0.899999976 initialDate1=2005"},
    {YearView, "||||||||||SMALLER", "sizeIndex=2 scale=0.75"},
    {YearView, "||||||||||normal", ""},
    {YearView, "||||||||||tiny", ""},
    {YearView, "||||||||||small|", "sizeIndex=1 scale=0.899999976"},
    {YearView, "05", "initialDate1=05"},
    {YearView, "1", "initialDate1=1"},
    {YearView, "5abc", "initialDate1=5abc"},
    {YearView, "20050", ""},
    {YearView, " 2005", ""},
    {YearView, "0", ""},
    {YearView, "-5", ""},
    {YearView, "abcd", ""},
    {YearView, "2005|100|200|Year|german|monday|yyyy/mm/dd|command|green|courier new|Smaller",
     "title=Year calendarType=1 dateStyle=2 selectionMethod=1 location=1 locationX=100 locationY=200 sizeIndex=2 "
     "scale=0.75 theme=4 font=1 initialDate1=2005 leftText=100 topText=200"},
    // No date call in progress: nothing applies.
    {NoPopupMode, "01/05/2004|1|2|Title", ""},
};

TEST(CallParameters, FieldsOverrideTheLoadedSettings) {
  for (const Case& c : kCases) {
    startCall(c.mode);
    applyParameters(c.text.c_str());
    EXPECT_EQ(changes(), c.expected) << "mode " << c.mode << " text '" << c.text << "'";
  }
}

TEST(CallParameters, SizeKeepsTheLoadedScaleForADamagedIndex) {
  struct Case { int32_t sizeIndex; const char* text; float scale; } cases[] = {
      {2, "||||||||||tiny", 0.75f}, {7, "||||||||||tiny", 0.5f}, {-1, "||||||||||tiny", 0.5f}, {7, "||||||||||small", 0.9f},
      {kSizeCount, "||||||||||tiny", 0.5f}, {2, "||||||||||normal", 1.0f},
  };
  for (const Case& c : cases) {
    startCall(YearView);
    popupState.settings.sizeIndex = c.sizeIndex;
    popupState.settings.scale = 0.5f;
    applyParameters(c.text);
    EXPECT_EQ(popupState.settings.scale, c.scale) << c.sizeIndex << " " << c.text;
  }
}

// The date style of the same text governs how its date is read.
TEST(CallParameters, DateStyleFieldGovernsTheDateField) {
  struct Case { PopupMode mode; const char* text; int taken; const char* month; const char* day; } cases[] = {
      {SingleDate, "2004/03/07||||||yyyy/mm/dd", 1, "03", "07"},
      {SingleDate, "7/3/2004||||||dd/mm/yyyy", 1, "3", "7"},
      {SingleDate, "2004/03/07", 0, "12", "25"},
      {DateRange, "|2004/03/07||||||yyyy/mm/dd", 1, "03", "07"},
  };
  const LocalDate today = {2003, 12, 25};
  for (const Case& c : cases) {
    startCall(c.mode);
    applyParameters(c.text);
    EXPECT_EQ(readInitialDates(today), c.taken) << c.text;
    const bool right = c.mode == DateRange;
    EXPECT_STREQ(right ? popupState.month2 : popupState.month1, c.month) << c.text;
    EXPECT_STREQ(right ? popupState.day2 : popupState.day1, c.day) << c.text;
  }
}

}  // namespace
