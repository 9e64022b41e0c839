// Simulated special folders; a test clears one to model a system without it.
#pragma once

#include "platform/shell_folders.h"

namespace om::fake {

class FakeShellFolders : public IShellFolders {
 public:
  std::optional<std::string> app_data = "C:\\Users\\tester\\AppData\\Roaming";
  std::optional<std::string> documents = "C:\\Users\\tester\\Documents";

  std::optional<std::string> AppDataFolder() override { return app_data; }
  std::optional<std::string> DocumentsFolder() override { return documents; }
};

}  // namespace om::fake
