#include "clipboard/send_key.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/fake_keyboard.h"

namespace om::testing {
namespace {

using ::testing::ElementsAre;
using Events = std::vector<std::string>;

// A clock that only notes when the sender lets messages be processed, and
// how many key events had been sent by then.
class NotingClock final : public IClock {
 public:
  explicit NotingClock(const fake::FakeKeyboard& keyboard) : keyboard_(keyboard) {}
  double Now() override { return 0; }
  std::uint32_t TickCount() override { return 0; }
  bool SetTimer(WindowHandle, std::uint32_t, std::uint32_t) override { return false; }
  void KillTimer(WindowHandle, std::uint32_t) override {}
  void Sleep(std::uint32_t) override {}
  void ProcessMessages() override { processed_after.push_back(keyboard_.Strokes().size()); }

  std::vector<std::size_t> processed_after;

 private:
  const fake::FakeKeyboard& keyboard_;
};

class SendKeyTest : public ::testing::Test {
 protected:
  // The modifiers held for the next key and TokensOnly are shared by every
  // sender: each test starts and ends with none.
  void SetUp() override { Reset(); }
  void TearDown() override { Reset(); }
  static void Reset() {
    TSendKey::ClearPendingModifiers();
    TSendKey::TokensOnly = false;
  }

  // The events of one key string, from a clean record.
  Events Typed(const std::string& keys) {
    keyboard_.Clear();
    EXPECT_EQ(sender_.SendKeys(keys), 0) << keys;
    return keyboard_.Events();
  }

