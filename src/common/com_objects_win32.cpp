#include "common/com_objects_win32.h"

#include "common/accessible_win32.h"

LONG liveComObjects = 0;

namespace {

HMODULE heldModule = nullptr;  // the module's reference to itself

class ChildIdEnumerator final : public Counted<ChildIdEnumerator, IEnumVARIANT> {
 public:
  ChildIdEnumerator(const LONG* ids, ULONG count, ULONG next)
      : count_(count < kMostEnumeratedIds ? count : kMostEnumeratedIds), next_(next) {
    for (ULONG k = 0; k < count_; ++k) ids_[k] = ids[k];
  }

  static bool answers(REFIID iid) { return iid == IID_IEnumVARIANT; }

  HRESULT STDMETHODCALLTYPE Next(ULONG wanted, VARIANT* out, ULONG* fetched) override {
    if (!out) return E_POINTER;
    ULONG given = 0;
    for (; given < wanted && next_ < count_; ++given) out[given] = numberVariant(ids_[next_++]);
    if (fetched) *fetched = given;
    return given == wanted ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG skipped) override {
    const ULONG left = count_ - next_;
    next_ += skipped < left ? skipped : left;
    return skipped <= left ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    next_ = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** copy) override {
    if (!copy) return E_POINTER;
    *copy = madeComObject<ChildIdEnumerator>(static_cast<const LONG*>(ids_), count_, next_);
    return *copy ? S_OK : E_OUTOFMEMORY;
  }

 private:
  friend void unmadeComObject<ChildIdEnumerator>(ChildIdEnumerator*);
  ~ChildIdEnumerator() = default;

  LONG ids_[kMostEnumeratedIds] = {};
  ULONG count_;
  ULONG next_;
};

}  // namespace

void holdModuleWhileObjectsLive() {
  if (liveComObjects > 0 && !heldModule)
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&liveComObjects),
                       &heldModule);
}

void releaseModuleHoldWhenUnused() {
  if (!heldModule || liveComObjects > 0) return;
  HMODULE held = heldModule;
  heldModule = nullptr;
  FreeLibrary(held);
}

IEnumVARIANT* childIdEnumerator(const LONG* ids, ULONG count) {
  return madeComObject<ChildIdEnumerator>(ids, count, 0UL);
}
