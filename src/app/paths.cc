#include "app/paths.h"

#include <algorithm>

namespace om {

std::string IncludeTrailingBackslash(std::string_view path) {
  std::string out(path);
  if (out.empty() || (out.back() != '\\' && out.back() != '/')) out += '\\';
  return out;
}

std::string ExcludeTrailingBackslash(std::string_view path) {
  std::string out(path);
  const bool drive_root = out.size() == 3 && out[1] == ':';
  if (!out.empty() && !drive_root && (out.back() == '\\' || out.back() == '/')) out.pop_back();
  return out;
}

std::string DirectoryOf(std::string_view file) {
  const auto slash = file.find_last_of("\\/");
  if (slash == std::string_view::npos) return "";
  return std::string(file.substr(0, slash + 1));
}

std::filesystem::path ToFsPath(std::string_view path) {
  std::string text(path);
  if constexpr (std::filesystem::path::preferred_separator != '\\') {
    std::replace(text.begin(), text.end(), '\\', static_cast<char>(std::filesystem::path::preferred_separator));
  }
  return std::filesystem::path(text);
}

}  // namespace om
