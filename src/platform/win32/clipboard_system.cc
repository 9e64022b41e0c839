#include "platform/win32/clipboard_system.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "platform/win32/gdi_forms.h"
#include "platform/win32/handles.h"
#include "platform/win32/os_error.h"
#include "platform/win32/window_system.h"

namespace om::win32 {
namespace {

// What a failed call that needs an open clipboard means: the program did
// not have it open (its own mistake, not logged) or the system failed.
ClipStatus FailureOf(const char* what, bool open) {
  const DWORD error = ::GetLastError();
  if (error == ERROR_CLIPBOARD_NOT_OPEN || !open) return ClipStatus::kNotOpen;
  LogOsFailure(what, error);
  return ClipStatus::kFailed;
}

// Hands a resource to the clipboard: ownership moves only when the call
// succeeds; otherwise the caller's owner still frees it.
template <typename Owned>
bool HandOver(std::uint32_t format, Owned& owned) {
  if (::SetClipboardData(format, owned.get()) == nullptr) return false;
  static_cast<void>(owned.release());  // the clipboard's from here on
  return true;
}

ClipData Ok(Bytes bytes) { return ClipData{ClipStatus::kOk, std::move(bytes)}; }

// A conversion the system could not do (already logged there) or a handle
// the owner left empty reads as failed.
ClipData FromForm(std::optional<Bytes> form) {
  if (!form) return ClipData{ClipStatus::kFailed, {}};
  return Ok(std::move(*form));
}

}  // namespace

ClipStatus Win32ClipboardSystem::Open(WindowHandle owner) {
  if (::OpenClipboard(ToHwnd(owner))) {
    open_ = true;
    return ClipStatus::kOk;
  }
  const DWORD error = ::GetLastError();
  // Another window holding the clipboard is ordinary contention, not a
  // failure worth a log line.
  if (::GetOpenClipboardWindow() != nullptr || error == ERROR_ACCESS_DENIED) return ClipStatus::kBusy;
  LogOsFailure("OpenClipboard", error);
  return ClipStatus::kFailed;
}

ClipStatus Win32ClipboardSystem::Close() {
  ::SetLastError(ERROR_SUCCESS);
  const bool was_open = open_;
  open_ = false;
  if (::CloseClipboard()) return ClipStatus::kOk;
  return FailureOf("CloseClipboard", was_open);
}

ClipStatus Win32ClipboardSystem::Empty() {
  ::SetLastError(ERROR_SUCCESS);
  if (::EmptyClipboard()) return ClipStatus::kOk;
  return FailureOf("EmptyClipboard", open_);
}

int Win32ClipboardSystem::CountFormats() { return ::CountClipboardFormats(); }

std::uint32_t Win32ClipboardSystem::EnumFormats(std::uint32_t previous) {
  return ::EnumClipboardFormats(previous);
}

bool Win32ClipboardSystem::IsFormatAvailable(std::uint32_t format) {
  return ::IsClipboardFormatAvailable(format) != FALSE;
}

ClipData Win32ClipboardSystem::GetData(std::uint32_t format) {
  if (format == cf::kOwnerDisplay) {
    // Owner-display data is painted by the owner on request; there are no
    // bytes to fetch, and asking for them would only send a render request.
    if (!open_) return ClipData{ClipStatus::kNotOpen, {}};
    return ClipData{IsFormatAvailable(format) ? ClipStatus::kOk : ClipStatus::kAbsent, {}};
  }
  ::SetLastError(ERROR_SUCCESS);
  HANDLE handle = ::GetClipboardData(format);
  if (handle == nullptr) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_CLIPBOARD_NOT_OPEN || !open_) return ClipData{ClipStatus::kNotOpen, {}};
    return ClipData{ClipStatus::kAbsent, {}};
  }
  // The handle stays the clipboard's: read it, never free it.
  switch (format) {
    case cf::kBitmap:
    case cf::kDspBitmap:
      return FromForm(BitmapToDib(static_cast<HBITMAP>(handle)));
    case cf::kPalette:
      return FromForm(PaletteToBytes(static_cast<HPALETTE>(handle)));
    case cf::kMetafilePict:
    case cf::kDspMetafilePict:
      return FromForm(MetafilePictToBytes(static_cast<HGLOBAL>(handle)));
    case cf::kEnhMetafile:
    case cf::kDspEnhMetafile:
      return FromForm(EnhMetafileToBytes(static_cast<HENHMETAFILE>(handle)));
    default:
      break;
  }
  // Exactly the block's size: a block that cannot be locked (discarded or
  // empty) is empty data, not an error.
  GlobalLockGuard lock(static_cast<HGLOBAL>(handle));
  if (!lock) return Ok({});
  return Ok(Bytes(lock.bytes(), lock.bytes() + lock.size()));
}

bool Win32ClipboardSystem::MaySet() {
  if (open_) return true;
  // Answering a render request: the owner sets data while the asking
  // program has the clipboard open.
  HWND owner = ::GetClipboardOwner();
  return owner != nullptr && ::GetWindowThreadProcessId(owner, nullptr) == ::GetCurrentThreadId();
}

