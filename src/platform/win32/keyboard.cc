#include "platform/win32/keyboard.h"

#include <windows.h>

#include "platform/win32/os_error.h"
#include "platform/win32/window_system.h"

namespace om::win32 {

std::int16_t Win32Keyboard::KeyForChar(char c) { return ::VkKeyScanA(c); }

// With the prefix where the layout gives it (MAPVK_VK_TO_VSC_EX): the plain
// form (MAPVK_VK_TO_VSC) answers the same code for Left and for the keypad's
// 4, and says nothing about which of them is meant.
std::uint16_t Win32Keyboard::ScanCode(std::uint8_t vk) {
  return static_cast<std::uint16_t>(::MapVirtualKeyA(vk, MAPVK_VK_TO_VSC_EX) & 0xFFFF);
}

void Win32Keyboard::KeyEvent(std::uint8_t vk, std::uint8_t scan, bool key_up, bool extended) {
  const DWORD flags = (key_up ? KEYEVENTF_KEYUP : 0) | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
  ::keybd_event(vk, scan, flags, 0);
}

void Win32Keyboard::Activate(WindowHandle window) {
  HWND target = ToHwnd(window);
  if (!::IsWindow(target)) {
    LogOsFailure("Activate (no such window)", ERROR_INVALID_WINDOW_HANDLE);
    return;
  }
  // Only a top-level window can be the foreground window; the focus then
  // goes to the window asked for, which may be a control inside it.
  HWND top = ::GetAncestor(target, GA_ROOT);
  if (top == nullptr) top = target;

  // Messages already sent to this thread are delivered first (PeekMessage
  // does that, and leaves posted ones where they are). Among them may be the
  // notice that one of our windows lost the activation when the target's
  // program took the foreground: handled later, while this thread shares the
  // target's input state below, it would deactivate the target instead.
  // (Seen under Wine: the target ended up with neither activation nor
  // focus, and the keys went nowhere.)
  MSG pending;
  ::PeekMessageA(&pending, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);

  // SetForegroundWindow sets no error code; a refusal (the system's
  // foreground lock) is worth a line all the same.
  if (!::SetForegroundWindow(top)) LogOsFailure("SetForegroundWindow (foreground refused)", ERROR_ACCESS_DENIED);

  // SetFocus works only on windows of the calling thread's input queue. A
  // window of another thread (or process) gets it while this thread shares
  // that thread's input state, which it gives back at once.
  const DWORD own_thread = ::GetCurrentThreadId();
  const DWORD target_thread = ::GetWindowThreadProcessId(target, nullptr);
  if (target_thread == 0 || target_thread == own_thread) {
    ::SetFocus(target);
    return;
  }
  if (!::AttachThreadInput(own_thread, target_thread, TRUE)) {
    LogOsFailure("AttachThreadInput");
    return;
  }
  ::SetFocus(target);
  ::AttachThreadInput(own_thread, target_thread, FALSE);
}

}  // namespace om::win32
