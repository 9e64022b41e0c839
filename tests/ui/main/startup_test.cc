// Start-up, the deferred load, the close query, shutdown and the error trap.
#include <gtest/gtest.h>

#include "ui/main/current_operation.h"
#include "ui/main/main_form_fixture.h"
#include "platform/handler_errors.h"
#include "store/store_errors.h"

namespace om::testing {
namespace {

using StartupTest = MainFormTest;

TEST_F(StartupTest, FirstRunAsksForAFolderCreatesTheTwoCollectionsAndShowsTheFirst) {
  // An empty registry: no data source yet.
  desktop_.Store().DeleteTree(kRegistryKey);
  chooser_.fallback = DataFolder();
  Start();
  EXPECT_EQ(chooser_.recommended.size(), 1u);
  EXPECT_TRUE(Form().EventsSuspended());
  EXPECT_EQ(Form().MasterList()->Count(), 0u) << "nothing loads before the start-up tick";

  Advance(TfrmQL::kTimer1Ms);
  EXPECT_TRUE(Form().StartupDone());
  EXPECT_FALSE(Form().EventsSuspended());
  EXPECT_TRUE(fs::exists(DataPath("Short-Term/_COLL.QL4")));
  EXPECT_TRUE(fs::exists(DataPath("Long-Term/_COLL.QL4")));
  EXPECT_FALSE(Settings().FreshDataFolder);
  EXPECT_EQ(widgets_.tree.Captions(),
            (std::vector<std::string>{"My Clips", "Short-Term", "Long-Term", "Trash Can", "Search Results"}));
  ASSERT_NE(Coll("Short-Term"), nullptr);
  EXPECT_EQ(Coll("Short-Term")->CollType, colltype::kLength);
  EXPECT_EQ(Coll("Long-Term")->CollType, colltype::kSafe);
  EXPECT_EQ(Coll("Long-Term")->IconIndex, collicon::kSafe);
  EXPECT_EQ(Form().ShownCollection(), Coll("Short-Term"));
  EXPECT_EQ(widgets_.tree.Selected(), widgets_.tree.NodeOf(Coll("Short-Term")));
  EXPECT_EQ(Form().Inbox(), Coll("Short-Term"));
  EXPECT_TRUE(widgets_.shell.clip_panel_visible);
  EXPECT_TRUE(widgets_.tree.Expanded(widgets_.tree.NodeOf(Coll("My Clips"))));
  EXPECT_EQ(widgets_.status.panels[0], "5 Collections Loaded.");
  EXPECT_FALSE(widgets_.shell.busy);
}

TEST_F(StartupTest, TreeNestsCollectionsBelowTheirSourceInSortKeyOrder) {
  WriteCollection("Zeta", 100);
  WriteCollection("Alpha", 900);
  WriteCollection("Mid", 500, [](TClipColl& c) { c.Favorite = true; });
  Loaded();
  EXPECT_EQ(widgets_.tree.Captions(),
            (std::vector<std::string>{"My Clips", "Zeta", "Mid", "Alpha", "Trash Can", "Search Results"}));
  const TreeNode source = widgets_.tree.NodeOf(Coll("My Clips"));
  EXPECT_EQ(widgets_.tree.Parent(widgets_.tree.NodeOf(Coll("Alpha"))), source);
  EXPECT_EQ(widgets_.tree.Parent(widgets_.tree.NodeOf(Form().TrashCan())), 0u);
  // Favourites show their mark from the start; the special nodes none.
  EXPECT_EQ(widgets_.tree.StateIndex(widgets_.tree.NodeOf(Coll("Mid"))), 4);
  EXPECT_EQ(widgets_.tree.StateIndex(widgets_.tree.NodeOf(Form().TrashCan())), -1);
  EXPECT_FALSE(fs::exists(DataPath("Short-Term"))) << "a data folder with collections is no first run";
}

TEST_F(StartupTest, TrashAndSearchResultsStartEmptyEveryTime) {
  fs::create_directories(DataPath("TrashCan"));
  std::ofstream(DataPath("TrashCan/D5.DAT")) << "left from the last run";
  fs::create_directories(DataPath("SearchResults"));
  std::ofstream(DataPath("SearchResults/_COLL.QL4")) << "stale";
  Loaded();
  EXPECT_FALSE(fs::exists(DataPath("TrashCan/D5.DAT")));
  EXPECT_FALSE(fs::exists(DataPath("SearchResults/_COLL.QL4")));
  EXPECT_TRUE(fs::is_directory(DataPath("TrashCan")));
  ASSERT_NE(Form().TrashCan(), nullptr);
  EXPECT_EQ(Form().TrashCan()->Count(), 0);
  EXPECT_EQ(Form().TrashCan()->Role, collrole::kTrash);
  EXPECT_FALSE(Form().TrashCan()->AcceptNewClips);
  EXPECT_EQ(Form().SearchResults()->Role, collrole::kSearchResults);
  EXPECT_EQ(Form().SearchResults()->TreeSortKey, 64001);
}

TEST_F(StartupTest, ChangesBeforeTheLoadAreOnlyLoggedAndCaptureStartsAfterIt) {
  Start();
  EXPECT_TRUE(Form().Viewer().Active());
  EXPECT_TRUE(Form().Viewer().Capturing);
  ForeignApp& app = Foreign();
  Advance(300);  // a change at the very moment of joining is taken for the program's own
  app.PutText("too early");
  Advance(600);  // handled, still before the start-up tick
  ASSERT_FALSE(Form().StartupDone());
  EXPECT_TRUE(LogHas("Paste Accepted - last copy was"));
  EXPECT_EQ(Settings().Captured, 0);

  Advance(1000);
  ASSERT_TRUE(Form().StartupDone());
  EXPECT_EQ(Coll("Short-Term")->Count(), 0);
  CopyText(app, "in time");
  EXPECT_EQ(Titles(*Coll("Short-Term")), std::vector<std::string>{"in time"});
}

TEST_F(StartupTest, ClosingWhileLoadingEndsWithoutSavingAnything) {
  Start();
  EXPECT_TRUE(Form().FormCloseQuery());
  EXPECT_TRUE(Logged("#FormCloseQuery Started AGAIN", "Probably Re-Try.  Returning TRUE."));
  const WindowHandle viewer = Form().Viewer().Handle();
  form_.reset();
  // Out of the chain, no collection written, no settings saved.
  EXPECT_NE(desktop_.Clipboard().Viewer(), viewer);
  EXPECT_FALSE(fs::exists(DataPath("Short-Term")));
  EXPECT_FALSE(Get("Preferences", "InstalledAlready").has_value());
}

TEST_F(StartupTest, CloseSavesEveryCollectionThenLeavesTheChainAndSavesTheSettings) {
  WriteCollection("Notes", 100);
  Loaded();
  ForeignApp& app = Foreign();
  CopyText(app, "keep me");
  ASSERT_EQ(Coll("Notes")->Count(), 1);
  const WindowHandle viewer = Form().Viewer().Handle();
  std::ofstream(DataPath("TrashCan/I3.bmp")) << "deleted clip";

  EXPECT_TRUE(Form().FormCloseQuery());
  EXPECT_TRUE(Form().EventsSuspended());
  EXPECT_FALSE(Form().Viewer().Active());
  EXPECT_NE(desktop_.Clipboard().Viewer(), viewer);
  EXPECT_EQ(Form().MasterList(), nullptr);
  EXPECT_TRUE(widgets_.tree.Nodes().empty());
  EXPECT_EQ(widgets_.clips.Count(), 0);
  EXPECT_EQ(Form().ClipboardClip(), nullptr);
  EXPECT_FALSE(fs::exists(DataPath("TrashCan/I3.bmp")));
  EXPECT_EQ(Get("Preferences", "InstalledAlready"), "1");
  EXPECT_EQ(Get("Stats", "Captured"), "1");
  EXPECT_EQ(widgets_.status.panels[0], "Shutdown Complete");
  EXPECT_FALSE(widgets_.shell.busy);

  EXPECT_EQ(OnDisk("Notes"), std::vector<std::string>{"keep me"});
  // The log tells the order: saved before shutdown began.
  const std::string log = LogText();
  const auto saved = log.find(",<mnuFileSaveClick,Save Complete");
  const auto shutdown = log.find(",>ShutDown,SHUTDOWN Started.");
  const auto done = log.find(",<ShutDown,SHUTDOWN Complete.");
  ASSERT_NE(saved, std::string::npos);
  EXPECT_LT(saved, shutdown);
  EXPECT_LT(shutdown, done);
  EXPECT_NE(log.find(",<FormCloseQuery,Complete."), std::string::npos);

  // A second close request (the window's retry) saves nothing more.
  EXPECT_TRUE(Form().FormCloseQuery());
  EXPECT_TRUE(Logged("#FormCloseQuery Started AGAIN", "Probably Re-Try.  Returning TRUE."));
  // Changes from now on are not captured.
  app.PutText("after the close");
  Advance(1000);
  EXPECT_EQ(Get("Stats", "Captured"), "1");
}

TEST_F(StartupTest, EndOfSessionSavesAndNeverVetoes) {
  Loaded();
  CopyText(Foreign(), "session");
  EXPECT_TRUE(Form().WMQueryEndSession());
  EXPECT_EQ(Get("Preferences", "InstalledAlready"), "1");
  EXPECT_EQ(Form().MasterList(), nullptr);
  // During loading it still answers yes.
  form_.reset();
  Start();
  EXPECT_TRUE(Form().WMQueryEndSession());
}

TEST_F(StartupTest, NoCaptureArgumentInAnyCaseStartsWithCaptureOff) {
  Loaded({"nocapture"});
  EXPECT_FALSE(Form().Viewer().Capturing);
  EXPECT_EQ(widgets_.tray.image, TrayImage::kDisabled);
  EXPECT_FALSE(widgets_.menus.items[MenuItem::kAutoCapture].checked);
  EXPECT_FALSE(widgets_.menus.items[MenuItem::kTrayAutoCapture].checked);
  CopyText(Foreign(), "not wanted");
  EXPECT_EQ(Coll("Short-Term")->Count(), 0);
  EXPECT_TRUE(widgets_.status.Showed("New Data Ignored (Capture Is Off)."));

  // F12 switches it on again.
  Form().MenuClick(MenuCommand::kAutoCapture);
  EXPECT_TRUE(Form().Viewer().Capturing);
  EXPECT_EQ(widgets_.tray.image, TrayImage::kNormal);
  EXPECT_TRUE(widgets_.menus.items[MenuItem::kTrayAutoCapture].checked);
}

TEST_F(StartupTest, StartupSetsTheViewerAndTheMenusFromTheSettings) {
  Put("Preferences", "SettleTime", "40");
  Put("Preferences", "DelayOnClipboardUpdate", "120");
  Put("Preferences", "UseSysTray", "1");
  Put("Preferences", "ShowSearch", "1");
  Put("Preferences", "ShowNOCRLF", "0");
  Start();
  EXPECT_EQ(Form().Viewer().SettleTime, 40);
  EXPECT_TRUE(widgets_.shell.search_button_shown);
  EXPECT_FALSE(widgets_.shell.line_breaks_button_shown);
  EXPECT_EQ(Form().Viewer().Delay, 120);
  EXPECT_TRUE(widgets_.tray.active);
  EXPECT_FALSE(widgets_.menus.items[MenuItem::kFileReload].visible);
  EXPECT_FALSE(widgets_.menus.items[MenuItem::kImportCollections].visible);
  EXPECT_FALSE(widgets_.menus.items[MenuItem::kCheckForUpdates].visible);
  EXPECT_EQ(Form().HelpFile(), instance_.program_folder + "Ottermoor.HLP");
  EXPECT_NE(RTFFormat, 0u);
  EXPECT_NE(HTMLFormat, 0u);
  EXPECT_TRUE(fs::exists(DataPath("LOG.TXT")));
  EXPECT_EQ(widgets_.status.history.front(), "Initializing...");
}

TEST_F(StartupTest, ContinualPingStartsWithTheLoadAndReportsEachPing) {
  Put("Preferences", "ContinuallyPing", "1");
  Put("Preferences", "PingInterval", "5");
  Loaded();
  EXPECT_EQ(Form().Viewer().PingSentAt(), 0);
  Advance(5000);
  EXPECT_NE(Form().Viewer().PingSentAt(), 0);
  Advance(500);  // the ping's way round the chain, then its 100 ms
  EXPECT_EQ(widgets_.status.panels[0], "Clipboard Ping Received - 0 ms");
  // The ping's change is not captured.
  EXPECT_EQ(Coll("Short-Term")->Count(), 0);
}

TEST_F(StartupTest, MinimizedStartMinimizesAtTheStartupTick) {
  instance_.show_state = 7;
  Start();
  EXPECT_EQ(widgets_.shell.minimized, 0);
  Advance(TfrmQL::kTimer1Ms);
  EXPECT_EQ(widgets_.shell.minimized, 1);
  EXPECT_GE(widgets_.shell.restored_visibility, 1);
}

TEST_F(StartupTest, DefaultDataSourceIsTheFirstWritableAutoLoadedOne) {
  const std::string second = Folder(dir_ / "second");
  fs::create_directories(dir_ / "second");
  Put("DataSources\\My Clips", "Read_Only", "1");
  PutSource("Second", second);
  Start();
  EXPECT_EQ(Form().DefaultDataSourceIndex(), 1);
  EXPECT_TRUE(fs::exists(dir_ / "second" / "LOG.TXT")) << "the log lives in the data directory";
  EXPECT_TRUE(Boxes().empty());

  // None qualifies: the first, and the user is told.
  form_.reset();
  Put("DataSources\\Second", "AutoLoad", "0");
  Start();
  EXPECT_EQ(Form().DefaultDataSourceIndex(), 0);
  ASSERT_FALSE(Boxes().empty());
  EXPECT_EQ(Boxes().back(),
            "There is a problem with the data sources.  Please go into the DATA tab of User Preferences\r\n"
            "and add a valid, writeable data source.");
}

TEST_F(StartupTest, ErrorTrapLogsTheErrorAndAsksOnlyForForeignErrors) {
  Loaded();
  EnterOperation("TfrmQL.SomeCommand");
  SetOperationStep(4);
  struct Case {
    std::exception_ptr error;
    MsgResult answer;
    MsgButtons buttons;
    int exits;
  };
  const Case cases[] = {
      {std::make_exception_ptr(std::runtime_error("disk on fire")), MsgResult::kYes, MsgButtons::kYesNo, 0},
      {std::make_exception_ptr(EBadCopy("cannot place")), MsgResult::kOk, MsgButtons::kOk, 0},
      {std::make_exception_ptr(std::runtime_error("really bad")), MsgResult::kNo, MsgButtons::kYesNo, 1},
  };
  for (const Case& c : cases) {
    desktop_.Prompts().QueueAnswer(c.answer);
    Form().AppException(c.error);
    EXPECT_EQ(desktop_.Prompts().Shown().back().buttons, c.buttons);
    EXPECT_EQ(emergency_exits_, c.exits);
  }
  const auto& shown = desktop_.Prompts().Shown();
  EXPECT_EQ(shown[shown.size() - 3].text,
            "Quillark encountered the following exception:\r\ndisk on fire\r\n\r\nIn:TfrmQL.SomeCommand( 4) \r\n"
            "The Error has been logged in: " +
                DataFolder() + "ERRORLOG.TXT\r\nIt is probably safe to continue.\r\nCONTINUE SESSION?");
  EXPECT_EQ(shown[shown.size() - 2].text,
            "Ottermoor encountered the following NON-FATAL exception:\r\ncannot place\r\n\r\n"
            "In:TfrmQL.SomeCommand( 4) ");
  EXPECT_EQ(shown[shown.size() - 2].icon, MsgIcon::kWarning);
  EXPECT_EQ(widgets_.shell.left_topmost, 3);

  std::ifstream in(DataPath("ERRORLOG.TXT"), std::ios::binary);
  std::stringstream lines;
  lines << in.rdbuf();
  const std::string text = lines.str();
  EXPECT_NE(text.find("v1.0.02  @"), std::string::npos);
  EXPECT_NE(text.find("  err:disk on fire  In:TfrmQL.SomeCommand( 4) \r\n"), std::string::npos);
  EXPECT_NE(text.find("  err:really bad  In:"), std::string::npos);
  EXPECT_TRUE(LogHas(",Exception,disk on fire  In:TfrmQL.SomeCommand(4) "));
  EXPECT_TRUE(LogHas("EMERGENCY SHUTDOWN Complete."));
}

TEST_F(StartupTest, ErrorsFromWindowHandlersReachTheTrapWithTheirClass) {
  // What a window procedure does with an exception its handler let go.
  const auto escape = [](auto error) {
    try {
      throw error;
    } catch (...) {
      ReportHandlerError(std::current_exception());
    }
  };
  Loaded();
  desktop_.Prompts().QueueAnswer(MsgResult::kOk);
  escape(EBadCopy("cannot place"));
  ASSERT_FALSE(desktop_.Prompts().Shown().empty());
  EXPECT_EQ(desktop_.Prompts().Shown().back().buttons, MsgButtons::kOk);
  EXPECT_EQ(desktop_.Prompts().Shown().back().icon, MsgIcon::kWarning);
  EXPECT_NE(desktop_.Prompts().Shown().back().text.find("NON-FATAL exception:\r\ncannot place"), std::string::npos);

  desktop_.Prompts().QueueAnswer(MsgResult::kYes);
  escape(std::runtime_error("disk on fire"));
  EXPECT_EQ(desktop_.Prompts().Shown().back().buttons, MsgButtons::kYesNo);
  EXPECT_NE(desktop_.Prompts().Shown().back().text.find("exception:\r\ndisk on fire"), std::string::npos);
  EXPECT_EQ(emergency_exits_, 0);

  // Once the form is gone, its trap is too.
  const std::size_t boxes = desktop_.Prompts().Shown().size();
  form_.reset();
  escape(EBadCopy("after the form"));
  EXPECT_EQ(desktop_.Prompts().Shown().size(), boxes);
}

}  // namespace
}  // namespace om::testing
