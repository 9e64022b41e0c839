// Simulated regional settings: pictures and separator as a test sets them;
// dates are rendered with the portable picture formatter. Texts compare by a
// simple rule of the kind the system's locales follow: letters regardless of
// case first (ANSI case folding), then, for texts that differ only in case,
// lower case before upper case at the first difference ("a" < "A" < "b").
// Other characters count by their byte value. The code page is
// Windows-1252: letters and letter case as text_case.h maps them, no
// double-byte characters.
#pragma once

#include "platform/locale.h"

namespace om::fake {

class FakeLocale : public ILocale {
 public:
  std::string short_date_format = "M/d/yyyy";
  std::string long_time_format = "h:mm:ss tt";
  char decimal_separator = '.';

  std::string ShortDateFormat() override { return short_date_format; }
  std::string LongTimeFormat() override { return long_time_format; }
  char DecimalSeparator() override { return decimal_separator; }
  std::string FormatDateTime(double value) override;
  int CompareText(std::string_view a, std::string_view b) override;
  void AppendSortKey(std::string_view text, std::string& key) override;
  void AnsiUpperCase(std::string& text) override;
  void AnsiLowerCase(std::string& text) override;
  bool IsAnsiAlpha(std::string_view character) override;
  bool IsLeadByte(unsigned char byte) override;
};

}  // namespace om::fake
