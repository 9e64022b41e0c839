// Deleting, emptying the trash, new clips, and moving and copying clips
// between collections, on the simulated desktop: which clip is selected
// after a delete and what the clipboard then holds, the confirmations and
// refusals, the messages of a batch, Ctrl, the remembered target, side
// files moved and saved, and a copy that fails.
#include <gtest/gtest.h>

#include "store/clip_text.h"
#include "store/fault_file_system.h"
#include "ui/main/main_form_fixture.h"

namespace om::testing {
namespace {

class ClipMovesTest : public MainFormTest {
 protected:
  // Main (the texts captured, newest at the top) and Long-Term.
  void StartWith(const std::vector<std::string>& texts,
                 const std::function<void(TClipColl&)>& configure_main = nullptr) {
    WriteCollection("Main", 100, configure_main);
    WriteCollection("Long-Term", 200, [](TClipColl& coll) { coll.AcceptNewClips = false; });
    Loaded();
    ShowColl("Main");
    ForeignApp& app = Foreign();
    for (const std::string& text : texts) {
      Advance(5000);
      CopyText(app, text);
    }
  }
  void SelectRows(const std::vector<int>& rows) {
    widgets_.clips.ClearSelection();
    for (int row : rows) widgets_.clips.SetSelected(row, true);
  }
  std::vector<std::string> Rows() {
    std::vector<std::string> titles;
    for (int i = 0; i < Form().ClipList().Count(); ++i) titles.push_back(Form().ClipList().ClipAt(i)->Title);
    return titles;
  }
  std::string Status() { return widgets_.status.panels[0]; }
  // The program gone and its data folder emptied, for the next case.
  void Discard() {
    form_.reset();
    settings_.reset();
    fs::remove_all(DataPath());
    fs::create_directories(DataPath());
  }
  TClipMoves& Moves() { return Form().Moves(); }
  const fake::ShownBox& LastBox() { return desktop_.Prompts().Shown().back(); }
  // The texts of the clips the collection's file lists now, read from their
  // data files in the collection's folder.
  std::vector<std::string> TextsOnDisk(const std::string& title) {
    TStoreServices services;
    services.Clock = &desktop_.Clock();
    services.Locale = &locale_;
    services.Files = &files_;
    ScopedStoreServices scope(services);
    TMasterList list;
    TClipColl coll;
    coll.DirName = DataFolder() + title + "\\";
    coll.LoadFromFile(coll.GetPath() + kCollFileName);
    std::vector<std::string> texts;
    for (const TCollEntry& entry : coll.Items()) texts.push_back(ClipText(*entry.Clip));
    return texts;
  }
};

TEST_F(ClipMovesTest, DeleteSelectsTheRowThatTookTheFirstDeletedPlaceOrTheFirstRow) {
  struct Case {
    std::vector<int> selected;
    std::vector<std::string> left;
    std::string reselected;
  };
  const Case cases[] = {
      // Rows from the middle: the row below them moves up into their place.
      {{1, 2}, {"e", "b", "a"}, "b"},
      // The last rows: the first row.
      {{3, 4}, {"e", "d", "c"}, "e"},
      // Rows apart: the row after the first one deleted.
      {{0, 3}, {"d", "c", "a"}, "d"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reselected);
    StartWith({"a", "b", "c", "d", "e"});
    ASSERT_EQ(Rows(), (std::vector<std::string>{"e", "d", "c", "b", "a"}));
    SelectRows(c.selected);
    Form().MenuClick(MenuCommand::kDeleteSelected);
    EXPECT_EQ(Rows(), c.left);
    EXPECT_EQ(Titles(*Coll("Main")), c.left);
    EXPECT_EQ(Coll("Trash Can")->Count(), 2);
    EXPECT_TRUE(widgets_.status.Showed("Moving Items To TrashCan..."));
    EXPECT_TRUE(widgets_.status.Showed("2 Items Deleted."));
    EXPECT_FALSE(widgets_.shell.busy);
    ASSERT_EQ(widgets_.clips.SelectedRows(), std::vector<int>{Form().ClipList().RowOf(Form().ClipboardClip())});
    EXPECT_EQ(ClipboardText(), c.reselected);
    Discard();
  }
}

TEST_F(ClipMovesTest, WithNoClipLeftSelectedTheClipboardIsEmptied) {
  StartWith({"a", "b"});
  // Nothing selected.
  SelectRows({});
  Form().MenuClick(MenuCommand::kDeleteSelected);
  EXPECT_EQ(Status(), "Nothing To Delete!");
  EXPECT_EQ(widgets_.shell.header, "Nothing To Delete!");
  EXPECT_EQ(ClipboardText(), "");
  EXPECT_EQ(Coll("Main")->Count(), 2);

  // Every clip, with the list's own Delete key.
  ClickRow(0);
  ASSERT_EQ(ClipboardText(), "b");
  SelectRows({0, 1});
  EXPECT_TRUE(Form().ClipList().lvClipsKeyDown(0x2E, {}));
  EXPECT_EQ(Rows(), std::vector<std::string>{});
  EXPECT_EQ(Coll("Trash Can")->Count(), 2);
  EXPECT_EQ(ClipboardText(), "");
  EXPECT_EQ(Form().ClipboardClip(), nullptr);
}

TEST_F(ClipMovesTest, DeletingFromASafeCollectionAsksOnlyWhenTheSettingIsExactlyOne) {
  struct Case {
    const char* setting;
    std::optional<MsgResult> answer;  // none: no box
    bool deleted;
  };
  const Case cases[] = {
      {"1", MsgResult::kOk, true},
      {"1", MsgResult::kCancel, false},
      {"0", std::nullopt, true},
      {"2", std::nullopt, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.setting) + (c.answer == MsgResult::kCancel ? " cancel" : ""));
    Put("Preferences", "ConfirmDeleteFromSafe", c.setting);
    StartWith({"kept"}, [](TClipColl& coll) { coll.CollType = colltype::kSafe; });
    const std::size_t boxes = desktop_.Prompts().Shown().size();
    if (c.answer) desktop_.Prompts().QueueAnswer(*c.answer);
    ClickRow(0);
    Form().MenuClick(MenuCommand::kDeleteSelected);
    EXPECT_EQ(desktop_.Prompts().Shown().size(), boxes + (c.answer ? 1 : 0));
    if (c.answer) {
      EXPECT_EQ(LastBox().text, "Delete From \"Safe\" Collection - Are You Sure?");
      EXPECT_EQ(LastBox().buttons, MsgButtons::kOkCancel);
    }
    EXPECT_EQ(Coll("Main")->Count(), c.deleted ? 0 : 1);
    Discard();
  }
}

TEST_F(ClipMovesTest, TheTrashCanAndTheSearchResultsRefuseDeletion) {
  StartWith({"a", "b"});
  ClickRow(0);
  Form().MenuClick(MenuCommand::kDeleteSelected);
  ASSERT_EQ(Coll("Trash Can")->Count(), 1);
  for (const char* title : {"Trash Can", "Search Results"}) {
    SCOPED_TRACE(title);
    ShowColl(title);
    SelectRows({0});
    const std::size_t boxes = desktop_.Prompts().Shown().size();
    Form().MenuClick(MenuCommand::kDeleteSelected);
    ASSERT_EQ(desktop_.Prompts().Shown().size(), boxes + 1);
    EXPECT_EQ(LastBox().text, "You cannot delete from this collection.");
    EXPECT_EQ(LastBox().icon, MsgIcon::kError);
  }
  EXPECT_EQ(Coll("Trash Can")->Count(), 1);

  // Emptying the trash removes the clip for good; nothing points to it.
  ShowColl("Trash Can");
  ClickRow(0);
  ASSERT_NE(Form().ClipboardClip(), nullptr);
  Form().MenuClick(MenuCommand::kEmptyTrash);
  EXPECT_EQ(Coll("Trash Can")->Count(), 0);
  EXPECT_EQ(Rows(), std::vector<std::string>{});
  EXPECT_EQ(Form().ClipboardClip(), nullptr);
  EXPECT_EQ(Form().Preview().PreviewedClip(), nullptr);
}

TEST_F(ClipMovesTest, MovesAndCopiesReportTheirCountAndCtrlCopiesFromTheMenuOnly) {
  StartWith({"a", "b", "c", "d", "e"});
  // The Edit menu's move, to the collection chosen from the menu.
  SelectRows({0, 1, 2});
  widgets_.shell.file_clip_choice = "Long-Term";
  Form().MenuClick(MenuCommand::kMoveToCollection);
  ASSERT_EQ(widgets_.shell.file_clip_menus.size(), 1u);
  for (const CollectionMenuEntry& entry : widgets_.shell.file_clip_menus.back()) {
    // The shown collection and the folders cannot be chosen.
    const bool can = entry.coll != Coll("Main") && entry.coll->Role != collrole::kFolderNode;
    EXPECT_EQ(entry.enabled, can) << entry.caption;
  }
  EXPECT_EQ(Status(), "Moved 3 clips to Long-Term");
  // Each new clip at the target's top, in list order.
  EXPECT_EQ(Titles(*Coll("Long-Term")), (std::vector<std::string>{"c", "d", "e"}));
  EXPECT_EQ(Rows(), (std::vector<std::string>{"b", "a"}));
  EXPECT_EQ(Moves().RememberedTarget(), Coll("Long-Term"));

  // The button files into the remembered target at once; Ctrl copies.
  SelectRows({0});
  widgets_.shell.ctrl_down = true;
  Form().MenuClick(MenuCommand::kMoveClips);
  EXPECT_EQ(widgets_.shell.file_clip_menus.size(), 1u);  // no menu
  EXPECT_EQ(Status(), "Copied 1 clip to Long-Term");
  EXPECT_EQ(Rows(), (std::vector<std::string>{"b", "a"}));
  EXPECT_EQ(Coll("Long-Term")->Count(), 4);

  // A drop on the tree moves, Ctrl or not.
  SelectRows({1});
  Form().Tree().tvCollectionsDragDrop(widgets_.tree.NodeOf(Coll("Long-Term")), DragSource::kClipList, false);
  EXPECT_TRUE(widgets_.status.Showed("Dropped..."));
  EXPECT_EQ(Status(), "Moved 1 clip to Long-Term");
  EXPECT_EQ(Rows(), std::vector<std::string>{"b"});

  // The right button's "&Copy Here".
  widgets_.shell.ctrl_down = false;
  SelectRows({0});
  widgets_.tree.drop_action = DropAction::kCopy;
  Form().Tree().tvCollectionsDragDrop(widgets_.tree.NodeOf(Coll("Long-Term")), DragSource::kClipList, true);
  EXPECT_EQ(Status(), "Copied 1 clip to Long-Term");
  EXPECT_EQ(Rows(), std::vector<std::string>{"b"});
  EXPECT_EQ(Coll("Long-Term")->Count(), 6);

  // A reload forgets the remembered target with the collections.
  Form().ReloadAllData();
  EXPECT_EQ(Moves().RememberedTarget(), nullptr);
}

TEST_F(ClipMovesTest, AReadOnlyTargetIsRefusedWithItsBox) {
  StartWith({"a"});
  Coll("Long-Term")->ReadOnly = true;
  ClickRow(0);
  Moves().DoDropClipsOnColl(Coll("Long-Term"), false, TClipMoves::DropVia::kMenu);
  EXPECT_EQ(LastBox().text, "Sorry, The Target collection is Read Only.");
  EXPECT_EQ(LastBox().caption, "Program Error");
  EXPECT_EQ(LastBox().icon, MsgIcon::kError);
  EXPECT_EQ(Coll("Main")->Count(), 1);
  // The Search Results own no clips: a clip moved there would be lost.
  Moves().DoDropClipsOnColl(Coll("Search Results"), false, TClipMoves::DropVia::kTree);
  EXPECT_EQ(LastBox().text, "Sorry, The Target collection is Read Only.");
  EXPECT_EQ(Coll("Main")->Count(), 1);
}

TEST_F(ClipMovesTest, MovingAClipWithSideFilesMovesTheFilesAndSavesEverything) {
  const std::string long_text(3000, 'x');
  StartWith({"short", long_text});
  Form().mnuFileSaveClick();
  ClickRow(0);  // the long text, stored apart in its data file
  TClipObj* clip = Form().ClipList().ClipAt(0);
  const fs::path old_file = DataPath("Main/D" + std::to_string(clip->SerialNbr) + ".DAT");
  ASSERT_TRUE(fs::exists(old_file));
  EXPECT_FALSE(Moves().Relocated());

  widgets_.shell.file_clip_choice = "Long-Term";
  Form().MenuClick(MenuCommand::kMoveClipsMenu);
  EXPECT_TRUE(Moves().Relocated());
  EXPECT_EQ(Status(), "Moved 1 clip to Long-Term");
  // Saved as the batch ended: both files on disk as they are now, the data
  // file in the target's folder only.
  EXPECT_EQ(OnDisk("Main"), std::vector<std::string>{"short"});
  EXPECT_EQ(TextsOnDisk("Long-Term"), std::vector<std::string>{long_text});
  EXPECT_FALSE(fs::exists(old_file));
  EXPECT_TRUE(fs::exists(DataPath("Long-Term/D" + std::to_string(clip->SerialNbr) + ".DAT")));

  // The flag stays set: a batch of clips without side files is saved too.
  ClickRow(0);
  Form().Tree().tvCollectionsDragDrop(widgets_.tree.NodeOf(Coll("Long-Term")), DragSource::kClipList, false);
  EXPECT_EQ(OnDisk("Main"), std::vector<std::string>{});
}

TEST_F(ClipMovesTest, AClipWhoseFilesCannotBeCopiedStaysWhereItWasAndTheStatusSaysSo) {
  const std::string long_text(3000, 'y');
  StartWith({"short", long_text});
  Form().mnuFileSaveClick();
  FaultInjectingFileSystem faulty(files_);
  faulty.FailChanges("copy D");  // the disk is full
  StoreServices().Files = &faulty;
  SelectRows({0, 1});
  Moves().DoDropClipsOnColl(Coll("Long-Term"), false, TClipMoves::DropVia::kMenu);
  StoreServices().Files = &files_;
  EXPECT_TRUE(widgets_.status.Showed("Moved 1 clip to Long-Term"));
  EXPECT_EQ(Status(), "Could not move 1 clip: the files could not be copied (see the log).");
  EXPECT_EQ(Titles(*Coll("Main")), std::vector<std::string>{long_text.substr(0, 60)});
  EXPECT_EQ(Rows(), std::vector<std::string>{long_text.substr(0, 60)});
  EXPECT_EQ(Titles(*Coll("Long-Term")), std::vector<std::string>{"short"});
  EXPECT_TRUE(LogHas("Clip Not Moved: " + long_text.substr(0, 60)));
}

TEST_F(ClipMovesTest, NewClipIsAnEmptyTextClipOnTheClipboardReadyForTyping) {
  StartWith({"a"});
  Form().MenuClick(MenuCommand::kNewClip);
  TClipColl& main = *Coll("Main");
  ASSERT_EQ(main.Count(), 2);
  TClipObj* made = main.Clip(0);  // new clips go to the top here
  EXPECT_EQ(made->Title, "Untitled");
  EXPECT_EQ(made->Creator, "Ottermoor - Manually Created");
  EXPECT_TRUE(made->HasIcon(cf::kText));
  EXPECT_EQ(Form().ClipboardClip(), made);
  EXPECT_EQ(Rows().front(), "Untitled");
  EXPECT_EQ(widgets_.clips.SelectedRows(), std::vector<int>{0});
  EXPECT_EQ(ClipboardText(), "");
  EXPECT_EQ(Form().Preview().PreviewedClip(), made);
  EXPECT_EQ(widgets_.preview.text_focused, 1);
  // The preview's own button does the same.
  Form().PreviewEvents()->cmdMag_NewClipClick();
  EXPECT_EQ(main.Count(), 3);

  // Nowhere to put it.
  ShowColl("Search Results");
  Form().MenuClick(MenuCommand::kNewClip);
  EXPECT_EQ(LastBox().text, "Sorry, The current collection is Read Only.");
  EXPECT_EQ(LastBox().caption, "Program Error");
  EXPECT_EQ(Coll("Search Results")->Count(), 0);
}

}  // namespace
}  // namespace om::testing
