// The plug-in's own COM objects (a screen reader's view of the calendar):
// made on the process heap, counted while alive, so that the module can keep
// itself loaded while one of them outlives its window in a client's hands.
#pragma once
#include <windows.h>
#include <ole2.h>

#include <new>

// How many of the module's COM objects are alive, wherever their references are.
extern LONG liveComObjects;

// Made on the process heap rather than by operator new, whose library part
// would bring the C++ runtime's exception support into the DLL; nullptr
// when the heap is out of memory.
template <typename Object, typename... Arguments>
Object* madeComObject(Arguments... arguments) {
  void* memory = HeapAlloc(GetProcessHeap(), 0, sizeof(Object));
  if (!memory) return nullptr;
  InterlockedIncrement(&liveComObjects);
  return new (memory) Object(arguments...);
}

template <typename Object>
void unmadeComObject(Object* object) {
  object->~Object();
  HeapFree(GetProcessHeap(), 0, object);
  InterlockedDecrement(&liveComObjects);
}

// IUnknown of a COM class of one interface: reference counted from 1, freed
// by unmadeComObject at the last Release. Self::answers(iid) names the
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
    if (left == 0) unmadeComObject(static_cast<Self*>(this));
    return static_cast<ULONG>(left);
  }

 private:
  LONG references_ = 1;
};

// When any object is alive, takes one reference to the module (once), so
// that a client in this process that releases after the host unloaded the
// plug-in still finds the code of its Release.
void holdModuleWhileObjectsLive();

// Gives that reference up once no object lives any more. Called at each
// host call, while the host's own reference keeps the module loaded.
void releaseModuleHoldWhenUnused();

// Several child ids as an IEnumVARIANT of VT_I4 values, as get_accSelection
// hands out more than one selected child; at most kMostEnumeratedIds are
// kept. nullptr when out of memory.
const ULONG kMostEnumeratedIds = 2;
IEnumVARIANT* childIdEnumerator(const LONG* ids, ULONG count);
