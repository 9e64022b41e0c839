#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "coll_fixture.h"
#include "store/store_errors.h"

namespace om::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class MasterListTest : public CollTest {
 protected:
  // A collection file of text clips, one per text (the text is the title).
  static Bytes CollFile(const std::string& title, const std::vector<std::string>& texts) {
    CollHeader h;
    h.title = title;
    h.coll_type = colltype::kSafe;
    h.count = static_cast<std::int32_t>(texts.size());
    h.last_serial = h.count;
    h.last_clip_sort_key = h.count * 100;
    Golden g;
    g.raw(h.Bytes());
    for (std::size_t i = 0; i < texts.size(); ++i) {
      const auto serial = static_cast<std::int32_t>(i + 1);
      g.raw(ClipRecord(510, texts[i], serial, serial * 100, texts[i]));
    }
    return g;
  }
  static void WriteColl(const fs::path& folder, const std::string& title, const std::vector<std::string>& texts,
                        const char* name = kCollFileName) {
    Write(folder / name, CollFile(title, texts));
  }
  // What a crash or a bad disk leaves: the header cut short.
  static void WriteBroken(const fs::path& file) { Write(file, {8, 'C', 'O', 'L', 'L'}); }

  TDataSourceEntry Source(const std::string& name, const fs::path& dir, bool read_only = false,
                          bool auto_load = true) {
    TDataSourceEntry entry;
    entry.Name = name;
    entry.Source.ID = 1;
    entry.Source.Description = name + " description";
    entry.Source.Directory = Folder(dir);
    entry.Source.Read_Only = read_only;
    entry.Source.AutoLoad = auto_load;
    return entry;
  }

  static std::vector<std::string> Titles(const TMasterList& list) {
    std::vector<std::string> titles;
    for (std::size_t i = 0; i < list.Count(); ++i) titles.push_back(list.Items(i)->Title);
    return titles;
  }
  static TClipColl* Find(const TMasterList& list, const std::string& title) {
    for (std::size_t i = 0; i < list.Count(); ++i) {
      if (list.Items(i)->Title == title) return list.Items(i);
    }
    return nullptr;
  }

  const fs::path src_ = dir_ / "src";
};

TEST_F(MasterListTest, FindsCollectionFoldersAndTheirNestedOnes) {
  WriteColl(src_ / "Alpha", "Alpha", {"a1", "a2"});
  fs::create_directories(src_ / "Beta");  // no collection file
  WriteFile(src_ / "LOG.TXT", {'x'});
  WriteColl(src_ / "Beta" / "Lost", "Lost", {});  // below a folder that is no collection
  WriteColl(src_ / "Gam.ma", "Gamma", {});        // a dot: not a collection folder
  WriteColl(src_ / "Delta", "Delta", {"d"});
  WriteColl(src_ / "Delta" / "Inner", "Inner", {"i"});
  WriteColl(src_ / "Delta" / "Inner" / "Deep", "Deep", {});
  WriteColl(dir_ / "other" / "Omega", "Omega", {});
  WriteColl(dir_ / "off" / "Off", "Off", {});

  std::vector<TDataSourceEntry> sources = {Source("Main", src_), Source("Other", dir_ / "other"),
                                           Source("Off", dir_ / "off", false, false)};
  TMasterList list;
  ASSERT_TRUE(list.Load(sources));
  EXPECT_FALSE(list.Modified);
  EXPECT_THAT(Titles(list), ElementsAre("Main description", "Alpha", "Delta", "Inner", "Deep",
                                        "Other description", "Omega"));
  const TClipColl* node = list.Items(0);
  EXPECT_EQ(node->Role, collrole::kFolderNode);
  EXPECT_EQ(node->IconIndex, collicon::kFolderNode);
  EXPECT_EQ(node->DataSource, &sources[0].Source);
  EXPECT_EQ(node->GetPath(), Folder(src_));
  EXPECT_TRUE(sources[0].Source.Online);
  EXPECT_FALSE(sources[2].Source.Online);

  TClipColl* delta = Find(list, "Delta");
  TClipColl* inner = Find(list, "Inner");
  TClipColl* deep = Find(list, "Deep");
  EXPECT_EQ(Find(list, "Alpha")->Parent, node);
  EXPECT_EQ(inner->Parent, delta);
  EXPECT_EQ(deep->Parent, inner);
  EXPECT_EQ(deep->GetPath(), Folder(src_) + "Delta\\Inner\\Deep\\");
  EXPECT_EQ(Find(list, "Alpha")->Count(), 2);
  EXPECT_FALSE(Find(list, "Alpha")->Modified);
  EXPECT_TRUE(Logged("Recursive LoadDirectory Call Found Children!", ""));
  EXPECT_EQ(MessageCount(), 0u);
}

