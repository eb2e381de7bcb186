// The calendar window's IAccessible: the grid elements of grid_elements.h
// as simple children (no object of their own, addressed by child id) or
// grouped in month objects, the announcement, the window's controls and the
// client object itself answered by the platform's proxies. Plain COM without
// a framework: the window's object holds the objects of its own children
// (month objects, the announcement's) and closes them with itself at the
// window's end, after which every call on any of them fails. The
// announcement's object answers for it in every window; in one month the
// window's object hands it out as a simple element (a full object there
// could not name its neighbours, the grid's simple elements) and passes the
// element's questions on to it.
#include "popups/calendar_accessible_win32.h"

#include "call/popup_state.h"
#include "common/accessible_win32.h"
#include "common/com_objects_win32.h"
#include "grid/accessible_tree.h"
#include "grid/cell_pick.h"
#include "grid/grid_elements.h"
#include "popups/announcement_win32.h"
#include "popups/grid_element_accessible_win32.h"
#include "popups/month_accessible_win32.h"

namespace {

// What a child id names: the client object itself, a control, a month
// object or the announcement (each answered by its own object), a grid
// element, or nothing (the call fails with `error`).
struct Target {
  enum Kind { Refused, Object, Element } kind;
  HRESULT error;        // Refused: what the call returns
  HWND control;         // Object: the control, or nullptr
  long objectChild;     // Object: the child id of an object of our own (a month's, the announcement's), or 0
  GridElement element;  // Element
};

// Made with one reference, the window's own, released by closeAccessible.
class CalendarAccessible final : public AccessibleObject<CalendarAccessible> {
 public:
  CalendarAccessible(HWND window, IAccessible* proxy) : window_(window), proxy_(proxy) {}
  CalendarAccessible(const CalendarAccessible&) = delete;
  CalendarAccessible& operator=(const CalendarAccessible&) = delete;

  HWND window() const { return window_; }

  // From now on every call fails, on this object and the objects of its
  // own children, which are disconnected from their clients; the proxy is
  // released.
  void close() {
    AccessibleObject::close();
    for (IAccessible*& month : months_) {
      if (month) closeMonthAccessible(month);
      disconnectAndRelease(month);
    }
    if (announcement_) closeAnnouncementAccessible(announcement_);
    disconnectAndRelease(announcement_);
    if (proxy_) proxy_->Release();
    proxy_ = nullptr;
  }

  // The object of the client's child `id` when it is one of our own (a
  // month object, the announcement's), made at the first request, with a
  // reference for the caller; nullptr for another child or when out of
  // memory.
  IAccessible* objectOfChild(long id) {
    if (!ownsObject(id)) return nullptr;
    const int slot = monthOfChildId(id);
    IAccessible** object = slot ? &months_[slot - 1] : &announcement_;
    if (!*object) *object = slot ? madeMonthAccessible(window_, slot, this) : madeAnnouncementAccessible(window_, this);
    if (*object) (*object)->AddRef();
    return *object;
  }

