// Port: the system shell's default action on a URL, a file or a folder
// (the browser for a URL, the program the file's type is registered to).
#pragma once

#include <string_view>

namespace om {

class IShell {
 public:
  virtual ~IShell() = default;
  // Opens `target` with the shell's "open" action, its window shown
  // normally. False when the shell could not (nothing registered, not
  // found); the failure is logged by the adapter.
  virtual bool Open(std::string_view target) = 0;
};

}  // namespace om
