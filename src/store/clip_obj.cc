#include "store/clip_obj.h"

#include <stdexcept>

#include "app/app_log.h"
#include "clipboard/format_names.h"
#include "platform/datetime.h"
#include "platform/locale.h"
#include "platform/types.h"
#include "store/clip_coll.h"
#include "store/store_services.h"

namespace om {

namespace {

constexpr std::size_t kMaxTitle = 60;
constexpr std::size_t kMaxShortString = 255;

// The bit of a well-known format, 0 for any other. RTFFormat and HTMLFormat
// have their bits only once registered: 0 is no format.
std::int32_t IconBit(std::uint32_t format) {
  switch (format) {
    case cf::kText: return iconflag::kText;
    case cf::kBitmap: return iconflag::kBitmap;
    case cf::kMetafilePict: return iconflag::kMetafile;
    case cf::kHDrop: return iconflag::kHDrop;
    default: break;
  }
  if (format != 0 && format == RTFFormat) return iconflag::kRtf;
  if (format != 0 && format == HTMLFormat) return iconflag::kHtml;
  return 0;
}

const char* TableName(std::uint32_t number) {
  for (const FormatNameEntry& entry : kFormatNameTable) {
    if (entry.number == number) return entry.name;
  }
  return "";
}

}  // namespace

TClipObj::TClipObj(std::int32_t serial_number, std::string creator)
    : DataList(TClipDataList{}), Creator(std::move(creator)), SerialNbr(serial_number) {
  IClock* clock = StoreServices().Clock;
  if (clock == nullptr) throw std::logic_error("TClipObj: no clock installed (ScopedStoreServices)");
  TimeStamp = clock->Now();
}

TClipObj::~TClipObj() {
  ClearClipData();
  DataList.reset();
}

void TClipObj::ClearClipData() {
  if (!Online || !DataList) return;
  DataList->clear();
  Online = false;
  LockedText = nullptr;
}

void TClipObj::SetChanged(bool flag) {
  Changed = flag;
  if (Coll != nullptr) Coll->SetModified(flag);
}

void TClipObj::SetTitle(std::string_view text) {
  Title = std::string(text.substr(0, kMaxTitle));
  SetChanged(true);
}

void TClipObj::SetColl(TClipColl* collection) {
  Coll = collection;
  if (!StoreServices().LoadingCollections) SetChanged(true);
}

std::int32_t TClipObj::GetFormatCount() const {
  return DataList ? static_cast<std::int32_t>(DataList->size()) : FormatCount;
}

void TClipObj::LoadIfOffline() {
  if (!Online) Load();
}

TClipData* TClipObj::EntryAt(std::int32_t index) {
  LoadIfOffline();
  if (!DataList || index < 0 || static_cast<std::size_t>(index) >= DataList->size()) return nullptr;
  return (*DataList)[static_cast<std::size_t>(index)].get();
}

bool TClipObj::GetSelected(std::int32_t index) {
  const TClipData* entry = EntryAt(index);
  return entry != nullptr && entry->Selected;
}

void TClipObj::SetSelected(std::int32_t index, bool flag) {
  if (TClipData* entry = EntryAt(index)) entry->Selected = flag;
}

std::string TClipObj::GetFormatName(std::int32_t index) {
  const TClipData* entry = EntryAt(index);
  return entry != nullptr ? entry->FormatName : std::string();
}

std::int32_t TClipObj::GetFormatNum(std::int32_t index) {
  const TClipData* entry = EntryAt(index);
  return entry != nullptr ? entry->FormatNum : -1;
}

std::int32_t TClipObj::GetDataSize(std::int32_t index) {
  const TClipData* entry = EntryAt(index);
  return entry != nullptr ? static_cast<std::int32_t>(entry->Size) : -1;
}

bool TClipObj::HasFormat(std::uint32_t format, std::int32_t& position) {
  position = -1;
  if (IconFlags > 0 && !HasIcon(format)) return false;
  if (!Online) ReadClipData(nullptr);
  if (!DataList) return false;
  for (std::size_t i = 0; i < DataList->size(); ++i) {
    if ((*DataList)[i]->FormatNum == format) {
      position = static_cast<std::int32_t>(i);
      return true;
    }
  }
  return false;
}

bool TClipObj::HasFormat(std::uint32_t format) {
  std::int32_t position = -1;
  return HasFormat(format, position);
}

Bytes* TClipObj::GetHandle(std::uint32_t format) {
  std::int32_t position = -1;
  if (!HasFormat(format, position)) return nullptr;
  TClipData& entry = *(*DataList)[static_cast<std::size_t>(position)];
  return entry.Handle ? &*entry.Handle : nullptr;
}

TGraphic* TClipObj::GetObj(std::uint32_t format) {
  if (format != cf::kBitmap && format != cf::kMetafilePict) return nullptr;
  std::int32_t position = -1;
  if (!HasFormat(format, position)) return nullptr;
  TClipData& entry = *(*DataList)[static_cast<std::size_t>(position)];
  if (format == cf::kBitmap) return entry.Bitmap.get();
  return entry.Metafile.get();
}

std::int32_t TClipObj::Lock(std::uint32_t format) {
  if (!StoreServices().MasterListExists) {
    Log(loglevel::kError, "SYSTEM", "TClipObj.lock - Early Exit, as MasterList is NIL");
    return 0;
  }
  const std::string number = std::to_string(format);
  if (LockedFormat != 0) {
    Log(loglevel::kError, "SYSTEM", "Item:[" + Title + "] is Already Locked!" + number);
    try {
      Unlock();
      Log(loglevel::kError, "SYSTEM", "Item:[" + Title + "] Emergency Unlock Successful" + number);
    } catch (...) {
      Log(loglevel::kError, "SYSTEM", "Item:[" + Title + "] Emergency Unlock Failed" + number);
    }
  }
  LockedFormat = 0;
  LoadIfOffline();
  std::int32_t position = -1;
  if (!HasFormat(format, position)) return 0;
  TClipData& entry = *(*DataList)[static_cast<std::size_t>(position)];
  // Pictures and entries without a block have no bytes to hand out.
  if (entry.FormatType != formattype::kHandle || !entry.Handle) {
    Log(loglevel::kError, "SYSTEM", "Could Not Lock " + number);
    return 0;
  }
  LockedText = entry.Handle->data();
  LockedFormat = static_cast<std::int32_t>(format);
  return static_cast<std::int32_t>(entry.Handle->size());
}

void TClipObj::Unlock() {
  if (!StoreServices().MasterListExists) {
    Log(loglevel::kError, "SYSTEM", "TClipObj.Unlock - Early Exit, as MasterList is NIL");
    return;
  }
  // The blocks live in their entries; there is nothing to release but the
  // mark. LockedText is not cleared and must not be used after this.
  if (LockedFormat == 0) Log(loglevel::kError, "SYSTEM", "Error Unlocking - Item:[" + Title + "] is NOT Locked");
  LockedFormat = 0;
}

bool TClipObj::HasIcon(std::uint32_t format) const {
  const std::int32_t bit = IconBit(format);
  return (IconFlags & (bit != 0 ? bit : iconflag::kOtherFormatMask)) != 0;
}

std::int32_t TClipObj::SetIcon(std::uint32_t format) {
  IconFlags |= IconBit(format);
  return IconFlags;
}

std::int32_t TClipObj::GetIconIndex() const {
  // The bits are tested directly, so the answer does not depend on whether
  // the rich-text and HTML formats are registered yet.
  if (IconFlags & iconflag::kHDrop) return clipimage::kHDrop;
  if (IconFlags & iconflag::kHtml) return clipimage::kHtml;
  if (IconFlags & iconflag::kRtf) return clipimage::kRtf;
  if (IconFlags & iconflag::kText) return clipimage::kText;
  if (IconFlags & iconflag::kBitmap) return clipimage::kBitmap;
  // The picture pseudo-format has no bit of its own: this is the test of
  // any other format, which after the tests above means the metafile bit.
  if (IconFlags & iconflag::kOtherFormatMask) return clipimage::kWmf;
  return clipimage::kUnknown;
}

std::string TClipObj::STimeStamp() const {
  ILocale* locale = StoreServices().Locale;
  if (locale == nullptr) throw std::logic_error("TClipObj: no locale installed (ScopedStoreServices)");
  std::string text = locale->FormatDateTime(TimeStamp);
  if (MillisecondsSinceMidnight(TimeStamp) == 0) {
    // The locale formats date and time together; at midnight the time is
    // cut off again. Should the system's time text differ from the picture
    // (a localised AM designator), the date is rendered from its picture.
    const DateTimeParts parts = DecodeDateTime(TimeStamp);
    std::string time(1, ' ');
    time += FormatDateTimePicture(parts, locale->LongTimeFormat());
    if (text.size() > time.size() && text.compare(text.size() - time.size(), time.size(), time) == 0) {
      text.resize(text.size() - time.size());
    } else {
      text = FormatDateTimePicture(parts, locale->ShortDateFormat());
    }
  }
  if (text.size() > kMaxShortString) text.resize(kMaxShortString);
  return text;
}

void TClipObj::CloneClipObj(TClipObj& source) {
  SetTitle(source.Title);
  Creator = source.Creator;
  Reserved = source.Reserved;
  StoredApart = source.StoredApart;
  FormatCount = source.GetFormatCount();
  for (std::uint32_t format : {std::uint32_t{cf::kText}, RTFFormat, std::uint32_t{cf::kBitmap},
                               std::uint32_t{cf::kMetafilePict}}) {
    if (source.HasIcon(format)) SetIcon(format);
  }
  if (StoredApart) {
    Changed = false;
    // Like a clip whose record was just read: nothing in memory, so the
    // format count and every access go to the data file.
    DataList.reset();
    Online = false;
    return;
  }
  if (const Bytes* text = source.GetHandle(cf::kText)) {
    const std::size_t length = TextLenOfHandle(*text);
    PutText(std::string_view(reinterpret_cast<const char*>(text->data()), length), -1);
  }
}

void TClipObj::PutText(std::string_view text, std::int32_t index) {
  // A stored-apart clip gets its other formats back first: appending to a
  // list that is not in memory would lose them at the next save.
  if (!Online && StoredApart) Load();
  if (!DataList) DataList.emplace();
  Bytes block(text.size() + 2, 0);
  std::copy(text.begin(), text.end(), block.begin());
  if (index < 0 || static_cast<std::size_t>(index) >= DataList->size()) {
    auto entry = std::make_unique<TClipData>(formattype::kHandle);
    entry->Size = static_cast<std::uint32_t>(block.size());
    entry->Handle = std::move(block);
    entry->FormatNum = cf::kText;
    entry->FormatName = TableName(cf::kText);
    DataList->push_back(std::move(entry));
    Online = true;
    SetChanged(true);
    return;
  }
  TClipData& entry = *(*DataList)[static_cast<std::size_t>(index)];
  entry.Bitmap.reset();
  entry.Metafile.reset();
  entry.FormatType = formattype::kHandle;
  entry.Size = static_cast<std::uint32_t>(block.size());
  entry.Handle = std::move(block);
  entry.FormatNum = cf::kText;
  entry.FormatName = TableName(cf::kText);
  SetChanged(true);
  Thumbnail = nullptr;
}

void TClipObj::NukeNonText() {
  Log(loglevel::kError, ">TClipObj.NukeNonText", "");
  // Asking for the text loads a stored-apart clip's formats.
  if (HasFormat(cf::kText) && DataList && DataList->size() > 1) {
    SetChanged(true);
    if (Online && Coll != nullptr) {
      // The picture files go, but only once the collection's file no
      // longer lists the pictures: until the next save, the file on disk
      // (and the clip's data file) still name them, and a crash before it
      // must find the clip as it was, pictures and all.
      const std::string folder = Folder();
      bool bitmap = false;
      bool metafile = false;
      for (const auto& entry : *DataList) {
        bitmap = bitmap || entry->FormatNum == cf::kBitmap;
        metafile = metafile || entry->FormatNum == cf::kMetafilePict;
      }
      if (bitmap) Coll->RemoveClipFile(PictureFileName(folder, SerialNbr, formattype::kBitmap));
      if (metafile) Coll->RemoveClipFile(PictureFileName(folder, SerialNbr, formattype::kMetafile));
    }
    ClearClipData();
    DataList.emplace();
    // The list's thumbnail showed the formats that are gone: it is drawn
    // again.
    Thumbnail = nullptr;
    // The empty list is the clip's data now, in memory: were the clip taken
    // as not loaded, the next access (PutText's among them) would read its
    // old formats back from its data file.
    Online = true;
    FormatCount = 1;
  }
  IconFlags = iconflag::kText;
  Log(loglevel::kError, "<TClipObj.NukeNonText", "");
}

std::string TClipObj::Folder() const { return Coll != nullptr ? Coll->GetPath() : std::string(); }

}  // namespace om
