// IAppMessages as the system's message boxes.
//
// Construction: `Win32AppMessages messages;` (no arguments). A box has no
// owner window and is task-modal (see Win32Prompts).
#pragma once

#include "app/app_messages.h"
#include "platform/win32/prompts.h"

namespace om {

class Win32AppMessages final : public IAppMessages {
 public:
  // An information box (OK button, information icon) captioned kApplicationTitle.
  void Information(std::string_view text) override;

 private:
  win32::Win32Prompts prompts_;
};

}  // namespace om
