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

TEST(TextCaseTest, LettersOfTheCodePage) {
  for (int c = 0; c < 256; ++c) {
    const bool letter = IsAnsiAlpha(static_cast<unsigned char>(c));
    // Whatever changes case is a letter.
    const std::string byte(1, static_cast<char>(c));
    if (AnsiUpperCase(byte) != byte || AnsiLowerCase(byte) != byte) {
      EXPECT_TRUE(letter) << c;
    }
  }
  for (unsigned char c : {'0', '9', ' ', '_', '@', '[', '`', '{', '\xD7', '\xF7', '\xA9', '\x80', '\x00'}) {
    EXPECT_FALSE(IsAnsiAlpha(c)) << int{c};
  }
  for (unsigned char c : {'A', 'z', '\x83', '\x88', '\xAA', '\xB5', '\xDF', '\xFF'}) EXPECT_TRUE(IsAnsiAlpha(c)) << int{c};
}

TEST(TextCaseTest, ComparesIgnoringTheCaseOfAsciiLetters) {
  EXPECT_TRUE(SameTextIgnoringCase("Rich Text Format", "RICH TEXT FORMAT"));
  EXPECT_FALSE(SameTextIgnoringCase("Text", "Texts"));
  EXPECT_FALSE(SameTextIgnoringCase("[", "{"));  // 0x5B and 0x7B differ by 32 but are not letters
  EXPECT_TRUE(SameTextIgnoringCase("", ""));
}

}  // namespace
}  // namespace om
