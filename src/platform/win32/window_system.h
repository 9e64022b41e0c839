// IWindowSystem over real Win32 windows.
#pragma once

#include <windows.h>

#include "platform/window_system.h"

namespace om::win32 {

inline HWND ToHwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }
inline WindowHandle FromHwnd(HWND window) { return reinterpret_cast<WindowHandle>(window); }

// Hidden top-level windows of one window class whose procedure hands every
// message to the window's IMessageHandler. They are top-level (not
// message-only) because only those take part in the clipboard viewer chain
// reliably. Windows belong to the thread that creates them.
class Win32WindowSystem final : public IWindowSystem {
 public:
  Win32WindowSystem();

  WindowHandle CreateHidden(IMessageHandler& handler, std::string_view title) override;
  void Destroy(WindowHandle window) override;
  bool Exists(WindowHandle window) override;

  SendResult Send(WindowHandle target, std::uint32_t message, std::uintptr_t wparam,
                  std::intptr_t lparam) override;
  SendResult SendWithTimeout(WindowHandle target, std::uint32_t message, std::uintptr_t wparam,
                             std::intptr_t lparam, std::uint32_t timeout_ms) override;
  bool Post(WindowHandle target, std::uint32_t message, std::uintptr_t wparam,
            std::intptr_t lparam) override;

 private:
  bool registered_ = false;
};

}  // namespace om::win32
