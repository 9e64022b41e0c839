#include <unistd.h>

#include <filesystem>

#include "contract/file_system_env.h"
#include "platform/posix/file_system.h"

namespace om::contract {

std::unique_ptr<IFileSystem> MakeContractFileSystem() { return std::make_unique<posix::PosixFileSystem>(); }

std::string ContractScratchFolder(const std::string& name) {
  const auto dir = std::filesystem::temp_directory_path() / ("om_fs_" + std::to_string(::getpid()) + "_" + name);
  std::filesystem::remove_all(dir);
  return dir.string() + "\\";
}

}  // namespace om::contract
