// A clip's way through the program with another program on the other side
// of the clipboard: captured from what the other program put there, written
// to its files and read back, put back for the other program to read, and
// promised for sequential paste. The same cases run on the simulated
// desktop and, under Wine, on the real clipboard with cliptool.exe.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/fake/fake_sound.h"
#include "app/paths.h"
#include "clipboard/clip_view.h"
#include "clipboard/clipboard.h"
#include "clipboard/format_names.h"
#include "clipboard/graphics_data.h"
#include "contract/contract_env.h"
#include "store/byte_stream.h"
#include "store/clip_coll.h"
#include "store/clip_obj.h"
#include "store/filter.h"
#include "store/store_services.h"

namespace om::contract {
namespace {

using ::testing::ElementsAre;
using ::testing::Pair;
using om::testing::PutLE;

// Generous: under Wine on a loaded machine a round trip through another
// process can take a while; nothing waits this long when all is well.
constexpr std::uint32_t kWaitMs = 20000;
constexpr std::int32_t kDelayMs = 50;
// A change message within 250 ms of the last clipboard message is the
// program's own; the cases let this much pass before a foreign change.
constexpr std::uint32_t kQuietMs = 400;

class SilentPrompts final : public IPrompts {
 public:
  std::optional<std::string> InputBox(std::string_view, std::string_view, std::string_view,
                                      std::uintptr_t) override {
    return std::nullopt;  // nothing here asks for text
  }
  MsgResult ShowMessage(std::string_view, std::string_view, MsgButtons, MsgIcon, std::uintptr_t) override {
    return MsgResult::kOk;
  }
};

// Keeps the four kinds of data the cases are about; the system adds others
// (OEM and Unicode text, DIBs, enhanced metafiles), which differ between the
// simulated desktop and Wine.
class FourKinds final : public IFormatFilter {
 public:
  bool IsCoffee(std::string_view, std::string_view format) override {
    return format == "TEXT" || format == "BITMAP" || format == "PICTURE" || format == "HDROP";
  }
};

Bytes TextBytes(std::string_view s) {
  Bytes b(s.begin(), s.end());
  b.push_back(0);
  return b;
}

std::uint32_t U32(const Bytes& b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
         static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

std::uint32_t Colour(int x, int y) {
  return static_cast<std::uint32_t>(((x * 37) & 0xFF) << 16 | ((y * 53) & 0xFF) << 8 | (((x + y) * 17) & 0xFF));
}

// A bottom-up 24-bit DIB of the pattern; 5 pixels make rows with padding.
Bytes PatternDib(int width, int height) {
  const std::size_t stride = (static_cast<std::size_t>(width) * 24 + 31) / 32 * 4;
  Bytes dib;
  PutLE(dib, 40, 4);
  PutLE(dib, static_cast<std::uint32_t>(width), 4);
  PutLE(dib, static_cast<std::uint32_t>(height), 4);
  PutLE(dib, 1, 2);
  PutLE(dib, 24, 2);
  PutLE(dib, 0, 4);  // BI_RGB
  PutLE(dib, static_cast<std::uint32_t>(stride * height), 4);
  for (int i = 0; i < 4; ++i) PutLE(dib, 0, 4);
  for (int row = 0; row < height; ++row) {
    Bytes line(stride, 0);
    for (int x = 0; x < width; ++x) {
      const std::uint32_t c = Colour(x, height - 1 - row);
      line[static_cast<std::size_t>(x) * 3] = static_cast<std::uint8_t>(c);
      line[static_cast<std::size_t>(x) * 3 + 1] = static_cast<std::uint8_t>(c >> 8);
      line[static_cast<std::size_t>(x) * 3 + 2] = static_cast<std::uint8_t>(c >> 16);
    }
    dib.insert(dib.end(), line.begin(), line.end());
  }
  return dib;
}

// The picture a DIB shows: width, height and its pixels top row first as
// 0xRRGGBB. Takes uncompressed 24- and 32-bit DIBs (the 32-bit ones may
// carry the standard bit fields, as the system's own do); an empty result
// for anything else, so a comparison with the pattern fails.
std::vector<std::uint32_t> Pixels(const Bytes& dib, int& width, int& height) {
  width = height = 0;
  if (dib.size() < 40) return {};
  const std::uint32_t header = U32(dib, 0);
  const auto w = static_cast<std::int32_t>(U32(dib, 4));
  const auto h = static_cast<std::int32_t>(U32(dib, 8));
  const int bpp = dib[14] | dib[15] << 8;
  const std::uint32_t compression = U32(dib, 16);
  if ((bpp != 24 && bpp != 32) || w <= 0 || h == 0 || header < 40 || header > dib.size()) return {};
  std::size_t offset = header + static_cast<std::size_t>(U32(dib, 32)) * 4;
  if (compression == 3 && bpp == 32 && header == 40) {
    offset += 12;
  } else if (compression != 0 && compression != 3) {
    return {};
  }
  const int rows = h < 0 ? -h : h;
  const std::size_t stride = (static_cast<std::size_t>(w) * bpp + 31) / 32 * 4;
  if (dib.size() < offset + stride * static_cast<std::size_t>(rows)) return {};
  std::vector<std::uint32_t> out;
  for (int y = 0; y < rows; ++y) {
    const std::size_t row = static_cast<std::size_t>(h < 0 ? y : rows - 1 - y);
    for (int x = 0; x < w; ++x) {
      const std::uint8_t* px = dib.data() + offset + row * stride + static_cast<std::size_t>(x) * (bpp / 8);
      out.push_back(static_cast<std::uint32_t>(px[2] << 16 | px[1] << 8 | px[0]));
    }
  }
  width = w;
  height = rows;
  return out;
}

std::vector<std::uint32_t> PatternPixels(int width, int height) {
  std::vector<std::uint32_t> out;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) out.push_back(Colour(x, y));
  return out;
}

// CF_METAFILEPICT's portable form of a Windows metafile that draws one
// rectangle: anisotropic, 25.4 × 12.7 mm.
Bytes RectanglePicture() {
  Bytes b;
  PutLE(b, 8, 4);  // MM_ANISOTROPIC
  PutLE(b, 2540, 4);
  PutLE(b, 1270, 4);
  PutLE(b, 1, 2);       // mtType: memory
  PutLE(b, 9, 2);       // mtHeaderSize in words
  PutLE(b, 0x300, 2);   // mtVersion
  PutLE(b, 19, 4);      // mtSize in words: header 9, rectangle 7, end 3
  PutLE(b, 0, 2);       // mtNoObjects
  PutLE(b, 7, 4);       // mtMaxRecord
  PutLE(b, 0, 2);       // mtNoParameters
  PutLE(b, 7, 4);       // META_RECTANGLE: 7 words
  PutLE(b, 0x041B, 2);
  for (std::uint32_t v : {90u, 200u, 10u, 10u}) PutLE(b, v, 2);  // bottom, right, top, left
  PutLE(b, 3, 4);  // end record
  PutLE(b, 0, 2);
  return b;
}

// DROPFILES with ANSI names, as a file manager puts it.
Bytes DropFiles(const std::vector<std::string>& names) {
  Bytes b;
  PutLE(b, 20, 4);
  for (int i = 0; i < 4; ++i) PutLE(b, 0, 4);
  for (const std::string& name : names) {
    b.insert(b.end(), name.begin(), name.end());
    b.push_back(0);
  }
  b.push_back(0);
  return b;
}

class ClipCaptureCopy : public ::testing::Test {
 protected:
  void SetUp() override {
    env_ = MakeContractEnv();
    clipboard_ = std::make_unique<TClipboard>(env_->Clipboard());
    installation_ = std::make_unique<TheClipboardInstallation>(*clipboard_);
    saved_formats_ = {RTFFormat, HTMLFormat, URLFormat, IgnoreFormat};
    TStoreServices services;
    services.Clock = &env_->Clock();
    services.Locale = &env_->Locale();
    services.Clipboard = &env_->Clipboard();
    services.MasterListExists = true;
    services_ = std::make_unique<ScopedStoreServices>(services);

    // The clips' files go to a folder of the case's own.
    std::random_device random;
    folder_ = std::filesystem::temp_directory_path() / ("om_capture_copy_" + std::to_string(random()));
    std::filesystem::create_directories(folder_);
    coll_ = std::make_unique<TClipColl>();
    coll_->DirName = IncludeTrailingBackslash(folder_.string());

    view_ = std::make_unique<TClipView5>(ClipViewPorts{env_->Windows(), env_->Clock(), env_->Processes(), prompts_,
                                                       sound_, env_->Locale(), *clipboard_});
    RegisterStartupFormats(env_->Clipboard());
    view_->Delay = kDelayMs;
    view_->Capturing = true;
    view_->OnCBChange = [this](TClipView5& view) {
      ++changes_;
      captured_ = std::make_unique<TClipObj>(1, view.Creator());
      pasted_ = captured_->Paste(view, profile_);
    };
    view_->SetActive(true);
    env_->Pump(kQuietMs);
  }

