#include "window_driver.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <thread>

#include "accessible_view.h"
#include "png_capture.h"

namespace {

// A name as the command line gave it, in the system's code page.
std::wstring wideOf(const std::string& text) {
  std::wstring wide(text.size(), L'\0');
  wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                                      &wide[0], static_cast<int>(wide.size()))));
  return wide;
}

struct FindArgs {
  HWND except;
  HWND found;
};

BOOL CALLBACK findDialog(HWND hwnd, LPARAM param) {
  FindArgs* args = reinterpret_cast<FindArgs*>(param);
  char cls[32] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  if (hwnd != args->except && std::strcmp(cls, "#32770") == 0 && IsWindowVisible(hwnd)) {
    args->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

// Posted markers: a WM_NULL carrying kMarkerTag and a sequence number. The
// calling thread's message hook records the last one its message loop took
// out of the queue; a loop only does that between the messages it handles,
// so once a marker is taken, whatever the thread was doing when it was posted
// (initialising a window, painting it) has returned.
const WPARAM kMarkerTag = 0x584C4D44;
std::atomic<LPARAM> lastMarkerPosted{0}, lastMarkerTaken{0};
// The screen point of the last release of the left button, and the number
// of Shift releases, that the calling thread took.
std::atomic<LPARAM> lastReleaseTaken{-1};
std::atomic<int> shiftReleasesTaken{0};

LRESULT CALLBACK markerHook(int code, WPARAM removal, LPARAM lParam) {
  const MSG* msg = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && removal == PM_REMOVE && msg->message == WM_NULL && msg->wParam == kMarkerTag)
    lastMarkerTaken = msg->lParam;
  if (code == HC_ACTION && removal == PM_REMOVE) {
    if (msg->message == WM_LBUTTONUP || msg->message == WM_NCLBUTTONUP)
      lastReleaseTaken = MAKELPARAM(msg->pt.x, msg->pt.y);
    if (msg->message == WM_KEYUP && msg->wParam == VK_SHIFT) ++shiftReleasesTaken;
  }
  return CallNextHookEx(nullptr, code, removal, lParam);
}

BOOL CALLBACK childNeedsPaint(HWND child, LPARAM found) {
  if (!GetUpdateRect(child, nullptr, FALSE)) return TRUE;
  *reinterpret_cast<bool*>(found) = true;
  return FALSE;
}

// Polls `done` every 5 ms until it holds (true) or `timeoutMs` have passed.
template <typename Done>
bool pollUntil(Done done, int timeoutMs) {
  for (int waited = 0; waited <= timeoutMs; waited += 5) {
    if (done()) return true;
    Sleep(5);
  }
  return false;
}

std::string windowText(HWND hwnd) {
  char buffer[512] = {};
  GetWindowTextA(hwnd, buffer, sizeof buffer);
  return buffer;
}

}  // namespace

bool needsPaint(HWND hwnd) {
  bool found = GetUpdateRect(hwnd, nullptr, FALSE) != FALSE;
  if (!found) EnumChildWindows(hwnd, childNeedsPaint, reinterpret_cast<LPARAM>(&found));
  return found;
}

HWND WindowDriver::waitForDialog(int timeoutMs, HWND except, const std::atomic<bool>* stop) {
  for (int waited = 0; waited <= timeoutMs; waited += 10) {
    if (stop && *stop) return nullptr;
    FindArgs args = {except, nullptr};
    EnumThreadWindows(uiThread_, findDialog, reinterpret_cast<LPARAM>(&args));
    if (args.found) {
      // A dialog turns visible midway through its initialisation.
      waitIdle(args.found);
      return args.found;
    }
    Sleep(10);
  }
  return nullptr;
}

bool WindowDriver::waitIdle(HWND hwnd, int timeoutMs) const {
  const LPARAM marker = ++lastMarkerPosted;
  if (!PostMessageA(hwnd, WM_NULL, kMarkerTag, marker)) return false;
  for (int waited = 0; waited <= timeoutMs; waited += 5) {
    if (lastMarkerTaken >= marker) return true;
    if (!IsWindow(hwnd)) return false;
    Sleep(5);
  }
  return false;
}

