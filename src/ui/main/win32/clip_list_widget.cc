#include "ui/main/win32/clip_list_widget.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include "ui/main/win32/image_lists.h"
#include "ui/components/win32/drag_source.h"
#include "ui/components/win32/picture_draw.h"
#include "ui/components/win32/ui_handles.h"
#include "platform/win32/os_error.h"

namespace om::win32 {
namespace {

// Reads the format of the header's item `index` (the column of that index)
// into `item`, ready to be set again; false when it cannot be read.
bool HeaderItemFormat(HWND header, int index, HDITEMA& item) {
  item.mask = HDI_FORMAT;
  return ::SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) != 0;
}

constexpr int kSourceUrlColumn = 11;
constexpr int kFirstFlagColumn = 5;
constexpr int kLastFlagColumn = 10;
constexpr int kIconSize = 16;

// The title cell's strip: the format, by its flag column, and its icon, in
// the order the strip shows them.
struct StripIcon {
  int column;
  int image;
};
constexpr StripIcon kStripIcons[] = {
    {5, clipimage::kText},  {6, clipimage::kRtf},    {9, clipimage::kHtml},
    {10, clipimage::kHDrop}, {7, clipimage::kBitmap}, {8, clipimage::kWmf},
};
// The header icons of the flag columns 5 .. 10.
constexpr int kHeaderIcons[] = {clipimage::kText, clipimage::kRtf,  clipimage::kBitmap,
                                clipimage::kWmf,  clipimage::kHtml, clipimage::kHDrop};

// An object selected into a device context for the scope's life.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ object) : dc_(dc), old_(object != nullptr ? ::SelectObject(dc, object) : nullptr) {}
  ~Selected() {
    if (old_ != nullptr) ::SelectObject(dc_, old_);
  }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

constexpr COLORREF kThumbnailBorder = RGB(0, 0, 255);
constexpr COLORREF kThumbnailBackground = RGB(255, 255, 255);
// DSna: the destination where the source is black, black where it is white.
constexpr DWORD kRopMaskOut = 0x00220326;

// Draws the picture's bitmap or metafile stretched into its target, or its
// text lines, on the thumbnail in `dc`.
void DrawThumbnailContent(HDC dc, const ThumbnailPicture& picture, HFONT font) {
  const ThumbBox& box = picture.target;
  switch (picture.kind) {
    case ThumbnailPicture::Kind::kBitmap: {
      const RECT target{box.left, box.top, box.left + box.width, box.top + box.height};
      DrawDib(dc, picture.dib, target);
      return;
    }
    case ThumbnailPicture::Kind::kMetafile: {
      const EnhMetafile metafile =
          MetafileHandle(picture.metafile_bits, picture.enhanced, picture.map_mode, picture.x_ext, picture.y_ext);
      if (!metafile) return;
      const RECT target{box.left, box.top, box.left + box.width, box.top + box.height};
      const int saved = ::SaveDC(dc);
      ::IntersectClipRect(dc, 1, 1, picture.size - 1, picture.size - 1);
      DrawMetafile(dc, metafile.get(), target);
      ::RestoreDC(dc, saved);
      return;
    }
    case ThumbnailPicture::Kind::kText: {
      const int saved = ::SaveDC(dc);
      ::IntersectClipRect(dc, 1, 1, picture.size - 1, picture.size - 1);
      Selected chosen(dc, font);
      ::SetTextColor(dc, RGB(0, 0, 0));
      ::SetBkMode(dc, TRANSPARENT);
      int top = 1;
      for (const std::string& line : picture.lines) {
        ::TextOutA(dc, 1, top, line.c_str(), static_cast<int>(line.size()));
        top += picture.line_height;
      }
      ::RestoreDC(dc, saved);
      return;
    }
    case ThumbnailPicture::Kind::kBlank:
      return;
  }
}

}  // namespace

