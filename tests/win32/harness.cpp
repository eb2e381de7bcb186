#include "harness.h"

#include <gtest/gtest.h>

#include "message_shape.h"

PluginHost& plugin() {
  static PluginHost* host = [] {
    PluginHost* h = new PluginHost;
    if (!h->load(XELM_PLUGIN_PATH)) ADD_FAILURE() << h->lastError();
    else h->initialise(80);
    // Every message the plug-in sends, for the whole run, is checked for
    // parameters the documentation leaves unused (see callDriven).
    if (h->module()) new MessageShape(h->module());
    return h;
  }();
  return *host;
}

uint32_t functionIndexOf(const std::string& name) {
  int index = plugin().functionIndex(name);
  EXPECT_GE(index, 0) << name;
  return static_cast<uint32_t>(index);
}

std::string callDriven(const std::string& name, const std::string& parameter,
                       const std::function<void(WindowDriver&)>& script, bool* drivenOk) {
  uint32_t index = functionIndexOf(name);
  PluginHost::Outcome outcome;
  // The result block starts with a stale text, so that a call that leaves it
  // unwritten cannot pass for one that returned an empty text.
  bool ok = runDriven([&] { outcome = plugin().callFunction(index, parameter, "stale result"); }, script);
  if (drivenOk) *drivenOk = ok;
  EXPECT_TRUE(outcome.guardIntact) << name << " wrote past its result block";
  EXPECT_TRUE(outcome.recordIntact) << name << " changed the call record";
  EXPECT_EQ(MessageShape::takeWrong(), "") << name << " sent a parameter documented as unused";
  return outcome.text();
}

std::string testOutputPath(const std::string& file) { return std::string(XELM_OUT_DIR) + "/" + file; }

const char* const kSettingsKey = "Software\\Vantrell\\XELMCalendar\\Settings";

void deleteSettingsKey() { RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSettingsKey); }

void storeSetting(const std::string& name, const std::string& value) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    ADD_FAILURE() << "cannot create the settings key";
    return;
  }
  RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.data()),
                 static_cast<DWORD>(value.size()));
  RegCloseKey(key);
}

ActiveOwner::ActiveOwner(int x, int y, int width, int height) {
  static const char* className = [] {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "XelmTestOwner";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassA(&wc);
    return "XelmTestOwner";
  }();
  hwnd_ = CreateWindowExA(0, className, "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, width, height,
                          nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  SetActiveWindow(hwnd_);
  SetForegroundWindow(hwnd_);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  EXPECT_EQ(GetActiveWindow(), hwnd_) << "the test owner window did not become active";
}

ActiveOwner::~ActiveOwner() { DestroyWindow(hwnd_); }

RECT ActiveOwner::rect() const {
  RECT r = {};
  GetWindowRect(hwnd_, &r);
  return r;
}
