// The dialog that asks the user where the clips are to be kept, shown while
// the settings load and no data source exists yet.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace om {

class IDataFolderChooser {
 public:
  virtual ~IDataFolderChooser() = default;
  // Shows the dialog with `recommended` as the suggested folder. The folder
  // the user confirmed, or nullopt when the dialog was closed without
  // confirming.
  virtual std::optional<std::string> ChooseDataFolder(std::string_view recommended) = 0;
};

}  // namespace om
