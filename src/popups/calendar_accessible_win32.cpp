// The calendar window's IAccessible: the grid elements of grid_elements.h
// as simple children (no object of their own, addressed by child id), the
// window's controls and the client object itself answered by the platform's
// proxies. Plain COM without a framework: one class, reference counted, with
// a closed flag that the window's end sets and every method checks first.
#include "popups/calendar_accessible_win32.h"

#include <new>

#include "common/accessible_win32.h"
#include "grid/cell_pick.h"
#include "grid/grid_elements.h"

namespace {

const wchar_t* const kOutsideShownMonth = L"Outside the month shown";
const wchar_t* const kClickAction = L"Click";

// What a child id names: the client object itself or a control (answered
// by the platform's objects), a grid element, or nothing (the call fails
// with `error`).
struct Target {
  enum Kind { Refused, Platform, Element } kind;
  HRESULT error;        // Refused: what the call returns
  HWND control;         // Platform: the control, or nullptr for the client object
  GridElement element;  // Element
};

class CalendarAccessible final : public IAccessible {
 public:
  CalendarAccessible(HWND window, IAccessible* proxy) : window_(window), proxy_(proxy) {}
  CalendarAccessible(const CalendarAccessible&) = delete;
  CalendarAccessible& operator=(const CalendarAccessible&) = delete;

  HWND window() const { return window_; }

  // From now on every call fails; the proxy is released.
  void close() {
    closed_ = true;
    if (proxy_) proxy_->Release();
    proxy_ = nullptr;
  }

