// TTextTransforms: the commands that rewrite a clip's text in place (shift
// left and right, remove line breaks, the four case conversions, strip the
// non-text formats), make a title from selected text, and open a URL found
// in a text. The rewriting itself is XForm (store/text_transforms.h); these
// commands choose the clips, work with the preview pane's text pane and its
// selection, and report.
//
// They are offered on the preview pane's tool bar and text menu, in the Edit
// menu, in the tray icon's menu and in the clip list's menu.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_settings.h"
#include "ui/main/preview_pane.h"

namespace om {

class TClipObj;

class ITextTransformsHost {
 public:
  virtual ~ITextTransformsHost() = default;
  // The selected rows' clips from the top of the list.
  virtual std::vector<TClipObj*> SelectedClips() const = 0;
  // The clip's row is drawn again (its caption shows the clip's title).
  virtual void RefreshClipRow(const TClipObj* clip) = 0;
  // The title header's first section (tag 1) shows `text`.
  virtual void SetHeaderText(std::string_view text) = 0;
  // Forgets the clipboard clip and the previewed clip.
  virtual void ClearCurrentClips() = 0;
  virtual void ShowStatus(int level, bool busy, std::string_view text) = 0;
  // The Ctrl key is held down at this moment.
  virtual bool CtrlKeyDown() const = 0;
  // An error box with an OK button.
  virtual void ErrorBox(std::string_view text) = 0;
  // The shell's default action on a URL, shown normally.
  virtual void OpenWithShell(std::string_view target) = 0;
  // Out of the always-on-top position while a box may come up, and back.
  virtual void LeaveTopmost() = 0;
  virtual void RestoreVisibility() = 0;
};

class TTextTransforms final : public IPaneTransformCommands {
 public:
  static constexpr char kUrlNotDeterminedBox[] = "Ottermoor could not determine the URL.";
  static constexpr char kSelectOneClip[] = "Please select one clip before invoking this function.";
  static constexpr char kTextOnly[] = "This function only works on TEXT items.";

  TTextTransforms(ITextTransformsHost& host, TPreviewPane& preview, IPreviewWidget& pane, TAppSettings& settings);
  TTextTransforms(const TTextTransforms&) = delete;
  TTextTransforms& operator=(const TTextTransforms&) = delete;

  // Removing line breaks (3, case index 4), the case conversions (4 to 7,
  // indexes 0 to 3) and stripping non-text formats (8, index 5) on the
  // selected clips: one goes through the preview pane (MagChangeCase),
  // several are rewritten whole.
  void MnuChangeCase(std::uint32_t operation, int case_index);
  // The operation on the previewed clip, within the text pane's selection.
  void MagChangeCase(std::uint32_t operation, int case_index);

  // The Edit and tray menus.
  void mnuMagCase_LowerClick() { MnuChangeCase(4, 0); }
  void mnuMagCase_UpperClick() { MnuChangeCase(5, 1); }
  void mnuMagCase_MixedClick() { MnuChangeCase(6, 2); }
  void mnuMagCase_SentenceClick() { MnuChangeCase(7, 3); }
  void mnuEditNukeNonTextClick() { MnuChangeCase(8, 5); }

  // The clip list's "Launch as URL".
  void LaunchasURL1Click();
  // Finds the URL around one-based position `position` of `text` (the
  // character before the caret) and opens it; false (with a status
  // message) when there is none.
  bool LaunchCloseEnoughURL(std::string_view text, std::int32_t position);

  // --- IPaneTransformCommands -----------------------------------------------
  void cmdMag_ShiftLeftClick() override { Shift(1); }
  void cmdMag_ShiftRightClick() override { Shift(2); }
  void cmdMag_RemoveCRLFClick() override { MnuChangeCase(3, 4); }
  void cmdMag_CaseClick() override;
  void mnuMagCaseClick(int case_index) override;
  void mnuMag_UndoClick() override;
  void mnuMag_MakeTitleClick() override;
  void mnuMag_LaunchURLClick() override;
  void mnuLaunchURLCloseEnoughClick() override;

 private:
  void Shift(std::uint32_t operation);

  ITextTransformsHost& host_;
  TPreviewPane& preview_;
  IPreviewWidget& pane_;
  TAppSettings& settings_;
};

}  // namespace om
