// IFileSystem over the Win32 file API (ANSI paths, as the program's text).
#pragma once

#include "platform/file_system.h"

namespace om::win32 {

class Win32FileSystem final : public IFileSystem {
 public:
  bool FileExists(std::string_view file) override;
  bool DirectoryExists(std::string_view dir) override;
  std::optional<std::vector<TDirEntry>> ListDirectory(std::string_view dir) override;
  std::optional<Bytes> ReadWholeFile(std::string_view file) override;

  FsStatus MakeDirectories(std::string_view dir) override;
  FsStatus RemoveEmptyDirectory(std::string_view dir) override;
  FsStatus RemoveFile(std::string_view file) override;
  FsStatus WriteWholeFile(std::string_view file, std::span<const std::uint8_t> bytes, bool durable) override;
  // A hard link (NTFS), else a copy (FAT, some network shares).
  FsStatus KeepCopy(std::string_view file, std::string_view copy) override;
  // CopyFile over an existing target, then the copy flushed to the disk.
  FsStatus CopyWholeFile(std::string_view from, std::string_view to) override;
  // MoveFileEx with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH: one
  // rename on the volume, on the disk when it returns.
  FsStatus RenameReplacing(std::string_view from, std::string_view to) override;
};

}  // namespace om::win32
