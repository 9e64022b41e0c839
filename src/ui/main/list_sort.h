// How two texts of a clip-list column compare when the list is sorted by
// that column: as date-times when both read as the user's date-times, else
// as numbers when both read as numbers, else as text.
#pragma once

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

// A text read once for sorting: CompareListSortKeys on two keys gives what
// CompareListTexts gives on their texts, without reading them again for
// every comparison (a sort of 100,000 rows compares about two million
// times).
struct ListSortKey {
  std::optional<double> date_time;
  std::optional<double> number;
  std::string text;  // the locale's sort key (ILocale::SortKey)
};
std::vector<ListSortKey> MakeListSortKeys(const std::vector<std::string>& texts, ILocale& locale);
int CompareListSortKeys(const ListSortKey& a, const ListSortKey& b);

}  // namespace om
