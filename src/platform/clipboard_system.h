// Port: the system clipboard and the clipboard-viewer chain.
//
// Mirrors the Win32 clipboard functions one to one, with the data of every
// format as bytes. Formats whose Win32 data is a GDI handle travel in a
// portable form; the Win32 adapter converts on the way in and out:
//
//   kBitmap, kDspBitmap     a packed DIB, exactly as kDib: BITMAPINFOHEADER,
//                           colour table (if any), pixel bits.
//   kPalette                a LOGPALETTE: uint16 version (0x300), uint16
//                           count, then count × {r, g, b, flags} bytes.
//   kMetafilePict,          a 12-byte header, int32 mm, int32 xExt, int32
//   kDspMetafilePict        yExt (little endian), then the Windows metafile
//                           bits (as GetMetaFileBitsEx gives them).
//   kEnhMetafile,           the enhanced metafile bits (GetEnhMetaFileBits).
//   kDspEnhMetafile
//   kOwnerDisplay           no data (empty).
//   everything else         the bytes of the global memory block, exactly
//                           its size (never read past it).
//
// Rules the fake and the real system share (the contract tests hold both to
// them): one window at a time has the clipboard open; Empty makes the opening
// window the owner; SetData/Promise need the clipboard open, except that the
// owner may call SetData while it answers a kRenderFormat request; SetData
// refuses empty data (kFailed) for every format but kOwnerDisplay; closing
// after a change sends kDrawClipboard to the first viewer before Close
// returns; the sequence number changes with every change.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/types.h"

namespace om {

enum class ClipStatus {
  kOk,
  kBusy,     // another window has the clipboard open
  kNotOpen,  // the operation needs the clipboard open by this program
  kAbsent,   // the format is not on the clipboard (or its owner rendered nothing)
  kFailed,   // any other failure of the system
};

struct ClipData {
  ClipStatus status = ClipStatus::kAbsent;
  Bytes bytes;
};

class IClipboardSystem {
 public:
  virtual ~IClipboardSystem() = default;

  // OpenClipboard with `owner` as the opening window (0 allowed: the task).
  virtual ClipStatus Open(WindowHandle owner) = 0;
  virtual ClipStatus Close() = 0;
  // EmptyClipboard: frees everything; the opening window becomes the owner
  // (the previous owner receives kDestroyClipboard).
  virtual ClipStatus Empty() = 0;

  // CountClipboardFormats: works on a closed clipboard too.
  virtual int CountFormats() = 0;
  // EnumClipboardFormats: the format after `previous` (0 starts); 0 at the end
  // and whenever the clipboard is not open by this program.
  virtual std::uint32_t EnumFormats(std::uint32_t previous) = 0;
  // IsClipboardFormatAvailable: works on a closed clipboard too.
  virtual bool IsFormatAvailable(std::uint32_t format) = 0;

  // GetClipboardData in portable form (see above). A promised format is first
  // rendered by its owner (kRenderFormat sent to the owner window).
  virtual ClipData GetData(std::uint32_t format) = 0;
  // SetClipboardData with data in portable form.
  virtual ClipStatus SetData(std::uint32_t format, const Bytes& data) = 0;
  // SetClipboardData(format, NULL): delayed rendering.
  virtual ClipStatus Promise(std::uint32_t format) = 0;

  // RegisterClipboardFormat: names are case-insensitive; the same name gives
  // the same number (>= cf::kFirstRegistered) to every process. 0 on failure.
  virtual std::uint32_t RegisterFormat(std::string_view name) = 0;
  // GetClipboardFormatName: the registered name, or nullopt for standard
  // formats and unknown numbers.
  virtual std::optional<std::string> FormatName(std::uint32_t format) = 0;

  virtual WindowHandle Owner() = 0;       // GetClipboardOwner
  virtual WindowHandle OpenWindow() = 0;  // GetOpenClipboardWindow
  virtual WindowHandle Viewer() = 0;      // GetClipboardViewer: first of the chain
  virtual std::uint32_t SequenceNumber() = 0;

  // SetClipboardViewer: puts `window` at the head of the chain; returns the
  // previous head (0 when the chain was empty). The new viewer receives
  // kDrawClipboard before this returns.
  virtual WindowHandle SetViewer(WindowHandle window) = 0;
  // ChangeClipboardChain: sends kChangeCbChain(remove, next) to the head of
  // the chain. The result is the head's answer, as in Win32.
  virtual bool ChangeChain(WindowHandle remove, WindowHandle next) = 0;
};

}  // namespace om
