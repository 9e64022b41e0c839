// The clipboard port's contract: the rules the simulated desktop and the
// real system share. The same file runs natively and under Wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "contract/contract_env.h"
#include "contract/test_window.h"

namespace om::contract {
namespace {

constexpr std::uint32_t kWaitMs = 5000;

class ClipboardContract : public ::testing::Test {
 protected:
  void SetUp() override {
    env_ = MakeContractEnv();
    clip_ = &env_->Clipboard();
  }

  void TearDown() override {
    // Our windows leave the chain and go before the clipboard is wiped, so
    // nobody of ours is told about the wipe.
    windows_.clear();
    foreign_.reset();
    if (clip_->Open(0) == ClipStatus::kOk) {
      clip_->Empty();
      clip_->Close();
    }
  }

  TestWindow& NewWindow() {
    windows_.push_back(std::make_unique<TestWindow>(*env_));
    return *windows_.back();
  }

  ForeignApp& Foreign() {
    if (!foreign_) foreign_ = env_->StartForeign();
    return *foreign_;
  }

  // Opens with `window`, empties, sets every item, closes.
  void Put(WindowHandle window, const std::vector<std::pair<std::uint32_t, Bytes>>& items) {
    ASSERT_EQ(clip_->Open(window), ClipStatus::kOk);
    ASSERT_EQ(clip_->Empty(), ClipStatus::kOk);
    for (const auto& [format, data] : items) ASSERT_EQ(clip_->SetData(format, data), ClipStatus::kOk);
    ASSERT_EQ(clip_->Close(), ClipStatus::kOk);
  }

  std::vector<std::uint32_t> Enumerate() {
    std::vector<std::uint32_t> formats;
    for (std::uint32_t f = clip_->EnumFormats(0); f != 0 && formats.size() < 1000; f = clip_->EnumFormats(f))
      formats.push_back(f);
    return formats;
  }

  ClipData Read(std::uint32_t format) {
    if (clip_->Open(0) != ClipStatus::kOk) return {ClipStatus::kBusy, {}};
    ClipData data = clip_->GetData(format);
    clip_->Close();
    return data;
  }

