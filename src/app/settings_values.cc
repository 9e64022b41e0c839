#include "app/settings_values.h"

#include <charconv>

namespace om {

std::optional<std::int32_t> ParseDecimalInteger(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  // from_chars takes a minus sign itself but no plus, and no sign after one.
  const std::size_t first_digit = !text.empty() && text.front() == '-' ? 1 : 0;
  if (text.size() <= first_digit || text[first_digit] < '0' || text[first_digit] > '9') return std::nullopt;
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::string TSettingsValues::KeyPath(std::string_view section) const {
  if (section.empty()) return root_;
  return root_ + "\\" + std::string(section);
}

std::string TSettingsValues::ReadString(std::string_view section, std::string_view name, std::string_view def) {
  auto value = store_.ReadString(KeyPath(section), name);
  return value ? std::move(*value) : std::string(def);
}

std::int32_t TSettingsValues::ReadInteger(std::string_view section, std::string_view name, std::int32_t def) {
  const auto value = store_.ReadString(KeyPath(section), name);
  if (!value) return def;
  return ParseDecimalInteger(*value).value_or(def);
}

bool TSettingsValues::ReadBool(std::string_view section, std::string_view name, bool def) {
  return ReadInteger(section, name, def ? 1 : 0) != 0;
}

bool TSettingsValues::WriteString(std::string_view section, std::string_view name, std::string_view value) {
  const bool ok = store_.WriteString(KeyPath(section), name, value);
  if (!ok) ++failed_writes_;
  return ok;
}

bool TSettingsValues::WriteInteger(std::string_view section, std::string_view name, std::int32_t value) {
  return WriteString(section, name, std::to_string(value));
}

bool TSettingsValues::WriteBool(std::string_view section, std::string_view name, bool value) {
  return WriteString(section, name, value ? "1" : "0");
}

std::vector<std::string> TSettingsValues::ValueNames(std::string_view section) {
  return store_.ValueNames(KeyPath(section));
}

bool TSettingsValues::DeleteSection(std::string_view section) { return store_.DeleteTree(KeyPath(section)); }

bool TSettingsValues::DeleteRoot() { return store_.DeleteTree(root_); }

}  // namespace om