  // The child id of grid element `number`.
  LONG elementId(int number) const { return controlCount(window_) + 1 + number; }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IDispatch && iid != IID_IAccessible) return E_NOINTERFACE;
    *out = static_cast<IAccessible*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) destroy(this);
    return static_cast<ULONG>(left);
  }

  // Made on the process heap rather than by operator new, whose library
  // part would bring the C++ runtime's exception support into the DLL;
  // nullptr when the heap is out of memory.
  static CalendarAccessible* create(HWND window, IAccessible* proxy) {
    void* memory = HeapAlloc(GetProcessHeap(), 0, sizeof(CalendarAccessible));
    return memory ? new (memory) CalendarAccessible(window, proxy) : nullptr;
  }
  static void destroy(CalendarAccessible* object) {
    object->~CalendarAccessible();
    HeapFree(GetProcessHeap(), 0, object);
  }

  // IDispatch: no type information; clients call IAccessible's methods.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return count ? S_OK : E_POINTER;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    if (!parent) return E_POINTER;
    *parent = nullptr;
    if (closed_) return RPC_E_DISCONNECTED;
    return proxy_->get_accParent(parent);
  }

  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    if (closed_) return RPC_E_DISCONNECTED;
    *count = controlCount(window_) + gridElementCount();
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    const Target t = resolve(child);
    if (t.kind == Target::Refused) return t.error;
    if (t.kind == Target::Element) return S_FALSE;  // a simple element
    if (!t.control) return E_INVALIDARG;
    return controlObject(t.control, IID_IDispatch, reinterpret_cast<void**>(object));
  }

  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    return textProperty(
        child, name, [&](IAccessible* o, VARIANT self) { return o->get_accName(self, name); },
        [](const GridElement& element, BSTR* text) {
          char written[48];
          gridElementName(element, written, sizeof written);
          *text = accessibleText(written);
          return true;
        });
  }

  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    return textProperty(child, value, [&](IAccessible* o, VARIANT self) { return o->get_accValue(self, value); },
                        noText);
  }

  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
    return textProperty(
        child, description, [&](IAccessible* o, VARIANT self) { return o->get_accDescription(self, description); },
        [](const GridElement& element, BSTR* text) {
          if (!dayOutsideShownMonth(element)) return false;
          *text = SysAllocString(kOutsideShownMonth);
          return true;
        });
  }

  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!role) return E_POINTER;
    VariantInit(role);
    const Target t = resolve(child);
    if (t.kind != Target::Element)
      return forwarded(t, [&](IAccessible* o, VARIANT self) { return o->get_accRole(self, role); });
    const GridElementKind kind = t.element.kind;
    *role = numberVariant(kind == DayElement       ? ROLE_SYSTEM_CELL
                          : kind == HeadingElement ? ROLE_SYSTEM_COLUMNHEADER
                                                   : ROLE_SYSTEM_STATICTEXT);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (!state) return E_POINTER;
    VariantInit(state);
    const Target t = resolve(child);
    if (t.kind != Target::Element)
      return forwarded(t, [&](IAccessible* o, VARIANT self) { return o->get_accState(self, state); });
    LONG bits = STATE_SYSTEM_READONLY;
    if (t.element.kind == DayElement) {
      bits = dayHasDate(t.element) ? STATE_SYSTEM_SELECTABLE : STATE_SYSTEM_UNAVAILABLE;
      if (cellHighlighted(t.element.cell)) bits |= STATE_SYSTEM_SELECTED;
    }
    // Under a validation message the window takes no click.
    if (!IsWindowEnabled(window_)) bits |= STATE_SYSTEM_UNAVAILABLE;
    *state = numberVariant(bits);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
    return textProperty(child, help, [&](IAccessible* o, VARIANT self) { return o->get_accHelp(self, help); }, noText);
  }

  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
    if (!file || !topic) return E_POINTER;
    *file = nullptr;
    *topic = 0;
    const Target t = resolve(child);
    if (t.kind != Target::Element)
      return forwarded(t, [&](IAccessible* o, VARIANT self) { return o->get_accHelpTopic(file, self, topic); });
    return S_FALSE;
  }

  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    return textProperty(
        child, shortcut, [&](IAccessible* o, VARIANT self) { return o->get_accKeyboardShortcut(self, shortcut); },
        noText);
  }

  // The window itself holds the focus (CHILDID_SELF), or one of its
  // controls (that control's object); the grid's elements never do.
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    if (!focus) return E_POINTER;
    VariantInit(focus);
    if (closed_) return RPC_E_DISCONNECTED;
    HWND focused = GetFocus();
    if (focused == window_) {
      *focus = numberVariant(CHILDID_SELF);
      return S_OK;
    }
    if (!focused || GetParent(focused) != window_) return S_FALSE;
    return controlVariant(focused, focus);
  }

  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    if (!selection) return E_POINTER;
    VariantInit(selection);
    return closed_ ? RPC_E_DISCONNECTED : DISP_E_MEMBERNOTFOUND;
  }

  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    return textProperty(
        child, action, [&](IAccessible* o, VARIANT self) { return o->get_accDefaultAction(self, action); },
        [](const GridElement& element, BSTR* text) {
          if (!dayHasDate(element)) return false;
          *text = SysAllocString(kClickAction);
          return true;
        });
  }

  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
    const Target t = resolve(child);
    if (t.kind != Target::Element)
      return forwarded(t, [&](IAccessible* o, VARIANT self) { return o->accSelect(flags, self); });
    return DISP_E_MEMBERNOTFOUND;  // a day is picked by its default action
  }

  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
    if (!left || !top || !width || !height) return E_POINTER;
    *left = *top = *width = *height = 0;
    const Target t = resolve(child);
    if (t.kind != Target::Element)
      return forwarded(t, [&](IAccessible* o, VARIANT self) { return o->accLocation(left, top, width, height, self); });
    const CellRect r = gridElementRect(t.element);
    POINT corner = {r.left, r.top};
    ClientToScreen(window_, &corner);
    *left = corner.x;
    *top = corner.y;
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    return S_OK;
  }

  // From the client object to its first or last child, and between
  // siblings in child id order; other directions of the client object are
  // the proxy's.
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    if (!end) return E_POINTER;
    VariantInit(end);
    const Target t = resolve(start);
    if (t.kind == Target::Refused) return t.error;
    const LONG count = controlCount(window_) + gridElementCount();
    const LONG from = start.lVal;
    LONG to = 0;
    if (from == CHILDID_SELF) {
      if (direction == NAVDIR_FIRSTCHILD) to = 1;
      else if (direction == NAVDIR_LASTCHILD) to = count;
      else return proxy_->accNavigate(direction, start, end);
    } else if (direction == NAVDIR_NEXT) {
      to = from + 1;
    } else if (direction == NAVDIR_PREVIOUS) {
      to = from - 1;
    } else {
      return DISP_E_MEMBERNOTFOUND;
    }
    if (to < 1 || to > count) return S_FALSE;
    if (to > controlCount(window_)) {
      *end = numberVariant(to);
      return S_OK;
    }
    return controlVariant(controlAt(window_, to), end);
  }

  // A control under the point answers with its object, a grid element with
  // its child id, the rest of the client area with CHILDID_SELF.
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* found) override {
    if (!found) return E_POINTER;
    VariantInit(found);
    if (closed_) return RPC_E_DISCONNECTED;
    POINT point = {x, y};
    ScreenToClient(window_, &point);
    RECT client;
    GetClientRect(window_, &client);
    if (!PtInRect(&client, point)) return S_FALSE;
    HWND control = ChildWindowFromPointEx(window_, point, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
    if (control && control != window_) return controlVariant(control, found);
    const int number = gridElementAt(point.x, point.y);
    *found = numberVariant(number < 0 ? CHILDID_SELF : elementId(number));
    return S_OK;
  }

  // A day's action is the mouse's: the release of the left button at the
  // cell's centre, posted so that the window takes it from its own loop as
  // it takes a click (and the caller is not held while a message it may
  // open is answered).
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    const Target t = resolve(child);
    if (t.kind != Target::Element)
      return forwarded(t, [&](IAccessible* o, VARIANT self) { return o->accDoDefaultAction(self); });
    if (!dayHasDate(t.element)) return DISP_E_MEMBERNOTFOUND;
    if (!IsWindowEnabled(window_)) return E_ACCESSDENIED;
    const CellRect r = gridElementRect(t.element);
    const LPARAM centre = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    return PostMessageW(window_, WM_LBUTTONUP, 0, centre) ? S_OK : E_FAIL;
  }

  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return closed_ ? RPC_E_DISCONNECTED : E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return closed_ ? RPC_E_DISCONNECTED : E_NOTIMPL; }

 private:
  ~CalendarAccessible() { close(); }

  Target resolve(const VARIANT& child) const {
    if (closed_) return {Target::Refused, RPC_E_DISCONNECTED, nullptr, {}};
    if (child.vt != VT_I4 || child.lVal < 0) return {Target::Refused, E_INVALIDARG, nullptr, {}};
    if (child.lVal == CHILDID_SELF) return {Target::Platform, S_OK, nullptr, {}};
    const int controls = controlCount(window_);
    if (child.lVal <= controls) return {Target::Platform, S_OK, controlAt(window_, child.lVal), {}};
    const GridElement element = gridElement(child.lVal - controls - 1);
    if (element.kind == NoElement) return {Target::Refused, E_INVALIDARG, nullptr, {}};
    return {Target::Element, S_OK, nullptr, element};
  }

  // Calls `call` on the platform's object of the client area or of a
  // control, with CHILDID_SELF, or returns the refusal.
  template <typename Call>
  HRESULT forwarded(const Target& t, Call call) {
    if (t.kind == Target::Refused) return t.error;
    IAccessible* object = proxy_;
    if (t.control && FAILED(controlObject(t.control, IID_IAccessible, reinterpret_cast<void**>(&object))))
      return E_FAIL;
    const HRESULT hr = call(object, numberVariant(CHILDID_SELF));
    if (t.control) object->Release();
    return hr;
  }

  // A text property: the platform's answer (`call`) for the client object
  // and the controls. For a grid element `elementText` sets the text and
  // returns true, or returns false when the element has none (S_FALSE).
  template <typename Call, typename ElementText>
  HRESULT textProperty(const VARIANT& child, BSTR* out, Call call, ElementText elementText) {
    if (!out) return E_POINTER;
    *out = nullptr;
    const Target t = resolve(child);
    if (t.kind != Target::Element) return forwarded(t, call);
    if (!elementText(t.element, out)) return S_FALSE;
    return *out ? S_OK : E_OUTOFMEMORY;
  }

  // The texts the grid's elements do not have: value, help, shortcut.
  static bool noText(const GridElement&, BSTR*) { return false; }

  LONG references_ = 1;      // the window's own reference, released by closeAccessible
  volatile bool closed_ = false;
  HWND window_;
  IAccessible* proxy_;       // the platform's object of the client area
};

