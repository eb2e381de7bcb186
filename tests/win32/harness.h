// Shared set-up of the Win32 tests: the built plug-in, loaded once per test
// program with LoadLibrary and initialised as the host would.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "plugin_host.h"
#include "window_driver.h"

// The loaded plug-in (loaded on first use; a failed load fails the test).
PluginHost& plugin();

// Index of an external function by its listed name.
uint32_t functionIndexOf(const std::string& name);

// Runs function `name` with `parameter`, driving its window with `script`;
// returns the result text. `drivenOk` (optional) reports whether a window
// appeared and closed without the watchdog.
std::string callDriven(const std::string& name, const std::string& parameter,
                       const std::function<void(WindowDriver&)>& script, bool* drivenOk = nullptr);

// A folder for screenshots and other files tests leave behind.
std::string testOutputPath(const std::string& file);

// The settings key of the plug-in under HKEY_LOCAL_MACHINE, and helpers to
// arrange its values before a call.
extern const char* const kSettingsKey;
void deleteSettingsKey();
void storeSetting(const std::string& name, const std::string& value);  // REG_SZ, no terminator

// A visible top-level window on this thread, made the active window, so the
// plug-in's windows take it as their owner. Destroyed with the object.
class ActiveOwner {
 public:
  ActiveOwner(int x, int y, int width, int height);
  ~ActiveOwner();
  HWND hwnd() const { return hwnd_; }
  RECT rect() const;

 private:
  HWND hwnd_;
};
