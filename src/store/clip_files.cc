// A clip on disk.
//
// Clip record, inside the collection file (little endian; a short string is
// a length byte and up to 255 bytes of text):
//   tag            short string "CLIP.510"
//   title          short string
//   creator        short string
//   icon flags     int32
//   time stamp     double, days since 1899-12-30
//   reserved       int32
//   serial number  int32
//   sort key       int32
//   format count   int32
//   source URL     short string
//   stored apart   uint8: 0 the format records follow, 1 they are in the
//                  data file "D" + serial + ".DAT" beside the collection file
//   format records (only when not stored apart)
// Older records: a tag "CLIP" or "COLL" of exactly 8 characters carries the
// version in its last three; any other first string is the title of a
// record without tag (version 0). Icon flags appear from version 400, the
// sort key from 503, the source URL from 510.
//
// Format record (clip_data.cc):
//   tag            short string "TCLIPDATA.510" (version in characters 11-13)
//   format type    int32, low byte used: 0 memory block, 1 bitmap, 2 metafile
//   format name    short string
//   format number  uint16
//   size           uint32
//   selected       uint8 (from version 510; older records are selected)
//   data length    int32 (memory blocks only)
//   data           the block's bytes (memory blocks only)
// Bitmaps are in "I" + serial + ".bmp", metafile pictures in "I" + serial +
// ".wmf" (picture_files.h).
#include "store/clip_obj.h"

#include <algorithm>

#include "app/app_log.h"
#include "app/paths.h"
#include "clipboard/format_names.h"
#include "platform/text_case.h"
#include "store/clip_coll.h"
#include "store/store_errors.h"
#include "store/store_services.h"

