// The month lists hold each name as its Western text whatever the system's
// code page is. ctest runs this also under a Cyrillic locale (code page
// 1251), with XELM_EXPECT_CODE_PAGE naming the code page that run must have,
// so that a locale that did not apply cannot pass unnoticed.
#include <gtest/gtest.h>

#include <cstdlib>

#include "harness.h"
#include "import_hook.h"

namespace {

const int kMonthLeft = 1015, kMonthRight = 1017;

std::wstring wideEntry(HWND list, int position) {
  wchar_t text[64] = {};
  if (SendMessageW(list, CB_GETLBTEXTLEN, position, 0) >= 64) return L"<too long>";
  SendMessageW(list, CB_GETLBTEXT, position, reinterpret_cast<LPARAM>(text));
  return text;
}

// Windows refuses a source length below -1 (ERROR_INVALID_PARAMETER); Wine
// reads any negative length as -1. The plug-in is held to the former.
int WINAPI documentedConversion(UINT page, DWORD flags, LPCSTR text, int length, LPWSTR wide, int room) {
  if (length < -1) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return MultiByteToWideChar(page, flags, text, length, wide, room);
}

TEST(MonthNames, ListsHoldTheWesternNames) {
  if (const char* expected = std::getenv("XELM_EXPECT_CODE_PAGE")) {
    ASSERT_EQ(GetACP(), std::strtoul(expected, nullptr, 10)) << "the locale did not set the code page";
  }
  const ImportHook documented(plugin().module(), "kernel32.dll", "MultiByteToWideChar",
                              reinterpret_cast<const void*>(documentedConversion));
  ASSERT_TRUE(documented.installed());
  struct Case {
    const char* function;
    const char* parameter;
    int list, position;
    const wchar_t* name;
  } cases[] = {
      {"XELM CalPopup", "02/01/2004||||French", kMonthLeft, 1, L"F\u00e9vrier"},
      {"XELM CalPopup2", "01/01/2004|02/01/2004||||French", kMonthRight, 1, L"F\u00e9vrier"},
      {"XELM CalPopup", "02/01/2004||||French", kMonthLeft, 11, L"Decembre"},
      {"XELM CalPopup", "02/01/2004||||German", kMonthLeft, 2, L"Marz"},
  };
  deleteSettingsKey();
  for (const Case& c : cases) {
    callDriven(c.function, c.parameter, [&](WindowDriver& d) {
      EXPECT_EQ(wideEntry(GetDlgItem(d.window(), c.list), c.position), c.name) << c.parameter;
      d.close();
    });
  }
}

}  // namespace
