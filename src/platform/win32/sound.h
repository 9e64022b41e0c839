// ISound over MessageBeep and PlaySound.
#pragma once

#include "platform/sound.h"

namespace om::win32 {

class Win32Sound final : public ISound {
 public:
  void Beep() override;
  void PlayEvent(std::string_view event_name) override;
};

}  // namespace om::win32
