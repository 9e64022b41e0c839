#include "platform/win32/shell_folders.h"

#include <windows.h>
#include <shlobj.h>

namespace om::win32 {
namespace {

// A per-user folder the profile should have is created when it is missing
// (a fresh profile), rather than treated as unavailable: the data path and
// the export folder would otherwise fall back to the program folder, which
// the user usually cannot write.
std::optional<std::string> Folder(int csidl) {
  char path[MAX_PATH] = {};
  if (::SHGetFolderPathA(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK ||
      path[0] == '\0') {
    return std::nullopt;
  }
  return std::string(path);
}

}  // namespace

std::optional<std::string> Win32ShellFolders::AppDataFolder() { return Folder(CSIDL_APPDATA); }

std::optional<std::string> Win32ShellFolders::DocumentsFolder() { return Folder(CSIDL_PERSONAL); }

}  // namespace om::win32
