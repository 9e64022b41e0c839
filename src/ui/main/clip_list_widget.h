// The clip list's control as the behaviour sees it, and the events it
// reports. The control is a virtual list: it keeps no copy of the clips or
// their texts, only how many rows there are, which are selected and which
// has the focus. Whatever it draws it asks of its row source (TClipList) at
// the moment it draws it, so a collection of 100,000 clips costs the
// control nothing but a count.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/main/thumbnails.h"
#include "ui/main/tree_widget.h"

namespace om {

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

// Where the control gets what it draws. Rows are numbered in display order
// (0 is the top row).
class IClipRowSource {
 public:
  virtual ~IClipRowSource() = default;
  // The text of a cell: column 0 is the title, the others as the column
  // table says ("Y"/"N" in the format-flag columns).
  virtual std::string CellText(int row, int column) const = 0;
  // The row's image: its type icon in the details view, its thumbnail's
  // entry in the icon view; -1 for none.
  virtual int RowImage(int row) const = 0;
  // The control has finished drawing the row (its clip's data may go).
  virtual void RowDrawn(int row) = 0;
};

// How the list shows its rows.
enum class ListViewStyle { kDetails, kIcons };

// How a list row changed (the list view's change notification).
enum class ListChange { kState, kText, kImage };

// The commands of the list's context menu, in the menu's order.
enum class ClipMenuCommand {
  kNewClip, kDeleteClips, kCancel, kRename, kMoveToTop, kMoveToBottom, kThumbnailSettings, kExportClips,
  kOpenSourceUrl, kLaunchAsUrl
};

struct ClipMenuEntry {
  ClipMenuCommand command;
  std::string caption;
  bool enabled = true;
};

// Mouse buttons as the list reports them.
enum class MouseButton { kLeft, kRight, kMiddle };

// Keys held with a key or a click.
struct KeyModifiers {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};

// How a drag of a clip's text out to another program ended.
enum class DragOutcome { kDropped, kCancelled, kOutOfMemory, kNoAccess, kOther };
struct DragEnd {
  DragOutcome outcome = DragOutcome::kOther;
  // The system's result code (for kOther, what the user is told).
  std::uint32_t code = 0;
};

class IClipListWidget {
 public:
  virtual ~IClipListWidget() = default;
  // Set once by the behaviour before any row exists; the control asks it
  // for every row it draws.
  virtual void SetRowSource(IClipRowSource* source) = 0;
  // Stops and resumes redrawing around a refill.
  virtual void BeginUpdate() = 0;
  virtual void EndUpdate() = 0;
  // The number of rows. Setting it drops every selection and the focus.
  virtual void SetRowCount(int count) = 0;
  virtual int Count() const = 0;
  // A row was inserted before `row` (the count grows by one): the
  // selection and the focus stay with the rows they were on.
  virtual void RowInserted(int row) = 0;
  // The texts or images of the rows from `first` to `last` changed (-1, -1:
  // every row): they are drawn again.
  virtual void RowsChanged(int first, int last) = 0;
  // Selection and focus, without reporting them.
  virtual void ClearSelection() = 0;
  virtual void SetSelected(int row, bool selected) = 0;
  virtual bool IsSelected(int row) const = 0;
  virtual int SelectedCount() const = 0;
  // The selected rows from the top.
  virtual std::vector<int> SelectedRows() const = 0;
  // -1 when no row has the focus.
  virtual int Focused() const = 0;
  virtual void SetFocused(int row) = 0;
  virtual void MakeVisible(int row) = 0;
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
  // The Up or Down arrow key is held down at this moment (the keyboard
  // state of the message being handled). While it is, moving through the
  // list copies nothing; lvClipsKeyUp copies the row reached.
  virtual bool ArrowKeyHeld() const = 0;
  // How rows and header are drawn: with `show_type_icons` the title cells
  // start with a strip of format icons (their titles at `widest_icon_strip`
  // icons from the left, so that they line up), the format-flag columns
  // show a ball for "Y" and icons in their header; without, plain texts.
  virtual void SetIconDrawing(bool show_type_icons, int widest_icon_strip) = 0;
  virtual void SetViewStyle(ListViewStyle style) = 0;
  virtual ListViewStyle ViewStyle() const = 0;
  // Single or multiple selection.
  virtual void SetMultiSelect(bool multi) = 0;
  // The hand over a link, the arrow elsewhere.
  virtual void SetHandCursor(bool hand) = 0;
  // Shows the context menu and waits for the user's choice: at the mouse,
  // or at the centre of the list (opened from the keyboard). nullopt when
  // the menu was closed without one.
  virtual std::optional<ClipMenuCommand> PopupMenu(const std::vector<ClipMenuEntry>& entries, bool at_centre) = 0;
  // The icon view's thumbnail image list: `count` blank square images of
  // `size` pixels, replacing the ones before.
  virtual void SetThumbnailImages(int size, int count) = 0;
  // Draws `picture` into thumbnail image `image`.
  virtual void DrawThumbnail(int image, const ThumbnailPicture& picture) = 0;
  // In the icon view, the rows whose boxes (the thumbnail's width wide and
  // 1.3 times its height high, at the row's place) meet the visible part of
  // the list, from the top; none in the details view. Costs what the
  // visible rows cost, not what the list holds.
  virtual std::vector<int> VisibleRows() const = 0;
  // Offers `text` to any program by drag and drop, for a copy or a move,
  // while the left button that went down on a row stays down, and returns
  // once the text was dropped or the drag ended otherwise.
  virtual DragEnd DragText(std::string_view text) = 0;
};

// What the clip list's control reports: the user's own actions, one call
// each. TClipList implements it.
class IClipListEvents {
 public:
  virtual ~IClipListEvents() = default;
  // A row changed (selection or focus, by the user).
  virtual void lvClipsChange(int row, ListChange change) = 0;
  // A key of the list went up (arrow keys copy only on release).
  virtual void lvClipsKeyUp(int virtual_key) = 0;
  // The user clicked a column header.
  virtual void lvClipsColumnClick(int column) = 0;
  // A click and a double click in the list.
  virtual void lvClipsClick() = 0;
  virtual void lvClipsDblClick() = 0;
  // The list got the keyboard focus (no-op default).
  virtual void lvClipsEnter() {}
  // A key pressed in the list; true when the list handled it (the control
  // then does nothing more with it).
  virtual bool lvClipsKeyDown(int virtual_key, KeyModifiers keys) = 0;
  // A button went down over `row` (-1: no row) in `column` (-1: none).
  virtual void lvClipsMouseDown(MouseButton button, KeyModifiers keys, int row, int column) = 0;
  // The mouse moved over `row` and `column` (-1 for none).
  virtual void lvClipsMouseMove(int row, int column) = 0;
  // The user asked for the context menu (right click, the menu key, or
  // Shift+F10: `from_keyboard`).
  virtual void PopupMenuClipsPopup(bool from_keyboard) = 0;
  // The control is about to paint (the icon view's thumbnails are made
  // ready first).
  virtual void lvClipsPaint() = 0;
  // Dragging rows (no-op defaults, so that other implementers need not
  // care): a drag of the selected rows begins, the mouse having moved past
  // the drag threshold with the button last reported pressed (false: the
  // drag is cancelled); a drag from `source` is over a row of the list
  // (true: the list takes it there); it was dropped on `row` (-1: on no
  // row); it ended, dropped or not, after any drop.
  virtual bool lvClipsStartDrag() { return true; }
  virtual bool lvClipsDragOver(DragSource /*source*/) { return false; }
  virtual void lvClipsDragDrop(int /*row*/) {}
  virtual void lvClipsEndDrag() {}
};

}  // namespace om
