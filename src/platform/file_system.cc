#include "platform/file_system.h"

namespace om {

FsStatus ReplaceKeepingBackup(IFileSystem& files, std::string_view target, std::string_view replacement,
                              std::string_view backup) {
  if (!backup.empty() && files.FileExists(target)) {
    // The old backup goes before the new one takes its name; in between the
    // target is still there, so nothing is lost if we stop here.
    const FsStatus removed = files.RemoveFile(backup);
    if (removed != FsStatus::kOk && removed != FsStatus::kAbsent) return removed;
    const FsStatus kept = files.KeepCopy(target, backup);
    if (kept != FsStatus::kOk) return kept;
  }
  return files.RenameReplacing(replacement, target);
}

}  // namespace om
