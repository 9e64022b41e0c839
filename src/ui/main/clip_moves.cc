#include "ui/main/clip_moves.h"

#include <memory>

#include "app/app_log.h"
#include "app/app_messages.h"
#include "clipboard/format_names.h"
#include "store/clip_coll.h"
#include "store/clip_filing.h"
#include "store/clip_obj.h"
#include "store/store_errors.h"

namespace om {

namespace {

std::string Clips(int count) { return std::to_string(count) + " clip" + (count > 1 ? "s" : ""); }

// What the batch says when some clips stayed where they were (their files
// could not be copied: a full disk, a file another program holds).
std::string NotFiledText(int count, bool copy) {
  return std::string(copy ? "Could not copy " : "Could not move ") + Clips(count) +
         ": the files could not be copied (see the log).";
}

// Collections that cannot take clips: read-only ones, and those that are
// never saved as the clips' owner (folder nodes; the Search Results only
// refer to clips of other collections). A clip filed there would be lost.
bool TakesNoClips(const TClipColl* coll) {
  return coll == nullptr || coll->ReadOnly || coll->Role == collrole::kFolderNode ||
         coll->Role == collrole::kSearchResults;
}

}  // namespace

TClipMoves::TClipMoves(IClipMovesHost& host, TAppSettings& settings) : host_(host), settings_(settings) {}

std::string TClipMoves::MoveButtonHint() const {
  return std::string(settings_.MoveCopyMode == 2 ? "Copy" : "Move") + " Clips To Another Collection";
}

bool TClipMoves::FileOne(TClipObj* clip, TClipColl* from, bool copy, TClipColl* to) {
  if (clip == nullptr || from == nullptr || to == nullptr) return false;
  try {
    const TFiled filed = FileClip(*clip, *from, *to, copy);
    if (filed.Clip == nullptr) return false;
    if (filed.FilesMoved) relocated_ = true;
    return true;
  } catch (const EMyStreamError& error) {
    Log(loglevel::kError, "FileOne",
        std::string(copy ? "Clip Not Copied: " : "Clip Not Moved: ") + clip->Title + " (" + error.what() + ")");
    return false;
  }
}

void TClipMoves::DoDropClipsOnColl(TClipColl* target, bool copy, DropVia via) {
  if (TakesNoClips(target)) {
    host_.ShowMessageBox(kTargetReadOnly, kProgramError, MsgButtons::kOk, MsgIcon::kError);
    return;
  }
  if (via == DropVia::kMenu && host_.CtrlKeyDown()) copy = true;
  const std::vector<TClipObj*> clips = host_.SelectedClips();
  TClipColl* const shown = host_.ShownCollection();
  int count = 0;
  int not_filed = 0;
  if (!clips.empty() && target != shown) {
    host_.ShowStatus(1, true, via == DropVia::kTree ? "Dropped..." : (copy ? "Copying " : "Moving "));
    host_.BeginListUpdate();
    std::vector<TClipObj*> gone;
    for (TClipObj* clip : clips) {
      // The clip's own collection is its source (the Search Results show
      // clips of many); one already in the target stays as it is.
      TClipColl* const from = clip->Coll != nullptr ? clip->Coll : shown;
      if (from == target) continue;
      if (!FileOne(clip, from, copy, target)) {
        ++not_filed;
        continue;
      }
      ++count;
      if (!copy) gone.push_back(clip);
    }
    if (TClipColl* const results = host_.SearchResults(); results != nullptr && shown == results) {
      for (TClipObj* clip : gone) results->RemoveItem(results->IndexOfClip(clip), /*destroy=*/false);
    }
    if (!gone.empty()) host_.RemoveClipRows(gone);
    host_.EndListUpdate();
    if (relocated_) host_.SaveAllClips();
  }
  host_.ShowStatus(1, false, std::string(copy ? "Copied " : "Moved ") + Clips(count) + " to " + target->Title);
  if (not_filed > 0) {
    Log(loglevel::kError, "DoDropClipsOnColl", NotFiledText(not_filed, copy));
    host_.ShowStatus(2, false, NotFiledText(not_filed, copy));
  }
}

void TClipMoves::mnuDeleteSelectedItemsClick() {
  if (host_.PickdropMode()) {
    host_.LeaveTopmost();
    host_.ErrorBox(kPickdropRefusal);
    host_.RestoreVisibility();
    return;
  }
  host_.ForgetLastCapturedClip();
  TClipColl* const shown = host_.ShownCollection();
  TClipColl* const trash = host_.TrashCan();
  // The Trash Can is refused as well: deleting there would only file its
  // clips into it again under new numbers. Empty Trash removes them.
  if (shown != nullptr && (shown == host_.SearchResults() || shown->ReadOnly || shown == trash)) {
    host_.ErrorBox(kCannotDeleteHere);
    return;
  }
  if (shown != nullptr && shown->CollType == colltype::kSafe && settings_.ConfirmDeleteFromSafe == 1) {
    if (host_.ShowMessageBox(kConfirmSafe, kApplicationTitle, MsgButtons::kOkCancel, MsgIcon::kWarning) !=
        MsgResult::kOk) {
      return;
    }
  }
  host_.ClearSearchResults();
  host_.EndAutoGlue();
  const std::vector<TClipObj*> clips = host_.SelectedClips();
  if (clips.empty() || trash == nullptr) {
    host_.ShowStatus(2, false, kNothingToDelete);
  } else {
    host_.ShowStatus(1, true, "Moving Items To TrashCan...");
    host_.ReleasePreview();
    const int first = host_.FirstSelectedRow();
    std::vector<TClipObj*> gone;
    int not_filed = 0;
    for (TClipObj* clip : clips) {
      if (FileOne(clip, clip->Coll != nullptr ? clip->Coll : shown, /*copy=*/false, trash)) {
        gone.push_back(clip);
      } else {
        ++not_filed;
      }
    }
    host_.RemoveClipRows(gone);
    if (shown != nullptr) shown->ListStale = true;
    host_.ShowStatus(1, false, std::to_string(gone.size()) + " Items Deleted.");
    if (not_filed > 0) {
      Log(loglevel::kError, "mnuDeleteSelectedItemsClick", NotFiledText(not_filed, false));
      host_.ShowStatus(2, false, NotFiledText(not_filed, false));
    }
    // The row that took the first deleted row's place, or the first when
    // the deleted rows were the last ones.
    const int rows = host_.ClipRowCount();
    if (rows > 0) host_.SelectRow(first >= 0 && first < rows ? first : 0);
  }
  // A reselected clip went on the clipboard; otherwise nothing the list
  // shows is there, and the clipboard is emptied.
  if (host_.SelectedRowCount() != 1) host_.EmptyClipboard();
}

void TClipMoves::mnuEmptyTrashClick() {
  // The Search Results must not refer to a clip destroyed here.
  host_.ClearSearchResults();
  TClipColl* const trash = host_.TrashCan();
  if (trash == nullptr) return;
  host_.ForgetClipsOf(*trash);
  trash->Purge();
  host_.RefillClipList();
}

void TClipMoves::mnuPopupClips_NewClipClick() {
  TClipColl* const coll = host_.ShownCollection();
  // The Search Results own no clip: one made there would belong nowhere
  // and be lost, so they count as read-only here.
  if (coll == nullptr || coll->ReadOnly || coll == host_.SearchResults()) {
    host_.ShowMessageBox(kCurrentReadOnly, kProgramError, MsgButtons::kOk, MsgIcon::kError);
    return;
  }
  host_.EndAutoGlue();
  auto clip = std::make_unique<TClipObj>(coll->GetNextSerialNum(), kManualCreator);
  clip->SetTitle("Untitled");
  clip->SetIcon(cf::kText);
  TClipObj* const made = clip.get();
  const std::optional<std::int32_t> position = coll->MyAddObject(made->Title, made);
  if (!position) return;
  clip.release();  // the collection owns it now
  made->SetColl(coll);
  made->SortKey = coll->GetNextClipSortKey();
  made->PutText("", -1);
  host_.AddClipRow(made, *position);
  host_.SetClipboardClip(made);
  host_.CopyItem(made);
  host_.EditClip(made);
}

void TClipMoves::cmdMoveClipsClick() {
  host_.EndAutoGlue();
  mode_ = settings_.MoveCopyMode;
  host_.SequentialPasteOff();
  if (remembered_target_ != nullptr) {
    DoDropClipsOnColl(remembered_target_, mode_ == 2, DropVia::kMenu);
    return;
  }
  OpenFileClipMenu();
}

void TClipMoves::mnuMoveToCollectionClick() {
  mode_ = 1;
  OpenFileClipMenu();
}

void TClipMoves::mnuCopyToCollectionClick() {
  mode_ = 2;
  OpenFileClipMenu();
}

void TClipMoves::OpenFileClipMenu() {
  menu_ = host_.CollectionMenuEntries();
  TClipColl* const shown = host_.ShownCollection();
  for (CollectionMenuEntry& entry : menu_) {
    if (entry.coll != nullptr && entry.coll == shown) entry.enabled = false;
  }
  const std::optional<int> chosen = host_.PopupFileClipMenu(menu_);
  if (chosen) {
    mnuPopupMenuFileClip(*chosen);
    return;
  }
  // Closed without a choice: the Edit menu's mode must not carry over to
  // the next time the button's own menu opens.
  mode_ = 0;
  menu_.clear();
  host_.DeallocatePopupMenu();
}

void TClipMoves::mnuPopupMenuFileClip(int position) {
  if (position < 0 || static_cast<std::size_t>(position) >= menu_.size()) return;
  host_.LeaveTopmost();
  const CollectionMenuEntry entry = menu_[static_cast<std::size_t>(position)];
  if (entry.coll != nullptr) {
    if (entry.coll == host_.ShownCollection()) {
      // The node's text, without the menu's indentation.
      const std::size_t text = entry.caption.find_first_not_of(' ');
      host_.ErrorBox(kCannotMoveHere + (text == std::string::npos ? std::string() : entry.caption.substr(text)));
    } else {
      const int mode = mode_ == 0 ? settings_.MoveCopyMode : mode_;
      DoDropClipsOnColl(entry.coll, mode == 2, DropVia::kMenu);
      remembered_target_ = entry.coll;
      mode_ = 0;
    }
  }
  menu_.clear();
  host_.DeallocatePopupMenu();
  host_.RestoreVisibility();
}

}  // namespace om
