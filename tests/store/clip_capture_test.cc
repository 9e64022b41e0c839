// Capture: the simulated desktop's clipboard read into a new clip through
// the viewer, as the program's change handling does it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "clipboard/graphics_data.h"
#include "clipboard_store_fixture.h"
#include "store/drop_files.h"

namespace om::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::Pair;

// The clock the store waits on: the desktop's virtual clock, with every
// pause recorded and a hook that runs during one.
class RecordingClock final : public IClock {
 public:
  explicit RecordingClock(IClock& inner) : inner_(inner) {}
  double Now() override { return inner_.Now(); }
  std::uint32_t TickCount() override { return inner_.TickCount(); }
  bool SetTimer(WindowHandle owner, std::uint32_t id, std::uint32_t ms) override {
    return inner_.SetTimer(owner, id, ms);
  }
  void KillTimer(WindowHandle owner, std::uint32_t id) override { inner_.KillTimer(owner, id); }
  void Sleep(std::uint32_t ms) override {
    sleeps.push_back(ms);
    inner_.Sleep(ms);
    if (during_sleep) during_sleep(sleeps.size());
  }
  void ProcessMessages() override { inner_.ProcessMessages(); }

  std::vector<std::uint32_t> sleeps;
  std::function<void(std::size_t count)> during_sleep;

 private:
  IClock& inner_;
};

Bytes DropFiles(const std::vector<std::u16string>& names, bool wide) {
  Bytes b;
  PutLE(b, 20, 4);  // offset of the names
  PutLE(b, 0, 4);   // drop point
  PutLE(b, 0, 4);
  PutLE(b, 0, 4);   // non-client
  PutLE(b, wide ? 1 : 0, 4);
  for (const std::u16string& name : names) {
    for (char16_t c : name) {
      PutLE(b, c, wide ? 2 : 1);
    }
    PutLE(b, 0, wide ? 2 : 1);
  }
  PutLE(b, 0, wide ? 2 : 1);
  return b;
}

std::string Text(const Bytes* block) {
  if (block == nullptr) return "<none>";
  return std::string(block->begin(), block->begin() + static_cast<std::ptrdiff_t>(TextLenOfHandle(*block)));
}

class ClipCaptureTest : public ClipboardStoreTest {
 protected:
  // A capture's pauses, in virtual time, recorded.
  RecordingClock& RecordPauses() {
    clock_ = std::make_unique<RecordingClock>(desktop_.Clock());
    StoreServices().Clock = clock_.get();
    return *clock_;
  }
  std::unique_ptr<RecordingClock> clock_;
};

TEST_F(ClipCaptureTest, AcceptedFormatsAreKeptInClipboardOrder) {
  profile_.Accept({"TEXT", "UNICODTEXT", "LOCALE"});
  const Bytes text = TextBytes("Hello there");
  const Bytes unicode = Utf16Bytes("Hello there");
  const Bytes lcid = {0x07, 0x04, 0, 0};
  std::int32_t result = 0;
  auto clip = Capture(Foreign(), {{"1", text}, {"13", unicode}, {"16", lcid}}, &result);
  ASSERT_NE(clip, nullptr);

  EXPECT_EQ(result, 3);
  EXPECT_THAT(Entries(*clip), ElementsAre(Pair(1u, "TEXT"), Pair(13u, "UNICODTEXT"), Pair(16u, "LOCALE")));
  const Bytes* expected[] = {&text, &unicode, &lcid};
  for (std::size_t i = 0; i < 3; ++i) {
    const TClipData& entry = *(*clip->DataList)[i];
    EXPECT_EQ(entry.FormatType, formattype::kHandle);
    EXPECT_EQ(entry.Handle, *expected[i]) << i;
    EXPECT_EQ(entry.Size, expected[i]->size()) << i;
    EXPECT_TRUE(entry.Selected);
  }
  EXPECT_EQ(clip->IconFlags, iconflag::kText);
  EXPECT_TRUE(clip->Online);
  EXPECT_EQ(clip->Creator, "NOTEPAD");
  // Asked once per format offered (the system added OEMTEXT), with the
  // source application; only the accepted ones were read.
  ASSERT_EQ(profile_.asked.size(), 4u);
  for (const auto& [app, format] : profile_.asked) EXPECT_EQ(app, "NOTEPAD") << format;
  EXPECT_EQ(profile_.asked[3].second, "OEMTEXT");
  EXPECT_TRUE(Logged("<PASTE", "GoodPastes: 3"));
  EXPECT_EQ(clip->GetTitle(), "Hello there");
}

