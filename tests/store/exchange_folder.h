// A data folder written the same way by both test programs: the native one
// through the POSIX file system, the Windows one (under Wine) through the
// Win32 adapter. Each writes it, and reads the other's, through the master
// list: a folder the program writes on one side must load on the other, and
// the two folders must be the same bytes, file by file.
//
// Everything in it is fixed (titles, texts, a bitmap, time stamps from a
// clock that does not move, serial numbers and sort keys counted from
// nothing), so the bytes do not depend on when or where it is written.
//
// The folders live below the directory named by OM_EXCHANGE_DIR (a Unix
// path; the Windows side reaches it through Wine's Z: drive): "native" and
// "wine". Without the variable the exchange tests skip.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/app_settings.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "store/clip_coll.h"
#include "store/clip_data.h"
#include "store/clip_obj.h"
#include "store/master_list.h"
#include "store/store_services.h"
#include "clip_text.h"

namespace om::testing::exchange {

// 2024-03-05 14:07:09, as days since 1899-12-30.
inline constexpr double kStamp = 45356.0 + (14 * 3600 + 7 * 60 + 9) / 86400.0;

// Now is always kStamp; nothing in writing or reading a folder waits.
class FixedClock final : public IClock {
 public:
  double Now() override { return kStamp; }
  std::uint32_t TickCount() override { return 0; }
  bool SetTimer(WindowHandle, std::uint32_t, std::uint32_t) override { return false; }
  void KillTimer(WindowHandle, std::uint32_t) override {}
  void Sleep(std::uint32_t) override {}
  void ProcessMessages() override {}
};

// The store's services for one exchange step: the fixed clock and the file
// system under test; no clipboard (only standard formats are stored), no
// message boxes (a failure shows in the log and in the checks).
class ExchangeServices {
 public:
  explicit ExchangeServices(IFileSystem& files) : scoped_(Services(files, clock_)) {}

