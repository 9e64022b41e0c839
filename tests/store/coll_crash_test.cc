// Saving a collection is interrupted at every change it makes to the disk
// in turn, as a crash or a power cut would interrupt it; each time the data
// folder is then read as the next start would read it. The collection must
// be there, whole, as it was before the save or as the save meant it to be.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <stdexcept>

#include "coll_fixture.h"
#include "fault_file_system.h"
#include "store/clip_filing.h"
#include "store/store_errors.h"

namespace om::testing {
namespace {

// A collection as its file lists it.
struct Records {
  std::string title;
  std::int32_t last_serial = 0, last_sort_key = 0;
  // serial, title, sort key, stored apart
  std::vector<std::tuple<std::int32_t, std::string, std::int32_t, bool>> clips;
  bool operator==(const Records&) const = default;
};

class CrashSafetyTest : public CollTest {
 protected:
  CrashSafetyTest() {
    sources_.push_back({"Main", {1, false, "Main", Folder(src_), false, true}});
    // The state before: a length collection of twelve clips, saved twice
    // (so that a backup lies beside it, as it normally does).
    TMasterList list;
    list.Load(sources_);
    auto made = std::make_unique<TClipColl>(true);
    made->Title = "Work";
    made->DirName = "Work";
    made->Parent = list.Items(0);
    made->MaxItems = 12;
    TClipColl* work = list.Add(std::move(made));
    for (int i = 0; i < 12; ++i) {
      if (i % 4 == 1) {
        AddText(*work, std::string(1500 + i, static_cast<char>('a' + i)), "apart " + std::to_string(i));
      } else if (i % 4 == 3) {
        AddBitmap(*work, "picture " + std::to_string(i));
      } else {
        AddText(*work, "inline " + std::to_string(i));
      }
    }
    list.Save();
    work->Clip(0)->SetTitle("retitled once");
    work->SetEntryTitle(0, "retitled once");
    list.Save();
    fs::copy(src_, pristine_, fs::copy_options::recursive);
  }

  void Restore() {
    fs::remove_all(src_);
    fs::copy(pristine_, src_, fs::copy_options::recursive);
  }

  static TClipColl* Work(const TMasterList& list) {
    for (std::size_t i = 0; i < list.Count(); ++i) {
      if (list.Items(i)->Title == "Work") return list.Items(i);
    }
    return nullptr;
  }

  // What the user did before saving: three new clips and a smaller limit
  // (so that the four oldest are purged, stored-apart and picture clips
  // among them), the text of a stored-apart clip edited (its data file is
  // rewritten), a title changed.
  static void Change(TClipColl& work) {
    work.MaxItems = 11;
    AddText(work, "new inline");
    AddText(work, std::string(4000, 'N'), "new apart");
    AddBitmap(work, "new picture");
    for (std::int32_t i = 0; i < work.Count(); ++i) {
      TClipObj& clip = *work.Clip(i);
      if (clip.Title == "apart 5") clip.PutText("edited text of apart 5 " + std::string(2000, 'e'), 0);
      if (clip.Title == "inline 6") {
        clip.SetTitle("inline six");
        work.SetEntryTitle(i, "inline six");
      }
    }
  }

  static Records RecordsOf(const TClipColl& work) {
    Records r{work.Title, work.LastSerialNum, work.LastClipSortKey, {}};
    for (const TCollEntry& entry : work.Items()) {
      r.clips.emplace_back(entry.Clip->SerialNbr, entry.Clip->Title, entry.Clip->SortKey, entry.Clip->StoredApart);
    }
    return r;
  }
  // Each clip's data: its text, or its picture's size.
  static std::map<std::int32_t, std::string> DataOf(TClipColl& work) {
    std::map<std::int32_t, std::string> data;
    for (const TCollEntry& entry : work.Items()) {
      TClipObj& clip = *entry.Clip;
      if (clip.HasIcon(cf::kBitmap) && !clip.HasIcon(cf::kText)) {
        const TGraphic* picture = clip.GetObj(cf::kBitmap);
        data[clip.SerialNbr] = picture != nullptr && !picture->Empty() ? "picture" : "no picture";
      } else {
        data[clip.SerialNbr] = TextOf(clip);
      }
    }
    return data;
  }

