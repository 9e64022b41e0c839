#include "clipboard/clip_view.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <stdexcept>

#include "app/app_log.h"
#include "clipboard/format_names.h"
#include "platform/datetime.h"
#include "platform/text_case.h"

namespace om {

namespace {

constexpr char kOwnCreator[] = "Quillark";
constexpr char kIgnoreMarkerText[] = "Ignore This Data From Quillark 5";
constexpr std::size_t kIgnoreMarkerSize = 64;

// Names other programs register that source identification looks for;
// registered up front so that they have numbers when it does.
constexpr const char* kFingerprintNames[] = {"VBControls", "Ami Text Format", "WordPerfect 6 Text",
                                             "WordPerfect 7 Text"};

const char* SendFailure(SendStatus status) {
  switch (status) {
    case SendStatus::kTimedOut:
      return "timed out (the window is hung or busy)";
    case SendStatus::kNoWindow:
      return "failed: the window no longer exists";
    default:
      return "failed";
  }
}

std::string HandleText(WindowHandle window) { return std::to_string(window); }

}  // namespace

TClipView5::TClipView5(const ClipViewPorts& ports, WindowHandle owner)
    : KnownTitles{"Microsoft Visual Basic",
                  "Microsoft Exchange",
                  "Microsoft Internet Explorer",
                  "Notepad",
                  "Micrografx Picture Publisher",
                  "ThumbsPlus",
                  "EXTRA!"},
      windows_(ports.windows),
      clock_(ports.clock),
      processes_(ports.processes),
      prompts_(ports.prompts),
      sound_(ports.sound),
      locale_(ports.locale),
      clipboard_(ports.clipboard),
      owner_(owner) {
  window_ = windows_.CreateHidden(*this, "ClipView");
  if (window_ == 0) throw std::runtime_error("The clipboard viewer's window could not be created");
  try {
    PingFormat = System().RegisterFormat(kPingFormatName);
    IgnoreFormat = System().RegisterFormat(kIgnoreFormatName);
    for (const char* name : kFingerprintNames) ConvertFormatName(name);
    LoadTools();
    cyclic_errors_ = 0;
    WaitUntil = TimeOfDayMs() + SettleTime;
  } catch (...) {
    // No destructor runs for a half-made viewer: the window must not
    // outlive its handler.
    processes_.ReleaseTools();
    windows_.Destroy(window_);
    throw;
  }
}

TClipView5::~TClipView5() {
  SetActive(false);
  processes_.ReleaseTools();
  // Timers die with the window.
  windows_.Destroy(window_);
}

std::int32_t TClipView5::TimeOfDayMs() { return MillisecondsSinceMidnight(clock_.Now()); }

void TClipView5::StartTimer(std::uint32_t id, std::int32_t interval_ms) {
  clock_.SetTimer(window_, id, interval_ms > 0 ? static_cast<std::uint32_t>(interval_ms) : 0);
}

void TClipView5::StopTimer(std::uint32_t id) { clock_.KillTimer(window_, id); }

void TClipView5::Beep() {
  if (DebugBeep) sound_.Beep();
}

std::string TClipView5::ConvertFormatNum(std::uint32_t number) { return om::ConvertFormatNum(System(), number); }

std::uint32_t TClipView5::ConvertFormatName(std::string_view name) { return om::ConvertFormatName(System(), name); }

// --- Messages ----------------------------------------------------------

std::intptr_t TClipView5::OnMessage(WindowHandle /*self*/, std::uint32_t message, std::uintptr_t wparam,
                                    std::intptr_t lparam, bool& handled) {
  switch (message) {
    case msg::kDrawClipboard:
      WMDrawClipboard();
      return 0;
    case msg::kChangeCbChain:
      WMChangeCBChain(static_cast<WindowHandle>(wparam), static_cast<WindowHandle>(lparam));
      return 0;
    case msg::kRenderFormat:
      WMRenderFormat();
      return 0;
    case msg::kRenderAllFormats:
      WMRenderAllFormats();
      return 0;
    case msg::kTimer:
      WMTimer(static_cast<std::uint32_t>(wparam));
      return 0;
    default:
      handled = false;
      return 0;
  }
}

void TClipView5::WMDrawClipboard() {
  Beep();
  const double now = clock_.Now();
  const double elapsed_ms = (now - last_update_) * kMillisecondsPerDay;
  StopTimer(kPingArrivedTimer);
  StopTimer(kPingTimeoutTimer);

  bool handled = false;
  if (ping_pending_ && PingFormat != 0 && System().IsFormatAvailable(PingFormat)) {
    // Our ping came back through the chain: not captured, not passed on.
    StartTimer(kPingArrivedTimer, kPingArrivedMs);
    handled = true;
  } else if (!CaptureLocalCopy && (busy_ || (elapsed_ms >= 0 && elapsed_ms < kOwnChangeMs))) {
    // Our own change (or its echo through the chain). A clock set back
    // between two messages is no reason to take a change for our own, so
    // only a real, short interval counts.
    creator_ = kOwnCreator;
  } else if (active_) {
    StartTimer(kCaptureTimer, Delay);
    handled = true;
  } else {
    // A change message while not in the chain: the chain is broken.
    prompts_.ShowMessage("Error in DrawClipboard: Chain Error", "Quillark Error - ClipView", MsgButtons::kOk,
                        MsgIcon::kError, owner_);
    System().ChangeChain(chain_handle_, 0);
  }
  ping_done_at_ = clock_.Now();
  ping_pending_ = false;
  if (!handled) StartTimer(kForwardTimer, Delay);
  last_update_ = now;
}

void TClipView5::WMChangeCBChain(WindowHandle removed, WindowHandle next) {
  last_update_ = clock_.Now();
  Beep();
  if (busy_) {
    // The echo of our own join or leave: neither passed on nor announced.
    creator_ = kOwnCreator;
    return;
  }
  if (removed == next_viewer_) {
    next_viewer_ = next;
  } else if (next_viewer_ != 0 && next_viewer_ != window_) {
    // A hung next viewer must not hang us: the send gives up after a while.
    const SendResult sent = windows_.SendWithTimeout(next_viewer_, msg::kChangeCbChain, removed,
                                                     static_cast<std::intptr_t>(next), kChainSendTimeoutMs);
    if (sent.status != SendStatus::kOk) {
      Log(loglevel::kChain, "TClipView5.WMChangeCBChain",
          std::string("Passing WM_CHANGECBCHAIN to the next viewer ") + HandleText(next_viewer_) + " " +
              SendFailure(sent.status));
    }
  }
  StartTimer(kChainChangeTimer, Delay);
}

void TClipView5::WMRenderFormat() {
  last_update_ = clock_.Now();
  Beep();
  if (OnRenderFormat) OnRenderFormat(*this);
}

void TClipView5::WMRenderAllFormats() {
  last_update_ = clock_.Now();
  Beep();
  if (OnRenderAllFormats) OnRenderAllFormats(*this);
}

void TClipView5::WMTimer(std::uint32_t id) {
  switch (id) {
    case kCaptureTimer:
      CaptureStep();
      break;
    case kChainChangeTimer:
      StopTimer(kChainChangeTimer);
      if (OnCBChainChange) OnCBChainChange(*this);
      break;
    case kPingArrivedTimer:
      StopTimer(kPingArrivedTimer);
      FinishPing(true);
      break;
    case kPingTimeoutTimer:
      StopTimer(kPingArrivedTimer);
      StopTimer(kPingTimeoutTimer);
      ping_done_at_ = clock_.Now();
      ping_pending_ = false;
      FinishPing(false);
      break;
    case kForwardTimer:
      StopTimer(kForwardTimer);
      ForwardDrawClipboard();
      break;
    default:
      break;
  }
}

void TClipView5::CaptureStep() {
  StopTimer(kCaptureTimer);
  // Milliseconds since midnight on both sides: just after midnight the
  // distance to a centre set before it is large, and nothing is dropped.
  const std::int64_t t = TimeOfDayMs();
  if (std::llabs(t - static_cast<std::int64_t>(WaitUntil)) < SettleTime) {
    ++cyclic_errors_;
    return;
  }
  bool opened = false;
  if (Capturing) {
    opened = Open();
    ++serial_num_;
    ReadFormats();
    creator_ = GetCreator();
  }
  if (OnCBChange) {
    try {
      OnCBChange(*this);
    } catch (...) {
      // Whatever the handler ran into, the system clipboard must not stay
      // open (every other program would be locked out of it), also when
      // the handler's own nested opens never got their Close.
      while (open_ref_count_ > 0) Close();
      throw;
    }
  }
  if (!opened) {
    err_msg_ += "  (In WMTimer 101 - Clipboard Not Open)";
  } else {
    Close();
  }
  WaitUntil = TimeOfDayMs() + SettleTime;
  ForwardDrawClipboard();
}

void TClipView5::ForwardDrawClipboard() {
  if (next_viewer_ == 0 || next_viewer_ == window_ || NoForwarding) return;
  // A hung next viewer must not hang us: the send gives up after a while.
  const SendResult sent = windows_.SendWithTimeout(next_viewer_, msg::kDrawClipboard, 0, 0, kChainSendTimeoutMs);
  if (sent.status != SendStatus::kOk) {
    Log(loglevel::kChain, "TClipView5.ForwardDrawClipboard",
        std::string("Passing WM_DRAWCLIPBOARD to the next viewer ") + HandleText(next_viewer_) + " " +
            SendFailure(sent.status));
  }
}

// --- The chain ---------------------------------------------------------

void TClipView5::SetActive(bool value) {
  busy_ = true;
  if (value) {
    chain_handle_ = window_;
    // The system sends us WM_DRAWCLIPBOARD before this returns; Busy makes
    // it our own, so what is on the clipboard now is not captured.
    next_viewer_ = System().SetViewer(window_);
    err_msg_ = "(ClipView Set Listening On)";
  } else if (active_) {
    System().ChangeChain(chain_handle_, next_viewer_);
    next_viewer_ = 0;
    creator_ = "Unknown";
    err_msg_ = "(ClipView Set Listening Off)";
  }
  active_ = value;
  busy_ = false;
}

// --- The counted clipboard ---------------------------------------------

bool TClipView5::Open() {
  bool result = false;
  if (open_ref_count_ == 0) {
    if (System().Open(window_) == ClipStatus::kOk) {
      is_open_ = true;
      busy_ = true;
      ++open_ref_count_;
      result = true;
    }
  } else if (is_open_) {
    ++open_ref_count_;
    result = true;
  }
  err_msg_ = result ? "(Open - Clipboard Open Ok. " : "(Open - Could Not Open Clipboard. ";
  err_msg_ += "  OpenCount: " + std::to_string(open_ref_count_) + ")";
  return result;
}

void TClipView5::Close() {
  if (open_ref_count_ == 0) {
    err_msg_ += "  (Close - ClipView Close Ok by Default, as Refcount was already 0.)";
    return;
  }
  --open_ref_count_;
  if (open_ref_count_ > 0) return;
  is_open_ = false;
  // Set before closing: a change message that reaches us later, through
  // other viewers, is then still within the own-change interval.
  last_update_ = clock_.Now();
  System().Close();
  busy_ = false;
  err_msg_ += "  (Close - ClipView Close Ok.)";
}

bool TClipView5::clear() {
  // Only an open clipboard can be emptied; marking the program busy without
  // one would leave Busy set with no Close to clear it, and every later
  // change would be taken for our own.
  if (!is_open_ || clipboard_.Clear() != ClipStatus::kOk) {
    err_msg_ += "  (ClipView Clear Failed.)";
    return false;
  }
  busy_ = true;
  err_msg_ += "  (ClipView Cleared Ok.)";
  return true;
}

bool TClipView5::SetIgnore() {
  if (!is_open_) return false;
  char block[kIgnoreMarkerSize] = {};
  static_assert(sizeof(kIgnoreMarkerText) <= kIgnoreMarkerSize);
  std::copy(std::begin(kIgnoreMarkerText), std::end(kIgnoreMarkerText), block);
  return clipboard_.PutBuffer(IgnoreFormat, block, sizeof(block)) == ClipStatus::kOk;
}

void TClipView5::ReadFormats() {
  format_nums_.clear();
  format_names_.clear();
  if (!is_open_) {
    err_msg_ = "(Error in ReadFormats - Clipboard Not Open.  OpenCount: " + std::to_string(open_ref_count_) + ")";
  }
  // On a closed clipboard the count is still the system's and every format
  // reads as 0; the lists say so rather than stay stale.
  const std::int32_t count = clipboard_.FormatCount();
  for (std::int32_t i = 0; i < count; ++i) {
    const std::uint32_t format = clipboard_.FormatAt(i);
    format_nums_.push_back(std::to_string(format));
    format_names_.push_back(ConvertFormatNum(format));
  }
}

std::uint32_t TClipView5::FindFormatNum(std::string_view name) const {
  for (std::size_t i = 0; i < format_names_.size() && i < format_nums_.size(); ++i) {
    if (!SameTextIgnoringCase(format_names_[i], name)) continue;
    std::uint32_t number = 0;
    const std::string& text = format_nums_[i];
    std::from_chars(text.data(), text.data() + text.size(), number);
    return number;
  }
  return 0;
}

}  // namespace om
