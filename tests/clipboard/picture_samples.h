// Pictures laid out by hand, field by field, from the packed-DIB, Windows
// metafile and enhanced metafile layouts: valid ones of the usual kinds and
// the means to make them lie. The picture-layout tests and the fuzzing seed
// corpus (fuzz/picture_layout_fuzz.cc) are built from these, so this header
// needs nothing but the standard library and the program's byte type.
#pragma once

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "platform/types.h"

namespace om::testing {

inline void PutU16(Bytes& b, std::size_t at, std::uint16_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline void PutU32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void AppendU16(Bytes& b, std::uint16_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void AppendU32(Bytes& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// --- packed DIBs ---

struct DibShape {
  std::int32_t width = 4;
  std::int32_t height = 3;  // negative: top-down
  std::uint16_t bit_count = 24;
  std::uint32_t compression = 0;  // BI_RGB
  std::uint32_t colours_used = 0;
  std::uint32_t header_size = 40;
};

inline std::size_t SampleStride(std::int32_t width, unsigned bit_count) {
  return (static_cast<std::size_t>(width) * bit_count + 31) / 32 * 4;
}

// A packed DIB of the given shape: header, the masks of BI_BITFIELDS
// after a 40-byte header (5-6-5 for 16 bits, 8-8-8 for 32), the colour table
// (grey steps; colours_used entries, or all for 8 bits and less), then the
// rows with a pattern of bytes. Run-length DIBs get `rle` as their bits.
inline Bytes SampleDib(const DibShape& shape, const Bytes& rle = {}) {
  Bytes b(shape.header_size, 0);
  PutU32(b, 0, shape.header_size);
  PutU32(b, 4, static_cast<std::uint32_t>(shape.width));
  PutU32(b, 8, static_cast<std::uint32_t>(shape.height));
  PutU16(b, 12, 1);
  PutU16(b, 14, shape.bit_count);
  PutU32(b, 16, shape.compression);
  PutU32(b, 32, shape.colours_used);
  const bool bitfields = shape.compression == 3;
  if (bitfields) {
    const std::uint32_t masks[3] = {shape.bit_count == 16 ? 0xF800u : 0xFF0000u, shape.bit_count == 16 ? 0x07E0u : 0xFF00u,
                                    shape.bit_count == 16 ? 0x001Fu : 0xFFu};
    if (shape.header_size == 40) {
      for (std::uint32_t m : masks) AppendU32(b, m);
    } else if (shape.header_size >= 52) {
      for (int i = 0; i < 3; ++i) PutU32(b, 40 + 4 * i, masks[i]);
    }
  }
  std::size_t colours = shape.colours_used;
  if (colours == 0 && shape.bit_count >= 1 && shape.bit_count <= 8) colours = std::size_t{1} << shape.bit_count;
  for (std::size_t i = 0; i < colours; ++i) {
    const auto grey = static_cast<std::uint8_t>(i * 255 / (colours > 1 ? colours - 1 : 1));
    b.insert(b.end(), {grey, grey, grey, 0});
  }
  if (shape.compression == 1 || shape.compression == 2) {
    PutU32(b, 20, static_cast<std::uint32_t>(rle.size()));
    b.insert(b.end(), rle.begin(), rle.end());
    return b;
  }
  const std::size_t rows = static_cast<std::size_t>(shape.height < 0 ? -shape.height : shape.height);
  const std::size_t bits = SampleStride(shape.width, shape.bit_count) * rows;
  PutU32(b, 20, static_cast<std::uint32_t>(bits));
  for (std::size_t i = 0; i < bits; ++i) b.push_back(static_cast<std::uint8_t>(i * 37 + 11));
  return b;
}

// An old-style DIB: a 12-byte core header, a colour table of RGB triples.
inline Bytes SampleCoreDib(std::uint16_t width, std::uint16_t height, std::uint16_t bit_count) {
  Bytes b(12, 0);
  PutU32(b, 0, 12);
  PutU16(b, 4, width);
  PutU16(b, 6, height);
  PutU16(b, 8, 1);
  PutU16(b, 10, bit_count);
  if (bit_count <= 8) {
    for (std::size_t i = 0; i < (std::size_t{1} << bit_count); ++i) b.insert(b.end(), {0x10, 0x80, 0xF0});
  }
  const std::size_t bits = SampleStride(width, bit_count) * height;
  for (std::size_t i = 0; i < bits; ++i) b.push_back(static_cast<std::uint8_t>(i * 13 + 5));
  return b;
}

// Run-length bits of a 4 x 2, 8-bit DIB: each line one run, then the end.
inline Bytes SampleRle8() { return {4, 1, 0, 0, 4, 2, 0, 0, 0, 1}; }

// --- Windows metafiles ---

// Records after a METAHEADER, then the end record; mtSize, mtMaxRecord and
// mtNoObjects (unless set) follow from what was added.
class SampleWmf {
 public:
  SampleWmf& Record(std::uint16_t function, std::initializer_list<std::uint16_t> parameters) {
    Bytes r;
    AppendU32(r, static_cast<std::uint32_t>(3 + parameters.size()));
    AppendU16(r, function);
    for (std::uint16_t p : parameters) AppendU16(r, p);
    records_.push_back(r);
    return *this;
  }
  // A record whose parameters are followed by `data` (a DIB, say), padded
  // to whole words.
  SampleWmf& Record(std::uint16_t function, std::initializer_list<std::uint16_t> parameters, const Bytes& data) {
    Record(function, parameters);
    Bytes& r = records_.back();
    r.insert(r.end(), data.begin(), data.end());
    if (r.size() % 2 != 0) r.push_back(0);
    PutU32(r, 0, static_cast<std::uint32_t>(r.size() / 2));
    return *this;
  }
  SampleWmf& Objects(std::uint16_t count) {
    objects_ = count;
    return *this;
  }
  // No end record at all.
  SampleWmf& WithoutEnd() {
    end_ = false;
    return *this;
  }
  Bytes Bits() const {
    Bytes b;
    AppendU16(b, 1);      // mtType: memory
    AppendU16(b, 9);      // mtHeaderSize in words
    AppendU16(b, 0x300);  // mtVersion
    AppendU32(b, 0);      // mtSize, below
    AppendU16(b, objects_);
    AppendU32(b, 3);  // mtMaxRecord, below
    AppendU16(b, 0);  // mtNoParameters
    std::uint32_t largest = 3;
    for (const Bytes& r : records_) {
      b.insert(b.end(), r.begin(), r.end());
      largest = std::max<std::uint32_t>(largest, static_cast<std::uint32_t>(r.size() / 2));
    }
    if (end_) {
      AppendU32(b, 3);
      AppendU16(b, 0);  // META_EOF
    }
    PutU32(b, 6, static_cast<std::uint32_t>(b.size() / 2));
    PutU32(b, 12, largest);
    return b;
  }

 private:
  std::vector<Bytes> records_;
  std::uint16_t objects_ = 0;
  bool end_ = true;
};

// A Windows metafile that draws: a brush made, selected, a rectangle
// filled with it, the brush deleted.
inline Bytes SampleWmfDrawing() {
  return SampleWmf()
      .Objects(1)
      .Record(0x0103, {8})                    // META_SETMAPMODE: MM_ANISOTROPIC
      .Record(0x020B, {0, 0})                 // META_SETWINDOWORG
      .Record(0x020C, {100, 200})             // META_SETWINDOWEXT
      .Record(0x02FC, {0, 0x00FF, 0x0000, 0}) // META_CREATEBRUSHINDIRECT: solid red
      .Record(0x012D, {0})                    // META_SELECTOBJECT
      .Record(0x041B, {100, 200, 0, 0})       // META_RECTANGLE
      .Record(0x01F0, {0})                    // META_DELETEOBJECT
      .Bits();
}

// A Windows metafile that stretches a DIB onto the page (META_STRETCHDIB:
// raster operation, colour usage, source and target rectangles, the DIB).
inline Bytes SampleWmfWithDib(const Bytes& dib, std::uint16_t usage = 0) {
  return SampleWmf().Record(0x0F43, {0x0020, 0x00CC /*SRCCOPY*/, usage, 3, 4, 0, 0, 30, 40, 0, 0}, dib).Bits();
}

// --- enhanced metafiles ---

// A header record of 108 bytes (frame 0,0 - 2000,1000 hundredths of a
// millimetre), the records added, then EMR_EOF; nBytes, nRecords and
// nHandles (unless set) follow from what was added.
class SampleEmf {
 public:
  SampleEmf& Record(std::uint32_t type, std::initializer_list<std::uint32_t> fields) {
    Bytes r;
    AppendU32(r, type);
    AppendU32(r, static_cast<std::uint32_t>(8 + 4 * fields.size()));
    for (std::uint32_t f : fields) AppendU32(r, f);
    records_.push_back(r);
    return *this;
  }
  // A record whose fields are followed by `data`, padded to a multiple of 4.
  SampleEmf& Record(std::uint32_t type, std::initializer_list<std::uint32_t> fields, const Bytes& data) {
    Record(type, fields);
    Bytes& r = records_.back();
    r.insert(r.end(), data.begin(), data.end());
    while (r.size() % 4 != 0) r.push_back(0);
    PutU32(r, 4, static_cast<std::uint32_t>(r.size()));
    return *this;
  }
  SampleEmf& Handles(std::uint16_t count) {
    handles_ = count;
    return *this;
  }
  SampleEmf& WithoutEnd() {
    end_ = false;
    return *this;
  }
  Bytes Bits() const {
    Bytes b(108, 0);
    PutU32(b, 0, 1);    // EMR_HEADER
    PutU32(b, 4, 108);  // nSize
    PutU32(b, 8, 0);    // rclBounds: 0,0 - 75,37 pixels
    PutU32(b, 16, 75);
    PutU32(b, 20, 37);
    PutU32(b, 32, 2000);  // rclFrame: 0,0 - 2000,1000
    PutU32(b, 36, 1000);
    PutU32(b, 40, 0x464D4520);  // " EMF"
    PutU32(b, 44, 0x10000);     // nVersion
    PutU16(b, 56, handles_);
    PutU32(b, 72, 1024);  // szlDevice
    PutU32(b, 76, 768);
    PutU32(b, 80, 270);  // szlMillimeters
    PutU32(b, 84, 203);
    for (const Bytes& r : records_) b.insert(b.end(), r.begin(), r.end());
    std::uint32_t records = static_cast<std::uint32_t>(records_.size()) + 1;
    if (end_) {
      AppendU32(b, 14);  // EMR_EOF
      AppendU32(b, 20);
      AppendU32(b, 0);   // nPalEntries
      AppendU32(b, 16);  // offPalEntries
      AppendU32(b, 20);  // nSizeLast
      ++records;
    }
    PutU32(b, 48, static_cast<std::uint32_t>(b.size()));  // nBytes
    PutU32(b, 52, records);
    return b;
  }

 private:
  std::vector<Bytes> records_;
  std::uint16_t handles_ = 1;  // entry 0 is the metafile itself
  bool end_ = true;
};

// An enhanced metafile that draws: a red brush made in entry 1, selected,
// a rectangle, the brush deleted.
inline Bytes SampleEmfDrawing() {
  return SampleEmf()
      .Handles(2)
      .Record(39, {1, 0 /*BS_SOLID*/, 0x0000FF /*red*/, 0})  // EMR_CREATEBRUSHINDIRECT
      .Record(37, {1})                                        // EMR_SELECTOBJECT
      .Record(37, {0x80000000 | 8})                           // EMR_SELECTOBJECT: the stock null pen
      .Record(43, {0, 0, 75, 37})                             // EMR_RECTANGLE
      .Record(40, {1})                                        // EMR_DELETEOBJECT
      .Bits();
}

// An enhanced metafile that stretches a DIB onto the page
// (EMR_STRETCHDIBITS: bounds, target and source, where the header and the
// bits lie, colour usage, raster operation, target size; then the DIB).
// The DIB's bits start at `bits_offset` within it.
inline Bytes SampleEmfWithDib(const Bytes& dib, std::size_t bits_offset, std::uint32_t usage = 0) {
  constexpr std::uint32_t kFixed = 80;
  const auto info = static_cast<std::uint32_t>(bits_offset);
  const auto bits = static_cast<std::uint32_t>(dib.size() - bits_offset);
  return SampleEmf()
      .Record(81, {0, 0, 39, 29, 0, 0, 0, 0, 4, 3, kFixed, info, kFixed + info, bits, usage, 0x00CC0020, 40, 30}, dib)
      .Bits();
}

}  // namespace om::testing
