// What only the Win32 file system shows: files held open by another handle
// and the read-only attribute.
#include <windows.h>

#include <gtest/gtest.h>

#include "contract/file_system_env.h"
#include "platform/win32/file_system.h"

namespace om::win32 {
namespace {

class Win32FileSystemTest : public ::testing::Test {
 protected:
  Win32FileSystemTest() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = contract::ContractScratchFolder(info->name());
    fs_.MakeDirectories(dir_);
  }
  ~Win32FileSystemTest() override {
    for (const char* name : {"_COLL.QL4", "_COLL.tmp", "_COLL.bak", "D1.DAT"}) {
      ::SetFileAttributesA((dir_ + name).c_str(), FILE_ATTRIBUTE_NORMAL);
      ::DeleteFileA((dir_ + name).c_str());
    }
    ::RemoveDirectoryA(dir_.c_str());
  }
  HANDLE Hold(const std::string& file) {
    return ::CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  }

  Win32FileSystem fs_;
  std::string dir_;
};

TEST_F(Win32FileSystemTest, AFileHeldOpenIsBusyUntilReleased) {
  const std::string target = dir_ + "_COLL.QL4";
  const std::string temp = dir_ + "_COLL.tmp";
  const Bytes old_bytes{'o', 'l', 'd'};
  ASSERT_EQ(fs_.WriteWholeFile(target, old_bytes, true), FsStatus::kOk);
  ASSERT_EQ(fs_.WriteWholeFile(temp, Bytes{'n', 'e', 'w'}, true), FsStatus::kOk);
  HANDLE held = Hold(target);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  // Retried for a while, then reported; nothing is lost.
  EXPECT_EQ(fs_.RenameReplacing(temp, target), FsStatus::kBusy);
  EXPECT_TRUE(fs_.FileExists(temp));
  ::CloseHandle(held);
  EXPECT_EQ(fs_.ReadWholeFile(target), old_bytes);
  EXPECT_EQ(fs_.RenameReplacing(temp, target), FsStatus::kOk);
  EXPECT_EQ(fs_.ReadWholeFile(target), (Bytes{'n', 'e', 'w'}));
}

TEST_F(Win32FileSystemTest, ReadOnlyFilesAreRemovedToo) {
  const std::string file = dir_ + "D1.DAT";
  ASSERT_EQ(fs_.WriteWholeFile(file, Bytes{1}, false), FsStatus::kOk);
  ASSERT_TRUE(::SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(fs_.RemoveFile(file), FsStatus::kOk);
  EXPECT_FALSE(fs_.FileExists(file));
}

}  // namespace
}  // namespace om::win32
