// The viewer in the chain: joining, the change handling with its timers,
// the own-change and settle rules, forwarding, chain changes, render
// requests, and the counted Open/Close.
#include "clipboard/clip_view.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "app/app_log.h"
#include "clipboard/viewer_fixture.h"
#include "platform/datetime.h"

namespace om::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr char kCliptool[] = "C:\\Tools\\cliptool.exe";
constexpr char kNotepad[] = "C:\\Windows\\notepad.exe";

// What OnCBChange saw of the viewer while it ran.
struct Seen {
  bool is_open;
  std::int32_t open_count;
  std::int32_t serial;
  std::vector<std::string> nums, names;
  std::string creator;
  int next_draws;  // WM_DRAWCLIPBOARD the next viewer had by then
};

class ClipViewTest : public ViewerTest {
 protected:
  // Records every OnCBChange; `next` is the viewer after ours, if any.
  void Record(ForeignApp* next = nullptr) {
    View().OnCBChange = [this, next](TClipView5& v) {
      seen_.push_back({v.IsOpen(), v.OpenRefCount(), v.SerialNum(), v.FormatNums(), v.FormatNames(), v.Creator(),
                       next ? next->draws : -1});
    };
  }
  std::vector<Seen> seen_;
};

TEST_F(ClipViewTest, JoiningDoesNotCaptureAndPassesTheJoinOnAfterDelay) {
  auto next = Start(kCliptool);
  next->Join(ForeignApp::Viewer::kForwards);
  next->PutText("on the clipboard before we start");
  const int draws = next->draws;
  Record(next.get());

  TClipView5& view = Listening(50);
  EXPECT_TRUE(view.Active());
  EXPECT_EQ(view.NextViewer(), next->Window());
  EXPECT_EQ(view.ChainHandle(), view.Handle());
  EXPECT_EQ(view.Creator(), "Quillark");
  EXPECT_EQ(view.ErrMsg(), "(ClipView Set Listening On)");
  EXPECT_FALSE(view.Busy());
  Advance(49);
  EXPECT_EQ(next->draws, draws);
  Advance(1);
  EXPECT_EQ(next->draws, draws + 1);
  Advance(2000);
  EXPECT_TRUE(seen_.empty());
  EXPECT_EQ(view.SerialNum(), 0);
}

TEST_F(ClipViewTest, AForeignChangeIsReadAfterDelayAnnouncedAndThenPassedOn) {
  auto next = Start(kCliptool);
  next->Join(ForeignApp::Viewer::kForwards);
  TClipView5& view = Listening(50);
  Record(next.get());
  Advance(1000);
  const int draws = next->draws;

  auto notepad = Start(kNotepad, "Untitled - Notepad");
  notepad->Put({{"1", TextBytes("hello")}, {"Ottermoor Test Format", {1, 2, 3}}});
  const std::uint32_t registered = notepad->FormatOf("Ottermoor Test Format");
  Advance(49);
  EXPECT_TRUE(seen_.empty());
  Advance(1);
  ASSERT_EQ(seen_.size(), 1u);
  const Seen& s = seen_[0];
  EXPECT_TRUE(s.is_open);
  EXPECT_EQ(s.open_count, 1);
  EXPECT_EQ(s.serial, 1);
  EXPECT_THAT(s.nums, ElementsAre("1", std::to_string(registered), "16", "7", "13"));
  EXPECT_THAT(s.names, ElementsAre("TEXT", "Ottermoor Test Format", "LOCALE", "OEMTEXT", "UNICODTEXT"));
  EXPECT_EQ(s.creator, "NOTEPAD");
  EXPECT_EQ(s.next_draws, draws);  // told only after the capture
  EXPECT_EQ(next->draws, draws + 1);
  EXPECT_FALSE(view.IsOpen());
  EXPECT_FALSE(view.Busy());
  EXPECT_FALSE(Board().IsOpen());
  EXPECT_THAT(view.ErrMsg(), HasSubstr("(Close - ClipView Close Ok.)"));
  EXPECT_EQ(view.WaitUntil, MillisecondsSinceMidnight(desktop_.Clock().Now()) + view.SettleTime);

  Advance(5000);
  EXPECT_EQ(seen_.size(), 1u);
  EXPECT_EQ(next->draws, draws + 1);
}

