// Owners of the Win32 resources the adapters use: one small move-only type
// per kind of handle, each freeing its resource exactly once. Logic never
// calls GlobalFree, DeleteObject, RegCloseKey, CloseHandle or FreeLibrary
// itself.
//
// Handing a resource to the system (SetClipboardData) is written as
//   if (::SetClipboardData(format, block.get())) static_cast<void>(block.release());
// so ownership moves on the line where the call succeeds and the block is
// freed by its owner when it fails.
#pragma once

#include <windows.h>

#include <cstddef>
#include <utility>

namespace om::win32 {

// A resource handle with a free function; `Traits` gives the handle type,
// the "none" value and how to free it.
template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  ~UniqueHandle() { reset(); }

  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, Traits::None())) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      reset();
      handle_ = std::exchange(other.handle_, Traits::None());
    }
    return *this;
  }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != Traits::None(); }

  // Gives up ownership: the caller (or the system) frees the resource now.
  [[nodiscard]] Handle release() { return std::exchange(handle_, Traits::None()); }

  void reset(Handle handle = Traits::None()) {
    if (handle_ != Traits::None()) Traits::Free(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = Traits::None();
};

namespace traits {
struct GlobalBlock {
  using Handle = HGLOBAL;
  static Handle None() { return nullptr; }
  static void Free(Handle h) { ::GlobalFree(h); }
};
struct RegistryKey {
  using Handle = HKEY;
  static Handle None() { return nullptr; }
  static void Free(Handle h) { ::RegCloseKey(h); }
};
template <typename T>
struct GdiObject {
  using Handle = T;
  static Handle None() { return nullptr; }
  static void Free(Handle h) { ::DeleteObject(h); }
};
struct Metafile {
  using Handle = HMETAFILE;
  static Handle None() { return nullptr; }
  static void Free(Handle h) { ::DeleteMetaFile(h); }
};
struct EnhMetafile {
  using Handle = HENHMETAFILE;
  static Handle None() { return nullptr; }
  static void Free(Handle h) { ::DeleteEnhMetaFile(h); }
};
struct MemoryDc {
  using Handle = HDC;
  static Handle None() { return nullptr; }
  static void Free(Handle h) { ::DeleteDC(h); }
};
// A library loaded with LoadLibrary, freed with FreeLibrary. (Modules that
// are merely looked up with GetModuleHandle are not owned: never put one here.)
struct LoadedModule {
  using Handle = HMODULE;
  static Handle None() { return nullptr; }
  static void Free(Handle h) { ::FreeLibrary(h); }
};
// Kernel objects: processes, threads, files, pipes. INVALID_HANDLE_VALUE is
// normalised to null by the constructor helper below.
struct Kernel {
  using Handle = HANDLE;
  static Handle None() { return nullptr; }
  static void Free(Handle h) { ::CloseHandle(h); }
};
}  // namespace traits

using GlobalBlock = UniqueHandle<traits::GlobalBlock>;
using RegistryKey = UniqueHandle<traits::RegistryKey>;
template <typename T>
using GdiObject = UniqueHandle<traits::GdiObject<T>>;
using Bitmap = GdiObject<HBITMAP>;
using Palette = GdiObject<HPALETTE>;
using Metafile = UniqueHandle<traits::Metafile>;
using EnhMetafile = UniqueHandle<traits::EnhMetafile>;
using MemoryDc = UniqueHandle<traits::MemoryDc>;
using KernelHandle = UniqueHandle<traits::Kernel>;
using LoadedModule = UniqueHandle<traits::LoadedModule>;

// CreateFile and friends report failure as INVALID_HANDLE_VALUE.
inline KernelHandle OwnFileHandle(HANDLE h) {
  return KernelHandle(h == INVALID_HANDLE_VALUE ? nullptr : h);
}

// A new movable global block of exactly `size` bytes (null on failure).
inline GlobalBlock AllocateGlobal(std::size_t size) {
  return GlobalBlock(::GlobalAlloc(GMEM_MOVEABLE, size));
}

// A window's device context (GetDC), released with ReleaseDC.
class WindowDc {
 public:
  explicit WindowDc(HWND window = nullptr) : window_(window), dc_(::GetDC(window)) {}
  ~WindowDc() {
    if (dc_) ::ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  WindowDc(WindowDc&& other) noexcept
      : window_(other.window_), dc_(std::exchange(other.dc_, nullptr)) {}
  WindowDc& operator=(WindowDc&&) = delete;

  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// A lock on a global block (not owning the block). data() is null when the
// block could not be locked (a null, discarded or zero-sized block); size()
// is what GlobalSize reports, the bound of every read.
class GlobalLockGuard {
 public:
  explicit GlobalLockGuard(HGLOBAL block)
      : block_(block),
        data_(block ? ::GlobalLock(block) : nullptr),
        size_(data_ ? ::GlobalSize(block) : 0) {}
  ~GlobalLockGuard() {
    if (data_) ::GlobalUnlock(block_);
  }
  GlobalLockGuard(const GlobalLockGuard&) = delete;
  GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;
  GlobalLockGuard(GlobalLockGuard&& other) noexcept
      : block_(other.block_), data_(std::exchange(other.data_, nullptr)), size_(other.size_) {}
  GlobalLockGuard& operator=(GlobalLockGuard&&) = delete;

  void* data() const { return data_; }
  const unsigned char* bytes() const { return static_cast<const unsigned char*>(data_); }
  std::size_t size() const { return size_; }
  explicit operator bool() const { return data_ != nullptr; }

 private:
  HGLOBAL block_;
  void* data_;
  std::size_t size_;
};

}  // namespace om::win32
