// The keyboard adapter and the keystroke sender on the real system: the
// layout's answers, and key strings typed into edit controls of this thread
// and of another one (as into another program), with activation and focus.
#include "platform/win32/keyboard.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

#include "child_process.h"
#include "clipboard/send_key.h"
#include "platform/win32/clock.h"
#include "platform/win32/handles.h"
#include "platform/win32/window_system.h"

namespace om::test {
namespace {

constexpr std::uint32_t kWaitMs = 20000;

// The desktop the tests run on has a US keyboard, the layout the simulated
// keyboard copies; these are the answers the sender's tests rely on.
TEST(Keyboard, TheLayoutsKeysAndScanCodes) {
  win32::Win32Keyboard keyboard;
  const struct {
    char c;
    std::int16_t key;
  } keys[] = {{'v', 0x56},   {'V', 0x156},  {' ', 0x20},  {'7', 0x37}, {'&', 0x137}, {'~', 0x1C0},
              {'{', 0x1DB},  {'}', 0x1DD},  {'@', 0x132}, {'^', 0x136}, {'\t', 0x09}, {'\r', 0x0D},
              {'\xE9', -1}};  // e-acute: no key on a US keyboard
  for (const auto& k : keys) EXPECT_EQ(keyboard.KeyForChar(k.c), k.key) << static_cast<int>(k.c);

  // Wine gives the E0 prefix of a scan code only for the right-hand Ctrl
  // and Alt, not for the arrows and the navigation block (which is why the
  // sender keeps its own list of extended keys): only the low byte is
  // compared for those.
  const struct {
    std::uint8_t vk;
    std::uint8_t scan;
  } scans[] = {{'V', 0x2F},         {'E', 0x12},        {VK_RETURN, 0x1C}, {VK_CONTROL, 0x1D},
               {VK_MENU, 0x38},     {VK_SHIFT, 0x2A},   {VK_SPACE, 0x39},  {VK_F12, 0x58},
               {VK_LEFT, 0x4B},     {VK_DELETE, 0x53},  {VK_HOME, 0x47},   {VK_NEXT, 0x51}};
  for (const auto& s : scans) EXPECT_EQ(keyboard.ScanCode(s.vk) & 0xFF, s.scan) << static_cast<int>(s.vk);
  EXPECT_EQ(keyboard.ScanCode(VK_RCONTROL), 0xE01D);
}

const char kFrameClass[] = "OttermoorKeyboardTestFrame";

void RegisterFrameClass() {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = ::DefWindowProcA;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kFrameClass;
  ::RegisterClassExA(&wc);  // the second test finds it registered already
}

// A top-level window with two multi-line edits, the first focused.
struct EditFrame {
  HWND frame = nullptr;
  HWND first = nullptr;
  HWND second = nullptr;

  bool Create(const char* title, int x) {
    RegisterFrameClass();
    frame = ::CreateWindowExA(0, kFrameClass, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, 100, 400, 300, nullptr,
                              nullptr, ::GetModuleHandleA(nullptr), nullptr);
    if (!frame) return false;
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
    first = ::CreateWindowExA(0, "EDIT", "", style, 10, 10, 360, 100, frame, nullptr, nullptr, nullptr);
    second = ::CreateWindowExA(0, "EDIT", "", style, 10, 120, 360, 100, frame, nullptr, nullptr, nullptr);
    if (!first || !second) return false;
    ::SetFocus(first);
    return true;
  }
  void Destroy() {
    if (frame) ::DestroyWindow(frame);
    frame = first = second = nullptr;
  }
};

// The edit frame on a thread of its own, with its own message loop: the
// keys typed into it go to another thread's input queue, as into another
// program.
class ForeignFrame {
 public:
  bool Start() {
    ready_.reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!ready_) return false;
    thread_ = std::thread([this] {
      thread_id_ = ::GetCurrentThreadId();
      // The queue exists before anyone posts to it.
      MSG m;
      ::PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);
      const bool created = edits_.Create("foreign", 500);
      ::SetEvent(ready_.get());
      if (created) {
        while (::GetMessageA(&m, nullptr, 0, 0) > 0) {
          ::TranslateMessage(&m);
          ::DispatchMessageA(&m);
        }
      }
      edits_.Destroy();
    });
    ::WaitForSingleObject(ready_.get(), kWaitMs);
    return edits_.second != nullptr;
  }
  ~ForeignFrame() {
    if (thread_.joinable()) {
      ::PostThreadMessageA(thread_id_, WM_QUIT, 0, 0);
      thread_.join();
    }
  }
  const EditFrame& edits() const { return edits_; }

