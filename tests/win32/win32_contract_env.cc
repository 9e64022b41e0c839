// The port contract cases under Wine: the Win32 adapters, and cliptool.exe
// (started with `serve`) as the foreign application.
#include <windows.h>

#include <cstdlib>
#include <memory>
#include <sstream>

#include "child_process.h"
#include "cliptool/wire.h"
#include "contract/contract_env.h"
#include "platform/win32/clipboard_system.h"
#include "platform/win32/clock.h"
#include "platform/win32/locale.h"
#include "platform/win32/process_info.h"
#include "platform/win32/registry.h"
#include "platform/win32/window_system.h"

namespace om::contract {
namespace {

// Generous: the machine may be loaded, and nothing waits this long when all
// is well.
constexpr std::uint32_t kReplyTimeoutMs = 20000;

using cliptool::Escape;
using cliptool::FromHex;
using cliptool::Unescape;
using cliptool::ToHex;

class CliptoolApp final : public ForeignApp {
 public:
  bool Start() {
    if (!process_.Start(test::ProgramPath("cliptool.exe") + " serve", true)) return false;
    const auto reply = Command("window");
    if (!reply) return false;
    window_ = static_cast<WindowHandle>(std::strtoull(reply->c_str(), nullptr, 10));
    return window_ != 0;
  }

  ~CliptoolApp() override {
    // A hung cliptool would read "quit" only when its hang is over.
    const bool hung = hang_ms_ != 0 && ::GetTickCount() - hang_started_ < hang_ms_;
    if (!hung && process_.Running() && process_.WriteLine("quit")) {
      // Leaving the chain sends to its head, which may be one of our
      // windows: keep answering while it goes.
      if (process_.WaitForExit(kReplyTimeoutMs)) return;
    }
    process_.Terminate();
  }

  WindowHandle Window() override { return window_; }
  std::string WindowTitle() override { return cliptool::kWindowTitle; }
  std::uint32_t ProcessId() override {
    const auto reply = Command("pid");
    return reply ? static_cast<std::uint32_t>(std::strtoul(reply->c_str(), nullptr, 10)) : 0;
  }
  std::string ExecutableBaseName() override { return "cliptool.exe"; }

  bool Put(const std::vector<ForeignItem>& items) override {
    std::string line = "put";
    for (const ForeignItem& item : items) {
      line += item.promised ? " promise:" : " fmt:";
      line += Escape(item.format_name) + "=" + ToHex(item.data);
    }
    return Command(line).has_value();
  }

  std::optional<std::vector<ForeignFormat>> Read(const std::vector<std::uint32_t>& read_formats) override {
    std::string line = "read";
    for (std::uint32_t f : read_formats) {
      line += ' ';
      line += std::to_string(f);
    }
    const auto reply = Command(line);
    if (!reply) return std::nullopt;
    std::vector<ForeignFormat> formats;
    std::istringstream entries(*reply);
    std::string entry;
    while (entries >> entry) {
      ForeignFormat format;
      std::string head = entry;
      const std::size_t eq = entry.find('=');
      if (eq != std::string::npos) {
        head = entry.substr(0, eq);
        format.data = FromHex(entry.substr(eq + 1));
      }
      const std::size_t slash = head.find('/');
      if (slash != std::string::npos) format.registered_name = Unescape(head.substr(slash + 1));
      format.format = static_cast<std::uint32_t>(std::strtoul(head.substr(0, slash).c_str(), nullptr, 10));
      formats.push_back(std::move(format));
    }
    return formats;
  }

  std::uint32_t Register(const std::string& name) override {
    const auto reply = Command("register " + Escape(name));
    return reply ? static_cast<std::uint32_t>(std::strtoul(reply->c_str(), nullptr, 10)) : 0;
  }

  bool HoldOpen() override { return Command("hold").has_value(); }
  bool Release() override { return Command("release").has_value(); }
  bool JoinChain(bool swallow) override { return Command(swallow ? "join swallow" : "join").has_value(); }
  bool LeaveChain() override { return Command("leave").has_value(); }
  int DrawClipboardCount() override { return Count("drawcount"); }
  int RenderCount() override { return Count("rendercount"); }
  bool Hang(std::uint32_t ms) override {
    hang_started_ = ::GetTickCount();
    hang_ms_ = ms;
    return Command("hang " + std::to_string(ms)).has_value();
  }

 private:
  // Sends one command; the text after "ok" when it succeeded.
  std::optional<std::string> Command(const std::string& line) {
    if (!process_.WriteLine(line)) return std::nullopt;
    const auto reply = process_.ReadLine(kReplyTimeoutMs);
    if (!reply || reply->rfind("ok", 0) != 0) return std::nullopt;
    return reply->size() > 3 ? reply->substr(3) : std::string();
  }

  int Count(const char* command) {
    const auto reply = Command(command);
    return reply ? std::atoi(reply->c_str()) : -1;
  }

  test::ChildProcess process_;
  WindowHandle window_ = 0;
  DWORD hang_started_ = 0;
  DWORD hang_ms_ = 0;
};

class Win32ContractEnv final : public ContractEnv {
 public:
  Win32ContractEnv() {
    store_.DeleteTree(ScratchKey());
    // Every case starts from an empty clipboard, as the simulated one does.
    if (clipboard_.Open(0) == ClipStatus::kOk) {
      clipboard_.Empty();
      clipboard_.Close();
    }
  }
  ~Win32ContractEnv() override { store_.DeleteTree(ScratchKey()); }

  IClipboardSystem& Clipboard() override { return clipboard_; }
  IWindowSystem& Windows() override { return windows_; }
  IClock& Clock() override { return clock_; }
  IKeyValueStore& Store() override { return store_; }
  IProcessInfo& Processes() override { return processes_; }
  std::uint32_t OwnProcessId() override { return ::GetCurrentProcessId(); }
  ILocale& Locale() override { return locale_; }

  bool WaitFor(const std::function<bool()>& condition, std::uint32_t timeout_ms) override {
    return test::PumpUntil(condition, timeout_ms);
  }
  void Pump(std::uint32_t ms) override {
    test::PumpUntil([] { return false; }, ms);
  }

  std::unique_ptr<ForeignApp> StartForeign() override {
    auto app = std::make_unique<CliptoolApp>();
    if (!app->Start()) return nullptr;
    return app;
  }

  std::string ScratchKey() override { return "Software\\Brenholt\\OttermoorContractTest"; }

 private:
  win32::Win32WindowSystem windows_;
  win32::Win32ClipboardSystem clipboard_;
  win32::Win32Clock clock_;
  win32::Win32Registry store_;
  win32::Win32ProcessInfo processes_;
  win32::Win32Locale locale_;
};

}  // namespace

std::unique_ptr<ContractEnv> MakeContractEnv() { return std::make_unique<Win32ContractEnv>(); }

}  // namespace om::contract
