// A window as a screen reader sees it: its client area's accessible object
// asked for through oleacc (AccessibleObjectFromWindow), as an assistive
// program in another thread or process asks, and the elements read from it.
// Serves hostsim's "tree" action, the small client program the tests start
// as a separate process, and the tests themselves.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <oleacc.h>

#include <string>
#include <utility>
#include <vector>

// One element: the client object itself (id CHILDID_SELF), a child, or a
// child of a child that has an object of its own (a month object's day).
struct AccessibleElement {
  long id = CHILDID_SELF;  // child id in its container; a control's or month object's is its position
  long container = 0;      // the client's child id of the object holding it; 0 for the client's own
  int depth = 0;           // 0 the client object, 1 its children, 2 theirs
  std::wstring name, description, defaultAction;
  long role = 0, state = 0;
  RECT location = {};      // screen coordinates, right and bottom exclusive
};

class AccessibleView {
 public:
  // Initialises COM on this thread (multithreaded apartment) for the view's
  // life, and asks `window` for its client object.
  explicit AccessibleView(HWND window);
  // A view of another object (a month object a view handed out), with a
  // reference of its own.
  explicit AccessibleView(IAccessible* object);
  ~AccessibleView();
  AccessibleView(const AccessibleView&) = delete;
  AccessibleView& operator=(const AccessibleView&) = delete;

  bool ok() const { return object_ != nullptr; }

  // The client object, then its children in child id order (AccessibleChildren);
  // a child with an object of its own (a control, a month object) is read
  // through it, and a grouping's children (a month's days) follow it.
  std::vector<AccessibleElement> read() const;

  // The client's object itself, for calls the view has no method for.
  IAccessible* object() const { return object_; }

  // The object of the client's child `id` (a month object, a control), held
  // by the view until it ends, so that no reference is let go while an
  // action ends the window (under Wine a call that reaches the window's
  // thread as its apartment ends is never answered); nullptr for a simple
  // element or a failure.
  IAccessible* child(long id) const;

  // The child id accHitTest finds at a screen point: CHILDID_SELF for the
  // object itself, 0 for an object of its own (a control's, a month
  // object's, named in `reached` when given), -1 for nothing or a failure.
  long hitTest(POINT screen, std::wstring* reached = nullptr) const;

  // Elements `first` to `last` read by child id alone (no control objects),
  // of the client's child `container` (a month object) when given.
  std::vector<AccessibleElement> readElements(long first, long last, long container = 0) const;

  HRESULT doDefaultAction(long id) const;
  HRESULT nameOf(long id, std::wstring& name) const;
  HRESULT select(long id, long flags) const;

  // accNavigate from child `id`: the child id reached, 0 for an object of
  // its own (a control's, a month object's; its name in `reached` and its
  // role in `role`, the id of the control whose window it is in `control`,
  // when given), -1 when nothing is there (S_FALSE), -2 when refused as
  // E_INVALIDARG (no such child, or a simple one asked for its children),
  // -3 when it failed otherwise (DISP_E_MEMBERNOTFOUND: no move that way).
  long navigate(long id, long direction, std::wstring* reached = nullptr, long* role = nullptr,
                int* control = nullptr) const;

  // The steps a reader takes from the object to the element named by
  // `path`, "NAME" or "GROUP / NAME", counted as NVDA's object navigation
  // counts them (one accNavigate a step): first child into the object, next
  // along, first child into the month object named GROUP. -1 when the walk
  // ends (or passes 1000 steps) without meeting it.
  int stepsTo(const std::wstring& path) const;

  // get_accSelection as child ids, in the order given (an IEnumVARIANT's
  // order for several); empty for none. `result` gets the call's answer.
  std::vector<long> selection(HRESULT* result = nullptr) const;

  // Performs the default action of an element read by read(), through the
  // month object that holds it when it is a month's day.
  HRESULT doDefaultAction(const AccessibleElement& element) const;

  // Performs the default action of the first element named `name`; "MONTH /
  // NAME" names the month object to look in ("End: April 2004 / Friday 2
  // April 2004"), where the same day shows in two months.
  HRESULT doDefaultActionOf(const std::wstring& name) const;

 private:
  IAccessible* object_ = nullptr;
  bool comStarted_ = false;
  mutable std::vector<std::pair<long, IAccessible*>> children_;  // what child() handed out, by child id
};

// What a listening reader makes of a WinEvent about `window`'s accessible
// objects, one line: the event as a word ("selection", "name", "live", ...)
// and where it resolves through AccessibleObjectFromEvent, as navigation
// reaches the same element: "0" the client object itself, "N" the client's
// simple child N, "#K" the client's child K that is an object of its own,
// "#K/N" child N of that object, "?" an element navigation never reaches;
// then ": " and the element's name when it has one (not the client's own,
// the window's title). An element of an object below the client must
// answer IAccIdentity with the identity composedIdentity gives for the
// event's (window, object, child): the line ends in " (no identity)" or
// " (another identity)" when it does not. "" for an event that is not
// about the window's client area or its objects.
std::string describeEvent(DWORD event, HWND window, LONG object, LONG child);

// Element `id` of `object`'s identity string (IAccIdentity), as bytes; ""
// when it has none or refuses.
std::string identityOf(IAccessible* object, long id);

// The identity string of (window, object, child): what the platform's
// annotation service composes, or where it refuses (Wine), the window
// handle, the object id and the child id as three little-endian DWORDs,
// as the plug-in composes it then.
std::string composedIdentity(HWND window, LONG object, LONG child);

// Hears, out of context as a reader does, the WinEvents about `window`'s
// accessible objects while it lives, each described by describeEvent when it
// arrives (in the order they came, though resolving one lets the next in).
// One at a time; its thread must take messages (pump) to hear anything.
class EventListener {
 public:
  explicit EventListener(HWND window);
  ~EventListener();
  EventListener(const EventListener&) = delete;
  EventListener& operator=(const EventListener&) = delete;

  // Takes messages until the window is gone, or until nothing was heard
  // for `quietMs` (after at least one event heard since the previous pump
  // ended, or since the listener began, when `afterAnEvent`: events also
  // arrive while the thread waits in a sent message), or `limitMs` passed.
  void pump(int quietMs, int limitMs, bool afterAnEvent = false);

  // The events heard: one describeEvent line an event about the window.
  std::vector<std::string> events() const;

 private:
  static void CALLBACK hear(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD);

  HWND window_;
  HWINEVENTHOOK hook_ = nullptr;
  std::vector<std::string> lines_;  // "" for an event of no interest
  DWORD lastHeard_ = 0;             // tick count of the latest event, 0 before the first
  size_t pumpedUpTo_ = 0;           // lines_ heard when the latest pump ended
};

// Child id `id` as a VARIANT (VT_I4), as IAccessible's methods take it.
VARIANT childVariant(long id);

// A text as it is printed: code page 1252.
std::string narrowText(const std::wstring& text);

// The first element named `name`, at or after `from` in `elements`; -1 when none.
int findElement(const std::vector<AccessibleElement>& elements, const std::wstring& name, int from = 0);

// One line an element: role, "name", [states], (description), "action", and
// its rectangle as x,y wxh. Non-ASCII characters are written in code page 1252.
// describeTree indents each element by its depth, after its child id.
std::string describeElement(const AccessibleElement& element);

// The client object's line, then each child's indented, one a line.
std::string describeTree(const std::vector<AccessibleElement>& elements);
