// TCollectionsTree: the collections tree tvCollections, one node per
// collection of every data source plus the Trash Can and Search Results.
// Selecting a node shows its collection in the clip list.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/app_settings.h"
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
};

class TCollectionsTree final : public ITreeEvents {
 public:
  TCollectionsTree(ICollectionsTreeHost& host, ITreeWidget& widget, TAppSettings& settings);
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

  // --- ITreeEvents --------------------------------------------------------
  void tvCollectionsChange(TreeNode node) override;

 private:
  class NodeOrder final : public ICollectionTreeOrder {
   public:
    explicit NodeOrder(const ITreeWidget& tree) : tree_(tree) {}
    std::vector<TClipColl*> NodeCollections() const override;

   private:
    const ITreeWidget& tree_;
  };

  ICollectionsTreeHost& host_;
  ITreeWidget& widget_;
  TAppSettings& settings_;
  NodeOrder order_;
};

}  // namespace om
