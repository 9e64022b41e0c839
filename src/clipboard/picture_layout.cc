#include "clipboard/picture_layout.h"

#include <algorithm>
#include <limits>

namespace om {
namespace {

constexpr std::uint32_t kCoreHeaderSize = 12;    // BITMAPCOREHEADER
constexpr std::uint32_t kInfoHeaderSize = 40;    // BITMAPINFOHEADER
constexpr std::uint32_t kV2HeaderSize = 52;      // the first header that holds its own masks
constexpr std::size_t kBitfieldMasksSize = 12;   // red, green and blue masks after a 40-byte header
// The system computes image sizes in 32-bit integers; a DIB whose pixel
// rows would not fit is refused whatever bytes it brings.
constexpr std::uint64_t kMaxImageBytes = std::numeric_limits<std::int32_t>::max();

constexpr std::size_t kMetaHeaderSize = 18;  // METAHEADER: 9 words
constexpr std::size_t kMetaRecordHeader = 6;  // rdSize (words) and rdFunction
constexpr std::uint16_t kMetaEof = 0x0000;

constexpr std::uint32_t kEmrHeader = 1;
constexpr std::uint32_t kEmrEof = 14;
constexpr std::uint32_t kEnhSignature = 0x464D4520;  // " EMF"
constexpr std::size_t kEnhMinHeaderSize = 88;        // ENHMETAHEADER up to szlMillimeters
constexpr std::size_t kEnhRecordHeader = 8;          // iType and nSize
constexpr std::uint32_t kEnhStockObject = 0x80000000;

std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
         (static_cast<std::uint32_t>(b[at + 2]) << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

std::uint64_t Stride(std::uint64_t width, unsigned bit_count) { return (width * bit_count + 31) / 32 * 4; }

// How a DIB's colour table is made: RGB entries (DIB_RGB_COLORS), or, in
// metafile records that say so, 16-bit indexes into the palette
// (DIB_PAL_COLORS) or none at all (DIB_PAL_INDICES).
enum class ColourTable { kRgb, kPaletteIndexes, kNone };

// The layout of the DIB header and tables at the start of `info`, all of
// which must lie within `info`, and the size of the bits it describes
// (not checked here: they may lie elsewhere). `scan_limit` caps the rows
// the bits must hold, for records that carry only some of a DIB's rows.
std::optional<DibLayout> CheckDibInfo(std::span<const std::uint8_t> info, ColourTable table,
                                      std::uint64_t scan_limit) {
  if (info.size() < 4) return std::nullopt;
  const std::uint32_t header_size = U32(info, 0);
  DibLayout layout;
  layout.header_size = header_size;
  std::uint32_t size_image = 0;
  std::uint32_t colours_used = 0;
  std::uint16_t planes = 0;
  if (header_size == kCoreHeaderSize) {
    if (info.size() < kCoreHeaderSize) return std::nullopt;
    layout.width = U16(info, 4);
    layout.height = U16(info, 6);  // always bottom-up
    planes = U16(info, 8);
    layout.bit_count = U16(info, 10);
    const unsigned bpp = layout.bit_count;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24) return std::nullopt;
  } else {
    if (header_size < kInfoHeaderSize || header_size > info.size()) return std::nullopt;
    layout.width = static_cast<std::int32_t>(U32(info, 4));
    layout.height = static_cast<std::int32_t>(U32(info, 8));
    planes = U16(info, 12);
    layout.bit_count = U16(info, 14);
    layout.compression = U32(info, 16);
    size_image = U32(info, 20);
    colours_used = U32(info, 32);
  }
  if (layout.width <= 0 || layout.height == 0 || layout.height == std::numeric_limits<std::int32_t>::min() ||
      planes != 1) {
    return std::nullopt;
  }
  const unsigned bpp = layout.bit_count;
  const std::uint32_t compression = layout.compression;

  // Which depths each compression takes; anything else is refused.
  switch (compression) {
    case dibcompression::kRgb:
      if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return std::nullopt;
      break;
    case dibcompression::kRle8:
    case dibcompression::kRle4:
      // Run-length bits are bottom-up only.
      if (bpp != (compression == dibcompression::kRle8 ? 8u : 4u) || layout.height < 0) return std::nullopt;
      break;
    case dibcompression::kBitfields:
      if (bpp != 16 && bpp != 32) return std::nullopt;
      // The system reads the three masks at offset 40 whatever the header's
      // size: after a 40-byte header, inside the larger ones.
      if (header_size == kInfoHeaderSize) {
        layout.masks_size = kBitfieldMasksSize;
      } else if (header_size < kV2HeaderSize) {
        return std::nullopt;
      }
      break;
    case dibcompression::kJpeg:
    case dibcompression::kPng:
      if (bpp != 0) return std::nullopt;
      break;
    default:
      return std::nullopt;
  }

  std::uint64_t colours = 0;
  if (bpp >= 1 && bpp <= 8) {
    const std::uint64_t full = std::uint64_t{1} << bpp;
    colours = colours_used == 0 ? full : colours_used;
    if (colours > full) return std::nullopt;
  } else {
    // Deeper DIBs may carry a table for palette devices; it comes before
    // the bits all the same.
    colours = colours_used;
  }
  layout.colour_entry_size = table == ColourTable::kNone             ? 0
                             : table == ColourTable::kPaletteIndexes ? 2
                             : layout.CoreHeader()                   ? 3
                                                                     : 4;
  const std::uint64_t bits_offset = std::uint64_t{header_size} + layout.masks_size + colours * layout.colour_entry_size;
  if (bits_offset > info.size()) return std::nullopt;
  layout.colour_count = static_cast<std::size_t>(colours);
  layout.bits_offset = static_cast<std::size_t>(bits_offset);

  // The decoded image, which the system allocates or walks, must have a
  // size it can compute.
  const std::uint64_t rows = static_cast<std::uint64_t>(layout.Rows());
  const std::uint64_t stride = Stride(static_cast<std::uint64_t>(layout.width), bpp == 0 ? 32 : bpp);
  if (stride > kMaxImageBytes || rows > kMaxImageBytes / stride) return std::nullopt;

  std::uint64_t bits = 0;
  if (layout.Uncompressed()) {
    bits = stride * std::min(rows, scan_limit);
  } else {
    // Compressed bits say their own size; the system decodes no further.
    bits = size_image;
    if (bits == 0) return std::nullopt;
  }
  layout.bits_size = static_cast<std::size_t>(bits);
  return layout;
}

constexpr std::uint64_t kAllRows = std::numeric_limits<std::uint64_t>::max();

// DIB_RGB_COLORS (0), DIB_PAL_COLORS (1), DIB_PAL_INDICES (2).
ColourTable TableOfUsage(std::uint32_t usage) {
  return usage == 0 ? ColourTable::kRgb : usage == 1 ? ColourTable::kPaletteIndexes : ColourTable::kNone;
}

// A DIB carried by a metafile record in two parts: its header and tables
// (`info`) and its bits (`bits`), each of which must hold what the header
// says. `usage` is how the record says its colour table is made
// (DIB_RGB_COLORS, DIB_PAL_COLORS or DIB_PAL_INDICES).
bool DibPartsHold(std::span<const std::uint8_t> info, std::span<const std::uint8_t> bits, std::uint32_t usage,
                  std::uint64_t scan_limit = kAllRows) {
  if (usage > 2) return false;
  const auto layout = CheckDibInfo(info, TableOfUsage(usage), scan_limit);
  return layout && layout->bits_size <= bits.size();
}

// The same for a DIB packed into the rest of a record from `at`.
bool PackedDibHolds(std::span<const std::uint8_t> record, std::size_t at, std::uint32_t usage,
                    std::uint64_t scan_limit = kAllRows) {
  if (at > record.size()) return false;
  const auto rest = record.subspan(at);
  if (usage > 2) return false;
  const auto layout = CheckDibInfo(rest, TableOfUsage(usage), scan_limit);
  return layout && layout->bits_size <= rest.size() - layout->bits_offset;
}

}  // namespace

std::optional<DibLayout> CheckPackedDib(std::span<const std::uint8_t> dib) {
  auto layout = CheckDibInfo(dib, ColourTable::kRgb, kAllRows);
  if (!layout || layout->bits_size > dib.size() - layout->bits_offset) return std::nullopt;
  return layout;
}

namespace {

// Windows metafile records that name an entry of the object table, and
// the parameter (in words after rdFunction) that holds each entry.
struct MetaObjectParameter {
  std::uint16_t function;
  std::size_t parameter;
};
constexpr MetaObjectParameter kMetaObjectParameters[] = {
    {0x012D, 0},  // META_SELECTOBJECT
    {0x01F0, 0},  // META_DELETEOBJECT
    {0x0234, 0},  // META_SELECTPALETTE
    {0x012C, 0},  // META_SELECTCLIPREGION
    {0x012A, 0},  // META_INVERTREGION
    {0x012B, 0},  // META_PAINTREGION
    {0x0228, 0},  // META_FILLREGION: the region
    {0x0228, 1},  // META_FILLREGION: the brush
    {0x0429, 2},  // META_FRAMEREGION: the region
    {0x0429, 3},  // META_FRAMEREGION: the brush
};

bool MetaObjectsWithinTable(std::span<const std::uint8_t> record, std::uint16_t function, std::uint16_t objects) {
  for (const MetaObjectParameter& p : kMetaObjectParameters) {
    if (p.function != function) continue;
    const std::size_t at = kMetaRecordHeader + 2 * p.parameter;
    if (at + 2 > record.size() || U16(record, at) >= objects) return false;
  }
  return true;
}

// A parameter of a Windows metafile record; 0 past the record's end (the
// callers check the record's size first).
std::uint16_t MetaParameter(std::span<const std::uint8_t> record, std::size_t index) {
  const std::size_t at = kMetaRecordHeader + 2 * index;
  return at + 2 <= record.size() ? U16(record, at) : 0;
}

// Windows metafile records that carry a bitmap: the DIB inside must hold
// what its header claims, since the system draws it from there unchecked.
bool MetaBitmapsHold(std::span<const std::uint8_t> record, std::uint16_t function) {
  const std::size_t words = record.size() / 2;
  const auto dib_at = [](std::size_t parameter) { return kMetaRecordHeader + 2 * parameter; };
  switch (function) {
    case 0x0940:  // META_DIBBITBLT: with a source bitmap when longer than 12 words
      return words <= 12 || PackedDibHolds(record, dib_at(8), 0);
    case 0x0B41:  // META_DIBSTRETCHBLT: likewise beyond 14 words
      return words <= 14 || PackedDibHolds(record, dib_at(10), 0);
    case 0x0F43:  // META_STRETCHDIB: the colour usage, then the DIB after 11 words
      return words >= 3 + 11 && PackedDibHolds(record, dib_at(11), MetaParameter(record, 2));
    case 0x0D33:  // META_SETDIBTODEV: usage, scan lines, ..., the DIB after 9 words
      return words >= 3 + 9 && PackedDibHolds(record, dib_at(9), MetaParameter(record, 0), MetaParameter(record, 1));
    case 0x0142:  // META_DIBCREATEPATTERNBRUSH: style, usage, the DIB
      return words >= 3 + 2 && PackedDibHolds(record, dib_at(2), MetaParameter(record, 1));
    case 0x0922:  // META_BITBLT
    case 0x0B23:  // META_STRETCHBLT
    case 0x01F9:  // META_CREATEPATTERNBRUSH
      // The 16-bit device bitmaps of these obsolete records are read
      // without regard to the record's size: refused.
      return false;
    default:
      return true;
  }
}

}  // namespace

std::optional<WindowsMetafileLayout> CheckWindowsMetafile(std::span<const std::uint8_t> bits) {
  if (bits.size() < kMetaHeaderSize) return std::nullopt;
  WindowsMetafileLayout layout;
  layout.type = U16(bits, 0);
  if (layout.type != 1 && layout.type != 2) return std::nullopt;
  if (U16(bits, 2) != kMetaHeaderSize / 2) return std::nullopt;
  const std::uint64_t size = std::uint64_t{U32(bits, 6)} * 2;
  if (size < kMetaHeaderSize || size > bits.size()) return std::nullopt;
  layout.size = static_cast<std::size_t>(size);
  layout.objects = U16(bits, 10);

  const std::span<const std::uint8_t> metafile = bits.first(layout.size);
  std::size_t offset = kMetaHeaderSize;
  for (;;) {
    // Each record at least moves on by 3 words, so the walk ends.
    if (metafile.size() - offset < kMetaRecordHeader) return std::nullopt;  // no end record
    const std::uint64_t record_size = std::uint64_t{U32(metafile, offset)} * 2;
    const std::uint16_t function = U16(metafile, offset + 4);
    if (record_size < kMetaRecordHeader || record_size > metafile.size() - offset) return std::nullopt;
    if (function == kMetaEof) {
      layout.eof_offset = offset;
      return layout;
    }
    const auto record = metafile.subspan(offset, static_cast<std::size_t>(record_size));
    if (!MetaObjectsWithinTable(record, function, layout.objects) || !MetaBitmapsHold(record, function)) {
      return std::nullopt;
    }
    offset += static_cast<std::size_t>(record_size);
    ++layout.records;
  }
}

namespace {

// Enhanced metafile records that name an entry of the object table, where
// (in bytes from the record's start) and whether a stock object may stand
// there instead.
struct EnhObjectField {
  std::uint32_t type;
  std::size_t at;
  bool stock_allowed;
};
constexpr EnhObjectField kEnhObjectFields[] = {
    {37, 8, true},    // EMR_SELECTOBJECT
    {40, 8, true},    // EMR_DELETEOBJECT
    {48, 8, true},    // EMR_SELECTPALETTE
    {38, 8, false},   // EMR_CREATEPEN
    {39, 8, false},   // EMR_CREATEBRUSHINDIRECT
    {49, 8, false},   // EMR_CREATEPALETTE
    {50, 8, false},   // EMR_SETPALETTEENTRIES
    {51, 8, false},   // EMR_RESIZEPALETTE
    {82, 8, false},   // EMR_EXTCREATEFONTINDIRECTW
    {93, 8, false},   // EMR_CREATEMONOBRUSH
    {94, 8, false},   // EMR_CREATEDIBPATTERNBRUSHPT
    {95, 8, false},   // EMR_EXTCREATEPEN
    {99, 8, false},   // EMR_CREATECOLORSPACE
    {100, 8, false},  // EMR_SETCOLORSPACE
    {101, 8, false},  // EMR_DELETECOLORSPACE
    {122, 8, false},  // EMR_CREATECOLORSPACEW
    {71, 28, false},  // EMR_FILLRGN: the brush
    {72, 28, false},  // EMR_FRAMERGN: the brush
};

bool EnhObjectsWithinTable(std::span<const std::uint8_t> record, std::uint32_t type, std::uint16_t handles) {
  for (const EnhObjectField& f : kEnhObjectFields) {
    if (f.type != type) continue;
    if (f.at + 4 > record.size()) return false;
    const std::uint32_t index = U32(record, f.at);
    if (f.stock_allowed && (index & kEnhStockObject) != 0) continue;
    if (index >= handles) return false;
  }
  return true;
}

// Enhanced metafile records that carry bitmaps: where the colour usage
// and the four fields offBmi, cbBmi, offBits, cbBits lie (in bytes from
// the record's start), the record's least size, and for one record the
// number of scan lines it carries.
struct EnhBitmapFields {
  std::uint32_t type;
  std::size_t min_size;
  std::size_t usage_at;
  std::size_t parts_at;
  std::size_t scans_at;  // 0: all rows
};
constexpr EnhBitmapFields kEnhBitmapFields[] = {
    {76, 100, 80, 84, 0},   // EMR_BITBLT
    {77, 108, 80, 84, 0},   // EMR_STRETCHBLT
    {78, 128, 80, 84, 0},   // EMR_MASKBLT: the source
    {78, 128, 108, 112, 0}, // EMR_MASKBLT: the mask
    {79, 140, 92, 96, 0},   // EMR_PLGBLT: the source
    {79, 140, 120, 124, 0}, // EMR_PLGBLT: the mask
    {80, 76, 64, 48, 72},   // EMR_SETDIBITSTODEVICE
    {81, 80, 64, 48, 0},    // EMR_STRETCHDIBITS
    {93, 32, 12, 16, 0},    // EMR_CREATEMONOBRUSH
    {94, 32, 12, 16, 0},    // EMR_CREATEDIBPATTERNBRUSHPT
    {114, 108, 80, 84, 0},  // EMR_ALPHABLEND
    {116, 108, 80, 84, 0},  // EMR_TRANSPARENTBLT
};

bool EnhBitmapsHold(std::span<const std::uint8_t> record, std::uint32_t type) {
  for (const EnhBitmapFields& f : kEnhBitmapFields) {
    if (f.type != type) continue;
    if (record.size() < f.min_size) return false;
    const std::uint64_t info_at = U32(record, f.parts_at);
    const std::uint64_t info_size = U32(record, f.parts_at + 4);
    const std::uint64_t bits_at = U32(record, f.parts_at + 8);
    const std::uint64_t bits_size = U32(record, f.parts_at + 12);
    // A transfer without a source bitmap fills with the brush only.
    if (info_size == 0 && type != 93 && type != 94 && type != 80 && type != 81) continue;
    if (info_at + info_size > record.size() || bits_at + bits_size > record.size()) return false;
    const std::uint64_t scans = f.scans_at != 0 ? U32(record, f.scans_at) : kAllRows;
    if (!DibPartsHold(record.subspan(info_at, info_size), record.subspan(bits_at, bits_size), U32(record, f.usage_at),
                      scans)) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::optional<EnhMetafileLayout> CheckEnhMetafile(std::span<const std::uint8_t> bits) {
  if (bits.size() < kEnhMinHeaderSize) return std::nullopt;
  if (U32(bits, 0) != kEmrHeader || U32(bits, 40) != kEnhSignature) return std::nullopt;
  EnhMetafileLayout layout;
  layout.header_size = U32(bits, 4);
  const std::uint32_t size = U32(bits, 48);
  if (size > bits.size() || layout.header_size < kEnhMinHeaderSize || layout.header_size > size) return std::nullopt;
  layout.size = size;
  layout.handles = U16(bits, 56);

  const std::span<const std::uint8_t> metafile = bits.first(layout.size);
  std::size_t offset = 0;
  std::uint32_t last_type = 0;
  while (offset < metafile.size()) {
    if (metafile.size() - offset < kEnhRecordHeader) return std::nullopt;
    const std::uint32_t type = U32(metafile, offset);
    const std::uint32_t record_size = U32(metafile, offset + 4);
    // A record of size 0 would have the system play the same record for
    // ever; one not a multiple of 4 is refused by the system itself.
    if (record_size < kEnhRecordHeader || record_size % 4 != 0 || record_size > metafile.size() - offset) {
      return std::nullopt;
    }
    if (offset > 0 && type == kEmrHeader) return std::nullopt;  // one header, at the start
    const auto record = metafile.subspan(offset, record_size);
    if (!EnhObjectsWithinTable(record, type, layout.handles) || !EnhBitmapsHold(record, type)) return std::nullopt;
    offset += record_size;
    last_type = type;
    ++layout.records;
  }
  if (last_type != kEmrEof) return std::nullopt;
  return layout;
}

}  // namespace om
