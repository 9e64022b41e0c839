// The world TAppSettings is loaded in during the native tests: the simulated
// registry, regional settings, special folders and screen, a scripted
// data-folder dialog and recorded messages, and a real scratch folder for the
// data directories.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <deque>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/app_settings.h"
#include "platform/fake/fake_key_value_store.h"
#include "platform/fake/fake_locale.h"
#include "platform/fake/fake_screen.h"
#include "platform/fake/fake_shell_folders.h"

namespace om::testing {

class ScriptedDataFolderChooser : public IDataFolderChooser {
 public:
  // Answers in order; once the script is used up, confirms `fallback`.
  std::deque<std::optional<std::string>> answers;
  std::string fallback;
  std::vector<std::string> recommended;  // one entry per time the dialog was shown

  std::optional<std::string> ChooseDataFolder(std::string_view recommended_folder) override {
    recommended.emplace_back(recommended_folder);
    // A Load that keeps asking is a fault of its own; stop it instead of hanging.
    if (recommended.size() > 20) throw std::runtime_error("data-folder dialog shown more than 20 times");
    if (answers.empty()) return fallback;
    auto answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

class RecordedMessages : public IAppMessages {
 public:
  std::vector<std::string> shown;
  void Information(std::string_view text) override { shown.emplace_back(text); }
};

// Every value of the store below `root`, as "Sub\Key|Name" -> text.
inline std::map<std::string, std::string> DumpTree(IKeyValueStore& store, const std::string& root,
                                                   const std::string& relative = "") {
  std::map<std::string, std::string> out;
  const std::string key = relative.empty() ? root : root + "\\" + relative;
  for (const auto& name : store.ValueNames(key)) {
    out[relative + "|" + name] = store.ReadString(key, name).value_or("?");
  }
  for (const auto& sub : store.SubKeyNames(key)) {
    auto deeper = DumpTree(store, root, relative.empty() ? sub : relative + "\\" + sub);
    out.insert(deeper.begin(), deeper.end());
  }
  return out;
}

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    scratch_ = std::filesystem::temp_directory_path() /
               ("om_settings_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(scratch_);
    std::filesystem::create_directories(scratch_);
    folders.app_data = Scratch("appdata");
    folders.documents = Scratch("docs");
    chooser.fallback = Scratch("chosen");
  }
  void TearDown() override { std::filesystem::remove_all(scratch_); }

  // A path in the scratch folder, in the text form the settings keep.
  std::string Scratch(const std::string& relative) const { return (scratch_ / relative).string(); }

  TAppSettingsContext Context() {
    return TAppSettingsContext{.store = store,
                               .locale = locale,
                               .folders = folders,
                               .screen = screen,
                               .data_folder_chooser = chooser,
                               .messages = messages,
                               .program_file = "C:\\Program Files\\Ottermoor\\Ottermoor.exe",
                               .log_level = log_level};
  }
  std::unique_ptr<TAppSettings> Make() { return std::make_unique<TAppSettings>(kRegistryKey, Context()); }
  std::unique_ptr<TAppSettings> Loaded() {
    auto settings = Make();
    settings->Load();
    return settings;
  }

  void Put(const std::string& section, const std::string& name, const std::string& value) {
    ASSERT_TRUE(store.WriteString(std::string(kRegistryKey) + "\\" + section, name, value));
  }
  std::optional<std::string> Get(const std::string& section, const std::string& name) {
    return store.ReadString(section.empty() ? std::string(kRegistryKey) : std::string(kRegistryKey) + "\\" + section,
                            name);
  }
  // A data source as the registry holds it.
  void PutSource(const std::string& name, const std::string& directory, const std::string& description = "",
                 const std::string& read_only = "0", const std::string& auto_load = "1") {
    Put("DataSources\\_Dirs", name, "1");
    Put("DataSources\\" + name, "Description", description.empty() ? name : description);
    Put("DataSources\\" + name, "Directory", directory);
    Put("DataSources\\" + name, "Read_Only", read_only);
    Put("DataSources\\" + name, "AutoLoad", auto_load);
  }

  fake::FakeKeyValueStore store;
  fake::FakeLocale locale;
  fake::FakeShellFolders folders;
  fake::FakeScreen screen;
  ScriptedDataFolderChooser chooser;
  RecordedMessages messages;
  std::int32_t log_level = 0;
  std::filesystem::path scratch_;
};

}  // namespace om::testing