  void TearDown() override {
    StoreServices().SequentialPaste = seqpaste::kOff;
    captured_.reset();
    view_.reset();
    app_.reset();
    coll_.reset();
    services_.reset();
    RTFFormat = saved_formats_[0];
    HTMLFormat = saved_formats_[1];
    URLFormat = saved_formats_[2];
    IgnoreFormat = saved_formats_[3];
    installation_.reset();
    clipboard_.reset();
    env_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  ForeignApp& Foreign() {
    app_ = env_->StartForeign();
    EXPECT_NE(app_, nullptr);
    return *app_;
  }

  // What the other program reads for each format asked for.
  std::map<std::uint32_t, std::optional<Bytes>> ReadElsewhere(const std::vector<std::uint32_t>& formats) {
    std::map<std::uint32_t, std::optional<Bytes>> out;
    for (std::uint32_t f : formats) out[f] = std::nullopt;
    const auto read = app_->Read(formats);
    EXPECT_TRUE(read.has_value());
    listed_.clear();
    if (!read) return out;
    for (const ForeignFormat& f : *read) {
      listed_.push_back(f.format);
      if (out.count(f.format) != 0) out[f.format] = f.data;
    }
    return out;
  }

  bool FileThere(const std::string& name) { return std::filesystem::exists(folder_ / name); }

  std::unique_ptr<ContractEnv> env_;
  std::unique_ptr<TClipboard> clipboard_;
  std::unique_ptr<TheClipboardInstallation> installation_;
  std::array<std::uint32_t, 4> saved_formats_{};
  std::unique_ptr<ScopedStoreServices> services_;
  std::filesystem::path folder_;
  std::unique_ptr<TClipColl> coll_;
  SilentPrompts prompts_;
  fake::FakeSound sound_;  // counted, never played
  FourKinds profile_;
  std::unique_ptr<TClipView5> view_;
  std::unique_ptr<ForeignApp> app_;
  int changes_ = 0;
  std::unique_ptr<TClipObj> captured_;
  std::int32_t pasted_ = -1;
  // Every format the other program's last read found listed.
  std::vector<std::uint32_t> listed_;
};

TEST_F(ClipCaptureCopy, AForeignClipIsCapturedStoredReadBackAndPutBack) {
  ForeignApp& app = Foreign();
  const Bytes text = TextBytes("Captured across programs");
  const Bytes dib = PatternDib(5, 3);
  const Bytes picture = RectanglePicture();
  const Bytes drop = DropFiles({"C:\\data\\one.txt", "C:\\two words.bmp"});
  ASSERT_TRUE(app.Put({{"1", text}, {"2", dib}, {"3", picture}, {"15", drop}}));
  ASSERT_TRUE(env_->WaitFor([&] { return changes_ == 1; }, kWaitMs));

  // Captured: the four kinds in the order they were put.
  ASSERT_NE(captured_, nullptr);
  TClipObj& clip = *captured_;
  EXPECT_EQ(pasted_, 4);
  ASSERT_TRUE(clip.DataList.has_value());
  std::vector<std::pair<std::uint32_t, std::string>> entries;
  for (const auto& entry : *clip.DataList) entries.emplace_back(entry->FormatNum, entry->FormatName);
  EXPECT_THAT(entries, ElementsAre(Pair(1u, "TEXT"), Pair(2u, "BITMAP"), Pair(3u, "PICTURE"), Pair(15u, "HDROP")));
  EXPECT_EQ(clip.IconFlags, iconflag::kText | iconflag::kBitmap | iconflag::kMetafile | iconflag::kHDrop);
  EXPECT_EQ(clip.GetTitle(), "Captured across programs");
  EXPECT_FALSE(view_->IsOpen());

  // Written: a clip of pictures is stored apart, in its data file and its
  // two picture files.
  clip.SetColl(coll_.get());
  TStreamWriter record;
  clip.SaveToStream(record);
  EXPECT_TRUE(clip.StoredApart);
  EXPECT_TRUE(FileThere("D1.DAT"));
  EXPECT_TRUE(FileThere("I1.bmp"));
  EXPECT_TRUE(FileThere("I1.wmf"));

  // Read back into a clip of its own, which loads its formats only when it
  // is put back.
  TClipObj back(0, "");
  back.SetColl(coll_.get());
  TStreamReader reader(record.Data());
  ASSERT_TRUE(back.LoadFromStream(reader));
  EXPECT_FALSE(back.Online);
  EXPECT_EQ(back.FormatCount, 4);
  EXPECT_EQ(back.Creator, clip.Creator);

  env_->Pump(kQuietMs);
  ASSERT_EQ(back.Copy(*view_), 1);
  EXPECT_TRUE(back.Online);
  EXPECT_FALSE(view_->IsOpen());

  const std::uint32_t ignore = app.Register("Clipboard Viewer Ignore");
  auto theirs = ReadElsewhere({ignore, cf::kText, cf::kBitmap, cf::kMetafilePict, cf::kHDrop});
  ASSERT_TRUE(theirs[ignore].has_value());
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(theirs[ignore]->data())), "Quillark5");
  EXPECT_EQ(theirs[cf::kText], text);
  EXPECT_EQ(theirs[cf::kHDrop], drop);
  EXPECT_EQ(theirs[cf::kMetafilePict], picture) << "same mapping mode, extents and metafile bits";
  ASSERT_TRUE(theirs[cf::kBitmap].has_value());
  int width = 0;
  int height = 0;
  const std::vector<std::uint32_t> pixels = Pixels(*theirs[cf::kBitmap], width, height);
  EXPECT_EQ(width, 5);
  EXPECT_EQ(height, 3);
  EXPECT_EQ(pixels, PatternPixels(5, 3));

