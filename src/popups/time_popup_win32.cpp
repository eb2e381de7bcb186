#include "host/host_functions.h"
void TimePopup(TextHandle parameter, TextHandle result) { setResultText(result, ""); }