TEST_F(ClipCaptureTest, RegisteredTextFormatsAreLearntWhileUnknown) {
  RTFFormat = 0;
  HTMLFormat = 0;
  profile_.Accept({"TEXT", "Rich Text Format", "HTML Format"});
  std::int32_t result = 0;
  auto clip = Capture(Foreign(), {{"1", TextBytes("x")}, {"Rich Text Format", TextBytes("{\\rtf1 x}")},
                                  {"HTML Format", TextBytes("<b>x</b>")}},
                      &result);
  ASSERT_NE(clip, nullptr);
  EXPECT_EQ(result, 3);
  EXPECT_EQ(RTFFormat, Registered("Rich Text Format"));
  EXPECT_EQ(HTMLFormat, Registered("HTML Format"));
  EXPECT_EQ(clip->IconFlags, iconflag::kText | iconflag::kRtf | iconflag::kHtml);
  EXPECT_EQ(clip->GetIconIndex(), 7);
}

TEST_F(ClipCaptureTest, AProfileThatRejectsEverythingKeepsNothingButTheClipIsOnline) {
  profile_.rule = [](const std::string&, const std::string&) { return false; };
  std::int32_t result = -1;
  auto clip = Capture(Foreign(), {{"1", TextBytes("nope")}, {"2", SmallDib()}, {"15", DropFiles({u"C:\\a"}, false)}},
                      &result);
  ASSERT_NE(clip, nullptr);
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(clip->Online);
  ASSERT_TRUE(clip->DataList.has_value());
  EXPECT_TRUE(clip->DataList->empty());
  EXPECT_EQ(clip->IconFlags, 0);
  EXPECT_GE(profile_.asked.size(), 3u);
  EXPECT_EQ(preview_.clears, 0);
  EXPECT_TRUE(Logged("<PASTE", "GoodPastes: 0"));
}

struct DropCase {
  const char* name;
  bool wide;
  std::vector<std::u16string> files;
  std::string text;  // what the made text entry holds
  friend void PrintTo(const DropCase& c, std::ostream* os) { *os << c.name; }
};

class DroppedFiles : public ClipCaptureTest, public ::testing::WithParamInterface<DropCase> {};

