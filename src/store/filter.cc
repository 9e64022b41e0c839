#include "store/filter.h"

#include <algorithm>

#include "app/app_log.h"
#include "clipboard/format_names.h"
#include "platform/text_case.h"
#include "platform/types.h"

namespace om {

namespace {

constexpr std::int32_t kUnseenApp = 2;
constexpr std::int32_t kNewFormat = -1;

// The program's own clipboard data: the name its executable gives, and the
// name the viewer gives a change it made itself.
constexpr std::array<const char*, 2> kOwnApps = {"Ottermoor", "Quillark"};
// The formats a new format is kept by default when plain text is offered.
constexpr std::array<const char*, 3> kTextFormats = {"TEXT", "Ami Text Format", "Rich Text Format"};

bool OneOf(std::string_view name, const auto& names) {
  return std::any_of(std::begin(names), std::end(names),
                     [name](const char* candidate) { return SameTextIgnoringCase(name, candidate); });
}

// A registry key's name cannot hold a backslash (the path separator), but
// an application name taken from a window title can: such a name gets a key
// with slashes instead. The "_FILTERS" value keeps the name as it is.
std::string AppKeyName(std::string_view app) {
  std::string key(app);
  std::replace(key.begin(), key.end(), '\\', '/');
  return key;
}

}  // namespace

bool IsNamelessFormat(std::string_view format) {
  constexpr std::string_view kUnknPublic = "UNKN_PUBLIC";
  if (SameTextIgnoringCase(format, kUnknownApp) || SameTextIgnoringCase(format, kUnknPublic)) return true;
  return format.size() > kUnknPublic.size() && format[kUnknPublic.size()] == ':' &&
         SameTextIgnoringCase(format.substr(0, kUnknPublic.size()), kUnknPublic);
}

Tfilter::Tfilter(IKeyValueStore& store, std::string_view settings_key, IClipboardSystem& clipboard)
    : values_(store, std::string(settings_key) + "\\" + kAppProfileKey), clipboard_(clipboard) {
  // The empty section is the key itself, the empty name its default value.
  values_.WriteString("", "", kAppProfileMarker);
}

bool Tfilter::HasFilter(std::string_view app) {
  const std::int32_t value = ApplicationValue(app);
  AppEnabled = value == 1;
  return value < kUnseenApp;
}

bool Tfilter::IsCoffee(std::string_view app_name, std::string_view format) {
  if (OneOf(format, kNeverCapturedFormats)) return false;
  // A source without a name is judged, and remembered, as the unknown one.
  const std::string_view app = app_name.empty() ? std::string_view(kUnknownApp) : app_name;
  Log(loglevel::kDetail, ">IsCoffee", std::string(app) + " : " + std::string(format));
  if (format.empty()) return false;
  if (OneOf(app, kOwnApps)) return SameTextIgnoringCase(format, "TEXT");
  if (IsNamelessFormat(format)) return false;
  if (!HasFilter(app)) AppEnabled = MakeQuickieFilter(app);
  if (!AppEnabled) return false;

  bool result = false;
  const std::int32_t value = FormatValue(app, format);
  if (value == kNewFormat) {
    result = OneOf(format, kTextFormats) && Offers(cf::kText);
    // A name found inside the word: only names such as "PICT" or "PICTURE"
    // (and an empty one) qualify.
    constexpr std::string_view kPicture = "PICTURE";
    if (SameTextIgnoringCase(format, kPicture) && kPicture.find(AsciiUpperCase(app)) != std::string_view::npos) {
      result = true;
    }
    // Rich text is kept even without plain text beside it, except from the
    // OLE libraries' names (case-sensitive, as stored).
    if (std::string_view("OLE32").find(app) == std::string_view::npos &&
        SameTextIgnoringCase(format, kRTFFormatName)) {
      result = true;
    }
    Store(app, format, result);
  } else {
    result = value == 1;
  }
  Log(loglevel::kDetail, "<IsCoffee", result ? "1" : "0");
  return result;
}

bool Tfilter::MakeQuickieFilter(std::string_view app) {
  Log(loglevel::kDetail, ">QuickieFilter", app);
  std::int32_t n = 0;
  if (app == "WINDOWS") {
    Store(app, "TEXT", true);
    Store(app, "BITMAP", true);
  }
  if (app == "WordPerfect") {
    Store(app, "TEXT", true);
    Store(app, kRTFFormatName, true);
  }
  // The file manager and the web browser. Their creator names are the
  // upper-case executable names, so the rule answers to those as well as to
  // the lower-case ones: without it a file list copied in the file manager
  // would be dropped on first sight (no text, no picture) and stored as
  // unwanted from then on, and the user would never see one captured. It
  // counts like text, so the first capture keeps what it stored.
  if (app == "explorer" || app == "iexplore" || app == "EXPLORER" || app == "IEXPLORE") {
    for (const char* format : {"TEXT", "HDROP", "Filename", "BITMAP"}) Store(app, format, true);
    Store(app, HtmlPreviewAvailable ? kHTMLFormatName : kRTFFormatName, true);
    ++n;
  }
  if (const std::uint32_t html = HtmlFormat(); html != 0 && Offers(html)) Store(app, kHTMLFormatName, true);
  if (Offers(cf::kText)) {
    Store(app, "TEXT", true);
    n = 1;
  } else {
    if (Offers(cf::kMetafilePict)) {
      Store(app, "PICTURE", true);
      ++n;
    }
    if (Offers(cf::kBitmap)) {
      Store(app, "BITMAP", true);
      ++n;
    } else if (Offers(cf::kDib)) {
      Store(app, "DIB", true);
      ++n;
    }
  }
  SetApplicationValue(app, 1);
  Log(loglevel::kDetail, "<QuickieFilter ", std::to_string(n));
  return n > 0;
}

std::vector<std::string> Tfilter::ApplicationNames() { return values_.ValueNames(kAppFiltersKey); }

std::int32_t Tfilter::ApplicationValue(std::string_view app) {
  return values_.ReadInteger(kAppFiltersKey, app, kUnseenApp);
}

bool Tfilter::SetApplicationValue(std::string_view app, std::int32_t value) {
  return values_.WriteInteger(kAppFiltersKey, app, value);
}

std::vector<std::string> Tfilter::FormatNames(std::string_view app) { return values_.ValueNames(AppKeyName(app)); }

std::int32_t Tfilter::FormatValue(std::string_view app, std::string_view format) {
  return values_.ReadInteger(AppKeyName(app), format, kNewFormat);
}

bool Tfilter::SetFormatValue(std::string_view app, std::string_view format, std::int32_t value) {
  return values_.WriteInteger(AppKeyName(app), format, value);
}

void Tfilter::Store(std::string_view app, std::string_view format, bool keep) {
  // A refused write leaves the format new; the next capture asks again.
  SetFormatValue(app, format, keep ? 1 : 0);
}

bool Tfilter::Offers(std::uint32_t format) { return clipboard_.IsFormatAvailable(format); }

std::uint32_t Tfilter::HtmlFormat() {
  // Registered at start-up; registering again gives the same number.
  return HTMLFormat != 0 ? HTMLFormat : clipboard_.RegisterFormat(kHTMLFormatName);
}

}  // namespace om
