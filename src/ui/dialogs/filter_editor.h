// The profile editor (TfrmFilter): the application-profile page of the
// settings dialog, as behaviour without a window. The page's window shows
// what this holds (the "Source Applications" list, the "Available Formats
// From" list with its icons and enabled state, the status line) and
// forwards the user's clicks to it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/filter.h"

namespace om {

// One row of either list: its text and check box, and (formats only) the
// index of its icon.
struct TFilterItem {
  std::string Name;
  bool Checked = false;
  std::int32_t ImageIndex = -1;
};

// The icon of a format in the formats list, by its exact name.
std::int32_t FormatImageIndex(std::string_view format);

class TfrmFilter {
 public:
  // Runs FormCreate.
  explicit TfrmFilter(Tfilter& profile);

  void FormCreate();
  void FormClose();

  // The page is shown: lists every application the profile knows and
  // selects `current_creator` (the creator of the clip the main window
  // shows; "" when none: then "UNKNOWN"), else the first one, and lists
  // its formats.
  void FormShow(std::string_view current_creator);

  const std::vector<TFilterItem>& Applications() const { return applications_; }
  // Positions in Applications(), in ascending order; the list lets the
  // user select several.
  const std::vector<std::size_t>& SelectedApplications() const { return selected_; }
  // The user changed the selection. With exactly one application selected
  // its formats are listed; with none or several the formats list is
  // empty, since no single application's formats could be shown.
  void SelectApplications(std::vector<std::size_t> indexes);

  // The application whose formats are listed ("" when none is).
  const std::string& FormatsApplication() const { return formats_app_; }
  const std::vector<TFilterItem>& Formats() const { return formats_; }
  // True only while exactly one application is selected and ticked.
  bool FormatsEnabled() const;

  // A check box was ticked (true) or cleared. Each writes at once, and
  // only when the stored value differs; positions outside the lists (and
  // clicks on the formats list while it is disabled) change nothing.
  void ApplicationClickCheck(std::size_t index, bool checked);
  void FormatClickCheck(std::size_t index, bool checked);

  const std::string& StatusText() const { return status_; }

 private:
  void LoadFormats();

  Tfilter& profile_;
  std::vector<TFilterItem> applications_;
  std::vector<std::size_t> selected_;
  std::string formats_app_;
  std::vector<TFilterItem> formats_;
  std::string status_;
};

}  // namespace om
