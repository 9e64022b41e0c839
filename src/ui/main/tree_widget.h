// The collections tree's control as the behaviour sees it, and the events
// it reports.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace om {

class TClipColl;

// A node of the collections tree; 0 is no node. Valid until the node is
// removed or the tree cleared.
using TreeNode = std::uintptr_t;

// Every call happens on the user-interface thread. None of them raises the
// behaviour's own events: selecting a node from here does not call back
// into tvCollectionsChange (the behaviour calls its handler itself where it
// needs to). Only the user's own actions do.
class ITreeWidget {
 public:
  virtual ~ITreeWidget() = default;
  // Removes every node.
  virtual void Clear() = 0;
  // Appends a node as the last child of `parent` (0: a root node). `image`
  // is used as image and selected image; -1 for none.
  virtual TreeNode Add(TreeNode parent, std::string_view caption, int image, TClipColl* data) = 0;
  virtual void Remove(TreeNode node) = 0;
  // Every node from the top in display order, children included (collapsed
  // ones too).
  virtual std::vector<TreeNode> Nodes() const = 0;
  virtual TreeNode Parent(TreeNode node) const = 0;
  virtual TClipColl* Data(TreeNode node) const = 0;
  virtual std::string Caption(TreeNode node) const = 0;
  virtual void SetCaption(TreeNode node, std::string_view caption) = 0;
  virtual void SetImage(TreeNode node, int image) = 0;
  // The small overlay image; -1 for none.
  virtual void SetStateIndex(TreeNode node, int state_index) = 0;
  virtual int StateIndex(TreeNode node) const = 0;
  virtual void Expand(TreeNode node) = 0;
  virtual bool Expanded(TreeNode node) const = 0;
  // Selects the node (0: none), without reporting it.
  virtual void Select(TreeNode node) = 0;
  virtual TreeNode Selected() const = 0;
  // Expands its ancestors and scrolls it into view.
  virtual void MakeVisible(TreeNode node) = 0;
  // One horizontal page-left step (keeps the tree's left edge in view).
  virtual void ScrollLeft() = 0;
};

// What the tree's control reports. TCollectionsTree implements it.
class ITreeEvents {
 public:
  virtual ~ITreeEvents() = default;
  // The user selected a node (reported after the tree's short pause).
  virtual void tvCollectionsChange(TreeNode node) = 0;
};

}  // namespace om
