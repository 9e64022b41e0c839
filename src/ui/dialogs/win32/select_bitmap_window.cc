#include "ui/dialogs/win32/select_bitmap_window.h"

#include "app/app_log.h"
#include "platform/win32/dialog_template.h"
#include "platform/win32/os_error.h"

namespace om::win32 {

bool SelectBitmapWindow::ShowModal(TfrmSelectBitmap& dialog) {
  // The grid is a list-view control, registered by the common controls.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
  ::InitCommonControlsEx(&controls);
  DialogTemplate layout;
  layout.Header(caption_.c_str(), 4, 200, 170);
  layout.Item(0x0082, kLabelId, SS_LEFT | SS_NOTIFY, 7, 7, 186, 10, TfrmSelectBitmap::kLabel);
  layout.Item(WC_LISTVIEWA, kGridId,
              WS_BORDER | WS_TABSTOP | LVS_ICON | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_AUTOARRANGE, 7, 20, 186,
              122, "");
  layout.Item(0x0080, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 89, 149, 50, 14, "&OK");
  layout.Item(0x0080, kHelpId, BS_PUSHBUTTON | WS_TABSTOP, 143, 149, 50, 14, "&Help");
  behaviour_ = &dialog;
  const INT_PTR answer = ::DialogBoxIndirectParamA(::GetModuleHandleA(nullptr), layout.Get(), owner_, &Proc,
                                                   reinterpret_cast<LPARAM>(this));
  behaviour_ = nullptr;
  dialog_ = nullptr;
  if (answer == -1) LogOsFailure("DialogBoxIndirectParamA(select bitmap)");
  return answer == IDOK;
}

void SelectBitmapWindow::SetCaption(const std::string& caption) {
  caption_ = caption;
  if (dialog_ != nullptr) ::SetWindowTextA(dialog_, caption_.c_str());
}

void SelectBitmapWindow::ShowImages(const std::vector<int>& images) {
  shown_ = images;
  if (dialog_ != nullptr) FillGrid();
}

void SelectBitmapWindow::FillGrid() {
  HWND grid = ::GetDlgItem(dialog_, kGridId);
  ListView_DeleteAllItems(grid);
  for (std::size_t cell = 0; cell < shown_.size(); ++cell) {
    LVITEMA item{};
    item.mask = LVIF_IMAGE | LVIF_TEXT;
    item.iItem = static_cast<int>(cell);
    item.iImage = shown_[cell];
    char empty[] = "";
    item.pszText = empty;
    ::SendMessageA(grid, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  }
}

INT_PTR CALLBACK SelectBitmapWindow::Proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    ::SetWindowLongPtrA(dialog, DWLP_USER, lparam);
    reinterpret_cast<SelectBitmapWindow*>(lparam)->dialog_ = dialog;
  }
  auto* self = reinterpret_cast<SelectBitmapWindow*>(::GetWindowLongPtrA(dialog, DWLP_USER));
  return self != nullptr ? self->OnMessage(message, wparam, lparam) : FALSE;
}

INT_PTR SelectBitmapWindow::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG: {
      HWND grid = ::GetDlgItem(dialog_, kGridId);
      if (images_ != nullptr) ListView_SetImageList(grid, images_, LVSIL_NORMAL);
      ListView_SetIconSpacing(grid, 28, 28);
      // The grid's hint.
      tooltip_ = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, dialog_, nullptr, ::GetModuleHandleA(nullptr), nullptr);
      if (tooltip_ != nullptr) {
        TTTOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = dialog_;
        tool.uId = reinterpret_cast<UINT_PTR>(grid);
        tool.lpszText = const_cast<char*>(TfrmSelectBitmap::kHint);
        ::SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
      }
      FillGrid();
      return TRUE;
    }
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case IDOK:
          ::EndDialog(dialog_, IDOK);
          return TRUE;
        case IDCANCEL:
          ::EndDialog(dialog_, IDCANCEL);
          return TRUE;
        case kHelpId:
          // The help file comes later.
          Log(loglevel::kDetail, "TfrmSelectBitmap", "No help file to show yet.");
          return TRUE;
        case kLabelId:
          if (HIWORD(wparam) == STN_DBLCLK && behaviour_ != nullptr) behaviour_->LabelDoubleClick();
          return TRUE;
        default:
          return FALSE;
      }
    case WM_NOTIFY: {
      const auto& header = *reinterpret_cast<const NMHDR*>(lparam);
      if (header.idFrom != kGridId || behaviour_ == nullptr) return FALSE;
      if (header.code == LVN_ITEMCHANGED) {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        if ((change.uChanged & LVIF_STATE) && (change.uNewState & LVIS_SELECTED)) behaviour_->CellClick(change.iItem);
      } else if (header.code == NM_DBLCLK) {
        const auto& activate = reinterpret_cast<const NMITEMACTIVATE&>(header);
        if (activate.iItem >= 0) {
          behaviour_->CellClick(activate.iItem);
          ::EndDialog(dialog_, IDOK);
        }
      }
      return TRUE;
    }
    case WM_DESTROY:
      if (tooltip_ != nullptr) ::DestroyWindow(tooltip_);
      tooltip_ = nullptr;
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace om::win32
