#include "platform/win32/shell.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "platform/win32/os_error.h"

namespace om::win32 {

bool Win32Shell::Open(std::string_view target) {
  const std::string target_z(target);
  // ShellExecute's "handle" is a number: above 32 is success.
  const auto result = reinterpret_cast<INT_PTR>(
      ::ShellExecuteA(nullptr, "open", target_z.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (result > 32) return true;
  LogOsFailure(("ShellExecuteA(" + target_z + ")").c_str());
  return false;
}

}  // namespace om::win32
