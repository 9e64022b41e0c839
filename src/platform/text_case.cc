#include "platform/text_case.h"

#include <cstring>

namespace om {
namespace {

unsigned char UpperOf(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
  // Windows-1252: the accented small letters, except the division sign.
  if (c >= 0xE0 && c != 0xF7 && c != 0xFF) return static_cast<unsigned char>(c - 32);
  switch (c) {
    case 0x9A: return 0x8A;  // s caron
    case 0x9C: return 0x8C;  // oe
    case 0x9E: return 0x8E;  // z caron
    case 0xFF: return 0x9F;  // y diaeresis
    default: return c;
  }
}

unsigned char LowerOf(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
  switch (c) {
    case 0x8A: return 0x9A;
    case 0x8C: return 0x9C;
    case 0x8E: return 0x9E;
    case 0x9F: return 0xFF;
    default: return c;
  }
}

unsigned char AsciiUpperOf(unsigned char c) { return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c; }

template <typename Map>
std::string MapBytes(std::string_view text, Map map) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(map(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

std::string AnsiUpperCase(std::string_view text) { return MapBytes(text, UpperOf); }
std::string AnsiLowerCase(std::string_view text) { return MapBytes(text, LowerOf); }
std::string AsciiUpperCase(std::string_view text) { return MapBytes(text, AsciiUpperOf); }

bool IsAnsiAlpha(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
  if (c >= 0xC0) return c != 0xD7 && c != 0xF7;
  switch (c) {
    case 0x83:  // f with hook
    case 0x88:  // modifier letter circumflex
    case 0x8A: case 0x8C: case 0x8E:
    case 0x9A: case 0x9C: case 0x9E: case 0x9F:
    case 0xAA:  // feminine ordinal
    case 0xB5:  // micro sign
    case 0xBA:  // masculine ordinal
      return true;
    default: return false;
  }
}

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpperOf(static_cast<unsigned char>(a[i])) != AsciiUpperOf(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

namespace {

// a-z to capitals without a branch: the compiler turns the loop into
// vector code.
void FoldAsciiInto(const char* from, std::size_t length, char* to) {
  const auto* in = reinterpret_cast<const unsigned char*>(from);
  auto* out = reinterpret_cast<unsigned char*>(to);
  for (std::size_t i = 0; i < length; ++i) {
    const unsigned char c = in[i];
    out[i] = static_cast<unsigned char>(c - (static_cast<unsigned char>(c - 'a') < 26 ? 32 : 0));
  }
}

}  // namespace

TAsciiFoldedSearch::TAsciiFoldedSearch(std::string_view needle) : needle_(needle.size(), '\0') {
  FoldAsciiInto(needle.data(), needle.size(), needle_.data());
  const std::size_t m = needle_.size();
  skip_.fill(m);
  for (std::size_t i = 0; i + 1 < m; ++i) skip_[static_cast<unsigned char>(needle_[i])] = m - 1 - i;
}

bool TAsciiFoldedSearch::FoundIn(std::string_view text) {
  const std::size_t m = needle_.size();
  const std::size_t n = text.size();
  if (m == 0 || n < m) return false;
  if (buffer_.size() < n) buffer_.resize(n);
  FoldAsciiInto(text.data(), n, buffer_.data());
  const auto* hay = reinterpret_cast<const unsigned char*>(buffer_.data());
  const auto* pattern = reinterpret_cast<const unsigned char*>(needle_.data());
  const unsigned char last = pattern[m - 1];
  for (std::size_t i = 0; i <= n - m;) {
    const unsigned char c = hay[i + m - 1];
    if (c == last && std::memcmp(hay + i, pattern, m - 1) == 0) return true;
    i += skip_[c];
  }
  return false;
}

}  // namespace om
