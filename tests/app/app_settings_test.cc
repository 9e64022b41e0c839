#include "app/app_settings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "app/settings_golden.h"
#include "app/settings_fixture.h"
#include "platform/fake/fake_desktop.h"

namespace om::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

std::string Key(const char* section, const char* name) { return std::string(section) + "|" + name; }

// --- defaults and the text form of every value -----------------------------

TEST_F(SettingsTest, FirstStartUsesEveryDefaultAndAsksForTheDataFolder) {
  auto s = Loaded();

  const std::string default_path = Scratch("appdata") + "\\Brenholt\\Ottermoor\\";
  EXPECT_THAT(chooser.recommended, ElementsAre(default_path));
  ASSERT_EQ(s->DataSources.size(), 1u);
  const TDataSourceEntry& mine = s->DataSources[0];
  EXPECT_EQ(mine.Name, "My Clips");
  EXPECT_EQ(mine.Source.Description, "My Clips");
  EXPECT_EQ(mine.Source.Directory, Scratch("chosen") + "\\");
  EXPECT_FALSE(mine.Source.Read_Only);
  EXPECT_TRUE(mine.Source.AutoLoad);
  EXPECT_FALSE(mine.Source.Online);
  EXPECT_EQ(mine.Source.ID, 1);
  EXPECT_EQ(s->NextSourceNumber, 2);
  EXPECT_TRUE(s->FreshDataFolder);  // the chosen folder does not even exist yet
  EXPECT_EQ(Get("DataSources\\_Dirs", "My Clips"), "0");

  EXPECT_EQ(s->AppDir, "C:\\Program Files\\Ottermoor\\");
  EXPECT_EQ(log_level, 23);
  EXPECT_EQ(s->AfterLoadDuration, 150);
  EXPECT_EQ(s->ExportDir, Scratch("docs") + "\\Ottermoor_Export");
  EXPECT_DOUBLE_EQ(s->PrintMarginLeft, 1.0);
  EXPECT_DOUBLE_EQ(s->PrintMarginTop, 0.5);
  EXPECT_EQ(s->ThumbNailFont, (TFontDesc{"MS Sans Serif", 8, 1}));
  EXPECT_EQ(s->OverrideFont, (TFontDesc{"", 8, 1}));
  EXPECT_EQ(s->MagFont, (TFontDesc{"Courier New", 8, 1}));
  EXPECT_EQ(s->ClipListFont, (TFontDesc{"MS Sans Serif", 8, 1}));
  EXPECT_EQ(s->PrintFont, (TFontDesc{"Courier New", 10, 1}));
  EXPECT_TRUE(s->NoCtrlVList.empty());

  // Everything else shows in what Save writes into an empty tree.
  ASSERT_TRUE(store.DeleteTree(kRegistryKey));
  s->Save();
  auto dump = DumpTree(store, kRegistryKey);
  for (const GoldenValue& v : DefaultValues()) {
    SCOPED_TRACE(Key(v.section, v.name));
    ASSERT_TRUE(dump.count(Key(v.section, v.name)));
    EXPECT_EQ(dump[Key(v.section, v.name)], v.text);
  }
  EXPECT_EQ(dump[Key("Export", "ExportDir")], Scratch("docs") + "\\Ottermoor_Export");
  EXPECT_FALSE(dump.count(Key("Preferences", "AfterLoadDuration")));
  EXPECT_THAT(store.ValueNames(std::string(kRegistryKey) + "\\Preferences"),
              ElementsAre("GreyX", "Visibility", "RunMinimized", "ShowBinary", "ShowSearch", "ShowNOCRLF",
                          "UseSysTray", "UseCollTitle", "BeepOnGlue", "BeepOnUpdate", "BeepOnErase",
                          "BeepOnIgnore", "BeepOnSFComplete", "UseSounds", "InstalledAlready", "ShowHint",
                          "HintHidePause", "LogLevel", "AutoSave", "AutoSaveInterval", "ShowItemTypeIcon",
                          "StepfeedDelay", "ConfirmDeleteFromSafe", "PhantomDelay", "VER_ID", "WrapText",
                          "MoveOrCopy", "FindScope", "ContinuallyPing", "PingInterval", "PingTolerance",
                          "DelayOnClipboardUpdate", "DelayAfterCopy", "SettleTime", "ShowTypeIcons",
                          "GlueSeparator", "GlueOmitExistingCRLF", "LastColl", "PDAlternateColl",
                          "ShowPDAlternates", "PDStickyButtons", "PDTabButtonDown", "PDEnterButtonDown",
                          "ThumbNailSize", "ThumbNailCacheSize"));
}

