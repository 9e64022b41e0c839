// IHotKeys over RegisterHotKey and UnregisterHotKey.
#pragma once

#include "platform/hot_keys.h"

namespace om::win32 {

class Win32HotKeys final : public IHotKeys {
 public:
  bool Register(WindowHandle window, int id, std::uint32_t modifiers, std::uint32_t virtual_key) override;
  void Unregister(WindowHandle window, int id) override;
};

}  // namespace om::win32
