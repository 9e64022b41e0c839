// The in-memory registry's own promises beyond the port contract.
#include <gtest/gtest.h>

#include "platform/fake/fake_key_value_store.h"

namespace om::fake {
namespace {

TEST(FakeKeyValueStore, KeepsTheCaseNamesWereCreatedWithAndSortsSubKeys) {
  FakeKeyValueStore store;
  ASSERT_TRUE(store.WriteString("Software\\Zeta", "First", "1"));
  ASSERT_TRUE(store.WriteString("SOFTWARE\\alpha", "x", "2"));
  ASSERT_TRUE(store.WriteString("software\\zeta", "FIRST", "3"));
  ASSERT_TRUE(store.WriteString("Software\\Zeta", "second", "4"));
  EXPECT_EQ(store.SubKeyNames(""), (std::vector<std::string>{"Software"}));
  EXPECT_EQ(store.SubKeyNames("software"), (std::vector<std::string>{"alpha", "Zeta"}));
  EXPECT_EQ(store.ValueNames("Software\\Zeta"), (std::vector<std::string>{"First", "second"}));
  EXPECT_EQ(store.ReadString("Software\\Zeta", "first"), "3");
}

TEST(FakeKeyValueStore, OtherValueTypesAreListedButNotReadAsText) {
  FakeKeyValueStore store;
  ASSERT_TRUE(store.WriteDword("Software\\Test", "Count", 5));
  EXPECT_EQ(store.ValueNames("Software\\Test"), (std::vector<std::string>{"Count"}));
  EXPECT_EQ(store.ReadString("Software\\Test", "Count"), std::nullopt);
}

TEST(FakeKeyValueStore, AReadOnlyStoreRefusesChangesButStillReads) {
  FakeKeyValueStore store;
  ASSERT_TRUE(store.WriteString("Software\\Test", "Kept", "yes"));
  store.SetReadOnly(true);
  EXPECT_FALSE(store.WriteString("Software\\Test", "Kept", "no"));
  EXPECT_FALSE(store.CreateKey("Software\\New"));
  EXPECT_FALSE(store.DeleteValue("Software\\Test", "Kept"));
  EXPECT_FALSE(store.DeleteTree("Software"));
  EXPECT_TRUE(store.DeleteTree("Software\\Missing")) << "nothing to delete is no failure";
  EXPECT_EQ(store.ReadString("Software\\Test", "Kept"), "yes");
  EXPECT_FALSE(store.KeyExists("Software\\New"));
}

}  // namespace
}  // namespace om::fake
