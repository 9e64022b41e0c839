// Port: the keyboard layout and synthetic keystrokes.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace om {

// Virtual-key codes the portable code names, identical to the Win32 values.
namespace vk {
constexpr std::uint8_t kBack = 0x08;
constexpr std::uint8_t kTab = 0x09;
constexpr std::uint8_t kReturn = 0x0D;
constexpr std::uint8_t kShift = 0x10;
constexpr std::uint8_t kControl = 0x11;
constexpr std::uint8_t kMenu = 0x12;  // Alt
constexpr std::uint8_t kEscape = 0x1B;
constexpr std::uint8_t kSpace = 0x20;
constexpr std::uint8_t kPrior = 0x21;  // Page Up
constexpr std::uint8_t kNext = 0x22;   // Page Down
constexpr std::uint8_t kEnd = 0x23;
constexpr std::uint8_t kHome = 0x24;
constexpr std::uint8_t kLeft = 0x25;
constexpr std::uint8_t kUp = 0x26;
constexpr std::uint8_t kRight = 0x27;
constexpr std::uint8_t kDown = 0x28;
constexpr std::uint8_t kSnapshot = 0x2C;  // Print Screen
constexpr std::uint8_t kInsert = 0x2D;
constexpr std::uint8_t kDelete = 0x2E;
constexpr std::uint8_t kF1 = 0x70;  // F1 to F24 are consecutive
constexpr std::uint8_t kF24 = 0x87;
}  // namespace vk

class IKeyboard {
 public:
  virtual ~IKeyboard() = default;

  // The current layout's key for an ANSI character (VkKeyScanA): the low
  // byte is the virtual key, the high byte the shift state it needs (1
  // Shift, 2 Ctrl, 4 Alt, combined). -1 when the layout has no key for it.
  // (Not called VkKeyScan: <windows.h> makes that name a macro.)
  virtual std::int16_t KeyForChar(char c) = 0;

  // The layout's scan code for a virtual key (MapVirtualKeyA, virtual key to
  // scan code with prefix): the low byte is the code; the high byte is 0xE0
  // or 0xE1 for a key that sends that prefix, as far as the layout says (not
  // every layout does, see TSendKey). 0 when the layout has no such key.
  virtual std::uint16_t ScanCode(std::uint8_t vk) = 0;

  // One synthetic keyboard event (keybd_event): `vk` pressed or released,
  // with its scan code and the extended-key flag.
  virtual void KeyEvent(std::uint8_t vk, std::uint8_t scan, bool key_up, bool extended) = 0;

  // Makes the top-level window of `window` the foreground window and gives
  // `window` itself the keyboard focus; `window` may be a control inside
  // it, and may belong to another thread or process.
  virtual void Activate(WindowHandle window) = 0;
};

}  // namespace om
