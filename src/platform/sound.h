// Port: sounds.
#pragma once

#include <string_view>

namespace om {

class ISound {
 public:
  virtual ~ISound() = default;
  // The system's default sound (MessageBeep(0)).
  virtual void Beep() = 0;
  // Plays the named sound event (an "AppEvents" alias the user assigns a
  // sound to in the system's sound settings) asynchronously: the call
  // returns at once, and the system's default sound plays when the event has
  // no sound of its own.
  virtual void PlayEvent(std::string_view event_name) = 0;
};

}  // namespace om
