#include "platform/fake/fake_clock.h"

#include <algorithm>
#include <tuple>

#include "platform/datetime.h"

namespace om::fake {

namespace {
// SetTimer raises shorter intervals to this (USER_TIMER_MINIMUM).
constexpr std::uint32_t kMinimumIntervalMs = 10;
}  // namespace

FakeClock::FakeClock(FakeWindowSystem& windows)
    : windows_(windows), start_date_time_(EncodeDateTime({2026, 3, 2, 9, 30, 0, 0})) {
  // Timers die with their window.
  windows_.OnDestroy([this](WindowHandle window) {
    std::erase_if(timers_, [window](const Timer& t) { return t.owner == window; });
  });
}

double FakeClock::Now() { return start_date_time_ + static_cast<double>(now_ms_) / kMillisecondsPerDay; }

std::uint32_t FakeClock::TickCount() { return start_ticks_ + static_cast<std::uint32_t>(now_ms_); }

void FakeClock::SetNow(double date_time) {
  start_date_time_ = date_time - static_cast<double>(now_ms_) / kMillisecondsPerDay;
}

void FakeClock::SetTickCount(std::uint32_t ticks) { start_ticks_ = ticks - static_cast<std::uint32_t>(now_ms_); }

FakeClock::Timer* FakeClock::Find(WindowHandle owner, std::uint32_t id) {
  auto it = std::find_if(timers_.begin(), timers_.end(),
                         [&](const Timer& t) { return t.owner == owner && t.id == id; });
  return it == timers_.end() ? nullptr : &*it;
}

bool FakeClock::HasTimer(WindowHandle owner, std::uint32_t id) const {
  return std::any_of(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.owner == owner && t.id == id; });
}

bool FakeClock::SetTimer(WindowHandle owner, std::uint32_t id, std::uint32_t interval_ms) {
  if (!windows_.Exists(owner)) return false;
  interval_ms = std::max(interval_ms, kMinimumIntervalMs);
  const Timer fresh{owner, id, interval_ms, now_ms_ + interval_ms, next_order_++};
  if (Timer* running = Find(owner, id)) {
    *running = fresh;  // restarting counts the interval from now
  } else {
    timers_.push_back(fresh);
  }
  return true;
}

void FakeClock::KillTimer(WindowHandle owner, std::uint32_t id) {
  std::erase_if(timers_, [&](const Timer& t) { return t.owner == owner && t.id == id; });
}

void FakeClock::Sleep(std::uint32_t ms) { now_ms_ += ms; }

FakeClock::Timer* FakeClock::NextDue(std::uint64_t limit_ms) {
  Timer* best = nullptr;
  for (Timer& t : timers_) {
    if (t.due_ms > limit_ms || windows_.IsHung(t.owner)) continue;
    if (!best || std::tie(t.due_ms, t.order) < std::tie(best->due_ms, best->order)) best = &t;
  }
  return best;
}

void FakeClock::Fire(Timer& timer) {
  // Rescheduled before the handler runs, so the handler may kill or restart it.
  timer.due_ms = now_ms_ + timer.interval_ms;
  const WindowHandle owner = timer.owner;
  const std::uint32_t id = timer.id;
  windows_.Send(owner, msg::kTimer, id, 0);
}

void FakeClock::ProcessMessages() {
  windows_.DeliverPosted();
  // Each overdue timer fires once, however many intervals it missed. The
  // snapshot keeps a timer restarted by a handler from firing again here.
  std::vector<Timer> ordered;
  for (const Timer& t : timers_)
    if (t.due_ms <= now_ms_ && !windows_.IsHung(t.owner)) ordered.push_back(t);
  std::sort(ordered.begin(), ordered.end(),
            [](const Timer& a, const Timer& b) { return std::tie(a.due_ms, a.order) < std::tie(b.due_ms, b.order); });
  for (const Timer& t : ordered) {
    Timer* still = Find(t.owner, t.id);
    if (still && still->due_ms <= now_ms_ && still->order == t.order) Fire(*still);
    windows_.DeliverPosted();
  }
}

void FakeClock::Advance(std::uint32_t ms) {
  const std::uint64_t target = now_ms_ + ms;
  for (;;) {
    windows_.DeliverPosted();
    Timer* next = NextDue(target);
    if (!next) break;
    now_ms_ = std::max(now_ms_, next->due_ms);
    Fire(*next);
  }
  // A handler may have slept past the target; time never runs backwards.
  now_ms_ = std::max(now_ms_, target);
  windows_.DeliverPosted();
}

}  // namespace om::fake
