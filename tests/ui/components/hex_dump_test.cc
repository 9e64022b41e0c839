// The hex dump's lines: their text and colours, the line count, and the
// lines a paint draws.
#include "ui/components/hex_dump.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/types.h"

namespace om {
namespace {

Bytes Ascending(std::size_t size) {
  Bytes b(size);
  for (std::size_t i = 0; i < size; ++i) b[i] = static_cast<std::uint8_t>(i);
  return b;
}

// The text of each part of a line, as the control draws it.
std::string PartText(const HexDumpLine& line, HexDumpPart part) {
  std::string out;
  for (const HexDumpRun& run : line.runs) {
    if (run.part == part) out += line.text.substr(run.column, run.length);
  }
  return out;
}

TEST(HexDump, LinesCountSixteenBytesEach) {
  constexpr std::size_t kTenMegabytes = 10 * 1024 * 1024;
  const struct {
    std::size_t length;
    std::size_t lines;
  } cases[] = {{0, 0}, {1, 1}, {15, 1}, {16, 1}, {17, 2}, {32, 2}, {kTenMegabytes, 655360}, {kTenMegabytes + 1, 655361}};
  for (const auto& c : cases) EXPECT_EQ(HexDumpLineCount(c.length), c.lines) << c.length << " bytes";
}

TEST(HexDump, AFullLineShowsAddressBytesAndCharacters) {
  const Bytes hello = {'H', 'e', 'l', 'l', 'o', ',', ' ', 'w', 'o', 'r', 'l', 'd', '!', 0x0D, 0x0A, 0x00,
                       0x7E, 0x7F, 0x80, 0xFF, 0x1F, 0x20};
  const HexDumpLine line = HexDumpLineText(hello, 0, true);
  EXPECT_EQ(line.text, "00000000  48 65 6C 6C 6F 2C 20 77  6F 72 6C 64 21 0D 0A 00  Hello, world!...");
  EXPECT_EQ(line.text.size(), HexDumpLineWidth(hello.size(), true));
  // Only the characters 0x20 to 0x7E stand for themselves.
  const HexDumpLine second = HexDumpLineText(hello, 1, true);
  EXPECT_EQ(PartText(second, HexDumpPart::kChars), "~.... ");
  EXPECT_EQ(PartText(second, HexDumpPart::kAddress), "00000010");

  // Each part has a run of its own, left to right, with only spaces between.
  ASSERT_EQ(line.runs.size(), 3u);
  EXPECT_EQ(line.runs[0].part, HexDumpPart::kAddress);
  EXPECT_EQ(line.runs[1].part, HexDumpPart::kHex);
  EXPECT_EQ(line.runs[2].part, HexDumpPart::kChars);
  EXPECT_EQ(PartText(line, HexDumpPart::kHex), "48 65 6C 6C 6F 2C 20 77  6F 72 6C 64 21 0D 0A 00");
  std::string gaps = line.text;
  for (const HexDumpRun& run : line.runs) gaps.replace(run.column, run.length, run.length, ' ');
  EXPECT_EQ(gaps, std::string(line.text.size(), ' '));
}

TEST(HexDump, AShortLastLineKeepsTheCharacterColumn) {
  const Bytes bytes = Ascending(16 + 3);
  for (const bool address : {true, false}) {
    SCOPED_TRACE(address ? "with addresses" : "without addresses");
    const HexDumpLine full = HexDumpLineText(bytes, 0, address);
    const HexDumpLine last = HexDumpLineText(bytes, 1, address);
    EXPECT_EQ(PartText(last, HexDumpPart::kHex), "10 11 12");
    EXPECT_EQ(PartText(last, HexDumpPart::kChars), "...");
    EXPECT_EQ(last.runs.back().column, full.runs.back().column);
    EXPECT_EQ(last.text.size(), last.runs.back().column + 3);
    EXPECT_TRUE(HexDumpLineText(bytes, 2, address).text.empty()) << "no line after the last";
  }
  const HexDumpLine bare = HexDumpLineText(bytes, 1, false);
  EXPECT_EQ(bare.text, std::string("10 11 12") + std::string(40, ' ') + "  ...");
  EXPECT_EQ(bare.runs.size(), 2u) << "no address run";
}

TEST(HexDump, AddressesAreTheOffsetOfEachLine) {
  constexpr std::size_t kTenMegabytes = 10 * 1024 * 1024;
  const Bytes big(kTenMegabytes, 0x41);
  EXPECT_EQ(PartText(HexDumpLineText(big, 0, true), HexDumpPart::kAddress), "00000000");
  EXPECT_EQ(PartText(HexDumpLineText(big, 1, true), HexDumpPart::kAddress), "00000010");
  EXPECT_EQ(PartText(HexDumpLineText(big, 0xABCD, true), HexDumpPart::kAddress), "000ABCD0");
  const HexDumpLine last = HexDumpLineText(big, HexDumpLineCount(big.size()) - 1, true);
  EXPECT_EQ(PartText(last, HexDumpPart::kAddress), "009FFFF0");
  EXPECT_EQ(PartText(last, HexDumpPart::kChars), "AAAAAAAAAAAAAAAA");
  // Buffers beyond 4 GB would need more digits; the width follows.
  EXPECT_EQ(HexDumpLineWidth(std::size_t{1} << 32, true), HexDumpLineWidth(16, true));
  EXPECT_EQ(HexDumpLineWidth((std::size_t{1} << 32) + 1, true), HexDumpLineWidth(16, true) + 1);
}

TEST(HexDump, APaintDrawsOnlyTheLinesItsRowsMeet) {
  constexpr int kHeight = 16;
  const struct {
    const char* name;
    std::size_t top, count;
    int paint_top, paint_bottom;
    std::size_t first, lines;
  } cases[] = {
      {"a whole view from the start", 0, 655360, 0, 400, 0, 25},
      {"a whole view deep inside a big buffer", 600000, 655360, 0, 400, 600000, 25},
      {"a part line at the bottom", 0, 655360, 0, 410, 0, 26},
      {"rows meeting three lines in part", 100, 655360, 40, 70, 102, 3},
      {"the end of the buffer", 655350, 655360, 0, 400, 655350, 10},
      {"an empty buffer", 0, 0, 0, 400, 0, 0},
      {"nothing to paint", 0, 100, 50, 50, 0, 0},
      {"rows above the view", 0, 100, -30, -1, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const HexDumpLineRange range = HexDumpLinesToPaint(c.top, c.count, kHeight, c.paint_top, c.paint_bottom);
    EXPECT_EQ(range.count, c.lines);
    if (c.lines > 0) {
      EXPECT_EQ(range.first, c.first);
    }
  }
}

TEST(HexDump, TheTopLineStaysWithinTheBuffer) {
  EXPECT_EQ(HexDumpMaxTopLine(655360, 25), 655335u);
  EXPECT_EQ(HexDumpMaxTopLine(10, 25), 0u) << "everything fits";
  EXPECT_EQ(HexDumpClampTopLine(-3, 655360, 25), 0u);
  EXPECT_EQ(HexDumpClampTopLine(1000, 655360, 25), 1000u);
  EXPECT_EQ(HexDumpClampTopLine(700000, 655360, 25), 655335u);
  EXPECT_EQ(HexDumpClampTopLine(5, 0, 25), 0u);
}

}  // namespace
}  // namespace om
