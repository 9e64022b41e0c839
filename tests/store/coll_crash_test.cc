// Saving a collection is interrupted at every change it makes to the disk
// in turn, as a crash or a power cut would interrupt it; each time the data
// folder is then read as the next start would read it. The collection must
// be there, whole, as it was before the save or as the save meant it to be.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "coll_fixture.h"
#include "fault_file_system.h"

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

}  // namespace
}  // namespace om::testing
