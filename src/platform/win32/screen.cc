#include "platform/win32/screen.h"

#include <windows.h>

namespace om::win32 {

ScreenSize Win32Screen::PrimaryScreenSize() {
  return ScreenSize{::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

}  // namespace om::win32
