// The clipboard engine's test world: the simulated desktop with the
// program's clipboard object and viewer, and foreign applications that put
// data on the clipboard and sit in the viewer chain.
#pragma once

#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "clipboard/clip_view.h"
#include "clipboard/clipboard.h"
#include "clipboard/format_names.h"
#include "platform/fake/fake_desktop.h"
#include "platform/fake/fake_locale.h"

namespace om::testing {

inline Bytes TextBytes(std::string_view s) {
  Bytes b(s.begin(), s.end());
  b.push_back(0);
  return b;
}

inline Bytes Utf16Bytes(std::string_view ascii) {
  Bytes b;
  for (char c : ascii) {
    b.push_back(static_cast<std::uint8_t>(c));
    b.push_back(0);
  }
  b.push_back(0);
  b.push_back(0);
  return b;
}

// One format a foreign application puts: a standard number in decimal
// ("1") or a name it registers first.
struct Item {
  std::string format;
  Bytes data;
  bool promised = false;
};

// Another program on the simulated desktop: a process with an executable,
// one window that owns what it puts on the clipboard, and, once it joins,
// a place in the viewer chain.
class ForeignApp final : private IMessageHandler {
 public:
  enum class Viewer { kForwards, kSwallows };
  // Forwards change messages only after this many ms (0: at once).
  std::uint32_t forward_after_ms = 0;

  ForeignApp(fake::FakeDesktop& desktop, std::string module_path, std::string title = "Foreign")
      : desktop_(desktop),
        process_(desktop.NewProcessId()),
        clipboard_(desktop.ClipboardFor(process_)),
        window_(desktop.Windows().Create(*this, {std::move(title), "Foreign", process_})) {
    desktop_.Processes().AddProcess(process_, {std::move(module_path)});
  }
  ~ForeignApp() override {
    Leave();
    desktop_.Windows().Destroy(window_);
  }

  WindowHandle Window() const { return window_; }
  std::uint32_t Process() const { return process_; }
  // What the process look-ups find out about it.
  void SetProcess(fake::FakeProcess process) { desktop_.Processes().AddProcess(process_, std::move(process)); }

  std::uint32_t FormatOf(const std::string& name) {
    std::uint32_t number = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), number);
    if (error == std::errc() && end == name.data() + name.size()) return number;
    return clipboard_.RegisterFormat(name);
  }

  // Opens the clipboard with `owner` (its own window unless told), empties
  // it, sets the items, closes it: the chain hears of it inside Close.
  void Put(const std::vector<Item>& items, bool own_window = true) {
    ASSERT_EQ(clipboard_.Open(own_window ? window_ : 0), ClipStatus::kOk);
    ASSERT_EQ(clipboard_.Empty(), ClipStatus::kOk);
    promised_.clear();
    for (const Item& item : items) {
      const std::uint32_t format = FormatOf(item.format);
      if (item.promised) {
        promised_[format] = item.data;
        ASSERT_EQ(clipboard_.Promise(format), ClipStatus::kOk);
      } else {
        ASSERT_EQ(clipboard_.SetData(format, item.data), ClipStatus::kOk) << item.format;
      }
    }
    ASSERT_EQ(clipboard_.Close(), ClipStatus::kOk);
  }
  void PutText(std::string_view text) { Put({{"1", TextBytes(text)}}); }

  ClipData Read(std::uint32_t format) {
    if (clipboard_.Open(window_) != ClipStatus::kOk) return {ClipStatus::kBusy, {}};
    ClipData data = clipboard_.GetData(format);
    clipboard_.Close();
    return data;
  }
  bool HoldOpen() { return clipboard_.Open(window_) == ClipStatus::kOk; }
  void Release() { clipboard_.Close(); }

  void Join(Viewer kind) {
    swallow_ = kind == Viewer::kSwallows;
    in_chain_ = true;
    next_ = clipboard_.SetViewer(window_);
  }
  void SetSwallowing(bool swallow) { swallow_ = swallow; }
  void Leave() {
    if (!in_chain_) return;
    in_chain_ = false;
    clipboard_.ChangeChain(window_, next_);
  }
  WindowHandle Next() const { return next_; }

  // What its window received.
  int draws = 0;
  std::vector<std::pair<WindowHandle, WindowHandle>> chain_changes;

 private:
  std::intptr_t OnMessage(WindowHandle self, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam,
                          bool& handled) override {
    switch (message) {
      case msg::kDrawClipboard:
        ++draws;
        if (swallow_ || next_ == 0) return 0;
        if (forward_after_ms > 0) {
          desktop_.Clock().SetTimer(self, kForwardTimer, forward_after_ms);
        } else {
          desktop_.Windows().Send(next_, message, wparam, lparam);
        }
        return 0;
      case msg::kTimer:
        desktop_.Clock().KillTimer(self, kForwardTimer);
        if (next_ != 0) desktop_.Windows().Send(next_, msg::kDrawClipboard, 0, 0);
        return 0;
      case msg::kChangeCbChain:
        chain_changes.emplace_back(static_cast<WindowHandle>(wparam), static_cast<WindowHandle>(lparam));
        if (static_cast<WindowHandle>(wparam) == next_) {
          next_ = static_cast<WindowHandle>(lparam);
        } else if (next_ != 0) {
          desktop_.Windows().Send(next_, message, wparam, lparam);
        }
        return 0;
      case msg::kRenderFormat:
        if (auto it = promised_.find(static_cast<std::uint32_t>(wparam)); it != promised_.end()) {
          clipboard_.SetData(it->first, it->second);
        }
        return 0;
      default:
        handled = false;
        return 0;
    }
  }

  static constexpr std::uint32_t kForwardTimer = 1;

  fake::FakeDesktop& desktop_;
  std::uint32_t process_;
  IClipboardSystem& clipboard_;
  WindowHandle window_;
  std::map<std::uint32_t, Bytes> promised_;
  bool in_chain_ = false;
  bool swallow_ = false;
  WindowHandle next_ = 0;
};

// The viewer on the simulated desktop, with the clipboard object installed
// as TheClipboard. The viewer is made on demand, so that a test can set up
// the desktop (the process tools, say) first.
class ViewerTest : public ::testing::Test {
 protected:
  TClipView5& View() {
    if (!view_) view_ = std::make_unique<TClipView5>(Ports());
    return *view_;
  }
  ClipViewPorts Ports() {
    return {desktop_.Windows(), desktop_.Clock(), desktop_.Processes(), desktop_.Prompts(), desktop_.Sound(), locale_,
            clipboard_};
  }
  // The viewer in the chain, capturing, with short waits.
  TClipView5& Listening(std::int32_t delay = 50) {
    TClipView5& view = View();
    view.Delay = delay;
    view.Capturing = true;
    view.SetActive(true);
    return view;
  }
  std::unique_ptr<ForeignApp> Start(std::string module_path, std::string title = "Foreign") {
    return std::make_unique<ForeignApp>(desktop_, std::move(module_path), std::move(title));
  }
  void Advance(std::uint32_t ms) { desktop_.Clock().Advance(ms); }
  fake::FakeClipboard& Board() { return desktop_.SharedClipboard(); }

  fake::FakeDesktop desktop_;
  fake::FakeLocale locale_;
  TClipboard clipboard_{desktop_.Clipboard()};
  TheClipboardInstallation installation_{clipboard_};
  std::unique_ptr<TClipView5> view_;
};

}  // namespace om::testing
