#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>

#include "coll_fixture.h"
#include "store/store_errors.h"

namespace om::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class CollFileTest : public CollTest {
 protected:
  CollFileTest() { folder_ = Folder(dir_ / "coll"); }

  // A collection read from `bytes` as the loader reads one.
  std::unique_ptr<TClipColl> Load(const Bytes& bytes, TCollLoadReport* report = nullptr) {
    auto coll = std::make_unique<TClipColl>(false);
    coll->DirName = folder_;
    TStreamReader stream(bytes);
    const TCollLoadReport got = coll->LoadFromStream(stream);
    if (report != nullptr) *report = got;
    return coll;
  }
  static std::vector<std::string> Titles(const TClipColl& coll) {
    std::vector<std::string> titles;
    for (const TCollEntry& entry : coll.Items()) titles.push_back(entry.Title);
    return titles;
  }
  std::string FailedMessage(const std::string& title, int failed) {
    return "There were problems reading some of the items in collection: \r\n  " + title +
           "\r\n This may be due to problems saving data from the last session, or  a system crash.\r\n"
           "The number of failed items is: " +
           std::to_string(failed) + "\r\n You may proceed normally.";
  }

  std::string folder_;
};

TEST_F(CollFileTest, EveryFieldIsWrittenInItsPlaceAndReadBack) {
  TClipColl coll(true);
  coll.DirName = folder_;
  coll.Title = "Round Trip";
  coll.CollType = colltype::kTime;
  coll.AcceptNewClips = false;
  coll.Reserved1 = 0xA1;
  coll.Reserved2 = 0xB2;
  coll.MaxItems = 77;
  coll.MaxDays = 33;
  coll.NewClipPosition = 1;
  coll.IconIndex = 12;
  coll.TreeSortKey = 4242;
  coll.AcceptDuplicates = true;
  coll.ListSortColumn = 3;
  coll.ListSortAscending = true;
  coll.Favorite = true;
  AddText(coll, "inline text", "first");
  AddText(coll, std::string(3000, 'L'), "stored apart");
  AddBitmap(coll, "picture");
  const std::string file = folder_ + kCollFileName;

  ASSERT_TRUE(coll.SaveToFile(file));
  EXPECT_FALSE(coll.Modified);
  const Bytes bytes = ReadFile(dir_ / "coll" / kCollFileName);
  LayoutReader layout(bytes);
  EXPECT_EQ(layout.str(), "COLL.505");
  EXPECT_EQ(layout.u8(), 0);   // AcceptNewClips
  EXPECT_EQ(layout.i32(), 3);  // LastSerialNum
  EXPECT_EQ(layout.u8(), colltype::kTime);
  EXPECT_EQ(layout.u8(), 1);  // Modified, as it was when saved
  EXPECT_EQ(layout.u8(), 0xA1);
  EXPECT_EQ(layout.u8(), 0xB2);
  EXPECT_EQ(layout.i32(), 77);
  EXPECT_EQ(layout.i32(), 33);
  EXPECT_EQ(layout.i32(), 1);
  EXPECT_EQ(layout.str(), "Round Trip");
  EXPECT_EQ(layout.i32(), 12);
  EXPECT_EQ(layout.i32(), 4242);
  EXPECT_EQ(layout.u8(), 1);
  EXPECT_EQ(layout.i32(), 300);  // LastClipSortKey
  EXPECT_EQ(layout.i32(), 3);
  EXPECT_EQ(layout.u8(), 1);
  EXPECT_EQ(layout.u8(), 1);
  EXPECT_EQ(layout.i32(), 3);  // clips
  EXPECT_EQ(layout.str(), "CLIP.510");
  EXPECT_EQ(layout.str(), "picture");  // list order: newest first

  TClipColl back(false);
  back.DirName = folder_;
  const TCollLoadReport report = back.LoadFromFile(file);
  EXPECT_EQ(report.Passed, 3);
  EXPECT_TRUE(report.Complete);
  EXPECT_FALSE(back.Modified);
  EXPECT_EQ(back.Title, "Round Trip");
  EXPECT_EQ(back.CollType, colltype::kTime);
  EXPECT_FALSE(back.AcceptNewClips);
  EXPECT_EQ(back.LastSerialNum, 3);
  EXPECT_EQ(back.Reserved1, 0xA1);
  EXPECT_EQ(back.Reserved2, 0xB2);
  EXPECT_EQ(back.MaxItems, 77);
  EXPECT_EQ(back.MaxDays, 33);
  EXPECT_EQ(back.NewClipPosition, 1);
  EXPECT_EQ(back.IconIndex, 12);
  EXPECT_EQ(back.TreeSortKey, 4242);
  EXPECT_TRUE(back.AcceptDuplicates);
  EXPECT_EQ(back.LastClipSortKey, 300);
  EXPECT_EQ(back.ListSortColumn, 3);
  EXPECT_TRUE(back.ListSortAscending);
  EXPECT_TRUE(back.Favorite);
  EXPECT_THAT(Titles(back), ElementsAre("picture", "stored apart", "first"));
  EXPECT_EQ(back.Clip(0)->SortKey, 300);
  EXPECT_EQ(back.Clip(2)->SerialNbr, 1);
  EXPECT_EQ(TextOf(*back.Clip(1)), std::string(3000, 'L'));
  EXPECT_EQ(TextOf(*back.Clip(2)), "inline text");
  EXPECT_EQ(back.Clip(0)->Coll, &back);

  // Not modified: not written again.
  fs::remove(dir_ / "coll" / kCollFileName);
  EXPECT_FALSE(back.SaveToFile(file));
  EXPECT_FALSE(fs::exists(dir_ / "coll" / kCollFileName));
  EXPECT_TRUE(Logged("SaveToFile", "Not Saving, Because Not Dirty: Round Trip"));
  EXPECT_TRUE(Logged("SaveToFile", "Saving collection: Round Trip"));
}

