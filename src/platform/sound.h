// Port: sounds.
#pragma once

namespace om {

class ISound {
 public:
  virtual ~ISound() = default;
  // The system's default sound (MessageBeep(0)).
  virtual void Beep() = 0;
};

}  // namespace om
