// A message handler for the simulated desktop's own tests: it notes every
// message with the virtual time it arrived at and can run a reaction.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/fake/fake_clock.h"
#include "platform/window_system.h"

namespace om::fake {

struct Noted {
  std::uint64_t at_ms;
  std::uint32_t message;
  std::uintptr_t wparam;
  friend bool operator==(const Noted&, const Noted&) = default;
};

class Recorder final : public IMessageHandler {
 public:
  explicit Recorder(FakeClock* clock = nullptr) : clock_(clock) {}

  std::intptr_t OnMessage(WindowHandle self, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam,
                          bool& handled) override {
    noted.push_back({clock_ ? clock_->ElapsedMs() : 0, message, wparam});
    if (react) return react(self, message, wparam, lparam);
    return 0;
  }

  int Count(std::uint32_t message) const {
    int n = 0;
    for (const Noted& x : noted) n += x.message == message ? 1 : 0;
    return n;
  }

  std::vector<Noted> noted;
  std::function<std::intptr_t(WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t)> react;

 private:
  FakeClock* clock_;
};

}  // namespace om::fake