bool WindowDriver::waitPainted(HWND hwnd) const {
  waitIdle(hwnd);
  for (int waited = 0; waited < 5000 && needsPaint(hwnd); waited += 10) Sleep(10);
  // The last paint may still be drawing: wait for the loop to come round.
  return waitIdle(hwnd);
}

bool WindowDriver::capture(HWND hwnd, const std::string& path) const {
  // A host's window is the active one when the plug-in opens its window, so
  // the user sees that window active. hostsim has no window of its own to
  // hand activation on: a window it opens may not be made the active one,
  // and under Wine's virtual desktop a window that opened active while
  // hidden (focus set during its initialisation) keeps a grey caption. The
  // window is activated and told to draw its caption as the active window's.
  if (GetForegroundWindow() != hwnd) SetForegroundWindow(hwnd);
  DWORD_PTR ignored;
  if (GetForegroundWindow() == hwnd) SendMessageTimeoutA(hwnd, WM_NCACTIVATE, TRUE, 0, SMTO_NORMAL, 5000, &ignored);
  waitPainted(hwnd);
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  waitPainted(hwnd);
  return captureWindowPng(hwnd, path);
}

COLORREF WindowDriver::pixelAt(int x, int y) const {
  waitPainted(window_);
  HDC dc = GetDC(window_);
  const COLORREF colour = GetPixel(dc, x, y);
  ReleaseDC(window_, dc);
  return colour;
}

bool WindowDriver::attach(int timeoutMs, const std::atomic<bool>* stop) {
  window_ = waitForDialog(timeoutMs, nullptr, stop);
  return window_ != nullptr;
}

bool WindowDriver::waitClosed(int timeoutMs) {
  for (int waited = 0; waited <= timeoutMs; waited += 10) {
    if (!IsWindow(window_)) return true;
    Sleep(10);
  }
  return false;
}

void WindowDriver::barrier() {
  DWORD_PTR ignored;
  if (IsWindow(window_)) SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
}

