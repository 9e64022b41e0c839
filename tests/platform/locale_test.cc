#include "platform/locale.h"

#include <gtest/gtest.h>

#include <cmath>

namespace om {
namespace {

TEST(LocaleNumbers, GeneralFormat) {
  struct Case {
    double value;
    char separator;
    const char* text;
  };
  const Case cases[] = {
      {0.5, '.', "0.5"},   {1.0, '.', "1"},          {2.25, ',', "2,25"},
      {-0.0, '.', "0"},    {0.1, '.', "0.1"},        {1.0 / 3, '.', "0.333333333333333"},
      {1e20, '.', "1E20"}, {1.25e-5, '.', "1.25E-5"}, {-1234.5, '.', "-1234.5"},
      {123456789012345.0, '.', "123456789012345"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatGeneralFloat(c.value, c.separator), c.text) << c.value;
    const auto back = ParseLocaleFloat(c.text, c.separator);
    ASSERT_TRUE(back) << c.text;
    EXPECT_NEAR(*back, c.value, std::fabs(c.value) * 1e-14) << c.text;
  }
}

TEST(LocaleNumbers, Parser) {
  struct Case {
    const char* text;
    char separator;
    std::optional<double> value;
  };
  const Case cases[] = {
      {"+1", '.', 1.0},        {"+0.5", '.', 0.5},     {" 2,5 ", ',', 2.5},  {"+0.5", ',', 0.5},
      {"-.25", '.', -0.25},    {"3.", '.', 3.0},       {"1e3", '.', 1000.0}, {"1,5E-1", ',', 0.15},
      {"abc", '.', std::nullopt}, {"", '.', std::nullopt}, {"-", '.', std::nullopt},
      {".", '.', std::nullopt},  {"1.5.2", '.', std::nullopt}, {"1e", '.', std::nullopt},
      {"1 000", '.', std::nullopt}, {"0x10", '.', std::nullopt}, {"inf", '.', std::nullopt},
      {"1e999", '.', std::nullopt}, {"2,5", '.', std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseLocaleFloat(c.text, c.separator), c.value) << '"' << c.text << '"';
}

TEST(LocaleDates, Pictures) {
  const DateTimeParts afternoon{2024, 3, 5, 14, 7, 9, 0};
  const DateTimeParts midnight{1999, 12, 31, 0, 0, 0, 0};
  struct Case {
    const DateTimeParts* when;
    const char* picture;
    const char* text;
  };
  const Case cases[] = {
      {&afternoon, "M/d/yyyy", "3/5/2024"},
      {&afternoon, "dd.MM.yy", "05.03.24"},
      {&afternoon, "h:mm:ss tt", "2:07:09 PM"},
      {&afternoon, "HH:mm:ss", "14:07:09"},
      {&afternoon, "ddd, d MMM yyyy", "Tue, 5 Mar 2024"},
      {&afternoon, "dddd d MMMM", "Tuesday 5 March"},
      {&afternoon, "yyyy'-'MM'-'dd 'at' H 'o''clock'", "2024-03-05 at 14 o'clock"},
      {&midnight, "h:mm tt", "12:00 AM"},
      {&midnight, "dddd", "Friday"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatDateTimePicture(*c.when, c.picture), c.text) << c.picture;
}

}  // namespace
}  // namespace om
