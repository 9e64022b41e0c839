#include "store/picture_files.h"

#include <gtest/gtest.h>

#include "store/byte_stream.h"
#include "store/store_errors.h"
#include "store_fixture.h"

namespace om::testing {
namespace {

// A DIB with the given header fields and `extra` bytes after the header
// (masks, colour table and bits as the case needs).
Bytes Dib(std::int32_t header_size, std::uint16_t bit_count, std::int32_t compression, std::int32_t colours_used,
          std::size_t extra) {
  Golden g;
  g.i32(header_size).i32(4).i32(2).u16(1).u16(bit_count).i32(compression).i32(0).i32(0).i32(0).i32(colours_used).i32(0);
  for (std::int32_t i = 40; i < header_size; ++i) g.u8(0);
  for (std::size_t i = 0; i < extra; ++i) g.u8(static_cast<std::uint8_t>(i));
  return g;
}

TEST(PictureFilesTest, BitmapFileHeaderPointsAtThePixelBits) {
  struct Case {
    const char* name;
    Bytes dib;
    std::uint32_t bits_at;
  };
  const Case cases[] = {
      {"24-bit", Dib(40, 24, 0, 0, 24), 14 + 40},
      {"8-bit, full table", Dib(40, 8, 0, 0, 1024 + 8), 14 + 40 + 1024},
      {"8-bit, 16 colours used", Dib(40, 8, 0, 16, 64 + 8), 14 + 40 + 64},
      {"32-bit bit fields", Dib(40, 32, 3, 0, 12 + 32), 14 + 40 + 12},
      {"version 5 header with bit fields", Dib(124, 32, 3, 0, 32), 14 + 124},
      {"core header, 4-bit", Golden().i32(12).u16(4).u16(2).u16(1).u16(4).raw(Bytes(48 + 8, 7)).bytes(), 14 + 12 + 48},
      // A colour count far beyond the data: the offset stays inside the file.
      {"absurd colour count", Dib(40, 8, 0, 0x7FFFFFFF, 16), 14 + 40 + 16},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes file = BitmapFileBytes(TBitmap(c.dib));
    LayoutReader r(file);
    EXPECT_EQ(r.u16(), 0x4D42);
    EXPECT_EQ(r.i32(), static_cast<std::int32_t>(14 + c.dib.size()));
    EXPECT_EQ(r.i32(), 0);
    EXPECT_EQ(r.i32(), static_cast<std::int32_t>(c.bits_at));
    EXPECT_EQ(r.bytes(r.remaining()), c.dib);
    EXPECT_EQ(BitmapFromFileBytes(file).Dib(), c.dib);
  }
}

TEST(PictureFilesTest, ReadsBitmapFilesWithAGapBeforeTheBitsAndRefusesOthers) {
  const Bytes header = Dib(40, 24, 0, 0, 0);
  const Bytes bits(24, 0xAB);
  const Bytes file =
      Golden().u16(0x4D42).i32(14 + 40 + 8 + 24).i32(0).i32(14 + 40 + 8).raw(header).raw(Bytes(8, 0xEE)).raw(bits);
  Bytes packed = header;
  packed.insert(packed.end(), bits.begin(), bits.end());
  EXPECT_EQ(BitmapFromFileBytes(file).Dib(), packed);

  EXPECT_THROW(BitmapFromFileBytes(Bytes{'B', 'M', 0, 0}), EInvalidGraphic);
  EXPECT_THROW(BitmapFromFileBytes(Golden().u16(0x4D43).i32(0).i32(0).i32(54).raw(header).bytes()), EInvalidGraphic);
  EXPECT_THROW(BitmapFromFileBytes(Golden().u16(0x4D42).i32(0).i32(0).i32(54).i32(40).i32(0).bytes()), EInvalidGraphic);
}

Bytes MetafileBits() {
  Golden g;
  g.u16(1).u16(9).u16(0x300).i32(15).u16(0).i32(5).u16(0);  // METAHEADER
  g.i32(5).u16(0x020C).u16(100).u16(200);                   // SetWindowExt
  g.i32(3).u16(0);                                          // end
  return g;
}

TMetafile Metafile(std::int32_t mm, std::int32_t x, std::int32_t y) {
  TMetafile metafile;
  metafile.LoadFromClipboardFormat(cf::kMetafilePict, Golden().i32(mm).i32(x).i32(y).raw(MetafileBits()), {});
  return metafile;
}

TEST(PictureFilesTest, PlaceableMetafileReadsBackToTheSamePicture) {
  struct Case {
    const char* name;
    std::int32_t mm, x, y;
    std::int16_t right, bottom;
    std::uint16_t inch;
    std::int32_t x_back, y_back;
  };
  const Case cases[] = {
      {"anisotropic", 8, 2000, 1000, 2000, 1000, 2540, 2000, 1000},
      {"no suggested size", 8, 0, 0, 0, 0, 2540, 0, 0},
      {"aspect ratio only", 8, -3, -2, -3, -2, 2540, -3, -2},
      {"largest exact", 8, 32767, 1, 32767, 1, 2540, 32767, 1},
      {"large: coarser units", 8, 40000, 500, 20000, 250, 1270, 40000, 500},
      {"large and odd: rounded", 8, 40001, 3, 20001, 2, 1270, 40002, 4},
      {"hundredths of a millimetre", 3, 500, 400, 500, 400, 2540, 500, 400},
      {"twips", 6, 1440, 720, 2540, 1270, 2540, 2540, 1270},
      {"pixels", 1, 96, 48, 2540, 1270, 2540, 2540, 1270},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes file = MetafileFileBytes(Metafile(c.mm, c.x, c.y));
    LayoutReader r(file);
    EXPECT_EQ(static_cast<std::uint32_t>(r.i32()), 0x9AC6CDD7u);
    EXPECT_EQ(r.u16(), 0);
    EXPECT_EQ(r.u16(), 0);
    EXPECT_EQ(r.u16(), 0);
    EXPECT_EQ(static_cast<std::int16_t>(r.u16()), c.right);
    EXPECT_EQ(static_cast<std::int16_t>(r.u16()), c.bottom);
    EXPECT_EQ(r.u16(), c.inch);
    EXPECT_EQ(r.i32(), 0);
    std::uint16_t checksum = 0;
    for (std::size_t i = 0; i < 20; i += 2) checksum ^= static_cast<std::uint16_t>(file[i] | file[i + 1] << 8);
    EXPECT_EQ(r.u16(), checksum);
    EXPECT_EQ(r.bytes(r.remaining()), MetafileBits());

    const TMetafile back = MetafileFromFileBytes(file);
    EXPECT_FALSE(back.Enhanced());
    EXPECT_EQ(back.MapMode(), 8);
    EXPECT_EQ(back.XExt(), c.x_back);
    EXPECT_EQ(back.YExt(), c.y_back);
    EXPECT_EQ(back.Bits(), MetafileBits());
  }
}

TEST(PictureFilesTest, OtherMetafileFiles) {
  // An enhanced metafile is kept in its own form.
  Bytes emf = Golden().i32(1).i32(88).raw(Bytes(32, 0)).i32(0x464D4520).raw(Bytes(44, 0)).bytes();
  TMetafile enhanced;
  enhanced.LoadFromClipboardFormat(cf::kEnhMetafile, emf, {});
  EXPECT_EQ(MetafileFileBytes(enhanced), emf);
  const TMetafile back = MetafileFromFileBytes(emf);
  EXPECT_TRUE(back.Enhanced());
  EXPECT_EQ(back.Bits(), emf);

  // A plain metafile without the placeable header: no suggested size.
  const TMetafile plain = MetafileFromFileBytes(MetafileBits());
  EXPECT_EQ(plain.MapMode(), 8);
  EXPECT_EQ(plain.XExt(), 0);
  EXPECT_EQ(plain.Bits(), MetafileBits());

  EXPECT_THROW(MetafileFromFileBytes(Bytes{1, 2, 3}), EInvalidGraphic);
  EXPECT_THROW(MetafileFromFileBytes(Golden().i32(static_cast<std::int32_t>(0x9AC6CDD7)).raw(Bytes(18, 0)).bytes()),
               EInvalidGraphic);
}

TEST(ByteStreamTest, ReadsAreBoundedByTheBytes) {
  const Bytes bytes = Golden().u16(0x1234).str("ab").u8(200).raw("xyz").bytes();
  TStreamReader reader(bytes);
  EXPECT_EQ(reader.ReadU16(), 0x1234);
  EXPECT_EQ(reader.ReadShortString(), "ab");
  const std::size_t at = reader.Position();
  EXPECT_THROW(reader.ReadShortString(), EMyStreamError);  // claims 200, holds 3
  reader.Seek(at + 1);
  EXPECT_THROW(reader.ReadU32(), EMyStreamError);
  EXPECT_THROW(reader.ReadBytes(std::size_t{1} << 40), EMyStreamError);
  EXPECT_EQ(reader.ReadBytes(3), (Bytes{'x', 'y', 'z'}));
  EXPECT_THROW(reader.ReadU8(), EMyStreamError);
  EXPECT_THROW(reader.Seek(bytes.size() + 1), EMyStreamError);
}

}  // namespace
}  // namespace om::testing