ClipStatus Win32ClipboardSystem::SetData(std::uint32_t format, const Bytes& data) {
  if (!MaySet()) return ClipStatus::kNotOpen;
  // Each branch owns what it made until SetClipboardData takes it; when the
  // call fails, the owner frees it on the way out.
  ::SetLastError(ERROR_SUCCESS);
  switch (format) {
    case cf::kBitmap:
    case cf::kDspBitmap: {
      Bitmap bitmap = DibToBitmap(data);
      if (!bitmap) return ClipStatus::kFailed;
      if (HandOver(format, bitmap)) return ClipStatus::kOk;
      return FailureOf("SetClipboardData(bitmap)", open_);
    }
    case cf::kPalette: {
      Palette palette = BytesToPalette(data);
      if (!palette) return ClipStatus::kFailed;
      if (HandOver(format, palette)) return ClipStatus::kOk;
      return FailureOf("SetClipboardData(palette)", open_);
    }
    case cf::kMetafilePict:
    case cf::kDspMetafilePict: {
      auto pict = BytesToMetafilePict(data);
      if (!pict) return ClipStatus::kFailed;
      if (::SetClipboardData(format, pict->block.get())) {
        // The block and the metafile inside it are the clipboard's now.
        static_cast<void>(pict->block.release());
        static_cast<void>(pict->metafile.release());
        return ClipStatus::kOk;
      }
      return FailureOf("SetClipboardData(metafile picture)", open_);
    }
    case cf::kEnhMetafile:
    case cf::kDspEnhMetafile: {
      EnhMetafile metafile = BytesToEnhMetafile(data);
      if (!metafile) return ClipStatus::kFailed;
      if (HandOver(format, metafile)) return ClipStatus::kOk;
      return FailureOf("SetClipboardData(enhanced metafile)", open_);
    }
    case cf::kOwnerDisplay:
      // The owner paints this format itself: there is no data to hand over.
      return Promise(format);
    default:
      break;
  }
  // An empty block is refused here rather than by the system: Windows takes
  // a zero-byte block and Wine does not, and no reader wants one.
  if (data.empty()) return ClipStatus::kFailed;
  GlobalBlock block = AllocateGlobal(data.size());
  if (!block) {
    LogOsFailure("GlobalAlloc");
    return ClipStatus::kFailed;
  }
  {
    GlobalLockGuard lock(block.get());
    if (!lock || lock.size() < data.size()) {
      LogOsFailure("GlobalLock");
      return ClipStatus::kFailed;
    }
    std::memcpy(lock.data(), data.data(), data.size());
  }
  if (HandOver(format, block)) return ClipStatus::kOk;
  return FailureOf("SetClipboardData", open_);
}

ClipStatus Win32ClipboardSystem::Promise(std::uint32_t format) {
  if (!MaySet()) return ClipStatus::kNotOpen;
  // Delayed rendering returns no handle on success either: only the error
  // code tells the two apart.
  ::SetLastError(ERROR_SUCCESS);
  ::SetClipboardData(format, nullptr);
  if (::GetLastError() == ERROR_SUCCESS) return ClipStatus::kOk;
  return FailureOf("SetClipboardData(promise)", open_);
}

std::uint32_t Win32ClipboardSystem::RegisterFormat(std::string_view name) {
  if (name.empty()) return 0;
  const std::string text(name);
  const UINT format = ::RegisterClipboardFormatA(text.c_str());
  if (format == 0) LogOsFailure("RegisterClipboardFormatA");
  return format;
}

std::optional<std::string> Win32ClipboardSystem::FormatName(std::uint32_t format) {
  if (format < cf::kFirstRegistered || format > 0xFFFF) return std::nullopt;
  char name[256] = {};  // registered names are atoms: at most 255 characters
  const int length = ::GetClipboardFormatNameA(format, name, sizeof name);
  if (length <= 0) return std::nullopt;
  return std::string(name, static_cast<std::size_t>(length));
}

WindowHandle Win32ClipboardSystem::Owner() { return FromHwnd(::GetClipboardOwner()); }
WindowHandle Win32ClipboardSystem::OpenWindow() { return FromHwnd(::GetOpenClipboardWindow()); }
WindowHandle Win32ClipboardSystem::Viewer() { return FromHwnd(::GetClipboardViewer()); }
std::uint32_t Win32ClipboardSystem::SequenceNumber() { return ::GetClipboardSequenceNumber(); }

WindowHandle Win32ClipboardSystem::SetViewer(WindowHandle window) {
  return FromHwnd(::SetClipboardViewer(ToHwnd(window)));
}

bool Win32ClipboardSystem::ChangeChain(WindowHandle remove, WindowHandle next) {
  return ::ChangeClipboardChain(ToHwnd(remove), ToHwnd(next)) != FALSE;
}

}  // namespace om::win32
