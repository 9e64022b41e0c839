// IShell over ShellExecute.
#pragma once

#include "platform/shell.h"

namespace om::win32 {

class Win32Shell final : public IShell {
 public:
  bool Open(std::string_view target) override;
};

}  // namespace om::win32
