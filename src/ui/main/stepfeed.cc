#include "ui/main/stepfeed.h"

#include <algorithm>

#include "app/app_log.h"
#include "store/clip_obj.h"
#include "store/store_services.h"
#include "ui/main/current_operation.h"

namespace om {

namespace {

constexpr char kComplete[] = "Ottermoor_StepfeedComplete";

std::int32_t& State() { return StoreServices().SequentialPaste; }

}  // namespace

TStepfeed::TStepfeed(IStepfeedHost& host, TAppSettings& settings) : host_(host), settings_(settings) {}

void TStepfeed::ApplyDelaySetting() {
  settings_.StepfeedDelay = std::clamp(settings_.StepfeedDelay, kMinDelayMs, kMaxDelayMs);
  interval_ms_ = static_cast<std::uint32_t>(settings_.StepfeedDelay);
}

bool TStepfeed::Running() const { return State() != seqpaste::kOff; }

void TStepfeed::Click(int direction) {
  SFClick(direction);
  // Each button shows what its menu item's check says.
  host_.SetStepfeedButtons(up_checked_, down_checked_);
}

void TStepfeed::Checks(bool up, bool down) {
  up_checked_ = up;
  down_checked_ = down;
  host_.SetStepfeedChecks(up, down);
}

void TStepfeed::SFClick(int direction) {
  EnterOperation("TfrmQL.SFClick");
  Log(loglevel::kData, ">TfrmQL.SFClick", "Stepfeed On/Off");
  host_.EndAutoGlue();
  // The preview follows the clips again.
  if (host_.PreviewPinned()) host_.UnpinPreview();
  Checks(false, false);
  if (direction == direction_) {
    // The running direction again: off, the clip stays as plain data.
    SFOff(true);
  } else {
    Log(loglevel::kData, "TfrmQL.SFClick", "Stepfeed Command is ON");
    const std::vector<int> selected = host_.SelectedRows();
    if (selected.empty()) {
      Log(loglevel::kError, "Stepfeed", "No starting item selected.");
      host_.LeaveTopmost();
      host_.Message(kNoStartingItem, MsgButtons::kOk, MsgIcon::kError);
      host_.RestoreVisibility();
      SFOff(true);
    } else {
      // A switch of direction restarts from the selection: a tick due for
      // the old direction must not follow.
      host_.StopStepfeedTimer();
      State() = seqpaste::kArmed;
      direction_ = direction;
      selected_only_ = selected.size() > 1;
      // Several rows: down starts at the top-most, up at the bottom-most.
      const int start = !selected_only_ ? selected.front()
                        : direction == kDown ? *std::min_element(selected.begin(), selected.end())
                                             : *std::max_element(selected.begin(), selected.end());
      SetCurrent(start);
      TClipObj* const clip = host_.ClipAtRow(start);
      host_.SetClipboardClip(clip);
      if (host_.CopyItem(clip) == 0) {
        // Nothing could be promised (the clipboard is in use; the status
        // says so): there is no run to keep armed.
        SFOff(false);
      } else {
        Checks(direction == kUp, direction == kDown);
      }
    }
  }
  Log(loglevel::kError, "<TfrmQL.SFClick", "End Stepfeed");
}

void TStepfeed::ClipViewRenderFormat() {
  Log(loglevel::kData, "SF", "RenderFormat");
  if (!Running()) {
    // A request that belongs to no run (the clip stayed promised when it
    // ended): answered with the clip on the clipboard, the state left off.
    if (TClipObj* const clip = host_.ClipboardClip()) {
      State() = seqpaste::kRendering;
      host_.PlaceClip(clip);
      State() = seqpaste::kOff;
    }
    return;
  }
  State() = seqpaste::kRendering;
  const int row = CurrentRow();
  if (row < 0) return;
  TClipObj* const clip = host_.ClipAtRow(row);
  host_.SetClipboardClip(clip);
  host_.PlaceClip(clip);
  if (NextRow(row) >= 0) {
    host_.StartStepfeedTimer(interval_ms_);
    return;
  }
  Log(loglevel::kData, "SF", "RenderFormat - terminating.  ");
  SFOff(false);
  if (settings_.BeepOnSFComplete) host_.PlaySoundOrBeep(kComplete);
}

void TStepfeed::AdvanceNextItem() {
  Log(loglevel::kData, "SF", "AdvanceNextItem");
  host_.StopStepfeedTimer();
  if (!Running()) return;
  State() = seqpaste::kArmed;
  if (TClipObj* const previous = host_.ClipboardClip()) previous->UnLoad();
  const int row = NextRow(CurrentRow());
  SetCurrent(row);
  if (row < 0) {
    host_.SetClipboardClip(nullptr);
    SFOff(true);
    return;
  }
  TClipObj* const clip = host_.ClipAtRow(row);
  host_.SetClipboardClip(clip);
  if (host_.CopyItem(clip) == 0) {
    host_.SetClipboardClip(nullptr);
    SFOff(false);
    if (settings_.BeepOnSFComplete) host_.PlaySoundOrBeep(kComplete);
    host_.ShowStatus(1, false, kClipboardOpen);
    Log(loglevel::kError, "Stepfeed", "Could not open clipboard.");
    return;
  }
  if (selected_only_) {
    host_.MarkRowSelected(row);
  } else {
    host_.SelectOnlyRow(row);
  }
  host_.ShowInPreview(clip);
}

void TStepfeed::SFOff(bool recopy) {
  if (!Running()) return;
  Log(loglevel::kData, "TfrmQL.SFOff", "Stepfeed Command is OFF");
  State() = seqpaste::kOff;
  direction_ = kOff;
  selected_only_ = false;
  // A tick still due would arm the next clip of a run that is over.
  host_.StopStepfeedTimer();
  host_.SetStepfeedButtons(false, false);
  Checks(false, false);
  if (recopy) {
    if (TClipObj* const clip = host_.ClipboardClip()) host_.PlaceClip(clip);
  }
  SetCurrent(-1);
}

void TStepfeed::ContinueFrom(int row) {
  if (!Running()) return;
  TClipObj* const clip = host_.ClipAtRow(row);
  if (clip == nullptr) return;
  // The run's own selection of the row it just promised: nothing new.
  if (clip == host_.ClipboardClip() && row == CurrentRow()) return;
  State() = seqpaste::kArmed;
  if (TClipObj* const previous = host_.ClipboardClip(); previous != nullptr && previous != clip) previous->UnLoad();
  SetCurrent(row);
  host_.SetClipboardClip(clip);
  host_.CopyItem(clip);
  host_.ShowInPreview(clip);
}

void TStepfeed::RenderAllFormats() {
  if (!Running()) return;
  TClipObj* clip = nullptr;
  if (const int row = CurrentRow(); row >= 0) clip = host_.ClipAtRow(row);
  if (clip == nullptr) clip = host_.ClipboardClip();
  Log(loglevel::kData, "SF", "RenderAllFormats");
  if (clip != nullptr) host_.RenderAllPromised(clip);
  // Written, no longer promised: the run is over.
  SFOff(false);
}

int TStepfeed::CurrentRow() const {
  if (current_clip_ == nullptr) return -1;
  if (current_row_ >= 0 && current_row_ < host_.ClipRowCount() && host_.ClipAtRow(current_row_) == current_clip_) {
    return current_row_;
  }
  for (int row = 0; row < host_.ClipRowCount(); ++row) {
    if (host_.ClipAtRow(row) == current_clip_) return row;
  }
  return -1;
}

int TStepfeed::NextRow(int from) const {
  const int count = host_.ClipRowCount();
  if (from < 0 || count < 2) return -1;
  const int step = direction_ == kUp ? -1 : 1;
  for (int row = from + step; row >= 0 && row < count; row += step) {
    if (!selected_only_ || host_.RowSelected(row)) return row;
  }
  return -1;
}

void TStepfeed::SetCurrent(int row) {
  current_row_ = row;
  current_clip_ = row >= 0 ? host_.ClipAtRow(row) : nullptr;
}

}  // namespace om
