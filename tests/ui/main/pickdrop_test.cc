// The hot keys and pick-and-paste on the simulated desktop: a foreign
// program's window is in front when the hot key comes, and the keys the
// program types into it are recorded by the simulated keyboard.
#include <gtest/gtest.h>

#include "app/shortcut_text.h"
#include "ui/main/hot_keys.h"
#include "ui/main/main_form_fixture.h"
#include "ui/main/pickdrop.h"

namespace om::testing {
namespace {

class PickdropTest : public ShownClipsTest {
 protected:
  static constexpr WindowHandle kFocusedControl = 0x7701;

  // The clips "one", "two", "three" shown, and a foreign window in front
  // with a focused control.
  void Setup(const std::string& module = "C:\\Apps\\notepad.exe") {
    StartWith({Text("one"), Text("two"), Text("three")});
    target_ = &Foreign(module);
    desktop_.Processes().SetForeground(target_->Window());
    desktop_.Processes().SetFocusedWindow(target_->Window(), kFocusedControl);
    // The main window is a window of the desktop too, so that it can come
    // to the front.
    own_window_ = &Foreign("C:\\Program Files\\Ottermoor\\Ottermoor.exe");
    widgets_.shell.handle = own_window_->Window();
    keyboard_.Clear();
  }
  TPickdrop& Pickdrop() { return Form().Pickdrop(); }
  void HotKey(THotKeys::Action action) { Form().HotKeys().WMHotKey(Form().HotKeys().IdOf(action)); }
  void Key(int virtual_key) { Form().ClipList().lvClipsKeyDown(virtual_key, {}); }
  const std::vector<std::string>& Typed() { return keyboard_.Events(); }
  static std::string Activate(WindowHandle window) { return "Activate " + std::to_string(window); }
  static std::vector<std::string> CtrlV(WindowHandle into) {
    return {Activate(into), "Ctrl down", "V down", "V up", "Ctrl up"};
  }
  static std::vector<std::string> Join(std::vector<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
  }

  ForeignApp* target_ = nullptr;
  ForeignApp* own_window_ = nullptr;
};

TEST_F(PickdropTest, HotKeysGetIdentifiersInTableOrderCountingOnlyTheSetOnes) {
  Put("HotKeys", "HKSelectNext", "");
  Setup();
  const THotKeys& keys = Form().HotKeys();
  EXPECT_EQ(keys.IdOf(THotKeys::kActivate), 1);
  EXPECT_EQ(keys.IdOf(THotKeys::kSelectNext), 0);
  EXPECT_EQ(keys.IdOf(THotKeys::kSelectPrev), 2);
  EXPECT_EQ(keys.IdOf(THotKeys::kPickdrop), 3);
  std::vector<std::pair<int, fake::FakeHotKeys::Combination>> registered;
  for (const auto& [key, registration] : hot_keys_.Registered()) {
    registered.emplace_back(registration.id, registration.combination);
  }
  const std::uint32_t ctrl_alt = hotkeymod::kControl | hotkeymod::kAlt;
  EXPECT_EQ(registered, (std::vector<std::pair<int, fake::FakeHotKeys::Combination>>{
                            {1, {ctrl_alt, 'C'}},
                            {2, {ctrl_alt, 'P'}},
                            {3, {hotkeymod::kShift | hotkeymod::kControl, 'Q'}}}));
  EXPECT_TRUE(Boxes().empty());

  // At shutdown every identifier handed out is given back.
  EXPECT_TRUE(Form().FormCloseQuery());
  EXPECT_TRUE(hot_keys_.Registered().empty());
}

TEST_F(PickdropTest, AHotKeyTakenElsewhereIsReportedAndTwoSuggestARunningSecondCopy) {
  hot_keys_.Take(hotkeymod::kControl | hotkeymod::kAlt, 'C');
  Setup();
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0], HotKeyTakenText("Ctrl+Alt+C", "Activate Ottermoor"));
  EXPECT_EQ(Boxes()[0].substr(0, 49), "Warning: Could not reserve the following hotkey:\r");
  EXPECT_EQ(Form().HotKeys().IdOf(THotKeys::kActivate), 0);
  EXPECT_EQ(Form().HotKeys().IdOf(THotKeys::kPickdrop), 4);

