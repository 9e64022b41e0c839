// How two texts of a clip-list column compare when the list is sorted by
// that column: as date-times when both read as the user's date-times, else
// as numbers when both read as numbers, else as text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/locale.h"

namespace om {

// The text as a date-time written in the user's short date and long time
// (either may be missing: a date alone, or a time alone). A text counts only
// when it has the date separator twice or the time separator, and then only
// when it reads completely; nullopt otherwise.
std::optional<double> ParseListDateTime(std::string_view text, ILocale& locale);

// Negative, zero or positive as `a` sorts before, with or after `b`
// (ascending). Texts compare in the user's locale, letter case counting.
int CompareListTexts(std::string_view a, std::string_view b, ILocale& locale);

// A column's texts read once for sorting: Compare(a, b) orders texts a and
// b as CompareListTexts does (which is this for two texts), without reading
// them again for every comparison (a sort of 100,000 rows compares about
// two million times). The locale's sort keys of all texts share one buffer.
class ListSortKeys {
 public:
  // The texts must stay valid while the keys are made (not after).
  ListSortKeys(const std::vector<std::string_view>& texts, ILocale& locale);
  ListSortKeys(const std::vector<std::string>& texts, ILocale& locale)
      : ListSortKeys(std::vector<std::string_view>(texts.begin(), texts.end()), locale) {}
  std::size_t size() const { return keys_.size(); }
  int Compare(std::size_t a, std::size_t b) const;

 private:
  struct Key {
    std::optional<double> date_time;
    std::optional<double> number;
    // The sort key's place in text_keys_, and its first eight bytes as one
    // number (zero-padded): most pairs differ there, and two numbers
    // compare much faster than two strings.
    std::size_t offset = 0;
    std::size_t length = 0;
    std::uint64_t prefix = 0;
  };
  std::string_view TextKey(const Key& key) const { return std::string_view(text_keys_).substr(key.offset, key.length); }

  std::vector<Key> keys_;
  std::string text_keys_;
};

}  // namespace om
