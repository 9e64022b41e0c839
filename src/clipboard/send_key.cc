#include "clipboard/send_key.h"

#include <iterator>
#include <string>

#include "app/app_log.h"

namespace om {
namespace {

constexpr char kNoClosingBrackets[] = "No Closing brackets";
constexpr char kInvalidToken[] = "Invalid token";

// The names between braces and their virtual keys, searched in this order.
// SHIFT is in the table twice; the search always stops at the first.
struct NamedKey {
  const char* name;
  std::uint8_t vk;
};
constexpr NamedKey kNamedKeys[] = {
    {"CTRL", 17},   {"ALT", 18},    {"MENU", 18},   {"SHIFT", 16},  {"SPACE", 32},  {"F1", 112},
    {"F2", 113},    {"F3", 114},    {"F4", 115},    {"F5", 116},    {"F6", 117},    {"F7", 118},
    {"F8", 119},    {"F9", 120},    {"F10", 121},   {"F11", 122},   {"F12", 123},   {"INSERT", 45},
    {"DELETE", 46}, {"DEL", 46},    {"HOME", 36},   {"END", 35},    {"PGUP", 33},   {"PGDN", 34},
    {"TAB", 9},     {"ENTER", 13},  {"BKSP", 8},    {"PRTSC", 44},  {"SHIFT", 16},  {"ESCAPE", 27},
    {"ESC", 27},    {"UP", 38},     {"DOWN", 40},   {"LEFT", 37},   {"RIGHT", 39},  {"DN", 40},
    {"L", 37},      {"R", 39},
};
static_assert(std::size(kNamedKeys) == 38);

// Shift states of the layout (the high byte of VkKeyScan).
constexpr std::uint8_t kNeedsShift = 1;
constexpr std::uint8_t kNeedsCtrl = 2;
constexpr std::uint8_t kNeedsAlt = 4;

std::string AsciiUpper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

// Keys that send the E0 prefix (or E1, for Pause) and so must be injected
// with the extended-key flag: without it, a program that goes by the scan
// code takes Left for the keypad's 4, Delete for its decimal point, right
// Ctrl for the left one. Ordinary keys such as V (scan code 0x2F) are never
// extended.
// Wine's answer for the scan code leaves the prefix out for every key but
// the right-hand Ctrl and Alt, so the prefix alone is not enough: the keys
// the system documents as extended are listed here as well.
bool IsExtendedKey(std::uint8_t vk, std::uint16_t scan) {
  const std::uint16_t prefix = scan & 0xFF00;
  if (prefix == 0xE000 || prefix == 0xE100) return true;
  switch (vk) {
    case 0x03:                       // Break (Ctrl+Pause)
    case 0x21: case 0x22:            // Page Up, Page Down
    case 0x23: case 0x24:            // End, Home
    case 0x25: case 0x26:            // Left, Up
    case 0x27: case 0x28:            // Right, Down
    case 0x2C:                       // Print Screen
    case 0x2D: case 0x2E:            // Insert, Delete
    case 0x5B: case 0x5C: case 0x5D: // the Windows keys and the menu key
    case 0x6F:                       // the keypad's divide
    case 0x90:                       // Num Lock
    case 0xA3: case 0xA5:            // right Ctrl, right Alt
      return true;
    default:
      // The browser, volume, media and launch keys.
      return vk >= 0xA6 && vk <= 0xB7;
  }
}

}  // namespace

TSendKey::PendingModifiers TSendKey::pending_;

void TSendKey::ClearPendingModifiers() { pending_ = PendingModifiers{}; }

std::int32_t TSendKey::SendKeysTo(std::string_view keys, WindowHandle window) {
  if (window != 0) keyboard_.Activate(window);
  return SendKeys(keys);
}

std::int32_t TSendKey::SendKeys(std::string_view keys) {
  if (keys.empty()) return -1;
  // A key string is at most 255 characters; of a longer one only the first
  // 255 are read and the rest is ignored, as a text field of that size
  // would have kept it. The program's own strings are a few characters.
  keys = keys.substr(0, kMaxKeys);

  for (std::size_t i = 0; i < keys.size(); ++i) {
    const char c = keys[i];
    switch (c) {
      case '@':
      case '^':
      case '~':
        if (TokensOnly) {
          TypeCharacter(c);
        } else if (c == '@') {
          pending_.alt = true;
        } else if (c == '^') {
          pending_.ctrl = true;
        } else {
          pending_.shift = true;
        }
        break;
      case '{':
        if (keys.size() == 1) {
          TypeCharacter(c);
        } else {
          i = ReadToken(keys, i);
        }
        break;
      case '}':
        if (keys.size() != 1) throw ESendKeyError(kInvalidToken);
        TypeCharacter(c);
        break;
      default:
        TypeCharacter(c);
        break;
    }
  }
  clock_.ProcessMessages();
  return 0;
}

std::size_t TSendKey::ReadToken(std::string_view keys, std::size_t open) {
  // The name runs up to the next "}": at most seven characters, and the
  // string must not end before the brace.
  std::size_t close = open + 1;
  while (close < keys.size() && keys[close] != '}') {
    if (close - open - 1 == kMaxTokenLength) throw ESendKeyError(kNoClosingBrackets);
    ++close;
  }
  if (close == keys.size()) throw ESendKeyError(kNoClosingBrackets);
  const std::string_view token = keys.substr(open + 1, close - open - 1);

  // Found by its upper-cased name ...
  const std::string upper = AsciiUpper(token);
  const NamedKey* named = nullptr;
  for (const NamedKey& key : kNamedKeys) {
    if (upper == key.name) {
      named = &key;
      break;
    }
  }
  if (named == nullptr) throw ESendKeyError(kInvalidToken);

  // ... but a modifier is held only when written in capitals: "{alt}" and
  // "{MENU}" type a bare Alt press and release instead.
  if (token.find("ALT") != std::string_view::npos) {
    pending_.alt = true;
  } else if (token.find("CTRL") != std::string_view::npos) {
    pending_.ctrl = true;
  } else if (token.find("SHIFT") != std::string_view::npos) {
    pending_.shift = true;
  } else {
    TypeKey(named->vk, 0);
  }
  return close;
}

void TSendKey::TypeCharacter(char c) {
  const std::int16_t key = keyboard_.KeyForChar(c);
  const auto vk = static_cast<std::uint8_t>(key & 0xFF);
  if (vk == 0xFF) {
    // The layout has no key for this character (the system answers -1).
    // The program's own strings never contain one; it is left out and the
    // modifiers held for it go with it, so that "^" before an untypable
    // character does not turn the next character into a Ctrl shortcut.
    Log(loglevel::kError, "TSendKey.SendKeys",
        "No key for character " + std::to_string(static_cast<unsigned char>(c)) + " in this keyboard layout");
    ClearPendingModifiers();
    return;
  }
  // Only Shift, Ctrl and Alt can be pressed; the higher bits are states of
  // some Far East layouts (Hankaku and the like).
  TypeKey(vk, static_cast<std::uint8_t>((key >> 8) & (kNeedsShift | kNeedsCtrl | kNeedsAlt)));
}

void TSendKey::TypeKey(std::uint8_t vk, std::uint8_t shift_state) {
  // The layout's own Ctrl and Alt become pending modifiers: Ctrl alone, or
  // Ctrl and Alt together (AltGr), each with Shift when the state has it.
  // Shift alone is pressed around the key below; Alt alone or with Shift
  // adds nothing.
  switch (shift_state) {
    case kNeedsCtrl:
      pending_.ctrl = true;
      break;
    case kNeedsCtrl | kNeedsShift:
      pending_.ctrl = true;
      pending_.shift = true;
      break;
    case kNeedsCtrl | kNeedsAlt:
      pending_.ctrl_alt = true;
      break;
    case kNeedsCtrl | kNeedsAlt | kNeedsShift:
      pending_.ctrl_alt = true;
      pending_.shift = true;
      break;
    default:
      break;
  }

  // Press the pending modifiers: Alt, Ctrl, Shift, then Ctrl and Alt for
  // Ctrl+Alt.
  if (pending_.alt) Press(vk::kMenu);
  if (pending_.ctrl) Press(vk::kControl);
  if (pending_.shift) Press(vk::kShift);
  if (pending_.ctrl_alt) {
    Press(vk::kControl);
    Press(vk::kMenu);
  }

  // Shift for the key itself: when the layout wants it and Ctrl is not
  // held, so that "^V" is Ctrl+V and not Ctrl+Shift+V; and always when
  // Shift is pending (then it goes down a second time).
  const bool own_shift = ((shift_state & kNeedsShift) != 0 && !pending_.ctrl) || pending_.shift;
  if (own_shift) Press(vk::kShift);

  Press(vk);
  Release(vk);

  if (own_shift) Release(vk::kShift);

  // Release the pending modifiers, Shift first, and forget them.
  if (pending_.shift) Release(vk::kShift);
  if (pending_.ctrl) Release(vk::kControl);
  if (pending_.alt) Release(vk::kMenu);
  if (pending_.ctrl_alt) {
    Release(vk::kControl);
    Release(vk::kMenu);
  }
  ClearPendingModifiers();
}

void TSendKey::Event(std::uint8_t vk, bool key_up) {
  const std::uint16_t scan = keyboard_.ScanCode(vk);
  keyboard_.KeyEvent(vk, static_cast<std::uint8_t>(scan & 0xFF), key_up, IsExtendedKey(vk, scan));
}

}  // namespace om