  std::unique_ptr<ContractEnv> env_;
  IClipboardSystem* clip_ = nullptr;
  std::unique_ptr<ForeignApp> foreign_;
  std::vector<std::unique_ptr<TestWindow>> windows_;
};

// A 2x2 24-bit bottom-up DIB with a recognisable pixel pattern.
Bytes SmallDib() {
  Bytes dib(40 + 16, 0);
  const std::int32_t header[] = {40, 2, 2};
  std::memcpy(dib.data(), header, sizeof header);
  dib[12] = 1;   // planes
  dib[14] = 24;  // bits per pixel
  for (std::size_t i = 40; i < dib.size(); ++i) dib[i] = static_cast<std::uint8_t>(0x30 + i);
  return dib;
}

std::uint32_t U32At(const Bytes& b, std::size_t at) {
  std::uint32_t v = 0;
  if (b.size() >= at + 4) std::memcpy(&v, b.data() + at, 4);
  return v;
}

TEST_F(ClipboardContract, OnlyOneProgramHasItOpenAtATime) {
  TestWindow& mine = NewWindow();
  ASSERT_TRUE(Foreign().HoldOpen());
  EXPECT_EQ(clip_->Open(mine.handle()), ClipStatus::kBusy);
  EXPECT_EQ(clip_->OpenWindow(), Foreign().Window());
  // Nothing that needs it open works while we do not have it.
  EXPECT_EQ(clip_->Empty(), ClipStatus::kNotOpen);
  EXPECT_EQ(clip_->SetData(cf::kText, BytesOf("x")), ClipStatus::kNotOpen);
  EXPECT_EQ(clip_->Promise(cf::kText), ClipStatus::kNotOpen);
  EXPECT_EQ(clip_->EnumFormats(0), 0u);
  EXPECT_EQ(clip_->GetData(cf::kText).status, ClipStatus::kNotOpen);

  ASSERT_TRUE(Foreign().Release());
  ASSERT_EQ(clip_->Open(mine.handle()), ClipStatus::kOk);
  EXPECT_EQ(clip_->OpenWindow(), mine.handle());
  // Opening again from the program that has it open is fine.
  EXPECT_EQ(clip_->Open(mine.handle()), ClipStatus::kOk);
  EXPECT_EQ(clip_->Close(), ClipStatus::kOk);
  EXPECT_NE(clip_->Close(), ClipStatus::kOk);
  EXPECT_EQ(clip_->OpenWindow(), 0u);
}

TEST_F(ClipboardContract, FormatsComeBackInTheOrderTheyWereSet) {
  TestWindow& mine = NewWindow();
  const std::uint32_t custom = clip_->RegisterFormat("Ottermoor Contract Bytes");
  ASSERT_NE(custom, 0u);
  const Bytes arbitrary = {0x00, 0xFF, 0x10, 0x00, 0x00, 0x7F, 0x80, 0x01, 0x00};
  // The registered format first: the order is the order of setting, not of numbers.
  Put(mine.handle(), {{custom, arbitrary}, {cf::kText, BytesOf("hello")}, {cf::kDib, SmallDib()}});

  EXPECT_EQ(clip_->Owner(), mine.handle());
  // These two work on a closed clipboard.
  EXPECT_TRUE(clip_->IsFormatAvailable(custom));
  EXPECT_TRUE(clip_->IsFormatAvailable(cf::kText));
  EXPECT_FALSE(clip_->IsFormatAvailable(cf::kWave));
  const int count = clip_->CountFormats();

  ASSERT_EQ(clip_->Open(0), ClipStatus::kOk);
  const std::vector<std::uint32_t> formats = Enumerate();
  ASSERT_GE(formats.size(), 3u);
  EXPECT_EQ(std::vector<std::uint32_t>(formats.begin(), formats.begin() + 3),
            (std::vector<std::uint32_t>{custom, cf::kText, cf::kDib}));
  EXPECT_EQ(static_cast<int>(formats.size()), count);
  const ClipData custom_data = clip_->GetData(custom);
  EXPECT_EQ(custom_data.status, ClipStatus::kOk);
  EXPECT_EQ(custom_data.bytes, arbitrary);
  EXPECT_EQ(clip_->GetData(cf::kText).bytes, BytesOf("hello"));
  EXPECT_EQ(clip_->GetData(cf::kDib).bytes, SmallDib());
  EXPECT_EQ(clip_->GetData(cf::kWave).status, ClipStatus::kAbsent);
  EXPECT_EQ(clip_->Close(), ClipStatus::kOk);
}

TEST_F(ClipboardContract, EmptyDataIsRefusedAndLeavesNothingBehind) {
  TestWindow& mine = NewWindow();
  const std::uint32_t custom = clip_->RegisterFormat("Ottermoor Contract Empty");
  ASSERT_EQ(clip_->Open(mine.handle()), ClipStatus::kOk);
  ASSERT_EQ(clip_->Empty(), ClipStatus::kOk);
  EXPECT_EQ(clip_->SetData(custom, {}), ClipStatus::kFailed);
  EXPECT_EQ(clip_->SetData(cf::kText, BytesOf("kept")), ClipStatus::kOk);
  EXPECT_EQ(clip_->Close(), ClipStatus::kOk);
  EXPECT_FALSE(clip_->IsFormatAvailable(custom));
  EXPECT_TRUE(clip_->IsFormatAvailable(cf::kText));
}

TEST_F(ClipboardContract, SettingAFormatAgainKeepsItsPlace) {
  TestWindow& mine = NewWindow();
  const std::uint32_t a = clip_->RegisterFormat("Ottermoor Contract A");
  const std::uint32_t b = clip_->RegisterFormat("Ottermoor Contract B");
  Put(mine.handle(), {{a, BytesOf("1")}, {b, BytesOf("2")}, {a, BytesOf("3")}});
  ASSERT_EQ(clip_->Open(0), ClipStatus::kOk);
  EXPECT_EQ(Enumerate(), (std::vector<std::uint32_t>{a, b}));
  EXPECT_EQ(clip_->GetData(a).bytes, BytesOf("3"));
  clip_->Close();
}

TEST_F(ClipboardContract, TheSystemAddsRelatedFormatsOnClose) {
  struct Case {
    const char* what;
    std::vector<std::pair<std::uint32_t, Bytes>> set;
    std::vector<std::uint32_t> listed;
  };
  const Bytes utf16_hello = {'h', 0, 'e', 0, 'l', 0, 'l', 0, 'o', 0, 0, 0};
  const Bytes german = {0x07, 0x04, 0x00, 0x00};
  const std::uint32_t custom = clip_->RegisterFormat("Ottermoor Contract Between");
  const Case cases[] = {
      {"ANSI text", {{cf::kText, BytesOf("hello")}}, {cf::kText, cf::kLocale, cf::kOemText, cf::kUnicodeText}},
      {"UTF-16 text", {{cf::kUnicodeText, utf16_hello}}, {cf::kUnicodeText, cf::kLocale, cf::kText, cf::kOemText}},
      {"OEM text", {{cf::kOemText, BytesOf("hello")}}, {cf::kOemText, cf::kLocale, cf::kText, cf::kUnicodeText}},
      {"DIB", {{cf::kDib, SmallDib()}}, {cf::kDib, cf::kBitmap, cf::kDibV5}},
      {"bitmap", {{cf::kBitmap, SmallDib()}}, {cf::kBitmap, cf::kDib, cf::kDibV5}},
      {"locale given", {{cf::kLocale, german}, {cf::kText, BytesOf("hallo")}},
       {cf::kLocale, cf::kText, cf::kOemText, cf::kUnicodeText}},
      {"both text kinds", {{cf::kText, BytesOf("hello")}, {cf::kUnicodeText, utf16_hello}},
       {cf::kText, cf::kUnicodeText, cf::kLocale, cf::kOemText}},
      {"picture and text", {{cf::kDib, SmallDib()}, {custom, BytesOf("z")}, {cf::kText, BytesOf("hello")}},
       {cf::kDib, custom, cf::kText, cf::kLocale, cf::kOemText, cf::kUnicodeText, cf::kBitmap, cf::kDibV5}},
      {"nothing related", {{custom, BytesOf("z")}, {cf::kDspText, BytesOf("shown")}}, {custom, cf::kDspText}},
  };
  TestWindow& mine = NewWindow();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(clip_->Open(mine.handle()), ClipStatus::kOk);
    ASSERT_EQ(clip_->Empty(), ClipStatus::kOk);
    std::vector<std::uint32_t> set_formats;
    for (const auto& [format, data] : c.set) {
      ASSERT_EQ(clip_->SetData(format, data), ClipStatus::kOk);
      set_formats.push_back(format);
    }
    // Only on close: until then the clipboard holds what was set.
    EXPECT_EQ(Enumerate(), set_formats);
    ASSERT_EQ(clip_->Close(), ClipStatus::kOk);
    EXPECT_EQ(clip_->CountFormats(), static_cast<int>(c.listed.size()));
    ASSERT_EQ(clip_->Open(0), ClipStatus::kOk);
    EXPECT_EQ(Enumerate(), c.listed);
    if (c.set.front().first == cf::kLocale) {
      EXPECT_EQ(clip_->GetData(cf::kLocale).bytes, german) << "kept as given";
    }
    clip_->Close();
  }
}

TEST_F(ClipboardContract, TextReadsInEveryTextFormat) {
  TestWindow& mine = NewWindow();
  const Bytes utf16_hello = {'h', 0, 'e', 0, 'l', 0, 'l', 0, 'o', 0, 0, 0};
  Put(mine.handle(), {{cf::kText, BytesOf("hello")}});
  EXPECT_EQ(Read(cf::kUnicodeText).bytes, utf16_hello);
  EXPECT_EQ(Read(cf::kOemText).bytes, BytesOf("hello"));
  EXPECT_EQ(Read(cf::kLocale).bytes.size(), 4u);

  Put(mine.handle(), {{cf::kUnicodeText, utf16_hello}});
  EXPECT_EQ(Read(cf::kText).bytes, BytesOf("hello"));
}

TEST_F(ClipboardContract, BitmapFormatsReadAsTheSamePicture) {
  TestWindow& mine = NewWindow();
  for (std::uint32_t set : {cf::kDib, cf::kBitmap}) {
    SCOPED_TRACE(set);
    Put(mine.handle(), {{set, SmallDib()}});
    for (std::uint32_t read : {cf::kDib, cf::kBitmap, cf::kDibV5}) {
      const ClipData data = Read(read);
      ASSERT_EQ(data.status, ClipStatus::kOk) << read;
      EXPECT_EQ(U32At(data.bytes, 0), read == cf::kDibV5 ? 124u : 40u) << read;  // header size
      EXPECT_EQ(U32At(data.bytes, 4), 2u) << read;                               // width
      EXPECT_EQ(U32At(data.bytes, 8), 2u) << read;                               // height
    }
  }
}

TEST_F(ClipboardContract, SequenceNumberStepsWithEveryChangeOnly) {
  TestWindow& mine = NewWindow();
  const std::uint32_t before = clip_->SequenceNumber();
  ASSERT_EQ(clip_->Open(mine.handle()), ClipStatus::kOk);
  ASSERT_EQ(clip_->Empty(), ClipStatus::kOk);
  const std::uint32_t emptied = clip_->SequenceNumber();
  EXPECT_NE(emptied, before);
  ASSERT_EQ(clip_->SetData(cf::kText, BytesOf("one")), ClipStatus::kOk);
  const std::uint32_t first = clip_->SequenceNumber();
  EXPECT_NE(first, emptied);
  ASSERT_EQ(clip_->SetData(cf::kDib, SmallDib()), ClipStatus::kOk);
  EXPECT_NE(clip_->SequenceNumber(), first);
  ASSERT_EQ(clip_->Close(), ClipStatus::kOk);

  const std::uint32_t settled = clip_->SequenceNumber();
  ASSERT_EQ(clip_->Open(mine.handle()), ClipStatus::kOk);
  ASSERT_EQ(clip_->Close(), ClipStatus::kOk);
  EXPECT_EQ(clip_->SequenceNumber(), settled) << "opening and closing changes nothing";

  ASSERT_TRUE(Foreign().Put({{"1", BytesOf("theirs")}}));
  EXPECT_NE(clip_->SequenceNumber(), settled);
}

TEST_F(ClipboardContract, RegisteredFormatsAreSharedByName) {
  const std::uint32_t number = clip_->RegisterFormat("Ottermoor Contract Shared");
  EXPECT_GE(number, cf::kFirstRegistered);
  EXPECT_EQ(clip_->RegisterFormat("OTTERMOOR contract shared"), number);
  EXPECT_NE(clip_->RegisterFormat("Ottermoor Contract Other"), number);
  EXPECT_EQ(Foreign().Register("ottermoor contract shared"), number);
  EXPECT_EQ(clip_->RegisterFormat(""), 0u);

  const std::optional<std::string> name = clip_->FormatName(number);
  ASSERT_TRUE(name.has_value());
  std::string folded = *name;
  std::transform(folded.begin(), folded.end(), folded.begin(), [](unsigned char c) { return std::tolower(c); });
  EXPECT_EQ(folded, "ottermoor contract shared");
  EXPECT_EQ(clip_->FormatName(cf::kText), std::nullopt);
  EXPECT_EQ(clip_->FormatName(cf::kDib), std::nullopt);
}

TEST_F(ClipboardContract, JoiningTheChainReturnsThePreviousHeadAndDrawsAtOnce) {
  const WindowHandle head_before = clip_->Viewer();
  TestWindow& first = NewWindow();
  TestWindow& second = NewWindow();

  EXPECT_EQ(first.JoinChain(), head_before);
  EXPECT_EQ(first.Count(msg::kDrawClipboard), 1) << "delivered inside SetViewer";
  EXPECT_EQ(clip_->Viewer(), first.handle());

  EXPECT_EQ(second.JoinChain(), first.handle());
  EXPECT_EQ(second.Count(msg::kDrawClipboard), 1);
  EXPECT_EQ(clip_->Viewer(), second.handle());
}

TEST_F(ClipboardContract, ClosingAfterAChangeDrawsBeforeCloseReturns) {
  TestWindow& viewer = NewWindow();
  TestWindow& writer = NewWindow();
  viewer.JoinChain();
  viewer.received.clear();

  ASSERT_EQ(clip_->Open(writer.handle()), ClipStatus::kOk);
  ASSERT_EQ(clip_->Empty(), ClipStatus::kOk);
  ASSERT_EQ(clip_->SetData(cf::kText, BytesOf("changed")), ClipStatus::kOk);
  EXPECT_EQ(viewer.Count(msg::kDrawClipboard), 0) << "not while it is still open";
  ASSERT_EQ(clip_->Close(), ClipStatus::kOk);
  EXPECT_EQ(viewer.Count(msg::kDrawClipboard), 1);

  ASSERT_EQ(clip_->Open(writer.handle()), ClipStatus::kOk);
  ASSERT_EQ(clip_->Close(), ClipStatus::kOk);
  env_->Pump(50);
  EXPECT_EQ(viewer.Count(msg::kDrawClipboard), 1) << "no change, no message";
}

TEST_F(ClipboardContract, ForeignWriteReachesOurViewerAndEndsOurOwnership) {
  TestWindow& viewer = NewWindow();
  TestWindow& owner = NewWindow();
  Put(owner.handle(), {{cf::kText, BytesOf("ours")}});
  viewer.JoinChain();
  viewer.received.clear();

  ASSERT_TRUE(Foreign().Put({{"1", BytesOf("from afar")}}));
  EXPECT_TRUE(env_->WaitFor([&] { return viewer.Count(msg::kDrawClipboard) >= 1; }, kWaitMs));
  EXPECT_TRUE(env_->WaitFor([&] { return owner.Count(msg::kDestroyClipboard) >= 1; }, kWaitMs));
  EXPECT_EQ(clip_->Owner(), Foreign().Window());
  EXPECT_EQ(Read(cf::kText).bytes, BytesOf("from afar"));
}

TEST_F(ClipboardContract, RemovingAWindowIsAnnouncedToTheHead) {
  const WindowHandle head_before = clip_->Viewer();
  TestWindow& first = NewWindow();
  TestWindow& second = NewWindow();
  first.JoinChain();
  second.JoinChain();
  ASSERT_EQ(second.next_viewer(), first.handle());

  first.LeaveChain();
  ASSERT_EQ(second.Count(msg::kChangeCbChain), 1);
  const Received& note = second.received.back();
  EXPECT_EQ(note.message, msg::kChangeCbChain);
  EXPECT_EQ(static_cast<WindowHandle>(note.wparam), first.handle());
  EXPECT_EQ(static_cast<WindowHandle>(note.lparam), head_before);
  EXPECT_EQ(second.next_viewer(), head_before) << "the head mended its link";
  EXPECT_EQ(clip_->Viewer(), second.handle());

  // The head leaving hands the chain on to its next.
  second.LeaveChain();
  EXPECT_EQ(clip_->Viewer(), head_before);
}

TEST_F(ClipboardContract, OurPromiseIsRenderedWhenAnotherProgramReads) {
  TestWindow& owner = NewWindow();
  const std::uint32_t format = clip_->RegisterFormat("Ottermoor Contract Promise");
  const Bytes payload = {0x01, 0x00, 0xFE, 0x42, 0x00};
  owner.renders[format] = payload;
  ASSERT_EQ(clip_->Open(owner.handle()), ClipStatus::kOk);
  ASSERT_EQ(clip_->Empty(), ClipStatus::kOk);
  ASSERT_EQ(clip_->Promise(format), ClipStatus::kOk);
  ASSERT_EQ(clip_->Close(), ClipStatus::kOk);
  EXPECT_TRUE(clip_->IsFormatAvailable(format));
  EXPECT_EQ(owner.Count(msg::kRenderFormat), 0) << "nothing asked for yet";

  const auto read = Foreign().Read({format});
  ASSERT_TRUE(read.has_value());
  const auto it = std::find_if(read->begin(), read->end(), [&](const ForeignFormat& f) { return f.format == format; });
  ASSERT_NE(it, read->end());
  EXPECT_EQ(it->data, payload);
  ASSERT_EQ(owner.Count(msg::kRenderFormat), 1);
  EXPECT_EQ(owner.received.back().wparam, format);
}

TEST_F(ClipboardContract, TheirPromiseIsRenderedWhenWeRead) {
  const Bytes payload = {0x00, 0x11, 0x22, 0x00};
  ASSERT_TRUE(Foreign().Put({{"Ottermoor Contract Their Promise", payload, /*promised=*/true}}));
  const std::uint32_t format = clip_->RegisterFormat("Ottermoor Contract Their Promise");
  EXPECT_TRUE(clip_->IsFormatAvailable(format));
  EXPECT_EQ(Foreign().RenderCount(), 0);

  const std::uint32_t sequence = clip_->SequenceNumber();
  const ClipData data = Read(format);
  EXPECT_EQ(data.status, ClipStatus::kOk);
  EXPECT_EQ(data.bytes, payload);
  EXPECT_EQ(Foreign().RenderCount(), 1);
  EXPECT_EQ(clip_->SequenceNumber(), sequence) << "rendering is not a change";
  // Rendered once, kept.
  EXPECT_EQ(Read(format).bytes, payload);
  EXPECT_EQ(Foreign().RenderCount(), 1);
}

TEST_F(ClipboardContract, APromiseNobodyKeepsReadsAsAbsentAndIsAskedAgain) {
  TestWindow& owner = NewWindow();  // renders nothing
  const std::uint32_t format = clip_->RegisterFormat("Ottermoor Contract Broken Promise");
  ASSERT_EQ(clip_->Open(owner.handle()), ClipStatus::kOk);
  ASSERT_EQ(clip_->Empty(), ClipStatus::kOk);
  ASSERT_EQ(clip_->Promise(format), ClipStatus::kOk);
  ASSERT_EQ(clip_->Close(), ClipStatus::kOk);
  EXPECT_EQ(Read(format).status, ClipStatus::kAbsent);
  EXPECT_EQ(Read(format).status, ClipStatus::kAbsent);
  EXPECT_EQ(owner.Count(msg::kRenderFormat), 2);
}

TEST_F(ClipboardContract, PromisedTextIsRenderedForTheFormatsMadeFromIt) {
  TestWindow& owner = NewWindow();
  owner.renders[cf::kText] = BytesOf("later");
  ASSERT_EQ(clip_->Open(owner.handle()), ClipStatus::kOk);
  ASSERT_EQ(clip_->Empty(), ClipStatus::kOk);
  ASSERT_EQ(clip_->Promise(cf::kText), ClipStatus::kOk);
  ASSERT_EQ(clip_->Close(), ClipStatus::kOk);
  EXPECT_TRUE(clip_->IsFormatAvailable(cf::kUnicodeText));

  const Bytes utf16_later = {'l', 0, 'a', 0, 't', 0, 'e', 0, 'r', 0, 0, 0};
  EXPECT_EQ(Read(cf::kUnicodeText).bytes, utf16_later);
  ASSERT_EQ(owner.Count(msg::kRenderFormat), 1);
  EXPECT_EQ(owner.received.back().wparam, cf::kText);
}

TEST_F(ClipboardContract, DestroyedOwnerRendersWhatItCanAndLeavesTheRest) {
  auto owner = std::make_unique<TestWindow>(*env_);
  const std::uint32_t kept = clip_->RegisterFormat("Ottermoor Contract Kept");
  const std::uint32_t dropped = clip_->RegisterFormat("Ottermoor Contract Dropped");
  owner->renders[kept] = BytesOf("kept");
  ASSERT_EQ(clip_->Open(owner->handle()), ClipStatus::kOk);
  ASSERT_EQ(clip_->Empty(), ClipStatus::kOk);
  ASSERT_EQ(clip_->Promise(kept), ClipStatus::kOk);
  ASSERT_EQ(clip_->Promise(dropped), ClipStatus::kOk);
  ASSERT_EQ(clip_->Close(), ClipStatus::kOk);

  owner.reset();
  EXPECT_EQ(clip_->Owner(), 0u);
  EXPECT_TRUE(clip_->IsFormatAvailable(kept));
  EXPECT_FALSE(clip_->IsFormatAvailable(dropped));
  EXPECT_EQ(Read(kept).bytes, BytesOf("kept"));
}

TEST_F(ClipboardContract, ASwallowingViewerAheadOfOursStopsTheNews) {
  TestWindow& viewer = NewWindow();
  TestWindow& writer = NewWindow();
  viewer.JoinChain();
  ForeignApp& foreign = Foreign();

  ASSERT_TRUE(foreign.JoinChain(/*swallow=*/true));
  ASSERT_EQ(clip_->Viewer(), foreign.Window());
  viewer.received.clear();
  const int foreign_before = foreign.DrawClipboardCount();
  Put(writer.handle(), {{cf::kText, BytesOf("unseen")}});
  ASSERT_TRUE(env_->WaitFor([&] { return foreign.DrawClipboardCount() > foreign_before; }, kWaitMs));
  // The head answers before our Close returns, so anything passed on would be here by now.
  EXPECT_EQ(viewer.Count(msg::kDrawClipboard), 0);

  // The same viewer, passing the news on this time: ours hears of the change.
  ASSERT_TRUE(foreign.LeaveChain());
  viewer.received.clear();
  ASSERT_TRUE(foreign.JoinChain(/*swallow=*/false));
  // Its own joining news, passed on to ours.
  ASSERT_TRUE(env_->WaitFor([&] { return viewer.Count(msg::kDrawClipboard) >= 1; }, kWaitMs));
  viewer.received.clear();
  Put(writer.handle(), {{cf::kText, BytesOf("seen")}});
  EXPECT_TRUE(env_->WaitFor([&] { return viewer.Count(msg::kDrawClipboard) >= 1; }, kWaitMs));
  ASSERT_TRUE(foreign.LeaveChain());
  EXPECT_EQ(clip_->Viewer(), viewer.handle());
}

}  // namespace
}  // namespace om::contract