bool WindowDriver::selectIndex(int controlId, int index) {
  HWND list = GetDlgItem(window_, controlId);
  if (!list) return false;
  if (SendMessageA(list, CB_SETCURSEL, index, 0) == CB_ERR && index >= 0) return false;
  // Setting the selection sends no notification: send the one the user's
  // choice would.
  SendNotifyMessageA(window_, WM_COMMAND, MAKEWPARAM(controlId, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
  barrier();
  return true;
}

bool WindowDriver::selectText(int controlId, const std::string& text) {
  HWND list = GetDlgItem(window_, controlId);
  if (!list) return false;
  LRESULT index = SendMessageA(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                               reinterpret_cast<LPARAM>(text.c_str()));
  if (index == CB_ERR) return false;
  return selectIndex(controlId, static_cast<int>(index));
}

const char* WindowDriver::pressButton(int controlId) {
  HWND button = GetDlgItem(window_, controlId);
  if (!button) return "the window has no such control";
  if (!IsWindowVisible(button)) return "that control is hidden";
  if (!IsWindowEnabled(button)) return "that control is disabled";
  // A message box the window raised disables the window and leaves its
  // buttons enabled; no user can reach them until it is answered.
  if (!IsWindowEnabled(window_)) return "the window is disabled under a message";
  SendNotifyMessageA(window_, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  barrier();
  return nullptr;
}

void WindowDriver::clickAt(int x, int y) {
  SendNotifyMessageA(window_, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  barrier();
}

bool WindowDriver::userClick(POINT screen, int timeoutMs) {
  lastReleaseTaken = -1;
  // Each event carries the point (in the 0-65535 scale of the screen), so a
  // late cursor move that Wine's display makes of an earlier one cannot
  // shift the click.
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT input[3] = {};
  const DWORD actions[3] = {0, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP};
  for (int i = 0; i < 3; ++i) {
    input[i].type = INPUT_MOUSE;
    input[i].mi.dx = (screen.x * 65536 + width - 1) / width;
    input[i].mi.dy = (screen.y * 65536 + height - 1) / height;
    input[i].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | actions[i];
  }
  SendInput(3, input, sizeof input[0]);
  const LPARAM point = MAKELPARAM(screen.x, screen.y);
  return timeoutMs > 0 && pollUntil([&] { return lastReleaseTaken == point; }, timeoutMs);
}

bool WindowDriver::inputSettled(int timeoutMs) {
  const int before = shiftReleasesTaken;
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_KEYBOARD;
  input[0].ki.wVk = input[1].ki.wVk = VK_SHIFT;
  input[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, input, sizeof input[0]);
  return pollUntil([&] { return shiftReleasesTaken > before; }, timeoutMs);
}

void WindowDriver::close() {
  SendNotifyMessageA(window_, WM_CLOSE, 0, 0);
  barrier();
}

void WindowDriver::typeText(int controlId, const std::string& text) {
  // As a user replaces a box's text: all of it selected, a backspace, then
  // one character message per key. The box applies its own rules (length
  // limit, digits only) and marks itself modified, as it does for the hand.
  HWND control = GetDlgItem(window_, controlId);
  SendMessageA(control, EM_SETSEL, 0, -1);
  if (GetWindowTextLengthA(control) > 0) SendMessageA(control, WM_CHAR, '\b', 0);
  for (char c : text) SendMessageA(control, WM_CHAR, static_cast<unsigned char>(c), 0);
}

bool WindowDriver::calendarGeometry(CalendarGeometry& geometry) {
  if (measured_ != window_) {
    if (!calendarGeometryOf(window_, geometry_)) return false;
    measured_ = window_;
  }
  geometry = geometry_;
  return true;
}

bool WindowDriver::clickCell(int slot, int position) {
  CalendarGeometry geometry;
  if (slot < 1 || slot > 12 || position < 0 || position > 48 || !calendarGeometry(geometry)) return false;
  const POINT centre = geometry.centre(slot, position);
  clickAt(centre.x, centre.y);
  return true;
}

WindowDriver::MessageBoxText WindowDriver::answerMessageBox(int timeoutMs) {
  MessageBoxText box;
  HWND hwnd = waitForDialog(timeoutMs, window_);
  if (!hwnd) return box;
  box.found = true;
  box.caption = windowText(hwnd);
  box.text = windowText(GetDlgItem(hwnd, 0xFFFF));
  box.owner = GetWindow(hwnd, GW_OWNER);
  SendNotifyMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  for (int waited = 0; waited < 5000 && IsWindow(hwnd); waited += 10) Sleep(10);
  barrier();
  return box;
}

std::string WindowDriver::caption() const { return windowText(window_); }

std::vector<std::string> WindowDriver::listEntries(int controlId) const {
  std::vector<std::string> entries;
  HWND list = GetDlgItem(window_, controlId);
  LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    char buffer[256] = {};
    SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buffer));
    entries.push_back(buffer);
  }
  return entries;
}

int WindowDriver::selectedIndex(int controlId) const {
  return static_cast<int>(SendMessageA(GetDlgItem(window_, controlId), CB_GETCURSEL, 0, 0));
}

std::string WindowDriver::selectedText(int controlId) const {
  int index = selectedIndex(controlId);
  if (index < 0) return "";
  char buffer[256] = {};
  SendMessageA(GetDlgItem(window_, controlId), CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buffer));
  return buffer;
}

std::string WindowDriver::controlText(int controlId) const { return windowText(GetDlgItem(window_, controlId)); }

bool WindowDriver::controlVisible(int controlId) const {
  return IsWindowVisible(GetDlgItem(window_, controlId)) != FALSE;
}

RECT WindowDriver::windowRect() const {
  RECT r = {};
  GetWindowRect(window_, &r);
  return r;
}

RECT WindowDriver::clientRect() const {
  RECT r = {};
  GetClientRect(window_, &r);
  return r;
}

