// The collections tree's commands on the simulated desktop: the context
// menu, new and deleted collections, the sort order, icons, properties,
// moving collections by dragging, and switching collections.
#include <gtest/gtest.h>

#include "ui/main/main_form_fixture.h"

namespace om::testing {
namespace {

class CollectionsTreeTest : public MainFormTest {
 protected:
  TCollectionsTree& Tree() { return Form().Tree(); }
  TreeNode Node(const std::string& title) { return widgets_.tree.NodeOf(Coll(title)); }
  // Points the mouse at the node, as the user does before the context menu.
  void Hover(const std::string& title) { Tree().tvCollectionsMouseMove(Node(title)); }
  std::vector<std::string> ChildTitles(const std::string& title) {
    std::vector<std::string> out;
    for (TreeNode child : widgets_.tree.Children(Node(title))) out.push_back(widgets_.tree.Caption(child));
    return out;
  }
  std::string Shown() { return Form().ShownCollection() != nullptr ? Form().ShownCollection()->Title : "<none>"; }
  // Names a new collection through the context menu of `parent`.
  void NewCollection(const std::string& parent, const std::string& title) {
    desktop_.Prompts().QueueInput(title);
    Hover(parent);
    Tree().CollectionsMenuClick(TreeMenuCommand::kNewCollection);
  }
  void WriteFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
  }
};

// --- the context menu ---------------------------------------------------

struct MenuCase {
  const char* node;
  bool from_tool_button;
  // Enabled flags in menu order: up, down, icon, properties, delete, new,
  // add source, delete source.
  std::vector<bool> enabled;
};

TEST_F(CollectionsTreeTest, ContextMenuOffersWhatTheNodeAllows) {
  WriteCollection("First", 1000);
  WriteCollection("Middle", 2000);
  WriteCollection("Last", 3000);
  WriteCollection("Locked", 4000);
  Loaded();
  Coll("Locked")->ReadOnly = true;
  const std::vector<MenuCase> cases = {
      {"My Clips", false, {false, false, false, true, false, true, true, true}},
      {"My Clips", true, {false, false, false, true, false, true, false, false}},
      {"First", false, {false, true, true, true, true, true, false, false}},
      {"Middle", false, {true, true, true, true, true, true, false, false}},
      {"Last", false, {true, true, true, true, true, true, false, false}},
      {"Locked", false, {false, false, false, false, false, false, false, false}},
      {"Trash Can", false, {false, false, false, false, false, false, false, false}},
      {"Search Results", false, {false, false, false, false, false, false, false, false}},
  };
  for (const MenuCase& c : cases) {
    SCOPED_TRACE(std::string(c.node) + (c.from_tool_button ? " from the tool button" : ""));
    if (c.from_tool_button) {
      ShowColl(c.node);
      Hover("Middle");  // the tool button's menu ignores the mouse
    } else {
      Hover(c.node);
    }
    const std::vector<TreeMenuEntry> entries = Tree().PopMenuCollectionsPopup(c.from_tool_button);
    ASSERT_EQ(entries.size(), 10u);
    std::vector<bool> enabled;
    for (std::size_t i = 0; i < 8; ++i) enabled.push_back(entries[i].enabled);
    EXPECT_EQ(enabled, c.enabled);
    EXPECT_TRUE(entries[8].enabled && entries[9].enabled);
    // The menu's node becomes the selected one and is shown.
    EXPECT_EQ(Shown(), c.node);
  }
}

TEST_F(CollectionsTreeTest, ContextMenuCaptionsAndShiftF10) {
  WriteCollection("Notes", 1000);
  Loaded();
  ShowColl("Notes");
  Hover("My Clips");
  std::vector<std::string> captions;
  for (const TreeMenuEntry& e : Tree().PopMenuCollectionsPopup(false)) captions.push_back(e.caption);
  EXPECT_EQ(captions, (std::vector<std::string>{"Move &Up In Sort Order", "Move &Down In Sort Order", "Change &Icon",
                                                "&Properties", "Del&ete Collection", "Add &New Collection",
                                                "Add New Data Source", "Delete Data Source", "What's This?",
                                                "&Cancel"}));
  // From the keyboard the menu opens at the tree's centre for the selected
  // node, wherever the mouse was.
  ShowColl("Notes");
  Hover("Trash Can");
  Tree().tvCollectionsKeyDown(0x79, /*shift=*/true, false);
  EXPECT_EQ(widgets_.tree.context_menus_at_centre, 1);
  EXPECT_EQ(Tree().ContextNode(), Node("Notes"));
  Tree().tvCollectionsKeyDown(0x79, /*shift=*/false, false);
  EXPECT_EQ(widgets_.tree.context_menus_at_centre, 1);
}

// --- new collections ----------------------------------------------------

TEST(CollectionDirNameTest, ReplacesForbiddenCharactersAndCountsUp) {
  EXPECT_EQ(CollectionDirName("A/B"), "A_B");
  EXPECT_EQ(CollectionDirName("a\\b:c*d?e!f@g#h$i%j^k&l\"m<n>o|p.q[r]s(t)u"), "a_b_c_d_e_f_g_h_i_j_k_l_m_n_o_p_q_r_s_t_u");
  const std::pair<const char*, const char*> next[] = {
      {"Notes", "Notes1"}, {"Notes1", "Notes2"}, {"Plan9", "Plan;"}, {"X;", "X="}, {"X=", "X@"},
      {"Box", "Box1"},     {"BoxA", "BoxB"},     {"", "1"},         {"Y", "Z"},   {"Z", "["},
  };
  for (const auto& [from, to] : next) EXPECT_EQ(NextDirName(from), to) << from;
}

struct NamingCase {
  std::vector<std::string> existing_folders;
  std::string title;
  std::string folder;
};

TEST_F(CollectionsTreeTest, NewCollectionFolderFollowsTheNamingRules) {
  const std::vector<NamingCase> cases = {
      {{}, "A/B", "A_B"},
      {{"Notes"}, "Notes", "Notes1"},
      {{"Notes", "Notes1"}, "Notes", "Notes2"},
  };
  for (const NamingCase& c : cases) {
    SCOPED_TRACE(c.title + " with " + std::to_string(c.existing_folders.size()) + " folders");
    form_.reset();
    fs::remove_all(DataPath());
    fs::create_directories(DataPath());
    WriteCollection("Home", 1000);
    for (const std::string& folder : c.existing_folders) WriteFile(DataPath(folder) / "other.txt", "x");
    Loaded();
    NewCollection("My Clips", c.title);
    TClipColl* coll = Coll(c.title);
    ASSERT_NE(coll, nullptr);
    EXPECT_EQ(coll->DirName, c.folder);
    EXPECT_TRUE(fs::is_directory(DataPath(c.folder)));
    EXPECT_EQ(coll->Parent, Coll("My Clips"));
    EXPECT_EQ(coll->TreeSortKey, 32505);
    const TreeNode node = Node(c.title);
    EXPECT_EQ(widgets_.tree.Parent(node), Node("My Clips"));
    EXPECT_EQ(widgets_.tree.Image(node), 10);
    EXPECT_EQ(widgets_.tree.Selected(), node);
    EXPECT_EQ(Shown(), c.title);
    EXPECT_TRUE(widgets_.status.Showed("New Collection Created"));
    EXPECT_EQ(desktop_.Prompts().ShownInputs().back().caption, "Create New Collection");
    EXPECT_EQ(desktop_.Prompts().ShownInputs().back().prompt, "Enter The Name Of The New Collection:");
    EXPECT_EQ(desktop_.Prompts().ShownInputs().back().text, "New Collection");
  }
}

TEST_F(CollectionsTreeTest, DuplicateTitleIsRefusedCaseBlindAndAskedAgain) {
  WriteCollection("A_B", 1000, [](TClipColl& c) { c.Title = "A/B"; });
  Loaded();
  const std::size_t before = Form().MasterList()->Count();
  const int left = widgets_.shell.left_topmost, restored = widgets_.shell.restored_visibility;
  desktop_.Prompts().QueueInput("a/b");
  desktop_.Prompts().QueueInput(std::nullopt);
  Hover("My Clips");
  Tree().mnuCollectionNewCollectionClick();
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"Collection Name Must Be Unique - This Name Is Already In Use:\r\na/b"}));
  ASSERT_EQ(desktop_.Prompts().ShownInputs().size(), 2u);
  EXPECT_EQ(desktop_.Prompts().ShownInputs()[1].text, "a/b");
  // Cancelled at last: nothing made, and the window's position restored.
  EXPECT_EQ(Form().MasterList()->Count(), before);
  EXPECT_FALSE(fs::exists(DataPath("a_b")));
  EXPECT_EQ(widgets_.shell.left_topmost - left, 1);
  EXPECT_EQ(widgets_.shell.restored_visibility - restored, 1);
}

