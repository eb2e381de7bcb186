// "XELM CalPopup", "XELM CalPopup2" and "XELM YearPopup" (placeholders until
// the calendar window exists: they answer with an empty result).
#include "host/host_functions.h"

void CalPopup(TextHandle parameter, TextHandle result) { setResultText(result, ""); }
void CalPopup2(TextHandle parameter, TextHandle result) { setResultText(result, ""); }
void YearPopup(TextHandle parameter, TextHandle result) { setResultText(result, ""); }