TEST_F(MasterListTest, AnEmptyDataSourceDirectoryIsRemoved) {
  fs::create_directories(dir_ / "empty");
  fs::create_directories(dir_ / "empty_ro");
  fs::create_directories(dir_ / "dotted" / "a.b");
  std::vector<TDataSourceEntry> sources = {Source("Empty", dir_ / "empty"),
                                           Source("ReadOnly", dir_ / "empty_ro", true),
                                           Source("Dotted", dir_ / "dotted")};
  TMasterList list;
  EXPECT_FALSE(list.Load(sources));
  EXPECT_THAT(Titles(list), ElementsAre("Empty description", "ReadOnly description", "Dotted description"));
  EXPECT_FALSE(fs::exists(dir_ / "empty"));
  EXPECT_TRUE(Logged("TMasterList.LoadFromDirectory", "Deleting Empty Directory: " + Folder(dir_ / "empty")));
  EXPECT_TRUE(Logged("<TMasterList.LoadFromDirectory",
                     "Early Exit - No Subdirectories under: " + Folder(dir_ / "empty")));
  // A read-only source is never changed; a directory with entries stays.
  EXPECT_TRUE(fs::exists(dir_ / "empty_ro"));
  EXPECT_TRUE(fs::exists(dir_ / "dotted" / "a.b"));
}

TEST_F(MasterListTest, ReadOnlySources) {
  WriteColl(src_ / "Notes", "Notes", {"n"});
  WriteBroken(src_ / "Broken" / kCollFileName);
  std::vector<TDataSourceEntry> sources = {Source("Shared", src_, true)};
  TMasterList list;
  ASSERT_TRUE(list.Load(sources));
  // The unreadable one is dropped without a word.
  EXPECT_THAT(Titles(list), ElementsAre("Shared description", "Notes (Read Only)"));
  EXPECT_EQ(MessageCount(), 0u);
  TClipColl* notes = list.Items(1);
  EXPECT_TRUE(notes->ReadOnly);
  EXPECT_FALSE(notes->AcceptNewClips);

  const Bytes before = ReadFile(src_ / "Notes" / kCollFileName);
  notes->SetModified(true);
  list.Save();
  EXPECT_EQ(ReadFile(src_ / "Notes" / kCollFileName), before);
  EXPECT_FALSE(fs::exists(src_ / "Notes" / kCollBackupName));
  EXPECT_FALSE(fs::exists(src_ / "Notes" / kCollTempName));
}

TEST_F(MasterListTest, AnUnreadableFileFallsBackToItsBackup) {
  WriteBroken(src_ / "Work" / kCollFileName);
  WriteColl(src_ / "Work", "Work", {"w1", "w2"}, kCollBackupName);
  WriteColl(src_ / "Work" / "Sub", "Sub", {"s"});
  std::vector<TDataSourceEntry> sources = {Source("Main", src_)};
  TMasterList list;
  ASSERT_TRUE(list.Load(sources));
  EXPECT_THAT(Messages(), ElementsAre("Ottermoor ERROR opening Collection: Work\r\n"
                                      "An Attempt Will Be Made To Use Backup Copy.",
                                      "Backup Read Successful! \r\n(It would be wise to save now.)"));
  // Collections nested in its folder are found as usual.
  EXPECT_THAT(Titles(list), ElementsAre("Main description", "Work", "Sub"));
  TClipColl* work = list.Items(1);
  EXPECT_EQ(work->Count(), 2);
  EXPECT_TRUE(work->Modified);

  // Saving now writes a good file and keeps the bad one as the backup.
  list.Save();
  TClipColl again(false);
  again.DirName = Folder(src_ / "Work");
  EXPECT_EQ(again.LoadFromFile(again.GetPath() + kCollFileName).Passed, 2);
}

