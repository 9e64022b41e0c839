// IClock over the system time, Win32 timers and this thread's message queue.
#pragma once

#include "platform/clock.h"

namespace om::win32 {

class Win32Clock final : public IClock {
 public:
  double Now() override;
  std::uint32_t TickCount() override;
  // Window timers: WM_TIMER reaches the owner's window procedure (and so its
  // IMessageHandler) while this thread processes messages.
  bool SetTimer(WindowHandle owner, std::uint32_t id, std::uint32_t interval_ms) override;
  void KillTimer(WindowHandle owner, std::uint32_t id) override;
  void Sleep(std::uint32_t ms) override;
  void ProcessMessages() override;
};

}  // namespace om::win32
