// Clip-store bytes laid out by hand from the record layouts (clip_files.cc),
// independent of the program's own stream classes. The store tests build
// their golden records with these, and so does the fuzzing seed corpus
// (fuzz/), which is why this header needs nothing but the standard library
// and the program's byte type.
#pragma once

#include <bit>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/types.h"
#include "store/clip_data.h"

namespace om::testing {

// Bytes laid out by hand, field by field.
class Golden {
 public:
  Golden& u8(std::uint8_t v) {
    bytes_.push_back(v);
    return *this;
  }
  Golden& u16(std::uint16_t v) { return u8(v & 0xFF).u8(v >> 8); }
  Golden& i32(std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    return u8(u & 0xFF).u8((u >> 8) & 0xFF).u8((u >> 16) & 0xFF).u8(u >> 24);
  }
  Golden& f64(double v) {
    const auto bits = std::bit_cast<std::uint64_t>(v);
    for (int i = 0; i < 8; ++i) u8(static_cast<std::uint8_t>(bits >> (8 * i)));
    return *this;
  }
  // Short string: length byte, then the characters.
  Golden& str(const std::string& s) {
    u8(static_cast<std::uint8_t>(s.size()));
    return raw(s);
  }
  Golden& raw(const std::string& s) {
    bytes_.insert(bytes_.end(), s.begin(), s.end());
    return *this;
  }
  Golden& raw(const Bytes& b) {
    bytes_.insert(bytes_.end(), b.begin(), b.end());
    return *this;
  }
  const Bytes& bytes() const { return bytes_; }
  operator const Bytes&() const { return bytes_; }

 private:
  Bytes bytes_;
};

inline Bytes TextBlock(const std::string& text) {
  Bytes b(text.begin(), text.end());
  b.push_back(0);
  return b;
}

// Format records written from the layout: tag, type, name, number, size,
// selected (from 510), then for memory blocks the length and the bytes.
inline Golden BlockRecord(const std::string& tag, std::uint16_t number, const std::string& name, const Bytes& data,
                          std::optional<bool> selected = true) {
  Golden g;
  g.str(tag).i32(formattype::kHandle).str(name).u16(number).i32(static_cast<std::int32_t>(data.size()));
  if (selected) g.u8(*selected ? 1 : 0);
  g.i32(static_cast<std::int32_t>(data.size())).raw(data);
  return g;
}
inline Golden TextRecord(const std::string& text) {
  return BlockRecord("TCLIPDATA.510", cf::kText, "TEXT", TextBlock(text));
}
inline Golden PictureRecord(std::uint8_t type, std::uint16_t number, const std::string& name) {
  return Golden().str("TCLIPDATA.510").i32(type).str(name).u16(number).i32(0).u8(1);
}

}  // namespace om::testing
