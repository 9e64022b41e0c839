// The keystroke sender: turns a short key string into synthetic keyboard
// events, so that pick-and-paste can paste into another program by typing
// Ctrl+V or walking its menus.
//
// A key string is 8-bit text. Plain characters are typed with whatever
// shift state the keyboard layout needs; "@", "^" and "~" hold Alt, Ctrl and
// Shift for the next key; named keys are written in braces ("{TAB}",
// "{F12}"). "^V" is Ctrl+V, "@e" Alt+E, "~{TAB}" Shift+Tab.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string_view>

#include "platform/clock.h"
#include "platform/keyboard.h"
#include "platform/types.h"

namespace om {

// A key string the sender cannot read: "No Closing brackets" for an
// unclosed or too long brace token, "Invalid token" for a name not in the
// table or a stray "}". Keys typed before the fault stay typed.
class ESendKeyError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TSendKey {
 public:
  TSendKey(IKeyboard& keyboard, IClock& clock) : keyboard_(keyboard), clock_(clock) {}

  // Would select an external keystroke library. There is none: the
  // built-in typing is used whatever this says, and the program leaves it
  // false.
  bool UseDll = false;

  // true: "@", "^" and "~" are typed as the characters themselves. One value
  // for every sender; the program leaves it false.
  static inline bool TokensOnly = false;

  // Only this many characters of a key string are read.
  static constexpr std::size_t kMaxKeys = 255;
  // The longest name between braces.
  static constexpr std::size_t kMaxTokenLength = 7;

  // Makes `window` (unless 0) the foreground window with the keyboard focus
  // (a control is focused inside its top-level window), then SendKeys.
  std::int32_t SendKeysTo(std::string_view keys, WindowHandle window);

  // Types the key string, then lets the application process its pending
  // window messages once. -1 for an empty string (nothing typed), 0
  // otherwise. Throws ESendKeyError for a string it cannot read.
  std::int32_t SendKeys(std::string_view keys);

  // Forgets the modifiers held for the next key: those of a string that
  // ended with a prefix or with an error stay held, for every sender, until
  // a key is typed or this is called.
  static void ClearPendingModifiers();

 private:
  // Modifiers held for the next typed key, shared by every sender.
  struct PendingModifiers {
    bool alt = false;
    bool ctrl = false;
    bool shift = false;
    bool ctrl_alt = false;  // Ctrl and Alt together, as a layout's AltGr key needs
  };
  static PendingModifiers pending_;

  // A plain character, through the layout.
  void TypeCharacter(char c);
  // Presses and releases `vk` with the pending modifiers and the layout's
  // shift state (1 Shift, 2 Ctrl, 4 Alt), then clears the pending ones.
  void TypeKey(std::uint8_t vk, std::uint8_t shift_state);
  // A brace token starting at keys[open] ("{"): reads it and acts on it;
  // returns the position of its closing "}".
  std::size_t ReadToken(std::string_view keys, std::size_t open);
  void Event(std::uint8_t vk, bool key_up);
  void Press(std::uint8_t vk) { Event(vk, false); }
  void Release(std::uint8_t vk) { Event(vk, true); }

  IKeyboard& keyboard_;
  IClock& clock_;
};

}  // namespace om
