// Small but well-formed pictures in the clipboard port's portable forms.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "platform/types.h"

namespace om::testing {

inline void PutLE(Bytes& b, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) b.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A 2×1, 24-bit packed DIB.
inline Bytes SmallDib(std::uint8_t red = 0xFF) {
  Bytes b;
  PutLE(b, 40, 4);  // biSize
  PutLE(b, 2, 4);   // biWidth
  PutLE(b, 1, 4);   // biHeight
  PutLE(b, 1, 2);   // biPlanes
  PutLE(b, 24, 2);  // biBitCount
  PutLE(b, 0, 4);   // BI_RGB
  PutLE(b, 8, 4);   // biSizeImage
  for (int i = 0; i < 4; ++i) PutLE(b, 0, 4);
  for (std::uint8_t px :
       {std::uint8_t{0}, std::uint8_t{0}, red, std::uint8_t{0}, std::uint8_t{0xFF}, std::uint8_t{0}}) {
    b.push_back(px);
  }
  PutLE(b, 0, 2);  // row padding
  return b;
}

// A LOGPALETTE of two entries.
inline Bytes SmallPalette() {
  Bytes b;
  PutLE(b, 0x300, 2);
  PutLE(b, 2, 2);
  for (std::uint8_t v : {0, 0, 0, 0, 255, 255, 255, 0}) b.push_back(v);
  return b;
}

// The bits of a Windows metafile: its header and the end record.
inline Bytes MetafileBits() {
  Bytes b;
  PutLE(b, 1, 2);      // mtType: memory
  PutLE(b, 9, 2);      // mtHeaderSize in words
  PutLE(b, 0x300, 2);  // mtVersion
  PutLE(b, 12, 4);     // mtSize in words
  PutLE(b, 0, 2);      // mtNoObjects
  PutLE(b, 3, 4);      // mtMaxRecord
  PutLE(b, 0, 2);      // mtNoParameters
  PutLE(b, 3, 4);      // end record: size 3 words
  PutLE(b, 0, 2);      // META_EOF
  return b;
}

// CF_METAFILEPICT's portable form: mapping mode, extents, metafile bits.
inline Bytes MetafilePict(std::int32_t mm, std::int32_t x_ext, std::int32_t y_ext) {
  Bytes b;
  PutLE(b, static_cast<std::uint32_t>(mm), 4);
  PutLE(b, static_cast<std::uint32_t>(x_ext), 4);
  PutLE(b, static_cast<std::uint32_t>(y_ext), 4);
  const Bytes bits = MetafileBits();
  b.insert(b.end(), bits.begin(), bits.end());
  return b;
}

// An enhanced metafile: its header record (88 bytes) and nothing else.
inline Bytes EnhMetafile() {
  Bytes b;
  PutLE(b, 1, 4);   // EMR_HEADER
  PutLE(b, 88, 4);  // nSize
  while (b.size() < 40) b.push_back(0);
  PutLE(b, 0x464D4520, 4);  // " EMF"
  while (b.size() < 88) b.push_back(0);
  return b;
}

}  // namespace om::testing
