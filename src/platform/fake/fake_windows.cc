#include "platform/fake/fake_windows.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace om::fake {

namespace {
// A handler that keeps posting to itself would make "deliver until empty"
// spin for ever; past this many deliveries in one go it is a test bug.
constexpr int kMaxDeliveriesPerPump = 1'000'000;
// Real handles are spread out; distinct steps keep them from looking like
// small counters that a test might confuse with ids.
constexpr WindowHandle kHandleStep = 0x12;
}  // namespace

FakeWindowSystem::FakeWindowSystem(std::uint32_t own_process_id) : own_process_id_(own_process_id) {}

WindowHandle FakeWindowSystem::CreateHidden(IMessageHandler& handler, std::string_view title) {
  return Create(handler, FakeWindowInfo{std::string(title), "", own_process_id_});
}

WindowHandle FakeWindowSystem::Create(IMessageHandler& handler, FakeWindowInfo info) {
  const WindowHandle handle = next_handle_;
  next_handle_ += kHandleStep;
  windows_[handle] = Window{&handler, std::move(info), false, false};
  return handle;
}

void FakeWindowSystem::Destroy(WindowHandle window) {
  auto it = windows_.find(window);
  if (it == windows_.end() || it->second.dying) return;
  it->second.dying = true;
  // Copied: a listener may register another (unlikely, but cheap to allow).
  const auto listeners = destroy_listeners_;
  for (const auto& listener : listeners) listener(window);
  windows_.erase(window);
  std::erase_if(posted_, [window](const PostedMessage& m) { return m.target == window; });
}

bool FakeWindowSystem::Exists(WindowHandle window) { return windows_.contains(window); }

std::intptr_t FakeWindowSystem::Dispatch(WindowHandle target, std::uint32_t message, std::uintptr_t wparam,
                                         std::intptr_t lparam) {
  IMessageHandler* handler = windows_.at(target).handler;
  bool handled = true;
  const std::intptr_t result = handler->OnMessage(target, message, wparam, lparam, handled);
  if (handled) return result;
  // The system's default handling: closing a window destroys it; every other
  // message this desktop knows answers 0.
  if (message == msg::kClose) Destroy(target);
  return 0;
}

SendResult FakeWindowSystem::Send(WindowHandle target, std::uint32_t message, std::uintptr_t wparam,
                                  std::intptr_t lparam) {
  auto it = windows_.find(target);
  if (it == windows_.end()) return {SendStatus::kNoWindow, 0};
  if (it->second.hung) return {SendStatus::kTimedOut, 0};
  return {SendStatus::kOk, Dispatch(target, message, wparam, lparam)};
}

SendResult FakeWindowSystem::SendWithTimeout(WindowHandle target, std::uint32_t message, std::uintptr_t wparam,
                                             std::intptr_t lparam, std::uint32_t /*timeout_ms*/) {
  // Handlers answer in no virtual time, so only a hung window times out.
  return Send(target, message, wparam, lparam);
}

bool FakeWindowSystem::Post(WindowHandle target, std::uint32_t message, std::uintptr_t wparam,
                            std::intptr_t lparam) {
  if (!windows_.contains(target)) return false;
  posted_.push_back({target, message, wparam, lparam});
  return true;
}

FakeWindowInfo* FakeWindowSystem::Info(WindowHandle window) {
  auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : &it->second.info;
}

std::vector<WindowHandle> FakeWindowSystem::AllWindows() const {
  std::vector<WindowHandle> all;
  for (const auto& [handle, window] : windows_) all.push_back(handle);
  return all;
}

void FakeWindowSystem::SetHung(WindowHandle window, bool hung) {
  if (auto it = windows_.find(window); it != windows_.end()) it->second.hung = hung;
}

bool FakeWindowSystem::IsHung(WindowHandle window) const {
  auto it = windows_.find(window);
  return it != windows_.end() && it->second.hung;
}

int FakeWindowSystem::DeliverPosted() {
  int delivered = 0;
  for (;;) {
    auto next = std::find_if(posted_.begin(), posted_.end(),
                             [this](const PostedMessage& m) { return !windows_.at(m.target).hung; });
    if (next == posted_.end()) return delivered;
    const PostedMessage m = *next;
    posted_.erase(next);
    if (++delivered > kMaxDeliveriesPerPump) throw std::runtime_error("posted messages keep coming: a handler reposts for ever");
    Dispatch(m.target, m.message, m.wparam, m.lparam);
  }
}

void FakeWindowSystem::OnDestroy(std::function<void(WindowHandle)> listener) {
  destroy_listeners_.push_back(std::move(listener));
}

}  // namespace om::fake
