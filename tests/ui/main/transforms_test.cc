// The text transforms' commands on the simulated desktop: the case button's
// cycle, one clip through the text pane and its selection, several clips
// at once, the shifts, titles from selected text and the URL commands.
#include <gtest/gtest.h>

#include "clipboard/graphics_data.h"
#include "store/clip_lock.h"
#include "ui/main/main_form_fixture.h"

namespace om::testing {
namespace {

class TransformsTest : public MainFormTest {
 protected:
  void StartWith(const std::vector<std::string>& texts) {
    WriteCollection("Main", 100);
    Loaded();
    ShowColl("Main");
    ForeignApp& app = Foreign();
    for (const std::string& text : texts) {
      Advance(5000);
      CopyText(app, text);
    }
  }
  std::string TextAt(int row) {
    TClipObj* clip = Form().ClipList().ClipAt(row);
    TClipLock lock(*clip, cf::kText);
    return std::string(lock.Text());
  }
  TTextTransforms& Commands() { return Form().Transforms(); }
  FakePreview& pane_ = widgets_.preview;
};

TEST_F(TransformsTest, TheCaseButtonCyclesAndAMenuChoiceIsRepeated) {
  StartWith({"hELLO wORLD. again"});
  ClickRow(0);
  struct Step {
    const char* action;  // "click", or a menu's case index as text
    const char* text;    // the clip's text afterwards
    int next_index;      // the button's index afterwards
  };
  const Step steps[] = {
      {"click", "hello world. again", 1},
      {"click", "HELLO WORLD. AGAIN", 2},
      {"click", "Hello World. Again", 3},
      {"click", "Hello world. Again", 0},
      {"click", "hello world. again", 1},
      // A menu's conversion is what the next click applies again.
      {"2", "Hello World. Again", 2},
      {"click", "Hello World. Again", 3},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.action);
    if (std::string(step.action) == "click") {
      Commands().cmdMag_CaseClick();
    } else {
      Commands().mnuMagCaseClick(std::stoi(step.action));
    }
    EXPECT_EQ(TextAt(0), step.text);
    EXPECT_EQ(Form().Preview().CaseIndex(), step.next_index);
    EXPECT_EQ(pane_.text, step.text);
  }
  // After removing line breaks the next click applies nothing and moves on
  // to upper case.
  Form().MenuClick(MenuCommand::kRemoveLineBreaks);
  EXPECT_EQ(Form().Preview().CaseIndex(), 4);
  EXPECT_EQ(widgets_.status.panels[0], "Converted -> Removed Line Breaks");
  Commands().cmdMag_CaseClick();
  EXPECT_EQ(TextAt(0), "Hello World. Again");
  EXPECT_EQ(Form().Preview().CaseIndex(), 1);
}

TEST_F(TransformsTest, ANewlyPreviewedClipRepeatsTheLastClickedConversion) {
  StartWith({"first clip", "second clip"});
  ClickRow(0);
  Commands().cmdMag_CaseClick();  // lower
  Commands().cmdMag_CaseClick();  // UPPER
  ASSERT_EQ(TextAt(0), "SECOND CLIP");
  ClickRow(1);
  EXPECT_EQ(Form().Preview().CaseIndex(), 1);
  Commands().cmdMag_CaseClick();
  EXPECT_EQ(TextAt(1), "FIRST CLIP");
}

TEST_F(TransformsTest, OneClipIsConvertedWithinTheSelectionAndItsTitleWhole) {
  StartWith({"alpha beta gamma"});
  ClickRow(0);
  TClipObj* clip = Form().ClipList().ClipAt(0);
  pane_.Select({6, 4});
  Form().MenuClick(MenuCommand::kUpperCase);
  EXPECT_EQ(TextAt(0), "alpha BETA gamma");
  EXPECT_EQ(clip->Title, "ALPHA BETA GAMMA");
  EXPECT_EQ(pane_.selection, (TextSelection{6, 4}));
  EXPECT_EQ(widgets_.status.panels[0], "Converted -> UPPER CASE");
  EXPECT_EQ(widgets_.shell.header, "ALPHA BETA GAMMA");
  // Without a selection the whole result is selected.
  pane_.Select({0, 0});
  Form().MenuClick(MenuCommand::kSentenceCase);
  EXPECT_EQ(TextAt(0), "Alpha beta gamma");
  EXPECT_EQ(pane_.selection, (TextSelection{0, 16}));
}

TEST_F(TransformsTest, SeveralClipsAreRewrittenWholeAndThePaneLetsGo) {
  StartWith({"one.", "two three"});
  Advance(5000);
  Copy(Foreign("C:\\Apps\\write.exe"), {{"1", TextBytes("rich one")}, {"Rich Text Format", TextBytes("{\\rtf1 r}")}});
  widgets_.clips.Click(0);
  widgets_.clips.SetSelected(1, true);
  widgets_.clips.SetSelected(2, true);
  Form().ClipList().lvClipsChange(2, ListChange::kState);
  Form().MenuClick(MenuCommand::kMixedCase);
  EXPECT_EQ(TextAt(0), "Rich One");
  EXPECT_EQ(TextAt(1), "Two Three");
  EXPECT_EQ(TextAt(2), "One.");
  // Every transform leaves text alone: the rich text went.
  EXPECT_EQ(Form().ClipList().ClipAt(0)->GetFormatCount(), 1);
  EXPECT_EQ(Form().ClipboardClip(), nullptr);
  EXPECT_EQ(Form().Preview().PreviewedClip(), nullptr);
  EXPECT_EQ(Form().Preview().CaseIndex(), 2);
  // Nothing selected: nothing happens.
  widgets_.clips.ClearSelection();
  Form().MenuClick(MenuCommand::kLowerCase);
  EXPECT_EQ(TextAt(1), "Two Three");
}

TEST_F(TransformsTest, ShiftsWorkOnThePreviewedClipAndCountAsEdits) {
  StartWith({"a\r\n\r\nb"});
  ClickRow(0);
  const std::int32_t edits = Settings().Edits;
  Form().MenuClick(MenuCommand::kShiftRight);
  EXPECT_EQ(TextAt(0), " a\r\n\r\n b");
  EXPECT_EQ(pane_.text, " a\r\n\r\n b");
  EXPECT_EQ(Settings().Edits, edits + 1);
  Commands().cmdMag_ShiftLeftClick();
  EXPECT_EQ(TextAt(0), "a\r\n\r\nb");
  // Ctrl held: the first character of each line goes, whatever it is.
  widgets_.shell.ctrl_down = true;
  Commands().cmdMag_ShiftLeftClick();
  EXPECT_EQ(TextAt(0), "\r\n\r\n");
  widgets_.shell.ctrl_down = false;
}

TEST_F(TransformsTest, SelectedTextBecomesTheTitle) {
  StartWith({"Dear Sir, about the invoice"});
  ClickRow(0);
  pane_.Select({20, 7});
  Commands().mnuMag_MakeTitleClick();
  EXPECT_EQ(Form().ClipList().ClipAt(0)->Title, "invoice");
  EXPECT_EQ(widgets_.shell.header, "invoice");
  EXPECT_TRUE(Form().ClipList().ClipAt(0)->Changed);
}

TEST_F(TransformsTest, UrlCommandsOpenWhatTheyFindOrSaySoInABox) {
  StartWith({"see www.example.com/a?b=1 now", "no address here", "x.y"});
  const int left_topmost = widgets_.shell.left_topmost;
  const int restored = widgets_.shell.restored_visibility;
  // Exact text: the selection as it is.
  ClickRow(2);
  pane_.Select({4, 15});
  Commands().mnuMag_LaunchURLClick();
  ASSERT_EQ(shell_.opened.size(), 1u);
  EXPECT_EQ(shell_.opened.back(), "www.example.com");

  // Smart: the address around the caret, up to the '?'.
  pane_.Select({10, 0});
  Commands().mnuLaunchURLCloseEnoughClick();
  EXPECT_EQ(shell_.opened.back(), "www.example.com/a");
  EXPECT_EQ(widgets_.status.panels[0], "Launching: www.example.com/a");
  // Right after a blank there is none: the status and a box say so.
  pane_.Select({4, 0});
  Commands().mnuLaunchURLCloseEnoughClick();
  EXPECT_EQ(widgets_.status.panels[0], "Could Not Determine URL.");
  EXPECT_EQ(Boxes().back(), "Ottermoor could not determine the URL.");

  // From the list: one clip with a period.
  const std::size_t opened = shell_.opened.size();
  ClickRow(1);
  widgets_.clips.menu_choice = ClipMenuCommand::kLaunchAsUrl;
  Form().ClipList().PopupMenuClipsPopup(false);
  EXPECT_EQ(Boxes().back(), "Ottermoor could not determine the URL.");
  ClickRow(0);
  Commands().LaunchasURL1Click();
  EXPECT_EQ(shell_.opened.size(), opened + 1);
  EXPECT_EQ(shell_.opened.back(), "x.y");
  widgets_.clips.SetSelected(1, true);
  Commands().LaunchasURL1Click();
  EXPECT_EQ(Boxes().back(), "Please select one clip before invoking this function.");
  // Every command that may show a box stepped out of the top position and
  // back.
  EXPECT_EQ(widgets_.shell.left_topmost - left_topmost, 5);
  EXPECT_EQ(widgets_.shell.restored_visibility - restored, 5);
}

TEST_F(TransformsTest, TheListUrlCommandWantsText) {
  WriteCollection("Main", 100);
  Loaded();
  ShowColl("Main");
  Copy(Foreign("C:\\Apps\\paint.exe"), {{"2", SmallDib()}});
  ClickRow(0);
  Commands().LaunchasURL1Click();
  EXPECT_EQ(Boxes().back(), "This function only works on TEXT items.");
}

}  // namespace
}  // namespace om::testing
