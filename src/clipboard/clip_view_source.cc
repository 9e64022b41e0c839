// Source identification: which application put the current data on the
// clipboard, found from a fingerprint of its formats, from the process that
// owns the clipboard, or from the foreground window; an OLE object
// descriptor adds the object's type name.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "clipboard/clip_view.h"
#include "platform/text_case.h"

namespace om {

namespace {

constexpr std::size_t kClassModuleMaxChars = 79;
constexpr std::size_t kExeFileMaxChars = 260;
constexpr std::size_t kTitleMaxChars = 254;
constexpr std::size_t kTitleNameMaxChars = 39;
constexpr std::size_t kTypeNameMaxChars = 40;
// An OLE object descriptor: its fixed part, and where in it the offset of
// the full user type name sits.
constexpr std::size_t kObjectDescriptorMinSize = 64;
constexpr std::size_t kTypeNameOffsetAt = 44;

// "C:\Dir\Name.exe" -> "Name".
std::string FileNameWithoutExt(std::string_view path) {
  const std::size_t slash = path.find_last_of("\\/:");
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  if (const std::size_t dot = name.rfind('.'); dot != std::string_view::npos) name = name.substr(0, dot);
  return std::string(name);
}

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  return s;
}

std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

// The full user type name of an OLE object descriptor, read without ever
// leaving the block. nullopt when the block is not a descriptor whose name
// can be found: too small, or the name's offset lies outside it.
std::optional<std::string> ObjectTypeName(const Bytes& block) {
  if (block.size() < kTypeNameOffsetAt + 4) return std::nullopt;
  const std::uint32_t offset = static_cast<std::uint32_t>(block[kTypeNameOffsetAt]) |
                               (static_cast<std::uint32_t>(block[kTypeNameOffsetAt + 1]) << 8) |
                               (static_cast<std::uint32_t>(block[kTypeNameOffsetAt + 2]) << 16) |
                               (static_cast<std::uint32_t>(block[kTypeNameOffsetAt + 3]) << 24);
  if (offset >= block.size()) return std::nullopt;
  const auto at = [&block](std::size_t i) -> std::uint8_t { return i < block.size() ? block[i] : 0; };

  std::string name;
  if (at(offset) != 0 && at(offset + 1) != 0) {
    // An 8-bit name.
    for (std::size_t i = offset; i < block.size() && block[i] != 0 && name.size() < kTypeNameMaxChars; ++i) {
      name += static_cast<char>(block[i]);
    }
  } else {
    // A UTF-16 name: keep the ASCII letters and blanks, skip the high bytes;
    // two bytes in a row that are neither end the name.
    int skipped = 0;
    for (std::size_t i = offset; i < block.size() && name.size() < kTypeNameMaxChars; ++i) {
      const std::uint8_t b = block[i];
      if ((b >= 65 && b <= 122) || b == ' ') {
        name += static_cast<char>(b);
        skipped = 0;
      } else if (++skipped == 2) {
        break;
      }
    }
  }
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    if (c < 32 || c > 122) {
      name.resize(i);
      break;
    }
  }
  return name;
}

}  // namespace

void TClipView5::LoadTools() {
  tools_ = processes_.LoadTools();
  dll_tools_.clear();
  if (tools_.create_snapshot) dll_tools_ += "1,";
  if (tools_.process32_first) dll_tools_ += "2,";
  if (tools_.process32_next) dll_tools_ += "3";
  if (tools_.module_file_name_ex) dll_tools_ += "4,";
  if (tools_.module_base_name) dll_tools_ += "5";
  // KERNEL32 itself is always there, so "neither interface" means that no
  // entry point of either was found.
  if (dll_tools_.empty()) {
    prompts_.ShowMessage(
        "Error loading TOOLHELP functions (Windows95) or PSAPI.DLL (NT 4.0).  It is safe to continue, but you should "
        "re-install Quillark.",
        "Quillark Initialization - (Clipview Module)", MsgButtons::kOk, MsgIcon::kWarning, owner_);
  }
}

