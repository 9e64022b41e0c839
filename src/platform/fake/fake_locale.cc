#include "platform/fake/fake_locale.h"

namespace om::fake {

std::string FakeLocale::FormatDateTime(double value) {
  const DateTimeParts parts = DecodeDateTime(value);
  return FormatDateTimePicture(parts, short_date_format) + " " + FormatDateTimePicture(parts, long_time_format);
}

}  // namespace om::fake
