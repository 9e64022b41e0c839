// The program's clipboard object: reads and writes clipboard data on a
// clipboard that the viewer (TClipView5) has opened, and answers which
// formats are present.
//
// It never opens or closes the system clipboard: that happens only through
// the viewer's counted Open and Close, and every use of TClipboard falls
// inside such a bracket (FormatCount and HasFormat also work outside one).
// Its own Open and Close only count nesting, independently of the viewer's
// count; the ports take no owner window for reading and writing data, so
// there is no window to lend or allocate while it is "open".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "clipboard/graphics.h"
#include "platform/clipboard_system.h"

namespace om {

class TClipboard {
 public:
  // Registers PictureFormat (format_names.h).
  explicit TClipboard(IClipboardSystem& system);
  TClipboard(const TClipboard&) = delete;
  TClipboard& operator=(const TClipboard&) = delete;

  IClipboardSystem& System() { return system_; }

  // Nesting count only; never calls the system.
  void Open();
  void Close();
  std::int32_t OpenRefCount() const { return open_ref_count_; }

  // Empties the clipboard. The only operation here that does; adding data
  // never empties it.
  ClipStatus Clear();

  // Hands a copy of `count` bytes to the clipboard under `format`. The
  // status says whether the clipboard took it (it refuses empty data).
  [[nodiscard]] ClipStatus PutBuffer(std::uint32_t format, const void* bytes, std::size_t count);
  // CF_TEXT with its terminating zero.
  [[nodiscard]] ClipStatus PutTextBuffer(std::string_view text);

  // Adds the graphic's clipboard form (and CF_PALETTE when it has a palette)
  // to what is on the clipboard. kOk only when every part was taken.
  [[nodiscard]] ClipStatus Assign(const TGraphic& source);
  [[nodiscard]] ClipStatus Assign(const TPicture& source);

  // Loads from the clipboard:
  // - a picture from the first format, in clipboard order, that a picture
  //   can load; EInvalidGraphic("Invalid clipboard format") when none is;
  // - a bitmap from CF_BITMAP, a metafile from CF_METAFILEPICT.
  // Each with the CF_PALETTE data. Bad or missing data throws
  // EInvalidGraphic and leaves the destination as it was.
  void AssignTo(TPicture& destination);
  void AssignTo(TBitmap& destination);
  void AssignTo(TMetafile& destination);

  // The format's data, exactly the block's bytes (status kAbsent when the
  // format is not there). Stands in for the data handle: the bytes are a
  // copy, the clipboard keeps its own.
  ClipData GetData(std::uint32_t format);

  // The number of formats on the clipboard (open or not).
  std::int32_t FormatCount();
  // The index-th format in clipboard order; 0 past the end or when the
  // clipboard is not open by the program.
  std::uint32_t FormatAt(std::int32_t index);
  // True when the format is available, or, for PictureFormat, when any
  // format a picture can load is. Works on a closed clipboard.
  bool HasFormat(std::uint32_t format);

 private:
  // Open/Close bracket for the operations above.
  class Use;

  void LoadGraphic(TGraphic& destination, std::uint32_t format);

  IClipboardSystem& system_;
  std::int32_t open_ref_count_ = 0;
};

// The process-wide clipboard object.
//
// Portable code owns no ports, so the instance cannot be made on first call
// from nothing: its owner (start-up, or a test fixture) constructs one with
// the clipboard port and installs it with a TheClipboardInstallation for as
// long as it lives. Calling TheClipboard() with nothing installed is a
// programming error and throws std::logic_error.
TClipboard& TheClipboard();

class TheClipboardInstallation {
 public:
  // Installs `clipboard`; the one installed before comes back on
  // destruction, so installations nest.
  explicit TheClipboardInstallation(TClipboard& clipboard);
  ~TheClipboardInstallation();
  TheClipboardInstallation(const TheClipboardInstallation&) = delete;
  TheClipboardInstallation& operator=(const TheClipboardInstallation&) = delete;

 private:
  TClipboard* previous_;
};

}  // namespace om
