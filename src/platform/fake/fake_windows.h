// The simulated desktop's windows: every window of every simulated process,
// each with a message handler, plus the one posted-message queue.
//
// Everything runs on the test's thread, so a Send is a direct call into the
// receiver's handler, re-entrant exactly as a same-thread SendMessage is: a
// handler may send, post, create or destroy windows while it runs.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window_system.h"

namespace om::fake {

// What the desktop knows about a window besides its handler.
struct FakeWindowInfo {
  std::string title;
  std::string class_name;
  std::uint32_t process_id = 0;
};

class FakeWindowSystem final : public IWindowSystem {
 public:
  // Windows made through CreateHidden belong to `own_process_id`.
  explicit FakeWindowSystem(std::uint32_t own_process_id);

  WindowHandle CreateHidden(IMessageHandler& handler, std::string_view title) override;
  void Destroy(WindowHandle window) override;
  bool Exists(WindowHandle window) override;
  SendResult Send(WindowHandle target, std::uint32_t message, std::uintptr_t wparam,
                  std::intptr_t lparam) override;
  SendResult SendWithTimeout(WindowHandle target, std::uint32_t message, std::uintptr_t wparam,
                             std::intptr_t lparam, std::uint32_t timeout_ms) override;
  bool Post(WindowHandle target, std::uint32_t message, std::uintptr_t wparam,
            std::intptr_t lparam) override;

  // A window of any simulated process (a foreign application's, say).
  WindowHandle Create(IMessageHandler& handler, FakeWindowInfo info);
  std::uint32_t OwnProcessId() const { return own_process_id_; }

  // Title, class and process of a window; nullptr once it is gone.
  FakeWindowInfo* Info(WindowHandle window);
  std::vector<WindowHandle> AllWindows() const;

  // A hung window answers nothing: timed sends to it time out at once, its
  // posted messages and timers wait until it recovers. A plain Send to it
  // cannot block here, so it reports kTimedOut as well.
  void SetHung(WindowHandle window, bool hung);
  bool IsHung(WindowHandle window) const;

  // Delivers posted messages in order (also those posted meanwhile) until
  // none is left for a responsive window. Returns how many were delivered.
  int DeliverPosted();
  std::size_t PendingPosted() const { return posted_.size(); }

  // Listeners run for a window that is being destroyed, while it still
  // exists (the clipboard asks its owner to render everything, the clock
  // stops its timers).
  void OnDestroy(std::function<void(WindowHandle)> listener);

 private:
  struct Window {
    IMessageHandler* handler = nullptr;
    FakeWindowInfo info;
    bool hung = false;
    bool dying = false;
  };
  struct PostedMessage {
    WindowHandle target;
    std::uint32_t message;
    std::uintptr_t wparam;
    std::intptr_t lparam;
  };

  std::intptr_t Dispatch(WindowHandle target, std::uint32_t message, std::uintptr_t wparam,
                         std::intptr_t lparam);

  std::uint32_t own_process_id_;
  WindowHandle next_handle_ = 0x10020;
  std::map<WindowHandle, Window> windows_;
  std::deque<PostedMessage> posted_;
  std::vector<std::function<void(WindowHandle)>> destroy_listeners_;
};

}  // namespace om::fake
