#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>

#include <limits>

#include "platform/posix/file_system.h"
#include "store/clip_obj.h"
#include "store/picture_files.h"
#include "store/store_errors.h"
#include "store_fixture.h"

namespace om::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::StartsWith;

namespace fs = std::filesystem;

const double kStamp = 45000.25;  // 2023-03-15 06:00

// A small 24-bit bottom-up DIB, 2 x 2 pixels.
Bytes SmallDib() {
  Golden g;
  g.i32(40).i32(2).i32(2).u16(1).u16(24).i32(0).i32(16).i32(2835).i32(2835).i32(0).i32(0);
  for (int i = 0; i < 16; ++i) g.u8(static_cast<std::uint8_t>(i * 13));
  return g;
}

// The 12-byte picture header, then a minimal Windows metafile: its header
// and the end record.
Bytes MetafilePict(std::int32_t mm, std::int32_t x, std::int32_t y) {
  Golden g;
  g.i32(mm).i32(x).i32(y);
  g.u16(1).u16(9).u16(0x300).i32(12).u16(0).i32(3).u16(0);  // METAHEADER, 12 words in all
  g.i32(3).u16(0);                                          // end record
  return g;
}

class ClipFilesTest : public StoreTest {
 protected:
  std::unique_ptr<TClipObj> NewClip(std::int32_t serial = 5) {
    auto clip = std::make_unique<TClipObj>(serial, "NOTEPAD");
    clip->SetColl(&coll_);
    return clip;
  }
  static void AddBlock(TClipObj& clip, std::uint16_t number, const std::string& name, Bytes data) {
    auto entry = std::make_unique<TClipData>(formattype::kHandle);
    entry->FormatNum = number;
    entry->FormatName = name;
    entry->Size = static_cast<std::uint32_t>(data.size());
    entry->Handle = std::move(data);
    clip.DataList->push_back(std::move(entry));
    clip.Online = true;
  }
  // A clip as the collection reads it: made empty, attached, then read.
  std::unique_ptr<TClipObj> Read(const Bytes& record, bool* result = nullptr, std::size_t* position = nullptr) {
    auto clip = std::make_unique<TClipObj>(0, "");
    clip->SetColl(&coll_);
    TStreamReader reader(record);
    const bool ok = clip->LoadFromStream(reader);
    if (result != nullptr) *result = ok;
    if (position != nullptr) *position = reader.Position();
    return clip;
  }
  static Bytes Write(TClipObj& clip) {
    TStreamWriter writer;
    clip.SaveToStream(writer);
    return writer.Data();
  }
};

