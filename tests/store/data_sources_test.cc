#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "coll_fixture.h"
#include "store/data_sources.h"
#include "ui/dialogs/ds_prop.h"
#include "store/store_errors.h"

namespace om::testing {
namespace {

using ::testing::ElementsAre;

// The main window as the commands see it: scripted answers, recorded calls.
class RecordingHost : public IDataSourceHost {
 public:
  std::string current_directory = "C:\\Program Files\\Ottermoor";
  std::optional<std::string> picked;
  int properties_answer = 1;
  std::string new_title;  // typed into the properties dialog when not empty

  std::vector<std::string> calls;
  std::vector<std::string> proposed;

  void ShowStatus(std::string_view text) override { calls.push_back("status " + std::string(text)); }
  std::string CurrentDirectory() override { return current_directory; }
  std::optional<std::string> PickDirectory(std::string_view start) override {
    proposed.emplace_back(start);
    return picked;
  }
  int ShowDataSourceProperties(TDataSource& source) override {
    calls.push_back("properties " + source.Directory);
    if (properties_answer == 1 && !new_title.empty()) source.Description = new_title;
    return properties_answer;
  }
  void SaveAllClips() override { calls.push_back("save"); }
  void ReloadAllData() override { calls.push_back("reload"); }
};

// (The scratch folder is named after the test: no name here may contain
// "data", which would change what the commands ask.)
class SourceCommandsTest : public CollTest {
 protected:
  SourceCommandsTest() {
    sources_.push_back({"My Clips", {1, true, "My Clips", Folder(dir_ / "main"), false, true}});
    sources_.push_back({"Shared", {1, true, "Shared", Folder(dir_ / "shared"), true, true}});
  }
  TDataSourceCommands Commands() {
    return TDataSourceCommands(sources_, next_number_, host_, desktop_.Prompts(), files_);
  }

