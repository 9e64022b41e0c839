// Date-times as the program stores them: days since 1899-12-30 as a double,
// the fraction being the time of day.
#pragma once

#include <cstdint>

namespace om {

struct DateTimeParts {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// Calendar date and time of day to a date-time. Dates before 1899-12-30 are
// negative with a positive time fraction, as the stored files expect.
double EncodeDateTime(const DateTimeParts& parts);
DateTimeParts DecodeDateTime(double value);

// Milliseconds since midnight of the date-time's day (0 .. 86'399'999).
std::int32_t MillisecondsSinceMidnight(double value);

constexpr double kMillisecondsPerDay = 86'400'000.0;

}  // namespace om
