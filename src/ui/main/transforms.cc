#include "ui/main/transforms.h"

#include <algorithm>

#include "clipboard/clipboard.h"
#include "store/clip_lock.h"
#include "store/clip_obj.h"
#include "store/text_transforms.h"

namespace om {
namespace {

// The status message each operation shows; the shifts show none.
const char* StatusOf(std::uint32_t operation) {
  switch (operation) {
    case xform::kRemoveLineBreaks:
      return "Converted -> Removed Line Breaks";
    case xform::kLowerCase:
      return "Converted -> lower case";
    case xform::kUpperCase:
      return "Converted -> UPPER CASE";
    case xform::kMixedCase:
      return "Converted -> Mixed Case";
    case xform::kSentenceCase:
      return "Converted -> Sentence case";
    case xform::kStripNonText:
      return "Converted -> Removed NON-TEXT Formats";
    default:
      return nullptr;
  }
}

constexpr std::size_t kMaxTitleFromText = 60;

}  // namespace

TTextTransforms::TTextTransforms(ITextTransformsHost& host, TPreviewPane& preview, IPreviewWidget& pane,
                                 TAppSettings& settings)
    : host_(host), preview_(preview), pane_(pane), settings_(settings) {}

void TTextTransforms::MnuChangeCase(std::uint32_t operation, int case_index) {
  const std::vector<TClipObj*> clips = host_.SelectedClips();
  if (clips.empty()) return;
  if (clips.size() == 1) {
    MagChangeCase(operation, case_index);
  } else {
    const bool ctrl = host_.CtrlKeyDown();
    for (TClipObj* clip : clips) {
      XForm(*clip, operation, 0, 0, ctrl);
      host_.RefreshClipRow(clip);
    }
    // The pane showed none of them; what it showed is gone with the text.
    host_.ClearCurrentClips();
  }
  preview_.SetCaseIndex(case_index);
  if (const char* status = StatusOf(operation)) host_.ShowStatus(1, false, status);
  pane_.SetModified(true);
}

void TTextTransforms::MagChangeCase(std::uint32_t operation, int case_index) {
  TClipObj* const clip = preview_.PreviewedClip();
  if (clip == nullptr) return;
  preview_.RescueEditing();
  preview_.SetCaseIndex(case_index);
  const TextSelection selection = pane_.Selection();
  const std::optional<XFormSelection> result =
      XForm(*clip, operation, selection.start, selection.length, host_.CtrlKeyDown());
  pane_.SetTabVisible(PreviewTab::kText, preview_.ViewTEXT(true, clip));
  host_.RefreshClipRow(clip);
  host_.SetHeaderText(clip->Title);
  if (const char* status = StatusOf(operation)) host_.ShowStatus(1, false, status);
  pane_.SetModified(true);
  preview_.UpdateMagView();
  if (result) pane_.Select({result->start, result->length});
  preview_.HideNonTextTabs();
}

void TTextTransforms::Shift(std::uint32_t operation) {
  TClipObj* const clip = preview_.PreviewedClip();
  if (clip == nullptr) return;
  preview_.RescueEditing();
  const TextSelection selection = pane_.Selection();
  const std::optional<XFormSelection> result =
      XForm(*clip, operation, selection.start, selection.length, host_.CtrlKeyDown());
  preview_.ViewTEXT(true, clip);
  if (result) pane_.Select({result->start, result->length});
  ++settings_.Edits;
  pane_.SetModified(true);
  preview_.HideNonTextTabs();
}

void TTextTransforms::cmdMag_CaseClick() {
  const int index = preview_.CaseIndex();
  if (index >= 0 && index <= 3) {
    MnuChangeCase(xform::kLowerCase + static_cast<std::uint32_t>(index), index);
    // A newly previewed clip's button starts with this conversion, so the
    // first click there repeats it.
    preview_.RememberCaseClick(index);
  }
  preview_.SetCaseIndex((index + 1) % 4);
  ++settings_.Edits;
}

void TTextTransforms::mnuMagCaseClick(int case_index) {
  if (case_index < 0 || case_index > 3) return;
  MnuChangeCase(xform::kLowerCase + static_cast<std::uint32_t>(case_index), case_index);
}

void TTextTransforms::mnuMag_UndoClick() {
  // One level of undo: the control forgets what it undid.
  pane_.Undo();
  pane_.EmptyUndoBuffer();
  preview_.txtMagnifyTextSelectionChange();
}

void TTextTransforms::mnuMag_MakeTitleClick() {
  TClipObj* const clip = preview_.PreviewedClip();
  const TextSelection selection = pane_.Selection();
  if (clip == nullptr || selection.length <= 0) return;
  const std::string text = pane_.Text();
  const auto start = std::min(static_cast<std::size_t>(std::max(selection.start, 0)), text.size());
  const std::string selected = text.substr(start, static_cast<std::size_t>(selection.length));
  clip->SetTitle(selected.substr(0, kMaxTitleFromText));
  host_.RefreshClipRow(clip);
  host_.SetHeaderText(clip->Title);
}

void TTextTransforms::mnuMag_LaunchURLClick() {
  const TextSelection selection = pane_.Selection();
  if (selection.length <= 0) return;
  const std::string text = pane_.Text();
  const auto start = std::min(static_cast<std::size_t>(std::max(selection.start, 0)), text.size());
  const auto length = std::min(static_cast<std::size_t>(selection.length), kMaxUrlLength);
  const std::string url = text.substr(start, length);
  if (!url.empty()) host_.OpenWithShell(url);
}

void TTextTransforms::mnuLaunchURLCloseEnoughClick() {
  host_.LeaveTopmost();
  if (!LaunchCloseEnoughURL(pane_.Text(), pane_.Selection().start)) host_.ErrorBox(kUrlNotDeterminedBox);
  host_.RestoreVisibility();
}

void TTextTransforms::LaunchasURL1Click() {
  host_.LeaveTopmost();
  const std::vector<TClipObj*> clips = host_.SelectedClips();
  if (clips.size() != 1) {
    host_.ErrorBox(kSelectOneClip);
  } else if (!clips.front()->HasFormat(cf::kText)) {
    host_.ErrorBox(kTextOnly);
  } else {
    std::string text;
    {
      TClipLock lock(*clips.front(), cf::kText);
      text = lock.Text();
    }
    const std::optional<std::int32_t> period = FirstPeriodPosition(text);
    if (!period || !LaunchCloseEnoughURL(text, *period)) host_.ErrorBox(kUrlNotDeterminedBox);
  }
  host_.RestoreVisibility();
}

bool TTextTransforms::LaunchCloseEnoughURL(std::string_view text, std::int32_t position) {
  const CloseEnoughUrl found = FindCloseEnoughURL(text, position);
  switch (found.result) {
    case UrlSearch::kFound:
      host_.ShowStatus(1, false, std::string(kUrlLaunching) + found.url);
      host_.OpenWithShell(found.url);
      return true;
    case UrlSearch::kNotFound:
      host_.ShowStatus(1, false, kUrlNotDetermined);
      return false;
    case UrlSearch::kError:
      break;
  }
  host_.ShowStatus(1, false, kUrlError);
  return false;
}

}  // namespace om
