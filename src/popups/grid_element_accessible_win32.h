// What the grid's simple elements (grid/grid_elements.h) answer to a screen
// reader, whichever object holds them as children: the window's object when
// one month is shown, a month object in a range and the year view.
//   weekday heading  role column header, named by the whole weekday, no state
//   day              role cell, named with its weekday, selectable; selected
//                    when highlighted (the initial date or the pick); its
//                    description says which calendar of a range it belongs
//                    to and whether it lies outside the month shown; a cell
//                    without a date is unavailable and invisible; default
//                    action "Click"
// Every element is unavailable while the window is disabled under a
// validation message.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <oleacc.h>

#include "grid/grid_elements.h"

enum ElementText { NameText, DescriptionText, ActionText, NoText };

// The element's text `which` as a BSTR in `out`; S_FALSE (and nullptr) when it
// has none, E_OUTOFMEMORY when the text could not be made.
HRESULT elementText(const GridElement& element, ElementText which, BSTR* out);

LONG elementRole(const GridElement& element);
LONG elementState(HWND window, const GridElement& element);

// The area `r` of `window`'s client area on the screen, as accLocation gives it.
void screenLocation(HWND window, const CellRect& r, LONG* left, LONG* top, LONG* width, LONG* height);

// The element's area on the screen.
void elementLocation(HWND window, const GridElement& element, LONG* left, LONG* top, LONG* width, LONG* height);

// The element next to element `number` in `direction`, NAVDIR_UP to
// NAVDIR_RIGHT, by places on the grid (gridElementToward); -1 for none.
int elementToward(int number, LONG direction);

// A day's default action, the mouse's: the release of the left button at the
// cell's centre, posted so that the window takes it from its own loop as it
// takes a click (and the caller is not held while a message it may open is
// answered). DISP_E_MEMBERNOTFOUND for an element without a date, and
// E_ACCESSDENIED while the window is disabled under a validation message, as
// a click is refused then.
HRESULT clickElement(HWND window, const GridElement& element);

// accSelect on an element: taking the selection picks a day as its default
// action does, with or without taking the focus (which a day never has; UI
// Automation's bridge asks for both); SELFLAG_NONE does nothing. A day
// cannot be added to or taken out of a selection (E_INVALIDARG), and
// headings and titles are not selectable (DISP_E_MEMBERNOTFOUND).
HRESULT selectElement(HWND window, const GridElement& element, LONG flags);
