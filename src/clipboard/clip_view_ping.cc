// The chain ping: a private format added to the clipboard, whose change
// message must come back through the whole chain to the viewer.
#include <algorithm>
#include <cmath>
#include <string>

#include "clipboard/clip_view.h"
#include "clipboard/format_names.h"
#include "platform/datetime.h"

namespace om {

namespace {
constexpr std::size_t kPingBlockSize = 32;
constexpr std::int32_t kPingLost = -8;
}  // namespace

std::int32_t TClipView5::Ping() {
  if (is_open_) {
    err_msg_ += "  (ClipView Ping - error Clipboard Open by ME!)";
    return -1;
  }
  if (busy_) {
    err_msg_ += "  (ClipView Ping - error Detected My Own Echo.)";
    return -2;
  }
  if (!Open()) {
    err_msg_ += "  (ClipView Ping - error cannot open clipboard)";
    return -4;
  }
  ping_sent_at_ = clock_.Now();
  ping_done_at_ = 0;
  // Added to whatever the clipboard holds, never emptying it.
  std::string text = "Ping:" + FormatDateTimePicture(DecodeDateTime(ping_sent_at_), locale_.LongTimeFormat());
  char block[kPingBlockSize] = {};
  std::copy_n(text.begin(), std::min(text.size(), kPingBlockSize - 1), block);
  (void)clipboard_.PutBuffer(PingFormat, block, sizeof(block));
  SetIgnore();
  ping_pending_ = true;
  StartTimer(kPingTimeoutTimer, kPingTimeoutMs);
  // Closing announces the change to the chain; when we are at its head the
  // change message comes back before Close returns.
  Close();
  return 0;
}

void TClipView5::FinishPing(bool arrived) {
  if (arrived) {
    // Seconds and milliseconds of the round trip; a clock set back in
    // between counts as no time at all.
    const double elapsed = std::max(0.0, (ping_done_at_ - ping_sent_at_) * kMillisecondsPerDay);
    const auto ms = static_cast<std::int64_t>(std::llround(elapsed));
    bad_pings_ = 0;
    ping_result_ = static_cast<std::int32_t>(ms % 60'000);
  } else {
    ++bad_pings_;
    ping_result_ = kPingLost;
  }
  if (OnPingEnd) OnPingEnd(*this);
}

}  // namespace om