  // Child `id` as accNavigate and accHitTest hand it out.
  HRESULT childVariant(long id, VARIANT* out) {
    if (id < 1 || id > childCount()) return S_FALSE;
    if (handsOutObject(id)) {
      IAccessible* object = objectOfChild(id);
      if (!object) return E_OUTOFMEMORY;
      out->vt = VT_DISPATCH;
      out->pdispVal = object;
      return S_OK;
    }
    if (id <= announcementChildId()) {
      *out = numberVariant(id);
      return S_OK;
    }
    return controlVariant(controlAt(window_, id - announcementChildId()), out);
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
    if (t.kind != Target::Object || (t.objectChild && !handsOutObject(t.objectChild)))
      return S_FALSE;  // a simple element
    if (t.objectChild) {
      *object = objectOfChild(t.objectChild);
      return *object ? S_OK : E_OUTOFMEMORY;
    }
    if (!t.control) return E_INVALIDARG;
    return controlObject(t.control, IID_IDispatch, reinterpret_cast<void**>(object));
  }

  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    return textProperty(child, name, NameText, [&](IAccessible* o, VARIANT self) { return o->get_accName(self, name); });
  }

  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    return textProperty(child, value, NoText, [&](IAccessible* o, VARIANT self) { return o->get_accValue(self, value); });
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
    return textProperty(child, description, DescriptionText,
                        [&](IAccessible* o, VARIANT self) { return o->get_accDescription(self, description); });
  }

  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!role) return E_POINTER;
    VariantInit(role);
    const Target t = resolve(child);
    if (t.kind == Target::Element) *role = numberVariant(elementRole(t.element));
    else return forwarded(t, [&](IAccessible* o, VARIANT self) { return o->get_accRole(self, role); });
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (!state) return E_POINTER;
    VariantInit(state);
    const Target t = resolve(child);
    if (t.kind == Target::Element) *state = numberVariant(elementState(window_, t.element));
    else return forwarded(t, [&](IAccessible* o, VARIANT self) { return o->get_accState(self, state); });
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
    return textProperty(child, help, NoText, [&](IAccessible* o, VARIANT self) { return o->get_accHelp(self, help); });
  }

  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
    if (!file || !topic) return E_POINTER;
    *file = nullptr;
    *topic = 0;
    const Target t = resolve(child);
    if (t.kind == Target::Element) return S_FALSE;
    return forwarded(t, [&](IAccessible* o, VARIANT self) { return o->get_accHelpTopic(file, self, topic); });
  }

  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    return textProperty(child, shortcut, NoText,
                        [&](IAccessible* o, VARIANT self) { return o->get_accKeyboardShortcut(self, shortcut); });
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

  // In one month the highlighted day (VT_I4), or none (VT_EMPTY and
  // S_FALSE). In a range and the year view the client's children are month
  // objects, which are never selected: each answers with its own day.
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    if (!selection) return E_POINTER;
    VariantInit(selection);
    if (closed_) return RPC_E_DISCONNECTED;
    if (monthObjectCount()) return S_FALSE;
    const long day = elementChildId(gridElementOfCell(highlightedCell(1)));
    if (day == 0) return S_FALSE;
    *selection = numberVariant(day);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    return textProperty(child, action, ActionText,
                        [&](IAccessible* o, VARIANT self) { return o->get_accDefaultAction(self, action); });
  }

  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
    const Target t = resolve(child);
    if (t.kind == Target::Element) return selectElement(window_, t.element, flags);
    return forwarded(t, [&](IAccessible* o, VARIANT self) { return o->accSelect(flags, self); });
  }

  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
    if (!left || !top || !width || !height) return E_POINTER;
    *left = *top = *width = *height = 0;
    const Target t = resolve(child);
    if (t.kind != Target::Element)
      return forwarded(t, [&](IAccessible* o, VARIANT self) { return o->accLocation(left, top, width, height, self); });
    elementLocation(window_, t.element, left, top, width, height);
    return S_OK;
  }

  // From the client object to its first or last child; between its children
  // in child id order (from the last grid element or month object on to the
  // announcement, then the first control's object); and up, down, left and
  // right between one month's headings and days. A child has no children to
  // go to. Other directions of the client object are the proxy's.
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    if (!end) return E_POINTER;
    VariantInit(end);
    const Target t = resolve(start);
    if (t.kind == Target::Refused) return t.error;
    const LONG from = start.lVal;
    if (from == CHILDID_SELF) {
      if (direction == NAVDIR_FIRSTCHILD) return childVariant(1, end);
      if (direction == NAVDIR_LASTCHILD) return childVariant(childCount(), end);
      return proxy_->accNavigate(direction, start, end);
    }
    if (direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD) return E_INVALIDARG;
    if (direction == NAVDIR_NEXT || direction == NAVDIR_PREVIOUS)
      return childVariant(from + (direction == NAVDIR_NEXT ? 1 : -1), end);
    if (t.kind != Target::Element || direction < NAVDIR_UP || direction > NAVDIR_RIGHT) return DISP_E_MEMBERNOTFOUND;
    const int to = elementToward(elementOfChildId(from), direction);
    if (to < 0) return S_FALSE;
    *end = numberVariant(elementChildId(to));
    return S_OK;
  }

  // A control under the point answers with its object; a grid element with
  // its child id, or in a range and the year view the month object holding
  // the point; the rest of the client area with CHILDID_SELF.
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
    for (int slot = 1; slot <= monthObjectCount(); ++slot)
      if (rectContains(monthObjectRect(slot), point.x, point.y)) return childVariant(slot, found);
    const int number = monthObjectCount() ? -1 : gridElementAt(point.x, point.y);
    *found = numberVariant(number < 0 ? CHILDID_SELF : elementChildId(number));
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    const Target t = resolve(child);
    if (t.kind == Target::Element) return clickElement(window_, t.element);
    return forwarded(t, [&](IAccessible* o, VARIANT self) { return o->accDoDefaultAction(self); });
  }

 private:
  friend void deleteComObject<CalendarAccessible>(CalendarAccessible*);
  ~CalendarAccessible() { close(); }

  LONG childCount() const { return announcementChildId() + controlCount(window_); }

  // Whether the client's child `id` is answered by an object of our own.
  static bool ownsObject(long id) { return monthOfChildId(id) || id == announcementChildId(); }

  // Whether that object is handed out as the child (VT_DISPATCH), rather
  // than the child being a simple element that it answers for: all but the
  // announcement in one month, whose neighbours are simple elements.
  static bool handsOutObject(long id) { return ownsObject(id) && monthObjectCount(); }

  // Lets the window's reference to an object of its own go, disconnected
  // from its clients.
  static void disconnectAndRelease(IAccessible*& object) {
    if (!object) return;
    CoDisconnectObject(object, 0);
    object->Release();
    object = nullptr;
  }

  Target resolve(const VARIANT& child) const {
    if (closed_) return {Target::Refused, RPC_E_DISCONNECTED, nullptr, 0, {}};
    if (child.vt != VT_I4 || child.lVal < 0) return {Target::Refused, E_INVALIDARG, nullptr, 0, {}};
    const long id = child.lVal;
    if (id == CHILDID_SELF) return {Target::Object, S_OK, nullptr, 0, {}};
    const int number = elementOfChildId(id);
    if (number >= 0) return {Target::Element, S_OK, nullptr, 0, gridElement(number)};
    if (ownsObject(id)) return {Target::Object, S_OK, nullptr, id, {}};
    HWND control = id > announcementChildId() ? controlAt(window_, id - announcementChildId()) : nullptr;
    if (!control) return {Target::Refused, E_INVALIDARG, nullptr, 0, {}};
    return {Target::Object, S_OK, control, 0, {}};
  }

  // Calls `call` with CHILDID_SELF on the object that answers for the
  // target itself: the platform's object of the client area or of a
  // control, or an object of our own; or returns the refusal.
  template <typename Call>
  HRESULT forwarded(const Target& t, Call call) {
    if (t.kind == Target::Refused) return t.error;
    IAccessible* object = proxy_;
    if (t.objectChild) object = objectOfChild(t.objectChild);
    else if (t.control && FAILED(controlObject(t.control, IID_IAccessible, reinterpret_cast<void**>(&object))))
      object = nullptr;
    if (!object) return E_FAIL;
    const HRESULT hr = call(object, numberVariant(CHILDID_SELF));
    if (object != proxy_) object->Release();
    return hr;
  }

  // A text property: the platform's or our own object's answer (`call`)
  // for the objects, the element's text `which` for a grid element.
  template <typename Call>
  HRESULT textProperty(const VARIANT& child, BSTR* out, ElementText which, Call call) {
    if (!out) return E_POINTER;
    *out = nullptr;
    const Target t = resolve(child);
    if (t.kind == Target::Element) return elementText(t.element, which, out);
    return forwarded(t, call);
  }

  HWND window_;
  IAccessible* proxy_;                     // the platform's object of the client area
  IAccessible* months_[kGridSlots] = {};   // month objects made so far, one reference each
  IAccessible* announcement_ = nullptr;    // the announcement's object once made, one reference
};

