// The world a port contract test runs in: the ports under test plus a
// foreign application to play the other side of the clipboard (and the
// other program whose window and process the program asks about).
//
// Natively the ports are the simulated desktop's fakes and the foreign
// application is a window of that desktop; under Wine they are the Win32
// adapters and the foreign application is a separate process (cliptool.exe).
// The contract cases use only this interface, so the same assertions hold the
// fake and the real system to the same behaviour.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/clipboard_system.h"
#include "platform/clock.h"
#include "platform/key_value_store.h"
#include "platform/locale.h"
#include "platform/process_info.h"
#include "platform/window_system.h"

namespace om::contract {

// One format the foreign application puts on the clipboard. `format_name`
// is either a standard format number in decimal ("1", "13") or a name that
// is registered first ("Contract Test Format").
struct ForeignItem {
  std::string format_name;
  Bytes data;             // portable form (see clipboard_system.h)
  bool promised = false;  // delayed rendering: `data` is what it renders
};

struct ForeignFormat {
  std::uint32_t format = 0;
  std::string registered_name;  // empty for standard formats
  std::optional<Bytes> data;    // nullopt when not requested or not readable
};

class ForeignApp {
 public:
  virtual ~ForeignApp() = default;
  // The foreign application's window handle (its clipboard owner window).
  virtual WindowHandle Window() = 0;
  // The title that window was created with.
  virtual std::string WindowTitle() = 0;
  // Its process id, as the application itself knows it.
  virtual std::uint32_t ProcessId() = 0;
  // The file name of its executable without the folder ("cliptool.exe").
  virtual std::string ExecutableBaseName() = 0;
  // Opens the clipboard with its window, empties it, sets or promises the
  // items in order, closes it. Returns once Close has returned there, which
  // means the first viewer has been sent kDrawClipboard. False on failure.
  virtual bool Put(const std::vector<ForeignItem>& items) = 0;
  // Opens, enumerates every format, reads the data of the formats in
  // `read_formats` (numbers), closes. nullopt when it could not open.
  virtual std::optional<std::vector<ForeignFormat>> Read(const std::vector<std::uint32_t>& read_formats) = 0;
  // Registers a name and reports the number the system gave it.
  virtual std::uint32_t Register(const std::string& name) = 0;
  // Opens the clipboard and keeps it open until Release.
  virtual bool HoldOpen() = 0;
  virtual bool Release() = 0;
  // Joins the viewer chain; a swallowing viewer never forwards kDrawClipboard.
  // A passing one forwards every kDrawClipboard, the one that arrives while
  // it joins included (it takes the head of the chain as its next first).
  virtual bool JoinChain(bool swallow) = 0;
  virtual bool LeaveChain() = 0;
  // kDrawClipboard messages its window has received since it joined.
  virtual int DrawClipboardCount() = 0;
  // Number of kRenderFormat requests it has answered.
  virtual int RenderCount() = 0;
  // Its window stops answering messages for `ms` (a hung program); the
  // call itself returns at once.
  virtual bool Hang(std::uint32_t ms) = 0;
};

class ContractEnv {
 public:
  virtual ~ContractEnv() = default;
  virtual IClipboardSystem& Clipboard() = 0;
  virtual IWindowSystem& Windows() = 0;
  virtual IClock& Clock() = 0;
  virtual IKeyValueStore& Store() = 0;
  // A fresh instance: no entry points loaded yet.
  virtual IProcessInfo& Processes() = 0;
  // The process the test (the program under test) runs as.
  virtual std::uint32_t OwnProcessId() = 0;
  virtual ILocale& Locale() = 0;

  // Processes messages (natively: advances virtual time in small steps) until
  // `condition` holds or `timeout_ms` have passed; returns `condition()`.
  virtual bool WaitFor(const std::function<bool()>& condition, std::uint32_t timeout_ms) = 0;
  // Lets `ms` pass while processing messages (natively: virtual time).
  virtual void Pump(std::uint32_t ms) = 0;

  // A new foreign application; it leaves the chain and ends when destroyed.
  virtual std::unique_ptr<ForeignApp> StartForeign() = 0;

  // A registry key below which a test may write; it is deleted before the
  // test starts and after it ends.
  virtual std::string ScratchKey() = 0;
};

// Provided once per test executable: the native one builds the simulated
// desktop, the Windows one the Win32 adapters.
std::unique_ptr<ContractEnv> MakeContractEnv();

}  // namespace om::contract