// A change message less than 250 ms after the last clipboard action is
// taken for the program's own, whoever made it, unless the program asks to
// capture its own changes.
TEST_F(ClipViewTest, ChangesSoonAfterTheLastClipboardActionAreTheProgramsOwn) {
  for (const bool capture_local_copy : {false, true}) {
    SCOPED_TRACE(capture_local_copy ? "capturing local copies" : "default");
    seen_.clear();
    view_.reset();
    TClipView5& view = Listening(50);
    view.CaptureLocalCopy = capture_local_copy;
    Record();
    Advance(1000);
    auto app = Start(kNotepad);

    // Two changes 20 ms apart: the capture timer of the first still runs.
    app->PutText("one");
    Advance(20);
    app->PutText("two");
    Advance(200);
    ASSERT_EQ(seen_.size(), 1u);
    EXPECT_EQ(seen_[0].creator, "NOTEPAD");

    // Within 250 ms of the capture closing the clipboard.
    Advance(10);
    app->PutText("three");
    Advance(1000);
    EXPECT_EQ(seen_.size(), capture_local_copy ? 2u : 1u);
    EXPECT_EQ(view.Creator(), capture_local_copy ? "NOTEPAD" : "Quillark");
  }
}

TEST_F(ClipViewTest, AClockSetBackDoesNotMakeAForeignChangeOurOwn) {
  TClipView5& view = Listening(50);
  Record();
  Advance(1000);
  auto app = Start(kNotepad);
  app->PutText("before");
  Advance(1000);
  desktop_.Clock().SetNow(desktop_.Clock().Now() - 3600'000 / kMillisecondsPerDay);
  app->PutText("after the clock went back an hour");
  Advance(1000);
  EXPECT_EQ(seen_.size(), 2u);
  EXPECT_EQ(view.Creator(), "NOTEPAD");
}

// A capture step within SettleTime of WaitUntil is dropped. WaitUntil and
// the time of day are milliseconds since midnight, so across midnight the
// distance is large and nothing is dropped.
TEST_F(ClipViewTest, TheSettleWindowDropsChangesButNotAcrossMidnight) {
  const struct {
    const char* name;
    DateTimeParts start;
    std::size_t captures;
    int cyclic;
  } cases[] = {
      {"morning", {2026, 3, 2, 10, 0, 0, 0}, 1, 1},
      {"midnight", {2026, 3, 2, 23, 59, 59, 800}, 2, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    seen_.clear();
    view_.reset();
    desktop_.Clock().SetNow(EncodeDateTime(c.start) - 1000 / kMillisecondsPerDay);
    auto next = Start(kCliptool);
    next->Join(ForeignApp::Viewer::kForwards);
    TClipView5& view = Listening(50);
    view.SettleTime = 300;
    Record();
    auto app = Start(kNotepad);
    Advance(1000);

    app->PutText("first");  // captured 50 ms later; WaitUntil = then + 300
    Advance(310);           // 260 ms after that capture: not our own
    ASSERT_EQ(seen_.size(), 1u);
    const std::int32_t wait_until = view.WaitUntil;
    const int draws = next->draws;
    app->PutText("second");  // its capture step runs 310 ms after the first
    Advance(1000);
    EXPECT_EQ(seen_.size(), c.captures);
    EXPECT_EQ(view.CyclicErrors(), c.cyclic);
    if (c.cyclic > 0) {
      EXPECT_EQ(view.WaitUntil, wait_until);
      EXPECT_EQ(next->draws, draws);  // a dropped change is not passed on
    }
  }
}

TEST_F(ClipViewTest, CapturingOffStillAnnouncesButReadsNothing) {
  auto next = Start(kCliptool);
  next->Join(ForeignApp::Viewer::kForwards);
  TClipView5& view = Listening(50);
  view.Capturing = false;
  Record(next.get());
  Advance(1000);
  const int draws = next->draws;
  auto app = Start(kNotepad);
  app->PutText("not read");
  Advance(1000);
  ASSERT_EQ(seen_.size(), 1u);
  EXPECT_FALSE(seen_[0].is_open);
  EXPECT_EQ(seen_[0].serial, 0);
  EXPECT_TRUE(seen_[0].nums.empty());
  EXPECT_EQ(seen_[0].creator, "Quillark");  // as the join left it
  EXPECT_THAT(view.ErrMsg(), ::testing::EndsWith("  (In WMTimer 101 - Clipboard Not Open)"));
  EXPECT_EQ(next->draws, draws + 1);
}

TEST_F(ClipViewTest, NoForwardingKeepsChangesFromTheNextViewerButRelaysChainChanges) {
  auto third = Start(kCliptool);
  third->Join(ForeignApp::Viewer::kForwards);
  auto next = Start(kCliptool);
  next->Join(ForeignApp::Viewer::kForwards);
  TClipView5& view = View();
  view.NoForwarding = true;
  view.Delay = 50;
  view.Capturing = true;
  view.SetActive(true);  // chain: view, next, third
  Record();
  int chain_events = 0;
  view.OnCBChainChange = [&](TClipView5&) { ++chain_events; };
  Advance(1000);
  const int draws = next->draws;

  auto app = Start(kNotepad);
  app->PutText("captured, not passed on");
  Advance(1000);
  EXPECT_EQ(seen_.size(), 1u);
  ASSERT_TRUE(view.Open());
  ASSERT_TRUE(view.clear());
  view.Close();  // our own change
  Advance(1000);
  EXPECT_EQ(next->draws, draws);

  third->Leave();
  EXPECT_THAT(next->chain_changes, ElementsAre(std::pair{third->Window(), WindowHandle{0}}));
  Advance(1000);
  EXPECT_EQ(chain_events, 1);
}

TEST_F(ClipViewTest, ChainChangeMessagesUpdateRelayOrAreSwallowedWhileBusy) {
  auto d = Start(kCliptool);
  d->Join(ForeignApp::Viewer::kForwards);
  auto c = Start(kCliptool);
  c->Join(ForeignApp::Viewer::kForwards);
  auto b = Start(kCliptool);
  b->Join(ForeignApp::Viewer::kForwards);
  TClipView5& view = Listening(50);  // chain: view, b, c, d
  int chain_events = 0;
  view.OnCBChainChange = [&](TClipView5&) { ++chain_events; };
  Advance(1000);

  // One further down leaves: passed on unchanged.
  c->Leave();
  EXPECT_THAT(b->chain_changes, ElementsAre(std::pair{c->Window(), d->Window()}));
  EXPECT_EQ(b->Next(), d->Window());
  Advance(49);
  EXPECT_EQ(chain_events, 0);
  Advance(1);
  EXPECT_EQ(chain_events, 1);

  // Our next viewer leaves: only NextViewer changes.
  b->Leave();
  EXPECT_EQ(view.NextViewer(), d->Window());
  EXPECT_TRUE(d->chain_changes.empty());
  Advance(1000);
  EXPECT_EQ(chain_events, 2);

  // While the program is busy with the clipboard: neither passed on nor
  // acted on nor announced.
  auto app = Start(kNotepad);
  app->PutText("captured");
  Advance(1000);
  EXPECT_EQ(view.Creator(), "NOTEPAD");
  ASSERT_TRUE(view.Open());
  EXPECT_TRUE(view.Busy());
  d->Leave();
  view.Close();
  Advance(1000);
  EXPECT_EQ(view.Creator(), "Quillark");
  EXPECT_EQ(view.NextViewer(), d->Window());
  EXPECT_EQ(chain_events, 2);
}

TEST_F(ClipViewTest, ChangeMessageOutsideTheChainIsAChainError) {
  auto head = Start(kCliptool);
  TClipView5& view = Listening(50);
  head->Join(ForeignApp::Viewer::kForwards);  // chain: head, view
  view.SetActive(false);
  EXPECT_EQ(view.ErrMsg(), "(ClipView Set Listening Off)");
  EXPECT_EQ(view.Creator(), "Unknown");
  EXPECT_EQ(view.NextViewer(), 0u);
  EXPECT_EQ(head->Next(), 0u);
  Record();
  Advance(1000);
  const auto told = head->chain_changes.size();

  // A stale change message reaches the viewer after it left.
  desktop_.Windows().Send(view.Handle(), msg::kDrawClipboard, 0, 0);
  const auto& shown = desktop_.Prompts().Shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Error in DrawClipboard: Chain Error");
  EXPECT_EQ(shown[0].caption, "Quillark Error - ClipView");
  EXPECT_EQ(shown[0].icon, MsgIcon::kError);
  EXPECT_EQ(shown[0].buttons, MsgButtons::kOk);
  // It cuts itself out of the chain: the head hears of it.
  ASSERT_EQ(head->chain_changes.size(), told + 1);
  EXPECT_EQ(head->chain_changes.back(), (std::pair{view.Handle(), WindowHandle{0}}));
  Advance(1000);
  EXPECT_TRUE(seen_.empty());
}

TEST_F(ClipViewTest, RenderRequestsAreAnnouncedWhileTheyAreMade) {
  TClipView5& view = Listening(50);
  view.DebugBeep = true;
  int renders = 0;
  view.OnRenderFormat = [&](TClipView5&) {
    ++renders;
    EXPECT_EQ(desktop_.Clipboard().SetData(cf::kText, TextBytes("rendered")), ClipStatus::kOk);
  };
  Advance(1000);
  const int beeps = desktop_.Sound().BeepCount();
  ASSERT_TRUE(view.Open());
  ASSERT_TRUE(view.clear());
  ASSERT_EQ(desktop_.Clipboard().Promise(cf::kText), ClipStatus::kOk);
  view.Close();  // our change comes back at once: one beep
  EXPECT_EQ(desktop_.Sound().BeepCount(), beeps + 1);
  Advance(1000);

  auto reader = Start(kNotepad);
  EXPECT_EQ(reader->Read(cf::kText).bytes, TextBytes("rendered"));
  EXPECT_EQ(renders, 1);
  EXPECT_EQ(desktop_.Sound().BeepCount(), beeps + 2);
  EXPECT_EQ(view.LastUpdate(), desktop_.Clock().Now());
}

TEST_F(ClipViewTest, OpenAndCloseNestWithTheirStatusTexts) {
  TClipView5& view = View();
  ASSERT_TRUE(view.Open());
  EXPECT_EQ(view.ErrMsg(), "(Open - Clipboard Open Ok.   OpenCount: 1)");
  ASSERT_TRUE(view.Open());
  EXPECT_EQ(view.ErrMsg(), "(Open - Clipboard Open Ok.   OpenCount: 2)");
  EXPECT_TRUE(view.IsOpen());
  EXPECT_TRUE(view.Busy());
  EXPECT_EQ(Board().OpenProcess(), fake::FakeDesktop::kOwnProcessId);
  view.Close();
  EXPECT_TRUE(Board().IsOpen());
  EXPECT_EQ(view.ErrMsg(), "(Open - Clipboard Open Ok.   OpenCount: 2)");
  Advance(5);
  view.Close();
  EXPECT_FALSE(Board().IsOpen());
  EXPECT_FALSE(view.IsOpen());
  EXPECT_FALSE(view.Busy());
  EXPECT_EQ(view.LastUpdate(), desktop_.Clock().Now());
  EXPECT_EQ(view.ErrMsg(), "(Open - Clipboard Open Ok.   OpenCount: 2)  (Close - ClipView Close Ok.)");
  view.Close();
  EXPECT_EQ(view.ErrMsg(),
            "(Open - Clipboard Open Ok.   OpenCount: 2)  (Close - ClipView Close Ok.)"
            "  (Close - ClipView Close Ok by Default, as Refcount was already 0.)");
  EXPECT_EQ(view.OpenRefCount(), 0);

  // Another program has it: no retry, only the result and the text.
  auto other = Start(kNotepad);
  ASSERT_TRUE(other->HoldOpen());
  EXPECT_FALSE(view.Open());
  EXPECT_EQ(view.ErrMsg(), "(Open - Could Not Open Clipboard.   OpenCount: 0)");
  EXPECT_FALSE(view.Busy());
  EXPECT_FALSE(view.IsOpen());
  other->Release();
}

TEST_F(ClipViewTest, ReadFormatsClearIgnoreMarkerAndFindFormatNum) {
  auto app = Start(kNotepad);
  app->Put({{"Rich Text Format", TextBytes("{\\rtf1}")}, {"1", TextBytes("text")}});
  const std::uint32_t rtf = app->FormatOf("Rich Text Format");
  TClipView5& view = View();

  // On a closed clipboard: the system's count, every format read as 0.
  view.ReadFormats();
  EXPECT_EQ(view.ErrMsg(), "(Error in ReadFormats - Clipboard Not Open.  OpenCount: 0)");
  EXPECT_EQ(view.FormatNums(), std::vector<std::string>(5, "0"));
  EXPECT_EQ(view.FormatNames(), std::vector<std::string>(5, "UNKN_PUBLIC:0"));
  EXPECT_FALSE(view.SetIgnore());
  EXPECT_FALSE(view.clear());
  EXPECT_FALSE(view.Busy());

  ASSERT_TRUE(view.Open());
  view.ReadFormats();
  EXPECT_THAT(view.FormatNames(), ElementsAre("Rich Text Format", "TEXT", "LOCALE", "OEMTEXT", "UNICODTEXT"));
  EXPECT_EQ(view.FindFormatNum("rich TEXT format"), rtf);
  EXPECT_EQ(view.FindFormatNum("unicodtext"), 13u);
  EXPECT_EQ(view.FindFormatNum("Object Descriptor"), 0u);

  ASSERT_TRUE(view.clear());
  EXPECT_THAT(view.ErrMsg(), ::testing::EndsWith("  (ClipView Cleared Ok.)"));
  EXPECT_TRUE(Board().Formats().empty());
  ASSERT_TRUE(view.SetIgnore());
  view.Close();
  EXPECT_FALSE(view.Busy());

  Bytes marker(64, 0);
  const std::string text = "Ignore This Data From Quillark 5";
  std::copy(text.begin(), text.end(), marker.begin());
  EXPECT_EQ(app->Read(IgnoreFormat).bytes, marker);
  EXPECT_EQ(ConvertFormatNum(desktop_.Clipboard(), IgnoreFormat), "Clipboard Viewer Ignore");
  EXPECT_EQ(ConvertFormatNum(desktop_.Clipboard(), PingFormat), "Quillark Ping");
}

TEST_F(ClipViewTest, AHandlerThatThrowsDoesNotLeaveTheClipboardOpen) {
  TClipView5& view = Listening(50);
  view.OnCBChange = [](TClipView5& v) {
    ASSERT_TRUE(v.Open());  // nested, as capture does
    throw std::runtime_error("capture failed");
  };
  Advance(1000);
  auto app = Start(kNotepad);
  app->PutText("x");
  EXPECT_THROW(Advance(100), std::runtime_error);
  EXPECT_FALSE(Board().IsOpen());
  EXPECT_FALSE(view.IsOpen());
  EXPECT_FALSE(view.Busy());
}

class ClipViewLoggedTest : public ClipViewTest {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("om_clipview_" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir_);
    log_ = std::make_unique<TAppLog>(loglevel::kChain, dir_.string() + "\\", desktop_.Clock(), locale_, level_);
  }
  void TearDown() override {
    log_.reset();
    std::filesystem::remove_all(dir_);
  }
  std::string LogText() {
    std::ifstream in(dir_ / "LOG.TXT", std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
  }

  std::filesystem::path dir_;
  std::int32_t level_ = 0;
  std::unique_ptr<TAppLog> log_;
};

TEST_F(ClipViewLoggedTest, AHungNextViewerDoesNotHangTheViewer) {
  auto third = Start(kCliptool);
  third->Join(ForeignApp::Viewer::kForwards);
  auto next = Start(kCliptool);
  next->Join(ForeignApp::Viewer::kForwards);
  TClipView5& view = Listening(50);  // chain: view, next, third
  Record();
  Advance(1000);
  const int draws = next->draws;
  desktop_.Windows().SetHung(next->Window(), true);

  auto app = Start(kNotepad);
  app->PutText("one");
  Advance(1000);
  third->Leave();  // relayed to the hung next viewer
  Advance(1000);
  app->PutText("two");
  Advance(1000);
  EXPECT_EQ(seen_.size(), 2u);
  EXPECT_EQ(next->draws, draws);

  const std::string log = LogText();
  const std::string hung = std::to_string(next->Window());
  EXPECT_THAT(log, HasSubstr(",1,TClipView5.ForwardDrawClipboard,Passing WM_DRAWCLIPBOARD to the next viewer " + hung +
                             " timed out"));
  EXPECT_THAT(log, HasSubstr(",1,TClipView5.WMChangeCBChain,Passing WM_CHANGECBCHAIN to the next viewer " + hung +
                             " timed out"));
  (void)view;
}

TEST_F(ClipViewTest, DestroyingTheViewerLeavesTheChainAndReleasesTheTools) {
  auto next = Start(kCliptool);
  next->Join(ForeignApp::Viewer::kForwards);
  Listening(50);
  EXPECT_TRUE(desktop_.Processes().ToolsLoaded());
  Advance(1000);
  view_.reset();
  EXPECT_FALSE(desktop_.Processes().ToolsLoaded());
  EXPECT_EQ(desktop_.Clipboard().Viewer(), next->Window());
  const int draws = next->draws;
  Start(kNotepad)->PutText("after");
  Advance(1000);
  EXPECT_EQ(next->draws, draws + 1);
}

}  // namespace
}  // namespace om::testing
