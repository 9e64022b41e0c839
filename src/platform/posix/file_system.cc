#include "platform/posix/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "app/paths.h"

namespace om::posix {
namespace {

std::string Native(std::string_view path) { return ToFsPath(path).string(); }

// A path without its trailing separator (stat and rmdir accept either, but
// the parent of "a/b/" should be "a").
std::string NativeDir(std::string_view path) {
  std::string dir = Native(path);
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return dir;
}

FsStatus FromErrno(int error) {
  if (error == ENOENT || error == ENOTDIR) return FsStatus::kAbsent;
  if (error == EBUSY || error == ETXTBSY) return FsStatus::kBusy;
  return FsStatus::kFailed;
}

// Closes on every path out.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  // The result of close(2): a write error may only show here.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// A rename or a new name is durable once the directory holding it is.
bool SyncDirectoryOf(const std::string& native_file) {
  std::string dir = std::filesystem::path(native_file).parent_path().string();
  if (dir.empty()) dir = ".";
  Fd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return fd.get() >= 0 && ::fsync(fd.get()) == 0;
}

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

bool NameLess(const TDirEntry& a, const TDirEntry& b) {
  const std::string upper_a = Upper(a.Name);
  const std::string upper_b = Upper(b.Name);
  return upper_a != upper_b ? upper_a < upper_b : a.Name < b.Name;
}

}  // namespace

bool PosixFileSystem::FileExists(std::string_view file) {
  struct stat info {};
  return ::stat(Native(file).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool PosixFileSystem::DirectoryExists(std::string_view dir) {
  struct stat info {};
  return ::stat(NativeDir(dir).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::optional<std::vector<TDirEntry>> PosixFileSystem::ListDirectory(std::string_view dir) {
  std::error_code error;
  std::filesystem::directory_iterator it(NativeDir(dir), error);
  if (error) return std::nullopt;
  std::vector<TDirEntry> entries;
  for (const std::filesystem::directory_iterator end; it != end; it.increment(error)) {
    if (error) return std::nullopt;
    std::error_code kind_error;
    entries.push_back({it->path().filename().string(), it->is_directory(kind_error)});
  }
  if (error) return std::nullopt;
  std::sort(entries.begin(), entries.end(), NameLess);
  return entries;
}

std::optional<Bytes> PosixFileSystem::ReadWholeFile(std::string_view file) {
  Fd fd(::open(Native(file).c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return std::nullopt;
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  Bytes bytes(static_cast<std::size_t>(info.st_size));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::read(fd.get(), bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    if (n == 0) break;  // shorter than it was a moment ago
    done += static_cast<std::size_t>(n);
  }
  bytes.resize(done);
  return bytes;
}

FsStatus PosixFileSystem::MakeDirectories(std::string_view dir) {
  std::error_code error;
  std::filesystem::create_directories(NativeDir(dir), error);
  return DirectoryExists(dir) ? FsStatus::kOk : FsStatus::kFailed;
}

FsStatus PosixFileSystem::RemoveEmptyDirectory(std::string_view dir) {
  return ::rmdir(NativeDir(dir).c_str()) == 0 ? FsStatus::kOk : FromErrno(errno);
}

FsStatus PosixFileSystem::RemoveFile(std::string_view file) {
  return ::unlink(Native(file).c_str()) == 0 ? FsStatus::kOk : FromErrno(errno);
}

FsStatus PosixFileSystem::WriteWholeFile(std::string_view file, std::span<const std::uint8_t> bytes, bool durable) {
  Fd fd(::open(Native(file).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (fd.get() < 0) return FromErrno(errno);
  if (!WriteAll(fd.get(), bytes)) return FsStatus::kFailed;
  if (durable && ::fsync(fd.get()) != 0) return FsStatus::kFailed;
  return fd.Close() ? FsStatus::kOk : FsStatus::kFailed;
}

FsStatus PosixFileSystem::KeepCopy(std::string_view file, std::string_view copy) {
  const std::string from = Native(file);
  const std::string to = Native(copy);
  if (::link(from.c_str(), to.c_str()) == 0) return SyncDirectoryOf(to) ? FsStatus::kOk : FsStatus::kFailed;
  if (errno == ENOENT) return FsStatus::kAbsent;
  if (errno == EEXIST) return FsStatus::kFailed;
  // No hard links here (a FAT stick, some network shares): a copy.
  std::error_code error;
  std::filesystem::copy_file(from, to, std::filesystem::copy_options::none, error);
  if (error) return FsStatus::kFailed;
  Fd fd(::open(to.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0 || ::fsync(fd.get()) != 0) return FsStatus::kFailed;
  return SyncDirectoryOf(to) ? FsStatus::kOk : FsStatus::kFailed;
}

FsStatus PosixFileSystem::CopyWholeFile(std::string_view from, std::string_view to) {
  const std::optional<Bytes> bytes = ReadWholeFile(from);
  if (!bytes) return FileExists(from) ? FsStatus::kFailed : FsStatus::kAbsent;
  const FsStatus written = WriteWholeFile(to, *bytes, /*durable=*/true);
  if (written != FsStatus::kOk) return written;
  return SyncDirectoryOf(Native(to)) ? FsStatus::kOk : FsStatus::kFailed;
}

FsStatus PosixFileSystem::RenameReplacing(std::string_view from, std::string_view to) {
  const std::string target = Native(to);
  if (::rename(Native(from).c_str(), target.c_str()) != 0) return FromErrno(errno);
  return SyncDirectoryOf(target) ? FsStatus::kOk : FsStatus::kFailed;
}

}  // namespace om::posix
