// Copy back: a clip put on the simulated desktop's clipboard through the
// viewer, directly and for sequential paste, and what other programs then
// read there.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "clipboard/graphics_data.h"
#include "clipboard_store_fixture.h"
#include "store/store_errors.h"

namespace om::testing {
namespace {

using ::testing::Contains;
using ::testing::Not;

class ClipCopyTest : public ClipboardStoreTest {
 protected:
  ClipCopyTest() {
    View().OnCBChange = [this](TClipView5&) { ++captures_; };
  }
  ~ClipCopyTest() override { StoreServices().SequentialPaste = seqpaste::kOff; }

  TClipData& AddFlat(TClipObj& clip, std::uint16_t number, std::string name, Bytes data, bool selected = true) {
    auto entry = std::make_unique<TClipData>(formattype::kHandle);
    entry->FormatNum = number;
    entry->FormatName = std::move(name);
    entry->Size = static_cast<std::uint32_t>(data.size());
    entry->Handle = std::move(data);
    entry->Selected = selected;
    clip.DataList->push_back(std::move(entry));
    clip.Online = true;
    return *clip.DataList->back();
  }
  TClipData& AddBitmap(TClipObj& clip, const Bytes& dib) {
    auto entry = std::make_unique<TClipData>(formattype::kBitmap);
    entry->FormatNum = cf::kBitmap;
    entry->FormatName = "BITMAP";
    if (!dib.empty()) entry->Bitmap = std::make_unique<TBitmap>(dib);
    clip.DataList->push_back(std::move(entry));
    clip.Online = true;
    return *clip.DataList->back();
  }
  TClipData& AddMetafile(TClipObj& clip, const Bytes& pict) {
    auto entry = std::make_unique<TClipData>(formattype::kMetafile);
    entry->FormatNum = cf::kMetafilePict;
    entry->FormatName = "PICTURE";
    if (!pict.empty()) {
      entry->Metafile = std::make_unique<TMetafile>();
      entry->Metafile->LoadFromClipboardFormat(cf::kMetafilePict, pict, {});
    }
    clip.DataList->push_back(std::move(entry));
    clip.Online = true;
    return *clip.DataList->back();
  }

  // What another program finds for `format`: its data, or nullopt.
  std::optional<Bytes> ReadElsewhere(ForeignApp& app, std::uint32_t format) {
    const ClipData data = app.Read(format);
    if (data.status != ClipStatus::kOk) return std::nullopt;
    return data.bytes;
  }

  static Bytes Marker() {
    Bytes marker(16, 0);
    const std::string text = "Quillark5";
    std::copy(text.begin(), text.end(), marker.begin());
    return marker;
  }