 private:
  static TStoreServices Services(IFileSystem& files, IClock& clock) {
    TStoreServices services;
    services.Clock = &clock;
    services.Files = &files;
    return services;
  }
  FixedClock clock_;
  ScopedStoreServices scoped_;
};

// OM_EXCHANGE_DIR as it is set (a Unix path); nullopt when it is not.
inline std::optional<std::string> ExchangeDirectory() {
  const char* dir = std::getenv("OM_EXCHANGE_DIR");
  if (dir == nullptr || *dir == '\0') return std::nullopt;
  return std::string(dir);
}

// --- what the folder holds ---

// Two data sources; "Alpha" holds "Work" (with "Sub" nested in its folder)
// and "Notes", "Beta" holds "Pictures".
inline const char* const kSources[] = {"Alpha", "Beta"};

// Above 1024 bytes: the clip is stored apart, in a data file of its own.
inline std::string LongText() {
  std::string text;
  for (int line = 0; text.size() < 1500; ++line) {
    text += "Line " + std::to_string(line) + " of the long clip, stored apart from its collection file.\r\n";
  }
  return text;
}

// A 3 x 2 24-bit bottom-up DIB (rows padded to 12 bytes).
inline Bytes PictureDib() {
  struct Field {
    std::uint32_t value;
    int size;
  };
  // BITMAPINFOHEADER: size, width, height, planes, bits, compression, image
  // size, resolution x and y, colours used and important.
  const Field header[] = {{40, 4},  {3, 4},    {2, 4},    {1, 2}, {24, 2}, {0, 4},
                          {24, 4}, {2835, 4}, {2835, 4}, {0, 4}, {0, 4}};
  Bytes dib;
  for (const Field& field : header) {
    for (int i = 0; i < field.size; ++i) dib.push_back(static_cast<std::uint8_t>(field.value >> (8 * i)));
  }
  for (int i = 0; i < 24; ++i) dib.push_back(static_cast<std::uint8_t>(i * 11 + 3));
  return dib;
}

struct ExchangeClip {
  std::string title;
  std::string text;  // empty: the bitmap
};

struct ExchangeCollection {
  std::string source;  // data source
  std::string parent;  // title of the collection whose folder holds it; "" for none
  std::string folder;
  std::string title;
  std::uint8_t type;
  std::int32_t tree_sort_key;
  std::vector<ExchangeClip> clips;  // in list order
};

inline std::vector<ExchangeCollection> ExchangeCollections() {
  return {
      {"Alpha", "", "Work", "Work", colltype::kSafe, 100,
       {{"Long clip", LongText()}, {"Second", "Second clip"}, {"First", "First clip\r\nwith two lines"}}},
      {"Alpha", "Work", "Sub", "Sub Work", colltype::kLength, 100, {{"Nested", "Nested clip"}}},
      {"Alpha", "", "Notes", "Notes", colltype::kLength, 200, {{"Note", "A note"}}},
      {"Beta", "", "Pictures", "Pictures", colltype::kSafe, 100, {{"Caption", "Caption text"}, {"Picture", ""}}},
  };
}

inline std::string SourceDirectory(const std::string& root, const std::string& source) {
  return root + source + "\\";
}

// --- file-system helpers through the port ---

// Every file below `dir` as a path relative to it ("Sub\\_COLL.QL4"),
// sorted; nullopt when a directory cannot be listed.
inline std::optional<std::vector<std::string>> FilesBelow(IFileSystem& files, const std::string& dir,
                                                          const std::string& relative = "") {
  const auto entries = files.ListDirectory(dir + relative);
  if (!entries) return std::nullopt;
  std::vector<std::string> out;
  for (const TDirEntry& entry : *entries) {
    if (entry.IsDirectory) {
      auto deeper = FilesBelow(files, dir, relative + entry.Name + "\\");
      if (!deeper) return std::nullopt;
      out.insert(out.end(), deeper->begin(), deeper->end());
    } else {
      out.push_back(relative + entry.Name);
    }
  }
  std::sort(out.begin(), out.end());
  return out;
}

// Removes `dir` with everything in it; true when it is gone.
inline bool RemoveTree(IFileSystem& files, const std::string& dir) {
  if (!files.DirectoryExists(dir)) return true;
  const auto entries = files.ListDirectory(dir);
  if (!entries) return false;
  for (const TDirEntry& entry : *entries) {
    const std::string path = dir + entry.Name;
    if (entry.IsDirectory ? !RemoveTree(files, path + "\\") : files.RemoveFile(path) != FsStatus::kOk) return false;
  }
  return files.RemoveEmptyDirectory(dir) == FsStatus::kOk;
}

// --- the steps ---

inline std::vector<TDataSourceEntry> ExchangeSources(const std::string& root) {
  std::vector<TDataSourceEntry> sources;
  std::int32_t id = 0;
  for (const char* name : kSources) {
    TDataSourceEntry entry;
    entry.Name = name;
    entry.Source.ID = ++id;
    entry.Source.Description = name;
    entry.Source.Directory = SourceDirectory(root, name);
    entry.Source.AutoLoad = true;
    sources.push_back(entry);
  }
  return sources;
}

inline TClipColl* FindCollection(const TMasterList& list, const std::string& title) {
  for (std::size_t i = 0; i < list.Count(); ++i) {
    if (list.Items(i)->Title == title) return list.Items(i);
  }
  return nullptr;
}

// Writes the folder below `root` (replacing whatever was there) the way the
// program does: data sources loaded, collections made in them, clips filed,
// the master list saved.
inline void WriteExchangeFolder(IFileSystem& files, const std::string& root) {
  ExchangeServices services(files);
  ASSERT_TRUE(RemoveTree(files, root)) << root;
  ASSERT_EQ(files.MakeDirectories(root), FsStatus::kOk) << root;
  std::vector<TDataSourceEntry> sources = ExchangeSources(root);
  TMasterList list;
  for (TDataSourceEntry& entry : sources) list.LoadDataSource(entry.Source);  // empty: only the nodes
  ASSERT_EQ(list.Count(), 2u);

  for (const ExchangeCollection& made : ExchangeCollections()) {
    auto coll = std::make_unique<TClipColl>(true);
    coll->Title = made.title;
    coll->DirName = made.folder;
    coll->CollType = made.type;
    coll->TreeSortKey = made.tree_sort_key;
    coll->Parent = made.parent.empty() ? FindCollection(list, made.source) : FindCollection(list, made.parent);
    ASSERT_NE(coll->Parent, nullptr) << made.title;
    // Filed as capture files them: new clips at the top, so the last made
    // is the first in the list.
    for (auto clip_made = made.clips.rbegin(); clip_made != made.clips.rend(); ++clip_made) {
      auto clip = std::make_unique<TClipObj>(0, clip_made->text.empty() ? "MSPAINT" : "NOTEPAD");
      clip->SetColl(coll.get());
      clip->SerialNbr = coll->GetNextSerialNum();
      clip->SortKey = coll->GetNextClipSortKey();
      std::unique_ptr<TClipData> entry;
      if (clip_made->text.empty()) {
        entry = std::make_unique<TClipData>(formattype::kBitmap);
        entry->FormatNum = cf::kBitmap;
        entry->FormatName = "BITMAP";
        entry->Bitmap = std::make_unique<TBitmap>(PictureDib());
      } else {
        entry = std::make_unique<TClipData>(formattype::kHandle);
        entry->FormatNum = cf::kText;
        entry->FormatName = "TEXT";
        Bytes block(clip_made->text.begin(), clip_made->text.end());
        block.push_back(0);
        entry->Size = static_cast<std::uint32_t>(block.size());
        entry->Handle = std::move(block);
      }
      clip->SetIcon(entry->FormatNum);
      clip->DataList->push_back(std::move(entry));
      clip->Online = true;
      clip->SetTitle(clip_made->title);
      TClipObj* filed = clip.release();
      ASSERT_TRUE(coll->MyAddObject(filed->Title, filed).has_value());
    }
    list.Add(std::move(coll));
  }
  list.Save();
  EXPECT_FALSE(list.Modified) << "a collection could not be saved below " << root;
}

// Loads the folder below `root` through the master list and checks that it
// holds exactly what WriteExchangeFolder wrote.
inline void ExpectExchangeFolder(IFileSystem& files, const std::string& root) {
  SCOPED_TRACE("data folder " + root);
  ExchangeServices services(files);
  std::vector<TDataSourceEntry> sources = ExchangeSources(root);
  TMasterList list;
  ASSERT_TRUE(list.Load(sources));
  const std::vector<ExchangeCollection> expected = ExchangeCollections();
  ASSERT_EQ(list.Count(), std::size(kSources) + expected.size());
  for (const ExchangeCollection& made : expected) {
    SCOPED_TRACE(made.title);
    TClipColl* coll = FindCollection(list, made.title);
    ASSERT_NE(coll, nullptr);
    EXPECT_FALSE(coll->Modified);
    EXPECT_EQ(coll->Role, collrole::kOrdinary);
    EXPECT_EQ(coll->CollType, made.type);
    EXPECT_EQ(coll->TreeSortKey, made.tree_sort_key);
    EXPECT_EQ(coll->DirName, made.folder);
    ASSERT_NE(coll->Parent, nullptr);
    EXPECT_EQ(coll->Parent->Title, made.parent.empty() ? made.source : made.parent);
    ASSERT_EQ(coll->Count(), static_cast<std::int32_t>(made.clips.size()));
    for (std::size_t i = 0; i < made.clips.size(); ++i) {
      const ExchangeClip& clip_made = made.clips[i];
      TClipObj& clip = *coll->Clip(static_cast<std::int32_t>(i));
      SCOPED_TRACE(clip_made.title);
      EXPECT_EQ(clip.Title, clip_made.title);
      EXPECT_EQ(clip.TimeStamp, kStamp);
      EXPECT_EQ(clip.SerialNbr, static_cast<std::int32_t>(made.clips.size() - i));
      if (clip_made.text.empty()) {
        EXPECT_TRUE(clip.StoredApart);
        const auto* bitmap = dynamic_cast<const TBitmap*>(clip.GetObj(cf::kBitmap));
        ASSERT_NE(bitmap, nullptr);
        EXPECT_EQ(bitmap->Dib(), PictureDib());
      } else {
        EXPECT_EQ(clip.StoredApart, clip_made.text.size() > 1024);
        EXPECT_EQ(ClipText(clip), clip_made.text);
      }
    }
  }
}

// The two folders hold the same files with the same bytes.
inline void ExpectSameFiles(IFileSystem& files, const std::string& one, const std::string& other) {
  const auto names = FilesBelow(files, one);
  const auto other_names = FilesBelow(files, other);
  ASSERT_TRUE(names.has_value()) << one;
  ASSERT_TRUE(other_names.has_value()) << other;
  ASSERT_EQ(*names, *other_names) << one << " and " << other << " hold different files";
  // The collection files, a data file of a clip stored apart, the bitmap.
  EXPECT_GE(names->size(), 6u);
  for (const std::string& name : *names) {
    const auto bytes = files.ReadWholeFile(one + name);
    const auto other_bytes = files.ReadWholeFile(other + name);
    ASSERT_TRUE(bytes && other_bytes) << name;
    if (*bytes == *other_bytes) continue;
    const auto [at, other_at] = std::mismatch(bytes->begin(), bytes->end(), other_bytes->begin(), other_bytes->end());
    ADD_FAILURE() << name << " differs at byte " << (at - bytes->begin()) << " (sizes " << bytes->size() << " and "
                  << other_bytes->size() << ")";
  }
}

}  // namespace om::testing::exchange
