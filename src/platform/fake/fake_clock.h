// Virtual time for the simulated desktop. Nothing happens until a test moves
// time on: Advance plays the time as a program with a running message loop
// would see it (every timer firing at its due time, posted messages as soon
// as they are queued); Sleep lets time pass without delivering anything, as
// the real Sleep does not pump.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/clock.h"
#include "platform/fake/fake_windows.h"

namespace om::fake {

class FakeClock final : public IClock {
 public:
  explicit FakeClock(FakeWindowSystem& windows);

  double Now() override;
  std::uint32_t TickCount() override;
  bool SetTimer(WindowHandle owner, std::uint32_t id, std::uint32_t interval_ms) override;
  void KillTimer(WindowHandle owner, std::uint32_t id) override;
  void Sleep(std::uint32_t ms) override;
  // Posted messages, then every overdue timer once (overdue ticks do not
  // pile up, as WM_TIMER does not), then what those handlers posted.
  void ProcessMessages() override;

  // Moves time forward by `ms`, firing each timer at its due time (in due
  // order; timers due together in the order they were set) and delivering
  // posted messages before anything that falls due later.
  void Advance(std::uint32_t ms);

  // Sets the current date-time; time keeps running from there.
  void SetNow(double date_time);
  void SetTickCount(std::uint32_t ticks);
  // Virtual milliseconds since the desktop started.
  std::uint64_t ElapsedMs() const { return now_ms_; }
  bool HasTimer(WindowHandle owner, std::uint32_t id) const;
  std::size_t TimerCount() const { return timers_.size(); }

 private:
  struct Timer {
    WindowHandle owner;
    std::uint32_t id;
    std::uint32_t interval_ms;
    std::uint64_t due_ms;
    std::uint64_t order;  // when set: breaks ties between timers due together
  };

  // The earliest timer due at or before `limit_ms`, or nullptr.
  Timer* NextDue(std::uint64_t limit_ms);
  Timer* Find(WindowHandle owner, std::uint32_t id);
  void Fire(Timer& timer);

  FakeWindowSystem& windows_;
  std::uint64_t now_ms_ = 0;
  double start_date_time_;
  std::uint32_t start_ticks_ = 5'000'000;
  std::uint64_t next_order_ = 0;
  std::vector<Timer> timers_;
};

}  // namespace om::fake
