// A window of the test process for the contract cases: it records every
// message, behaves as a well-mannered clipboard viewer (passes kDrawClipboard
// and kChangeCbChain down the chain, mends its link when its next leaves)
// and, as a clipboard owner, renders the formats it was told to.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string_view>
#include <vector>

#include "contract/contract_env.h"

namespace om::contract {

struct Received {
  std::uint32_t message;
  std::uintptr_t wparam;
  std::intptr_t lparam;
};

class TestWindow final : public IMessageHandler {
 public:
  explicit TestWindow(ContractEnv& env, std::string_view title = "Ottermoor contract window")
      : env_(env), handle_(env.Windows().CreateHidden(*this, title)) {}
  ~TestWindow() override {
    LeaveChain();
    env_.Windows().Destroy(handle_);
  }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  WindowHandle handle() const { return handle_; }
  WindowHandle next_viewer() const { return next_; }

  // Joins the viewer chain; returns what SetViewer returned.
  WindowHandle JoinChain() {
    next_ = env_.Clipboard().SetViewer(handle_);
    in_chain_ = true;
    return next_;
  }
  void LeaveChain() {
    if (!in_chain_) return;
    in_chain_ = false;
    env_.Clipboard().ChangeChain(handle_, next_);
  }

  int Count(std::uint32_t message) const {
    int n = 0;
    for (const Received& r : received) n += r.message == message ? 1 : 0;
    return n;
  }

  std::vector<Received> received;
  // Data it hands over when asked to render a format it promised.
  std::map<std::uint32_t, Bytes> renders;
  // Answers a message before the built-in behaviour; clear `handled` to
  // fall through to it.
  std::function<std::intptr_t(std::uint32_t, std::uintptr_t, std::intptr_t, bool&)> on_message;

  std::intptr_t OnMessage(WindowHandle self, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam,
                          bool& handled) override {
    received.push_back({message, wparam, lparam});
    if (on_message) {
      handled = true;
      const std::intptr_t result = on_message(message, wparam, lparam, handled);
      if (handled) return result;
      handled = true;
    }
    switch (message) {
      case msg::kDrawClipboard:
        if (next_ != 0) env_.Windows().Send(next_, message, wparam, lparam);
        return 0;
      case msg::kChangeCbChain:
        if (static_cast<WindowHandle>(wparam) == next_) {
          next_ = static_cast<WindowHandle>(lparam);
        } else if (next_ != 0) {
          env_.Windows().Send(next_, message, wparam, lparam);
        }
        return 0;
      case msg::kRenderFormat:
        if (auto it = renders.find(static_cast<std::uint32_t>(wparam)); it != renders.end())
          env_.Clipboard().SetData(it->first, it->second);
        return 0;
      case msg::kRenderAllFormats:
        if (env_.Clipboard().Open(self) == ClipStatus::kOk) {
          for (const auto& [format, data] : renders) env_.Clipboard().SetData(format, data);
          env_.Clipboard().Close();
        }
        return 0;
      default:
        handled = false;
        return 0;
    }
  }

 private:
  ContractEnv& env_;
  WindowHandle handle_;
  WindowHandle next_ = 0;
  bool in_chain_ = false;
};

inline Bytes BytesOf(std::string_view text, bool with_nul = true) {
  Bytes b(text.begin(), text.end());
  if (with_nul) b.push_back(0);
  return b;
}

}  // namespace om::contract
