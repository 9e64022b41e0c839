// TPickdropAlternates: Pickdrop's second list (lvPD), the clips of an
// alternate collection the user picks with "Set" (PDAlternateColl, by
// default "Long-Term"). While Pickdrop is active and ShowPDAlternates is
// on, it stands in place of the preview with its caption "Alternate
// Collection: <title>"; moving through it puts each clip on the clipboard
// as the main list does, and Enter, Esc and a double click act as there.
//
// It is a second TClipList over its own control, seeing the main window
// through the main list's host except for what differs: the collection it
// shows, its header, and its no-selection timer. Its selection acts only
// while Pickdrop is active and not while the list is being filled: a
// hidden list, or one refilled when the mode starts, must not change what
// is on the clipboard.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/main/clip_list.h"

namespace om {

class TClipColl;

class IAlternatesHost {
 public:
  virtual ~IAlternatesHost() = default;
  // The caption above the list.
  virtual void SetAlternateCaption(std::string_view caption) = 0;
  // Arms the deferred "No Items Selected." of this list; when it fires
  // the host calls List().NoSelectionTimer().
  virtual void ArmAlternateNoSelectionTimer() = 0;
  // The list got the keyboard focus (Pickdrop remembers which list had it
  // last).
  virtual void AlternateListEntered() = 0;
};

class TPickdropAlternates final : private IClipListHost {
 public:
  static constexpr char kCaptionPrefix[] = "Alternate Collection: ";

  TPickdropAlternates(IClipListHost& main, IAlternatesHost& host, IClipListWidget& widget, IMenus& menus,
                      TAppSettings& settings, ILocale& locale, IKeyValueStore& store, IClock& clock);
  TPickdropAlternates(const TPickdropAlternates&) = delete;
  TPickdropAlternates& operator=(const TPickdropAlternates&) = delete;

  TClipList& List() { return *list_; }
  TClipColl* Collection() const { return coll_; }

  // "Set": the list shows `coll`, its caption names it, and it is the
  // alternate collection from now on.
  void SetAlternate(TClipColl* coll);
  // After the collections are loaded: the first of them (in tree order)
  // whose title is exactly the setting's; nothing when none is.
  void FindAlternate(const std::vector<TClipColl*>& tree_order);
  // The collection goes (removed, reloaded): the list lets go of it.
  void Forget(const TClipColl* coll);
  // Fills the list again from its collection (each time Pickdrop comes up:
  // the collection may have changed since).
  void Refill();
  // Runs the selection handling for the selected row (the list gets the
  // focus back when Pickdrop starts).
  void SelectionChanged();

 private:

  // IClipListHost: the main list's host, but for the shown collection, the
  // header and the no-selection timer.
  TClipColl* ShownCollection() const override { return coll_; }
  bool Quiet() const { return filling_ || !main_.PickdropMode(); }
  TClipObj* ClipboardClip() const override { return main_.ClipboardClip(); }
  void SetClipboardClip(TClipObj* clip) override {
    if (!Quiet()) main_.SetClipboardClip(clip);
  }
  bool EventsSuspended() const override { return main_.EventsSuspended(); }
  bool PickdropMode() const override { return main_.PickdropMode(); }
  bool StepfeedRunning() const override { return main_.StepfeedRunning(); }
  void StepfeedContinueFrom(int) override {}
  void PickdropPaste() override { main_.PickdropPaste(); }
  void PickdropEscape() override { main_.PickdropEscape(); }
  bool PickdropFocusCounts() override { return main_.PickdropFocusCounts(); }
  bool PickdropClicksIgnored() override { return main_.PickdropClicksIgnored(); }
  void ClipListEntered() override { host_.AlternateListEntered(); }
  std::int32_t CopyItem(TClipObj* clip) override { return Quiet() ? 0 : main_.CopyItem(clip); }
  void ShowStatus(int level, bool busy, std::string_view text) override { main_.ShowStatus(level, busy, text); }
  void SetHeaderText(std::string_view) override {}
  void ArmNoSelectionTimer() override {
    if (!Quiet()) host_.ArmAlternateNoSelectionTimer();
  }
  MsgResult ShowMessageBox(std::string_view text, std::string_view caption, MsgButtons buttons,
                           MsgIcon icon) override {
    return main_.ShowMessageBox(text, caption, buttons, icon);
  }
  std::optional<std::string> AskText(std::string_view caption, std::string_view prompt,
                                     std::string_view text) override {
    return main_.AskText(caption, prompt, text);
  }
  void OpenWithShell(std::string_view target) override { main_.OpenWithShell(target); }
  bool PreviewPinned() const override { return main_.PreviewPinned(); }
  void PreviewClip(TClipObj* clip) override {
    if (!Quiet()) main_.PreviewClip(clip);
  }
  void ForgetPreviewedClip() override {
    if (!Quiet()) main_.ForgetPreviewedClip();
  }
  void UpdateMagView() override {
    if (!Quiet()) main_.UpdateMagView();
  }
  void LaunchAsUrl() override { main_.LaunchAsUrl(); }
  void EndAutoGlue() override { main_.EndAutoGlue(); }
  void RescueEditing() override { main_.RescueEditing(); }
  void SetPreviewVisible(bool visible) override { main_.SetPreviewVisible(visible); }
  // Clips are not deleted or made from the alternate list.
  void DeleteSelectedClips() override {}
  void NewClip() override {}

  IClipListHost& main_;
  IAlternatesHost& host_;
  IClipListWidget& widget_;
  TAppSettings& settings_;
  std::unique_ptr<TClipList> list_;
  TClipColl* coll_ = nullptr;
  bool filling_ = false;
};

}  // namespace om
