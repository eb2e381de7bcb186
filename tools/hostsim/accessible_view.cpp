#include "accessible_view.h"

#include <cstdio>

VARIANT childVariant(long id) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

std::string narrowText(const std::wstring& text) {
  char buffer[256] = {};
  WideCharToMultiByte(1252, 0, text.c_str(), -1, buffer, sizeof buffer, nullptr, nullptr);
  return buffer;
}

namespace {

std::wstring takeText(BSTR text) {
  std::wstring out = text ? std::wstring(text, SysStringLen(text)) : std::wstring();
  SysFreeString(text);
  return out;
}

long numberOf(VARIANT& v) {
  const long n = v.vt == VT_I4 ? v.lVal : 0;
  VariantClear(&v);
  return n;
}

// Reads element `id` of `object` (CHILDID_SELF: the object itself).
AccessibleElement readElement(IAccessible* object, long id) {
  AccessibleElement e;
  e.id = id;
  VARIANT child = childVariant(id), v;
  BSTR text = nullptr;
  if (object->get_accName(child, &text) == S_OK) e.name = takeText(text);
  text = nullptr;
  if (object->get_accDescription(child, &text) == S_OK) e.description = takeText(text);
  text = nullptr;
  if (object->get_accDefaultAction(child, &text) == S_OK) e.defaultAction = takeText(text);
  VariantInit(&v);
  if (SUCCEEDED(object->get_accRole(child, &v))) e.role = numberOf(v);
  VariantInit(&v);
  if (SUCCEEDED(object->get_accState(child, &v))) e.state = numberOf(v);
  LONG x = 0, y = 0, w = 0, h = 0;
  if (SUCCEEDED(object->accLocation(&x, &y, &w, &h, child))) e.location = {x, y, x + w, y + h};
  return e;
}

std::string roleText(long role) {
  char text[64] = {};
  GetRoleTextA(static_cast<DWORD>(role), text, sizeof text);
  return text;
}

std::string stateText(long state) {
  std::string out;
  for (int bit = 0; bit < 31; ++bit) {
    if (!(state & (1L << bit))) continue;
    char text[64] = {};
    GetStateTextA(1UL << bit, text, sizeof text);
    out += (out.empty() ? "" : ", ") + std::string(text);
  }
  return out;
}

}  // namespace

AccessibleView::AccessibleView(HWND window) {
  comStarted_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
  if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                        reinterpret_cast<void**>(&object_))))
    object_ = nullptr;
}

AccessibleView::AccessibleView(IAccessible* object) : object_(object) {
  comStarted_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
  if (object_) object_->AddRef();
}

AccessibleView::~AccessibleView() {
  for (const auto& kept : children_) kept.second->Release();
  if (object_) object_->Release();
  if (comStarted_) CoUninitialize();
}

std::vector<AccessibleElement> AccessibleView::read() const {
  std::vector<AccessibleElement> elements;
  if (!object_) return elements;
  elements.push_back(readElement(object_, CHILDID_SELF));
  LONG count = 0;
  if (FAILED(object_->get_accChildCount(&count)) || count <= 0) return elements;
  std::vector<VARIANT> children(static_cast<size_t>(count));
  LONG obtained = 0;
  if (FAILED(AccessibleChildren(object_, 0, count, children.data(), &obtained))) return elements;
  for (LONG i = 0; i < obtained; ++i) {
    VARIANT& child = children[static_cast<size_t>(i)];
    IAccessible* own = nullptr;
    if (child.vt == VT_DISPATCH && child.pdispVal &&
        SUCCEEDED(child.pdispVal->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&own)))) {
      elements.push_back(readElement(own, CHILDID_SELF));
      elements.back().id = i + 1;
      elements.back().depth = 1;
      // A month object's days, read by child id through it.
      LONG days = 0;
      if (elements.back().role == ROLE_SYSTEM_GROUPING && SUCCEEDED(own->get_accChildCount(&days)))
        for (long day = 1; day <= days; ++day) {
          elements.push_back(readElement(own, day));
          elements.back().container = i + 1;
          elements.back().depth = 2;
        }
      own->Release();
    } else if (child.vt == VT_I4) {
      elements.push_back(readElement(object_, child.lVal));
      elements.back().depth = 1;
    }
    VariantClear(&child);
  }
  return elements;
}

IAccessible* AccessibleView::child(long id) const {
  for (const auto& kept : children_)
    if (kept.first == id) return kept.second;
  IDispatch* dispatch = nullptr;
  IAccessible* own = nullptr;
  if (object_ && object_->get_accChild(childVariant(id), &dispatch) == S_OK && dispatch) {
    if (FAILED(dispatch->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&own)))) own = nullptr;
    dispatch->Release();
  }
  if (own) children_.push_back({id, own});
  return own;
}

