// What the main window does with a clipboard change, and the way back:
// putting a clip on the clipboard.
#include <algorithm>
#include <cmath>

#include "clipboard/format_names.h"
#include "ui/main/current_operation.h"
#include "ui/main/main_form.h"
#include "platform/datetime.h"
#include "store/store_errors.h"

namespace om {

namespace {

constexpr char kPlace[] = "ClipViewCBChange";
constexpr std::size_t kMaxCreator = 255;
// The copy's own change is classed as the program's; a foreign change this
// long after the copy falls in the viewer's settle window.
constexpr std::int32_t kCopySettleOffsetMs = 1000;
// The window after a copy is kept below a second: the settle arithmetic
// works in milliseconds of one second.
constexpr std::int32_t kMaxDelayAfterCopy = 999;

// The millisecond part of a date-time difference.
int MillisecondPart(double days) { return DecodeDateTime(std::fabs(days)).millisecond; }

}  // namespace

void TfrmQL::SetCapturing(bool on) {
  viewer_->Capturing = on;
  widgets_.menus.SetChecked(MenuItem::kAutoCapture, on);
  widgets_.menus.SetChecked(MenuItem::kTrayAutoCapture, on);
  widgets_.tray.SetImage(on ? TrayImage::kNormal : TrayImage::kDisabled);
}

void TfrmQL::PlaySoundOrBeep(std::string_view event_name) {
  if (settings_.UseSounds) {
    ports_.sound.PlayEvent(event_name);
  } else {
    ports_.sound.Beep();
  }
}

int TfrmQL::CalcStateIndex(const TClipColl* coll) const {
  if (coll == nullptr || coll->Parent == nullptr) return -1;
  const bool holds = last_captured_clip_ != nullptr && last_captured_clip_->Coll == coll;
  if (holds) return coll->Favorite ? 3 : 5;
  return coll->Favorite ? 4 : -1;
}

void TfrmQL::ResetClipDisplay() {
  widgets_.clips.ClearSelection();
  widgets_.shell.SetPreviewVisible(false);
  widgets_.shell.SetHeaderText("");
}

bool TfrmQL::IsDuplicateClip(TClipObj* fresh, TClipObj* old) {
  if (fresh == nullptr || old == nullptr) return false;
  try {
    std::int32_t fresh_at = -1;
    std::int32_t old_at = -1;
    if (!fresh->HasFormat(cf::kText, fresh_at) || !old->HasFormat(cf::kText, old_at)) return false;
    if (fresh->GetDataSize(fresh_at) != old->GetDataSize(old_at)) return false;
    const std::int32_t fresh_size = fresh->Lock(cf::kText);
    const std::int32_t old_size = old->Lock(cf::kText);
    bool same = false;
    if (fresh_size > 0 && old_size > 0 && fresh->LockedText != nullptr && old->LockedText != nullptr) {
      // The texts up to their first zero byte.
      const auto text_of = [](const std::uint8_t* bytes, std::int32_t size) {
        const std::uint8_t* end = std::find(bytes, bytes + size, 0);
        return std::string_view(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(end - bytes));
      };
      same = text_of(fresh->LockedText, fresh_size) == text_of(old->LockedText, old_size);
    }
    if (fresh->LockedFormat != 0) fresh->Unlock();
    if (old->LockedFormat != 0) old->Unlock();
    return same;
  } catch (const EMyStreamError& error) {
    // The top clip's data file is damaged or gone: nothing to compare with,
    // and no reason to lose the new capture.
    if (fresh->LockedFormat != 0) fresh->Unlock();
    if (old->LockedFormat != 0) old->Unlock();
    Log(loglevel::kError, "IsDuplicateClip", error.what());
    return false;
  }
}

bool TfrmQL::ClipboardOffers(std::uint32_t format) {
  return format != 0 && ports_.clipboard.HasFormat(format);
}

// Other programs mark private data (passwords, say) with one of two formats:
// "ExcludeClipboardContentFromMonitorProcessing", with any data, or
// "CanIncludeInClipboardHistory" holding a DWORD 0. Only the marker itself
// is read, never the data it guards. A marker whose data cannot be had
// counts as set: when in doubt, the data is left alone.
bool TfrmQL::PrivacyMarkerPresent() {
  if (ClipboardOffers(exclude_format_)) return true;
  if (!ClipboardOffers(can_include_format_)) return false;
  const ClipData marker = ports_.clipboard.GetData(can_include_format_);
  if (marker.status != ClipStatus::kOk || marker.bytes.size() < 4) return true;
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | marker.bytes[static_cast<std::size_t>(i)];
  return value == 0;
}

void TfrmQL::IgnoreChange(const char* log_text, const char* status_text) {
  Log(loglevel::kData, kPlace, log_text);
  ShowStatus(2, false, status_text);
  if (settings_.BeepOnIgnore) PlaySoundOrBeep(soundevent::kIgnoreClipboardUpdate);
  ResetClipDisplay();
  clipboard_clip_ = nullptr;
  last_captured_clip_ = nullptr;
}

void TfrmQL::ClipViewCBChange(TClipView5& sender) {
  EnterOperation("TfrmQL.ClipViewCBChange");
  // The references are put back when the change is not kept.
  TClipObj* const remembered_clipboard_clip = clipboard_clip_;
  TClipObj* const remembered_last_captured = last_captured_clip_;
  // The pane's Paste follows whether the clipboard now holds text.
  const bool text_offered = ports_.clipboard.HasFormat(cf::kText);
  widgets_.menus.SetEnabled(MenuItem::kMagPaste, text_offered);
  widgets_.preview.SetButtonEnabled(PreviewButton::kPaste, text_offered);
  widgets_.preview.SetTextMenuEnabled(TextMenuItem::kPaste, text_offered);
  // Any change ends a running sequential paste, nothing copied back.
  stepfeed_->SFOff(false);
  // Capture switched off: the change is ignored.
  if (!sender.Capturing) {
    IgnoreChange("Ignoring New Data, AutoCapture Is Off", "New Data Ignored (Capture Is Off).");
    return;
  }
  // The ignore marker, and the privacy markers treated like it.
  if (ClipboardOffers(IgnoreFormat) || PrivacyMarkerPresent()) {
    IgnoreChange("Ignoring New Data, CF_CLIPBOARD_VIEWER_IGNORE", "New Data Ignored (Ignore Flag Set By Sender).");
    return;
  }
  // An emptied clipboard: nothing to capture, nothing is on it of ours.
  if (ports_.clipboard.FormatCount() == 0) {
    Log(loglevel::kData, kPlace, "Empty Clipboard");
    ShowStatus(2, false, "System Clipboard Is Empty.");
    if (settings_.BeepOnErase) PlaySoundOrBeep(soundevent::kEmptyClipboard);
    ResetClipDisplay();
    clipboard_clip_ = nullptr;
    last_captured_clip_ = nullptr;
    return;
  }
  // Too soon after a copy of ours: dropped, only logged.
  const double now = ports_.clock.Now();
  if (now < accept_captures_after_) {
    Log(loglevel::kData, kPlace,
        "Paste Ignored - too soon after copy - " + std::to_string(MillisecondPart(accept_captures_after_ - now)) +
            "ms ago.");
    return;
  }
  Log(loglevel::kData, kPlace,
      "Paste Accepted - last copy was " + std::to_string(MillisecondPart(now - accept_captures_after_)) + "ms ago." +
          "WaitUntil: " + ports_.locale.FormatFloat(accept_captures_after_) + "Now: " + ports_.locale.FormatFloat(now));
  // Nothing is captured while loading, shutting down or copying.
  if (events_suspended_ || copy_in_progress_) return;

  bool kept = false;
  if (glue_->AutoGlueOn()) {
    // Automatic glue takes the change instead of a new clip: its text is
    // appended to the selected clip (a change without text ends automatic
    // glue and is not kept).
    kept = glue_->AutoGlue(true);
  } else {
    kept = CaptureChange(sender, remembered_clipboard_clip, remembered_last_captured);
  }
  widgets_.tree.ScrollLeft();
  // The sound of a kept change: the glue's while automatic glue runs on.
  if (kept) {
    if (settings_.BeepOnGlue && glue_->AutoGlueOn()) {
      PlaySoundOrBeep(soundevent::kGlue);
    } else if (settings_.BeepOnUpdate) {
      PlaySoundOrBeep(soundevent::kNewData);
    }
  }
}

bool TfrmQL::CaptureChange(TClipView5& sender, TClipObj* remembered_clipboard_clip,
                           TClipObj* remembered_last_captured) {
  SetOperationStep(11);
  bool kept = false;
  bool duplicate = false;
  bool no_format = false;
  std::unique_ptr<TClipObj> clip =
      std::make_unique<TClipObj>(0, sender.Creator().substr(0, std::min(sender.Creator().size(), kMaxCreator)));
  if (clip->Paste(sender, *profile_) < 1) {
    no_format = true;
  } else {
    // The page the data came from, asked of the browser it came from.
    std::string url;
    if (clip->Creator == "NETSCAPE") {
      url = GetURLDDE("NETSCAPE");
    } else if (clip->Creator == "EXPLORER" && ClipboardOffers(HTMLFormat)) {
      url = GetURLDDE("IEXPLORE");
    }
    if (clip->Creator == "IEXPLORE" && url.empty()) url = GetURLDDE("IEXPLORE");
    clip->SourceURL = url;
    ++settings_.Captured;
    // The shown collection takes it, unless it refuses new clips or is
    // Search Results: then the inbox.
    TClipColl* target = shown_;
    if (target == nullptr || !target->AcceptNewClips || target == search_results_) target = inbox_;
    const int target_position = tree_->GetTreeNodeOfColl(target);
    if (target == nullptr || target->ReadOnly) {
      // No collection can take it (no inbox, or one from a read-only
      // source): the clip is dropped rather than left without a home.
      Log(loglevel::kError, kPlace, "No collection accepts the new clip; it is not kept.");
      ShowStatus(2, false, "New Data Ignored (No Collection Accepts New Clips).");
    } else if (target->Count() > 0 && !target->AcceptDuplicates && IsDuplicateClip(clip.get(), target->Clip(0))) {
      // A copy of the top clip is rejected; only the top clip is compared.
      duplicate = true;
      ShowStatus(1, false, "Duplicate Item Rejected.");
    } else {
      // File it in the target with the next serial number and sort key.
      clip->SetColl(target);
      clip->SerialNbr = target->GetNextSerialNum();
      clip->SortKey = target->GetNextClipSortKey();
      clip->SetTitle(clip->GetTitle());
      TClipObj* const filed = clip.get();
      const std::optional<std::int32_t> position = target->MyAddObject(filed->Title, filed);
      clip.release();  // the collection owns it now
      kept = true;
      if (!PickdropMode()) {
        ShowStatus(1, false,
                   "Captured Item #" + std::to_string(filed->SerialNbr) + " And Placed In: " + target->Title);
      }
      // The target's node comes into view.
      if (const TreeNode node = tree_->NodeAt(target_position)) widgets_.tree.MakeVisible(node);
      // Shown in the list as its only selected row, or, filed elsewhere,
      // the list's selection and the pane are cleared.
      if (target == shown_) {
        AddNewClipRow(filed, position.value_or(1));
      } else {
        ResetClipDisplay();
      }
      clipboard_clip_ = filed;
      last_captured_clip_ = filed;
    }
  }
  // The tree's marks show where the last capture went.
  tree_->RefreshStateIndexes();
  if (!kept) {
    clip.reset();
    clipboard_clip_ = remembered_clipboard_clip;
    last_captured_clip_ = remembered_last_captured;
    if (duplicate && settings_.BeepOnIgnore) PlaySoundOrBeep(soundevent::kIgnoreClipboardUpdate);
    if (no_format && settings_.BeepOnErase) PlaySoundOrBeep(soundevent::kEmptyClipboard);
    if (const TreeNode node = tree_->NodeOf(shown_); node != 0 && shown_ != nullptr) {
      widgets_.tree.SetStateIndex(node, -1);
    }
    if (no_format) {
      ResetClipDisplay();
      if (!PickdropMode()) {
        ShowStatus(2, false,
                   "New Clipboard Data Ignored - No Acceptable Formats, According To Application Profile.");
      }
    }
  }
  // The diagnostics window is refreshed here once the chain health check
  // has one.
  return kept;
}

std::int32_t TfrmQL::CopyItem(TClipObj* clip) {
  if (clip == nullptr) return 0;
  EnterOperation("TfrmQL.CopyItem");
  Log(loglevel::kData, ">TfrmQL.CopyItem", "Begin Copy");
  copy_in_progress_ = true;
  std::int32_t result = 0;
  try {
    // A foreign change whose capture falls within the settle time of one
    // second from now is dropped; the copy's own change is the program's.
    viewer_->WaitUntil = MillisecondsSinceMidnight(ports_.clock.Now()) + kCopySettleOffsetMs;
    result = clip->Copy(*viewer_);
    if (result != 0) {
      if (!PickdropMode()) ShowStatus(1, false, "Clip Item [" + clip->Title + "] Copied To System Clipboard.");
      ++settings_.CopiedBack;
    } else {
      // The clipboard could not be opened: nothing was copied, and the
      // user must not be told otherwise. Selecting the clip again retries.
      ShowStatus(1, false, "Clip Item [" + clip->Title + "] Not Copied - The Clipboard Is In Use.");
      if (clipboard_clip_ == clip) clipboard_clip_ = nullptr;
    }
  } catch (...) {
    Log(loglevel::kError, "TfrmQL.CopyItem", "Copy Failed with Exception - item may be damaged.");
    if (shown_ != nullptr) shown_->SetModified(true);
    copy_in_progress_ = false;
    throw;
  }
  copy_in_progress_ = false;
  if (result != 0) {
    // Values of a second or more cannot be told apart from the next
    // second's changes: the window after a copy stays below a second.
    const std::int32_t delay = std::clamp(settings_.DelayAfterCopy, 0, kMaxDelayAfterCopy);
    accept_captures_after_ = ports_.clock.Now() + delay / kMillisecondsPerDay;
  }
  Log(loglevel::kData, "<TfrmQL.CopyItem", "End Copy");
  return result;
}

void TfrmQL::ClipViewCBChainChange(TClipView5& /*sender*/) {
  // Re-establishing the chain and the diagnostics window come with the
  // chain health check.
  Log(loglevel::kChain, "ClipViewCBChainChange", "Chain Changed!");
}

void TfrmQL::mnuLocateLastClipClick() {
  widgets_.shell.LeaveTopmost();
  if (clipboard_clip_ != nullptr && clipboard_clip_->Coll != nullptr) {
    Message("The last clip was captured into: \r\n" + clipboard_clip_->Coll->Title, MsgButtons::kOk,
            MsgIcon::kInformation);
  } else {
    Message("It is not known which collecton the last clip went into.", MsgButtons::kOk, MsgIcon::kInformation);
  }
  widgets_.shell.RestoreVisibility();
}

}  // namespace om
