// The preview pane PCMagnify over real controls: a tab control with the six
// tabs, each tab a page window of its own. The Text page holds the pane
// tool bar ToolBar2 above the rich-edit control txtMagnifyText (plain-text
// mode), the Rich Text page the rich-edit control txtMagnifyRTF, the Bitmap
// page the "&Stretch?" box, the size panel and the bitmap's view, the
// Picture page the metafile picture's view, the Html page the place of the
// HTML preview window, the Binary page the format list
// cbBinaryDisplayFormats above the hex dump.
//
// The pane reports the user's actions to the behaviour through its host
// (the main window); what the behaviour sets through IPreviewWidget is not
// reported back.
//
// Offsets in the text pane: the rich-edit control counts a line break as
// one character (a paragraph mark), while the text the pane takes and gives
// (SetText, Text) has CR LF line breaks. Every offset this class takes or
// gives (Selection, Select, CaretAt) is an offset into that CR LF text.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/handles.h"
#include "ui/components/win32/hex_dump_control.h"
#include "ui/components/win32/picture_view.h"
#include "ui/components/win32/ui_handles.h"
#include "ui/main/preview_widget.h"
#include "ui/main/win32/rich_edit_text.h"

namespace om::win32 {

// What the pane needs of the window around it.
class PreviewPaneHost {
 public:
  virtual ~PreviewPaneHost() = default;
  // Where the user's actions go; nullptr while nobody listens.
  virtual IPreviewEvents* PaneEvents() = 0;
  // Expand preview: the clip list's height and the tree's width become one
  // pixel (the pane fills the window), or go back to their sizes.
  virtual void ExpandPane(bool expanded) = 0;
  // The main tool bar's line-break button.
  virtual void EnableMainLineBreakButton(bool enabled) = 0;
};


class PreviewPaneWidget final : public IPreviewWidget {
 public:
  // ToolBar2's command identifiers, in button order (WM_COMMAND from the
  // tool bar); kCaseButtonId has the drop-down of the four conversions.
  static constexpr int kPinButtonId = 3001;
  static constexpr int kWordWrapButtonId = 3002;
  static constexpr int kSizeWindowButtonId = 3003;
  static constexpr int kFontButtonId = 3004;
  static constexpr int kNewClipButtonId = 3005;
  static constexpr int kCutButtonId = 3006;
  static constexpr int kCopyButtonId = 3007;
  static constexpr int kPasteButtonId = 3008;
  static constexpr int kShiftLeftButtonId = 3009;
  static constexpr int kShiftRightButtonId = 3010;
  static constexpr int kRemoveCrLfButtonId = 3011;
  static constexpr int kCaseButtonId = 3012;
  // The command identifier of a button.
  static int ButtonId(PreviewButton button);
  // The tool-tip of a button's command identifier; "" for none of them.
  static const char* ButtonTip(int id);

  // Creates the pane, hidden, as a child of `parent`. `tab_images` are the
  // clip-type images (ilClips; not owned, they must outlive the pane).
  PreviewPaneWidget(HWND parent, int control_id, HIMAGELIST tab_images, PreviewPaneHost& host);
  ~PreviewPaneWidget() override;
  PreviewPaneWidget(const PreviewPaneWidget&) = delete;
  PreviewPaneWidget& operator=(const PreviewPaneWidget&) = delete;

  HWND hwnd() const { return hwnd_; }
  // The controls, for the main window and the Win32 tests.
  HWND tabs() const { return tabs_; }
  HWND page(PreviewTab tab) const { return pages_[Index(tab)]; }
  HWND tool_bar() const { return tool_bar_; }
  HWND text_edit() const { return text_; }
  HWND rich_edit() const { return rich_; }
  HWND stretch_box() const { return stretch_box_; }
  HWND size_panel() const { return size_panel_; }
  HWND binary_formats() const { return binary_formats_; }
  // The views of the Bitmap, Picture and Binary tabs (nullptr when the
  // pane could not be made).
  PictureView* bitmap_view() const { return bitmap_view_.get(); }
  PictureView* picture_view() const { return picture_view_.get(); }
  HexDumpControl* hex_dump() const { return hex_dump_.get(); }
  // The pop-up menu on screen (the text pane's or the case button's), while
  // it is up; nullptr otherwise.
  HMENU shown_menu() const { return shown_menu_; }

  // The Html tab's page, the parent of the HTML preview window.
  HWND HtmlPage() const { return page(PreviewTab::kHtml); }
  // The HTML preview window (nullptr: none): made a child of the Html page,
  // and placed by FixPageControl with a 2-pixel margin. Not owned.
  void SetHtmlWindow(HWND window);
  HWND html_window() const { return html_window_; }

  // For the in-program drag of list rows: whether the screen point is over
  // the text pane (as shown), and the caret offset (CR LF text) for it.
  bool TextPaneContains(POINT screen) const;
  std::int32_t CaretAt(POINT screen) const;

