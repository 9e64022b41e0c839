// The data-folder dialog TfrmChooseDataFolder, shown while the settings load
// and no data source exists yet, and the system's folder chooser it opens.
//
// Who does what: TAppSettings asks (again and again, until a folder is
// confirmed) and stores the folder as the data source "My Clips"; this
// dialog only lets the user pick the recommended folder or one of their
// own, and makes a folder of their own exist before offering it. The
// recommended folder is passed in as it is, and created later, with the
// first collections.
//
// Construction, in the process entry:
//   win32::Win32Prompts prompts;
//   win32::Win32FileSystem files;
//   TfrmChooseDataFolder chooser(prompts, files);
// The dialog is modal, without an owner (no window of the program exists
// yet), on the calling thread.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/data_folder_chooser.h"
#include "platform/file_system.h"
#include "platform/prompts.h"

namespace om {

// The system's folder chooser (new style, with an edit box in which a
// folder that does not exist yet may be typed; file-system folders only),
// modal to `owner` (a window handle, 0: none), opened at `start` (nothing
// selected when empty), with `title` above its tree. The folder chosen or
// typed, as a full path; nullopt when cancelled.
std::optional<std::string> BrowseForFolder(std::uintptr_t owner, std::string_view title, std::string_view start);

// What the dialog uses to let the user pick a folder: owner window, start.
using FolderPicker = std::function<std::optional<std::string>(std::uintptr_t owner, std::string_view start)>;

class TfrmChooseDataFolder final : public IDataFolderChooser {
 public:
  // `prompts` shows the dialog's messages (the choose button's explanation,
  // the "\data" question, the error); `files` creates the folder chosen;
  // `picker` is the folder chooser (BrowseForFolder unless given).
  TfrmChooseDataFolder(IPrompts& prompts, IFileSystem& files, FolderPicker picker = {});

  // 1 in the original's terms: the folder confirmed with "&Ok"; closing the
  // dialog otherwise gives nullopt.
  std::optional<std::string> ChooseDataFolder(std::string_view recommended) override;

  // The window's message handler, run by the dialog procedure.
  std::intptr_t OnMessage(std::uintptr_t dialog, unsigned message, std::uintptr_t wparam, std::intptr_t lparam);

 private:
  void CreateControls();
  void UseRecommended();
  void ChooseOwnFolder();
  void ShowChosen();

  IPrompts& prompts_;
  IFileSystem& files_;
  FolderPicker picker_;
  std::string recommended_;
  std::string chosen_;  // empty until a folder is chosen ("&Ok" disabled)
  bool own_ = false;    // chosen_ is one of the user's own, not the recommended one
  std::uintptr_t dialog_ = 0;
};

}  // namespace om
