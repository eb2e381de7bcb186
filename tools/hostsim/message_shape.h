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
    const void* const hooks[kSends] = {reinterpret_cast<const void*>(send<0>), reinterpret_cast<const void*>(send<1>),
                                       reinterpret_cast<const void*>(send<2>), reinterpret_cast<const void*>(send<3>)};
    for (int k = 0; k < kSends; ++k) {
      real(k) = exportedFunction<void*>("user32.dll", kNames[k]);
      hooks_[k].reset(new ImportHook(module, "user32.dll", kNames[k], hooks[k]));
    }
    realSendDlgItem() = exportedFunction<decltype(&SendDlgItemMessageA)>("user32.dll", "SendDlgItemMessageA");
    hooks_[kSends].reset(new ImportHook(module, "user32.dll", "SendDlgItemMessageA", reinterpret_cast<const void*>(sendDlgItem)));
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

  // SendMessageA/W and PostMessageA/W share one form: forwarded by index to
  // the exported function (their BOOL results pass through as LRESULT).
  static const int kSends = 4;
  static constexpr const char* kNames[kSends] = {"SendMessageA", "SendMessageW", "PostMessageA", "PostMessageW"};
  using Send = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM);
  static void*& real(int k) {
    static void* functions[kSends];
    return functions[k];
  }
  template <int K>
  static LRESULT WINAPI send(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    check(m, wp, lp);
    return reinterpret_cast<Send>(real(K))(w, m, wp, lp);
  }
  static decltype(&SendDlgItemMessageA)& realSendDlgItem() {
    static decltype(&SendDlgItemMessageA) function;
    return function;
  }
  static LRESULT WINAPI sendDlgItem(HWND w, int id, UINT m, WPARAM wp, LPARAM lp) {
    check(m, wp, lp);
    return realSendDlgItem()(w, id, m, wp, lp);
  }

  std::unique_ptr<ImportHook> hooks_[5];
};
