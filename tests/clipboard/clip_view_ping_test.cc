// The chain ping from the viewer's side: sending, coming back, lost,
// cancelled by another change, and the sends that are refused.
#include <gtest/gtest.h>

#include "clipboard/viewer_fixture.h"
#include "platform/datetime.h"

namespace om::testing {
namespace {

constexpr char kCliptool[] = "C:\\Tools\\cliptool.exe";
constexpr char kNotepad[] = "C:\\Windows\\notepad.exe";

class PingTest : public ViewerTest {
 protected:
  void Watch(TClipView5& view) {
    view.OnPingEnd = [this](TClipView5& v) { ends_.push_back({v.PingResult(), v.BadPings()}); };
    view.OnCBChange = [this](TClipView5&) { ++captures_; };
  }
  struct End {
    std::int32_t result, bad;
    friend bool operator==(const End&, const End&) = default;
  };
  std::vector<End> ends_;
  int captures_ = 0;
};

TEST_F(PingTest, APingComesBackOnAHealthyChain) {
  for (const bool viewer_first : {true, false}) {
    SCOPED_TRACE(viewer_first ? "the viewer heads the chain" : "a forwarding viewer heads the chain");
    view_.reset();
    ends_.clear();
    captures_ = 0;
    auto other = Start(kCliptool);
    if (viewer_first) other->Join(ForeignApp::Viewer::kForwards);
    TClipView5& view = Listening(50);
    if (!viewer_first) other->Join(ForeignApp::Viewer::kForwards);
    Watch(view);
    Advance(1000);
    auto app = Start(kNotepad);
    app->PutText("keep me");
    Advance(1000);
    ASSERT_EQ(captures_, 1);
    const int other_draws = other->draws;

    desktop_.Clock().SetNow(EncodeDateTime({2026, 3, 2, 14, 5, 9, 0}));
    EXPECT_EQ(view.Ping(), 0);
    // The change came back inside Close.
    EXPECT_FALSE(view.PingPending());
    EXPECT_EQ(view.PingSentAt(), view.PingDoneAt());
    Advance(99);
    EXPECT_TRUE(ends_.empty());
    Advance(1);
    EXPECT_EQ(ends_, (std::vector<End>{{0, 0}}));
    Advance(5000);
    EXPECT_EQ(ends_.size(), 1u);
    EXPECT_EQ(captures_, 1);  // never captured
    // Never passed on: a viewer ahead of us saw it, one after us did not.
    EXPECT_EQ(other->draws, other_draws + (viewer_first ? 0 : 1));

    // Added to what was there, with the ignore marker.
    Bytes ping(32, 0);
    const std::string text = "Ping:2:05:09 PM";
    std::copy(text.begin(), text.end(), ping.begin());
    EXPECT_EQ(app->Read(PingFormat).bytes, ping);
    EXPECT_EQ(app->Read(cf::kText).bytes, TextBytes("keep me"));
    EXPECT_EQ(app->Read(IgnoreFormat).status, ClipStatus::kOk);
  }
}

TEST_F(PingTest, TheResultIsTheTimeTheChainTookWithoutTheWaitAfterwards) {
  TClipView5& view = Listening(50);
  auto slow = Start(kCliptool);
  slow->Join(ForeignApp::Viewer::kForwards);
  slow->forward_after_ms = 1234;
  Watch(view);
  Advance(1000);
  ASSERT_EQ(view.Ping(), 0);
  Advance(1234 + 99);
  EXPECT_TRUE(ends_.empty());
  Advance(1);
  EXPECT_EQ(ends_, (std::vector<End>{{1234, 0}}));
}

TEST_F(PingTest, APingSwallowedAheadOfUsIsLostAfterThreeSeconds) {
  TClipView5& view = Listening(50);
  auto swallower = Start(kCliptool);
  swallower->Join(ForeignApp::Viewer::kSwallows);
  Watch(view);
  Advance(1000);

  EXPECT_EQ(view.Ping(), 0);
  EXPECT_TRUE(view.PingPending());
  Advance(2999);
  EXPECT_TRUE(ends_.empty());
  Advance(1);
  EXPECT_EQ(ends_, (std::vector<End>{{-8, 1}}));
  EXPECT_FALSE(view.PingPending());
  EXPECT_EQ(view.PingDoneAt(), desktop_.Clock().Now());

  EXPECT_EQ(view.Ping(), 0);
  Advance(3000);
  EXPECT_EQ(ends_.back(), (End{-8, 2}));

  // The chain mends: the next ping comes back and the count starts again.
  swallower->SetSwallowing(false);
  EXPECT_EQ(view.Ping(), 0);
  Advance(3000);
  EXPECT_EQ(ends_.back(), (End{0, 0}));
  EXPECT_EQ(ends_.size(), 3u);
  EXPECT_EQ(captures_, 0);
}

TEST_F(PingTest, AnotherChangeCancelsThePingSilently) {
  TClipView5& view = Listening(50);
  auto head = Start(kCliptool);
  head->Join(ForeignApp::Viewer::kSwallows);
  Watch(view);
  auto app = Start(kNotepad);
  Advance(1000);

  // Pending: the ping is held up ahead of us, then another change gets through.
  ASSERT_EQ(view.Ping(), 0);
  head->SetSwallowing(false);
  Advance(500);
  app->PutText("meanwhile");
  EXPECT_FALSE(view.PingPending());
  Advance(5000);
  EXPECT_TRUE(ends_.empty());
  EXPECT_EQ(captures_, 1);
  EXPECT_EQ(view.PingResult(), 0);
  EXPECT_EQ(view.BadPings(), 0);

  // Arriving: back already, and a change comes within the 100 ms wait.
  ASSERT_EQ(view.Ping(), 0);
  Advance(50);
  app->PutText("right after");
  Advance(5000);
  EXPECT_TRUE(ends_.empty());
}

TEST_F(PingTest, RefusedPingsChangeNothingButTheStatusText) {
  TClipView5& view = Listening(50);
  Watch(view);
  Advance(1000);

  ASSERT_TRUE(view.Open());
  EXPECT_EQ(view.Ping(), -1);
  EXPECT_EQ(view.ErrMsg(), "(Open - Clipboard Open Ok.   OpenCount: 1)  (ClipView Ping - error Clipboard Open by ME!)");
  EXPECT_EQ(view.OpenRefCount(), 1);
  view.Close();

  auto other = Start(kNotepad);
  ASSERT_TRUE(other->HoldOpen());
  EXPECT_EQ(view.Ping(), -4);
  EXPECT_EQ(view.ErrMsg(),
            "(Open - Could Not Open Clipboard.   OpenCount: 0)  (ClipView Ping - error cannot open clipboard)");
  other->Release();

  EXPECT_FALSE(view.PingPending());
  EXPECT_FALSE(desktop_.Clock().HasTimer(view.Handle(), TClipView5::kPingTimeoutTimer));
  Advance(5000);
  EXPECT_TRUE(ends_.empty());
  EXPECT_EQ(view.PingResult(), 0);
  EXPECT_EQ(view.BadPings(), 0);
}

}  // namespace
}  // namespace om::testing
