#include "platform/win32/os_error.h"

#include <cstdio>

namespace om::win32 {

DWORD LogOsFailure(const char* what, DWORD error) {
  char text[512] = {};
  DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                                  MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, sizeof text, nullptr);
  while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' || text[length - 1] == ' ')) {
    text[--length] = '\0';
  }
  char line[768];
  std::snprintf(line, sizeof line, "Ottermoor: %s failed: %lu %s\n", what, static_cast<unsigned long>(error), text);
  // The program's log takes these over once it exists; until then the
  // debugger output is where they go.
  ::OutputDebugStringA(line);
  ::SetLastError(error);
  return error;
}

}  // namespace om::win32
