// What the collection and master-list tests share: the store's services with
// the native file system and the simulated desktop's message boxes, a data
// directory of their own, clips filed the way capture files them, and clip
// records and collection files written from the layouts.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/posix/file_system.h"
#include "store/clip_coll.h"
#include "store/clip_obj.h"
#include "store/master_list.h"
#include "store_fixture.h"

namespace om::testing {

namespace fs = std::filesystem;

inline constexpr double kClipStamp = 45000.25;  // 2023-03-15 06:00

// A clip record of one CF_TEXT format, inline, in the layout of `version`
// (400: icon flags; 503: sort key; 510: source URL).
inline Golden ClipRecord(int version, const std::string& title, std::int32_t serial, std::int32_t sort_key,
                         const std::string& text) {
  Golden g;
  g.str("CLIP." + std::to_string(version)).str(title).str("NOTEPAD");
  if (version >= 400) g.i32(1);
  g.f64(kClipStamp).i32(0).i32(serial);
  if (version >= 503) g.i32(sort_key);
  g.i32(1);
  if (version >= 510) g.str("");
  g.u8(0).raw(TextRecord(text));
  return g;
}

// The header of a collection file of `version` (0: a tag that is not one)
// up to and with the clip count; the fields a version lacks are left out.
struct CollHeader {
  int version = 505;
  std::string tag;  // overrides "COLL.<version>"
  bool accept_new_clips = true;
  std::int32_t last_serial = 3;
  std::uint8_t coll_type = 2;
  std::uint8_t modified = 1, reserved1 = 0, reserved2 = 0;
  std::int32_t max_items = 50, max_days = 7, new_clip_position = 1;
  std::string title = "Golden";
  std::int32_t icon_index = 11, tree_sort_key = 300;
  bool accept_duplicates = true;
  std::int32_t last_clip_sort_key = 300, list_sort_column = 4;
  bool list_sort_ascending = true, favorite = true;
  std::int32_t count = 0;

  Golden Bytes() const {
    Golden g;
    g.str(tag.empty() ? "COLL." + std::to_string(version) : tag);
    if (version >= 401) g.u8(accept_new_clips ? 1 : 0);
    g.i32(last_serial).u8(coll_type).u8(modified).u8(reserved1).u8(reserved2);
    if (version < 500) g.u8(0x5A);
    g.i32(max_items).i32(max_days).i32(new_clip_position).str(title);
    if (version >= 500) g.i32(icon_index);
    if (version >= 501) g.i32(tree_sort_key);
    if (version >= 502) g.u8(accept_duplicates ? 1 : 0);
    if (version >= 503) g.i32(last_clip_sort_key);
    if (version >= 504) g.i32(list_sort_column).u8(list_sort_ascending ? 1 : 0);
    if (version >= 505) g.u8(favorite ? 1 : 0);
    g.i32(count);
    return g;
  }
};

class CollTest : public StoreTest {
 protected:
  CollTest() {
    TStoreServices& services = StoreServices();
    services.Files = &files_;
    services.Prompts = &desktop_.Prompts();
    services.FreshDataFolder = &fresh_;
    data_ = dir_ / "data";
    fs::create_directories(data_);
    services.DataDirectory = Folder(data_);
  }

  // A folder in the program's form: backslash at the end.
  static std::string Folder(const fs::path& path) { return path.string() + "\\"; }

  // Files a CF_TEXT clip as capture does: collection, serial number, sort
  // key, title, then MyAddObject.
  static TClipObj* AddText(TClipColl& coll, const std::string& text, const std::string& title = "") {
    auto clip = std::make_unique<TClipObj>(0, "NOTEPAD");
    clip->SetColl(&coll);
    clip->SerialNbr = coll.GetNextSerialNum();
    clip->SortKey = coll.GetNextClipSortKey();
    auto entry = std::make_unique<TClipData>(formattype::kHandle);
    entry->FormatNum = cf::kText;
    entry->FormatName = "TEXT";
    entry->Size = static_cast<std::uint32_t>(text.size() + 1);
    entry->Handle = TextBlock(text);
    clip->DataList->push_back(std::move(entry));
    clip->Online = true;
    clip->SetIcon(cf::kText);
    clip->SetTitle(title.empty() ? text.substr(0, 20) : title);
    TClipObj* added = clip.get();
    if (!coll.MyAddObject(clip->Title, clip.get())) return nullptr;
    clip.release();
    return added;
  }

  // A clip holding a bitmap (2 x 2 pixels): its record and data file, and
  // "I" + serial + ".bmp".
  static TClipObj* AddBitmap(TClipColl& coll, const std::string& title) {
    auto clip = std::make_unique<TClipObj>(0, "MSPAINT");
    clip->SetColl(&coll);
    clip->SerialNbr = coll.GetNextSerialNum();
    clip->SortKey = coll.GetNextClipSortKey();
    Golden dib;
    dib.i32(40).i32(2).i32(2).u16(1).u16(24).i32(0).i32(16).i32(2835).i32(2835).i32(0).i32(0);
    for (int i = 0; i < 16; ++i) dib.u8(static_cast<std::uint8_t>(i * 13 + clip->SerialNbr));
    auto entry = std::make_unique<TClipData>(formattype::kBitmap);
    entry->FormatNum = cf::kBitmap;
    entry->FormatName = "BITMAP";
    entry->Bitmap = std::make_unique<TBitmap>(dib.bytes());
    clip->DataList->push_back(std::move(entry));
    clip->Online = true;
    clip->SetIcon(cf::kBitmap);
    clip->SetTitle(title);
    TClipObj* added = clip.release();
    coll.MyAddObject(added->Title, added);
    return added;
  }

  // The text of a clip's CF_TEXT, loading a stored-apart clip's data file.
  static std::string TextOf(TClipObj& clip) {
    const std::int32_t size = clip.Lock(cf::kText);
    std::string text;
    if (size > 0 && clip.LockedText != nullptr) {
      text.assign(reinterpret_cast<const char*>(clip.LockedText), static_cast<std::size_t>(size));
      text = text.substr(0, text.find('\0'));
    }
    if (clip.LockedFormat != 0) clip.Unlock();
    return text;
  }

  std::vector<std::string> Messages() {
    std::vector<std::string> texts;
    for (const fake::ShownBox& box : desktop_.Prompts().Shown()) texts.push_back(box.text);
    return texts;
  }
  std::size_t MessageCount() { return desktop_.Prompts().Shown().size(); }

  static void Write(const fs::path& file, const Bytes& bytes) {
    fs::create_directories(file.parent_path());
    WriteFile(file, bytes);
  }

  posix::PosixFileSystem files_;
  bool fresh_ = false;
  fs::path data_;
};

}  // namespace om::testing
