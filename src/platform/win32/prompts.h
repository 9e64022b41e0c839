// IPrompts over MessageBoxA.
//
// This header stays free of <windows.h> on purpose: that header makes
// MessageBox a macro (MessageBoxA), which would rename the method below.
#pragma once

#include "platform/prompts.h"

namespace om::win32 {

class Win32Prompts final : public IPrompts {
 public:
  std::optional<std::string> InputBox(std::string_view caption, std::string_view prompt, std::string_view text,
                                      std::uintptr_t owner = 0) override;
  MsgResult ShowMessage(std::string_view text, std::string_view caption, MsgButtons buttons, MsgIcon icon,
                       std::uintptr_t owner = 0) override;
};

}  // namespace om::win32
