// A clean popup state with recognisable stand-ins for the theme's handles
// and colours, shared by the grid tests.
#pragma once
#include <gtest/gtest.h>

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
  }

  static CalendarCell& cell(int slot, int position) { return popupState.grid[cellIndex(slot, position)]; }
  static std::string label(int slot, int position) { return cell(slot, position).label; }
  static std::string date(int slot, int position) { return cell(slot, position).dateText; }
};
