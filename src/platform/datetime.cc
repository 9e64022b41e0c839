#include "platform/datetime.h"

#include <cmath>

namespace om {
namespace {

// Days from 0000-03-01 based civil calendar (proleptic Gregorian); see
// "days_from_civil" by H. Hinnant.
constexpr std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2));
}

// A constant, so that date-times made during static initialisation (in
// another file) already see it.
constexpr std::int64_t kEpoch = DaysFromCivil(1899, 12, 30);

}  // namespace

double EncodeDateTime(const DateTimeParts& p) {
  const std::int64_t days =
      DaysFromCivil(p.year, static_cast<unsigned>(p.month), static_cast<unsigned>(p.day)) - kEpoch;
  const double ms = ((p.hour * 60.0 + p.minute) * 60.0 + p.second) * 1000.0 + p.millisecond;
  const double frac = ms / kMillisecondsPerDay;
  // Before the epoch the integral part counts days backwards while the
  // fraction still runs forwards through the day.
  return days >= 0 ? static_cast<double>(days) + frac : static_cast<double>(days) - frac;
}

DateTimeParts DecodeDateTime(double value) {
  DateTimeParts p;
  double whole = std::trunc(value);
  std::int64_t ms = std::llround(std::fabs(value - whole) * kMillisecondsPerDay);
  if (ms >= 86'400'000) {  // rounding reached the next day
    ms -= 86'400'000;
    whole += value >= 0 ? 1 : -1;
  }
  CivilFromDays(static_cast<std::int64_t>(whole) + kEpoch, p.year, p.month, p.day);
  p.millisecond = static_cast<int>(ms % 1000);
  p.second = static_cast<int>(ms / 1000 % 60);
  p.minute = static_cast<int>(ms / 60'000 % 60);
  p.hour = static_cast<int>(ms / 3'600'000);
  return p;
}

std::int32_t MillisecondsSinceMidnight(double value) {
  const DateTimeParts p = DecodeDateTime(value);
  return ((p.hour * 60 + p.minute) * 60 + p.second) * 1000 + p.millisecond;
}

}  // namespace om
