// What the process entry asks of the system: the single-instance mutex seen
// from another process (cliptool), the running instance's window brought
// forward, the keyboard, the program's own file.
#include "platform/win32/app_instance.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "child_process.h"
#include "cliptool/wire.h"

namespace om::test {
namespace {

constexpr std::uint32_t kWaitMs = 20000;

std::string UniqueName(const char* what) {
  return std::string("OttermoorTest-") + what + "-" + std::to_string(::GetCurrentProcessId()) + "-" +
         std::to_string(::GetTickCount());
}

// cliptool serve, for the `mutex` command.
class Cliptool {
 public:
  bool Start() { return process_.Start(ProgramPath("cliptool.exe") + " serve", true); }
  std::optional<std::string> Command(const std::string& line) {
    if (!process_.WriteLine(line)) return std::nullopt;
    return process_.ReadLine(kWaitMs);
  }
  bool Quit() { return Command("quit") == "ok" && process_.WaitForExit(kWaitMs).has_value(); }

 private:
  ChildProcess process_;
};

TEST(AppInstance, MutexTellsWhetherAnotherInstanceHoldsIt) {
  win32::Win32AppInstance instance;
  Cliptool other;
  ASSERT_TRUE(other.Start());

  // We are first: we hold it, and the other process finds it existing.
  const std::string ours = UniqueName("ours");
  EXPECT_FALSE(instance.CreateInstanceMutex(ours));
  EXPECT_EQ(other.Command("mutex " + cliptool::Escape(ours)), "ok existed");
  EXPECT_TRUE(instance.CreateInstanceMutex(ours)) << "a second start in this process finds it too";

  // The other process was first.
  const std::string theirs = UniqueName("theirs");
  EXPECT_EQ(other.Command("mutex " + cliptool::Escape(theirs)), "ok created");
  EXPECT_TRUE(instance.CreateInstanceMutex(theirs));

  // Finding it existing does not keep it alive: once the other process has
  // gone, the name is free again.
  ASSERT_TRUE(other.Quit());
  EXPECT_FALSE(instance.CreateInstanceMutex(theirs));
}

LRESULT CALLBACK TestWindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  return ::DefWindowProcA(hwnd, message, wparam, lparam);
}

// The running instance's window class (`class_name_`) and another one for
// every other window, each of its own for each test; and their windows.
class ActivationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const std::string* name : {&class_name_, &other_class_}) {
      WNDCLASSEXA wc{};
      wc.cbSize = sizeof wc;
      wc.lpfnWndProc = TestWindowProc;
      wc.hInstance = ::GetModuleHandleA(nullptr);
      wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
      wc.lpszClassName = name->c_str();
      ASSERT_NE(::RegisterClassExA(&wc), 0);
    }
  }
  void TearDown() override {
    for (HWND w : windows_) ::DestroyWindow(w);
    ::UnregisterClassA(class_name_.c_str(), ::GetModuleHandleA(nullptr));
    ::UnregisterClassA(other_class_.c_str(), ::GetModuleHandleA(nullptr));
  }
  // A window of the running instance's class, or of the other class.
  HWND Make(const char* title, DWORD style, bool running, HWND owner = nullptr) {
    const std::string& window_class = running ? class_name_ : other_class_;
    HWND w = ::CreateWindowExA(0, window_class.c_str(), title, style, 100, 100, 300, 200, owner, nullptr,
                               ::GetModuleHandleA(nullptr), nullptr);
    if (w) windows_.push_back(w);
    return w;
  }

  const std::string class_name_ = UniqueName("Activate");
  const std::string other_class_ = UniqueName("Other");
  std::vector<HWND> windows_;
  win32::Win32AppInstance instance_;
};

TEST_F(ActivationTest, BringsTheRunningWindowForward) {
  HWND running = Make("running", WS_OVERLAPPEDWINDOW, true);  // hidden, as in the tray
  HWND other = Make("other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, false);
  ASSERT_TRUE(running && other);
  ::SetForegroundWindow(other);
  ASSERT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == other; }, kWaitMs));

  EXPECT_TRUE(instance_.ActivateRunningInstance(class_name_));
  EXPECT_TRUE(PumpUntil([&] { return ::IsWindowVisible(running) && ::GetForegroundWindow() == running; }, kWaitMs));

  // Minimized: it comes back.
  ::ShowWindow(running, SW_MINIMIZE);
  ::SetForegroundWindow(other);
  ASSERT_TRUE(PumpUntil([&] { return ::IsIconic(running) && ::GetForegroundWindow() == other; }, kWaitMs));
  EXPECT_TRUE(instance_.ActivateRunningInstance(class_name_));
  EXPECT_TRUE(PumpUntil([&] { return !::IsIconic(running) && ::GetForegroundWindow() == running; }, kWaitMs));

  EXPECT_FALSE(instance_.ActivateRunningInstance(UniqueName("NoSuchClass")));
}

TEST_F(ActivationTest, ItsOpenDialogComesForwardInsteadOfIt) {
  HWND running = Make("running", WS_OVERLAPPEDWINDOW | WS_VISIBLE, true);
  ASSERT_TRUE(running);
  HWND dialog = Make("dialog", WS_POPUP | WS_CAPTION | WS_VISIBLE, false, running);
  HWND other = Make("other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, false);
  ASSERT_TRUE(dialog && other);
  ::SetForegroundWindow(dialog);
  ASSERT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == dialog; }, kWaitMs));
  ::SetForegroundWindow(other);
  ASSERT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == other; }, kWaitMs));

  EXPECT_TRUE(instance_.ActivateRunningInstance(class_name_));
  EXPECT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == dialog; }, kWaitMs));
}

// Presses keys with keybd_event and lets them go again, whatever happens.
class HeldKeys {
 public:
  explicit HeldKeys(std::vector<BYTE> keys) : keys_(std::move(keys)) {
    for (BYTE key : keys_) ::keybd_event(key, 0, 0, 0);
    PumpMessages();
  }
  ~HeldKeys() {
    for (BYTE key : keys_) ::keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
    PumpUntil([] { return (::GetAsyncKeyState(VK_CONTROL) & 0x8000) == 0 && (::GetAsyncKeyState(VK_SHIFT) & 0x8000) == 0; },
              kWaitMs);
  }
  HeldKeys(const HeldKeys&) = delete;
  HeldKeys& operator=(const HeldKeys&) = delete;

 private:
  std::vector<BYTE> keys_;
};

TEST(AppInstance, CtrlAndShiftMustBothBeDown) {
  win32::Win32AppInstance instance;
  struct Case {
    const char* what;
    std::vector<BYTE> keys;
    bool down;
  };
  const Case cases[] = {
      {"none", {}, false},
      {"Ctrl", {VK_CONTROL}, false},
      {"Shift", {VK_SHIFT}, false},
      {"Ctrl and Shift", {VK_CONTROL, VK_SHIFT}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HeldKeys held(c.keys);
    EXPECT_EQ(instance.CtrlAndShiftDown(), c.down);
  }
}

TEST(AppInstance, ProgramFileAndFolder) {
  win32::Win32AppInstance instance;
  const std::string name = instance.ProgramFileName();
  ASSERT_GT(name.size(), 4u);
  EXPECT_EQ(name.substr(name.size() - 4), ".exe");
  EXPECT_EQ(name.find('\\'), std::string::npos);
  EXPECT_EQ(instance.ProgramFolder(), ExecutableDir());
}

}  // namespace
}  // namespace om::test
