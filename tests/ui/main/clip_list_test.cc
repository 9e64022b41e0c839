// The clip list: its rows, sorting by a column, and what selecting rows does.
#include <gtest/gtest.h>

#include "clipboard/graphics_data.h"
#include "ui/main/list_sort.h"
#include "ui/main/main_form_fixture.h"

namespace om::testing {
namespace {

using ClipListTest = MainFormTest;

TEST(ListSortTest, TextsCompareAsDateTimesThenNumbersThenText) {
  fake::FakeLocale us;
  fake::FakeLocale de;
  de.short_date_format = "dd.MM.yyyy";
  de.long_time_format = "HH:mm:ss";
  de.decimal_separator = ',';
  struct Case {
    fake::FakeLocale* locale;
    std::string a, b;
    int order;
  };
  const Case cases[] = {
      // Date-times, in the user's formats (a date alone is its midnight).
      {&us, "12/1/2023 11:00:00 AM", "3/5/2024 2:07:09 PM", -1},
      {&us, "3/5/2024 2:07:09 PM", "3/5/2024 9:30:00 AM", 1},
      {&us, "3/5/2024", "3/5/2024 12:00:01 AM", -1},
      {&us, "9:00:00 AM", "2:07:09 PM", -1},
      {&de, "01.12.2024 09:00:00", "05.03.2024 14:07:09", 1},
      // Numbers, not digit by digit.
      {&us, "10", "9", 1},
      {&us, "-2.5", "1", -1},
      {&de, "2,5", "10", -1},
      // Text: the locale's order, not the bytes'; letter case counts.
      {&us, "B", "a", 1},
      {&us, "apple", "Banana", -1},
      {&us, "Banana", "cherry", -1},
      {&us, "a", "A", -1},
      {&us, "Zebra", "zebra", 1},
      {&us, "abc", "abd", -1},
      {&us, "same", "same", 0},
      // One side is no date-time or no number: both compare as text.
      {&us, "3/5/2024 1:00:00 AM", "10", 1},
      {&us, "10", "9 apples", -1},
      // Looks like a date but is none: text.
      {&us, "2/30/2024 1:00:00 AM", "10/1/2024 1:00:00 AM", 1},
      {&us, "1/2", "10/1", -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CompareListTexts(c.a, c.b, *c.locale), c.order) << c.a << " vs " << c.b;
    EXPECT_EQ(CompareListTexts(c.b, c.a, *c.locale), -c.order) << c.b << " vs " << c.a;
    // Keys read once order the same way (the list sorts by them); a column
    // of numbers alone skips the text keys, one of repeated texts keys
    // each text once.
    for (const std::vector<std::string>& column :
         {std::vector<std::string>{c.a, c.b}, std::vector<std::string>{c.a, c.b, c.a, "x"}}) {
      const ListSortKeys keys(column, *c.locale);
      EXPECT_EQ(keys.Compare(0, 1), c.order) << "keys: " << c.a << " vs " << c.b;
      EXPECT_EQ(keys.Compare(1, 0), -c.order) << "keys: " << c.b << " vs " << c.a;
      if (keys.size() > 2) EXPECT_EQ(keys.Compare(0, 2), 0) << c.a;
    }
  }
  EXPECT_FALSE(ParseListDateTime("2/30/2024", us));
  ASSERT_TRUE(ParseListDateTime("3/5/2024 2:07:09 PM", us));
  EXPECT_DOUBLE_EQ(*ParseListDateTime("3/5/2024 2:07:09 PM", us), EncodeDateTime({2024, 3, 5, 14, 7, 9, 0}));
}

TEST_F(ClipListTest, RowsShowTheClipsFieldsWithoutLoadingTheirData) {
  Loaded();
  TClipObj clip(42, "WINWORD");
  clip.Title = "Quarterly";
  clip.SortKey = 4200;
  clip.TimeStamp = EncodeDateTime({2024, 3, 5, 14, 7, 9, 0});
  clip.SourceURL = "http://example.com/q";
  clip.IconFlags = iconflag::kText | iconflag::kRtf | iconflag::kHDrop;
  clip.StoredApart = true;
  clip.DataList.reset();  // not in memory: the row must not need it
  Form().ClipList().AddToLists(&clip, /*select=*/false, 2);
  ASSERT_EQ(widgets_.clips.Count(), 1);
  std::vector<std::string> cells;
  for (int column = 0; column < listcolumn::kCount; ++column) cells.push_back(widgets_.clips.Text(0, column));
  EXPECT_EQ(cells, (std::vector<std::string>{"Quarterly", "4200", "3/5/2024 2:07:09 PM", "WINWORD", "42", "Y", "Y",
                                             "N", "N", "N", "Y", "http://example.com/q"}));
  EXPECT_EQ(widgets_.clips.Image(0), 6);
  EXPECT_EQ(Form().ClipList().ClipAt(0), &clip);
  widgets_.clips.Draw(0);
  EXPECT_EQ(Form().ClipList().WidestIconStrip(), 3);
  EXPECT_FALSE(clip.DataList.has_value());
  Form().ClipList().Clear();
}

TEST_F(ClipListTest, ColumnClicksSortAndTheChoiceIsKeptWithTheCollection) {
  Loaded();
  ForeignApp& app = Foreign();
  for (const char* text : {"b", "a", "c"}) CopyText(app, text);
  ShowColl("Short-Term");
  // The default: MySort, newest first.
  EXPECT_EQ(widgets_.clips.Column(0), (std::vector<std::string>{"c", "a", "b"}));
  EXPECT_EQ(widgets_.clips.column_widths[5], 18);
  EXPECT_EQ(widgets_.clips.column_widths[10], 18);

  Form().ClipList().lvClipsColumnClick(listcolumn::kTitle);
  EXPECT_EQ(widgets_.clips.Column(0), (std::vector<std::string>{"c", "b", "a"}));
  Form().ClipList().lvClipsColumnClick(listcolumn::kTitle);
  EXPECT_EQ(widgets_.clips.Column(0), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(widgets_.clips.arrow_column, 0);
  EXPECT_TRUE(widgets_.clips.arrow_ascending);
  TClipColl* coll = Coll("Short-Term");
  EXPECT_EQ(coll->ListSortColumn, 0);
  EXPECT_TRUE(coll->ListSortAscending);
  EXPECT_TRUE(coll->Modified);

  // The next start shows the same order.
  ASSERT_TRUE(Form().FormCloseQuery());
  form_.reset();
  Loaded();
  EXPECT_EQ(widgets_.clips.Column(0), (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(ClipListTest, TheListIsToldTheWidestIconStripOfItsRows) {
  WriteCollection("Main", 100);
  WriteCollection("Empty", 200);
  Loaded();
  ASSERT_TRUE(Settings().ShowTypeIcons);
  ForeignApp& app = Foreign();
  ShowColl("Main");
  CopyText(app, "plain");
  ShowColl("Main");
  EXPECT_TRUE(widgets_.clips.type_icons);
  EXPECT_EQ(widgets_.clips.icon_strip, 1);

  // A capture adds a row with more formats: the strip widens with it.
  Advance(5000);
  Copy(app, {{"1", TextBytes("rich")}, {"Rich Text Format", TextBytes("{\\rtf1 rich}")}});
  ASSERT_EQ(widgets_.clips.Count(), 2);
  EXPECT_EQ(widgets_.clips.icon_strip, 2);

  // A refill starts over, also for a collection without clips.
  ShowColl("Empty");
  EXPECT_EQ(widgets_.clips.Count(), 0);
  EXPECT_EQ(widgets_.clips.icon_strip, 0);
  ShowColl("Main");
  EXPECT_EQ(widgets_.clips.icon_strip, 2);

  // Without type icons the list draws its plain texts.
  Settings().ShowTypeIcons = false;
  ShowColl("Empty");
  EXPECT_FALSE(widgets_.clips.type_icons);
}

TEST_F(ClipListTest, ColumnLayoutIsSavedAtShutdownAndRestoredAtTheNextStart) {
  Loaded();
  // The user widens the title, drags "Source URL" to the front and sorts
  // by "Date/Time".
  widgets_.clips.SetColumnWidth(listcolumn::kTitle, 333);
  const std::vector<int> order = {11, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  widgets_.clips.SetColumnOrder(order);
  Form().ClipList().lvClipsColumnClick(listcolumn::kDateTime);
  ASSERT_TRUE(Form().FormCloseQuery());
  EXPECT_EQ(Get("lvClips\\Columns", "Sizes"), "333,100,100,100,100,18,18,18,18,18,18,100");
  EXPECT_EQ(Get("lvClips\\Columns", "Order"), "11,0,1,2,3,4,5,6,7,8,9,10");
  EXPECT_EQ(Get("lvClips\\Sort", "SortCol"), "2");
  EXPECT_EQ(Get("lvClips\\Sort", "Ascending"), "0");

  // A new window: the layout comes back at start-up, before anything loads.
  form_.reset();
  widgets_.clips = FakeClipList();
  Start();
  EXPECT_EQ(widgets_.clips.ColumnWidth(listcolumn::kTitle), 333);
  EXPECT_EQ(widgets_.clips.ColumnWidth(listcolumn::kFirstFlag), 18);
  EXPECT_EQ(widgets_.clips.ColumnOrder(), order);
  EXPECT_EQ(widgets_.clips.ShownSortArrow(), (SortArrow{listcolumn::kDateTime, false}));
}

TEST_F(ClipListTest, DamagedStoredLayoutIsIgnoredColumnByColumn) {
  // Empty, a word, negative, zero, absurd: those columns keep their width;
  // the good ones apply, and a thirteenth width is nobody's.
  Put("lvClips\\Columns", "Sizes", "150, 70,,abc,-5,0,20,99999,30,1x,40,50,60");
  Put("lvClips\\Sort", "SortCol", "12");
  Start();
  std::vector<int> widths;
  for (int column = 0; column < listcolumn::kCount; ++column) widths.push_back(widgets_.clips.ColumnWidth(column));
  EXPECT_EQ(widths, (std::vector<int>{150, 70, 100, 100, 100, 100, 20, 100, 30, 100, 40, 50}));
  EXPECT_EQ(widgets_.clips.ShownSortArrow(), std::nullopt) << "no column 12";

  // An order counts only when it names every column once.
  const std::vector<int> unchanged = widgets_.clips.ColumnOrder();
  for (const char* stored : {"1,0,2,3,4,5,6,7,8,9,10", "1,0,2,3,4,5,6,7,8,9,10,11,12", "1,1,2,3,4,5,6,7,8,9,10,11",
                             "1,0,2,3,4,5,6,7,8,9,10,x", "1,0,2,3,4,5,6,7,8,9,10,-11", ""}) {
    form_.reset();
    Put("lvClips\\Columns", "Order", stored);
    Start();
    EXPECT_EQ(widgets_.clips.ColumnOrder(), unchanged) << stored;
  }
}

TEST_F(ClipListTest, ResetSizePositionIsNotUndoneByTheShutdown) {
  Put("lvClips\\Columns", "Sizes", "150");
  Loaded();
  Settings().ResetSizePosition();
  ASSERT_TRUE(Form().FormCloseQuery());
  EXPECT_FALSE(desktop_.Store().KeyExists(std::string(kRegistryKey) + "\\lvClips"));
}

TEST_F(ClipListTest, SelectingOneRowCopiesSeveralRowsCountNoRowReportsLater) {
  Loaded();
  ForeignApp& app = Foreign();
  for (const char* text : {"x", "y", "z"}) CopyText(app, text);
  const std::string on_clipboard = ClipboardText();

  // Several rows: the count, nothing copied.
  widgets_.clips.SetSelected(0, true);
  widgets_.clips.SetSelected(1, true);
  Form().ClipList().lvClipsChange(1, ListChange::kState);
  EXPECT_EQ(widgets_.status.panels[0], "2 Items Selected.");
  EXPECT_EQ(Form().ClipboardClip(), nullptr);
  EXPECT_EQ(Settings().CopiedBack, 0);
  EXPECT_EQ(ClipboardText(), on_clipboard);

  // None: "No Items Selected." a quarter of a second later.
  widgets_.clips.ClearSelection();
  Form().ClipList().lvClipsChange(1, ListChange::kState);
  Advance(TfrmQL::kNoSelectionMs - 1);
  EXPECT_NE(widgets_.status.panels[0], "No Items Selected.");
  Advance(2);
  EXPECT_EQ(widgets_.status.panels[0], "No Items Selected.");
  EXPECT_EQ(widgets_.shell.header, "No Items Selected.");

  // One row again before the quarter second is over: no message.
  widgets_.status.history.clear();
  widgets_.clips.ClearSelection();
  Form().ClipList().lvClipsChange(0, ListChange::kState);
  ClickRow(2);
  Advance(1000);
  EXPECT_FALSE(widgets_.status.Showed("No Items Selected."));
  EXPECT_EQ(ClipboardText(), "x");
  EXPECT_EQ(Settings().CopiedBack, 1);
}

TEST_F(ClipListTest, ArrowKeysCopyOnlyTheRowReachedWhenReleased) {
  Loaded();
  ForeignApp& app = Foreign();
  for (const char* text : {"1st", "2nd", "3rd"}) CopyText(app, text);
  widgets_.clips.arrow_key_held = true;
  ClickRow(1);
  ClickRow(2);
  EXPECT_EQ(Settings().CopiedBack, 0);
  widgets_.clips.arrow_key_held = false;
  Form().ClipList().lvClipsKeyUp('A');
  EXPECT_EQ(Settings().CopiedBack, 0);
  Form().ClipList().lvClipsKeyUp(0x28);  // Down
  EXPECT_EQ(Settings().CopiedBack, 1);
  EXPECT_EQ(ClipboardText(), "1st");
  EXPECT_EQ(Form().ClipboardClip(), Form().ClipList().ClipAt(2));
}

TEST_F(ClipListTest, ClipCommandsAreEnabledForTheSelection) {
  Loaded();
  ForeignApp& app = Foreign();
  for (const char* text : {"x", "y", "z"}) CopyText(app, text);
  struct Case {
    std::vector<int> rows;
    bool one, some;
  };
  const Case cases[] = {{{}, false, false}, {{1}, true, true}, {{0, 2}, false, true}};
  for (const Case& c : cases) {
    widgets_.clips.ClearSelection();
    for (int row : c.rows) widgets_.clips.SetSelected(row, true);
    Form().ClipList().UpdateMenusForSelection();
    const auto enabled = [&](MenuItem item) { return widgets_.menus.items[item].enabled; };
    EXPECT_EQ(enabled(MenuItem::kRenameTitle), c.one) << c.rows.size();
    EXPECT_EQ(enabled(MenuItem::kShiftRight), c.one) << c.rows.size();
    EXPECT_EQ(enabled(MenuItem::kSentenceCase), c.some) << c.rows.size();
    EXPECT_EQ(enabled(MenuItem::kDeleteSelected), c.some) << c.rows.size();
    // The tray's items follow while the tray is in use.
    ASSERT_TRUE(Settings().UseSysTray);
    EXPECT_EQ(enabled(MenuItem::kTrayRenameTitle), c.one) << c.rows.size();
    EXPECT_EQ(enabled(MenuItem::kTrayMixedCase), c.some) << c.rows.size();
  }
}

TEST_F(ClipListTest, TheContextMenuOffersWhatTheSelectionAllows) {
  Loaded();
  ForeignApp& app = Foreign();
  CopyText(app, "one");
  CopyText(app, "two");
  TClipList& list = Form().ClipList();
  list.ClipAt(0)->SourceURL = "http://example.com/two";

  widgets_.clips.Click(0);
  list.PopupMenuClipsPopup(/*from_keyboard=*/false);
  EXPECT_TRUE(widgets_.clips.MenuEnabled(ClipMenuCommand::kNewClip));
  EXPECT_TRUE(widgets_.clips.MenuEnabled(ClipMenuCommand::kRename));
  EXPECT_TRUE(widgets_.clips.MenuEnabled(ClipMenuCommand::kDeleteClips));
  EXPECT_TRUE(widgets_.clips.MenuEnabled(ClipMenuCommand::kExportClips));
  EXPECT_TRUE(widgets_.clips.MenuEnabled(ClipMenuCommand::kOpenSourceUrl));
  EXPECT_FALSE(widgets_.clips.MenuEnabled(ClipMenuCommand::kThumbnailSettings));
  EXPECT_TRUE(widgets_.clips.MenuEnabled(ClipMenuCommand::kCancel));
  EXPECT_FALSE(widgets_.clips.menu_at_centre);

  // Two rows: no rename, no URL; Shift+F10 opens it at the list's centre.
  widgets_.clips.SetSelected(1, true);
  EXPECT_TRUE(list.lvClipsKeyDown(0x79, KeyModifiers{.shift = true}));
  EXPECT_TRUE(widgets_.clips.menu_at_centre);
  EXPECT_FALSE(widgets_.clips.MenuEnabled(ClipMenuCommand::kRename));
  EXPECT_FALSE(widgets_.clips.MenuEnabled(ClipMenuCommand::kOpenSourceUrl));
  EXPECT_TRUE(widgets_.clips.MenuEnabled(ClipMenuCommand::kDeleteClips));

  // The row without a URL has none to open.
  widgets_.clips.Click(1);
  list.PopupMenuClipsPopup(false);
  EXPECT_FALSE(widgets_.clips.MenuEnabled(ClipMenuCommand::kOpenSourceUrl));
  // Choosing "Open Source URL" on the first row opens it.
  widgets_.clips.Click(0);
  ClickRow(0);
  widgets_.clips.menu_choice = ClipMenuCommand::kOpenSourceUrl;
  list.PopupMenuClipsPopup(false);
  EXPECT_EQ(shell_.opened, std::vector<std::string>{"http://example.com/two"});
}

TEST_F(ClipListTest, RenameAsksForTheTitleAndRefusesAReadOnlyCollection) {
  Loaded();
  CopyText(Foreign(), "old title");
  TClipList& list = Form().ClipList();
  ClickRow(0);
  TClipObj* clip = list.ClipAt(0);
  TClipColl* coll = Coll("Short-Term");
  coll->SetModified(false);

  // Cancel changes nothing.
  list.mnuTitleClick();
  ASSERT_EQ(desktop_.Prompts().ShownInputs().size(), 1u);
  const fake::ShownInputBox& box = desktop_.Prompts().ShownInputs().back();
  EXPECT_EQ(box.caption, "Rename Clip Item");
  EXPECT_EQ(box.prompt, "Enter The New Name For The Item:");
  EXPECT_EQ(box.text, "old title");
  EXPECT_EQ(clip->Title, "old title");
  EXPECT_FALSE(coll->Modified);

  // Ctrl+T with a new title: the clip, its collection, the row and the
  // header have it.
  desktop_.Prompts().QueueInput("new title");
  const int left = widgets_.shell.left_topmost, restored = widgets_.shell.restored_visibility;
  EXPECT_TRUE(list.lvClipsKeyDown('T', KeyModifiers{.ctrl = true}));
  EXPECT_EQ(clip->Title, "new title");
  EXPECT_TRUE(coll->Modified);
  EXPECT_EQ(widgets_.clips.Text(0, listcolumn::kTitle), "new title");
  EXPECT_EQ(widgets_.shell.header, "new title");
  // Asked with the window out of the always-on-top position.
  EXPECT_EQ(widgets_.shell.left_topmost, left + 1);
  EXPECT_EQ(widgets_.shell.restored_visibility, restored + 1);

  // A read-only collection refuses.
  coll->ReadOnly = true;
  Form().MenuClick(MenuCommand::kRenameTitle);
  ASSERT_FALSE(desktop_.Prompts().Shown().empty());
  EXPECT_EQ(desktop_.Prompts().Shown().back().text, "Sorry, The current collection is Read Only.");
  EXPECT_EQ(desktop_.Prompts().Shown().back().caption, "Program Error");
  EXPECT_EQ(desktop_.Prompts().ShownInputs().size(), 2u);
  coll->ReadOnly = false;
}

TEST_F(ClipListTest, PreviousAndNextStepOneRowClampedAndCopyIt) {
  Loaded();
  ForeignApp& app = Foreign();
  for (const char* text : {"c", "b", "a"}) CopyText(app, text);  // rows: a, b, c
  ClickRow(0);
  Form().MenuClick(MenuCommand::kSelectNext);
  EXPECT_EQ(ClipboardText(), "b");
  Form().MenuClick(MenuCommand::kSelectNext);
  Form().MenuClick(MenuCommand::kSelectNext);  // no wrap past the last row
  EXPECT_EQ(widgets_.clips.Focused(), 2);
  EXPECT_EQ(widgets_.clips.SelectedRows(), std::vector<int>{2});
  EXPECT_EQ(ClipboardText(), "c");
  Form().MenuClick(MenuCommand::kSelectPrevious);
  EXPECT_EQ(ClipboardText(), "b");
  EXPECT_EQ(widgets_.clips.made_visible.back(), 1);
}

TEST_F(ClipListTest, SelectAllReportsTheCountAndCopiesNothing) {
  Loaded();
  ForeignApp& app = Foreign();
  for (const char* text : {"1", "2", "3", "4"}) CopyText(app, text);
  const int copied = Settings().CopiedBack;
  Form().MenuClick(MenuCommand::kSelectAll);
  EXPECT_EQ(widgets_.clips.SelectedCount(), 4);
  EXPECT_EQ(widgets_.status.panels[0], "4 Items Selected.");
  EXPECT_EQ(Form().ClipboardClip(), nullptr);
  EXPECT_EQ(Settings().CopiedBack, copied);
}

TEST_F(ClipListTest, TheSourceUrlCellIsALink) {
  Loaded();
  ForeignApp& app = Foreign();
  CopyText(app, "no url");
  CopyText(app, "with url");
  TClipList& list = Form().ClipList();
  list.ClipAt(0)->SourceURL = "http://example.com/";
  list.lvClipsMouseMove(0, listcolumn::kSourceUrl);
  EXPECT_TRUE(widgets_.clips.hand_cursor);
  list.lvClipsMouseMove(0, listcolumn::kTitle);
  EXPECT_FALSE(widgets_.clips.hand_cursor);
  list.lvClipsMouseMove(1, listcolumn::kSourceUrl);
  EXPECT_FALSE(widgets_.clips.hand_cursor);

  list.lvClipsMouseDown(MouseButton::kLeft, {}, 1, listcolumn::kSourceUrl);
  EXPECT_TRUE(shell_.opened.empty());
  list.lvClipsMouseDown(MouseButton::kLeft, {}, 0, listcolumn::kSourceUrl);
  EXPECT_EQ(shell_.opened, std::vector<std::string>{"http://example.com/"});

  // The View menu's command opens the clipboard clip's URL, or says why not.
  ClickRow(1);
  Form().MenuClick(MenuCommand::kOpenSourceUrl);
  EXPECT_EQ(shell_.opened.size(), 1u);
  EXPECT_EQ(desktop_.Prompts().Shown().back().text, "Please pick ONE clip, with a valid Source URL.");
  EXPECT_EQ(desktop_.Prompts().Shown().back().caption, "Error");
  ClickRow(0);
  Form().MenuClick(MenuCommand::kOpenSourceUrl);
  EXPECT_EQ(shell_.opened.size(), 2u);
}

TEST_F(ClipListTest, AltAndTheLeftButtonDragTheRowsTextOutAndSayHowTheDragEnded) {
  Loaded();
  ForeignApp& app = Foreign();
  Copy(app, {{"2", SmallDib()}});
  CopyText(app, "dragged text");
  TClipList& list = Form().ClipList();
  ASSERT_EQ(list.ClipAt(0)->Title, "dragged text");
  const std::string title = list.ClipAt(0)->Title;

  struct Case {
    DragEnd end;
    const char* status;
  };
  const Case cases[] = {
      {{DragOutcome::kDropped, 0x00040100}, "Drop OK"},
      {{DragOutcome::kCancelled, 0x00040101}, "Drop cancel"},
      {{DragOutcome::kOutOfMemory, 0x8007000E}, "Drop out of memory"},
      {{DragOutcome::kNoAccess, 0x800703E6}, "Drop unexpected"},
      {{DragOutcome::kOther, 0x80004005}, "Drop unknown:80004005"},
      {{DragOutcome::kOther, 0x1A}, "Drop unknown:0000001A"},
  };
  for (const Case& c : cases) {
    widgets_.clips.dragged_texts.clear();
    widgets_.status.history.clear();
    widgets_.clips.drag_end = c.end;
    list.lvClipsMouseDown(MouseButton::kLeft, {.alt = true}, 0, listcolumn::kTitle);
    EXPECT_EQ(widgets_.clips.dragged_texts, std::vector<std::string>{"dragged text"}) << c.status;
    EXPECT_TRUE(widgets_.status.Showed("Drag n Drop Into Rich Text Container in ANY Application")) << c.status;
    EXPECT_EQ(widgets_.status.panels[0], c.status);
  }
  // A drop that moved the text leaves the clip as it was.
  EXPECT_EQ(list.ClipAt(0)->Title, title);
  EXPECT_EQ(list.Count(), 2);

  // Only text can be dragged out; the right button and no row drag nothing.
  widgets_.clips.dragged_texts.clear();
  list.lvClipsMouseDown(MouseButton::kLeft, {.alt = true}, 1, listcolumn::kTitle);
  EXPECT_EQ(widgets_.status.panels[0], "Only TEXT items can be dragged out.");
  list.lvClipsMouseDown(MouseButton::kRight, {.alt = true}, 0, listcolumn::kTitle);
  list.lvClipsMouseDown(MouseButton::kLeft, {.alt = true}, -1, -1);
  list.lvClipsMouseDown(MouseButton::kLeft, {}, 0, listcolumn::kTitle);
  EXPECT_TRUE(widgets_.clips.dragged_texts.empty());
}

}  // namespace
}  // namespace om::testing
