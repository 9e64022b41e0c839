// The collections tree: built from the master list, and the selection that
// decides which collection the clip list shows.
#include <unordered_map>

#include "mainform/current_operation.h"
#include "mainform/main_form.h"

namespace om {

void TfrmQL::BuildTree() {
  // One node per collection in the tree's order (siblings by TreeSortKey).
  // A collection sits below its parent when the parent comes earlier in the
  // master list; otherwise, and without a parent, it is a root, and the
  // roots of data sources are expanded.
  std::unordered_map<const TClipColl*, std::size_t> list_position;
  for (std::size_t i = 0; i < master_list_->Count(); ++i) list_position.emplace(master_list_->Items(i), i);
  std::unordered_map<const TClipColl*, TreeNode> node_of;
  for (TClipColl* coll : CollectionTreeOrder(*master_list_)) {
    TreeNode parent = 0;
    if (coll->Parent != nullptr) {
      const auto parent_at = list_position.find(coll->Parent);
      if (parent_at != list_position.end() && parent_at->second < list_position.at(coll)) {
        if (const auto node = node_of.find(coll->Parent); node != node_of.end()) parent = node->second;
      }
    }
    const TreeNode node = widgets_.tree.Add(parent, coll->Title, coll->IconIndex, coll);
    node_of[coll] = node;
    widgets_.tree.SetStateIndex(node, CalcStateIndex(coll));
    if (coll->Parent == nullptr) widgets_.tree.Expand(node);
  }
}

void TfrmQL::ClearReferences() {
  clipboard_clip_ = nullptr;
  last_captured_clip_ = nullptr;
}

void TfrmQL::ClearTreeAndList() {
  widgets_.tree.Clear();
  widgets_.clips.Clear();
  shown_ = nullptr;
  latest_row_ = previous_row_ = -1;
}

void TfrmQL::tvCollectionsChange(TreeNode node) {
  // Dragging nodes or rows comes with moving clips and collections.
  if (events_suspended_) return;
  EnterOperation("TfrmQL.tvCollectionsChange");
  // 1. Auto-glue and sequential paste, when they come, end here.
  // 2. The previewed row is forgotten with the preview.
  TClipColl* const coll = node != 0 ? widgets_.tree.Data(node) : nullptr;
  // 3.
  if (coll != shown_ && shown_ != nullptr) settings_.LastColl = shown_->Title;
  // 4.
  widgets_.shell.SetClipPanelVisible(coll != nullptr);
  if (coll == nullptr) {
    // 6.
    shown_ = nullptr;
    widgets_.clips.Clear();
    return;
  }
  // 5.
  ShowStatus(2, true, "Loading Collection...");
  shown_ = coll;
  clipboard_clip_ = nullptr;
  // The preview is hidden (pinning it comes with the preview).
  widgets_.shell.SetPreviewVisible(false);
  UpdateLVClips();
  ShowStatus(1, false, "Collection Loaded - " + std::to_string(coll->Count()) + " Clips.");
}

}  // namespace om
