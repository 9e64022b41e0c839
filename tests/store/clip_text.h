// What the store tests read out of a clip they loaded, with nothing but the
// program's own store headers (the Windows tests use it too).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/types.h"
#include "store/clip_coll.h"
#include "store/clip_obj.h"

namespace om::testing {

// The text of a clip's CF_TEXT up to its terminator, loading a stored-apart
// clip's data file.
inline std::string ClipText(TClipObj& clip) {
  const std::int32_t size = clip.Lock(cf::kText);
  std::string text;
  if (size > 0 && clip.LockedText != nullptr) {
    text.assign(reinterpret_cast<const char*>(clip.LockedText), static_cast<std::size_t>(size));
    text = text.substr(0, text.find('\0'));
  }
  if (clip.LockedFormat != 0) clip.Unlock();
  return text;
}

// Files a CF_TEXT clip titled `title` (as given, not cut) in `coll` as
// capture files one: serial number, sort key, then MyAddObject. The
// collection owns it.
inline TClipObj* AddTextClip(TClipColl& coll, const std::string& title, const std::string& text) {
  auto clip = std::make_unique<TClipObj>(0, "NOTEPAD");
  clip->SetColl(&coll);
  clip->SerialNbr = coll.GetNextSerialNum();
  clip->SortKey = coll.GetNextClipSortKey();
  auto entry = std::make_unique<TClipData>(formattype::kHandle);
  entry->FormatNum = cf::kText;
  entry->FormatName = "TEXT";
  entry->Size = static_cast<std::uint32_t>(text.size() + 1);
  entry->Handle = Bytes(text.begin(), text.end());
  entry->Handle->push_back(0);
  clip->DataList->push_back(std::move(entry));
  clip->Online = true;
  clip->SetIcon(cf::kText);
  clip->Title = title;
  if (!coll.MyAddObject(clip->Title, clip.get())) return nullptr;
  return clip.release();
}

}  // namespace om::testing
