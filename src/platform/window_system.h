// Port: the program's own windows and messages between windows.
//
// A window created through this port is a hidden top-level window whose
// messages go to an IMessageHandler. Messages it does not handle get the
// system's default handling (the handler returns DefaultResult()).
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/types.h"

namespace om {

class IMessageHandler {
 public:
  virtual ~IMessageHandler() = default;
  // Called for every message the window receives, including messages sent
  // re-entrantly from inside system calls (SetClipboardViewer, CloseClipboard,
  // another process's SendMessage). Returns the message result. `handled` is
  // preset to true; clearing it asks for the system's default handling, whose
  // result is then used instead.
  virtual std::intptr_t OnMessage(WindowHandle self, std::uint32_t message, std::uintptr_t wparam,
                                  std::intptr_t lparam, bool& handled) = 0;
};

enum class SendStatus {
  kOk,        // delivered; `result` is the handler's answer
  kTimedOut,  // the receiver did not answer in time or is hung
  kNoWindow,  // the target window does not exist
  kFailed,    // any other failure
};

struct SendResult {
  SendStatus status = SendStatus::kFailed;
  std::intptr_t result = 0;
};

class IWindowSystem {
 public:
  virtual ~IWindowSystem() = default;

  // Creates a hidden top-level window with the given title. The handler must
  // outlive the window. Returns 0 on failure.
  virtual WindowHandle CreateHidden(IMessageHandler& handler, std::string_view title) = 0;
  // Destroys a window created here; 0 or an unknown handle is ignored.
  virtual void Destroy(WindowHandle window) = 0;
  // True while the window (of any process) exists.
  virtual bool Exists(WindowHandle window) = 0;

  // Synchronous send; waits as long as the receiver takes.
  virtual SendResult Send(WindowHandle target, std::uint32_t message, std::uintptr_t wparam,
                          std::intptr_t lparam) = 0;
  // Synchronous send that gives up after `timeout_ms` or at once when the
  // receiver is hung (SMTO_ABORTIFHUNG).
  virtual SendResult SendWithTimeout(WindowHandle target, std::uint32_t message, std::uintptr_t wparam,
                                     std::intptr_t lparam, std::uint32_t timeout_ms) = 0;
  // Queues a message for the window; false when it cannot be queued.
  virtual bool Post(WindowHandle target, std::uint32_t message, std::uintptr_t wparam,
                    std::intptr_t lparam) = 0;
};

}  // namespace om
