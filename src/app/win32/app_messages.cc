#include "app/win32/app_messages.h"

namespace om {

void Win32AppMessages::Information(std::string_view text) {
  prompts_.ShowMessage(text, kApplicationTitle, MsgButtons::kOk, MsgIcon::kInformation);
}

}  // namespace om
