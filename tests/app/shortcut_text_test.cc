#include "app/shortcut_text.h"

#include <gtest/gtest.h>

#include <string>

namespace om::testing {
namespace {

TEST(ShortCutText, ReadsAndWritesTheSettingsTexts) {
  const struct {
    const char* text;
    ShortCut shortcut;
  } cases[] = {
      {"Ctrl+Alt+C", {'C', false, true, true}},
      {"Shift+Ctrl+Q", {'Q', true, true, false}},
      {"Ctrl+Alt+N", {'N', false, true, true}},
      {"Ctrl+Alt+P", {'P', false, true, true}},
      {"F9", {0x78, false, false, false}},
      {"Shift+F12", {0x7B, true, false, false}},
      {"Ctrl+F24", {0x87, false, true, false}},
      {"Alt+Space", {0x20, false, false, true}},
      {"Ctrl+Enter", {0x0D, false, true, false}},
      {"Ctrl+BkSp", {0x08, false, true, false}},
      {"Shift+Ctrl+Alt+Del", {0x2E, true, true, true}},
      {"Ctrl+PgDn", {0x22, false, true, false}},
      {"Alt+Left", {0x25, false, false, true}},
      {"Ctrl+7", {'7', false, true, false}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseShortCut(c.text), c.shortcut) << c.text;
    EXPECT_EQ(ShortCutText(c.shortcut), c.text);
  }
}

TEST(ShortCutText, ReadsAnyCaseAndOrderAndWritesTheCanonicalText) {
  const struct {
    const char* text;
    const char* canonical;
  } cases[] = {
      {"ctrl+alt+c", "Ctrl+Alt+C"},
      {"Alt+Ctrl+c", "Ctrl+Alt+C"},
      {"Ctrl+Shift+Q", "Shift+Ctrl+Q"},
      {"CTRL+pgup", "Ctrl+PgUp"},
      {"f1", "F1"},
      {"Shift+esc", "Shift+Esc"},
  };
  for (const auto& c : cases) {
    const std::optional<ShortCut> shortcut = ParseShortCut(c.text);
    ASSERT_TRUE(shortcut) << c.text;
    EXPECT_EQ(ShortCutText(*shortcut), c.canonical) << c.text;
  }
}

TEST(ShortCutText, EveryNamedKeyComesBackFromItsText) {
  int named = 0;
  for (int vk = 0; vk < 256; ++vk) {
    const ShortCut shortcut{static_cast<std::uint8_t>(vk), true, false, true};
    const std::string text = ShortCutText(shortcut);
    if (text.empty()) continue;
    ++named;
    EXPECT_EQ(ParseShortCut(text), shortcut) << text;
  }
  // 26 letters, 10 digits, 24 function keys and 15 names.
  EXPECT_EQ(named, 75);
}

TEST(ShortCutText, TextsThatAreNoShortCut) {
  for (const char* text : {"", "Ctrl", "Ctrl+", "+", "+C", "Ctrl++", "Ctrl+Alt", "Ctrl+Ctrl+C", "Ctrl+Alt+C+",
                           "Ctrl+Foo", "Ctrl+CC", "Win+C", "Ctrl + C", " C", "Ctrl+F0", "Ctrl+F25", "F01", "F1A",
                           "Ctrl+\xC4"}) {
    EXPECT_EQ(ParseShortCut(text), std::nullopt) << text;
  }
}

TEST(ShortCutText, KeysWithoutANameHaveNoText) {
  EXPECT_EQ(ShortCutText({0x5B, false, true, false}), "");  // the Windows key
  EXPECT_EQ(ShortCutText({0xBA, false, true, false}), "");  // ";" on US keyboards
  EXPECT_EQ(ShortCutText({0, false, true, true}), "");
}

}  // namespace
}  // namespace om::testing
