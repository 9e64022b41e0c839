// ILocale over the user's regional settings (GetLocaleInfo, GetDateFormat,
// GetTimeFormat, CompareString).
#pragma once

#include <vector>

#include "platform/locale.h"

namespace om::win32 {

class Win32Locale final : public ILocale {
 public:
  std::string ShortDateFormat() override;
  std::string LongTimeFormat() override;
  char DecimalSeparator() override;
  std::string FormatDateTime(double value) override;
  int CompareText(std::string_view a, std::string_view b) override;
  void AppendSortKey(std::string_view text, std::string& key) override;

 private:
  std::vector<char> sort_key_buffer_;
};

}  // namespace om::win32
