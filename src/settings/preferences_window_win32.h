// The Preferences window, opened by the host's plug-in configuration.
#pragma once

// Runs the Preferences window modally, owned by the active window.
void runPreferencesWindow();
