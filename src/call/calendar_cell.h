// The cell record of the calendar grid that the call state holds: 12 month
// slots of 49 cells, stored as one array in slot order. Position 0-6 of a
// slot are the weekday headings, 7-48 the 42 day cells row by row. Handles
// are opaque here (portable code never sees GDI types); the Win32 layer casts
// them back at the GDI call.
#pragma once
#include <cstdint>

constexpr int kCellsPerSlot = 49;
constexpr int kGridSlots = 12;
constexpr int kGridCells = kCellsPerSlot * kGridSlots;  // 588
constexpr int kFirstDayPosition = 7;

// Colours are 0x00BBGGRR, the platform's COLORREF layout.
typedef uint32_t Colour;

// What a cell is. Its look follows from this and its highlighted flag, and
// so do the answers about it (picked? outside the month?): never its colours
// or brush, which two kinds share when the system's colours are in use.
enum CellKind : uint8_t { HeadingCell = 0, ShownMonthCell = 1, OtherMonthCell = 2 };

struct CellRect {
  int32_t left, top, right, bottom;  // right and bottom are exclusive
};

struct CalendarCell {
  CellRect rect;           // area in client coordinates of the calendar window
  void* brush;             // fills the cell; not owned by the cell
  Colour bkColor;          // background behind the label text
  void* labelFont;         // font of the label; not owned by the cell
  Colour textColor;        // colour of the label text
  uint8_t kind;            // CellKind
  uint8_t highlighted;     // 1: a picked or marked day, drawn in the selected look
  char label[4];           // day number or three-letter weekday heading
  char dateText[12];       // the day's date in the date style; empty in headings
};

// Whether (x, y) lies in r: left <= x < right and top <= y < bottom.
inline bool rectContains(const CellRect& r, int32_t x, int32_t y) {
  return r.left <= x && x < r.right && r.top <= y && y < r.bottom;
}

// Index of position k (0-48) of slot s (1-12).
inline int cellIndex(int slot, int position) { return (slot - 1) * kCellsPerSlot + position; }

// Gives a cell the brush and label colours of one look (normal, other month,
// highlighted); its kind, flag, label and date stay as they are.
inline void setCellColours(CalendarCell& cell, void* brush, Colour bkColor, Colour textColor) {
  cell.brush = brush;
  cell.bkColor = bkColor;
  cell.textColor = textColor;
}
