// A file system that stops dead at a chosen change, as a crash or a power
// cut would stop the program: the change is not made (a write leaves the
// first half of its bytes), and SimulatedCrash unwinds everything above it.
// SimulatedCrash is no std::exception, so no handler of the program can
// catch it and carry on as if the change had failed politely.
//
// It can also make one change fail politely, as a full disk or a file held
// by another program does: the change is not made and reports its status.
#pragma once

#include <optional>
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
  // Every change whose description starts with `what` (e.g. "copy I3.bmp")
  // is not made and answers `status` instead.
  void FailChanges(std::string what, FsStatus status = FsStatus::kFailed) {
    fail_what_ = std::move(what);
    fail_status_ = status;
  }
  // The changes so far, e.g. "write D7.DAT", "rename _COLL.tmp>_COLL.QL4".
  const std::vector<std::string>& Changes() const { return changes_; }

  bool FileExists(std::string_view file) override { return real_.FileExists(file); }
  bool DirectoryExists(std::string_view dir) override { return real_.DirectoryExists(dir); }
  std::optional<std::vector<TDirEntry>> ListDirectory(std::string_view dir) override {
    return real_.ListDirectory(dir);
  }
  std::optional<Bytes> ReadWholeFile(std::string_view file) override { return real_.ReadWholeFile(file); }

  FsStatus MakeDirectories(std::string_view dir) override {
    if (Step("mkdir " + Name(dir))) return fail_status_;
    return real_.MakeDirectories(dir);
  }
  FsStatus RemoveEmptyDirectory(std::string_view dir) override {
    if (Step("rmdir " + Name(dir))) return fail_status_;
    return real_.RemoveEmptyDirectory(dir);
  }
  FsStatus RemoveFile(std::string_view file) override {
    if (Step("remove " + Name(file))) return fail_status_;
    return real_.RemoveFile(file);
  }
  FsStatus WriteWholeFile(std::string_view file, std::span<const std::uint8_t> bytes, bool durable) override {
    if (Crashes("write " + Name(file))) {
      real_.WriteWholeFile(file, bytes.first(bytes.size() / 2), false);  // torn
      throw SimulatedCrash{};
    }
    if (Fails()) return fail_status_;
    return real_.WriteWholeFile(file, bytes, durable);
  }
  FsStatus KeepCopy(std::string_view file, std::string_view copy) override {
    if (Step("keep " + Name(file) + ">" + Name(copy))) return fail_status_;
    return real_.KeepCopy(file, copy);
  }
  FsStatus CopyWholeFile(std::string_view from, std::string_view to) override {
    if (Crashes("copy " + Name(from) + ">" + Name(to))) {
      if (const std::optional<Bytes> bytes = real_.ReadWholeFile(from)) {
        real_.WriteWholeFile(to, std::span<const std::uint8_t>(*bytes).first(bytes->size() / 2), false);  // torn
      }
      throw SimulatedCrash{};
    }
    if (Fails()) return fail_status_;
    return real_.CopyWholeFile(from, to);
  }
  FsStatus RenameReplacing(std::string_view from, std::string_view to) override {
    if (Step("rename " + Name(from) + ">" + Name(to))) return fail_status_;
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
  // The change just recorded is to fail politely.
  bool Fails() const {
    return !fail_what_.empty() && changes_.back().compare(0, fail_what_.size(), fail_what_) == 0;
  }
  // True when the change is to fail politely.
  bool Step(std::string what) {
    if (Crashes(std::move(what))) throw SimulatedCrash{};
    return Fails();
  }

  IFileSystem& real_;
  int crash_at_ = 0;
  std::vector<std::string> changes_;
  std::string fail_what_;
  FsStatus fail_status_ = FsStatus::kFailed;
};

}  // namespace om::testing
