// The hex dump's layout: a byte buffer shown 16 bytes to a line, each line
// an optional address column, the bytes in hexadecimal and the same bytes
// as characters. The Win32 control (win32/hex_dump_control.h) draws these
// lines in a fixed-pitch font, one colour per part, and only the lines in
// view, so that a buffer of any size scrolls and paints at once.
//
//   00000010  48 65 6C 6C 6F 2C 20 77  6F 72 6C 64 21 0D 0A 00  Hello, world!...
//   address   bytes in hexadecimal (a gap after the 8th)        characters
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace om {

constexpr std::size_t kHexDumpBytesPerLine = 16;

// The parts of a line; each is drawn in a colour of its own.
enum class HexDumpPart { kAddress, kHex, kChars };

// A part of a line's text: `length` characters from column `column`.
// Between parts there are only spaces.
struct HexDumpRun {
  std::size_t column = 0;
  std::size_t length = 0;
  HexDumpPart part = HexDumpPart::kHex;
};

struct HexDumpLine {
  std::string text;
  std::vector<HexDumpRun> runs;  // left to right
};

// Lines needed for `length` bytes: 0 for none, the last one maybe short.
std::size_t HexDumpLineCount(std::size_t length);

// Line `line` of the dump of `buffer` (empty past the last line). The
// address is the offset of the line's first byte, in upper-case
// hexadecimal, 8 digits (more when the buffer needs them). The characters
// are the bytes 0x20 to 0x7E as themselves and every other byte as '.',
// the same in every code page. A short last line keeps the character
// column where the full lines have it.
HexDumpLine HexDumpLineText(std::span<const std::uint8_t> buffer, std::size_t line, bool show_address);

// The width of a full line in characters.
std::size_t HexDumpLineWidth(std::size_t buffer_length, bool show_address);

// The lines a paint has to draw: those that meet the pixel rows
// [paint_top, paint_bottom) of a view showing `top_line` at pixel row 0,
// `line_height` pixels a line, as far as there are lines.
struct HexDumpLineRange {
  std::size_t first = 0;
  std::size_t count = 0;
};
HexDumpLineRange HexDumpLinesToPaint(std::size_t top_line, std::size_t line_count, int line_height, int paint_top,
                                     int paint_bottom);

// The highest top line that still fills a view of `page_lines` whole
// lines (0 when everything fits), and a wanted top line kept within it.
std::size_t HexDumpMaxTopLine(std::size_t line_count, std::size_t page_lines);
std::size_t HexDumpClampTopLine(std::int64_t wanted, std::size_t line_count, std::size_t page_lines);

}  // namespace om
