// IKeyValueStore over the registry below HKEY_CURRENT_USER.
#pragma once

#include "platform/key_value_store.h"

namespace om::win32 {

class Win32Registry final : public IKeyValueStore {
 public:
  std::optional<std::string> ReadString(std::string_view key, std::string_view name) override;
  bool WriteString(std::string_view key, std::string_view name, std::string_view value) override;
  bool KeyExists(std::string_view key) override;
  bool CreateKey(std::string_view key) override;
  std::vector<std::string> ValueNames(std::string_view key) override;
  std::vector<std::string> SubKeyNames(std::string_view key) override;
  bool DeleteValue(std::string_view key, std::string_view name) override;
  bool DeleteTree(std::string_view key) override;
};

}  // namespace om::win32
