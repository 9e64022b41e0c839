// A font as the settings keep it: a plain description, no system object.
// The windows create their own system fonts from it.
#pragma once

#include <cstdint>
#include <string>

namespace om {

struct TFontDesc {
  std::string Name;
  std::int32_t Size = 8;     // points
  std::int32_t Charset = 1;  // 0..255; 1 is the default character set

  bool operator==(const TFontDesc&) const = default;
};

}  // namespace om
