// Virtual time: what only the simulated desktop promises, that timers and
// posted messages move exactly with the time a test lets pass.
#include <gtest/gtest.h>

#include "fake/recorder.h"
#include "platform/datetime.h"
#include "platform/fake/fake_desktop.h"

namespace om::fake {
namespace {

class FakeClockTest : public ::testing::Test {
 protected:
  std::vector<Noted> Timers() const {
    std::vector<Noted> timers;
    for (const Noted& n : recorder_.noted)
      if (n.message == msg::kTimer) timers.push_back(n);
    return timers;
  }

  FakeDesktop desktop_;
  FakeClock& clock_ = desktop_.Clock();
  Recorder recorder_{&clock_};
  WindowHandle window_ = desktop_.Windows().CreateHidden(recorder_, "timers");
};

TEST_F(FakeClockTest, TimersFireOnlyWhenTimeAdvances) {
  ASSERT_TRUE(clock_.SetTimer(window_, 1, 100));
  clock_.ProcessMessages();
  clock_.Advance(99);
  EXPECT_TRUE(Timers().empty());
  clock_.Advance(1);
  EXPECT_EQ(Timers(), (std::vector<Noted>{{100, msg::kTimer, 1}}));
}

TEST_F(FakeClockTest, SeveralTimersFireInDueOrder) {
  ASSERT_TRUE(clock_.SetTimer(window_, 1, 30));
  ASSERT_TRUE(clock_.SetTimer(window_, 2, 50));
  clock_.Advance(150);
  // Due together at 150: the one set first goes first.
  const std::vector<Noted> expected = {
      {30, msg::kTimer, 1},  {50, msg::kTimer, 2},  {60, msg::kTimer, 1},  {90, msg::kTimer, 1},
      {100, msg::kTimer, 2}, {120, msg::kTimer, 1}, {150, msg::kTimer, 1}, {150, msg::kTimer, 2},
  };
  EXPECT_EQ(Timers(), expected);
}

TEST_F(FakeClockTest, SleepFiresNothingAndMissedTicksDoNotPileUp) {
  ASSERT_TRUE(clock_.SetTimer(window_, 1, 100));
  ASSERT_TRUE(desktop_.Windows().Post(window_, msg::kApp, 0, 0));
  clock_.Sleep(1000);
  EXPECT_TRUE(recorder_.noted.empty());
  clock_.ProcessMessages();
  // The posted message first, then one tick for ten missed intervals.
  EXPECT_EQ(recorder_.noted, (std::vector<Noted>{{1000, msg::kApp, 0}, {1000, msg::kTimer, 1}}));
  clock_.Advance(99);
  EXPECT_EQ(Timers().size(), 1u);
  clock_.Advance(1);
  EXPECT_EQ(Timers().back(), (Noted{1100, msg::kTimer, 1}));
}

TEST_F(FakeClockTest, RestartingCountsTheIntervalFromNow) {
  ASSERT_TRUE(clock_.SetTimer(window_, 1, 100));
  clock_.Advance(80);
  ASSERT_TRUE(clock_.SetTimer(window_, 1, 100));
  clock_.Advance(150);
  EXPECT_EQ(Timers(), (std::vector<Noted>{{180, msg::kTimer, 1}}));
}

TEST_F(FakeClockTest, HandlersCanKillRestartAndPostWhileTimeRuns) {
  Recorder other(&clock_);
  const WindowHandle second = desktop_.Windows().CreateHidden(other, "other");
  recorder_.react = [&](WindowHandle self, std::uint32_t message, std::uintptr_t id, std::intptr_t) -> std::intptr_t {
    if (message != msg::kTimer) return 0;
    if (id == 1) clock_.KillTimer(self, 1);  // one-shot
    if (id == 2) desktop_.Windows().Post(second, msg::kApp, id, 0);
    return 0;
  };
  ASSERT_TRUE(clock_.SetTimer(window_, 1, 10));
  ASSERT_TRUE(clock_.SetTimer(window_, 2, 40));
  ASSERT_TRUE(clock_.SetTimer(second, 3, 45));
  clock_.Advance(100);
  EXPECT_EQ(Timers(), (std::vector<Noted>{{10, msg::kTimer, 1}, {40, msg::kTimer, 2}, {80, msg::kTimer, 2}}));
  // What a timer posts arrives at once, ahead of a timer due later.
  EXPECT_EQ(other.noted, (std::vector<Noted>{{40, msg::kApp, 2}, {45, msg::kTimer, 3}, {80, msg::kApp, 2},
                                             {90, msg::kTimer, 3}}));
  EXPECT_FALSE(clock_.HasTimer(window_, 1));
}

TEST_F(FakeClockTest, TimersBelongToLiveWindowsOnly) {
  EXPECT_FALSE(clock_.SetTimer(0, 1, 10));
  EXPECT_FALSE(clock_.SetTimer(window_ + 1, 1, 10));
  ASSERT_TRUE(clock_.SetTimer(window_, 1, 10));
  ASSERT_TRUE(clock_.SetTimer(window_, 2, 10));
  desktop_.Windows().Destroy(window_);
  EXPECT_EQ(clock_.TimerCount(), 0u);
  clock_.Advance(100);  // nothing to deliver to, nothing delivered
  EXPECT_TRUE(recorder_.noted.empty());
}

TEST_F(FakeClockTest, HungWindowsMissTheirTicksUntilTheyRecover) {
  ASSERT_TRUE(clock_.SetTimer(window_, 1, 100));
  desktop_.Windows().SetHung(window_, true);
  clock_.Advance(350);
  EXPECT_TRUE(Timers().empty());
  desktop_.Windows().SetHung(window_, false);
  clock_.ProcessMessages();
  EXPECT_EQ(Timers(), (std::vector<Noted>{{350, msg::kTimer, 1}}));
}

TEST_F(FakeClockTest, DateTimeAndTicksFollowVirtualTime) {
  const double start = EncodeDateTime({2026, 12, 31, 23, 59, 59, 500});
  clock_.SetNow(start);
  clock_.SetTickCount(0xFFFF'FF00u);
  clock_.Advance(1000);
  const DateTimeParts later = DecodeDateTime(clock_.Now());
  EXPECT_EQ(later.year, 2027);
  EXPECT_EQ(later.day, 1);
  EXPECT_EQ(MillisecondsSinceMidnight(clock_.Now()), 500);
  EXPECT_EQ(clock_.TickCount(), 1000u - 0x100u) << "wraps like GetTickCount";
  clock_.Sleep(250);
  EXPECT_EQ(clock_.TickCount(), 1250u - 0x100u);
}

}  // namespace
}  // namespace om::fake
