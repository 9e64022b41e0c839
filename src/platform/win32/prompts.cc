#include "platform/win32/prompts.h"

#include <windows.h>

#include <string>

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

}  // namespace

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
