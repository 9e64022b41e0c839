#include "platform/win32/clock.h"

#include <windows.h>

#include "platform/datetime.h"
#include "platform/win32/os_error.h"
#include "platform/win32/window_system.h"

namespace om::win32 {

double Win32Clock::Now() {
  SYSTEMTIME t{};
  ::GetLocalTime(&t);
  DateTimeParts parts;
  parts.year = t.wYear;
  parts.month = t.wMonth;
  parts.day = t.wDay;
  parts.hour = t.wHour;
  parts.minute = t.wMinute;
  parts.second = t.wSecond;
  parts.millisecond = t.wMilliseconds;
  return EncodeDateTime(parts);
}

std::uint32_t Win32Clock::TickCount() { return ::GetTickCount(); }

bool Win32Clock::SetTimer(WindowHandle owner, std::uint32_t id, std::uint32_t interval_ms) {
  // Without a window the system would pick its own id, which the port
  // cannot express.
  if (owner == 0) return false;
  if (::SetTimer(ToHwnd(owner), id, interval_ms, nullptr) != 0) return true;
  LogOsFailure("SetTimer");
  return false;
}

void Win32Clock::KillTimer(WindowHandle owner, std::uint32_t id) {
  if (owner != 0) ::KillTimer(ToHwnd(owner), id);  // unknown timers fail harmlessly
}

void Win32Clock::Sleep(std::uint32_t ms) { ::Sleep(ms); }

void Win32Clock::ProcessMessages() {
  MSG m;
  while (::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      // The message loop that owns the thread must still see it.
      ::PostQuitMessage(static_cast<int>(m.wParam));
      return;
    }
    ::TranslateMessage(&m);
    ::DispatchMessageA(&m);
  }
}

}  // namespace om::win32
