// Simulated primary screen.
#pragma once

#include "platform/screen.h"

namespace om::fake {

class FakeScreen : public IScreen {
 public:
  ScreenSize size{1024, 768};
  ScreenSize PrimaryScreenSize() override { return size; }
};

}  // namespace om::fake
