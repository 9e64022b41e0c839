// Sequential paste on the simulated desktop: a foreign program "pastes" by
// reading the clipboard's text, which makes the system ask the program for
// the data it promised.
#include <gtest/gtest.h>

#include "store/store_services.h"
#include "ui/main/main_form_fixture.h"
#include "ui/main/stepfeed.h"

namespace om::testing {
namespace {

class StepfeedTest : public ShownClipsTest {
 protected:
  void StartWithTexts(const std::vector<std::string>& texts) {
    std::vector<std::vector<Item>> clips;
    for (const std::string& text : texts) clips.push_back(Text(text));
    StartWith(clips);
  }
  TStepfeed& Stepfeed() { return Form().Stepfeed(); }
  // The target program pastes: it reads the clipboard's text.
  std::string Paste() { return ClipboardText(); }
  // The pause after a paste, past which the next clip is promised.
  void AfterThePause() { Advance(Stepfeed().IntervalMs() + 10); }
  bool Checked(MenuItem item) { return widgets_.menus.items[item].checked; }
  // The menu checks and the buttons, as "up"/"down"/"" for each of both.
  std::string Shown() {
    std::string shown;
    shown += Checked(MenuItem::kStepfeedUp) && Checked(MenuItem::kTrayStepfeedUp) ? "up" : "";
    shown += Checked(MenuItem::kStepfeedDown) && Checked(MenuItem::kTrayStepfeedDown) ? "down" : "";
    shown += "/";
    shown += widgets_.shell.stepfeed_up_down ? "up" : "";
    shown += widgets_.shell.stepfeed_down_down ? "down" : "";
    return shown;
  }
  int CompletionSounds() {
    return static_cast<int>(std::count(Sounds().begin(), Sounds().end(), "Ottermoor_StepfeedComplete"));
  }
  std::int32_t State() { return StoreServices().SequentialPaste; }
};

TEST_F(StepfeedTest, DownFromOneClipPastesEveryFollowingClipAndTheSelectionFollows) {
  StartWithTexts({"one", "two", "three", "four"});
  ClickRow(1);
  Form().MenuClick(MenuCommand::kStepfeedDown);
  EXPECT_EQ(State(), seqpaste::kArmed);
  EXPECT_EQ(Shown(), "down/down");
  EXPECT_FALSE(Stepfeed().SelectedOnly());

  EXPECT_EQ(Paste(), "two");
  EXPECT_EQ(State(), seqpaste::kRendering);
  // A second paste before the pause gets the same clip again.
  EXPECT_EQ(Paste(), "two");
  AfterThePause();
  EXPECT_EQ(State(), seqpaste::kArmed);
  EXPECT_EQ(widgets_.clips.SelectedRows(), (std::vector<int>{2}));
  EXPECT_EQ(Form().ClipboardClip(), Row(2));
  EXPECT_EQ(Paste(), "three");
  AfterThePause();
  EXPECT_EQ(Paste(), "four");
  // The last clip in the direction: the run is over, with its sound.
  EXPECT_FALSE(Stepfeed().Running());
  EXPECT_EQ(CompletionSounds(), 1);
  EXPECT_EQ(Shown(), "/");
  AfterThePause();
  EXPECT_EQ(Paste(), "four");
  EXPECT_EQ(widgets_.clips.SelectedRows(), (std::vector<int>{3}));
  // None of the program's own placings was captured.
  Advance(5000);
  EXPECT_EQ(Coll("Main")->Count(), 4);
}

TEST_F(StepfeedTest, UpOverSeveralSelectedClipsVisitsOnlyThemAndLeavesTheSelection) {
  StartWithTexts({"one", "two", "three", "four"});
  SelectInOrder({0, 2, 3});
  Form().MenuClick(MenuCommand::kStepfeedUp);
  EXPECT_TRUE(Stepfeed().SelectedOnly());
  EXPECT_EQ(Shown(), "up/up");
  // From the bottom-most selected clip, the last row of the list.
  EXPECT_EQ(Paste(), "four");
  AfterThePause();
  EXPECT_EQ(Paste(), "three");
  AfterThePause();
  EXPECT_EQ(Paste(), "one");
  EXPECT_FALSE(Stepfeed().Running());
  EXPECT_EQ(widgets_.clips.SelectedRows(), (std::vector<int>{0, 2, 3}));
  EXPECT_EQ(CompletionSounds(), 1);
}

TEST_F(StepfeedTest, ASingleClipEndsAtItsFirstPasteAndTheSoundFollowsTheSetting) {
  StartWithTexts({"only"});
  ClickRow(0);
  Form().MenuClick(MenuCommand::kStepfeedDown);
  EXPECT_EQ(Paste(), "only");
  EXPECT_FALSE(Stepfeed().Running());
  EXPECT_EQ(CompletionSounds(), 1);

  Settings().BeepOnSFComplete = false;
  Form().MenuClick(MenuCommand::kStepfeedUp);
  EXPECT_EQ(Paste(), "only");
  EXPECT_FALSE(Stepfeed().Running());
  EXPECT_EQ(CompletionSounds(), 1);
}

TEST_F(StepfeedTest, ACopyInAnotherProgramEndsItWithoutPuttingTheClipBack) {
  StartWithTexts({"one", "two", "three"});
  ClickRow(0);
  Form().MenuClick(MenuCommand::kStepfeedDown);
  EXPECT_EQ(Paste(), "one");
  AfterThePause();
  Advance(5000);
  CopyText(*app_, "foreign");
  EXPECT_FALSE(Stepfeed().Running());
  EXPECT_EQ(State(), seqpaste::kOff);
  EXPECT_EQ(Shown(), "/");
  EXPECT_EQ(Paste(), "foreign");
  // The foreign copy was captured as usual.
  EXPECT_EQ(Coll("Main")->Count(), 4);
  EXPECT_EQ(CompletionSounds(), 0);
}

TEST_F(StepfeedTest, TheSameDirectionAgainEndsItWithTheClipAsPlainDataAndTheOtherRestarts) {
  StartWithTexts({"one", "two", "three"});
  ClickRow(1);
  Form().MenuClick(MenuCommand::kStepfeedDown);
  Form().MenuClick(MenuCommand::kStepfeedUp);
  EXPECT_EQ(Stepfeed().Direction(), TStepfeed::kUp);
  EXPECT_EQ(Shown(), "up/up");
  EXPECT_EQ(Paste(), "two");
  AfterThePause();
  EXPECT_EQ(Form().ClipboardClip(), Row(0));

  Form().MenuClick(MenuCommand::kStepfeedUp);
  EXPECT_FALSE(Stepfeed().Running());
  EXPECT_EQ(Shown(), "/");
  EXPECT_TRUE(Logged("TfrmQL.SFOff", "Stepfeed Command is OFF"));
  // The clip's data is on the clipboard itself: reading it asks the
  // program for nothing.
  const auto renders = [&] {
    const std::string log = LogText();
    std::size_t count = 0;
    for (std::size_t at = log.find("RenderFormat"); at != std::string::npos; at = log.find("RenderFormat", at + 1)) {
      ++count;
    }
    return count;
  };
  const std::size_t before = renders();
  EXPECT_EQ(Paste(), "one");
  EXPECT_EQ(renders(), before);
}

TEST_F(StepfeedTest, ClickingAnotherRowContinuesFromThere) {
  StartWithTexts({"one", "two", "three", "four"});
  ClickRow(0);
  Form().MenuClick(MenuCommand::kStepfeedDown);
  EXPECT_EQ(Paste(), "one");
  AfterThePause();
  ClickRow(2);
  EXPECT_TRUE(Stepfeed().Running());
  EXPECT_EQ(Stepfeed().CurrentRow(), 2);
  EXPECT_EQ(Paste(), "three");
  AfterThePause();
  EXPECT_EQ(Paste(), "four");
  EXPECT_FALSE(Stepfeed().Running());
}

TEST_F(StepfeedTest, WithoutASelectionItSaysSoAndStaysOff) {
  StartWithTexts({"one", "two"});
  widgets_.clips.ClearSelection();
  Form().MenuClick(MenuCommand::kStepfeedDown);
  EXPECT_FALSE(Stepfeed().Running());
  EXPECT_EQ(Shown(), "/");
  ASSERT_FALSE(Boxes().empty());
  EXPECT_NE(Boxes().back().find(TStepfeed::kNoStartingItem), std::string::npos);
  EXPECT_TRUE(Logged("Stepfeed", "No starting item selected."));
}

TEST_F(StepfeedTest, ClosingTheProgramWhileAClipIsPromisedLeavesItsTextOnTheClipboard) {
  StartWithTexts({"one", "two", "three"});
  ClickRow(1);
  Form().MenuClick(MenuCommand::kStepfeedDown);
  EXPECT_EQ(Paste(), "two");
  AfterThePause();
  // "three" is promised now, and the program goes.
  EXPECT_TRUE(Form().FormCloseQuery());
  EXPECT_EQ(State(), seqpaste::kOff);
  EXPECT_EQ(Paste(), "three");
}

TEST_F(StepfeedTest, ThePauseIsClampedToItsRange) {
  struct Case {
    const char* setting;
    std::uint32_t interval;
  };
  const Case cases[] = {{"50", 100}, {"100", 100}, {"2500", 2500}, {"4000", 4000}, {"9000", 4000}, {"-5", 100},
                        {"abc", 100}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.setting);
    Put("Preferences", "StepfeedDelay", c.setting);
    form_.reset();
    Start();
    EXPECT_EQ(Form().Stepfeed().IntervalMs(), c.interval);
    EXPECT_EQ(Settings().StepfeedDelay, static_cast<std::int32_t>(c.interval));
  }
}

}  // namespace
}  // namespace om::testing
