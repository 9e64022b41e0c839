// The commands that add a data source to the list and take one off it
// (the collections tree's context menu; the settings dialog's data page
// uses the same), as behaviour: the main window supplies the status bar,
// the folder picker, the properties dialog and the save-and-reload.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_settings.h"
#include "platform/file_system.h"
#include "platform/prompts.h"

namespace om {

class TClipColl;

// What the commands need of the main window.
class IDataSourceHost {
 public:
  virtual ~IDataSourceHost() = default;
  // The status bar's text.
  virtual void ShowStatus(std::string_view text) = 0;
  // The process's current directory.
  virtual std::string CurrentDirectory() = 0;
  // The folder picker, starting at `proposed`; it may create the folder (and
  // asks before it does). nullopt when cancelled.
  virtual std::optional<std::string> PickDirectory(std::string_view proposed) = 0;
  // The data-source properties dialog (TfrmDSProp) for the record: 1 OK,
  // 2 Cancel.
  virtual int ShowDataSourceProperties(TDataSource& source) = 0;
  // Saves every collection (the save command).
  virtual void SaveAllClips() = 0;
  // Empties the master list and loads every collection again (the tree
  // with it). The master list's data-source nodes point into the list the
  // commands change, so this always follows a change.
  virtual void ReloadAllData() = 0;
};

class TDataSourceCommands {
 public:
  TDataSourceCommands(std::vector<TDataSourceEntry>& sources, std::int32_t& next_source_number,
                      IDataSourceHost& host, IPrompts& prompts, IFileSystem& files)
      : sources_(sources), next_source_number_(next_source_number), host_(host), prompts_(prompts), files_(files) {}

  // "Add New Data Source": explains, lets the user pick the directory
  // (suggesting "\data"), creates it, shows the properties of the new
  // source and, on OK, lists it and reloads everything. Throws
  // ECreateDirectory when the directory cannot be created.
  void AddDataSourceClick();
  // "Delete Data Source" on a data source's node: takes the source off the
  // list (its directory stays) and reloads everything. The primary source
  // (the first) cannot be removed this way.
  void DeleteDataSourceClick(const TClipColl* node);
  // The settings dialog's Delete button: refuses when only one source is
  // listed or none is selected, else takes the selected one off the list.
  // True when it did.
  bool DeleteSelectedDataSource(std::optional<std::size_t> selected);

  // The name a new source is listed (and stored) under: its description,
  // made unique among the listed names and usable as a registry key name.
  std::string ListName(std::string_view description) const;

 private:
  void Information(const std::string& text);

  std::vector<TDataSourceEntry>& sources_;
  std::int32_t& next_source_number_;
  IDataSourceHost& host_;
  IPrompts& prompts_;
  IFileSystem& files_;
};

}  // namespace om