  hot_keys_.Take(hotkeymod::kControl | hotkeymod::kAlt, 'N');
  EXPECT_FALSE(Form().HotKeys().RegisterHotKeys(false) && Form().HotKeys().RegisterHotKeys(true));
  ASSERT_EQ(Boxes().size(), 4u);
  EXPECT_EQ(Boxes()[2], HotKeyTakenText("Ctrl+Alt+N", "Select Next Clip"));
  EXPECT_EQ(Boxes()[3], THotKeys::kMultipleFailures);
  // The keys nobody else holds still work.
  EXPECT_EQ(Form().HotKeys().IdOf(THotKeys::kSelectPrev), 3);
  EXPECT_EQ(Form().HotKeys().IdOf(THotKeys::kPickdrop), 4);
}

TEST_F(PickdropTest, TheSelectionHotKeysStepThroughTheListAndCopyEachClip) {
  Setup();
  ClickRow(0);
  HotKey(THotKeys::kSelectNext);
  EXPECT_EQ(widgets_.clips.SelectedRows(), (std::vector<int>{1}));
  EXPECT_EQ(ClipboardText(), "two");
  HotKey(THotKeys::kSelectNext);
  HotKey(THotKeys::kSelectNext);
  EXPECT_EQ(widgets_.clips.SelectedRows(), (std::vector<int>{2}));
  EXPECT_EQ(ClipboardText(), "three");
  HotKey(THotKeys::kSelectPrev);
  EXPECT_EQ(ClipboardText(), "two");
}

TEST_F(PickdropTest, EnterPastesTheChosenClipIntoTheFocusedControlWithCtrlVAndEndsTheMode) {
  Setup();
  widgets_.shell.visible = false;
  HotKey(THotKeys::kPickdrop);
  ASSERT_TRUE(Pickdrop().Active());
  EXPECT_TRUE(widgets_.shell.pickdrop_layout);
  EXPECT_EQ(widgets_.shell.shown_me, 1);
  EXPECT_EQ(widgets_.shell.clip_list_focused, 1);
  EXPECT_EQ(Pickdrop().TargetWindow(), target_->Window());
  EXPECT_EQ(Pickdrop().TargetControl(), kFocusedControl);
  EXPECT_EQ(Pickdrop().TargetTitle(), "Foreign");
  EXPECT_EQ(Pickdrop().TargetModule(), "NOTEPAD");
  EXPECT_TRUE(Logged("TfrmQL.Pickdrop", "Pickdrop -->Foreign"));

  // The user moves to the second clip: it is on the clipboard at once.
  ClickRow(1);
  EXPECT_EQ(ClipboardText(), "two");
  Key(0x0D);
  EXPECT_EQ(Typed(), CtrlV(kFocusedControl));
  EXPECT_FALSE(Pickdrop().Active());
  EXPECT_FALSE(widgets_.shell.pickdrop_layout);
  // It was hidden before the hot key: hidden again.
  EXPECT_FALSE(widgets_.shell.visible);
  EXPECT_EQ(desktop_.Processes().ForegroundWindow(), target_->Window());
  EXPECT_TRUE(Logged("TfrmQL.PDTerminate", "End Pickdrop"));
}

TEST_F(PickdropTest, TheWayThePasteIsTypedDependsOnTheTarget) {
  struct Case {
    const char* module;
    std::vector<std::string> no_ctrl_v;
    bool into_control;
    bool console;
  };
  const Case cases[] = {
      {"C:\\Apps\\notepad.exe", {}, true, false},
      // A title fragment of the no-Ctrl+V list: the Edit menu's Paste.
      {"C:\\Apps\\notepad.exe", {"reig"}, false, false},
      {"C:\\Apps\\notepad.exe", {"foreign"}, true, false},  // fragments match case-sensitively
      // Consoles: the system menu's Edit, Paste, into the window itself.
      {"C:\\windows\\system32\\cmd.exe", {}, false, true},
      {"C:\\windows\\system32\\conhost.exe", {}, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.module) + (c.no_ctrl_v.empty() ? "" : " without Ctrl+V"));
    // A fresh start for each target; the one before closed as the user
    // closes it (its hot keys given back).
    if (form_) EXPECT_TRUE(Form().FormCloseQuery());
    form_.reset();
    Setup(c.module);
    Settings().NoCtrlVList = c.no_ctrl_v;
    HotKey(THotKeys::kPickdrop);
    ClickRow(2);
    keyboard_.Clear();
    const std::uint32_t before = desktop_.Clock().TickCount();
    Key(0x0D);
    const WindowHandle window = target_->Window();
    if (c.console) {
      EXPECT_EQ(Pickdrop().TargetControl(), 0u);
      EXPECT_EQ(Typed(), Join({{Activate(window), "Alt down", "Space down", "Space up", "Alt up"},
                               {Activate(window), "E down", "E up"},
                               {Activate(window), "P down", "P up"}}));
      // 100 ms after each key, then 200 ms with the target in front.
      EXPECT_EQ(desktop_.Clock().TickCount() - before, 500u);
    } else if (c.into_control) {
      EXPECT_EQ(Typed(), CtrlV(kFocusedControl));
      EXPECT_EQ(desktop_.Clock().TickCount() - before, 300u);
    } else {
      EXPECT_EQ(Typed(), Join({{Activate(window), "Alt down", "E down", "E up", "Alt up"},
                               {Activate(window), "P down", "P up"}}));
    }
    EXPECT_FALSE(Pickdrop().Active());
  }
}

