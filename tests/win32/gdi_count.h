// Counts this process's GDI objects. GetGuiResources is a stub under Wine
// (always 0), so there the count comes from Wine's GDI handle table, which
// the process environment block points to (GdiSharedHandleTable): 65536
// entries of 24 bytes, an entry in use having a non-zero type byte at
// offset 14. On Windows GetGuiResources answers.
#pragma once
#include <windows.h>

#include <cstdint>

struct GdiCounts {
  int total = 0;    // every GDI object of the process
  int fonts = 0;
  int brushes = 0;
  int dcs = 0;      // device contexts, memory ones included
  int byType[128] = {};  // Wine's handle types (0x01 DC, 0x04 region, 0x09 bitmap, ...)
};

inline bool runningOnWine() { return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr; }

inline GdiCounts countGdiObjects() {
  GdiCounts counts;
  if (!runningOnWine()) {
    counts.total = static_cast<int>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
    return counts;
  }
  const uint8_t* peb;  // the PEB of this 32-bit process, TEB offset 0x30
#ifdef _MSC_VER
  peb = reinterpret_cast<const uint8_t*>(__readfsdword(0x30));
#else
  __asm__("movl %%fs:0x30, %0" : "=r"(peb));
#endif
  const uint8_t* table = *reinterpret_cast<const uint8_t* const*>(peb + 0x94);
  if (!table) return counts;
  const int kEntries = 0x10000, kEntrySize = 24, kTypeOffset = 14;
  for (int i = 0; i < kEntries; ++i) {
    const uint8_t type = table[i * kEntrySize + kTypeOffset];
    if (type == 0) continue;
    ++counts.total;
    ++counts.byType[type & 0x7f];
    if (type == 0x0a) ++counts.fonts;
    else if (type == 0x10) ++counts.brushes;
    else if (type == 0x01 || type == 0x41) ++counts.dcs;
  }
  return counts;
}

// Wine keeps each cache device context it ever handed out (up to 64) and
// makes a new one only when every kept one is in use, so the pool grows to
// the most ever in use at once: a figure that depends on thread timing. Using
// 64 at once, on a window then destroyed, brings the pool to that ceiling, so
// counts taken afterwards no longer depend on timing. A no-op on Windows.
inline void fillDcCache() {
  if (!runningOnWine()) return;
  const int kCacheSize = 64;
  HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  HDC dcs[kCacheSize];
  for (HDC& dc : dcs) dc = GetDCEx(window, nullptr, DCX_CACHE);
  for (HDC dc : dcs)
    if (dc) ReleaseDC(window, dc);
  DestroyWindow(window);
}

// Counts this process's kernel handles. GetProcessHandleCount answers 0
// under Wine, so there every handle value (a multiple of 4) is asked for its
// flags, which succeeds only for a handle that is open.
inline DWORD countKernelHandles() {
  DWORD count = 0;
  if (!runningOnWine()) {
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return count;
  }
  for (uintptr_t value = 4; value < 0x10000; value += 4) {
    DWORD flags = 0;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
  }
  return count;
}
