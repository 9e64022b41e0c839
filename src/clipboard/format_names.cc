#include "clipboard/format_names.h"

#include "platform/text_case.h"

namespace om {

namespace {
// The system's format-name buffer is 50 bytes with its terminator.
constexpr std::size_t kMaxRegisteredNameChars = 49;
}  // namespace

std::string ConvertFormatNum(IClipboardSystem& clipboard, std::uint32_t number) {
  if (number < cf::kFirstRegistered) {
    for (const FormatNameEntry& entry : kFormatNameTable) {
      if (entry.number == number) return entry.name;
    }
    return "UNKN_PUBLIC:" + std::to_string(number);
  }
  std::optional<std::string> name = clipboard.FormatName(number);
  if (!name || name->empty()) return "UNKNOWN";
  if (name->size() > kMaxRegisteredNameChars) name->resize(kMaxRegisteredNameChars);
  return *name;
}

std::uint32_t ConvertFormatName(IClipboardSystem& clipboard, std::string_view name) {
  for (const FormatNameEntry& entry : kFormatNameTable) {
    if (SameTextIgnoringCase(entry.name, name)) return entry.number;
  }
  return clipboard.RegisterFormat(name);
}

void RegisterStartupFormats(IClipboardSystem& clipboard) {
  IgnoreFormat = clipboard.RegisterFormat(kIgnoreFormatName);
  RTFFormat = clipboard.RegisterFormat(kRTFFormatName);
  HTMLFormat = clipboard.RegisterFormat(kHTMLFormatName);
  URLFormat = clipboard.RegisterFormat(kURLFormatName);
}

}  // namespace om
