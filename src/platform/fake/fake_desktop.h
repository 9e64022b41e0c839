// The simulated desktop: windows, one clipboard with its viewer chain, a
// virtual clock, a registry, the processes behind the windows, message boxes
// and sounds, wired together as the real system wires them. Tests build one, hand its ports to the code under test and play the
// other programs on the desktop through windows of other processes.
#pragma once

#include <cstdint>

#include "platform/fake/fake_clipboard.h"
#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_key_value_store.h"
#include "platform/fake/fake_process_info.h"
#include "platform/fake/fake_prompts.h"
#include "platform/fake/fake_sound.h"
#include "platform/fake/fake_windows.h"

namespace om::fake {

class FakeDesktop {
 public:
  // The process the program under test runs as.
  static constexpr std::uint32_t kOwnProcessId = 0x1000;
  // Its executable, as PSAPI names it; known to Processes() from the start.
  static constexpr char kOwnModulePath[] = "C:\\Program Files\\Ottermoor\\Ottermoor.exe";

  FakeDesktop();
  FakeDesktop(const FakeDesktop&) = delete;
  FakeDesktop& operator=(const FakeDesktop&) = delete;

  FakeWindowSystem& Windows() { return windows_; }
  FakeClock& Clock() { return clock_; }
  FakeKeyValueStore& Store() { return store_; }
  // The clipboard as the program under test sees it.
  IClipboardSystem& Clipboard() { return clipboard_.ForProcess(kOwnProcessId); }
  // The clipboard as another simulated process sees it.
  IClipboardSystem& ClipboardFor(std::uint32_t process_id) { return clipboard_.ForProcess(process_id); }
  FakeClipboard& SharedClipboard() { return clipboard_; }
  FakeProcessInfo& Processes() { return processes_; }
  FakePrompts& Prompts() { return prompts_; }
  FakeSound& Sound() { return sound_; }

  // A process id not used before, for another program on the desktop.
  std::uint32_t NewProcessId() { return next_process_id_ += 4; }

 private:
  // Declared first: the clipboard and the clock listen to its windows.
  FakeWindowSystem windows_;
  FakeClipboard clipboard_;
  FakeClock clock_;
  FakeKeyValueStore store_;
  FakeProcessInfo processes_;
  FakePrompts prompts_;
  FakeSound sound_;
  std::uint32_t next_process_id_ = kOwnProcessId;
};

}  // namespace om::fake
