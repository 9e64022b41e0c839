// TClipReorder: moving clips within their collection, by dragging rows of
// the clip list in front of another row, or with "Move To Top Of Sort
// Order" / "Move To Bottom Of Sort Order" of the list's menu. A clip's
// place in its collection is its sort key ("MySort"): the moved clips get
// new keys between their new neighbours (list_reorder.h), the collection
// is marked modified and so keeps the order.
//
// Owned by TClipList, which reports the drag events and menu commands to
// it; it keeps the drag state (the drag flag and the button that started
// the drag), which the list's selection handler and the collections tree
// (a drop of rows on a node) ask for.
#pragma once

#include <vector>

#include "ui/main/clip_list_widget.h"

namespace om {

class IClipListHost;
class TClipColl;
class TClipList;
class TClipObj;

class TClipReorder {
 public:
  TClipReorder(TClipList& list, IClipListWidget& widget, IClipListHost& host);
  TClipReorder(const TClipReorder&) = delete;
  TClipReorder& operator=(const TClipReorder&) = delete;

  // A drag of the selected rows begins with `button`: false in
  // pick-and-paste (the drag is cancelled). Otherwise the drag flag is set
  // and, with exactly one row selected, its clip is remembered as the
  // dragged one and the preview's pending edits are written back.
  bool lvClipsStartDrag(MouseButton button);
  // Only the list's own rows, while the drag flag is set.
  bool lvClipsDragOver(DragSource source) const;
  // The selected rows go in front of `row` (-1: no row), in their previous
  // relative order, with new sort keys; the last of them is selected.
  void lvClipsDragDrop(int row);
  // The drag flag is cleared; the preview shows again when one row is
  // selected or it is pinned.
  void lvClipsEndDrag();
  // "Move To Top / Bottom Of Sort Order": only for a list sorted on
  // "MySort"; the selected clips become the first (last) rows.
  void mnuPopupClips_MoveTo_X_Click(bool top);

  // A drag that started in the clip list is under way.
  bool Dragging() const { return dragging_; }
  // The button that started it (the last drag's, once it is over).
  MouseButton DragButton() const { return drag_button_; }
  // The clip of the only row selected when the drag began; nullptr when
  // several were.
  TClipObj* DraggedClip() const { return dragged_; }

 private:
  std::vector<TClipObj*> SelectedClips() const;
  // n, " Clip", "s" when n > 1, " Moved Within Collection.".
  void ShowMovedStatus(int count);

  TClipList& list_;
  IClipListWidget& widget_;
  IClipListHost& host_;
  bool dragging_ = false;
  MouseButton drag_button_ = MouseButton::kLeft;
  TClipObj* dragged_ = nullptr;
};

}  // namespace om
