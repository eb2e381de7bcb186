#include "window_cycle.h"

#include "window_driver.h"

namespace {

const UINT_PTR kWatchdogTimer = 1;
const UINT kWatchdogMs = 10000;

CycleOwner* current = nullptr;

}  // namespace

double nowMicroseconds() {
  static const double perMicrosecond = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart) / 1e6;
  }();
  LARGE_INTEGER c;
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) / perMicrosecond;
}

CycleOwner::CycleOwner() {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "XelmBenchOwner";
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  RegisterClassA(&wc);
  hwnd_ = CreateWindowExA(0, wc.lpszClassName, "Bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 20, 1100, 980,
                          nullptr, nullptr, wc.hInstance, nullptr);
  current = this;
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

CycleOwner::~CycleOwner() {
  current = nullptr;
  DestroyWindow(hwnd_);
}

CycleTimes CycleOwner::run(const std::function<void()>& call) {
  // The plug-in's windows are owned by the active window: make sure it is
  // this one, outside the timed span.
  if (GetActiveWindow() != hwnd_) {
    SetActiveWindow(hwnd_);
    SetForegroundWindow(hwnd_);
  }
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  SetTimer(hwnd_, kWatchdogTimer, kWatchdogMs, nullptr);

  CycleTimes times;
  closing_ = false;
  painted_ = 0;
  timing_ = true;
  start_ = nowMicroseconds();
  call();
  const double end = nowMicroseconds();
  timing_ = false;
  KillTimer(hwnd_, kWatchdogTimer);
  times.ok = painted_ > 0;
  if (times.ok) {
    times.opened = painted_ - start_;
    times.closed = end - painted_;
  }
  return times;
}

void CycleOwner::onIdle(HWND dialog) {
  if (!timing_ || closing_ || !IsWindowVisible(dialog) || needsPaint(dialog)) return;
  painted_ = nowMicroseconds();
  closing_ = true;
  if (onPainted) onPainted(painted_);
  PostMessageA(dialog, WM_CLOSE, 0, 0);
}

LRESULT CALLBACK CycleOwner::proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (current && hwnd == current->hwnd_) {
    if (message == WM_ENTERIDLE && wParam == MSGF_DIALOGBOX) {
      current->onIdle(reinterpret_cast<HWND>(lParam));
      return 0;
    }
    if (message == WM_TIMER && wParam == kWatchdogTimer && current->timing_ && !current->closing_) {
      // Never painted completely: close whatever dialog this thread shows.
      current->closing_ = true;
      HWND dialog = GetWindow(hwnd, GW_ENABLEDPOPUP);
      if (dialog) PostMessageA(dialog, WM_CLOSE, 0, 0);
      return 0;
    }
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}
