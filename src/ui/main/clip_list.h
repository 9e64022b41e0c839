// TClipList: the clip list lvClips, one row per clip of the shown
// collection. Selecting a single row puts its clip on the clipboard (the
// way the user puts a clip back); the list sorts by any column (the choice
// is the collection's) and keeps its column layout in the registry.
//
// The list owns its rows: the clips of the shown collection in display
// order. The control (IClipListWidget) is virtual and asks for each cell
// as it draws it, so the control holds no copy of any text, and sorting
// reorders a vector of pointers here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_settings.h"
#include "platform/clock.h"
#include "platform/key_value_store.h"
#include "platform/locale.h"
#include "platform/prompts.h"
#include "ui/main/clip_list_widget.h"
#include "ui/main/clip_reorder.h"
#include "ui/main/widgets.h"
#include "ui/main/thumbnails.h"

namespace om {

class TClipColl;
class TClipObj;

// Where a clip-list row gets its texts from, column by column.
namespace listcolumn {
constexpr int kTitle = 0;
constexpr int kMySort = 1;
constexpr int kDateTime = 2;
constexpr int kSource = 3;
constexpr int kSerial = 4;
constexpr int kFirstFlag = 5;  // "Has Text" .. "Has Files": 5 to 10
constexpr int kLastFlag = 10;
constexpr int kSourceUrl = 11;
constexpr int kCount = 12;
}  // namespace listcolumn

// What the list needs of the rest of the main window.
class IClipListHost {
 public:
  virtual ~IClipListHost() = default;
  // The collection the list shows; nullptr for none.
  virtual TClipColl* ShownCollection() const = 0;
  // The clip on the system clipboard as far as the program knows.
  virtual TClipObj* ClipboardClip() const = 0;
  virtual void SetClipboardClip(TClipObj* clip) = 0;
  virtual bool EventsSuspended() const = 0;
  virtual bool PickdropMode() const = 0;
  // Sequential paste runs; the user's selection of a row continues it
  // from there.
  virtual bool StepfeedRunning() const = 0;
  virtual void StepfeedContinueFrom(int row) = 0;
  // Pickdrop: Enter or a double click pastes the selected clip; Escape
  // ends the mode.
  virtual void PickdropPaste() = 0;
  virtual void PickdropEscape() = 0;
  // Pickdrop's guard times: a moment after the hot key the list's getting
  // the focus counts, a moment after the end its clicks do.
  virtual bool PickdropFocusCounts() = 0;
  virtual bool PickdropClicksIgnored() = 0;
  // The list got the keyboard focus.
  virtual void ClipListEntered() = 0;
  // Puts the clip on the clipboard (TfrmQL::CopyItem).
  virtual std::int32_t CopyItem(TClipObj* clip) = 0;
  virtual void ShowStatus(int level, bool busy, std::string_view text) = 0;
  // The header above the list (the drop-down header of the traditional
  // view).
  virtual void SetHeaderText(std::string_view text) = 0;
  // Arms Timer1 for the "No Items Selected." message; when it fires the
  // host calls NoSelectionTimer.
  virtual void ArmNoSelectionTimer() = 0;
  // Message and input boxes, shown with the window out of the always-on-top
  // position (SetNotOnTop ... SetStayOnTop around each).
  virtual MsgResult ShowMessageBox(std::string_view text, std::string_view caption, MsgButtons buttons,
                                   MsgIcon icon) = 0;
  virtual std::optional<std::string> AskText(std::string_view caption, std::string_view prompt,
                                             std::string_view text) = 0;
  // The shell's default action on a URL.
  virtual void OpenWithShell(std::string_view target) = 0;
  // The preview pane (TPreviewPane): pinned to a clip; the clip it shows
  // from now on (pending edits written back first); forgetting it; showing
  // the current clip.
  virtual bool PreviewPinned() const = 0;
  virtual void PreviewClip(TClipObj* clip) = 0;
  virtual void ForgetPreviewedClip() = 0;
  virtual void UpdateMagView() = 0;
  // "Launch as URL" of the list's menu (the text transforms' command).
  virtual void LaunchAsUrl() = 0;
  // Ends automatic glue when it is on (TfrmQL::EndAutoGlue).
  virtual void EndAutoGlue() = 0;
  // Writes what was typed into the preview back into its clip; shows or
  // hides the preview's pages.
  virtual void RescueEditing() = 0;
  virtual void SetPreviewVisible(bool visible) = 0;
  // The list's "&Delete Clip(s)" and the Delete key; its "&New Clip".
  virtual void DeleteSelectedClips() = 0;
  virtual void NewClip() = 0;
};

// The status text for the end of a drag of a clip's text.
std::string DragTextStatus(const DragEnd& end);

class TClipList final : public IClipRowSource, public IClipListEvents {
 public:
  // The registry section (below the settings key) of the list's column
  // layout: "lvClips" for the main list.
  TClipList(IClipListHost& host, IClipListWidget& widget, IMenus& menus, TAppSettings& settings, ILocale& locale,
            IKeyValueStore& store, IClock& clock, std::string layout_section);
  ~TClipList() override;
  TClipList(const TClipList&) = delete;
  TClipList& operator=(const TClipList&) = delete;

