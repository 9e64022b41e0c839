// How two texts of a clip-list column compare when the list is sorted by
// that column: as date-times when both read as the user's date-times, else
// as numbers when both read as numbers, else as text.
#pragma once

#include <optional>
#include <string_view>

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

}  // namespace om
