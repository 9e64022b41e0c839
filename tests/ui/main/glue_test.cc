// Glue: the separator and joining rules on their own, then manual and
// automatic glue on the simulated desktop.
#include <gtest/gtest.h>

#include "clipboard/graphics_data.h"
#include "store/clip_lock.h"
#include "ui/main/glue.h"
#include "ui/main/main_form_fixture.h"

namespace om::testing {
namespace {

TEST(GlueRulesTest, SeparatorSettingParses) {
  const std::string x79(79, 'x');
  const std::string x80(80, 'x');
  struct Case {
    std::string setting;
    std::string separator;
  };
  const Case cases[] = {
      {"\\n", "\r\n"},
      {"a\\tb\\x", "a\tb?"},
      {"\\N\\T\\\\", "\r\n\t\\"},
      {" -- ", " -- "},
      {"", ""},
      // A backslash with nothing after it stays a backslash.
      {"abc\\", "abc\\"},
      {"\\", "\\"},
      {"\\\\\\", "\\\\"},
      // At most 80 characters; a line break may end the separator at 81.
      {std::string(100, 'x'), x80},
      {x79 + "\\nyy", x79 + "\r\n"},
      {x80 + "\\n", x80},
      {x79 + "\\q\\n", x79 + "?"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.setting);
    EXPECT_EQ(ParseGlueSeparator(c.setting), c.separator);
  }
}

TEST(GlueRulesTest, TrailingBreakLooksAtTheSecondToLastCharacterOnly) {
  struct Case {
    std::string text;
    std::size_t cut_from;
    std::string after;
  };
  const Case cases[] = {
      {"a\r\n", kManualGlueCutFrom, "a"},
      {"a\n\r", kManualGlueCutFrom, "a"},
      {"ab\rx", kManualGlueCutFrom, "ab"},   // CR and any character after it
      {"ab\n", kManualGlueCutFrom, "ab\n"},  // a lone LF after a letter stays
      {"\r\n", kManualGlueCutFrom, ""},      // manual glue cuts two characters
      {"\nz", kManualGlueCutFrom, ""},
      {"x", kManualGlueCutFrom, "x"},
      {"", kManualGlueCutFrom, ""},
      {"\r\n", kAutoGlueCutFrom, "\r\n"},    // appending never cuts one or two
      {"\n", kAutoGlueCutFrom, "\n"},
      {"a\r\n", kAutoGlueCutFrom, "a"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.text) + " from " + std::to_string(c.cut_from));
    std::string text = c.text;
    CutTrailingBreak(text, c.cut_from);
    EXPECT_EQ(text, c.after);
  }
  // The first piece gets no separator, and nothing is cut without the
  // setting.
  std::string glued;
  AppendGluePiece(glued, "--", "a\r\n", true, kManualGlueCutFrom);
  AppendGluePiece(glued, "--", "b\r\n", true, kManualGlueCutFrom);
  EXPECT_EQ(glued, "a--b\r\n");
  AppendGluePiece(glued, "--", "c", false, kManualGlueCutFrom);
  EXPECT_EQ(glued, "a--b\r\n--c");
}

TEST(GlueRulesTest, OrderFollowsTheLastStepOfTheSelection) {
  const std::vector<int> rows = {1, 4, 6};
  const std::vector<int> down = {1, 4, 6};
  const std::vector<int> up = {6, 4, 1};
  EXPECT_EQ(GlueOrder(rows, 1, 6), down);
  EXPECT_EQ(GlueOrder(rows, 4, 4), down);
  EXPECT_EQ(GlueOrder(rows, 6, 1), up);
  // Fewer than two recorded changes: from the bottom up.
  EXPECT_EQ(GlueOrder(rows, -1, 6), up);
  EXPECT_EQ(GlueOrder(rows, -1, -1), up);
}

class GlueTest : public ShownClipsTest {
 protected:
  TGlue& Glue() { return Form().Glue(); }
  bool ButtonDown() const { return widgets_.shell.glue_button_down; }
  bool MenusChecked() {
    return widgets_.menus.items[MenuItem::kGlue].checked && widgets_.menus.items[MenuItem::kTrayGlue].checked;
  }
};

TEST_F(GlueTest, ManualGlueJoinsInTheDirectionOfTheSelection) {
  StartWith({Text("one"), Text("two"), Text("three")});
  SelectInOrder({0, 2});
  Form().MenuClick(MenuCommand::kGlue);

  TClipObj* const glue = Row(0);
  EXPECT_EQ(glue->Title, "Glue: (2 Items)");
  EXPECT_EQ(glue->Creator, "Ottermoor - Glue");
  EXPECT_EQ(TextOf(glue), "one\r\nthree");
  EXPECT_EQ(glue->GetFormatCount(), 1);
  EXPECT_TRUE(glue->HasIcon(cf::kText));
  EXPECT_EQ(Coll("Main")->Clip(0), glue);
  EXPECT_EQ(ClipCount("Main"), 4);
  EXPECT_EQ(Form().ClipboardClip(), glue);
  EXPECT_EQ(ClipboardText(), "one\r\nthree");
  EXPECT_EQ(widgets_.preview.text_focused, 1);
  EXPECT_FALSE(ButtonDown());
  EXPECT_FALSE(Glue().AutoGlueOn());
  // Its own copy was not captured again.
  Advance(5000);
  EXPECT_EQ(ClipCount("Main"), 4);

  // Rows now: glue, one, two, three. From the bottom up it reverses.
  SelectInOrder({3, 1});
  Form().MenuClick(MenuCommand::kGlue);
  EXPECT_EQ(TextOf(Row(0)), "three\r\none");
  EXPECT_EQ(Row(0)->Title, "Glue: (2 Items)");
}

TEST_F(GlueTest, ManualGlueOmitsExistingBreaksOnlyWhenSet) {
  StartWith({Text("a\r\n"), Text("b\r\n"), Text("c")});
  SelectInOrder({0, 1, 2});
  Form().MenuClick(MenuCommand::kGlue);
  EXPECT_EQ(TextOf(Row(0)), "a\r\nb\r\nc");
  EXPECT_EQ(Row(0)->Title, "Glue: (3 Items)");

  Settings().GlueOmitExistingCRLF = false;
  SelectInOrder({1, 2, 3});
  Form().MenuClick(MenuCommand::kGlue);
  EXPECT_EQ(TextOf(Row(0)), "a\r\n\r\nb\r\n\r\nc");

  // The separator as parsed from the setting.
  Settings().GlueSeparator = " \\t| ";
  Glue().ParseGlueSeparator();
  SelectInOrder({2, 4});
  Form().MenuClick(MenuCommand::kGlue);
  EXPECT_EQ(TextOf(Row(0)), "a\r\n \t| c");
}

TEST_F(GlueTest, ClipsWithoutTextAreSkippedAndNotCounted) {
  StartWith({Text("left"), Picture(0xFF), Text("right"), Picture(0x10)});
  SelectInOrder({0, 1, 2});
  Form().MenuClick(MenuCommand::kGlue);
  EXPECT_EQ(TextOf(Row(0)), "left\r\nright");
  EXPECT_EQ(Row(0)->Title, "Glue: (2 Items)");
  EXPECT_EQ(Row(0)->GetFormatCount(), 1);
  EXPECT_TRUE(Boxes().empty());

  // Only pictures selected: nothing to glue, no clip made.
  SelectInOrder({2, 4});
  Form().MenuClick(MenuCommand::kGlue);
  ASSERT_EQ(desktop_.Prompts().Shown().size(), 1u);
  const fake::ShownBox& box = desktop_.Prompts().Shown().front();
  EXPECT_EQ(box.text, "Sorry, there is nothing to GLUE!   (Only TEXT items may be glued.)");
  EXPECT_EQ(box.caption, "Ottermoor GLUE Error");
  EXPECT_EQ(box.icon, MsgIcon::kError);
  EXPECT_EQ(ClipCount("Main"), 5);
  EXPECT_FALSE(ButtonDown());
  EXPECT_GT(widgets_.shell.left_topmost, 0);
}

TEST_F(GlueTest, AutomaticGlueAppendsCopiedTextsUntilAPictureEndsIt) {
  StartWith({Text("existing")});
  Form().MenuClick(MenuCommand::kGlue);
  TClipObj* const glue = Row(0);
  EXPECT_EQ(glue->Title, "Glue: (0 Items)");
  EXPECT_EQ(TextOf(glue), "");
  EXPECT_EQ(glue->GetFormatCount(), 1);
  EXPECT_EQ(Form().ClipboardClip(), glue);
  EXPECT_TRUE(Glue().AutoGlueOn());
  EXPECT_TRUE(ButtonDown());
  EXPECT_TRUE(MenusChecked());
  EXPECT_EQ(ClipCount("Main"), 2);

  const std::size_t sounds_before = Sounds().size();
  CopyLater(Text("first\r\n"));
  EXPECT_EQ(TextOf(glue), "first\r\n");
  EXPECT_EQ(glue->Title, "Glue: (1) Items");
  CopyLater(Text("second"));
  EXPECT_EQ(TextOf(glue), "first\r\nsecond");
  EXPECT_EQ(glue->Title, "Glue: (2) Items");
  EXPECT_EQ(widgets_.shell.header, "Glue: (2) Items");
  EXPECT_EQ(widgets_.preview.text, "first\r\nsecond");
  EXPECT_EQ(ClipboardText(), "first\r\nsecond");
  EXPECT_EQ(ClipCount("Main"), 2);
  EXPECT_EQ(std::vector<std::string>(Sounds().begin() + static_cast<std::ptrdiff_t>(sounds_before), Sounds().end()),
            (std::vector<std::string>{"Ottermoor_Glue", "Ottermoor_Glue"}));

  // A picture ends it and is not captured.
  CopyLater(Picture(0x40));
  EXPECT_FALSE(Glue().AutoGlueOn());
  EXPECT_EQ(glue->Title, "Glue Complete: (2) Items");
  EXPECT_FALSE(ButtonDown());
  EXPECT_FALSE(MenusChecked());
  EXPECT_EQ(ClipCount("Main"), 2);
  EXPECT_EQ(TextOf(glue), "first\r\nsecond");
  // From now on texts are clips of their own again.
  CopyLater(Text("third"));
  EXPECT_EQ(ClipCount("Main"), 3);
  EXPECT_EQ(TextOf(Row(0)), "third");
  EXPECT_EQ(TextOf(glue), "first\r\nsecond");
}

TEST_F(GlueTest, TheButtonAndCommandsEndAutomaticGlue) {
  StartWith({Text("existing")});
  // The button again ends it.
  Glue().cmdGlueClick();
  CopyLater(Text("one"));
  Glue().cmdGlueClick();
  EXPECT_FALSE(Glue().AutoGlueOn());
  EXPECT_EQ(Row(0)->Title, "Glue Complete: (1) Items");

  // Saving ends it before the save, so the file has the final title.
  Glue().cmdGlueClick();
  CopyLater(Text("two"));
  Form().mnuFileSaveClick();
  EXPECT_FALSE(Glue().AutoGlueOn());
  EXPECT_FALSE(ButtonDown());
  const std::vector<std::string> saved = OnDisk("Main");
  ASSERT_FALSE(saved.empty());
  EXPECT_EQ(saved.front(), "Glue Complete: (1) Items");

  // Another collection ends it even with no clip selected: the texts that
  // follow never reach a clip there.
  Glue().cmdGlueClick();
  ASSERT_TRUE(Glue().AutoGlueOn());
  widgets_.clips.ClearSelection();
  ShowColl("Other");
  EXPECT_FALSE(Glue().AutoGlueOn());
  CopyLater(Text("elsewhere"));
  ASSERT_EQ(ClipCount("Other"), 1);
  EXPECT_EQ(TextOf(Coll("Other")->Clip(0)), "elsewhere");
}

TEST_F(GlueTest, AClipboardThatCannotBeOpenedLeavesTheGlueAsItWas) {
  StartWith({Text("existing")});
  Form().MenuClick(MenuCommand::kGlue);
  TClipObj* const glue = Row(0);
  CopyLater(Text("kept"));
  Advance(5000);
  app_->PutText("lost");
  ASSERT_TRUE(app_->HoldOpen());
  Advance(1500);
  app_->Release();
  ASSERT_EQ(desktop_.Prompts().Shown().size(), 1u);
  EXPECT_EQ(desktop_.Prompts().Shown().front().text, "Error - Could Not Open Clipboard");
  EXPECT_EQ(desktop_.Prompts().Shown().front().icon, MsgIcon::kInformation);
  EXPECT_TRUE(LogHas(",Auto-Glue,Error - Could Not Open Clipboard: "));
  EXPECT_TRUE(Glue().AutoGlueOn());
  EXPECT_EQ(TextOf(glue), "kept");
  EXPECT_EQ(glue->Title, "Glue: (1) Items");
  CopyLater(Text("next"));
  EXPECT_EQ(TextOf(glue), "kept\r\nnext");
  EXPECT_EQ(glue->Title, "Glue: (2) Items");
}

}  // namespace
}  // namespace om::testing
