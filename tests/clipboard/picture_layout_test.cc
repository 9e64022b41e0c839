// The layout checks that stand between picture bytes and the system's
// drawing calls: what a valid picture's parts are, and that every kind of
// lie about a size is refused.
#include "clipboard/picture_layout.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "clipboard/graphics.h"
#include "clipboard/picture_samples.h"

namespace om {
namespace {

using testing::DibShape;
using testing::PutU16;
using testing::PutU32;
using testing::SampleCoreDib;
using testing::SampleDib;
using testing::SampleEmf;
using testing::SampleEmfDrawing;
using testing::SampleRle8;
using testing::SampleWmf;
using testing::SampleWmfDrawing;

// --- packed DIBs ---

struct ValidDib {
  const char* name;
  Bytes dib;
  std::size_t bits_offset;
  std::size_t bits_size;
};

std::vector<ValidDib> ValidDibs() {
  Bytes with_tail = SampleDib({});
  with_tail.insert(with_tail.end(), 7, 0xAA);
  DibShape v5;
  v5.header_size = 124;
  v5.bit_count = 32;
  v5.compression = 3;
  return {
      // 4 x 3 pixels: rows of 4 bytes up to 8 bits, 8, 12 and 16 bytes above.
      {"1-bit", SampleDib({4, 3, 1}), 40 + 2 * 4, 4 * 3},
      {"4-bit", SampleDib({4, 3, 4}), 40 + 16 * 4, 4 * 3},
      {"8-bit", SampleDib({4, 3, 8}), 40 + 256 * 4, 4 * 3},
      {"8-bit, 16 colours used", SampleDib({4, 3, 8, 0, 16}), 40 + 16 * 4, 4 * 3},
      {"16-bit", SampleDib({4, 3, 16}), 40, 8 * 3},
      {"16-bit bit fields", SampleDib({4, 3, 16, 3}), 40 + 12, 8 * 3},
      {"24-bit", SampleDib({4, 3, 24}), 40, 12 * 3},
      {"24-bit top-down", SampleDib({4, -3, 24}), 40, 12 * 3},
      {"24-bit with a colour table", SampleDib({4, 3, 24, 0, 2}), 40 + 8, 12 * 3},
      {"32-bit", SampleDib({4, 3, 32}), 40, 16 * 3},
      {"32-bit bit fields in a version 5 header", SampleDib(v5), 124, 16 * 3},
      {"5 pixels of 24 bits: padded rows", SampleDib({5, 2, 24}), 40, 16 * 2},
      {"run-length 8-bit", SampleDib({4, 2, 8, 1}, SampleRle8()), 40 + 256 * 4, 10},
      {"core header, 8-bit", SampleCoreDib(4, 3, 8), 12 + 256 * 3, 4 * 3},
      {"core header, 24-bit", SampleCoreDib(4, 3, 24), 12, 12 * 3},
      {"bytes after the bits", with_tail, 40, 12 * 3},
  };
}

TEST(PictureLayout, ValidDibsOfTheUsualKindsAreLaidOutToTheByte) {
  for (const ValidDib& c : ValidDibs()) {
    SCOPED_TRACE(c.name);
    const auto layout = CheckPackedDib(c.dib);
    ASSERT_TRUE(layout.has_value());
    EXPECT_EQ(layout->bits_offset, c.bits_offset);
    EXPECT_EQ(layout->bits_size, c.bits_size);
    EXPECT_LE(layout->Size(), c.dib.size());
  }
}

TEST(PictureLayout, ADibLyingAboutItsSizeIsRefused) {
  const auto with = [](Bytes dib, auto change) {
    change(dib);
    return dib;
  };
  // A buffer of its own, exactly as long: a read past it is an error the
  // address sanitizer reports.
  const auto shorter = [](const Bytes& dib, std::size_t by) { return Bytes(dib.begin(), dib.end() - by); };
  const Bytes dib24 = SampleDib({4, 3, 24});
  // A 16-bit bit-field DIB whose masks were left out: the bits slide up.
  Bytes masks_missing = SampleDib({4, 3, 16, 3});
  masks_missing.erase(masks_missing.begin() + 40, masks_missing.begin() + 52);
  const Bytes rle = SampleDib({4, 2, 8, 1}, SampleRle8());

  const struct {
    const char* name;
    Bytes dib;
  } cases[] = {
      {"nothing", {}},
      {"three bytes", {40, 0, 0}},
      {"an info header cut short", shorter(dib24, 60)},
      {"header only", shorter(dib24, 36)},
      {"one byte short of its bits", shorter(dib24, 1)},
      {"more rows than the data", with(dib24, [](Bytes& d) { PutU32(d, 8, 4); })},
      {"more rows than the data, top-down", with(dib24, [](Bytes& d) { PutU32(d, 8, static_cast<std::uint32_t>(-4)); })},
      {"wider than the data", with(dib24, [](Bytes& d) { PutU32(d, 4, 0x7F000002); })},
      {"header longer than the data", with(dib24, [](Bytes& d) { PutU32(d, 0, 0xFFFF); })},
      {"header between core and info", with(dib24, [](Bytes& d) { PutU32(d, 0, 20); })},
      {"colour table beyond the data", shorter(SampleDib({4, 3, 8}), 500)},
      {"more colours used than the depth has", SampleDib({4, 3, 4, 0, 17})},
      {"colours used beyond the data", with(dib24, [](Bytes& d) { PutU32(d, 32, 0x40000000); })},
      {"bit-field masks missing", masks_missing},
      {"bit fields of 24 bits", SampleDib({4, 3, 24, 3})},
      {"bit fields in a header that ends inside the masks",
       with(SampleDib({4, 3, 16, 3, 0, 44}), [](Bytes& d) { PutU32(d, 0, 44); })},
      {"width 0", with(dib24, [](Bytes& d) { PutU32(d, 4, 0); })},
      {"negative width", with(dib24, [](Bytes& d) { PutU32(d, 4, static_cast<std::uint32_t>(-4)); })},
      {"height 0", with(dib24, [](Bytes& d) { PutU32(d, 8, 0); })},
      {"lowest height", with(dib24, [](Bytes& d) { PutU32(d, 8, 0x80000000); })},
      {"no planes", with(dib24, [](Bytes& d) { PutU16(d, 12, 0); })},
      {"7 bits per pixel", with(dib24, [](Bytes& d) { PutU16(d, 14, 7); })},
      {"unknown compression", with(dib24, [](Bytes& d) { PutU32(d, 16, 7); })},
      {"run-length 8 of 4-bit pixels", with(rle, [](Bytes& d) { PutU16(d, 14, 4); })},
      {"run-length top-down", with(rle, [](Bytes& d) { PutU32(d, 8, static_cast<std::uint32_t>(-2)); })},
      {"run-length without a size", with(rle, [](Bytes& d) { PutU32(d, 20, 0); })},
      {"run-length longer than the data", with(rle, [](Bytes& d) { PutU32(d, 20, 11); })},
      {"run-length image too large to compute",
       with(rle, [](Bytes& d) { PutU32(d, 4, 0x7FFFFFFF);
         PutU32(d, 8, 0x7FFFFFFF); })},
      {"JPEG of 24 bits", with(rle, [](Bytes& d) { PutU16(d, 14, 24);
         PutU32(d, 16, 4); })},
      {"core header short of its bits", shorter(SampleCoreDib(4, 3, 24), 1)},
      {"core header, more rows than the data", with(SampleCoreDib(4, 3, 24), [](Bytes& d) { PutU16(d, 6, 4); })},
      {"core header of 16 bits", with(SampleCoreDib(4, 3, 24), [](Bytes& d) { PutU16(d, 10, 16); })},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(CheckPackedDib(c.dib).has_value());
  }
}

// Loading stays as lenient as it was, so every stored clip still loads and
// keeps its bytes; the check refuses such a DIB only where it would be drawn.
TEST(PictureLayout, ABitmapTheCheckRefusesStillLoads) {
  Bytes short_of_bits = SampleDib({4, 3, 24});
  short_of_bits.resize(60);
  const TBitmap bitmap(short_of_bits);
  EXPECT_EQ(bitmap.Dib(), short_of_bits);
  EXPECT_FALSE(CheckPackedDib(bitmap.Dib()).has_value());
}

// --- Windows metafiles ---

TEST(PictureLayout, AValidWindowsMetafileIsWalkedToItsEndRecord) {
  const Bytes drawing = SampleWmfDrawing();
  const auto layout = CheckWindowsMetafile(drawing);
  ASSERT_TRUE(layout.has_value());
  EXPECT_EQ(layout->size, drawing.size());
  EXPECT_EQ(layout->records, 7u);
  EXPECT_EQ(layout->eof_offset, drawing.size() - 6);
  EXPECT_EQ(layout->objects, 1);

  // What comes after mtSize, or after the end record within it, is not
  // the system's business.
  Bytes padded = drawing;
  padded.insert(padded.end(), 5, 0xEE);
  ASSERT_TRUE(CheckWindowsMetafile(padded).has_value());
  EXPECT_EQ(CheckWindowsMetafile(padded)->size, drawing.size());
  Bytes after_end = SampleWmf().Bits();
  after_end.insert(after_end.end(), {0, 0, 0, 0});  // a record of size 0, never played
  PutU32(after_end, 6, static_cast<std::uint32_t>(after_end.size() / 2));
  EXPECT_TRUE(CheckWindowsMetafile(after_end).has_value());

  Bytes on_disk = SampleWmf().Bits();
  PutU16(on_disk, 0, 2);
  EXPECT_TRUE(CheckWindowsMetafile(on_disk).has_value());

  // Records that carry whole DIBs, and one that only fills with the brush.
  EXPECT_TRUE(CheckWindowsMetafile(testing::SampleWmfWithDib(SampleDib({4, 3, 24}))).has_value());
  EXPECT_TRUE(CheckWindowsMetafile(testing::SampleWmfWithDib(SampleDib({4, 3, 8}), 1)).has_value());
  EXPECT_TRUE(CheckWindowsMetafile(SampleWmf().Record(0x0142, {5, 0}, SampleDib({8, 8, 1})).Bits()).has_value());
  EXPECT_TRUE(CheckWindowsMetafile(SampleWmf().Record(0x0940, {0x0062, 0x00F0, 0, 10, 10, 0, 0}).Bits()).has_value());
}

TEST(PictureLayout, AWindowsMetafileLyingAboutItsSizeIsRefused) {
  const Bytes drawing = SampleWmfDrawing();
  const auto with = [](Bytes bits, auto change) {
    change(bits);
    return bits;
  };
  const auto shorter = [](const Bytes& b, std::size_t by) { return Bytes(b.begin(), b.end() - by); };
  const std::uint32_t words = static_cast<std::uint32_t>(drawing.size() / 2);
  constexpr std::size_t kFirstRecord = 18;
  const struct {
    const char* name;
    Bytes bits;
  } cases[] = {
      {"nothing", {}},
      {"a header cut short", Bytes(drawing.begin(), drawing.begin() + 17)},
      {"mtSize beyond the data", with(drawing, [&](Bytes& b) { PutU32(b, 6, words + 1); })},
      {"mtSize far beyond the data", with(drawing, [](Bytes& b) { PutU32(b, 6, 0xFFFFFFFF); })},
      {"mtSize ending before the end record", with(drawing, [&](Bytes& b) { PutU32(b, 6, words - 3); })},
      {"mtSize inside the header", with(drawing, [](Bytes& b) { PutU32(b, 6, 8); })},
      {"a record running past the end", with(drawing, [](Bytes& b) { PutU32(b, kFirstRecord, 0x10000); })},
      {"a record of size 0", with(drawing, [](Bytes& b) { PutU32(b, kFirstRecord, 0); })},
      {"a record of 2 words", with(drawing, [](Bytes& b) { PutU32(b, kFirstRecord, 2); })},
      {"no end record", SampleWmf().Record(0x0103, {8}).WithoutEnd().Bits()},
      {"a record running past mtSize", with(drawing, [&](Bytes& b) { PutU32(b, 6, words - 4); })},
      {"header of 10 words", with(drawing, [](Bytes& b) { PutU16(b, 2, 10); })},
      {"type 3", with(drawing, [](Bytes& b) { PutU16(b, 0, 3); })},
      {"selecting an object beyond the table", SampleWmf().Objects(1).Record(0x012D, {1}).Bits()},
      {"deleting an object of an empty table", SampleWmf().Record(0x01F0, {0}).Bits()},
      {"selecting an object without saying which", SampleWmf().Objects(1).Record(0x012D, {}).Bits()},
      {"filling with a brush beyond the table", SampleWmf().Objects(1).Record(0x0228, {0, 1}).Bits()},
      {"a stretched DIB claiming more rows than the record holds",
       testing::SampleWmfWithDib(with(SampleDib({4, 3, 24}), [](Bytes& d) { PutU32(d, 8, 100); }))},
      {"a stretched DIB with an unknown colour usage", testing::SampleWmfWithDib(SampleDib({4, 3, 24}), 3)},
      {"a DIB transfer cut short",
       SampleWmf().Record(0x0940, {0x0020, 0x00CC, 0, 0, 3, 4, 0, 0}, shorter(SampleDib({4, 3, 24}), 4)).Bits()},
      {"a pattern brush whose DIB lies",
       SampleWmf().Record(0x0142, {5, 0}, with(SampleDib({8, 8, 1}), [](Bytes& d) { PutU32(d, 4, 4000); })).Bits()},
      {"a device bitmap of the oldest kind", SampleWmf().Record(0x0922, {0x0020, 0x00CC, 0, 0, 4, 4, 0, 0, 4, 4}).Bits()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(CheckWindowsMetafile(c.bits).has_value());
  }
}

// --- enhanced metafiles ---

TEST(PictureLayout, AValidEnhancedMetafileIsWalkedToItsLastRecord) {
  const Bytes drawing = SampleEmfDrawing();
  const auto layout = CheckEnhMetafile(drawing);
  ASSERT_TRUE(layout.has_value());
  EXPECT_EQ(layout->size, drawing.size());
  EXPECT_EQ(layout->header_size, 108u);
  EXPECT_EQ(layout->records, 7u);
  EXPECT_EQ(layout->handles, 2);

  Bytes padded = drawing;
  padded.insert(padded.end(), 6, 0xEE);
  ASSERT_TRUE(CheckEnhMetafile(padded).has_value());
  EXPECT_EQ(CheckEnhMetafile(padded)->size, drawing.size());
  EXPECT_TRUE(CheckEnhMetafile(SampleEmf().Bits()).has_value());

  // A record carrying a DIB in two parts, and a transfer without a source.
  EXPECT_TRUE(CheckEnhMetafile(testing::SampleEmfWithDib(SampleDib({4, 3, 24}), 40)).has_value());
  EXPECT_TRUE(CheckEnhMetafile(testing::SampleEmfWithDib(SampleDib({4, 3, 4}), 40 + 16 * 4)).has_value());
  const std::initializer_list<std::uint32_t> no_source = {0, 0, 9, 9, 0, 0, 10, 10, 0x00F00021, 0, 0, 1, 0, 0, 0, 0, 0,
                                                          0, 0, 0, 0, 0, 0};
  EXPECT_TRUE(CheckEnhMetafile(SampleEmf().Record(76, no_source).Bits()).has_value());
}

TEST(PictureLayout, AnEnhancedMetafileLyingAboutItsSizeIsRefused) {
  const Bytes drawing = SampleEmfDrawing();
  const auto with = [](Bytes bits, auto change) {
    change(bits);
    return bits;
  };
  const auto size = static_cast<std::uint32_t>(drawing.size());
  constexpr std::size_t kFirstRecord = 108;
  // A rectangle names no object: only its size can be wrong.
  const Bytes rectangle = SampleEmf().Record(43, {0, 0, 1, 1}).Bits();
  const struct {
    const char* name;
    Bytes bits;
  } cases[] = {
      {"nothing", {}},
      {"a header cut short", Bytes(drawing.begin(), drawing.begin() + 87)},
      {"nBytes beyond the data", with(drawing, [&](Bytes& b) { PutU32(b, 48, size + 4); })},
      {"nBytes ending before the end record", with(drawing, [&](Bytes& b) { PutU32(b, 48, size - 20); })},
      {"nBytes not a multiple of 4", with(drawing, [&](Bytes& b) { PutU32(b, 48, size - 2); })},
      {"a record running past the end", with(drawing, [](Bytes& b) { PutU32(b, kFirstRecord + 4, 0x10000); })},
      {"a record of size 0", with(rectangle, [](Bytes& b) { PutU32(b, kFirstRecord + 4, 0); })},
      {"a record of size 4", with(rectangle, [](Bytes& b) { PutU32(b, kFirstRecord + 4, 4); })},
      {"a record size not a multiple of 4", with(rectangle, [](Bytes& b) { PutU32(b, kFirstRecord + 4, 22); })},
      {"two records of sizes not multiples of 4, ending where they should",
       with(rectangle, [](Bytes& b) {
         PutU32(b, kFirstRecord + 4, 10);
         PutU32(b, kFirstRecord + 10, 70);  // EMR_GDICOMMENT
         PutU32(b, kFirstRecord + 14, 14);
       })},
      {"no end record", SampleEmf().Record(43, {0, 0, 1, 1}).WithoutEnd().Bits()},
      {"a record after the end record",
       with(SampleEmf().Bits(), [](Bytes& b) {
         // The end record becomes a second-to-last one: a rectangle follows.
         for (std::uint32_t v : {43u, 24u, 0u, 0u, 1u, 1u}) testing::AppendU32(b, v);
         PutU32(b, 48, static_cast<std::uint32_t>(b.size()));
       })},
      {"a signature other than EMF", with(drawing, [](Bytes& b) { b[41] = 'X'; })},
      {"a first record that is no header", with(drawing, [](Bytes& b) { PutU32(b, 0, 2); })},
      {"a header record of 80 bytes", with(drawing, [](Bytes& b) { PutU32(b, 4, 80); })},
      {"a header record longer than nBytes", with(drawing, [&](Bytes& b) { PutU32(b, 4, size + 8); })},
      {"a second header", SampleEmf().Record(1, {0, 0, 0, 0}).Bits()},
      {"selecting an object beyond the table", SampleEmf().Handles(2).Record(37, {2}).Bits()},
      {"creating a brush beyond the table", SampleEmf().Handles(2).Record(39, {2, 0, 0, 0}).Bits()},
      {"creating a brush as a stock object", SampleEmf().Handles(2).Record(39, {0x80000001, 0, 0, 0}).Bits()},
      {"filling with a brush beyond the table", SampleEmf().Handles(2).Record(71, {0, 0, 1, 1, 0, 5}).Bits()},
      {"selecting an object without saying which", SampleEmf().Handles(2).Record(37, {}).Bits()},
      {"a stretched DIB claiming more rows than its bits",
       testing::SampleEmfWithDib(with(SampleDib({4, 3, 24}), [](Bytes& d) { PutU32(d, 8, 4); }), 40)},
      {"a stretched DIB's bits said to reach past the record",
       with(testing::SampleEmfWithDib(SampleDib({4, 3, 24}), 40), [](Bytes& b) { PutU32(b, kFirstRecord + 60, 4000); })},
      {"a stretched DIB's header said to lie past the record",
       with(testing::SampleEmfWithDib(SampleDib({4, 3, 24}), 40), [](Bytes& b) { PutU32(b, kFirstRecord + 48, 4000); })},
      {"a stretched DIB whose colour table is in its bits' place",
       with(testing::SampleEmfWithDib(SampleDib({4, 3, 8}), 40 + 1024), [](Bytes& b) { PutU32(b, kFirstRecord + 52, 40); })},
      {"a DIB record too short for its fields", SampleEmf().Record(81, {0, 0, 1, 1}).Bits()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(CheckEnhMetafile(c.bits).has_value());
  }
}

}  // namespace
}  // namespace om
