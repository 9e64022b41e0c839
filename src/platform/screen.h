// Port: the size of the primary screen, against which stored window
// positions are corrected.
#pragma once

namespace om {

struct ScreenSize {
  int width = 0;
  int height = 0;
};

class IScreen {
 public:
  virtual ~IScreen() = default;
  // The primary screen in pixels.
  virtual ScreenSize PrimaryScreenSize() = 0;
};

}  // namespace om
