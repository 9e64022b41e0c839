// Port: time, timers, sleeping and message processing.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace om {

class IClock {
 public:
  virtual ~IClock() = default;

  // Local date-time as days since 1899-12-30; the fraction is the time of day.
  virtual double Now() = 0;
  // Milliseconds since the system started; wraps after 49.7 days.
  virtual std::uint32_t TickCount() = 0;

  // Starts (or restarts, when already running) timer `id` of window `owner`:
  // every `interval_ms` the window's handler receives msg::kTimer with the id
  // as wparam, until the timer is killed. A one-shot timer is one whose
  // handler kills it first. Timers fire only while messages are processed.
  virtual bool SetTimer(WindowHandle owner, std::uint32_t id, std::uint32_t interval_ms) = 0;
  // Stops the timer; unknown timers are ignored.
  virtual void KillTimer(WindowHandle owner, std::uint32_t id) = 0;

  // Blocks without processing messages.
  virtual void Sleep(std::uint32_t ms) = 0;
  // Delivers the messages (and due timers) pending for this thread, then returns.
  virtual void ProcessMessages() = 0;
};

}  // namespace om