TEST_F(CollectionsTreeTest, FileMenuCreatesBelowTheSelectedNodeAndNeverInTheTrash) {
  WriteCollection("Home", 1000);
  Loaded();
  ShowColl("Home");
  desktop_.Prompts().QueueInput("Inner");
  Form().MenuClick(MenuCommand::kNewCollection);
  ASSERT_NE(Coll("Inner"), nullptr);
  EXPECT_EQ(Coll("Inner")->Parent, Coll("Home"));
  EXPECT_TRUE(fs::is_directory(DataPath("Home/Inner")));
  ShowColl("Trash Can");
  desktop_.Prompts().QueueInput("Lost");
  Form().MenuClick(MenuCommand::kNewCollection);
  EXPECT_EQ(Coll("Lost"), nullptr);
  EXPECT_EQ(desktop_.Prompts().QueuedInputs(), 1u) << "no name is asked for";
}

// --- deleting -----------------------------------------------------------

TEST_F(CollectionsTreeTest, DeleteRefusesParentsAndNonEmptyCollectionsThenDeletesTheFolder) {
  WriteCollection("Busy", 1000);
  WriteCollection("Parent", 2000);
  Loaded();
  NewCollection("Parent", "Child");
  ASSERT_NE(Coll("Child"), nullptr);
  ShowColl("Busy");
  CopyText(Foreign(), "one clip");
  ASSERT_EQ(Coll("Busy")->Count(), 1);

  Hover("Parent");
  Tree().mnuCollectionDeleteClick();
  Hover("Busy");
  Tree().mnuCollectionDeleteClick();
  EXPECT_EQ(Boxes(), (std::vector<std::string>{
                         "This node has children - delete or move children first.",
                         "This collection has data in it.  Only empy collections may be deleted.  \r\n"
                         "Delete or move items before deleting the collection."}));
  EXPECT_NE(Coll("Parent"), nullptr);
  EXPECT_NE(Coll("Busy"), nullptr);

  // Emptied, it goes on Yes and stays on No.
  Coll("Busy")->RemoveItem(0, true);
  desktop_.Prompts().QueueAnswer(MsgResult::kNo);
  Tree().mnuCollectionDeleteClick();
  EXPECT_NE(Coll("Busy"), nullptr);
  EXPECT_EQ(Boxes().back(), "Do you wish to delete the collection titled: Busy?");
  const std::string folder = Coll("Busy")->GetPath();
  desktop_.Prompts().QueueAnswer(MsgResult::kYes);
  Tree().mnuCollectionDeleteClick();
  EXPECT_EQ(Coll("Busy"), nullptr);
  EXPECT_EQ(widgets_.tree.NodeOf(nullptr), 0u);
  EXPECT_FALSE(fs::exists(DataPath("Busy")));
  EXPECT_EQ(widgets_.status.panels[0], "Delete Sucessful: " + folder);
  EXPECT_TRUE(LogHas("CollectionDelete Ended."));
  // The list showed it: it shows the parent now, and captures go elsewhere.
  EXPECT_EQ(Shown(), "My Clips");
  EXPECT_NE(Form().Inbox(), nullptr);
  EXPECT_NE(Form().Inbox()->Title, "Busy");
}

