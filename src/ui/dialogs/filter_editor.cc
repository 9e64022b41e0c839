#include "ui/dialogs/filter_editor.h"

#include <algorithm>
#include <array>

#include "app/app_log.h"
#include "platform/text_case.h"
#include "store/clip_obj.h"

namespace om {

namespace {

constexpr char kPlace[] = "Filter";

// Names the formats list never shows: the formats the profile never keeps
// and the notes and nameless formats a profile may hold.
bool HiddenFormat(std::string_view name) {
  if (name.empty() || name == "COMMENT" || IsNamelessFormat(name)) return true;
  return std::any_of(kNeverCapturedFormats.begin(), kNeverCapturedFormats.end(),
                     [name](const char* hidden) { return name == hidden; });
}

struct FormatIcon {
  const char* name;
  std::int32_t index;
};

constexpr std::array<FormatIcon, 19> kFormatIcons = {{
    {"TEXT", clipimage::kText},
    {"Rich Text Format", clipimage::kRtf},
    {"BITMAP", clipimage::kBitmap},
    {"DIB", clipimage::kBitmap},
    {"PICTURE", clipimage::kWmf},
    {"ENHMETAFILE", clipimage::kWmf},
    {"DataObject", clipimage::kOle},
    {"Object Descriptor", clipimage::kOle},
    {"Ole Private Data", clipimage::kOle},
    {"HDROP", clipimage::kHDrop},
    {"FileName", clipimage::kHDrop},
    {"Shell IDList Array", clipimage::kHDrop},
    {"Preferred DropEffect", clipimage::kHDrop},
    {"Shell Object Offsets", clipimage::kHDrop},
    {"FileGroupDescriptor", clipimage::kHDrop},
    {"FileGroupDescriptorW", clipimage::kHDrop},
    {"FileContents", clipimage::kHDrop},
    {"UniformResourceLocator", clipimage::kHtml},
    {"HTML Format", clipimage::kHtml},
}};
constexpr std::int32_t kOtherFormatIcon = clipimage::kUnknown;

std::string Switched(bool checked) { return checked ? "Enabled" : "Disabled"; }

}  // namespace

std::int32_t FormatImageIndex(std::string_view format) {
  for (const FormatIcon& icon : kFormatIcons) {
    if (format == icon.name) return icon.index;
  }
  return kOtherFormatIcon;
}

TfrmFilter::TfrmFilter(Tfilter& profile) : profile_(profile) { FormCreate(); }

void TfrmFilter::FormCreate() { Log(loglevel::kForm, kPlace, "FormCreate"); }

void TfrmFilter::FormClose() { Log(loglevel::kForm, kPlace, "FormClose"); }

void TfrmFilter::FormShow(std::string_view current_creator) {
  applications_.clear();
  for (std::string& name : profile_.ApplicationNames()) {
    if (name.empty()) continue;  // the key's default value is no application
    const bool checked = profile_.ApplicationValue(name) == 1;
    applications_.push_back({std::move(name), checked, -1});
  }
  const std::string_view wanted = current_creator.empty() ? std::string_view(kUnknownApp) : current_creator;
  // Value names compare as the registry compares them: without regard to case.
  const auto found = std::find_if(applications_.begin(), applications_.end(), [wanted](const TFilterItem& item) {
    return SameTextIgnoringCase(item.Name, wanted);
  });
  std::vector<std::size_t> selection;
  if (found != applications_.end()) {
    selection.push_back(static_cast<std::size_t>(found - applications_.begin()));
  } else if (!applications_.empty()) {
    selection.push_back(0);
  }
  SelectApplications(std::move(selection));
}

void TfrmFilter::SelectApplications(std::vector<std::size_t> indexes) {
  std::erase_if(indexes, [this](std::size_t index) { return index >= applications_.size(); });
  std::sort(indexes.begin(), indexes.end());
  indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
  selected_ = std::move(indexes);
  LoadFormats();
}

void TfrmFilter::LoadFormats() {
  formats_.clear();
  formats_app_.clear();
  if (selected_.size() != 1) return;
  formats_app_ = applications_[selected_.front()].Name;
  for (std::string& name : profile_.FormatNames(formats_app_)) {
    if (HiddenFormat(name)) continue;
    const bool checked = profile_.FormatValue(formats_app_, name) == 1;
    const std::int32_t image = FormatImageIndex(name);
    formats_.push_back({std::move(name), checked, image});
  }
  status_ = "Loaded formats for application: " + formats_app_;
}

bool TfrmFilter::FormatsEnabled() const { return selected_.size() == 1 && applications_[selected_.front()].Checked; }

void TfrmFilter::ApplicationClickCheck(std::size_t index, bool checked) {
  if (index >= applications_.size()) return;
  TFilterItem& app = applications_[index];
  app.Checked = checked;
  const std::int32_t value = checked ? 1 : 0;
  if (profile_.ApplicationValue(app.Name) == value) return;
  profile_.SetApplicationValue(app.Name, value);
  status_ = Switched(checked) + " Application: " + app.Name + ".";
}

void TfrmFilter::FormatClickCheck(std::size_t index, bool checked) {
  if (index >= formats_.size() || !FormatsEnabled()) return;
  TFilterItem& format = formats_[index];
  format.Checked = checked;
  const std::int32_t value = checked ? 1 : 0;
  if (profile_.FormatValue(formats_app_, format.Name) == value) return;
  profile_.SetFormatValue(formats_app_, format.Name, value);
  status_ = Switched(checked) + " Format: " + format.Name + " for application: " + formats_app_ + ".";
}

}  // namespace om
