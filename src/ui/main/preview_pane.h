// TPreviewPane: the tabbed pane PCMagnify below the clip list. It shows the
// previewed clip in each of its forms (plain text, rich text, bitmap,
// metafile picture, HTML, the bytes of any format), writes edits of the
// plain text back into the clip (RescueEditing), and can be pinned to one
// clip while the user works in the list.
//
// Normally the previewed clip is the clipboard clip; while the pane is
// pinned they differ. The pane keeps the previewed clip, the tree node it
// was previewed from, the pin, the binary buffer the hex dump shows and the
// case button's index (which the text transforms set and read).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/app_settings.h"
#include "platform/file_system.h"
#include "platform/types.h"
#include "ui/main/preview_widget.h"
#include "ui/main/tree_widget.h"
#include "ui/main/widgets.h"

namespace om {

class TClipObj;

// The HTML preview window (TfrmWebBrowser) as the pane uses it.
class IHtmlPreview {
 public:
  virtual ~IHtmlPreview() = default;
  // Shows the clip's "HTML Format", or its plain text as HTML.
  virtual void Display(TClipObj& clip) = 0;
};

// The text transforms behind the pane's transform buttons and its text
// menu (TTextTransforms): the pane passes these on.
class IPaneTransformCommands {
 public:
  virtual ~IPaneTransformCommands() = default;
  virtual void cmdMag_ShiftLeftClick() = 0;
  virtual void cmdMag_ShiftRightClick() = 0;
  virtual void cmdMag_RemoveCRLFClick() = 0;
  virtual void cmdMag_CaseClick() = 0;
  virtual void mnuMagCaseClick(int case_index) = 0;
  virtual void mnuMag_UndoClick() = 0;
  virtual void mnuMag_MakeTitleClick() = 0;
  virtual void mnuMag_LaunchURLClick() = 0;
  virtual void mnuLaunchURLCloseEnoughClick() = 0;
};

// What the pane needs of the rest of the main window.
class IPreviewHost {
 public:
  virtual ~IPreviewHost() = default;
  virtual TClipObj* ClipboardClip() const = 0;
  virtual void ShowStatus(int level, bool busy, std::string_view text) = 0;
  // How many rows the clip list has selected.
  virtual int SelectedRowCount() const = 0;
  // The clip's row is drawn again (its caption shows the clip's title).
  virtual void RefreshClipRow(const TClipObj* clip) = 0;
  // The title header's first section (tag 1) shows `text`.
  virtual void SetHeaderText(std::string_view text) = 0;
  virtual void SetPreviewVisible(bool visible) = 0;
  virtual void UpdateCaptions() = 0;
  // The tree's selected node, and selecting one (which shows its
  // collection).
  virtual TreeNode SelectedNode() const = 0;
  virtual void SelectNode(TreeNode node) = 0;
  // The clip's row becomes the list's only selected and focused row, as if
  // the user had clicked it (so the clip goes on the clipboard), and is
  // scrolled into view. Nothing when the list does not show the clip.
  virtual void SelectClipRow(TClipObj* clip) = 0;
  // The selected rows' clips from the top of the list.
  virtual std::vector<TClipObj*> SelectedClips() const = 0;
  // Deselects the clip's row, without reporting it.
  virtual void DeselectClipRow(const TClipObj* clip) = 0;
  // The focused row becomes selected again, without reporting it.
  virtual void ReselectFocusedRow() = 0;
  // Lets pending messages run (the window catches up with a selection).
  virtual void ProcessMessages() = 0;
  // Arms Timer1 with the pin blink's tag; when it fires the host calls
  // PinBlinkTimer.
  virtual void ArmPinBlinkTimer() = 0;
  // The folder of the first data source, with a trailing backslash: where
  // the rich-text and HTML buffers are written.
  virtual std::string BufferFolder() const = 0;
  // cmdMag_NewClip: a new, empty clip in the shown collection.
  virtual void NewClip() = 0;
};

class TPreviewPane final : public IPreviewEvents {
 public:
  static constexpr char kErrorText[] = "Error - Could Not Retrieve Item.";
  static constexpr char kRtfBufferName[] = "RTFBuffer.RTF";
  static constexpr int kPinBlinkMs = 250;

  // `rtf_format` and `html_format`: the numbers of the registered formats
  // "Rich Text Format" and "HTML Format".
  TPreviewPane(IPreviewHost& host, IPreviewWidget& widget, IStatusBar& status, IMenus& menus,
               TAppSettings& settings, IFileSystem& files, std::uint32_t rtf_format, std::uint32_t html_format);
  TPreviewPane(const TPreviewPane&) = delete;
  TPreviewPane& operator=(const TPreviewPane&) = delete;

