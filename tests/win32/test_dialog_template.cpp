// The copies of the plug-in's dialog templates without some controls: a
// window built from a copy must hold every kept control exactly as the
// template's own window does (class, text, style, place) and none of the
// left-out ones.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "common/dialog_template_win32.h"
#include "harness.h"
#include "resources/resource_ids.h"

namespace {

struct Control {
  int id;
  std::string className, text;
  LONG style;
  RECT rect;
  bool operator==(const Control& o) const {
    return id == o.id && className == o.className && text == o.text && style == o.style && EqualRect(&rect, &o.rect);
  }
};

INT_PTR CALLBACK inertProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

Control describe(HWND child) {
  Control c;
  c.id = GetDlgCtrlID(child);
  char buffer[64] = {};
  GetClassNameA(child, buffer, sizeof buffer);
  c.className = buffer;
  GetWindowTextA(child, buffer, sizeof buffer);
  c.text = buffer;
  c.style = GetWindowLongA(child, GWL_STYLE);
  GetWindowRect(child, &c.rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&c.rect), 2);
  return c;
}

// The direct controls of a hidden window built from `dialogTemplate`.
std::vector<Control> controlsOf(const DLGTEMPLATE* dialogTemplate, int id) {
  HMODULE module = plugin().module();
  HWND window = dialogTemplate ? CreateDialogIndirectParamA(module, dialogTemplate, nullptr, inertProc, 0)
                               : CreateDialogParamA(module, MAKEINTRESOURCEA(id), nullptr, inertProc, 0);
  std::vector<Control> controls;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    controls.push_back(describe(child));
  DestroyWindow(window);
  return controls;
}

std::set<int> leftOut;
bool notLeftOut(int id) { return leftOut.count(id) == 0; }

}  // namespace

TEST(DialogTemplateCopy, KeepsTheChosenControlsExactlyAndNoOthers) {
  struct Case {
    int templateId;
    std::set<int> leftOut;
  } cases[] = {
      {IDD_CALENDAR, {}},
      {IDD_CALENDAR, {IDC_MONTH_RIGHT, IDC_YEAR_RIGHT, IDC_CAL_OK, IDC_CAL_CANCEL}},
      {IDD_CALENDAR, {IDC_MONTH_LEFT, IDC_MONTH_RIGHT, IDC_YEAR_RIGHT}},
      {IDD_CALENDAR, {IDC_MONTH_LEFT, IDC_YEAR_LEFT, IDC_MONTH_RIGHT, IDC_YEAR_RIGHT, IDC_CAL_OK, IDC_CAL_CANCEL}},
      {IDD_SET_TIME, {IDC_MERIDIEM_LIST}},
      {IDD_SET_TIME, {0xFFFF}},  // the unnamed static texts
      {IDD_PREFERENCES, {IDC_PREF_LEFT_LABEL, IDOK}},
  };
  for (const Case& k : cases) {
    leftOut = k.leftOut;
    DialogTemplateCopy copy;
    const DLGTEMPLATE* trimmed = copyDialogTemplate(plugin().module(), k.templateId, notLeftOut, copy);
    ASSERT_NE(trimmed, nullptr) << k.templateId;

    const std::vector<Control> all = controlsOf(nullptr, k.templateId);
    ASSERT_FALSE(all.empty());
    std::vector<Control> expected;
    for (const Control& c : all)
      if (notLeftOut(c.id & 0xFFFF)) expected.push_back(c);
    EXPECT_EQ(controlsOf(trimmed, k.templateId), expected) << "template " << k.templateId;
  }
}

// A template copied whole comes out word for word. Cut short anywhere it is
// malformed and gives no copy; it lies at the end of readable memory, so
// that a read past it ends the test.
TEST(DialogTemplateCopy, ATemplateCutShortGivesNoCopy) {
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  const size_t page = system.dwPageSize;
  BYTE* pages = static_cast<BYTE*>(VirtualAlloc(nullptr, 2 * page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  ASSERT_NE(pages, nullptr);
  DWORD previous;
  ASSERT_TRUE(VirtualProtect(pages + page, page, PAGE_NOACCESS, &previous));
  HMODULE module = plugin().module();
  for (int id : {IDD_CALENDAR, IDD_SET_TIME, IDD_PREFERENCES}) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));
    const WORD* resource = static_cast<const WORD*>(LockResource(LoadResource(module, found)));
    const std::vector<WORD> words(resource, resource + SizeofResource(module, found) / sizeof(WORD));
    DialogTemplateCopy copy;
    leftOut.clear();
    ASSERT_NE(copyTemplateWords(words.data(), words.size(), notLeftOut, copy), nullptr) << id;
    EXPECT_EQ(std::vector<WORD>(copy.words, copy.words + words.size()), words) << id;
    for (size_t cut = 0; cut < words.size(); ++cut) {
      WORD* end = reinterpret_cast<WORD*>(pages + page);
      std::copy(words.begin(), words.begin() + cut, end - cut);
      EXPECT_EQ(copyTemplateWords(end - cut, cut, notLeftOut, copy), nullptr) << id << " cut to " << cut;
    }
  }
  VirtualFree(pages, 0, MEM_RELEASE);
}

TEST(DialogTemplateCopy, AMissingTemplateGivesNoCopy) {
  DialogTemplateCopy copy;
  EXPECT_EQ(copyDialogTemplate(plugin().module(), 999, notLeftOut, copy), nullptr);
}
