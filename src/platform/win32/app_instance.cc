#include "platform/win32/app_instance.h"

#include <windows.h>
#include <shellapi.h>

#include "platform/win32/os_error.h"

namespace om::win32 {
namespace {

// The full path of our executable, however long.
std::string ModuleFileName() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) {
      LogOsFailure("GetModuleFileNameA");
      return {};
    }
    // A cut name fills the whole buffer: try again with more room.
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::string::size_type NameStart(const std::string& path) {
  const auto slash = path.find_last_of("\\/");
  return slash == std::string::npos ? 0 : slash + 1;
}

std::string ToAnsi(const wchar_t* text) {
  const int size = ::WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string out(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, text, -1, out.data(), size, nullptr, nullptr);
  out.resize(static_cast<std::size_t>(size) - 1);  // the terminator
  return out;
}

// Down now, as the keyboard state of this thread has it or, before this
// thread has read any input (as at start-up), as the keyboard itself has it.
bool KeyDown(int key) { return (::GetKeyState(key) & 0x8000) != 0 || (::GetAsyncKeyState(key) & 0x8000) != 0; }

}  // namespace

std::string Win32AppInstance::ProgramFileName() {
  const std::string path = ModuleFileName();
  return path.substr(NameStart(path));
}

std::string Win32AppInstance::ProgramFolder() {
  const std::string path = ModuleFileName();
  return path.substr(0, NameStart(path));
}

bool Win32AppInstance::CreateInstanceMutex(std::string_view name) {
  const std::string name_z(name);
  ::SetLastError(ERROR_SUCCESS);
  KernelHandle mutex(::CreateMutexA(nullptr, TRUE, name_z.c_str()));
  const DWORD error = ::GetLastError();
  if (!mutex) {
    // The name taken by another kind of object, or no handles left: no
    // sign of another instance, so this one goes on as the first.
    LogOsFailure("CreateMutexA", error);
    return false;
  }
  if (error == ERROR_ALREADY_EXISTS) return true;  // closed at once by its owner here
  mutexes_.push_back(std::move(mutex));
  return false;
}

bool Win32AppInstance::ActivateRunningInstance(std::string_view window_class) {
  const std::string class_z(window_class);
  HWND main = ::FindWindowA(class_z.c_str(), nullptr);
  if (main == nullptr) return false;
  // An open dialog of the running instance is what the user was last
  // working in; GetLastActivePopup gives the window itself when it has none.
  HWND target = ::GetLastActivePopup(main);
  if (target == nullptr) target = main;
  // A minimized owner hides its pop-ups: bring it back first.
  if (target != main && ::IsIconic(main)) ::ShowWindow(main, SW_RESTORE);
  // Shown normally; but a minimized window comes back as it was before
  // (maximized too), and a maximized one stays maximized.
  if (::IsIconic(target)) {
    ::ShowWindow(target, SW_RESTORE);
  } else if (::IsZoomed(target)) {
    ::ShowWindow(target, SW_SHOW);
  } else {
    ::ShowWindow(target, SW_SHOWNORMAL);
  }
  ::BringWindowToTop(target);
  ::SetForegroundWindow(target);
  return true;
}

bool Win32AppInstance::CtrlAndShiftDown() { return KeyDown(VK_CONTROL) && KeyDown(VK_SHIFT); }

int Win32AppInstance::StartupShowState() {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  ::GetStartupInfoA(&startup);
  return (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : SW_SHOWNORMAL;
}

// Split as the C runtime splits a command line (quotes, backslashes before
// quotes), without the runtime's wildcard expansion; the program's text is
// ANSI, so each argument is converted to the ANSI code page.
std::vector<std::string> Win32AppInstance::Arguments() {
  int count = 0;
  LPWSTR* words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  std::vector<std::string> out;
  if (words == nullptr) {
    LogOsFailure("CommandLineToArgvW");
    return out;
  }
  for (int i = 1; i < count; ++i) out.push_back(ToAnsi(words[i]));
  ::LocalFree(words);
  return out;
}

}  // namespace om::win32
