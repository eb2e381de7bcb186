#include "popups/time_parameters.h"
#include "popups/popup_state.h"
void scanTimeParameters(const char* chars, int32_t length) {}
