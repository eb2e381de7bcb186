#include "png_capture.h"

#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace {

// True when every pixel of the client area (inside the frame and caption) has
// one colour: a window that did not paint. `window` is the window's screen
// rectangle, `rgb` its pixels, `width` pixels a row.
bool clientIsBlank(HWND hwnd, const RECT& window, const std::vector<unsigned char>& rgb, int width) {
  RECT client;
  GetClientRect(hwnd, &client);
  MapWindowPoints(hwnd, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
  OffsetRect(&client, -window.left, -window.top);
  const unsigned char* first = nullptr;
  for (int y = client.top; y < client.bottom; ++y) {
    for (int x = client.left; x < client.right; ++x) {
      const unsigned char* pixel = &rgb[(static_cast<size_t>(y) * width + x) * 3];
      if (!first) first = pixel;
      else if (pixel[0] != first[0] || pixel[1] != first[1] || pixel[2] != first[2]) return false;
    }
  }
  return true;
}

}  // namespace

bool captureWindowPng(HWND window, const std::string& path) {
  RECT r;
  if (!GetWindowRect(window, &r)) return false;
  int width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return false;

  HDC windowDc = GetWindowDC(window);
  HDC memoryDc = CreateCompatibleDC(windowDc);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memoryDc, bitmap);
  BOOL copied = BitBlt(memoryDc, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
  GdiFlush();

  std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
  const unsigned char* bgra = static_cast<const unsigned char*>(bits);
  for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) {
    rgb[i * 3 + 0] = bgra[i * 4 + 2];
    rgb[i * 3 + 1] = bgra[i * 4 + 1];
    rgb[i * 3 + 2] = bgra[i * 4 + 0];
  }
  SelectObject(memoryDc, previous);
  DeleteObject(bitmap);
  DeleteDC(memoryDc);
  ReleaseDC(window, windowDc);
  if (!copied) return false;
  if (stbi_write_png(path.c_str(), width, height, 3, rgb.data(), width * 3) == 0) return false;
  return !clientIsBlank(window, r, rgb, width);
}
