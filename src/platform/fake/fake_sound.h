// The simulated desktop's sounds: counted, never played.
#pragma once

#include "platform/sound.h"

namespace om::fake {

class FakeSound final : public ISound {
 public:
  void Beep() override { ++beeps_; }
  int BeepCount() const { return beeps_; }

 private:
  int beeps_ = 0;
};

}  // namespace om::fake
