// The sound events in the real registry, read back with the registry API
// itself; and playing them.
#include "app/win32/sound_events.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/win32/registry.h"
#include "platform/win32/sound.h"

namespace om::test {
namespace {

constexpr char kAppKey[] = "AppEvents\\Schemes\\Apps\\Ottermoor";
constexpr char kDefaultBeepKey[] = "AppEvents\\Schemes\\Apps\\.Default\\.Default\\.Current";

bool KeyExists(const std::string& key) {
  HKEY handle = nullptr;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  ::RegCloseKey(handle);
  return true;
}

// The key's default value; nullopt when the key or the value is missing.
std::optional<std::string> DefaultValue(const std::string& key) {
  char data[1024] = {};
  DWORD size = sizeof data;
  if (::RegGetValueA(HKEY_CURRENT_USER, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::string(data);
}

std::string Current(const char* event) { return std::string(kAppKey) + "\\" + event + "\\.Current"; }

// Every test starts without the program's keys and with the default beep
// it asks for; the default beep the prefix had is put back afterwards.
class SoundEvents : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_beep_ = DefaultValue(kDefaultBeepKey);
    Clear();
  }
  void TearDown() override {
    Clear();
    if (saved_beep_) {
      registry_.WriteString(kDefaultBeepKey, "", *saved_beep_);
    } else {
      registry_.DeleteValue(kDefaultBeepKey, "");
    }
  }
  void Clear() {
    ASSERT_TRUE(registry_.DeleteTree(kAppKey));
    for (const SoundEventName& event : kSoundEvents) {
      ASSERT_TRUE(registry_.DeleteTree(std::string("AppEvents\\EventLabels\\") + event.name));
    }
  }
  void SetDefaultBeep(const std::optional<std::string>& sound) {
    ASSERT_TRUE(sound ? registry_.WriteString(kDefaultBeepKey, "", *sound) : registry_.DeleteValue(kDefaultBeepKey, ""));
  }

  win32::Win32Registry registry_;
  std::optional<std::string> saved_beep_;
};

TEST_F(SoundEvents, EveryEventIsListedWithItsLabel) {
  SetDefaultBeep(std::nullopt);
  ASSERT_TRUE(RegisterSoundEvents(registry_));
  EXPECT_EQ(DefaultValue(kAppKey), "Ottermoor");
  const std::pair<const char*, const char*> expected[] = {
      {"Ottermoor_NewData", "New clip captured"},
      {"Ottermoor_Glue", "Clip glued"},
      {"Ottermoor_EmptyClipboard", "Clipboard emptied or nothing to keep"},
      {"Ottermoor_IgnoreClipboardUpdate", "Clipboard change ignored"},
      {"Ottermoor_StepfeedComplete", "Sequential paste finished"},
  };
  for (const auto& [event, label] : expected) {
    SCOPED_TRACE(event);
    EXPECT_TRUE(KeyExists(Current(event)));
    EXPECT_EQ(DefaultValue(Current(event)), std::nullopt) << "no default beep: no sound yet";
    EXPECT_EQ(DefaultValue(std::string("AppEvents\\EventLabels\\") + event), label);
  }
}

TEST_F(SoundEvents, NewEventsSoundLikeTheDefaultBeepAndAChosenSoundStays) {
  SetDefaultBeep("C:\\Windows\\Media\\ding.wav");
  ASSERT_TRUE(registry_.WriteString(Current("Ottermoor_Glue"), "", "C:\\Sounds\\glue.wav"));
  ASSERT_TRUE(registry_.CreateKey(Current("Ottermoor_EmptyClipboard")));  // chosen: no sound

  ASSERT_TRUE(RegisterSoundEvents(registry_));
  ASSERT_TRUE(RegisterSoundEvents(registry_)) << "again, as at every start";

  EXPECT_EQ(DefaultValue(Current("Ottermoor_NewData")), "C:\\Windows\\Media\\ding.wav");
  EXPECT_EQ(DefaultValue(Current("Ottermoor_Glue")), "C:\\Sounds\\glue.wav");
  EXPECT_EQ(DefaultValue(Current("Ottermoor_EmptyClipboard")), std::nullopt);
  EXPECT_EQ(DefaultValue(std::string("AppEvents\\EventLabels\\Ottermoor_Glue")), "Clip glued");
}

// PlayEvent hands the alias to the system without waiting for the sound;
// an alias the system does not know is no error of ours.
TEST_F(SoundEvents, PlayingAnEventDoesNotWaitOrFail) {
  ASSERT_TRUE(RegisterSoundEvents(registry_));
  win32::Win32Sound sound;
  EXPECT_NO_THROW(sound.PlayEvent("Ottermoor_NewData"));
  EXPECT_NO_THROW(sound.PlayEvent("OttermoorTest_NoSuchEvent"));
}

}  // namespace
}  // namespace om::test