// --- sort order ---------------------------------------------------------

TEST_F(CollectionsTreeTest, MovingInSortOrderHalvesBetweenTheNeighbours) {
  WriteCollection("A", 1000);
  WriteCollection("B", 2000);
  WriteCollection("C", 3000);
  WriteCollection("D", 4000);
  Loaded();
  Hover("D");
  Tree().mnuCollection_SortHigherClick();
  EXPECT_EQ(Coll("D")->TreeSortKey, 2500);
  EXPECT_EQ(ChildTitles("My Clips"), (std::vector<std::string>{"A", "B", "D", "C"}));
  Tree().mnuCollection_SortHigherClick();
  EXPECT_EQ(Coll("D")->TreeSortKey, 1500);
  EXPECT_EQ(ChildTitles("My Clips"), (std::vector<std::string>{"A", "D", "B", "C"}));
  EXPECT_TRUE(Coll("D")->Modified);
  // Second place up: halfway to 0. Last but one down: halfway to the bound.
  Tree().mnuCollection_SortHigherClick();
  EXPECT_EQ(Coll("D")->TreeSortKey, 500);
  Hover("B");
  Tree().mnuCollection_SortLowerClick();
  EXPECT_EQ(Coll("B")->TreeSortKey, (3000 + 64000) / 2);
  EXPECT_EQ(ChildTitles("My Clips"), (std::vector<std::string>{"D", "A", "C", "B"}));
  // The ends stay where they are.
  Tree().mnuCollection_SortLowerClick();
  Hover("D");
  Tree().mnuCollection_SortHigherClick();
  EXPECT_EQ(Coll("B")->TreeSortKey, 33500);
  EXPECT_EQ(Coll("D")->TreeSortKey, 500);
}

