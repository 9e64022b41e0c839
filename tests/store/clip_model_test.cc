#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "store/clip_obj.h"
#include "store/store_errors.h"
#include "store/thumbnail_entry.h"
#include "store_fixture.h"

namespace om::testing {
namespace {

using ::testing::HasSubstr;

// An inline clip in memory with the given formats (memory blocks).
std::unique_ptr<TClipObj> ClipWith(std::initializer_list<std::pair<std::uint16_t, Bytes>> formats) {
  auto clip = std::make_unique<TClipObj>(7, "NOTEPAD");
  for (const auto& [number, bytes] : formats) {
    auto entry = std::make_unique<TClipData>(formattype::kHandle);
    entry->FormatNum = number;
    entry->FormatName = "F" + std::to_string(number);
    entry->Size = static_cast<std::uint32_t>(bytes.size());
    entry->Handle = bytes;
    clip->DataList->push_back(std::move(entry));
  }
  clip->Online = true;
  return clip;
}

class ClipModelTest : public StoreTest {};

TEST_F(ClipModelTest, NewClipAndTitles) {
  TClipObj clip(12, "WINWORD");
  EXPECT_EQ(clip.SerialNbr, 12);
  EXPECT_EQ(clip.Creator, "WINWORD");
  EXPECT_EQ(clip.Title, "X");
  EXPECT_DOUBLE_EQ(clip.TimeStamp, kNow);
  EXPECT_TRUE(clip.Changed);
  EXPECT_FALSE(clip.Online);
  EXPECT_FALSE(clip.StoredApart);
  ASSERT_TRUE(clip.DataList.has_value());
  EXPECT_EQ(clip.GetFormatCount(), 0);

  // Attaching during start-up's load marks nothing; afterwards it does.
  clip.Changed = false;
  StoreServices().LoadingCollections = true;
  clip.SetColl(&coll_);
  EXPECT_FALSE(clip.Changed);
  EXPECT_FALSE(coll_.Modified);
  StoreServices().LoadingCollections = false;
  clip.SetColl(&coll_);
  EXPECT_TRUE(clip.Changed);
  EXPECT_TRUE(coll_.Modified);

  // SetTitle keeps 60 characters and passes the change to the collection.
  coll_.Modified = false;
  clip.Changed = false;
  clip.SetTitle(std::string(40, 'a') + std::string(60, 'b'));
  EXPECT_EQ(clip.Title, std::string(40, 'a') + std::string(20, 'b'));
  EXPECT_TRUE(clip.Changed);
  EXPECT_TRUE(coll_.Modified);
  clip.SetChanged(false);
  EXPECT_FALSE(coll_.Modified);
}

TEST_F(ClipModelTest, IconFlagsAndTheOtherFormatMask) {
  TClipObj clip(1, "X");
  struct Case {
    std::uint32_t format;
    std::int32_t bit;
  };
  const Case cases[] = {{cf::kText, 1}, {cf::kBitmap, 2}, {cf::kMetafilePict, 4}, {RTFFormat, 8},
                        {cf::kHDrop, 64}, {HTMLFormat, 128}, {cf::kUnicodeText, 0}, {cf::kLocale, 0}};
  for (const Case& c : cases) {
    clip.IconFlags = 0x10000;  // a bit no format has
    EXPECT_EQ(clip.SetIcon(c.format), 0x10000 | c.bit) << c.format;
    EXPECT_EQ(clip.IconFlags, 0x10000 | c.bit);
    if (c.bit != 0) {
      EXPECT_TRUE(clip.HasIcon(c.format)) << c.format;
    }
  }

  // A format without a bit of its own is tested against 0x270F.
  clip.IconFlags = iconflag::kText;
  EXPECT_TRUE(clip.HasIcon(cf::kUnicodeText));
  EXPECT_FALSE(clip.HasIcon(cf::kHDrop));
  clip.IconFlags = iconflag::kHtml;
  EXPECT_FALSE(clip.HasIcon(cf::kUnicodeText));
  EXPECT_TRUE(clip.HasIcon(HTMLFormat));
  clip.IconFlags = iconflag::kHDrop;
  EXPECT_FALSE(clip.HasIcon(cf::kUnicodeText));
  clip.IconFlags = 256;  // in the mask, though no format sets it
  EXPECT_TRUE(clip.HasIcon(cf::kUnicodeText));

  // Before the rich-text and HTML formats are registered, 0 is no format.
  RTFFormat = 0;
  HTMLFormat = 0;
  clip.IconFlags = 0;
  EXPECT_EQ(clip.SetIcon(0), 0);
}

TEST_F(ClipModelTest, IconIndexFirstMatchingFlagDecides) {
  struct Case {
    std::int32_t flags;
    std::int32_t index;
  };
  const Case cases[] = {
      {64 | 128 | 1, 6}, {128 | 8 | 1, 7}, {8 | 1, 1}, {1 | 2, 0}, {2 | 4, 2},
      {4, 3},            {256, 3},         {0, 5},    {32, 5},    {16, 5},
  };
  TClipObj clip(1, "X");
  for (const Case& c : cases) {
    clip.IconFlags = c.flags;
    EXPECT_EQ(clip.GetIconIndex(), c.index) << "flags " << c.flags;
  }
}

TEST_F(ClipModelTest, HasFormatTrustsTheIconFlagsBeforeLoading) {
  // A stored-apart clip whose data file is missing: looking at its data
  // would raise.
  TClipObj clip(5, "EXPLORER");
  clip.SetColl(&coll_);
  clip.StoredApart = true;
  clip.DataList.reset();
  clip.FormatCount = 2;
  clip.IconFlags = iconflag::kHDrop;
  std::int32_t position = 99;
  EXPECT_FALSE(clip.HasFormat(cf::kUnicodeText, position));
  EXPECT_EQ(position, -1);
  EXPECT_FALSE(clip.Online);

  clip.IconFlags = 0;
  EXPECT_THROW(clip.HasFormat(cf::kUnicodeText), EMyStreamError);

  // With flags 0 an online clip is always searched.
  auto text = ClipWith({{cf::kText, TextBlock("a")}, {cf::kUnicodeText, Bytes{'a', 0, 0, 0}}});
  EXPECT_TRUE(text->HasFormat(cf::kUnicodeText, position));
  EXPECT_EQ(position, 1);
  EXPECT_FALSE(text->HasFormat(cf::kLocale, position));
  EXPECT_EQ(position, -1);
}

TEST_F(ClipModelTest, AccessorsPastTheEndGiveNeutralAnswers) {
  auto clip = ClipWith({{cf::kText, TextBlock("hello")}});
  EXPECT_TRUE(clip->GetSelected(0));
  EXPECT_EQ(clip->GetFormatName(0), "F1");
  EXPECT_EQ(clip->GetFormatNum(0), 1);
  EXPECT_EQ(clip->GetDataSize(0), 6);
  clip->SetSelected(0, false);
  EXPECT_FALSE(clip->GetSelected(0));
  for (std::int32_t index : {1, 5, -1}) {
    EXPECT_FALSE(clip->GetSelected(index));
    EXPECT_EQ(clip->GetFormatName(index), "");
    EXPECT_EQ(clip->GetFormatNum(index), -1);
    EXPECT_EQ(clip->GetDataSize(index), -1);
    clip->SetSelected(index, true);  // ignored
  }
  EXPECT_FALSE(clip->GetSelected(0));
  EXPECT_EQ(clip->GetHandle(cf::kUnicodeText), nullptr);
  EXPECT_EQ(clip->GetObj(cf::kText), nullptr);  // not a picture format
  ASSERT_NE(clip->GetHandle(cf::kText), nullptr);
  EXPECT_EQ(*clip->GetHandle(cf::kText), TextBlock("hello"));
}

TEST_F(ClipModelTest, LockHandsOutTheBlockAndReleasesAForgottenLock) {
  auto clip = ClipWith({{cf::kText, TextBlock("text")}, {cf::kUnicodeText, Bytes{'u', 0, 0, 0}}});
  clip->Title = "T";
  EXPECT_EQ(clip->Lock(cf::kText), 5);
  EXPECT_EQ(clip->LockedFormat, 1);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(clip->LockedText)), "text");
  // The bytes are the entry's own: a change through the lock stays.
  clip->LockedText[0] = 'n';
  EXPECT_EQ((*clip->GetHandle(cf::kText))[0], 'n');

