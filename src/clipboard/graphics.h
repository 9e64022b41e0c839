// The small graphics layer the clipboard object needs: bitmaps and metafile
// pictures in the portable forms the clipboard port carries, and a picture
// that holds either. They convert to and from their clipboard forms and check
// the data they are given; drawing and files come with the clip store.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <variant>

#include "platform/types.h"

namespace om {

// Data the graphics layer cannot take as a picture.
class EInvalidGraphic : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// What a graphic gives to the clipboard, or is loaded from.
struct ClipboardForm {
  std::uint32_t format = 0;
  Bytes data;     // portable form of `format` (see platform/clipboard_system.h)
  Bytes palette;  // LOGPALETTE bytes for CF_PALETTE; empty: no palette
};

class TGraphic {
 public:
  virtual ~TGraphic() = default;
  virtual bool Empty() const = 0;
  virtual ClipboardForm SaveToClipboardFormat() const = 0;
  // Throws EInvalidGraphic when `data` is not a picture of this kind in
  // `format`; the graphic keeps what it held then.
  virtual void LoadFromClipboardFormat(std::uint32_t format, const Bytes& data, const Bytes& palette) = 0;
};

// A device-independent bitmap: a packed DIB (header, colour table, bits) and
// the palette that came with it, if any. Goes to the clipboard as CF_BITMAP
// (with CF_PALETTE when it has a palette); loads from CF_BITMAP or CF_DIB.
class TBitmap final : public TGraphic {
 public:
  TBitmap() = default;
  // Throws EInvalidGraphic for data that is not a packed DIB.
  explicit TBitmap(Bytes dib, Bytes palette = {});

  bool Empty() const override { return dib_.empty(); }
  ClipboardForm SaveToClipboardFormat() const override;
  void LoadFromClipboardFormat(std::uint32_t format, const Bytes& data, const Bytes& palette) override;

  const Bytes& Dib() const { return dib_; }
  const Bytes& Palette() const { return palette_; }
  // From the DIB's header; 0 when empty. Height is negative for top-down DIBs.
  std::int32_t Width() const;
  std::int32_t Height() const;

  // Same picture: the same DIB and palette. (Not defaulted: the abstract
  // base has nothing to compare and no operator==.)
  friend bool operator==(const TBitmap& a, const TBitmap& b) { return a.dib_ == b.dib_ && a.palette_ == b.palette_; }

 private:
  Bytes dib_;
  Bytes palette_;
};

// A metafile picture: either a Windows metafile with its mapping mode and
// extents (CF_METAFILEPICT) or an enhanced metafile (CF_ENHMETAFILE).
class TMetafile final : public TGraphic {
 public:
  TMetafile() = default;

  bool Empty() const override { return bits_.empty(); }
  ClipboardForm SaveToClipboardFormat() const override;
  void LoadFromClipboardFormat(std::uint32_t format, const Bytes& data, const Bytes& palette) override;

  bool Enhanced() const { return enhanced_; }
  std::int32_t MapMode() const { return map_mode_; }
  std::int32_t XExt() const { return x_ext_; }
  std::int32_t YExt() const { return y_ext_; }
  // The metafile bits (without the 12-byte picture header).
  const Bytes& Bits() const { return bits_; }

  friend bool operator==(const TMetafile& a, const TMetafile& b) {
    return a.enhanced_ == b.enhanced_ && a.map_mode_ == b.map_mode_ && a.x_ext_ == b.x_ext_ && a.y_ext_ == b.y_ext_ &&
           a.bits_ == b.bits_;
  }

 private:
  bool enhanced_ = false;
  std::int32_t map_mode_ = 0;
  std::int32_t x_ext_ = 0;
  std::int32_t y_ext_ = 0;
  Bytes bits_;
};

// A picture of whichever kind the clipboard offered.
class TPicture {
 public:
  // The formats a picture loads from: CF_BITMAP, CF_DIB, CF_METAFILEPICT and
  // CF_ENHMETAFILE (the forms the preview and the clip files can show).
  static bool SupportsClipboardFormat(std::uint32_t format);

  // Throws EInvalidGraphic for an unsupported format or bad data.
  void LoadFromClipboardFormat(std::uint32_t format, const Bytes& data, const Bytes& palette);

  // nullptr when the picture is empty.
  const TGraphic* Graphic() const;
  const TBitmap* Bitmap() const { return std::get_if<TBitmap>(&graphic_); }
  const TMetafile* Metafile() const { return std::get_if<TMetafile>(&graphic_); }
  void Clear() { graphic_ = std::monostate{}; }

 private:
  std::variant<std::monostate, TBitmap, TMetafile> graphic_;
};

}  // namespace om