  // --- IPreviewWidget ---
  void SetTabVisible(PreviewTab tab, bool visible) override;
  bool TabVisible(PreviewTab tab) const override { return visible_[Index(tab)]; }
  std::optional<PreviewTab> ActiveTab() const override { return active_; }
  void SetActiveTab(PreviewTab tab) override;
  void SetHtmlCaption(std::string_view caption) override;
  void FixPageControl() override;

  void SetText(std::string_view text) override;
  std::string Text() const override;
  int LineCount() const override;
  bool Modified() const override;
  void SetModified(bool modified) override;
  TextSelection Selection() const override;
  void Select(TextSelection selection) override;
  void FocusText() override;
  void SetWordWrap(bool wrap) override;
  void SetTextFont(const TFontDesc& font) override;
  bool CanUndo() const override;
  void Undo() override;
  void EmptyUndoBuffer() override;
  void CutToClipboard() override;
  void CopyToClipboard() override;
  void PasteFromClipboard() override;

  bool LoadRichTextFile(std::string_view path) override;
  void SetRichTextPlain(std::string_view text) override;
  int RichTextLength() const override;

  void ShowBitmap(const TBitmap* bitmap) override;
  void SetBitmapStretch(bool stretch) override;
  bool BitmapStretch() const override;
  void SetBitmapSizeText(std::string_view text) override;

  void ShowPicture(const TMetafile* picture) override;
  void SetPictureStretch(bool stretch) override { picture_stretch_ = stretch; }
  bool PictureStretch() const override { return picture_stretch_; }

  void SetBinaryFormats(const std::vector<BinaryFormatEntry>& entries, int selected) override;
  std::optional<std::uint32_t> SelectedBinaryFormat() const override;
  void ShowBinary(const std::uint8_t* data, std::size_t size) override;

  void SetButtonEnabled(PreviewButton button, bool enabled) override;
  void SetButtonDown(PreviewButton button, bool down) override;
  void SetPinImage(int image) override;
  void SetTextMenuEnabled(TextMenuItem item, bool enabled) override;
  void SetMainLineBreakButtonEnabled(bool enabled) override;

  std::optional<TFontDesc> ChooseFont(const TFontDesc& font) override;
  void SetPreviewExpanded(bool expanded) override;

  // The text pane's context menu at a screen point (what the user's right
  // click opens), reporting the chosen entry.
  void ShowTextMenu(POINT at);
  // The case button's drop-down below the button, reporting the choice.
  void ShowCaseMenu();

 private:
  static int Index(PreviewTab tab) { return static_cast<int>(tab); }
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT OnMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT OnNotify(const NMHDR& header);
  void OnCommand(HWND from, UINT id, UINT code);
  bool quiet() const { return quiet_ != 0; }

  HWND CreatePage();
  void CreateTextPage();
  void CreateRichTextPage();
  void CreateBitmapPage();
  void CreatePicturePage();
  void CreateBinaryPage();
  HWND CreateRichEdit(HWND page, DWORD style);

  // The tabs again from the visible set, in their order.
  void RebuildTabs();
  void ShowActivePage();
  // Lays out the tab control in the pane and the pages' controls.
  void Layout();
  void LayoutPage(PreviewTab tab);
  // The tab control's items as PreviewTabs.
  std::optional<PreviewTab> TabAtItem(int item) const;

  HWND hwnd_ = nullptr;
  PreviewPaneHost& host_;
  HIMAGELIST tab_images_ = nullptr;
  // The rich-edit library, loaded for the controls' lifetime (released
  // after they are destroyed: the members below it go first).
  LoadedModule rich_edit_library_;
  std::string rich_edit_class_;
  ImageList tool_images_;
  Font text_font_;

  HWND tabs_ = nullptr;
  std::array<HWND, kPreviewTabCount> pages_{};
  HWND tool_bar_ = nullptr;
  HWND text_ = nullptr;
  HWND rich_ = nullptr;
  HWND stretch_box_ = nullptr;
  HWND size_panel_ = nullptr;
  std::unique_ptr<PictureView> bitmap_view_;
  std::unique_ptr<PictureView> picture_view_;
  HWND binary_label_ = nullptr;
  HWND binary_formats_ = nullptr;
  std::unique_ptr<HexDumpControl> hex_dump_;
  HWND html_window_ = nullptr;

  std::array<bool, kPreviewTabCount> visible_{};
  std::optional<PreviewTab> active_;
  std::string html_caption_ = "&Html";
  std::array<bool, 7> text_menu_enabled_{};
  std::vector<BinaryFormatEntry> binary_entries_;
  bool picture_stretch_ = true;
  HMENU shown_menu_ = nullptr;
  int quiet_ = 0;
};

}  // namespace om::win32
