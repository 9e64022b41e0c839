// A file system that stops dead at a chosen change, as a crash or a power
// cut would stop the program: the change is not made (a write leaves the
// first half of its bytes), and SimulatedCrash unwinds everything above it.
// SimulatedCrash is no std::exception, so no handler of the program can
// catch it and carry on as if the change had failed politely.
#pragma once

#include <string>
#include <vector>

#include "platform/file_system.h"

namespace om::testing {

struct SimulatedCrash {};

class FaultInjectingFileSystem final : public IFileSystem {
 public:
  explicit FaultInjectingFileSystem(IFileSystem& real) : real_(real) {}

  // The change numbered `n` (from 1) crashes; 0 never.
  void CrashAt(int n) { crash_at_ = n; }
  // The changes so far, e.g. "write D7.DAT", "rename _COLL.tmp>_COLL.QL4".
  const std::vector<std::string>& Changes() const { return changes_; }

  bool FileExists(std::string_view file) override { return real_.FileExists(file); }
  bool DirectoryExists(std::string_view dir) override { return real_.DirectoryExists(dir); }
  std::optional<std::vector<TDirEntry>> ListDirectory(std::string_view dir) override {
    return real_.ListDirectory(dir);
  }
  std::optional<Bytes> ReadWholeFile(std::string_view file) override { return real_.ReadWholeFile(file); }

  FsStatus MakeDirectories(std::string_view dir) override {
    Step("mkdir " + Name(dir));
    return real_.MakeDirectories(dir);
  }
  FsStatus RemoveEmptyDirectory(std::string_view dir) override {
    Step("rmdir " + Name(dir));
    return real_.RemoveEmptyDirectory(dir);
  }
  FsStatus RemoveFile(std::string_view file) override {
    Step("remove " + Name(file));
    return real_.RemoveFile(file);
  }
  FsStatus WriteWholeFile(std::string_view file, std::span<const std::uint8_t> bytes, bool durable) override {
    if (Crashes("write " + Name(file))) {
      real_.WriteWholeFile(file, bytes.first(bytes.size() / 2), false);  // torn
      throw SimulatedCrash{};
    }
    return real_.WriteWholeFile(file, bytes, durable);
  }
  FsStatus KeepCopy(std::string_view file, std::string_view copy) override {
    Step("keep " + Name(file) + ">" + Name(copy));
    return real_.KeepCopy(file, copy);
  }
  FsStatus RenameReplacing(std::string_view from, std::string_view to) override {
    Step("rename " + Name(from) + ">" + Name(to));
    return real_.RenameReplacing(from, to);
  }

 private:
  static std::string Name(std::string_view path) {
    std::string text(path);
    while (!text.empty() && text.back() == '\\') text.pop_back();
    const auto slash = text.find_last_of("\\/");
    return slash == std::string::npos ? text : text.substr(slash + 1);
  }
  bool Crashes(std::string what) {
    changes_.push_back(std::move(what));
    return crash_at_ != 0 && static_cast<int>(changes_.size()) == crash_at_;
  }
  void Step(std::string what) {
    if (Crashes(std::move(what))) throw SimulatedCrash{};
  }

  IFileSystem& real_;
  int crash_at_ = 0;
  std::vector<std::string> changes_;
};

}  // namespace om::testing
