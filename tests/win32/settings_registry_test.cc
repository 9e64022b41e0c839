// The settings against the real registry: the program's tree under
// HKEY_CURRENT_USER, saved by TAppSettings and read back from outside the
// program with reg.exe, so every name and text form is the one on disk.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>

#include "app/app_settings.h"
#include "app/settings_golden.h"
#include "child_process.h"
#include "platform/win32/locale.h"
#include "platform/win32/registry.h"
#include "platform/win32/screen.h"
#include "platform/win32/shell_folders.h"

namespace om::test {
namespace {

using om::testing::GoldenValue;
using om::testing::NonDefaultValues;

class NoDialog : public IDataFolderChooser {
 public:
  int shown = 0;
  std::optional<std::string> ChooseDataFolder(std::string_view) override {
    ++shown;
    return std::string("C:\\OttermoorSettingsTest\\chosen\\");
  }
};

class NoMessages : public IAppMessages {
 public:
  void Information(std::string_view) override {}
};

// `reg query KEY /s` in the prefix's own reg.exe: every value below the key
// as "Sub\Key|Name" -> data, the key path relative to `root`. nullopt when
// reg.exe could not be run; an empty map when the key does not exist.
std::optional<std::map<std::string, std::string>> RegQuery(const std::string& root) {
  char system_dir[MAX_PATH] = {};
  ::GetSystemDirectoryA(system_dir, MAX_PATH);
  const std::string full_root = "HKEY_CURRENT_USER\\" + root;
  ChildProcess reg;
  if (!reg.Start("\"" + std::string(system_dir) + "\\reg.exe\" query \"HKCU\\" + root + "\" /s", true)) {
    return std::nullopt;
  }
  std::map<std::string, std::string> values;
  std::string key;
  constexpr char kType[] = "    REG_SZ    ";
  while (auto line = reg.ReadLine(30000)) {
    if (line->rfind("HKEY_", 0) == 0) {
      key = line->size() > full_root.size() ? line->substr(full_root.size() + 1) : "";
    } else if (line->rfind("    ", 0) == 0) {
      // "    Name    REG_SZ    Data"; an empty string may lose the trailing blanks.
      auto type = line->find(kType);
      std::string data;
      if (type != std::string::npos) {
        data = line->substr(type + sizeof kType - 1);
      } else if ((type = line->find("    REG_SZ")) != std::string::npos) {
        data = "";
      } else {
        ADD_FAILURE() << "not a string value: " << *line;
        continue;
      }
      values[key + "|" + line->substr(4, type - 4)] = data;
    }
  }
  if (!reg.WaitForExit(30000)) return std::nullopt;
  return values;
}

class SettingsRegistry : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(registry.DeleteTree(kRegistryKey)); }
  void TearDown() override { registry.DeleteTree(kRegistryKey); }

  void Put(const std::string& section, const std::string& name, const std::string& value) {
    ASSERT_TRUE(registry.WriteString(std::string(kRegistryKey) + "\\" + section, name, value));
    expected[section + "|" + name] = value;
  }

  win32::Win32Registry registry;
  win32::Win32Locale locale;
  win32::Win32ShellFolders folders;
  win32::Win32Screen screen;
  NoDialog dialog;
  NoMessages messages;
  std::int32_t log_level = 0;
  std::map<std::string, std::string> expected;
};

TEST_F(SettingsRegistry, SaveWritesEveryValueAsTheTreeHeldIt) {
  // Margins come back in the locale's own decimal separator.
  const char separator = locale.DecimalSeparator();
  for (const GoldenValue& v : NonDefaultValues()) {
    std::string text = v.text;
    if (std::string(v.section) == "Printing" && text.find('.') != std::string::npos) text[text.find('.')] = separator;
    Put(v.section, v.name, text);
  }
  Put("Pickdrop_NoCtrlV", "Notepad", "1");
  Put("Pickdrop_NoCtrlV", "Microsoft Word", "1");
  using Source = std::tuple<std::string, std::string, std::string, std::string>;
  for (const auto& [name, directory, read_only, auto_load] :
       {Source{"My Clips", "C:\\OttermoorSettingsTest\\mine\\", "0", "1"},
        Source{"Shared, team", "\\\\server\\clips\\", "1", "0"}}) {
    Put("DataSources\\_Dirs", name, "1");
    Put("DataSources\\" + name, "Description", name + " (test)");
    Put("DataSources\\" + name, "Directory", directory);
    Put("DataSources\\" + name, "Read_Only", read_only);
    Put("DataSources\\" + name, "AutoLoad", auto_load);
  }
  const auto seeded = RegQuery(kRegistryKey);
  ASSERT_TRUE(seeded.has_value()) << "reg.exe could not be run";
  ASSERT_EQ(*seeded, expected) << "reg.exe does not show what was written";

  TAppSettings settings(kRegistryKey, TAppSettingsContext{registry, locale, folders, screen, dialog, messages,
                                                          "C:\\Program Files\\Ottermoor\\Ottermoor.exe", log_level});
  settings.Load();
  EXPECT_EQ(dialog.shown, 0);
  ASSERT_EQ(settings.DataSources.size(), 2u);
  EXPECT_TRUE(settings.DataSources[1].Source.Read_Only);
  EXPECT_EQ(log_level, 127);

  // Saved into an empty tree, everything comes from the loaded object.
  ASSERT_TRUE(registry.DeleteTree(kRegistryKey));
  ASSERT_EQ(RegQuery(kRegistryKey), (std::map<std::string, std::string>{}));
  settings.Save();
  const auto saved = RegQuery(kRegistryKey);
  ASSERT_TRUE(saved.has_value());
  for (const auto& [key, text] : expected) {
    const auto found = saved->find(key);
    if (found == saved->end()) {
      ADD_FAILURE() << key << " was not written";
    } else {
      EXPECT_EQ(found->second, text) << key;
    }
  }
  for (const auto& [key, text] : *saved) {
    EXPECT_TRUE(expected.count(key)) << "unexpected value " << key << " = " << text;
  }
}

TEST(SettingsAdapters, AnswerFromTheSystem) {
  win32::Win32Locale locale;
  win32::Win32ShellFolders folders;
  win32::Win32Screen screen;

  const auto app_data = folders.AppDataFolder();
  const auto documents = folders.DocumentsFolder();
  ASSERT_TRUE(app_data && documents);
  EXPECT_NE(::GetFileAttributesA(app_data->c_str()), INVALID_FILE_ATTRIBUTES) << *app_data;
  EXPECT_NE(::GetFileAttributesA(documents->c_str()), INVALID_FILE_ATTRIBUTES) << *documents;
  EXPECT_NE(app_data->back(), '\\');

  const ScreenSize size = screen.PrimaryScreenSize();
  EXPECT_GT(size.width, 0);
  EXPECT_GT(size.height, 0);

  // The system's formatter and the portable pictures agree on the user's formats.
  const DateTimeParts when{2024, 3, 5, 14, 7, 9, 0};
  EXPECT_EQ(locale.FormatDateTime(EncodeDateTime(when)),
            FormatDateTimePicture(when, locale.ShortDateFormat()) + " " +
                FormatDateTimePicture(when, locale.LongTimeFormat()));
  EXPECT_EQ(locale.ParseFloat(locale.FormatFloat(0.75)), 0.75);
}

}  // namespace
}  // namespace om::test
