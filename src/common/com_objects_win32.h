// The plug-in's own COM objects (a screen reader's view of the calendar):
// made on the process heap, counted while alive, so that the module can keep
// itself loaded while one of them outlives its window in a client's hands.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <oleacc.h>

#include <new>

// How many of the module's COM objects are alive, wherever their references are.
extern LONG liveComObjects;

// IAccIdentity's interface id, defined here: libuuid defines it in one
// object with 2,000 other identifiers.
const IID kIAccIdentity = {0x7852b78d, 0x1cfd, 0x41c1, {0xa6, 0x15, 0x9c, 0x0c, 0x85, 0x96, 0x0b, 0x5f}};

// The identity string of element (window, objectId, childId), in memory of
// CoTaskMemAlloc that the caller frees: the one the platform's annotation
// service composes (IAccPropServices::ComposeHwndIdentityString), so that
// an annotation set on that triple and an event raised on it name the
// element answering it. Where the service cannot be made or refuses (Wine
// answers E_NOTIMPL), the 12 bytes of the window handle's low 32 bits, the
// object id and the child id, each a little-endian DWORD: unique per
// element and the same however it was reached. E_OUTOFMEMORY when no
// memory is left.
HRESULT composeIdentity(HWND window, LONG objectId, LONG childId, BYTE** out, DWORD* size);

// Made on the process heap rather than by operator new, whose library part
// would bring the C++ runtime's exception support into the DLL; nullptr
// when the heap is out of memory.
template <typename Object, typename... Arguments>
Object* newComObject(Arguments... arguments) {
  void* memory = HeapAlloc(GetProcessHeap(), 0, sizeof(Object));
  if (!memory) return nullptr;
  InterlockedIncrement(&liveComObjects);
  return new (memory) Object(arguments...);
}

template <typename Object>
void deleteComObject(Object* object) {
  object->~Object();
  HeapFree(GetProcessHeap(), 0, object);
  InterlockedDecrement(&liveComObjects);
}

// IUnknown of a COM class of one interface: reference counted from 1, freed
// by deleteComObject at the last Release. Self::answers(iid) names the
// interfaces it answers for besides IUnknown.
template <typename Self, typename Interface>
class Counted : public Interface {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && !Self::answers(iid)) return E_NOINTERFACE;
    *out = static_cast<Interface*>(this);
    this->AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) deleteComObject(static_cast<Self*>(this));
    return static_cast<ULONG>(left);
  }

 private:
  LONG references_ = 1;
};

// The parts of an IAccessible that the plug-in's accessible objects share:
// IUnknown as Counted makes it, IDispatch without type information (clients
// call IAccessible's methods), names and values that cannot be set, and a
// closed flag that the window's end sets, after which every IAccessible
// method fails with RPC_E_DISCONNECTED (those of IUnknown and IDispatch
// answer as before: a kept reference can still be released).
template <typename Self>
class AccessibleObject : public Counted<Self, IAccessible> {
 public:
  static bool answers(REFIID iid) { return iid == IID_IDispatch || iid == IID_IAccessible; }

  // From now on every call fails.
  void close() { closed_ = true; }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return count ? S_OK : E_POINTER;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return closed_ ? RPC_E_DISCONNECTED : E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return closed_ ? RPC_E_DISCONNECTED : E_NOTIMPL; }

 protected:
  volatile bool closed_ = false;
};

// An accessible object that another of the module's objects holds as its
// child (a month of the calendar window's object): its parent is given, not
// kept, since the parent closes it before it goes.
// Being an object below the window's client object, it has no identity that
// the platform can work out: it answers IAccIdentity itself, for itself and
// its simple children, with the string composed for (window, objectId,
// child id), where objectId names it in WM_GETOBJECT and in events
// (Self::identityOf gives that triple's object and child ids).
template <typename Self>
class AccessibleChild : public AccessibleObject<Self>, public IAccIdentity {
 public:
  AccessibleChild(HWND window, IAccessible* parent) : window_(window), parent_(parent) {}
  AccessibleChild(const AccessibleChild&) = delete;
  AccessibleChild& operator=(const AccessibleChild&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out || iid != kIAccIdentity) return AccessibleObject<Self>::QueryInterface(iid, out);
    *out = static_cast<IAccIdentity*>(this);
    this->AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return AccessibleObject<Self>::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return AccessibleObject<Self>::Release(); }

  // E_INVALIDARG for a child id it does not have, RPC_E_DISCONNECTED once
  // closed.
  HRESULT STDMETHODCALLTYPE GetIdentityString(DWORD child, BYTE** identity, DWORD* size) override {
    if (!identity || !size) return E_POINTER;
    *identity = nullptr;
    *size = 0;
    if (this->closed_) return RPC_E_DISCONNECTED;
    LONG objectId = 0, childId = 0;
    if (!static_cast<Self*>(this)->identityOf(static_cast<LONG>(child), &objectId, &childId)) return E_INVALIDARG;
    return composeIdentity(window_, objectId, childId, identity, size);
  }

  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    if (!parent) return E_POINTER;
    *parent = nullptr;
    if (this->closed_) return RPC_E_DISCONNECTED;
    parent_->AddRef();
    *parent = parent_;
    return S_OK;
  }

 protected:
  HWND window_;          // the window whose client area holds the object
  IAccessible* parent_;  // outlives the open child
};

// When any object is alive, takes one reference to the module (once), so
// that a client in this process that releases after the host unloaded the
// plug-in still finds the code of its Release.
void holdModuleWhileObjectsLive();

// Gives that reference up once no object lives any more. Called at each
// host call, while the host's own reference keeps the module loaded.
void releaseModuleHoldWhenUnused();
