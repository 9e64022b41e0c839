// ISound over MessageBeep.
#pragma once

#include "platform/sound.h"

namespace om::win32 {

class Win32Sound final : public ISound {
 public:
  void Beep() override;
};

}  // namespace om::win32
