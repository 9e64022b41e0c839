// Port: the file operations the clip store needs beyond reading and writing
// a file whole: flushing a file to the disk, renaming over an existing file
// in one step, keeping a second name for a file, copying a file, and listing
// and removing directories.
//
// Paths are the program's text form ("C:\Data\Coll\_COLL.QL4"): backslashes,
// directories usually with a trailing backslash. The native implementation
// (platform/posix) turns backslashes into slashes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"

namespace om {

// What a change to the file system came to. kBusy: another process holds
// the file (a sharing violation that outlasted the retries).
enum class FsStatus { kOk, kAbsent, kBusy, kFailed };

struct TDirEntry {
  std::string Name;
  bool IsDirectory = false;
};

class IFileSystem {
 public:
  virtual ~IFileSystem() = default;

  // --- questions ---
  virtual bool FileExists(std::string_view file) = 0;
  virtual bool DirectoryExists(std::string_view dir) = 0;
  // The entries of a directory other than "." and "..", in the order the
  // file system gives them (natively: by name, as NTFS lists them); nullopt
  // when it cannot be listed.
  virtual std::optional<std::vector<TDirEntry>> ListDirectory(std::string_view dir) = 0;
  // The whole file; nullopt when it is missing or cannot be read.
  virtual std::optional<Bytes> ReadWholeFile(std::string_view file) = 0;

  // --- changes (each one is one step a crash can fall between) ---

  // Creates the directory and its missing parents. kOk when it exists
  // afterwards.
  virtual FsStatus MakeDirectories(std::string_view dir) = 0;
  // Removes an empty directory.
  virtual FsStatus RemoveEmptyDirectory(std::string_view dir) = 0;
  // Removes a file, read-only or not. kAbsent when there was none.
  virtual FsStatus RemoveFile(std::string_view file) = 0;
  // Creates or truncates the file and writes the bytes. With `durable` the
  // bytes are on the disk when the call returns (fsync, FlushFileBuffers).
  virtual FsStatus WriteWholeFile(std::string_view file, std::span<const std::uint8_t> bytes, bool durable) = 0;
  // Gives the existing file `file` the second name `copy`, which must not
  // exist: a hard link where the file system has them, else a copy. Either
  // way `copy` keeps the present contents when `file` is later renamed over.
  virtual FsStatus KeepCopy(std::string_view file, std::string_view copy) = 0;
  // Copies the bytes of `from` to `to`, creating or replacing it; the copy
  // is on the disk when the call returns. kAbsent when `from` does not
  // exist. A copy that fails may leave `to` cut short.
  virtual FsStatus CopyWholeFile(std::string_view from, std::string_view to) = 0;
  // Renames `from` to `to` in one step, replacing `to` when it exists, and
  // makes the change durable. At no moment is `to` missing. Retried briefly
  // while another process holds `to`.
  virtual FsStatus RenameReplacing(std::string_view from, std::string_view to) = 0;
};

// Puts `replacement` in the place of `target` and keeps the previous
// `target`, when there was one, as `backup` (any older backup goes first).
// Built from the steps above so that `target` exists after every one of
// them: a crash leaves either the old or the new file under its name, and a
// fault-injecting wrapper sees every step.
FsStatus ReplaceKeepingBackup(IFileSystem& files, std::string_view target, std::string_view replacement,
                              std::string_view backup);

}  // namespace om
