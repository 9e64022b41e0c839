// IScreen over GetSystemMetrics.
#pragma once

#include "platform/screen.h"

namespace om::win32 {

class Win32Screen final : public IScreen {
 public:
  ScreenSize PrimaryScreenSize() override;
};

}  // namespace om::win32
