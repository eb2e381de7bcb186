// The host's call record as the plug-in uses it: fields at fixed byte
// offsets of a 32-bit record. The plug-in never touches the bytes between
// them. Text handles point to a pointer to a block of 8-bit characters
// without terminator, owned by the host.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

typedef char** TextHandle;

// Host callbacks; stdcall like the Windows API.
typedef void(__stdcall* ResizeTextFn)(TextHandle text, int32_t newSize);
typedef int32_t(__stdcall* TextLengthFn)(TextHandle text);
typedef uint32_t(__stdcall* MemoryStatusFn)();  // low 16 bits: nonzero on failure

enum CallKind : uint8_t { CallInitialise = 0, CallFunction = 3, CallPreferences = 5 };

struct HostCall {
  int16_t hostVersion;          // 0: host interface version (initialisation)
  uint8_t unused2[7];           // 2-8
  uint8_t callKind;             // 9: CallKind
  uint8_t unused10[2];          // 10-11
  uint32_t functionIndex;       // 12: external function, 0-5
  TextHandle parameterText;     // 16: parameter text handle
  HINSTANCE moduleInstance;     // 20: the plug-in's own instance
  union {
    int32_t initResult;         // 24, kind 0: initialisation answer
    TextHandle resultText;      // 24, kind 3: result text handle
  };
  uint8_t unused28[8];          // 28-35
  ResizeTextFn resizeText;      // 36
  TextLengthFn textLength;      // 40
  uint8_t unused44[24];         // 44-67
  MemoryStatusFn memoryStatus;  // 68
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(offsetof(HostCall, callKind) == 9, "call record layout");
static_assert(offsetof(HostCall, functionIndex) == 12, "call record layout");
static_assert(offsetof(HostCall, parameterText) == 16, "call record layout");
static_assert(offsetof(HostCall, moduleInstance) == 20, "call record layout");
static_assert(offsetof(HostCall, initResult) == 24, "call record layout");
static_assert(offsetof(HostCall, resizeText) == 36, "call record layout");
static_assert(offsetof(HostCall, textLength) == 40, "call record layout");
static_assert(offsetof(HostCall, memoryStatus) == 68, "call record layout");
#endif
