// ILocale over the user's regional settings (GetLocaleInfo, GetDateFormat,
// GetTimeFormat, CompareString) and the ANSI code page's letters
// (CharUpperBuff, CharLowerBuff, IsCharAlpha, IsDBCSLeadByte).
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
  void AnsiUpperCase(std::string& text) override;
  void AnsiLowerCase(std::string& text) override;
  bool IsAnsiAlpha(std::string_view character) override;
  bool IsLeadByte(unsigned char byte) override;

 private:
  std::vector<char> sort_key_buffer_;
};

}  // namespace om::win32
