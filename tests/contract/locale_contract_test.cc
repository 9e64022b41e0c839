// The locale port's text order, natively and under Wine alike: the user's
// locale, not the bytes, decides (letters before case), and the order is
// consistent both ways round; sort keys give the same order.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "contract/contract_env.h"

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

}  // namespace
}  // namespace om::contract
