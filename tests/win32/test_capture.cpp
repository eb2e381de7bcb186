// Screenshots as make demo and make gallery take them: a window whose client
// area shows a single colour (nothing painted) is reported as a failure, so
// that a blank picture never passes for a good one.
#include <gtest/gtest.h>

#include "harness.h"
#include "png_capture.h"

namespace {

void pumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

TEST(Capture, AClientAreaOfOneColourIsBlank) {
  ActiveOwner window(100, 100, 240, 140);
  pumpMessages();
  EXPECT_FALSE(captureWindowPng(window.hwnd(), testOutputPath("capture-blank.png")));

  CreateWindowA("STATIC", "Some text", WS_CHILD | WS_VISIBLE, 10, 10, 120, 20, window.hwnd(), nullptr,
                GetModuleHandleA(nullptr), nullptr);
  UpdateWindow(window.hwnd());
  pumpMessages();
  EXPECT_TRUE(captureWindowPng(window.hwnd(), testOutputPath("capture-text.png")));
}

}  // namespace
