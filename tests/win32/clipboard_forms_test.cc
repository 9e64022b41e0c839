// The clipboard adapter against the real system, with cliptool.exe as the
// other program: the handle formats cross between processes in their
// portable forms, blocks are read exactly to their size, and malformed
// portable forms are refused.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "child_process.h"
#include "contract/contract_env.h"
#include "platform/win32/handles.h"

namespace om::test {
namespace {

using contract::ForeignApp;
using contract::ForeignItem;

class IgnoreAll final : public IMessageHandler {
 public:
  std::intptr_t OnMessage(WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t, bool& handled) override {
    handled = false;
    return 0;
  }
};

void PutU32(Bytes& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void PutU16(Bytes& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
std::uint32_t GetU32(const Bytes& b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16) | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

std::uint32_t PatternColour(int x, int y) {
  return static_cast<std::uint32_t>(((x * 41 + 7) & 0xFF) << 16 | ((y * 67 + 3) & 0xFF) << 8 | ((x * y * 13) & 0xFF));
}

// A bottom-up BI_RGB DIB of the pattern, 24 or 32 bits per pixel.
Bytes PatternDib(int width, int height, int bpp) {
  const std::size_t stride = (static_cast<std::size_t>(width) * bpp + 31) / 32 * 4;
  Bytes dib;
  PutU32(dib, 40);
  PutU32(dib, static_cast<std::uint32_t>(width));
  PutU32(dib, static_cast<std::uint32_t>(height));
  PutU16(dib, 1);
  PutU16(dib, static_cast<std::uint16_t>(bpp));
  PutU32(dib, 0);  // BI_RGB
  PutU32(dib, static_cast<std::uint32_t>(stride * height));
  for (int i = 0; i < 4; ++i) PutU32(dib, 0);
  for (int row = 0; row < height; ++row) {
    const int y = height - 1 - row;
    Bytes line(stride, 0);  // the padding stays zero
    for (int x = 0; x < width; ++x) {
      const std::uint32_t c = PatternColour(x, y);
      std::uint8_t* px = line.data() + static_cast<std::size_t>(x) * (bpp / 8);
      px[0] = static_cast<std::uint8_t>(c);
      px[1] = static_cast<std::uint8_t>(c >> 8);
      px[2] = static_cast<std::uint8_t>(c >> 16);
    }
    dib.insert(dib.end(), line.begin(), line.end());
  }
  return dib;
}

struct Pixels {
  int width = 0, height = 0;
  std::vector<std::uint32_t> rgb;  // top row first, 0xRRGGBB
};

// Decodes an uncompressed 24- or 32-bit DIB (32-bit ones may carry the
// standard 8-8-8 bit fields, as the system's own DIBs do); fails the test on
// anything else.
Pixels DecodeDib(const Bytes& dib) {
  Pixels p;
  EXPECT_GE(dib.size(), 40u);
  if (dib.size() < 40) return p;
  const std::uint32_t header = GetU32(dib, 0);
  const auto width = static_cast<std::int32_t>(GetU32(dib, 4));
  const auto height = static_cast<std::int32_t>(GetU32(dib, 8));
  const int bpp = dib[14] | dib[15] << 8;
  const std::uint32_t compression = GetU32(dib, 16);
  EXPECT_TRUE(bpp == 24 || bpp == 32) << bpp;
  std::size_t offset = header + GetU32(dib, 32) * 4;
  if (compression == 3 /* BI_BITFIELDS */ && bpp == 32 && dib.size() >= 52) {
    EXPECT_EQ(GetU32(dib, 40), 0xFF0000u);
    EXPECT_EQ(GetU32(dib, 44), 0x00FF00u);
    EXPECT_EQ(GetU32(dib, 48), 0x0000FFu);
    if (header == 40) offset += 12;
  } else {
    EXPECT_EQ(compression, 0u) << "compression";
  }
  const int rows = height < 0 ? -height : height;
  const std::size_t stride = (static_cast<std::size_t>(width) * bpp + 31) / 32 * 4;
  EXPECT_GE(dib.size(), offset + stride * rows);
  if ((bpp != 24 && bpp != 32) || dib.size() < offset + stride * rows) return p;
  p.width = width;
  p.height = rows;
  for (int y = 0; y < rows; ++y) {
    const std::size_t row = static_cast<std::size_t>(height < 0 ? y : rows - 1 - y);
    for (int x = 0; x < width; ++x) {
      const std::uint8_t* px = dib.data() + offset + row * stride + static_cast<std::size_t>(x) * (bpp / 8);
      p.rgb.push_back(static_cast<std::uint32_t>(px[2] << 16 | px[1] << 8 | px[0]));
    }
  }
  return p;
}

std::vector<std::uint32_t> PatternPixels(int width, int height) {
  std::vector<std::uint32_t> out;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) out.push_back(PatternColour(x, y));
  return out;
}

// A small Windows metafile (a rectangle and an ellipse) in its bits.
Bytes SampleMetafileBits() {
  HDC dc = ::CreateMetaFileA(nullptr);
  ::Rectangle(dc, 10, 10, 200, 100);
  ::Ellipse(dc, 20, 20, 120, 90);
  win32::Metafile metafile(::CloseMetaFile(dc));
  Bytes bits(::GetMetaFileBitsEx(metafile.get(), 0, nullptr));
  ::GetMetaFileBitsEx(metafile.get(), static_cast<UINT>(bits.size()), bits.data());
  return bits;
}

Bytes SampleMetafilePict() {
  Bytes form;
  PutU32(form, MM_ANISOTROPIC);
  PutU32(form, 2540);
  PutU32(form, 1270);
  const Bytes bits = SampleMetafileBits();
  form.insert(form.end(), bits.begin(), bits.end());
  return form;
}

Bytes SampleEnhMetafile() {
  HDC dc = ::CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
  ::Rectangle(dc, 0, 0, 50, 40);
  ::MoveToEx(dc, 0, 0, nullptr);
  ::LineTo(dc, 50, 40);
  win32::EnhMetafile metafile(::CloseEnhMetaFile(dc));
  Bytes bits(::GetEnhMetaFileBits(metafile.get(), 0, nullptr));
  ::GetEnhMetaFileBits(metafile.get(), static_cast<UINT>(bits.size()), bits.data());
  return bits;
}

Bytes SamplePalette() {
  return {0x00, 0x03, 3, 0, 255, 0, 0, 0, 0, 128, 0, 0, 1, 2, 3, 0};
}

class ClipboardForms : public ::testing::Test {
 protected:
  void SetUp() override {
    env_ = contract::MakeContractEnv();
    window_ = env_->Windows().CreateHidden(handler_, "clipboard forms test");
    ASSERT_NE(window_, 0u);
    foreign_ = env_->StartForeign();
    ASSERT_NE(foreign_, nullptr) << "cliptool.exe did not start";
  }
  void TearDown() override {
    foreign_.reset();
    if (env_) env_->Windows().Destroy(window_);
  }

  IClipboardSystem& Clip() { return env_->Clipboard(); }

  // Puts one format from this process, the way the program does.
  ClipStatus PutOurs(std::uint32_t format, const Bytes& data) {
    if (Clip().Open(window_) != ClipStatus::kOk) return ClipStatus::kBusy;
    Clip().Empty();
    const ClipStatus status = Clip().SetData(format, data);
    Clip().Close();
    return status;
  }

  ClipData ReadOurs(std::uint32_t format) {
    if (Clip().Open(window_) != ClipStatus::kOk) return ClipData{ClipStatus::kBusy, {}};
    ClipData data = Clip().GetData(format);
    Clip().Close();
    return data;
  }

  // What the other program reads for `format`.
  std::optional<Bytes> ReadForeign(std::uint32_t format) {
    const auto formats = foreign_->Read({format});
    if (!formats) return std::nullopt;
    for (const auto& f : *formats) {
      if (f.format == format) return f.data;
    }
    return std::nullopt;
  }

  std::unique_ptr<contract::ContractEnv> env_;
  IgnoreAll handler_;
  WindowHandle window_ = 0;
  std::unique_ptr<ForeignApp> foreign_;
};

struct DibCase {
  int width, height, bpp;
  friend void PrintTo(const DibCase& c, std::ostream* os) { *os << c.width << "x" << c.height << "x" << c.bpp; }
};

class ClipboardBitmaps : public ClipboardForms, public ::testing::WithParamInterface<DibCase> {};

// Odd widths give rows with padding; 1×1 is the smallest bitmap there is.
INSTANTIATE_TEST_SUITE_P(Sizes, ClipboardBitmaps,
                         ::testing::Values(DibCase{5, 3, 24}, DibCase{4, 4, 32}, DibCase{1, 1, 24},
                                           DibCase{33, 7, 32}),
                         [](const auto& info) {
                           return std::to_string(info.param.width) + "x" + std::to_string(info.param.height) + "x" +
                                  std::to_string(info.param.bpp);
                         });

TEST_P(ClipboardBitmaps, ForeignDibReadsAsBitmapWithTheSamePixels) {
  const auto [width, height, bpp] = GetParam();
  const Bytes dib = PatternDib(width, height, bpp);
  ASSERT_TRUE(foreign_->Put({ForeignItem{"8", dib}}));

  // The system makes the bitmap from the DIB; we turn it back into one.
  const ClipData bitmap = ReadOurs(cf::kBitmap);
  ASSERT_EQ(bitmap.status, ClipStatus::kOk);
  const Pixels pixels = DecodeDib(bitmap.bytes);
  EXPECT_EQ(pixels.width, width);
  EXPECT_EQ(pixels.height, height);
  EXPECT_EQ(pixels.rgb, PatternPixels(width, height));

  // The DIB itself comes through exactly as written.
  const ClipData same = ReadOurs(cf::kDib);
  ASSERT_EQ(same.status, ClipStatus::kOk);
  EXPECT_EQ(same.bytes, dib);
}

TEST_P(ClipboardBitmaps, OurBitmapReadsBackUnchangedAndElsewhereWithTheSamePixels) {
  const auto [width, height, bpp] = GetParam();
  const Bytes dib = PatternDib(width, height, bpp);
  ASSERT_EQ(PutOurs(cf::kBitmap, dib), ClipStatus::kOk);

  const ClipData ours = ReadOurs(cf::kBitmap);
  ASSERT_EQ(ours.status, ClipStatus::kOk);
  EXPECT_EQ(ours.bytes, dib) << "a 24/32-bit DIB keeps its bytes through kBitmap";

  for (std::uint32_t format : {cf::kBitmap, cf::kDib}) {
    SCOPED_TRACE(format);
    const auto theirs = ReadForeign(format);
    ASSERT_TRUE(theirs.has_value());
    const Pixels pixels = DecodeDib(*theirs);
    EXPECT_EQ(pixels.width, width);
    EXPECT_EQ(pixels.height, height);
    EXPECT_EQ(pixels.rgb, PatternPixels(width, height));
  }
}

struct HandleFormatCase {
  const char* name;
  std::uint32_t format;
  Bytes (*sample)();
  friend void PrintTo(const HandleFormatCase& c, std::ostream* os) { *os << c.name; }
};

class ClipboardHandleFormats : public ClipboardForms, public ::testing::WithParamInterface<HandleFormatCase> {};

INSTANTIATE_TEST_SUITE_P(Forms, ClipboardHandleFormats,
                         ::testing::Values(HandleFormatCase{"MetafilePict", cf::kMetafilePict, SampleMetafilePict},
                                           HandleFormatCase{"EnhMetafile", cf::kEnhMetafile, SampleEnhMetafile},
                                           HandleFormatCase{"Palette", cf::kPalette, SamplePalette}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(ClipboardHandleFormats, CrossesToTheOtherProgramUnchanged) {
  const Bytes form = GetParam().sample();
  ASSERT_FALSE(form.empty());
  ASSERT_EQ(PutOurs(GetParam().format, form), ClipStatus::kOk);
  const auto theirs = ReadForeign(GetParam().format);
  ASSERT_TRUE(theirs.has_value());
  EXPECT_EQ(*theirs, form);
}

TEST_P(ClipboardHandleFormats, ComesFromTheOtherProgramUnchanged) {
  const Bytes form = GetParam().sample();
  ASSERT_TRUE(foreign_->Put({ForeignItem{std::to_string(GetParam().format), form}}));
  const ClipData ours = ReadOurs(GetParam().format);
  ASSERT_EQ(ours.status, ClipStatus::kOk);
  EXPECT_EQ(ours.bytes, form);
}

TEST_F(ClipboardForms, MetafilePictureFromElsewhereAlsoReadsAsEnhancedMetafile) {
  ASSERT_TRUE(foreign_->Put({ForeignItem{"3", SampleMetafilePict()}}));
  const ClipData enhanced = ReadOurs(cf::kEnhMetafile);
  ASSERT_EQ(enhanced.status, ClipStatus::kOk);
  ASSERT_GE(enhanced.bytes.size(), 44u);
  EXPECT_EQ(GetU32(enhanced.bytes, 40), 0x464D4520u) << "ENHMETAHEADER signature \" EMF\"";
}

// Registered-format blocks of awkward sizes come back exactly: never a byte
// more (no reading past the block), never a byte less.
TEST_F(ClipboardForms, BlocksReadExactlyToTheirSize) {
  for (std::size_t size : {std::size_t{1}, std::size_t{3}, std::size_t{4097}, std::size_t{65537}}) {
    SCOPED_TRACE(size);
    Bytes data(size);
    for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<std::uint8_t>(i * 7 + 1);
    ASSERT_TRUE(foreign_->Put({ForeignItem{"Ottermoor Size Test", data}}));
    const std::uint32_t format = Clip().RegisterFormat("Ottermoor Size Test");
    const ClipData ours = ReadOurs(format);
    ASSERT_EQ(ours.status, ClipStatus::kOk);
    EXPECT_EQ(ours.bytes, data);
  }
}

struct MalformedCase {
  const char* name;
  std::uint32_t format;
  Bytes form;
  friend void PrintTo(const MalformedCase& c, std::ostream* os) { *os << c.name; }
};

class ClipboardMalformed : public ClipboardForms, public ::testing::WithParamInterface<MalformedCase> {};

Bytes TruncatedDib() {
  Bytes dib = PatternDib(8, 8, 24);
  dib.resize(dib.size() - 1);
  return dib;
}
Bytes DibWithHugeHeader() {
  Bytes dib = PatternDib(2, 2, 24);
  dib[0] = 0xFF;
  dib[1] = 0xFF;
  return dib;
}
Bytes DibWithHugeWidth() {
  Bytes dib = PatternDib(2, 2, 24);
  dib[7] = 0x7F;  // width 0x7F000002
  return dib;
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ClipboardMalformed,
    ::testing::Values(MalformedCase{"DibShortOfItsPixels", cf::kBitmap, TruncatedDib()},
                      MalformedCase{"DibHeaderLongerThanData", cf::kBitmap, DibWithHugeHeader()},
                      MalformedCase{"DibWidthBeyondData", cf::kBitmap, DibWithHugeWidth()},
                      MalformedCase{"DibHeaderOnly", cf::kBitmap, Bytes(20, 0)},
                      MalformedCase{"MetafileHeaderShort", cf::kMetafilePict, Bytes(11, 0)},
                      MalformedCase{"MetafileWithoutBits", cf::kMetafilePict, Bytes(12, 0)},
                      MalformedCase{"MetafileGarbageBits", cf::kMetafilePict, Bytes(40, 0xEE)},
                      MalformedCase{"PaletteCountBeyondData", cf::kPalette, Bytes{0x00, 0x03, 9, 0, 1, 2, 3, 0}},
                      MalformedCase{"EnhMetafileEmpty", cf::kEnhMetafile, Bytes{}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_P(ClipboardMalformed, IsRefusedAndLeavesTheFormatAbsent) {
  ASSERT_EQ(Clip().Open(window_), ClipStatus::kOk);
  ASSERT_EQ(Clip().Empty(), ClipStatus::kOk);
  EXPECT_EQ(Clip().SetData(GetParam().format, GetParam().form), ClipStatus::kFailed);
  EXPECT_FALSE(Clip().IsFormatAvailable(GetParam().format));
  EXPECT_EQ(Clip().Close(), ClipStatus::kOk);
}

// cliptool's one-shot `put files:` writes CF_HDROP the way Explorer does;
// the bytes arrive as written.
struct DropCase {
  const char* name;
  bool wide;
  friend void PrintTo(const DropCase& c, std::ostream* os) { *os << c.name; }
};
class ClipboardDropFiles : public ClipboardForms, public ::testing::WithParamInterface<DropCase> {};
INSTANTIATE_TEST_SUITE_P(Encodings, ClipboardDropFiles,
                         ::testing::Values(DropCase{"Ansi", false}, DropCase{"Wide", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(ClipboardDropFiles, ArriveAsWritten) {
  const bool wide = GetParam().wide;
  ChildProcess put;
  std::string command = ProgramPath("cliptool.exe");
  command += wide ? " put --wide" : " put";
  command += " \"files:C:\\data\\one.txt;C:\\two words.bmp\"";
  ASSERT_TRUE(put.Start(command, false));
  const auto exit_code = put.WaitForExit(30000);
  ASSERT_TRUE(exit_code.has_value());
  ASSERT_EQ(*exit_code, 0u);

  Bytes expected;
  PutU32(expected, 20);  // offset of the names
  PutU32(expected, 0);   // pt.x
  PutU32(expected, 0);   // pt.y
  PutU32(expected, 0);   // fNC
  PutU32(expected, wide ? 1 : 0);
  for (const std::string name : {"C:\\data\\one.txt", "C:\\two words.bmp", ""}) {
    for (char c : name) {
      expected.push_back(static_cast<std::uint8_t>(c));
      if (wide) expected.push_back(0);
    }
    expected.push_back(0);
    if (wide) expected.push_back(0);
  }
  const ClipData drop = ReadOurs(cf::kHDrop);
  ASSERT_EQ(drop.status, ClipStatus::kOk);
  EXPECT_EQ(drop.bytes, expected);
}

}  // namespace
}  // namespace om::test
