// The formats the system derives from others when a changed clipboard is
// closed, in the order it lists them, and the conversions behind them.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/types.h"

namespace om::fake {

struct SynthesisRule {
  std::uint32_t format;
  std::vector<std::uint32_t> sources;  // in order of preference
};

// Listed after the formats that were set: CF_LOCALE (a real format the
// system adds when there is text and no locale), then these, in this order,
// for each one missing whose source is present.
const std::vector<SynthesisRule>& SynthesisRules();

// `data` of `source` converted to `target`; nullopt when the desktop cannot
// convert it (metafile pictures to enhanced metafiles and back).
std::optional<Bytes> ConvertClipboardData(std::uint32_t source, std::uint32_t target, const Bytes& data);

// Text in code page 1252 (up to the first NUL) to UTF-16LE with a NUL, and back
// ('?' for what 1252 cannot hold). The OEM code page is taken to be the same.
Bytes AnsiToUtf16(std::span<const std::uint8_t> ansi);
Bytes Utf16ToAnsi(std::span<const std::uint8_t> utf16);

}  // namespace om::fake
