// TClipMoves: the commands that change which collection a clip belongs to.
// Deleting the selected clips (they go to the Trash Can), emptying the
// trash, creating a new empty clip, and moving or copying the selected
// clips into another collection: through the move/copy tool button and its
// collection menu, the Edit menu's "Move Item To Collection" and "Copy Item
// To Collection", and by dropping rows on the collections tree.
//
// Filing one clip is the store's FileClip (store/clip_filing.h): a move
// never loses a clip, not even to a crash half-way. A clip whose files
// cannot be copied stays where it was, and the command says so.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_settings.h"
#include "platform/prompts.h"
#include "ui/main/tree_widget.h"

namespace om {

class TClipColl;
class TClipObj;

class IClipMovesHost {
 public:
  virtual ~IClipMovesHost() = default;
  // The collection the clip list shows; nullptr for none.
  virtual TClipColl* ShownCollection() const = 0;
  virtual TClipColl* TrashCan() const = 0;
  virtual TClipColl* SearchResults() const = 0;
  virtual bool PickdropMode() const = 0;
  // The selected rows' clips from the top of the list.
  virtual std::vector<TClipObj*> SelectedClips() const = 0;
  virtual void ShowStatus(int level, bool busy, std::string_view text) = 0;
  // A message box out of the always-on-top position.
  virtual MsgResult ShowMessageBox(std::string_view text, std::string_view caption, MsgButtons buttons,
                                   MsgIcon icon) = 0;
  // An error box with an OK button, captioned with the program's title.
  virtual void ErrorBox(std::string_view text) = 0;
  virtual void LeaveTopmost() = 0;
  virtual void RestoreVisibility() = 0;
  virtual bool CtrlKeyDown() const = 0;
  virtual void EndAutoGlue() = 0;
  virtual void ClearSearchResults() = 0;
  // Sequential paste off, the clip it stood at put back on the clipboard.
  virtual void SequentialPasteOff() = 0;
  virtual void ForgetLastCapturedClip() = 0;
  // Nothing may point to a clip of `coll` any more (the clipboard clip, the
  // last captured clip, the preview): its clips are about to be destroyed.
  virtual void ForgetClipsOf(const TClipColl& coll) = 0;
  // The preview let go: unpinned, its clip forgotten.
  virtual void ReleasePreview() = 0;

  // --- the clip list ---
  virtual int ClipRowCount() const = 0;
  virtual int SelectedRowCount() const = 0;
  // The first selected row; -1 for none.
  virtual int FirstSelectedRow() const = 0;
  // The clips' rows leave the list (the clips left the shown collection);
  // no row is selected afterwards.
  virtual void RemoveClipRows(const std::vector<TClipObj*>& clips) = 0;
  // Selects the row alone, as the user's click does: its clip goes on the
  // clipboard.
  virtual void SelectRow(int row) = 0;
  // Adds a row for the clip (position 1: at the top), selected alone.
  virtual void AddClipRow(TClipObj* clip, int position) = 0;
  // Refills the list from the shown collection.
  virtual void RefillClipList() = 0;
  virtual void BeginListUpdate() = 0;
  virtual void EndListUpdate() = 0;

  // --- the clipboard and the preview ---
  // Opens the clipboard through the viewer, empties it and closes it.
  virtual void EmptyClipboard() = 0;
  virtual void SetClipboardClip(TClipObj* clip) = 0;
  virtual std::int32_t CopyItem(TClipObj* clip) = 0;
  // The preview shows the clip, its text pane ready for typing.
  virtual void EditClip(TClipObj* clip) = 0;

