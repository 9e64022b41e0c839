#include "platform/win32/sound.h"

#include <windows.h>
#include <mmsystem.h>

#include <string>

namespace om::win32 {

// 0 (MB_OK): the "default beep" sound of the user's sound scheme.
void Win32Sound::Beep() { ::MessageBeep(0); }

// By alias, asynchronously; without SND_NODEFAULT the system's default sound
// plays when the user gave the event no sound of its own.
void Win32Sound::PlayEvent(std::string_view event_name) {
  const std::string name(event_name);
  ::PlaySoundA(name.c_str(), nullptr, SND_ALIAS | SND_ASYNC);
}

}  // namespace om::win32