ClipListWidget::ClipListWidget(HWND parent, int control_id, HIMAGELIST images, HIMAGELIST flag_images)
    : images_(images), flag_images_(flag_images) {
  // The image list is shared: the window owns it, the control must not
  // destroy it.
  hwnd_ = ::CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS |
                                LVS_SHAREIMAGELISTS | LVS_OWNERDATA,
                            0, 0, 100, 100, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_id)),
                            ::GetModuleHandleA(nullptr), nullptr);
  if (hwnd_ == nullptr) {
    LogOsFailure("CreateWindowExA(clip list)");
    return;
  }
  ListView_SetExtendedListViewStyle(hwnd_, LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP);
  if (images != nullptr) ListView_SetImageList(hwnd_, images, LVSIL_SMALL);
  for (int i = 0; i < kClipListColumnCount; ++i) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM | LVCF_FMT;
    column.fmt = LVCFMT_LEFT;
    column.cx = kClipListColumns[i].width;
    column.pszText = const_cast<char*>(kClipListColumns[i].caption);
    column.iSubItem = i;
    if (::SendMessageA(hwnd_, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column)) < 0) {
      LogOsFailure("LVM_INSERTCOLUMN");
    }
  }
}

void ClipListWidget::BeginUpdate() {
  if (updating_++ == 0) ::SendMessageA(hwnd_, WM_SETREDRAW, FALSE, 0);
}

void ClipListWidget::EndUpdate() {
  if (updating_ == 0) return;
  if (--updating_ == 0) {
    ::SendMessageA(hwnd_, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(hwnd_, nullptr, TRUE);
  }
}

void ClipListWidget::SetRowCount(int count) {
  QuietScope quiet(quiet_);
  // A new count is a new list: nothing selected, nothing focused.
  ClearSelection();
  SetFocused(-1);
  ListView_SetItemCountEx(hwnd_, std::max(count, 0), 0);
  ArrangeIcons();
  ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void ClipListWidget::ArrangeIcons() {
  // Wine's virtual list leaves every new row of the icon view at the place
  // of the first until it is told to arrange them.
  if (ViewStyle() == ListViewStyle::kIcons) ListView_Arrange(hwnd_, LVA_DEFAULT);
}

int ClipListWidget::Count() const { return ListView_GetItemCount(hwnd_); }

void ClipListWidget::RowInserted(int row) {
  QuietScope quiet(quiet_);
  // The control keeps its selection by row number: the rows at and after
  // the new one move down by one, and their selection and focus with them.
  const std::vector<int> selected = SelectedRows();
  const int focused = Focused();
  const int mark = ListView_GetSelectionMark(hwnd_);
  const auto moved = [row](int index) { return index >= row ? index + 1 : index; };
  ClearSelection();
  if (focused >= 0) ListView_SetItemState(hwnd_, focused, 0, LVIS_FOCUSED);
  ListView_SetItemCountEx(hwnd_, Count() + 1, LVSICF_NOSCROLL);
  ArrangeIcons();
  for (const int index : selected) ListView_SetItemState(hwnd_, moved(index), LVIS_SELECTED, LVIS_SELECTED);
  if (focused >= 0) ListView_SetItemState(hwnd_, moved(focused), LVIS_FOCUSED, LVIS_FOCUSED);
  if (mark >= 0) ListView_SetSelectionMark(hwnd_, moved(mark));
  ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void ClipListWidget::RowsChanged(int first, int last) {
  if (first < 0 || last < 0) {
    ::InvalidateRect(hwnd_, nullptr, TRUE);
    return;
  }
  ListView_RedrawItems(hwnd_, first, last);
}

std::string ClipListWidget::Text(int index, int column) const {
  if (source_ == nullptr || !Valid(index) || column < 0 || column >= kClipListColumnCount) return {};
  return source_->CellText(index, column);
}

void ClipListWidget::GetDispInfo(NMLVDISPINFOA& info) {
  LVITEMA& item = info.item;
  if (source_ == nullptr || !Valid(item.iItem)) return;
  if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0) {
    const std::string text = source_->CellText(item.iItem, item.iSubItem);
    ::lstrcpynA(item.pszText, text.c_str(), item.cchTextMax);
  }
  if ((item.mask & LVIF_IMAGE) != 0) {
    const int image = source_->RowImage(item.iItem);
    item.iImage = image < 0 ? I_IMAGENONE : image;
  }
}

void ClipListWidget::GetDispInfo(NMLVDISPINFOW& info) {
  LVITEMW& item = info.item;
  if (source_ == nullptr || !Valid(item.iItem)) return;
  if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0) {
    // The program's texts are in the ANSI code page.
    const std::string text = source_->CellText(item.iItem, item.iSubItem);
    const int written = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), item.pszText,
                                              item.cchTextMax - 1);
    item.pszText[std::clamp(written, 0, item.cchTextMax - 1)] = L'\0';
  }
  if ((item.mask & LVIF_IMAGE) != 0) {
    const int image = source_->RowImage(item.iItem);
    item.iImage = image < 0 ? I_IMAGENONE : image;
  }
}

