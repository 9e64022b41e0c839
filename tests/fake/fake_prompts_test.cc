// The simulated message boxes: what they record and how they answer.
#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/fake/fake_prompts.h"

namespace om::fake {
namespace {

TEST(FakePromptsTest, UnscriptedBoxesTakeTheirFirstButtonAndAreRecorded) {
  FakePrompts prompts;
  struct Case {
    MsgButtons buttons;
    MsgResult answer;
  };
  const Case cases[] = {{MsgButtons::kOk, MsgResult::kOk},
                        {MsgButtons::kOkCancel, MsgResult::kOk},
                        {MsgButtons::kYesNo, MsgResult::kYes},
                        {MsgButtons::kYesNoCancel, MsgResult::kYes}};
  for (const Case& c : cases) EXPECT_EQ(prompts.ShowMessage("text", "caption", c.buttons, MsgIcon::kNone), c.answer);

  EXPECT_EQ(prompts.ShowMessage("Delete 3 clips?", "Ottermoor", MsgButtons::kYesNo, MsgIcon::kQuestion, 0x1234),
            MsgResult::kYes);
  ASSERT_EQ(prompts.Shown().size(), 5u);
  const ShownBox& last = prompts.Shown().back();
  EXPECT_EQ(last.text, "Delete 3 clips?");
  EXPECT_EQ(last.caption, "Ottermoor");
  EXPECT_EQ(last.buttons, MsgButtons::kYesNo);
  EXPECT_EQ(last.icon, MsgIcon::kQuestion);
  EXPECT_EQ(last.owner, 0x1234u);
}

TEST(FakePromptsTest, QueuedAnswersComeInOrderAndMustFitTheBox) {
  FakePrompts prompts;
  prompts.QueueAnswer(MsgResult::kNo);
  prompts.QueueAnswer(MsgResult::kCancel);
  EXPECT_EQ(prompts.ShowMessage("1", "", MsgButtons::kYesNoCancel, MsgIcon::kWarning), MsgResult::kNo);
  EXPECT_EQ(prompts.ShowMessage("2", "", MsgButtons::kOkCancel, MsgIcon::kWarning), MsgResult::kCancel);
  EXPECT_EQ(prompts.QueuedAnswers(), 0u);
  EXPECT_EQ(prompts.ShowMessage("3", "", MsgButtons::kYesNo, MsgIcon::kWarning), MsgResult::kYes);

  prompts.QueueAnswer(MsgResult::kCancel);
  EXPECT_THROW(prompts.ShowMessage("no cancel here", "", MsgButtons::kYesNo, MsgIcon::kNone), std::logic_error);
  EXPECT_EQ(prompts.Shown().size(), 4u) << "the box was shown before the script failed";
}

}  // namespace
}  // namespace om::fake
