// The icon view's thumbnail cache: which clip each entry shows, how the
// cache grows, and what a clip's thumbnail is made of.
#include "ui/main/thumbnails.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "clipboard/graphics.h"
#include "store/clip_coll.h"
#include "store/clip_data.h"
#include "store/clip_obj.h"
#include "store/store_services.h"
#include "platform/fake/fake_desktop.h"
#include "platform/fake/fake_locale.h"
#include "ui/main/main_form_fixture.h"

namespace om::testing {
namespace {

// A packed bottom-up 24-bit DIB of the given size, all black.
Bytes Dib(int width, int height) {
  const int stride = (width * 3 + 3) / 4 * 4;
  Bytes dib(40 + static_cast<std::size_t>(stride) * static_cast<std::size_t>(height), 0);
  const std::int32_t header[] = {40, width, height};
  std::memcpy(dib.data(), header, sizeof header);
  const std::uint16_t planes_bits[] = {1, 24};
  std::memcpy(dib.data() + 12, planes_bits, sizeof planes_bits);
  return dib;
}

void AddBitmap(TClipObj& clip, int width, int height) {
  auto entry = std::make_unique<TClipData>(formattype::kBitmap);
  entry->FormatNum = static_cast<std::uint16_t>(cf::kBitmap);
  entry->Bitmap = std::make_unique<TBitmap>(Dib(width, height));
  if (!clip.DataList) clip.DataList.emplace();
  clip.DataList->push_back(std::move(entry));
  clip.Online = true;
  clip.SetIcon(cf::kBitmap);
}

std::unique_ptr<TClipObj> TextClip(const std::string& text) {
  auto clip = std::make_unique<TClipObj>(1, "NOTEPAD");
  clip->PutText(text, 0);
  clip->SetIcon(cf::kText);
  return clip;
}

TEST(ThumbnailFitTest, PicturesFitInsideTheBorder) {
  struct Case {
    int width, height, size;
    ThumbBox box;
  };
  const Case cases[] = {
      // Wider than high: the inner width, the height in proportion, rounded
      // down, centred vertically.
      {500, 100, 66, {1, 27, 64, 12}},
      // Higher than wide: the inner height.
      {100, 500, 66, {27, 1, 12, 64}},
      // Square and too large: both edges inner.
      {200, 200, 66, {1, 1, 64, 64}},
      // Fits: unscaled, offset half the spare space + 1, rounded down.
      {10, 20, 66, {28, 23, 10, 20}},
      {63, 63, 66, {1, 1, 63, 63}},
      {64, 64, 66, {1, 1, 64, 64}},
      // One edge one pixel too long: scaled by that edge.
      {65, 10, 66, {1, 28, 64, 9}},
      // A top-down bitmap's negative height counts by its size.
      {500, -100, 66, {1, 27, 64, 12}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FitPicture(c.width, c.height, c.size), c.box) << c.width << "x" << c.height << " in " << c.size;
  }
}

TEST(ThumbnailFitTest, CacheGrowsByHalfRoundedHalfToEven) {
  const std::pair<int, int> cases[] = {{32, 48}, {48, 72}, {72, 108}, {5, 8}, {3, 4}, {1, 2}, {7, 10}, {9, 14}};
  for (const auto& [from, to] : cases) EXPECT_EQ(GrownCacheSize(from), to) << from;
}

TEST(ThumbnailTextTest, LinesEndAtCrLfAreCutAt79AndStopWhenTheSquareIsFull) {
  const std::string long_line(100, 'x');
  // 66 pixels, 13 per line from 1 inside the border: lines at 1, 14, 27,
  // 40 and 53, the sixth would start on the border.
  const auto lines = ThumbnailTextLines("one\r\n" + long_line + "\r\n\r\nfour\nfive\r\nsix\r\nseven", 66, 13);
  EXPECT_EQ(lines, (std::vector<std::string>{"one", std::string(79, 'x'), "", "four", "five"}));
  // Up to the first zero byte (the text block's end).
  EXPECT_EQ(ThumbnailTextLines(std::string("a\r\nb\0c\r\nd", 9), 66, 13), (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(ThumbnailTextLines("", 66, 13).empty());
  EXPECT_EQ(ThumbnailTextLines("a\r\nb\r\nc", 20, 13), (std::vector<std::string>{"a", "b"}));
}

// Clips are made with the store's clock and locale.
class ClipsTest : public ::testing::Test {
 protected:
  fake::FakeDesktop desktop_;
  fake::FakeLocale locale_;
  ScopedStoreServices services_{TStoreServices{&desktop_.Clock(), &locale_, nullptr, true, false}};
};

using ThumbnailPictureTest = ClipsTest;

TEST_F(ThumbnailPictureTest, BitmapBeforeMetafileBeforeText) {
  TFontDesc font{"MS Sans Serif", 8, 1};
  auto clip = TextClip("hello\r\nworld");
  ThumbnailPicture text = MakeThumbnailPicture(*clip, 66, font);
  EXPECT_EQ(text.kind, ThumbnailPicture::Kind::kText);
  EXPECT_EQ(text.lines, (std::vector<std::string>{"hello", "world"}));
  EXPECT_EQ(text.line_height, 13);
  EXPECT_EQ(text.font, font);

  AddBitmap(*clip, 500, 100);
  ThumbnailPicture bitmap = MakeThumbnailPicture(*clip, 66, font);
  EXPECT_EQ(bitmap.kind, ThumbnailPicture::Kind::kBitmap);
  EXPECT_EQ(bitmap.target, (ThumbBox{1, 27, 64, 12}));
  EXPECT_EQ(bitmap.dib, Dib(500, 100));

  TClipObj empty(2, "X");
  empty.DataList.emplace();
  empty.Online = true;
  EXPECT_EQ(MakeThumbnailPicture(empty, 66, font).kind, ThumbnailPicture::Kind::kBlank);
}

// The registry alone, over clips shown in rows 0 .. n-1.
class ThumbnailCacheTest : public ClipsTest {
 protected:
  void MakeClips(int count) {
    for (int i = 0; i < count; ++i) clips_.push_back(std::make_unique<TClipObj>(i, "X"));
  }
  TClipObj* ClipAt(int row) {
    return row >= 0 && row < static_cast<int>(clips_.size()) ? clips_[static_cast<std::size_t>(row)].get() : nullptr;
  }
  static std::vector<int> Rows(int first, int last) {
    std::vector<int> rows;
    for (int row = first; row <= last; ++row) rows.push_back(row);
    return rows;
  }
  bool Paint(const std::vector<int>& rows, double now) {
    rendered_.clear();
    return cache_.Paint(
        rows, [this](int row) { return ClipAt(row); }, now,
        [this](int row, TClipObj&, int image) { rendered_.emplace_back(row, image); });
  }
  int ImageOfRow(int row) { return cache_.ImageOf(*ClipAt(row)); }

  TThumbnailCache cache_;
  std::vector<std::unique_ptr<TClipObj>> clips_;
  std::vector<std::pair<int, int>> rendered_;
};

TEST_F(ThumbnailCacheTest, VacantEntriesFirstThenTheLeastRecentlyShownNotInUse) {
  MakeClips(10);
  cache_.Initialize(4);
  EXPECT_TRUE(cache_.Ready());
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(cache_.Entry(i).Vacant);

  ASSERT_TRUE(Paint(Rows(0, 2), 100));
  EXPECT_EQ(rendered_, (std::vector<std::pair<int, int>>{{0, 0}, {1, 1}, {2, 2}}));
  EXPECT_TRUE(cache_.Entry(3).Vacant);
  EXPECT_EQ(cache_.Entry(1).Item, ClipAt(1));
  EXPECT_DOUBLE_EQ(cache_.Entry(1).LastUsed, 100);

  // Shown again: nothing drawn, the entries kept and touched.
  ASSERT_TRUE(Paint(Rows(1, 2), 200));
  EXPECT_TRUE(rendered_.empty());
  EXPECT_DOUBLE_EQ(cache_.Entry(1).LastUsed, 200);
  EXPECT_DOUBLE_EQ(cache_.Entry(0).LastUsed, 100);
  EXPECT_FALSE(cache_.Entry(0).InUse);

  // Rows 3 and 4 appear: the vacant entry 3 first, then the oldest (row 0's
  // entry 0), not those in use now.
  ASSERT_TRUE(Paint(Rows(1, 4), 300));
  EXPECT_EQ(rendered_, (std::vector<std::pair<int, int>>{{3, 3}, {4, 0}}));
  EXPECT_EQ(ImageOfRow(0), -1);  // its entry shows row 4's clip now
  EXPECT_EQ(ImageOfRow(4), 0);

  // Row 4 alone is shown later; then row 0 comes back and takes the least
  // recently shown entry, 1 (rows 1 to 3 at 300, the first of equals),
  // not the lowest, 0 (row 4 at 350).
  ASSERT_TRUE(Paint(Rows(4, 4), 350));
  ASSERT_TRUE(Paint(Rows(0, 0), 400));
  EXPECT_EQ(rendered_, (std::vector<std::pair<int, int>>{{0, 1}}));
}

TEST_F(ThumbnailCacheTest, TooSmallWhenEveryEntryIsInUseAndClearForgetsEverything) {
  MakeClips(6);
  cache_.Initialize(3);
  EXPECT_FALSE(Paint(Rows(0, 5), 10));
  EXPECT_EQ(rendered_.size(), 3u);
  for (int row = 3; row < 6; ++row) {
    EXPECT_EQ(ImageOfRow(row), -1);
    EXPECT_EQ(ClipAt(row)->Thumbnail, nullptr);
  }
  // The pass stops at the first row without a clip.
  EXPECT_TRUE(Paint({0, 1, 99, 3, 4}, 20));
  EXPECT_TRUE(rendered_.empty());

  cache_.Clear();
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(cache_.Entry(i).Vacant);
    EXPECT_FALSE(cache_.Entry(i).InUse);
    EXPECT_EQ(cache_.Entry(i).Item, nullptr);
    EXPECT_DOUBLE_EQ(cache_.Entry(i).LastUsed, 0);
  }
  // A clip still pointing at its old entry gets drawn again.
  EXPECT_EQ(ImageOfRow(0), -1);
  EXPECT_TRUE(Paint(Rows(0, 0), 30));
  EXPECT_EQ(rendered_.size(), 1u);
}

TEST_F(ThumbnailCacheTest, RebuiltSmallerTheOldEntriesStayValidButTakeNoPart) {
  MakeClips(8);
  cache_.Initialize(8);
  ASSERT_TRUE(Paint(Rows(0, 7), 10));
  TThumbNailEntry* const old = ClipAt(7)->Thumbnail;
  cache_.Initialize(2);
  EXPECT_EQ(cache_.Size(), 2);
  // Row 7's clip still points at entry 7, which is no longer part of it.
  EXPECT_EQ(ClipAt(7)->Thumbnail, old);
  EXPECT_EQ(ImageOfRow(7), -1);
  EXPECT_TRUE(Paint(Rows(6, 7), 20));
  EXPECT_EQ(rendered_, (std::vector<std::pair<int, int>>{{6, 0}, {7, 1}}));
}

// The clip list in its icon view, on the whole form, showing a collection
// of text clips.
class ClipListIconViewTest : public MainFormTest {
 protected:
  void ShowClips(int count) {
    TClipColl* const coll = Coll("Short-Term");
    ASSERT_NE(coll, nullptr);
    for (int i = 0; i < count; ++i) {
      auto clip = TextClip("clip " + std::to_string(i) + "\r\nsecond line");
      clip->SortKey = coll->GetNextClipSortKey();
      clip->Title = "clip " + std::to_string(i);
      ASSERT_TRUE(coll->MyAddObject(clip->Title, clip.get()));
      clip.release();  // the collection's now
    }
    ShowColl("Short-Term");
    ASSERT_EQ(widgets_.clips.Count(), count);
  }
  // The row showing the clip titled `title`.
  int RowTitled(const std::string& title) {
    for (int row = 0; row < widgets_.clips.Count(); ++row) {
      if (widgets_.clips.Text(row, 0) == title) return row;
    }
    return -1;
  }
};

TEST_F(ClipListIconViewTest, TheMenuSwitchesViewsAndOnlyTheIconViewHasThumbnails) {
  Loaded();
  EXPECT_EQ(widgets_.clips.thumbnail_size, 66);
  EXPECT_EQ(widgets_.clips.thumbnails.size(), 32u);
  ShowClips(3);
  TClipList& list = Form().ClipList();
  // The details view: type icons, and painting draws no thumbnails.
  list.lvClipsPaint();
  EXPECT_EQ(widgets_.clips.thumbnails_drawn, 0);
  EXPECT_EQ(widgets_.clips.Image(0), clipimage::kText);

  Form().MenuClick(MenuCommand::kLargeIcons);
  EXPECT_EQ(widgets_.clips.view_style, ListViewStyle::kIcons);
  // Before the first paint no row has one.
  EXPECT_EQ(widgets_.clips.Image(0), -1);
  list.lvClipsPaint();
  EXPECT_EQ(widgets_.clips.thumbnails_drawn, 3);
  std::vector<int> images;
  for (int row = 0; row < 3; ++row) images.push_back(widgets_.clips.Image(row));
  EXPECT_EQ(images, (std::vector<int>{0, 1, 2}));
  const int row = RowTitled("clip 1");
  ASSERT_GE(row, 0);
  const ThumbnailPicture& picture = widgets_.clips.thumbnails[static_cast<std::size_t>(widgets_.clips.Image(row))];
  EXPECT_EQ(picture.kind, ThumbnailPicture::Kind::kText);
  EXPECT_EQ(picture.size, 66);
  EXPECT_EQ(picture.lines, (std::vector<std::string>{"clip 1", "second line"}));
  // Painting again draws nothing new.
  list.lvClipsPaint();
  EXPECT_EQ(widgets_.clips.thumbnails_drawn, 3);

  Form().MenuClick(MenuCommand::kViewDetails);
  EXPECT_EQ(widgets_.clips.view_style, ListViewStyle::kDetails);
  EXPECT_EQ(widgets_.clips.Image(0), clipimage::kText);
}

TEST_F(ClipListIconViewTest, MoreVisibleRowsThanEntriesGrowTheCacheUntilAllHaveThumbnails) {
  Loaded();
  ShowClips(100);
  widgets_.clips.visible_count = 70;
  Form().MenuClick(MenuCommand::kLargeIcons);
  widgets_.status.history.clear();
  Form().ClipList().lvClipsPaint();
  EXPECT_EQ(Settings().ThumbNailCacheSize, 72);
  EXPECT_EQ(widgets_.clips.thumbnails.size(), 72u);
  for (int row = 0; row < 70; ++row) EXPECT_GE(widgets_.clips.Image(row), 0) << row;
  EXPECT_EQ(widgets_.clips.Image(70), -1);
  std::vector<std::string> growth;
  for (const std::string& text : widgets_.status.history) {
    if (text.find("ThumbNail") != std::string::npos) growth.push_back(text);
  }
  EXPECT_EQ(growth, (std::vector<std::string>{"Increasing ThumbNail Cache Size", "ThumbNail Cache Size Increased To: 48",
                                              "Increasing ThumbNail Cache Size",
                                              "ThumbNail Cache Size Increased To: 72"}));
  // Scrolling on: the rows no longer shown give up their entries to the
  // new ones, and the cache stays as it is.
  widgets_.clips.first_visible = 30;
  Form().ClipList().lvClipsPaint();
  EXPECT_EQ(Settings().ThumbNailCacheSize, 72);
  for (int row = 30; row < 100; ++row) EXPECT_GE(widgets_.clips.Image(row), 0) << row;
}

}  // namespace
}  // namespace om::testing
