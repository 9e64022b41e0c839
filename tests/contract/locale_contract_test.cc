// The locale port's text order, natively and under Wine alike: the user's
// locale, not the bytes, decides (letters before case), and the order is
// consistent both ways round; sort keys give the same order. Letter case
// and letters of the ANSI code page (Windows-1252 in both worlds) are the
// system's on both sides.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "contract/contract_env.h"
#include "platform/text_case.h"

namespace om::contract {
namespace {

TEST(LocaleContract, TextsCompareInTheLocalesOrderWithCaseCounting) {
  const std::unique_ptr<ContractEnv> env = MakeContractEnv();
  ILocale& locale = env->Locale();
  struct Case {
    std::string a, b;
    int order;
  };
  const Case cases[] = {
      // Byte order would put "Banana" first.
      {"apple", "Banana", -1},
      {"Banana", "cherry", -1},
      {"apple", "cherry", -1},
      {"abc", "abd", -1},
      {"", "a", -1},
      {"ab", "abc", -1},
      {"same", "same", 0},
      // Texts that differ only in case are not equal.
      {"a", "A", -1},
  };
  const auto sign = [](int x) { return x < 0 ? -1 : (x > 0 ? 1 : 0); };
  for (const Case& c : cases) {
    EXPECT_EQ(sign(locale.CompareText(c.a, c.b)), c.order) << c.a << " vs " << c.b;
    EXPECT_EQ(sign(locale.CompareText(c.b, c.a)), -c.order) << c.b << " vs " << c.a;
    // Sort keys order as the texts do (the clip list sorts by them).
    EXPECT_EQ(sign(locale.SortKey(c.a).compare(locale.SortKey(c.b))), c.order) << "keys: " << c.a << " vs " << c.b;
  }
  const std::string texts[] = {"apple", "Apple", "APPLE", "apples", "b", "B", "10", "9", "a b", "a-b", "ab", ""};
  for (const std::string& a : texts) {
    for (const std::string& b : texts) {
      EXPECT_EQ(sign(locale.SortKey(a).compare(locale.SortKey(b))), sign(locale.CompareText(a, b)))
          << a << " vs " << b;
    }
  }
}

TEST(LocaleContract, AnsiCaseMapsLettersOnly) {
  const std::unique_ptr<ContractEnv> env = MakeContractEnv();
  ILocale& locale = env->Locale();
  struct Case {
    std::string lower, upper;
  };
  const Case cases[] = {
      {"notepad.exe", "NOTEPAD.EXE"},
      {"0123456789 !\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~", "0123456789 !\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~"},
      // é à ü ñ ç ø æ
      {"\xE9\xE0\xFC\xF1\xE7\xF8\xE6", "\xC9\xC0\xDC\xD1\xC7\xD8\xC6"},
      // š œ ž ÿ
      {"\x9A\x9C\x9E\xFF", "\x8A\x8C\x8E\x9F"},
      // The multiplication and division signs, the copyright sign and the
      // pound sign are no letters.
      {"\xD7\xF7\xA9\xA3", "\xD7\xF7\xA9\xA3"},
      // A zero byte inside the text neither ends nor stops the conversion.
      {std::string("a\0b", 3), std::string("A\0B", 3)},
      {"", ""},
  };
  for (const Case& c : cases) {
    std::string upper = c.lower;
    locale.AnsiUpperCase(upper);
    EXPECT_EQ(upper, c.upper) << c.lower;
    std::string lower = c.upper;
    locale.AnsiLowerCase(lower);
    EXPECT_EQ(lower, c.lower) << c.upper;
  }
  // Mixed case stays mixed the other way round.
  std::string mixed = "Caf\xE9 \xC9t\xE9";
  locale.AnsiUpperCase(mixed);
  EXPECT_EQ(mixed, "CAF\xC9 \xC9T\xC9");
}

TEST(LocaleContract, LettersOfTheCodePage) {
  const std::unique_ptr<ContractEnv> env = MakeContractEnv();
  ILocale& locale = env->Locale();
  for (const char* letter : {"A", "Z", "a", "z", "\xE9", "\xC9", "\xDF", "\xFF", "\x8A", "\x9C", "\x83"}) {
    EXPECT_TRUE(locale.IsAnsiAlpha(letter)) << static_cast<int>(static_cast<unsigned char>(*letter));
  }
  for (const char* other : {"0", "9", " ", "'", "-", "_", ".", "@", "\t", "\xD7", "\xF7", "\xA9", "\xB0", "\x80"}) {
    EXPECT_FALSE(locale.IsAnsiAlpha(other)) << static_cast<int>(static_cast<unsigned char>(*other));
  }
  EXPECT_FALSE(locale.IsAnsiAlpha(""));
  EXPECT_FALSE(locale.IsAnsiAlpha("ab"));  // two letters are not one double-byte character
  // A single-byte code page has no lead bytes.
  for (int c = 0; c < 256; ++c) EXPECT_FALSE(locale.IsLeadByte(static_cast<unsigned char>(c))) << c;
}

// The program's own table of the code page (text_case.h, which the
// simulated desktop uses) against the system, byte by byte.
TEST(LocaleContract, EveryByteAsTheCodePageTableHasIt) {
  const std::unique_ptr<ContractEnv> env = MakeContractEnv();
  ILocale& locale = env->Locale();
  for (int b = 0; b < 256; ++b) {
    const std::string byte(1, static_cast<char>(b));
    std::string upper = byte;
    locale.AnsiUpperCase(upper);
    EXPECT_EQ(upper, AnsiUpperCase(byte)) << b;
    std::string lower = byte;
    locale.AnsiLowerCase(lower);
    EXPECT_EQ(lower, AnsiLowerCase(byte)) << b;
    EXPECT_EQ(locale.IsAnsiAlpha(byte), IsAnsiAlpha(static_cast<unsigned char>(b))) << b;
  }
}

}  // namespace
}  // namespace om::contract
