#include "platform/win32/hot_keys.h"

#include <windows.h>

namespace om::win32 {

bool Win32HotKeys::Register(WindowHandle window, int id, std::uint32_t modifiers, std::uint32_t virtual_key) {
  return ::RegisterHotKey(reinterpret_cast<HWND>(window), id, modifiers, virtual_key) != FALSE;
}

void Win32HotKeys::Unregister(WindowHandle window, int id) {
  ::UnregisterHotKey(reinterpret_cast<HWND>(window), id);
}

}  // namespace om::win32
