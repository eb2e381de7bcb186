// Watches the messages a module sends and posts (through its imports of
// SendMessageA/W, SendDlgItemMessageA and PostMessageA/W) for a parameter
// that Windows documents as not used, or as 0, holding anything but 0. Wine
// ignores such a parameter, so a wrong one would pass unseen; a later Windows
// may read it.
#pragma once
#include <windows.h>
#include <commctrl.h>  // CB_SETMINVISIBLE

#include <memory>
#include <string>

#include "import_hook.h"

class MessageShape {
 public:
  explicit MessageShape(HMODULE module) {
    const char* const sends[] = {"SendMessageA", "SendMessageW", "PostMessageA", "PostMessageW"};
    const void* const hooks[] = {reinterpret_cast<const void*>(sendA), reinterpret_cast<const void*>(sendW),
                                 reinterpret_cast<const void*>(postA), reinterpret_cast<const void*>(postW)};
    for (int k = 0; k < 4; ++k) hooks_[k].reset(new ImportHook(module, "user32.dll", sends[k], hooks[k]));
    hooks_[4].reset(new ImportHook(module, "user32.dll", "SendDlgItemMessageA", reinterpret_cast<const void*>(sendDlgItem)));
  }

  // The first message sent or posted with such a parameter since the last
  // call ("CB_GETCURSEL lParam 1"), or "" when there was none; then forgets it.
  static std::string takeWrong() {
    std::string wrong = firstWrong();
    firstWrong().clear();
    return wrong;
  }

 private:
  static std::string& firstWrong() {
    static std::string wrong;
    return wrong;
  }

  // The messages the plug-in sends whose parameters the documentation leaves
  // unused ("not used", "must be zero").
  static void check(UINT message, WPARAM wParam, LPARAM lParam) {
    struct Unused {
      UINT message;
      const char* name;
      bool wParam, lParam;
    };
    static const Unused unused[] = {
        {CB_GETCURSEL, "CB_GETCURSEL", true, true},     {CB_ADDSTRING, "CB_ADDSTRING", true, false},
        {CB_SETCURSEL, "CB_SETCURSEL", false, true},    {CB_GETLBTEXTLEN, "CB_GETLBTEXTLEN", false, true},
        {CB_SETMINVISIBLE, "CB_SETMINVISIBLE", false, true}, {WM_SETREDRAW, "WM_SETREDRAW", false, true},
        {WM_CLOSE, "WM_CLOSE", true, true},             {CB_GETCOUNT, "CB_GETCOUNT", true, true},
        {CB_RESETCONTENT, "CB_RESETCONTENT", true, true},
    };
    for (const Unused& u : unused) {
      if (u.message != message || !firstWrong().empty()) continue;
      if (u.wParam && wParam) firstWrong() = std::string(u.name) + " wParam " + std::to_string(wParam);
      if (u.lParam && lParam) firstWrong() = std::string(u.name) + " lParam " + std::to_string(lParam);
    }
  }

  template <typename Function>
  static Function user32(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
  }
  static LRESULT WINAPI sendA(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    check(m, wp, lp);
    return user32<decltype(&SendMessageA)>("SendMessageA")(w, m, wp, lp);
  }
  static LRESULT WINAPI sendW(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    check(m, wp, lp);
    return user32<decltype(&SendMessageW)>("SendMessageW")(w, m, wp, lp);
  }
  static BOOL WINAPI postA(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    check(m, wp, lp);
    return user32<decltype(&PostMessageA)>("PostMessageA")(w, m, wp, lp);
  }
  static BOOL WINAPI postW(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    check(m, wp, lp);
    return user32<decltype(&PostMessageW)>("PostMessageW")(w, m, wp, lp);
  }
  static LRESULT WINAPI sendDlgItem(HWND w, int id, UINT m, WPARAM wp, LPARAM lp) {
    check(m, wp, lp);
    return user32<decltype(&SendDlgItemMessageA)>("SendDlgItemMessageA")(w, id, m, wp, lp);
  }

  std::unique_ptr<ImportHook> hooks_[5];
};