CalendarAccessible* accessible = nullptr;  // the open window's object, once asked for
bool comStartedHere = false;               // answerGetObject initialised COM on this thread

}  // namespace

LRESULT answerGetObject(HWND window, WPARAM flags, LPARAM objectId) {
  const int slot = monthOfObjectId(static_cast<LONG>(objectId));
  if (static_cast<LONG>(objectId) != OBJID_CLIENT && !slot) return 0;
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
      accessible = newComObject<CalendarAccessible>(window, proxy);
    if (!accessible) {
      if (proxy) proxy->Release();
      if (comStartedHere) CoUninitialize();
      comStartedHere = false;
      return 0;
    }
  }
  if (!slot) return LresultFromObject(IID_IAccessible, flags, static_cast<IAccessible*>(accessible));
  IAccessible* month = accessible->objectOfChild(monthChildId(slot));
  if (!month) return 0;
  const LRESULT answer = LresultFromObject(IID_IAccessible, flags, month);
  month->Release();
  return answer;
}

bool windowRefusesObjects() {
  if (accessible) return false;
  // The test answerGetObject makes, balanced at once.
  const HRESULT started = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (SUCCEEDED(started)) CoUninitialize();
  return started == RPC_E_CHANGED_MODE;
}

void raiseEvent(DWORD event, HWND window, LONG objectId, LONG childId) {
  if (!windowRefusesObjects()) NotifyWinEvent(event, window, objectId, childId);
}

