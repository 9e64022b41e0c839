#include "platform/text_case.h"

#include <gtest/gtest.h>

namespace om {
namespace {

TEST(TextCaseTest, MapsTheLettersOfTheCodePageOnly) {
  struct Case {
    std::string lower, upper;
  };
  const Case cases[] = {
      {"notepad.exe", "NOTEPAD.EXE"},
      {"c:\\x_1-2 [3]", "C:\\X_1-2 [3]"},
      {"\xE9t\xE9", "\xC9T\xC9"},       // été
      {"\x9A\x9C\x9E\xFF", "\x8A\x8C\x8E\x9F"},
      {"\xF7\xD7", "\xF7\xD7"},         // division and multiplication signs stay
      {std::string("a\0b", 3), std::string("A\0B", 3)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AnsiUpperCase(c.lower), c.upper) << c.lower;
    EXPECT_EQ(AnsiLowerCase(c.upper), c.lower) << c.upper;
  }
  EXPECT_EQ(AsciiUpperCase("word:\xE9t\xE9"), "WORD:\xE9T\xE9");
}

TEST(TextCaseTest, ComparesIgnoringTheCaseOfAsciiLetters) {
  EXPECT_TRUE(SameTextIgnoringCase("Rich Text Format", "RICH TEXT FORMAT"));
  EXPECT_FALSE(SameTextIgnoringCase("Text", "Texts"));
  EXPECT_FALSE(SameTextIgnoringCase("[", "{"));  // 0x5B and 0x7B differ by 32 but are not letters
  EXPECT_TRUE(SameTextIgnoringCase("", ""));
}

}  // namespace
}  // namespace om