INSTANTIATE_TEST_SUITE_P(
    Encodings, DroppedFiles,
    ::testing::Values(DropCase{"Ansi", false, {u"C:\\data\\one.txt", u"C:\\two words.bmp"},
                               "C:\\data\\one.txt\r\nC:\\two words.bmp\r\n"},
                      // Wide names in the ANSI code page: é is itself, € is 0x80,
                      // and what the code page lacks becomes '?'.
                      DropCase{"Wide", true, {u"C:\\caf\u00e9\\\u20ac.txt", u"D:\\\u4e2d.doc"},
                               "C:\\caf\xe9\\\x80.txt\r\nD:\\?.doc\r\n"},
                      // Each path is cut to 256 characters.
                      DropCase{"Long", false, {u"C:\\" + std::u16string(300, u'a')},
                               "C:\\" + std::string(253, 'a') + "\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_P(DroppedFiles, WithoutTextGiveATextEntryOfOnePathPerLine) {
  const Bytes drop = DropFiles(GetParam().files, GetParam().wide);
  std::int32_t result = 0;
  auto clip = Capture(Foreign("C:\\Windows\\explorer.exe"), {{"15", drop}}, &result);
  ASSERT_NE(clip, nullptr);

  EXPECT_EQ(result, 2) << "the made text counts";
  EXPECT_THAT(Entries(*clip), ElementsAre(Pair(15u, "HDROP"), Pair(1u, "TEXT")));
  EXPECT_EQ((*clip->DataList)[0]->Handle, drop);
  EXPECT_EQ(Text(clip->GetHandle(cf::kText)), GetParam().text);
  EXPECT_EQ(clip->IconFlags, iconflag::kHDrop | iconflag::kText);
  EXPECT_TRUE(Logged("PASTE", "Manufacturing TEXT from HDROP"));
  EXPECT_TRUE(Logged("<PASTE", "GoodPastes: 1"));
}

TEST_F(ClipCaptureTest, DroppedFilesAfterTextOrNamingNothingGiveNoText) {
  // Text listed first: nothing is made.
  profile_.Accept({"TEXT", "HDROP"});
  std::int32_t result = 0;
  auto clip = Capture(Foreign(), {{"1", TextBytes("mine")}, {"15", DropFiles({u"C:\\x.txt"}, false)}}, &result);
  ASSERT_NE(clip, nullptr);
  EXPECT_EQ(result, 2);
  EXPECT_EQ(Text(clip->GetHandle(cf::kText)), "mine");
  EXPECT_EQ(clip->GetFormatCount(), 2);

  // A drop block whose names lie outside it names no file: no empty text.
  Bytes bad = DropFiles({u"C:\\x.txt"}, false);
  bad[0] = 0xF0;
  auto odd = Capture(Foreign(), {{"15", bad}}, &result);
  ASSERT_NE(odd, nullptr);
  EXPECT_EQ(result, 1);
  EXPECT_THAT(Entries(*odd), ElementsAre(Pair(15u, "HDROP")));
}

TEST(DropFileNames, ReadsOnlyInsideTheBlock) {
  struct Case {
    const char* what;
    Bytes block;
    std::vector<std::string> names;
  };
  Bytes no_final = DropFiles({u"C:\\a", u"C:\\b"}, false);
  no_final.pop_back();  // the list's terminator
  Bytes cut_name = DropFiles({u"C:\\abc"}, false);
  cut_name.resize(cut_name.size() - 3);  // "C:\ab" and no terminators
  Bytes odd_wide = DropFiles({u"C:\\w"}, true);
  odd_wide.resize(odd_wide.size() - 3);  // "C:\w" then half a character
  Bytes beyond = DropFiles({u"C:\\a"}, false);
  beyond[0] = 0xFF;
  beyond[3] = 0xFF;  // offset 0xFF0000FF
  const Case cases[] = {
      {"empty list", DropFiles({}, false), {}},
      {"header only", Bytes(20, 0), {}},
      {"shorter than the header", Bytes(19, 0), {}},
      {"offset past the end", beyond, {}},
      {"no final terminator", no_final, {"C:\\a", "C:\\b"}},
      {"name cut by the end", cut_name, {"C:\\ab"}},
      {"wide, odd last byte", odd_wide, {"C:\\w"}},
      {"wide, surrogate pair", DropFiles({u"C:\\\U0001F600.png"}, true), {"C:\\?.png"}},
  };
  for (const Case& c : cases) EXPECT_EQ(DropFileNames(c.block), c.names) << c.what;
}

struct UrlCase {
  const char* name;
  bool url_first;
  std::int32_t result;
  std::vector<std::string> texts;  // the CF_TEXT entries, in order
  friend void PrintTo(const UrlCase& c, std::ostream* os) { *os << c.name; }
};

class UrlText : public ClipCaptureTest, public ::testing::WithParamInterface<UrlCase> {};

INSTANTIATE_TEST_SUITE_P(Order, UrlText,
                         ::testing::Values(UrlCase{"BeforeText", true, 3, {"Page title", "http://example.com/a\r\n"}},
                                           UrlCase{"AfterText", false, 2, {"Page title"}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(UrlText, IsMadeOnlyWhenNoTextCameBefore) {
  profile_.Accept({"TEXT", "UniformResourceLocator"});
  const Item url{"UniformResourceLocator", TextBytes("http://example.com/a")};
  const Item text{"1", TextBytes("Page title")};
  std::int32_t result = 0;
  auto clip = Capture(Foreign("C:\\Web\\browser.exe"),
                      GetParam().url_first ? std::vector<Item>{url, text} : std::vector<Item>{text, url}, &result);
  ASSERT_NE(clip, nullptr);
  EXPECT_EQ(result, GetParam().result);
  std::vector<std::string> texts;
  for (const auto& entry : *clip->DataList) {
    if (entry->FormatNum == cf::kText) texts.push_back(Text(&*entry->Handle));
  }
  EXPECT_EQ(texts, GetParam().texts);
  EXPECT_EQ(Logged("PASTE", "Manufacturing TEXT from URL"), GetParam().url_first);
}

TEST_F(ClipCaptureTest, PicturesAreHeldAsPicturesAndShownInThePreview) {
  profile_.Accept({"BITMAP", "PICTURE"});
  const Bytes dib = SmallDib(0x40);
  const Bytes pict = MetafilePict(8, 2540, 1270);
  std::int32_t result = 0;
  auto clip = Capture(Foreign("C:\\Paint\\paint.exe"), {{"2", dib}, {"3", pict}}, &result);
  ASSERT_NE(clip, nullptr);

  EXPECT_EQ(result, 2);
  EXPECT_THAT(Entries(*clip), ElementsAre(Pair(2u, "BITMAP"), Pair(3u, "PICTURE")));
  const TClipData& bitmap = *(*clip->DataList)[0];
  EXPECT_EQ(bitmap.FormatType, formattype::kBitmap);
  EXPECT_EQ(bitmap.Size, 0u);
  ASSERT_NE(bitmap.Bitmap, nullptr);
  EXPECT_EQ(bitmap.Bitmap->Dib(), dib);
  const TClipData& metafile = *(*clip->DataList)[1];
  EXPECT_EQ(metafile.FormatType, formattype::kMetafile);
  EXPECT_EQ(metafile.Size, 0u);
  ASSERT_NE(metafile.Metafile, nullptr);
  EXPECT_EQ(metafile.Metafile->MapMode(), 8);
  EXPECT_EQ(metafile.Metafile->XExt(), 2540);
  EXPECT_EQ(metafile.Metafile->YExt(), 1270);
  EXPECT_EQ(metafile.Metafile->Bits(), MetafileBits());
  EXPECT_EQ(clip->IconFlags, iconflag::kBitmap | iconflag::kMetafile);

  EXPECT_EQ(preview_.clears, 1);
  ASSERT_TRUE(preview_.shown.has_value());
  EXPECT_EQ(preview_.shown->Dib(), dib);
  // Captured at 14:07:09 plus the second the fixture let pass and the
  // viewer's delay.
  EXPECT_EQ(clip->GetTitle(), "Graphic:3/5/2024 2:07:10 PM");
}

TEST_F(ClipCaptureTest, ABadMetafileIsLeftOutAfterItsTries) {
  RecordingClock& clock = RecordPauses();
  std::int32_t result = 0;
  profile_.Accept({"TEXT", "PICTURE"});
  auto clip = Capture(Foreign(), {{"1", TextBytes("kept")}, {"3", Bytes(40, 0xEE)}}, &result);
  ASSERT_NE(clip, nullptr);
  EXPECT_EQ(result, 1);
  EXPECT_THAT(Entries(*clip), ElementsAre(Pair(1u, "TEXT")));
  EXPECT_EQ(LogCount("Bad Metafile Encountered from NOTEPAD SerialNum:0"), 6u);
  EXPECT_TRUE(Logged("PASTE", "Could not obtain data: NOTEPAD Format:3"));
  EXPECT_EQ(clock.sleeps, std::vector<std::uint32_t>(6, 100));
}

TEST_F(ClipCaptureTest, AFormatWhoseDataCannotBeHadIsTriedSixTimesAndTheRestIsKept) {
  RecordingClock& clock = RecordPauses();
  ForeignApp& app = Foreign();
  const std::uint32_t lazy = Registered("Lazy Format");
  profile_.Accept({"TEXT", "Lazy Format", "UNICODTEXT"});
  // The owner promised the format and then stopped answering: every read
  // of it comes back empty-handed.
  std::unique_ptr<TClipObj> clip;
  std::int32_t result = 0;
  View().OnCBChange = [&](TClipView5& view) {
    desktop_.Windows().SetHung(app.Window(), true);
    clip = std::make_unique<TClipObj>(0, view.Creator());
    result = clip->Paste(view, profile_);
    desktop_.Windows().SetHung(app.Window(), false);
  };
  app.Put({{"1", TextBytes("first")}, {"Lazy Format", {1, 2, 3}, true}, {"13", Utf16Bytes("first")}});
  Advance(1000);
  ASSERT_NE(clip, nullptr);

  EXPECT_EQ(result, 2);
  EXPECT_THAT(Entries(*clip), ElementsAre(Pair(1u, "TEXT"), Pair(13u, "UNICODTEXT")));
  const std::string lazy_text = "NOTEPAD Format:" + std::to_string(lazy);
  EXPECT_EQ(LogCount("NULL returned from getclipboarddata: " + lazy_text + " Err:absent"), 6u);
  EXPECT_TRUE(Logged("PASTE", "Could not obtain data: " + lazy_text));
  EXPECT_EQ(clock.sleeps, std::vector<std::uint32_t>(6, 100));
  // The re-opens were nested in the viewer's own open: nothing was lost.
  EXPECT_EQ(LogCount("Could not re-open clipboard"), 0u);
  EXPECT_FALSE(View().IsOpen());
}

TEST_F(ClipCaptureTest, EmptyTextIsLeftOutSilently) {
  std::int32_t result = 0;
  profile_.Accept({"TEXT", "Ottermoor Other"});
  auto clip = Capture(Foreign(), {{"1", Bytes{0, 'x', 0}}, {"Ottermoor Other", {9}}}, &result);
  ASSERT_NE(clip, nullptr);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(clip->GetFormatCount(), 1);
  EXPECT_EQ(clip->IconFlags, 0) << "a format without a bit of its own adds none";
  EXPECT_EQ(LogCount("NULL returned"), 0u);
  EXPECT_EQ(clip->GetTitle(), "Other:3/5/2024 2:07:10 PM");
}

struct BusyCase {
  const char* name;
  std::size_t released_in_wait;  // 0: never
  std::int32_t result;
  std::vector<std::uint32_t> sleeps;
  friend void PrintTo(const BusyCase& c, std::ostream* os) { *os << c.name; }
};

class BusyClipboard : public ClipCaptureTest, public ::testing::WithParamInterface<BusyCase> {};

INSTANTIATE_TEST_SUITE_P(
    Schedule, BusyClipboard,
    ::testing::Values(BusyCase{"NeverFree", 0, 0, {100, 200, 300, 400, 500, 600, 700, 800, 900, 1000, 1100}},
                      BusyCase{"FreeDuringTheThirdWait", 3, 1, {100, 200, 300}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_P(BusyClipboard, IsTriedElevenTimesWithGrowingWaits) {
  profile_.Accept({"TEXT"});
  ForeignApp& app = Foreign();
  app.PutText("wanted");
  Advance(1000);
  // The format list as the viewer read it; then another program takes the
  // clipboard before the capture opens it.
  ASSERT_TRUE(View().Open());
  View().ReadFormats();
  View().Close();
  ForeignApp& holder = Foreign("C:\\Apps\\holder.exe");
  ASSERT_TRUE(holder.HoldOpen());
  RecordingClock& clock = RecordPauses();
  clock.during_sleep = [&](std::size_t count) {
    if (count == GetParam().released_in_wait) holder.Release();
  };
  const std::uint64_t start = desktop_.Clock().ElapsedMs();

  TClipObj clip(0, "NOTEPAD");
  EXPECT_EQ(clip.Paste(View(), profile_), GetParam().result);
  EXPECT_EQ(clock.sleeps, GetParam().sleeps);
  std::uint64_t total = 0;
  for (std::uint32_t ms : GetParam().sleeps) total += ms;
  EXPECT_EQ(desktop_.Clock().ElapsedMs() - start, total) << "the waits are all the time that passed";
  EXPECT_EQ(LogCount(",PASTE,Could not open clipboard]: "), GetParam().sleeps.size());
  EXPECT_EQ(clip.Online, GetParam().result > 0);
  EXPECT_EQ(View().OpenRefCount(), 0);
  if (GetParam().released_in_wait == 0) holder.Release();
}

TEST_F(ClipCaptureTest, ABadBitmapPassesToTheCallerAndTheClipboardIsClosed) {
  ForeignApp& app = Foreign();
  app.Put({{"1", TextBytes("t")}, {"2", Bytes(30, 0x11)}});
  Advance(1000);
  ASSERT_TRUE(View().Open());
  View().ReadFormats();
  View().Close();

  TClipObj clip(0, "NOTEPAD");
  EXPECT_THROW(clip.Paste(View(), profile_), EInvalidGraphic);
  EXPECT_EQ(View().OpenRefCount(), 0);
  EXPECT_FALSE(Board().IsOpen());
}

TEST(CleanTitle, MakesOneLineOfAtMostSixtyCharacters) {
  struct Case {
    const char* what;
    Bytes block;
    std::string title;
  };
  Bytes long_text(5000, 'w');
  long_text.push_back(0);
  // Only the first 1025 bytes of a long block are looked at.
  Bytes late_text(1024, ' ');
  for (char c : std::string("AB")) late_text.push_back(static_cast<std::uint8_t>(c));
  late_text.push_back(0);
  Bytes no_zero = {'a', 'b', '\t', '\t', 'c'};
  const Case cases[] = {
      {"runs of blanks and controls", TextBytes("  Hello,\r\n\tworld  "), " Hello, world "},
      {"a leading line break", TextBytes("\r\nabc"), " abc"},
      {"5000 characters", long_text, std::string(60, 'w')},
      {"beyond the scan limit", late_text, " A"},
      {"no terminator", no_zero, "ab c"},
      {"empty text", TextBytes(""), ""},
      {"empty block", Bytes{}, ""},
      {"bytes above 127 are kept", TextBytes("caf\xe9"), "caf\xe9"},
  };
  for (const Case& c : cases) EXPECT_EQ(TClipObj::CleanTitle(&c.block), c.title) << c.what;
  EXPECT_EQ(TClipObj::CleanTitle(nullptr), "");
}

}  // namespace
}  // namespace om::testing
