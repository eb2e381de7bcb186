// "XELM TimePopup" (function index 4): runs the Set Time window modally and
// hands back the picked time, or an empty text when the user cancels.
#pragma once
#include "call/host_call.h"

void TimePopup(TextHandle parameter, TextHandle result);
