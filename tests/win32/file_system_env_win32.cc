#include <windows.h>

#include <string>

#include "contract/file_system_env.h"
#include "platform/win32/file_system.h"

namespace om::contract {

std::unique_ptr<IFileSystem> MakeContractFileSystem() { return std::make_unique<win32::Win32FileSystem>(); }

std::string ContractScratchFolder(const std::string& name) {
  char temp[MAX_PATH + 1] = {};
  ::GetTempPathA(sizeof temp, temp);
  std::string folder = temp;
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  return folder + "om_fs_" + std::to_string(::GetCurrentProcessId()) + "_" + name + "\\";
}

}  // namespace om::contract
