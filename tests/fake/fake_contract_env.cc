// The contract cases' world natively: the simulated desktop, with the
// foreign application as a window of another simulated process whose
// executable is named as cliptool's is under Wine.
#include <algorithm>
#include <charconv>
#include <map>
#include <optional>
#include <vector>

#include "contract/contract_env.h"
#include "platform/fake/fake_desktop.h"
#include "platform/fake/fake_locale.h"

namespace om::contract {
namespace {

using fake::FakeDesktop;

class FakeForeignApp final : public ForeignApp, private IMessageHandler {
 public:
  // `live` lists the applications alive on the desktop; each one is in it
  // from its construction to its destruction.
  FakeForeignApp(FakeDesktop& desktop, std::vector<FakeForeignApp*>& live)
      : desktop_(desktop),
        live_(live),
        process_(desktop.NewProcessId()),
        clipboard_(desktop.ClipboardFor(process_)),
        window_(desktop.Windows().Create(*this, {kTitle, "ClipTool", process_})) {
    desktop_.Processes().AddProcess(process_, {kModulePath});
    live_.push_back(this);
  }

  ~FakeForeignApp() override {
    LeaveChain();
    Release();
    desktop_.Windows().Destroy(window_);
    desktop_.Processes().RemoveProcess(process_);
    live_.erase(std::find(live_.begin(), live_.end(), this));
  }

  WindowHandle Window() override { return window_; }
  std::string WindowTitle() override { return kTitle; }
  std::uint32_t ProcessId() override { return process_; }
  std::string ExecutableBaseName() override { return "cliptool.exe"; }

  bool Put(const std::vector<ForeignItem>& items) override {
    if (clipboard_.Open(window_) != ClipStatus::kOk) return false;
    bool ok = clipboard_.Empty() == ClipStatus::kOk;
    promised_.clear();
    for (const ForeignItem& item : items) {
      const std::uint32_t format = FormatOf(item.format_name);
      if (format == 0) {
        ok = false;
        continue;
      }
      if (item.promised) {
        promised_[format] = item.data;
        ok = clipboard_.Promise(format) == ClipStatus::kOk && ok;
      } else {
        ok = clipboard_.SetData(format, item.data) == ClipStatus::kOk && ok;
      }
    }
    return clipboard_.Close() == ClipStatus::kOk && ok;
  }

  std::optional<std::vector<ForeignFormat>> Read(const std::vector<std::uint32_t>& read_formats) override {
    if (clipboard_.Open(window_) != ClipStatus::kOk) return std::nullopt;
    std::vector<ForeignFormat> formats;
    for (std::uint32_t f = clipboard_.EnumFormats(0); f != 0; f = clipboard_.EnumFormats(f)) {
      ForeignFormat entry;
      entry.format = f;
      entry.registered_name = clipboard_.FormatName(f).value_or("");
      if (std::find(read_formats.begin(), read_formats.end(), f) != read_formats.end()) {
        ClipData data = clipboard_.GetData(f);
        if (data.status == ClipStatus::kOk) entry.data = std::move(data.bytes);
      }
      formats.push_back(std::move(entry));
    }
    clipboard_.Close();
    return formats;
  }

  std::uint32_t Register(const std::string& name) override { return clipboard_.RegisterFormat(name); }

  bool HoldOpen() override {
    holding_ = clipboard_.Open(window_) == ClipStatus::kOk;
    return holding_;
  }
  bool Release() override {
    if (!holding_) return false;
    holding_ = false;
    return clipboard_.Close() == ClipStatus::kOk;
  }

  bool JoinChain(bool swallow) override {
    if (in_chain_) return false;
    swallow_ = swallow;
    draw_count_ = 0;
    in_chain_ = true;
    // The head now: the kDrawClipboard of joining arrives inside SetViewer
    // and goes on to it, as cliptool's does.
    next_ = clipboard_.Viewer();
    next_ = clipboard_.SetViewer(window_);
    return true;
  }
  bool LeaveChain() override {
    if (!in_chain_) return false;
    in_chain_ = false;
    clipboard_.ChangeChain(window_, next_);
    return true;
  }

  int DrawClipboardCount() override { return draw_count_; }
  int RenderCount() override { return render_count_; }

