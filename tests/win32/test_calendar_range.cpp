// "XELM CalPopup2" through the real plug-in: two calendars, the range and
// its order check on the click path and on OK, the validation messages and
// their precedence, the right calendar's lists, and Cancel and close.
#include <gtest/gtest.h>

#include "calendar_support.h"

namespace {

const char* const kCalPopup2 = "XELM CalPopup2";
const int kOk = 1033, kCancel = 1034;
const int kMonthLeft = 1015, kYearLeft = 1016, kMonthRight = 1017, kYearRight = 1018;
const char* const kOrder =
    "The date selected in the left calendar must be less than or equal to the date in the right calendar.";
const char* const kNoLeft = "Please select a date in the left calendar.";
const char* const kNoRight = "Please select a date in the right calendar.";

class CalPopup2Test : public ::testing::Test {
 protected:
  void SetUp() override { deleteSettingsKey(); }
  void TearDown() override { deleteSettingsKey(); }
};

// Answers the validation message the last action opened and checks it. (An
// action's barrier returns once the message box runs its own loop.)
void expectMessage(WindowDriver& d, const char* text) {
  WindowDriver::MessageBoxText box = d.answerMessageBox();
  EXPECT_TRUE(box.found) << text;
  EXPECT_EQ(box.caption, "Calendar Validation");
  EXPECT_EQ(box.text, text);
  EXPECT_EQ(box.owner, d.window());
  EXPECT_TRUE(d.windowOpen());
}

TEST_F(CalPopup2Test, DateClickEndsOnAnOrderedRange) {
  struct Case {
    const char* name;
    std::function<void(WindowDriver&)> actions;
    const char* expected;
  } cases[] = {
      {"in order", [](WindowDriver& d) { clickDay(d, 1, 2004, 3, 1); clickDay(d, 2, 2004, 3, 15); },
       "03/01/2004...03/15/2004"},
      {"right first", [](WindowDriver& d) { clickDay(d, 2, 2004, 3, 15); clickDay(d, 1, 2004, 3, 1); },
       "03/01/2004...03/15/2004"},
      {"equal dates", [](WindowDriver& d) { clickDay(d, 1, 2004, 3, 15); clickDay(d, 2, 2004, 3, 15); },
       "03/15/2004...03/15/2004"},
      {"neighbouring months' days", [](WindowDriver& d) { d.clickCell(1, 7); d.clickCell(2, 48); },
       "02/29/2004...04/10/2004"},
      {"out of order, then an earlier left date",
       [](WindowDriver& d) {
         clickDay(d, 1, 2004, 3, 20);
         clickDay(d, 2, 2004, 3, 15);
         expectMessage(d, kOrder);
         clickDay(d, 1, 2004, 3, 2);
       },
       "03/02/2004...03/15/2004"},
      {"a click posted under the order message is not taken",
       [](WindowDriver& d) {
         clickDay(d, 1, 2004, 3, 20); clickDay(d, 2, 2004, 3, 15);  // the order message
         CalendarGeometry g;
         const POINT day = d.calendarGeometry(g) ? g.centre(2, dayPosition(2004, 3, 25)) : POINT{};  // in order
         PostMessageA(d.window(), WM_LBUTTONUP, 0, MAKELPARAM(day.x, day.y));
         d.waitIdle(d.window());
         expectMessage(d, kOrder);
         EXPECT_EQ(d.waitForDialog(300, d.window()), nullptr) << "a second message";
         clickDay(d, 1, 2004, 3, 2);
       },
       "03/02/2004...03/15/2004"},
      {"left pick withdrawn by a month change",
       [](WindowDriver& d) {
         clickDay(d, 1, 2004, 3, 1);
         d.selectIndex(kMonthLeft, 0);  // January
         clickDay(d, 2, 2004, 3, 15);
         EXPECT_TRUE(d.windowOpen() && IsWindowVisible(d.window()));
         clickDay(d, 1, 2004, 1, 5);
       },
       "01/05/2004...03/15/2004"},
  };
  for (const Case& c : cases) {
    bool driven = false;
    EXPECT_EQ(callDriven(kCalPopup2, "03/01/2004|03/01/2004", c.actions, &driven), c.expected) << c.name;
    EXPECT_TRUE(driven) << c.name;
  }
}

// OK names what is missing, the left calendar first; with both picks it
// checks the order. Each refused OK leaves the window open.
TEST_F(CalPopup2Test, OkChecksThePicksInOrderOfPrecedence) {
  struct Case {
    const char* name;
    std::function<void(WindowDriver&)> picks;
    const char* message;
  } cases[] = {
      {"no pick", [](WindowDriver&) {}, kNoLeft},
      {"right only", [](WindowDriver& d) { clickDay(d, 2, 2004, 3, 9); }, kNoLeft},
      {"left only", [](WindowDriver& d) { clickDay(d, 1, 2004, 3, 9); }, kNoRight},
      {"out of order", [](WindowDriver& d) { clickDay(d, 1, 2004, 3, 9); clickDay(d, 2, 2004, 3, 8); }, kOrder},
      {"right withdrawn by a year change",
       [](WindowDriver& d) { clickDay(d, 1, 2004, 3, 9); clickDay(d, 2, 2004, 3, 10); d.selectText(kYearRight, "2005"); },
       kNoRight},
  };
  for (const Case& c : cases) {
    std::string result = callDriven(kCalPopup2, "03/01/2004|03/01/2004|||||||command", [&](WindowDriver& d) {
      c.picks(d);
      EXPECT_TRUE(d.windowOpen()) << c.name;
      d.pressButton(kOk);
      expectMessage(d, c.message);
      // Completing an ordered range then confirms.
      d.selectIndex(kMonthLeft, 2);
      d.selectIndex(kMonthRight, 2);
      d.selectText(kYearLeft, "2004");
      d.selectText(kYearRight, "2004");
      clickDay(d, 1, 2004, 3, 4);
      clickDay(d, 2, 2004, 3, 24);
      d.pressButton(kOk);
    });
    EXPECT_EQ(result, "03/04/2004...03/24/2004") << c.name;
  }
}

TEST_F(CalPopup2Test, CancelAndCloseReturnNothing) {
  const std::function<void(WindowDriver&)> endings[] = {
      [](WindowDriver& d) { d.pressButton(kCancel); },
      [](WindowDriver& d) { d.close(); },
  };
  for (const auto& end : endings) {
    EXPECT_EQ(callDriven(kCalPopup2, "03/01/2004|03/20/2004|||||||command", [&](WindowDriver& d) {
                clickDay(d, 1, 2004, 3, 1);
                clickDay(d, 2, 2004, 3, 20);
                end(d);
              }), "");
  }
  EXPECT_EQ(callDriven(kCalPopup2, "", [](WindowDriver& d) { clickDay(d, 1, 2004, 3, 1); d.close(); }), "");
}

TEST_F(CalPopup2Test, TwoCalendarsSideBySide) {
  const CalendarGeometry t = templateSizes();
  callDriven(kCalPopup2, "03/01/2004|11/15/2005", [&](WindowDriver& d) {
    EXPECT_EQ(widthOf(d.windowRect()), 2 * t.templateWidth + 12);
    EXPECT_EQ(heightOf(d.windowRect()), t.templateHeight);
    EXPECT_FALSE(d.controlVisible(kOk));
    EXPECT_TRUE(d.controlVisible(kMonthRight));
    EXPECT_TRUE(d.controlVisible(kYearRight));
    EXPECT_EQ(d.selectedIndex(kMonthLeft), 2);
    EXPECT_EQ(d.selectedText(kYearLeft), "2004");
    EXPECT_EQ(d.selectedIndex(kMonthRight), 10);
    EXPECT_EQ(d.selectedText(kYearRight), "2005");
    // The right lists stand over the right calendar: 36 right of its first
    // heading, and 59 left of its seventh.
    CalendarGeometry g = t;
    g.mode = 2;
    const RECT month = d.controlRectInClient(kMonthRight), year = d.controlRectInClient(kYearRight);
    EXPECT_EQ(month.left, g.cell(2, 0).left + 36);
    EXPECT_EQ(year.left, g.cell(2, 6).left - 59);
    EXPECT_EQ(month.top, 5);
    EXPECT_EQ(year.top, 5);
    d.close();
  });
  callDriven(kCalPopup2, "||||||||command", [&](WindowDriver& d) {
    EXPECT_EQ(heightOf(d.windowRect()), t.templateHeight + 30);
    EXPECT_TRUE(d.controlVisible(kOk));
    d.close();
  });
}

// In the right calendar the headings come first in index order: a click on
// them, also where they reach into the first day row, picks nothing.
TEST_F(CalPopup2Test, RightHeadingsCoverTheFirstDayRow) {
  CalendarGeometry g = templateSizes();
  g.mode = 2;
  const RECT heading = g.cell(2, 0), day = g.cell(2, 7);
  std::string result = callDriven(kCalPopup2, "03/01/2004|03/01/2004|||||||command", [&](WindowDriver& d) {
    d.clickCell(1, 7);
    d.clickAt(heading.left + 3, heading.bottom - 1);  // heading and day row overlap
    d.pressButton(kOk);
    expectMessage(d, kNoRight);
    d.clickAt(day.left + 3, heading.bottom);  // just below the heading: the day
    d.pressButton(kOk);
  });
  EXPECT_EQ(result, "02/29/2004...02/29/2004");
}

// A range call after another starts with no picks: OK asks for the left date
// instead of returning the earlier range.
TEST_F(CalPopup2Test, ConsecutiveCallsStartWithoutPicks) {
  EXPECT_EQ(callDriven(kCalPopup2, "03/01/2004|03/01/2004|||||||command", [](WindowDriver& d) {
              clickDay(d, 1, 2004, 3, 1);
              clickDay(d, 2, 2004, 3, 2);
              d.pressButton(kOk);
            }), "03/01/2004...03/02/2004");
  EXPECT_EQ(callDriven(kCalPopup2, "03/01/2004|03/01/2004|||||||command", [](WindowDriver& d) {
              d.pressButton(kOk);
              expectMessage(d, kNoLeft);
              d.pressButton(kCancel);
            }), "");
}

}  // namespace