  EXPECT_EQ(clip->Lock(cf::kUnicodeText), 4);
  EXPECT_EQ(clip->LockedFormat, 13);
  EXPECT_TRUE(Logged("SYSTEM", "Item:[T] is Already Locked!13"));
  EXPECT_TRUE(Logged("SYSTEM", "Item:[T] Emergency Unlock Successful13"));
  EXPECT_EQ(LogCount("is NOT Locked"), 0u);

  clip->Unlock();
  EXPECT_EQ(clip->LockedFormat, 0);
  clip->Unlock();
  EXPECT_TRUE(Logged("SYSTEM", "Error Unlocking - Item:[T] is NOT Locked"));
  EXPECT_EQ(clip->LockedFormat, 0);

  EXPECT_EQ(clip->Lock(cf::kLocale), 0);
  EXPECT_EQ(clip->LockedFormat, 0);
}

TEST_F(ClipModelTest, LockOfAPictureEntryFailsWithALogLine) {
  auto clip = ClipWith({});
  auto entry = std::make_unique<TClipData>(formattype::kBitmap);
  entry->FormatNum = cf::kBitmap;
  clip->DataList->push_back(std::move(entry));
  EXPECT_EQ(clip->Lock(cf::kBitmap), 0);
  EXPECT_EQ(clip->LockedFormat, 0);
  EXPECT_TRUE(Logged("SYSTEM", "Could Not Lock 2"));
}

