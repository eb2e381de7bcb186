// Small pieces of Microsoft Active Accessibility for a dialog that answers
// for its client area itself: texts and numbers as clients read them, and
// the dialog's controls as children, each the platform's own object for it.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <oleacc.h>

// A text of the plug-in's as a BSTR (nullptr when out of memory). Its texts
// are Western (code page 1252), such as "F\xE9vrier": converted from 1252
// whatever the system's code page is. Each byte of 1252 is one UTF-16 unit.
// An empty text converts nothing: the conversion refuses a length of 0 and
// answers 0, which is the length wanted.
inline BSTR accessibleText(const char* text) {
  const int length = lstrlenA(text);
  BSTR wide = SysAllocStringLen(nullptr, static_cast<UINT>(length));
  if (wide && MultiByteToWideChar(1252, 0, text, length, wide, length) != length) {
    SysFreeString(wide);
    return SysAllocString(L"");
  }
  return wide;
}

inline VARIANT numberVariant(LONG value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}

// The dialog's controls, numbered from 1 in their order as child windows;
// nullptr past the last.
inline HWND controlAt(HWND dialog, int number) {
  HWND child = GetWindow(dialog, GW_CHILD);
  for (int k = 1; child && k < number; ++k) child = GetWindow(child, GW_HWNDNEXT);
  return child;
}

inline int controlCount(HWND dialog) {
  int count = 0;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) ++count;
  return count;
}

// The platform's object of a control, as the dialog's own proxy gives it.
inline HRESULT controlObject(HWND control, REFIID iid, void** out) {
  return CreateStdAccessibleObject(control, OBJID_WINDOW, iid, out);
}

// The same object in a VARIANT (VT_DISPATCH), as accHitTest, accNavigate and
// get_accFocus hand out a child that has an object of its own.
inline HRESULT controlVariant(HWND control, VARIANT* out) {
  IDispatch* object = nullptr;
  const HRESULT hr = controlObject(control, IID_IDispatch, reinterpret_cast<void**>(&object));
  if (FAILED(hr)) return hr;
  out->vt = VT_DISPATCH;
  out->pdispVal = object;
  return S_OK;
}
