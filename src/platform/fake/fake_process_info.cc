#include "platform/fake/fake_process_info.h"

#include <utility>

namespace om::fake {
namespace {

constexpr ProcessTools kAllTools{true, true, true, true, true};

std::string Cut(std::string text, std::size_t max_chars) {
  if (text.size() > max_chars) text.resize(max_chars);
  return text;
}

}  // namespace

FakeProcessInfo::FakeProcessInfo(FakeWindowSystem& windows) : windows_(windows), available_(kAllTools) {}

void FakeProcessInfo::AddProcess(std::uint32_t process_id, FakeProcess process) {
  processes_[process_id] = std::move(process);
}

void FakeProcessInfo::RemoveProcess(std::uint32_t process_id) { processes_.erase(process_id); }

void FakeProcessInfo::SetAvailableTools(ProcessTools tools) { available_ = tools; }

void FakeProcessInfo::SetForeground(WindowHandle window) { foreground_ = window; }

void FakeProcessInfo::SetClassModule(WindowHandle window, std::string path) {
  class_modules_[window] = std::move(path);
}

ProcessTools FakeProcessInfo::LoadTools() {
  loaded_ = available_;
  tools_loaded_ = true;
  return loaded_;
}

void FakeProcessInfo::ReleaseTools() {
  loaded_ = ProcessTools{};
  tools_loaded_ = false;
}

WindowHandle FakeProcessInfo::ForegroundWindow() { return windows_.Exists(foreground_) ? foreground_ : 0; }

void FakeProcessInfo::SetForegroundWindow(WindowHandle window) {
  foreground_history_.push_back(window);
  if (windows_.Exists(window)) foreground_ = window;
}

WindowHandle FakeProcessInfo::FocusedWindowIn(WindowHandle window) {
  auto it = focused_.find(window);
  return it != focused_.end() ? it->second : 0;
}

std::string FakeProcessInfo::WindowTitle(WindowHandle window, std::size_t max_chars) {
  const FakeWindowInfo* info = windows_.Info(window);
  return info ? Cut(info->title, max_chars) : std::string();
}

std::uint32_t FakeProcessInfo::WindowProcessId(WindowHandle window) {
  const FakeWindowInfo* info = windows_.Info(window);
  return info ? info->process_id : 0;
}

std::string FakeProcessInfo::ClassModuleFileName(WindowHandle window, std::size_t max_chars) {
  const FakeWindowInfo* info = windows_.Info(window);
  if (info == nullptr) return {};
  if (auto it = class_modules_.find(window); it != class_modules_.end()) return Cut(it->second, max_chars);
  if (info->process_id == windows_.OwnProcessId()) {
    if (const FakeProcess* own = Find(info->process_id)) return Cut(own->module_path, max_chars);
  }
  return {};
}

std::optional<std::string> FakeProcessInfo::SnapshotExeFile(std::uint32_t process_id) {
  if (!loaded_.HasToolHelp()) return std::nullopt;
  const FakeProcess* process = Find(process_id);
  if (process == nullptr || !process->in_snapshot) return std::nullopt;
  const std::size_t slash = process->module_path.rfind('\\');
  return slash == std::string::npos ? process->module_path : process->module_path.substr(slash + 1);
}

PsapiLookup FakeProcessInfo::PsapiExeFile(std::uint32_t process_id) {
  // The look-up needs only GetModuleFileNameExA, as the real one does.
  if (!loaded_.module_file_name_ex || process_id == 0) return {};
  const FakeProcess* process = Find(process_id);
  if (process == nullptr || !process->psapi_openable) return {};
  return {true, process->module_path};
}

const FakeProcess* FakeProcessInfo::Find(std::uint32_t process_id) const {
  auto it = processes_.find(process_id);
  return it == processes_.end() ? nullptr : &it->second;
}

}  // namespace om::fake
