// TCollectionsTree: the collections tree tvCollections, one node per
// collection of every data source plus the Trash Can and Search Results.
// Selecting a node shows its collection in the clip list. The tree's
// context menu creates, deletes, reorders, re-icons and edits collections;
// dragging a node moves its collection into another folder; the collection
// menus, the collections tool button and the switch keys are built from it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_settings.h"
#include "platform/file_system.h"
#include "platform/prompts.h"
#include "store/master_list.h"
#include "ui/main/tree_widget.h"

namespace om {

class TClipColl;

// What the tree needs of the rest of the main window.
class ICollectionsTreeHost {
 public:
  virtual ~ICollectionsTreeHost() = default;
  virtual bool EventsSuspended() const = 0;
  // The collection the clip list shows; nullptr for none.
  virtual TClipColl* ShownCollection() const = 0;
  // Shows `coll` in the clip list (nullptr: none): the list refilled, the
  // clipboard clip forgotten, the preview hidden unless pinned.
  virtual void ShowCollection(TClipColl* coll) = 0;
  // The right-hand panel (list and preview) is shown only for a node with a
  // collection.
  virtual void SetClipPanelVisible(bool visible) = 0;
  // The state image of a collection's node (TfrmQL::CalcStateIndex).
  virtual int CalcStateIndex(const TClipColl* coll) const = 0;
  virtual void ShowStatus(int level, bool busy, std::string_view text) = 0;

  // --- what the tree's commands need --------------------------------------
  // nullptr before the collections are loaded.
  virtual TMasterList* MasterList() const = 0;
  // A message box owned by the main window, captioned with the program's
  // title.
  virtual MsgResult Message(std::string_view text, MsgButtons buttons, MsgIcon icon) = 0;
  virtual std::optional<std::string> InputBox(std::string_view caption, std::string_view prompt,
                                              std::string_view text) = 0;
  // Out of the always-on-top position while a dialog is up, and back.
  virtual void LeaveTopmost() = 0;
  virtual void RestoreVisibility() = 0;
  // The collection is about to be destroyed: nothing may keep pointing to
  // it (the shown collection, the capture target, the clipboard clip).
  virtual void ForgetCollection(TClipColl* coll) = 0;
  // The icon picker (TfrmSelectBitmap): the chosen image, nullopt for none.
  virtual std::optional<int> SelectBitmap() = 0;
  // The data-source properties dialog (TfrmDSProp): true for OK.
  virtual bool DataSourceProperties(TDataSource& source) = 0;
  // "Add New Data Source" and "Delete Data Source" on a data source's node.
  virtual void AddDataSource() = 0;
  virtual void DeleteDataSource(const TClipColl* node_coll) = 0;
  // The collections tool button's picture: image `image` of the
  // collections' images.
  virtual void SetCollectionButtonImage(int image) = 0;
  // The window's caption and the list's header for the shown collection.
  virtual void UpdateCaptions() = 0;
  // Files the dragged clips of the list into `coll` (copies with `copy`).
  virtual void DoDropClipsOnColl(TClipColl* coll, bool copy) = 0;
  // Ends automatic glue when it is on (TfrmQL::EndAutoGlue).
  virtual void EndAutoGlue() = 0;
  // Ends sequential paste, the clip on the clipboard put there as plain
  // data.
  virtual void SequentialPasteOff() = 0;
};

class TCollectionsTree final : public ITreeEvents {
 public:
  // A collection's sort key bounds: the largest an ordinary one gets when
  // moved down past its last sibling, and the special collections' key.
  static constexpr std::int32_t kMaxSortKey = 64000;
  static constexpr std::int32_t kSpecialSortKey = 64001;
  // A new collection's key: halfway between the default key and the bound.
  static constexpr std::int32_t kNewCollectionSortKey = (1010 + kMaxSortKey) / 2;
  // How far F6 looks at least before it gives up.
  static constexpr int kFavoriteSteps = 101;

  TCollectionsTree(ICollectionsTreeHost& host, ITreeWidget& widget, TAppSettings& settings, IFileSystem& files);
  TCollectionsTree(const TCollectionsTree&) = delete;
  TCollectionsTree& operator=(const TCollectionsTree&) = delete;

  // One node per collection of the master list in the tree's order
  // (siblings by TreeSortKey), data-source roots expanded.
  void BuildTree(TMasterList& master_list);
  // A root node for a collection of its own (the special collections).
  TreeNode AddRoot(TClipColl* coll);
  void Clear();

  // The node's position counting every node from the top; -1 for none.
  int GetTreeNodeOfColl(const TClipColl* coll) const;
  // The node at such a position; 0 for none.
  TreeNode NodeAt(int position) const;
  TreeNode NodeOf(const TClipColl* coll) const { return NodeAt(GetTreeNodeOfColl(coll)); }
  // Every node's state image recalculated.
  void RefreshStateIndexes();
  // The collections of the nodes from the top, as the master list's
  // designation walks them.
  const ICollectionTreeOrder& Order() const { return order_; }
  ITreeWidget& Widget() { return widget_; }

