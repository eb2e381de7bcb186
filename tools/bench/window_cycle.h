// One timed cycle of a modal window: from the call that opens it to its
// first complete paint, then from the close request to the call's return.
//
// "First complete paint" is detected the same way for every window, without
// polling or sleeping: a modal dialog's loop sends WM_ENTERIDLE to its owner
// each time it finds the thread's queue empty, and a window with an update
// region left always has a WM_PAINT waiting in that queue. So the first
// WM_ENTERIDLE at which the dialog is visible and neither it nor any of its
// controls has an update region comes after every paint handler has
// returned. The owner then posts WM_CLOSE to the dialog.
#pragma once
#include <windows.h>

#include <functional>

// Microseconds since an arbitrary start, from the performance counter.
double nowMicroseconds();

struct CycleTimes {
  double opened = 0;  // call start to the first complete paint (µs)
  double closed = 0;  // close request to the call's return (µs)
  bool ok = false;    // a window appeared, painted and closed
  double total() const { return opened + closed; }
};

// The active top-level window every timed dialog is owned by.
class CycleOwner {
 public:
  CycleOwner();
  ~CycleOwner();
  HWND hwnd() const { return hwnd_; }

  // Runs `call` (which opens one modal dialog owned by this window and
  // returns when it has ended) and times it as described above. A window
  // that has not painted within 10 s is closed and the cycle fails.
  CycleTimes run(const std::function<void()>& call);

  // Called with the painted moment before the close is posted, for phase
  // timing (may be empty).
  std::function<void(double paintedAt)> onPainted;

 private:
  static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void onIdle(HWND dialog);

  HWND hwnd_ = nullptr;
  bool timing_ = false;
  bool closing_ = false;
  double start_ = 0, painted_ = 0;
};
