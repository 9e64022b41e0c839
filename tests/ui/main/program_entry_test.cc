// The process entry's steps before the main window exists.
#include <gtest/gtest.h>

#include "ui/main/main_form_fixture.h"
#include "ui/main/program_entry.h"

namespace om::testing {
namespace {

class ProgramEntryTest : public MainFormTest {
 protected:
  ProgramStart Run(fake::FakeAppInstance& instance) {
    return StartProgram(ProgramEntryPorts{instance, desktop_.Prompts(), desktop_.Clock()}, SettingsContext());
  }
};

TEST_F(ProgramEntryTest, SecondInstanceBringsTheFirstForwardAndStops) {
  const ProgramStart first = Run(instance_);
  ASSERT_NE(first.settings, nullptr);
  EXPECT_EQ(world_.mutexes, std::set<std::string>{"Ottermoor.exe"});
  world_.window_classes.insert("TfrmQL");  // the first one's main window is up

  fake::FakeAppInstance second(world_);
  const ProgramStart stopped = Run(second);
  EXPECT_EQ(stopped.settings, nullptr);
  EXPECT_EQ(world_.activated, std::vector<std::string>{"TfrmQL"});
}

TEST_F(ProgramEntryTest, SecondInstanceStartsWhenTheFirstHasNoWindowYet) {
  world_.mutexes.insert("Ottermoor.exe");
  const ProgramStart start = Run(instance_);
  EXPECT_NE(start.settings, nullptr);
  EXPECT_TRUE(world_.activated.empty());
}

TEST_F(ProgramEntryTest, CtrlAndShiftOfferTheResetOfAllSettings) {
  Put("Preferences", "AutoSaveInterval", "7");
  instance_.ctrl_and_shift_down = true;

  desktop_.Prompts().QueueAnswer(MsgResult::kNo);
  ProgramStart kept = Run(instance_);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0],
            "Ottermoor has detected that you have the SHIFT and CTRL keys pressed down, which signals the program "
            "that you want to clear all settings.  \r\nAre you sure you want to do this?");
  EXPECT_EQ(desktop_.Prompts().Shown()[0].buttons, MsgButtons::kYesNo);
  ASSERT_NE(kept.settings, nullptr);
  EXPECT_EQ(kept.settings->AutoSaveInterval, 7);
  EXPECT_TRUE(chooser_.recommended.empty());

  // Yes: everything from the defaults, the data folder asked for again,
  // and the settings saved normally at the end.
  world_.mutexes.clear();
  desktop_.Prompts().QueueAnswer(MsgResult::kYes);
  ProgramStart reset = Run(instance_);
  ASSERT_NE(reset.settings, nullptr);
  EXPECT_EQ(reset.settings->AutoSaveInterval, 10);
  EXPECT_EQ(chooser_.recommended.size(), 1u);
  EXPECT_FALSE(reset.settings->NoSaveOnExit);
  EXPECT_EQ(messages_.shown.size(), 1u) << "the reset tells the user";
}

TEST_F(ProgramEntryTest, ShowStateDelayAndArguments) {
  Put("Preferences", "PhantomDelay", "1500");
  instance_.show_state = 7;
  instance_.arguments = {"NOCAPTURE"};
  bool timer_fired = false;
  struct Probe final : IMessageHandler {
    bool* fired;
    std::intptr_t OnMessage(WindowHandle, std::uint32_t message, std::uintptr_t, std::intptr_t, bool&) override {
      if (message == msg::kTimer) *fired = true;
      return 0;
    }
  } probe;
  probe.fired = &timer_fired;
  const WindowHandle window = desktop_.Windows().CreateHidden(probe, "probe");
  desktop_.Clock().SetTimer(window, 1, 100);

  const std::uint64_t before = desktop_.Clock().ElapsedMs();
  const ProgramStart start = Run(instance_);
  EXPECT_EQ(desktop_.Clock().ElapsedMs() - before, 1500u);
  EXPECT_FALSE(timer_fired) << "the start-up delay processes no messages";
  EXPECT_TRUE(start.started_minimized);
  EXPECT_EQ(start.arguments, std::vector<std::string>{"NOCAPTURE"});
  desktop_.Windows().Destroy(window);

  for (int state : {2, 6, 7}) EXPECT_TRUE(IsMinimizedShowState(state)) << state;
  for (int state : {0, 1, 3, 5, 9}) EXPECT_FALSE(IsMinimizedShowState(state)) << state;
}

}  // namespace
}  // namespace om::testing
