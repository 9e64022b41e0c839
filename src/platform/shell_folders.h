// Port: the user's special folders.
#pragma once

#include <optional>
#include <string>

namespace om {

class IShellFolders {
 public:
  virtual ~IShellFolders() = default;

  // The per-user application-data folder, as an absolute path without a
  // trailing backslash; nullopt when the system does not have one.
  virtual std::optional<std::string> AppDataFolder() = 0;
  // The user's documents folder, same form; nullopt when not available.
  virtual std::optional<std::string> DocumentsFolder() = 0;
};

}  // namespace om
