// One format of a clip locked for a scope's life (TClipObj::Lock and
// Unlock), so that every way out of the scope unlocks it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <string_view>

#include "store/clip_obj.h"

namespace om {

class TClipLock {
 public:
  TClipLock(TClipObj& clip, std::uint32_t format) : clip_(clip), size_(clip.Lock(format)) {}
  ~TClipLock() {
    if (clip_.LockedFormat != 0) clip_.Unlock();
  }
  TClipLock(const TClipLock&) = delete;
  TClipLock& operator=(const TClipLock&) = delete;

  // Whether the format could be locked (it exists and holds bytes).
  bool Locked() const { return clip_.LockedFormat != 0 && clip_.LockedText != nullptr; }
  std::span<const std::uint8_t> Bytes() const {
    if (!Locked() || size_ <= 0) return {};
    return {clip_.LockedText, static_cast<std::size_t>(size_)};
  }
  // The bytes up to the first zero byte (text blocks carry their
  // terminator; one without ends at the block's end).
  std::string_view Text() const {
    const auto bytes = Bytes();
    const auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
    return {reinterpret_cast<const char*>(bytes.data()), static_cast<std::size_t>(end - bytes.begin())};
  }

 private:
  TClipObj& clip_;
  std::int32_t size_;
};

}  // namespace om
