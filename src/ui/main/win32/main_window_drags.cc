// The main window's drags: collections dragged within the tree, and clip
// rows dragged from the list onto the text pane, another row or a
// collection of the tree. The window holds the mouse while they last.
#include "ui/main/win32/main_window.h"

#include <commctrl.h>

namespace om::win32 {

void MainWindow::DragMove(POINT at) {
  ITreeEvents* const tree_events = events_ != nullptr ? events_->TreeEvents() : nullptr;
  if (tree_events == nullptr) return;
  POINT client = at;
  ::ScreenToClient(tree_->hwnd(), &client);
  const TreeNode node = tree_->NodeAt(client);
  const bool accepted = node != 0 && tree_events->tvCollectionsDragOver(node, DragSource::kTree);
  TreeView_SelectDropTarget(tree_->hwnd(), accepted ? reinterpret_cast<HTREEITEM>(node) : nullptr);
  ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(accepted ? IDC_ARROW : IDC_NO)));
}

void MainWindow::DragEnd(bool drop, POINT at) {
  dragging_nodes_ = false;
  if (::GetCapture() == hwnd_) ::ReleaseCapture();
  TreeView_SelectDropTarget(tree_->hwnd(), nullptr);
  ITreeEvents* const tree_events = events_ != nullptr ? events_->TreeEvents() : nullptr;
  if (tree_events == nullptr) return;
  if (drop) {
    POINT client = at;
    ::ScreenToClient(tree_->hwnd(), &client);
    const TreeNode node = tree_->NodeAt(client);
    if (node != 0) tree_events->tvCollectionsDragDrop(node, DragSource::kTree, false);
  }
  tree_events->tvCollectionsEndDrag();
}

DropTarget MainWindow::RowDropTargetAt(POINT screen) const {
  if (pane_ && preview_visible_ && pane_->TextPaneContains(screen)) return DropTarget::kTextPane;
  for (const auto& [target, control] : {std::pair{DropTarget::kTree, tree_ ? tree_->hwnd() : nullptr},
                                        std::pair{DropTarget::kList, clips_ ? clips_->hwnd() : nullptr}}) {
    if (control == nullptr || !::IsWindowVisible(control)) continue;
    RECT bounds{};
    ::GetWindowRect(control, &bounds);
    if (::PtInRect(&bounds, screen)) return target;
  }
  return DropTarget::kNone;
}

int MainWindow::ListRowAt(POINT screen) const {
  POINT client = screen;
  ::ScreenToClient(clips_->hwnd(), &client);
  int row = -1, column = -1;
  clips_->HitTest(client, row, column);
  return row;
}

void MainWindow::RowDragStart(bool right_button) {
  if (hwnd_ == nullptr || dragging_rows_) return;
  // The list may refuse (pick-and-paste takes no drags).
  IClipListEvents* const list_events = events_ != nullptr ? events_->ClipListEvents() : nullptr;
  if (list_events != nullptr && !list_events->lvClipsStartDrag()) return;
  dragging_rows_ = true;
  row_drag_right_button_ = right_button;
  ::SetCapture(hwnd_);
}

TreeNode MainWindow::RowDragTreeNode(POINT screen) const {
  if (events_ == nullptr || events_->TreeEvents() == nullptr) return 0;
  POINT client = screen;
  ::ScreenToClient(tree_->hwnd(), &client);
  return tree_->NodeAt(client);
}

void MainWindow::RowDragMove(POINT at) {
  bool accepted = false;
  int mark = -1;
  TreeNode tree_node = 0;
  switch (RowDropTargetAt(at)) {
    case DropTarget::kTextPane:
      if (IPreviewEvents* const preview = PaneEvents()) accepted = preview->txtMagnifyTextDragOver();
      break;
    case DropTarget::kList:
      // The rows would go in front of the row under the mouse: a line
      // above that row shows where.
      if (IClipListEvents* const list_events = events_ != nullptr ? events_->ClipListEvents() : nullptr) {
        const int row = ListRowAt(at);
        accepted = row >= 0 && list_events->lvClipsDragOver(DragSource::kClipList);
        if (accepted) mark = row;
      }
      break;
    case DropTarget::kTree:
      // Clips are filed in the collection of the node under the mouse,
      // which shows as the drop target while the tree accepts them.
      if (const TreeNode node = RowDragTreeNode(at); node != 0) {
        accepted = events_->TreeEvents()->tvCollectionsDragOver(node, DragSource::kClipList);
        tree_node = accepted ? node : 0;
      }
      break;
    case DropTarget::kNone:
      break;
  }
  TreeView_SelectDropTarget(tree_->hwnd(), reinterpret_cast<HTREEITEM>(tree_node));
  clips_->SetDropMark(mark);
  ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(accepted ? IDC_ARROW : IDC_NO)));
}

void MainWindow::RowDragEnd(bool drop, POINT at) {
  if (!dragging_rows_) return;
  // Ended before anything else, so that the capture's release (and what
  // a handler below does) finds no drag.
  dragging_rows_ = false;
  if (::GetCapture() == hwnd_) ::ReleaseCapture();
  clips_->SetDropMark(-1);
  TreeView_SelectDropTarget(tree_->hwnd(), nullptr);
  ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
  const DropTarget target = drop ? RowDropTargetAt(at) : DropTarget::kNone;
  if (target == DropTarget::kTextPane) {
    IPreviewEvents* const preview = PaneEvents();
    if (preview != nullptr && preview->txtMagnifyTextDragOver()) preview->txtMagnifyTextDragDrop(pane_->CaretAt(at));
  }
  // Dropped on a collection: the tree files the clips there (with the right
  // button it asks whether to copy or move them first).
  if (target == DropTarget::kTree) {
    if (const TreeNode node = RowDragTreeNode(at); node != 0) {
      events_->TreeEvents()->tvCollectionsDragDrop(node, DragSource::kClipList, row_drag_right_button_);
    }
  }
  // The list hears of the end of every drag it let begin, after any drop.
  IClipListEvents* const list_events = events_ != nullptr ? events_->ClipListEvents() : nullptr;
  if (list_events == nullptr) return;
  if (target == DropTarget::kList && list_events->lvClipsDragOver(DragSource::kClipList)) {
    list_events->lvClipsDragDrop(ListRowAt(at));
  }
  list_events->lvClipsEndDrag();
}

}  // namespace om::win32