TEST_F(PickdropTest, StickyTabAndEnterFollowEveryPasteAndPlainOnesAreSentAtOnce) {
  Setup();
  HotKey(THotKeys::kPickdrop);
  EXPECT_TRUE(widgets_.shell.pd_sticky);
  Form().MenuClick(MenuCommand::kPickdropTab);
  EXPECT_TRUE(Pickdrop().TabDown());
  EXPECT_TRUE(Settings().PDTabButtonDown);
  ClickRow(0);
  keyboard_.Clear();
  const std::uint32_t before = desktop_.Clock().TickCount();
  Key(0x0D);
  const WindowHandle window = target_->Window();
  EXPECT_EQ(Typed(), Join({CtrlV(kFocusedControl), {Activate(window), "Tab down", "Tab up"}}));
  // Ctrl+V, 100 ms, the target in front and 200 ms, then 200 ms before and
  // after the Tab.
  EXPECT_EQ(desktop_.Clock().TickCount() - before, 700u);

  // Not sticky: the buttons are plain, and a click sends its key now.
  HotKey(THotKeys::kPickdrop);
  Form().MenuClick(MenuCommand::kPickdropSticky);
  EXPECT_FALSE(widgets_.shell.pd_sticky);
  EXPECT_FALSE(widgets_.shell.pd_tab);
  keyboard_.Clear();
  Form().MenuClick(MenuCommand::kPickdropEnter);
  EXPECT_EQ(Typed(), (std::vector<std::string>{Activate(window), "Enter down", "Enter up"}));
  EXPECT_EQ(desktop_.Processes().ForegroundWindow(), widgets_.shell.Handle());
  EXPECT_TRUE(Pickdrop().Active());
  EXPECT_FALSE(Settings().PDStickyButtons);
}

TEST_F(PickdropTest, TheLockKeepsTheModeAcrossPastesAndDeactivations) {
  Setup();
  HotKey(THotKeys::kPickdrop);
  Form().MenuClick(MenuCommand::kPickdropLock);
  EXPECT_TRUE(widgets_.shell.pd_lock || Pickdrop().LockDown());
  ClickRow(0);
  Key(0x0D);
  EXPECT_TRUE(Pickdrop().Active());
  // Back in front for the next pick.
  EXPECT_EQ(desktop_.Processes().ForegroundHistory().back(), widgets_.shell.Handle());
  Advance(1000);
  Form().AppDeactivate();
  EXPECT_TRUE(Pickdrop().Active());
  // "Paste" pastes and stays, also unlocked.
  Form().MenuClick(MenuCommand::kPickdropLock);
  keyboard_.Clear();
  Form().MenuClick(MenuCommand::kPickdropPaste);
  EXPECT_EQ(Typed(), CtrlV(kFocusedControl));
  EXPECT_TRUE(Pickdrop().Active());
  EXPECT_FALSE(Pickdrop().LockDown());
  // Escape ends it and puts the target in front.
  Key(0x1B);
  EXPECT_FALSE(Pickdrop().Active());
  EXPECT_EQ(desktop_.Processes().ForegroundWindow(), target_->Window());
  EXPECT_FALSE(Settings().PDLock);
}

TEST_F(PickdropTest, ADeactivationSoonAfterTheHotKeyIsIgnored) {
  Setup();
  HotKey(THotKeys::kPickdrop);
  Advance(200);
  Form().AppDeactivate();
  EXPECT_TRUE(Pickdrop().Active());
  EXPECT_TRUE(LogHas("Deactivate Ignored - Too soon after invoking PD: "));
  Advance(400);
  Form().AppDeactivate();
  EXPECT_FALSE(Pickdrop().Active());
}