  // --- the collection menu and saving ---
  // The collection menu's entries (the tree's, built anew): every node
  // indented by level, folders disabled.
  virtual std::vector<CollectionMenuEntry> CollectionMenuEntries() = 0;
  virtual void DeallocatePopupMenu() = 0;
  // Shows the menu below the move/copy button; the chosen entry's
  // position, nullopt when it was closed without a choice.
  virtual std::optional<int> PopupFileClipMenu(const std::vector<CollectionMenuEntry>& entries) = 0;
  // Saves every collection (the File menu's "Save").
  virtual void SaveAllClips() = 0;
};

class TClipMoves {
 public:
  static constexpr char kPickdropRefusal[] = "You cannot delete while in Pickdrop.";
  static constexpr char kCannotDeleteHere[] = "You cannot delete from this collection.";
  static constexpr char kConfirmSafe[] = "Delete From \"Safe\" Collection - Are You Sure?";
  static constexpr char kNothingToDelete[] = "Nothing To Delete!";
  static constexpr char kTargetReadOnly[] = "Sorry, The Target collection is Read Only.";
  static constexpr char kCurrentReadOnly[] = "Sorry, The current collection is Read Only.";
  static constexpr char kProgramError[] = "Program Error";
  static constexpr char kCannotMoveHere[] = "Cannot Move Or Copy Items To This Collection: ";
  static constexpr char kManualCreator[] = "Ottermoor - Manually Created";

  // Where a batch of clips to file comes from.
  enum class DropVia {
    kMenu,  // the collection menu and the move/copy button: Ctrl copies
    kTree,  // rows dropped on the collections tree: Ctrl is not consulted
  };

  TClipMoves(IClipMovesHost& host, TAppSettings& settings);
  TClipMoves(const TClipMoves&) = delete;
  TClipMoves& operator=(const TClipMoves&) = delete;

  // Files one clip of `from` into `to` (a move, or a copy). True when it
  // went; false when its files could not be copied (it stays whole in
  // `from`, and the log says why). Sets the relocation flag when a move
  // handed side files over.
  bool FileOne(TClipObj* clip, TClipColl* from, bool copy, TClipColl* to);
  // Files the selected clips into `target`, with the messages of a batch.
  void DoDropClipsOnColl(TClipColl* target, bool copy, DropVia via);

  // The Edit menu's "&Delete Selected Items", the tool button cmdDelete,
  // the list's "&Delete Clip(s)" and the Delete key.
  void mnuDeleteSelectedItemsClick();
  // File, "Empty &Trash".
  void mnuEmptyTrashClick();
  // File, "Create &New, Empty Clip"; the list's "&New Clip"; the preview's
  // cmdMag_NewClip.
  void mnuPopupClips_NewClipClick();

  // The move/copy tool button cmdMoveClips and its drop-down arrow.
  void cmdMoveClipsClick();
  void cmdMoveClipsDropDown() { OpenFileClipMenu(); }
  // Edit, "Move Item To Collection" and "Copy Item To Collection".
  void mnuMoveToCollectionClick();
  void mnuCopyToCollectionClick();
  // The collection menu's entry at `position` was chosen.
  void mnuPopupMenuFileClip(int position);

  // The target last chosen from the collection menu; nullptr for none.
  TClipColl* RememberedTarget() const { return remembered_target_; }
  // A collection or a data source is deleted, or everything reloaded.
  void ForgetTarget() { remembered_target_ = nullptr; }
  // Some move handed side files over since the program started: every
  // batch ends with a save of all collections from then on.
  bool Relocated() const { return relocated_; }
  // The mode of the next collection-menu choice: 0 (MoveCopyMode), 1 move,
  // 2 copy.
  int Mode() const { return mode_; }

  // The tool button's hint: "Move" or "Copy" (MoveCopyMode) followed by
  // " Clips To Another Collection".
  std::string MoveButtonHint() const;

 private:
  void OpenFileClipMenu();

  IClipMovesHost& host_;
  TAppSettings& settings_;
  int mode_ = 0;
  TClipColl* remembered_target_ = nullptr;
  bool relocated_ = false;
  std::vector<CollectionMenuEntry> menu_;
};

}  // namespace om
