// The clip list over a virtual ListView control (LVS_OWNERDATA) in details
// view: the twelve columns (the user may drag them into another order),
// multiple selection, the type icons and the sort arrow. The control holds
// the row count, the selection and the focus; every text and image it
// shows it asks of the row source while it draws.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <iterator>
#include <optional>
#include <vector>

#include "ui/components/win32/ui_handles.h"
#include "ui/main/clip_list_widget.h"

namespace om::win32 {

struct ClipListColumn {
  const char* caption;
  int width;
};
// Index, caption and initial width of every column.
inline constexpr ClipListColumn kClipListColumns[] = {
    {"Title", 200},   {"MySort", 60},   {"Date/Time", 100},  {"Source", 100},
    {"Serial", 60},   {"Has Text", 16}, {"Has RTF", 17},     {"Has BMP", 18},
    {"Has Picture", 19}, {"Has HTML", 20}, {"Has Files", 16}, {"Source URL", 400},
};
inline constexpr int kClipListColumnCount = static_cast<int>(std::size(kClipListColumns));

class ClipListWidget final : public IClipListWidget {
 public:
  // Creates the ListView as a child of `parent`; `images` are the type
  // icons (ilClips), `flag_images` the ball of the format-flag cells (not
  // owned: both must outlive the control).
  ClipListWidget(HWND parent, int control_id, HIMAGELIST images, HIMAGELIST flag_images);
  ~ClipListWidget() override = default;
  ClipListWidget(const ClipListWidget&) = delete;
  ClipListWidget& operator=(const ClipListWidget&) = delete;

  HWND hwnd() const { return hwnd_; }
  // True while a change asked for through this interface is under way: the
  // control's notifications then are not the user's.
  bool quiet() const { return quiet_ != 0; }
  // The list's NM_CUSTOMDRAW: the type icons, flag balls and the link-like
  // Source URL while icons are drawn; the control's own drawing otherwise.
  LRESULT CustomDraw(NMLVCUSTOMDRAW& draw);
  // The list's LVN_GETDISPINFO (ANSI or wide): the cell's text or the
  // row's image, from the row source.
  void GetDispInfo(NMLVDISPINFOA& info);
  void GetDispInfo(NMLVDISPINFOW& info);
  bool type_icons() const { return show_type_icons_; }
  int icon_strip() const { return widest_icon_strip_; }
  // A cell's text as the row source gives it ("" without one).
  std::string Text(int index, int column) const;

  void SetRowSource(IClipRowSource* source) override { source_ = source; }
  void BeginUpdate() override;
  void EndUpdate() override;
  void SetRowCount(int count) override;
  int Count() const override;
  void RowInserted(int row) override;
  void RowsChanged(int first, int last) override;
  void ClearSelection() override;
  void SetSelected(int index, bool selected) override;
  bool IsSelected(int index) const override;
  int SelectedCount() const override;
  std::vector<int> SelectedRows() const override;
  int Focused() const override;
  void SetFocused(int index) override;
  void MakeVisible(int index) override;
  int ColumnWidth(int column) const override;
  void SetColumnWidth(int column, int width) override;
  std::vector<int> ColumnOrder() const override;
  void SetColumnOrder(const std::vector<int>& order) override;
  void ShowSortArrow(int column, bool ascending) override;
  std::optional<SortArrow> ShownSortArrow() const override;
  bool ArrowKeyHeld() const override;
  void SetIconDrawing(bool show_type_icons, int widest_icon_strip) override;
  void SetViewStyle(ListViewStyle style) override;
  ListViewStyle ViewStyle() const override;
  void SetMultiSelect(bool multi) override;
  void SetHandCursor(bool hand) override;
  std::optional<ClipMenuCommand> PopupMenu(const std::vector<ClipMenuEntry>& entries, bool at_centre) override;
  bool hand_cursor() const { return hand_cursor_; }
  // The row and column under a point of the list's client area; -1 for
  // none.
  void HitTest(POINT at, int& row, int& column) const;
  // While rows are dragged over the list: a line above `row`, where the
  // rows would go (-1: none).
  void SetDropMark(int row);
  int drop_mark() const { return drop_mark_; }
  // The menu shown by PopupMenu, while it is up (for the tests).
  HMENU shown_menu() const { return shown_menu_; }
  void SetThumbnailImages(int size, int count) override;
  void DrawThumbnail(int image, const ThumbnailPicture& picture) override;
  std::vector<int> VisibleRows() const override;
  DragEnd DragText(std::string_view text) override;
  // The icon view's images (ThumbNailSize + 2 square); owned here, shared
  // with the control.
  HIMAGELIST thumbnail_images() const { return thumbnails_.get(); }

 private:
  bool Valid(int index) const { return index >= 0 && index < Count(); }
  // In the icon view, lays the rows out in their grid again.
  void ArrangeIcons();
  // The cell of row `index` in `column`, in client coordinates, wherever
  // the user dragged the column to.
  RECT CellRect(int index, int column) const;
  // Header sections 5 .. 10: their format icons, or their captions.
  void ShowHeaderIcons(bool icons);
  void DrawTitleCell(HDC dc, int index, const RECT& cell, bool selected);
  HFONT UnderlinedFont();
  // The line above the drop mark's row.
  void DrawDropMark(HDC dc);
  // The thumbnail font as last asked for, made once.
  HFONT ThumbnailFont(const TFontDesc& font);

  HWND hwnd_ = nullptr;
  HIMAGELIST images_ = nullptr;
  HIMAGELIST flag_images_ = nullptr;
  bool show_type_icons_ = false;
  int widest_icon_strip_ = 0;
  Font underlined_;
  ImageList thumbnails_;
  int thumbnail_size_ = 0;
  Font thumbnail_font_;
  TFontDesc thumbnail_font_desc_;
  // The row's text colour as the control chose it for the row being drawn.
  COLORREF item_text_colour_ = 0;
  int quiet_ = 0;
  int updating_ = 0;
  IClipRowSource* source_ = nullptr;
  bool hand_cursor_ = false;
  HMENU shown_menu_ = nullptr;
  int drop_mark_ = -1;
};

}  // namespace om::win32
