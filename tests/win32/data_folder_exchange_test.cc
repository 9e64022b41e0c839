// The data folder exchange, Windows side (see tests/store/exchange_folder.h):
// writes the folder through the Win32 file system, reads it back, reads the
// one the native tests wrote and compares the two, file by file.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/win32/file_system.h"
#include "store/exchange_folder.h"

namespace om::testing::exchange {
namespace {

// OM_EXCHANGE_DIR is a Unix path: Wine shows the Unix root as drive Z:.
std::string Folder(std::string dir, const char* name) {
  std::replace(dir.begin(), dir.end(), '/', '\\');
  if (!dir.empty() && dir.front() == '\\') dir = "Z:" + dir;
  return dir + "\\" + name + "\\";
}

TEST(DataFolderExchange, TheWineFolderMatchesTheNativeOne) {
  const auto dir = ExchangeDirectory();
  if (!dir) GTEST_SKIP() << "OM_EXCHANGE_DIR is not set: no data folder to exchange with the native tests";
  win32::Win32FileSystem files;
  const std::string wine = Folder(*dir, "wine");
  const std::string native = Folder(*dir, "native");
  WriteExchangeFolder(files, wine);
  ExpectExchangeFolder(files, wine);
  if (!files.DirectoryExists(native)) {
    GTEST_SKIP() << "the native tests wrote no data folder at " << native;
  }
  ExpectExchangeFolder(files, native);
  ExpectSameFiles(files, wine, native);
}

}  // namespace
}  // namespace om::testing::exchange
