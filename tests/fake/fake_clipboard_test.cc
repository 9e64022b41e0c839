// What only the simulated clipboard promises, or what the contract cases
// cannot set up on a real system: metafile listings, the text and bitmap
// conversions, hung owners and windows that go away.
#include <gtest/gtest.h>

#include <cstring>

#include "fake/recorder.h"
#include "platform/fake/clipboard_synthesis.h"
#include "platform/fake/fake_desktop.h"

namespace om::fake {
namespace {

Bytes Text(std::string_view s) {
  Bytes b(s.begin(), s.end());
  b.push_back(0);
  return b;
}

Bytes Utf16(std::u16string_view s) {
  Bytes b;
  for (char16_t c : s) {
    b.push_back(static_cast<std::uint8_t>(c & 0xFF));
    b.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  b.push_back(0);
  b.push_back(0);
  return b;
}

class FakeClipboardTest : public ::testing::Test {
 protected:
  void Put(WindowHandle window, const std::vector<std::pair<std::uint32_t, Bytes>>& items) {
    ASSERT_EQ(clip_.Open(window), ClipStatus::kOk);
    ASSERT_EQ(clip_.Empty(), ClipStatus::kOk);
    for (const auto& [format, data] : items) ASSERT_EQ(clip_.SetData(format, data), ClipStatus::kOk);
    ASSERT_EQ(clip_.Close(), ClipStatus::kOk);
  }
  ClipData Read(std::uint32_t format) {
    EXPECT_EQ(clip_.Open(0), ClipStatus::kOk);
    ClipData data = clip_.GetData(format);
    clip_.Close();
    return data;
  }

  FakeDesktop desktop_;
  IClipboardSystem& clip_ = desktop_.Clipboard();
  Recorder recorder_;
  WindowHandle window_ = desktop_.Windows().CreateHidden(recorder_, "owner");
};

TEST_F(FakeClipboardTest, MetafileKindsAreListedButNotConverted) {
  Put(window_, {{cf::kEnhMetafile, {1, 2, 3}}});
  EXPECT_EQ(desktop_.SharedClipboard().Formats(), (std::vector<std::uint32_t>{cf::kEnhMetafile, cf::kMetafilePict}));
  EXPECT_EQ(Read(cf::kMetafilePict).status, ClipStatus::kFailed);
  Put(window_, {{cf::kMetafilePict, {1, 2, 3}}});
  EXPECT_EQ(desktop_.SharedClipboard().Formats(), (std::vector<std::uint32_t>{cf::kMetafilePict, cf::kEnhMetafile}));
}

TEST_F(FakeClipboardTest, TextConvertsThroughCodePage1252) {
  struct Case {
    std::uint32_t set;
    Bytes data;
    std::uint32_t read;
    Bytes expected;
  };
  const Case cases[] = {
      {cf::kText, Text("caf\xE9 \x80 \x96"), cf::kUnicodeText, Utf16(u"caf\u00E9 \u20AC \u2013")},
      {cf::kUnicodeText, Utf16(u"caf\u00E9 \u20AC \u2192"), cf::kText, Text("caf\xE9 \x80 ?")},
      {cf::kUnicodeText, Utf16(u"emoji \U0001F600!"), cf::kText, Text("emoji ?!")},
      // Text ends at its first NUL, whatever the block holds after it.
      {cf::kText, {'a', 'b', 0, 'c', 0}, cf::kUnicodeText, Utf16(u"ab")},
      {cf::kText, {'n', 'o', 'n', 'u', 'l'}, cf::kOemText, Text("nonul")},
  };
  for (const Case& c : cases) {
    Put(window_, {{c.set, c.data}});
    EXPECT_EQ(Read(c.read).bytes, c.expected) << c.set << " -> " << c.read;
  }
}

TEST_F(FakeClipboardTest, LocaleIsTheDesktopsUnlessGiven) {
  desktop_.SharedClipboard().SetLocale(0x0813);
  Put(window_, {{cf::kUnicodeText, Utf16(u"dag")}});
  EXPECT_EQ(Read(cf::kLocale).bytes, (Bytes{0x13, 0x08, 0, 0}));
}

TEST_F(FakeClipboardTest, DibHeadersConvertToAndFromVersion5) {
  // A 1x1 32-bit DIB with bit-field masks after its 40-byte header.
  Bytes dib(40 + 12 + 4, 0);
  const std::uint32_t header[] = {40, 1, 1};
  std::memcpy(dib.data(), header, sizeof header);
  dib[12] = 1;
  dib[14] = 32;
  dib[16] = 3;  // BI_BITFIELDS
  const std::uint32_t masks[] = {0xFF0000, 0xFF00, 0xFF};
  std::memcpy(dib.data() + 40, masks, sizeof masks);
  dib[52] = 0xAB;

  Put(window_, {{cf::kDib, dib}});
  const Bytes v5 = Read(cf::kDibV5).bytes;
  ASSERT_EQ(v5.size(), 124u + 4u) << "masks move into the header";
  std::uint32_t v5_size = 0, red = 0;
  std::memcpy(&v5_size, v5.data(), 4);
  std::memcpy(&red, v5.data() + 40, 4);
  EXPECT_EQ(v5_size, 124u);
  EXPECT_EQ(red, 0xFF0000u);
  EXPECT_EQ(v5[124], 0xAB);

  Put(window_, {{cf::kDibV5, v5}});
  EXPECT_EQ(Read(cf::kDib).bytes, dib);
  EXPECT_EQ(Read(cf::kBitmap).bytes, dib);
}

TEST_F(FakeClipboardTest, AHungOwnerRendersNothing) {
  recorder_.react = [&](WindowHandle, std::uint32_t message, std::uintptr_t format, std::intptr_t) -> std::intptr_t {
    if (message == msg::kRenderFormat) clip_.SetData(static_cast<std::uint32_t>(format), Text("late"));
    return 0;
  };
  ASSERT_EQ(clip_.Open(window_), ClipStatus::kOk);
  ASSERT_EQ(clip_.Empty(), ClipStatus::kOk);
  ASSERT_EQ(clip_.Promise(cf::kText), ClipStatus::kOk);
  ASSERT_EQ(clip_.Close(), ClipStatus::kOk);

  desktop_.Windows().SetHung(window_, true);
  EXPECT_EQ(Read(cf::kText).status, ClipStatus::kAbsent);
  desktop_.Windows().SetHung(window_, false);
  EXPECT_EQ(Read(cf::kText).bytes, Text("late"));
}

TEST_F(FakeClipboardTest, WindowsThatGoAwayLetGo) {
  Recorder other_handler;
  const WindowHandle viewer = desktop_.Windows().CreateHidden(other_handler, "viewer");
  EXPECT_EQ(clip_.SetViewer(viewer), 0u);
  desktop_.Windows().Destroy(viewer);
  EXPECT_EQ(clip_.Viewer(), 0u) << "a destroyed head empties the chain";

  // A process whose opening window is destroyed no longer holds the clipboard.
  IClipboardSystem& theirs = desktop_.ClipboardFor(desktop_.NewProcessId());
  const WindowHandle opener = desktop_.Windows().Create(other_handler, {"", "", 77});
  ASSERT_EQ(theirs.Open(opener), ClipStatus::kOk);
  EXPECT_EQ(clip_.Open(window_), ClipStatus::kBusy);
  desktop_.Windows().Destroy(opener);
  EXPECT_EQ(clip_.Open(window_), ClipStatus::kOk);
  EXPECT_EQ(clip_.Close(), ClipStatus::kOk);

  // The owner is asked to render everything even when nothing is promised.
  Put(window_, {{cf::kText, Text("plain")}});
  desktop_.Windows().Destroy(window_);
  EXPECT_EQ(recorder_.Count(msg::kRenderAllFormats), 1);
  EXPECT_EQ(clip_.Owner(), 0u);
  EXPECT_EQ(Read(cf::kText).bytes, Text("plain"));
}

TEST_F(FakeClipboardTest, OpeningWithAWindowThatDoesNotExistFails) {
  EXPECT_EQ(clip_.Open(window_ + 1), ClipStatus::kFailed);
  EXPECT_FALSE(desktop_.SharedClipboard().IsOpen());
}

}  // namespace
}  // namespace om::fake
