// The words cliptool reads and writes: data as hex, and words escaped with
// %XX so that they survive a command line or a line of the serve protocol;
// and what the tests may know of its window. Shared by cliptool and by the
// tests that drive it.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace om::cliptool {

using WireBytes = std::vector<std::uint8_t>;

// The title of cliptool's window.
inline constexpr char kWindowTitle[] = "cliptool";

inline std::string ToHex(const WireBytes& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (std::uint8_t b : bytes) {
    out += digits[b >> 4];
    out += digits[b & 15];
  }
  return out;
}

inline int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

inline std::optional<WireBytes> FromHex(std::string_view hex) {
  if (hex.size() % 2 != 0) return std::nullopt;
  WireBytes out;
  out.reserve(hex.size() / 2);
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const int hi = HexDigit(hex[i]);
    const int lo = HexDigit(hex[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    out.push_back(static_cast<std::uint8_t>(hi << 4 | lo));
  }
  return out;
}

// A whole word as a number: decimal, or hex with 0x; nullopt otherwise.
inline std::optional<unsigned long> ParseNumber(const std::string& s) {
  if (s.empty()) return std::nullopt;
  char* end = nullptr;
  const unsigned long v = std::strtoul(s.c_str(), &end, 0);
  if (end == nullptr || *end != '\0') return std::nullopt;
  return v;
}

inline std::string Unescape(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() && HexDigit(s[i + 1]) >= 0 && HexDigit(s[i + 2]) >= 0) {
      out += static_cast<char>(HexDigit(s[i + 1]) << 4 | HexDigit(s[i + 2]));
      i += 2;
    } else {
      out += s[i];
    }
  }
  return out;
}

inline std::string Escape(std::string_view s) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (char c : s) {
    const auto b = static_cast<unsigned char>(c);
    if (b <= 0x20 || b >= 0x7F || c == '%' || c == '/' || c == '=' || c == '"' || c == '\\') {
      out += '%';
      out += digits[b >> 4];
      out += digits[b & 15];
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace om::cliptool
