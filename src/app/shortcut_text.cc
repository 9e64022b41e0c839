#include "app/shortcut_text.h"

#include <cstddef>

namespace om {
namespace {

struct KeyName {
  const char* name;
  std::uint8_t vk;
};
constexpr KeyName kKeyNames[] = {
    {"BkSp", 0x08}, {"Tab", 0x09},  {"Enter", 0x0D}, {"Esc", 0x1B},  {"Space", 0x20},
    {"PgUp", 0x21}, {"PgDn", 0x22}, {"End", 0x23},   {"Home", 0x24}, {"Left", 0x25},
    {"Up", 0x26},   {"Right", 0x27}, {"Down", 0x28}, {"Ins", 0x2D},  {"Del", 0x2E},
};
constexpr std::uint8_t kF1 = 0x70;
constexpr int kFunctionKeys = 24;

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  }
  return true;
}

std::optional<std::uint8_t> KeyFromName(std::string_view name) {
  if (name.size() == 1) {
    const char c = AsciiUpper(name[0]);
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return static_cast<std::uint8_t>(c);
    return std::nullopt;
  }
  // F1 to F24, without leading zeros.
  if (AsciiUpper(name[0]) == 'F' && name.size() <= 3 && name[1] >= '1' && name[1] <= '9') {
    int number = 0;
    for (char c : name.substr(1)) {
      if (c < '0' || c > '9') return std::nullopt;
      number = number * 10 + (c - '0');
    }
    if (number > kFunctionKeys) return std::nullopt;
    return static_cast<std::uint8_t>(kF1 + number - 1);
  }
  for (const KeyName& k : kKeyNames) {
    if (SameName(name, k.name)) return k.vk;
  }
  return std::nullopt;
}

std::string NameOfKey(std::uint8_t vk) {
  if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return std::string(1, static_cast<char>(vk));
  if (vk >= kF1 && vk < kF1 + kFunctionKeys) return "F" + std::to_string(vk - kF1 + 1);
  for (const KeyName& k : kKeyNames) {
    if (k.vk == vk) return k.name;
  }
  return {};
}

}  // namespace

std::optional<ShortCut> ParseShortCut(std::string_view text) {
  ShortCut shortcut;
  // Every part before the last plus sign must be a modifier not yet seen.
  std::size_t plus;
  while ((plus = text.find('+')) != std::string_view::npos) {
    const std::string_view part = text.substr(0, plus);
    bool* modifier = SameName(part, "Shift") ? &shortcut.shift
                     : SameName(part, "Ctrl") ? &shortcut.ctrl
                     : SameName(part, "Alt")  ? &shortcut.alt
                                              : nullptr;
    if (modifier == nullptr || *modifier) return std::nullopt;
    *modifier = true;
    text.remove_prefix(plus + 1);
  }
  if (text.empty()) return std::nullopt;
  const std::optional<std::uint8_t> key = KeyFromName(text);
  if (!key) return std::nullopt;
  shortcut.key = *key;
  return shortcut;
}

std::string ShortCutText(const ShortCut& shortcut) {
  const std::string key = NameOfKey(shortcut.key);
  if (key.empty()) return {};
  std::string text;
  if (shortcut.shift) text += "Shift+";
  if (shortcut.ctrl) text += "Ctrl+";
  if (shortcut.alt) text += "Alt+";
  return text + key;
}

}  // namespace om