TEST_F(ClipModelTest, WithoutTheMasterListLockingAndLoadingDoNothing) {
  auto clip = ClipWith({{cf::kText, TextBlock("text")}});
  StoreServices().MasterListExists = false;
  EXPECT_EQ(clip->Lock(cf::kText), 0);
  EXPECT_EQ(clip->LockedFormat, 0);
  EXPECT_TRUE(Logged("SYSTEM", "TClipObj.lock - Early Exit, as MasterList is NIL"));
  clip->Unlock();
  EXPECT_TRUE(Logged("SYSTEM", "TClipObj.Unlock - Early Exit, as MasterList is NIL"));

  TClipObj apart(3, "X");
  apart.SetColl(&coll_);
  apart.StoredApart = true;
  apart.FormatCount = 1;
  apart.Load();  // would raise for the missing file
  EXPECT_FALSE(apart.Online);
  EXPECT_FALSE(apart.ReadClipData(nullptr));
  EXPECT_EQ(apart.GetFormatNum(0), -1);
}

TEST_F(ClipModelTest, DestroyingAnEntryOfUnknownTypeLogsAndCompletes) {
  {
    TClipData bad(3);
    bad.FormatNum = 1;
    bad.FormatName = "TEXT";
  }
  EXPECT_TRUE(Logged("SYSTEM", "Destroy Error 3"));
  EXPECT_EQ(LogCount("Destroy Error"), 1u);
  { TClipData good(formattype::kMetafile); }
  EXPECT_EQ(LogCount("Destroy Error"), 1u);
}

TEST_F(ClipModelTest, TimeStampInTheUsersFormats) {
  TClipObj clip(1, "X");
  EXPECT_EQ(clip.STimeStamp(), "3/5/2024 2:07:09 PM");
  locale_.short_date_format = "dd.MM.yyyy";
  locale_.long_time_format = "HH:mm:ss";
  EXPECT_EQ(clip.STimeStamp(), "05.03.2024 14:07:09");
  // Exactly midnight: the date alone.
  clip.TimeStamp = EncodeDateTime({2024, 3, 5, 0, 0, 0, 0});
  EXPECT_EQ(clip.STimeStamp(), "05.03.2024");
  clip.TimeStamp = EncodeDateTime({2024, 3, 5, 0, 0, 1, 0});
  EXPECT_EQ(clip.STimeStamp(), "05.03.2024 00:00:01");
}