  bool Hang(std::uint32_t ms) override {
    desktop_.Windows().SetHung(window_, true);
    hung_until_ms_ = desktop_.Clock().ElapsedMs() + ms;
    return true;
  }
  // Called by the environment as virtual time passes: the hang ends on time.
  void Recover() {
    if (hung_until_ms_ && desktop_.Clock().ElapsedMs() >= *hung_until_ms_) {
      hung_until_ms_.reset();
      desktop_.Windows().SetHung(window_, false);
    }
  }

 private:
  static constexpr char kTitle[] = "Contract foreign application";
  static constexpr char kModulePath[] = "C:\\Tools\\cliptool.exe";

  std::uint32_t FormatOf(const std::string& name) {
    std::uint32_t number = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), number);
    if (error == std::errc() && end == name.data() + name.size()) return number;
    return clipboard_.RegisterFormat(name);
  }

  std::intptr_t OnMessage(WindowHandle self, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam,
                          bool& handled) override {
    switch (message) {
      case msg::kDrawClipboard:
        ++draw_count_;
        if (!swallow_ && next_ != 0) desktop_.Windows().Send(next_, message, wparam, lparam);
        return 0;
      case msg::kChangeCbChain:
        if (static_cast<WindowHandle>(wparam) == next_) {
          next_ = static_cast<WindowHandle>(lparam);
        } else if (next_ != 0) {
          desktop_.Windows().Send(next_, message, wparam, lparam);
        }
        return 0;
      case msg::kRenderFormat:
        if (auto it = promised_.find(static_cast<std::uint32_t>(wparam)); it != promised_.end()) {
          clipboard_.SetData(it->first, it->second);
          ++render_count_;
        }
        return 0;
      case msg::kRenderAllFormats:
        if (clipboard_.Open(self) == ClipStatus::kOk) {
          for (const auto& [format, data] : promised_) clipboard_.SetData(format, data);
          clipboard_.Close();
        }
        return 0;
      case msg::kDestroyClipboard:
        promised_.clear();
        return 0;
      default:
        handled = false;
        return 0;
    }
  }

  FakeDesktop& desktop_;
  std::vector<FakeForeignApp*>& live_;
  std::uint32_t process_;
  IClipboardSystem& clipboard_;
  WindowHandle window_;
  std::map<std::uint32_t, Bytes> promised_;
  bool holding_ = false;
  bool in_chain_ = false;
  bool swallow_ = false;
  WindowHandle next_ = 0;
  int draw_count_ = 0;
  int render_count_ = 0;
  std::optional<std::uint64_t> hung_until_ms_;
};

class FakeContractEnv final : public ContractEnv {
 public:
  FakeContractEnv() { desktop_.Store().DeleteTree(ScratchKey()); }
  ~FakeContractEnv() override { desktop_.Store().DeleteTree(ScratchKey()); }

  IClipboardSystem& Clipboard() override { return desktop_.Clipboard(); }
  IWindowSystem& Windows() override { return desktop_.Windows(); }
  IClock& Clock() override { return desktop_.Clock(); }
  IKeyValueStore& Store() override { return desktop_.Store(); }
  IProcessInfo& Processes() override { return desktop_.Processes(); }
  std::uint32_t OwnProcessId() override { return FakeDesktop::kOwnProcessId; }
  ILocale& Locale() override { return locale_; }

  bool WaitFor(const std::function<bool()>& condition, std::uint32_t timeout_ms) override {
    desktop_.Clock().ProcessMessages();
    for (std::uint32_t waited = 0; !condition(); waited += kStepMs) {
      if (waited >= timeout_ms) return false;
      Step();
    }
    return true;
  }

  void Pump(std::uint32_t ms) override {
    for (std::uint32_t waited = 0; waited < ms; waited += kStepMs) Step();
  }

  std::unique_ptr<ForeignApp> StartForeign() override {
    return std::make_unique<FakeForeignApp>(desktop_, apps_);
  }

  std::string ScratchKey() override { return "Software\\Brenholt\\OttermoorContractTest"; }

 private:
  static constexpr std::uint32_t kStepMs = 5;

  void Step() {
    desktop_.Clock().Advance(kStepMs);
    for (FakeForeignApp* app : apps_) app->Recover();
  }

  FakeDesktop desktop_;
  fake::FakeLocale locale_;
  std::vector<FakeForeignApp*> apps_;  // the live foreign applications
};

}  // namespace

std::unique_ptr<ContractEnv> MakeContractEnv() { return std::make_unique<FakeContractEnv>(); }

}  // namespace om::contract