TEST_F(PickdropTest, TheHotKeyInsideTheProgramItselfIsRefusedAndEndsALockedMode) {
  Setup();
  HotKey(THotKeys::kPickdrop);
  Form().MenuClick(MenuCommand::kPickdropLock);
  ClickRow(0);
  Form().MenuClick(MenuCommand::kStepfeedDown);
  ASSERT_TRUE(Form().Stepfeed().Running());
  desktop_.Processes().SetForeground(widgets_.shell.Handle());
  HotKey(THotKeys::kPickdrop);
  ASSERT_FALSE(Boxes().empty());
  EXPECT_EQ(Boxes().back(), TPickdrop::kIntoItself);
  EXPECT_FALSE(Pickdrop().Active());
  EXPECT_FALSE(Form().Stepfeed().Running());
  EXPECT_TRUE(Typed().empty());
}

TEST_F(PickdropTest, TheListPicksItsFirstRowWhenEnteredAfterTheGuardAndIgnoresClicksJustAfterTheEnd) {
  Setup();
  widgets_.clips.ClearSelection();
  HotKey(THotKeys::kPickdrop);
  // Too soon after the hot key: entering the list picks nothing.
  Form().ClipList().lvClipsEnter();
  EXPECT_TRUE(widgets_.clips.SelectedRows().empty());
  Advance(TPickdrop::kGuardMs);
  Form().ClipList().lvClipsEnter();
  EXPECT_EQ(widgets_.clips.SelectedRows(), (std::vector<int>{0}));
  EXPECT_EQ(ClipboardText(), "one");

  Key(0x1B);
  EXPECT_TRUE(Pickdrop().ClicksIgnored());
  Advance(TPickdrop::kGuardMs);
  EXPECT_FALSE(Pickdrop().ClicksIgnored());
}

TEST_F(PickdropTest, TheAlternateListShowsTheSetCollectionInPlaceOfThePreviewAndItsClipsPaste) {
  Setup();
  // "Other" holds a clip of its own.
  ShowColl("Other");
  Advance(5000);
  CopyText(*app_, "from other");
  ShowColl("Main");
  ClickRow(0);
  desktop_.Processes().SetForeground(target_->Window());

  // "Set": the menu lists the tree's collections; "Other" is chosen.
  widgets_.shell.alternate_choice = "Other";
  HotKey(THotKeys::kPickdrop);
  EXPECT_TRUE(widgets_.shell.alternates_shown);
  Form().MenuClick(MenuCommand::kPickdropSetAlternate);
  ASSERT_EQ(widgets_.shell.alternate_menus.size(), 1u);
  EXPECT_EQ(widgets_.shell.alternate_caption, "Alternate Collection: Other");
  EXPECT_EQ(Settings().PDAlternateColl, "Other");
  EXPECT_EQ(widgets_.alternate_clips.Count(), 1);
  // Filling it changed nothing on the clipboard.
  EXPECT_EQ(ClipboardText(), "one");

  // A pick in the alternate list goes on the clipboard and pastes.
  widgets_.alternate_clips.Click(0);
  Form().Alternates().List().lvClipsChange(0, ListChange::kState);
  EXPECT_EQ(ClipboardText(), "from other");
  Form().Alternates().List().lvClipsEnter();
  keyboard_.Clear();
  Form().Alternates().List().lvClipsKeyDown(0x0D, {});
  EXPECT_EQ(Typed(), CtrlV(kFocusedControl));
  EXPECT_FALSE(Pickdrop().Active());
  EXPECT_FALSE(widgets_.shell.alternates_shown);

  // The next Pickdrop focuses the list that had the focus last.
  const int main_focused = widgets_.shell.clip_list_focused;
  HotKey(THotKeys::kPickdrop);
  EXPECT_EQ(widgets_.shell.alternate_list_focused, 1);
  EXPECT_EQ(widgets_.shell.clip_list_focused, main_focused);
  // Hidden with the menu: the main list gets the focus.
  Form().MenuClick(MenuCommand::kShowPDAlternates);
  EXPECT_FALSE(Settings().ShowPDAlternates);
  EXPECT_FALSE(widgets_.shell.alternates_shown);
  EXPECT_FALSE(widgets_.menus.items[MenuItem::kShowPDAlternates].checked);
  EXPECT_EQ(widgets_.shell.clip_list_focused, main_focused + 1);
}

TEST_F(PickdropTest, TheAlternateCollectionIsFoundAgainAtTheNextStart) {
  Put("Preferences", "PDAlternateColl", "Other");
  Setup();
  EXPECT_EQ(Form().Alternates().Collection(), Coll("Other"));
  EXPECT_EQ(widgets_.shell.alternate_caption, "Alternate Collection: Other");
}

}  // namespace
}  // namespace om::testing
