// The message boxes the application frame shows.
#pragma once

#include <string_view>

namespace om {

// The application's title: the caption of the program's message boxes that
// have none of their own.
inline constexpr char kApplicationTitle[] = "Ottermoor 1.0";

class IAppMessages {
 public:
  virtual ~IAppMessages() = default;
  // An information message with an OK button; returns when it is closed.
  virtual void Information(std::string_view text) = 0;
};

}  // namespace om
