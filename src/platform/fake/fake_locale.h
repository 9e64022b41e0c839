// Simulated regional settings: pictures and separator as a test sets them;
// dates are rendered with the portable picture formatter.
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
};

}  // namespace om::fake
