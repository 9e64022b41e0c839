// The main window's behaviour on the simulated desktop: the registry with
// one data source in a scratch folder of its own, the native file system,
// scripted DDE servers and program instances, fake widgets, and foreign
// applications (from the clipboard engine's fixture) that put data on the
// clipboard.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/app_log.h"
#include "app/app_settings.h"
#include "app/settings_fixture.h"
#include "clipboard/format_names.h"
#include "clipboard/graphics_data.h"
#include "clipboard/viewer_fixture.h"
#include "ui/main/fake_widgets.h"
#include "ui/main/main_form.h"
#include "platform/datetime.h"
#include "platform/fake/fake_app_instance.h"
#include "platform/fake/fake_dde_client.h"
#include "platform/fake/fake_hot_keys.h"
#include "platform/fake/fake_keyboard.h"
#include "platform/fake/fake_desktop.h"
#include "platform/fake/fake_locale.h"
#include "platform/fake/fake_screen.h"
#include "platform/fake/fake_shell.h"
#include "platform/fake/fake_shell_folders.h"
#include "platform/posix/file_system.h"
#include "store/clip_lock.h"

namespace om::testing {

namespace fs = std::filesystem;

class MainFormTest : public ::testing::Test {
 protected:
  MainFormTest() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "_" + info->name();
    std::replace(name.begin(), name.end(), '/', '_');
    dir_ = fs::temp_directory_path() / ("om_form_" + std::to_string(::getpid()) + "_" + name);
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "data");
    desktop_.Clock().SetNow(EncodeDateTime({2024, 3, 5, 14, 7, 9, 0}));
    saved_formats_ = {RTFFormat, HTMLFormat, URLFormat, IgnoreFormat};
    saved_log_level_ = LogLevelVariable();
    folders_.app_data = (dir_ / "appdata").string();
    folders_.documents = (dir_ / "docs").string();
    chooser_.fallback = Folder(dir_ / "chosen");
    PutSource("My Clips", DataFolder());
    // Every log level, so that the tests can read the decisions.
    Put("Preferences", "LogLevel", "127");
  }
  ~MainFormTest() override {
    form_.reset();
    settings_.reset();
    apps_.clear();
    RTFFormat = saved_formats_[0];
    HTMLFormat = saved_formats_[1];
    URLFormat = saved_formats_[2];
    IgnoreFormat = saved_formats_[3];
    LogLevelVariable() = saved_log_level_;
    fs::remove_all(dir_);
  }

  // A folder in the program's form: backslash at the end.
  static std::string Folder(const fs::path& path) { return path.string() + "\\"; }
  std::string DataFolder() const { return Folder(dir_ / "data"); }
  fs::path DataPath(const std::string& relative = "") const { return dir_ / "data" / relative; }

  void Put(const std::string& section, const std::string& name, const std::string& value) {
    ASSERT_TRUE(desktop_.Store().WriteString(std::string(kRegistryKey) + "\\" + section, name, value));
  }
  void PutSource(const std::string& name, const std::string& directory) {
    Put("DataSources\\_Dirs", name, "1");
    Put("DataSources\\" + name, "Description", name);
    Put("DataSources\\" + name, "Directory", directory);
    Put("DataSources\\" + name, "Read_Only", "0");
    Put("DataSources\\" + name, "AutoLoad", "1");
  }
  std::optional<std::string> Get(const std::string& section, const std::string& name) {
    return desktop_.Store().ReadString(std::string(kRegistryKey) + "\\" + section, name);
  }

  TAppSettingsContext SettingsContext() {
    return TAppSettingsContext{.store = desktop_.Store(),
                               .locale = locale_,
                               .folders = folders_,
                               .screen = screen_,
                               .data_folder_chooser = chooser_,
                               .messages = messages_,
                               .program_file = "C:\\Program Files\\Ottermoor\\Ottermoor.exe"};
  }
  MainFormPorts Ports() {
    return MainFormPorts{desktop_.Windows(), desktop_.Clock(), desktop_.Processes(), desktop_.Prompts(),
                         desktop_.Sound(),   locale_,           clipboard_,         desktop_.Clipboard(),
                         desktop_.Store(),   files_,            dde_,               instance_,
                         shell_,             keyboard_,         hot_keys_};
  }

  // Writes an empty collection folder into the data folder before the
  // program starts; `configure` sets its attributes.
  void WriteCollection(const std::string& title, std::int32_t tree_sort_key,
                       const std::function<void(TClipColl&)>& configure = nullptr) {
    TStoreServices services;
    services.Clock = &desktop_.Clock();
    services.Locale = &locale_;
    services.Clipboard = &desktop_.Clipboard();
    services.Files = &files_;
    ScopedStoreServices scope(services);
    // Below a node standing for the data folder, as the loader will find it.
    TClipColl source;
    source.Role = collrole::kFolderNode;
    source.DirName = DataFolder();
    TClipColl coll(/*initialise=*/true);
    coll.Parent = &source;
    coll.Title = title;
    coll.DirName = title;
    coll.TreeSortKey = tree_sort_key;
    coll.AcceptNewClips = true;
    if (configure) configure(coll);
    ASSERT_TRUE(coll.SaveToFile(DataFolder() + title + "\\" + kCollFileName));
  }

  // Loads the settings and creates the form (start-up runs; the collections
  // load at the first tick of Timer1).
  TfrmQL& Start(std::vector<std::string> arguments = {}) {
    settings_ = std::make_unique<TAppSettings>(kRegistryKey, SettingsContext());
    settings_->Load();
    form_ = std::make_unique<TfrmQL>(Ports(), *settings_, widgets_.bundle, std::move(arguments));
    form_->SetEmergencyExit([this] { ++emergency_exits_; });
    form_->FormShow();
    return *form_;
  }
  // Started and loaded, and out of the viewer's settle window.
  TfrmQL& Loaded(std::vector<std::string> arguments = {}) {
    Start(std::move(arguments));
    Advance(TfrmQL::kTimer1Ms + 500);
    EXPECT_TRUE(form_->StartupDone());
    return *form_;
  }
  TfrmQL& Form() { return *form_; }
  TAppSettings& Settings() { return *settings_; }

  ForeignApp& Foreign(const std::string& module_path = "C:\\Apps\\notepad.exe") {
    apps_.push_back(std::make_unique<ForeignApp>(desktop_, module_path));
    return *apps_.back();
  }
  // Puts the items and lets the change settle and be handled.
  void Copy(ForeignApp& app, const std::vector<Item>& items) {
    app.Put(items);
    Advance(1500);
  }
  void CopyText(ForeignApp& app, std::string_view text) { Copy(app, {{"1", TextBytes(text)}}); }

  void Advance(std::uint32_t ms) { desktop_.Clock().Advance(ms); }

  TClipColl* Coll(const std::string& title) {
    TMasterList* list = form_->MasterList();
    for (std::size_t i = 0; list != nullptr && i < list->Count(); ++i) {
      if (list->Items(i)->Title == title) return list->Items(i);
    }
    return nullptr;
  }
  // Shows the collection as a click on its node does.
  void ShowColl(const std::string& title) {
    const TreeNode node = widgets_.tree.NodeOf(Coll(title));
    ASSERT_NE(node, 0u) << title;
    widgets_.tree.Select(node);
    form_->Tree().tvCollectionsChange(node);
  }
  // Clicks a row of the clip list.
  void ClickRow(int index) {
    widgets_.clips.Click(index);
    form_->ClipList().lvClipsChange(index, ListChange::kState);
  }
  static std::vector<std::string> Titles(const TClipColl& coll) {
    std::vector<std::string> out;
    for (const TCollEntry& entry : coll.Items()) out.push_back(entry.Clip->Title);
    return out;
  }
  // The titles the collection's file in the data folder holds now.
  std::vector<std::string> OnDisk(const std::string& title) {
    TStoreServices services;
    services.Clock = &desktop_.Clock();
    services.Locale = &locale_;
    services.Files = &files_;
    ScopedStoreServices scope(services);
    TMasterList list;  // clips read their data only while a master list exists
    TClipColl coll;
    coll.LoadFromFile(DataFolder() + title + "\\" + kCollFileName);
    return Titles(coll);
  }
  // The clips the collection's file in the data folder holds now: each
  // one's formats by name and its text (up to its first zero byte).
  struct StoredClip {
    std::vector<std::string> formats;
    std::string text;
  };
  std::vector<StoredClip> StoredClips(const std::string& title) {
    TStoreServices services;
    services.Clock = &desktop_.Clock();
    services.Locale = &locale_;
    services.Files = &files_;
    ScopedStoreServices scope(services);
    TMasterList list;  // clips read their data only while a master list exists
    TClipColl coll;
    coll.LoadFromFile(DataFolder() + title + "\\" + kCollFileName);
    std::vector<StoredClip> clips;
    for (const TCollEntry& entry : coll.Items()) {
      StoredClip stored;
      for (std::int32_t i = 0; i < entry.Clip->GetFormatCount(); ++i) {
        stored.formats.push_back(entry.Clip->GetFormatName(i));
      }
      if (const std::int32_t size = entry.Clip->Lock(cf::kText); size > 0) {
        const char* text = reinterpret_cast<const char*>(entry.Clip->LockedText);
        stored.text.assign(text, std::find(text, text + size, '\0'));
      }
      if (entry.Clip->LockedFormat != 0) entry.Clip->Unlock();
      clips.push_back(std::move(stored));
    }
    return clips;
  }
  std::string ClipboardText() {
    IClipboardSystem& board = desktop_.Clipboard();
    if (board.Open(0) != ClipStatus::kOk) return "<busy>";
    ClipData data = board.GetData(cf::kText);
    board.Close();
    std::string text(data.bytes.begin(), data.bytes.end());
    return text.substr(0, text.find('\0'));
  }

  std::string LogText() const {
    std::ifstream in(DataPath("LOG.TXT"), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  // True when the log holds a line with this place and exactly this text.
  bool Logged(const std::string& place, const std::string& text) const {
    return LogText().find("," + place + "," + text + "\r\n") != std::string::npos;
  }
  bool LogHas(const std::string& piece) const { return LogText().find(piece) != std::string::npos; }
  const std::vector<std::string>& Sounds() { return desktop_.Sound().Events(); }
  std::vector<std::string> Boxes() {
    std::vector<std::string> texts;
    for (const fake::ShownBox& box : desktop_.Prompts().Shown()) texts.push_back(box.text);
    return texts;
  }

  fake::FakeDesktop desktop_;
  fake::FakeLocale locale_;
  TClipboard clipboard_{desktop_.Clipboard()};
  TheClipboardInstallation installation_{clipboard_};
  posix::PosixFileSystem files_;
  fake::FakeDdeClient dde_;
  fake::FakeShell shell_;
  fake::FakeKeyboard keyboard_;
  fake::FakeHotKeys hot_keys_;
  fake::FakeInstanceWorld world_;
  fake::FakeAppInstance instance_{world_};
  fake::FakeShellFolders folders_;
  fake::FakeScreen screen_;
  ScriptedDataFolderChooser chooser_;
  RecordedMessages messages_;
  FakeMainWidgets widgets_;
  fs::path dir_;
  std::unique_ptr<TAppSettings> settings_;
  std::unique_ptr<TfrmQL> form_;
  std::vector<std::unique_ptr<ForeignApp>> apps_;
  int emergency_exits_ = 0;
  std::array<std::uint32_t, 4> saved_formats_{};
  std::int32_t saved_log_level_ = 0;
};

// A shown collection "Main" (and an empty "Other") filled with clips
// copied by a foreign program, with the list's selection made as the user
// makes it.
class ShownClipsTest : public MainFormTest {
 protected:
  // The collection "Main" shown, with the clips in this order from the top
  // (the newest clip goes to the top, so they are copied from the last).
  void StartWith(const std::vector<std::vector<Item>>& clips) {
    WriteCollection("Main", 100);
    WriteCollection("Other", 200);
    Loaded();
    ShowColl("Main");
    app_ = &Foreign();
    for (auto clip = clips.rbegin(); clip != clips.rend(); ++clip) {
      Advance(5000);
      Copy(*app_, *clip);
    }
  }
  static std::vector<Item> Text(std::string_view text) { return {{"1", TextBytes(text)}}; }
  static std::vector<Item> Picture(std::uint8_t red) { return {{"2", SmallDib(red)}}; }
  void CopyLater(const std::vector<Item>& items) {
    Advance(5000);
    Copy(*app_, items);
  }

  static std::string TextOf(TClipObj* clip) {
    if (clip == nullptr) return "<no clip>";
    TClipLock lock(*clip, cf::kText);
    return std::string(lock.Text());
  }
  TClipObj* Row(int row) { return Form().ClipList().ClipAt(row); }
  int ClipCount(const std::string& title) { return Coll(title)->Count(); }

  // A Ctrl+click on a row as the list view reports it: the focused row
  // loses its focus, then the row is focused and selected.
  void CtrlClickRow(int row) {
    const int focused = widgets_.clips.Focused();
    widgets_.clips.SetFocused(row);
    widgets_.clips.SetSelected(row, true);
    if (focused >= 0) Form().ClipList().lvClipsChange(focused, ListChange::kState);
    Form().ClipList().lvClipsChange(row, ListChange::kState);
    Form().ClipList().lvClipsChange(row, ListChange::kState);
  }
  // Clicks the first row, then Ctrl+clicks the others, in this order.
  void SelectInOrder(const std::vector<int>& rows) {
    ClickRow(rows.front());
    for (std::size_t i = 1; i < rows.size(); ++i) CtrlClickRow(rows[i]);
  }


  ForeignApp* app_ = nullptr;
};

}  // namespace om::testing