CalendarAccessible* accessible = nullptr;  // the open window's object, once asked for
bool comStartedHere = false;               // answerGetObject initialised COM on this thread

}  // namespace

LRESULT answerGetObject(HWND window, WPARAM flags, LPARAM objectId) {
  if (static_cast<LONG>(objectId) != OBJID_CLIENT) return 0;
  if (accessible && accessible->window() != window) closeAccessible();
  if (!accessible) {
    // S_FALSE (already initialised) counts too and is balanced at the end.
    // On a thread of the multithreaded apartment calls would arrive on
    // COM's own threads while this one changes the grid and ends the window:
    // the platform's object answers there, as it does without this one.
    const HRESULT started = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (started == RPC_E_CHANGED_MODE) return 0;
    comStartedHere = SUCCEEDED(started);
    IAccessible* proxy = nullptr;
    if (SUCCEEDED(CreateStdAccessibleObject(window, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&proxy))))
      accessible = CalendarAccessible::create(window, proxy);
    if (!accessible) {
      if (proxy) proxy->Release();
      if (comStartedHere) CoUninitialize();
      comStartedHere = false;
      return 0;
    }
  }
  return LresultFromObject(IID_IAccessible, flags, static_cast<IAccessible*>(accessible));
}

void notifyGridRefilled(HWND window) {
  if (accessible) NotifyWinEvent(EVENT_OBJECT_REORDER, window, OBJID_CLIENT, CHILDID_SELF);
}

void notifyDayPicked(HWND window, int cell) {
  const int number = gridElementOfCell(cell);
  if (accessible && number >= 0)
    NotifyWinEvent(EVENT_OBJECT_SELECTION, window, OBJID_CLIENT, accessible->elementId(number));
}

void closeAccessible() {
  if (!accessible) return;
  accessible->close();
  CoDisconnectObject(static_cast<IAccessible*>(accessible), 0);
  accessible->Release();
  accessible = nullptr;
  if (comStartedHere) CoUninitialize();
  comStartedHere = false;
}
