// Saving every collection, autosave and reloading everything from disk.
#include "ui/main/current_operation.h"
#include "ui/main/main_form.h"

namespace om {

namespace {

// Clears the autosave state however the save ends.
class AutosaveScope {
 public:
  explicit AutosaveScope(bool& flag) : flag_(flag) {
    flag_ = true;
    StoreServices().Autosaving = true;
  }
  ~AutosaveScope() {
    flag_ = false;
    StoreServices().Autosaving = false;
  }
  AutosaveScope(const AutosaveScope&) = delete;
  AutosaveScope& operator=(const AutosaveScope&) = delete;

 private:
  bool& flag_;
};

}  // namespace

void TfrmQL::mnuFileSaveClick() {
  EnterOperation("TfrmQL.mnuFileSaveClick");
  Log(loglevel::kData, ">mnuFileSaveClick", "Beginning Save");
  ShowStatus(2, true, "Saving Data...");
  if (master_list_) {
    // A save the user asked for ends automatic glue (the list is refilled
    // below); an autosave leaves it running. What was typed into the text
    // pane is saved with the rest.
    if (!autosaving_) EndAutoGlue();
    preview_->RescueEditing();
    // Saving purges what the retention rules no longer keep (not while
    // autosaving, which leaves the search results alone for the same
    // reason); Search Results must not refer to a clip gone.
    if (!autosaving_) ClearSearchResults();
    master_list_->Save();
    if (!autosaving_) clip_list_->UpdateLVClips();
    if (!events_suspended_) {
      ShowStatus(autosaving_ ? 1 : 2, false, "Data Saved");
      // "Data Saved" stays in the header for a second before the preview
      // puts the clip's title back; a timer waits, the window does not.
      ports_.clock.SetTimer(TimerWindow(), kSavedRefreshTimer, kSavedRefreshMs);
    }
  }
  Log(loglevel::kData, "<mnuFileSaveClick", "Save Complete");
}

void TfrmQL::tmrAutoSaveTimer() {
  if (events_suspended_) return;
  // The countdown runs only over minutes with something unsaved.
  if (!master_list_ || !master_list_->Modified) return;
  if (--autosave_countdown_ >= 1) return;
  EnterOperation("TfrmQL.tmrAutoSaveTimer");
  Log(loglevel::kData, ">AutoSave", "Beginning AutoSave");
  const double quiet_ms = (ports_.clock.Now() - clip_list_->LastActivity()) * kMillisecondsPerDay;
  if (quiet_ms >= kAutoSaveQuietMs) {
    autosave_countdown_ = settings_.AutoSaveInterval;
    {
      AutosaveScope scope(autosaving_);
      mnuFileSaveClick();
    }
    ShowStatus(1, false, "AutoSave Complete");
    widgets_.shell.SetHeaderText(clipboard_clip_ != nullptr ? clipboard_clip_->Title : "");
  } else {
    // The countdown stays at 0 or below: the next tick tries again.
    ShowStatus(1, false, "AutoSave Deferred - Too Busy.");
    Log(loglevel::kData, "AutoSave", "AutoSave Deferred - Too Busy.");
  }
  Log(loglevel::kData, "<AutoSave", "End AutoSave");
}

void TfrmQL::mnuFileReloadClick() {
  const MsgResult answer =
      Message("This will save all data, and re-load from disk.  This option is usually only useful for refreshing "
              "\r\ndata from shared data sources, such as in a workgroup setting.\r\nContinue?",
              MsgButtons::kYesNo, MsgIcon::kQuestion);
  if (answer != MsgResult::kYes) return;
  EnterOperation("TfrmQL.mnuFileReloadClick");
  mnuFileSaveClick();
  ReloadAllData();
}

void TfrmQL::ReloadAllData() {
  // Nothing may point into the collections freed here, and the list events
  // wait until the load has rebuilt the tree.
  events_suspended_ = true;
  StoreServices().LoadingCollections = true;
  ClearSearchResults();
  ClearTreeAndList();
  ClearReferences();
  trash_ = search_results_ = inbox_ = nullptr;
  master_list_->Clear();
  LoadData();
}

}  // namespace om