namespace om {

namespace {

constexpr char kEol[] = "\r\n";
constexpr char kClipTag[] = "CLIP.510";
constexpr int kIconFlagsVersion = 400;
constexpr int kRebuildIconsBelow = 500;
constexpr int kSortKeyVersion = 503;
constexpr int kSourceUrlVersion = 510;
// A format record is at least this long; fewer bytes left cannot hold one.
constexpr std::size_t kMinFormatRecord = 11;
// Text-only clips whose text is at most this long stay inside the
// collection file.
constexpr std::uint32_t kMaxInlineText = 1024;
constexpr std::size_t kMaxShortString = 255;
constexpr std::size_t kMaxSourceUrl = 253;
// The dates a time stamp can hold: 0001-01-01 up to the end of 9999-12-31.
constexpr double kFirstTimeStamp = -693593.0;
constexpr double kEndOfTimeStamps = 2958466.0;

// The number in characters 6 to 8 of an 8-character "CLIP" or "COLL" tag;
// 0 (no tag: the string is the title) for anything else.
int ClipRecordVersion(std::string_view tag) {
  if (tag.size() != 8 || (tag.substr(0, 4) != "CLIP" && tag.substr(0, 4) != "COLL")) return 0;
  int version = 0;
  for (char c : tag.substr(5, 3)) {
    if (c < '0' || c > '9') return 0;
    version = version * 10 + (c - '0');
  }
  return version;
}

std::string Cut(std::string text, std::size_t length) {
  if (text.size() > length) text.resize(length);
  return text;
}

bool MasterListExists() { return StoreServices().MasterListExists; }

}  // namespace

bool TClipObj::GoesApart() const {
  if (!DataList) return false;
  bool text_seen = false;
  for (const auto& entry : *DataList) {
    if (entry->FormatNum != cf::kText) return true;
    if (!text_seen && entry->Size > kMaxInlineText) return true;
    text_seen = true;
  }
  return false;
}

void TClipObj::SaveToStream(TStreamWriter& stream) {
  stream.WriteShortString(kClipTag);
  stream.WriteShortString(Title);
  stream.WriteShortString(Creator);
  stream.WriteI32(IconFlags);
  stream.WriteDouble(TimeStamp);
  stream.WriteI32(Reserved);
  stream.WriteI32(SerialNbr);
  stream.WriteI32(SortKey);
  if (DataList) FormatCount = std::max(static_cast<std::int32_t>(DataList->size()), FormatCount);
  if (!StoredApart && GoesApart()) StoredApart = true;
  // Records written inline are read back by this count, and whatever
  // follows them in the collection file is the next clip: the count must be
  // exactly the records that follow.
  if (!StoredApart) FormatCount = DataList ? static_cast<std::int32_t>(DataList->size()) : 0;
  stream.WriteI32(FormatCount);
  stream.WriteShortString(SourceURL);
  stream.WriteU8(StoredApart ? 1 : 0);

  const std::string folder = Folder();
  if (!StoredApart) {
    if (DataList) {
      for (const auto& entry : *DataList) entry->SaveToStream(stream, SerialNbr, folder);
    }
    Changed = false;
    return;
  }

  const std::string file = DataFileName(folder, SerialNbr);
  if (!Changed && FileExists(file)) return;  // the file is up to date
  try {
    if (Online && DataList) {
      TStreamWriter records;
      for (const auto& entry : *DataList) entry->SaveToStream(records, SerialNbr, folder);
      if (!WriteFileBytes(file, records.Data())) throw EMyStreamError("Cannot create file " + file);
    }
  } catch (...) {
    UnLoad();  // keeps the formats: the clip is still changed
    throw;
  }
  UnLoad();
  Changed = false;
}

bool TClipObj::LoadFromStream(TStreamReader& stream) {
  if (!MasterListExists()) return true;
  Online = false;
  int version = 0;
  try {
    const std::string tag = stream.ReadShortString();
    version = ClipRecordVersion(tag);
    Title = version != 0 ? stream.ReadShortString() : tag;
    Creator = stream.ReadShortString();
    IconFlags = version >= kIconFlagsVersion ? stream.ReadI32() : 0;
    TimeStamp = stream.ReadDouble();
    Reserved = stream.ReadI32();
    SerialNbr = stream.ReadI32();
    SortKey = version >= kSortKeyVersion ? stream.ReadI32() : 0;
    FormatCount = stream.ReadI32();
    SourceURL = version >= kSourceUrlVersion ? stream.ReadShortString() : std::string();
    DataList.reset();
    StoredApart = stream.ReadU8() != 0;
  } catch (const EMyStreamError& error) {
    Log(loglevel::kError, "TClipObj.LoadFromStream", "Clip Record Cut Short: " + std::string(error.what()));
    return false;
  }
  // A time stamp that is no date (not a number, or beyond the years 1 to
  // 9999) cannot be shown or converted: the record is corrupt.
  if (!(TimeStamp >= kFirstTimeStamp && TimeStamp < kEndOfTimeStamps)) {
    Log(loglevel::kError, "TClipObj.LoadFromStream", "Bad Time Stamp For Item: " + std::to_string(SerialNbr));
    return false;
  }

  bool result = true;
  if (!StoredApart) {
    try {
      result = ReadClipData(&stream);
    } catch (const EMyStreamError&) {
      Log(loglevel::kError, "ReadClipData Failed For Item:", std::to_string(SerialNbr) + "[" + Title + "]");
      result = false;
    }
  }
  if (!result) return false;

  // Records from before the icon flags, or whose flags were never set: the
  // flags come from the formats. A stored-apart clip whose file cannot be
  // read keeps 0; the check after loading finds a missing file.
  if (version < kRebuildIconsBelow && IconFlags == 0) {
    try {
      std::int32_t flags = 0;
      if (HasFormat(cf::kText)) flags |= iconflag::kText;
      if (HasFormat(cf::kBitmap)) flags |= iconflag::kBitmap;
      if (HasFormat(cf::kMetafilePict)) flags |= iconflag::kMetafile;
      if (RTFFormat != 0 && HasFormat(RTFFormat)) flags |= iconflag::kRtf;
      IconFlags = flags;
    } catch (const EMyStreamError&) {
    }
  }
  Changed = false;
  if (version < kSourceUrlVersion && AnsiUpperCase(Creator) == "IEXPLORE" && SourceURL.empty()) {
    try {
      TakeSourceUrlFromData();
    } catch (const EMyStreamError&) {
    }
  }
  return true;
}

// Older browser captures kept the page address only inside their HTML (or
// text) data, on a line "SourceURL:...".
void TClipObj::TakeSourceUrlFromData() {
  std::int32_t size = HTMLFormat != 0 ? Lock(HTMLFormat) : 0;
  if (size <= 0) size = Lock(cf::kText);
  std::string value;
  if (size > 0 && LockedFormat != 0) {
    const std::string_view data(reinterpret_cast<const char*>(LockedText), static_cast<std::size_t>(size));
    const std::string_view text = data.substr(0, data.find('\0'));
    constexpr std::string_view kKey = "SourceURL:";
    const std::size_t key = text.find(kKey);
    if (key != std::string_view::npos) {
      const std::size_t start = key + kKey.size();
      const std::size_t end = text.find('\r', start);
      if (end != std::string_view::npos && end - start <= kMaxSourceUrl) value = std::string(text.substr(start, end - start));
    }
  }
  if (LockedFormat != 0) Unlock();
  SourceURL = value;
  Changed = true;
}

bool TClipObj::ReadClipData(TStreamReader* stream) {
  if (!MasterListExists()) return false;
  DataList.emplace();
  const std::string folder = Folder();
  std::optional<Bytes> file_bytes;
  std::optional<TStreamReader> file_reader;
  TStreamReader* in = stream;
  if (StoredApart) {
    const std::string file = DataFileName(folder, SerialNbr);
    file_bytes = ReadFileBytes(file);
    if (!file_bytes) {
      throw EMyStreamError(Cut(std::string("Error Opening File: ") + file + kEol + "For Data Titled: \"" + Title +
                                   "\"" + kEol + "With Timestamp Of: " + STimeStamp() + kEol +
                                   "This Item Will Now Be Deleted",
                               kMaxShortString));
    }
    file_reader.emplace(*file_bytes);
    in = &*file_reader;
  } else if (in == nullptr) {
    throw EMyStreamError(std::string("Error Reading Data Stream From Disk: ") + kEol + "  Online:" +
                         (Online ? "1" : "0") + kEol + "  Creator: " + Creator + kEol +
                         "  SerialNbr: " + std::to_string(SerialNbr) + kEol + "  Collection: " +
                         (Coll != nullptr ? Coll->Title : std::string("Undefined")));
  }

  // Read into a list of its own: a record cut short leaves the clip as it
  // was, not half loaded.
  TClipDataList list;
  bool result = false;
  for (std::int32_t i = 0; i < FormatCount; ++i) {
    if (in->Remaining() < kMinFormatRecord) break;  // nothing further can be read
    auto entry = std::make_unique<TClipData>();
    result = entry->LoadFromStream(*in, SerialNbr, folder);
    // After a record of unknown type the position of the next one is
    // unknown: what follows would be read as garbage.
    if (!result) break;
    list.push_back(std::move(entry));
  }
  DataList = std::move(list);
  Online = true;
  Log(loglevel::kData, "SYSTEM", "LOADED Item: " + std::to_string(SerialNbr));
  return result;
}

void TClipObj::Load() {
  if (!MasterListExists()) return;
  if (!Online && StoredApart) ReadClipData(nullptr);
  Log(loglevel::kData, "SYSTEM", "LOADED On Demand: " + std::to_string(SerialNbr));
}

void TClipObj::UnLoad() {
  if (!MasterListExists()) return;
  if (!StoredApart || !Online || Changed) return;
  ClearClipData();
  DataList.reset();
  Changed = false;
  Online = false;
  Log(loglevel::kData, "SYSTEM", "UNLOADED Item: " + std::to_string(SerialNbr));
}

bool TClipObj::Audit() {
  bool result = true;
  if (StoredApart) {
    const std::string file = DataFileName(Folder(), SerialNbr);
    if (!FileExists(file)) {
      result = false;
      Log(loglevel::kError, "TClipObj.Audit", "Audit Failed: Missing File:" + file);
    }
  }
  if (Online && DataList) {
    for (const auto& entry : *DataList) {
      // Only the three known types can be saved again; a clip holding any
      // other would make every later save of its collection fail.
      if (entry->FormatType > formattype::kMetafile) {
        result = false;
        Log(loglevel::kError, "TClipObj.Audit", "Audit Failed: Bad Format_Type:" + std::to_string(entry->FormatType));
      }
      if (entry->FormatNum == 0) {
        result = false;
        Log(loglevel::kError, "TClipObj.Audit", "Audit Failed: Bad Format:0");
      }
    }
  }
  return result;
}

bool TClipObj::RelocateFiles(TClipColl* from, const TClipColl* to, std::int32_t old_serial, std::int32_t new_serial,
                             bool copy_only) {
  const std::string from_folder = from != nullptr ? from->GetPath() : std::string();
  const std::string to_folder = to != nullptr ? to->GetPath() : std::string();
  // Onto itself there is nothing to copy, and a move would delete the only
  // copy.
  if (AnsiUpperCase(from_folder) == AnsiUpperCase(to_folder) && old_serial == new_serial) return false;
  // The picture files under the names they are written with: the same on a
  // case-blind file system, and found on a case-sensitive one.
  const std::pair<std::string, std::string> files[] = {
      {DataFileName(from_folder, old_serial), DataFileName(to_folder, new_serial)},
      {PictureFileName(from_folder, old_serial, formattype::kBitmap),
       PictureFileName(to_folder, new_serial, formattype::kBitmap)},
      {PictureFileName(from_folder, old_serial, formattype::kMetafile),
       PictureFileName(to_folder, new_serial, formattype::kMetafile)},
  };
  IFileSystem& fs = StoreFiles();
  // Every file is copied before any source is given up. A copy that fails
  // takes back the copies made so far: the clip stays whole where it was,
  // and nothing half made is left where it was going.
  std::vector<const std::pair<std::string, std::string>*> copied;
  for (const auto& pair : files) {
    const auto& [source, destination] = pair;
    if (!fs.FileExists(source)) continue;
    Log(loglevel::kData, "RelocateFiles", "Moving File: " + source + " To:" + destination);
    // A collection not saved yet has no folder yet.
    if (copied.empty() && !fs.DirectoryExists(to_folder)) fs.MakeDirectories(to_folder);
    const FsStatus status = fs.CopyWholeFile(source, destination);
    if (status != FsStatus::kOk) {
      Log(loglevel::kError, "RelocateFiles", "Copy Failed: " + source + " To:" + destination);
      for (const auto* done : copied) fs.RemoveFile(done->second);
      fs.RemoveFile(destination);  // what a failed copy may have left
      throw EMyStreamError("Cannot copy file " + source + " to " + destination);
    }
    copied.push_back(&pair);
  }
  if (copy_only || from == nullptr) return false;
  // The sources go as the source collection lets go of its clips' files:
  // an ordinary collection keeps them until its next file no longer lists
  // the clip, since until then a crash must find the clip there, whole.
  for (const auto* done : copied) from->RemoveClipFile(done->first);
  return !copied.empty();
}

}  // namespace om
