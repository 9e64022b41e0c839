// IProcessInfo over USER32 and the two process look-ups, ToolHelp (in
// KERNEL32.DLL) and PSAPI (PSAPI.DLL), whose entry points are found at run
// time: a system without them still runs the program, it only learns less
// about the other programs.
#pragma once

#include <windows.h>
#include <tlhelp32.h>

#include "platform/process_info.h"
#include "platform/win32/handles.h"

namespace om::win32 {

class Win32ProcessInfo final : public IProcessInfo {
 public:
  Win32ProcessInfo() = default;
  ~Win32ProcessInfo() override = default;  // psapi_ unloads PSAPI.DLL
  Win32ProcessInfo(const Win32ProcessInfo&) = delete;
  Win32ProcessInfo& operator=(const Win32ProcessInfo&) = delete;

  ProcessTools LoadTools() override;
  void ReleaseTools() override;

  WindowHandle ForegroundWindow() override;
  void SetForegroundWindow(WindowHandle window) override;
  void BringWindowToTop(WindowHandle window) override;
  WindowHandle FocusedWindowIn(WindowHandle window) override;
  std::string WindowTitle(WindowHandle window, std::size_t max_chars) override;
  std::uint32_t WindowProcessId(WindowHandle window) override;
  std::string ClassModuleFileName(WindowHandle window, std::size_t max_chars) override;

  std::optional<std::string> SnapshotExeFile(std::uint32_t process_id) override;
  PsapiLookup PsapiExeFile(std::uint32_t process_id) override;

 private:
  using CreateSnapshotFn = HANDLE(WINAPI*)(DWORD flags, DWORD process_id);
  using Process32Fn = BOOL(WINAPI*)(HANDLE snapshot, PROCESSENTRY32* entry);
  using ModuleNameFn = DWORD(WINAPI*)(HANDLE process, HMODULE module, LPSTR name, DWORD size);

  ProcessTools Found() const;

  CreateSnapshotFn create_snapshot_ = nullptr;
  Process32Fn process32_first_ = nullptr;
  Process32Fn process32_next_ = nullptr;
  ModuleNameFn module_file_name_ex_ = nullptr;
  ModuleNameFn module_base_name_ = nullptr;
  // Declared last, destroyed first: the pointers above are plain values and
  // are never called once it is gone.
  LoadedModule psapi_;
};

}  // namespace om::win32
