#include "platform/datetime.h"

#include <gtest/gtest.h>

namespace om {
namespace {

struct DateCase {
  DateTimeParts parts;
  double value;
};

TEST(DateTime, EncodesAndDecodesTheStoredDayCount) {
  const DateCase cases[] = {
      {{1899, 12, 30, 0, 0, 0, 0}, 0.0},
      {{1900, 1, 1, 0, 0, 0, 0}, 2.0},
      {{1899, 12, 29, 6, 0, 0, 0}, -1.25},  // before the epoch the fraction still counts forwards
      {{2000, 2, 29, 12, 0, 0, 0}, 36585.5},
      {{2026, 12, 9, 18, 0, 0, 0}, 46365.75},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(EncodeDateTime(c.parts), c.value) << c.parts.year << "-" << c.parts.month;
    const DateTimeParts back = DecodeDateTime(c.value);
    EXPECT_EQ(back.year, c.parts.year);
    EXPECT_EQ(back.month, c.parts.month);
    EXPECT_EQ(back.day, c.parts.day);
    EXPECT_EQ(back.hour, c.parts.hour);
  }
}

TEST(DateTime, MillisecondsSinceMidnightAroundMidnight) {
  EXPECT_EQ(MillisecondsSinceMidnight(EncodeDateTime({2026, 12, 9, 23, 59, 59, 950})), 86'399'950);
  EXPECT_EQ(MillisecondsSinceMidnight(EncodeDateTime({2026, 12, 10, 0, 0, 0, 40})), 40);
  EXPECT_EQ(MillisecondsSinceMidnight(EncodeDateTime({2026, 12, 10, 13, 2, 3, 4})), ((13 * 60 + 2) * 60 + 3) * 1000 + 4);
}

}  // namespace
}  // namespace om