std::string TClipView5::GetCreator() {
  // Reset, so that a name found without any look-up (no owner, no text)
  // does not show how the previous one was found.
  owner_method_ = "Unknown";
  std::string result = "UNKNOWN";

  const auto has = [this](std::string_view name) { return FindFormatNum(name) != 0; };
  const auto offers = [this](std::uint32_t format) { return clipboard_.HasFormat(format); };
  const char* fingerprint = nullptr;
  if (has("Csv") && offers(cf::kMetafilePict) && offers(cf::kText) && has("Wk1") && has("Biff")) {
    fingerprint = "EXCEL";
  } else if (offers(cf::kMetafilePict) && !offers(cf::kText) && has("Biff5")) {
    fingerprint = "EXCEL Picture";
  } else if (has("WordPerfect 8 Text") || has("WordPerfect 7 Text") || has("WordPerfect 6 Text")) {
    fingerprint = "WordPerfect";
  } else if (has("Ami Text Format")) {
    fingerprint = "Ami Pro";
  } else if (has("VBControls")) {
    fingerprint = "Visual Basic Controls";
  }
  if (fingerprint) {
    owner_method_ = "Fingerprint";
    return fingerprint;
  }

  const WindowHandle owner = System().Owner();
  if (owner == 0) {
    result = "WINDOWS";
    if (offers(cf::kText)) {
      result = TopWindowName();
      owner_method_ += ":Using TopWindow with OwnerWnd=0";
    }
  } else {
    result = FileNameWithoutExt(processes_.ClassModuleFileName(owner, kClassModuleMaxChars));
    std::string path;
    if (GetOwnerWithSnapshot(owner, path) || GetOwnerNT(owner, path)) {
      result = FileNameWithoutExt(path);
      owner_method_ += ":Using Clipboard Owner Handle";
    } else {
      result = TopWindowName();
      owner_method_ += ":Using Top Window";
    }
  }

  const std::uint32_t descriptor = FindFormatNum("Object Descriptor");
  if (descriptor != 0 && offers(descriptor) && Open()) {
    const ClipData data = clipboard_.GetData(descriptor);
    if (data.status == ClipStatus::kOk || data.status == ClipStatus::kAbsent) {
      // A missing, empty or short block adds nothing.
      if (data.status == ClipStatus::kOk && data.bytes.size() > kObjectDescriptorMinSize) {
        const std::optional<std::string> name = ObjectTypeName(data.bytes);
        result += name ? ":" + *name : ":0";
      }
    } else {
      result += ":0";
    }
    Close();
  }
  return AsciiUpperCase(result);
}

bool TClipView5::GetOwnerWithSnapshot(WindowHandle window, std::string& path) {
  path.clear();
  if (!tools_.HasToolHelp()) return false;
  owner_method_ = "GetOwnerWithSnapshot";
  const std::uint32_t process_id = processes_.WindowProcessId(window);
  // No window, no process: the snapshot's entry 0 is the idle process, not
  // a program that could have done anything.
  if (process_id == 0) return false;
  if (std::optional<std::string> exe = processes_.SnapshotExeFile(process_id)) {
    if (exe->size() > kExeFileMaxChars) exe->resize(kExeFileMaxChars);
    path = AnsiUpperCase(*exe);
  }
  return !path.empty();
}

bool TClipView5::GetOwnerNT(WindowHandle window, std::string& path) {
  if (!tools_.HasPsapi()) return false;
  owner_method_ = "GetOwnerNT";
  const std::uint32_t process_id = processes_.WindowProcessId(window);
  const PsapiLookup lookup = processes_.PsapiExeFile(process_id);
  if (!lookup.opened) {
    path = process_id != 0 ? "Error In GetOwnerNT" : "Idle";
    return false;
  }
  if (lookup.path.empty()) {
    path = "System";
    return false;
  }
  path = lookup.path;
  return true;
}

std::string TClipView5::GetWindowFileName(WindowHandle window) {
  std::string path;
  if (GetOwnerWithSnapshot(window, path) || GetOwnerNT(window, path)) {
    owner_method_ = "GetWindowFileName";
    return FileNameWithoutExt(path);
  }
  return "Unknown";
}

std::string TClipView5::TopWindowName() {
  const WindowHandle foreground = processes_.ForegroundWindow();
  const std::string title = processes_.WindowTitle(foreground, kTitleMaxChars);
  std::string path;
  if (GetOwnerWithSnapshot(foreground, path) || GetOwnerNT(foreground, path)) return FileNameWithoutExt(path);

  for (const std::string& known : KnownTitles) {
    if (!known.empty() && title.find(known) != std::string::npos) {
      owner_method_ = "TitleFoundInTable";
      return known;
    }
  }
  std::string_view name = title;
  if (const std::size_t dash = name.find('-'); dash != std::string_view::npos) {
    name = TrimRight(TrimLeft(name.substr(0, dash)));
  }
  if (const std::size_t bracket = name.find('['); bracket != std::string_view::npos) {
    name = TrimRight(name.substr(0, bracket));
  }
  if (name.empty()) name = "Windows";
  owner_method_ = "WindowTitle";
  return std::string(name.substr(0, kTitleNameMaxChars));
}

std::string TClipView5::NextInLineName() {
  if (next_viewer_ == window_) return "Quillark";
  std::string name = GetWindowFileName(next_viewer_);
  return name.empty() ? "Application Name Unavailable" : name;
}

std::string TClipView5::FirstInLineName() {
  const WindowHandle first = System().Viewer();
  if (first == window_) return "Quillark";
  if (first == 0) return "Error - ZERO Handle";
  std::string name = GetWindowFileName(first);
  return name.empty() ? "Application Name Unavailable" : name;
}

}  // namespace om
