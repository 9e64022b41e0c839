// TClipView5: the program's clipboard viewer.
//
// A hidden window of its own joins the clipboard-viewer chain and turns the
// chain's messages into four events for the main window. In between it
// waits `Delay` ms after each change (the owner may still be adding
// formats), tells the program's own clipboard writes from foreign ones,
// drops changes that come too soon after the previous capture (the settle
// window, which breaks feedback loops with other viewers), opens the
// clipboard and reads its formats and source before raising OnCBChange, and
// passes the change on to the next viewer only after its own capture. It
// owns the counted Open/Close of the system clipboard that the rest of the
// program uses, the ignore marker, and the ping that checks the chain still
// reaches it.
//
// Everything runs on the GUI thread. The system calls into the viewer
// re-entrantly from inside SetViewer, ChangeChain and Close (and from inside
// another viewer's send); `Busy`, set around each of the program's own
// actions, is what classes those nested messages as the program's own.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "clipboard/clipboard.h"
#include "platform/clock.h"
#include "platform/locale.h"
#include "platform/process_info.h"
#include "platform/prompts.h"
#include "platform/sound.h"
#include "platform/window_system.h"

namespace om {

// What the viewer reaches the system through. Every reference must outlive
// the viewer. `clipboard` is the clipboard object over the clipboard port
// the viewer opens and closes (normally TheClipboard()).
struct ClipViewPorts {
  IWindowSystem& windows;
  IClock& clock;
  IProcessInfo& processes;
  IPrompts& prompts;
  ISound& sound;
  ILocale& locale;
  TClipboard& clipboard;
};

class TClipView5 final : private IMessageHandler {
 public:
  using Event = std::function<void(TClipView5&)>;

  // Timer numbers on the viewer's window.
  static constexpr std::uint32_t kCaptureTimer = 101;
  static constexpr std::uint32_t kChainChangeTimer = 102;
  static constexpr std::uint32_t kPingArrivedTimer = 103;
  static constexpr std::uint32_t kPingTimeoutTimer = 104;
  static constexpr std::uint32_t kForwardTimer = 105;
  static constexpr std::uint32_t kPingArrivedMs = 100;
  static constexpr std::uint32_t kPingTimeoutMs = 3000;
  // A change message this soon after the last clipboard or chain message
  // (or the last real Close) is the program's own.
  static constexpr double kOwnChangeMs = 250;
  // How long a send to the next viewer may take before it is given up.
  static constexpr std::uint32_t kChainSendTimeoutMs = 5000;

  // Creates the hidden window (not yet in the chain), registers PingFormat
  // and IgnoreFormat and the names source identification looks for, and
  // loads the process-enumeration entry points; warns through `prompts`
  // when none exists. `owner` (the main window, 0 for none) owns the message
  // boxes.
  explicit TClipView5(const ClipViewPorts& ports, WindowHandle owner = 0);
  // Leaves the chain, releases the entry points and destroys the window.
  ~TClipView5() override;
  TClipView5(const TClipView5&) = delete;
  TClipView5& operator=(const TClipView5&) = delete;

  // --- Settings the owner writes -------------------------------------
  // When false a settled change still raises OnCBChange, but the clipboard
  // is not opened and SerialNum, the formats and Creator stay as they were.
  bool Capturing = false;
  std::int32_t Delay = 10;        // ms between a change message and its handling
  std::int32_t SettleTime = 100;  // ms, half-width of the settle window
  bool NoForwarding = false;      // never pass change messages on
  bool CaptureLocalCopy = false;  // while true, the program's own changes count as foreign
  bool DebugBeep = false;         // beep on every change, chain and render message
  // Centre of the settle window, ms since midnight; capture handling may move it.
  std::int32_t WaitUntil = 0;
  // Window titles source identification recognises.
  std::vector<std::string> KnownTitles;

  Event OnCBChange;       // a foreign change has settled
  Event OnRenderFormat;   // another program asked for data promised by this one
  // The system's last call for promised data: the program's window is
  // going, and what it still promises would be lost.
  Event OnRenderAllFormats;
  Event OnCBChainChange;  // `Delay` ms after a foreign chain change
  Event OnPingEnd;        // a ping came back or was given up

  // --- Joining and leaving the chain --------------------------------
  bool Active() const { return active_; }
  void SetActive(bool value);