  // --- Rows ---------------------------------------------------------------
  // Refills the list from the shown collection, sorted as the collection
  // says, and selects the first row (which puts its clip on the clipboard
  // unless it is there already).
  void UpdateLVClips();
  // Adds one row: position 1 at the top, anything else at the end. With
  // `select` (and no sequential paste running) it becomes the only selected
  // and focused row, scrolled into view.
  void AddToLists(TClipObj* clip, bool select, int position);
  // Forgets every row (the collections are about to go).
  void Clear();
  // The clips' rows go (the clips left the shown collection); the rows
  // after them move up, and no row is selected.
  void RemoveRows(const std::vector<TClipObj*>& clips);
  int Count() const { return static_cast<int>(rows_.size()); }
  // The clip of a row; nullptr for a row that does not exist.
  TClipObj* ClipAt(int row) const;
  // The row of a clip; -1 when the list does not show it.
  int RowOf(const TClipObj* clip) const;
  // Sorts the rows by a column's texts (see list_sort.h); the selected and
  // focused clips stay selected and focused.
  void SortRows(int column, bool ascending);
  // Moves the rows of `clips` (in this order) in front of the row of
  // `target`, which is not one of them; the selection and the focus are
  // left to the caller. The row of the last clip moved.
  int MoveRowsBefore(const std::vector<TClipObj*>& clips, const TClipObj* target);
  // Reordering clips within the collection: the drag of rows (its state:
  // whether a drag of rows is under way, and its button) and the menu's
  // "Move To Top / Bottom Of Sort Order".
  TClipReorder& Reorder() { return reorder_; }
  const TClipReorder& Reorder() const { return reorder_; }

  // --- IClipRowSource ---------------------------------------------------
  std::string CellText(int row, int column) const override;
  int RowImage(int row) const override;
  void RowDrawn(int row) override;

  // --- IClipListEvents --------------------------------------------------
  void lvClipsChange(int row, ListChange change) override;
  void lvClipsKeyUp(int virtual_key) override;
  void lvClipsColumnClick(int column) override;
  void lvClipsClick() override;
  void lvClipsDblClick() override;
  void lvClipsEnter() override;
  bool lvClipsKeyDown(int virtual_key, KeyModifiers keys) override;
  void lvClipsMouseDown(MouseButton button, KeyModifiers keys, int row, int column) override;
  void lvClipsMouseMove(int row, int column) override;
  void PopupMenuClipsPopup(bool from_keyboard) override;
  bool lvClipsStartDrag() override { return reorder_.lvClipsStartDrag(mouse_button_); }
  bool lvClipsDragOver(DragSource source) override { return reorder_.lvClipsDragOver(source); }
  void lvClipsDragDrop(int row) override { reorder_.lvClipsDragDrop(row); }
  void lvClipsEndDrag() override { reorder_.lvClipsEndDrag(); }

  // --- Commands -----------------------------------------------------------
  // Enables the clip commands for the selection: one row for the title and
  // shift commands, one or more for the others.
  void UpdateMenusForSelection();
  // One row up (or down), clamped to the first and last row; the row is
  // selected alone, and so goes on the clipboard.
  void cmdScrollClick(bool up);
  void SelectNextItemUp1Click() { cmdScrollClick(true); }
  void SelectNextItemDown1Click() { cmdScrollClick(false); }
  void SelectAllItems1Click();
  // Renames the selected clip (Ctrl+T, Edit menu, context menu).
  void mnuTitleClick();
  // Opens the clipboard clip's source URL with the shell.
  void mnu_OpenSourceURL1Click();
  // Alt and the left button on a row: the clip's text is dragged out to
  // another program (copy or move) and the status says how the drag ended.
  void DragText(TClipObj& clip);

  // Before the control paints, in the icon view (not while events are
  // suspended): every visible row gets a thumbnail, the cache growing by
  // half (and the list refilled) until there are enough entries.
  void lvClipsPaint() override;

  // --- Views and thumbnails ----------------------------------------------
  // "Large Icons": thumbnails; "View Details": the columns.
  void cmdLVLargeIconsClick();
  void cmdLVReportClick();
  // A fresh registry of ThumbNailCacheSize entries and as many blank images
  // of ThumbNailSize + 2 pixels; every thumbnail is drawn again. Also what
  // a change of the thumbnail settings calls.
  void InitializeThumbnailRegistry();
  // Every entry vacant again: each row's thumbnail is drawn anew.
  void ClearThumbnailRegistry();
  const TThumbnailCache& Thumbnails() const { return thumbnails_; }

  // Timer1 came with the "No Items Selected." tag.
  void NoSelectionTimer();

  // While set, a selection change does not put the clip on the clipboard
  // (capture adds its row selected, and that clip is already there).
  void SetSuppressChange(bool suppress) { suppress_change_ = suppress; }

  // --- Column layout in the registry -------------------------------------
  void RestoreLayout();
  void SaveLayout();

  // The most format icons any row added since the last refill shows: the
  // list's titles start behind that many.
  int WidestIconStrip() const { return widest_icon_strip_; }
  // When the user last touched the list (autosave waits for quiet).
  double LastActivity() const { return last_activity_; }
  int LatestRow() const { return latest_row_; }
  int PreviousRow() const { return previous_row_; }

 private:
  // Shows the icons (ShowTypeIcons, not while events are suspended).
  void UpdateIconDrawing();

  IClipListHost& host_;
  IClipListWidget& widget_;
  IMenus& menus_;
  TAppSettings& settings_;
  ILocale& locale_;
  IKeyValueStore& store_;
  IClock& clock_;
  const std::string layout_section_;

  std::vector<TClipObj*> rows_;
  // The button of the last press in the list.
  MouseButton mouse_button_ = MouseButton::kLeft;
  bool suppress_change_ = false;
  int widest_icon_strip_ = 0;
  double last_activity_ = 0;
  int latest_row_ = -1;
  int previous_row_ = -1;
  TThumbnailCache thumbnails_;
  TClipReorder reorder_{*this, widget_, host_};
};

}  // namespace om
