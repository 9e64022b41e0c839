// The file list of a dropped-files block (CF_HDROP): a 20-byte DROPFILES
// header (offset of the names, drop point, non-client flag, wide flag), then
// the names, each ended by a zero character, and one more zero at the end.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace om {

// The names in order, in the ANSI code page: wide names are converted, a
// character the code page lacks becoming '?'. Nothing is read outside the
// block: a header that does not fit or points past the end gives no names,
// and a list that runs to the end without its terminators ends there.
std::vector<std::string> DropFileNames(std::span<const std::uint8_t> block);

// UTF-16 text in the ANSI code page (Windows-1252), '?' for what it lacks.
// A surrogate pair is one character.
std::string WideToAnsi(std::u16string_view text);

}  // namespace om