TEST_F(CollFileTest, ReadOnlyAndSearchResultsAreNeverWritten) {
  TClipColl read_only(true);
  read_only.DirName = Folder(dir_ / "ro");
  AddText(read_only, "x");
  read_only.ReadOnly = true;
  TStreamWriter stream;
  read_only.SaveToStream(stream);
  EXPECT_EQ(stream.Size(), 0u);
  EXPECT_TRUE(read_only.SaveToFile(read_only.GetPath() + kCollFileName));
  EXPECT_FALSE(fs::exists(dir_ / "ro"));

  TClipColl results(false);
  results.Role = collrole::kSearchResults;
  results.DirName = "SearchResults";
  results.Modified = true;
  EXPECT_TRUE(results.SaveToFile(results.GetPath() + kCollFileName));
  EXPECT_FALSE(fs::exists(data_ / "SearchResults"));
}

TEST_F(CollFileTest, OlderFileVersions) {
  struct Case {
    CollHeader header;
    // What the file leaves out comes from the rules:
    bool accept_new_clips, accept_duplicates, favorite, list_sort_ascending, modified;
    std::int32_t icon_index, tree_sort_key, list_sort_column;
  };
  auto header = [](int version, std::uint8_t coll_type = 2, const std::string& tag = "") {
    CollHeader h;
    h.version = version;
    h.tag = tag;
    h.coll_type = coll_type;
    h.accept_new_clips = false;
    return h;
  };
  // The legacy counter: 1000, then 250 more for each file without a key.
  const Case cases[] = {
      {header(0, 0, "Notes"), true, false, false, false, true, collicon::kLength, 1000, 1},
      {header(0, 1, "COLL.5X5"), true, false, false, false, true, collicon::kTime, 1250, 1},
      {header(400, 2), true, false, false, false, true, collicon::kSafe, 1500, 1},
      {header(401, 7), false, false, false, false, true, -1, 1750, 1},
      {header(500), false, false, false, false, true, 11, 2000, 1},
      {header(501), false, false, false, false, true, 11, 300, 1},
      {header(502), false, true, false, false, true, 11, 300, 1},
      {header(503), false, true, false, false, false, 11, 300, 1},
      {header(504), false, true, false, true, false, 11, 300, 4},
      {header(505), false, true, true, true, false, 11, 300, 4},
  };
  TMasterList list;  // starts the legacy counter
  for (const Case& c : cases) {
    SCOPED_TRACE(c.header.version);
    SCOPED_TRACE(c.header.tag);
    CollHeader h = c.header;
    h.count = 1;
    const Bytes bytes = Golden().raw(h.Bytes()).raw(ClipRecord(510, "clip", 3, 300, "text"));
    TCollLoadReport report;
    auto coll = Load(bytes, &report);
    EXPECT_EQ(report.Passed, 1);
    EXPECT_TRUE(report.Complete);
    EXPECT_EQ(coll->Title, "Golden");
    EXPECT_EQ(coll->LastSerialNum, 3);
    EXPECT_EQ(coll->CollType, h.coll_type);
    EXPECT_EQ(coll->MaxItems, 50);
    EXPECT_EQ(coll->MaxDays, 7);
    EXPECT_EQ(coll->NewClipPosition, 1);
    EXPECT_EQ(coll->AcceptNewClips, c.accept_new_clips);
    EXPECT_EQ(coll->IconIndex, c.icon_index);
    EXPECT_EQ(coll->TreeSortKey, c.tree_sort_key);
    EXPECT_EQ(coll->AcceptDuplicates, c.accept_duplicates);
    EXPECT_EQ(coll->LastClipSortKey, h.version >= 503 ? 300 : 0);
    EXPECT_EQ(coll->ListSortColumn, c.list_sort_column);
    EXPECT_EQ(coll->ListSortAscending, c.list_sort_ascending);
    EXPECT_EQ(coll->Favorite, c.favorite);
    EXPECT_EQ(coll->Modified, c.modified);
    ASSERT_EQ(coll->Count(), 1);
    EXPECT_EQ(TextOf(*coll->Clip(0)), "text");
  }
  EXPECT_EQ(MessageCount(), 0u);
}

