// IKeyboard over the current keyboard layout and keybd_event.
#pragma once

#include "platform/keyboard.h"

namespace om::win32 {

// Needs nothing but the thread it is used on, which must be the program's
// user-interface thread (Activate attaches that thread's input for a moment).
class Win32Keyboard final : public IKeyboard {
 public:
  std::int16_t KeyForChar(char c) override;
  std::uint16_t ScanCode(std::uint8_t vk) override;
  void KeyEvent(std::uint8_t vk, std::uint8_t scan, bool key_up, bool extended) override;
  void Activate(WindowHandle window) override;
};

}  // namespace om::win32
