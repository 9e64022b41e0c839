// Hot keys of the simulated desktop: one table for every process, as the
// system keeps it. A combination can be marked taken by another program.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <utility>

#include "platform/hot_keys.h"

namespace om::fake {

class FakeHotKeys final : public IHotKeys {
 public:
  struct Combination {
    std::uint32_t modifiers;
    std::uint32_t key;
    auto operator<=>(const Combination&) const = default;
  };
  struct Registration {
    WindowHandle window;
    int id;
    Combination combination;
  };

  bool Register(WindowHandle window, int id, std::uint32_t modifiers, std::uint32_t virtual_key) override {
    const Combination combination{modifiers, virtual_key};
    if (taken_.count(combination) != 0) return false;
    for (const auto& [key, registration] : registered_) {
      if (registration.combination == combination) return false;
    }
    // The same identifier again replaces nothing: the system refuses it.
    if (registered_.count({window, id}) != 0) return false;
    registered_[{window, id}] = {window, id, combination};
    return true;
  }
  void Unregister(WindowHandle window, int id) override { registered_.erase({window, id}); }

  // Another program holds this combination.
  void Take(std::uint32_t modifiers, std::uint32_t key) { taken_.insert({modifiers, key}); }
  // What is registered now, by window and identifier.
  const std::map<std::pair<WindowHandle, int>, Registration>& Registered() const { return registered_; }

 private:
  std::set<Combination> taken_;
  std::map<std::pair<WindowHandle, int>, Registration> registered_;
};

}  // namespace om::fake
