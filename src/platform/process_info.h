// Port: what the system tells about other programs' windows and processes,
// and bringing their windows to the front.
//
// Two ways to name the executable of a process exist and either may be
// missing: the ToolHelp snapshot (KERNEL32) and the PSAPI module functions
// (PSAPI.DLL). Both are looked up at run time; LoadTools says which entry
// points were found, and a look-up whose entry points are missing reports
// "not found" rather than failing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/types.h"

namespace om {

// The process-enumeration entry points the system offers.
struct ProcessTools {
  bool create_snapshot = false;      // CreateToolhelp32Snapshot (KERNEL32.DLL)
  bool process32_first = false;      // Process32First (KERNEL32.DLL)
  bool process32_next = false;       // Process32Next (KERNEL32.DLL)
  bool module_file_name_ex = false;  // GetModuleFileNameExA (PSAPI.DLL)
  bool module_base_name = false;     // GetModuleBaseNameA (PSAPI.DLL)

  bool HasToolHelp() const { return create_snapshot && process32_first && process32_next; }
  bool HasPsapi() const { return module_file_name_ex && module_base_name; }
};

// The answer of the PSAPI look-up: whether the process could be opened for
// query-information and read-memory (0x410), and the file name of its main
// module (empty when the system gave none).
struct PsapiLookup {
  bool opened = false;
  std::string path;
};

class IProcessInfo {
 public:
  virtual ~IProcessInfo() = default;

  // Looks the entry points up: ToolHelp in the already loaded KERNEL32.DLL,
  // PSAPI in PSAPI.DLL, loaded for the purpose. Until this is called, and
  // after ReleaseTools, no entry point is available.
  virtual ProcessTools LoadTools() = 0;
  // Forgets the entry points and unloads PSAPI.DLL.
  virtual void ReleaseTools() = 0;

  // GetForegroundWindow; 0 when there is none.
  virtual WindowHandle ForegroundWindow() = 0;
  // SetForegroundWindow and BringWindowToTop.
  virtual void SetForegroundWindow(WindowHandle window) = 0;
  virtual void BringWindowToTop(WindowHandle window) = 0;
  // The window that has the keyboard focus in the thread of `window`
  // (another program's, read by attaching to its input for a moment); 0
  // when that thread has none.
  virtual WindowHandle FocusedWindowIn(WindowHandle window) = 0;
  // GetWindowText, at most `max_chars` characters; "" for no window.
  virtual std::string WindowTitle(WindowHandle window, std::size_t max_chars) = 0;
  // GetWindowThreadProcessId; 0 for no window.
  virtual std::uint32_t WindowProcessId(WindowHandle window) = 0;
  // The file name (with path) of the module that registered the window's
  // class, as GetModuleFileName gives it for the class's module handle in
  // this process, cut to `max_chars`; "" when it gives nothing.
  virtual std::string ClassModuleFileName(WindowHandle window, std::size_t max_chars) = 0;

  // ToolHelp: the executable file name of the snapshot entry with this
  // process id, exactly as the snapshot holds it (a bare name on NT, a full
  // path on older systems). nullopt when ToolHelp is missing, the snapshot
  // cannot be taken or no entry matches.
  virtual std::optional<std::string> SnapshotExeFile(std::uint32_t process_id) = 0;
  // PSAPI: opens the process and asks for its main module's file name
  // (261 characters at most). `opened` is false when PSAPI is missing or the
  // process cannot be opened.
  virtual PsapiLookup PsapiExeFile(std::uint32_t process_id) = 0;
};

}  // namespace om
