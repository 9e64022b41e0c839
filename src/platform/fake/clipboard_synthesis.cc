#include "platform/fake/clipboard_synthesis.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace om::fake {

namespace {

// 0x80..0x9F of code page 1252; 0 marks the five unassigned bytes, which map
// to the C1 control of the same number.
constexpr std::array<std::uint16_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::uint16_t AnsiToCodeUnit(std::uint8_t c) {
  if (c >= 0x80 && c <= 0x9F && kCp1252High[c - 0x80] != 0) return kCp1252High[c - 0x80];
  return c;
}

std::uint8_t CodeUnitToAnsi(std::uint16_t u) {
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return static_cast<std::uint8_t>(u);
  for (std::size_t i = 0; i < kCp1252High.size(); ++i) {
    if (kCp1252High[i] == u) return static_cast<std::uint8_t>(0x80 + i);
    if (kCp1252High[i] == 0 && u == 0x80 + i) return static_cast<std::uint8_t>(u);
  }
  return '?';
}

std::uint32_t ReadU32(const Bytes& b, std::size_t at) {
  std::uint32_t v = 0;
  std::memcpy(&v, b.data() + at, 4);
  return v;
}

void WriteU32(Bytes& b, std::size_t at, std::uint32_t v) { std::memcpy(b.data() + at, &v, 4); }

constexpr std::size_t kInfoHeaderSize = 40;   // BITMAPINFOHEADER
constexpr std::size_t kV5HeaderSize = 124;    // BITMAPV5HEADER
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::size_t kMasksSize = 12;        // red, green, blue masks after a 40-byte header
constexpr std::uint32_t kLcsSrgb = 0x73524742;  // 'sRGB'

// A packed DIB with a 40-byte header as one with a V5 header. Bit-field
// masks move from after the header into it, as the V5 layout keeps them.
std::optional<Bytes> DibToV5(const Bytes& dib) {
  if (dib.size() < kInfoHeaderSize || ReadU32(dib, 0) != kInfoHeaderSize) return std::nullopt;
  const bool bitfields = ReadU32(dib, 16) == kBiBitfields && dib.size() >= kInfoHeaderSize + kMasksSize;
  const std::size_t rest = kInfoHeaderSize + (bitfields ? kMasksSize : 0);
  Bytes v5(kV5HeaderSize, 0);
  std::copy_n(dib.begin(), kInfoHeaderSize, v5.begin());
  WriteU32(v5, 0, kV5HeaderSize);
  if (bitfields) std::copy_n(dib.begin() + kInfoHeaderSize, kMasksSize, v5.begin() + kInfoHeaderSize);
  WriteU32(v5, 56, kLcsSrgb);
  v5.insert(v5.end(), dib.begin() + static_cast<std::ptrdiff_t>(rest), dib.end());
  return v5;
}

std::optional<Bytes> V5ToDib(const Bytes& v5) {
  if (v5.size() < kV5HeaderSize || ReadU32(v5, 0) != kV5HeaderSize) return std::nullopt;
  const bool bitfields = ReadU32(v5, 16) == kBiBitfields;
  Bytes dib(v5.begin(), v5.begin() + kInfoHeaderSize);
  WriteU32(dib, 0, kInfoHeaderSize);
  if (bitfields) dib.insert(dib.end(), v5.begin() + kInfoHeaderSize, v5.begin() + kInfoHeaderSize + kMasksSize);
  dib.insert(dib.end(), v5.begin() + kV5HeaderSize, v5.end());
  return dib;
}

bool IsAnsiText(std::uint32_t f) { return f == cf::kText || f == cf::kOemText; }
bool IsPackedDib(std::uint32_t f) { return f == cf::kDib || f == cf::kBitmap; }

}  // namespace

const std::vector<SynthesisRule>& SynthesisRules() {
  static const std::vector<SynthesisRule> rules = {
      {cf::kText, {cf::kUnicodeText, cf::kOemText}},
      {cf::kOemText, {cf::kUnicodeText, cf::kText}},
      {cf::kUnicodeText, {cf::kText, cf::kOemText}},
      {cf::kBitmap, {cf::kDib, cf::kDibV5}},
      {cf::kDib, {cf::kBitmap, cf::kDibV5}},
      {cf::kDibV5, {cf::kBitmap, cf::kDib}},
      {cf::kMetafilePict, {cf::kEnhMetafile}},
      {cf::kEnhMetafile, {cf::kMetafilePict}},
  };
  return rules;
}

Bytes AnsiToUtf16(std::span<const std::uint8_t> ansi) {
  Bytes out;
  for (std::uint8_t c : ansi) {
    if (c == 0) break;
    const std::uint16_t u = AnsiToCodeUnit(c);
    out.push_back(static_cast<std::uint8_t>(u & 0xFF));
    out.push_back(static_cast<std::uint8_t>(u >> 8));
  }
  out.push_back(0);
  out.push_back(0);
  return out;
}

Bytes Utf16ToAnsi(std::span<const std::uint8_t> utf16) {
  Bytes out;
  for (std::size_t i = 0; i + 1 < utf16.size(); i += 2) {
    const auto u = static_cast<std::uint16_t>(utf16[i] | (utf16[i + 1] << 8));
    if (u == 0) break;
    // A surrogate pair is one character that 1252 cannot hold.
    if (u >= 0xD800 && u <= 0xDBFF && i + 3 < utf16.size()) i += 2;
    out.push_back(CodeUnitToAnsi(u));
  }
  out.push_back(0);
  return out;
}

std::optional<Bytes> ConvertClipboardData(std::uint32_t source, std::uint32_t target, const Bytes& data) {
  if (source == target) return data;
  if (target == cf::kUnicodeText && IsAnsiText(source)) return AnsiToUtf16(data);
  if (IsAnsiText(target) && source == cf::kUnicodeText) return Utf16ToAnsi(data);
  if (IsAnsiText(target) && IsAnsiText(source)) return Utf16ToAnsi(AnsiToUtf16(data));
  // CF_BITMAP travels as a packed DIB, so these two are the same bytes.
  if (IsPackedDib(target) && IsPackedDib(source)) return data;
  if (target == cf::kDibV5 && IsPackedDib(source)) return DibToV5(data);
  if (IsPackedDib(target) && source == cf::kDibV5) return V5ToDib(data);
  return std::nullopt;
}

}  // namespace om::fake
