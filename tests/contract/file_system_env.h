// The file-system port's contract runs against the native adapter
// (platform/posix) here and against the Win32 adapter under Wine; each test
// program provides these two.
#pragma once

#include <memory>
#include <string>

#include "platform/file_system.h"

namespace om::contract {

std::unique_ptr<IFileSystem> MakeContractFileSystem();
// A scratch folder of the test's own in the program's path form (trailing
// backslash); it does not exist yet.
std::string ContractScratchFolder(const std::string& name);

}  // namespace om::contract
