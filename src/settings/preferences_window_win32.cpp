// The Preferences window (placeholder until it is built: does nothing).
#include "host/host_functions.h"

void runPreferencesWindow() {}
