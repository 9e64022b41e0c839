// The notifications of the main window's two clip lists: the main list
// (lvClips) and Pickdrop's alternate list (lvPD), the same kind of control
// with the same handlers.
#include "ui/main/win32/main_window.h"

#include <commctrl.h>

namespace om::win32 {

IClipListEvents* MainWindow::ListEventsOf(bool alternate) {
  if (events_ == nullptr) return nullptr;
  return alternate ? events_->AlternateListEvents() : events_->ClipListEvents();
}

// The notifications of either list: the same kind of control, the same
// handlers; only the main list's rows are dragged.
LRESULT MainWindow::ListNotify(ClipListWidget& list, bool alternate, const NMHDR& header) {
  NMHDR& mutable_header = const_cast<NMHDR&>(header);
  switch (header.code) {
    case NM_CUSTOMDRAW:
      return list.CustomDraw(reinterpret_cast<NMLVCUSTOMDRAW&>(mutable_header));
    // The virtual list asks for what it draws.
    case LVN_GETDISPINFOA:
      list.GetDispInfo(reinterpret_cast<NMLVDISPINFOA&>(mutable_header));
      return 0;
    case LVN_GETDISPINFOW:
      list.GetDispInfo(reinterpret_cast<NMLVDISPINFOW&>(mutable_header));
      return 0;
    case LVN_BEGINDRAG:
    case LVN_BEGINRDRAG:
      // The selected rows leave their place, to be dropped on the text
      // pane or on another row.
      if (!alternate && !list.quiet()) RowDragStart(header.code == LVN_BEGINRDRAG);
      return 0;
    default:
      break;
  }
  IClipListEvents* const list_events = ListEventsOf(alternate);
  if (list_events == nullptr || list.quiet()) return 0;
  switch (header.code) {
    case LVN_ITEMCHANGED: {
      const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
      // A change of every row at once (iItem -1: the user cleared the
      // selection) is reported for the focused row, or the first.
      int row = change.iItem;
      if (row < 0) row = list.Focused() >= 0 ? list.Focused() : 0;
      if (row >= list.Count()) return 0;
      if (change.uChanged & LVIF_STATE) {
        list_events->lvClipsChange(row, ListChange::kState);
      } else if (change.uChanged & LVIF_TEXT) {
        list_events->lvClipsChange(row, ListChange::kText);
      } else if (change.uChanged & LVIF_IMAGE) {
        list_events->lvClipsChange(row, ListChange::kImage);
      }
      return 0;
    }
    case LVN_ODSTATECHANGED: {
      // A range selected at once (Shift+click): one report, for its end.
      const auto& change = reinterpret_cast<const NMLVODSTATECHANGE&>(header);
      if (change.iTo >= 0 && change.iTo < list.Count()) list_events->lvClipsChange(change.iTo, ListChange::kState);
      return 0;
    }
    case LVN_COLUMNCLICK:
      list_events->lvClipsColumnClick(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
      return 0;
    case NM_CLICK:
      list_events->lvClipsClick();
      return 0;
    case NM_DBLCLK:
      list_events->lvClipsDblClick();
      return 0;
    case NM_SETFOCUS:
      list_events->lvClipsEnter();
      return 0;
    default:
      return 0;
  }
}

}  // namespace om::win32
