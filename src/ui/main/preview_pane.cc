#include "ui/main/preview_pane.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <span>

#include "app/app_log.h"
#include "clipboard/clipboard.h"
#include "store/clip_lock.h"
#include "store/clip_obj.h"

namespace om {
namespace {

// The middle panel of the status bar describes the shown tab.
constexpr int kMiddlePanel = 1;

}  // namespace

TPreviewPane::TPreviewPane(IPreviewHost& host, IPreviewWidget& widget, IStatusBar& status, IMenus& menus,
                           TAppSettings& settings, IFileSystem& files, std::uint32_t rtf_format,
                           std::uint32_t html_format)
    : host_(host),
      widget_(widget),
      status_(status),
      menus_(menus),
      settings_(settings),
      files_(files),
      rtf_format_(rtf_format),
      html_format_(html_format) {
  txtMagnifyTextSelectionChange();
}

void TPreviewPane::ApplySettings() {
  widget_.SetWordWrap(settings_.WrapText);
  widget_.SetButtonDown(PreviewButton::kWordWrap, settings_.WrapText);
  widget_.SetTextFont(settings_.MagFont);
}

void TPreviewPane::SetPaneVisible(bool visible) {
  pane_visible_ = visible;
  host_.SetPreviewVisible(visible);
}

// --- Showing a clip ----------------------------------------------------------

void TPreviewPane::PreviewClip(TClipObj* clip) {
  if (clip != previewed_) {
    RescueEditing();
    if (remembered_case_ >= 0) case_index_ = remembered_case_;
  }
  previewed_ = clip;
  previewed_node_ = host_.SelectedNode();
}

void TPreviewPane::ForgetPreviewedClip() {
  previewed_ = nullptr;
  previewed_node_ = 0;
}

void TPreviewPane::UpdateMagView() {
  TClipObj* const clipboard_clip = host_.ClipboardClip();
  if (clipboard_clip == nullptr && !pinned_) {
    SetPaneVisible(false);
    status_.SetPanelText(kMiddlePanel, "");
    host_.UpdateCaptions();
    return;
  }
  if (!pinned_ && clipboard_clip != nullptr) host_.SetHeaderText(clipboard_clip->Title);
  if (host_.SelectedRowCount() == 1 || pinned_) {
    SetPaneVisible(true);
    if (!pinned_) {
      // Unpinned, the pane shows the clipboard clip. Where that changed
      // without the list's selection handler (a capture into a collection
      // the list does not show, say), the edits of the clip shown so far
      // are written back before the pane moves on.
      if (clipboard_clip != previewed_) PreviewClip(clipboard_clip);
      TClipObj* const clip = previewed_;
      const std::optional<PreviewTab> remembered = widget_.ActiveTab();
      widget_.SetTabVisible(PreviewTab::kText, ViewTEXT(true, clip));
      widget_.SetTabVisible(PreviewTab::kRtf, ViewRTF(false, clip));
      const bool bitmap = ViewBMP(true, clip);
      widget_.SetTabVisible(PreviewTab::kBitmap, bitmap);
      widget_.SetTabVisible(PreviewTab::kPicture, ViewPicture(false, clip));
      const bool html = ViewHTML(clip);
      widget_.SetTabVisible(PreviewTab::kHtml, html);
      if (html) widget_.SetHtmlCaption(clip->HasFormat(html_format_) ? "&HTML" : "TEXT as &HTML");
      std::vector<BinaryFormatEntry> formats;
      const bool displayable = ListBinaryFormats(*clip, formats);
      widget_.SetBinaryFormats(formats, formats.empty() ? -1 : 0);
      bool other_tab = false;
      for (PreviewTab tab : {PreviewTab::kText, PreviewTab::kRtf, PreviewTab::kBitmap, PreviewTab::kPicture,
                             PreviewTab::kHtml}) {
        other_tab = other_tab || widget_.TabVisible(tab);
      }
      const bool binary = displayable && (settings_.ShowBinary || !other_tab);
      widget_.SetTabVisible(PreviewTab::kBinary, binary);
      if (binary) cbBinaryDisplayFormatsChange();
      if (bitmap) DispBMP();
      // Back to the tab the user had, when the new clip has it.
      if (remembered && widget_.TabVisible(*remembered)) {
        widget_.SetActiveTab(*remembered);
      } else {
        for (int i = 0; i < kPreviewTabCount; ++i) {
          if (widget_.TabVisible(static_cast<PreviewTab>(i))) {
            widget_.SetActiveTab(static_cast<PreviewTab>(i));
            break;
          }
        }
      }
    }
    const std::optional<PreviewTab> active = widget_.ActiveTab();
    if (!active || (!pinned_ && !widget_.TabVisible(*active))) SetPaneVisible(false);
    if (pinned_) {
      // The pin blinks: the pane stays where it was.
      widget_.SetPinImage(pinimage::kBlink);
      host_.ArmPinBlinkTimer();
    }
    if (!pinned_ && pane_visible_) pcMagnifyChange();
  } else {
    SetPaneVisible(false);
  }
  // The traditional view's drop-down header takes the clip's text as its
  // tool-tip; that view comes with the window's views.
  host_.UpdateCaptions();
}

void TPreviewPane::PinBlinkTimer() {
  if (pinned_) widget_.SetPinImage(pinimage::kDown);
}

bool TPreviewPane::ViewTEXT(bool load, TClipObj* clip) {
  const bool has = clip != nullptr && clip->HasFormat(cf::kText);
  if (!has || !load) {
    widget_.SetText("");
  } else {
    std::string text;
    bool ok = false;
    try {
      TClipLock lock(*clip, cf::kText);
      ok = lock.Locked();
      text = lock.Text();
    } catch (const std::exception& error) {
      Log(loglevel::kError, "ViewTEXT", error.what());
    }
    widget_.SetText(ok ? text : kErrorText);
    widget_.SetModified(false);
  }
  const auto end = static_cast<std::int32_t>(widget_.Text().size());
  widget_.Select({end, 0});
  // The control does not report what is done to it from here: the buttons
  // that depend on the text follow it now.
  txtMagnifyTextSelectionChange();
  return has;
}

bool TPreviewPane::ViewRTF(bool load, TClipObj* clip) {
  const bool has = clip != nullptr && rtf_format_ != 0 && clip->HasFormat(rtf_format_);
  if (!has || !load) {
    widget_.SetRichTextPlain("");
    return has;
  }
  // The rich-text control reads its data from a file: the buffer beside the
  // collections, replaced each time.
  bool ok = false;
  try {
    const std::string path = host_.BufferFolder() + kRtfBufferName;
    bool written = false;
    {
      TClipLock lock(*clip, rtf_format_);
      if (lock.Locked()) {
        const std::string_view data = lock.Text();
        written = files_.WriteWholeFile(path, std::span(reinterpret_cast<const std::uint8_t*>(data.data()), data.size()),
                                        /*durable=*/false) == FsStatus::kOk;
      }
    }
    ok = written && widget_.LoadRichTextFile(path);
  } catch (const std::exception& error) {
    Log(loglevel::kError, "ViewRTF", error.what());
  }
  if (!ok) widget_.SetRichTextPlain(kErrorText);
  return has;
}

bool TPreviewPane::ViewBMP(bool load, TClipObj* clip) {
  const bool has = clip != nullptr && clip->HasFormat(cf::kBitmap);
  if (load) {
    const auto* bitmap = has ? dynamic_cast<const TBitmap*>(clip->GetObj(cf::kBitmap)) : nullptr;
    widget_.ShowBitmap(bitmap);
  }
  return has;
}

bool TPreviewPane::ViewPicture(bool load, TClipObj* clip) {
  const bool has = clip != nullptr && clip->HasFormat(cf::kMetafilePict);
  const auto* picture = has && load ? dynamic_cast<const TMetafile*>(clip->GetObj(cf::kMetafilePict)) : nullptr;
  widget_.ShowPicture(picture);
  return has;
}

bool TPreviewPane::ViewHTML(TClipObj* clip) {
  if (html_ == nullptr || clip == nullptr) return false;
  return (html_format_ != 0 && clip->HasFormat(html_format_)) || clip->HasFormat(cf::kText);
}

bool TPreviewPane::ListBinaryFormats(TClipObj& clip, std::vector<BinaryFormatEntry>& entries) {
  entries.clear();
  bool displayable = false;
  const std::int32_t count = clip.GetFormatCount();
  for (std::int32_t i = 0; i < count; ++i) {
    BinaryFormatEntry entry{clip.GetFormatName(i), 0};
    const std::int32_t number = clip.GetFormatNum(i);
    // Bitmaps and metafiles are held as pictures, not as bytes.
    if (number == static_cast<std::int32_t>(cf::kBitmap) || number == static_cast<std::int32_t>(cf::kMetafilePict) ||
        number == static_cast<std::int32_t>(cf::kDib)) {
      entry.caption += " (Not Displayable)";
    } else if (number > 0) {
      entry.format = static_cast<std::uint32_t>(number);
    }
    displayable = displayable || entry.format != 0;
    entries.push_back(std::move(entry));
  }
  return displayable;
}

void TPreviewPane::cbBinaryDisplayFormatsChange() {
  const std::optional<std::uint32_t> format = widget_.SelectedBinaryFormat();
  binary_buffer_.clear();
  if (previewed_ != nullptr && format && *format > 0) {
    try {
      TClipLock lock(*previewed_, *format);
      const auto bytes = lock.Bytes();
      binary_buffer_.assign(bytes.begin(), bytes.end());
    } catch (const std::exception& error) {
      Log(loglevel::kError, "cbBinaryDisplayFormatsChange", error.what());
      binary_buffer_.clear();
    }
  }
  widget_.ShowBinary(binary_buffer_.data(), binary_buffer_.size());
}

void TPreviewPane::FreeBinaryBuffer() {
  binary_buffer_.clear();
  binary_buffer_.shrink_to_fit();
  widget_.ShowBinary(nullptr, 0);
}

void TPreviewPane::DispBMP() {
  const auto* bitmap =
      previewed_ != nullptr ? dynamic_cast<const TBitmap*>(previewed_->GetObj(cf::kBitmap)) : nullptr;
  const std::int32_t width = bitmap != nullptr ? bitmap->Width() : 0;
  const std::int32_t height = bitmap != nullptr ? std::abs(bitmap->Height()) : 0;
  widget_.SetBitmapSizeText(std::to_string(width) + "x" + std::to_string(height));
  widget_.SetBitmapStretch(widget_.BitmapStretch());
}

void TPreviewPane::cb_MagBitmapStretchClick() { DispBMP(); }

void TPreviewPane::imgMagnifyBitmapDblClick() {
  widget_.SetBitmapStretch(!widget_.BitmapStretch());
  DispBMP();
}

void TPreviewPane::imgMagnifyPictureDblClick() { widget_.SetPictureStretch(!widget_.PictureStretch()); }

void TPreviewPane::pcMagnifyChange() {
  widget_.FixPageControl();
  const std::optional<PreviewTab> active = widget_.ActiveTab();
  std::string panel;
  if (previewed_ != nullptr && active) {
    switch (*active) {
      case PreviewTab::kText:
        panel = std::to_string(widget_.Text().size()) + " Bytes";
        break;
      case PreviewTab::kRtf:
        ViewRTF(true, previewed_);
        panel = std::to_string(widget_.RichTextLength()) + " Bytes";
        break;
      case PreviewTab::kBitmap: {
        const auto* bitmap = dynamic_cast<const TBitmap*>(previewed_->GetObj(cf::kBitmap));
        char text[64];
        std::snprintf(text, sizeof text, "%d x %d Pixels", bitmap != nullptr ? bitmap->Width() : 0,
                      bitmap != nullptr ? std::abs(bitmap->Height()) : 0);
        panel = text;
        break;
      }
      case PreviewTab::kPicture:
        ViewPicture(true, previewed_);
        break;
      case PreviewTab::kHtml:
        if (html_ != nullptr) html_->Display(*previewed_);
        panel = html_format_ != 0 && previewed_->HasFormat(html_format_) ? "Actual HTML" : "TEXT as HTML";
        break;
      case PreviewTab::kBinary:
        break;
    }
  }
  status_.SetPanelText(kMiddlePanel, panel);
}

// --- Writing edits back ------------------------------------------------------

void TPreviewPane::RescueEditing() {
  if (!widget_.TabVisible(PreviewTab::kText) || !widget_.Modified() || previewed_ == nullptr) return;
  TClipObj& clip = *previewed_;
  try {
    std::int32_t text_index = -1;
    if (!clip.HasFormat(cf::kText, text_index)) return;
    const std::string text = widget_.Text();
    // Clearing the pane, or leaving only a line break, is not an edit the
    // clip takes.
    if (text.empty() || text == "\r\n") return;
    // Everything that can fail (reading a stored-apart clip's data file)
    // happens before the clip changes, so a failed write-back leaves it as
    // it was.
    if (!clip.Online && clip.StoredApart) clip.Load();
    clip.NukeNonText();
    clip.PutText(text, text_index);
    HideNonTextTabs();
    host_.RefreshClipRow(&clip);
    widget_.SetModified(false);
    ++settings_.Edits;
    Log(loglevel::kData, "TfrmQL.RescueEditing", "Item #" + std::to_string(clip.SerialNbr) + " Edited");
    host_.ShowStatus(1, false, "Editing Changed Recorded");
  } catch (const std::exception& error) {
    Log(loglevel::kError, "RescueEditing", "Edit Failed!");
    Log(loglevel::kError, "RescueEditing", error.what());
    host_.ShowStatus(1, false, "Edit Failed!");
  }
}

void TPreviewPane::HideNonTextTabs() {
  widget_.SetTabVisible(PreviewTab::kRtf, false);
  widget_.SetTabVisible(PreviewTab::kBitmap, false);
  widget_.SetTabVisible(PreviewTab::kPicture, false);
}

// --- The pin -----------------------------------------------------------------

void TPreviewPane::cmdMag_PinClick(bool down) {
  pinned_ = down;
  widget_.SetButtonDown(PreviewButton::kPin, down);
  if (down) {
    widget_.SetPinImage(pinimage::kDown);
    previewed_node_ = host_.SelectedNode();
    return;
  }
  RescueEditing();
  TClipObj* const clip = previewed_;
  if (previewed_node_ != 0 && host_.SelectedNode() != previewed_node_) {
    host_.SelectNode(previewed_node_);
    host_.ProcessMessages();
  }
  widget_.SetPinImage(pinimage::kUp);
  if (clip == nullptr) return;
  host_.SelectClipRow(clip);
  host_.ProcessMessages();
}

void TPreviewPane::Unpin() {
  pinned_ = false;
  widget_.SetButtonDown(PreviewButton::kPin, false);
  widget_.SetPinImage(pinimage::kUp);
}

// --- The text pane -----------------------------------------------------------

void TPreviewPane::cmdMag_WordWrapClick(bool down) {
  settings_.WrapText = down;
  widget_.SetWordWrap(down);
  widget_.SetButtonDown(PreviewButton::kWordWrap, down);
}

void TPreviewPane::cmdMagFontClick() {
  if (std::optional<TFontDesc> chosen = widget_.ChooseFont(settings_.MagFont)) settings_.MagFont = *chosen;
  widget_.SetTextFont(settings_.MagFont);
}

void TPreviewPane::cmdMag_CutClick() { widget_.CutToClipboard(); }
void TPreviewPane::cmdMag_CopyClick() { widget_.CopyToClipboard(); }
void TPreviewPane::cmdMag_PasteClick() { widget_.PasteFromClipboard(); }

void TPreviewPane::cmdMag_NewClipClick() { host_.NewClip(); }

void TPreviewPane::txtMagnifyTextSelectionChange() {
  const bool lines = widget_.LineCount() >= 1;
  for (PreviewButton button :
       {PreviewButton::kCase, PreviewButton::kShiftLeft, PreviewButton::kShiftRight, PreviewButton::kRemoveCRLF}) {
    widget_.SetButtonEnabled(button, lines);
  }
  widget_.SetMainLineBreakButtonEnabled(lines);
  const bool selected = widget_.Selection().length > 0;
  widget_.SetButtonEnabled(PreviewButton::kCopy, selected);
  widget_.SetButtonEnabled(PreviewButton::kCut, selected);
  widget_.SetTextMenuEnabled(TextMenuItem::kCopy, selected);
  widget_.SetTextMenuEnabled(TextMenuItem::kCut, selected);
  widget_.SetTextMenuEnabled(TextMenuItem::kMakeTitle, selected);
  widget_.SetTextMenuEnabled(TextMenuItem::kLaunchUrlExact, selected);
  widget_.SetTextMenuEnabled(TextMenuItem::kUndo, widget_.CanUndo());
}

void TPreviewPane::txtMagnifyTextChange() { txtMagnifyTextSelectionChange(); }

bool TPreviewPane::txtMagnifyTextDragOver() {
  // The window asks only for drags of rows from the clip list; a pane that
  // shows no clip has nothing to take them into.
  return previewed_ != nullptr && widget_.TabVisible(PreviewTab::kText);
}

void TPreviewPane::txtMagnifyTextDragDrop(std::int32_t caret) {
  host_.ShowStatus(1, false, "Dropped...");
  const std::string before_drop = widget_.Text();
  const std::size_t at = std::min(static_cast<std::size_t>(std::max(caret, 0)), before_drop.size());
  const bool at_end = at == before_drop.size();
  std::string dropped;
  for (TClipObj* clip : host_.SelectedClips()) {
    if (!clip->HasFormat(cf::kText)) continue;
    try {
      TClipLock lock(*clip, cf::kText);
      if (!lock.Locked()) continue;
      dropped += lock.Text();
    } catch (const std::exception& error) {
      Log(loglevel::kError, "txtMagnifyTextDragDrop", error.what());
      continue;
    }
    host_.DeselectClipRow(clip);
  }
  const std::string text = before_drop.substr(0, at) + dropped + before_drop.substr(at);
  widget_.SetText(text);
  widget_.SetModified(true);
  const auto caret_after = static_cast<std::int32_t>(at_end ? text.size() : at);
  widget_.Select({caret_after, 0});
  host_.ReselectFocusedRow();
  txtMagnifyTextSelectionChange();
}

void TPreviewPane::cmdMag_SizeWindowClick(bool down) { SetExpanded(down); }

void TPreviewPane::mnuSizePreviewWindowClick() { SetExpanded(!expanded_); }

void TPreviewPane::SetExpanded(bool expanded) {
  // Only the explorer view has a tree and list to shrink; the traditional
  // view comes with the window's views.
  expanded_ = expanded;
  widget_.SetButtonDown(PreviewButton::kSizeWindow, expanded);
  menus_.SetChecked(MenuItem::kExpandPreview, expanded);
  widget_.SetPreviewExpanded(expanded);
}

// --- Passed on to the transform commands ------------------------------------

void TPreviewPane::cmdMag_ShiftLeftClick() {
  if (transforms_ != nullptr) transforms_->cmdMag_ShiftLeftClick();
}
void TPreviewPane::cmdMag_ShiftRightClick() {
  if (transforms_ != nullptr) transforms_->cmdMag_ShiftRightClick();
}
void TPreviewPane::cmdMag_RemoveCRLFClick() {
  if (transforms_ != nullptr) transforms_->cmdMag_RemoveCRLFClick();
}
void TPreviewPane::cmdMag_CaseClick() {
  if (transforms_ != nullptr) transforms_->cmdMag_CaseClick();
}
void TPreviewPane::mnuMagCaseClick(int case_index) {
  if (transforms_ != nullptr) transforms_->mnuMagCaseClick(case_index);
}
void TPreviewPane::mnuMag_UndoClick() {
  if (transforms_ != nullptr) transforms_->mnuMag_UndoClick();
}
void TPreviewPane::mnuMag_MakeTitleClick() {
  if (transforms_ != nullptr) transforms_->mnuMag_MakeTitleClick();
}
void TPreviewPane::mnuMag_LaunchURLClick() {
  if (transforms_ != nullptr) transforms_->mnuMag_LaunchURLClick();
}
void TPreviewPane::mnuLaunchURLCloseEnoughClick() {
  if (transforms_ != nullptr) transforms_->mnuLaunchURLCloseEnoughClick();
}

}  // namespace om