// Each value alone, set to a non-default text: after Load and a Save into an
// empty tree, exactly that value differs from the defaults. A misspelt name,
// a wrong section, a row bound to another field or a wrong text form all
// show up here.
TEST_F(SettingsTest, EachValueIsReadAndWrittenUnderItsOwnName) {
  const std::string data = Scratch("data") + "\\";
  auto load_and_save = [&](const GoldenValue* only) {
    EXPECT_TRUE(store.DeleteTree(kRegistryKey));
    PutSource("My Clips", data);
    if (only) Put(only->section, only->name, only->text);
    auto s = Loaded();
    EXPECT_TRUE(store.DeleteTree(kRegistryKey));
    s->Save();
    return DumpTree(store, kRegistryKey);
  };
  const auto baseline = load_and_save(nullptr);
  for (const GoldenValue& v : NonDefaultValues()) {
    SCOPED_TRACE(Key(v.section, v.name));
    auto expected = baseline;
    ASSERT_NE(expected[Key(v.section, v.name)], v.text);
    expected[Key(v.section, v.name)] = v.text;
    EXPECT_EQ(load_and_save(&v), expected);
  }
  EXPECT_TRUE(chooser.recommended.empty());
}

// The program's own tree, written, read back and written again, is unchanged.
TEST_F(SettingsTest, RoundTripKeepsEveryValue) {
  for (const GoldenValue& v : NonDefaultValues()) Put(v.section, v.name, v.text);
  Put("Pickdrop_NoCtrlV", "Notepad", "1");
  Put("Pickdrop_NoCtrlV", "Microsoft Word", "1");
  PutSource("My Clips", Scratch("mine") + "\\");
  PutSource("Shared, team", "\\\\server\\clips\\", "Team clips", "1", "0");
  PutSource("Archive", Scratch("archive") + "\\");
  const auto written = DumpTree(store, kRegistryKey);

  auto first = Loaded();
  ASSERT_TRUE(store.DeleteTree(kRegistryKey));
  first->Save();
  EXPECT_EQ(DumpTree(store, kRegistryKey), written);

  auto second = Loaded();
  EXPECT_THAT(second->NoCtrlVList, ElementsAre("Notepad", "Microsoft Word"));
  ASSERT_EQ(second->DataSources.size(), 3u);
  const TDataSource& team = second->DataSources[1].Source;
  EXPECT_EQ(second->DataSources[1].Name, "Shared, team");
  EXPECT_EQ(team.Description, "Team clips");
  EXPECT_EQ(team.Directory, "\\\\server\\clips\\");
  EXPECT_TRUE(team.Read_Only);
  EXPECT_FALSE(team.AutoLoad);
  EXPECT_EQ(second->MagFont, (TFontDesc{"Lucida Console", 11, 204}));
  EXPECT_DOUBLE_EQ(second->PrintMarginTop, 0.3);
  EXPECT_EQ(log_level, 127);
  ASSERT_TRUE(store.DeleteTree(kRegistryKey));
  second->Save();
  EXPECT_EQ(DumpTree(store, kRegistryKey), written);
}

// --- corrections and fallbacks at load --------------------------------------

