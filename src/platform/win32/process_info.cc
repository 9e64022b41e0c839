#include "platform/win32/process_info.h"

#include <algorithm>
#include <cstring>

#include "platform/win32/window_system.h"

namespace om::win32 {
namespace {

// The snapshot entry is the ANSI one, and its size differs between 32- and
// 64-bit programs: th32DefaultHeapID is pointer-sized, so on x64 the
// structure is 304 bytes (with padding), not the 296 of a 32-bit program.
// Process32First refuses an entry whose dwSize is not the size the DLL of
// the same bitness expects, so dwSize is always sizeof, never a constant.
static_assert(sizeof(PROCESSENTRY32) == (sizeof(void*) == 8 ? 304 : 296),
              "PROCESSENTRY32 must be the ANSI entry of this bitness");

// Query-information and read-memory (0x410): what GetModuleFileNameEx needs
// to read another process's module list.
constexpr DWORD kPsapiAccess = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;
static_assert(kPsapiAccess == 0x410);

// GetModuleFileNameEx is given a buffer of this many characters.
constexpr DWORD kPsapiPathChars = 261;

// Window texts and module names are short; a caller's "any length" must not
// turn into a huge allocation.
constexpr std::size_t kMaxTextChars = 32767;

// GetProcAddress hands out a generic function pointer; the detour through
// void(*)() keeps the compiler from warning about the cast to the real type.
template <typename Fn>
Fn LookUp(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

}  // namespace

ProcessTools Win32ProcessInfo::LoadTools() {
  ReleaseTools();
  // KERNEL32 is in every process already; GetModuleHandle does not add a
  // reference, so there is nothing to free for it.
  if (HMODULE kernel = ::GetModuleHandleA("KERNEL32.DLL")) {
    create_snapshot_ = LookUp<CreateSnapshotFn>(kernel, "CreateToolhelp32Snapshot");
    process32_first_ = LookUp<Process32Fn>(kernel, "Process32First");
    process32_next_ = LookUp<Process32Fn>(kernel, "Process32Next");
  }
  // PSAPI.DLL is loaded for the purpose. Newer systems also export these
  // functions from KERNEL32 (as K32GetModuleFileNameExA ...), but PSAPI.DLL
  // is where every system that has them has them.
  psapi_.reset(::LoadLibraryA("PSAPI.DLL"));
  if (psapi_) {
    module_file_name_ex_ = LookUp<ModuleNameFn>(psapi_.get(), "GetModuleFileNameExA");
    module_base_name_ = LookUp<ModuleNameFn>(psapi_.get(), "GetModuleBaseNameA");
  }
  // A missing DLL or entry point is an answer here, not a failure: the
  // caller learns it from the result and uses the other look-up.
  return Found();
}

void Win32ProcessInfo::ReleaseTools() {
  create_snapshot_ = nullptr;
  process32_first_ = nullptr;
  process32_next_ = nullptr;
  module_file_name_ex_ = nullptr;
  module_base_name_ = nullptr;
  psapi_.reset();
}

ProcessTools Win32ProcessInfo::Found() const {
  ProcessTools tools;
  tools.create_snapshot = create_snapshot_ != nullptr;
  tools.process32_first = process32_first_ != nullptr;
  tools.process32_next = process32_next_ != nullptr;
  tools.module_file_name_ex = module_file_name_ex_ != nullptr;
  tools.module_base_name = module_base_name_ != nullptr;
  return tools;
}

WindowHandle Win32ProcessInfo::ForegroundWindow() { return FromHwnd(::GetForegroundWindow()); }

void Win32ProcessInfo::SetForegroundWindow(WindowHandle window) {
  ::SetForegroundWindow(reinterpret_cast<HWND>(window));
}

void Win32ProcessInfo::BringWindowToTop(WindowHandle window) { ::BringWindowToTop(reinterpret_cast<HWND>(window)); }

WindowHandle Win32ProcessInfo::FocusedWindowIn(WindowHandle window) {
  const DWORD target_thread = ::GetWindowThreadProcessId(reinterpret_cast<HWND>(window), nullptr);
  const DWORD own_thread = ::GetCurrentThreadId();
  if (target_thread == 0) return 0;
  if (target_thread == own_thread) return FromHwnd(::GetFocus());
  // GetFocus answers for the threads attached to the caller's input only.
  if (!::AttachThreadInput(own_thread, target_thread, TRUE)) return 0;
  const HWND focused = ::GetFocus();
  ::AttachThreadInput(own_thread, target_thread, FALSE);
  return FromHwnd(focused);
}

std::string Win32ProcessInfo::WindowTitle(WindowHandle window, std::size_t max_chars) {
  const std::size_t max = std::min(max_chars, kMaxTextChars);
  if (window == 0 || max == 0) return {};
  std::string title(max + 1, '\0');
  const int length = ::GetWindowTextA(ToHwnd(window), title.data(), static_cast<int>(max + 1));
  title.resize(std::min(static_cast<std::size_t>(std::max(length, 0)), max));
  return title;
}

std::uint32_t Win32ProcessInfo::WindowProcessId(WindowHandle window) {
  if (window == 0) return 0;
  DWORD process_id = 0;
  if (::GetWindowThreadProcessId(ToHwnd(window), &process_id) == 0) return 0;
  return process_id;
}

std::string Win32ProcessInfo::ClassModuleFileName(WindowHandle window, std::size_t max_chars) {
  const std::size_t max = std::min(max_chars, kMaxTextChars);
  if (window == 0 || max == 0) return {};
  // The class's module handle is an address in the process that registered
  // the class; it is looked up in this process, as it always has been.
  const auto module = reinterpret_cast<HMODULE>(::GetClassLongPtrA(ToHwnd(window), GCLP_HMODULE));
  // No handle (no such window): GetModuleFileName(null) would name our own
  // executable, which the window has nothing to do with.
  if (module == nullptr) return {};
  std::string path(max + 1, '\0');
  const DWORD length = ::GetModuleFileNameA(module, path.data(), static_cast<DWORD>(max + 1));
  // A cut name comes back as the whole buffer, terminated or not depending
  // on the system: keep at most `max` characters either way.
  path.resize(std::min<std::size_t>(length, max));
  return path;
}

std::optional<std::string> Win32ProcessInfo::SnapshotExeFile(std::uint32_t process_id) {
  if (create_snapshot_ == nullptr || process32_first_ == nullptr || process32_next_ == nullptr) return std::nullopt;
  // INVALID_HANDLE_VALUE on failure, as CreateFile: OwnFileHandle makes it null.
  const KernelHandle snapshot = OwnFileHandle(create_snapshot_(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return std::nullopt;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = process32_first_(snapshot.get(), &entry); more; more = process32_next_(snapshot.get(), &entry)) {
    if (entry.th32ProcessID == process_id) {
      return std::string(entry.szExeFile, ::strnlen(entry.szExeFile, sizeof entry.szExeFile));
    }
  }
  return std::nullopt;
}

PsapiLookup Win32ProcessInfo::PsapiExeFile(std::uint32_t process_id) {
  if (module_file_name_ex_ == nullptr) return {};
  // Fails for process 0, for ended processes and for those we may not read.
  const KernelHandle process(::OpenProcess(kPsapiAccess, FALSE, process_id));
  if (!process) return {};
  char path[kPsapiPathChars] = {};
  // Null module: the process's main module, its executable.
  const DWORD length = module_file_name_ex_(process.get(), nullptr, path, kPsapiPathChars);
  return {true, std::string(path, ::strnlen(path, std::min<DWORD>(length, kPsapiPathChars)))};
}

}  // namespace om::win32
