#include "platform/win32/prompts.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/dialog_template.h"
#include "platform/win32/os_error.h"

namespace om::win32 {
namespace {

UINT ButtonFlags(MsgButtons buttons) {
  switch (buttons) {
    case MsgButtons::kOk: return MB_OK;
    case MsgButtons::kOkCancel: return MB_OKCANCEL;
    case MsgButtons::kYesNo: return MB_YESNO;
    case MsgButtons::kYesNoCancel: return MB_YESNOCANCEL;
  }
  return MB_OK;
}

UINT IconFlags(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::kNone: return 0;
    case MsgIcon::kError: return MB_ICONERROR;
    case MsgIcon::kWarning: return MB_ICONWARNING;
    case MsgIcon::kInformation: return MB_ICONINFORMATION;
    case MsgIcon::kQuestion: return MB_ICONQUESTION;
  }
  return 0;
}

// What a box that was closed without a button choice means.
MsgResult Dismissed(MsgButtons buttons) {
  switch (buttons) {
    case MsgButtons::kOk: return MsgResult::kOk;
    case MsgButtons::kYesNo: return MsgResult::kNo;
    case MsgButtons::kOkCancel:
    case MsgButtons::kYesNoCancel: return MsgResult::kCancel;
  }
  return MsgResult::kCancel;
}

// The input box is a dialog made from a template in memory: no resource
// script, so every program that has the prompts has the box.
constexpr WORD kPromptId = 100;
constexpr WORD kEditId = 101;
// The edit control takes the ANSI texts of the program; 255 is what a
// collection or clip title can hold, longer input is cut there anyway.
constexpr int kMaxInput = 4096;


struct InputBoxState {
  const std::string* prompt;
  const std::string* text;
  std::string result;
};

INT_PTR CALLBACK InputBoxProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG: {
      ::SetWindowLongPtrA(dialog, DWLP_USER, lparam);
      const auto* state = reinterpret_cast<const InputBoxState*>(lparam);
      ::SetDlgItemTextA(dialog, kPromptId, state->prompt->c_str());
      ::SetDlgItemTextA(dialog, kEditId, state->text->c_str());
      ::SendDlgItemMessageA(dialog, kEditId, EM_LIMITTEXT, kMaxInput, 0);
      ::SendDlgItemMessageA(dialog, kEditId, EM_SETSEL, 0, -1);
      ::SetFocus(::GetDlgItem(dialog, kEditId));
      return FALSE;  // the focus is set
    }
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK) {
        auto* state = reinterpret_cast<InputBoxState*>(::GetWindowLongPtrA(dialog, DWLP_USER));
        std::vector<char> buffer(kMaxInput + 1, '\0');
        ::GetDlgItemTextA(dialog, kEditId, buffer.data(), static_cast<int>(buffer.size()));
        state->result = buffer.data();
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

}  // namespace

std::optional<std::string> Win32Prompts::InputBox(std::string_view caption, std::string_view prompt,
                                                  std::string_view text, std::uintptr_t owner) {
  const std::string caption_z(caption), prompt_z(prompt), text_z(text);
  DialogTemplate dialog;
  dialog.Header(caption_z.c_str(), 4, 220, 62);
  dialog.Item(0x0082, kPromptId, SS_LEFT, 7, 7, 206, 10, "");
  dialog.Item(0x0081, kEditId, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 7, 20, 206, 13, "");
  dialog.Item(0x0080, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 109, 41, 50, 14, "OK");
  dialog.Item(0x0080, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 163, 41, 50, 14, "Cancel");
  InputBoxState state{&prompt_z, &text_z, {}};
  const INT_PTR answer = ::DialogBoxIndirectParamA(::GetModuleHandleA(nullptr), dialog.Get(),
                                                   reinterpret_cast<HWND>(owner), &InputBoxProc,
                                                   reinterpret_cast<LPARAM>(&state));
  if (answer == -1) LogOsFailure("DialogBoxIndirectParamA(input box)");
  if (answer != IDOK) return std::nullopt;
  return state.result;
}

MsgResult Win32Prompts::ShowMessage(std::string_view text, std::string_view caption, MsgButtons buttons,
                                   MsgIcon icon, std::uintptr_t owner) {
  const std::string text_z(text);
  const std::string caption_z(caption);
  UINT flags = ButtonFlags(buttons) | IconFlags(icon);
  // A box without an owner would leave the program's windows working while
  // it waits, so the user could re-enter whatever asked the question.
  // MB_TASKMODAL disables every top-level window of this thread for as long
  // as the box is up: modal, as the caller expects, owner or not.
  if (owner == 0) flags |= MB_TASKMODAL;
  const int answer = ::MessageBoxA(reinterpret_cast<HWND>(owner), text_z.c_str(), caption_z.c_str(), flags);
  MsgResult result;
  switch (answer) {
    case IDOK: result = MsgResult::kOk; break;
    case IDCANCEL: result = MsgResult::kCancel; break;
    case IDYES: result = MsgResult::kYes; break;
    case IDNO: result = MsgResult::kNo; break;
    default:
      // 0: the box could not be shown at all.
      if (answer == 0) LogOsFailure("MessageBoxA");
      return Dismissed(buttons);
  }
  return Offers(buttons, result) ? result : Dismissed(buttons);
}

}  // namespace om::win32