TEST_F(MasterListTest, FileAndBackupBothUnreadable) {
  WriteBroken(src_ / "Work" / kCollFileName);
  WriteBroken(src_ / "Work" / kCollBackupName);
  WriteBroken(src_ / "Folder" / kCollFileName);  // no backup
  std::vector<TDataSourceEntry> sources = {Source("Main", src_)};
  TMasterList list;
  list.Load(sources);
  EXPECT_THAT(Messages(), ElementsAre("Ottermoor ERROR opening Collection: Work\r\n"
                                      "An Attempt Will Be Made To Use Backup Copy.",
                                      "Ottermoor ERROR opening BACKUP: Work\r\n"
                                      "Please Restore Directory From Tape or Floppy Backup, Or Erase Directory."));
  // Without a backup it stays in the tree as a folder and is never saved.
  ASSERT_THAT(Titles(list), ElementsAre("Main description", "Folder"));
  TClipColl* folder = list.Items(1);
  EXPECT_EQ(folder->Role, collrole::kFolderNode);
  EXPECT_EQ(folder->IconIndex, collicon::kFolderNode);
  folder->SetModified(true);
  list.Save();
  EXPECT_EQ(ReadFile(src_ / "Folder" / kCollFileName), (Bytes{8, 'C', 'O', 'L', 'L'}));
  EXPECT_EQ(ReadFile(src_ / "Work" / kCollFileName), (Bytes{8, 'C', 'O', 'L', 'L'}));
}