TEST_F(CollFileTest, ClipsWithoutSortKeysTakeTheirSerialNumbersOrder) {
  CollHeader h;
  h.last_clip_sort_key = 150;
  h.count = 2;
  const Bytes bytes =
      Golden().raw(h.Bytes()).raw(ClipRecord(400, "older", 4, 0, "a")).raw(ClipRecord(503, "newer", 9, 120, "b"));
  auto coll = Load(bytes);
  ASSERT_EQ(coll->Count(), 2);
  EXPECT_EQ(coll->Clip(0)->SortKey, 400);
  EXPECT_EQ(coll->Clip(1)->SortKey, 120);
  EXPECT_EQ(coll->LastClipSortKey, 400);
  EXPECT_TRUE(coll->Modified);
}

// A clip that cannot be read is skipped: the reader finds the next clip
// record (of any version) and goes on; the user is told how many failed.
TEST_F(CollFileTest, UnreadableClipsAreSkippedAndCounted) {
  struct Case {
    const char* name;
    Bytes broken;  // the second clip
    int next_version;
    int read_past;  // bytes between where the read stopped and the next record
  };
  const Bytes data = TextBlock("hello");  // 6 bytes
  // A format record of an unknown type: its data cannot be found, so the
  // read stops after the record's fields, before the length and the data.
  const Bytes unknown_type = Golden()
                                 .str("CLIP.510").str("broken").str("NOTEPAD").i32(1).f64(kClipStamp).i32(0)
                                 .i32(2).i32(200).i32(1).str("").u8(0)
                                 .str("TCLIPDATA.510").i32(7).str("TEXT").u16(1).i32(6).u8(1)
                                 .i32(6).raw(data);
  // A data length beyond the file: the read stops after the length.
  const Bytes huge_length = Golden()
                                .str("CLIP.510").str("broken").str("NOTEPAD").i32(1).f64(kClipStamp).i32(0)
                                .i32(2).i32(200).i32(1).str("").u8(0)
                                .str("TCLIPDATA.510").i32(0).str("TEXT").u16(1).i32(6).u8(1)
                                .i32(0x7FFFFFF0).raw(data);
  const Case cases[] = {
      {"unknown format type, CLIP.510 next", unknown_type, 510, 4 + 6},
      {"unknown format type, CLIP.503 next", unknown_type, 503, 4 + 6},
      {"unknown format type, CLIP.400 next", unknown_type, 400, 4 + 6},
      {"data length beyond the end", huge_length, 510, 6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CollHeader h;
    h.title = "Damaged";
    h.count = 3;
    const Bytes bytes = Golden()
                            .raw(h.Bytes())
                            .raw(ClipRecord(510, "one", 1, 100, "1"))
                            .raw(c.broken)
                            .raw(ClipRecord(c.next_version, "three", 3, 300, "3"));
    const std::size_t shown = MessageCount();
    TCollLoadReport report;
    auto coll = Load(bytes, &report);
    EXPECT_EQ(report.Passed, 2);
    EXPECT_EQ(report.Failed, 1);
    EXPECT_FALSE(report.Complete);
    EXPECT_THAT(Titles(*coll), ElementsAre("one", "three"));
    EXPECT_TRUE(coll->Modified);  // the next save writes a clean file
    EXPECT_TRUE(Logged("Error Loading Item:", "broken"));
    EXPECT_TRUE(Logged("Stream Recovery Sucessful",
                       "Read past " + std::to_string(c.read_past) + " bytes, discarding item: broken"));
    ASSERT_EQ(MessageCount(), shown + 1);
    EXPECT_EQ(Messages().back(), FailedMessage("Damaged", 1));
    EXPECT_EQ(desktop_.Prompts().Shown().back().icon, MsgIcon::kError);
  }
}

TEST_F(CollFileTest, AFileThatLiesAboutItsCountLoadsWhatIsThere) {
  const Bytes two = Golden().raw(ClipRecord(510, "one", 1, 100, "1")).raw(ClipRecord(510, "two", 2, 200, "2"));
  struct Case {
    std::int32_t count;
    int failed;
  };
  const Case cases[] = {
      {5, 3},
      {std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::max() - 2},
      // Fewer (even fewer than none): the records that follow are clips all
      // the same.
      {1, 0},
      {-4, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.count);
    CollHeader h;
    h.title = "Liar";
    h.count = c.count;
    const std::size_t shown = MessageCount();
    TCollLoadReport report;
    auto coll = Load(Golden().raw(h.Bytes()).raw(two), &report);
    EXPECT_THAT(Titles(*coll), ElementsAre("one", "two"));
    EXPECT_EQ(report.Failed, c.failed);
    EXPECT_FALSE(report.Complete);
    EXPECT_TRUE(coll->Modified);
    if (c.failed > 0) {
      ASSERT_EQ(MessageCount(), shown + 1);
      EXPECT_EQ(Messages().back(), FailedMessage("Liar", c.failed));
    } else {
      EXPECT_EQ(MessageCount(), shown);
    }
  }
}

TEST_F(CollFileTest, AHeaderCutShortIsAnError) {
  CollHeader h;
  h.count = 0;
  const Bytes whole = h.Bytes();
  for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{9}, whole.size() - 1}) {
    SCOPED_TRACE(size);
    const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
    TClipColl coll(false);
    TStreamReader stream(cut);
    EXPECT_THROW(coll.LoadFromStream(stream), EMyStreamError);
  }
  // A legacy file whose header fails takes no tree sort key.
  TMasterList list;
  CollHeader old;
  old.version = 500;
  const Bytes cut = Golden().raw(old.Bytes()).bytes();
  TClipColl coll(false);
  TStreamReader stream(std::span<const std::uint8_t>(cut).first(cut.size() - 1));
  EXPECT_THROW(coll.LoadFromStream(stream), EMyStreamError);
  EXPECT_EQ(StoreServices().LegacyTreeSortKey, 1000);

  // A file that is not there: nothing happens.
  TClipColl absent(false);
  absent.Title = "kept";
  EXPECT_EQ(absent.LoadFromFile(folder_ + "nothing.QL4").Passed, 0);
  EXPECT_EQ(absent.Title, "kept");
}

TEST_F(CollFileTest, AClipThatCannotBeWrittenLeavesTheCollectionModified) {
  TClipColl coll(true);
  coll.DirName = folder_;
  TClipObj* clip = AddText(coll, "text");
  clip->DataList->front()->FormatType = 5;  // none of the three kinds
  EXPECT_THROW(coll.SaveToFile(folder_ + kCollTempName), EInvalidFormatType);
  EXPECT_TRUE(coll.Modified);
  clip->DataList->front()->FormatType = formattype::kHandle;
}

}  // namespace
}  // namespace om::testing
