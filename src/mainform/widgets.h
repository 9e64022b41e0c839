// The main window's widgets as its behaviour sees them. The behaviour
// (TfrmQL) owns the state and decides; these interfaces only show it. The
// Win32 layer implements them over the real controls, the tests over plain
// fakes that record what they were told.
//
// Every call happens on the user-interface thread. None of them raises the
// behaviour's own events: selecting a node or a row from here does not call
// back into tvCollectionsChange or lvClipsChange (the behaviour calls its
// handler itself where it needs to). Only the user's own actions, forwarded
// by the window through IMainFormEvents, do.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace om {

class TClipColl;
class TClipObj;

// A node of the collections tree; 0 is no node. Valid until the node is
// removed or the tree cleared.
using TreeNode = std::uintptr_t;

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

// One row of the clip list: the caption (column 0) and the texts of the
// columns from 1 on, in column order.
struct ListRow {
  std::string caption;
  std::vector<std::string> sub_items;
  int image = -1;
  TClipObj* data = nullptr;
};

// The sort arrow in a list's header: its column and direction.
struct SortArrow {
  int column = 0;
  bool ascending = true;
  bool operator==(const SortArrow&) const = default;
};

// True when `order` names each of the columns 0 .. count-1 exactly once.
inline bool IsColumnOrder(const std::vector<int>& order, int count) {
  if (static_cast<int>(order.size()) != count) return false;
  std::vector<bool> seen(order.size(), false);
  for (int column : order) {
    if (column < 0 || column >= count || seen[static_cast<std::size_t>(column)]) return false;
    seen[static_cast<std::size_t>(column)] = true;
  }
  return true;
}

class IClipListWidget {
 public:
  virtual ~IClipListWidget() = default;
  // Stops and resumes redrawing around a refill.
  virtual void BeginUpdate() = 0;
  virtual void EndUpdate() = 0;
  virtual void Clear() = 0;
  // Inserts the row at `index` (0 .. Count()); returns its index.
  virtual int Insert(int index, const ListRow& row) = 0;
  virtual int Count() const = 0;
  virtual TClipObj* Data(int index) const = 0;
  virtual std::string Text(int index, int column) const = 0;
  // Reorders the rows: `less(a, b)` compares two rows by their data. Stable.
  virtual void Sort(const std::function<bool(int row_a, int row_b)>& less) = 0;
  // Selection and focus, without reporting them.
  virtual void ClearSelection() = 0;
  virtual void SetSelected(int index, bool selected) = 0;
  virtual bool IsSelected(int index) const = 0;
  virtual int SelectedCount() const = 0;
  // -1 when no row has the focus.
  virtual int Focused() const = 0;
  virtual void SetFocused(int index) = 0;
  virtual void MakeVisible(int index) = 0;
  // The columns by their index (the order they were made in), whatever
  // the order the user dragged them into. A width in pixels; 0 for a column
  // that does not exist.
  virtual int ColumnWidth(int column) const = 0;
  virtual void SetColumnWidth(int column, int width) = 0;
  // The columns' indices as shown from the left.
  virtual std::vector<int> ColumnOrder() const = 0;
  // Ignored unless `order` names every column exactly once (IsColumnOrder).
  virtual void SetColumnOrder(const std::vector<int>& order) = 0;
  // The sort arrow shown in the header: column and direction.
  virtual void ShowSortArrow(int column, bool ascending) = 0;
  // nullopt while no column shows one.
  virtual std::optional<SortArrow> ShownSortArrow() const = 0;
  // Added for the selection handler: the Up or Down arrow key is held down
  // at this moment (the keyboard state, GetKeyState). While it is, moving
  // through the list copies nothing; lvClipsKeyUp copies the row reached.
  virtual bool ArrowKeyHeld() const = 0;
  // How rows and header are drawn: with `show_type_icons` the title cells
  // start with a strip of format icons (their titles at `widest_icon_strip`
  // icons from the left, so that they line up), the format-flag columns
  // show a ball for "Y" and icons in their header; without, plain texts.
  virtual void SetIconDrawing(bool show_type_icons, int widest_icon_strip) = 0;
};

// The main window's menu items and buttons whose state the behaviour sets.
enum class MenuItem {
  kAutoCapture,        // Config, "&Auto Capture" (F12)
  kTrayAutoCapture,    // tray, "Aut&o Capture"
  kFileSave,           // File, "&Save All Clips To Disk" (Ctrl+S)
  kFileReload,         // File, "Reload All Clips From Disk"
  kImportCollections,  // File, "Import Collections (v4.x or v5.x)"
  kCheckForUpdates,    // the update-check entry
  kExit,               // File, "E&xit"
  kTrayExit,           // tray, "E&xit Program (Shut Down)"
  kLocateLastClip,     // View, "&Locate Last Captured Clip"
  kMagPaste,           // the preview's Paste button and the text pane's "Paste"
};

class IMenus {
 public:
  virtual ~IMenus() = default;
  virtual void SetChecked(MenuItem item, bool checked) = 0;
  virtual void SetEnabled(MenuItem item, bool enabled) = 0;
  virtual void SetVisible(MenuItem item, bool visible) = 0;
};

class IStatusBar {
 public:
  virtual ~IStatusBar() = default;
  // The three panels, 0 .. 2. Panel 0 carries the status messages.
  virtual void SetPanelText(int panel, std::string_view text) = 0;
};

enum class TrayImage { kNormal, kDisabled };

class ITrayIcon {
 public:
  virtual ~ITrayIcon() = default;
  // Shows or removes the icon in the notification area.
  virtual void SetActive(bool active) = 0;
  virtual void SetImage(TrayImage image) = 0;
};

// The window itself.
class IFormShell {
 public:
  virtual ~IFormShell() = default;
  // The window's handle for owning message boxes (0 before it exists).
  virtual std::uintptr_t Handle() const = 0;
  // The hourglass while the behaviour works; off again when false.
  virtual void SetBusy(bool busy) = 0;
  // The text of the title header above the list (the drop-down header of
  // the traditional view); section 0 carries status messages.
  virtual void SetHeaderText(std::string_view text) = 0;
  // Shows or hides the preview pane.
  virtual void SetPreviewVisible(bool visible) = 0;
  // Shows or hides the right-hand panel (the list and the preview).
  virtual void SetClipPanelVisible(bool visible) = 0;
  // Takes the window out of the always-on-top position, and puts it back
  // as the visibility mode says.
  virtual void LeaveTopmost() = 0;
  virtual void RestoreVisibility() = 0;
  virtual void Minimize() = 0;
  // Asks the window to close (it then asks the behaviour's FormCloseQuery).
  virtual void Close() = 0;
};

// Everything above, handed to the behaviour at creation. The references
// must outlive it.
struct MainFormWidgets {
  ITreeWidget& tree;
  IClipListWidget& clips;
  IMenus& menus;
  IStatusBar& status;
  ITrayIcon& tray;
  IFormShell& shell;
};

}  // namespace om
