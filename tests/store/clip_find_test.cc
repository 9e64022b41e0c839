#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "coll_fixture.h"
#include "platform/text_case.h"

namespace om::testing {
namespace {

class ClipFindTest : public CollTest {
 protected:
  ClipFindTest() { coll_.DirName = Folder(dir_ / "find"); }

  // The collection saved and read back: its clips as start-up finds them
  // (stored-apart ones not in memory).
  TClipColl& SavedAndReadBack() {
    const std::string file = coll_.GetPath() + kCollFileName;
    EXPECT_TRUE(coll_.SaveToFile(file));
    back_.DirName = coll_.DirName;
    back_.LoadFromFile(file);
    return back_;
  }

  TMasterList list_;
  TClipColl coll_{true};
  TClipColl back_{false};
};

TEST_F(ClipFindTest, OnlyTheLettersAToZAreFoldedAndTheTextEndsAtItsFirstZeroByte) {
  struct Case {
    std::string text, search;
    bool title, body;
  };
  const Case cases[] = {
      {"Hello World", "world", true, true},
      {"hello world", "LO WO", true, true},
      {"\xE9t\xE9 ici", "\xE9T\xE9", true, true},   // the t folds, the accented e matches as it is
      {"\xE9t\xE9 ici", "\xC9T\xC9", false, false}, // accented capitals are other letters
      {"{braces}", "[BRACES]", false, false},       // neighbours of the letters never fold
      {"at `home`", "@HOME@", false, false},
      {"abc", "", false, false},                    // an empty text matches nothing
      {"", "a", false, false},
      {"ab", "abc", false, false},
      {"xxxxxabab", "ABAB", true, true},            // at the very end
      {std::string("head\0zebra", 10), "zebra", true, false},  // the body's text ends at the zero
  };
  for (const Case& c : cases) {
    TClipObj* clip = AddText(coll_, c.text, c.text.size() < 60 ? c.text : "long");
    ASSERT_NE(clip, nullptr);
    // The title as it is, whatever SetTitle made of it.
    clip->Title = c.text;
    EXPECT_EQ(clip->FindInTitle(c.search), c.title) << c.text << " / " << c.search;
    EXPECT_EQ(TClipColl::FindInbody(*clip, c.search), c.body) << c.text << " / " << c.search;
  }

  // One searcher for many texts, of every length around its skip table.
  TAsciiFoldedSearch search("needle");
  for (std::size_t at = 0; at < 40; ++at) {
    std::string text(40, 'e');
    text.replace(at, 0, "NeEdLe");
    EXPECT_TRUE(search.FoundIn(text)) << at;
    text[at + 5] = 'x';
    EXPECT_FALSE(search.FoundIn(text)) << at;
  }
}

TEST_F(ClipFindTest, TheBodySearchLoadsAStoredApartClipAndUnloadsItAgain) {
  AddText(coll_, std::string(3000, 'q') + " hidden needle " + std::string(100, 'q'), "apart");
  AddText(coll_, "a short text", "inline");
  AddBitmap(coll_, "needle picture");
  TClipColl& back = SavedAndReadBack();
  ASSERT_EQ(back.Count(), 3);
  // New clips go to the top: the picture, the short text, the long one.
  TClipObj& apart = *back.Clip(2);
  TClipObj& picture = *back.Clip(0);
  ASSERT_TRUE(apart.StoredApart);
  ASSERT_FALSE(apart.Online);

  EXPECT_TRUE(TClipColl::FindInbody(apart, "NEEDLE"));
  EXPECT_FALSE(apart.Online);
  EXPECT_FALSE(apart.DataList.has_value());
  EXPECT_EQ(apart.LockedFormat, 0);
  EXPECT_TRUE(Logged("SYSTEM", "UNLOADED Item: " + std::to_string(apart.SerialNbr)));

  // A picture has no plain text: not loaded to find that out.
  EXPECT_FALSE(TClipColl::FindInbody(picture, "needle"));
  EXPECT_FALSE(picture.Online);
  EXPECT_TRUE(picture.FindInTitle("needle"));

  // A data file gone: no match, the search goes on.
  std::filesystem::remove(dir_ / "find" / ("D" + std::to_string(apart.SerialNbr) + ".DAT"));
  EXPECT_FALSE(TClipColl::FindInbody(apart, "needle"));
  EXPECT_EQ(apart.LockedFormat, 0);
  EXPECT_TRUE(TClipColl::FindInbody(*back.Clip(1), "SHORT"));
}

TEST_F(ClipFindTest, FilingManyClipsAtOnceGivesTheOrderOfFilingThemOneByOne) {
  for (const char* title : {"one", "two", "three"}) AddText(coll_, title, title);
  std::vector<TClipObj*> clips;
  for (std::int32_t i = 0; i < coll_.Count(); ++i) clips.push_back(coll_.Clip(i));
  for (const std::int32_t position : {1, 0}) {
    SCOPED_TRACE(position);
    // Two lists that only refer to the clips, each with one entry already.
    TClipColl one_by_one(true), at_once(true);
    for (TClipColl* results : {&one_by_one, &at_once}) {
      results->Role = collrole::kSearchResults;
      results->NewClipPosition = position;
      results->MyAddObject("before", clips[0]);
    }
    for (TClipObj* clip : clips) one_by_one.MyAddObject(clip->Title, clip);
    EXPECT_EQ(at_once.MyAddObjects(clips), position);
    ASSERT_EQ(at_once.Count(), one_by_one.Count());
    for (std::int32_t i = 0; i < at_once.Count(); ++i) {
      EXPECT_EQ(at_once.EntryTitle(i), one_by_one.EntryTitle(i)) << i;
      EXPECT_EQ(at_once.Clip(i), one_by_one.Clip(i)) << i;
    }
    EXPECT_TRUE(at_once.Modified);
  }
}

}  // namespace
}  // namespace om::testing
