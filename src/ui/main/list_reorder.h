// Sort keys for clips moved within their collection: dragged in front of
// another row of the clip list, or moved to the top or the bottom of the
// "MySort" order. The moved clips get evenly spaced keys strictly between
// two bounds A and B, in their previous relative order; when the bounds
// are too close for that (closer than the number of clips + 1) the clips
// get equal keys.
//
// Keys are 32-bit. Every difference and bound is worked out in 64 bits and
// clamped to the 32-bit range, so keys near the ends of the range give
// equal keys rather than keys that have wrapped round to the other end of
// the order.
#pragma once

#include <cstdint>
#include <vector>

namespace om {

// The bounds the moved clips are spread between.
struct SortKeyBounds {
  std::int32_t a = 0;
  std::int32_t b = 0;
  bool operator==(const SortKeyBounds&) const = default;
};

// The `count` new keys between `bounds.a` and `bounds.b`, for the clips in
// list order. With d = |A - B| div (count + 1), an ascending list gets
// min(A, B) + d, + 2d, ...; a descending one max(A, B) - d, - 2d, ...
std::vector<std::int32_t> SpacedSortKeys(SortKeyBounds bounds, int count, bool ascending);

// The low end of the order, below a row whose key is `first_key`: 0, as
// every key the program hands out is positive. A key of 0 or below (only
// old or foreign collection files hold such keys) would leave no room
// above 0, so the low end is then `count` + 1 below that key.
std::int32_t LowEndBelow(std::int32_t first_key, int count);

// The high end of the order, above every row (the largest of whose keys is
// `largest_key`): the collection's next clip sort key, but at least 10
// above the largest key (the next key starts from 100 again once the
// counter passes the 32-bit range, and would then lie below).
std::int32_t HighEndAbove(std::int32_t next_clip_sort_key, std::int32_t largest_key);

// A drop in front of the row with `target_key`. `above_key` is the key of
// the row just above the target, or nullptr when the target is the first
// row: then an ascending list starts at its low end and a descending one
// at its high end (`next_clip_sort_key`, asked for only then).
SortKeyBounds DropBounds(const std::int32_t* above_key, std::int32_t target_key, int count, bool ascending,
                         std::int32_t next_clip_sort_key);

// "Move To Top" or "Move To Bottom" of a list sorted on "MySort": `first_key`
// and `last_key` are the keys of the list's first and last rows. The top of
// an ascending list and the bottom of a descending one are its low end, the
// others its high end; the other bound is the first row's key for the top,
// the last row's for the bottom.
SortKeyBounds MoveToEndBounds(bool top, bool ascending, std::int32_t first_key, std::int32_t last_key, int count,
                              std::int32_t next_clip_sort_key);

}  // namespace om
