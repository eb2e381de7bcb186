// High contrast as the plug-in sees it, for hostsim and the tests. Wine
// answers SPI_GETHIGHCONTRAST with "off" whatever is set and refuses
// SPI_SETHIGHCONTRAST, so the plug-in's own SystemParametersInfoA/W imports
// are answered here (every other request goes on to the system), and the
// palette is set with SetSysColors, which changes this process's system
// colours and sends WM_SYSCOLORCHANGE to its top-level windows. The colours
// the process had are put back when the object ends.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "import_hook.h"

struct SystemColour {
  int index;       // COLOR_WINDOW, ...
  COLORREF value;
};

// White on black, as Windows' classic "High Contrast Black" scheme: white
// text on black, black text on a light blue selection, green disabled text.
inline std::vector<SystemColour> highContrastBlack() {
  const COLORREF black = RGB(0, 0, 0), white = RGB(255, 255, 255);
  const COLORREF selection = RGB(26, 235, 255), grayText = RGB(63, 242, 63);
  return {{COLOR_WINDOW, black},          {COLOR_WINDOWTEXT, white},     {COLOR_HIGHLIGHT, selection},
          {COLOR_HIGHLIGHTTEXT, black},   {COLOR_GRAYTEXT, grayText},    {COLOR_BTNFACE, black},
          {COLOR_BTNTEXT, white},         {COLOR_BTNSHADOW, white},      {COLOR_BTNHIGHLIGHT, white},
          {COLOR_3DDKSHADOW, white},      {COLOR_3DLIGHT, white},        {COLOR_WINDOWFRAME, white},
          {COLOR_ACTIVECAPTION, RGB(128, 0, 128)}, {COLOR_CAPTIONTEXT, white},
          {COLOR_INACTIVECAPTION, RGB(0, 128, 0)}, {COLOR_INACTIVECAPTIONTEXT, white},
          {COLOR_ACTIVEBORDER, black},    {COLOR_INACTIVEBORDER, black}, {COLOR_3DFACE, black},
          {COLOR_MENU, black},            {COLOR_MENUTEXT, white},       {COLOR_INFOBK, black},
          {COLOR_INFOTEXT, white}};
}

class HighContrast {
 public:
  // Hooks the imports of `plugin` and answers "off" until switched on.
  explicit HighContrast(HMODULE plugin)
      : hookA_(plugin, "user32.dll", "SystemParametersInfoA", reinterpret_cast<const void*>(answerA)),
        hookW_(plugin, "user32.dll", "SystemParametersInfoW", reinterpret_cast<const void*>(answerW)) {
    state() = {};
  }
  ~HighContrast() {
    restoreColours();
    state() = {};
  }
  HighContrast(const HighContrast&) = delete;
  HighContrast& operator=(const HighContrast&) = delete;

  // Whether the plug-in imports either function, so that its question can
  // be answered.
  bool installed() const { return hookA_.installed() || hookW_.installed(); }

  // Turns the setting on with `palette` (the colours it replaces are kept to
  // put back), or off with the colours put back. Windows does not document
  // in which order a window hears of the two, so either order can be asked
  // for: with `tell` 0 the setting changes first and the colours'
  // WM_SYSCOLORCHANGE tells `window`; otherwise the colours change first and
  // then `window`, when given, is sent `tell` (WM_SETTINGCHANGE, which
  // carries SPI_SETHIGHCONTRAST, or WM_THEMECHANGED).
  void turnOn(const std::vector<SystemColour>& palette, HWND window = nullptr, UINT tell = WM_SETTINGCHANGE) {
    if (!tell) state().on = true;
    restoreColours();
    for (const SystemColour& c : palette) saved_.push_back({c.index, GetSysColor(c.index)});
    setColours(palette);
    state().on = true;
    send(window, tell);
  }
  void turnOff(HWND window = nullptr, UINT tell = WM_SETTINGCHANGE) {
    if (!tell) state().on = false;
    restoreColours();
    state().on = false;
    send(window, tell);
  }

  // SPI_GETHIGHCONTRAST questions asked so far, and how many of them gave a
  // structure size (cbSize or the size argument) other than the structure's.
  int questions() const { return state().questions; }
  int badlySized() const { return state().badlySized; }

 private:
  struct State {
    bool on;
    int questions, badlySized;
  };
  static State& state() {
    static State s = {};
    return s;
  }

  template <typename Structure>
  static bool answer(UINT size, void* data) {
    State& s = state();
    ++s.questions;
    Structure* setting = static_cast<Structure*>(data);
    if (!setting || size != sizeof(Structure) || setting->cbSize != sizeof(Structure)) {
      ++s.badlySized;
      SetLastError(ERROR_INVALID_PARAMETER);
      return false;
    }
    setting->dwFlags = HCF_AVAILABLE | HCF_HOTKEYAVAILABLE | (s.on ? HCF_HIGHCONTRASTON : 0);
    setting->lpszDefaultScheme = nullptr;
    return true;
  }
  static BOOL WINAPI answerA(UINT action, UINT size, PVOID data, UINT flags) {
    if (action == SPI_GETHIGHCONTRAST) return answer<HIGHCONTRASTA>(size, data);
    return SystemParametersInfoA(action, size, data, flags);
  }
  static BOOL WINAPI answerW(UINT action, UINT size, PVOID data, UINT flags) {
    if (action == SPI_GETHIGHCONTRAST) return answer<HIGHCONTRASTW>(size, data);
    return SystemParametersInfoW(action, size, data, flags);
  }

  static void setColours(const std::vector<SystemColour>& colours) {
    std::vector<int> indexes;
    std::vector<COLORREF> values;
    for (const SystemColour& c : colours) {
      indexes.push_back(c.index);
      values.push_back(c.value);
    }
    SetSysColors(static_cast<int>(indexes.size()), indexes.data(), values.data());
  }
  void restoreColours() {
    if (saved_.empty()) return;
    setColours(saved_);
    saved_.clear();
  }
  static void send(HWND window, UINT message) {
    if (window && message) SendMessageA(window, message, message == WM_SETTINGCHANGE ? SPI_SETHIGHCONTRAST : 0, 0);
  }

  ImportHook hookA_, hookW_;
  std::vector<SystemColour> saved_;
};
