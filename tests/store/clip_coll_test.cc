#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>

#include "coll_fixture.h"
#include "platform/datetime.h"

namespace om::testing {
namespace {

using ::testing::ElementsAre;

class ClipCollTest : public CollTest {
 protected:
  // The indexes of the "DELETING" lines of the log, in order.
  std::vector<int> DeletedIndexes(const std::string& place) const {
    std::vector<int> indexes;
    const std::string log = LogText();
    const std::string key = "," + place + ",Item:";
    for (auto at = log.find(key); at != std::string::npos; at = log.find(key, at + 1)) {
      indexes.push_back(std::stoi(log.substr(at + key.size())));
    }
    return indexes;
  }
};

TEST_F(ClipCollTest, NewAndUnreadCollections) {
  const TClipColl fresh(true);
  EXPECT_EQ(fresh.Title, "NEW Collection");
  EXPECT_EQ(fresh.DirName, "NEW Collection");
  EXPECT_EQ(fresh.CollType, colltype::kLength);
  EXPECT_EQ(fresh.MaxItems, 100);
  EXPECT_EQ(fresh.MaxDays, 10);
  EXPECT_EQ(fresh.NewClipPosition, 1);
  EXPECT_TRUE(fresh.Modified);
  EXPECT_TRUE(fresh.AcceptNewClips);
  EXPECT_FALSE(fresh.AcceptDuplicates);
  EXPECT_EQ(fresh.TreeSortKey, 1010);
  EXPECT_EQ(fresh.IconIndex, collicon::kLength);
  EXPECT_EQ(fresh.ListSortColumn, 1);
  EXPECT_FALSE(fresh.ListSortAscending);

  const TClipColl unread(false);
  EXPECT_EQ(unread.Title, "");
  EXPECT_EQ(unread.DirName, "0");
  EXPECT_EQ(unread.MaxItems, 0);
  EXPECT_EQ(unread.TreeSortKey, 0);
  EXPECT_EQ(unread.IconIndex, 0);
  EXPECT_FALSE(unread.Modified);
  EXPECT_FALSE(unread.AcceptNewClips);

  for (const TClipColl* coll : {&fresh, &unread}) {
    EXPECT_FALSE(coll->ReadOnly);
    EXPECT_EQ(coll->Parent, nullptr);
    EXPECT_EQ(coll->DataSource, nullptr);
    EXPECT_EQ(coll->Role, collrole::kOrdinary);
    EXPECT_TRUE(coll->ListStale);
    EXPECT_EQ(coll->Reserved1, 0);
    EXPECT_EQ(coll->Reserved2, 0);
    EXPECT_EQ(coll->LastSerialNum, 0);
    EXPECT_EQ(coll->LastClipSortKey, 0);
  }
}

TEST_F(ClipCollTest, FolderOfEachKind) {
  const std::string source = "C:\\Clips\\";
  TClipColl node(false);
  node.DirName = source;
  node.Role = collrole::kFolderNode;
  TClipColl outer(false);
  outer.DirName = "Outer";
  outer.Parent = &node;
  TClipColl inner(false);
  inner.DirName = "Inner";
  inner.Parent = &outer;
  EXPECT_EQ(node.GetPath(), source);
  EXPECT_EQ(outer.GetPath(), "C:\\Clips\\Outer\\");
  EXPECT_EQ(inner.GetPath(), "C:\\Clips\\Outer\\Inner\\");

  const std::string data = StoreServices().DataDirectory;
  TClipColl trash(false);
  trash.DirName = "TrashCan";
  trash.Role = collrole::kTrash;
  TClipColl found(false);
  found.DirName = "SearchResults";
  found.Role = collrole::kSearchResults;
  EXPECT_EQ(trash.GetPath(), data + "TrashCan\\");
  EXPECT_EQ(found.GetPath(), data + "SearchResults\\");

  // A new collection without a parent lives in the data directory while
  // the data folder is fresh (start-up's first collections).
  TClipColl first(true);
  first.DirName = "Short-Term";
  EXPECT_EQ(first.GetPath(), "Short-Term");
  fresh_ = true;
  EXPECT_EQ(first.GetPath(), data + "Short-Term\\");
  EXPECT_EQ(outer.GetPath(), "C:\\Clips\\Outer\\");
}

TEST_F(ClipCollTest, SerialNumbersAndSortKeysWrapToTheirFirstValue) {
  TClipColl coll(true);
  EXPECT_EQ(coll.GetNextSerialNum(), 1);
  EXPECT_EQ(coll.GetNextClipSortKey(), 100);
  EXPECT_EQ(coll.GetNextSerialNum(), 2);
  EXPECT_EQ(coll.GetNextClipSortKey(), 200);

  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  coll.LastSerialNum = kMax;
  EXPECT_EQ(coll.GetNextSerialNum(), 1);
  coll.LastSerialNum = -7;  // read from a damaged file
  EXPECT_EQ(coll.GetNextSerialNum(), 1);
  coll.LastClipSortKey = kMax - 100;
  EXPECT_EQ(coll.GetNextClipSortKey(), kMax);
  EXPECT_EQ(coll.GetNextClipSortKey(), 100);
  coll.LastClipSortKey = -150;
  EXPECT_EQ(coll.GetNextClipSortKey(), 100);
  EXPECT_EQ(coll.LastClipSortKey, 100);
}

TEST_F(ClipCollTest, NewClipsGoToTheTopOrTheEndAndMarkTheMasterList) {
  TMasterList list;
  TClipColl top(true);
  top.Modified = false;
  top.ListStale = false;
  TClipObj* first = AddText(top, "first");
  TClipObj* second = AddText(top, "second");
  EXPECT_EQ(top.Clip(0), second);
  EXPECT_EQ(top.Clip(1), first);
  EXPECT_EQ(top.EntryTitle(0), "second");
  EXPECT_TRUE(top.Modified);
  EXPECT_TRUE(top.ListStale);
  EXPECT_TRUE(list.Modified);

  TClipColl end(true);
  end.NewClipPosition = 0;
  first = AddText(end, "first");
  second = AddText(end, "second");
  EXPECT_EQ(end.Clip(0), first);
  EXPECT_EQ(end.Clip(1), second);

  // The answer is where new clips go.
  EXPECT_EQ(end.MyAddObject("x", new TClipObj(9, "NOTEPAD")), std::optional<std::int32_t>(0));
  EXPECT_EQ(top.MyAddObject("y", new TClipObj(9, "NOTEPAD")), std::optional<std::int32_t>(1));

  // A read-only collection adds nothing and leaves the clip to the caller.
  TClipColl read_only(true);
  read_only.ReadOnly = true;
  read_only.Modified = false;
  auto kept = std::make_unique<TClipObj>(1, "NOTEPAD");
  EXPECT_EQ(read_only.MyAddObject("z", kept.get()), std::nullopt);
  EXPECT_EQ(read_only.Count(), 0);
  EXPECT_FALSE(read_only.Modified);
}

TEST_F(ClipCollTest, RemovedClipsFilesGoOnceTheCollectionIsSaved) {
  TClipColl coll(false);
  coll.DirName = Folder(dir_ / "coll");
  coll.NewClipPosition = 1;
  TClipObj* picture = AddBitmap(coll, "picture");
  AddText(coll, "kept");
  TStreamWriter ignored;
  coll.SaveToStream(ignored);  // writes the data and picture files
  const fs::path bmp = dir_ / "coll" / ("I" + std::to_string(picture->SerialNbr) + ".bmp");
  const fs::path dat = dir_ / "coll" / ("D" + std::to_string(picture->SerialNbr) + ".DAT");
  ASSERT_TRUE(fs::exists(bmp));
  ASSERT_TRUE(fs::exists(dat));

  coll.Modified = false;
  coll.RemoveItem(1, true);
  EXPECT_EQ(coll.Count(), 1);
  EXPECT_EQ(coll.EntryTitle(0), "kept");
  EXPECT_TRUE(coll.Modified);
  // The collection file on disk still lists the clip.
  EXPECT_TRUE(fs::exists(bmp));
  EXPECT_TRUE(fs::exists(dat));
  coll.DeleteRemovedFiles();
  EXPECT_FALSE(fs::exists(bmp));
  EXPECT_FALSE(fs::exists(dat));
}

TEST_F(ClipCollTest, RemoveItemInTheSpecialAndReadOnlyCollections) {
  // The trash is never saved: its clips' files go at once.
  TClipColl trash(false);
  trash.Role = collrole::kTrash;
  trash.DirName = "TrashCan";
  TClipObj* picture = AddBitmap(trash, "picture");
  TStreamWriter ignored;
  trash.SaveToStream(ignored);
  const fs::path bmp = data_ / "TrashCan" / ("I" + std::to_string(picture->SerialNbr) + ".bmp");
  ASSERT_TRUE(fs::exists(bmp));
  trash.RemoveItem(0, true);
  EXPECT_FALSE(fs::exists(bmp));

  // The search results only refer to clips of other collections.
  TClipColl coll(false);
  coll.DirName = Folder(dir_ / "coll");
  TClipObj* clip = AddBitmap(coll, "found");
  coll.SaveToStream(ignored);
  TClipColl results(false);
  results.Role = collrole::kSearchResults;
  results.DirName = "SearchResults";
  results.MyAddObject(clip->Title, clip);
  results.RemoveItem(0, true);
  EXPECT_EQ(results.Count(), 0);
  EXPECT_EQ(clip->Title, "found");  // not destroyed
  EXPECT_TRUE(fs::exists(dir_ / "coll" / ("I" + std::to_string(clip->SerialNbr) + ".bmp")));
  results.MyAddObject(clip->Title, clip);  // destroying the results leaves it alone

  TClipColl read_only(false);
  read_only.DirName = Folder(dir_ / "coll");
  read_only.MyAddObject("before", new TClipObj(1, "NOTEPAD"));
  read_only.ReadOnly = true;
  read_only.Modified = false;
  read_only.RemoveItem(0, true);
  EXPECT_EQ(read_only.Count(), 1);
  EXPECT_FALSE(read_only.Modified);
}

TEST_F(ClipCollTest, PurgeByLength) {
  struct Case {
    std::int32_t new_clip_position;
    int clips;
    std::vector<int> removed;  // in the order of removal
    std::vector<std::string> left;  // first and last titles left
  };
  const Case cases[] = {
      // Newest at the top: the surplus at the end goes, highest index first.
      {1, 103, {102, 101, 100}, {"102", "3"}},
      // Newest at the end: the surplus at the top goes.
      {0, 103, {2, 1, 0}, {"3", "102"}},
      {1, 100, {}, {"99", "0"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.new_clip_position);
    fs::remove(dir_ / "log" / "LOG.TXT");
    TClipColl coll(true);
    coll.Title = "Short";
    coll.DirName = Folder(dir_ / "short");
    coll.NewClipPosition = c.new_clip_position;
    for (int i = 0; i < c.clips; ++i) AddText(coll, std::to_string(i));
    coll.Modified = false;
    coll.Purge();
    EXPECT_EQ(DeletedIndexes("DELETING (LENGTH)"), c.removed);
    ASSERT_EQ(coll.Count(), 100);
    EXPECT_EQ(coll.EntryTitle(0), c.left[0]);
    EXPECT_EQ(coll.EntryTitle(99), c.left[1]);
    EXPECT_EQ(coll.Modified, !c.removed.empty());
    EXPECT_TRUE(Logged("BEGIN PURGE", "Short"));
    EXPECT_TRUE(Logged("END PURGE", "Short"));
  }
}

TEST_F(ClipCollTest, PurgeByAgeCountsMonthsOfThirtyDays) {
  struct Case {
    DateTimeParts today, captured;
    std::int32_t max_days;
    bool removed;
  };
  const Case cases[] = {
      {{2024, 3, 5, 12}, {2024, 2, 25, 12}, 10, true},   // 10 days by the count
      {{2024, 3, 5, 12}, {2024, 2, 26, 12}, 10, false},  // 9
      // 31 January counts as 1 February: 0 days old on 1 February.
      {{2024, 2, 1, 9}, {2024, 1, 31, 9}, 1, false},
      {{2024, 2, 1, 9}, {2024, 1, 31, 9}, 0, true},
      // 31 December counts as 5 days before 1 January.
      {{2024, 1, 1, 9}, {2023, 12, 31, 23}, 5, true},
      {{2024, 1, 1, 9}, {2023, 12, 31, 23}, 6, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.captured.year << "-" << c.captured.month << "-" << c.captured.day
                                      << " max " << c.max_days);
    desktop_.Clock().SetNow(EncodeDateTime(c.today));
    TClipColl coll(true);
    coll.DirName = Folder(dir_ / "time");
    coll.CollType = colltype::kTime;
    coll.MaxDays = c.max_days;
    AddText(coll, "old")->TimeStamp = EncodeDateTime(c.captured);
    coll.Purge();
    EXPECT_EQ(coll.Count(), c.removed ? 0 : 1);
  }
}

TEST_F(ClipCollTest, PurgingTheTrashEmptiesItButNotDuringAnAutosave) {
  TClipColl trash(false);
  trash.Role = collrole::kTrash;
  trash.DirName = "TrashCan";
  trash.CollType = colltype::kTime;
  trash.MaxDays = 0;
  for (int i = 0; i < 5; ++i) AddText(trash, "deleted " + std::to_string(i));
  trash.Clip(2)->TimeStamp = 1.5;  // years ago
  // A date no calendar has: kept, its age cannot be counted.
  TClipObj* undated = AddText(trash, "undated");
  undated->TimeStamp = std::numeric_limits<double>::quiet_NaN();

  StoreServices().Autosaving = true;
  trash.Purge();
  EXPECT_EQ(trash.Count(), 6);
  StoreServices().Autosaving = false;
  trash.Purge();
  ASSERT_EQ(trash.Count(), 1);
  EXPECT_EQ(trash.Clip(0), undated);
  EXPECT_EQ(DeletedIndexes("DELETING (AGE)"), (std::vector<int>{4, 3, 2, 1, 0}));

  TClipColl read_only(true);
  read_only.MaxItems = 0;
  AddText(read_only, "a");
  read_only.ReadOnly = true;
  read_only.Purge();
  EXPECT_EQ(read_only.Count(), 1);
}

TEST_F(ClipCollTest, WipeFilesRemovesTheFolder) {
  TClipColl coll(false);
  coll.DirName = Folder(dir_ / "wipe");
  fs::create_directories(dir_ / "wipe");
  WriteFile(dir_ / "wipe" / "_COLL.QL4", {1});
  WriteFile(dir_ / "wipe" / "D1.DAT", {2});
  fs::permissions(dir_ / "wipe" / "D1.DAT", fs::perms::owner_read);
  const std::string folder = coll.GetPath();

  TClipColl read_only(false);
  read_only.DirName = folder;
  read_only.ReadOnly = true;
  read_only.WipeFiles();
  EXPECT_TRUE(fs::exists(dir_ / "wipe" / "_COLL.QL4"));

  coll.WipeFiles();
  EXPECT_FALSE(fs::exists(dir_ / "wipe"));
  EXPECT_TRUE(Logged("WipeFiles", "About To Wipe Directory:" + folder));
  EXPECT_TRUE(Logged("WipeFiles", "Directory Delete OK:" + folder));

  // A folder that holds a folder cannot go.
  fs::create_directories(dir_ / "wipe" / "nested");
  WriteFile(dir_ / "wipe" / "D2.DAT", {2});
  coll.WipeFiles();
  EXPECT_FALSE(fs::exists(dir_ / "wipe" / "D2.DAT"));
  EXPECT_TRUE(Logged("WipeFiles", "Directory Delete NOT Sucessful:" + folder));

  // Nothing to wipe: nothing logged.
  fs::remove_all(dir_ / "wipe");
  const std::size_t lines = LogCount("About To Wipe");
  coll.WipeFiles();
  EXPECT_EQ(LogCount("About To Wipe"), lines);
}

}  // namespace
}  // namespace om::testing