TEST_F(SettingsTest, LoadCorrectsStoredValues) {
  struct Case {
    const char* what;
    std::vector<GoldenValue> stored;
    std::function<void()> environment;
    std::function<void(const TAppSettings&)> check;
  };
  const std::vector<Case> cases = {
      {"full window wider than the screen, then beyond its right edge",
       {{"Position", "Width2", "5000"}, {"Position", "Left2", "1000"}},
       [] {},
       [](const TAppSettings& s) {
         EXPECT_EQ(s.Width2, 600);
         EXPECT_EQ(s.Left2, 1024 - 600);
       }},
      {"full window taller than the screen, then below its bottom edge",
       {{"Position", "Height2", "900"}, {"Position", "Top2", "750"}},
       [] {},
       [](const TAppSettings& s) {
         EXPECT_EQ(s.Height2, 206);
         EXPECT_EQ(s.Top2, 768 - 206);
       }},
      {"compact window with negative and oversized values",
       {{"Position", "Left1", "-20"}, {"Position", "Width1", "-1"}, {"Position", "Top1", "-5"},
        {"Position", "Height1", "2000"}},
       [] {},
       [](const TAppSettings& s) {
         EXPECT_EQ(s.Left1, 0);
         EXPECT_EQ(s.Width1, 274);
         EXPECT_EQ(s.Top1, 0);
         EXPECT_EQ(s.Height1, 106);
       }},
      {"compact window beyond the edges of a small screen keeps its size",
       {{"Position", "Left1", "790"}, {"Position", "Width1", "300"}, {"Position", "Top1", "580"}},
       [this] { screen.size = {800, 600}; },
       [](const TAppSettings& s) {
         EXPECT_EQ(s.Left1, 800 - 300);
         EXPECT_EQ(s.Width1, 300);
         EXPECT_EQ(s.Top1, 600 - 106);
       }},
      {"split widths below the minimum",
       {{"Position", "split1", "10"}, {"Position", "split2", "30"}, {"Position", "split2a", "-4"}},
       [] {},
       [](const TAppSettings& s) {
         EXPECT_EQ(s.split1, 30);
         EXPECT_EQ(s.split2, 30);
         EXPECT_EQ(s.split2a, 30);
       }},
      {"JpgQuality 0", {{"Export", "JpgQuality", "0"}}, [] {},
       [](const TAppSettings& s) { EXPECT_EQ(s.JpgQuality, 1); }},
      {"JpgQuality 150", {{"Export", "JpgQuality", "150"}}, [] {},
       [](const TAppSettings& s) { EXPECT_EQ(s.JpgQuality, 100); }},
      {"margins that are not numbers",
       {{"Printing", "PrintMarginTop", "half an inch"}, {"Printing", "PrintMarginLeft", ""}},
       [] {},
       [](const TAppSettings& s) {
         EXPECT_DOUBLE_EQ(s.PrintMarginTop, 1.0);
         EXPECT_DOUBLE_EQ(s.PrintMarginLeft, 1.0);
         EXPECT_DOUBLE_EQ(s.PrintMarginBottom, 0.5);  // the default "+0.5"
       }},
      {"margins under a locale with a decimal comma",
       {{"Printing", "PrintMarginLeft", "0,75"}},
       [this] { locale.decimal_separator = ','; },
       [](const TAppSettings& s) {
         EXPECT_DOUBLE_EQ(s.PrintMarginLeft, 0.75);
         EXPECT_DOUBLE_EQ(s.PrintMarginTop, 0.5);  // the built-in "+0.5" still reads
       }},
      {"integers that are not decimal integers give the default",
       {{"Preferences", "HintHidePause", "12x"}, {"Preferences", "ThumbNailSize", ""},
        {"Export", "Sequence", "99999999999"}, {"Preferences", "GreyX", "0x2"}},
       [] {},
       [](const TAppSettings& s) {
         EXPECT_EQ(s.HintHidePause, 4500);
         EXPECT_EQ(s.ThumbNailSize, 64);
         EXPECT_EQ(s.Sequence, 1);
         EXPECT_EQ(s.GreyX, 1);
       }},
      {"booleans are any non-zero integer",
       {{"Preferences", "ShowBinary", "2"}, {"Preferences", "ShowHint", "-1"}, {"Preferences", "UseSysTray", "0"},
        {"Preferences", "WrapText", "yes"}},
       [] {},
       [](const TAppSettings& s) {
         EXPECT_TRUE(s.ShowBinary);
         EXPECT_TRUE(s.ShowHint);
         EXPECT_FALSE(s.UseSysTray);
         EXPECT_FALSE(s.WrapText);  // not a number: the default, 0
       }},
      {"font character sets outside 0..255 fall back to the default set",
       {{"Fonts", "MagFontCharset", "300"}, {"Fonts", "ClipListFontCharset", "-2"}},
       [] {},
       [](const TAppSettings& s) {
         EXPECT_EQ(s.MagFont.Charset, 1);
         EXPECT_EQ(s.ClipListFont.Charset, 1);
       }},
      {"a negative start-up delay", {{"Preferences", "PhantomDelay", "-500"}}, [] {},
       [](const TAppSettings& s) { EXPECT_EQ(s.PhantomDelay, 0); }},
      {"LogLevel goes to the log's mask", {{"Preferences", "LogLevel", "3"}}, [] {},
       [this](const TAppSettings&) { EXPECT_EQ(log_level, 3); }},
      {"AfterLoadDuration is read", {{"Preferences", "AfterLoadDuration", "777"}}, [] {},
       [](const TAppSettings& s) { EXPECT_EQ(s.AfterLoadDuration, 777); }},
      {"no documents folder", {}, [this] { folders.documents.reset(); },
       [this](const TAppSettings& s) {
         EXPECT_EQ(s.ExportDir, "\\Ottermoor_Export");
         EXPECT_EQ(s.DefaultDataPath(), Scratch("appdata") + "\\Brenholt\\Ottermoor\\");
       }},
      {"no application-data folder", {}, [this] { folders.app_data.reset(); },
       [this](const TAppSettings& s) { EXPECT_EQ(s.DefaultDataPath(), Scratch("docs") + "\\Brenholt\\Ottermoor\\"); }},
      {"neither folder", {},
       [this] {
         folders.app_data.reset();
         folders.documents.reset();
       },
       [](const TAppSettings& s) { EXPECT_EQ(s.DefaultDataPath(), "C:\\Program Files\\Ottermoor\\data\\"); }},
  };

  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(store.DeleteTree(kRegistryKey));
    screen.size = {1024, 768};
    locale.decimal_separator = '.';
    folders.app_data = Scratch("appdata");
    folders.documents = Scratch("docs");
    c.environment();
    PutSource("My Clips", Scratch("data") + "\\");
    for (const GoldenValue& v : c.stored) Put(v.section, v.name, v.text);
    c.check(*Loaded());
  }
}

