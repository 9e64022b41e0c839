// The preview pane PCMagnify as its behaviour (TPreviewPane, and the text
// transforms that work on its text pane) sees it: six tabs, the text pane
// with the pane tool bar ToolBar2 above it, the rich-text pane, the bitmap
// and picture images, the binary format list with its hex dump, and the
// HTML preview window's place. The Win32 layer implements it over the real
// controls, the tests over a fake that records what it was told.
//
// As with the other widgets (widgets.h), nothing the behaviour calls here is
// reported back as an event; only the user's own actions are
// (IPreviewEvents).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/font_desc.h"
#include "clipboard/graphics.h"

namespace om {

// The tabs in their order on the pane. A hidden tab keeps its place: shown
// again, it comes back where it was.
enum class PreviewTab { kText, kRtf, kBitmap, kPicture, kHtml, kBinary };
inline constexpr int kPreviewTabCount = 6;

// The buttons of the pane tool bar ToolBar2 whose state the behaviour sets.
enum class PreviewButton {
  kPin,          // cmdMag_Pin (check)
  kWordWrap,     // cmdMag_WordWrap (check)
  kSizeWindow,   // cmdMag_SizeWindow (check): expand the preview
  kFont,         // cmdMagFont
  kNewClip,      // cmdMag_NewClip
  kCut,          // cmdMag_Cut
  kCopy,         // cmdMag_Copy
  kPaste,        // cmdMag_Paste
  kShiftLeft,    // cmdMag_ShiftLeft
  kShiftRight,   // cmdMag_ShiftRight
  kRemoveCRLF,   // cmdMag_RemoveCRLF
  kCase,         // cmdMag_Case (its drop-down: the four case conversions)
};

// The pin button's images: up, down, and the blink while pinned.
namespace pinimage {
constexpr int kUp = 0;
constexpr int kDown = 1;
constexpr int kBlink = 2;
}  // namespace pinimage

// The entries of the text pane's context menu whose state the behaviour
// sets (Cut, Copy and Paste follow the buttons of the same name).
enum class TextMenuItem { kUndo, kCut, kCopy, kPaste, kMakeTitle, kLaunchUrlExact, kLaunchUrlSmart };

// A selection in the text pane: zero-based character offset and length.
struct TextSelection {
  std::int32_t start = 0;
  std::int32_t length = 0;
  bool operator==(const TextSelection&) const = default;
};

// An entry of the binary format list cbBinaryDisplayFormats: its caption
// and the format number it shows (0: not displayable).
struct BinaryFormatEntry {
  std::string caption;
  std::uint32_t format = 0;
  bool operator==(const BinaryFormatEntry&) const = default;
};

class IPreviewWidget {
 public:
  virtual ~IPreviewWidget() = default;

  // --- The tabs --------------------------------------------------------
  virtual void SetTabVisible(PreviewTab tab, bool visible) = 0;
  virtual bool TabVisible(PreviewTab tab) const = 0;
  // nullopt while no tab is active (every tab hidden).
  virtual std::optional<PreviewTab> ActiveTab() const = 0;
  // Activates a visible tab; a hidden one is ignored.
  virtual void SetActiveTab(PreviewTab tab) = 0;
  // The Html tab's caption: "&HTML" or "TEXT as &HTML".
  virtual void SetHtmlCaption(std::string_view caption) = 0;
  // FixPageControl: the active tab's content re-aligned to fill its tab
  // (on the Html tab, the HTML window placed inside with a 2-pixel margin
  // and shown).
  virtual void FixPageControl() = 0;

  // --- The text pane txtMagnifyText (plain text, 8-bit) -----------------
  // Replaces the text; clears the modified flag and the undo buffer.
  virtual void SetText(std::string_view text) = 0;
  virtual std::string Text() const = 0;
  // Lines as the control counts them (0 for an empty pane).
  virtual int LineCount() const = 0;
  virtual bool Modified() const = 0;
  virtual void SetModified(bool modified) = 0;
  virtual TextSelection Selection() const = 0;
  // Selects `length` characters from `start` (0: puts the caret there) and
  // scrolls it into view.
  virtual void Select(TextSelection selection) = 0;
  // The keyboard goes to the text pane (for typing into a new clip).
  virtual void FocusText() = 0;
  virtual void SetWordWrap(bool wrap) = 0;
  virtual void SetTextFont(const TFontDesc& font) = 0;
  virtual bool CanUndo() const = 0;
  virtual void Undo() = 0;
  virtual void EmptyUndoBuffer() = 0;
  // The control's own clipboard operations.
  virtual void CutToClipboard() = 0;
  virtual void CopyToClipboard() = 0;
  virtual void PasteFromClipboard() = 0;

  // --- The rich-text pane txtMagnifyRTF ----------------------------------
  // Loads a rich-text file into the pane (out of plain-text mode), caret at
  // the start. False when the file could not be read or parsed; the pane
  // is then empty.
  virtual bool LoadRichTextFile(std::string_view path) = 0;
  // Shows `text` as plain text (an error message); "" empties the pane.
  virtual void SetRichTextPlain(std::string_view text) = 0;
  // The length of the pane's text in characters.
  virtual int RichTextLength() const = 0;

