// The data folder exchange, native side (see exchange_folder.h). `make test`
// runs the writing test with the native tests, the Windows test under Wine
// next (it writes its own folder, reads this one and compares them), and
// the reading test last, with the folder Wine wrote.
#include <gtest/gtest.h>

#include <string>

#include "platform/posix/file_system.h"
#include "store/exchange_folder.h"

namespace om::testing::exchange {
namespace {

// The program's path form; the POSIX adapter turns the backslashes round.
std::string Folder(const std::string& dir, const char* name) { return dir + "\\" + name + "\\"; }

TEST(DataFolderExchange, TheNativeFolderReadsBack) {
  const auto dir = ExchangeDirectory();
  if (!dir) GTEST_SKIP() << "OM_EXCHANGE_DIR is not set: no data folder to exchange with Wine";
  posix::PosixFileSystem files;
  const std::string native = Folder(*dir, "native");
  WriteExchangeFolder(files, native);
  ExpectExchangeFolder(files, native);
}

TEST(DataFolderExchange, TheWineFolderReadsNatively) {
  const auto dir = ExchangeDirectory();
  if (!dir) GTEST_SKIP() << "OM_EXCHANGE_DIR is not set: no data folder to exchange with Wine";
  posix::PosixFileSystem files;
  const std::string wine = Folder(*dir, "wine");
  const std::string native = Folder(*dir, "native");
  if (!files.DirectoryExists(wine) || !files.DirectoryExists(native)) {
    GTEST_SKIP() << "no data folders from both sides below " << *dir
                 << " (the Windows tests write the Wine one after the native tests)";
  }
  ExpectExchangeFolder(files, wine);
  ExpectSameFiles(files, wine, native);
}

}  // namespace
}  // namespace om::testing::exchange
