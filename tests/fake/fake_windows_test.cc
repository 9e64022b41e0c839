// The simulated windows' own promises: hung windows, re-entrant destruction
// and what a window carries besides its handler.
#include <gtest/gtest.h>

#include <set>

#include "fake/recorder.h"
#include "platform/fake/fake_desktop.h"

namespace om::fake {
namespace {

class FakeWindowsTest : public ::testing::Test {
 protected:
  FakeDesktop desktop_;
  FakeWindowSystem& windows_ = desktop_.Windows();
};

TEST_F(FakeWindowsTest, AHungWindowTimesOutAndItsPostsWait) {
  Recorder hung_handler, fine_handler;
  const WindowHandle hung = windows_.CreateHidden(hung_handler, "hung");
  const WindowHandle fine = windows_.CreateHidden(fine_handler, "fine");
  windows_.SetHung(hung, true);

  EXPECT_EQ(windows_.SendWithTimeout(hung, msg::kUser, 0, 0, 1000).status, SendStatus::kTimedOut);
  EXPECT_EQ(windows_.Send(hung, msg::kUser, 0, 0).status, SendStatus::kTimedOut);
  ASSERT_TRUE(windows_.Post(hung, msg::kApp, 1, 0));
  ASSERT_TRUE(windows_.Post(fine, msg::kApp, 2, 0));
  ASSERT_TRUE(windows_.Post(hung, msg::kApp, 3, 0));
  desktop_.Clock().Advance(100);
  EXPECT_TRUE(hung_handler.noted.empty());
  EXPECT_EQ(fine_handler.Count(msg::kApp), 1) << "one hung window holds up nobody else";

  windows_.SetHung(hung, false);
  desktop_.Clock().ProcessMessages();
  EXPECT_EQ(hung_handler.noted, (std::vector<Noted>{{0, msg::kApp, 1}, {0, msg::kApp, 3}}));
  EXPECT_EQ(windows_.SendWithTimeout(hung, msg::kUser, 0, 0, 1000).status, SendStatus::kOk);
}

TEST_F(FakeWindowsTest, AWindowMayDestroyItselfInsideASend) {
  Recorder handler;
  const WindowHandle window = windows_.CreateHidden(handler, "brief");
  ASSERT_TRUE(windows_.Post(window, msg::kApp, 0, 0));
  handler.react = [&](WindowHandle self, std::uint32_t message, std::uintptr_t, std::intptr_t) -> std::intptr_t {
    if (message != msg::kUser) return 0;
    windows_.Destroy(self);
    windows_.Destroy(self);  // again from inside: ignored
    return 7;
  };
  const SendResult result = windows_.Send(window, msg::kUser, 0, 0);
  EXPECT_EQ(result.status, SendStatus::kOk);
  EXPECT_EQ(result.result, 7);
  EXPECT_FALSE(windows_.Exists(window));
  EXPECT_EQ(windows_.PendingPosted(), 0u) << "its queued messages went with it";
}

TEST_F(FakeWindowsTest, WindowsCarryTheirProcessTitleAndClass) {
  Recorder handler;
  const WindowHandle ours = windows_.CreateHidden(handler, "Ottermoor");
  const std::uint32_t other_process = desktop_.NewProcessId();
  const WindowHandle theirs = windows_.Create(handler, {"Untitled - Notepad", "Notepad", other_process});
  const WindowHandle third = windows_.Create(handler, {"", "Edit", other_process});

  const std::set<WindowHandle> handles = {ours, theirs, third};
  EXPECT_EQ(handles.size(), 3u);
  EXPECT_FALSE(handles.contains(0));
  ASSERT_NE(windows_.Info(ours), nullptr);
  EXPECT_EQ(windows_.Info(ours)->process_id, FakeDesktop::kOwnProcessId);
  EXPECT_EQ(windows_.Info(ours)->title, "Ottermoor");
  EXPECT_NE(other_process, FakeDesktop::kOwnProcessId);
  EXPECT_EQ(windows_.Info(theirs)->class_name, "Notepad");
  EXPECT_EQ(windows_.Info(theirs)->process_id, other_process);

  windows_.Destroy(theirs);
  EXPECT_EQ(windows_.Info(theirs), nullptr);
  const WindowHandle fresh = windows_.CreateHidden(handler, "later");
  EXPECT_FALSE(handles.contains(fresh)) << "handles are not reused";
}

}  // namespace
}  // namespace om::fake
