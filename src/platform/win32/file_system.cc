// Another program may hold a file for a moment (a virus scanner, a backup
// or indexing service, an editor looking at it): opening, deleting and
// renaming are retried for about a second on a sharing violation before the
// operation counts as busy.
//
// Replacing a file keeps no window in which it is missing: the backup is a
// second name of the old file (or a copy of it) made before the new file is
// renamed over the old one. ReplaceFile is not used: its write-through flag
// is documented as unsupported, and when it fails half-way it can leave the
// old file under the backup's name and nothing under its own.
#include "platform/win32/file_system.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "app/paths.h"
#include "platform/win32/handles.h"
#include "platform/win32/os_error.h"

namespace om::win32 {
namespace {

constexpr int kAttempts = 20;
constexpr DWORD kPauseMs = 50;

bool IsBusy(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED ||
         error == ERROR_USER_MAPPED_FILE;
}

FsStatus StatusOf(DWORD error) {
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return FsStatus::kAbsent;
  if (IsBusy(error)) return FsStatus::kBusy;
  return FsStatus::kFailed;
}

// Runs `attempt` until it succeeds or fails with something other than
// another program holding the file. The last error is kept for the caller.
template <typename Attempt>
bool Retrying(Attempt attempt) {
  for (int i = 1;; ++i) {
    if (attempt()) return true;
    const DWORD error = ::GetLastError();
    if (!IsBusy(error) || i >= kAttempts) {
      ::SetLastError(error);
      return false;
    }
    ::Sleep(kPauseMs);
  }
}

std::string Text(std::string_view path) { return std::string(path); }

// Without the trailing backslash, which GetFileAttributes and
// RemoveDirectory do not take everywhere ("C:\" keeps it).
std::string DirText(std::string_view dir) { return ExcludeTrailingBackslash(dir); }

}  // namespace

bool Win32FileSystem::FileExists(std::string_view file) {
  const DWORD attributes = ::GetFileAttributesA(Text(file).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32FileSystem::DirectoryExists(std::string_view dir) {
  const DWORD attributes = ::GetFileAttributesA(DirText(dir).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::optional<std::vector<TDirEntry>> Win32FileSystem::ListDirectory(std::string_view dir) {
  const std::string pattern = IncludeTrailingBackslash(dir) + "*";
  WIN32_FIND_DATAA data{};
  HANDLE find = ::FindFirstFileA(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) {
    // An empty directory still lists "." and ".."; nothing at all means it
    // cannot be read.
    return std::nullopt;
  }
  std::vector<TDirEntry> entries;
  do {
    const std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    entries.push_back({name, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (::FindNextFileA(find, &data));
  const DWORD error = ::GetLastError();
  ::FindClose(find);
  if (error != ERROR_NO_MORE_FILES) {
    LogOsFailure("FindNextFile", error);
    return std::nullopt;
  }
  return entries;
}

std::optional<Bytes> Win32FileSystem::ReadWholeFile(std::string_view file) {
  KernelHandle handle;
  const std::string name = Text(file);
  Retrying([&] {
    constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    handle = OwnFileHandle(::CreateFileA(name.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                         FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    return static_cast<bool>(handle);
  });
  if (!handle) return std::nullopt;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(handle.get(), &size) || size.QuadPart < 0) return std::nullopt;
  Bytes bytes(static_cast<std::size_t>(size.QuadPart));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    DWORD read = 0;
    if (!::ReadFile(handle.get(), bytes.data() + done, chunk, &read, nullptr)) return std::nullopt;
    if (read == 0) break;  // shorter than it was a moment ago
    done += read;
  }
  bytes.resize(done);
  return bytes;
}

FsStatus Win32FileSystem::MakeDirectories(std::string_view dir) {
  const std::string path = DirText(dir);
  if (DirectoryExists(path)) return FsStatus::kOk;
  // Every prefix that ends before a backslash, then the whole path; a
  // prefix that is a drive ("C:") or a share ("\\server") simply fails.
  for (std::size_t i = 1; i < path.size(); ++i) {
    if (path[i] == '\\' || path[i] == '/') ::CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
  }
  ::CreateDirectoryA(path.c_str(), nullptr);
  return DirectoryExists(path) ? FsStatus::kOk : FsStatus::kFailed;
}

FsStatus Win32FileSystem::RemoveEmptyDirectory(std::string_view dir) {
  const std::string path = DirText(dir);
  if (Retrying([&] { return ::RemoveDirectoryA(path.c_str()) != FALSE; })) return FsStatus::kOk;
  return StatusOf(::GetLastError());
}

FsStatus Win32FileSystem::RemoveFile(std::string_view file) {
  const std::string name = Text(file);
  const DWORD attributes = ::GetFileAttributesA(name.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return StatusOf(::GetLastError());
  if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) {
    ::SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  if (Retrying([&] { return ::DeleteFileA(name.c_str()) != FALSE; })) return FsStatus::kOk;
  return StatusOf(::GetLastError());
}

FsStatus Win32FileSystem::WriteWholeFile(std::string_view file, std::span<const std::uint8_t> bytes, bool durable) {
  KernelHandle handle;
  const std::string name = Text(file);
  const bool opened = Retrying([&] {
    handle = OwnFileHandle(::CreateFileA(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(handle);
  });
  if (!opened) return StatusOf(LogOsFailure(("CreateFile(" + name + ")").c_str()));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(handle.get(), bytes.data() + done, chunk, &written, nullptr) || written == 0) {
      LogOsFailure(("WriteFile(" + name + ")").c_str());
      return FsStatus::kFailed;
    }
    done += written;
  }
  if (durable && !::FlushFileBuffers(handle.get())) {
    LogOsFailure(("FlushFileBuffers(" + name + ")").c_str());
    return FsStatus::kFailed;
  }
  if (!::CloseHandle(handle.release())) return FsStatus::kFailed;
  return FsStatus::kOk;
}

FsStatus Win32FileSystem::KeepCopy(std::string_view file, std::string_view copy) {
  const std::string from = Text(file);
  const std::string to = Text(copy);
  if (::CreateHardLinkA(to.c_str(), from.c_str(), nullptr)) return FsStatus::kOk;
  const DWORD error = ::GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_ALREADY_EXISTS) {
    return error == ERROR_ALREADY_EXISTS ? FsStatus::kFailed : FsStatus::kAbsent;
  }
  // No hard links on this volume: a copy (failing when `copy` exists).
  if (Retrying([&] { return ::CopyFileA(from.c_str(), to.c_str(), TRUE) != FALSE; })) return FsStatus::kOk;
  return StatusOf(LogOsFailure(("CopyFile(" + from + ")").c_str()));
}

FsStatus Win32FileSystem::CopyWholeFile(std::string_view from, std::string_view to) {
  const std::string source = Text(from);
  const std::string target = Text(to);
  // A read-only target left by an earlier copy is replaced like any other.
  const DWORD attributes = ::GetFileAttributesA(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    ::SetFileAttributesA(target.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  }
  if (!Retrying([&] { return ::CopyFileA(source.c_str(), target.c_str(), FALSE) != FALSE; })) {
    return StatusOf(LogOsFailure(("CopyFile(" + source + ")").c_str()));
  }
  // CopyFile leaves the bytes in the cache: flushed here, so that the copy
  // is there before a collection file that lists it.
  KernelHandle handle;
  Retrying([&] {
    handle = OwnFileHandle(::CreateFileA(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(handle);
  });
  if (!handle || !::FlushFileBuffers(handle.get())) {
    LogOsFailure(("FlushFileBuffers(" + target + ")").c_str());
    return FsStatus::kFailed;
  }
  return FsStatus::kOk;
}

FsStatus Win32FileSystem::RenameReplacing(std::string_view from, std::string_view to) {
  const std::string source = Text(from);
  const std::string target = Text(to);
  if (Retrying([&] {
        return ::MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) !=
               FALSE;
      })) {
    return FsStatus::kOk;
  }
  return StatusOf(LogOsFailure(("MoveFileEx(" + source + ")").c_str()));
}

}  // namespace om::win32