  // --- The Bitmap tab ------------------------------------------------------
  // nullptr empties the image. The widget copies what it needs.
  virtual void ShowBitmap(const TBitmap* bitmap) = 0;
  // "&Stretch?": on, the image fills the box and a bitmap larger than the
  // box is shrunk to it; off, the bitmap at its own size with scroll bars.
  virtual void SetBitmapStretch(bool stretch) = 0;
  virtual bool BitmapStretch() const = 0;
  // The size panel beside the check box.
  virtual void SetBitmapSizeText(std::string_view text) = 0;

  // --- The Picture tab -----------------------------------------------------
  // nullptr empties the image. Centred and stretched to the tab, or at its
  // own size while stretching is toggled off (double-click).
  virtual void ShowPicture(const TMetafile* picture) = 0;
  virtual void SetPictureStretch(bool stretch) = 0;
  virtual bool PictureStretch() const = 0;

  // --- The Binary tab ------------------------------------------------------
  // Fills cbBinaryDisplayFormats and selects entry `selected` (-1: none).
  virtual void SetBinaryFormats(const std::vector<BinaryFormatEntry>& entries, int selected) = 0;
  // The selected entry's format number; nullopt when nothing is selected.
  virtual std::optional<std::uint32_t> SelectedBinaryFormat() const = 0;
  // The hex dump shows `size` bytes from `data` from its first line. The
  // bytes stay the caller's and must live until the next call (the pane
  // owns the binary buffer).
  virtual void ShowBinary(const std::uint8_t* data, std::size_t size) = 0;

  // --- The pane tool bar ToolBar2 -------------------------------------------
  virtual void SetButtonEnabled(PreviewButton button, bool enabled) = 0;
  // Check buttons: pressed or not.
  virtual void SetButtonDown(PreviewButton button, bool down) = 0;
  virtual void SetPinImage(int image) = 0;
  // The text pane's context menu.
  virtual void SetTextMenuEnabled(TextMenuItem item, bool enabled) = 0;
  // The main tool bar's line-break button cmdMainToolbarNOCRLF follows the
  // pane's.
  virtual void SetMainLineBreakButtonEnabled(bool enabled) = 0;

  // --- The window around the pane -------------------------------------------
  // The font dialog, starting at `font`; nullopt when it was cancelled.
  virtual std::optional<TFontDesc> ChooseFont(const TFontDesc& font) = 0;
  // Expand preview: the list's height and the tree's width 1 pixel (the
  // pane fills the window), or back to split2 and split1.
  virtual void SetPreviewExpanded(bool expanded) = 0;
};

// What the pane reports: the user's actions, one call each.
class IPreviewEvents {
 public:
  virtual ~IPreviewEvents() = default;
  // The user chose another tab.
  virtual void pcMagnifyChange() = 0;
  // The text pane's selection (or text) changed.
  virtual void txtMagnifyTextSelectionChange() = 0;
  // The user typed into the text pane (the control's modified flag is set).
  virtual void txtMagnifyTextChange() = 0;
  // An in-program drag of rows from the clip list is over the text pane:
  // true accepts it.
  virtual bool txtMagnifyTextDragOver() = 0;
  // Those rows were dropped on the text pane, the caret at `caret`.
  virtual void txtMagnifyTextDragDrop(std::int32_t caret) = 0;
  // The pane tool bar's buttons; check buttons report their new state.
  virtual void cmdMag_PinClick(bool down) = 0;
  virtual void cmdMag_WordWrapClick(bool down) = 0;
  virtual void cmdMag_SizeWindowClick(bool down) = 0;
  virtual void cmdMagFontClick() = 0;
  virtual void cmdMag_NewClipClick() = 0;
  virtual void cmdMag_CutClick() = 0;
  virtual void cmdMag_CopyClick() = 0;
  virtual void cmdMag_PasteClick() = 0;
  virtual void cmdMag_ShiftLeftClick() = 0;
  virtual void cmdMag_ShiftRightClick() = 0;
  virtual void cmdMag_RemoveCRLFClick() = 0;
  // A click on the case button itself (not its arrow).
  virtual void cmdMag_CaseClick() = 0;
  // The case button's drop-down: 0 lower, 1 upper, 2 mixed, 3 sentence.
  virtual void mnuMagCaseClick(int case_index) = 0;
  // The text pane's context menu.
  virtual void mnuMag_UndoClick() = 0;
  virtual void mnuMag_MakeTitleClick() = 0;
  virtual void mnuMag_LaunchURLClick() = 0;
  virtual void mnuLaunchURLCloseEnoughClick() = 0;
  // The Binary tab's format list.
  virtual void cbBinaryDisplayFormatsChange() = 0;
  // "&Stretch?" was clicked (its new state is BitmapStretch()).
  virtual void cb_MagBitmapStretchClick() = 0;
  virtual void imgMagnifyBitmapDblClick() = 0;
  virtual void imgMagnifyPictureDblClick() = 0;
};

}  // namespace om
