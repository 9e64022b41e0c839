// The file-system port's contract, natively and against the Win32 file API.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>

#include "contract/file_system_env.h"

namespace om::contract {
namespace {

Bytes B(const std::string& text) { return Bytes(text.begin(), text.end()); }

class FileSystemContract : public ::testing::Test {
 protected:
  FileSystemContract() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = ContractScratchFolder(info->name());
    EXPECT_EQ(fs_->MakeDirectories(dir_), FsStatus::kOk);
  }
  ~FileSystemContract() override { RemoveTree(dir_); }

  // Everything below `dir`, through the port itself.
  void RemoveTree(const std::string& dir) {
    if (const auto entries = fs_->ListDirectory(dir)) {
      for (const TDirEntry& entry : *entries) {
        if (entry.IsDirectory) {
          RemoveTree(dir + entry.Name + "\\");
        } else {
          fs_->RemoveFile(dir + entry.Name);
        }
      }
    }
    fs_->RemoveEmptyDirectory(dir);
  }
  std::set<std::pair<std::string, bool>> Listed(const std::string& dir) {
    std::set<std::pair<std::string, bool>> out;
    if (const auto entries = fs_->ListDirectory(dir)) {
      for (const TDirEntry& e : *entries) out.insert({e.Name, e.IsDirectory});
    }
    return out;
  }
  std::string Read(const std::string& file) {
    const auto bytes = fs_->ReadWholeFile(file);
    return bytes ? std::string(bytes->begin(), bytes->end()) : "<none>";
  }