// Every record layout the reader accepts, built from the layout table.
TEST_F(ClipFilesTest, ReadsEveryRecordVersion) {
  struct Case {
    const char* name;
    Bytes record;
    std::string title;
    std::int32_t icon_flags, sort_key;
    std::string url;
  };
  const Bytes text = TextRecord("hello");
  const Case cases[] = {
      // Version 0: no tag; the first string is the title. No icon flags,
      // sort key or URL; the flags come from the formats.
      {"v0", Golden().str("Old title").str("NOTEPAD").f64(kStamp).i32(3).i32(21).i32(1).u8(0).raw(text),
       "Old title", 1, 0, ""},
      // Eight characters starting with CLIP but no number: still a title.
      {"v0 CLIPPING", Golden().str("CLIPPING").str("NOTEPAD").f64(kStamp).i32(3).i32(21).i32(1).u8(0).raw(text),
       "CLIPPING", 1, 0, ""},
      {"v0 CLIP.5100", Golden().str("CLIP.5100").str("NOTEPAD").f64(kStamp).i32(3).i32(21).i32(1).u8(0).raw(text),
       "CLIP.5100", 1, 0, ""},
      {"v400 flags 0 rebuilt",
       Golden().str("CLIP.400").str("T").str("NOTEPAD").i32(0).f64(kStamp).i32(3).i32(21).i32(1).u8(0).raw(text),
       "T", 1, 0, ""},
      {"v400 flags kept",
       Golden().str("CLIP.400").str("T").str("NOTEPAD").i32(9).f64(kStamp).i32(3).i32(21).i32(1).u8(0).raw(text),
       "T", 9, 0, ""},
      {"v500 flags 0 kept",
       Golden().str("CLIP.500").str("T").str("NOTEPAD").i32(0).f64(kStamp).i32(3).i32(21).i32(1).u8(0).raw(text),
       "T", 0, 0, ""},
      {"v503", Golden().str("CLIP.503").str("T").str("NOTEPAD").i32(1).f64(kStamp).i32(3).i32(21).i32(2100).i32(1).u8(0).raw(text),
       "T", 1, 2100, ""},
      {"v503 COLL tag",
       Golden().str("COLL.503").str("T").str("NOTEPAD").i32(1).f64(kStamp).i32(3).i32(21).i32(2100).i32(1).u8(0).raw(text),
       "T", 1, 2100, ""},
      {"v510", Golden().str("CLIP.510").str("T").str("NOTEPAD").i32(1).f64(kStamp).i32(3).i32(21).i32(2100).i32(1)
                   .str("http://example.com/").u8(0).raw(text),
       "T", 1, 2100, "http://example.com/"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    bool ok = false;
    std::size_t position = 0;
    auto clip = Read(c.record, &ok, &position);
    ASSERT_TRUE(ok);
    EXPECT_EQ(position, c.record.size());
    EXPECT_EQ(clip->Title, c.title);
    EXPECT_EQ(clip->Creator, "NOTEPAD");
    EXPECT_EQ(clip->IconFlags, c.icon_flags);
    EXPECT_DOUBLE_EQ(clip->TimeStamp, kStamp);
    EXPECT_EQ(clip->Reserved, 3);
    EXPECT_EQ(clip->SerialNbr, 21);
    EXPECT_EQ(clip->SortKey, c.sort_key);
    EXPECT_EQ(clip->FormatCount, 1);
    EXPECT_EQ(clip->SourceURL, c.url);
    EXPECT_FALSE(clip->StoredApart);
    EXPECT_TRUE(clip->Online);
    EXPECT_FALSE(clip->Changed);
    EXPECT_TRUE(clip->Audit());
    ASSERT_EQ(clip->GetFormatCount(), 1);
    EXPECT_EQ(*clip->GetHandle(cf::kText), TextBlock("hello"));
  }
}

TEST_F(ClipFilesTest, ReadsFormatRecordsBeforeAndAt510) {
  struct Case {
    const char* name;
    Bytes record;
    bool selected;
  };
  const Bytes data = TextBlock("abc");
  const Case cases[] = {
      {"510 deselected", BlockRecord("TCLIPDATA.510", 1, "TEXT", data, false), false},
      {"510 selected", BlockRecord("TCLIPDATA.510", 1, "TEXT", data, true), true},
      {"500: no flag", BlockRecord("TCLIPDATA.500", 1, "TEXT", data, std::nullopt), true},
      {"no version", BlockRecord("TCLIPDATA", 1, "TEXT", data, std::nullopt), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TClipData entry;
    TStreamReader reader(c.record);
    ASSERT_TRUE(entry.LoadFromStream(reader, 1, coll_.GetPath()));
    EXPECT_EQ(reader.Remaining(), 0u);
    EXPECT_EQ(entry.FormatType, formattype::kHandle);
    EXPECT_EQ(entry.FormatName, "TEXT");
    EXPECT_EQ(entry.FormatNum, 1);
    EXPECT_EQ(entry.Size, 4u);
    EXPECT_EQ(entry.Selected, c.selected);
    EXPECT_EQ(*entry.Handle, data);
  }
}

TEST_F(ClipFilesTest, RegisteredFormatsAreLookedUpByNameAgain) {
  IClipboardSystem& clipboard = desktop_.Clipboard();
  struct Case {
    std::uint16_t stored;
    std::string name;
    std::uint32_t expected;
  };
  const Case cases[] = {
      {0xC0AB, "HTML Format", HTMLFormat},
      {0xC001, "Rich Text Format", RTFFormat},
      {700, "UNKN_PUBLIC:700", clipboard.RegisterFormat("UNKN_PUBLIC:700")},
      {513, "My Private", clipboard.RegisterFormat("My Private")},
      {512, "UNKN_PUBLIC:512", 512},       // not above 512: kept
      {16, "Rich Text Format", 16},        // standard numbers are kept whatever the name
      {0xC222, "locale", cf::kLocale},     // a table name gives the table's number
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TClipData entry;
    const Bytes record = BlockRecord("TCLIPDATA.510", c.stored, c.name, Bytes{1, 2});
    TStreamReader reader(record);
    ASSERT_TRUE(entry.LoadFromStream(reader, 1, coll_.GetPath()));
    EXPECT_EQ(entry.FormatNum, c.expected);
    EXPECT_EQ(entry.FormatName, c.name);
  }
}

// The writer's bytes, read with a reader written from the layout table.
TEST_F(ClipFilesTest, WritesTheInlineRecordByteForByte) {
  auto clip = NewClip(33);
  clip->Title = "Hello";
  clip->IconFlags = iconflag::kText;
  clip->TimeStamp = kStamp;
  clip->Reserved = -4;
  clip->SortKey = 3300;
  clip->SourceURL = "http://x/";
  AddBlock(*clip, cf::kText, "TEXT", TextBlock("hello"));
  AddBlock(*clip, cf::kText, "TEXT", TextBlock("http://x/\r\n"));
  (*clip->DataList)[1]->Selected = false;
  const Bytes bytes = Write(*clip);

  LayoutReader r(bytes);
  EXPECT_EQ(r.str(), "CLIP.510");
  EXPECT_EQ(r.str(), "Hello");
  EXPECT_EQ(r.str(), "NOTEPAD");
  EXPECT_EQ(r.i32(), 1);
  EXPECT_EQ(r.f64(), kStamp);
  EXPECT_EQ(r.i32(), -4);
  EXPECT_EQ(r.i32(), 33);
  EXPECT_EQ(r.i32(), 3300);
  EXPECT_EQ(r.i32(), 2);
  EXPECT_EQ(r.str(), "http://x/");
  EXPECT_EQ(r.u8(), 0);
  for (const auto& [text, selected] : {std::pair<std::string, int>{"hello", 1}, {"http://x/\r\n", 0}}) {
    EXPECT_EQ(r.str(), "TCLIPDATA.510");
    EXPECT_EQ(r.i32(), 0);
    EXPECT_EQ(r.str(), "TEXT");
    EXPECT_EQ(r.u16(), 1);
    EXPECT_EQ(r.i32(), static_cast<std::int32_t>(text.size() + 1));
    EXPECT_EQ(r.u8(), selected);
    EXPECT_EQ(r.i32(), static_cast<std::int32_t>(text.size() + 1));
    EXPECT_EQ(r.bytes(text.size() + 1), TextBlock(text));
  }
  EXPECT_EQ(r.remaining(), 0u);
  EXPECT_FALSE(clip->Changed);
  EXPECT_FALSE(clip->StoredApart);

  // And the program reads back what it wrote.
  auto back = Read(bytes);
  EXPECT_EQ(back->Title, "Hello");
  EXPECT_EQ(back->Creator, "NOTEPAD");
  EXPECT_EQ(back->IconFlags, 1);
  EXPECT_EQ(back->TimeStamp, kStamp);
  EXPECT_EQ(back->Reserved, -4);
  EXPECT_EQ(back->SerialNbr, 33);
  EXPECT_EQ(back->SortKey, 3300);
  EXPECT_EQ(back->FormatCount, 2);
  EXPECT_EQ(back->SourceURL, "http://x/");
  EXPECT_FALSE(back->StoredApart);
  EXPECT_FALSE(back->GetSelected(1));
  EXPECT_EQ(*back->DataList->back()->Handle, TextBlock("http://x/\r\n"));
  EXPECT_EQ(Write(*back), bytes);
}

TEST_F(ClipFilesTest, LongStringsAreCutToTheirLengthByte) {
  auto clip = NewClip();
  clip->Title = std::string(300, 't');
  clip->Creator = std::string(256, 'c');
  AddBlock(*clip, cf::kText, "TEXT", TextBlock("a"));
  auto back = Read(Write(*clip));
  EXPECT_EQ(back->Title, std::string(255, 't'));
  EXPECT_EQ(back->Creator, std::string(255, 'c'));
}

TEST_F(ClipFilesTest, WhichClipsAreStoredApart) {
  struct Case {
    const char* name;
    std::vector<std::pair<std::uint16_t, std::size_t>> formats;  // number, bytes
    bool apart;
  };
  const Case cases[] = {
      {"text of 1024 bytes", {{cf::kText, 1024}}, false},
      {"text of 1025 bytes", {{cf::kText, 1025}}, true},
      {"small text and locale", {{cf::kText, 10}, {cf::kLocale, 4}}, true},
      {"unicode text only", {{cf::kUnicodeText, 10}}, true},
      {"two texts, the first small", {{cf::kText, 10}, {cf::kText, 5000}}, false},
      {"two texts, the first large", {{cf::kText, 5000}, {cf::kText, 10}}, true},
  };
  std::int32_t serial = 100;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto clip = NewClip(++serial);
    for (const auto& [number, size] : c.formats) AddBlock(*clip, number, "F", Bytes(size, 'x'));
    const Bytes record = Write(*clip);
    EXPECT_EQ(clip->StoredApart, c.apart);
    EXPECT_EQ(fs::exists(CollFile("D" + std::to_string(serial) + ".DAT")), c.apart);

    LayoutReader r(record);
    r.str(), r.str(), r.str(), r.i32(), r.f64(), r.i32(), r.i32(), r.i32();
    EXPECT_EQ(r.i32(), static_cast<std::int32_t>(c.formats.size()));
    r.str();
    EXPECT_EQ(r.u8(), c.apart ? 1 : 0);
    EXPECT_EQ(r.remaining() == 0, c.apart);
  }
}

TEST_F(ClipFilesTest, DataFileHoldsTheFormatRecordsAndLoadsOnDemand) {
  auto clip = NewClip(8);
  AddBlock(*clip, cf::kText, "TEXT", TextBlock("ten bytes"));
  AddBlock(*clip, cf::kLocale, "LOCALE", Bytes{9, 4, 0, 0});
  const Bytes record = Write(*clip);
  ASSERT_TRUE(clip->StoredApart);
  EXPECT_TRUE(clip->Online);  // it was changed: it stays in memory
  EXPECT_FALSE(clip->Changed);

  // No header, no count: the records one after another.
  const Bytes file = ReadFile(CollFile("D8.DAT"));
  EXPECT_EQ(file, Golden().raw(TextRecord("ten bytes")).raw(BlockRecord("TCLIPDATA.510", 16, "LOCALE", Bytes{9, 4, 0, 0})).bytes());

  auto back = Read(record);
  EXPECT_TRUE(back->StoredApart);
  EXPECT_FALSE(back->Online);
  EXPECT_FALSE(back->DataList.has_value());
  EXPECT_EQ(back->GetFormatCount(), 2);
  EXPECT_TRUE(back->Audit());

  EXPECT_EQ(back->GetFormatName(1), "LOCALE");  // the first access loads
  EXPECT_TRUE(back->Online);
  EXPECT_TRUE(Logged("SYSTEM", "LOADED Item: 8"));
  EXPECT_TRUE(Logged("SYSTEM", "LOADED On Demand: 8"));

  back->UnLoad();
  EXPECT_FALSE(back->Online);
  EXPECT_FALSE(back->DataList.has_value());
  EXPECT_TRUE(Logged("SYSTEM", "UNLOADED Item: 8"));

  // A changed clip is not dropped from memory.
  back->Load();
  back->SetTitle("new");
  back->UnLoad();
  EXPECT_TRUE(back->Online);
}

TEST_F(ClipFilesTest, UnchangedStoredApartClipIsNotRewritten) {
  auto clip = NewClip(9);
  AddBlock(*clip, cf::kUnicodeText, "UNICODTEXT", Bytes{'a', 0, 0, 0});
  Write(*clip);
  const fs::path data = CollFile("D9.DAT");
  Bytes marked = ReadFile(data);
  marked.push_back(0xEE);  // a change the next save would undo if it rewrote the file
  WriteFile(data, marked);

  const Bytes record = Write(*clip);
  EXPECT_EQ(ReadFile(data), marked);
  EXPECT_FALSE(record.empty());
  EXPECT_EQ(record.back(), 1);  // the record itself is written, flagged stored apart

  // Unchanged but its file gone: written again.
  fs::remove(data);
  Write(*clip);
  EXPECT_EQ(ReadFile(data), Golden().raw(BlockRecord("TCLIPDATA.510", 13, "UNICODTEXT", Bytes{'a', 0, 0, 0})).bytes());
  EXPECT_FALSE(clip->Online);  // written while unchanged, so dropped from memory
}

TEST_F(ClipFilesTest, FailedDataFileWriteKeepsTheClipChanged) {
  auto clip = NewClip(4);
  coll_.DirName = (dir_ / "missing").string() + "\\";
  AddBlock(*clip, cf::kLocale, "LOCALE", Bytes{9, 4, 0, 0});
  EXPECT_THROW(Write(*clip), EMyStreamError);
  EXPECT_TRUE(clip->Changed);
  EXPECT_TRUE(clip->Online);
  EXPECT_EQ(clip->GetFormatCount(), 1);
}

TEST_F(ClipFilesTest, PicturesGoToTheirOwnFilesOnceAndReadBack) {
  auto clip = NewClip(6);
  auto bitmap = std::make_unique<TClipData>(formattype::kBitmap);
  bitmap->FormatNum = cf::kBitmap;
  bitmap->FormatName = "BITMAP";
  bitmap->Bitmap = std::make_unique<TBitmap>(SmallDib());
  auto metafile = std::make_unique<TClipData>(formattype::kMetafile);
  metafile->FormatNum = cf::kMetafilePict;
  metafile->FormatName = "PICTURE";
  metafile->Metafile = std::make_unique<TMetafile>();
  metafile->Metafile->LoadFromClipboardFormat(cf::kMetafilePict, MetafilePict(8, 2000, 1000), {});
  clip->DataList->push_back(std::move(bitmap));
  clip->DataList->push_back(std::move(metafile));
  clip->Online = true;
  clip->IconFlags = iconflag::kBitmap | iconflag::kMetafile;
  const Bytes record = Write(*clip);

  EXPECT_EQ(ReadFile(CollFile("D6.DAT")),
            Golden().raw(PictureRecord(1, 2, "BITMAP")).raw(PictureRecord(2, 3, "PICTURE")).bytes());
  const Bytes bmp = ReadFile(CollFile("I6.bmp"));
  LayoutReader r(bmp);
  EXPECT_EQ(r.u16(), 0x4D42);
  EXPECT_EQ(r.i32(), static_cast<std::int32_t>(bmp.size()));
  EXPECT_EQ(r.i32(), 0);
  EXPECT_EQ(r.i32(), 14 + 40);
  EXPECT_EQ(r.bytes(r.remaining()), SmallDib());
  ASSERT_TRUE(fs::exists(CollFile("I6.wmf")));

  auto back = Read(record);
  const auto* read_bitmap = dynamic_cast<TBitmap*>(back->GetObj(cf::kBitmap));
  ASSERT_NE(read_bitmap, nullptr);
  EXPECT_EQ(read_bitmap->Dib(), SmallDib());
  const auto* read_metafile = dynamic_cast<TMetafile*>(back->GetObj(cf::kMetafilePict));
  ASSERT_NE(read_metafile, nullptr);
  const TMetafile& original = *(*clip->DataList)[1]->Metafile;
  EXPECT_EQ(read_metafile->MapMode(), original.MapMode());
  EXPECT_EQ(read_metafile->XExt(), 2000);
  EXPECT_EQ(read_metafile->YExt(), 1000);
  EXPECT_EQ(read_metafile->Bits(), original.Bits());

  // A picture never changes after capture: a file that already holds it is
  // not written again ...
  const auto old_time = fs::file_time_type::clock::now() - std::chrono::hours(48);
  fs::last_write_time(CollFile("I6.bmp"), old_time);
  back->SetTitle("changed");
  Write(*back);
  EXPECT_EQ(fs::last_write_time(CollFile("I6.bmp")), old_time);
  // ... but a file of that name holding something else (left behind by a
  // clip that was never saved, whose serial number came round again) does
  // not stand in for this clip's picture.
  WriteFile(CollFile("I6.bmp"), Bytes{'s', 't', 'a', 'l', 'e'});
  back->SetTitle("changed again");
  Write(*back);
  EXPECT_EQ(ReadFile(CollFile("I6.bmp")), bmp);

  // A picture file that is missing or is not a picture leaves the entry
  // without a picture; the clip still loads and its other entries work.
  WriteFile(CollFile("I6.bmp"), Bytes{'n', 'o', 'p', 'e'});
  fs::remove(CollFile("I6.wmf"));
  bool ok = false;
  auto without = Read(record, &ok);
  ASSERT_TRUE(ok);
  EXPECT_TRUE(without->Audit());
  EXPECT_EQ(without->GetFormatCount(), 2);
  EXPECT_EQ(without->GetObj(cf::kBitmap), nullptr);
  EXPECT_EQ(without->GetObj(cf::kMetafilePict), nullptr);
  EXPECT_EQ(without->GetFormatName(0), "BITMAP");
  EXPECT_EQ(without->Lock(cf::kBitmap), 0);
  EXPECT_TRUE(Logged("TClipData.LoadFromStream", "Bad Picture File: " + coll_.GetPath() + "I6.bmp"));
}

TEST_F(ClipFilesTest, TruncatedRecordsFailCleanly) {
  auto clip = NewClip(12);
  clip->Title = "Cut";
  clip->SourceURL = "u";
  AddBlock(*clip, cf::kText, "TEXT", TextBlock("some text"));
  const Bytes record = Write(*clip);
  for (std::size_t length = 0; length < record.size(); ++length) {
    SCOPED_TRACE(length);
    bool ok = true;
    Read(Bytes(record.begin(), record.begin() + static_cast<std::ptrdiff_t>(length)), &ok);
    EXPECT_FALSE(ok);
  }
  EXPECT_GT(LogCount(",TClipObj.LoadFromStream,Clip Record Cut Short: "), 0u);
  EXPECT_TRUE(Logged("ReadClipData Failed For Item:", "12[Cut]"));
}

TEST_F(ClipFilesTest, CorruptFormatRecordsFailCleanly) {
  const auto header = [](std::int32_t count) {
    return Golden().str("CLIP.510").str("Bad").str("NOTEPAD").i32(1).f64(kStamp).i32(0).i32(3).i32(300).i32(count).str("").u8(0);
  };
  const Bytes text = TextBlock("abc");
  struct Case {
    const char* name;
    Bytes record;
    bool ok;
  };
  const Case cases[] = {
      {"length beyond the stream",
       header(1).raw(Golden().str("TCLIPDATA.510").i32(0).str("TEXT").u16(1).i32(4).u8(1).i32(0x7FFFFFFF).raw(text)), false},
      {"negative length", header(1).raw(Golden().str("TCLIPDATA.510").i32(0).str("TEXT").u16(1).i32(4).u8(1).i32(-5).raw(text)),
       false},
      {"name longer than the stream", header(1).raw(Golden().str("TCLIPDATA.510").i32(0).u8(200).raw("TEXT").u16(1).i32(4)),
       false},
      {"unknown format type", header(1).raw(Golden().str("TCLIPDATA.510").i32(7).str("TEXT").u16(1).i32(4).u8(1).i32(4).raw(text)),
       false},
      // Only the low byte of the type counts: 0x100 is a memory block.
      {"type in the low byte", header(1).raw(Golden().str("TCLIPDATA.510").i32(0x100).str("TEXT").u16(1).i32(4).u8(1).i32(4).raw(text)),
       true},
      {"no format records", header(0), false},
      {"negative count", header(-3).raw(TextRecord("abc")), false},
      // More records announced than the stream holds: what is there is read.
      {"huge count", header(0x7FFFFFFF).raw(TextRecord("abc")), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    bool ok = !c.ok;
    auto clip = Read(c.record, &ok);
    EXPECT_EQ(ok, c.ok);
  }
  EXPECT_TRUE(Logged("TClipData.LoadFromStream",
                     "Bad Format_Type Encountered During Load: 7\r\nFormat Num: 1 Format Name: \"TEXT\"\r\nFor Item: 3"));
}

// A time stamp is shown and converted to a calendar date: one that is no
// date makes the record corrupt, before anything else of the clip is used.
TEST_F(ClipFilesTest, TimeStampsOutsideTheCalendarAreRejected) {
  const auto inline_record = [](double stamp) {
    return Golden().str("CLIP.510").str("T").str("NOTEPAD").i32(1).f64(stamp).i32(0).i32(3).i32(300).i32(1).str("").u8(0)
        .raw(TextRecord("abc")).bytes();
  };
  struct Case {
    const char* name;
    Bytes record;
    bool ok;
  };
  const Case cases[] = {
      {"first day of year 1", inline_record(-693593.0), true},
      {"last moment of 9999", inline_record(2958465.999), true},
      {"before year 1", inline_record(-693593.5), false},
      {"year 10000", inline_record(2958466.0), false},
      {"not a number", inline_record(std::numeric_limits<double>::quiet_NaN()), false},
      {"infinity", inline_record(std::numeric_limits<double>::infinity()), false},
      {"minus infinity", inline_record(-std::numeric_limits<double>::infinity()), false},
      // Found by fuzzing: an untagged stored-apart record without icon flags
      // loads its (missing) data file to rebuild the flags, and the error
      // text of the missing file shows the time stamp.
      {"stored apart, flags rebuilt", Golden().str("").str("").f64(6.38758e20).i32(0).i32(367).i32(0).u8(0x17), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    bool ok = !c.ok;
    auto clip = Read(c.record, &ok);
    EXPECT_EQ(ok, c.ok);
    if (ok) {
      EXPECT_FALSE(clip->STimeStamp().empty());
    }
  }
  EXPECT_TRUE(Logged("TClipObj.LoadFromStream", "Bad Time Stamp For Item: 367"));
  EXPECT_EQ(LogCount("Bad Time Stamp For Item: "), 6u);
}

TEST_F(ClipFilesTest, ReadingStopsAtARecordOfUnknownType) {
  const Bytes record = Golden()
                           .str("CLIP.510").str("T").str("NOTEPAD").i32(1).f64(kStamp).i32(0).i32(3).i32(300).i32(2).str("").u8(1)
                           .bytes();
  // The bad record's data cannot be skipped, so what follows is not read
  // as a record.
  WriteFile(CollFile("D3.DAT"), Golden()
                                    .raw(Golden().str("TCLIPDATA.510").i32(5).str("TEXT").u16(1).i32(4).u8(1).i32(4).raw(TextBlock("abc")))
                                    .raw(TextRecord("second")));
  auto clip = Read(record);
  EXPECT_FALSE(clip->ReadClipData(nullptr));
  EXPECT_TRUE(clip->Online);
  EXPECT_EQ(clip->DataList->size(), 0u);
}

TEST_F(ClipFilesTest, UnreadableDataFileRaisesOnFirstAccess) {
  auto clip = NewClip(14);
  clip->Title = "Gone";
  clip->StoredApart = true;
  clip->FormatCount = 1;
  clip->DataList.reset();
  clip->Online = false;
  const std::string file = coll_.GetPath() + "D14.DAT";
  try {
    clip->GetFormatNum(0);
    ADD_FAILURE() << "no error";
  } catch (const EMyStreamError& error) {
    const std::string expected = "Error Opening File: " + file + "\r\nFor Data Titled: \"Gone\"\r\nWith Timestamp Of: " +
                                 "3/5/2024 2:07:09 PM\r\nThis Item Will Now Be Deleted";
    EXPECT_EQ(error.what(), expected.substr(0, 255));
  }
  EXPECT_FALSE(clip->Audit());
  EXPECT_TRUE(Logged("TClipObj.Audit", "Audit Failed: Missing File:" + file));

  // A data file cut short raises the same kind of error, and the clip stays
  // as it was.
  Bytes cut = TextRecord("abcdef");
  cut.resize(cut.size() - 3);
  WriteFile(CollFile("D14.DAT"), cut);
  EXPECT_THROW(clip->Load(), EMyStreamError);
  EXPECT_FALSE(clip->Online);
  EXPECT_TRUE(clip->Audit());

  // An inline clip with nothing to read from.
  TClipObj fresh(7, "NOTEPAD");
  fresh.SetColl(&coll_);
  try {
    fresh.ReadClipData(nullptr);
    ADD_FAILURE() << "no error";
  } catch (const EMyStreamError& error) {
    EXPECT_STREQ(error.what(),
                 "Error Reading Data Stream From Disk: \r\n  Online:0\r\n  Creator: NOTEPAD\r\n  SerialNbr: 7\r\n"
                 "  Collection: Coll One");
  }
  TClipObj loose(8, "X");
  EXPECT_THROW(loose.ReadClipData(nullptr), EMyStreamError);
}

TEST_F(ClipFilesTest, AuditRejectsEntriesThatCannotBeSavedAgain) {
  auto clip = NewClip();
  AddBlock(*clip, cf::kText, "TEXT", TextBlock("a"));
  EXPECT_TRUE(clip->Audit());
  clip->DataList->front()->FormatNum = 0;
  EXPECT_FALSE(clip->Audit());
  EXPECT_TRUE(Logged("TClipObj.Audit", "Audit Failed: Bad Format:0"));
  clip->DataList->front()->FormatNum = 1;
  clip->DataList->front()->FormatType = 3;
  EXPECT_FALSE(clip->Audit());
  EXPECT_TRUE(Logged("TClipObj.Audit", "Audit Failed: Bad Format_Type:3"));

  // Saving it is refused before anything of the entry is written.
  TStreamWriter writer;
  EXPECT_THROW(clip->SaveToStream(writer), EInvalidFormatType);
  clip->DataList->front()->FormatType = 0;
}

TEST_F(ClipFilesTest, OldBrowserCapturesGetTheirSourceUrlFromTheData) {
  const auto record = [](const std::string& tag, const std::string& creator, const std::string& text) {
    Golden g;
    g.str(tag).str("T").str(creator).i32(1).f64(kStamp).i32(0).i32(3).i32(300).i32(1);
    if (tag == "CLIP.510") g.str("");
    return g.u8(0).raw(TextRecord(text)).bytes();
  };
  struct Case {
    const char* name;
    Bytes record;
    std::string url;
    bool changed;
  };
  const std::string html = "Version:0.9\r\nSourceURL:http://a.example/page\r\n<html>";
  const Case cases[] = {
      {"old browser clip", record("CLIP.503", "iexplore", html), "http://a.example/page", true},
      {"no line end after it", record("CLIP.503", "IEXPLORE", "SourceURL:http://a"), "", true},
      {"253 characters", record("CLIP.503", "IEXPLORE", "SourceURL:" + std::string(253, 'u') + "\r\n"),
       std::string(253, 'u'), true},
      {"254 characters", record("CLIP.503", "IEXPLORE", "SourceURL:" + std::string(254, 'u') + "\r\n"), "", true},
      {"another program", record("CLIP.503", "NOTEPAD", html), "", false},
      {"current records", record("CLIP.510", "IEXPLORE", html), "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    bool ok = false;
    auto clip = Read(c.record, &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(clip->SourceURL, c.url);
    EXPECT_EQ(clip->Changed, c.changed);
    EXPECT_EQ(clip->LockedFormat, 0);
  }
  EXPECT_EQ(LogCount("is NOT Locked"), 0u);

  // The HTML data is preferred to the text.
  const Bytes apart = Golden().str("CLIP.500").str("T").str("IEXPLORE").i32(1 | 128).f64(kStamp).i32(0).i32(3).i32(2).u8(1);
  WriteFile(CollFile("D3.DAT"), Golden()
                                    .raw(TextRecord("SourceURL:text\r\n"))
                                    .raw(BlockRecord("TCLIPDATA.510", static_cast<std::uint16_t>(HTMLFormat), "HTML Format",
                                                     TextBlock("SourceURL:html\r\n"))));
  EXPECT_EQ(Read(apart)->SourceURL, "html");
}

TEST_F(ClipFilesTest, WithoutTheMasterListReadingReportsSuccessAndReadsNothing) {
  StoreServices().MasterListExists = false;
  bool ok = false;
  std::size_t position = 99;
  auto clip = Read(Golden().str("CLIP.510").str("T").bytes(), &ok, &position);
  EXPECT_TRUE(ok);
  EXPECT_EQ(position, 0u);
  EXPECT_EQ(clip->Title, "X");
}

TEST_F(ClipFilesTest, RelocateFilesCopiesAndLeavesTheSourcesToTheirCollection) {
  posix::PosixFileSystem files;
  StoreServices().Files = &files;
  TClipColl other;
  // Folder texts are in the program's form, backslashes inside too. The
  // target folder does not exist yet: it is made.
  other.DirName = dir_.string() + "\\other\\";
  WriteFile(CollFile("D3.DAT"), Bytes{1});
  WriteFile(CollFile("I3.bmp"), Bytes{2});
  TClipObj clip(3, "X");

  EXPECT_FALSE(clip.RelocateFiles(&coll_, &other, 3, 9, true));
  EXPECT_EQ(ReadFile(dir_ / "other" / "D9.DAT"), Bytes{1});
  EXPECT_EQ(ReadFile(dir_ / "other" / "I9.bmp"), Bytes{2});
  EXPECT_FALSE(fs::exists(dir_ / "other" / "I9.wmf"));
  EXPECT_TRUE(fs::exists(CollFile("D3.DAT")));
  EXPECT_TRUE(fs::exists(CollFile("I3.bmp")));
  EXPECT_TRUE(Logged("RelocateFiles", "Moving File: " + coll_.GetPath() + "D3.DAT To:" + other.GetPath() + "D9.DAT"));

  // A move: the sources stay until the source collection's next file no
  // longer lists the clip.
  WriteFile(CollFile("D3.DAT"), Bytes{5});
  EXPECT_TRUE(clip.RelocateFiles(&coll_, &other, 3, 9, false));
  EXPECT_EQ(ReadFile(dir_ / "other" / "D9.DAT"), Bytes{5});  // replaced
  EXPECT_TRUE(fs::exists(CollFile("D3.DAT")));
  coll_.DeleteRemovedFiles();
  EXPECT_FALSE(fs::exists(CollFile("D3.DAT")));
  EXPECT_FALSE(fs::exists(CollFile("I3.bmp")));

  EXPECT_FALSE(clip.RelocateFiles(&coll_, &other, 3, 9, false));  // nothing left to move
  // Onto itself nothing happens: the only copy is not deleted.
  EXPECT_FALSE(clip.RelocateFiles(&other, &other, 9, 9, false));
  other.DeleteRemovedFiles();
  EXPECT_TRUE(fs::exists(dir_ / "other" / "D9.DAT"));
  StoreServices().Files = nullptr;
}

TEST_F(ClipFilesTest, CloneOfAStoredApartClipReadsTheRelocatedFile) {
  auto source = NewClip(3);
  source->Title = "pic";
  source->IconFlags = iconflag::kBitmap | iconflag::kHDrop;
  AddBlock(*source, cf::kHDrop, "HDROP", Bytes(30, 1));
  Write(*source);
  ASSERT_TRUE(source->StoredApart);

  TClipColl other;
  other.DirName = (dir_ / "other").string() + "\\";
  fs::create_directories(dir_ / "other");
  posix::PosixFileSystem files;
  StoreServices().Files = &files;
  TClipObj copy(9, "");
  copy.SetColl(&other);
  copy.CloneClipObj(*source);
  EXPECT_TRUE(copy.StoredApart);
  EXPECT_FALSE(copy.Changed);
  EXPECT_FALSE(copy.Online);
  EXPECT_EQ(copy.IconFlags, iconflag::kBitmap);
  EXPECT_EQ(copy.GetFormatCount(), 1);
  EXPECT_TRUE(copy.RelocateFiles(source->Coll, &other, 3, 9, false));
  EXPECT_EQ(copy.GetFormatNum(0), cf::kHDrop);
  StoreServices().Files = nullptr;
}

}  // namespace
}  // namespace om::testing
