// The collections tree's control as the behaviour sees it, and the events
// it reports.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace om {

class TClipColl;

// A node of the collections tree; 0 is no node. Valid until the node is
// removed or the tree cleared.
using TreeNode = std::uintptr_t;

// The tree's sort order of two nodes' collections (either may be nullptr).
using TreeCompare = int (*)(const TClipColl* a, const TClipColl* b);

enum class DropAction { kCopy, kMove };

// Where a drag over the tree comes from.
enum class DragSource { kTree, kClipList, kOther };

// The commands of the tree's context menu, in the menu's order.
enum class TreeMenuCommand {
  kSortHigher,        // "Move &Up In Sort Order"
  kSortLower,         // "Move &Down In Sort Order"
  kChangeIcon,        // "Change &Icon"
  kProperties,        // "&Properties"
  kDelete,            // "Del&ete Collection"
  kNewCollection,     // "Add &New Collection"
  kAddDataSource,     // "Add New Data Source"
  kDeleteDataSource,  // "Delete Data Source"
  kWhatsThis,         // "What's This?"
  kCancel,            // "&Cancel"
};

struct TreeMenuEntry {
  TreeMenuCommand command;
  std::string caption;
  bool enabled = true;
  // A separator line comes before this entry.
  bool separator_before = false;
};

// One entry of a collection menu (the collections tool button's, "Select
// Collection"): the node's caption indented by its level.
struct CollectionMenuEntry {
  std::string caption;
  int image = -1;
  TClipColl* coll = nullptr;
  bool enabled = true;
  bool checked = false;
  // The entry starts a new column.
  bool column_break = false;
};

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
  // The node's children, in display order.
  virtual std::vector<TreeNode> Children(TreeNode parent) const = 0;
  // The node's image; -1 for none.
  virtual int Image(TreeNode node) const = 0;
  // Orders the children of `parent` (0: the roots) by `compare` of their
  // collections: negative puts the first one before the second.
  virtual void SortChildren(TreeNode parent, TreeCompare compare) = 0;
  // Draws the tree again (colours and images changed).
  virtual void Repaint() = 0;
  // Opens the tree's context menu at the centre of the tree, as a right
  // click there would (the menu then asks PopMenuCollectionsPopup).
  virtual void OpenContextMenuAtCentre() = 0;
  // The menu of a right-button drop of clips, at the mouse: "&Copy Here" and
  // "&Move Here". nullopt when the user chose neither.
  virtual std::optional<DropAction> AskDropAction() = 0;
};

// What the tree's control reports. TCollectionsTree implements it.
class ITreeEvents {
 public:
  virtual ~ITreeEvents() = default;
  // The user selected a node (reported after the tree's short pause).
  virtual void tvCollectionsChange(TreeNode node) = 0;
  // The mouse moved over the tree; `node` is the one under it (0: none).
  virtual void tvCollectionsMouseMove(TreeNode node) {}
  // A key went down while the tree had the focus.
  virtual void tvCollectionsKeyDown(int virtual_key, bool shift, bool ctrl) {}
  // The context menu is about to open (from the tool button: it acts on
  // the selected node); its entries, in order.
  virtual std::vector<TreeMenuEntry> PopMenuCollectionsPopup(bool from_tool_button) { return {}; }
  // The user chose an entry of the context menu.
  virtual void CollectionsMenuClick(TreeMenuCommand command) {}
  // Dragging: a drag of `node` starts; a drag from `source` is over `node`
  // (true: it may drop there); it drops there (`right_button`: with the
  // right mouse button); the drag ends, dropped or not.
  virtual void tvCollectionsStartDrag(TreeNode node) {}
  virtual bool tvCollectionsDragOver(TreeNode node, DragSource source) { return false; }
  virtual void tvCollectionsDragDrop(TreeNode node, DragSource source, bool right_button) {}
  virtual void tvCollectionsEndDrag() {}
  // The collections tool button: a click (`ctrl`: with Ctrl held).
  virtual void cmdCollectionsClick(bool ctrl) {}
  // The collection menu is about to open: one entry per node, a new column
  // every `entries_per_column` entries.
  virtual std::vector<CollectionMenuEntry> PopupMenuSetCurrCollPopup(int entries_per_column) { return {}; }
  // The user chose the entry at `position` of that menu.
  virtual void mnuSetCurrCollClick(int position) {}
};

}  // namespace om