namespace {

// The name of the object `reached` holds (VT_DISPATCH), or "" for another
// answer; its role in `role` when given (0 for another answer).
std::wstring nameOfObject(const VARIANT& reached, long* role = nullptr) {
  IAccessible* object = nullptr;
  if (role) *role = 0;
  if (reached.vt != VT_DISPATCH || !reached.pdispVal ||
      FAILED(reached.pdispVal->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&object))))
    return L"";
  const AccessibleElement self = readElement(object, CHILDID_SELF);
  object->Release();
  if (role) *role = self.role;
  return self.name;
}

}  // namespace

long AccessibleView::hitTest(POINT screen, std::wstring* reached) const {
  VARIANT found;
  VariantInit(&found);
  if (!object_ || object_->accHitTest(screen.x, screen.y, &found) != S_OK) return -1;
  if (found.vt == VT_DISPATCH) {
    if (reached) *reached = nameOfObject(found);
    VariantClear(&found);
    return 0;
  }
  return found.vt == VT_I4 ? numberOf(found) : -1;
}

HRESULT AccessibleView::doDefaultAction(long id) const {
  return object_ ? object_->accDoDefaultAction(childVariant(id)) : E_FAIL;
}

std::vector<AccessibleElement> AccessibleView::readElements(long first, long last, long container) const {
  std::vector<AccessibleElement> elements;
  IAccessible* object = container ? child(container) : object_;
  for (long id = first; object && id <= last; ++id) elements.push_back(readElement(object, id));
  return elements;
}

HRESULT AccessibleView::select(long id, long flags) const {
  return object_ ? object_->accSelect(flags, childVariant(id)) : E_FAIL;
}

long AccessibleView::navigate(long id, long direction, std::wstring* reached, long* role, int* control) const {
  VARIANT end;
  VariantInit(&end);
  const HRESULT hr = object_ ? object_->accNavigate(direction, childVariant(id), &end) : E_FAIL;
  if (hr != S_OK) return hr == E_INVALIDARG ? -2 : FAILED(hr) ? -3 : -1;
  if (end.vt == VT_DISPATCH) {
    if (reached || role) {
      const std::wstring name = nameOfObject(end, role);
      if (reached) *reached = name;
    }
    if (control) {
      HWND window = nullptr;
      IAccessible* object = nullptr;
      if (end.pdispVal && SUCCEEDED(end.pdispVal->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&object)))) {
        WindowFromAccessibleObject(object, &window);
        object->Release();
      }
      *control = window && (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) ? GetDlgCtrlID(window) : 0;
    }
    VariantClear(&end);
    return 0;
  }
  return end.vt == VT_I4 ? numberOf(end) : -1;
}

int AccessibleView::stepsTo(const std::wstring& path) const {
  const size_t slash = path.find(L" / ");
  const std::wstring group = slash == std::wstring::npos ? L"" : path.substr(0, slash);
  const std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 3);
  // Where the reader stands: an object and a child id in it.
  IAccessible* object = object_;
  if (object) object->AddRef();
  long id = CHILDID_SELF;
  long direction = NAVDIR_FIRSTCHILD;
  for (int steps = 1; object && steps <= 1000; ++steps) {
    VARIANT end;
    VariantInit(&end);
    if (object->accNavigate(direction, childVariant(id), &end) != S_OK) break;
    IAccessible* next = nullptr;
    if (end.vt == VT_DISPATCH && end.pdispVal)
      end.pdispVal->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&next));
    const bool moved = next || end.vt == VT_I4;
    if (next) {
      object->Release();
      object = next;
      id = CHILDID_SELF;
    } else if (end.vt == VT_I4) {
      id = end.lVal;
    }
    VariantClear(&end);
    if (!moved) break;
    BSTR text = nullptr;
    const std::wstring here = object->get_accName(childVariant(id), &text) == S_OK ? takeText(text) : L"";
    if (here == name) {
      object->Release();
      return steps;
    }
    direction = id == CHILDID_SELF && !group.empty() && here == group ? NAVDIR_FIRSTCHILD : NAVDIR_NEXT;
  }
  if (object) object->Release();
  return -1;
}

std::vector<long> AccessibleView::selection(HRESULT* result) const {
  std::vector<long> ids;
  VARIANT v;
  VariantInit(&v);
  const HRESULT hr = object_ ? object_->get_accSelection(&v) : E_FAIL;
  if (result) *result = hr;
  IEnumVARIANT* days = nullptr;
  if (v.vt == VT_I4) {
    ids.push_back(v.lVal);
  } else if (v.vt == VT_UNKNOWN && v.punkVal &&
             SUCCEEDED(v.punkVal->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&days)))) {
    VARIANT day;
    VariantInit(&day);
    for (ULONG got = 0; days->Next(1, &day, &got) == S_OK && got == 1; VariantInit(&day))
      ids.push_back(numberOf(day));
    days->Release();
  }
  VariantClear(&v);
  return ids;
}

