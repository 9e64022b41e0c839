#include "platform/fake/fake_locale.h"

#include "platform/text_case.h"

namespace om::fake {

std::string FakeLocale::FormatDateTime(double value) {
  const DateTimeParts parts = DecodeDateTime(value);
  return FormatDateTimePicture(parts, short_date_format) + " " + FormatDateTimePicture(parts, long_time_format);
}

int FakeLocale::CompareText(std::string_view a, std::string_view b) {
  const auto sign = [](int x) { return x < 0 ? -1 : (x > 0 ? 1 : 0); };
  if (const int folded = om::AnsiLowerCase(a).compare(om::AnsiLowerCase(b)); folded != 0) return sign(folded);
  // Equal but for case (and so of equal length): the first position where
  // they differ decides, the lower-case letter first.
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) return om::AnsiLowerCase(a.substr(i, 1))[0] == a[i] ? -1 : 1;
  }
  return 0;
}

void FakeLocale::AppendSortKey(std::string_view text, std::string& key) {
  // The folded text first, then (after a byte below every character) one
  // mark per character, a lower-case one first: the order CompareText gives.
  const std::string folded = om::AnsiLowerCase(text);
  for (char c : folded) {
    // Bytes shifted up by one, so that the separator sorts below them all.
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0xFF) {
      key += '\xFF';
      key += '\xFF';
    } else {
      key += static_cast<char>(byte + 1);
    }
  }
  key += '\0';
  for (std::size_t i = 0; i < text.size(); ++i) key += folded[i] == text[i] ? '\1' : '\2';
}

void FakeLocale::AnsiUpperCase(std::string& text) { text = om::AnsiUpperCase(text); }

void FakeLocale::AnsiLowerCase(std::string& text) { text = om::AnsiLowerCase(text); }

bool FakeLocale::IsAnsiAlpha(std::string_view character) {
  return character.size() == 1 && om::IsAnsiAlpha(static_cast<unsigned char>(character[0]));
}

bool FakeLocale::IsLeadByte(unsigned char) { return false; }

}  // namespace om::fake
