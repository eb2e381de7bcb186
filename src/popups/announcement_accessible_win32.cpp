// The announcement as an object of its own: a status bar without children,
// named by the latest announcement, whose siblings are the window object's
// children before and after it.
#include "common/accessible_win32.h"
#include "common/com_objects_win32.h"
#include "grid/accessible_tree.h"
#include "grid/grid_elements.h"
#include "popups/announcement_win32.h"
#include "popups/calendar_accessible_win32.h"
#include "popups/grid_element_accessible_win32.h"

namespace {

class AnnouncementAccessible final : public AccessibleChild<AnnouncementAccessible> {
 public:
  AnnouncementAccessible(HWND window, IAccessible* parent) : AccessibleChild(window, parent) {}

  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return closed_ ? RPC_E_DISCONNECTED : S_OK;
  }

  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    const HRESULT hr = checked(child);
    return FAILED(hr) ? hr : E_INVALIDARG;  // it has no children
  }

  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (!name) return E_POINTER;
    *name = nullptr;
    const HRESULT hr = checked(child);
    if (FAILED(hr)) return hr;
    *name = accessibleText(latestAnnouncement());
    return *name ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override { return noText(child, value); }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override { return noText(child, text); }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override { return noText(child, help); }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override { return noText(child, keys); }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override { return noText(child, action); }

  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    return number(child, role, ROLE_SYSTEM_STATUSBAR);
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    return number(child, state, announcementState());
  }

  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
    if (!file || !topic) return E_POINTER;
    *file = nullptr;
    *topic = 0;
    const HRESULT hr = checked(child);
    return FAILED(hr) ? hr : S_FALSE;
  }

  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override { return nothing(focus); }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override { return nothing(selection); }

  HRESULT STDMETHODCALLTYPE accSelect(LONG, VARIANT child) override { return noAction(child); }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override { return noAction(child); }

  // No place of its own: an empty area at the client's corner.
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
    if (!left || !top || !width || !height) return E_POINTER;
    *left = *top = *width = *height = 0;
    const HRESULT hr = checked(child);
    if (FAILED(hr)) return hr;
    screenLocation(window_, {0, 0, 0, 0}, left, top, width, height);
    return S_OK;
  }

  // Next and previous lead to the window object's neighbouring children:
  // the last month object before it, the first control after it.
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    if (!end) return E_POINTER;
    VariantInit(end);
    const HRESULT hr = checked(start);
    if (FAILED(hr)) return hr;
    if (direction == NAVDIR_NEXT || direction == NAVDIR_PREVIOUS)
      return calendarSibling(announcementChildId(), direction == NAVDIR_NEXT, end);
    return S_FALSE;
  }

  HRESULT STDMETHODCALLTYPE accHitTest(LONG, LONG, VARIANT* found) override { return nothing(found); }

  // The element that its events and its live-region mark name.
  static bool identityOf(LONG child, LONG* objectId, LONG* childId) {
    *objectId = OBJID_CLIENT;
    *childId = announcementChildId();
    return child == CHILDID_SELF;
  }

 private:
  friend void deleteComObject<AnnouncementAccessible>(AnnouncementAccessible*);
  ~AnnouncementAccessible() = default;

  // S_OK for the object itself; it has no children.
  HRESULT checked(const VARIANT& child) const {
    if (closed_) return RPC_E_DISCONNECTED;
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF ? S_OK : E_INVALIDARG;
  }

  HRESULT noText(const VARIANT& child, BSTR* out) const {
    if (!out) return E_POINTER;
    *out = nullptr;
    const HRESULT hr = checked(child);
    return FAILED(hr) ? hr : S_FALSE;
  }

  HRESULT number(const VARIANT& child, VARIANT* out, LONG value) const {
    if (!out) return E_POINTER;
    VariantInit(out);
    const HRESULT hr = checked(child);
    if (SUCCEEDED(hr)) *out = numberVariant(value);
    return hr;
  }

  HRESULT nothing(VARIANT* out) const {
    if (!out) return E_POINTER;
    VariantInit(out);
    return closed_ ? RPC_E_DISCONNECTED : S_FALSE;
  }

  HRESULT noAction(const VARIANT& child) const {
    const HRESULT hr = checked(child);
    return FAILED(hr) ? hr : DISP_E_MEMBERNOTFOUND;
  }
};

}  // namespace

IAccessible* madeAnnouncementAccessible(HWND window, IAccessible* parent) {
  return newComObject<AnnouncementAccessible>(window, parent);
}

void closeAnnouncementAccessible(IAccessible* announcement) {
  static_cast<AnnouncementAccessible*>(announcement)->close();
}