  fake::FakeKeyboard keyboard_;
  NotingClock clock_{keyboard_};
  TSendKey sender_{keyboard_, clock_};
};

TEST_F(SendKeyTest, KeyStringsTypeTheseEvents) {
  const struct {
    const char* keys;
    Events events;
  } cases[] = {
      // A held Ctrl keeps an upper-case letter from bringing its Shift.
      {"^V", {"Ctrl down", "V down", "V up", "Ctrl up"}},
      {"^v", {"Ctrl down", "V down", "V up", "Ctrl up"}},
      {"V", {"Shift down", "V down", "V up", "Shift up"}},
      {"v", {"V down", "V up"}},
      {"@ ", {"Alt down", "Space down", "Space up", "Alt up"}},
      {"@e", {"Alt down", "E down", "E up", "Alt up"}},
      // A held Shift goes down (and up) a second time around the key.
      {"~v", {"Shift down", "Shift down", "V down", "V up", "Shift up", "Shift up"}},
      {"^~v", {"Ctrl down", "Shift down", "Shift down", "V down", "V up", "Shift up", "Shift up", "Ctrl up"}},
      {"@^x", {"Alt down", "Ctrl down", "X down", "X up", "Ctrl up", "Alt up"}},
      // Each prefix holds for the next key only.
      {"^ab", {"Ctrl down", "A down", "A up", "Ctrl up", "B down", "B up"}},
      {"Hi!", {"Shift down", "H down", "H up", "Shift up", "I down", "I up", "Shift down", "1 down", "1 up",
               "Shift up"}},
      // The layout's shift state: a line feed is Ctrl+Enter, a carriage return Enter.
      {"\n", {"Ctrl down", "Enter down", "Enter up", "Ctrl up"}},
      {"\r", {"Enter down", "Enter up"}},
      // Named keys, upper or lower case.
      {"{TAB}", {"Tab down", "Tab up"}},
      {"{ENTER}", {"Enter down", "Enter up"}},
      {"{tab}", {"Tab down", "Tab up"}},
      {"{Enter}", {"Enter down", "Enter up"}},
      {"{F12}", {"F12 down", "F12 up"}},
      {"^{F4}", {"Ctrl down", "F4 down", "F4 up", "Ctrl up"}},
      {"~{TAB}", {"Shift down", "Shift down", "Tab down", "Tab up", "Shift up", "Shift up"}},
      {"a{TAB}b", {"A down", "A up", "Tab down", "Tab up", "B down", "B up"}},
      // Modifiers in braces are held only when written in capitals; {alt}
      // and {MENU} type a bare Alt.
      {"{ALT}x", {"Alt down", "X down", "X up", "Alt up"}},
      {"{CTRL}v", {"Ctrl down", "V down", "V up", "Ctrl up"}},
      {"{SHIFT}v", {"Shift down", "Shift down", "V down", "V up", "Shift up", "Shift up"}},
      {"{alt}x", {"Alt down", "Alt up", "X down", "X up"}},
      {"{MENU}", {"Alt down", "Alt up"}},
      {"{ctrl}", {"Ctrl down", "Ctrl up"}},
      // A brace alone is typed as itself.
      {"{", {"Shift down", "[ down", "[ up", "Shift up"}},
      {"}", {"Shift down", "] down", "] up", "Shift up"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Typed(c.keys), c.events) << c.keys;
}

TEST_F(SendKeyTest, EveryNamedKeyTypesItsKey) {
  const struct {
    const char* token;
    const char* key;
  } cases[] = {
      {"SPACE", "Space"},  {"F1", "F1"},        {"F2", "F2"},   {"F3", "F3"},     {"F4", "F4"},     {"F5", "F5"},
      {"F6", "F6"},        {"F7", "F7"},        {"F8", "F8"},   {"F9", "F9"},     {"F10", "F10"},   {"F11", "F11"},
      {"F12", "F12"},      {"INSERT", "Ins"},   {"DELETE", "Del"}, {"DEL", "Del"}, {"HOME", "Home"}, {"END", "End"},
      {"PGUP", "PgUp"},    {"PGDN", "PgDn"},    {"TAB", "Tab"}, {"ENTER", "Enter"}, {"BKSP", "BkSp"},
      {"PRTSC", "PrtSc"},  {"ESCAPE", "Esc"},   {"ESC", "Esc"}, {"UP", "Up"},     {"DOWN", "Down"}, {"LEFT", "Left"},
      {"RIGHT", "Right"},  {"DN", "Down"},      {"L", "Left"},  {"R", "Right"},
  };
  for (const auto& c : cases) {
    const Events events = Typed(std::string("{") + c.token + "}");
    ASSERT_EQ(events.size(), 2u) << c.token;
    EXPECT_EQ(events[0].substr(0, events[0].find(' ')), c.key) << c.token;
  }
}

TEST_F(SendKeyTest, TheLayoutsShiftStatesBecomeModifiers) {
  // Keys of other layouts: the euro sign on AltGr+E (Ctrl+Alt), and made-up
  // keys for the remaining states.
  const struct {
    char c;
    std::int16_t key;
    Events events;
  } cases[] = {
      {'\x80', 0x0645, {"Ctrl down", "Alt down", "E down", "E up", "Ctrl up", "Alt up"}},
      {'\x81', 0x0745,
       {"Shift down", "Ctrl down", "Alt down", "Shift down", "E down", "E up", "Shift up", "Shift up", "Ctrl up",
        "Alt up"}},
      // Ctrl and Shift: both held; Shift then also goes down a second time.
      {'\x1f', 0x03BD, {"Ctrl down", "Shift down", "Shift down", "- down", "- up", "Shift up", "Shift up", "Ctrl up"}},
      // Alt alone and Alt with Shift add no Alt.
      {'\x82', 0x0441, {"A down", "A up"}},
      {'\x83', 0x0541, {"Shift down", "A down", "A up", "Shift up"}},
  };
  for (const auto& c : cases) {
    keyboard_.SetKey(c.c, c.key);
    EXPECT_EQ(Typed(std::string(1, c.c)), c.events) << std::hex << c.key;
  }
}

TEST_F(SendKeyTest, TokensOnlyTypesThePrefixesThemselves) {
  TSendKey::TokensOnly = true;
  EXPECT_EQ(Typed("^V"), (Events{"Shift down", "6 down", "6 up", "Shift up", "Shift down", "V down", "V up",
                                 "Shift up"}));
  EXPECT_EQ(Typed("@~"), (Events{"Shift down", "2 down", "2 up", "Shift up", "Shift down", "` down", "` up",
                                 "Shift up"}));
  // Braces keep their meaning.
  EXPECT_EQ(Typed("{CTRL}v"), (Events{"Ctrl down", "V down", "V up", "Ctrl up"}));
}

TEST_F(SendKeyTest, StringsItCannotReadRaiseAfterTheKeysBeforeThem) {
  const struct {
    const char* keys;
    const char* error;
    Events typed_before;
  } cases[] = {
      {"{F13}", "Invalid token", {}},
      {"{}", "Invalid token", {}},
      {"{{}", "Invalid token", {}},
      {"x}", "Invalid token", {"X down", "X up"}},
      {"}}", "Invalid token", {}},
      // Seven characters closed at once are read (and are no name); an
      // eighth before the brace is too long.
      {"{ESCAPES}", "Invalid token", {}},
      {"{PAGEDOWN}", "No Closing brackets", {}},
      {"{ESCAPES", "No Closing brackets", {}},
      // Six characters: read in full, but not a name.
      {"{PGDOWN}", "Invalid token", {}},
      {"{TAB", "No Closing brackets", {}},
      {"ab{", "No Closing brackets", {"A down", "A up", "B down", "B up"}},
      {"{TAB}{F13}", "Invalid token", {"Tab down", "Tab up"}},
  };
  for (const auto& c : cases) {
    keyboard_.Clear();
    try {
      sender_.SendKeys(c.keys);
      ADD_FAILURE() << c.keys << " raised nothing";
    } catch (const ESendKeyError& e) {
      EXPECT_STREQ(e.what(), c.error) << c.keys;
    }
    EXPECT_EQ(keyboard_.Events(), c.typed_before) << c.keys;
  }
}

TEST_F(SendKeyTest, HeldModifiersWaitForTheNextKeyOfAnySender) {
  // "@e" then "p": Alt+E, then P alone.
  EXPECT_EQ(Typed("@e"), (Events{"Alt down", "E down", "E up", "Alt up"}));
  EXPECT_EQ(Typed("p"), (Events{"P down", "P up"}));

  // A prefix at the end of one string holds for the first key of the next,
  // and for every sender.
  EXPECT_EQ(Typed("^"), Events{});
  fake::FakeKeyboard other_keyboard;
  NotingClock other_clock(other_keyboard);
  TSendKey other(other_keyboard, other_clock);
  other.SendKeys("v");
  EXPECT_EQ(other_keyboard.Events(), (Events{"Ctrl down", "V down", "V up", "Ctrl up"}));

  // Modifiers held before an error stay held until the next key.
  EXPECT_THROW(sender_.SendKeys("@^{F13}"), ESendKeyError);
  EXPECT_THROW(sender_.SendKeys("~{PAGEDOWN}"), ESendKeyError);
  EXPECT_EQ(Typed("v"), (Events{"Alt down", "Ctrl down", "Shift down", "Shift down", "V down", "V up", "Shift up",
                                "Shift up", "Ctrl up", "Alt up"}));

  // Until they are cleared.
  EXPECT_EQ(Typed("^"), Events{});
  TSendKey::ClearPendingModifiers();
  EXPECT_EQ(Typed("v"), (Events{"V down", "V up"}));
}

TEST_F(SendKeyTest, EmptyStringTypesNothingAndReturnsMinusOne) {
  EXPECT_EQ(sender_.SendKeys(""), -1);
  EXPECT_EQ(sender_.SendKeysTo("", 0), -1);
  EXPECT_TRUE(keyboard_.Events().empty());
  EXPECT_TRUE(clock_.processed_after.empty());
}

TEST_F(SendKeyTest, MessagesAreProcessedOnceAfterTheWholeString) {
  EXPECT_EQ(sender_.SendKeys("^v{TAB}"), 0);
  EXPECT_THAT(clock_.processed_after, ElementsAre(6u));
}

TEST_F(SendKeyTest, SendKeysToActivatesTheWindowFirst) {
  EXPECT_EQ(sender_.SendKeysTo("^V", 4242), 0);
  EXPECT_EQ(keyboard_.Events(), (Events{"Activate 4242", "Ctrl down", "V down", "V up", "Ctrl up"}));
  keyboard_.Clear();
  EXPECT_EQ(sender_.SendKeysTo("p", 0), 0);
  EXPECT_EQ(keyboard_.Events(), (Events{"P down", "P up"})) << "no window, no activation";
}

TEST_F(SendKeyTest, CharactersTheLayoutCannotTypeAreLeftOut) {
  // e-acute: the US layout has no key for it.
  ASSERT_EQ(keyboard_.KeyForChar('\xE9'), -1);
  EXPECT_EQ(Typed("a\xE9" "b"), (Events{"A down", "A up", "B down", "B up"}));
  // The modifiers meant for it go with it rather than landing on the next key.
  EXPECT_EQ(Typed("^\xE9" "a"), (Events{"A down", "A up"}));
}

TEST_F(SendKeyTest, OnlyTheFirst255CharactersAreRead) {
  const Events typed = Typed(std::string(255, 'a') + "b");
  ASSERT_EQ(typed.size(), 510u);
  EXPECT_EQ(typed.back(), "A up");
  // The cut can fall inside a brace token, which is then unclosed.
  EXPECT_THROW(sender_.SendKeys(std::string(252, 'a') + "{TAB}"), ESendKeyError);
  EXPECT_EQ(Typed(std::string(250, 'a') + "{TAB}").back(), "Tab up");
}

TEST_F(SendKeyTest, ScanCodesAndTheExtendedFlag) {
  // The extended flag goes with the keys that have the E0 prefix, also when
  // the layout answers their scan codes without it (as Wine does).
  for (bool prefixes : {true, false}) {
    SCOPED_TRACE(prefixes ? "scan codes with prefix" : "scan codes without prefix");
    keyboard_.SetScanPrefixes(prefixes);
    const struct {
      const char* keys;
      std::uint8_t vk;
      std::uint8_t scan;
      bool extended;
    } cases[] = {
        {"v", 'V', 0x2F, false},          {"{F12}", 0x7B, 0x58, false},   {"{ENTER}", 0x0D, 0x1C, false},
        {"{ctrl}", 0x11, 0x1D, false},    {"{MENU}", 0x12, 0x38, false},  {"{LEFT}", 0x25, 0x4B, true},
        {"{UP}", 0x26, 0x48, true},       {"{RIGHT}", 0x27, 0x4D, true},  {"{DOWN}", 0x28, 0x50, true},
        {"{HOME}", 0x24, 0x47, true},     {"{END}", 0x23, 0x4F, true},    {"{PGUP}", 0x21, 0x49, true},
        {"{PGDN}", 0x22, 0x51, true},     {"{INSERT}", 0x2D, 0x52, true}, {"{DEL}", 0x2E, 0x53, true},
        {"{PRTSC}", 0x2C, 0x37, true},
    };
    for (const auto& c : cases) {
      keyboard_.Clear();
      sender_.SendKeys(c.keys);
      EXPECT_THAT(keyboard_.Strokes(), ElementsAre(fake::KeyStroke{c.vk, c.scan, false, c.extended},
                                                   fake::KeyStroke{c.vk, c.scan, true, c.extended}))
          << c.keys;
    }
  }
  // Modifiers are the left-hand keys, never extended.
  keyboard_.Clear();
  sender_.SendKeys("@^~{LEFT}");
  for (const fake::KeyStroke& stroke : keyboard_.Strokes()) {
    EXPECT_EQ(stroke.extended, stroke.vk == 0x25) << fake::FakeKeyboard::KeyName(stroke.vk);
  }
}

}  // namespace
}  // namespace om::testing