  int captures_ = 0;
};

TEST_F(ClipCopyTest, SelectedFormatsGoOnTheClipboardWithTheIgnoreMarker) {
  ForeignApp& reader = Foreign();
  reader.PutText("what was there");
  Advance(1000);
  captures_ = 0;
  const std::uint32_t rich = Registered("Rich Text Format");
  const std::uint32_t secret = Registered("Ottermoor Secret");

  TClipObj clip(7, "WORDPAD");
  AddFlat(clip, cf::kText, "TEXT", TextBytes("put back"));
  AddFlat(clip, cf::kUnicodeText, "UNICODTEXT", Utf16Bytes("put back"));
  AddBitmap(clip, SmallDib(0x22));
  // Captured in an earlier session, when the format had another number.
  TClipData& stale = AddFlat(clip, 0xC3FF, "Rich Text Format", TextBytes("{\\rtf1 put back}"));
  AddFlat(clip, static_cast<std::uint16_t>(secret), "Ottermoor Secret", {1, 2}, false);
  clip.Changed = false;

  EXPECT_EQ(clip.Copy(View(), &preview_), 1);
  EXPECT_EQ(View().OpenRefCount(), 0);
  EXPECT_FALSE(Board().IsOpen());

  const std::vector<std::uint32_t> formats = Board().Formats();
  ASSERT_FALSE(formats.empty());
  EXPECT_EQ(formats.front(), IgnoreFormat);
  EXPECT_THAT(formats, Not(Contains(secret))) << "deselected";
  EXPECT_EQ(ReadElsewhere(reader, IgnoreFormat), Marker());
  EXPECT_EQ(ReadElsewhere(reader, cf::kText), TextBytes("put back"));
  EXPECT_EQ(ReadElsewhere(reader, cf::kUnicodeText), Utf16Bytes("put back"));
  EXPECT_EQ(ReadElsewhere(reader, cf::kBitmap), SmallDib(0x22));
  EXPECT_EQ(ReadElsewhere(reader, rich), TextBytes("{\\rtf1 put back}"));
  EXPECT_EQ(stale.FormatNum, rich) << "the entry now has this session's number";
  EXPECT_FALSE(clip.Changed);
  ASSERT_TRUE(preview_.shown.has_value());
  EXPECT_EQ(preview_.shown->Dib(), SmallDib(0x22));

  // The change is the program's own: not captured again.
  Advance(1000);
  EXPECT_EQ(captures_, 0);
  EXPECT_EQ(View().Creator(), "Quillark");
}

TEST_F(ClipCopyTest, AClipWithEveryFormatDeselectedLeavesOnlyTheMarker) {
  Foreign().PutText("old");
  Advance(1000);
  TClipObj clip(3, "NOTEPAD");
  AddFlat(clip, cf::kText, "TEXT", TextBytes("a"), false);
  AddBitmap(clip, SmallDib()).Selected = false;

  EXPECT_EQ(clip.Copy(View()), 1);
  EXPECT_EQ(Board().Formats(), std::vector<std::uint32_t>{IgnoreFormat});
}

TEST_F(ClipCopyTest, ABusyClipboardIsTriedTenTimesAndLeftAsItWas) {
  ForeignApp& holder = Foreign();
  holder.PutText("theirs");
  Advance(1000);
  ASSERT_TRUE(holder.HoldOpen());
  TClipObj clip(4, "NOTEPAD");
  AddFlat(clip, cf::kText, "TEXT", TextBytes("ours"));
  const std::uint64_t start = desktop_.Clock().ElapsedMs();

  EXPECT_EQ(clip.Copy(View()), 0);
  EXPECT_EQ(desktop_.Clock().ElapsedMs(), start) << "the attempts follow each other without pauses";
  EXPECT_EQ(LogCount(",COPY,Could not open clipboard: "), 10u);
  EXPECT_EQ(LogCount(",TClipObj.Copy,Error - Could Not Open Clipboard: "), 1u);
  EXPECT_EQ(View().OpenRefCount(), 0);
  holder.Release();
  EXPECT_EQ(holder.Read(cf::kText).bytes, TextBytes("theirs"));
}

struct FailureCase {
  const char* name;
  int bad;  // which entry cannot be placed
  const char* message;
  const char* log;
  friend void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }
};

class CopyFailure : public ClipCopyTest, public ::testing::WithParamInterface<FailureCase> {};

INSTANTIATE_TEST_SUITE_P(
    Entries, CopyFailure,
    ::testing::Values(FailureCase{"BitmapWithoutPicture", 0, "Copy Failed - Bitmap",
                                  ",CopyOne,BAD Copy (Bitmap) NOTEPAD SerialNum:9"},
                      FailureCase{"MetafileWithoutPicture", 1, "Copy Failed - Metafile",
                                  ",CopyOne,BAD Copy (Metafile) NOTEPAD SerialNum:9"},
                      FailureCase{"EmptyBlock", 2, "Copy Failed - Type: 0",
                                  ",CopyOne,BAD Copy (FLAT) NOTEPAD SerialNum:9"},
                      FailureCase{"NoIgnoreFormat", 3, "Copy Failed - Type: CF_CLIPBOARD_VIEWER_IGNORE",
                                  ",Copy,BAD Copy (CF_CLIPBOARD_VIEWER_IGNORE) NOTEPAD SerialNum:9"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_P(CopyFailure, StopsWithEBadCopyAndStillClosesTheClipboard) {
  ForeignApp& reader = Foreign();
  const std::uint32_t after = Registered("Ottermoor After");
  TClipObj clip(9, "NOTEPAD");
  AddFlat(clip, cf::kText, "TEXT", TextBytes("before"));
  switch (GetParam().bad) {
    case 0: AddBitmap(clip, {}); break;
    case 1: AddMetafile(clip, {}); break;
    case 2: AddFlat(clip, static_cast<std::uint16_t>(Registered("Ottermoor Empty")), "Ottermoor Empty", {}); break;
    default: IgnoreFormat = 0; break;
  }
  AddFlat(clip, static_cast<std::uint16_t>(after), "Ottermoor After", {5});

  // Once from nothing open, once inside an open the caller holds.
  for (int held = 0; held < 2; ++held) {
    SCOPED_TRACE(held);
    if (held == 1) {
      ASSERT_TRUE(View().Open());
    }
    try {
      clip.Copy(View());
      ADD_FAILURE() << "no EBadCopy";
    } catch (const EBadCopy& error) {
      EXPECT_STREQ(error.what(), GetParam().message);
    }
    EXPECT_EQ(View().OpenRefCount(), held);
    EXPECT_EQ(Board().IsOpen(), held == 1);
    if (held == 1) View().Close();
  }
  EXPECT_EQ(LogCount(GetParam().log), 2u);

  // What came before the bad entry stays, nothing after it was placed, and
  // the change was announced as the program's own.
  EXPECT_EQ(ReadElsewhere(reader, after), std::nullopt);
  const bool marker_failed = GetParam().bad == 3;
  EXPECT_EQ(ReadElsewhere(reader, cf::kText),
            marker_failed ? std::nullopt : std::optional<Bytes>(TextBytes("before")));
  Advance(1000);
  EXPECT_EQ(captures_, 0);
}

TEST_F(ClipCopyTest, SequentialPastePromisesEveryFormatAndRendersTheSelectedOnesWhenAsked) {
  ForeignApp& target = Foreign("C:\\Apps\\target.exe");
  const std::uint32_t secret = Registered("Ottermoor Secret");
  TClipObj clip(11, "NOTEPAD");
  AddFlat(clip, cf::kText, "TEXT", TextBytes("next in line"));
  AddBitmap(clip, SmallDib(0x33));
  AddFlat(clip, static_cast<std::uint16_t>(secret), "Ottermoor Secret", {7, 7}, false);

  int renders = 0;
  int open_while_rendering = -1;
  View().OnRenderFormat = [&](TClipView5& view) {
    ++renders;
    StoreServices().SequentialPaste = seqpaste::kRendering;
    open_while_rendering = view.OpenRefCount();
    EXPECT_EQ(clip.Copy(view), 1);
    EXPECT_EQ(view.OpenRefCount(), open_while_rendering) << "rendering neither opens nor closes";
  };

  StoreServices().SequentialPaste = seqpaste::kArmed;
  EXPECT_EQ(clip.Copy(View(), &preview_), 1);
  EXPECT_EQ(View().OpenRefCount(), 0);
  const std::vector<std::uint32_t> formats = Board().Formats();
  for (std::uint32_t format : {IgnoreFormat, std::uint32_t{cf::kText}, std::uint32_t{cf::kBitmap}, secret}) {
    EXPECT_THAT(formats, Contains(format));
  }
  EXPECT_EQ(renders, 0) << "promised, not yet rendered";
  ASSERT_TRUE(preview_.shown.has_value());
  EXPECT_EQ(preview_.shown->Dib(), SmallDib(0x33));

  // The target pastes the deselected format: the request writes the two
  // selected ones, and the one asked for stays without data.
  EXPECT_EQ(ReadElsewhere(target, secret), std::nullopt);
  EXPECT_EQ(renders, 1);
  EXPECT_EQ(open_while_rendering, 0);
  // The rest is there now, without asking again.
  EXPECT_EQ(ReadElsewhere(target, cf::kText), TextBytes("next in line"));
  EXPECT_EQ(ReadElsewhere(target, cf::kBitmap), SmallDib(0x33));
  EXPECT_EQ(ReadElsewhere(target, IgnoreFormat), Marker());
  EXPECT_EQ(renders, 1);
  Advance(1000);
  EXPECT_EQ(captures_, 0);
}

}  // namespace
}  // namespace om::testing
