// Clip-store bytes laid out by hand from the record and file layouts
// (clip_files.cc, coll_file.cc), independent of the program's own stream
// classes. The store tests build their golden records and collection files
// with these, and so does the fuzzing seed corpus (fuzz/), which is why this
// header needs nothing but the standard library and the program's byte type.
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

inline constexpr double kClipStamp = 45000.25;  // 2023-03-15 06:00

// A clip record of one CF_TEXT format, inline, in the layout of `version`
// (400: icon flags; 503: sort key; 510: source URL).
inline Golden ClipRecord(int version, const std::string& title, std::int32_t serial, std::int32_t sort_key,
                         const std::string& text) {
  Golden g;
  g.str("CLIP." + std::to_string(version)).str(title).str("NOTEPAD");
  if (version >= 400) g.i32(1);
  g.f64(kClipStamp).i32(0).i32(serial);
  if (version >= 503) g.i32(sort_key);
  g.i32(1);
  if (version >= 510) g.str("");
  g.u8(0).raw(TextRecord(text));
  return g;
}

// The header of a collection file of `version` (0: a tag that is not one)
// up to and with the clip count; the fields a version lacks are left out.
struct CollHeader {
  int version = 505;
  std::string tag;  // overrides "COLL.<version>"
  bool accept_new_clips = true;
  std::int32_t last_serial = 3;
  std::uint8_t coll_type = 2;
  std::uint8_t modified = 1, reserved1 = 0, reserved2 = 0;
  std::int32_t max_items = 50, max_days = 7, new_clip_position = 1;
  std::string title = "Golden";
  std::int32_t icon_index = 11, tree_sort_key = 300;
  bool accept_duplicates = true;
  std::int32_t last_clip_sort_key = 300, list_sort_column = 4;
  bool list_sort_ascending = true, favorite = true;
  std::int32_t count = 0;

  Golden Bytes() const {
    Golden g;
    g.str(tag.empty() ? "COLL." + std::to_string(version) : tag);
    if (version >= 401) g.u8(accept_new_clips ? 1 : 0);
    g.i32(last_serial).u8(coll_type).u8(modified).u8(reserved1).u8(reserved2);
    if (version < 500) g.u8(0x5A);
    g.i32(max_items).i32(max_days).i32(new_clip_position).str(title);
    if (version >= 500) g.i32(icon_index);
    if (version >= 501) g.i32(tree_sort_key);
    if (version >= 502) g.u8(accept_duplicates ? 1 : 0);
    if (version >= 503) g.i32(last_clip_sort_key);
    if (version >= 504) g.i32(list_sort_column).u8(list_sort_ascending ? 1 : 0);
    if (version >= 505) g.u8(favorite ? 1 : 0);
    g.i32(count);
    return g;
  }
};

}  // namespace om::testing
