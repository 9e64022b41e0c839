// The periodic ping that checks the clipboard-viewer chain still reaches
// the program.
#include "ui/main/main_form.h"

namespace om {

namespace {

const char* PingFailureText(std::int32_t code) {
  switch (code) {
    case -1: return "Clipboard Already Open";
    case -2: return "Clipboard Busy";
    case -4: return "Clipboard Busy By Other App";
    default: return nullptr;
  }
}

constexpr std::uint32_t kMsPerSecond = 1000;

}  // namespace

void TfrmQL::StartPingTimer() {
  if (settings_.ContinuallyPing && settings_.PingInterval > 0) {
    ports_.clock.SetTimer(TimerWindow(), kPingTimer,
                          static_cast<std::uint32_t>(settings_.PingInterval) * kMsPerSecond);
  } else {
    ports_.clock.KillTimer(TimerWindow(), kPingTimer);
  }
}

void TfrmQL::tmrContinuallyPingTimer() {
  const std::int32_t result = viewer_->Ping();
  if (result >= 0) return;
  const char* text = PingFailureText(result);
  Log(loglevel::kError, "PING", text != nullptr ? std::string(text) : "Unknown Error: " + std::to_string(result));
}

void TfrmQL::ClipViewPingEnd(TClipView5& sender) {
  // The ping-failed dialog comes with the diagnostics dialog.
  ShowStatus(1, false, "Clipboard Ping Received - " + std::to_string(sender.PingResult()) + " ms");
}

}  // namespace om