RECT WindowDriver::controlRectInClient(int controlId) const {
  RECT r = {};
  HWND control = GetDlgItem(window_, controlId);
  GetWindowRect(control, &r);
  MapWindowPoints(HWND_DESKTOP, window_, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

HWND WindowDriver::owner() const { return GetWindow(window_, GW_OWNER); }

bool WindowDriver::screenshot(const std::string& path) const { return capture(window_, path); }

bool WindowDriver::run(const std::string& action, std::string& log) {
  std::istringstream in(action);
  std::string verb;
  in >> verb;
  std::string rest;
  std::getline(in >> std::ws, rest);
  std::istringstream args(rest);
  if (verb == "select") {
    // select ID INDEX   or   select ID "TEXT"/TEXT (a non-number)
    int id = 0;
    std::string which;
    args >> id >> std::ws;
    std::getline(args, which);
    if (!which.empty() && which.front() == '"' && which.back() == '"' && which.size() >= 2)
      return selectText(id, which.substr(1, which.size() - 2));
    char* end = nullptr;
    long index = std::strtol(which.c_str(), &end, 10);
    if (!which.empty() && end && *end == '\0') return selectIndex(id, static_cast<int>(index));
    return selectText(id, which);
  }
  if (verb == "press" || verb == "ok" || verb == "cancel") {
    // press ID; ok and cancel are the calendar window's buttons. A user can
    // press only a button that is there, shown and enabled, in a window that
    // is enabled.
    int id = verb == "ok" ? 1033 : 1034;
    if (verb == "press" && !(args >> id)) return false;
    if (const char* refused = pressButton(id)) {
      log = "cannot press button " + std::to_string(id) + ": " + refused;
      return false;
    }
    return true;
  }
  if (verb == "click") {
    int x = 0, y = 0;
    if (!(args >> x >> y)) return false;
    clickAt(x, y);
    return true;
  }
  if (verb == "day") {
    // day SLOT POSITION: the centre of a calendar cell (positions 7-48 are days)
    int slot = 0, position = 0;
    if (!(args >> slot >> position)) return false;
    return clickCell(slot, position);
  }
  if (verb == "month" || verb == "year") {
    // month left|right N (1-12), year left|right YYYY
    std::string side;
    int value = 0;
    if (!(args >> side >> value) || (side != "left" && side != "right")) return false;
    const bool left = side == "left";
    if (verb == "month") return selectIndex(left ? 1015 : 1017, value - 1);
    return selectText(left ? 1016 : 1018, std::to_string(value));
  }
  if (verb == "close") {
    close();
    return true;
  }
  if (verb == "type") {
    int id = 0;
    args >> id >> std::ws;
    std::string text;
    std::getline(args, text);
    typeText(id, text);
    return true;
  }
  if (verb == "msgbox") {
    MessageBoxText box = answerMessageBox();
    if (!box.found) {
      log = "no message box";
      return false;
    }
    log = "message box \"" + box.caption + "\": " + box.text;
    return true;
  }
  if (verb == "msgshot") {
    // msgshot FILE.png: the message box the last action opened
    HWND box = waitForDialog(5000, window_);
    if (!box || !capture(box, rest)) {
      log = "no message box to capture, or it came out blank";
      return false;
    }
    log = "saved " + rest;
    return true;
  }
  if (verb == "shot") {
    if (!screenshot(rest)) {
      log = "screenshot failed or blank: " + rest;
      return false;
    }
    log = "saved " + rest;
    return true;
  }
  bool done = false;
  if (runRegistryAction(verb, rest, denial_, done, log)) return done;
  if (verb == "refuse") {
    // refuse NAME[,NAME...]: the plug-in's writes of those registry values
    // fail from now on, as when the registry's quota is used up.
    std::vector<std::string> names;
    std::string name;
    std::istringstream list(rest);
    while (std::getline(list, name, ',')) names.push_back(name);
    HMODULE plugin = reinterpret_cast<HMODULE>(GetWindowLongPtrA(window_, GWLP_HINSTANCE));
    refusal_.reset(new ValueRefusal(plugin, names));
    if (names.empty() || !refusal_->installed()) {
      log = "cannot refuse registry values: " + rest;
      return false;
    }
    return true;
  }
  if (verb == "tree") {
    // tree: the window's elements as a screen reader reads them
    AccessibleView view(window_);
    if (!view.ok()) {
      log = "the window gives no accessible object";
      return false;
    }
    log = describeTree(view.read());
    return true;
  }
  if (verb == "steps") {
    // steps [GROUP / ]NAME: how many moves a reader's object navigation
    // takes from the window to that element ("steps December 2004 / Friday
    // 31 December 2004")
    const int steps = AccessibleView(window_).stepsTo(wideOf(rest));
    log = steps < 0 ? "no way to \"" + rest + "\"" : std::to_string(steps) + " steps to \"" + rest + "\"";
    return steps >= 0;
  }
  if (verb == "act") {
    // act NAME: the default action of the element of that name, as a screen
    // reader performs it ("act Friday 12 March 2004"); "act MONTH / NAME"
    // looks in that month object ("act End: April 2004 / Friday 2 April 2004")
    const std::wstring name = wideOf(rest);
    // The view is let go only once the window has taken the action, or has
    // ended when the action closed it: a last Release that reached the
    // window's thread while it ends its apartment would never be answered.
    AccessibleView view(window_);
    const HRESULT hr = view.doDefaultActionOf(name);
    if (hr == S_OK && !waitIdle(window_)) waitClosed();
    if (hr != S_OK) {
      char text[96];
      std::snprintf(text, sizeof text, "no default action done on \"%s\" (0x%08lX)", rest.c_str(),
                    static_cast<unsigned long>(hr));
      log = text;
      return false;
    }
    return true;
  }
  if (verb == "wait") {
    int ms = 0;
    args >> ms;
    Sleep(ms);
    return true;
  }
  log = "unknown action: " + action;
  return false;
}

int closeWaitLimitMs = 20000;

bool runDriven(const std::function<void()>& call, const std::function<void(WindowDriver&)>& script,
               int attachTimeoutMs) {
  // The hook sees the messages this thread's loops take, modal loops included.
  // Without it the driver could not tell when a window is ready.
  HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, markerHook, nullptr, GetCurrentThreadId());
  if (!hook) return false;
  WindowDriver driver(GetCurrentThreadId());
  std::atomic<bool> attached{false}, watchdogActed{false}, callDone{false};
  HANDLE finished = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::thread worker([&] {
    struct Signal {
      HANDLE event;
      ~Signal() { SetEvent(event); }
    } signal = {finished};
    if (!driver.attach(attachTimeoutMs, &callDone)) return;
    attached = true;
    script(driver);
    if (!driver.waitClosed(driver.abandoned() ? 0 : closeWaitLimitMs)) {
      // Closing by the window's close command first, then by force.
      watchdogActed = true;
      for (int attempt = 0; attempt < 50 && !callDone; ++attempt) {
        HWND box = driver.waitForDialog(0, driver.window());
        if (box) SendNotifyMessageA(box, WM_COMMAND, IDOK, 0);
        if (IsWindow(driver.window())) SendNotifyMessageA(driver.window(), WM_CLOSE, 0, 0);
        Sleep(100);
      }
      if (!callDone && IsWindow(driver.window())) PostMessageA(driver.window(), WM_COMMAND, IDCANCEL, 0);
    }
  });
  call();
  callDone = true;
  // The driver may still be releasing what it holds of the window's
  // objects, and their apartment is this thread's: it takes messages while
  // it waits, as a host's message loop would, or the last Release would
  // wait for it for good.
  while (finished && MsgWaitForMultipleObjects(1, &finished, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
    for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  worker.join();
  if (finished) CloseHandle(finished);
  UnhookWindowsHookEx(hook);
  return attached && !watchdogActed;
}