TEST_F(ClipModelTest, PutTextAppendsOrReplaces) {
  auto clip = ClipWith({{cf::kUnicodeText, Bytes{'u', 0, 0, 0}}});
  clip->Changed = false;
  TThumbNailEntry slot;
  clip->Thumbnail = &slot;
  clip->PutText("abc", 9999);
  ASSERT_EQ(clip->DataList->size(), 2u);
  const TClipData& text = *clip->DataList->back();
  EXPECT_EQ(text.FormatNum, 1);
  EXPECT_EQ(text.FormatName, "TEXT");
  EXPECT_EQ(text.Size, 5u);
  EXPECT_EQ(*text.Handle, (Bytes{'a', 'b', 'c', 0, 0}));
  EXPECT_TRUE(clip->Changed);
  EXPECT_EQ(clip->Thumbnail, &slot);

  clip->PutText("xy", 0);
  ASSERT_EQ(clip->DataList->size(), 2u);
  EXPECT_EQ(*clip->DataList->front()->Handle, (Bytes{'x', 'y', 0, 0}));
  EXPECT_EQ(clip->DataList->front()->FormatNum, 1);
  EXPECT_EQ(clip->Thumbnail, nullptr);
}

TEST_F(ClipModelTest, CloneOfAnInlineClipTakesTitleFlagsAndTextOnly) {
  auto source = ClipWith({{cf::kUnicodeText, Bytes{'h', 0, 0, 0}}, {cf::kText, TextBlock("hello")}, {cf::kLocale, Bytes{9, 4, 0, 0}}});
  source->Title = "hello";
  source->Reserved = 77;
  source->IconFlags = iconflag::kText | iconflag::kRtf | iconflag::kHDrop;
  TClipObj copy(40, "");
  copy.CloneClipObj(*source);
  EXPECT_EQ(copy.Title, "hello");
  EXPECT_EQ(copy.Creator, "NOTEPAD");
  EXPECT_EQ(copy.Reserved, 77);
  EXPECT_EQ(copy.SerialNbr, 40);
  EXPECT_FALSE(copy.StoredApart);
  EXPECT_EQ(copy.FormatCount, 3);
  EXPECT_EQ(copy.IconFlags, iconflag::kText | iconflag::kRtf);  // only text, rtf, bitmap and metafile are copied
  ASSERT_EQ(copy.DataList->size(), 1u);
  EXPECT_EQ(copy.DataList->front()->FormatNum, 1);
  EXPECT_EQ(*copy.DataList->front()->Handle, (Bytes{'h', 'e', 'l', 'l', 'o', 0, 0}));
  EXPECT_TRUE(copy.Online);
  EXPECT_TRUE(copy.Changed);
}

TEST_F(ClipModelTest, HMemCpyHandlesNeverWritesPastTheDestination) {
  Bytes destination(3, 0);
  EXPECT_EQ(HMemCpyHandles(destination, Bytes{1, 2, 3, 4, 5}), 3u);
  EXPECT_EQ(destination, (Bytes{1, 2, 3}));
  Bytes large(6, 9);
  EXPECT_EQ(HMemCpyHandles(large, Bytes{1, 2}), 2u);
  EXPECT_EQ(large, (Bytes{1, 2, 9, 9, 9, 9}));
  EXPECT_EQ(TextLenOfHandle(Bytes{'a', 'b', 0, 'c'}), 2u);
  EXPECT_EQ(TextLenOfHandle(Bytes{'a', 'b'}), 2u);
  EXPECT_EQ(TextLenOfHandle(Bytes{}), 0u);
}

}  // namespace
}  // namespace om::testing