// --- icon and properties ------------------------------------------------

TEST_F(CollectionsTreeTest, ChangeIconTakesThePickedImage) {
  WriteCollection("Notes", 1000);
  Loaded();
  ShowColl("Notes");
  Hover("Notes");
  widgets_.shell.select_bitmap.act = [](TfrmSelectBitmap& dialog) { dialog.CellClick(2); };
  Tree().mnuCollectionChangeIconClick();
  EXPECT_EQ(widgets_.shell.select_bitmap.caption, "Select A Bitmap");
  EXPECT_EQ(Coll("Notes")->IconIndex, 12);
  EXPECT_EQ(widgets_.tree.Image(Node("Notes")), 12);
  EXPECT_EQ(widgets_.shell.collection_button_image, 12);
  EXPECT_TRUE(Coll("Notes")->Modified);
  // Closed without OK, or on an empty cell: nothing changes.
  widgets_.shell.select_bitmap.ok = false;
  Tree().mnuCollectionChangeIconClick();
  widgets_.shell.select_bitmap.ok = true;
  widgets_.shell.select_bitmap.act = [](TfrmSelectBitmap& dialog) { dialog.CellClick(99); };
  Tree().mnuCollectionChangeIconClick();
  EXPECT_EQ(Coll("Notes")->IconIndex, 12);
  EXPECT_EQ(widgets_.shell.select_bitmap.shown, 3);
}

