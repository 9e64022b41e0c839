#include "clipboard/graphics.h"

#include <cstring>

namespace om {

namespace {

constexpr std::size_t kMetafilePictHeaderSize = 12;  // mm, xExt, yExt
constexpr std::size_t kMetaHeaderSize = 18;          // METAHEADER
constexpr std::size_t kMinEnhHeaderSize = 80;        // ENHMETAHEADER without its later fields
constexpr std::uint32_t kEnhSignature = 0x464D4520;  // " EMF"
constexpr std::size_t kCoreHeaderSize = 12;          // BITMAPCOREHEADER
constexpr std::size_t kInfoHeaderSize = 40;          // BITMAPINFOHEADER

// Little-endian reads; callers check the size first.
std::uint16_t U16(const Bytes& b, std::size_t at) { return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8)); }
std::uint32_t U32(const Bytes& b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
         (static_cast<std::uint32_t>(b[at + 2]) << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
std::int32_t I32(const Bytes& b, std::size_t at) { return static_cast<std::int32_t>(U32(b, at)); }
void PutI32(Bytes& b, std::int32_t value) {
  const auto v = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

bool IsPackedDib(const Bytes& dib) {
  if (dib.size() < kCoreHeaderSize) return false;
  const std::uint32_t header = U32(dib, 0);
  if (header == kCoreHeaderSize) return U16(dib, 4) > 0 && U16(dib, 6) > 0;
  if (header < kInfoHeaderSize || header > dib.size()) return false;
  return I32(dib, 4) > 0 && I32(dib, 8) != 0;
}

// A palette that does not hold what its count says is dropped rather than
// handed on: the bitmap is still good without it.
Bytes CheckedPalette(const Bytes& palette) {
  if (palette.size() < 4) return {};
  const std::size_t count = U16(palette, 2);
  if (count == 0 || 4 + 4 * count > palette.size()) return {};
  return Bytes(palette.begin(), palette.begin() + static_cast<std::ptrdiff_t>(4 + 4 * count));
}

}  // namespace

TBitmap::TBitmap(Bytes dib, Bytes palette) { LoadFromClipboardFormat(cf::kDib, dib, palette); }

ClipboardForm TBitmap::SaveToClipboardFormat() const { return {cf::kBitmap, dib_, palette_}; }

void TBitmap::LoadFromClipboardFormat(std::uint32_t format, const Bytes& data, const Bytes& palette) {
  if (format != cf::kBitmap && format != cf::kDib) throw EInvalidGraphic("Unsupported clipboard format for a bitmap");
  if (!IsPackedDib(data)) throw EInvalidGraphic("Invalid bitmap");
  dib_ = data;
  palette_ = CheckedPalette(palette);
}

std::int32_t TBitmap::Width() const {
  if (dib_.empty()) return 0;
  return U32(dib_, 0) == kCoreHeaderSize ? U16(dib_, 4) : I32(dib_, 4);
}

std::int32_t TBitmap::Height() const {
  if (dib_.empty()) return 0;
  return U32(dib_, 0) == kCoreHeaderSize ? U16(dib_, 6) : I32(dib_, 8);
}

ClipboardForm TMetafile::SaveToClipboardFormat() const {
  if (enhanced_) return {cf::kEnhMetafile, bits_, {}};
  ClipboardForm form{cf::kMetafilePict, {}, {}};
  if (bits_.empty()) return form;
  PutI32(form.data, map_mode_);
  PutI32(form.data, x_ext_);
  PutI32(form.data, y_ext_);
  form.data.insert(form.data.end(), bits_.begin(), bits_.end());
  return form;
}

void TMetafile::LoadFromClipboardFormat(std::uint32_t format, const Bytes& data, const Bytes& /*palette*/) {
  if (format == cf::kMetafilePict) {
    if (data.size() < kMetafilePictHeaderSize + kMetaHeaderSize) throw EInvalidGraphic("Invalid metafile");
    const std::size_t at = kMetafilePictHeaderSize;
    const std::uint16_t type = U16(data, at);
    if ((type != 1 && type != 2) || U16(data, at + 2) != kMetaHeaderSize / 2) throw EInvalidGraphic("Invalid metafile");
    enhanced_ = false;
    map_mode_ = I32(data, 0);
    x_ext_ = I32(data, 4);
    y_ext_ = I32(data, 8);
    bits_.assign(data.begin() + static_cast<std::ptrdiff_t>(at), data.end());
    return;
  }
  if (format == cf::kEnhMetafile) {
    if (data.size() < kMinEnhHeaderSize || U32(data, 0) != 1 || U32(data, 40) != kEnhSignature) {
      throw EInvalidGraphic("Invalid metafile");
    }
    enhanced_ = true;
    map_mode_ = x_ext_ = y_ext_ = 0;
    bits_ = data;
    return;
  }
  throw EInvalidGraphic("Unsupported clipboard format for a metafile");
}

bool TPicture::SupportsClipboardFormat(std::uint32_t format) {
  return format == cf::kBitmap || format == cf::kDib || format == cf::kMetafilePict || format == cf::kEnhMetafile;
}

void TPicture::LoadFromClipboardFormat(std::uint32_t format, const Bytes& data, const Bytes& palette) {
  if (format == cf::kBitmap || format == cf::kDib) {
    TBitmap bitmap;
    bitmap.LoadFromClipboardFormat(format, data, palette);
    graphic_ = std::move(bitmap);
  } else if (format == cf::kMetafilePict || format == cf::kEnhMetafile) {
    TMetafile metafile;
    metafile.LoadFromClipboardFormat(format, data, palette);
    graphic_ = std::move(metafile);
  } else {
    throw EInvalidGraphic("Unsupported clipboard format");
  }
}

const TGraphic* TPicture::Graphic() const {
  if (const TBitmap* bitmap = Bitmap()) return bitmap;
  return Metafile();
}

}  // namespace om
