#include "platform/win32/sound.h"

#include <windows.h>

namespace om::win32 {

// 0 (MB_OK): the "default beep" sound of the user's sound scheme.
void Win32Sound::Beep() { ::MessageBeep(0); }

}  // namespace om::win32