namespace {

// Raises `event` about grid element `number` where a reader finds it: in
// its month object, or in one month as the client's own child.
void raiseElementEvent(DWORD event, HWND window, int number) {
  if (number < 0) return;
  if (monthObjectCount())
    raiseEvent(event, window, monthObjectId(gridElement(number).slot), monthChildOfElement(number));
  else
    raiseEvent(event, window, OBJID_CLIENT, elementChildId(number));
}

}  // namespace

void notifyGridRefilled(HWND window, int slot, int selectedBefore) {
  if (windowRefusesObjects()) return;
  // The day selected before lost its selection unless the refill marked the
  // same cell again.
  if (selectedBefore >= 0 && !cellHighlighted(selectedBefore))
    raiseElementEvent(EVENT_OBJECT_SELECTIONREMOVE, window, gridElementOfCell(selectedBefore));
  // The days are renamed in place: their container's children changed. A
  // month object is also renamed by the month or year it shows; the year
  // view refills every one, a range the one of `slot`.
  const bool yearView = popupState.mode == YearView;
  if (!monthObjectCount()) raiseEvent(EVENT_OBJECT_REORDER, window, OBJID_CLIENT, CHILDID_SELF);
  else
    for (int month = yearView ? 1 : slot; month <= (yearView ? monthObjectCount() : slot); ++month) {
      raiseEvent(EVENT_OBJECT_NAMECHANGE, window, monthObjectId(month), CHILDID_SELF);
      raiseEvent(EVENT_OBJECT_REORDER, window, monthObjectId(month), CHILDID_SELF);
    }
  raiseEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, window, OBJID_CLIENT, CHILDID_SELF);
  // The year view's new year is the year list's own new value, which a
  // reader already speaks: said again it would be heard twice. What was
  // said last (a pick in the year left behind) no longer holds: the
  // announcement is emptied, invisible again, without an event.
  if (yearView) {
    resetAnnouncement();
    return;
  }
  char shown[kSpokenDescriptionSize] = {};
  shownAnnouncement(slot, shown, sizeof shown);
  announce(window, shown);
}

void notifyDayPicked(HWND window, int cell, int replaced) {
  const int day = gridElementOfCell(cell);
  const int before = gridElementOfCell(replaced);
  // Each container (one month's window, a month object) holds one selected
  // day, which the pick replaces. In the year view the replaced day may lie
  // in another month object, whose selection is then empty.
  if (day >= 0 && before >= 0 && gridElement(before).slot != gridElement(day).slot)
    raiseElementEvent(EVENT_OBJECT_SELECTIONREMOVE, window, before);
  raiseElementEvent(EVENT_OBJECT_SELECTION, window, day);
}

void announcePick(HWND window, int cell) {
  raiseEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, window, OBJID_CLIENT, CHILDID_SELF);
  char picked[kSpokenDescriptionSize] = {};
  pickAnnouncement(cell, picked, sizeof picked);
  announce(window, picked);
}

HRESULT calendarSibling(long id, bool next, VARIANT* out) {
  VariantInit(out);
  return accessible ? accessible->childVariant(id + (next ? 1 : -1), out) : S_FALSE;
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