 private:
  win32::KernelHandle ready_;
  std::thread thread_;
  DWORD thread_id_ = 0;
  EditFrame edits_;
};

std::string Text(HWND window) {
  char text[512] = {};
  ::GetWindowTextA(window, text, sizeof text);
  return text;
}

// The window with the keyboard focus in the thread of `window`.
HWND FocusOfThread(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

bool AllModifiersUp() {
  for (int key : {VK_SHIFT, VK_CONTROL, VK_MENU}) {
    if (::GetAsyncKeyState(key) & 0x8000) return false;
  }
  return true;
}

void PutTextOnClipboard(HWND owner, const std::string& text) {
  ASSERT_TRUE(PumpUntil([&] { return ::OpenClipboard(owner) != FALSE; }, kWaitMs));
  ::EmptyClipboard();
  win32::GlobalBlock block = win32::AllocateGlobal(text.size() + 1);
  ASSERT_TRUE(block);
  {
    win32::GlobalLockGuard lock(block.get());
    ASSERT_TRUE(lock);
    std::memcpy(lock.data(), text.c_str(), text.size() + 1);
  }
  if (::SetClipboardData(CF_TEXT, block.get())) static_cast<void>(block.release());
  ::CloseClipboard();
}

class KeyboardTypingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TSendKey::ClearPendingModifiers();
    // Something else is in front to begin with: the sender must bring the
    // target forward itself.
    ASSERT_TRUE(other_.Create("other", 50));
    ::SetForegroundWindow(other_.frame);
    ASSERT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == other_.frame; }, kWaitMs));
  }
  void TearDown() override {
    PumpUntil(AllModifiersUp, kWaitMs);
    other_.Destroy();
  }

  win32::Win32Keyboard keyboard_;
  win32::Win32Clock clock_;
  TSendKey sender_{keyboard_, clock_};
  EditFrame other_;
};

TEST_F(KeyboardTypingTest, TypesIntoTheControlItActivatesInThisThread) {
  EditFrame target;
  ASSERT_TRUE(target.Create("target", 500));
  EXPECT_EQ(sender_.SendKeysTo("Hello{ENTER}~world", win32::FromHwnd(target.second)), 0);
  EXPECT_EQ(::GetForegroundWindow(), target.frame);
  EXPECT_EQ(::GetFocus(), target.second);
  EXPECT_TRUE(PumpUntil([&] { return Text(target.second) == "Hello\r\nWorld"; }, kWaitMs))
      << "\"" << Text(target.second) << "\"";
  EXPECT_EQ(Text(target.first), "");
  target.Destroy();
}

TEST_F(KeyboardTypingTest, TypesIntoTheControlOfAnotherThreadAndPastesWithCtrlV) {
  // The new window takes the foreground from its own thread while this one
  // is not looking: the notice that our window lost it is still waiting
  // here when the sender attaches to the target's input (the adapter must
  // deliver it first, or it deactivates the target).
  ForeignFrame foreign;
  ASSERT_TRUE(foreign.Start());
  const EditFrame& target = foreign.edits();

  EXPECT_EQ(sender_.SendKeysTo("Hello{ENTER}~world", win32::FromHwnd(target.second)), 0);
  EXPECT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == target.frame; }, kWaitMs));
  EXPECT_EQ(FocusOfThread(target.frame), target.second);
  EXPECT_TRUE(PumpUntil([&] { return Text(target.second) == "Hello\r\nWorld"; }, kWaitMs))
      << "\"" << Text(target.second) << "\"";
  EXPECT_EQ(Text(target.first), "");

  // Ctrl shortcuts: to the start, select to the end (Ctrl+Shift+End), and
  // paste over it what the clipboard holds.
  PutTextOnClipboard(other_.frame, "pasted");
  EXPECT_EQ(sender_.SendKeysTo("^{HOME}^~{END}^V", win32::FromHwnd(target.second)), 0);
  EXPECT_TRUE(PumpUntil([&] { return Text(target.second) == "pasted"; }, kWaitMs))
      << "\"" << Text(target.second) << "\"";
  EXPECT_TRUE(PumpUntil(AllModifiersUp, kWaitMs));

  // Home, then Right twice (as {RIGHT} and {R}), and a character typed
  // there.
  EXPECT_EQ(sender_.SendKeysTo("{HOME}{RIGHT}{R}-", win32::FromHwnd(target.second)), 0);
  EXPECT_TRUE(PumpUntil([&] { return Text(target.second) == "pa-sted"; }, kWaitMs))
      << "\"" << Text(target.second) << "\"";
}

}  // namespace
}  // namespace om::test
