// "XELM CalPopup", "XELM CalPopup2" and "XELM YearPopup" (function indexes
// 2, 3 and 5): each runs the calendar window modally and hands back the
// picked date or range, or an empty text when the user cancels.
#pragma once
#include "call/host_call.h"

void CalPopup(TextHandle parameter, TextHandle result);
void CalPopup2(TextHandle parameter, TextHandle result);
void YearPopup(TextHandle parameter, TextHandle result);
