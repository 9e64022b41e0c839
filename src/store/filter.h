// The application profile as capture sees it: one question per format
// offered, whether this application's data in this format is kept. The
// profile itself (its registry key and the rules by which it learns new
// applications and formats) implements it.
#pragma once

#include <string_view>

namespace om {

class Tfilter {
 public:
  virtual ~Tfilter() = default;
  // True when data of `app` (the creator name of the source application) in
  // the format named `format` is to be captured.
  virtual bool IsCoffee(std::string_view app, std::string_view format) = 0;
};

}  // namespace om
