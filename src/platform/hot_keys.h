// Port: system-wide hot keys. A registered key combination sends
// msg::kHotKey (wparam: its identifier) to the window it was registered
// for, whichever program is in front.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace om {

// The modifiers of a hot key, identical to the Win32 values.
namespace hotkeymod {
constexpr std::uint32_t kAlt = 0x0001;      // MOD_ALT
constexpr std::uint32_t kControl = 0x0002;  // MOD_CONTROL
constexpr std::uint32_t kShift = 0x0004;    // MOD_SHIFT
}  // namespace hotkeymod

class IHotKeys {
 public:
  virtual ~IHotKeys() = default;
  // RegisterHotKey; false when the combination is taken (by another
  // program, or by this one under another identifier).
  virtual bool Register(WindowHandle window, int id, std::uint32_t modifiers, std::uint32_t virtual_key) = 0;
  // UnregisterHotKey; an identifier not registered is ignored.
  virtual void Unregister(WindowHandle window, int id) = 0;
};

}  // namespace om
