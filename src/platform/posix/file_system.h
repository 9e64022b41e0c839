// IFileSystem on POSIX, for the native build (tests and benchmarks): fsync
// for durability, rename(2) for the one-step replacement, hard links for
// the second name of a file.
#pragma once

#include "platform/file_system.h"

namespace om::posix {

class PosixFileSystem final : public IFileSystem {
 public:
  bool FileExists(std::string_view file) override;
  bool DirectoryExists(std::string_view dir) override;
  // Sorted by name without regard to letter case, as NTFS lists a folder,
  // so that the order does not depend on the native file system.
  std::optional<std::vector<TDirEntry>> ListDirectory(std::string_view dir) override;
  std::optional<Bytes> ReadWholeFile(std::string_view file) override;

  FsStatus MakeDirectories(std::string_view dir) override;
  FsStatus RemoveEmptyDirectory(std::string_view dir) override;
  FsStatus RemoveFile(std::string_view file) override;
  FsStatus WriteWholeFile(std::string_view file, std::span<const std::uint8_t> bytes, bool durable) override;
  FsStatus KeepCopy(std::string_view file, std::string_view copy) override;
  FsStatus CopyWholeFile(std::string_view from, std::string_view to) override;
  FsStatus RenameReplacing(std::string_view from, std::string_view to) override;
};

}  // namespace om::posix
