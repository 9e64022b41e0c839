// The window-system port's contract, natively and under Wine alike.
#include <gtest/gtest.h>

#include "contract/contract_env.h"
#include "contract/test_window.h"

namespace om::contract {
namespace {

constexpr std::uint32_t kWaitMs = 5000;

class WindowSystemContract : public ::testing::Test {
 protected:
  std::unique_ptr<ContractEnv> env_ = MakeContractEnv();
  IWindowSystem& windows_ = env_->Windows();
};

TEST_F(WindowSystemContract, SendReturnsTheHandlersAnswer) {
  TestWindow window(*env_);
  window.on_message = [](std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam, bool& handled) {
    handled = message == msg::kUser;
    return static_cast<std::intptr_t>(wparam) * 2 + lparam;
  };
  ASSERT_NE(window.handle(), 0u);
  const SendResult plain = windows_.Send(window.handle(), msg::kUser, 20, 2);
  EXPECT_EQ(plain.status, SendStatus::kOk);
  EXPECT_EQ(plain.result, 42);
  const SendResult timed = windows_.SendWithTimeout(window.handle(), msg::kUser, 50, -1, kWaitMs);
  EXPECT_EQ(timed.status, SendStatus::kOk);
  EXPECT_EQ(timed.result, 99);
}

TEST_F(WindowSystemContract, SendsNestInsideAHandler) {
  TestWindow inner(*env_);
  TestWindow outer(*env_);
  inner.on_message = [](std::uint32_t, std::uintptr_t wparam, std::intptr_t, bool&) {
    return static_cast<std::intptr_t>(wparam) + 1;
  };
  outer.on_message = [&](std::uint32_t message, std::uintptr_t wparam, std::intptr_t, bool& handled) -> std::intptr_t {
    if (message != msg::kApp) {
      handled = false;
      return 0;
    }
    return windows_.Send(inner.handle(), msg::kApp, wparam * 10, 0).result;
  };
  EXPECT_EQ(windows_.Send(outer.handle(), msg::kApp, 4, 0).result, 41);
  EXPECT_EQ(inner.Count(msg::kApp), 1);
}

TEST_F(WindowSystemContract, PostedMessagesArriveInOrderWhenMessagesAreProcessed) {
  TestWindow window(*env_);
  ASSERT_TRUE(windows_.Post(window.handle(), msg::kApp + 1, 1, 10));
  ASSERT_TRUE(windows_.Post(window.handle(), msg::kApp + 1, 2, 20));
  ASSERT_TRUE(windows_.Post(window.handle(), msg::kApp + 1, 3, 30));
  EXPECT_EQ(window.Count(msg::kApp + 1), 0) << "queued, not delivered";

  ASSERT_TRUE(env_->WaitFor([&] { return window.Count(msg::kApp + 1) == 3; }, kWaitMs));
  std::vector<std::uintptr_t> order;
  for (const Received& r : window.received)
    if (r.message == msg::kApp + 1) order.push_back(r.wparam);
  EXPECT_EQ(order, (std::vector<std::uintptr_t>{1, 2, 3}));
}

TEST_F(WindowSystemContract, ADestroyedWindowIsGone) {
  TestWindow other(*env_);
  IMessageHandler& handler = other;
  const WindowHandle window = windows_.CreateHidden(handler, "Ottermoor short-lived");
  ASSERT_NE(window, 0u);
  EXPECT_NE(window, other.handle());
  EXPECT_TRUE(windows_.Exists(window));

  windows_.Destroy(window);
  EXPECT_FALSE(windows_.Exists(window));
  EXPECT_EQ(windows_.Send(window, msg::kUser, 0, 0).status, SendStatus::kNoWindow);
  EXPECT_EQ(windows_.SendWithTimeout(window, msg::kUser, 0, 0, kWaitMs).status, SendStatus::kNoWindow);
  EXPECT_FALSE(windows_.Post(window, msg::kUser, 0, 0));
  windows_.Destroy(window);  // again, and the null window: both ignored
  windows_.Destroy(0);
  EXPECT_TRUE(windows_.Exists(other.handle()));
}

TEST_F(WindowSystemContract, CloseLeftToTheSystemDestroysTheWindow) {
  TestWindow window(*env_);  // does not handle kClose
  const SendResult closed = windows_.Send(window.handle(), msg::kClose, 0, 0);
  EXPECT_EQ(closed.status, SendStatus::kOk);
  EXPECT_FALSE(windows_.Exists(window.handle()));
}

TEST_F(WindowSystemContract, WindowsOfOtherProgramsAreSeen) {
  auto foreign = env_->StartForeign();
  const WindowHandle theirs = foreign->Window();
  EXPECT_TRUE(windows_.Exists(theirs));
  foreign.reset();
  EXPECT_TRUE(env_->WaitFor([&] { return !windows_.Exists(theirs); }, kWaitMs));
}

}  // namespace
}  // namespace om::contract
