// The clock port's contract, natively (virtual time) and under Wine alike.
// Nothing here measures how long anything took: each case waits for a
// condition and checks what happened, not when.
#include <gtest/gtest.h>

#include "contract/contract_env.h"
#include "contract/test_window.h"
#include "platform/datetime.h"

namespace om::contract {
namespace {

constexpr std::uint32_t kWaitMs = 5000;

class ClockContract : public ::testing::Test {
 protected:
  int Ticks(const TestWindow& window, std::uint32_t id) const {
    int n = 0;
    for (const Received& r : window.received) n += (r.message == msg::kTimer && r.wparam == id) ? 1 : 0;
    return n;
  }

  std::unique_ptr<ContractEnv> env_ = MakeContractEnv();
  IClock& clock_ = env_->Clock();
};

TEST_F(ClockContract, ATimerFiresRepeatedlyUntilKilled) {
  TestWindow window(*env_);
  ASSERT_TRUE(clock_.SetTimer(window.handle(), 7, 20));
  ASSERT_TRUE(env_->WaitFor([&] { return Ticks(window, 7) >= 3; }, kWaitMs));
  clock_.KillTimer(window.handle(), 7);
  const int at_kill = Ticks(window, 7);

  // A second timer shows time going on; the killed one stays quiet.
  ASSERT_TRUE(clock_.SetTimer(window.handle(), 8, 20));
  ASSERT_TRUE(env_->WaitFor([&] { return Ticks(window, 8) >= 5; }, kWaitMs));
  clock_.KillTimer(window.handle(), 8);
  EXPECT_EQ(Ticks(window, 7), at_kill);
  clock_.KillTimer(window.handle(), 99);  // unknown: ignored
}

TEST_F(ClockContract, SettingARunningTimerReplacesIt) {
  TestWindow window(*env_);
  ASSERT_TRUE(clock_.SetTimer(window.handle(), 5, 20));
  ASSERT_TRUE(clock_.SetTimer(window.handle(), 5, 30));
  ASSERT_TRUE(env_->WaitFor([&] { return Ticks(window, 5) >= 2; }, kWaitMs));
  // One kill stops it: restarting made no second timer.
  clock_.KillTimer(window.handle(), 5);
  const int at_kill = Ticks(window, 5);
  ASSERT_TRUE(clock_.SetTimer(window.handle(), 6, 20));
  ASSERT_TRUE(env_->WaitFor([&] { return Ticks(window, 6) >= 5; }, kWaitMs));
  EXPECT_EQ(Ticks(window, 5), at_kill);
}

TEST_F(ClockContract, TimeMovesOn) {
  const double now = clock_.Now();
  const std::uint32_t ticks = clock_.TickCount();
  EXPECT_GT(now, EncodeDateTime({2000, 1, 1}));
  EXPECT_LT(now, EncodeDateTime({2100, 1, 1}));
  // Unsigned subtraction copes with the tick count wrapping meanwhile.
  EXPECT_TRUE(env_->WaitFor([&] { return clock_.TickCount() - ticks >= 100; }, kWaitMs));
  EXPECT_GT(clock_.Now(), now);
}

TEST_F(ClockContract, SleepDeliversNothingAndProcessMessagesDelivers) {
  TestWindow window(*env_);
  ASSERT_TRUE(env_->Windows().Post(window.handle(), msg::kApp, 1, 0));
  clock_.Sleep(20);
  EXPECT_EQ(window.Count(msg::kApp), 0);
  clock_.ProcessMessages();
  EXPECT_EQ(window.Count(msg::kApp), 1);
}

}  // namespace
}  // namespace om::contract
