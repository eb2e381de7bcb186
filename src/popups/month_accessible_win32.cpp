#include "popups/month_accessible_win32.h"

#include "call/popup_state.h"
#include "common/accessible_win32.h"
#include "common/com_objects_win32.h"
#include "grid/accessible_tree.h"
#include "grid/cell_pick.h"
#include "popups/calendar_accessible_win32.h"
#include "popups/grid_element_accessible_win32.h"

namespace {

class MonthAccessible final : public AccessibleChild<MonthAccessible> {
 public:
  MonthAccessible(HWND window, int slot, IAccessible* parent) : AccessibleChild(window, parent), slot_(slot) {}

  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    if (!count) return E_POINTER;
    *count = closed_ ? 0 : kCellsPerSlot;
    return closed_ ? RPC_E_DISCONNECTED : S_OK;
  }

  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    const Child c = resolve(child);
    if (FAILED(c.error)) return c.error;
    return c.self ? E_INVALIDARG : S_FALSE;  // its children are simple elements
  }

  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    return text(child, name, NameText, [this](BSTR* out) {
      char written[kSpokenDescriptionSize];
      calendarName(slot_, written, sizeof written);
      *out = accessibleText(written);
      return *out ? S_OK : E_OUTOFMEMORY;
    });
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override { return text(child, value, NoText); }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
    return text(child, description, DescriptionText);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override { return text(child, help, NoText); }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    return text(child, shortcut, NoText);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    return text(child, action, ActionText);
  }

  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!role) return E_POINTER;
    VariantInit(role);
    const Child c = resolve(child);
    if (FAILED(c.error)) return c.error;
    *role = numberVariant(c.self ? ROLE_SYSTEM_GROUPING : elementRole(c.element));
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (!state) return E_POINTER;
    VariantInit(state);
    const Child c = resolve(child);
    if (FAILED(c.error)) return c.error;
    const LONG disabled = IsWindowEnabled(window_) ? 0 : STATE_SYSTEM_UNAVAILABLE;
    *state = numberVariant(c.self ? disabled : elementState(window_, c.element));
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
    if (!file || !topic) return E_POINTER;
    *file = nullptr;
    *topic = 0;
    const Child c = resolve(child);
    return FAILED(c.error) ? c.error : S_FALSE;
  }

  // The days never take the keyboard focus.
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    if (!focus) return E_POINTER;
    VariantInit(focus);
    return closed_ ? RPC_E_DISCONNECTED : S_FALSE;
  }

  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    if (!selection) return E_POINTER;
    VariantInit(selection);
    if (closed_) return RPC_E_DISCONNECTED;
    const int number = gridElementOfCell(highlightedCell(popupState.mode == YearView ? 0 : slot_));
    if (number < 0 || gridElement(number).slot != slot_) return S_FALSE;
    *selection = numberVariant(monthChildOfElement(number));
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
    const Child c = resolve(child);
    if (FAILED(c.error)) return c.error;
    return c.self ? DISP_E_MEMBERNOTFOUND : selectElement(window_, c.element, flags);
  }

  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    const Child c = resolve(child);
    if (FAILED(c.error)) return c.error;
    return c.self ? DISP_E_MEMBERNOTFOUND : clickElement(window_, c.element);
  }

  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
    if (!left || !top || !width || !height) return E_POINTER;
    *left = *top = *width = *height = 0;
    const Child c = resolve(child);
    if (FAILED(c.error)) return c.error;
    if (c.self) screenLocation(window_, monthObjectRect(slot_), left, top, width, height);
    else elementLocation(window_, c.element, left, top, width, height);
    return S_OK;
  }

  // From the month itself: its first or last element, and the window
  // object's children before and after it (the neighbouring month objects;
  // after the last month the announcement's object).
  // Between its elements: in id order, or by their places on the grid.
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    if (!end) return E_POINTER;
    VariantInit(end);
    const Child c = resolve(start);
    if (FAILED(c.error)) return c.error;
    long to = -1;
    if (c.self) {
      if (direction == NAVDIR_FIRSTCHILD) to = 1;
      else if (direction == NAVDIR_LASTCHILD) to = kCellsPerSlot;
      else if (direction == NAVDIR_NEXT || direction == NAVDIR_PREVIOUS)
        return calendarSibling(monthChildId(slot_), direction == NAVDIR_NEXT, end);
      else return S_FALSE;
    } else if (direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD) {
      return E_INVALIDARG;  // a simple element has no children
    } else if (direction == NAVDIR_NEXT || direction == NAVDIR_PREVIOUS) {
      to = start.lVal + (direction == NAVDIR_NEXT ? 1 : -1);
    } else if (direction >= NAVDIR_UP && direction <= NAVDIR_RIGHT) {
      to = monthChildOfElement(elementToward(monthChildElement(slot_, start.lVal), direction));
    } else {
      return DISP_E_MEMBERNOTFOUND;
    }
    if (to < 1 || to > kCellsPerSlot) return S_FALSE;
    *end = numberVariant(to);
    return S_OK;
  }

  // An element under the point answers with its child id, the rest of the
  // month's area with CHILDID_SELF; S_FALSE outside it.
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* found) override {
    if (!found) return E_POINTER;
    VariantInit(found);
    if (closed_) return RPC_E_DISCONNECTED;
    POINT point = {x, y};
    ScreenToClient(window_, &point);
    if (!rectContains(monthObjectRect(slot_), point.x, point.y)) return S_FALSE;
    const int number = gridElementAt(point.x, point.y);
    const long child = gridElement(number).slot == slot_ ? monthChildOfElement(number) : -1;
    *found = numberVariant(child > 0 ? child : CHILDID_SELF);
    return S_OK;
  }

  // Itself and its elements, named in events by its own object id.
  bool identityOf(LONG child, LONG* objectId, LONG* childId) const {
    *objectId = monthObjectId(slot_);
    *childId = child;
    return child >= CHILDID_SELF && child <= kCellsPerSlot;
  }

 private:
  friend void deleteComObject<MonthAccessible>(MonthAccessible*);
  ~MonthAccessible() = default;

  // What a child id names: the month itself or one of its elements; a
  // failure in `error` for anything else or once closed.
  struct Child {
    HRESULT error;
    bool self;
    GridElement element;
  };

  Child resolve(const VARIANT& child) const {
    if (closed_) return {RPC_E_DISCONNECTED, false, {}};
    if (child.vt != VT_I4) return {E_INVALIDARG, false, {}};
    if (child.lVal == CHILDID_SELF) return {S_OK, true, {}};
    const int number = monthChildElement(slot_, child.lVal);
    if (number < 0) return {E_INVALIDARG, false, {}};
    return {S_OK, false, gridElement(number)};
  }

  // A text property: the element's, or for the month itself what `own`
  // writes (none when not given).
  template <typename Own>
  HRESULT text(const VARIANT& child, BSTR* out, ElementText which, Own own) {
    if (!out) return E_POINTER;
    *out = nullptr;
    const Child c = resolve(child);
    if (FAILED(c.error)) return c.error;
    return c.self ? own(out) : elementText(c.element, which, out);
  }
  HRESULT text(const VARIANT& child, BSTR* out, ElementText which) {
    return text(child, out, which, [](BSTR*) { return S_FALSE; });
  }

  int slot_;  // 1-12
};

}  // namespace

IAccessible* madeMonthAccessible(HWND window, int slot, IAccessible* parent) {
  return newComObject<MonthAccessible>(window, slot, parent);
}

void closeMonthAccessible(IAccessible* month) { static_cast<MonthAccessible*>(month)->close(); }