  // --- The counted clipboard ----------------------------------------
  // Opens the system clipboard with the viewer's window the first time;
  // nested calls only count. Never retries.
  bool Open();
  // Undoes one Open; the last one closes the system clipboard.
  void Close();
  // Empties the open clipboard (the program is then changing it: Busy).
  // False, with nothing changed, when the clipboard is not open here.
  bool clear();
  // Puts the ignore marker on the open clipboard.
  bool SetIgnore();
  // Fills FormatNums and FormatNames from the clipboard.
  void ReadFormats();
  // The number of the first format read whose name equals `name` ignoring
  // case; 0 when there is none.
  std::uint32_t FindFormatNum(std::string_view name) const;

  // --- Source identification (clip_view_source.cc) ------------------
  std::string GetCreator();
  bool GetOwnerWithSnapshot(WindowHandle window, std::string& path);
  bool GetOwnerNT(WindowHandle window, std::string& path);
  std::string GetWindowFileName(WindowHandle window);
  std::string TopWindowName();
  std::string NextInLineName();
  std::string FirstInLineName();

  // --- Format names -------------------------------------------------
  std::string ConvertFormatNum(std::uint32_t number);
  std::uint32_t ConvertFormatName(std::string_view name);

  // --- The ping (clip_view_ping.cc) ---------------------------------
  // 0: sent; -1: the clipboard is open here; -2: the program is changing
  // the clipboard (Busy); -4: the clipboard could not be opened.
  std::int32_t Ping();

  // --- State ----------------------------------------------------------
  const std::string& ErrMsg() const { return err_msg_; }
  std::int32_t OpenRefCount() const { return open_ref_count_; }
  WindowHandle NextViewer() const { return next_viewer_; }
  std::int32_t SerialNum() const { return serial_num_; }
  const std::string& Creator() const { return creator_; }
  const std::vector<std::string>& FormatNums() const { return format_nums_; }
  const std::vector<std::string>& FormatNames() const { return format_names_; }
  bool Busy() const { return busy_; }
  bool IsOpen() const { return is_open_; }
  WindowHandle ChainHandle() const { return chain_handle_; }
  std::int32_t CyclicErrors() const { return cyclic_errors_; }
  double PingSentAt() const { return ping_sent_at_; }
  double PingDoneAt() const { return ping_done_at_; }
  bool PingPending() const { return ping_pending_; }
  std::int32_t PingResult() const { return ping_result_; }
  std::int32_t BadPings() const { return bad_pings_; }
  const std::string& OwnerMethod() const { return owner_method_; }
  const std::string& DLLTools() const { return dll_tools_; }
  double LastUpdate() const { return last_update_; }
  // The viewer's own window.
  WindowHandle Handle() const { return window_; }

 private:
  std::intptr_t OnMessage(WindowHandle self, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam,
                          bool& handled) override;
  void WMDrawClipboard();
  void WMChangeCBChain(WindowHandle removed, WindowHandle next);
  void WMRenderFormat();
  void WMRenderAllFormats();
  void WMTimer(std::uint32_t id);
  void CaptureStep();
  void ForwardDrawClipboard();
  void FinishPing(bool arrived);
  void LoadTools();

  std::int32_t TimeOfDayMs();
  void StartTimer(std::uint32_t id, std::int32_t interval_ms);
  void StopTimer(std::uint32_t id);
  void Beep();
  IClipboardSystem& System() { return clipboard_.System(); }

  IWindowSystem& windows_;
  IClock& clock_;
  IProcessInfo& processes_;
  IPrompts& prompts_;
  ISound& sound_;
  ILocale& locale_;
  TClipboard& clipboard_;
  WindowHandle owner_;
  WindowHandle window_ = 0;
  ProcessTools tools_;

  std::string err_msg_ = "Created";
  std::int32_t open_ref_count_ = 0;
  bool active_ = false;
  WindowHandle next_viewer_ = 0;
  std::int32_t serial_num_ = 0;
  std::string creator_ = "Unknown";
  std::vector<std::string> format_nums_;
  std::vector<std::string> format_names_;
  bool busy_ = false;
  bool is_open_ = false;
  WindowHandle chain_handle_ = 0;
  std::int32_t cyclic_errors_ = 0;
  double ping_sent_at_ = 0;
  double ping_done_at_ = 0;
  bool ping_pending_ = false;
  std::int32_t ping_result_ = 0;
  std::int32_t bad_pings_ = 0;
  std::string owner_method_ = "Unknown";
  std::string dll_tools_;
  double last_update_ = 0;
};

}  // namespace om