// --- data sources ------------------------------------------------------------

TEST_F(SettingsTest, MyClipsListedThirdMovesToTheFront) {
  PutSource("Work", "D:\\Work\\");
  PutSource("Archive", "E:\\Archive\\", "", "1", "0");
  PutSource("My Clips", Scratch("mine") + "\\");
  ASSERT_TRUE(store.DeleteValue(std::string(kRegistryKey) + "\\DataSources\\Work", "Read_Only"));
  ASSERT_TRUE(store.DeleteValue(std::string(kRegistryKey) + "\\DataSources\\Work", "AutoLoad"));
  Put("DataSources", "Work", "7");     // a source number; nothing in the program writes one
  Put("DataSources", "Archive", "x");  // not a number: 1

  auto s = Loaded();
  EXPECT_TRUE(chooser.recommended.empty());
  ASSERT_EQ(s->DataSources.size(), 3u);
  EXPECT_EQ(s->DataSources[0].Name, "My Clips");
  EXPECT_EQ(s->DataSources[1].Name, "Archive");
  EXPECT_EQ(s->DataSources[2].Name, "Work");
  EXPECT_EQ(s->DataSources[0].Source.Directory, Scratch("mine") + "\\");
  EXPECT_TRUE(s->DataSources[1].Source.Read_Only);
  EXPECT_FALSE(s->DataSources[1].Source.AutoLoad);
  EXPECT_FALSE(s->DataSources[2].Source.Read_Only);  // missing values: the defaults
  EXPECT_TRUE(s->DataSources[2].Source.AutoLoad);
  EXPECT_EQ(s->DataSources[0].Source.ID, 1);
  EXPECT_EQ(s->DataSources[1].Source.ID, 1);
  EXPECT_EQ(s->DataSources[2].Source.ID, 7);
  EXPECT_EQ(s->NextSourceNumber, 8);

  // The comparison is exact: another spelling stays where it is.
  ASSERT_TRUE(store.DeleteTree(kRegistryKey));
  PutSource("Work", "D:\\Work\\");
  PutSource("my clips", "D:\\Mine\\");
  s = Loaded();
  ASSERT_EQ(s->DataSources.size(), 2u);
  EXPECT_EQ(s->DataSources[0].Name, "Work");
}

TEST_F(SettingsTest, UseWindowsDefaultDataPathRewritesMyClipsOnce) {
  PutSource("Work", "D:\\Work\\");
  PutSource("My Clips", "D:\\Old\\", "Old clips");
  Put("DataSources\\My Clips", "Read_Only", "1");
  Put("DataSources", "UseWindowsDefaultDataPath", "1");

  auto s = Loaded();
  ASSERT_EQ(s->DataSources.size(), 2u);
  const TDataSourceEntry& mine = s->DataSources[0];
  EXPECT_EQ(mine.Name, "My Clips");
  EXPECT_EQ(mine.Source.Directory, Scratch("appdata") + "\\Brenholt\\Ottermoor\\");
  EXPECT_EQ(mine.Source.Description, "My Clips");
  EXPECT_FALSE(mine.Source.Read_Only);
  EXPECT_EQ(Get("DataSources", "UseWindowsDefaultDataPath"), "0");

  // Save rewrites "DataSources" from scratch, the flag with it.
  s->Save();
  EXPECT_EQ(Get("DataSources", "UseWindowsDefaultDataPath"), std::nullopt);
  EXPECT_EQ(Get("DataSources\\My Clips", "Directory"), Scratch("appdata") + "\\Brenholt\\Ottermoor\\");
}