TEST_F(CollectionsTreeTest, PropertiesGoToTheDialogOfTheNodesKind) {
  WriteCollection("Notes", 1000);
  Loaded();
  Hover("Trash Can");
  Tree().mnuCollectionPropertiesClick();
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"Sorry, Properties For Special Collection [Trash Can] Are Not Available"}));
  Hover("Notes");
  Tree().mnuCollectionPropertiesClick();
  EXPECT_EQ(widgets_.shell.ds_prop.shown, 0);
  EXPECT_TRUE(LogHas("The collection properties dialog is not available yet: Notes"));
  // The data source's node: its record edited, the node titled anew.
  widgets_.shell.ds_prop.edit = [](TDSPropFields& fields) { fields.Title = "Work Clips"; };
  Hover("My Clips");
  TClipColl* root = Coll("My Clips");
  Tree().mnuCollectionPropertiesClick();
  EXPECT_EQ(widgets_.shell.ds_prop.caption, "Data Source Properties");
  EXPECT_EQ(root->DataSource->Description, "Work Clips");
  EXPECT_EQ(widgets_.tree.Caption(widgets_.tree.NodeOf(root)), "Work Clips");
}

// --- moving collections by dragging ---------------------------------------

TEST_F(CollectionsTreeTest, DraggingMovesTheFilesAndTheChildCollections) {
  WriteCollection("Src", 1000);
  WriteCollection("Dst", 2000);
  Loaded();
  NewCollection("Src", "Kid");
  WriteFile(DataPath("Src/D7.DAT"), "seven");
  WriteFile(DataPath("Src/Kid/D1.DAT"), "one");
  ShowColl("Dst");

  Tree().tvCollectionsStartDrag(Node("Src"));
  EXPECT_TRUE(widgets_.status.Showed("Dragging..."));
  EXPECT_FALSE(Tree().tvCollectionsDragOver(Node("Kid"), DragSource::kTree)) << "not below itself";
  EXPECT_FALSE(Tree().tvCollectionsDragOver(Node("My Clips"), DragSource::kTree)) << "already there";
  EXPECT_FALSE(Tree().tvCollectionsDragOver(Node("Trash Can"), DragSource::kTree));
  EXPECT_TRUE(Tree().tvCollectionsDragOver(Node("Dst"), DragSource::kTree));
  Tree().tvCollectionsDragDrop(Node("Dst"), DragSource::kTree, false);
  Tree().tvCollectionsEndDrag();

  EXPECT_TRUE(fs::exists(DataPath("Dst/Src/_COLL.QL4")));
  EXPECT_TRUE(fs::exists(DataPath("Dst/Src/D7.DAT")));
  EXPECT_TRUE(fs::exists(DataPath("Dst/Src/Kid/D1.DAT")));
  EXPECT_FALSE(fs::exists(DataPath("Src")));
  EXPECT_EQ(ChildTitles("Dst"), (std::vector<std::string>{"Src"}));
  EXPECT_EQ(ChildTitles("Src"), (std::vector<std::string>{"Kid"}));
  EXPECT_EQ(Coll("Src")->Parent, Coll("Dst"));
  EXPECT_EQ(Coll("Kid")->GetPath(), DataFolder() + "Dst\\Src\\Kid\\");
  EXPECT_EQ(widgets_.status.panels[0], "Move Complete");
  EXPECT_FALSE(Tree().Dragging());
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(Shown(), "Dst");
}

TEST_F(CollectionsTreeTest, MovedCollectionTakesAFreeFolderNameAndReportsAFolderLeftBehind) {
  WriteCollection("Src", 1000);
  WriteCollection("Dst", 2000);
  Loaded();
  WriteFile(DataPath("Dst/Src/theirs.txt"), "not ours");
  // A folder the move does not know of keeps the old folder in place.
  fs::create_directories(DataPath("Src/stray"));
  Tree().tvCollectionsStartDrag(Node("Src"));
  Tree().tvCollectionsDragDrop(Node("Dst"), DragSource::kTree, false);
  Tree().tvCollectionsEndDrag();
  EXPECT_EQ(Coll("Src")->DirName, "Src1");
  EXPECT_TRUE(fs::exists(DataPath("Dst/Src1/_COLL.QL4")));
  EXPECT_TRUE(fs::exists(DataPath("Dst/Src/theirs.txt")));
  EXPECT_FALSE(fs::exists(DataPath("Dst/Src/_COLL.QL4")));
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"Directory Delete Failed: " + DataFolder() + "Src\\"}));
}

