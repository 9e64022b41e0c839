// The simulated desktop's sounds: counted and recorded, never played.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/sound.h"

namespace om::fake {

class FakeSound final : public ISound {
 public:
  void Beep() override { ++beeps_; }
  void PlayEvent(std::string_view event_name) override { events_.emplace_back(event_name); }
  int BeepCount() const { return beeps_; }
  // The sound events played, oldest first.
  const std::vector<std::string>& Events() const { return events_; }
  void ClearEvents() { events_.clear(); }

 private:
  int beeps_ = 0;
  std::vector<std::string> events_;
};

}  // namespace om::fake