  // Putting it back was the program's own change: nothing captured.
  env_->Pump(kQuietMs);
  EXPECT_EQ(changes_, 1);
}

TEST_F(ClipCaptureCopy, APromisedClipIsRenderedWhenTheOtherProgramReadsIt) {
  ForeignApp& app = Foreign();
  const std::uint32_t secret = app.Register("Ottermoor Promise Test");
  ASSERT_NE(secret, 0u);
  TClipObj clip(5, "NOTEPAD");
  auto add = [&](std::uint32_t number, const char* name, Bytes data, bool selected) {
    auto entry = std::make_unique<TClipData>(formattype::kHandle);
    entry->FormatNum = static_cast<std::uint16_t>(number);
    entry->FormatName = name;
    entry->Size = static_cast<std::uint32_t>(data.size());
    entry->Handle = std::move(data);
    entry->Selected = selected;
    clip.DataList->push_back(std::move(entry));
  };
  add(cf::kText, "TEXT", TextBytes("pasted next"), true);
  add(secret, "Ottermoor Promise Test", {1, 2, 3}, false);
  add(cf::kHDrop, "HDROP", DropFiles({"C:\\next.txt"}), true);
  clip.Online = true;

  int renders = 0;
  view_->OnRenderFormat = [&](TClipView5& view) {
    ++renders;
    StoreServices().SequentialPaste = seqpaste::kRendering;
    clip.Copy(view);
  };
  StoreServices().SequentialPaste = seqpaste::kArmed;
  ASSERT_EQ(clip.Copy(*view_), 1);
  EXPECT_EQ(renders, 0);

  // Nothing but promises until the other program reads; then the selected
  // formats are there and the deselected one stays without data.
  auto theirs = ReadElsewhere({cf::kText, secret, cf::kHDrop});
  EXPECT_GE(renders, 1);
  EXPECT_THAT(listed_, ::testing::Contains(secret)) << "every format is promised, selected or not";
  EXPECT_EQ(theirs[cf::kText], TextBytes("pasted next"));
  EXPECT_EQ(theirs[cf::kHDrop], DropFiles({"C:\\next.txt"}));
  EXPECT_EQ(theirs[secret], std::nullopt);
  env_->Pump(kQuietMs);
  EXPECT_EQ(changes_, 0);
}

}  // namespace
}  // namespace om::contract
