#include "app/app_messages.h"
#include "store/data_sources.h"

#include <algorithm>

#include "app/app_log.h"
#include "app/paths.h"
#include "platform/text_case.h"
#include "store/clip_coll.h"
#include "store/store_errors.h"
#include "store/store_services.h"

namespace om {

namespace {

constexpr char kEol[] = "\r\n";
constexpr std::size_t kMaxDirectory = 255;

bool ContainsData(std::string_view path) { return AnsiLowerCase(std::string(path)).find("data") != std::string::npos; }

}  // namespace

void TDataSourceCommands::Information(const std::string& text) {
  prompts_.ShowMessage(text, kApplicationTitle, MsgButtons::kOk, MsgIcon::kInformation);
}

std::string TDataSourceCommands::ListName(std::string_view description) const {
  // The name is a registry key below "DataSources": a backslash would make
  // it a deeper key, and two sources of one name would share one key.
  std::string base(description);
  std::replace(base.begin(), base.end(), '\\', '_');
  if (base.empty()) base = "Data Source";
  auto taken = [&](const std::string& name) {
    const std::string upper = AnsiUpperCase(name);
    if (upper == "_DIRS") return true;
    return std::any_of(sources_.begin(), sources_.end(),
                       [&](const TDataSourceEntry& entry) { return AnsiUpperCase(entry.Name) == upper; });
  };
  std::string name = base;
  for (int n = 2; taken(name); ++n) name = base + " (" + std::to_string(n) + ")";
  return name;
}

void TDataSourceCommands::AddDataSourceClick() {
  Information(std::string("In the next dialog, pick your new data directory. If it does not already exist, it will "
                          "be created.  ") +
              kEol + "You should NOT have multiple data sources using the same directory.");
  std::string proposed = host_.CurrentDirectory();
  if (!ContainsData(proposed)) proposed = ExcludeTrailingBackslash(proposed) + "\\data";
  std::optional<std::string> picked = host_.PickDirectory(proposed);
  if (!picked) {
    host_.ShowStatus("Cancelled");
    return;
  }
  std::string path = *picked;
  if (!ContainsData(path) &&
      prompts_.ShowMessage("Would you like to add \"\\data\" to the end of that path?", kApplicationTitle,
                           MsgButtons::kYesNo, MsgIcon::kQuestion) == MsgResult::kYes) {
    path = ExcludeTrailingBackslash(path) + "\\data";
  }

  ++next_source_number_;
  TDataSource source;
  source.ID = next_source_number_;
  source.Description = "New Data Source";
  source.Directory = path.substr(0, kMaxDirectory);
  source.Read_Only = false;
  source.AutoLoad = true;
  source.Online = false;

  files_.MakeDirectories(source.Directory);
  if (!files_.DirectoryExists(source.Directory)) {
    Log(loglevel::kError, "AddDataSourceClick", "Could Not Create Directory:" + source.Directory);
    throw ECreateDirectory(std::string("Could NOT create data source directory: ") + kEol + source.Directory);
  }
  source.Directory = IncludeTrailingBackslash(source.Directory);

  if (host_.ShowDataSourceProperties(source) != 1) {
    host_.ShowStatus("Cancelled");
    return;
  }
  sources_.push_back({ListName(source.Description), source});
  host_.ShowStatus("Created");
  Information(std::string("The data source has been added to the list of sources to load.  ") + kEol +
              "When you click OK, Ottermoor will reload data.");
  host_.ShowStatus("Loading Data...");
  host_.SaveAllClips();
  host_.ReloadAllData();
}

void TDataSourceCommands::DeleteDataSourceClick(const TClipColl* node) {
  if (node == nullptr || node->Parent != nullptr || node->DataSource == nullptr) return;
  // From the second entry on: the primary source stays.
  const auto it = std::find_if(sources_.begin() + (sources_.empty() ? 0 : 1), sources_.end(),
                               [node](const TDataSourceEntry& entry) { return &entry.Source == node->DataSource; });
  if (it == sources_.end()) {
    host_.ShowStatus("Failed - Could Not Match DataSource To Master List.");
    return;
  }
  sources_.erase(it);
  host_.ShowStatus("Data Source Deleted");
  Information(std::string("The data source has been removed from the list of sources to load.  ") + kEol +
              "The directory remains on disk.  When you click OK, Ottermoor will reload data.");
  host_.SaveAllClips();
  host_.ReloadAllData();
}

bool TDataSourceCommands::DeleteSelectedDataSource(std::optional<std::size_t> selected) {
  if (sources_.size() <= 1) {
    Information("You cannot delete the only data directory.");
    return false;
  }
  if (!selected || *selected >= sources_.size()) {
    Information("Please select a data source first.");
    return false;
  }
  sources_.erase(sources_.begin() + static_cast<std::ptrdiff_t>(*selected));
  return true;
}

}  // namespace om
