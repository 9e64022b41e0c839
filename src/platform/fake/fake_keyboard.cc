#include "platform/fake/fake_keyboard.h"

#include <cstdio>

namespace om::fake {
namespace {

// The punctuation keys of the US layout: the character without and with
// Shift, and the key (VK_OEM_...).
struct PunctuationKey {
  char plain;
  char shifted;
  std::uint8_t vk;
};
constexpr PunctuationKey kPunctuation[] = {
    {';', ':', 0xBA}, {'=', '+', 0xBB}, {',', '<', 0xBC},  {'-', '_', 0xBD},
    {'.', '>', 0xBE}, {'/', '?', 0xBF}, {'`', '~', 0xC0},  {'[', '{', 0xDB},
    {'\\', '|', 0xDC}, {']', '}', 0xDD}, {'\'', '"', 0xDE},
};

// Shift with the digit keys, from 0 to 9.
constexpr char kShiftedDigits[] = ")!@#$%^&*(";

// Scan codes of the US keyboard (set 1); the keys of the navigation block
// and the right-hand Ctrl and Alt carry the E0 prefix.
struct ScanEntry {
  std::uint8_t vk;
  std::uint16_t scan;
};
constexpr ScanEntry kScanCodes[] = {
    {0x1B, 0x01},   {0xBD, 0x0C},   {0xBB, 0x0D},   {0x08, 0x0E},   {0x09, 0x0F},   {0xDB, 0x1A},
    {0xDD, 0x1B},   {0x0D, 0x1C},   {0x11, 0x1D},   {0xBA, 0x27},   {0xDE, 0x28},   {0xC0, 0x29},
    {0x10, 0x2A},   {0xDC, 0x2B},   {0xBC, 0x33},   {0xBE, 0x34},   {0xBF, 0x35},   {0x6A, 0x37},
    {0x12, 0x38},   {0x20, 0x39},   {0x14, 0x3A},   {0x91, 0x46},   {0x6D, 0x4A},   {0x6B, 0x4E},
    {0x7A, 0x57},   {0x7B, 0x58},   {0xA0, 0x2A},   {0xA1, 0x36},   {0xA2, 0x1D},
    {0xA4, 0x38},   {0x6E, 0x53},
    {0x24, 0xE047}, {0x26, 0xE048}, {0x21, 0xE049}, {0x25, 0xE04B}, {0x27, 0xE04D}, {0x23, 0xE04F},
    {0x28, 0xE050}, {0x22, 0xE051}, {0x2D, 0xE052}, {0x2E, 0xE053}, {0x2C, 0xE037}, {0x5B, 0xE05B},
    {0x5C, 0xE05C}, {0x5D, 0xE05D}, {0xA3, 0xE01D}, {0xA5, 0xE038}, {0x6F, 0xE035},
};
constexpr char kLetterRows[][11] = {"QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
constexpr std::uint8_t kLetterRowScans[] = {0x10, 0x1E, 0x2C};
// The keypad's digits 0 to 9.
constexpr std::uint8_t kKeypadScans[] = {0x52, 0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47, 0x48, 0x49};
// F13 to F24.
constexpr std::uint8_t kHighFunctionScans[] = {0x64, 0x65, 0x66, 0x67, 0x68, 0x69,
                                               0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0x76};

std::uint16_t UsScanCode(std::uint8_t vk) {
  if (vk >= '1' && vk <= '9') return static_cast<std::uint16_t>(0x02 + (vk - '1'));
  if (vk == '0') return 0x0B;
  for (std::size_t row = 0; row < 3; ++row) {
    for (std::size_t i = 0; kLetterRows[row][i] != '\0'; ++i) {
      if (kLetterRows[row][i] == vk) return static_cast<std::uint16_t>(kLetterRowScans[row] + i);
    }
  }
  if (vk >= vk::kF1 && vk <= vk::kF1 + 9) return static_cast<std::uint16_t>(0x3B + (vk - vk::kF1));
  if (vk >= vk::kF1 + 12 && vk <= vk::kF24) return kHighFunctionScans[vk - vk::kF1 - 12];
  if (vk >= 0x60 && vk <= 0x69) return kKeypadScans[vk - 0x60];
  for (const ScanEntry& e : kScanCodes) {
    if (e.vk == vk) return e.scan;
  }
  return 0;
}

}  // namespace

FakeKeyboard::FakeKeyboard() {
  keys_.fill(-1);
  auto set = [this](char c, int key) { SetKey(c, static_cast<std::int16_t>(key)); };
  for (char c = 'a'; c <= 'z'; ++c) set(c, c - 'a' + 'A');
  for (char c = 'A'; c <= 'Z'; ++c) set(c, 0x100 | c);
  for (int d = 0; d < 10; ++d) {
    set(static_cast<char>('0' + d), '0' + d);
    set(kShiftedDigits[d], 0x100 | ('0' + d));
  }
  for (const PunctuationKey& p : kPunctuation) {
    set(p.plain, p.vk);
    set(p.shifted, 0x100 | p.vk);
  }
  set(' ', vk::kSpace);
  // Control characters are Ctrl with a letter, except the few that have a
  // key of their own; a line feed is Ctrl+Enter.
  for (int c = 1; c <= 26; ++c) set(static_cast<char>(c), 0x200 | ('A' + c - 1));
  set('\b', vk::kBack);
  set('\t', vk::kTab);
  set('\r', vk::kReturn);
  set('\n', 0x200 | vk::kReturn);
  set('\x1b', vk::kEscape);
}

std::int16_t FakeKeyboard::KeyForChar(char c) { return keys_[static_cast<unsigned char>(c)]; }

std::uint16_t FakeKeyboard::ScanCode(std::uint8_t vk) {
  const std::uint16_t scan = UsScanCode(vk);
  return scan_prefixes_ ? scan : static_cast<std::uint16_t>(scan & 0xFF);
}

void FakeKeyboard::KeyEvent(std::uint8_t vk, std::uint8_t scan, bool key_up, bool extended) {
  strokes_.push_back({vk, scan, key_up, extended});
  events_.push_back(KeyName(vk) + (key_up ? " up" : " down") + (extended ? " extended" : ""));
}

void FakeKeyboard::Activate(WindowHandle window) { events_.push_back("Activate " + std::to_string(window)); }

std::string FakeKeyboard::KeyName(std::uint8_t vk) {
  if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return std::string(1, static_cast<char>(vk));
  if (vk >= vk::kF1 && vk <= vk::kF24) return "F" + std::to_string(vk - vk::kF1 + 1);
  for (const PunctuationKey& p : kPunctuation) {
    if (p.vk == vk) return std::string(1, p.plain);
  }
  switch (vk) {
    case vk::kBack: return "BkSp";
    case vk::kTab: return "Tab";
    case vk::kReturn: return "Enter";
    case vk::kShift: return "Shift";
    case vk::kControl: return "Ctrl";
    case vk::kMenu: return "Alt";
    case vk::kEscape: return "Esc";
    case vk::kSpace: return "Space";
    case vk::kPrior: return "PgUp";
    case vk::kNext: return "PgDn";
    case vk::kEnd: return "End";
    case vk::kHome: return "Home";
    case vk::kLeft: return "Left";
    case vk::kUp: return "Up";
    case vk::kRight: return "Right";
    case vk::kDown: return "Down";
    case vk::kSnapshot: return "PrtSc";
    case vk::kInsert: return "Ins";
    case vk::kDelete: return "Del";
    default: break;
  }
  char text[16];
  std::snprintf(text, sizeof text, "VK 0x%02X", vk);
  return text;
}

}  // namespace om::fake
