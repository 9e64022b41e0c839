#include "store/text_transforms.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

#include "coll_fixture.h"
#include "platform/text_case.h"
#include "store/clip_obj.h"
#include "store/master_list.h"
#include "store/thumbnail_entry.h"

namespace om::testing {
namespace {

using ::testing::ElementsAre;

// Lines of text joined by CR LF.
std::string Lines(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) {
    if (&line != lines.begin()) text += "\r\n";
    text += line;
  }
  return text;
}

TEST(TextTransformsTest, ShiftLeftTakesOneCharacterFromEachLineStart) {
  struct Case {
    std::string text;
    bool ctrl;
    std::string shifted;
  };
  const Case cases[] = {
      {Lines({"  a", "\tb", "c"}), false, Lines({" a", "b", "c"})},
      // With Ctrl the first character goes, whatever it is.
      {Lines({"  a", "\tb", "c"}), true, Lines({" a", "b", ""})},
      // An empty line hands the start on to the next line's first character.
      {Lines({"x", "", "  y"}), false, Lines({"x", "", " y"})},
      // LF CR is a line break too; a lone LF or CR is not.
      {"a\n\r b", false, "a\n\rb"},
      {" a\n b\r c", false, "a\n b\r c"},
      {"", true, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ShiftLeft(c.text, c.ctrl), c.shifted) << c.text << " ctrl " << c.ctrl;
}

TEST(TextTransformsTest, ShiftRightPutsABlankBeforeEveryNonEmptyLine) {
  struct Case {
    std::string text, shifted;
  };
  const Case cases[] = {
      {Lines({"a", "", "b"}), Lines({" a", "", " b"})},
      {Lines({"", "", ""}), Lines({"", "", ""})},
      {"a\n\rb", " a\n\r b"},
      {"a\nb\rc", " a\nb\rc"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ShiftRight(c.text), c.shifted) << c.text;
  // As many lines as characters: the result still fits its buffer.
  std::string many = "a";
  std::string shifted = " a";
  for (int i = 0; i < 500; ++i) {
    many += "\r\na";
    shifted += "\r\n a";
  }
  EXPECT_EQ(ShiftRight(many), shifted);
}

TEST(TextTransformsTest, FlowTextRemovesTheLineBreaksInsideParagraphs) {
  struct Case {
    std::string text;
    bool remove_all;
    std::string flowed;
  };
  const Case cases[] = {
      {Lines({"one", "two", "", "three"}), false, Lines({"one two", "", "three"})},
      {Lines({"one", "two", "", "three"}), true, "one two  three"},
      {Lines({"para one", "", "para two"}), true, "para one  para two"},
      // A break at position 0 or 1 leaves no blank.
      {Lines({"a", "b"}), false, "ab"},
      {Lines({"ab", "cd"}), false, "ab cd"},
      {Lines({"", "ab"}), false, "ab"},
      {Lines({"x   y.   Z", "   w"}), false, "x y.  Z w"},
      // A blank before the break does for the blank of the break.
      {Lines({"a ", "b"}), false, "a b"},
      // A paragraph break keeps its whole run of CR and LF.
      {"a\r\n\r\n\r\n\nb", false, "a\r\n\r\n\r\n\nb"},
      // Lone CRs and LFs, LF CR and tabs stay; only blanks are squeezed.
      {"a\rb\nc\n\rd\t\te", false, "a\rb\nc\n\rd\t\te"},
      {"   lead  and.  trail  ", false, "lead and.  trail "},
      {"a\n   b", false, "a\nb"},
      {std::string("ab\0cd", 5), false, "ab"},
  };
  for (const Case& c : cases) EXPECT_EQ(FlowText(c.text, c.remove_all), c.flowed) << c.text << " all " << c.remove_all;
}

TEST(TextTransformsTest, MixedAndSentenceCase) {
  fake::FakeLocale locale;
  struct Case {
    std::string text, mixed, sentence;
  };
  const Case cases[] = {
      {"hELLO wORLD-x2y", "Hello World-X2Y", "Hello world-x2y"},
      {"1. 2nd item", "1. 2Nd Item", "1. 2Nd item"},
      {"HELLO. how ARE you? fine", "Hello. How Are You? Fine", "Hello. How are you? Fine"},
      {"don't", "Don'T", "Don't"},
      {"\"quoted.\" next!x:y", "\"Quoted.\" Next!X:Y", "\"Quoted.\" Next!X:Y"},
      // Letters of the code page count as letters, but only A-Z are
      // lower-cased first: an accented capital keeps its case.
      {"\xE9T\xC9 \xE0 PARIS", "\xC9t\xC9 \xC0 Paris", "\xC9t\xC9 \xE0 paris"},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    std::string mixed = c.text;
    CaseMixed(mixed, locale);
    EXPECT_EQ(mixed, c.mixed) << c.text;
    std::string sentence = c.text;
    CaseSentence(sentence, locale);
    EXPECT_EQ(sentence, c.sentence) << c.text;
  }
}

// A double-byte code page in miniature: 0x82 starts a two-byte character,
// which is a letter whose case the system leaves alone.
class DoubleByteLocale : public fake::FakeLocale {
 public:
  bool IsLeadByte(unsigned char byte) override { return byte == 0x82; }
  bool IsAnsiAlpha(std::string_view character) override {
    return character.size() == 2 || FakeLocale::IsAnsiAlpha(character);
  }
  void AnsiUpperCase(std::string& text) override {
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) {
        ++i;  // the trail byte belongs to it
      } else {
        text[i] = om::AnsiUpperCase(text.substr(i, 1))[0];
      }
    }
  }
};

TEST(TextTransformsTest, ADoubleByteCharacterIsOneStep) {
  DoubleByteLocale locale;
  // Its trail byte ('a' or 'A' here) is neither lower-cased, nor
  // capitalised, nor a letter of its own; the character is a letter, so
  // what follows it is inside a word.
  struct Case {
    std::string text, mixed, sentence;
  };
  const Case cases[] = {
      {"a\x82" "ab c", "A\x82" "ab C", "A\x82" "ab c"},
      {"x.\x82" "ay. z", "X.\x82" "ay. Z", "X.\x82" "ay. Z"},
      {"x\x82" "A", "X\x82" "A", "X\x82" "A"},
  };
  for (const Case& c : cases) {
    std::string mixed = c.text;
    CaseMixed(mixed, locale);
    EXPECT_EQ(mixed, c.mixed) << c.text;
    std::string sentence = c.text;
    CaseSentence(sentence, locale);
    EXPECT_EQ(sentence, c.sentence) << c.text;
  }
  // A lead byte at the very end has no trail byte: a character of its own.
  std::string cut = "AB\x82";
  CaseMixed(cut, locale);
  EXPECT_EQ(cut, "Ab\x82");
}

TEST(TextTransformsTest, FindsTheAddressAroundTheCaret) {
  const std::string page = "see http://www.example.com/page?q=1 now";
  const auto caret_after = [&](const std::string& piece) {
    return static_cast<std::int32_t>(page.find(piece) + piece.size());
  };
  struct Case {
    std::string text;
    std::int32_t position;
    UrlSearch result;
    std::string url;
  };
  const Case cases[] = {
      // Up to the character before the query.
      {page, caret_after("exam"), UrlSearch::kFound, "http://www.example.com/page"},
      {page, caret_after("page"), UrlSearch::kFound, "http://www.example.com/page"},
      // Right after a blank there is no address.
      {page, caret_after("see "), UrlSearch::kNotFound, ""},
      // Without a period it is never one, however it looks.
      {"go http://localhost/x now", 8, UrlSearch::kNotFound, ""},
      {".", 1, UrlSearch::kNotFound, ""},
      // An address that fills the text, the caret at either end.
      {"www.a.com", 1, UrlSearch::kFound, "www.a.com"},
      {"www.a.com", 9, UrlSearch::kFound, "www.a.com"},
      // '~' and characters above 127 end it.
      {"x.y~z", 1, UrlSearch::kFound, "x.y"},
      {"\xE9x.y\xE9", 2, UrlSearch::kFound, "x.y"},
      {"a\\b.c@d#e%f+g=h_i:j-k/l", 5, UrlSearch::kFound, "a\\b.c@d#e%f+g=h_i:j-k/l"},
      // No character before the caret, or none at all there.
      {page, 0, UrlSearch::kError, ""},
      {page, -3, UrlSearch::kError, ""},
      {page, static_cast<std::int32_t>(page.size()) + 1, UrlSearch::kError, ""},
      {"", 1, UrlSearch::kError, ""},
  };
  for (const Case& c : cases) {
    const CloseEnoughUrl found = FindCloseEnoughURL(c.text, c.position);
    EXPECT_EQ(found.result, c.result) << c.text << " at " << c.position;
    EXPECT_EQ(found.url, c.url) << c.text << " at " << c.position;
  }
  // The shell is handed 255 characters at most.
  const std::string long_url = "www." + std::string(300, 'x') + ".com";
  EXPECT_EQ(FindCloseEnoughURL(long_url, 10).url, long_url.substr(0, 255));
  EXPECT_EQ(std::string(kUrlNotDetermined), "Could Not Determine URL.");
  EXPECT_EQ(std::string(kUrlLaunching), "Launching: ");
  EXPECT_EQ(std::string(kUrlError), "Error - Could Not Determine URL.");
}

TEST(TextTransformsTest, TheClipListLooksFromTheFirstPeriod) {
  EXPECT_EQ(FirstPeriodPosition("www.a.com"), 4);
  EXPECT_EQ(FirstPeriodPosition("a."), 2);
  EXPECT_EQ(FirstPeriodPosition("."), std::nullopt);
  EXPECT_EQ(FirstPeriodPosition("localhost"), std::nullopt);
  EXPECT_EQ(FirstPeriodPosition(""), std::nullopt);
  const std::string text = "visit www.a.com";
  const CloseEnoughUrl found = FindCloseEnoughURL(text, *FirstPeriodPosition(text));
  EXPECT_EQ(found.url, "www.a.com");
}

class XFormTest : public CollTest {
 protected:
  // An inline clip in memory: its text first, then the other formats
  // (memory blocks of a few bytes).
  std::unique_ptr<TClipObj> Clip(const std::string& text, std::initializer_list<std::uint32_t> others = {},
                                 const std::string& title = "A Title") {
    auto clip = std::make_unique<TClipObj>(7, "NOTEPAD");
    Add(*clip, cf::kText, TextBlock(text));
    for (std::uint32_t format : others) Add(*clip, format, {1, 2, 3, 4});
    clip->Online = true;
    clip->IconFlags = iconflag::kText | iconflag::kRtf;
    clip->Title = title;
    clip->Changed = false;
    return clip;
  }
  static void Add(TClipObj& clip, std::uint32_t format, const Bytes& bytes) {
    auto entry = std::make_unique<TClipData>(formattype::kHandle);
    entry->FormatNum = static_cast<std::uint16_t>(format);
    entry->FormatName = "F" + std::to_string(format);
    entry->Size = static_cast<std::uint32_t>(bytes.size());
    entry->Handle = bytes;
    clip.DataList->push_back(std::move(entry));
  }
  static std::vector<std::uint32_t> Formats(TClipObj& clip) {
    std::vector<std::uint32_t> formats;
    for (std::int32_t i = 0; i < clip.GetFormatCount(); ++i) {
      formats.push_back(static_cast<std::uint32_t>(clip.GetFormatNum(i)));
    }
    return formats;
  }
};

TEST_F(XFormTest, SelectionsAndTheSelectionReported) {
  struct Case {
    std::string text;
    std::uint32_t operation;
    std::int32_t start, length;
    std::string result;
    XFormSelection selection;
  };
  const Case cases[] = {
      // No selection: the whole text, and the whole new text selected.
      {Lines({"a", "b"}), xform::kShiftRight, 0, 0, Lines({" a", " b"}), {0, 6}},
      {"  abc", xform::kShiftLeft, 3, 0, " abc", {0, 4}},
      // A selection starts a line, wherever it is.
      {"abc def", xform::kShiftRight, 4, 3, "abc  def", {4, 4}},
      {"abc  def", xform::kShiftLeft, 3, 2, "abc def", {3, 1}},
      {"ABC DEF", xform::kLowerCase, 4, 2, "ABC deF", {4, 2}},
      // A selection running past the text is cut to it.
      {"abc def", xform::kShiftRight, 4, 100, "abc  def", {4, 4}},
      {"abc", xform::kUpperCase, 50, 3, "abc", {3, 0}},
      {"abc", xform::kUpperCase, -2, 2, "ABc", {0, 2}},
      // The Ctrl key decides how many line breaks go.
      {Lines({"one", "two", "", "three"}), xform::kRemoveLineBreaks, 0, 0, Lines({"one two", "", "three"}), {0, 16}},
  };
  for (const Case& c : cases) {
    auto clip = Clip(c.text);
    const std::optional<XFormSelection> selection = XForm(*clip, c.operation, c.start, c.length, false);
    EXPECT_EQ(TextOf(*clip), c.result) << c.text;
    ASSERT_TRUE(selection.has_value());
    EXPECT_EQ(*selection, c.selection) << c.text << " " << selection->start << "," << selection->length;
    EXPECT_EQ(clip->LockedFormat, 0);
  }
  auto clip = Clip(Lines({"one", "two", "", "three"}));
  EXPECT_EQ(XForm(*clip, xform::kRemoveLineBreaks, 0, 0, true), (XFormSelection{0, 14}));
  EXPECT_EQ(TextOf(*clip), "one two  three");
  clip = Clip(Lines({"  a", "\tb", "c"}));
  XForm(*clip, xform::kShiftLeft, 0, 0, true);
  EXPECT_EQ(TextOf(*clip), Lines({" a", "b", ""}));
}

TEST_F(XFormTest, CaseChangesConvertTheWholeTitleToo) {
  struct Case {
    std::uint32_t operation;
    std::string text, title;
  };
  // Only the first word is selected; the title is converted whole.
  const Case cases[] = {
      {xform::kLowerCase, "word. MORE text", "my title. next"},
      {xform::kUpperCase, "WORD. MORE text", "MY TITLE. NEXT"},
      {xform::kMixedCase, "Word. MORE text", "My Title. Next"},
      {xform::kSentenceCase, "Word. MORE text", "My title. Next"},
      {xform::kShiftRight, " word. MORE text", "mY tiTLE. next"},
      {xform::kStripNonText, "word. MORE text", "mY tiTLE. next"},
  };
  for (const Case& c : cases) {
    auto clip = Clip("word. MORE text", {}, "mY tiTLE. next");
    clip->SetColl(&coll_);
    coll_.Modified = false;
    clip->Changed = false;
    XForm(*clip, c.operation, 0, 4, false);
    EXPECT_EQ(TextOf(*clip), c.text) << c.operation;
    EXPECT_EQ(clip->Title, c.title) << c.operation;
    EXPECT_TRUE(clip->Changed);
    EXPECT_TRUE(coll_.Modified);
  }
  // A title of 60 characters stays 60 characters.
  auto clip = Clip("x", {}, std::string(60, 'a'));
  XForm(*clip, xform::kUpperCase, 0, 0, false);
  EXPECT_EQ(clip->Title, std::string(60, 'A'));
}

TEST_F(XFormTest, TheResultIsTheClipsOnlyFormat) {
  // Every operation strips the other formats, even one that changes
  // nothing, and the text's entry is a fresh CF_TEXT block.
  auto clip = Clip("same", {cf::kUnicodeText, RTFFormat, cf::kBitmap});
  TThumbNailEntry slot;
  clip->Thumbnail = &slot;
  EXPECT_EQ(XForm(*clip, xform::kStripNonText, 0, 0, false), (XFormSelection{0, 4}));
  EXPECT_THAT(Formats(*clip), ElementsAre(cf::kText));
  EXPECT_EQ(clip->GetFormatName(0), "TEXT");
  EXPECT_EQ(*clip->GetHandle(cf::kText), (Bytes{'s', 'a', 'm', 'e', 0, 0}));
  EXPECT_EQ(clip->GetDataSize(0), 6);
  EXPECT_EQ(clip->IconFlags, iconflag::kText);
  EXPECT_TRUE(clip->Online);
  EXPECT_TRUE(clip->Changed);
  EXPECT_EQ(clip->Thumbnail, nullptr);  // the list draws it again
  EXPECT_TRUE(Logged(">TClipObj.NukeNonText", ""));
  EXPECT_TRUE(Logged("", "XForm>"));
  EXPECT_TRUE(Logged("", "<XForm"));

  // A clip with only its text keeps that one entry, with the new data.
  clip = Clip("abc");
  TClipData* entry = clip->DataList->front().get();
  XForm(*clip, xform::kUpperCase, 0, 0, false);
  ASSERT_EQ(clip->GetFormatCount(), 1);
  EXPECT_EQ(clip->DataList->front().get(), entry);
  EXPECT_EQ(TextOf(*clip), "ABC");
  EXPECT_EQ(clip->IconFlags, iconflag::kText);

  // An empty text stays empty, but the title is converted and the other
  // formats go.
  clip = Clip("", {RTFFormat}, "Empty");
  EXPECT_EQ(XForm(*clip, xform::kUpperCase, 0, 0, false), (XFormSelection{0, 0}));
  EXPECT_EQ(TextOf(*clip), "");
  EXPECT_EQ(clip->Title, "EMPTY");
  EXPECT_THAT(Formats(*clip), ElementsAre(cf::kText));

  // The text ends at its first zero byte.
  clip = Clip("");
  clip->DataList->front()->Handle = Bytes{'a', 'b', 0, 'c', 'd'};
  XForm(*clip, xform::kUpperCase, 0, 0, false);
  EXPECT_EQ(*clip->GetHandle(cf::kText), (Bytes{'A', 'B', 0, 0}));
}

TEST_F(XFormTest, AClipWithoutTextIsLeftAlone) {
  auto clip = Clip("");
  clip->DataList->clear();
  Add(*clip, cf::kBitmap, {1});
  Add(*clip, RTFFormat, {2});
  clip->IconFlags = 0;  // looked up in the data
  EXPECT_EQ(XForm(*clip, xform::kUpperCase, 0, 0, false), std::nullopt);
  EXPECT_THAT(Formats(*clip), ElementsAre(cf::kBitmap, RTFFormat));
  EXPECT_EQ(clip->Title, "A Title");
  EXPECT_FALSE(clip->Changed);
}

// A locale whose case conversion fails.
class FailingLocale : public fake::FakeLocale {
 public:
  void AnsiUpperCase(std::string&) override { throw std::runtime_error("no case today"); }
};

TEST_F(XFormTest, AFailedOperationLeavesTheTextButStillStripsTheOtherFormats) {
  FailingLocale failing;
  StoreServices().Locale = &failing;
  auto clip = Clip("keep me", {RTFFormat});
  EXPECT_THROW(XForm(*clip, xform::kUpperCase, 0, 0, false), std::runtime_error);
  StoreServices().Locale = &locale_;
  EXPECT_EQ(TextOf(*clip), "keep me");
  EXPECT_THAT(Formats(*clip), ElementsAre(cf::kText));
  EXPECT_EQ(clip->LockedFormat, 0);
  EXPECT_EQ(clip->Title, "A Title");
  EXPECT_FALSE(Logged("", "<XForm"));
}

class NukeNonTextTest : public XFormTest {
 protected:
  // A collection of the master list with one clip of a bitmap and text (in
  // that order), saved: the clip is stored apart, its bitmap in "I" +
  // serial + ".bmp".
  void SetUp() override {
    sources_ = {Source()};
    list_.Load(sources_);
    auto made = std::make_unique<TClipColl>(true);
    made->Title = "Pictures";
    made->DirName = "Pictures";
    made->Parent = list_.Items(0);
    pictures_ = list_.Add(std::move(made));
    clip_ = AddText(*pictures_, "text of a picture", "picture");
    Golden dib;
    dib.i32(40).i32(1).i32(1).u16(1).u16(24).i32(0).i32(4).i32(2835).i32(2835).i32(0).i32(0).i32(0x00112233);
    auto entry = std::make_unique<TClipData>(formattype::kBitmap);
    entry->FormatNum = cf::kBitmap;
    entry->FormatName = "BITMAP";
    entry->Bitmap = std::make_unique<TBitmap>(dib.bytes());
    clip_->DataList->insert(clip_->DataList->begin(), std::move(entry));
    clip_->SetIcon(cf::kBitmap);
    list_.Save();
    bmp_ = src_ / "Pictures" / ("I" + std::to_string(clip_->SerialNbr) + ".bmp");
  }
  TDataSourceEntry Source() {
    TDataSourceEntry entry;
    entry.Name = "Main";
    entry.Source.ID = 1;
    entry.Source.Directory = Folder(src_);
    entry.Source.AutoLoad = true;
    return entry;
  }
  // The clip as a fresh start (or one after a crash) reads it from disk.
  std::vector<std::uint32_t> FormatsOnDisk() {
    TClipColl reread(false);
    reread.DirName = Folder(src_ / "Pictures");
    EXPECT_EQ(reread.LoadFromFile(reread.GetPath() + kCollFileName).Passed, 1);
    TClipObj& clip = *reread.Clip(0);
    EXPECT_EQ(TextOf(clip), "text of a picture");
    std::vector<std::uint32_t> formats = Formats(clip);
    if (clip.HasFormat(cf::kBitmap)) {
      EXPECT_NE(clip.GetObj(cf::kBitmap), nullptr) << "bitmap without its picture";
    }
    return formats;
  }

