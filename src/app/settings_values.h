// Typed values in the settings part of the key/value store. Every value is
// text: integers in decimal, booleans "0"/"1", strings unchanged. A missing
// value, or text that does not convert, gives the default.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/key_value_store.h"

namespace om {

// A decimal 32-bit integer with an optional sign; nullopt for anything else.
std::optional<std::int32_t> ParseDecimalInteger(std::string_view text);

class TSettingsValues {
 public:
  // `root` is the key path of the whole tree ("Software\Brenholt\Ottermoor").
  TSettingsValues(IKeyValueStore& store, std::string root) : store_(store), root_(std::move(root)) {}

  const std::string& Root() const { return root_; }
  // The key path of a section; a section with a backslash is a deeper path.
  std::string KeyPath(std::string_view section) const;

  std::string ReadString(std::string_view section, std::string_view name, std::string_view def);
  std::int32_t ReadInteger(std::string_view section, std::string_view name, std::int32_t def);
  bool ReadBool(std::string_view section, std::string_view name, bool def);

  // Writing creates the key path when it is missing. False when the store
  // refused the value; the count of refusals is kept for one log line.
  bool WriteString(std::string_view section, std::string_view name, std::string_view value);
  bool WriteInteger(std::string_view section, std::string_view name, std::int32_t value);
  bool WriteBool(std::string_view section, std::string_view name, bool value);

  std::vector<std::string> ValueNames(std::string_view section);
  // Deletes the section with all its subkeys and values.
  bool DeleteSection(std::string_view section);
  // Deletes the whole tree below and including the root.
  bool DeleteRoot();

  int FailedWrites() const { return failed_writes_; }

 private:
  IKeyValueStore& store_;
  std::string root_;
  int failed_writes_ = 0;
};

}  // namespace om
