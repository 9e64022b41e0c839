// IShellFolders over SHGetFolderPath.
#pragma once

#include "platform/shell_folders.h"

namespace om::win32 {

class Win32ShellFolders final : public IShellFolders {
 public:
  std::optional<std::string> AppDataFolder() override;
  std::optional<std::string> DocumentsFolder() override;
};

}  // namespace om::win32
