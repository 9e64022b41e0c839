// TStepfeed: sequential paste. The user picks a starting clip and a
// direction (the tool buttons cmdSFUp and cmdSFDown, the Edit menu's
// "Stepfeed &Up" / "Stepfeed &Down", their tray counterparts). The clip is
// put on the clipboard as promises (delayed rendering): when another
// program pastes, the system asks the program for the data, the program
// writes it, and a moment later (the StepfeedDelay setting) the next clip
// in the direction is promised in its place, ready for the next paste.
// With two or more clips selected at the start only the selected ones are
// visited, and the selection is left alone.
//
// The shared state (StoreServices().SequentialPaste) tells the clip's Copy
// how to place it: off writes the data, armed promises every format,
// rendering writes the data into the open render request.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "app/app_settings.h"
#include "platform/prompts.h"

namespace om {

class TClipObj;

class IStepfeedHost {
 public:
  virtual ~IStepfeedHost() = default;
  virtual void EndAutoGlue() = 0;
  // The preview's pin: sequential paste releases it so that the preview
  // follows the clips again.
  virtual bool PreviewPinned() const = 0;
  virtual void UnpinPreview() = 0;
  // The clip list's rows.
  virtual int ClipRowCount() const = 0;
  virtual TClipObj* ClipAtRow(int row) const = 0;
  virtual std::vector<int> SelectedRows() const = 0;
  virtual bool RowSelected(int row) const = 0;
  // Selects the row alone (focused); or marks it selected, keeping the
  // others. Either way the row is scrolled fully into view.
  virtual void SelectOnlyRow(int row) = 0;
  virtual void MarkRowSelected(int row) = 0;
  // The clip the program has on the clipboard.
  virtual TClipObj* ClipboardClip() const = 0;
  virtual void SetClipboardClip(TClipObj* clip) = 0;
  // Puts the clip on the clipboard as the main window does for a selected
  // row (its status line, the settle time after the copy); 0 when the
  // clipboard could not be opened.
  virtual std::int32_t CopyItem(TClipObj* clip) = 0;
  // The clip's own placing, as the shared state says (no status line):
  // the answer to a render request, and the plain copy when it ends.
  virtual void PlaceClip(TClipObj* clip) = 0;
  // Answers the system's last call for promised data (the program leaves
  // the clipboard): opens it, and when the program still owns it, writes
  // the clip's data there.
  virtual void RenderAllPromised(TClipObj* clip) = 0;
  // The preview shows the clip.
  virtual void ShowInPreview(TClipObj* clip) = 0;
  virtual void StartStepfeedTimer(std::uint32_t interval_ms) = 0;
  virtual void StopStepfeedTimer() = 0;
  // The menu checks (Edit menu and tray) and the two buttons.
  virtual void SetStepfeedChecks(bool up, bool down) = 0;
  virtual void SetStepfeedButtons(bool up, bool down) = 0;
  virtual void LeaveTopmost() = 0;
  virtual void RestoreVisibility() = 0;
  virtual MsgResult Message(std::string_view text, MsgButtons buttons, MsgIcon icon) = 0;
  virtual void ShowStatus(int level, bool busy, std::string_view text) = 0;
  virtual void PlaySoundOrBeep(std::string_view event_name) = 0;
};

class TStepfeed {
 public:
  // The directions, as the list's search directions name them.
  static constexpr int kOff = 0;
  static constexpr int kUp = 2;
  static constexpr int kDown = 3;
  // The pause between a paste and the next promise.
  static constexpr std::int32_t kMinDelayMs = 100;
  static constexpr std::int32_t kMaxDelayMs = 4000;
  static constexpr char kNoStartingItem[] =
      "Stepfeed Error: No Starting Item Selected.  Select an item, and try again.";
  static constexpr char kClipboardOpen[] = "Error - Clipboard Already Open";

  TStepfeed(IStepfeedHost& host, TAppSettings& settings);
  TStepfeed(const TStepfeed&) = delete;
  TStepfeed& operator=(const TStepfeed&) = delete;

  // The timer's interval from StepfeedDelay, clamped to 100..4000 ms (the
  // setting itself is clamped too). At start-up and after the settings.
  void ApplyDelaySetting();
  std::uint32_t IntervalMs() const { return interval_ms_; }

  // The buttons and the menu items: start, switch direction, or stop.
  void cmdSFUpClick() { Click(kUp); }
  void cmdSFDownClick() { Click(kDown); }
  void SFClick(int direction);
  // The system asks for the promised data: another program pastes.
  void ClipViewRenderFormat();
  // The timer's tick: the next clip is promised.
  void AdvanceNextItem();
  // Ends sequential paste; with `recopy` the clip on the clipboard is put
  // there again as plain data.
  void SFOff(bool recopy);
  // The user selected `row` in the list while sequential paste runs: it
  // continues from there.
  void ContinueFrom(int row);
  // The program leaves the clipboard (it closes, or the system asks for
  // everything promised): what is promised is written, so that the paste
  // the user is about to make still gets the clip.
  void RenderAllFormats();

  bool Running() const;
  int Direction() const { return direction_; }
  bool SelectedOnly() const { return selected_only_; }
  // The row whose clip is on the clipboard; -1 when off or when that clip
  // left the list.
  int CurrentRow() const;

 private:
  void Click(int direction);
  // The row after `from` in the running direction (only selected rows for
  // a selected-only run); -1 for none, also for a list of fewer than two.
  int NextRow(int from) const;
  void SetCurrent(int row);
  void Checks(bool up, bool down);

  IStepfeedHost& host_;
  TAppSettings& settings_;
  std::uint32_t interval_ms_ = kMinDelayMs;
  int direction_ = kOff;
  bool selected_only_ = false;
  // The current item: its row, and its clip to find it again should the
  // rows have moved.
  int current_row_ = -1;
  TClipObj* current_clip_ = nullptr;
  bool up_checked_ = false;
  bool down_checked_ = false;
};

}  // namespace om