  std::vector<TDataSourceEntry> sources_;
  const fs::path src_ = dir_ / "src";
  const fs::path pristine_ = dir_ / "pristine";
};

TEST_F(CrashSafetyTest, EveryInterruptedSaveLeavesTheOldOrTheNewCollection) {
  // The two states, and the changes the save makes to get from one to the
  // other.
  Records old_records, new_records;
  std::map<std::int32_t, std::string> old_data, new_data;
  std::vector<std::string> changes;
  {
    TMasterList list;
    list.Load(sources_);
    TClipColl* work = Work(list);
    ASSERT_NE(work, nullptr);
    old_records = RecordsOf(*work);
    old_data = DataOf(*work);
    Change(*work);
    FaultInjectingFileSystem faulty(files_);
    StoreServices().Files = &faulty;
    list.Save();
    StoreServices().Files = &files_;
    changes = faulty.Changes();
  }
  {
    TMasterList list;
    list.Load(sources_);
    new_records = RecordsOf(*Work(list));
    new_data = DataOf(*Work(list));
  }
  ASSERT_NE(old_records, new_records);
  ASSERT_EQ(new_records.clips.size(), 11u);
  // The save wrote data and picture files, the new collection file, and
  // removed the purged clips' files: every kind of step is among those cut.
  const std::string all = ::testing::PrintToString(changes);
  for (const char* step : {"write D", "write I", "rename D", "write _COLL.tmp", "remove _COLL.bak",
                           "keep _COLL.QL4>_COLL.bak", "rename _COLL.tmp>_COLL.QL4", "remove D", "remove I"}) {
    EXPECT_THAT(all, ::testing::HasSubstr(step));
  }

  std::set<std::string> outcomes;
  for (std::size_t n = 1; n <= changes.size(); ++n) {
    SCOPED_TRACE("crash at change " + std::to_string(n) + ": " + changes[n - 1]);
    Restore();
    {
      TMasterList list;
      list.Load(sources_);
      Change(*Work(list));
      FaultInjectingFileSystem faulty(files_);
      faulty.CrashAt(static_cast<int>(n));
      StoreServices().Files = &faulty;
      EXPECT_THROW(list.Save(), SimulatedCrash);
      StoreServices().Files = &files_;
    }
    // The next start.
    const std::size_t shown = MessageCount();
    TMasterList list;
    list.Load(sources_);
    TClipColl* work = Work(list);
    ASSERT_NE(work, nullptr) << "the collection is missing";
    EXPECT_EQ(MessageCount(), shown) << ::testing::PrintToString(Messages());
    const Records records = RecordsOf(*work);
    const bool is_old = records == old_records;
    const bool is_new = records == new_records;
    EXPECT_TRUE(is_old || is_new) << "neither state: " << records.clips.size() << " clips";
    outcomes.insert(is_old ? "old" : "new");
    // Every clip's data is whole. (A data file replaced just before the
    // crash may pair an old record with its new text: the data file is
    // named by the serial number alone.)
    const std::map<std::int32_t, std::string> data = DataOf(*work);
    for (const auto& [serial, value] : data) {
      const bool known = (old_data.count(serial) && old_data.at(serial) == value) ||
                         (new_data.count(serial) && new_data.at(serial) == value);
      EXPECT_TRUE(known) << "clip " << serial << " reads \"" << value.substr(0, 40) << "\"";
    }

    // And the program carries on from there: its next save is read back.
    work->SetModified(true);
    list.Save();
    TMasterList after;
    after.Load(sources_);
    ASSERT_NE(Work(after), nullptr);
    EXPECT_EQ(RecordsOf(*Work(after)), records);
  }
  // Both outcomes occurred: the cut fell before and after the new file took
  // its name.
  EXPECT_THAT(outcomes, ::testing::ElementsAre("new", "old"));
}

// Clips with side files (a data file, a picture) are moved between two
// collections of one data source and the collections saved; the move and
// the save are cut at every change they make in turn. The source comes
// first in the list, so a save in list order would write it first.
class MoveCrashTest : public CollTest {
 protected:
  MoveCrashTest() {
    sources_.push_back({"Main", {1, false, "Main", Folder(src_), false, true}});
    TMasterList list;
    list.Load(sources_);
    TClipColl* from = Make(list, "A From");
    TClipColl* to = Make(list, "B To");
    AddText(*from, "stays inline", "stays");
    AddText(*from, std::string(1500, 'a'), "apart");
    AddBitmap(*from, "picture");
    AddText(*from, "moved inline", "inline");
    AddBitmap(*from, "second picture");
    AddText(*to, "was there", "there");
    AddBitmap(*to, "there picture");
    list.Save();
    fs::copy(src_, pristine_, fs::copy_options::recursive);
  }

  static TClipColl* Make(TMasterList& list, const std::string& title) {
    auto made = std::make_unique<TClipColl>(true);
    made->Title = title;
    made->DirName = title;
    made->Parent = list.Items(0);
    made->MaxItems = 50;
    return list.Add(std::move(made));
  }

 public:
  static TClipColl* Find(const TMasterList& list, const std::string& title) {
    for (std::size_t i = 0; i < list.Count(); ++i) {
      if (list.Items(i)->Title == title) return list.Items(i);
    }
    return nullptr;
  }
  static TClipObj* ClipTitled(TClipColl& coll, const std::string& title) {
    for (const TCollEntry& entry : coll.Items()) {
      if (entry.Clip->Title == title) return entry.Clip;
    }
    return nullptr;
  }