HRESULT AccessibleView::doDefaultAction(const AccessibleElement& element) const {
  if (element.container == 0) return doDefaultAction(element.id);
  IAccessible* month = child(element.container);
  return month ? month->accDoDefaultAction(childVariant(element.id)) : E_FAIL;
}

HRESULT AccessibleView::doDefaultActionOf(const std::wstring& name) const {
  const std::vector<AccessibleElement> elements = read();
  const size_t slash = name.find(L" / ");
  int found = -1;
  if (slash == std::wstring::npos) {
    found = findElement(elements, name);
  } else {
    const int month = findElement(elements, name.substr(0, slash));
    const std::wstring day = name.substr(slash + 3);
    for (int k = month < 0 ? -1 : findElement(elements, day, month + 1); k >= 0 && found < 0;
         k = findElement(elements, day, k + 1))
      if (elements[static_cast<size_t>(k)].container == elements[static_cast<size_t>(month)].id) found = k;
  }
  return found < 0 ? E_INVALIDARG : doDefaultAction(elements[static_cast<size_t>(found)]);
}

HRESULT AccessibleView::nameOf(long id, std::wstring& name) const {
  BSTR text = nullptr;
  const HRESULT hr = object_ ? object_->get_accName(childVariant(id), &text) : E_FAIL;
  name = takeText(text);
  return hr;
}

int findElement(const std::vector<AccessibleElement>& elements, const std::wstring& name, int from) {
  for (size_t i = from < 0 ? 0 : static_cast<size_t>(from); i < elements.size(); ++i)
    if (elements[i].name == name) return static_cast<int>(i);
  return -1;
}

std::string describeElement(const AccessibleElement& e) {
  char place[64];
  std::snprintf(place, sizeof place, "%ld,%ld %ldx%ld", e.location.left, e.location.top,
                e.location.right - e.location.left, e.location.bottom - e.location.top);
  std::string line = roleText(e.role) + " \"" + narrowText(e.name) + "\"";
  if (e.state) line += " [" + stateText(e.state) + "]";
  if (!e.description.empty()) line += " (" + narrowText(e.description) + ")";
  if (!e.defaultAction.empty()) line += " action \"" + narrowText(e.defaultAction) + "\"";
  return line + " at " + place;
}

std::string describeTree(const std::vector<AccessibleElement>& elements) {
  std::string out;
  for (size_t i = 0; i < elements.size(); ++i) {
    if (i > 0) out += "\n" + std::string(2 * static_cast<size_t>(elements[i].depth), ' ');
    char id[16];
    std::snprintf(id, sizeof id, "%ld ", elements[i].id);
    out += (i > 0 ? id : "") + describeElement(elements[i]);
  }
  return out;
}

namespace {

const char* eventWord(DWORD event) {
  switch (event) {
    case EVENT_OBJECT_REORDER: return "reorder";
    case EVENT_OBJECT_NAMECHANGE: return "name";
    case EVENT_OBJECT_DESCRIPTIONCHANGE: return "description";
    case EVENT_OBJECT_SELECTION: return "selection";
    case EVENT_OBJECT_SELECTIONADD: return "add";
    case EVENT_OBJECT_SELECTIONREMOVE: return "remove";
    case 0x8019: return "live";  // EVENT_OBJECT_LIVEREGIONCHANGED
    default: return nullptr;
  }
}

bool sameObject(IUnknown* a, IUnknown* b) {
  IUnknown *ia = nullptr, *ib = nullptr;
  a->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&ia));
  b->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&ib));
  const bool same = ia && ia == ib;
  if (ia) ia->Release();
  if (ib) ib->Release();
  return same;
}

const IID kIAccIdentity = {0x7852b78d, 0x1cfd, 0x41c1, {0xa6, 0x15, 0x9c, 0x0c, 0x85, 0x96, 0x0b, 0x5f}};

// An identity string as bytes; "" for none.
std::string takeIdentity(BYTE* bytes, DWORD size) {
  std::string out = bytes ? std::string(reinterpret_cast<const char*>(bytes), size) : std::string();
  CoTaskMemFree(bytes);
  return out;
}

// The client's child id of `object` when navigation reaches it there, by
// COM identity; 0 for none.
long clientChildHolding(HWND window, IAccessible* object) {
  AccessibleView client(window);
  LONG count = 0;
  if (!client.ok() || FAILED(client.object()->get_accChildCount(&count))) return 0;
  for (long id = 1; id <= count; ++id) {
    IDispatch* child = nullptr;
    const bool same = client.object()->get_accChild(childVariant(id), &child) == S_OK && child && sameObject(child, object);
    if (child) child->Release();
    if (same) return id;
  }
  return 0;
}

}  // namespace

