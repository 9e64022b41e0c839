// What the store tests read out of a clip they loaded, with nothing but the
// program's own store headers (the Windows tests use it too).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/types.h"
#include "store/clip_obj.h"

namespace om::testing {

// The text of a clip's CF_TEXT up to its terminator, loading a stored-apart
// clip's data file.
inline std::string ClipText(TClipObj& clip) {
  const std::int32_t size = clip.Lock(cf::kText);
  std::string text;
  if (size > 0 && clip.LockedText != nullptr) {
    text.assign(reinterpret_cast<const char*>(clip.LockedText), static_cast<std::size_t>(size));
    text = text.substr(0, text.find('\0'));
  }
  if (clip.LockedFormat != 0) clip.Unlock();
  return text;
}

}  // namespace om::testing