TEST_F(SettingsTest, DataFolderDialogReturnsUntilAFolderIsConfirmed) {
  chooser.answers = {std::nullopt, std::string(), Scratch("mine")};
  auto s = Loaded();
  const std::string default_path = Scratch("appdata") + "\\Brenholt\\Ottermoor\\";
  EXPECT_THAT(chooser.recommended, ElementsAre(default_path, default_path, default_path));
  ASSERT_EQ(s->DataSources.size(), 1u);
  EXPECT_EQ(s->DataSources[0].Source.Directory, Scratch("mine") + "\\");
  EXPECT_EQ(Get("DataSources\\My Clips", "Directory"), Scratch("mine") + "\\");
  EXPECT_EQ(Get("DataSources\\My Clips", "AutoLoad"), "1");
  EXPECT_EQ(Get("DataSources\\My Clips", "Read_Only"), "0");
}

// With a store that refuses every write, listing the sources again after the
// dialog would still find none; the dialog must not come back forever.
TEST_F(SettingsTest, ConfirmedFolderServesTheRunWhenTheStoreCannotBeWritten) {
  store.SetReadOnly(true);
  auto s = Loaded();
  EXPECT_EQ(chooser.recommended.size(), 1u);
  ASSERT_EQ(s->DataSources.size(), 1u);
  EXPECT_EQ(s->DataSources[0].Name, "My Clips");
  EXPECT_EQ(s->DataSources[0].Source.Description, "My Clips");
  EXPECT_EQ(s->DataSources[0].Source.Directory, Scratch("chosen") + "\\");
  EXPECT_TRUE(s->DataSources[0].Source.AutoLoad);
}

