// One COM interface reference, released once: the owner of a pointer that a
// call handed out (QueryInterface, CoCreateInstance, OleGetClipboard...).
#pragma once

#include <unknwn.h>

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

}  // namespace om::win32
