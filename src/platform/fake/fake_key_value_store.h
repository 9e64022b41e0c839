// An in-memory registry: a tree of keys with string values, names compared
// without regard to letter case but kept as they were first written.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/key_value_store.h"

namespace om::fake {

class FakeKeyValueStore final : public IKeyValueStore {
 public:
  FakeKeyValueStore();
  ~FakeKeyValueStore() override;

  std::optional<std::string> ReadString(std::string_view key, std::string_view name) override;
  bool WriteString(std::string_view key, std::string_view name, std::string_view value) override;
  bool KeyExists(std::string_view key) override;
  bool CreateKey(std::string_view key) override;
  // Values in the order they were created, subkeys sorted by name, as the
  // registry lists them.
  std::vector<std::string> ValueNames(std::string_view key) override;
  std::vector<std::string> SubKeyNames(std::string_view key) override;
  bool DeleteValue(std::string_view key, std::string_view name) override;
  bool DeleteTree(std::string_view key) override;

  // A value of another type (REG_DWORD), which ReadString does not read.
  bool WriteDword(std::string_view key, std::string_view name, std::uint32_t value);
  // While set, every write and delete fails (as for a key without access).
  void SetReadOnly(bool read_only) { read_only_ = read_only; }

 private:
  struct Node;
  Node* Find(std::string_view key);
  Node* FindOrCreate(std::string_view key);
  bool Write(std::string_view key, std::string_view name, std::optional<std::string> text);

  std::unique_ptr<Node> root_;
  bool read_only_ = false;
};

}  // namespace om::fake
