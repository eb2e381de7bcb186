#include <string>
#include <vector>

#include "common/text.h"
#include "grid/accessible_tree.h"
#include "grid/grid_elements.h"
#include "grid/month_grid.h"
#include "grid_fixture.h"
#include "settings/spoken_names.h"

namespace {

class GridElements : public GridTest {
 protected:
  // Slot 1 at (0, 0), a range's slot 2 at (0, 265), the year view's months
  // three a row 139 pixels apart below a 20-pixel band: February 2004 in
  // slot 1 (it starts on a Sunday) and the months after it; year 0 stands
  // for a year list without a selection.
  void open(PopupMode mode, int32_t year = 2004) {
    popupState.mode = mode;
    popupState.cellCount = mode == SingleDate ? 49 : mode == DateRange ? 98 : 588;
    const int slots = popupState.cellCount / 49;
    for (int slot = 1; slot <= slots; ++slot) {
      const int column = mode == YearView ? (slot - 1) % 3 : slot - 1;
      layoutMonth(slot, mode == YearView ? 20 + 139 * ((slot - 1) / 3) : 0, 265 * column);
      fillMonthCells(slot, mode == YearView ? slot : slot + 1, year);
    }
  }
  static std::string name(int number) {
    char text[kSpokenNameSize];
    gridElementName(gridElement(number), text, sizeof text);
    return text;
  }
  static std::string description(int number) {
    char text[kSpokenDescriptionSize];
    gridElementDescription(gridElement(number), text, sizeof text);
    return text;
  }
};

// Child ids: the client's own when flat, and in a range and the year view
// the place in the month object.
TEST_F(GridElements, NumberingFollowsTheSlotsInReadingOrder) {
  struct Case {
    PopupMode mode;
    int number;
    GridElementKind kind;
    int slot, cell;
    long childId, monthChild;
  } cases[] = {
      {SingleDate, 0, HeadingElement, 1, 0, 1, 1},    {SingleDate, 7, DayElement, 1, 7, 8, 8},
      {SingleDate, 48, DayElement, 1, 48, 49, 49},    {SingleDate, 49, NoElement, 0, -1, 0, -1},
      {SingleDate, -1, NoElement, 0, -1, 0, -1},      {DateRange, 49, HeadingElement, 2, 49, 0, 1},
      {DateRange, 97, DayElement, 2, 97, 0, 49},      {DateRange, 98, NoElement, 0, -1, 0, -1},
      {YearView, 0, MonthTitleElement, 1, -1, 0, -1}, {YearView, 1, HeadingElement, 1, 0, 0, 1},
      {YearView, 50, MonthTitleElement, 2, -1, 0, -1}, {YearView, 599, DayElement, 12, 587, 0, 49},
      {YearView, 600, NoElement, 0, -1, 0, -1},
  };
  for (const Case& c : cases) {
    open(c.mode);
    const GridElement e = gridElement(c.number);
    EXPECT_EQ(e.kind, c.kind) << c.mode << " " << c.number;
    EXPECT_EQ(e.slot, c.slot) << c.mode << " " << c.number;
    EXPECT_EQ(e.cell, c.cell) << c.mode << " " << c.number;
    if (c.cell >= 0) EXPECT_EQ(gridElementOfCell(c.cell), c.number) << c.mode << " " << c.number;
    EXPECT_EQ(elementChildId(c.number), c.childId) << c.mode << " " << c.number;
    if (c.childId) EXPECT_EQ(elementOfChildId(c.childId), c.number) << c.mode << " " << c.number;
    EXPECT_EQ(monthChildOfElement(c.number), c.monthChild) << c.mode << " " << c.number;
    if (c.monthChild > 0 && c.mode != SingleDate)
      EXPECT_EQ(monthChildElement(c.slot, c.monthChild), c.number) << c.mode << " " << c.number;
  }
  open(SingleDate);
  EXPECT_EQ(gridElementOfCell(49), -1);  // the first cell past those in use
  const CellRect none = gridElementRect(gridElement(-1));
  EXPECT_TRUE(none.left == 0 && none.top == 0 && none.right == 0 && none.bottom == 0);
  for (int32_t count : {0, -49}) {
    popupState.cellCount = count;
    EXPECT_EQ(gridElementCount(), 0) << count;
  }
}

// What the client object holds by child id besides the grid's elements.
TEST_F(GridElements, MonthObjectsAndTheAnnouncementComeBeforeTheControls) {
  struct Case {
    PopupMode mode;
    int months;
    long announcement;
    long id;
    int month, element;  // what `id` names as a child id
    int objectMonth;     // and as an object id
  } cases[] = {
      {SingleDate, 0, 50, 1, 0, 0, 0},    {SingleDate, 0, 50, 49, 0, 48, 0},   {SingleDate, 0, 50, 50, 0, -1, 0},
      {SingleDate, 0, 50, 101, 0, -1, 0}, {DateRange, 2, 3, 2, 2, -1, 0},      {DateRange, 2, 3, 3, 0, -1, 0},
      {DateRange, 2, 3, 1, 1, -1, 0},     {DateRange, 2, 3, 102, 0, -1, 2},    {DateRange, 2, 3, 103, 0, -1, 0},
      {DateRange, 2, 3, 100, 0, -1, 0},   {YearView, 12, 13, 12, 12, -1, 0},   {YearView, 12, 13, 13, 0, -1, 0},
      {YearView, 12, 13, 1, 1, -1, 0},    {YearView, 12, 13, 0, 0, -1, 0},     {YearView, 12, 13, 112, 0, -1, 12},
      {YearView, 12, 13, 113, 0, -1, 0},  {YearView, 12, 13, 101, 0, -1, 1},   {YearView, 12, 13, -4, 0, -1, 0},
      // The lowest ids a window message can carry (lParam 0x80000000 on).
      {YearView, 12, 13, INT32_MIN, 0, -1, 0}, {YearView, 12, 13, INT32_MIN + 99, 0, -1, 0},
  };
  for (const Case& c : cases) {
    open(c.mode);
    EXPECT_EQ(monthObjectCount(), c.months) << c.mode;
    EXPECT_EQ(announcementChildId(), c.announcement) << c.mode;
    EXPECT_EQ(monthOfChildId(c.id), c.month) << c.mode << " " << c.id;
    EXPECT_EQ(elementOfChildId(c.id), c.element) << c.mode << " " << c.id;
    EXPECT_EQ(monthOfObjectId(c.id), c.objectMonth) << c.mode << " " << c.id;
    if (c.objectMonth) EXPECT_EQ(monthObjectId(c.objectMonth), c.id) << c.mode << " " << c.id;
  }
  // A month object's area: its headings and days, and the year view's title.
  const struct {
    PopupMode mode;
    int slot;
    CellRect area;
  } areas[] = {
      {SingleDate, 1, {0, 0, 0, 0}}, {DateRange, 0, {0, 0, 0, 0}}, {DateRange, 3, {0, 0, 0, 0}},
      {DateRange, 1, {5, 31, 244, 144}},    {DateRange, 2, {270, 31, 509, 144}},  {YearView, 12, {535, 448, 774, 581}},  // its title from 448
  };
  for (const auto& a : areas) {
    open(a.mode);
    const CellRect r = monthObjectRect(a.slot);
    EXPECT_EQ(std::vector<int>({r.left, r.top, r.right, r.bottom}),
              std::vector<int>({a.area.left, a.area.top, a.area.right, a.area.bottom}))
        << a.mode << " " << a.slot;
  }
  open(DateRange);
  EXPECT_EQ(monthChildElement(3, 1), -1);
  EXPECT_EQ(monthChildElement(0, 1), -1);
  open(YearView);
  EXPECT_EQ(monthChildElement(13, 1), -1);
  EXPECT_EQ(monthChildElement(1, 50), -1);
  EXPECT_EQ(monthChildElement(1, 0), -1);
}

TEST_F(GridElements, NamesAndDescriptionsInTheWindowsLanguageAndStyle) {
  struct Case {
    PopupMode mode;
    int language, dateStyle, calendarType, number;
    const char* name;
    bool outside;
    const char* description;
  } cases[] = {
      {SingleDate, 0, 0, 0, 7, "Sunday 1 February 2004", false, ""},
      {SingleDate, 0, 0, 0, 35, "Sunday 29 February 2004", false, ""},
      {SingleDate, 0, 0, 0, 36, "Monday 1 March 2004", true, "Outside the month shown"},  // its own month
      {SingleDate, 1, 1, 0, 7, "dimanche 1 f\xE9vrier 2004", false, ""},
      {SingleDate, 1, 2, 0, 48, "samedi 13 mars 2004", true, "En dehors du mois affich\xE9"},
      {SingleDate, 2, 0, 0, 40, "Freitag, 5. M\xE4rz 2004", true, "Au\xDF" "erhalb des angezeigten Monats"},
      {SingleDate, 1, 0, 0, 1, "lundi", false, ""},  // headings: the whole weekday
      {SingleDate, 4, 0, 0, 3, "mi\xE9rcoles", false, ""},
      {SingleDate, 7, 0, 1, 6, "s\xF8ndag", false, ""},  // weeks from Monday
      {SingleDate, 5, 0, 0, 6, "l\xF6rdag", false, ""},
      {SingleDate, 0, 7, 0, 8, "2", false, ""},  // no date written: the label alone
      {SingleDate, 0, 7, 0, 36, "1", false, ""},  // nor outside the month, whatever the last dated fill left
      {DateRange, 0, 0, 0, 56, "Sunday 29 February 2004", true, "End, outside the month shown"},
      {DateRange, 0, 0, 0, 68, "Friday 12 March 2004", false, "End"},
      {DateRange, 1, 0, 0, 68, "vendredi 12 mars 2004", false, "Fin"},
      {DateRange, 2, 0, 0, 68, "Freitag, 12. M\xE4rz 2004", false, "Ende"},
      {DateRange, 3, 0, 0, 68, "venerd\xEC 12 marzo 2004", false, "Fine"},
      {DateRange, 4, 0, 0, 68, "viernes, 12 de marzo de 2004", false, "Fin"},
      {DateRange, 5, 0, 0, 68, "fredag 12 mars 2004", false, "Slut"},
      {DateRange, 6, 0, 0, 68, "vrijdag 12 maart 2004", false, "Einde"},
      {DateRange, 7, 0, 0, 68, "fredag 12. mars 2004", false, "Slutt"},
      {DateRange, 1, 0, 0, 48, "samedi 13 mars 2004", true, "D\xE9" "but, en dehors du mois affich\xE9"},
      {DateRange, 6, 0, 0, 0, "zondag", false, ""},
      {YearView, 2, 0, 0, 100, "M\xE4rz", false, ""},
      {YearView, 1, 0, 0, 350, "ao\xFBt", false, ""},
      {YearView, 1, 0, 0, 550, "d\xE9" "cembre", false, ""},
      {YearView, 9, 0, 0, 8, "Sunday 28 December 2003", true, "Outside the month shown"},  // English
      {YearView, 8, 0, 0, 8, "Sunday 28 December 2003", true, "Outside the month shown"},
  };
  for (const Case& c : cases) {
    popupState.settings.language = c.language;
    popupState.settings.dateStyle = c.dateStyle;
    popupState.settings.calendarType = c.calendarType;
    open(c.mode);
    EXPECT_EQ(name(c.number), c.name) << c.number;
    EXPECT_EQ(dayOutsideShownMonth(gridElement(c.number)), c.outside) << c.number;
    EXPECT_EQ(description(c.number), c.description) << c.number;
  }
}

// The marks come from the initial dates: day1/year1 in slot 1 (in the year
// view in the month of month1), day2/year2 in a range's slot 2.
TEST_F(GridElements, TheWindowsDescriptionSaysTheMonthsShownAndTheSelectedDays) {
  struct Case {
    PopupMode mode;
    int language, dateStyle;
    const char *day1, *day2;
    const char* description;
    const char* month1 = "3";
  } cases[] = {
      {SingleDate, 0, 0, "", "", "February 2004"},
      {SingleDate, 0, 1, "5", "", "February 2004, 5 February 2004 selected"},
      {SingleDate, 2, 0, "5", "", "Februar 2004, 5. Februar 2004 ausgew\xE4hlt"},
      {SingleDate, 0, 7, "5", "", ""},  // no dated day
      {DateRange, 1, 0, "", "", "D\xE9" "but : f\xE9vrier 2004, Fin : mars 2004"},
      {DateRange, 4, 0, "29", "30",
       "Inicio: febrero de 2004, 29 de febrero de 2004 seleccionado, Fin: marzo de 2004, 30 de marzo de 2004 "
       "seleccionado"},
      {YearView, 0, 0, "", "", "2004"},
      {YearView, 7, 0, "5", "", "2004, 5. mars 2004 markert"},
      {YearView, 0, 0, "31", "", "2004, 31 January 2004 selected", "1"},
  };
  for (const Case& c : cases) {
    popupState.settings.language = c.language;
    popupState.settings.dateStyle = c.dateStyle;
    copyText(popupState.month1, c.month1);
    copyText(popupState.day1, c.day1);
    copyText(popupState.day2, c.day2);
    copyText(popupState.year1, "2004");
    copyText(popupState.year2, "2004");
    open(c.mode);
    char text[kSpokenDescriptionSize];
    gridDescription(text, sizeof text);
    EXPECT_EQ(std::string(text), c.description) << c.mode << " " << c.language;
  }
  // A one-byte buffer holds the terminator alone, and no element has no name.
  char text[10] = "#########";
  gridElementName(gridElement(7), text, 1);
  gridElementDescription(gridElement(36), text + 1, 1);
  gridDescription(text + 2, 1);
  gridElementName(gridElement(-1), text + 3, 2);
  spokenDate(text + 4, 1, 0, LocalDate{2004, 3, 5}, true);
  spokenMonth(text + 5, 1, 0, 3, 2004);
  calendarName(1, text + 6, 1);
  pickAnnouncement(12, text + 7, 1);
  shownAnnouncement(1, text + 8, 1);
  EXPECT_EQ(std::string(text, 9), std::string(9, '\0'));
  // A range whose start shows no month says its end alone.
  open(DateRange);
  fillMonthCells(1, 13, 2004);
  char shown[kSpokenDescriptionSize] = "#";
  gridDescription(shown, sizeof shown);
  EXPECT_EQ(std::string(shown), "End: March 2004");
}

// What is said after a pick that leaves the window open, after a list
// change, and what a month object is named.
TEST_F(GridElements, AnnouncementsAndMonthNamesSayTheDayOrMonthInTheWindowsLanguage) {
  enum What { Pick, Shown, Name };
  struct Case {
    PopupMode mode;
    int language, dateStyle;
    What what;
    int where;  // a cell for Pick, a slot otherwise
    const char* text;
    int32_t year = 2004;
  } cases[] = {
      {SingleDate, 0, 0, Pick, 12, "Friday 6 February 2004 selected"},
      {SingleDate, 2, 0, Pick, 12, "Freitag, 6. Februar 2004 ausgew\xE4hlt"},
      {SingleDate, 0, 7, Pick, 12, ""},  // no date to pick
      {SingleDate, 0, 0, Pick, 3, ""},   // a heading
      {SingleDate, 0, 0, Pick, -1, ""},  // no cell
      {DateRange, 0, 0, Pick, 68, "End: Friday 12 March 2004"},
      {DateRange, 1, 0, Pick, 8, "D\xE9" "but : lundi 2 f\xE9vrier 2004"},
      {YearView, 0, 0, Pick, 106, "Monday 1 March 2004 selected"},
      {YearView, 4, 0, Pick, 587 - 1, "viernes, 7 de enero de 2005 seleccionado"},
      {SingleDate, 0, 0, Shown, 1, "February 2004"},
      {DateRange, 4, 0, Shown, 2, "Fin: marzo de 2004"},
      {DateRange, 0, 7, Shown, 2, ""},
      {YearView, 0, 0, Shown, 5, "2004"},
      {YearView, 0, 7, Shown, 5, ""},
      {YearView, 0, 0, Name, 12, "", 0},  // no year selected: the last month shows no day
      {YearView, 1, 0, Name, 12, "d\xE9" "cembre 2004"},  // leaves slot 3 dated for the range's row below
      {DateRange, 0, 0, Name, 1, "Start: February 2004"},
      {DateRange, 0, 0, Name, 3, ""},
  };
  for (const Case& c : cases) {
    popupState.settings.language = c.language;
    popupState.settings.dateStyle = c.dateStyle;
    open(c.mode, c.year);
    char text[kSpokenDescriptionSize] = "#";
    if (c.what == Pick) pickAnnouncement(c.where, text, sizeof text);
    else if (c.what == Shown) shownAnnouncement(c.where, text, sizeof text);
    else calendarName(c.where, text, sizeof text);
    EXPECT_EQ(std::string(text), c.text) << c.mode << " " << c.what << " " << c.where;
  }
}

TEST_F(GridElements, PointsFindTheElementAClickWould) {
  struct Case {
    PopupMode mode;
    int x, y;
    int number;
  } cases[] = {
      {SingleDate, 5 + 17, 31 + 9, 0},             // a heading's centre
      {SingleDate, 5 + 17, 31 + 17, 7},            // where the heading reaches into the first week: the day
      {SingleDate, 5 + 34, 31 + 20, 7},            // a shared column: the left cell
      {SingleDate, 5 + 17, 31 + 32, 7},            // a shared row: the upper cell
      {SingleDate, 2, 2, -1},                      // outside the grid
      {DateRange, 265 + 5 + 17, 31 + 17, 49},      // the right calendar's heading comes first
      {YearView, 265 + 100, 20 + 31 - 10, 50},     // February's title
      {YearView, 265 + 100, 20 + 31 - 2, -1},      // between the title and the grid
      {YearView, 100, 20 + 31 - 10, 0},             // January's title
      {YearView, 530 + 100, 20 + 139 * 3 + 31 - 10, 550},  // December's
  };
  for (const Case& c : cases) {
    open(c.mode);
    EXPECT_EQ(gridElementAt(c.x, c.y), c.number) << c.mode << " " << c.x << "," << c.y;
  }
}

// Arrows stay within the month: the headings are the row above its first week.
TEST_F(GridElements, ArrowsMoveWithinTheMonth) {
  struct Case { PopupMode mode; int number; GridDirection direction; int expected; } cases[] = {
      {SingleDate, 7, TowardUp, 0},      {SingleDate, 0, TowardUp, -1},       {SingleDate, 3, TowardDown, 10},
      {SingleDate, 8, TowardLeft, 7},    {SingleDate, 7, TowardLeft, -1},     {SingleDate, 12, TowardRight, 13},
      {SingleDate, 13, TowardRight, -1}, {SingleDate, 40, TowardDown, 47},    {SingleDate, 49, TowardUp, -1},
      {DateRange, 48, TowardDown, -1},   {DateRange, 58, TowardUp, 51},       {YearView, 50, TowardDown, -1},
      {YearView, 61, TowardLeft, 60},    {YearView, 599, TowardRight, -1},    {YearView, 599, TowardUp, 592},
  };
  for (const Case& c : cases) {
    open(c.mode);
    EXPECT_EQ(gridElementToward(c.number, c.direction), c.expected) << c.mode << " " << c.number << " " << c.direction;
  }
}

}  // namespace
