// Moving clips within their collection: the sort keys they get, dragging
// rows in front of another row, and "Move To Top / Bottom Of Sort Order".
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <limits>

#include "store/clip_lock.h"
#include "ui/main/list_reorder.h"
#include "ui/main/main_form_fixture.h"

namespace om::testing {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

TEST(SortKeyTest, MovedClipsGetEvenlySpacedKeysBetweenTheirBounds) {
  struct Case {
    const char* name;
    SortKeyBounds bounds;
    int count;
    bool ascending;
    std::vector<std::int32_t> keys;
  };
  const std::int32_t k500 = 500;
  const Case cases[] = {
      {"three between 100 and 200", {100, 200}, 3, true, {125, 150, 175}},
      {"descending: from the top down", {200, 100}, 3, false, {175, 150, 125}},
      {"adjacent keys: all equal", {100, 101}, 2, true, {100, 100}},
      {"a difference of n: still equal", {100, 102}, 2, true, {100, 100}},
      {"a difference of n + 1: one apart", {100, 103}, 2, true, {101, 102}},
      {"adjacent, descending", {101, 100}, 2, false, {101, 101}},
      {"first row, ascending: from 0", DropBounds(nullptr, 100, 3, true, 999), 3, true, {25, 50, 75}},
      {"first row, descending: up to the next key", DropBounds(nullptr, 500, 1, false, 600), 1, false, {550}},
      {"first row, descending, next key below: 10 above", DropBounds(nullptr, 500, 1, false, 100), 1, false, {505}},
      {"row above given", DropBounds(&k500, 300, 1, false, 0), 1, false, {400}},
      {"first row with key 0: room is made below it", DropBounds(nullptr, 0, 2, true, 0), 2, true, {-2, -1}},
      {"the whole 32-bit range", {kMax, kMin}, 1, true, {-1}},
      {"near the largest key", {kMax - 3, kMax}, 2, true, {kMax - 2, kMax - 1}},
      {"top, ascending", MoveToEndBounds(true, true, 100, 500, 2, 600), 2, true, {33, 66}},
      {"bottom, ascending", MoveToEndBounds(false, true, 100, 500, 2, 600), 2, true, {533, 566}},
      {"top, descending", MoveToEndBounds(true, false, 500, 100, 2, 600), 2, false, {567, 534}},
      {"bottom, descending", MoveToEndBounds(false, false, 500, 100, 2, 600), 2, false, {67, 34}},
      {"bottom, the next key wrapped round: 10 above the last", MoveToEndBounds(false, true, 100, 500, 1, 100), 1, true,
       {505}},
      {"bottom at the largest key: equal keys, never wrapped", MoveToEndBounds(false, true, 100, kMax, 2, 100), 2,
       true, {kMax, kMax}},
      {"top below the smallest key: equal keys", MoveToEndBounds(true, true, kMin, 0, 2, 100), 2, true, {kMin, kMin}},
      {"nothing to move", {100, 200}, 0, true, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SpacedSortKeys(c.bounds, c.count, c.ascending), c.keys) << c.name;
  }
  EXPECT_EQ(HighEndAbove(100, kMax - 5), kMax);
  EXPECT_EQ(LowEndBelow(kMin, 3), kMin);
  EXPECT_EQ(LowEndBelow(1, 3), 0);
}

class ClipReorderTest : public MainFormTest {
 protected:
  // "a" to "e", captured in that order (keys 100 to 500) into Short-Term,
  // shown sorted on "MySort" as `ascending` says; nothing modified yet.
  TClipColl& FiveClips(bool ascending) {
    Loaded();
    ForeignApp& app = Foreign();
    for (const char* text : {"a", "b", "c", "d", "e"}) CopyText(app, text);
    EXPECT_EQ(Coll("Short-Term")->LastClipSortKey, 500);
    return Arrange(ascending);
  }
  // The five clips back at their keys 100 to 500 (by serial number),
  // shown again.
  TClipColl& Arrange(bool ascending) {
    TClipColl& coll = *Coll("Short-Term");
    for (const TCollEntry& entry : coll.Items()) entry.Clip->SortKey = entry.Clip->SerialNbr * 100;
    coll.LastClipSortKey = 500;
    coll.ListSortColumn = listcolumn::kMySort;
    coll.ListSortAscending = ascending;
    ShowColl("Short-Term");
    coll.SetModified(false);
    const Strings up{"a", "b", "c", "d", "e"};
    EXPECT_EQ(Titles(), ascending ? up : Strings(up.rbegin(), up.rend()));
    return coll;
  }
  using Strings = std::vector<std::string>;
  Strings Titles() const { return widgets_.clips.Column(listcolumn::kTitle); }
  Strings Keys() const { return widgets_.clips.Column(listcolumn::kMySort); }
  void Select(std::initializer_list<int> rows) {
    widgets_.clips.ClearSelection();
    for (const int row : rows) widgets_.clips.SetSelected(row, true);
    widgets_.clips.SetFocused(*rows.begin());
  }
  // The user presses the left button on the first selected row, drags the
  // selection over the list and lets go over `target`.
  void DragOnto(int target) {
    TClipList& list = Form().ClipList();
    const int from = widgets_.clips.SelectedRows().front();
    list.lvClipsMouseDown(MouseButton::kLeft, {}, from, listcolumn::kTitle);
    ASSERT_TRUE(list.lvClipsStartDrag());
    ASSERT_TRUE(list.lvClipsDragOver(DragSource::kClipList));
    list.lvClipsDragDrop(target);
    list.lvClipsEndDrag();
  }
  std::string Status() { return widgets_.status.panels[0]; }
};

TEST_F(ClipReorderTest, DroppedRowsGoInFrontOfTheTargetAndKeepTheirPlaceAfterARestart) {
  TClipColl& coll = FiveClips(/*ascending=*/true);
  // "d" and "e" in front of "b": between the keys of "a" and "b".
  Select({3, 4});
  DragOnto(1);
  EXPECT_EQ(Titles(), (Strings{"a", "d", "e", "b", "c"}));
  EXPECT_EQ(Keys(), (Strings{"100", "133", "166", "200", "300"}));
  EXPECT_EQ(Status(), "2 Clips Moved Within Collection.");
  EXPECT_TRUE(coll.Modified);
  // The last one dropped is the selection, and went on the clipboard.
  EXPECT_EQ(widgets_.clips.SelectedRows(), std::vector<int>{2});
  EXPECT_EQ(widgets_.clips.Focused(), 2);
  EXPECT_EQ(ClipboardText(), "e");
  EXPECT_TRUE(widgets_.shell.preview_visible);

  ASSERT_TRUE(Form().FormCloseQuery());
  form_.reset();
  Loaded();
  ShowColl("Short-Term");
  EXPECT_EQ(Titles(), (Strings{"a", "d", "e", "b", "c"}));
}

TEST_F(ClipReorderTest, ADescendingListTakesTheDropFromTheTopDown) {
  TClipColl& coll = FiveClips(/*ascending=*/false);
  // Rows e d c b a: "a" onto "d" goes between "e" (500) and "d" (400).
  Select({4});
  DragOnto(1);
  EXPECT_EQ(Titles(), (Strings{"e", "a", "d", "c", "b"}));
  EXPECT_EQ(Keys(), (Strings{"500", "450", "400", "300", "200"}));
  EXPECT_EQ(Status(), "1 Clip Moved Within Collection.");
  // Onto the first row: between the next key (600, taken) and "e".
  Select({2, 3});
  DragOnto(0);
  EXPECT_EQ(Titles(), (Strings{"d", "c", "e", "a", "b"}));
  EXPECT_EQ(Keys(), (Strings{"567", "534", "500", "450", "200"}));
  EXPECT_EQ(coll.LastClipSortKey, 600);
}

TEST_F(ClipReorderTest, ADropOnNoRowOrOnASelectedRowChangesNothing) {
  TClipColl& coll = FiveClips(/*ascending=*/true);
  struct Case {
    const char* name;
    std::initializer_list<int> selected;
    int target;
  };
  const Case cases[] = {
      {"on a selected row", {1, 2}, 2},
      {"on no row", {1}, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Select(c.selected);
    widgets_.status.history.clear();
    DragOnto(c.target);
    EXPECT_EQ(widgets_.status.history, (Strings{"Dropped...", "Invalid Drop Target"}));
    EXPECT_FALSE(widgets_.shell.busy);
    EXPECT_EQ(Titles(), (Strings{"a", "b", "c", "d", "e"}));
    EXPECT_EQ(Keys(), (Strings{"100", "200", "300", "400", "500"}));
    EXPECT_FALSE(coll.Modified);
  }
}

TEST_F(ClipReorderTest, TheDragFlagIsTheListsOwnAndHoldsTheSelectionHandlerWhileItLasts) {
  FiveClips(/*ascending=*/true);
  TClipList& list = Form().ClipList();
  EXPECT_FALSE(list.lvClipsDragOver(DragSource::kClipList));
  ClickRow(0);
  list.lvClipsMouseDown(MouseButton::kRight, {}, 0, listcolumn::kTitle);
  ASSERT_TRUE(list.lvClipsStartDrag());
  EXPECT_TRUE(list.Reorder().Dragging());
  EXPECT_EQ(list.Reorder().DragButton(), MouseButton::kRight);
  EXPECT_EQ(list.Reorder().DraggedClip(), list.ClipAt(0));
  EXPECT_FALSE(list.lvClipsDragOver(DragSource::kTree));
  EXPECT_TRUE(list.lvClipsDragOver(DragSource::kClipList));
  // A row passed over while dragging does not go on the clipboard.
  widgets_.clips.Click(3);
  list.lvClipsChange(3, ListChange::kState);
  EXPECT_EQ(ClipboardText(), "a");
  // Several rows selected when the drag ends: the preview goes.
  widgets_.clips.SetSelected(4, true);
  list.lvClipsEndDrag();
  EXPECT_FALSE(list.Reorder().Dragging());
  EXPECT_FALSE(list.lvClipsDragOver(DragSource::kClipList));
  EXPECT_FALSE(widgets_.shell.preview_visible);
}

TEST_F(ClipReorderTest, TheDragBeginsWithThePreviewsEditsWrittenBack) {
  FiveClips(/*ascending=*/true);
  ClickRow(2);
  widgets_.preview.SetText("c, edited");
  widgets_.preview.SetModified(true);
  Select({2});
  DragOnto(0);
  EXPECT_EQ(Titles(), (Strings{"c", "a", "b", "d", "e"}));
  TClipLock lock(*Form().ClipList().ClipAt(0), cf::kText);
  ASSERT_TRUE(lock.Locked());
  EXPECT_EQ(lock.Text(), "c, edited");
}

TEST_F(ClipReorderTest, SortedOnAnotherColumnTheDroppedClipGoesInFrontOfTheTargetInMySortOrderToo) {
  Loaded();
  ForeignApp& app = Foreign();
  // Keys 100, 200, 300 for "b", "a", "c".
  for (const char* text : {"b", "a", "c"}) CopyText(app, text);
  TClipColl& coll = *Coll("Short-Term");
  coll.ListSortColumn = listcolumn::kTitle;
  coll.ListSortAscending = true;
  ShowColl("Short-Term");
  ASSERT_EQ(Titles(), (Strings{"a", "b", "c"}));
  // "c" onto "a": shown in front of it, and placed between "b" (100) and
  // "a" (200), which come before each other by their keys.
  Select({2});
  DragOnto(0);
  EXPECT_EQ(Titles(), (Strings{"c", "a", "b"}));
  EXPECT_EQ(Keys(), (Strings{"150", "200", "100"}));
  EXPECT_EQ(Status(), "1 Clip Moved Within Collection.");
  Form().ClipList().lvClipsColumnClick(listcolumn::kMySort);
  EXPECT_EQ(Titles(), (Strings{"b", "c", "a"}));
}

TEST_F(ClipReorderTest, MoveToTopOrBottomOfTheSortOrder) {
  struct Case {
    const char* name;
    bool ascending;
    bool top;
    std::initializer_list<int> selected;
    Strings titles;
    Strings keys;
  };
  const Case cases[] = {
      {"top, ascending", true, true, {3, 4}, {"d", "e", "a", "b", "c"}, {"33", "66", "100", "200", "300"}},
      {"bottom, ascending", true, false, {0, 1}, {"c", "d", "e", "a", "b"}, {"300", "400", "500", "533", "566"}},
      {"top, descending", false, true, {3, 4}, {"b", "a", "e", "d", "c"}, {"567", "534", "500", "400", "300"}},
      {"bottom, descending", false, false, {0, 1}, {"c", "b", "a", "e", "d"}, {"300", "200", "100", "67", "34"}},
  };
  FiveClips(true);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TClipColl& coll = Arrange(c.ascending);
    widgets_.status.history.clear();
    Select(c.selected);
    widgets_.clips.made_visible.clear();
    widgets_.clips.menu_choice = c.top ? ClipMenuCommand::kMoveToTop : ClipMenuCommand::kMoveToBottom;
    Form().ClipList().PopupMenuClipsPopup(false);
    EXPECT_EQ(Titles(), c.titles);
    EXPECT_EQ(Keys(), c.keys);
    EXPECT_TRUE(widgets_.status.Showed("Moving..."));
    EXPECT_EQ(Status(), "2 Clips Moved Within Collection.");
    EXPECT_FALSE(widgets_.shell.busy);
    EXPECT_TRUE(coll.Modified);
    // The moved rows stay selected; the first of them is scrolled to.
    const int first = c.top ? 0 : 3;
    EXPECT_EQ(widgets_.clips.SelectedRows(), (std::vector<int>{first, first + 1}));
    EXPECT_EQ(widgets_.clips.made_visible, std::vector<int>{first});
  }
}

TEST_F(ClipReorderTest, MoveToTopIsRefusedUnlessTheListIsSortedOnMySort) {
  TClipColl& coll = FiveClips(/*ascending=*/true);
  Form().ClipList().lvClipsColumnClick(listcolumn::kSerial);
  coll.SetModified(false);
  Select({4});
  Form().ClipList().Reorder().mnuPopupClips_MoveTo_X_Click(/*top=*/true);
  const auto& shown = desktop_.Prompts().Shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Sorry, It is only useful to do this when you have sorted on the MySort column.");
  EXPECT_EQ(shown[0].caption, "Invalid Operation");
  EXPECT_EQ(shown[0].icon, MsgIcon::kError);
  EXPECT_EQ(Keys(), (Strings{"100", "200", "300", "400", "500"}));
  EXPECT_FALSE(coll.Modified);
  EXPECT_FALSE(widgets_.status.Showed("Moving..."));
}

TEST_F(ClipReorderTest, AReadOnlyCollectionKeepsItsOrder) {
  TClipColl& coll = FiveClips(/*ascending=*/true);
  coll.ReadOnly = true;
  Select({4});
  DragOnto(0);
  EXPECT_EQ(Status(), "Invalid Drop Target");
  Form().ClipList().Reorder().mnuPopupClips_MoveTo_X_Click(/*top=*/true);
  ASSERT_EQ(Boxes(), Strings{"Sorry, The current collection is Read Only."});
  EXPECT_EQ(Titles(), (Strings{"a", "b", "c", "d", "e"}));
  EXPECT_EQ(Keys(), (Strings{"100", "200", "300", "400", "500"}));
  EXPECT_FALSE(coll.Modified);
}

}  // namespace
}  // namespace om::testing
