#include "child_process.h"

#include <algorithm>
#include <vector>

#include "platform/win32/clock.h"

namespace om::test {

std::string ExecutableDir() {
  std::vector<char> path(MAX_PATH);
  for (;;) {
    const DWORD n = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      std::string full(path.data(), n);
      return full.substr(0, full.find_last_of("\\/") + 1);
    }
    path.resize(path.size() * 2);
  }
}

std::string ProgramPath(const std::string& program) {
  std::string quoted = "\"";
  quoted += ExecutableDir();
  quoted += program;
  quoted += '"';
  return quoted;
}

void PumpMessages() { win32::Win32Clock().ProcessMessages(); }

bool PumpUntil(const std::function<bool()>& condition, std::uint32_t timeout_ms) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    PumpMessages();
    if (condition()) return true;
    const DWORD elapsed = ::GetTickCount() - start;
    if (elapsed >= timeout_ms) return condition();
    // Wake for any message, or re-check the condition every few ms (pipes
    // and other processes' state have nothing to wait on).
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(10, timeout_ms - elapsed), QS_ALLINPUT);
  }
}

ChildProcess::~ChildProcess() {
  if (Running()) Terminate();
}

bool ChildProcess::Start(const std::string& command_line, bool pipes) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  win32::KernelHandle child_stdin, child_stdout, child_null;
  if (pipes) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    if (!::CreatePipe(&read, &write, &inherit, 0)) return false;
    child_stdin.reset(read);
    stdin_write_.reset(write);
    if (!::CreatePipe(&read, &write, &inherit, 0)) return false;
    stdout_read_.reset(read);
    child_stdout.reset(write);
    // Our ends stay ours: a child holding them would keep the pipes open.
    ::SetHandleInformation(stdin_write_.get(), HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(stdout_read_.get(), HANDLE_FLAG_INHERIT, 0);
    child_null = win32::OwnFileHandle(::CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                                    OPEN_EXISTING, 0, nullptr));
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = child_stdin.get();
    startup.hStdOutput = child_stdout.get();
    startup.hStdError = child_null ? child_null.get() : child_stdout.get();
  }
  std::string command = command_line;  // CreateProcess may write to it
  PROCESS_INFORMATION info{};
  if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, pipes ? TRUE : FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &info)) {
    return false;
  }
  win32::KernelHandle thread(info.hThread);
  process_.reset(info.hProcess);
  id_ = info.dwProcessId;
  return true;
}

bool ChildProcess::Running() const {
  return process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

bool ChildProcess::WriteLine(const std::string& line) {
  if (!stdin_write_) return false;
  const std::string text = line + "\n";
  DWORD written = 0;
  return ::WriteFile(stdin_write_.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size();
}

std::optional<std::string> ChildProcess::ReadLine(std::uint32_t timeout_ms) {
  if (!stdout_read_) return std::nullopt;
  auto have_line = [&] {
    if (buffer_.find('\n') != std::string::npos) return true;
    DWORD available = 0;
    if (!::PeekNamedPipe(stdout_read_.get(), nullptr, 0, nullptr, &available, nullptr)) {
      return true;  // the process ended and its end of the pipe closed
    }
    if (available > 0) {
      std::string chunk(available, '\0');
      DWORD got = 0;
      if (::ReadFile(stdout_read_.get(), chunk.data(), available, &got, nullptr)) buffer_.append(chunk.data(), got);
    }
    return buffer_.find('\n') != std::string::npos;
  };
  PumpUntil(have_line, timeout_ms);
  const std::size_t newline = buffer_.find('\n');
  if (newline == std::string::npos) return std::nullopt;
  std::string line = buffer_.substr(0, newline);
  buffer_.erase(0, newline + 1);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

std::optional<DWORD> ChildProcess::WaitForExit(std::uint32_t timeout_ms) {
  if (!process_) return std::nullopt;
  if (!PumpUntil([&] { return !Running(); }, timeout_ms)) return std::nullopt;
  DWORD code = 0;
  ::GetExitCodeProcess(process_.get(), &code);
  return code;
}

void ChildProcess::Terminate() {
  if (!process_) return;
  ::TerminateProcess(process_.get(), 99);
  ::WaitForSingleObject(process_.get(), 10000);
}

}  // namespace om::test