TEST_F(SettingsTest, FreshDataFolderOnlyWithoutSubfolders) {
  namespace fs = std::filesystem;
  struct Case {
    const char* what;
    std::function<void(const fs::path&)> make;
    bool fresh;
  };
  const std::vector<Case> cases = {
      {"missing folder", [](const fs::path&) {}, true},
      {"empty folder", [](const fs::path& dir) { fs::create_directories(dir); }, true},
      {"only files",
       [](const fs::path& dir) {
         fs::create_directories(dir);
         std::ofstream(dir / "LOG.TXT") << "x";
       },
       true},
      {"a collection folder", [](const fs::path& dir) { fs::create_directories(dir / "Clipboard"); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path dir = scratch_ / c.what;
    c.make(dir);
    ASSERT_TRUE(store.DeleteTree(kRegistryKey));
    PutSource("My Clips", dir.string() + "\\");
    EXPECT_EQ(Loaded()->FreshDataFolder, c.fresh);
  }
}

// --- save and the reset operations -------------------------------------------

TEST_F(SettingsTest, SaveRewritesTheListsAndLeavesAfterLoadDurationAlone) {
  PutSource("My Clips", Scratch("mine") + "\\");
  PutSource("Old", "D:\\Old\\");
  Put("DataSources", "Old", "4");
  Put("Pickdrop_NoCtrlV", "Notepad", "1");
  Put("Pickdrop_NoCtrlV", "Word", "1");
  Put("Preferences", "AfterLoadDuration", "777");

  auto s = Loaded();
  EXPECT_THAT(s->NoCtrlVList, ElementsAre("Notepad", "Word"));
  s->NoCtrlVList = {"Terminal"};
  s->DataSources.pop_back();
  s->AfterLoadDuration = 5;
  s->Save();

  const std::string root = kRegistryKey;
  EXPECT_THAT(store.ValueNames(root + "\\Pickdrop_NoCtrlV"), ElementsAre("Terminal"));
  EXPECT_EQ(Get("Pickdrop_NoCtrlV", "Terminal"), "1");
  EXPECT_THAT(store.ValueNames(root + "\\DataSources\\_Dirs"), ElementsAre("My Clips"));
  EXPECT_FALSE(store.KeyExists(root + "\\DataSources\\Old"));
  EXPECT_EQ(Get("DataSources", "Old"), std::nullopt);
  EXPECT_EQ(Get("Preferences", "AfterLoadDuration"), "777");
}

TEST_F(SettingsTest, ResetAllWipesTheTreeAndNothingIsSavedAfterIt) {
  PutSource("My Clips", Scratch("mine") + "\\");
  Put("Application Profile\\notepad.exe", "1", "1");
  auto s = Loaded();
  s->GreyX = 0;
  s->ResetAll();
  EXPECT_TRUE(s->NoSaveOnExit);
  EXPECT_FALSE(store.KeyExists(kRegistryKey));
  EXPECT_THAT(messages.shown, ElementsAre("All settings will be reset to defaults the next time \r\n"
                                          "Ottermoor is started.  Please restart Ottermoor now."));
  s->Save();
  EXPECT_FALSE(store.KeyExists(kRegistryKey));

  // At start-up Load follows at once: it saves again, and asks for a folder.
  s->Load();
  EXPECT_FALSE(s->NoSaveOnExit);
  EXPECT_EQ(chooser.recommended.size(), 1u);
  EXPECT_EQ(s->GreyX, 1);
  s->Save();
  EXPECT_EQ(Get("Preferences", "GreyX"), "1");
}

TEST_F(SettingsTest, ResetSizePositionLosesTheRunsOtherChanges) {
  PutSource("My Clips", Scratch("mine") + "\\");
  Put("Preferences", "GreyX", "2");
  Put("Position", "Left1", "10");
  Put("lvClips\\Columns", "Sizes", "100,200");
  Put("lvPD\\Sort", "SortCol", "1");
  Put("Application Profile\\notepad.exe", "1", "1");

  auto s = Loaded();
  s->GreyX = 0;
  s->Captured = 99;
  s->ResetSizePosition();
  EXPECT_TRUE(s->NoSaveOnExit);
  EXPECT_THAT(messages.shown, ElementsAre("Size/Position settings will be reset to defaults the next time \r\n"
                                          "Ottermoor is started.  Please restart Ottermoor now."));
  const std::string root = kRegistryKey;
  for (const char* gone : {"Position", "lvClips", "lvPD"}) EXPECT_FALSE(store.KeyExists(root + "\\" + gone)) << gone;

  const auto before_save = DumpTree(store, root);
  s->Save();
  EXPECT_EQ(DumpTree(store, root), before_save);
  EXPECT_EQ(Get("Preferences", "GreyX"), "2");
  EXPECT_EQ(Get("Application Profile\\notepad.exe", "1"), "1");
}

TEST_F(SettingsTest, ClearAppProfileLeavesTheSaveOn) {
  PutSource("My Clips", Scratch("mine") + "\\");
  Put("Application Profile\\notepad.exe", "1", "1");
  Put("Application Profile", "notepad.exe", "1");
  auto s = Loaded();
  s->GreyX = 0;
  s->ClearAppProfile();
  EXPECT_FALSE(s->NoSaveOnExit);
  EXPECT_FALSE(store.KeyExists(std::string(kRegistryKey) + "\\Application Profile"));
  EXPECT_THAT(messages.shown, ElementsAre("Application Profile Has Been Cleared."));
  s->Save();
  EXPECT_EQ(Get("Preferences", "GreyX"), "0");
}

// The store reports no error to the user, but a refused save leaves one line
// in the log rather than a silent loss.
TEST_F(SettingsTest, RefusedSaveLeavesOneErrorLine) {
  PutSource("My Clips", Scratch("mine") + "\\");
  auto s = Loaded();
  fake::FakeDesktop desktop;
  TAppLog log(kDefaultLogLevel, Scratch("log"), desktop.Clock(), locale, log_level);
  store.SetReadOnly(true);
  s->Save();
  std::ifstream in(std::filesystem::path(Scratch("log")) / "LOG.TXT", std::ios::binary);
  std::string header, line, rest;
  std::getline(in, header);
  std::getline(in, line);
  EXPECT_THAT(line, ::testing::MatchesRegex(".*,23,TAppSettings\\.Save,[0-9]+ settings could not be written to "
                                            "Software.Brenholt.Ottermoor\r"));
  EXPECT_FALSE(std::getline(in, rest));
}

}  // namespace
}  // namespace om::testing
