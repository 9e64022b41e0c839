// Port: a registry-shaped key/value store.
//
// Keys are backslash-separated paths below the store's root (for the Win32
// adapter: HKEY_CURRENT_USER), e.g. "Software\\Brenholt\\Ottermoor\\Main".
// Key and value names compare without regard to letter case, as in the
// registry. Values are strings (REG_SZ); the empty name is the key's default
// value.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace om {

class IKeyValueStore {
 public:
  virtual ~IKeyValueStore() = default;

  // nullopt when the key or the value is missing, or the value is not a string.
  virtual std::optional<std::string> ReadString(std::string_view key, std::string_view name) = 0;
  // Creates the key (and its parents) when needed. False on failure.
  virtual bool WriteString(std::string_view key, std::string_view name, std::string_view value) = 0;

  virtual bool KeyExists(std::string_view key) = 0;
  // Creates the key and its parents; true when it exists afterwards.
  virtual bool CreateKey(std::string_view key) = 0;
  // Names of the key's values / direct subkeys; empty when the key is missing.
  virtual std::vector<std::string> ValueNames(std::string_view key) = 0;
  virtual std::vector<std::string> SubKeyNames(std::string_view key) = 0;

  // True when the value is gone afterwards (also when it never existed).
  virtual bool DeleteValue(std::string_view key, std::string_view name) = 0;
  // Deletes the key with all its subkeys and values; true when it is gone
  // afterwards (also when it never existed).
  virtual bool DeleteTree(std::string_view key) = 0;
};

}  // namespace om
