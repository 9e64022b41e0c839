// Clipboard changes through the capture handler, and putting clips back.
#include <gtest/gtest.h>

#include "ui/main/main_form_fixture.h"
#include "store/store_errors.h"

namespace om::testing {
namespace {

using CaptureTest = MainFormTest;

Bytes Dword(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

TEST_F(CaptureTest, CaptureFilesTheClipInTheShownCollectionAndShowsIt) {
  Loaded();
  TClipColl& shown = *Coll("Short-Term");
  ForeignApp& app = Foreign();
  CopyText(app, "first");
  CopyText(app, "second");

  ASSERT_EQ(Titles(shown), (std::vector<std::string>{"second", "first"}));
  TClipObj* clip = shown.Clip(0);
  EXPECT_EQ(clip->Creator, "NOTEPAD");
  EXPECT_EQ(clip->SerialNbr, 2);
  EXPECT_EQ(clip->SortKey, 200);
  EXPECT_EQ(clip->Coll, &shown);
  EXPECT_TRUE(shown.Modified);
  EXPECT_EQ(Form().ClipboardClip(), clip);
  EXPECT_EQ(Form().LastCapturedClip(), clip);
  EXPECT_EQ(Settings().Captured, 2);
  // The new row is on top, selected alone, and nothing was copied back.
  ASSERT_EQ(widgets_.clips.Count(), 2);
  EXPECT_EQ(Form().ClipList().ClipAt(0), clip);
  EXPECT_TRUE(widgets_.clips.IsSelected(0));
  EXPECT_EQ(widgets_.clips.SelectedCount(), 1);
  EXPECT_EQ(Settings().CopiedBack, 0);
  EXPECT_EQ(widgets_.status.panels[0], "Captured Item #2 And Placed In: Short-Term");
  EXPECT_EQ(Sounds(), (std::vector<std::string>{"Ottermoor_NewData", "Ottermoor_NewData"}));
  EXPECT_EQ(widgets_.tree.StateIndex(widgets_.tree.NodeOf(&shown)), 5);
  EXPECT_EQ(widgets_.tree.made_visible.back(), widgets_.tree.NodeOf(&shown));
  EXPECT_TRUE(Logged("ClipViewCBChange", "Paste Accepted - last copy was " +
                                             std::to_string(DecodeDateTime(clip->TimeStamp).millisecond) +
                                             "ms ago.WaitUntil: 0Now: " + locale_.FormatFloat(clip->TimeStamp)));
}

TEST_F(CaptureTest, CaptureOffIgnoresEveryChange) {
  Loaded();
  Form().SetCapturing(false);
  widgets_.shell.preview_visible = true;
  CopyText(Foreign(), "ignored");
  EXPECT_EQ(Coll("Short-Term")->Count(), 0);
  EXPECT_EQ(Settings().Captured, 0);
  EXPECT_EQ(widgets_.status.panels[0], "New Data Ignored (Capture Is Off).");
  // Shown in the header too, which the display reset then empties.
  EXPECT_EQ(widgets_.shell.header_history.end()[-2], "New Data Ignored (Capture Is Off).");
  EXPECT_EQ(widgets_.shell.header, "");
  EXPECT_EQ(Sounds(), std::vector<std::string>{"Ottermoor_IgnoreClipboardUpdate"});
  EXPECT_FALSE(widgets_.shell.preview_visible);
  EXPECT_TRUE(Logged("ClipViewCBChange", "Ignoring New Data, AutoCapture Is Off"));
}

TEST_F(CaptureTest, IgnoreAndPrivacyMarkersKeepTheDataUntouched) {
  struct Case {
    const char* name;
    std::vector<Item> markers;
    bool captured;
  };
  const Case cases[] = {
      {"ignore marker", {{"Clipboard Viewer Ignore", TextBytes("x")}}, false},
      {"excluded from monitors", {{"ExcludeClipboardContentFromMonitorProcessing", {0}}}, false},
      {"history refused", {{"CanIncludeInClipboardHistory", Dword(0)}}, false},
      {"history marker too short", {{"CanIncludeInClipboardHistory", {1, 0}}}, false},
      {"history allowed", {{"CanIncludeInClipboardHistory", Dword(1)}}, true},
  };
  Loaded();
  ForeignApp& app = Foreign("C:\\Apps\\vault.exe");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    desktop_.Sound().ClearEvents();
    std::vector<Item> items = {{"1", TextBytes(std::string("secret ") + c.name), /*promised=*/true}};
    items.insert(items.end(), c.markers.begin(), c.markers.end());
    const int before = Coll("Short-Term")->Count();
    Copy(app, items);
    EXPECT_EQ(Coll("Short-Term")->Count(), before + (c.captured ? 1 : 0));
    if (!c.captured) {
      EXPECT_EQ(widgets_.status.panels[0], "New Data Ignored (Ignore Flag Set By Sender).");
      EXPECT_EQ(Sounds(), std::vector<std::string>{"Ottermoor_IgnoreClipboardUpdate"});
      EXPECT_EQ(Form().ClipboardClip(), nullptr);
      // The profile never heard of the application: nothing was read.
      EXPECT_FALSE(Get("Application Profile\\_FILTERS", "VAULT").has_value());
    }
  }
  EXPECT_EQ(Titles(*Coll("Short-Term")), std::vector<std::string>{"secret history allowed"});
  EXPECT_TRUE(Logged("ClipViewCBChange", "Ignoring New Data, CF_CLIPBOARD_VIEWER_IGNORE"));
}

TEST_F(CaptureTest, EmptiedClipboardIsReportedAndClearsTheReferences) {
  Loaded();
  ForeignApp& app = Foreign();
  CopyText(app, "something");
  ASSERT_NE(Form().ClipboardClip(), nullptr);
  desktop_.Sound().ClearEvents();
  Copy(app, {});
  EXPECT_EQ(widgets_.status.panels[0], "System Clipboard Is Empty.");
  EXPECT_EQ(Sounds(), std::vector<std::string>{"Ottermoor_EmptyClipboard"});
  EXPECT_EQ(Form().ClipboardClip(), nullptr);
  EXPECT_EQ(Form().LastCapturedClip(), nullptr);
  EXPECT_EQ(Coll("Short-Term")->Count(), 1);
}

TEST_F(CaptureTest, SoundsFollowTheSettings) {
  Put("Preferences", "UseSounds", "0");
  Put("Preferences", "BeepOnIgnore", "0");
  Loaded();
  ForeignApp& app = Foreign();
  CopyText(app, "beep");
  CopyText(app, "beep");  // duplicate, and BeepOnIgnore is off
  EXPECT_TRUE(Sounds().empty());
  EXPECT_EQ(desktop_.Sound().BeepCount(), 1);
}

TEST_F(CaptureTest, OnlyTheTopClipIsComparedForDuplicates) {
  WriteCollection("Stack", 100);
  WriteCollection("Queue", 200, [](TClipColl& c) { c.NewClipPosition = 0; });
  WriteCollection("Anything", 300, [](TClipColl& c) { c.AcceptDuplicates = true; });
  Loaded();
  ForeignApp& app = Foreign();
  struct Case {
    const char* coll;
    std::vector<std::string> copies;
    std::vector<std::string> kept;
  };
  const Case cases[] = {
      {"Stack", {"A", "A", "B", "A"}, {"A", "B", "A"}},
      // Appending: the first clip is the oldest, and that is what is compared.
      {"Queue", {"A", "B", "A", "B"}, {"A", "B", "B"}},
      {"Anything", {"A", "A"}, {"A", "A"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.coll);
    ShowColl(c.coll);
    for (const std::string& text : c.copies) {
      desktop_.Sound().ClearEvents();
      CopyText(app, text);
    }
    std::vector<std::string> titles = Titles(*Coll(c.coll));
    if (Coll(c.coll)->NewClipPosition == 1) std::reverse(titles.begin(), titles.end());
    EXPECT_EQ(titles, c.kept);
  }
  // The rejected change: status, sound, and the references as they were.
  ShowColl("Stack");
  Advance(1000);  // showing it put its top clip back on the clipboard
  TClipObj* top = Coll("Stack")->Clip(0);
  desktop_.Sound().ClearEvents();
  CopyText(app, "A");
  EXPECT_EQ(widgets_.status.panels[0], "Duplicate Item Rejected.");
  EXPECT_EQ(Sounds(), std::vector<std::string>{"Ottermoor_IgnoreClipboardUpdate"});
  EXPECT_EQ(Coll("Stack")->Clip(0), top);
}

TEST_F(CaptureTest, DuplicateTestComparesPlainTextOnly) {
  Loaded();  // clips reach their data only while the master list exists
  TClipObj a(1, "X"), b(2, "Y"), c(3, "Z"), none(4, "W");
  a.PutText("same", -1);
  b.PutText("same", -1);
  c.PutText("Same", -1);
  for (TClipObj* clip : {&a, &b, &c}) {
    clip->Online = true;
    clip->SetIcon(cf::kText);
  }
  none.Online = true;
  EXPECT_TRUE(TfrmQL::IsDuplicateClip(&a, &b));
  EXPECT_FALSE(TfrmQL::IsDuplicateClip(&a, &c)) << "letter case counts";
  EXPECT_FALSE(TfrmQL::IsDuplicateClip(&a, &none));
  EXPECT_FALSE(TfrmQL::IsDuplicateClip(&none, &none)) << "clips without text are never duplicates";
  EXPECT_FALSE(TfrmQL::IsDuplicateClip(&a, nullptr));
  EXPECT_EQ(a.LockedFormat, 0);
  EXPECT_EQ(b.LockedFormat, 0);
}

TEST_F(CaptureTest, CapturesGoToTheInboxWhenTheShownCollectionRefusesThem) {
  WriteCollection("Inbox", 100);
  WriteCollection("Archive", 200, [](TClipColl& c) { c.AcceptNewClips = false; });
  Loaded();
  ForeignApp& app = Foreign();
  ASSERT_EQ(Form().Inbox(), Coll("Inbox"));
  for (const std::string shown : {"Archive", "Search Results"}) {
    SCOPED_TRACE(shown);
    ShowColl(shown);
    widgets_.shell.preview_visible = true;
    widgets_.tree.made_visible.clear();
    CopyText(app, "to the inbox from " + shown);
    EXPECT_EQ(Coll(shown)->Count(), 0);
    EXPECT_EQ(Coll("Inbox")->Clip(0)->Title, "to the inbox from " + shown);
    EXPECT_EQ(widgets_.clips.SelectedCount(), 0);
    EXPECT_FALSE(widgets_.shell.preview_visible);
    EXPECT_EQ(widgets_.tree.made_visible, std::vector<TreeNode>{widgets_.tree.NodeOf(Coll("Inbox"))});
    EXPECT_EQ(widgets_.status.panels[0], "Captured Item #" + std::to_string(Coll("Inbox")->Clip(0)->SerialNbr) +
                                             " And Placed In: Inbox");
  }
}

TEST_F(CaptureTest, NoAcceptableFormatKeepsNothingAndRestoresTheReferences) {
  Loaded();
  ForeignApp& notepad = Foreign();
  CopyText(notepad, "kept");
  TClipObj* kept = Form().ClipboardClip();
  ASSERT_NE(kept, nullptr);
  // The profile keeps nothing of this application.
  Put("Application Profile\\_FILTERS", "MUTE", "0");
  ForeignApp& mute = Foreign("C:\\Apps\\mute.exe");
  desktop_.Sound().ClearEvents();
  CopyText(mute, "dropped");
  EXPECT_EQ(Titles(*Coll("Short-Term")), std::vector<std::string>{"kept"});
  EXPECT_EQ(Form().ClipboardClip(), kept);
  EXPECT_EQ(Form().LastCapturedClip(), kept);
  EXPECT_EQ(widgets_.status.panels[0],
            "New Clipboard Data Ignored - No Acceptable Formats, According To Application Profile.");
  EXPECT_EQ(Sounds(), std::vector<std::string>{"Ottermoor_EmptyClipboard"});
  EXPECT_EQ(widgets_.clips.SelectedCount(), 0);
  EXPECT_EQ(widgets_.tree.StateIndex(widgets_.tree.NodeOf(Coll("Short-Term"))), -1);
  EXPECT_EQ(Settings().Captured, 1);
}

TEST_F(CaptureTest, StateIndexesFollowTheLastCapture) {
  WriteCollection("Fav", 100, [](TClipColl& c) { c.Favorite = true; });
  WriteCollection("Plain", 200);
  Loaded();
  const auto state = [this](const char* title) { return widgets_.tree.StateIndex(widgets_.tree.NodeOf(Coll(title))); };
  EXPECT_EQ(state("Fav"), 4);
  EXPECT_EQ(state("Plain"), -1);
  ForeignApp& app = Foreign();
  ShowColl("Fav");
  CopyText(app, "into fav");
  EXPECT_EQ(state("Fav"), 3);
  EXPECT_EQ(state("Plain"), -1);
  ShowColl("Plain");
  CopyText(app, "into plain");
  EXPECT_EQ(state("Fav"), 4);
  EXPECT_EQ(state("Plain"), 5);
  EXPECT_EQ(state("My Clips"), -1);
}

TEST_F(CaptureTest, ClickingARowPutsItsClipBackOnce) {
  Loaded();
  ForeignApp& app = Foreign();
  CopyText(app, "older");
  CopyText(app, "newer");
  ClickRow(1);
  EXPECT_EQ(ClipboardText(), "older");
  EXPECT_EQ(widgets_.status.panels[0], "Clip Item [older] Copied To System Clipboard.");
  EXPECT_EQ(Settings().CopiedBack, 1);
  EXPECT_EQ(Form().ClipboardClip(), Coll("Short-Term")->Clip(1));
  EXPECT_FALSE(Form().CopyInProgress());
  EXPECT_DOUBLE_EQ(Form().AcceptCapturesAfter(), desktop_.Clock().Now() + 999 / kMillisecondsPerDay);
  // The same row again copies nothing.
  ClickRow(1);
  EXPECT_EQ(Settings().CopiedBack, 1);
  // The copy's own change is not captured.
  Advance(2000);
  EXPECT_EQ(Coll("Short-Term")->Count(), 2);
}

TEST_F(CaptureTest, ChangesSoonAfterACopyAreNotCaptured) {
  Loaded();
  ForeignApp& app = Foreign();
  CopyText(app, "in the list");
  ClickRow(0);
  ASSERT_EQ(Settings().CopiedBack, 0) << "it was the clipboard clip already";
  CopyText(app, "another");
  ClickRow(1);
  ASSERT_EQ(Settings().CopiedBack, 1);
  // Put 300 ms after the copy (sooner, the viewer takes it for the echo of
  // the copy), handled 250 ms later: inside the 999 ms.
  Advance(300);
  app.PutText("too soon");
  Advance(1000);
  EXPECT_EQ(Coll("Short-Term")->Count(), 2);
  EXPECT_TRUE(LogHas(",ClipViewCBChange,Paste Ignored - too soon after copy - 449ms ago."));
  // The next change is captured as usual.
  CopyText(app, "later");
  EXPECT_EQ(Coll("Short-Term")->Clip(0)->Title, "later");
}

TEST_F(CaptureTest, DelayAfterCopyIsKeptBelowASecond) {
  Put("Preferences", "DelayAfterCopy", "5000");
  Loaded();
  ForeignApp& app = Foreign();
  CopyText(app, "a");
  CopyText(app, "b");
  ClickRow(1);
  EXPECT_DOUBLE_EQ(Form().AcceptCapturesAfter(), desktop_.Clock().Now() + 999 / kMillisecondsPerDay);
}

TEST_F(CaptureTest, CopyFailuresAreReportedNotCounted) {
  Loaded();
  ForeignApp& app = Foreign();
  CopyText(app, "a");
  CopyText(app, "b");
  const double accept_after = Form().AcceptCapturesAfter();

  // Another program holds the clipboard: nothing copied, and the status
  // says so.
  ASSERT_TRUE(app.HoldOpen());
  ClickRow(1);
  app.Release();
  EXPECT_EQ(Settings().CopiedBack, 0);
  EXPECT_EQ(widgets_.status.panels[0], "Clip Item [a] Not Copied - The Clipboard Is In Use.");
  EXPECT_EQ(Form().ClipboardClip(), nullptr);
  EXPECT_EQ(Form().AcceptCapturesAfter(), accept_after);
  // Clicking it again retries.
  ClickRow(1);
  EXPECT_EQ(Settings().CopiedBack, 1);

  // A clip whose data the clipboard refuses: the error goes on to the caller.
  Coll("Short-Term")->SetModified(false);
  TClipObj broken(9, "X");
  auto entry = std::make_unique<TClipData>(formattype::kHandle);
  entry->FormatNum = cf::kText;
  entry->FormatName = "TEXT";
  entry->Handle = Bytes{};
  broken.DataList->push_back(std::move(entry));
  broken.Online = true;
  const double before = Form().AcceptCapturesAfter();
  EXPECT_THROW(Form().CopyItem(&broken), EBadCopy);
  EXPECT_FALSE(Form().CopyInProgress());
  EXPECT_TRUE(Coll("Short-Term")->Modified);
  EXPECT_EQ(Form().AcceptCapturesAfter(), before);
  EXPECT_EQ(Settings().CopiedBack, 1);
  EXPECT_TRUE(Logged("TfrmQL.CopyItem", "Copy Failed with Exception - item may be damaged."));
  EXPECT_EQ(Form().CopyItem(nullptr), 0);
}

TEST_F(CaptureTest, LocateLastClipNamesTheClipboardClipsCollection) {
  WriteCollection("Notes", 100);
  Loaded();
  Form().MenuClick(MenuCommand::kLocateLastClip);
  CopyText(Foreign(), "where am I");
  Form().MenuClick(MenuCommand::kLocateLastClip);
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"It is not known which collecton the last clip went into.",
                                               "The last clip was captured into: \r\nNotes"}));
  EXPECT_EQ(widgets_.shell.left_topmost, 2);
  EXPECT_EQ(widgets_.shell.restored_visibility, 1 + 2);  // the start-up tick, then each message
}

TEST_F(CaptureTest, PasteMenuFollowsPlainTextOnTheClipboard) {
  Loaded();
  ForeignApp& app = Foreign();
  CopyText(app, "text");
  EXPECT_TRUE(widgets_.menus.items[MenuItem::kMagPaste].enabled);
  Copy(app, {{"5", Bytes{1, 2, 3}}});
  EXPECT_FALSE(widgets_.menus.items[MenuItem::kMagPaste].enabled);
}

}  // namespace
}  // namespace om::testing