// A folder whose "_COLL.QL4" is missing: a save stopped between the old
// file losing its name and the new one taking it.
TEST_F(MasterListTest, AFolderLeftWithoutItsFileIsRecovered) {
  const Bytes old_file = CollFile("Work", {"old"});
  const Bytes new_file = CollFile("Work", {"old", "new"});
  const Bytes torn(new_file.begin(), new_file.end() - 7);
  struct Case {
    const char* name;
    std::optional<Bytes> temp, backup;
    std::vector<std::string> clips;  // empty: nothing loaded
    bool backup_message;
  };
  const Case cases[] = {
      {"new file complete", new_file, std::nullopt, {"old", "new"}, false},
      {"new file complete, old kept", new_file, old_file, {"old", "new"}, false},
      {"new file cut short, old kept", torn, old_file, {"old"}, true},
      {"old kept only", std::nullopt, old_file, {"old"}, true},
      {"new file cut short only", torn, std::nullopt, {}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(src_);
    if (c.temp) Write(src_ / "Work" / kCollTempName, *c.temp);
    if (c.backup) Write(src_ / "Work" / kCollBackupName, *c.backup);
    std::vector<TDataSourceEntry> sources = {Source("Main", src_)};
    const std::size_t shown = MessageCount();
    TMasterList list;
    list.Load(sources);
    if (c.clips.empty()) {
      EXPECT_EQ(list.Count(), 1u);
      continue;
    }
    ASSERT_EQ(list.Count(), 2u);
    TClipColl* work = list.Items(1);
    std::vector<std::string> titles;
    for (const TCollEntry& entry : work->Items()) titles.push_back(entry.Title);
    EXPECT_EQ(titles, c.clips);
    EXPECT_TRUE(work->Modified);
    EXPECT_EQ(MessageCount(), shown + (c.backup_message ? 1 : 0));

    // The next save gives the file its name again.
    list.Save();
    EXPECT_TRUE(fs::exists(src_ / "Work" / kCollFileName));
    EXPECT_FALSE(fs::exists(src_ / "Work" / kCollTempName));
  }
}

TEST_F(MasterListTest, SaveKeepsThePreviousFileAsItsBackup) {
  WriteColl(src_ / "Work", "Work", {"one"});
  const Bytes first = ReadFile(src_ / "Work" / kCollFileName);
  std::vector<TDataSourceEntry> sources = {Source("Main", src_)};
  TMasterList list;
  list.Load(sources);
  TClipColl* work = list.Items(1);
  AddText(*work, "two");
  EXPECT_TRUE(list.Modified);

  list.Save();
  EXPECT_FALSE(list.Modified);
  EXPECT_FALSE(work->Modified);
  EXPECT_EQ(ReadFile(src_ / "Work" / kCollBackupName), first);
  EXPECT_FALSE(fs::exists(src_ / "Work" / kCollTempName));
  const Bytes second = ReadFile(src_ / "Work" / kCollFileName);
  EXPECT_NE(second, first);
  EXPECT_TRUE(Logged("SaveToFile", "Save Completed for collection: Work"));
  EXPECT_TRUE(Logged("MasterList Save", "Begin Save"));
  EXPECT_TRUE(Logged("MasterList Save", "End Save"));

  // Nothing changed: nothing is written, and the backup stays the one
  // before the last change.
  list.Save();
  EXPECT_EQ(ReadFile(src_ / "Work" / kCollFileName), second);
  EXPECT_EQ(ReadFile(src_ / "Work" / kCollBackupName), first);

  TMasterList reread;
  reread.Load(sources);
  ASSERT_EQ(reread.Count(), 2u);
  EXPECT_EQ(reread.Items(1)->Count(), 2);
}

TEST_F(MasterListTest, SavePurgesFirstAndRemovesThePurgedFilesAfterwards) {
  std::vector<TDataSourceEntry> sources = {Source("Main", src_)};
  TMasterList list;
  list.Load(sources);
  auto made = std::make_unique<TClipColl>(true);
  made->Title = "Short";
  made->DirName = "Short";
  made->Parent = list.Items(0);
  made->MaxItems = 2;
  TClipColl* coll = list.Add(std::move(made));
  TClipObj* oldest = AddText(*coll, std::string(2000, 'o'), "oldest");  // stored apart
  list.Save();
  const fs::path data_file = src_ / "Short" / ("D" + std::to_string(oldest->SerialNbr) + ".DAT");
  ASSERT_TRUE(fs::exists(data_file));
  AddText(*coll, "b");
  AddText(*coll, "c");

  // An autosave does not purge.
  StoreServices().Autosaving = true;
  list.Save();
  StoreServices().Autosaving = false;
  EXPECT_EQ(coll->Count(), 3);
  AddText(*coll, "d");
  list.Save();
  EXPECT_EQ(coll->Count(), 2);
  EXPECT_FALSE(fs::exists(data_file));
  TClipColl reread(false);
  reread.DirName = Folder(src_ / "Short");
  EXPECT_EQ(reread.LoadFromFile(reread.GetPath() + kCollFileName).Passed, 2);
}

TEST_F(MasterListTest, ASaveThatFailsIsReportedAndTheOthersGoOn) {
  WriteColl(src_ / "Bad", "Bad", {"b"});
  WriteColl(src_ / "Good", "Good", {"g"});
  const Bytes bad_before = ReadFile(src_ / "Bad" / kCollFileName);
  std::vector<TDataSourceEntry> sources = {Source("Main", src_)};
  TMasterList list;
  list.Load(sources);
  TClipColl* bad = list.Items(1);
  TClipColl* good = list.Items(2);
  ASSERT_EQ(bad->Title, "Bad");
  bad->Clip(0)->DataList->front()->FormatType = 9;
  bad->SetModified(true);
  AddText(*good, "more");

  list.Save();
  EXPECT_THAT(Messages(), ElementsAre("Quillark ERROR Saving Collection: Bad\r\n"
                                      "Last Good Copy, or Backup Copy Will Be Used During Next Session"));
  EXPECT_TRUE(Logged("MasterList SaveToFile", "Save Bombed for collection: Bad"));
  EXPECT_EQ(ReadFile(src_ / "Bad" / kCollFileName), bad_before);
  EXPECT_TRUE(bad->Modified);
  EXPECT_TRUE(list.Modified);  // the next autosave tries again
  EXPECT_FALSE(good->Modified);
  EXPECT_TRUE(fs::exists(src_ / "Good" / kCollBackupName));
  bad->Clip(0)->DataList->front()->FormatType = formattype::kHandle;
}

TEST_F(MasterListTest, DesignateWalksTheTreeOrder) {
  WriteColl(src_ / "Zeta", "Zeta", {});
  WriteColl(src_ / "Alpha", "Alpha", {});
  std::vector<TDataSourceEntry> sources = {Source("Main", src_)};
  TMasterList list;
  list.Load(sources);
  TClipColl* alpha = Find(list, "Alpha");
  TClipColl* zeta = Find(list, "Zeta");
  // The tree sorts siblings by key: Zeta (100) comes before Alpha (300).
  zeta->TreeSortKey = 100;
  auto trash = std::make_unique<TClipColl>(false);
  trash->Title = "Trash Can";
  trash->Role = collrole::kTrash;
  trash->TreeSortKey = 64001;
  trash->AcceptNewClips = true;
  list.Add(std::move(trash));
  const TMasterListTreeOrder tree(list);
  EXPECT_THAT(tree.NodeCollections(), ElementsAre(list.Items(0), zeta, alpha, list.Items(3)));

  EXPECT_EQ(list.Designate(tree), zeta);
  zeta->AcceptNewClips = false;
  EXPECT_EQ(list.Designate(tree), alpha);
  alpha->ReadOnly = true;
  EXPECT_EQ(MessageCount(), 0u);

  // None accepts: the tree's second node, and the user is told.
  EXPECT_EQ(list.Designate(tree), zeta);
  EXPECT_THAT(Messages(), ElementsAre("There are NO collections available that will accept new clips, \r\n"
                                      "so (Zeta) will be designated as the collection to receive new clips."));

  TMasterList lonely;
  std::vector<TDataSourceEntry> none = {Source("Empty", dir_ / "nothing")};
  lonely.Load(none);
  EXPECT_EQ(lonely.Designate(TMasterListTreeOrder(lonely)), nullptr);
}

}  // namespace
}  // namespace om::testing
