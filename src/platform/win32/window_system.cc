#include "platform/win32/window_system.h"

#include <cstring>
#include <exception>
#include <string>

#include "platform/handler_errors.h"
#include "platform/win32/os_error.h"

namespace om::win32 {
namespace {

constexpr char kHiddenClass[] = "OttermoorHiddenWindow";

HINSTANCE ThisModule() { return ::GetModuleHandleA(nullptr); }

LRESULT CALLBACK HiddenWindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  // The handler arrives with WM_NCCREATE so that the messages CreateWindow
  // itself sends (WM_NCCREATE, WM_CREATE, ...) reach it too. Only
  // WM_GETMINMAXINFO comes earlier; it gets the default handling.
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lparam);
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* handler = reinterpret_cast<IMessageHandler*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (message == WM_NCDESTROY) {
    // Nothing may reach the handler after its window is gone.
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
  }
  if (handler != nullptr) {
    // Nothing may unwind through the system's frames above us.
    try {
      bool handled = true;
      const std::intptr_t result = handler->OnMessage(FromHwnd(hwnd), message, wparam, lparam, handled);
      if (handled) return result;
    } catch (...) {
      const std::exception_ptr error = std::current_exception();
      ::OutputDebugStringA(("Ottermoor: message handler failed: " + HandlerErrorText(error) + "\n").c_str());
      ReportHandlerError(error);
      return 0;
    }
  }
  return ::DefWindowProcA(hwnd, message, wparam, lparam);
}

}  // namespace

Win32WindowSystem::Win32WindowSystem() {
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof existing;
  // Another instance in this process may have registered the class already.
  if (::GetClassInfoExA(ThisModule(), kHiddenClass, &existing)) {
    registered_ = true;
    return;
  }
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = HiddenWindowProc;
  wc.hInstance = ThisModule();
  wc.lpszClassName = kHiddenClass;
  registered_ = ::RegisterClassExA(&wc) != 0;
  if (!registered_) LogOsFailure("RegisterClassExA(hidden window)");
}

WindowHandle Win32WindowSystem::CreateHidden(IMessageHandler& handler, std::string_view title) {
  if (!registered_) return 0;
  const std::string caption(title);
  HWND hwnd = ::CreateWindowExA(WS_EX_TOOLWINDOW, kHiddenClass, caption.c_str(), WS_OVERLAPPED, 0, 0, 0, 0,
                                nullptr, nullptr, ThisModule(), &handler);
  if (hwnd == nullptr) LogOsFailure("CreateWindowExA(hidden window)");
  return FromHwnd(hwnd);
}

void Win32WindowSystem::Destroy(WindowHandle window) {
  HWND hwnd = ToHwnd(window);
  if (hwnd == nullptr || !::IsWindow(hwnd)) return;
  // Only windows of this class and this thread: a stale or foreign handle
  // must never destroy somebody else's window.
  if (::GetWindowThreadProcessId(hwnd, nullptr) != ::GetCurrentThreadId()) return;
  char class_name[sizeof kHiddenClass + 1] = {};
  if (::GetClassNameA(hwnd, class_name, sizeof class_name) == 0 || std::strcmp(class_name, kHiddenClass) != 0) return;
  if (!::DestroyWindow(hwnd)) LogOsFailure("DestroyWindow");
}

bool Win32WindowSystem::Exists(WindowHandle window) {
  return window != 0 && ::IsWindow(ToHwnd(window));
}

SendResult Win32WindowSystem::Send(WindowHandle target, std::uint32_t message, std::uintptr_t wparam,
                                   std::intptr_t lparam) {
  if (!Exists(target)) return {SendStatus::kNoWindow, 0};
  const LRESULT result = ::SendMessageA(ToHwnd(target), message, wparam, lparam);
  return {SendStatus::kOk, result};
}

SendResult Win32WindowSystem::SendWithTimeout(WindowHandle target, std::uint32_t message,
                                              std::uintptr_t wparam, std::intptr_t lparam,
                                              std::uint32_t timeout_ms) {
  if (!Exists(target)) return {SendStatus::kNoWindow, 0};
  DWORD_PTR result = 0;
  ::SetLastError(ERROR_SUCCESS);
  if (::SendMessageTimeoutA(ToHwnd(target), message, wparam, lparam, SMTO_ABORTIFHUNG, timeout_ms,
                            &result) != 0) {
    return {SendStatus::kOk, static_cast<std::intptr_t>(result)};
  }
  const DWORD error = ::GetLastError();
  // The window may have gone while we waited.
  if (error == ERROR_INVALID_WINDOW_HANDLE || !Exists(target)) return {SendStatus::kNoWindow, 0};
  // A timeout sets ERROR_TIMEOUT; a receiver found hung fails at once,
  // with no error at all on some systems.
  if (error == ERROR_TIMEOUT || error == ERROR_SUCCESS) return {SendStatus::kTimedOut, 0};
  LogOsFailure("SendMessageTimeoutA", error);
  return {SendStatus::kFailed, 0};
}

bool Win32WindowSystem::Post(WindowHandle target, std::uint32_t message, std::uintptr_t wparam,
                             std::intptr_t lparam) {
  if (!Exists(target)) return false;
  if (::PostMessageA(ToHwnd(target), message, wparam, lparam)) return true;
  LogOsFailure("PostMessageA");
  return false;
}

}  // namespace om::win32
