// The simulated desktop's shell: what it was asked to open, never opened.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/shell.h"

namespace om::fake {

class FakeShell final : public IShell {
 public:
  bool Open(std::string_view target) override {
    opened.emplace_back(target);
    return answer;
  }
  // Every target, oldest first; the answer the next ones get.
  std::vector<std::string> opened;
  bool answer = true;
};

}  // namespace om::fake
