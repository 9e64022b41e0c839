// What the collection and master-list tests share: the store's services with
// the native file system and the simulated desktop's message boxes, a data
// directory of their own and clips filed the way capture files them. (Clip
// records and collection files written from the layouts: golden_records.h.)
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
#include "clip_text.h"
#include "store_fixture.h"

namespace om::testing {

namespace fs = std::filesystem;

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
  static std::string TextOf(TClipObj& clip) { return ClipText(clip); }

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
