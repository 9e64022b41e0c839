// The key/value store port's contract, natively and against the registry.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>

#include "contract/contract_env.h"

namespace om::contract {
namespace {

std::string Folded(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

// Registry enumeration order differs between systems: compare as sets.
std::set<std::string> AsSet(const std::vector<std::string>& names) { return {names.begin(), names.end()}; }

class KeyValueStoreContract : public ::testing::Test {
 protected:
  std::unique_ptr<ContractEnv> env_ = MakeContractEnv();
  IKeyValueStore& store_ = env_->Store();
  const std::string root_ = env_->ScratchKey();
};

TEST_F(KeyValueStoreContract, WritesReadBackWhateverTheCaseOfTheNames) {
  const std::string key = root_ + "\\Main\\Window";
  EXPECT_FALSE(store_.KeyExists(key));
  ASSERT_TRUE(store_.WriteString(key, "Caption", "Clips & more"));
  EXPECT_TRUE(store_.KeyExists(root_ + "\\Main")) << "parents are created";
  EXPECT_EQ(store_.ReadString(key, "Caption"), "Clips & more");

  const std::string shouted = root_ + "\\MAIN\\window";
  EXPECT_TRUE(store_.KeyExists(shouted));
  EXPECT_EQ(store_.ReadString(shouted, "CAPTION"), "Clips & more");
  ASSERT_TRUE(store_.WriteString(shouted, "caption", "replaced"));
  EXPECT_EQ(store_.ReadString(key, "Caption"), "replaced");
  const auto names = store_.ValueNames(key);
  ASSERT_EQ(names.size(), 1u) << "one value, written twice";
  EXPECT_EQ(Folded(names[0]), "caption");
}

TEST_F(KeyValueStoreContract, MissingKeysAndValuesReadAsNothing) {
  const std::string key = root_ + "\\Values";
  EXPECT_EQ(store_.ReadString(key, "Anything"), std::nullopt);
  EXPECT_TRUE(store_.ValueNames(key).empty());
  EXPECT_TRUE(store_.SubKeyNames(key).empty());
  ASSERT_TRUE(store_.WriteString(key, "Empty", ""));
  ASSERT_TRUE(store_.WriteString(key, "", "default value"));
  EXPECT_EQ(store_.ReadString(key, "Empty"), "") << "empty, not missing";
  EXPECT_EQ(store_.ReadString(key, ""), "default value");
  EXPECT_EQ(store_.ReadString(key, "Missing"), std::nullopt);
}

TEST_F(KeyValueStoreContract, EnumeratesValuesAndDirectSubKeys) {
  ASSERT_TRUE(store_.WriteString(root_, "Alpha", "1"));
  ASSERT_TRUE(store_.WriteString(root_, "beta", "2"));
  ASSERT_TRUE(store_.WriteString(root_ + "\\Clips", "x", "3"));
  ASSERT_TRUE(store_.WriteString(root_ + "\\Clips\\Deeper", "y", "4"));
  ASSERT_TRUE(store_.CreateKey(root_ + "\\Empty Key\\Inner"));
  EXPECT_EQ(AsSet(store_.ValueNames(root_)), (std::set<std::string>{"Alpha", "beta"}));
  EXPECT_EQ(AsSet(store_.SubKeyNames(root_)), (std::set<std::string>{"Clips", "Empty Key"}));
  EXPECT_EQ(AsSet(store_.SubKeyNames(root_ + "\\Empty Key")), (std::set<std::string>{"Inner"}));
  EXPECT_TRUE(store_.CreateKey(root_ + "\\Clips")) << "already there";
}

TEST_F(KeyValueStoreContract, DeletesValuesAndWholeTrees) {
  const std::string tree = root_ + "\\Tree";
  ASSERT_TRUE(store_.WriteString(tree, "Top", "t"));
  ASSERT_TRUE(store_.WriteString(tree + "\\A\\B", "Leaf", "l"));
  ASSERT_TRUE(store_.WriteString(root_, "Keep", "k"));

  EXPECT_TRUE(store_.DeleteValue(tree, "TOP"));
  EXPECT_EQ(store_.ReadString(tree, "Top"), std::nullopt);
  EXPECT_TRUE(store_.DeleteValue(tree, "Top")) << "already gone";
  EXPECT_TRUE(store_.DeleteValue(root_ + "\\No Such Key", "Top"));

  EXPECT_TRUE(store_.DeleteTree(root_ + "\\TREE"));
  EXPECT_FALSE(store_.KeyExists(tree));
  EXPECT_FALSE(store_.KeyExists(tree + "\\A\\B"));
  EXPECT_EQ(store_.ReadString(root_, "Keep"), "k") << "only the tree goes";
  EXPECT_TRUE(store_.SubKeyNames(root_).empty());
  EXPECT_TRUE(store_.DeleteTree(tree)) << "already gone";
}

}  // namespace
}  // namespace om::contract
