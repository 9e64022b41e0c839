#include "ui/components/hex_dump.h"

#include <algorithm>

namespace om {
namespace {

constexpr char kDigits[] = "0123456789ABCDEF";
constexpr std::size_t kMinAddressDigits = 8;
constexpr std::size_t kAddressGap = 2;  // spaces after the address
constexpr std::size_t kCharsGap = 2;    // spaces between the bytes and the characters
// Two digits and a space per byte, one more space after the 8th, without
// the space after the last.
constexpr std::size_t kHexWidth = kHexDumpBytesPerLine * 3 - 1 + 1;

std::size_t AddressDigits(std::size_t buffer_length) {
  std::size_t digits = 1;
  for (std::size_t last = buffer_length > 0 ? buffer_length - 1 : 0; last >= 16; last /= 16) ++digits;
  return std::max(digits, kMinAddressDigits);
}

// The column of byte `index` (0 to 15) within the hexadecimal part.
std::size_t HexColumn(std::size_t index) { return index * 3 + (index >= kHexDumpBytesPerLine / 2 ? 1 : 0); }

}  // namespace

std::size_t HexDumpLineCount(std::size_t length) {
  return length / kHexDumpBytesPerLine + (length % kHexDumpBytesPerLine != 0 ? 1 : 0);
}

std::size_t HexDumpLineWidth(std::size_t buffer_length, bool show_address) {
  const std::size_t address = show_address ? AddressDigits(buffer_length) + kAddressGap : 0;
  return address + kHexWidth + kCharsGap + kHexDumpBytesPerLine;
}

HexDumpLine HexDumpLineText(std::span<const std::uint8_t> buffer, std::size_t line, bool show_address) {
  HexDumpLine out;
  if (line >= HexDumpLineCount(buffer.size())) return out;
  const std::size_t first = line * kHexDumpBytesPerLine;
  const std::span<const std::uint8_t> bytes = buffer.subspan(first, std::min(kHexDumpBytesPerLine, buffer.size() - first));

  std::string& text = out.text;
  if (show_address) {
    const std::size_t digits = AddressDigits(buffer.size());
    for (std::size_t i = digits; i-- > 0;) text.push_back(kDigits[(first >> (4 * i)) & 0xF]);
    out.runs.push_back({0, digits, HexDumpPart::kAddress});
    text.append(kAddressGap, ' ');
  }

  const std::size_t hex_start = text.size();
  text.append(kHexWidth, ' ');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    text[hex_start + HexColumn(i)] = kDigits[bytes[i] >> 4];
    text[hex_start + HexColumn(i) + 1] = kDigits[bytes[i] & 0xF];
  }
  out.runs.push_back({hex_start, HexColumn(bytes.size() - 1) + 2, HexDumpPart::kHex});

  const std::size_t chars_start = hex_start + kHexWidth + kCharsGap;
  text.resize(chars_start, ' ');
  for (std::uint8_t byte : bytes) text.push_back(byte >= 0x20 && byte <= 0x7E ? static_cast<char>(byte) : '.');
  out.runs.push_back({chars_start, bytes.size(), HexDumpPart::kChars});
  return out;
}

HexDumpLineRange HexDumpLinesToPaint(std::size_t top_line, std::size_t line_count, int line_height, int paint_top,
                                     int paint_bottom) {
  HexDumpLineRange range;
  if (line_height <= 0 || paint_bottom <= paint_top || top_line >= line_count) return range;
  const std::size_t from = static_cast<std::size_t>(std::max(paint_top, 0) / line_height);
  if (paint_bottom <= 0) return range;
  const std::size_t to = static_cast<std::size_t>((paint_bottom - 1) / line_height) + 1;  // past the last row met
  const std::size_t available = line_count - top_line;
  if (from >= available) return range;
  range.first = top_line + from;
  range.count = std::min(to, available) - from;
  return range;
}

std::size_t HexDumpMaxTopLine(std::size_t line_count, std::size_t page_lines) {
  const std::size_t page = std::max<std::size_t>(page_lines, 1);
  return line_count > page ? line_count - page : 0;
}

std::size_t HexDumpClampTopLine(std::int64_t wanted, std::size_t line_count, std::size_t page_lines) {
  if (wanted <= 0) return 0;
  return std::min(static_cast<std::size_t>(wanted), HexDumpMaxTopLine(line_count, page_lines));
}

}  // namespace om
