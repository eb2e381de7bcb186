// The six external functions, indexed as the string table lists them
// (string 144 + index), and the protocol they share with the host.
#pragma once
#include "host/host_call.h"

// Resizes the host's result to the text's length and copies the characters
// without a terminator; writes nothing when the host reports a failed resize.
void setResultText(TextHandle result, const char* text);

// Number of characters of the host's parameter text; 0 when there is none.
int32_t parameterLength(TextHandle parameter);

// Copies the parameter into buffer (at most bufferSize - 1 characters),
// terminated; returns the number of characters copied.
int32_t copyParameter(TextHandle parameter, char* buffer, size_t bufferSize);

void VOVUVAVersion(TextHandle parameter, TextHandle result);
void Version(TextHandle parameter, TextHandle result);
void CalPopup(TextHandle parameter, TextHandle result);
void CalPopup2(TextHandle parameter, TextHandle result);
void TimePopup(TextHandle parameter, TextHandle result);
void YearPopup(TextHandle parameter, TextHandle result);

// Runs the Preferences window modally, owned by the active window.
void runPreferencesWindow();

// The plug-in module's instance, for loading its own resources.
HINSTANCE moduleInstance();