 protected:
  // Each clip's data by title: its text, or whether its picture reads.
  static std::multimap<std::string, std::string> DataOf(TClipColl& coll) {
    std::multimap<std::string, std::string> data;
    for (const TCollEntry& entry : coll.Items()) {
      TClipObj& clip = *entry.Clip;
      if (clip.HasIcon(cf::kBitmap) && !clip.HasIcon(cf::kText)) {
        const TGraphic* picture = clip.GetObj(cf::kBitmap);
        data.emplace(clip.Title, picture != nullptr && !picture->Empty() ? "picture" : "no picture");
      } else {
        data.emplace(clip.Title, TextOf(clip));
      }
    }
    return data;
  }

  void Restore() {
    fs::remove_all(src_);
    fs::copy(pristine_, src_, fs::copy_options::recursive);
  }

  std::vector<TDataSourceEntry> sources_;
  const fs::path src_ = dir_ / "src";
  const fs::path pristine_ = dir_ / "pristine";
};

// What the user does before the save, by the titles of the clips moved.
struct MoveScenario {
  const char* name;
  // (clip title, into "B To": else back into "A From")
  std::vector<std::pair<std::string, bool>> moves;
  // The clips' data was read before (they are moved from memory, and their
  // data files written anew in the target).
  bool loaded = false;
};

// Runs the moves; gives the files each clip had in its source.
std::vector<std::string> RunMoves(TMasterList& list, const MoveScenario& scenario) {
  TClipColl* from = MoveCrashTest::Find(list, "A From");
  TClipColl* to = MoveCrashTest::Find(list, "B To");
  std::vector<std::string> old_files;
  if (scenario.loaded) {
    for (const TCollEntry& entry : from->Items()) entry.Clip->Load();
  }
  for (const auto& [title, forward] : scenario.moves) {
    TClipColl& source = forward ? *from : *to;
    TClipColl& target = forward ? *to : *from;
    TClipObj* clip = MoveCrashTest::ClipTitled(source, title);
    if (clip == nullptr) throw std::logic_error("no clip " + title);
    for (const std::string& file : {DataFileName(source.GetPath(), clip->SerialNbr),
                                    PictureFileName(source.GetPath(), clip->SerialNbr, formattype::kBitmap)}) {
      old_files.push_back(file);
    }
    FileClip(*clip, source, target, /*copy=*/false);
  }
  return old_files;
}

class MoveCrashCases : public MoveCrashTest, public ::testing::WithParamInterface<MoveScenario> {};

TEST_P(MoveCrashCases, EveryInterruptedMoveAndSaveKeepsEveryClipWhole) {
  const MoveScenario& scenario = GetParam();
  std::multimap<std::string, std::string> before;
  std::vector<std::string> changes;
  {
    TMasterList list;
    list.Load(sources_);
    for (const char* title : {"A From", "B To"}) {
      const auto data = DataOf(*Find(list, title));
      before.insert(data.begin(), data.end());
    }
  }
  {
    TMasterList list;
    list.Load(sources_);
    FaultInjectingFileSystem faulty(files_);
    StoreServices().Files = &faulty;
    const std::vector<std::string> old_files = RunMoves(list, scenario);
    list.Save();
    StoreServices().Files = &files_;
    changes = faulty.Changes();
    for (const std::string& file : old_files) EXPECT_FALSE(files_.FileExists(file)) << file;
  }
  {
    // Done whole: the moved clips are in the target alone, their old files
    // gone from the source folder.
    TMasterList list;
    list.Load(sources_);
    for (const auto& [title, forward] : scenario.moves) {
      (void)forward;
      const int in_from = ClipTitled(*Find(list, "A From"), title) != nullptr;
      const int in_to = ClipTitled(*Find(list, "B To"), title) != nullptr;
      EXPECT_EQ(in_from + in_to, 1) << title;
    }
  }
  const std::string all = ::testing::PrintToString(changes);
  for (const char* step : {"copy D", "copy I", "rename _COLL.tmp>_COLL.QL4", "remove D", "remove I"}) {
    EXPECT_THAT(all, ::testing::HasSubstr(step));
  }

  for (std::size_t n = 1; n <= changes.size(); ++n) {
    SCOPED_TRACE("crash at change " + std::to_string(n) + ": " + changes[n - 1]);
    Restore();
    {
      TMasterList list;
      list.Load(sources_);
      FaultInjectingFileSystem faulty(files_);
      faulty.CrashAt(static_cast<int>(n));
      StoreServices().Files = &faulty;
      EXPECT_THROW(
          {
            RunMoves(list, scenario);
            list.Save();
          },
          SimulatedCrash);
      StoreServices().Files = &files_;
    }
    // The next start finds every clip in one collection or the other (for
    // a moment, in both), and each reads as it did.
    TMasterList list;
    list.Load(sources_);
    TClipColl* from = Find(list, "A From");
    TClipColl* to = Find(list, "B To");
    ASSERT_NE(from, nullptr);
    ASSERT_NE(to, nullptr);
    std::multimap<std::string, std::string> after = DataOf(*from);
    const auto in_to = DataOf(*to);
    after.insert(in_to.begin(), in_to.end());
    for (const auto& [title, value] : before) {
      const auto [first, last] = after.equal_range(title);
      EXPECT_NE(first, last) << "\"" << title << "\" is in neither collection";
      for (auto it = first; it != last; ++it) {
        EXPECT_EQ(it->second.substr(0, 40), value.substr(0, 40)) << title;
      }
    }
    EXPECT_LE(after.size(), before.size() + scenario.moves.size());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Moves, MoveCrashCases,
    ::testing::Values(MoveScenario{"OneWay", {{"apart", true}, {"picture", true}, {"inline", true}}},
                      MoveScenario{"OneWayLoaded", {{"apart", true}, {"picture", true}, {"inline", true}}, true},
                      // Clips both ways before one save: the second move
                      // writes the first one out before it goes ahead.
                      MoveScenario{"BothWays", {{"picture", true}, {"there picture", false}, {"apart", true}}}),
    [](const ::testing::TestParamInfo<MoveScenario>& info) { return std::string(info.param.name); });

TEST_F(MoveCrashTest, AFailedCopyLeavesTheClipWholeInItsSource) {
  TMasterList list;
  list.Load(sources_);
  TClipColl* from = Find(list, "A From");
  TClipColl* to = Find(list, "B To");
  TClipObj* picture = ClipTitled(*from, "picture");
  ASSERT_NE(picture, nullptr);
  const std::int32_t serial = picture->SerialNbr;
  const int to_count = to->Count();
  const auto to_files = [&] {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(src_ / "B To")) names.insert(entry.path().filename().string());
    return names;
  };
  const std::set<std::string> files_before = to_files();

  FaultInjectingFileSystem faulty(files_);
  // The data file is copied, then the picture's copy fails (the disk is
  // full): the data file's copy is taken back.
  faulty.FailChanges("copy I", FsStatus::kFailed);
  StoreServices().Files = &faulty;
  EXPECT_THROW(FileClip(*picture, *from, *to, /*copy=*/false), EMyStreamError);
  EXPECT_THROW(FileClip(*picture, *from, *to, /*copy=*/true), EMyStreamError);
  StoreServices().Files = &files_;
  EXPECT_EQ(ClipTitled(*from, "picture"), picture);
  EXPECT_EQ(picture->Coll, from);
  EXPECT_EQ(picture->SerialNbr, serial);
  EXPECT_EQ(to->Count(), to_count);
  EXPECT_EQ(to_files(), files_before);

  list.Save();
  TMasterList again;
  again.Load(sources_);
  TClipObj* reloaded = ClipTitled(*Find(again, "A From"), "picture");
  ASSERT_NE(reloaded, nullptr);
  EXPECT_EQ(DataOf(*Find(again, "A From")).find("picture")->second, "picture");
  EXPECT_EQ(ClipTitled(*Find(again, "B To"), "picture"), nullptr);
}

TEST_F(MoveCrashTest, ACopyTakesTheFormatsAsTheyAreInMemory) {
  TMasterList list;
  list.Load(sources_);
  TClipColl* from = Find(list, "A From");
  TClipColl* to = Find(list, "B To");
  // An edit not saved yet, and a picture clip never saved (no files yet).
  TClipObj* apart = ClipTitled(*from, "apart");
  apart->PutText("edited " + std::string(1500, 'e'), 0);
  TClipObj* fresh = AddBitmap(*from, "fresh picture");
  const TFiled copied = FileClip(*apart, *from, *to, /*copy=*/true);
  const TFiled copied_fresh = FileClip(*fresh, *from, *to, /*copy=*/true);
  ASSERT_NE(copied.Clip, nullptr);
  ASSERT_NE(copied_fresh.Clip, nullptr);
  EXPECT_FALSE(copied.FilesMoved);
  EXPECT_EQ(ClipTitled(*from, "apart"), apart);  // a copy leaves the source
  list.Save();

  TMasterList again;
  again.Load(sources_);
  const auto data = DataOf(*Find(again, "B To"));
  EXPECT_EQ(data.find("apart")->second.substr(0, 10), "edited eee");
  EXPECT_EQ(data.find("fresh picture")->second, "picture");
  EXPECT_EQ(DataOf(*Find(again, "A From")).find("fresh picture")->second, "picture");
}

}  // namespace
}  // namespace om::testing
