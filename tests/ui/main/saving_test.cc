// Saving every collection, autosave and reloading from disk.
#include <gtest/gtest.h>

#include "ui/main/main_form_fixture.h"

namespace om::testing {
namespace {

class SavingTest : public MainFormTest {
 protected:
  static constexpr std::uint32_t kMinute = TfrmQL::kAutoSaveMs;
};

TEST_F(SavingTest, SaveWritesEveryCollectionAndRefillsTheList) {
  Loaded();
  CopyText(Foreign(), "saved");
  const int refills = widgets_.clips.row_count_changes;
  Form().MenuClick(MenuCommand::kFileSave);
  EXPECT_EQ(OnDisk("Short-Term"), std::vector<std::string>{"saved"});
  EXPECT_FALSE(Form().MasterList()->Modified);
  EXPECT_EQ(widgets_.clips.row_count_changes, refills + 2);
  EXPECT_EQ(widgets_.status.panels[0], "Data Saved");
  EXPECT_EQ(widgets_.shell.header, "Data Saved");
  EXPECT_FALSE(widgets_.shell.busy);
  EXPECT_TRUE(Logged(">mnuFileSaveClick", "Beginning Save"));
  EXPECT_TRUE(Logged("<mnuFileSaveClick", "Save Complete"));
  // A second later the preview puts the clip's title back in the header.
  Advance(TfrmQL::kSavedRefreshMs + 100);
  EXPECT_EQ(widgets_.shell.header, "saved");
}

TEST_F(SavingTest, WhatWasTypedIntoThePaneIsSavedWithTheRest) {
  Loaded();
  CopyText(Foreign(), "as copied");
  ASSERT_EQ(widgets_.preview.text, "as copied");
  widgets_.preview.Type("as typed");
  Form().MenuClick(MenuCommand::kFileSave);
  const std::vector<StoredClip> stored = StoredClips("Short-Term");
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0].text, "as typed");
}

TEST_F(SavingTest, AutosaveCountsMinutesWithUnsavedChangesOnly) {
  Put("Preferences", "AutoSave", "1");
  Put("Preferences", "AutoSaveInterval", "2");
  Loaded();
  EXPECT_EQ(Form().AutoSaveCountdown(), 2);
  Advance(3 * kMinute);
  EXPECT_EQ(Form().AutoSaveCountdown(), 2) << "nothing unsaved, nothing counted";

  CopyText(Foreign(), "unsaved");
  const int refills = widgets_.clips.row_count_changes;
  Advance(kMinute);
  EXPECT_EQ(Form().AutoSaveCountdown(), 1);
  EXPECT_TRUE(OnDisk("Short-Term").empty());
  Advance(kMinute);
  EXPECT_EQ(OnDisk("Short-Term"), std::vector<std::string>{"unsaved"});
  EXPECT_EQ(Form().AutoSaveCountdown(), 2);
  EXPECT_FALSE(Form().MasterList()->Modified);
  EXPECT_EQ(widgets_.status.panels[0], "AutoSave Complete");
  // The header shows the clip on the clipboard again; the list is left as
  // it is.
  EXPECT_EQ(widgets_.shell.header, "unsaved");
  EXPECT_EQ(widgets_.clips.row_count_changes, refills);
  EXPECT_TRUE(Logged(">AutoSave", "Beginning AutoSave"));
  EXPECT_TRUE(Logged("<AutoSave", "End AutoSave"));
}

TEST_F(SavingTest, AutosaveWaitsForFifteenQuietSeconds) {
  Put("Preferences", "AutoSave", "1");
  Put("Preferences", "AutoSaveInterval", "1");
  Loaded();
  ForeignApp& app = Foreign();
  CopyText(app, "one");
  CopyText(app, "two");
  // The user moves through the list five seconds before each of the next
  // two ticks.
  const auto to_next_tick = [this] {
    return static_cast<std::uint32_t>(kMinute - desktop_.Clock().ElapsedMs() % kMinute);
  };
  for (int minute = 0; minute < 2; ++minute) {
    SCOPED_TRACE(minute);
    Advance(to_next_tick() - 5000);
    ClickRow(minute);
    Advance(5000);
    EXPECT_TRUE(OnDisk("Short-Term").empty());
    EXPECT_EQ(widgets_.status.panels[0], "AutoSave Deferred - Too Busy.");
    EXPECT_LE(Form().AutoSaveCountdown(), 0);
  }
  EXPECT_TRUE(Logged("AutoSave", "AutoSave Deferred - Too Busy."));
  // Left alone, the next tick saves.
  Advance(kMinute);
  EXPECT_EQ(OnDisk("Short-Term"), (std::vector<std::string>{"two", "one"}));
  EXPECT_EQ(Form().AutoSaveCountdown(), 1);
}

TEST_F(SavingTest, AutosaveIsOffByDefault) {
  Loaded();
  CopyText(Foreign(), "unsaved");
  Advance(30 * kMinute);
  EXPECT_TRUE(OnDisk("Short-Term").empty());
}

TEST_F(SavingTest, ReloadAsksThenSavesAndLoadsEverythingAgain) {
  Loaded();
  CopyText(Foreign(), "before reload");
  TClipColl* before = Coll("Short-Term");

  desktop_.Prompts().QueueAnswer(MsgResult::kNo);
  Form().MenuClick(MenuCommand::kFileReload);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0],
            "This will save all data, and re-load from disk.  This option is usually only useful for refreshing "
            "\r\ndata from shared data sources, such as in a workgroup setting.\r\nContinue?");
  EXPECT_EQ(desktop_.Prompts().Shown()[0].buttons, MsgButtons::kYesNo);
  EXPECT_EQ(desktop_.Prompts().Shown()[0].icon, MsgIcon::kQuestion);
  EXPECT_TRUE(OnDisk("Short-Term").empty()) << "No changes nothing";
  EXPECT_EQ(Coll("Short-Term"), before);

  std::ofstream(DataPath("TrashCan/D1.DAT")) << "deleted clip";
  desktop_.Prompts().QueueAnswer(MsgResult::kYes);
  Form().MenuClick(MenuCommand::kFileReload);
  EXPECT_EQ(OnDisk("Short-Term"), std::vector<std::string>{"before reload"});
  ASSERT_NE(Coll("Short-Term"), nullptr);
  EXPECT_EQ(Titles(*Coll("Short-Term")), std::vector<std::string>{"before reload"});
  EXPECT_EQ(Form().ShownCollection(), Coll("Short-Term"));
  EXPECT_EQ(Form().Inbox(), Coll("Short-Term"));
  EXPECT_FALSE(fs::exists(DataPath("TrashCan/D1.DAT")));
  EXPECT_EQ(widgets_.tree.Captions(),
            (std::vector<std::string>{"My Clips", "Short-Term", "Long-Term", "Trash Can", "Search Results"}));
  EXPECT_FALSE(Form().EventsSuspended());
  // Capture goes on into the reloaded collection (once the copy of its
  // top clip that showing it made is a second old).
  Advance(1000);
  CopyText(Foreign(), "after reload");
  EXPECT_EQ(Coll("Short-Term")->Clip(0)->Title, "after reload");
}

}  // namespace
}  // namespace om::testing
