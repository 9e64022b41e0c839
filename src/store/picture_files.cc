#include "store/picture_files.h"

#include <array>
#include <cmath>
#include <cstdlib>

namespace om {

namespace {

constexpr std::size_t kFileHeaderSize = 14;       // BITMAPFILEHEADER
constexpr std::uint16_t kBitmapFileType = 0x4D42;  // "BM"
constexpr std::uint32_t kCoreHeaderSize = 12;      // BITMAPCOREHEADER
constexpr std::uint32_t kInfoHeaderSize = 40;      // BITMAPINFOHEADER
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::uint32_t kBiAlphaBitfields = 6;

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::size_t kPlaceableHeaderSize = 22;
constexpr std::uint32_t kEnhSignature = 0x464D4520;  // " EMF" at offset 40
constexpr std::int32_t kMmText = 1, kMmLoMetric = 2, kMmHiMetric = 3, kMmLoEnglish = 4, kMmHiEnglish = 5,
                       kMmTwips = 6, kMmAnisotropic = 8;
constexpr std::int32_t kHiMetricPerInch = 2540;

std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
         (static_cast<std::uint32_t>(b[at + 2]) << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
void Put16(Bytes& b, std::uint16_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(Bytes& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// Where the pixel bits start in a packed DIB: header, bit-field masks and
// colour table. Never beyond the DIB, whatever its header claims.
std::size_t PixelOffset(std::span<const std::uint8_t> dib) {
  if (dib.size() < 4) return dib.size();
  const std::uint64_t header = U32(dib, 0);
  std::uint64_t offset = header;
  if (header == kCoreHeaderSize && dib.size() >= kCoreHeaderSize) {
    const std::uint16_t bit_count = U16(dib, 10);
    if (bit_count <= 8) offset += 3ull << bit_count;
  } else if (header >= kInfoHeaderSize && dib.size() >= kInfoHeaderSize) {
    const std::uint16_t bit_count = U16(dib, 14);
    const std::uint32_t compression = U32(dib, 16);
    const std::uint64_t colours_used = U32(dib, 32);
    if (header == kInfoHeaderSize && compression == kBiBitfields) offset += 12;
    if (header == kInfoHeaderSize && compression == kBiAlphaBitfields) offset += 16;
    const std::uint64_t colours = colours_used != 0 ? colours_used : (bit_count <= 8 ? 1ull << bit_count : 0);
    offset += 4 * colours;
  }
  return offset > dib.size() ? dib.size() : static_cast<std::size_t>(offset);
}

Bytes PictHeader(std::int32_t mm, std::int32_t x_ext, std::int32_t y_ext) {
  Bytes header;
  Put32(header, static_cast<std::uint32_t>(mm));
  Put32(header, static_cast<std::uint32_t>(x_ext));
  Put32(header, static_cast<std::uint32_t>(y_ext));
  return header;
}

// The picture's size in hundredths of a millimetre.
double HiMetric(std::int32_t mm, std::int32_t extent) {
  const double e = extent;
  switch (mm) {
    case kMmText: return e * kHiMetricPerInch / 96.0;  // pixels of a standard screen
    case kMmLoMetric: return e * 10.0;
    case kMmHiMetric: return e;
    case kMmLoEnglish: return e * kHiMetricPerInch / 100.0;
    case kMmHiEnglish: return e * kHiMetricPerInch / 1000.0;
    case kMmTwips: return e * kHiMetricPerInch / 1440.0;
    default: return e;  // isotropic and anisotropic pictures give their extents in hundredths
  }
}

}  // namespace

Bytes BitmapFileBytes(const TBitmap& bitmap) {
  const Bytes& dib = bitmap.Dib();
  Bytes file;
  file.reserve(kFileHeaderSize + dib.size());
  Put16(file, kBitmapFileType);
  Put32(file, static_cast<std::uint32_t>(kFileHeaderSize + dib.size()));
  Put16(file, 0);
  Put16(file, 0);
  Put32(file, static_cast<std::uint32_t>(kFileHeaderSize + PixelOffset(dib)));
  file.insert(file.end(), dib.begin(), dib.end());
  return file;
}

TBitmap BitmapFromFileBytes(std::span<const std::uint8_t> file) {
  if (file.size() < kFileHeaderSize + kCoreHeaderSize || U16(file, 0) != kBitmapFileType) {
    throw EInvalidGraphic("Invalid bitmap file");
  }
  const std::span<const std::uint8_t> dib = file.subspan(kFileHeaderSize);
  const std::size_t table_end = PixelOffset(dib);
  const std::uint64_t bits_at = U32(file, 10);
  Bytes packed;
  if (bits_at > kFileHeaderSize + table_end && bits_at <= file.size()) {
    // Some writers leave a gap before the pixel bits; a packed DIB has none.
    packed.assign(dib.begin(), dib.begin() + static_cast<std::ptrdiff_t>(table_end));
    packed.insert(packed.end(), file.begin() + static_cast<std::ptrdiff_t>(bits_at), file.end());
  } else {
    packed.assign(dib.begin(), dib.end());
  }
  return TBitmap(std::move(packed));
}

Bytes MetafileFileBytes(const TMetafile& metafile) {
  if (metafile.Enhanced()) return metafile.Bits();
  const double width = HiMetric(metafile.MapMode(), metafile.XExt());
  const double height = HiMetric(metafile.MapMode(), metafile.YExt());
  // The bounding box is 16-bit: the finest unit (a divisor of 2540, so the
  // units per inch stay whole) in which the size fits.
  static constexpr std::array<std::int32_t, 12> kDivisors = {1, 2, 4, 5, 10, 20, 127, 254, 508, 635, 1270, 2540};
  std::int32_t divisor = kDivisors.back();
  for (std::int32_t d : kDivisors) {
    const double w = std::round(width / d), h = std::round(height / d);
    if (w >= -32768 && w <= 32767 && h >= -32768 && h <= 32767) {
      divisor = d;
      break;
    }
  }
  const auto clamp16 = [](double v) {
    return static_cast<std::int16_t>(v < -32768 ? -32768 : (v > 32767 ? 32767 : v));
  };
  const std::int16_t right = clamp16(std::round(width / divisor));
  const std::int16_t bottom = clamp16(std::round(height / divisor));
  const std::uint16_t inch = static_cast<std::uint16_t>(kHiMetricPerInch / divisor);

  Bytes file;
  Put32(file, kPlaceableKey);
  Put16(file, 0);  // handle: always 0 in a file
  Put16(file, 0);  // left
  Put16(file, 0);  // top
  Put16(file, static_cast<std::uint16_t>(right));
  Put16(file, static_cast<std::uint16_t>(bottom));
  Put16(file, inch);
  Put32(file, 0);  // reserved
  std::uint16_t checksum = 0;
  for (std::size_t i = 0; i < 20; i += 2) checksum ^= U16(file, i);
  Put16(file, checksum);
  file.insert(file.end(), metafile.Bits().begin(), metafile.Bits().end());
  return file;
}

TMetafile MetafileFromFileBytes(std::span<const std::uint8_t> file) {
  TMetafile metafile;
  if (file.size() >= 44 && U32(file, 0) == 1 && U32(file, 40) == kEnhSignature) {
    metafile.LoadFromClipboardFormat(cf::kEnhMetafile, Bytes(file.begin(), file.end()), {});
    return metafile;
  }
  std::int32_t x_ext = 0, y_ext = 0;
  std::span<const std::uint8_t> bits = file;
  if (file.size() >= kPlaceableHeaderSize && U32(file, 0) == kPlaceableKey) {
    const auto left = static_cast<std::int16_t>(U16(file, 6));
    const auto top = static_cast<std::int16_t>(U16(file, 8));
    const auto right = static_cast<std::int16_t>(U16(file, 10));
    const auto bottom = static_cast<std::int16_t>(U16(file, 12));
    const std::uint16_t inch = U16(file, 14);
    if (inch != 0) {
      x_ext = static_cast<std::int32_t>(std::lround((right - left) * double{kHiMetricPerInch} / inch));
      y_ext = static_cast<std::int32_t>(std::lround((bottom - top) * double{kHiMetricPerInch} / inch));
    }
    bits = file.subspan(kPlaceableHeaderSize);
  }
  Bytes data = PictHeader(kMmAnisotropic, x_ext, y_ext);
  data.insert(data.end(), bits.begin(), bits.end());
  metafile.LoadFromClipboardFormat(cf::kMetafilePict, data, {});
  return metafile;
}

}  // namespace om