std::string describeEvent(DWORD event, HWND window, LONG object, LONG child) {
  const char* word = eventWord(event);
  if (!word || (object != OBJID_CLIENT && object <= 0)) return "";
  std::string line = word;
  IAccessible* found = nullptr;
  VARIANT id;
  VariantInit(&id);
  if (FAILED(AccessibleObjectFromEvent(window, static_cast<DWORD>(object), static_cast<DWORD>(child), &found, &id)) ||
      !found)
    return line + " (unresolved)";
  // An object of its own (a month's, the announcement's) or the client.
  if (object == OBJID_CLIENT && child == CHILDID_SELF) {  // the window's own object, named by its title
    found->Release();
    return line + " 0";
  }
  const long holder = clientChildHolding(window, found);
  const long element = id.vt == VT_I4 ? id.lVal : CHILDID_SELF;
  if (holder == 0 && object == OBJID_CLIENT && element == child) line += " " + std::to_string(child);
  else if (holder == 0) line += " ?";
  else line += " #" + std::to_string(holder) + (element == CHILDID_SELF ? "" : "/" + std::to_string(element));
  BSTR text = nullptr;
  if (found->get_accName(id, &text) == S_OK && text && SysStringLen(text) > 0) line += ": " + narrowText(text);
  SysFreeString(text);
  // An object below the client names its elements by its own identity,
  // which must be the element the event named.
  if (holder != 0) {
    const std::string identity = identityOf(found, element);
    if (identity.empty()) line += " (no identity)";
    else if (identity != composedIdentity(window, object, child)) line += " (another identity)";
  }
  found->Release();
  return line;
}

std::string identityOf(IAccessible* object, long id) {
  IAccIdentity* identity = nullptr;
  if (FAILED(object->QueryInterface(kIAccIdentity, reinterpret_cast<void**>(&identity))) || !identity) return "";
  BYTE* bytes = nullptr;
  DWORD size = 0;
  const HRESULT hr = identity->GetIdentityString(static_cast<DWORD>(id), &bytes, &size);
  identity->Release();
  return SUCCEEDED(hr) ? takeIdentity(bytes, size) : takeIdentity(bytes, 0);
}

std::string composedIdentity(HWND window, LONG object, LONG child) {
  IAccPropServices* services = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                 reinterpret_cast<void**>(&services)))) {
    BYTE* bytes = nullptr;
    DWORD size = 0;
    const HRESULT hr = services->ComposeHwndIdentityString(window, static_cast<DWORD>(object),
                                                           static_cast<DWORD>(child), &bytes, &size);
    services->Release();
    if (SUCCEEDED(hr) && bytes) return takeIdentity(bytes, size);
  }
  const DWORD parts[3] = {static_cast<DWORD>(reinterpret_cast<UINT_PTR>(window)), static_cast<DWORD>(object),
                          static_cast<DWORD>(child)};
  return std::string(reinterpret_cast<const char*>(parts), sizeof parts);
}

namespace {

EventListener* listening = nullptr;  // the one listener whose hook is set

}  // namespace

EventListener::EventListener(HWND window) : window_(window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  listening = this;
  hook_ = SetWinEventHook(EVENT_OBJECT_REORDER, 0x8019 /* EVENT_OBJECT_LIVEREGIONCHANGED */, nullptr, hear, process,
                          0, WINEVENT_OUTOFCONTEXT);
}

EventListener::~EventListener() {
  if (hook_) UnhookWinEvent(hook_);
  listening = nullptr;
}

void CALLBACK EventListener::hear(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
  EventListener* self = listening;
  if (!self || window != self->window_) return;
  self->lastHeard_ = GetTickCount();
  // The place is taken before the element is resolved: while that call
  // waits, the events after this one are delivered and may grow lines_,
  // so the line is written only once it is made.
  const size_t at = self->lines_.size();
  self->lines_.emplace_back();
  std::string line = describeEvent(event, window, object, child);
  self->lines_[at] = line;
}

void EventListener::pump(int quietMs, int limitMs, bool afterAnEvent) {
  const DWORD start = GetTickCount();
  for (DWORD now = start; static_cast<int>(now - start) < limitMs && IsWindow(window_); now = GetTickCount()) {
    const bool heard = lines_.size() > pumpedUpTo_;
    const DWORD since = heard && static_cast<int>(lastHeard_ - start) > 0 ? lastHeard_ : start;
    if ((heard || !afterAnEvent) && static_cast<int>(now - since) >= quietMs) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageA(&msg);
  }
  pumpedUpTo_ = lines_.size();
}

std::vector<std::string> EventListener::events() const {
  std::vector<std::string> lines;
  for (const std::string& line : lines_)
    if (!line.empty()) lines.push_back(line);
  return lines;
}