TEST_F(CollectionsTreeTest, AMoveThatCannotCopyEveryFileLeavesEverythingWhereItWas) {
  WriteCollection("Src", 1000);
  WriteCollection("Dst", 2000);
  Loaded();
  NewCollection("Src", "Kid");
  WriteFile(DataPath("Src/D7.DAT"), "seven");
  WriteFile(DataPath("Src/Kid/D1.DAT"), "one");
  // A file of the child that cannot be read: the move must not half-happen.
  fs::create_symlink(DataPath("Src/Kid/gone"), DataPath("Src/Kid/D2.DAT"));
  Tree().tvCollectionsStartDrag(Node("Src"));
  Tree().tvCollectionsDragDrop(Node("Dst"), DragSource::kTree, false);
  Tree().tvCollectionsEndDrag();
  EXPECT_TRUE(fs::exists(DataPath("Src/D7.DAT")));
  EXPECT_TRUE(fs::exists(DataPath("Src/Kid/D1.DAT")));
  EXPECT_TRUE(fs::exists(DataPath("Src/_COLL.QL4")));
  EXPECT_FALSE(fs::exists(DataPath("Dst/Src"))) << "the copies are gone again";
  EXPECT_EQ(Coll("Src")->Parent, Coll("My Clips"));
  EXPECT_EQ(Coll("Kid")->GetPath(), DataFolder() + "Src\\Kid\\");
  EXPECT_EQ(ChildTitles("Dst"), std::vector<std::string>{});
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"The collection could not be moved: Src"}));
}

TEST_F(CollectionsTreeTest, ClipDropsAreAcceptedOnCollectionsAndRouted) {
  WriteCollection("Here", 1000);
  WriteCollection("There", 2000);
  Loaded();
  ShowColl("Here");
  EXPECT_FALSE(Tree().tvCollectionsDragOver(Node("Here"), DragSource::kClipList)) << "their own collection";
  EXPECT_FALSE(Tree().tvCollectionsDragOver(Node("My Clips"), DragSource::kClipList)) << "a folder node";
  EXPECT_FALSE(Tree().tvCollectionsDragOver(Node("There"), DragSource::kOther));
  EXPECT_TRUE(Tree().tvCollectionsDragOver(Node("There"), DragSource::kClipList));
  Tree().tvCollectionsDragDrop(Node("There"), DragSource::kClipList, false);
  // No clip was selected: none is filed, and the batch says so.
  EXPECT_EQ(widgets_.status.panels[0], "Moved 0 clip to There");
  widgets_.tree.drop_action = DropAction::kCopy;
  Tree().tvCollectionsDragDrop(Node("There"), DragSource::kClipList, true);
  EXPECT_EQ(widgets_.tree.drop_menus, 1);
  EXPECT_EQ(widgets_.status.panels[0], "Copied 0 clip to There");
}

// --- data sources -----------------------------------------------------------

TEST_F(CollectionsTreeTest, DataSourcesAreAddedAndRemovedFromARootsMenu) {
  WriteCollection("Home", 1000);
  Loaded();
  widgets_.shell.picked_directory = (dir_ / "second_data").string();
  Hover("My Clips");
  Tree().CollectionsMenuClick(TreeMenuCommand::kAddDataSource);
  EXPECT_EQ(widgets_.shell.ds_prop.shown, 1);
  ASSERT_EQ(Settings().DataSources.size(), 2u);
  // Everything was loaded again, the new source's node with it.
  ASSERT_NE(Coll("New Data Source"), nullptr);
  EXPECT_EQ(Coll("New Data Source")->DataSource, &Settings().DataSources[1].Source);
  EXPECT_NE(Coll("Home"), nullptr);

  Hover("New Data Source");
  Tree().CollectionsMenuClick(TreeMenuCommand::kDeleteDataSource);
  EXPECT_EQ(Settings().DataSources.size(), 1u);
  EXPECT_EQ(Coll("New Data Source"), nullptr);
  EXPECT_EQ(widgets_.tree.Captions(), (std::vector<std::string>{"My Clips", "Home", "Trash Can", "Search Results"}));
}

