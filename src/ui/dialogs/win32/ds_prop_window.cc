#include "ui/dialogs/win32/ds_prop_window.h"

#include <vector>

#include "platform/win32/dialog_template.h"
#include "platform/win32/os_error.h"

namespace om::win32 {
namespace {
constexpr int kMaxTitle = 255;
}  // namespace

bool DSPropWindow::ShowModal(const std::string& caption, TDSPropFields& fields) {
  DialogTemplate layout;
  layout.Header(caption.c_str(), 13, 240, 132);
  layout.Item(0x0082, 0xFFFF, SS_LEFT, 7, 8, 50, 10, "Directory:");
  layout.Item(0x0082, kDirectoryId, SS_LEFT | SS_PATHELLIPSIS, 60, 8, 173, 10, "");
  layout.Item(0x0082, 0xFFFF, SS_LEFT, 7, 22, 50, 10, "ID:");
  layout.Item(0x0082, kIdId, SS_LEFT, 60, 22, 60, 10, "");
  layout.Item(0x0082, 0xFFFF, SS_LEFT, 7, 36, 50, 10, "Status:");
  layout.Item(0x0082, kStatusId, SS_LEFT, 60, 36, 60, 10, "");
  layout.Item(0x0082, 0xFFFF, SS_LEFT, 7, 52, 50, 10, "Title");
  layout.Item(0x0081, kTitleId, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 60, 50, 173, 13, "");
  layout.Item(0x0080, kReadOnlyId, BS_AUTOCHECKBOX | WS_TABSTOP, 60, 70, 173, 10, "Read Only?");
  layout.Item(0x0080, kAutoLoadId, BS_AUTOCHECKBOX | WS_TABSTOP, 60, 84, 173, 10,
              "Auto Load Data Source At Startup?");
  layout.Item(0x0082, 0xFFFF, SS_ETCHEDHORZ, 7, 102, 226, 1, "");
  layout.Item(0x0080, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 129, 111, 50, 14, "OK");
  layout.Item(0x0080, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 183, 111, 50, 14, "Cancel");
  const INT_PTR answer = ::DialogBoxIndirectParamA(::GetModuleHandleA(nullptr), layout.Get(), owner_, &Proc,
                                                   reinterpret_cast<LPARAM>(&fields));
  if (answer == -1) LogOsFailure("DialogBoxIndirectParamA(data source properties)");
  return answer == IDOK;
}

INT_PTR CALLBACK DSPropWindow::Proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG: {
      ::SetWindowLongPtrA(dialog, DWLP_USER, lparam);
      const auto& fields = *reinterpret_cast<const TDSPropFields*>(lparam);
      ::SetDlgItemTextA(dialog, kDirectoryId, fields.Directory.c_str());
      ::SetDlgItemTextA(dialog, kIdId, fields.ID.c_str());
      ::SetDlgItemTextA(dialog, kStatusId, fields.Status.c_str());
      ::SetDlgItemTextA(dialog, kTitleId, fields.Title.c_str());
      ::SendDlgItemMessageA(dialog, kTitleId, EM_LIMITTEXT, kMaxTitle, 0);
      ::CheckDlgButton(dialog, kReadOnlyId, fields.ReadOnly ? BST_CHECKED : BST_UNCHECKED);
      ::CheckDlgButton(dialog, kAutoLoadId, fields.AutoLoad ? BST_CHECKED : BST_UNCHECKED);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK) {
        auto& fields = *reinterpret_cast<TDSPropFields*>(::GetWindowLongPtrA(dialog, DWLP_USER));
        std::vector<char> title(kMaxTitle + 1, '\0');
        ::GetDlgItemTextA(dialog, kTitleId, title.data(), static_cast<int>(title.size()));
        fields.Title = title.data();
        fields.ReadOnly = ::IsDlgButtonChecked(dialog, kReadOnlyId) == BST_CHECKED;
        fields.AutoLoad = ::IsDlgButtonChecked(dialog, kAutoLoadId) == BST_CHECKED;
        ::EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wparam) == IDCANCEL) {
        ::EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace om::win32
