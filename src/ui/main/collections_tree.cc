#include "ui/main/collections_tree.h"

#include <unordered_map>

#include "store/clip_coll.h"
#include "ui/main/current_operation.h"

namespace om {

std::vector<TClipColl*> TCollectionsTree::NodeOrder::NodeCollections() const {
  std::vector<TClipColl*> out;
  for (TreeNode node : tree_.Nodes()) out.push_back(tree_.Data(node));
  return out;
}

TCollectionsTree::TCollectionsTree(ICollectionsTreeHost& host, ITreeWidget& widget, TAppSettings& settings)
    : host_(host), widget_(widget), settings_(settings), order_(widget) {}

void TCollectionsTree::BuildTree(TMasterList& master_list) {
  // A collection sits below its parent when the parent comes earlier in the
  // master list; otherwise, and without a parent, it is a root, and the
  // roots of data sources are expanded.
  std::unordered_map<const TClipColl*, std::size_t> list_position;
  for (std::size_t i = 0; i < master_list.Count(); ++i) list_position.emplace(master_list.Items(i), i);
  std::unordered_map<const TClipColl*, TreeNode> node_of;
  for (TClipColl* coll : CollectionTreeOrder(master_list)) {
    TreeNode parent = 0;
    if (coll->Parent != nullptr) {
      const auto parent_at = list_position.find(coll->Parent);
      if (parent_at != list_position.end() && parent_at->second < list_position.at(coll)) {
        if (const auto node = node_of.find(coll->Parent); node != node_of.end()) parent = node->second;
      }
    }
    const TreeNode node = widget_.Add(parent, coll->Title, coll->IconIndex, coll);
    node_of[coll] = node;
    widget_.SetStateIndex(node, host_.CalcStateIndex(coll));
    if (coll->Parent == nullptr) widget_.Expand(node);
  }
}

TreeNode TCollectionsTree::AddRoot(TClipColl* coll) { return widget_.Add(0, coll->Title, coll->IconIndex, coll); }

void TCollectionsTree::Clear() { widget_.Clear(); }

int TCollectionsTree::GetTreeNodeOfColl(const TClipColl* coll) const {
  const std::vector<TreeNode> nodes = widget_.Nodes();
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    if (widget_.Data(nodes[i]) == coll) return static_cast<int>(i);
  }
  return -1;
}

TreeNode TCollectionsTree::NodeAt(int position) const {
  if (position < 0) return 0;
  const std::vector<TreeNode> nodes = widget_.Nodes();
  return static_cast<std::size_t>(position) < nodes.size() ? nodes[static_cast<std::size_t>(position)] : 0;
}

void TCollectionsTree::RefreshStateIndexes() {
  for (TreeNode node : widget_.Nodes()) widget_.SetStateIndex(node, host_.CalcStateIndex(widget_.Data(node)));
}

void TCollectionsTree::tvCollectionsChange(TreeNode node) {
  // Dragging nodes or rows comes with moving clips and collections.
  if (host_.EventsSuspended()) return;
  EnterOperation("TfrmQL.tvCollectionsChange");
  // Auto-glue and sequential paste, when they come, end here; the
  // previewed row is forgotten with the preview.
  TClipColl* const coll = node != 0 ? widget_.Data(node) : nullptr;
  // The collection shown until now is the one F5 returns to.
  TClipColl* const shown = host_.ShownCollection();
  if (coll != shown && shown != nullptr) settings_.LastColl = shown->Title;
  host_.SetClipPanelVisible(coll != nullptr);
  if (coll == nullptr) {
    host_.ShowCollection(nullptr);
    return;
  }
  host_.ShowStatus(2, true, "Loading Collection...");
  host_.ShowCollection(coll);
  host_.ShowStatus(1, false, "Collection Loaded - " + std::to_string(coll->Count()) + " Clips.");
}

}  // namespace om
