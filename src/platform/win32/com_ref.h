// One COM interface reference, released once: the owner of a pointer that a
// call handed out (QueryInterface, CoCreateInstance, OleGetClipboard...);
// and the reference counting of the program's own one-interface objects.
#pragma once

#include <unknwn.h>

#include <atomic>
#include <utility>

namespace om::win32 {

template <typename T>
class ComRef {
 public:
  ComRef() = default;
  // Takes over a reference the caller holds.
  explicit ComRef(T* pointer) : pointer_(pointer) {}
  ~ComRef() { reset(); }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  T* get() const { return pointer_; }
  T* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }
  // For the calls that hand out a new reference.
  void** out() {
    reset();
    return reinterpret_cast<void**>(&pointer_);
  }
  T** out_typed() {
    reset();
    return &pointer_;
  }
  [[nodiscard]] T* release() { return std::exchange(pointer_, nullptr); }
  void reset() {
    if (pointer_ != nullptr) std::exchange(pointer_, nullptr)->Release();
  }

 private:
  T* pointer_ = nullptr;
};

// IUnknown for an object of the program's own that offers the one
// interface `Interface` (identified by `kIid`): it starts with one
// reference, its creator's, and deletes itself with the last.
template <typename Interface, const IID& kIid>
class ComObject : public Interface {
 public:
  ComObject() = default;
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kIid)) {
      *out = static_cast<Interface*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const long left = --references_;
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

 protected:
  virtual ~ComObject() = default;

 private:
  std::atomic<long> references_{1};
};

}  // namespace om::win32
