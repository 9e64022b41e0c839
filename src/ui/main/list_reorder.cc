#include "ui/main/list_reorder.h"

#include <algorithm>
#include <limits>

namespace om {

namespace {

constexpr std::int64_t kSmallest = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kLargest = std::numeric_limits<std::int32_t>::max();
// How far above the largest key the high end lies at least.
constexpr std::int64_t kHighEndMargin = 10;

std::int32_t Clamped(std::int64_t value) { return static_cast<std::int32_t>(std::clamp(value, kSmallest, kLargest)); }

}  // namespace

std::vector<std::int32_t> SpacedSortKeys(SortKeyBounds bounds, int count, bool ascending) {
  std::vector<std::int32_t> keys;
  if (count <= 0) return keys;
  keys.reserve(static_cast<std::size_t>(count));
  const std::int64_t a = bounds.a;
  const std::int64_t b = bounds.b;
  // Up to 2^32 - 1: only 64 bits hold the difference of two 32-bit keys.
  const std::int64_t span = a > b ? a - b : b - a;
  const std::int64_t step = span / (static_cast<std::int64_t>(count) + 1);
  const std::int64_t low = std::min(a, b);
  // Every key stays within [min(A, B), max(A, B)], so within 32 bits.
  std::int64_t offset = ascending ? 0 : span;
  for (int i = 0; i < count; ++i) {
    offset += ascending ? step : -step;
    keys.push_back(static_cast<std::int32_t>(low + offset));
  }
  return keys;
}

std::int32_t LowEndBelow(std::int32_t first_key, int count) {
  if (first_key > 0) return 0;
  return Clamped(static_cast<std::int64_t>(first_key) - std::max<std::int64_t>(count, 0) - 1);
}

std::int32_t HighEndAbove(std::int32_t next_clip_sort_key, std::int32_t largest_key) {
  return Clamped(std::max<std::int64_t>(next_clip_sort_key, static_cast<std::int64_t>(largest_key) + kHighEndMargin));
}

SortKeyBounds DropBounds(const std::int32_t* above_key, std::int32_t target_key, int count, bool ascending,
                         std::int32_t next_clip_sort_key) {
  if (above_key != nullptr) return {*above_key, target_key};
  return {ascending ? LowEndBelow(target_key, count) : HighEndAbove(next_clip_sort_key, target_key), target_key};
}

SortKeyBounds MoveToEndBounds(bool top, bool ascending, std::int32_t first_key, std::int32_t last_key, int count,
                              std::int32_t next_clip_sort_key) {
  const std::int32_t b = top ? first_key : last_key;
  // The low end lies below the smallest key of the list: its first row's
  // when ascending, its last's when descending, which is B in both cases.
  const bool low_end = top == ascending;
  const std::int32_t a =
      low_end ? LowEndBelow(b, count) : HighEndAbove(next_clip_sort_key, std::max(first_key, last_key));
  return {a, b};
}

}  // namespace om