void ClipListWidget::ClearSelection() {
  QuietScope quiet(quiet_);
  // Usually one row is selected: deselecting it alone is cheap, where the
  // all-rows form visits every row of a long list (as Wine's control does).
  const std::vector<int> selected = SelectedRows();
  if (selected.size() > 64) {
    ListView_SetItemState(hwnd_, -1, 0, LVIS_SELECTED);
    return;
  }
  for (const int row : selected) ListView_SetItemState(hwnd_, row, 0, LVIS_SELECTED);
}

void ClipListWidget::SetSelected(int index, bool selected) {
  if (!Valid(index)) return;
  QuietScope quiet(quiet_);
  ListView_SetItemState(hwnd_, index, selected ? LVIS_SELECTED : 0, LVIS_SELECTED);
}

bool ClipListWidget::IsSelected(int index) const {
  return Valid(index) && (ListView_GetItemState(hwnd_, index, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

int ClipListWidget::SelectedCount() const { return static_cast<int>(ListView_GetSelectedCount(hwnd_)); }

std::vector<int> ClipListWidget::SelectedRows() const {
  std::vector<int> rows;
  // A control that is gone answers 0 to everything, which is also a row:
  // the walk goes strictly down the list, or stops.
  for (int row = ListView_GetNextItem(hwnd_, -1, LVNI_SELECTED); row >= 0 && row < Count();) {
    rows.push_back(row);
    const int next = ListView_GetNextItem(hwnd_, row, LVNI_SELECTED);
    if (next <= row) break;
    row = next;
  }
  return rows;
}

int ClipListWidget::Focused() const { return ListView_GetNextItem(hwnd_, -1, LVNI_FOCUSED); }

void ClipListWidget::SetFocused(int index) {
  QuietScope quiet(quiet_);
  if (!Valid(index)) {
    const int focused = Focused();
    if (focused >= 0) ListView_SetItemState(hwnd_, focused, 0, LVIS_FOCUSED);
    return;
  }
  ListView_SetItemState(hwnd_, index, LVIS_FOCUSED, LVIS_FOCUSED);
  // Shift+click and Shift+arrow extend from the focused row.
  ListView_SetSelectionMark(hwnd_, index);
}

void ClipListWidget::MakeVisible(int index) {
  if (!Valid(index)) return;
  QuietScope quiet(quiet_);
  ListView_EnsureVisible(hwnd_, index, FALSE);
}

void ClipListWidget::SetColumnWidth(int column, int width) {
  if (column < 0 || column >= kClipListColumnCount) return;
  ListView_SetColumnWidth(hwnd_, column, width);
}

int ClipListWidget::ColumnWidth(int column) const {
  if (column < 0 || column >= kClipListColumnCount) return 0;
  return ListView_GetColumnWidth(hwnd_, column);
}

std::vector<int> ClipListWidget::ColumnOrder() const {
  std::vector<int> order(kClipListColumnCount);
  if (!ListView_GetColumnOrderArray(hwnd_, kClipListColumnCount, order.data())) return {};
  return order;
}

void ClipListWidget::SetColumnOrder(const std::vector<int>& order) {
  if (!IsColumnOrder(order, kClipListColumnCount)) return;
  std::vector<int> copy = order;
  if (!ListView_SetColumnOrderArray(hwnd_, kClipListColumnCount, copy.data())) {
    LogOsFailure("LVM_SETCOLUMNORDERARRAY");
    return;
  }
  ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void ClipListWidget::ShowSortArrow(int column, bool ascending) {
  HWND header = ListView_GetHeader(hwnd_);
  for (int i = 0, count = Header_GetItemCount(header); i < count; ++i) {
    HDITEMA item{};
    if (!HeaderItemFormat(header, i, item)) continue;
    const int before = item.fmt;
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (i == column) item.fmt |= ascending ? HDF_SORTUP : HDF_SORTDOWN;
    if (item.fmt != before) ::SendMessageA(header, HDM_SETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
}

std::optional<SortArrow> ClipListWidget::ShownSortArrow() const {
  HWND header = ListView_GetHeader(hwnd_);
  for (int i = 0, count = Header_GetItemCount(header); i < count; ++i) {
    HDITEMA item{};
    if (HeaderItemFormat(header, i, item) && (item.fmt & (HDF_SORTUP | HDF_SORTDOWN)) != 0) {
      return SortArrow{i, (item.fmt & HDF_SORTUP) != 0};
    }
  }
  return std::nullopt;
}

void ClipListWidget::SetIconDrawing(bool show_type_icons, int widest_icon_strip) {
  if (show_type_icons == show_type_icons_ && widest_icon_strip == widest_icon_strip_) return;
  if (show_type_icons != show_type_icons_) ShowHeaderIcons(show_type_icons);
  show_type_icons_ = show_type_icons;
  widest_icon_strip_ = widest_icon_strip;
  ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void ClipListWidget::ShowHeaderIcons(bool icons) {
  HWND header = ListView_GetHeader(hwnd_);
  if (header == nullptr) return;
  if (icons && images_ != nullptr) Header_SetImageList(header, images_);
  for (int column = kFirstFlagColumn; column <= kLastFlagColumn; ++column) {
    HDITEMA item{};
    if (!HeaderItemFormat(header, column, item)) continue;
    if (icons) {
      item.mask = HDI_FORMAT | HDI_IMAGE;
      item.fmt = (item.fmt & ~HDF_STRING) | HDF_IMAGE;
      item.iImage = kHeaderIcons[column - kFirstFlagColumn];
    } else {
      item.fmt = (item.fmt & ~HDF_IMAGE) | HDF_STRING;
    }
    ::SendMessageA(header, HDM_SETITEMA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
  }
}

RECT ClipListWidget::CellRect(int index, int column) const {
  // The whole row; its left edge is where the leftmost column starts.
  RECT cell{};
  ListView_GetSubItemRect(hwnd_, index, 0, LVIR_BOUNDS, &cell);
  int left = cell.left;
  for (const int shown : ColumnOrder()) {
    if (shown == column) break;
    left += ColumnWidth(shown);
  }
  cell.left = left;
  cell.right = left + ColumnWidth(column);
  return cell;
}

HFONT ClipListWidget::UnderlinedFont() {
  if (!underlined_) underlined_.reset(CreateUnderlinedFont(hwnd_));
  return underlined_.get();
}

void ClipListWidget::DrawTitleCell(HDC dc, int index, const RECT& cell, bool selected) {
  const int top = cell.top + (cell.bottom - cell.top - kIconSize) / 2;
  int x = cell.left;
  bool any = false;
  for (const StripIcon& icon : kStripIcons) {
    if (Text(index, icon.column) != "Y") continue;
    ::ImageList_Draw(images_, icon.image, dc, x, top, ILD_TRANSPARENT);
    x += kIconSize + 1;
    any = true;
  }
  if (!any) ::ImageList_Draw(images_, clipimage::kUnknown, dc, x, top, ILD_TRANSPARENT);
  // Titles line up behind the widest strip of the list. A row without a
  // known format still shows its one "unknown" icon, so the text never
  // starts on it even when no row has a flag.
  RECT text = cell;
  text.left = cell.left + std::max(widest_icon_strip_, 1) * kIconSize + 4;
  std::string title = Text(index, 0);
  HFONT font = reinterpret_cast<HFONT>(::SendMessageA(hwnd_, WM_GETFONT, 0, 0));
  HGDIOBJ old_font = font != nullptr ? ::SelectObject(dc, font) : nullptr;
  const bool focused_list = ::GetFocus() == hwnd_;
  ::SetTextColor(dc, selected ? ::GetSysColor(focused_list ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT)
                              : ListView_GetTextColor(hwnd_));
  ::SetBkMode(dc, TRANSPARENT);
  ::DrawTextA(dc, title.c_str(), static_cast<int>(title.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  if (old_font != nullptr) ::SelectObject(dc, old_font);
}

LRESULT ClipListWidget::CustomDraw(NMLVCUSTOMDRAW& draw) {
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
      item_text_colour_ = draw.clrText;
      // After each row the row source hears of it (its clip's data may go).
      // The icon view draws its thumbnails and titles itself.
      return (show_type_icons_ && ViewStyle() == ListViewStyle::kDetails ? CDRF_NOTIFYSUBITEMDRAW : CDRF_DODEFAULT) |
             CDRF_NOTIFYPOSTPAINT;
    case CDDS_ITEMPOSTPAINT:
      if (static_cast<int>(draw.nmcd.dwItemSpec) == drop_mark_) DrawDropMark(draw.nmcd.hdc);
      if (source_ != nullptr && Valid(static_cast<int>(draw.nmcd.dwItemSpec))) {
        source_->RowDrawn(static_cast<int>(draw.nmcd.dwItemSpec));
      }
      return CDRF_DODEFAULT;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
      const int index = static_cast<int>(draw.nmcd.dwItemSpec);
      const int column = draw.iSubItem;
      const bool selected = IsSelected(index);
      HDC dc = draw.nmcd.hdc;
      if (column == kSourceUrlColumn) {
        // Like a link: underlined, blue, white on a selected row.
        draw.clrText = selected ? RGB(255, 255, 255) : RGB(0, 0, 255);
        if (HFONT font = UnderlinedFont()) ::SelectObject(dc, font);
        return CDRF_NEWFONT;
      }
      if (column != 0 && (column < kFirstFlagColumn || column > kLastFlagColumn)) {
        // The control's own text, in the row's colour and the list's font
        // again (a cell drawn before may have changed them).
        draw.clrText = item_text_colour_;
        if (HFONT font = reinterpret_cast<HFONT>(::SendMessageA(hwnd_, WM_GETFONT, 0, 0))) ::SelectObject(dc, font);
        return CDRF_NEWFONT;
      }
      const RECT cell = CellRect(index, column);
      const int saved = ::SaveDC(dc);
      ::IntersectClipRect(dc, cell.left, cell.top, cell.right, cell.bottom);
      const bool focused_list = ::GetFocus() == hwnd_;
      const COLORREF background = selected ? ::GetSysColor(focused_list ? COLOR_HIGHLIGHT : COLOR_BTNFACE)
                                           : ListView_GetBkColor(hwnd_);
      GdiObject<HBRUSH> brush(::CreateSolidBrush(background));
      if (brush) ::FillRect(dc, &cell, brush.get());
      if (column == 0) {
        DrawTitleCell(dc, index, cell, selected);
      } else if (flag_images_ != nullptr && Text(index, column) == "Y") {
        ::ImageList_Draw(flag_images_, 0, dc, cell.left + 1, cell.top + (cell.bottom - cell.top - kIconSize) / 2,
                         ILD_TRANSPARENT);
      }
      ::RestoreDC(dc, saved);
      return CDRF_SKIPDEFAULT;
    }
    default:
      return CDRF_DODEFAULT;
  }
}

void ClipListWidget::SetDropMark(int row) {
  if (!Valid(row)) row = -1;
  if (row == drop_mark_) return;
  const int before = drop_mark_;
  drop_mark_ = row;
  // The line is drawn over the top of the row's box, so both rows are
  // drawn again.
  for (const int index : {before, row}) {
    if (index >= 0 && Valid(index)) ListView_RedrawItems(hwnd_, index, index);
  }
  ::UpdateWindow(hwnd_);
}

void ClipListWidget::DrawDropMark(HDC dc) {
  RECT row{};
  if (!ListView_GetItemRect(hwnd_, drop_mark_, &row, LVIR_BOUNDS)) return;
  const RECT line{row.left, row.top, row.right, row.top + 2};
  ::FillRect(dc, &line, ::GetSysColorBrush(COLOR_WINDOWTEXT));
}

void ClipListWidget::SetMultiSelect(bool multi) {
  LONG_PTR style = ::GetWindowLongPtrA(hwnd_, GWL_STYLE);
  style = multi ? (style & ~static_cast<LONG_PTR>(LVS_SINGLESEL)) : (style | LVS_SINGLESEL);
  ::SetWindowLongPtrA(hwnd_, GWL_STYLE, style);
}

void ClipListWidget::SetHandCursor(bool hand) { hand_cursor_ = hand; }

void ClipListWidget::HitTest(POINT at, int& row, int& column) const {
  LVHITTESTINFO hit{};
  hit.pt = at;
  // The sub-item hit test knows where the user dragged the columns to and
  // how far the list is scrolled.
  const int index = ListView_SubItemHitTest(hwnd_, &hit);
  row = index >= 0 && Valid(index) ? index : -1;
  column = row >= 0 ? hit.iSubItem : -1;
}

std::optional<ClipMenuCommand> ClipListWidget::PopupMenu(const std::vector<ClipMenuEntry>& entries, bool at_centre) {
  Menu menu(::CreatePopupMenu());
  if (!menu) {
    LogOsFailure("CreatePopupMenu(clip list)");
    return std::nullopt;
  }
  // Identifiers from 1: TrackPopupMenu returns 0 for "nothing chosen".
  for (std::size_t i = 0; i < entries.size(); ++i) {
    UINT flags = MF_STRING | (entries[i].enabled ? MF_ENABLED : MF_GRAYED);
    ::AppendMenuA(menu.get(), flags, i + 1, entries[i].caption.c_str());
  }
  POINT at{};
  if (at_centre) {
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    at = {client.right / 2, client.bottom / 2};
    ::ClientToScreen(hwnd_, &at);
  } else {
    ::GetCursorPos(&at);
  }
  shown_menu_ = menu.get();
  const UINT chosen = static_cast<UINT>(::TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                                         at.x, at.y, 0, ::GetParent(hwnd_), nullptr));
  shown_menu_ = nullptr;
  if (chosen == 0 || chosen > entries.size()) return std::nullopt;
  return entries[chosen - 1].command;
}

void ClipListWidget::SetViewStyle(ListViewStyle style) {
  const LONG_PTR current = ::GetWindowLongPtrA(hwnd_, GWL_STYLE);
  const LONG_PTR wanted = style == ListViewStyle::kIcons ? LVS_ICON | LVS_AUTOARRANGE : LVS_REPORT;
  const LONG_PTR next = (current & ~static_cast<LONG_PTR>(LVS_TYPEMASK | LVS_AUTOARRANGE)) | wanted;
  if (next == current) return;
  ::SetWindowLongPtrA(hwnd_, GWL_STYLE, next);
  ArrangeIcons();
  ::InvalidateRect(hwnd_, nullptr, TRUE);
}

ListViewStyle ClipListWidget::ViewStyle() const {
  return (::GetWindowLongPtrA(hwnd_, GWL_STYLE) & LVS_TYPEMASK) == LVS_ICON ? ListViewStyle::kIcons
                                                                              : ListViewStyle::kDetails;
}

void ClipListWidget::SetThumbnailImages(int size, int count) {
  size = std::max(size, 1);
  count = std::max(count, 0);
  ImageList images(::ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, count, 8));
  if (!images) {
    LogOsFailure("ImageList_Create(thumbnails)");
    return;
  }
  // Blank images, wholly transparent: black colour, white mask.
  WindowDc screen(nullptr);
  Bitmap colour(::CreateCompatibleBitmap(screen.get(), size, size));
  Bitmap mask(::CreateBitmap(size, size, 1, 1, nullptr));
  MemoryDc dc(::CreateCompatibleDC(screen.get()));
  if (colour && mask && dc) {
    const RECT all{0, 0, size, size};
    {
      Selected picked(dc.get(), colour.get());
      ::FillRect(dc.get(), &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    }
    {
      Selected picked(dc.get(), mask.get());
      ::FillRect(dc.get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    }
    for (int i = 0; i < count; ++i) ::ImageList_Add(images.get(), colour.get(), mask.get());
  }
  // The control lets go of the old list before it goes.
  if (hwnd_ != nullptr) ListView_SetImageList(hwnd_, images.get(), LVSIL_NORMAL);
  thumbnails_ = std::move(images);
  thumbnail_size_ = size;
  ::InvalidateRect(hwnd_, nullptr, TRUE);
}

HFONT ClipListWidget::ThumbnailFont(const TFontDesc& font) {
  if (thumbnail_font_ && font == thumbnail_font_desc_) return thumbnail_font_.get();
  WindowDc screen(nullptr);
  const int height = -::MulDiv(font.Size, ::GetDeviceCaps(screen.get(), LOGPIXELSY), 72);
  thumbnail_font_.reset(::CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                      static_cast<BYTE>(std::clamp(font.Charset, 0, 255)), OUT_DEFAULT_PRECIS,
                                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                      font.Name.c_str()));
  thumbnail_font_desc_ = font;
  return thumbnail_font_.get();
}

void ClipListWidget::DrawThumbnail(int image, const ThumbnailPicture& picture) {
  if (!thumbnails_ || image < 0 || image >= ::ImageList_GetImageCount(thumbnails_.get())) return;
  const int size = thumbnail_size_;
  WindowDc screen(nullptr);
  Bitmap colour(::CreateCompatibleBitmap(screen.get(), size, size));
  Bitmap mask(::CreateBitmap(size, size, 1, 1, nullptr));
  MemoryDc dc(::CreateCompatibleDC(screen.get()));
  MemoryDc mask_dc(::CreateCompatibleDC(screen.get()));
  if (!colour || !mask || !dc || !mask_dc) {
    LogOsFailure("DrawThumbnail");
    return;
  }
  HFONT font = picture.kind == ThumbnailPicture::Kind::kText ? ThumbnailFont(picture.font) : nullptr;
  {
    // The bitmaps are selected only inside this scope: the image list
    // copies them after.
    Selected picked(dc.get(), colour.get());
    Selected picked_mask(mask_dc.get(), mask.get());
    // The white square in its blue border, then the clip on it.
    const RECT all{0, 0, size, size};
    GdiObject<HBRUSH> white(::CreateSolidBrush(kThumbnailBackground));
    GdiObject<HBRUSH> blue(::CreateSolidBrush(kThumbnailBorder));
    if (white) ::FillRect(dc.get(), &all, white.get());
    if (blue) ::FrameRect(dc.get(), &all, blue.get());
    DrawThumbnailContent(dc.get(), picture, font);
    // White is transparent: the mask is set where the picture is white,
    // and there the colour image is made black, as the image list wants.
    ::SetBkColor(dc.get(), kThumbnailBackground);
    ::BitBlt(mask_dc.get(), 0, 0, size, size, dc.get(), 0, 0, SRCCOPY);
    ::SetBkColor(dc.get(), RGB(255, 255, 255));
    ::SetTextColor(dc.get(), RGB(0, 0, 0));
    ::BitBlt(dc.get(), 0, 0, size, size, mask_dc.get(), 0, 0, kRopMaskOut);
  }
  if (!::ImageList_Replace(thumbnails_.get(), image, colour.get(), mask.get())) LogOsFailure("ImageList_Replace");
}

std::vector<int> ClipListWidget::VisibleRows() const {
  std::vector<int> rows;
  const int count = Count();
  if (ViewStyle() != ListViewStyle::kIcons || count == 0 || thumbnail_size_ <= 0) return rows;
  RECT client{};
  ::GetClientRect(hwnd_, &client);
  const auto position = [this](int index) {
    POINT point{};
    ListView_GetItemPosition(hwnd_, index, &point);
    return point;
  };
  // The icon view lays its rows out in a grid, left to right and then
  // down: the first grid line has as many rows as there are columns (found
  // by halving, so a long list costs a few look-ups), and every row's place
  // follows from the first row's and the spacing.
  const POINT first = position(0);
  int columns = 1;
  for (int low = 1, high = count - 1; low <= high;) {
    const int middle = low + (high - low) / 2;
    if (position(middle).y == first.y) {
      columns = middle + 1;
      low = middle + 1;
    } else {
      high = middle - 1;
    }
  }
  const DWORD spacing = static_cast<DWORD>(ListView_GetItemSpacing(hwnd_, FALSE));
  const int step_x = columns > 1 ? position(1).x - first.x : std::max<int>(LOWORD(spacing), 1);
  const int step_y = count > columns ? position(columns).y - first.y : std::max<int>(HIWORD(spacing), 1);
  if (step_x <= 0 || step_y <= 0) return rows;
  // A row's box: its grid cell, at least the thumbnail wide and 1.3 times
  // its height high.
  const int box_width = std::max(step_x, thumbnail_size_);
  const int box_height = std::max(step_y, thumbnail_size_ * 13 / 10);
  const int grid_lines = (count + columns - 1) / columns;
  const int first_line = std::clamp(static_cast<int>(client.top - first.y - box_height) / step_y, 0, grid_lines - 1);
  const int first_column = std::clamp(static_cast<int>(client.left - first.x - box_width) / step_x, 0, columns - 1);
  for (int line = first_line; line < grid_lines; ++line) {
    const int top = first.y + line * step_y;
    if (top >= client.bottom) break;
    if (top + box_height <= client.top) continue;
    for (int column = first_column; column < columns; ++column) {
      const int index = line * columns + column;
      if (index >= count) break;
      const POINT at = position(index);
      if (at.x >= client.right) break;
      if (at.x + box_width > client.left && at.y < client.bottom && at.y + box_height > client.top) rows.push_back(index);
    }
  }
  return rows;
}

bool ClipListWidget::ArrowKeyHeld() const {
  // The keyboard as of the message being handled, which is what the
  // selection change that asks came with.
  return ::GetKeyState(VK_UP) < 0 || ::GetKeyState(VK_DOWN) < 0;
}

DragEnd ClipListWidget::DragText(std::string_view text) {
  DWORD effect = DROPEFFECT_NONE;
  const HRESULT result = DragTextOut(text, effect);
  const auto code = static_cast<std::uint32_t>(result);
  if (result == DRAGDROP_S_DROP) return {DragOutcome::kDropped, code};
  if (result == DRAGDROP_S_CANCEL) return {DragOutcome::kCancelled, code};
  if (result == E_OUTOFMEMORY) return {DragOutcome::kOutOfMemory, code};
  if (result == HRESULT_FROM_WIN32(ERROR_NOACCESS)) return {DragOutcome::kNoAccess, code};
  return {DragOutcome::kOther, code};
}

}  // namespace om::win32
