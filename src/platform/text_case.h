// Letter case of 8-bit text in the ANSI code page (Windows-1252), the
// program's text encoding. ASCII letters and the accented letters of the
// code page are mapped; every other byte stays as it is.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace om {

std::string AnsiUpperCase(std::string_view text);
std::string AnsiLowerCase(std::string_view text);
// Whether the byte is a letter of the code page: A-Z, a-z, the accented
// letters (but not the multiplication and division signs), and the other
// letters of Windows-1252 (f with hook, the modifier circumflex, S/Z
// caron, OE, Y diaeresis, the ordinal indicators and micro sign), as the
// system classifies them.
bool IsAnsiAlpha(unsigned char c);
// Only A-Z and a-z change; every other byte stays.
std::string AsciiUpperCase(std::string_view text);
// Equal when the texts differ at most in the case of ASCII letters.
bool SameTextIgnoringCase(std::string_view a, std::string_view b);

// Looks for one text in many others, both sides compared with only the
// letters a to z folded to capitals (accented letters must match exactly),
// as the find command compares. Each text searched is copied and folded
// into a buffer the searcher keeps, then scanned by Boyer-Moore-Horspool;
// the fold has no branch, so the copy runs at memory speed. An empty
// needle is found nowhere. Not thread-safe (the buffer is shared).
class TAsciiFoldedSearch {
 public:
  explicit TAsciiFoldedSearch(std::string_view needle);
  // The needle in capitals.
  const std::string& Needle() const { return needle_; }
  bool FoundIn(std::string_view text);

 private:
  std::string needle_;
  std::array<std::size_t, 256> skip_{};
  std::string buffer_;
};

}  // namespace om
