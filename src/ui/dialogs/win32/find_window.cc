#include "ui/dialogs/win32/find_window.h"

#include <vector>

#include "platform/win32/dialog_template.h"
#include "platform/win32/os_error.h"

namespace om::win32 {
namespace {

struct Session {
  TfrmFind& dialog;
  TFindFields& fields;
};

int ButtonOf(FindChoice choice) {
  switch (choice) {
    case FindChoice::kAllColl:
      return FindDialogWindow::kAllCollId;
    case FindChoice::kWithinClip:
      return FindDialogWindow::kWithinClipId;
    case FindChoice::kCurrColl:
      break;
  }
  return FindDialogWindow::kCurrCollId;
}

// What the window shows, back into the fields (on OK and on Cancel alike).
void ReadFields(HWND dialog, TFindFields& fields) {
  std::vector<char> text(fields.MaxLength + 1, '\0');
  ::GetDlgItemTextA(dialog, FindDialogWindow::kTextId, text.data(), static_cast<int>(text.size()));
  fields.Text = text.data();
  if (::IsDlgButtonChecked(dialog, FindDialogWindow::kAllCollId) == BST_CHECKED) {
    fields.Choice = FindChoice::kAllColl;
  } else if (::IsDlgButtonChecked(dialog, FindDialogWindow::kWithinClipId) == BST_CHECKED) {
    fields.Choice = FindChoice::kWithinClip;
  } else {
    fields.Choice = FindChoice::kCurrColl;
  }
}

}  // namespace

bool FindDialogWindow::ShowModal(TfrmFind& dialog, TFindFields& fields) {
  DialogTemplate layout;
  // No system menu, so no close box: OK, Cancel or Esc end it.
  layout.Header(TfrmFind::kCaption, 8, 230, 96, DS_MODALFRAME | WS_POPUP | WS_CAPTION,
                DialogTemplate::kDefaultPosition, 0);
  layout.Item(0x0081, kTextId, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 7, 7, 216, 13, "");
  layout.Item(0x0080, kGroupId, BS_GROUPBOX, 7, 26, 150, 63, TfrmFind::kGroupCaption);
  layout.Item(0x0080, kCurrCollId, BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP, 14, 39, 138, 10,
              TfrmFind::kCurrCollCaption);
  layout.Item(0x0080, kAllCollId, BS_AUTORADIOBUTTON, 14, 54, 138, 10, TfrmFind::kAllCollCaption);
  layout.Item(0x0080, kWithinClipId, BS_AUTORADIOBUTTON, 14, 69, 138, 10, TfrmFind::kWithinClipCaption);
  layout.Item(0x0080, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 166, 30, 57, 14, "&OK");
  layout.Item(0x0080, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 166, 49, 57, 14, "&Cancel");
  layout.Item(0x0080, kHelpId, BS_PUSHBUTTON | WS_TABSTOP, 166, 68, 57, 14, "&Help");
  Session session{dialog, fields};
  const INT_PTR answer = ::DialogBoxIndirectParamA(::GetModuleHandleA(nullptr), layout.Get(), owner_, &Proc,
                                                   reinterpret_cast<LPARAM>(&session));
  if (answer == -1) LogOsFailure("DialogBoxIndirectParamA(find)");
  return answer == IDOK;
}

INT_PTR CALLBACK FindDialogWindow::Proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG: {
      ::SetWindowLongPtrA(dialog, DWLP_USER, lparam);
      const TFindFields& fields = reinterpret_cast<Session*>(lparam)->fields;
      ::SendDlgItemMessageA(dialog, kTextId, EM_LIMITTEXT, fields.MaxLength, 0);
      ::SetDlgItemTextA(dialog, kTextId, fields.Text.c_str());
      ::CheckRadioButton(dialog, kCurrCollId, kWithinClipId, ButtonOf(fields.Choice));
      ::EnableWindow(::GetDlgItem(dialog, kWithinClipId), fields.WithinClipEnabled ? TRUE : FALSE);
      // The text field has the focus, all of its text selected.
      const HWND text = ::GetDlgItem(dialog, kTextId);
      ::SetFocus(text);
      ::SendMessageA(text, EM_SETSEL, 0, -1);
      return FALSE;  // the focus is set
    }
    case WM_COMMAND: {
      auto* session = reinterpret_cast<Session*>(::GetWindowLongPtrA(dialog, DWLP_USER));
      if (session == nullptr) return FALSE;
      switch (LOWORD(wparam)) {
        case IDOK:
        case IDCANCEL:
          ReadFields(dialog, session->fields);
          ::EndDialog(dialog, LOWORD(wparam));
          return TRUE;
        case kHelpId:
          session->dialog.cmdHelpClick();
          return TRUE;
        default:
          return FALSE;
      }
    }
    default:
      return FALSE;
  }
}

}  // namespace om::win32