  std::unique_ptr<IFileSystem> fs_ = MakeContractFileSystem();
  std::string dir_;
};

TEST_F(FileSystemContract, WritesReadsAndRemovesFiles) {
  const std::string file = dir_ + "_COLL.tmp";
  EXPECT_FALSE(fs_->FileExists(file));
  EXPECT_EQ(fs_->ReadWholeFile(file), std::nullopt);
  EXPECT_EQ(fs_->WriteWholeFile(file, B("first, longer"), true), FsStatus::kOk);
  EXPECT_EQ(fs_->WriteWholeFile(file, B("second"), false), FsStatus::kOk);  // truncates
  EXPECT_EQ(Read(file), "second");
  EXPECT_TRUE(fs_->FileExists(file));
  EXPECT_FALSE(fs_->DirectoryExists(file));
  EXPECT_EQ(fs_->WriteWholeFile(dir_ + "empty", {}, true), FsStatus::kOk);
  EXPECT_EQ(fs_->ReadWholeFile(dir_ + "empty"), Bytes{});
  EXPECT_EQ(fs_->RemoveFile(file), FsStatus::kOk);
  EXPECT_EQ(fs_->RemoveFile(file), FsStatus::kAbsent);
  EXPECT_FALSE(fs_->FileExists(file));
  EXPECT_NE(fs_->WriteWholeFile(dir_ + "no such folder\\x", B("x"), true), FsStatus::kOk);
}

TEST_F(FileSystemContract, DirectoriesAreMadeListedAndRemoved) {
  const std::string deep = dir_ + "Coll\\Inner\\Deep\\";
  EXPECT_EQ(fs_->MakeDirectories(deep), FsStatus::kOk);
  EXPECT_EQ(fs_->MakeDirectories(deep), FsStatus::kOk);
  EXPECT_TRUE(fs_->DirectoryExists(deep));
  EXPECT_TRUE(fs_->DirectoryExists(dir_ + "Coll"));  // with or without the backslash
  EXPECT_FALSE(fs_->FileExists(dir_ + "Coll"));
  fs_->WriteWholeFile(dir_ + "Coll\\_COLL.QL4", B("q"), false);
  fs_->MakeDirectories(dir_ + "Coll\\a.b\\");
  EXPECT_EQ(Listed(dir_ + "Coll\\"),
            (std::set<std::pair<std::string, bool>>{{"_COLL.QL4", false}, {"Inner", true}, {"a.b", true}}));
  EXPECT_EQ(Listed(deep), (std::set<std::pair<std::string, bool>>{}));
  EXPECT_EQ(fs_->ListDirectory(dir_ + "missing\\"), std::nullopt);

  EXPECT_NE(fs_->RemoveEmptyDirectory(dir_ + "Coll\\Inner\\"), FsStatus::kOk);  // not empty
  EXPECT_EQ(fs_->RemoveEmptyDirectory(deep), FsStatus::kOk);
  EXPECT_FALSE(fs_->DirectoryExists(deep));
  EXPECT_TRUE(fs_->DirectoryExists(dir_ + "Coll\\Inner\\"));
}

TEST_F(FileSystemContract, RenameReplacesInOneStep) {
  const std::string target = dir_ + "_COLL.QL4";
  fs_->WriteWholeFile(dir_ + "_COLL.tmp", B("new"), true);
  EXPECT_EQ(fs_->RenameReplacing(dir_ + "_COLL.tmp", target), FsStatus::kOk);  // no target yet
  EXPECT_EQ(Read(target), "new");
  fs_->WriteWholeFile(dir_ + "_COLL.tmp", B("newer"), true);
  EXPECT_EQ(fs_->RenameReplacing(dir_ + "_COLL.tmp", target), FsStatus::kOk);
  EXPECT_EQ(Read(target), "newer");
  EXPECT_FALSE(fs_->FileExists(dir_ + "_COLL.tmp"));
  EXPECT_EQ(fs_->RenameReplacing(dir_ + "_COLL.tmp", target), FsStatus::kAbsent);
  EXPECT_EQ(Read(target), "newer");
}

TEST_F(FileSystemContract, AKeptCopyHoldsTheOldContents) {
  const std::string target = dir_ + "_COLL.QL4";
  const std::string backup = dir_ + "_COLL.bak";
  fs_->WriteWholeFile(target, B("old"), true);
  EXPECT_EQ(fs_->KeepCopy(target, backup), FsStatus::kOk);
  EXPECT_NE(fs_->KeepCopy(target, backup), FsStatus::kOk);  // the name is taken
  EXPECT_EQ(fs_->KeepCopy(dir_ + "missing", dir_ + "other"), FsStatus::kAbsent);
  fs_->WriteWholeFile(dir_ + "_COLL.tmp", B("new"), true);
  EXPECT_EQ(fs_->RenameReplacing(dir_ + "_COLL.tmp", target), FsStatus::kOk);
  EXPECT_EQ(Read(target), "new");
  EXPECT_EQ(Read(backup), "old");
  // Removing one name leaves the other.
  EXPECT_EQ(fs_->RemoveFile(backup), FsStatus::kOk);
  EXPECT_EQ(Read(target), "new");
}

TEST_F(FileSystemContract, CopyWholeFileCreatesOrReplacesAndKeepsTheSource) {
  const std::string source = dir_ + "D3.DAT";
  const std::string copy = dir_ + "D9.DAT";
  fs_->WriteWholeFile(source, B("first"), true);
  EXPECT_EQ(fs_->CopyWholeFile(source, copy), FsStatus::kOk);
  EXPECT_EQ(Read(copy), "first");
  // A copy is a file of its own: changing the source leaves it as it was,
  // and copying again replaces it.
  fs_->WriteWholeFile(source, B("second, longer"), true);
  EXPECT_EQ(Read(copy), "first");
  EXPECT_EQ(fs_->CopyWholeFile(source, copy), FsStatus::kOk);
  EXPECT_EQ(Read(copy), "second, longer");
  EXPECT_EQ(Read(source), "second, longer");
  EXPECT_EQ(fs_->CopyWholeFile(dir_ + "missing", dir_ + "other"), FsStatus::kAbsent);
  EXPECT_FALSE(fs_->FileExists(dir_ + "other"));
}

TEST_F(FileSystemContract, ReplaceKeepingBackup) {
  const std::string target = dir_ + "_COLL.QL4";
  const std::string backup = dir_ + "_COLL.bak";
  const std::string temp = dir_ + "_COLL.tmp";
  fs_->WriteWholeFile(temp, B("one"), true);
  EXPECT_EQ(ReplaceKeepingBackup(*fs_, target, temp, backup), FsStatus::kOk);
  EXPECT_EQ(Read(target), "one");
  EXPECT_FALSE(fs_->FileExists(backup));  // there was nothing to keep
  for (const char* next : {"two", "three"}) {
    const std::string before = Read(target);
    fs_->WriteWholeFile(temp, B(next), true);
    EXPECT_EQ(ReplaceKeepingBackup(*fs_, target, temp, backup), FsStatus::kOk);
    EXPECT_EQ(Read(target), next);
    EXPECT_EQ(Read(backup), before);
    EXPECT_FALSE(fs_->FileExists(temp));
  }
}

}  // namespace
}  // namespace om::contract