  // The node the context menu acts on (the one the mouse was last over).
  TreeNode ContextNode() const { return context_node_; }
  void SetContextNode(TreeNode node) { context_node_ = node; }
  bool Dragging() const { return dragging_; }

  // Siblings by TreeSortKey, smaller first; a node without a collection
  // counts as 0.
  static int tvCollectionsCompare(const TClipColl* a, const TClipColl* b);

  // Selects the node and shows its collection, as the user's click does.
  void SelectNode(TreeNode node);

  // --- commands ---------------------------------------------------------
  // "Add &New Collection" (the context node) and the File menu's "Add New
  // Collection" (`from_file_menu`: the selected node, or the first).
  void mnuCollectionNewCollectionClick(bool from_file_menu = false);
  void mnuCollectionDeleteClick();
  void mnuCollection_SortHigherClick();
  void mnuCollection_SortLowerClick();
  void mnuCollectionChangeIconClick();
  // The context menu's "&Properties" (the context node) and the File menu's
  // "Collection Properties" (`from_file_menu`: the selected node).
  void mnuCollectionPropertiesClick(bool from_file_menu = false);
  // Moves the source node's collection, its files and its descendants into
  // `target_folder` (trailing backslash), below the target node.
  void RelocateNode(TreeNode source, TreeNode target, const std::string& target_folder);

 private:
  // A move in two steps, so that a failure half-way loses nothing: every
  // file of the collection and its descendants is copied to its new folder
  // first (CopySubtree); only when all copies are written are the
  // originals removed and the nodes moved (MoveSubtree). A failed copy
  // removes what was copied and leaves everything where it was.
  struct MovePlan {
    TClipColl* coll = nullptr;
    std::string old_folder;
    std::string old_dir_name;
    std::string new_folder;
  };
  bool CopySubtree(TreeNode source, const std::string& old_folder, const std::string& target_folder,
                   std::vector<MovePlan>& plan, std::vector<std::string>& copied);
  void MoveSubtree(TreeNode source, TreeNode target, const std::vector<MovePlan>& plan);

 public:
  // F5, F6.
  void SwitchToLastCollection1Click();
  void SwitchToFavoriteCollection1Click();
  // Empties the collection menu.
  void DeallocatePopupMenu() { collection_menu_.clear(); }
  const std::vector<CollectionMenuEntry>& CollectionMenu() const { return collection_menu_; }
  // Puts the node's image on the collections tool button.
  void UpdateToolbarCollectionIcon(TreeNode node);

  // --- ITreeEvents --------------------------------------------------------
  void tvCollectionsChange(TreeNode node) override;
  void tvCollectionsMouseMove(TreeNode node) override { context_node_ = node; }
  void tvCollectionsKeyDown(int virtual_key, bool shift, bool ctrl) override;
  std::vector<TreeMenuEntry> PopMenuCollectionsPopup(bool from_tool_button) override;
  void CollectionsMenuClick(TreeMenuCommand command) override;
  void tvCollectionsStartDrag(TreeNode node) override;
  bool tvCollectionsDragOver(TreeNode node, DragSource source) override;
  void tvCollectionsDragDrop(TreeNode node, DragSource source, bool right_button) override;
  void tvCollectionsEndDrag() override;
  void cmdCollectionsClick(bool ctrl) override;
  std::vector<CollectionMenuEntry> PopupMenuSetCurrCollPopup(int entries_per_column) override;
  void mnuSetCurrCollClick(int position) override;

 private:
  class NodeOrder final : public ICollectionTreeOrder {
   public:
    explicit NodeOrder(const ITreeWidget& tree) : tree_(tree) {}
    std::vector<TClipColl*> NodeCollections() const override;

   private:
    const ITreeWidget& tree_;
  };

  bool IsSpecial(const TClipColl* coll) const;
  bool IsDescendant(TreeNode node, TreeNode ancestor) const;
  bool TitleInUse(std::string_view title) const;
  void MoveInSortOrder(bool up);
  void Error(std::string_view text);

  ICollectionsTreeHost& host_;
  ITreeWidget& widget_;
  TAppSettings& settings_;
  IFileSystem& files_;
  NodeOrder order_;
  TreeNode context_node_ = 0;
  bool dragging_ = false;
  TreeNode drag_source_ = 0;
  TreeNode drop_target_ = 0;
  std::vector<CollectionMenuEntry> collection_menu_;
};

// A collection's folder name made from its title: the characters a file
// name cannot hold (and a few more) become underscores.
std::string CollectionDirName(std::string_view title);
// The folder name tried after `dir_name` when a folder of that name exists:
// its last character raised by one when it is one of "0" .. "Z" (skipping
// those a file name cannot hold), else "1" appended.
std::string NextDirName(std::string_view dir_name);

}  // namespace om