// --- switching collections ------------------------------------------------

TEST_F(CollectionsTreeTest, F5TogglesBetweenTheLastTwoCollections) {
  WriteCollection("A", 1000);
  WriteCollection("B", 2000);
  Loaded();
  Settings().LastColl.clear();
  Form().MenuClick(MenuCommand::kSwitchToLastCollection);
  EXPECT_EQ(Boxes(), (std::vector<std::string>{
                         "No LAST Collection Was Found.  Select a collection manually, to set the LAST Collection."}));
  ShowColl("A");
  ShowColl("B");
  Form().MenuClick(MenuCommand::kSwitchToLastCollection);
  EXPECT_EQ(Shown(), "A");
  EXPECT_EQ(widgets_.tree.Selected(), Node("A"));
  Form().MenuClick(MenuCommand::kSwitchToLastCollection);
  EXPECT_EQ(Shown(), "B");
}

TEST_F(CollectionsTreeTest, F6FindsTheFavouriteOrSaysThereIsNone) {
  WriteCollection("A", 1000);
  WriteCollection("B", 2000);
  Loaded();
  Form().MenuClick(MenuCommand::kSwitchToFavoriteCollection);
  EXPECT_EQ(Boxes(), (std::vector<std::string>{
                         "No FAVORITE Collections Were Found.  Set The FAVORITE Option In Collection Properties."}));
  Coll("A")->Favorite = true;
  ShowColl("B");
  for (int i = 0; i < 2; ++i) {
    Form().MenuClick(MenuCommand::kSwitchToFavoriteCollection);
    EXPECT_EQ(Shown(), "A");
  }
  EXPECT_EQ(Boxes().size(), 1u);
}

TEST_F(CollectionsTreeTest, CollectionsButtonStepsThroughTheTree) {
  WriteCollection("A", 1000);
  WriteCollection("B", 2000);
  Loaded();
  ShowColl("B");
  Tree().cmdCollectionsClick(/*ctrl=*/true);
  EXPECT_EQ(Shown(), "A") << "Ctrl: the second node";
  Tree().cmdCollectionsClick(false);
  EXPECT_EQ(Shown(), "B");
  ShowColl("Search Results");
  Tree().cmdCollectionsClick(false);
  EXPECT_EQ(Shown(), "A") << "past the end, on after the first node";
  EXPECT_EQ(widgets_.shell.collection_button_image, 10);
}

TEST_F(CollectionsTreeTest, CollectionMenuIndentsChecksAndBreaksIntoColumns) {
  WriteCollection("A", 1000);
  WriteCollection("B", 2000);
  Loaded();
  NewCollection("A", "A1");
  ShowColl("B");
  const std::vector<CollectionMenuEntry> entries = Tree().PopupMenuSetCurrCollPopup(/*entries_per_column=*/2);
  std::vector<std::string> captions;
  std::vector<bool> enabled, checked, breaks;
  for (const CollectionMenuEntry& e : entries) {
    captions.push_back(e.caption);
    enabled.push_back(e.enabled);
    checked.push_back(e.checked);
    breaks.push_back(e.column_break);
  }
  EXPECT_EQ(captions, (std::vector<std::string>{"My Clips", "    A", "        A1", "    B", "Trash Can",
                                                "Search Results"}));
  EXPECT_EQ(enabled, (std::vector<bool>{false, true, true, true, true, true}));
  EXPECT_EQ(checked, (std::vector<bool>{false, false, false, true, false, false}));
  EXPECT_EQ(breaks, (std::vector<bool>{false, false, true, false, true, false}));
  EXPECT_EQ(entries[2].image, 10);
  Tree().mnuSetCurrCollClick(2);
  EXPECT_EQ(Shown(), "A1");
  EXPECT_TRUE(Tree().CollectionMenu().empty());
}

}  // namespace
}  // namespace om::testing
