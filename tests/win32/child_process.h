// Processes the Windows tests start (cliptool.exe, Ottermoor.exe), owned by
// the test that starts them and ended by their handle.
//
// Every wait here keeps this thread's messages flowing: the other process
// may be inside a call that sends to one of our windows (CloseClipboard
// notifying our viewer, GetClipboardData asking us to render), and it only
// answers us once we have answered it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/win32/handles.h"

namespace om::test {

// The folder of the running test executable, with a trailing backslash.
std::string ExecutableDir();

// `program` in the test executable's folder, quoted for a command line.
std::string ProgramPath(const std::string& program);

// Delivers this thread's pending messages (sent and posted).
void PumpMessages();
// Pumps messages until `condition` holds or `timeout_ms` pass; returns
// condition().
bool PumpUntil(const std::function<bool()>& condition, std::uint32_t timeout_ms);

class ChildProcess {
 public:
  ChildProcess() = default;
  // Ends the process (TerminateProcess) if it is still running.
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts `command_line` (the program quoted first) without a console
  // window. With `pipes`, its stdin and stdout are pipes to this object.
  bool Start(const std::string& command_line, bool pipes);

  bool Running() const;
  DWORD Id() const { return id_; }
  HANDLE Handle() const { return process_.get(); }

  // Writes one line (a newline is added) to its stdin.
  bool WriteLine(const std::string& line);
  // The next line of its stdout (without the newline), waiting up to
  // `timeout_ms`; nullopt when none came or the process ended first.
  std::optional<std::string> ReadLine(std::uint32_t timeout_ms);

  // Waits (pumping) for the process to end; its exit code, or nullopt.
  std::optional<DWORD> WaitForExit(std::uint32_t timeout_ms);
  // TerminateProcess, then waits for it to be gone.
  void Terminate();

 private:
  win32::KernelHandle process_;
  win32::KernelHandle stdin_write_;
  win32::KernelHandle stdout_read_;
  DWORD id_ = 0;
  std::string buffer_;
};

}  // namespace om::test
