// The calendar window's IAccessible: the grid elements of grid_elements.h
// as simple children (no object of their own, addressed by child id), the
// window's controls and the client object itself answered by the platform's
// proxies. Plain COM without a framework: one class, reference counted, with
// a closed flag that the window's end sets and every method checks first.
#include "popups/calendar_accessible_win32.h"

#include "call/popup_state.h"
#include "common/accessible_win32.h"
#include "common/com_objects_win32.h"
#include "grid/cell_pick.h"
#include "grid/grid_elements.h"

namespace {

const wchar_t* const kClickAction = L"Click";

// The child id of grid element `number`: the grid's elements come first.
LONG elementId(int number) { return number + 1; }

// What a child id names: the client object itself or a control (answered
// by the platform's objects), a grid element, or nothing (the call fails
// with `error`).
struct Target {
  enum Kind { Refused, Platform, Element } kind;
  HRESULT error;        // Refused: what the call returns
  HWND control;         // Platform: the control, or nullptr for the client object
  GridElement element;  // Element
};

// Made with one reference, the window's own, released by closeAccessible.
class CalendarAccessible final : public Counted<CalendarAccessible, IAccessible> {
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

  static bool answers(REFIID iid) { return iid == IID_IDispatch || iid == IID_IAccessible; }

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
    *count = childCount();
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
          char written[kSpokenNameSize];
          gridElementName(element, written, sizeof written);
          *text = accessibleText(written);
          return true;
        });
  }

  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    return textProperty(child, value, [&](IAccessible* o, VARIANT self) { return o->get_accValue(self, value); },
                        noText);
  }

  // The client object's description is what the window shows; a day's
  // says which calendar of a range it is in and whether it lies outside the
  // month shown.
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
    if (!description) return E_POINTER;
    *description = nullptr;
    if (!closed_ && child.vt == VT_I4 && child.lVal == CHILDID_SELF) {
      char shown[kSpokenDescriptionSize];
      gridDescription(shown, sizeof shown);
      *description = accessibleText(shown);
      return *description ? S_OK : E_OUTOFMEMORY;
    }
    return textProperty(
        child, description, [&](IAccessible* o, VARIANT self) { return o->get_accDescription(self, description); },
        [](const GridElement& element, BSTR* text) {
          char written[kSpokenDescriptionSize];
          gridElementDescription(element, written, sizeof written);
          if (written[0] == '\0') return false;
          *text = accessibleText(written);
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
    // Headings and titles have no state to tell. A cell without a date
    // shows nothing, so a reader need not list it.
    LONG bits = 0;
    if (t.element.kind == DayElement) {
      bits = dayHasDate(t.element) ? STATE_SYSTEM_SELECTABLE : STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_INVISIBLE;
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

  // The highlighted day (VT_I4), a range's two (an IEnumVARIANT of their
  // child ids), or none (VT_EMPTY and S_FALSE).
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    if (!selection) return E_POINTER;
    VariantInit(selection);
    if (closed_) return RPC_E_DISCONNECTED;
    // The calendars that keep a highlight each: a range's two, else one.
    const int mode = popupState.mode;
    const int calendars = mode == DateRange ? 2 : 1;
    LONG ids[kMostEnumeratedIds];
    ULONG count = 0;
    for (int calendar = 1; calendar <= calendars; ++calendar) {
      const int cell = highlightedCell(mode == YearView ? 0 : calendar);
      if (cell >= 0) ids[count++] = elementId(gridElementOfCell(cell));
    }
    if (count == 0) return S_FALSE;
    if (count == 1) {
      *selection = numberVariant(ids[0]);
      return S_OK;
    }
    IEnumVARIANT* days = childIdEnumerator(ids, count);
    if (!days) return E_OUTOFMEMORY;
    selection->vt = VT_UNKNOWN;
    selection->punkVal = days;
    return S_OK;
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

  // Taking the selection picks a day as its default action does; a day
  // cannot take the focus or be added to a selection, and headings and
  // titles are not selectable at all.
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
    const Target t = resolve(child);
    if (t.kind != Target::Element)
      return forwarded(t, [&](IAccessible* o, VARIANT self) { return o->accSelect(flags, self); });
    if (!dayHasDate(t.element)) return DISP_E_MEMBERNOTFOUND;
    if (flags != SELFLAG_TAKESELECTION) return E_INVALIDARG;
    return clickElement(t.element);
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

  // From the client object to its first or last child; between siblings in
  // child id order (from the last grid element on to the first control's
  // object); and up, down, left and right between a month's headings and
  // days. Other directions of the client object are the proxy's.
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    if (!end) return E_POINTER;
    VariantInit(end);
    const Target t = resolve(start);
    if (t.kind == Target::Refused) return t.error;
    const LONG from = start.lVal;
    LONG to = 0;
    if (from == CHILDID_SELF) {
      if (direction == NAVDIR_FIRSTCHILD) to = 1;
      else if (direction == NAVDIR_LASTCHILD) to = childCount();
      else return proxy_->accNavigate(direction, start, end);
    } else if (direction == NAVDIR_NEXT) {
      to = from + 1;
    } else if (direction == NAVDIR_PREVIOUS) {
      to = from - 1;
    } else if (t.kind == Target::Element && direction >= NAVDIR_UP && direction <= NAVDIR_RIGHT) {
      static const GridDirection toward[] = {TowardUp, TowardDown, TowardLeft, TowardRight};
      const int number = gridElementToward(from - 1, toward[direction - NAVDIR_UP]);
      if (number < 0) return S_FALSE;
      to = elementId(number);
    } else {
      return DISP_E_MEMBERNOTFOUND;
    }
    if (to < 1 || to > childCount()) return S_FALSE;
    if (to <= gridElementCount()) {
      *end = numberVariant(to);
      return S_OK;
    }
    return controlVariant(controlAt(window_, to - gridElementCount()), end);
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
    return clickElement(t.element);
  }

  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return closed_ ? RPC_E_DISCONNECTED : E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return closed_ ? RPC_E_DISCONNECTED : E_NOTIMPL; }

 private:
  friend void unmadeComObject<CalendarAccessible>(CalendarAccessible*);
  ~CalendarAccessible() { close(); }

  LONG childCount() const { return gridElementCount() + controlCount(window_); }

  // Posts the release of the left button at the element's centre; refused
  // while the window is disabled under a validation message, as a click is.
  HRESULT clickElement(const GridElement& element) {
    if (!IsWindowEnabled(window_)) return E_ACCESSDENIED;
    const CellRect r = gridElementRect(element);
    const LPARAM centre = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    return PostMessageW(window_, WM_LBUTTONUP, 0, centre) ? S_OK : E_FAIL;
  }

  Target resolve(const VARIANT& child) const {
    if (closed_) return {Target::Refused, RPC_E_DISCONNECTED, nullptr, {}};
    if (child.vt != VT_I4 || child.lVal < 0) return {Target::Refused, E_INVALIDARG, nullptr, {}};
    if (child.lVal == CHILDID_SELF) return {Target::Platform, S_OK, nullptr, {}};
    const int elements = gridElementCount();
    if (child.lVal <= elements) return {Target::Element, S_OK, nullptr, gridElement(child.lVal - 1)};
    HWND control = controlAt(window_, child.lVal - elements);
    if (!control) return {Target::Refused, E_INVALIDARG, nullptr, {}};
    return {Target::Platform, S_OK, control, {}};
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
      accessible = madeComObject<CalendarAccessible>(window, proxy);
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
  NotifyWinEvent(EVENT_OBJECT_REORDER, window, OBJID_CLIENT, CHILDID_SELF);
  NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, window, OBJID_CLIENT, CHILDID_SELF);
}

void notifyDayPicked(HWND window, int cell, int replaced) {
  const int number = gridElementOfCell(cell);
  if (number < 0) return;
  if (popupState.mode != DateRange) {
    NotifyWinEvent(EVENT_OBJECT_SELECTION, window, OBJID_CLIENT, elementId(number));
    return;
  }
  const int before = gridElementOfCell(replaced);
  if (before >= 0 && before != number)
    NotifyWinEvent(EVENT_OBJECT_SELECTIONREMOVE, window, OBJID_CLIENT, elementId(before));
  NotifyWinEvent(EVENT_OBJECT_SELECTIONADD, window, OBJID_CLIENT, elementId(number));
}

void closeAccessible() {
  if (!accessible) return;
  accessible->close();
  CoDisconnectObject(static_cast<IAccessible*>(accessible), 0);
  accessible->Release();
  accessible = nullptr;
  if (comStartedHere) CoUninitialize();
  comStartedHere = false;
  // Disconnecting let go of every client in another apartment; what still
  // lives is held in this one, by a client that may outlast the module (the
  // host can unload it before an in-context hook releases).
  holdModuleWhileObjectsLive();
}
