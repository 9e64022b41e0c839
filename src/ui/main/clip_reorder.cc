#include "ui/main/clip_reorder.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "store/clip_coll.h"
#include "store/clip_obj.h"
#include "ui/main/clip_list.h"
#include "ui/main/current_operation.h"
#include "ui/main/list_reorder.h"

namespace om {

TClipReorder::TClipReorder(TClipList& list, IClipListWidget& widget, IClipListHost& host)
    : list_(list), widget_(widget), host_(host) {}

std::vector<TClipObj*> TClipReorder::SelectedClips() const {
  std::vector<TClipObj*> clips;
  for (const int row : widget_.SelectedRows()) {
    if (TClipObj* const clip = list_.ClipAt(row)) clips.push_back(clip);
  }
  return clips;
}

namespace {

// A read-only collection is never saved, so a new order would be lost
// without a word; the Search Results only show clips of other collections,
// whose keys place them there, not here. Both keep the order they have.
bool KeepsAnOrder(const TClipColl& coll) { return !coll.ReadOnly && coll.Role != collrole::kSearchResults; }

}  // namespace

void TClipReorder::ShowMovedStatus(int count) {
  host_.ShowStatus(1, false,
                   std::to_string(count) + " Clip" + (count > 1 ? "s" : "") + " Moved Within Collection.");
}

bool TClipReorder::lvClipsStartDrag(MouseButton button) {
  // Pick-and-paste takes its clip by a click, never by a drag.
  if (host_.PickdropMode()) return false;
  dragging_ = true;
  drag_button_ = button;
  dragged_ = nullptr;
  if (widget_.SelectedCount() == 1) {
    dragged_ = list_.ClipAt(widget_.SelectedRows().front());
    // What was typed into the preview is the clip's before its row moves.
    host_.RescueEditing();
  }
  return true;
}

bool TClipReorder::lvClipsDragOver(DragSource source) const { return dragging_ && source == DragSource::kClipList; }

void TClipReorder::lvClipsDragDrop(int row) {
  EnterOperation("TfrmQL.lvClipsDragDrop");
  dragging_ = false;
  host_.ShowStatus(1, true, "Dropped...");
  TClipObj* const target = list_.ClipAt(row);
  TClipColl* const coll = host_.ShownCollection();
  const std::vector<TClipObj*> moved = SelectedClips();
  // No row of a collection that keeps no order of its own is a target.
  if (target == nullptr || widget_.IsSelected(row) || coll == nullptr || !KeepsAnOrder(*coll) || moved.empty()) {
    host_.ShowStatus(1, false, "Invalid Drop Target");
    return;
  }
  const int count = static_cast<int>(moved.size());
  const bool ascending = coll->ListSortAscending;
  // The clips go in front of the target in the "MySort" order: their new
  // neighbours are the target and the clip that comes before it in that
  // order, read in the list's direction. Sorted on "MySort", that clip is
  // the row above. Sorted on another column, the rows still move in front
  // of the target, where the user dropped them, until the list is sorted
  // again; their keys place them in front of the target's clip in the
  // collection's own order too, instead of between two rows that are
  // neighbours only by title or date (whose keys could be anywhere).
  const TClipObj* above = nullptr;
  if (coll->ListSortColumn == listcolumn::kMySort) {
    above = list_.ClipAt(row - 1);
  } else {
    std::vector<TClipObj*> order;
    for (int i = 0; i < list_.Count(); ++i) order.push_back(list_.ClipAt(i));
    std::stable_sort(order.begin(), order.end(), [ascending](const TClipObj* a, const TClipObj* b) {
      return ascending ? a->SortKey < b->SortKey : b->SortKey < a->SortKey;
    });
    const auto found = std::find(order.begin(), order.end(), target);
    if (found != order.begin()) above = *(found - 1);
  }
  const std::int32_t above_key = above != nullptr ? above->SortKey : 0;
  // The first row of a descending list has the collection's next key above
  // it (only then is one taken).
  const std::int32_t next_key = above == nullptr && !ascending ? coll->GetNextClipSortKey() : 0;
  const std::vector<std::int32_t> keys = SpacedSortKeys(
      DropBounds(above != nullptr ? &above_key : nullptr, target->SortKey, count, ascending, next_key), count,
      ascending);
  for (int i = 0; i < count; ++i) moved[static_cast<std::size_t>(i)]->SortKey = keys[static_cast<std::size_t>(i)];
  const int last = list_.MoveRowsBefore(moved, target);
  // The last one moved is the selection now (and, like any single
  // selection, goes on the clipboard).
  widget_.ClearSelection();
  widget_.SetSelected(last, true);
  widget_.SetFocused(last);
  widget_.MakeVisible(last);
  list_.lvClipsChange(last, ListChange::kState);
  coll->SetModified(true);
  ShowMovedStatus(count);
}

void TClipReorder::lvClipsEndDrag() {
  dragging_ = false;
  host_.SetPreviewVisible(widget_.SelectedCount() == 1 || host_.PreviewPinned());
}

void TClipReorder::mnuPopupClips_MoveTo_X_Click(bool top) {
  EnterOperation("TfrmQL.mnuPopupClips_MoveTo_X_Click");
  TClipColl* const coll = host_.ShownCollection();
  if (coll == nullptr) return;
  if (coll->ListSortColumn != listcolumn::kMySort) {
    host_.ShowMessageBox("Sorry, It is only useful to do this when you have sorted on the MySort column.",
                         "Invalid Operation", MsgButtons::kOk, MsgIcon::kError);
    return;
  }
  if (!KeepsAnOrder(*coll)) {
    host_.ShowMessageBox("Sorry, The current collection is Read Only.", "Program Error", MsgButtons::kOk,
                         MsgIcon::kError);
    return;
  }
  const std::vector<TClipObj*> moved = SelectedClips();
  // Without a selected clip there is nothing to move (the menu offers the
  // entries only with one).
  if (moved.empty()) return;
  host_.ShowStatus(1, true, "Moving...");
  const int count = static_cast<int>(moved.size());
  const bool ascending = coll->ListSortAscending;
  const std::int32_t first_key = list_.ClipAt(0)->SortKey;
  const std::int32_t last_key = list_.ClipAt(list_.Count() - 1)->SortKey;
  // The high end is needed (and the collection's next key taken) for the
  // bottom of an ascending list and the top of a descending one.
  const bool high_end = top != ascending;
  const std::int32_t next_key = high_end ? coll->GetNextClipSortKey() : 0;
  const std::vector<std::int32_t> keys =
      SpacedSortKeys(MoveToEndBounds(top, ascending, first_key, last_key, count, next_key), count, ascending);
  for (int i = 0; i < count; ++i) moved[static_cast<std::size_t>(i)]->SortKey = keys[static_cast<std::size_t>(i)];
  list_.SortRows(listcolumn::kMySort, ascending);
  if (const std::vector<int> selected = widget_.SelectedRows(); !selected.empty()) {
    widget_.MakeVisible(selected.front());
  }
  coll->SetModified(true);
  ShowMovedStatus(count);
}

}  // namespace om
