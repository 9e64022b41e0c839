// The simulated desktop's keyboard: a US layout, and every synthetic event
// recorded instead of typed.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/keyboard.h"

namespace om::fake {

struct KeyStroke {
  std::uint8_t vk = 0;
  std::uint8_t scan = 0;
  bool key_up = false;
  bool extended = false;
  friend bool operator==(const KeyStroke&, const KeyStroke&) = default;
};

class FakeKeyboard final : public IKeyboard {
 public:
  // The US layout (the one the system's own US keyboard table gives).
  FakeKeyboard();

  std::int16_t KeyForChar(char c) override;
  std::uint16_t ScanCode(std::uint8_t vk) override;
  void KeyEvent(std::uint8_t vk, std::uint8_t scan, bool key_up, bool extended) override;
  void Activate(WindowHandle window) override;

  // Changes the layout's key for one character (-1: the layout has none),
  // e.g. a layout that types "@" as Ctrl+Alt+Q (0x0651).
  void SetKey(char c, std::int16_t key) { keys_[static_cast<unsigned char>(c)] = key; }
  // false: scan codes come without their E0 prefix, as some layouts (and
  // Wine) answer them.
  void SetScanPrefixes(bool given) { scan_prefixes_ = given; }

  // Everything that happened, oldest first, as text: "Ctrl down", "V up",
  // "Left down extended", "Activate 42" (the window handle in decimal).
  const std::vector<std::string>& Events() const { return events_; }
  // The key events alone, as they were given.
  const std::vector<KeyStroke>& Strokes() const { return strokes_; }
  void Clear() {
    events_.clear();
    strokes_.clear();
  }

  // The name the log gives a virtual key: "A", "7", "Ctrl", "Space", "F12",
  // "Left"; "VK 0xNN" for keys without one.
  static std::string KeyName(std::uint8_t vk);

 private:
  std::array<std::int16_t, 256> keys_{};
  bool scan_prefixes_ = true;
  std::vector<std::string> events_;
  std::vector<KeyStroke> strokes_;
};

}  // namespace om::fake