  const fs::path src_ = dir_ / "src";
  std::vector<TDataSourceEntry> sources_;
  TMasterList list_;
  TClipColl* pictures_ = nullptr;
  TClipObj* clip_ = nullptr;
  fs::path bmp_;
};

TEST_F(NukeNonTextTest, ThePictureFileGoesOnlyOnceTheCollectionFileNoLongerListsIt) {
  ASSERT_TRUE(clip_->StoredApart);
  ASSERT_FALSE(clip_->Online);  // the save unloaded it
  ASSERT_TRUE(fs::exists(bmp_));

  // The stored-apart clip is loaded for the transform and keeps its text.
  EXPECT_EQ(XForm(*clip_, xform::kStripNonText, 0, 0, false), (XFormSelection{0, 17}));
  EXPECT_THAT(Formats(*clip_), ElementsAre(cf::kText));
  EXPECT_EQ(TextOf(*clip_), "text of a picture");
  EXPECT_EQ(clip_->IconFlags, iconflag::kText);
  EXPECT_TRUE(pictures_->Modified);

  // Until the next save the files on disk still hold the picture: a crash
  // now must find the clip whole.
  EXPECT_TRUE(fs::exists(bmp_));
  EXPECT_THAT(FormatsOnDisk(), ElementsAre(cf::kBitmap, cf::kText));

  list_.Save();
  EXPECT_FALSE(fs::exists(bmp_));
  EXPECT_THAT(FormatsOnDisk(), ElementsAre(cf::kText));
}

TEST_F(NukeNonTextTest, ATextOnlyClipKeepsItsEntryAndNothingChanges) {
  TClipObj* text = AddText(*pictures_, "only text");
  list_.Save();
  TClipData* entry = text->DataList->front().get();
  text->IconFlags = iconflag::kText | iconflag::kRtf;  // what the flags said is put right
  text->NukeNonText();
  ASSERT_EQ(text->GetFormatCount(), 1);
  EXPECT_EQ(text->DataList->front().get(), entry);
  EXPECT_FALSE(text->Changed);
  EXPECT_FALSE(pictures_->Modified);
  EXPECT_EQ(text->IconFlags, iconflag::kText);
  EXPECT_TRUE(fs::exists(bmp_));  // the other clip's picture is none of its business
}

}  // namespace
}  // namespace om::testing
