// The simulated desktop's process information: which processes exist, what
// the ToolHelp snapshot and PSAPI say about each, which window is in the
// foreground. Window titles and process ids come from the desktop's windows.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/fake/fake_windows.h"
#include "platform/process_info.h"

namespace om::fake {

struct FakeProcess {
  std::string module_path;     // e.g. "C:\\Windows\\notepad.exe"
  bool in_snapshot = true;     // ToolHelp lists it
  bool psapi_openable = true;  // OpenProcess succeeds
};

class FakeProcessInfo final : public IProcessInfo {
 public:
  explicit FakeProcessInfo(FakeWindowSystem& windows);

  // A running process (replacing any earlier one with this id).
  void AddProcess(std::uint32_t process_id, FakeProcess process);
  // The process has ended: neither look-up finds it any more.
  void RemoveProcess(std::uint32_t process_id);
  // What LoadTools finds; default: all five entry points.
  void SetAvailableTools(ProcessTools tools);
  // The foreground window; 0: none. A window that has since been destroyed
  // is not in the foreground any more.
  void SetForeground(WindowHandle window);
  // The file name ClassModuleFileName gives for the window. By default a
  // window of the program's own process gives the program's own module path
  // (its classes are registered by the executable) and any other window "".
  void SetClassModule(WindowHandle window, std::string path);
  // True between LoadTools and ReleaseTools.
  bool ToolsLoaded() const { return tools_loaded_; }

  ProcessTools LoadTools() override;
  void ReleaseTools() override;

  WindowHandle ForegroundWindow() override;
  void SetForegroundWindow(WindowHandle window) override;
  void BringWindowToTop(WindowHandle window) override { brought_to_top_.push_back(window); }
  WindowHandle FocusedWindowIn(WindowHandle window) override;
  // The focused control inside a window's thread.
  void SetFocusedWindow(WindowHandle window, WindowHandle focused) { focused_[window] = focused; }
  // Every window made the foreground window or brought to the top, in order.
  const std::vector<WindowHandle>& ForegroundHistory() const { return foreground_history_; }
  const std::vector<WindowHandle>& BroughtToTop() const { return brought_to_top_; }
  std::string WindowTitle(WindowHandle window, std::size_t max_chars) override;
  std::uint32_t WindowProcessId(WindowHandle window) override;
  std::string ClassModuleFileName(WindowHandle window, std::size_t max_chars) override;

  // The base name of the module path (after the last backslash), as NT's
  // snapshot holds it.
  std::optional<std::string> SnapshotExeFile(std::uint32_t process_id) override;
  // {true, module path} for a known, openable process while PSAPI is loaded.
  PsapiLookup PsapiExeFile(std::uint32_t process_id) override;

 private:
  const FakeProcess* Find(std::uint32_t process_id) const;

  FakeWindowSystem& windows_;
  std::map<std::uint32_t, FakeProcess> processes_;
  std::map<WindowHandle, std::string> class_modules_;
  ProcessTools available_;
  ProcessTools loaded_;  // all false outside LoadTools ... ReleaseTools
  bool tools_loaded_ = false;
  WindowHandle foreground_ = 0;
  std::map<WindowHandle, WindowHandle> focused_;
  std::vector<WindowHandle> foreground_history_;
  std::vector<WindowHandle> brought_to_top_;
};

}  // namespace om::fake
