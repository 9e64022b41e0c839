// Reporting of operating-system failures from the adapters.
#pragma once

#include <windows.h>

namespace om::win32 {

// Logs `what` failed with the error's system text, e.g.
//   "Ottermoor: SetClipboardData(49161) failed: 1418 Thread does not have a clipboard open."
// Called once per failure, where the failing call is made. Returns `error`
// so the caller can still branch on it.
DWORD LogOsFailure(const char* what, DWORD error = ::GetLastError());

}  // namespace om::win32
