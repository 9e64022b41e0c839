// Port: the system's message boxes. (The method is not called MessageBox:
// <windows.h> defines that name as a macro.)
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace om {

enum class MsgIcon { kNone, kError, kWarning, kInformation, kQuestion };
enum class MsgButtons { kOk, kOkCancel, kYesNo, kYesNoCancel };
enum class MsgResult { kOk, kCancel, kYes, kNo };

// Whether a box with `buttons` has a button that gives `result`.
constexpr bool Offers(MsgButtons buttons, MsgResult result) {
  switch (buttons) {
    case MsgButtons::kOk: return result == MsgResult::kOk;
    case MsgButtons::kOkCancel: return result == MsgResult::kOk || result == MsgResult::kCancel;
    case MsgButtons::kYesNo: return result == MsgResult::kYes || result == MsgResult::kNo;
    case MsgButtons::kYesNoCancel: return result != MsgResult::kOk;
  }
  return false;
}

class IPrompts {
 public:
  virtual ~IPrompts() = default;
  // A modal message box owned by `owner` (0: no owner); returns the button
  // the user chose. Closing the box with Escape or its close button counts
  // as Cancel (or as No for kYesNo, OK for kOk).
  virtual MsgResult ShowMessage(std::string_view text, std::string_view caption, MsgButtons buttons,
                                MsgIcon icon, std::uintptr_t owner = 0) = 0;
  // A modal input box: `caption`, the `prompt` above one line of text
  // preset with `text`, OK and Cancel. The text the user left on OK;
  // nullopt on Cancel (or Escape, or the close button).
  virtual std::optional<std::string> InputBox(std::string_view caption, std::string_view prompt,
                                              std::string_view text, std::uintptr_t owner = 0) = 0;
};

}  // namespace om
