// What every external function uses of the host's call in progress: the
// length and characters of its parameter text, the handing back of its
// result text, and the plug-in's module instance. All of them go through
// the record in popupState.hostCall.
#pragma once
#include "call/host_call.h"

// Resizes the host's result to the text's length and copies the characters
// without a terminator; writes nothing when the host reports a failed resize.
void setResultText(TextHandle result, const char* text);

// Number of characters of the host's parameter text; 0 when there is none.
int32_t parameterLength(TextHandle parameter);

// Copies the parameter into buffer (at most bufferSize - 1 characters),
// terminated; returns the number of characters copied.
int32_t copyParameter(TextHandle parameter, char* buffer, size_t bufferSize);

// The plug-in module's instance, for loading its own resources.
HINSTANCE moduleInstance();
