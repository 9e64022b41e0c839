#include "store/drop_files.h"

#include <array>

namespace om {

namespace {

constexpr std::size_t kHeaderSize = 20;
constexpr std::size_t kNamesOffsetAt = 0;
constexpr std::size_t kWideFlagAt = 16;

std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
         static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

// The characters of Windows-1252 at 0x80 to 0x9F; 0 where the code page has
// none (those five bytes stand for themselves, as the system converts them).
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char AnsiOf(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (std::size_t i = 0; i < kHighControls.size(); ++i) {
    const char16_t mapped = kHighControls[i] != 0 ? kHighControls[i] : static_cast<char16_t>(0x80 + i);
    if (mapped == c) return static_cast<char>(0x80 + i);
  }
  return '?';
}

}  // namespace

std::string WideToAnsi(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    const bool high = c >= 0xD800 && c <= 0xDBFF;
    if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) ++i;
    out.push_back(AnsiOf(c));
  }
  return out;
}

std::vector<std::string> DropFileNames(std::span<const std::uint8_t> block) {
  std::vector<std::string> names;
  if (block.size() < kHeaderSize) return names;
  const std::size_t first = U32(block, kNamesOffsetAt);
  const bool wide = U32(block, kWideFlagAt) != 0;
  if (first >= block.size()) return names;

  if (!wide) {
    std::size_t at = first;
    while (at < block.size() && block[at] != 0) {
      std::string name;
      while (at < block.size() && block[at] != 0) name.push_back(static_cast<char>(block[at++]));
      names.push_back(std::move(name));
      ++at;  // the name's terminator (or past the end)
    }
    return names;
  }

  // Wide names: whole characters only; an odd last byte is no character.
  std::size_t at = first;
  auto char_at = [&](std::size_t i) { return static_cast<char16_t>(block[i] | block[i + 1] << 8); };
  while (at + 1 < block.size() && char_at(at) != 0) {
    std::u16string name;
    while (at + 1 < block.size() && char_at(at) != 0) {
      name.push_back(char_at(at));
      at += 2;
    }
    names.push_back(WideToAnsi(name));
    at += 2;
  }
  return names;
}

}  // namespace om
