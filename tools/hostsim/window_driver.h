// Drives the plug-in's modal windows from a second thread while the call
// runs (and its modal loop spins) on the calling thread. Actions are sent as
// the user's input would arrive: notifications for list changes, button
// commands, mouse releases at client points. Actions that may open a message
// box are sent without waiting and followed by a barrier message.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "calendar_geometry.h"
#include "registry_faults.h"

// Whether `hwnd` or any of its controls has an update region left.
bool needsPaint(HWND hwnd);

class WindowDriver {
 public:
  // `uiThread` runs the message hook runDriven installs, which lets waitIdle
  // tell when its message loop has come round.
  explicit WindowDriver(DWORD uiThread) : uiThread_(uiThread) {}

  // Waits for a visible dialog of the UI thread other than `except`;
  // nullptr after timeoutMs or once *stop turns true.
  HWND waitForDialog(int timeoutMs = 10000, HWND except = nullptr,
                     const std::atomic<bool>* stop = nullptr);
  // Waits for the plug-in's window (first dialog) and remembers it.
  bool attach(int timeoutMs = 10000, const std::atomic<bool>* stop = nullptr);
  HWND window() const { return window_; }
  bool windowOpen() const { return window_ && IsWindow(window_); }
  // Waits until the window is gone; false after timeoutMs.
  bool waitClosed(int timeoutMs = 10000);

  // A message sent and waited for: everything sent before it has been handled.
  void barrier();
  // Waits until the UI thread's message loop has come round to a message
  // posted now: what it was doing (initialising, painting) has returned.
  bool waitIdle(HWND hwnd, int timeoutMs = 10000) const;
  // Waits until `hwnd` and its controls have nothing left to paint.
  bool waitPainted(HWND hwnd) const;

  // Actions on the plug-in's window.
  bool selectIndex(int controlId, int index);
  bool selectText(int controlId, const std::string& text);
  // Presses a button as a click would; nullptr when it was pressed, or why
  // not: it is missing, hidden or disabled, so no user could press it.
  const char* pressButton(int controlId);
  void clickAt(int x, int y);
  void close();
  // Replaces an edit box's text key by key, as typed: the box refuses what
  // its limits refuse and is marked modified.
  void typeText(int controlId, const std::string& text);

  // The calendar window: where its cells are (measured once per window), a
  // click on the centre of cell `position` (0-48) of month slot `slot`.
  bool calendarGeometry(CalendarGeometry& geometry);
  bool clickCell(int slot, int position);

  // Real input, as the user's hand gives it: the cursor moved to a screen
  // point and the left button pressed and released there. The system gives
  // it only to a window that takes input (not to a disabled one). Waits up
  // to timeoutMs for the UI thread to take the release, as a user waits for
  // a click to show before the next: true once it did. With 0 it does not
  // wait (and gives false), for a click that may be refused.
  bool userClick(POINT screen, int timeoutMs = 5000);
  // Presses and releases Shift, which the UI thread's windows ignore, and
  // waits until that thread (which must have the keyboard) has taken the
  // release out of its queue: the input sent before it has then been
  // handled or dropped. False after timeoutMs.
  bool inputSettled(int timeoutMs = 5000);

  // Message boxes opened on the UI thread: caption and text, then OK.
  struct MessageBoxText {
    bool found = false;
    std::string caption, text;
    HWND owner = nullptr;  // the window the box belongs to
  };
  MessageBoxText answerMessageBox(int timeoutMs = 5000);

  // Reading the window.
  std::string caption() const;
  std::vector<std::string> listEntries(int controlId) const;
  int selectedIndex(int controlId) const;
  std::string selectedText(int controlId) const;
  std::string controlText(int controlId) const;
  bool controlVisible(int controlId) const;
  RECT windowRect() const;
  RECT clientRect() const;
  RECT controlRectInClient(int controlId) const;
  HWND owner() const;

  // Colour of a client pixel once the window has painted.
  COLORREF pixelAt(int x, int y) const;

  // Saves the whole window (frame included) as a PNG, activated and
  // repainted first.
  bool screenshot(const std::string& path) const;

  // Runs one textual action (the CLI's --do syntax); `log` receives what the
  // action reports. False on an unknown or failed action.
  bool run(const std::string& action, std::string& log);

  // Tells runDriven that the script gave up: the window is closed at once
  // instead of after the wait limit.
  void abandon() { abandoned_ = true; }
  bool abandoned() const { return abandoned_; }

 private:
  bool capture(HWND hwnd, const std::string& path) const;

  DWORD uiThread_;
  HWND window_ = nullptr;
  HWND measured_ = nullptr;  // window whose geometry_ is known
  bool abandoned_ = false;
  CalendarGeometry geometry_;
  // The "refuse" and "denywrite" actions' faults, undone when the driver ends.
  std::unique_ptr<ValueRefusal> refusal_;
  std::unique_ptr<KeyWriteDenial> denial_;
};

// How long runDriven waits for the window to close after the script ends
// before its watchdog closes it: 20 s unless changed (hostsim --wait-limit).
extern int closeWaitLimitMs;

// Runs `call` on this thread and `script` on a driver thread attached to the
// window the call opens. A watchdog closes a window still open
// closeWaitLimitMs after the script ends (at once when the script
// abandoned it), so a broken window fails instead of hanging. Once the call
// has returned, this thread dispatches its messages until the driver ends,
// as a host's message loop would. Returns false when no window appeared or the watchdog had to
// act.
bool runDriven(const std::function<void()>& call, const std::function<void(WindowDriver&)>& script,
               int attachTimeoutMs = 10000);