  // --- Showing a clip ---------------------------------------------------
  // Shows the current clip in the pane: called after every selection
  // change, capture, transform and save.
  void UpdateMagView();
  // The clip list made `clip` the previewed one (a single row selected,
  // the pane not pinned): pending edits of the clip shown until now are
  // written back first, and the case button is set back to the conversion
  // its last click applied.
  void PreviewClip(TClipObj* clip);
  // Forgets the previewed clip (several rows selected, another collection,
  // the clip about to go). Pending edits are not written back.
  void ForgetPreviewedClip();
  TClipObj* PreviewedClip() const { return previewed_; }
  bool Pinned() const { return pinned_; }
  // Releases the pin (sequential paste, deleting clips): button up,
  // image 0, nothing selected again.
  void Unpin();
  // The HTML preview window, once it exists (nullptr: not available).
  void SetHtmlPreview(IHtmlPreview* html) { html_ = html; }
  bool HtmlViewerAvailable() const { return html_ != nullptr; }
  // Timer1 came with the pin blink's tag.
  void PinBlinkTimer();
  // Applies the settings the pane shows (word wrap, font): at start-up and
  // after the settings dialog.
  void ApplySettings();
  // Frees the binary buffer (shutdown).
  void FreeBinaryBuffer();

  // Writes pending text edits back into the previewed clip: before the
  // selection moves, before transforms, before saving and when the program
  // is deactivated.
  void RescueEditing();

  // --- The viewer routines: whether the clip has the form; with `load`
  // the tab's control is filled --------------------------------------------
  bool ViewTEXT(bool load, TClipObj* clip);
  bool ViewRTF(bool load, TClipObj* clip);
  bool ViewBMP(bool load, TClipObj* clip);
  bool ViewPicture(bool load, TClipObj* clip);
  bool ViewHTML(TClipObj* clip);
  // The clip's formats for the Binary tab, in clip order; pictures are
  // listed as " (Not Displayable)" with format 0. True when any entry can
  // be shown.
  static bool ListBinaryFormats(TClipObj& clip, std::vector<BinaryFormatEntry>& entries);
  void DispBMP();

  // --- The case button (the text transforms set and read it) ------------
  // The conversion the case button's next plain click applies: 0 lower,
  // 1 upper, 2 mixed, 3 sentence; 4 and 5 (after removing line breaks or
  // stripping non-text formats) apply nothing.
  int CaseIndex() const { return case_index_; }
  void SetCaseIndex(int index) { case_index_ = index; }
  // The conversion the last click applied: a newly previewed clip's case
  // button starts there.
  void RememberCaseClick(int index) { remembered_case_ = index; }

  // Shows the Text tab (after a transform) and hides the forms a rewritten
  // text no longer matches: Rich Text, Bitmap and Picture.
  void HideNonTextTabs();
  const Bytes& BinaryBuffer() const { return binary_buffer_; }
  bool Expanded() const { return expanded_; }
  // View menu "Expand Preview Window".
  void mnuSizePreviewWindowClick();

  // --- IPreviewEvents -------------------------------------------------------
  void pcMagnifyChange() override;
  void txtMagnifyTextSelectionChange() override;
  void txtMagnifyTextChange() override;
  bool txtMagnifyTextDragOver() override;
  void txtMagnifyTextDragDrop(std::int32_t caret) override;
  void cmdMag_PinClick(bool down) override;
  void cmdMag_WordWrapClick(bool down) override;
  void cmdMag_SizeWindowClick(bool down) override;
  void cmdMagFontClick() override;
  void cmdMag_NewClipClick() override;
  void cmdMag_CutClick() override;
  void cmdMag_CopyClick() override;
  void cmdMag_PasteClick() override;
  // The transforms' buttons and menus are the transform commands' own; the
  // pane passes them on.
  void cmdMag_ShiftLeftClick() override;
  void cmdMag_ShiftRightClick() override;
  void cmdMag_RemoveCRLFClick() override;
  void cmdMag_CaseClick() override;
  void mnuMagCaseClick(int case_index) override;
  void mnuMag_UndoClick() override;
  void mnuMag_MakeTitleClick() override;
  void mnuMag_LaunchURLClick() override;
  void mnuLaunchURLCloseEnoughClick() override;
  void cbBinaryDisplayFormatsChange() override;
  void cb_MagBitmapStretchClick() override;
  void imgMagnifyBitmapDblClick() override;
  void imgMagnifyPictureDblClick() override;

  // Where the transform commands receive the pane's buttons and menus.
  void SetTransformCommands(IPaneTransformCommands* transforms) { transforms_ = transforms; }

 private:
  void SetPaneVisible(bool visible);
  void SetExpanded(bool expanded);

  IPreviewHost& host_;
  IPreviewWidget& widget_;
  IStatusBar& status_;
  IMenus& menus_;
  TAppSettings& settings_;
  IFileSystem& files_;
  const std::uint32_t rtf_format_;
  const std::uint32_t html_format_;
  IHtmlPreview* html_ = nullptr;
  IPaneTransformCommands* transforms_ = nullptr;

  TClipObj* previewed_ = nullptr;
  // The tree's selected node when the pane was pinned.
  TreeNode previewed_node_ = 0;
  bool pinned_ = false;
  bool pane_visible_ = false;
  bool expanded_ = false;
  Bytes binary_buffer_;
  int case_index_ = 0;
  int remembered_case_ = -1;
};

}  // namespace om
