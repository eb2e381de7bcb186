// A clean popup state with recognisable stand-ins for the theme's handles
// and colours, shared by the grid tests.
#pragma once
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>

#include "call/popup_state.h"

inline void* fakeHandle(uintptr_t n) { return reinterpret_cast<void*>(n); }

class GridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    popupState = PopupState{};
    ThemeObjects& o = popupState.objects;
    o.weekdayFont = fakeHandle(0x10);
    o.dayFont = fakeHandle(0x20);
    o.weekdayBrush = fakeHandle(0x30);
    o.selectedBrush = fakeHandle(0x40);
    o.otherMonthBrush = fakeHandle(0x50);
    o.dayBrush = fakeHandle(0x60);
    o.weekdayBkColor = 0x0000FF;
    o.weekdayTextColor = 0x00FF00;
    o.dayTextColor = 0x112233;
    o.selectedBkColor = 0xFF0000;
    o.dayBkColor = 0xFFFFFF;
    o.otherMonthBkColor = 0xBEBEBE;
    o.otherMonthTextColor = 0x808080;
    o.selectedTextColor = 0x000000;
    popupState.mode = SingleDate;
    popupState.cellCount = 49;
    popupState.settings.scale = 1.0f;
    placeADayPastTheGrid();
  }

  // Makes the bytes that follow the grid in the popup state read as a cell:
  // a highlighted day of the shown month, dated 12/31/2004. A loop that
  // reads one cell past the grid then gives itself away by an answer (a
  // highlight found, a month named), which no sanitizer would: the read
  // stays inside the state. Those bytes are the theme objects that the cell
  // copies, so its fields are written until they read back as that day.
  static void placeADayPastTheGrid() {
    static_assert(offsetof(PopupState, grid) + sizeof popupState.grid + sizeof(CalendarCell) <= sizeof(PopupState),
                  "a whole cell's bytes follow the grid");
    unsigned char* past = reinterpret_cast<unsigned char*>(&popupState) + offsetof(PopupState, grid) +
                          sizeof popupState.grid;
    const ThemeObjects& o = popupState.objects;
    for (int round = 0; round < 3; ++round) {
      std::memcpy(past + offsetof(CalendarCell, dateText), "12/31/2004", 11);
      const uint8_t shownMonth = ShownMonthCell, highlighted = 1;
      std::memcpy(past + offsetof(CalendarCell, kind), &shownMonth, 1);
      std::memcpy(past + offsetof(CalendarCell, highlighted), &highlighted, 1);
      void* const selected = o.selectedBrush;
      std::memcpy(past + offsetof(CalendarCell, brush), &selected, sizeof selected);
    }
    CalendarCell image;
    std::memcpy(&image, past, sizeof image);
    ASSERT_EQ(image.brush, o.selectedBrush);
    ASSERT_EQ(image.kind, ShownMonthCell);
    ASSERT_EQ(image.highlighted, 1);
    ASSERT_STREQ(image.dateText, "12/31/2004");
    for (void* other : {o.weekdayBrush, o.otherMonthBrush, o.dayBrush}) ASSERT_NE(other, o.selectedBrush);
  }

  static CalendarCell& cell(int slot, int position) { return popupState.grid[cellIndex(slot, position)]; }
  static std::string label(int slot, int position) { return cell(slot, position).label; }
  static std::string date(int slot, int position) { return cell(slot, position).dateText; }
};
