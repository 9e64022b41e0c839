// Hot-key shortcuts as the settings store them: modifier names and a key
// name joined by plus signs, "Ctrl+Alt+C", "Shift+Ctrl+Q", "F9".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace om {

struct ShortCut {
  std::uint8_t key = 0;  // virtual-key code
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
  friend bool operator==(const ShortCut&, const ShortCut&) = default;
};

// Reads a shortcut text. Modifiers ("Shift", "Ctrl", "Alt") come first, in
// any order, each at most once; the last part is the key: "A" to "Z", "0"
// to "9", "F1" to "F24", or one of "Space", "Enter", "Esc", "Tab", "BkSp",
// "Ins", "Del", "Home", "End", "PgUp", "PgDn", "Up", "Down", "Left",
// "Right". Names are read regardless of case; nothing else is allowed (no
// spaces). nullopt for an empty text (no hot key) and for any text that is
// not such a shortcut.
std::optional<ShortCut> ParseShortCut(std::string_view text);

// The canonical text: "Shift+", "Ctrl+", "Alt+" in this order, then the
// key's name as listed above. Empty for a key without a name there.
std::string ShortCutText(const ShortCut& shortcut);

}  // namespace om