  std::vector<TDataSourceEntry> sources_;
  std::int32_t next_number_ = 2;
  RecordingHost host_;
};

TEST_F(SourceCommandsTest, AddANewSource) {
  const std::string picked = (dir_ / "new" / "clips").string();
  host_.picked = picked;
  desktop_.Prompts().QueueAnswer(MsgResult::kOk);
  desktop_.Prompts().QueueAnswer(MsgResult::kYes);  // add "\data"
  Commands().AddDataSourceClick();

  EXPECT_THAT(host_.proposed, ElementsAre("C:\\Program Files\\Ottermoor\\data"));
  const std::string directory = picked + "\\data\\";
  EXPECT_TRUE(fs::is_directory(dir_ / "new" / "clips" / "data"));
  ASSERT_EQ(sources_.size(), 3u);
  const TDataSourceEntry& added = sources_.back();
  EXPECT_EQ(added.Name, "New Data Source");
  EXPECT_EQ(added.Source.ID, 3);
  EXPECT_EQ(next_number_, 3);
  EXPECT_EQ(added.Source.Description, "New Data Source");
  EXPECT_EQ(added.Source.Directory, directory);
  EXPECT_FALSE(added.Source.Read_Only);
  EXPECT_TRUE(added.Source.AutoLoad);
  EXPECT_FALSE(added.Source.Online);
  EXPECT_THAT(host_.calls, ElementsAre("properties " + directory, "status Created", "status Loading Data...",
                                       "save", "reload"));
  EXPECT_THAT(Messages(),
              ElementsAre("In the next dialog, pick your new data directory. If it does not already exist, it will "
                          "be created.  \r\nYou should NOT have multiple data sources using the same directory.",
                          "Would you like to add \"\\data\" to the end of that path?",
                          "The data source has been added to the list of sources to load.  \r\n"
                          "When you click OK, Ottermoor will reload data."));
  EXPECT_EQ(desktop_.Prompts().Shown()[1].buttons, MsgButtons::kYesNo);
}

TEST_F(SourceCommandsTest, AddAsksNothingWhenThePathSaysSo) {
  host_.current_directory = "D:\\MyData\\";
  host_.picked = (dir_ / "Data2").string();
  host_.new_title = "Second";
  Commands().AddDataSourceClick();
  EXPECT_THAT(host_.proposed, ElementsAre("D:\\MyData\\"));
  EXPECT_EQ(MessageCount(), 2u);  // no question about "\data"
  ASSERT_EQ(sources_.size(), 3u);
  EXPECT_EQ(sources_.back().Name, "Second");
  EXPECT_EQ(sources_.back().Source.Directory, Folder(dir_ / "Data2"));

  // A second source of a name already listed is listed under a name of its
  // own (the name is its key in the registry).
  host_.picked = (dir_ / "Data3").string();
  host_.new_title = "second";
  Commands().AddDataSourceClick();
  ASSERT_EQ(sources_.size(), 4u);
  EXPECT_EQ(sources_.back().Name, "second (2)");
  EXPECT_EQ(sources_.back().Source.Description, "second");
  host_.picked = (dir_ / "Data4").string();
  host_.new_title = "a\\b";
  Commands().AddDataSourceClick();
  EXPECT_EQ(sources_.back().Name, "a_b");
}

TEST_F(SourceCommandsTest, AddCancelled) {
  host_.picked = std::nullopt;
  Commands().AddDataSourceClick();
  EXPECT_THAT(host_.calls, ElementsAre("status Cancelled"));

  host_.picked = (dir_ / "data_x").string();
  host_.properties_answer = 2;
  host_.calls.clear();
  Commands().AddDataSourceClick();
  EXPECT_THAT(host_.calls, ElementsAre("properties " + Folder(dir_ / "data_x"), "status Cancelled"));
  EXPECT_EQ(sources_.size(), 2u);
}

TEST_F(SourceCommandsTest, AFolderThatCannotBeCreated) {
  WriteFile(dir_ / "plain_file", {1});
  const std::string path = (dir_ / "plain_file" / "data").string();
  host_.picked = path;
  try {
    Commands().AddDataSourceClick();
    FAIL() << "no ECreateDirectory";
  } catch (const ECreateDirectory& error) {
    EXPECT_EQ(std::string(error.what()), "Could NOT create data source directory: \r\n" + path);
  }
  EXPECT_TRUE(Logged("AddDataSourceClick", "Could Not Create Directory:" + path));
  EXPECT_EQ(sources_.size(), 2u);
  EXPECT_THAT(host_.calls, ::testing::IsEmpty());
}

TEST_F(SourceCommandsTest, DeleteASourceNode) {
  TClipColl node(false);
  node.Role = collrole::kFolderNode;
  node.DataSource = &sources_[1].Source;
  Commands().DeleteDataSourceClick(&node);
  ASSERT_EQ(sources_.size(), 1u);
  EXPECT_EQ(sources_[0].Name, "My Clips");
  EXPECT_THAT(host_.calls, ElementsAre("status Data Source Deleted", "save", "reload"));
  EXPECT_THAT(Messages(), ElementsAre("The data source has been removed from the list of sources to load.  \r\n"
                                      "The directory remains on disk.  When you click OK, Ottermoor will reload "
                                      "data."));

  // The primary source is not looked for.
  host_.calls.clear();
  node.DataSource = &sources_[0].Source;
  Commands().DeleteDataSourceClick(&node);
  EXPECT_EQ(sources_.size(), 1u);
  EXPECT_THAT(host_.calls, ElementsAre("status Failed - Could Not Match DataSource To Master List."));
}

TEST_F(SourceCommandsTest, TheSettingsDialogsDelete) {
  EXPECT_FALSE(Commands().DeleteSelectedDataSource(std::nullopt));
  EXPECT_TRUE(Commands().DeleteSelectedDataSource(0));
  EXPECT_EQ(sources_[0].Name, "Shared");
  EXPECT_FALSE(Commands().DeleteSelectedDataSource(0));
  EXPECT_THAT(Messages(),
              ElementsAre("Please select a data source first.", "You cannot delete the only data directory."));
}

class ScriptedDSPropView : public IDSPropView {
 public:
  bool ok = true;
  std::string caption;
  TDSPropFields shown;
  std::function<void(TDSPropFields&)> edit;
  bool ShowModal(const std::string& c, TDSPropFields& fields) override {
    caption = c;
    shown = fields;
    if (edit) edit(fields);
    return ok;
  }
};

TEST_F(SourceCommandsTest, PropertiesDialog) {
  ScriptedDSPropView view;
  TfrmDSProp dialog(view);
  TDataSource source{7, false, "Old", "C:\\Clips\\", false, true};
  view.edit = [](TDSPropFields& f) {
    f.Title = "Renamed";
    f.ReadOnly = true;
    f.AutoLoad = false;
    f.Directory = "ignored";
  };
  view.ok = false;
  EXPECT_EQ(dialog.ShowFor(source), TfrmDSProp::kCancel);
  EXPECT_EQ(source.Description, "Old");
  EXPECT_TRUE(source.AutoLoad);

  view.ok = true;
  EXPECT_EQ(dialog.ShowFor(source), TfrmDSProp::kOK);
  EXPECT_EQ(view.caption, "Data Source Properties");
  EXPECT_EQ(view.shown.Directory, "C:\\Clips\\");
  EXPECT_EQ(view.shown.ID, "7");
  EXPECT_EQ(view.shown.Status, "Offline");
  EXPECT_EQ(view.shown.Title, "Old");
  EXPECT_EQ(source.Description, "Renamed");
  EXPECT_TRUE(source.Read_Only);
  EXPECT_FALSE(source.AutoLoad);
  EXPECT_EQ(source.Directory, "C:\\Clips\\");
  source.Online = true;
  dialog.ShowFor(source);
  EXPECT_EQ(view.shown.Status, "Online");
}

}  // namespace
}  // namespace om::testing
