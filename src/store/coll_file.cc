// The collection file "_COLL.QL4" (little endian; a short string is a
// length byte and up to 255 bytes of text):
//   tag                short string "COLL.505"
//   AcceptNewClips     uint8    (from version 401; older files: true)
//   LastSerialNum      int32
//   CollType           uint8
//   Modified           uint8    (read and ignored: a file just read is
//                               not modified)
//   reserved           uint8, uint8
//   (one more byte)    uint8    (only below version 500; ignored)
//   MaxItems           int32
//   MaxDays            int32
//   NewClipPosition    int32
//   Title              short string
//   IconIndex          int32    (from 500; older: from CollType)
//   TreeSortKey        int32    (from 501; older: the legacy counter)
//   AcceptDuplicates   uint8    (from 502; older: false)
//   LastClipSortKey    int32    (from 503; older: 0, and the collection
//                               is marked modified)
//   ListSortColumn     int32    (from 504; older: 1)
//   ListSortAscending  uint8    (from 504; older: false)
//   Favorite           uint8    (from 505; older: false)
//   clip count         int32
//   clip records       (clip_files.cc), in list order
// The version is the number in characters 6-8 of an 8-character tag that
// begins with "COLL"; any other tag is version 0. Files are always written
// as version 505.
#include <algorithm>
#include <cstdio>

#include "app/app_log.h"
#include "app/app_messages.h"
#include "store/clip_coll.h"
#include "store/clip_obj.h"
#include "store/store_errors.h"
#include "store/store_services.h"

namespace om {

namespace {

constexpr char kCollTag[] = "COLL.505";
constexpr int kAcceptNewClipsVersion = 401;
constexpr int kIconIndexVersion = 500;  // also: the extra byte goes
constexpr int kTreeSortKeyVersion = 501;
constexpr int kAcceptDuplicatesVersion = 502;
constexpr int kClipSortKeyVersion = 503;
constexpr int kListSortVersion = 504;
constexpr int kFavoriteVersion = 505;
constexpr std::int32_t kLegacySortKeyStep = 250;

// The resynchronisation looks this far ahead for the next clip record.
constexpr std::size_t kResyncWindow = 2048;
constexpr std::size_t kResyncTail = 10;
// Every unreadable clip is logged up to this many; a file full of garbage
// must not write a million lines.
constexpr std::int32_t kMaxFailureLines = 100;

constexpr char kEol[] = "\r\n";

int CollFileVersion(std::string_view tag) {
  if (tag.size() != 8 || tag.substr(0, 4) != "COLL") return 0;
  int version = 0;
  for (char c : tag.substr(5, 3)) {
    if (c < '0' || c > '9') return 0;
    version = version * 10 + (c - '0');
  }
  return version;
}

std::int32_t IconOfType(std::uint8_t coll_type) {
  switch (coll_type) {
    case colltype::kLength: return collicon::kLength;
    case colltype::kTime: return collicon::kTime;
    case colltype::kSafe: return collicon::kSafe;
    default: return -1;
  }
}

bool IsDigit(std::uint8_t c) { return c >= '0' && c <= '9'; }

// The text of a clip record's tag, as any version writes it: "CLIP" (or the
// "COLL" some old records carry), a dot and three digits.
bool IsClipTagText(const std::uint8_t* p) {
  const bool clip = p[0] == 'C' && p[1] == 'L' && p[2] == 'I' && p[3] == 'P';
  const bool coll = p[0] == 'C' && p[1] == 'O' && p[2] == 'L' && p[3] == 'L';
  return (clip || coll) && p[4] == '.' && IsDigit(p[5]) && IsDigit(p[6]) && IsDigit(p[7]);
}

// After a clip that could not be read: moves to the next clip record's
// length byte within the window ahead, when there is one. The position is
// then wherever the failed read stopped.
void Resynchronise(TStreamReader& stream, const std::string& title) {
  const std::size_t start = stream.Position();
  const std::size_t remaining = stream.Remaining();
  const std::size_t window = remaining > kResyncWindow ? kResyncWindow
                             : remaining > kResyncTail ? remaining - kResyncTail
                                                       : 0;
  constexpr std::size_t kTagText = 8;
  if (window <= kTagText) return;
  const std::span<const std::uint8_t> bytes = stream.Peek(window);
  // k is where the tag's text starts; its length byte (8) stands before it.
  for (std::size_t k = 1; k + kTagText <= window; ++k) {
    if (bytes[k - 1] != kTagText || !IsClipTagText(bytes.data() + k)) continue;
    stream.Seek(start + k - 1);
    char text[400];
    std::snprintf(text, sizeof text, "Read past %d bytes, discarding item: %s", static_cast<int>(k - 1),
                  title.c_str());
    Log(loglevel::kError, "Stream Recovery Sucessful", text);
    return;
  }
}

bool StartsClipRecord(const TStreamReader& stream) {
  constexpr std::size_t kTag = 9;
  if (stream.Remaining() < kTag) return false;
  const std::span<const std::uint8_t> bytes = stream.Peek(kTag);
  return bytes[0] == kTag - 1 && IsClipTagText(bytes.data() + 1);
}

void ShowError(const std::string& text) {
  if (IPrompts* prompts = StoreServices().Prompts) {
    prompts->ShowMessage(text, kApplicationTitle, MsgButtons::kOk, MsgIcon::kError);
  }
}

}  // namespace

void TClipColl::SaveToStream(TStreamWriter& stream) {
  if (ReadOnly) return;
  try {
    StoreFiles().MakeDirectories(GetPath());
    stream.WriteShortString(kCollTag);
    stream.WriteU8(AcceptNewClips ? 1 : 0);
    stream.WriteI32(LastSerialNum);
    stream.WriteU8(CollType);
    stream.WriteU8(Modified ? 1 : 0);
    stream.WriteU8(Reserved1);
    stream.WriteU8(Reserved2);
    stream.WriteI32(MaxItems);
    stream.WriteI32(MaxDays);
    stream.WriteI32(NewClipPosition);
    stream.WriteShortString(Title);
    stream.WriteI32(IconIndex);
    stream.WriteI32(TreeSortKey);
    stream.WriteU8(AcceptDuplicates ? 1 : 0);
    stream.WriteI32(LastClipSortKey);
    stream.WriteI32(ListSortColumn);
    stream.WriteU8(ListSortAscending ? 1 : 0);
    stream.WriteU8(Favorite ? 1 : 0);
    Modified = false;
    stream.WriteI32(Count());
    for (TCollEntry& entry : items_) {
      entry.Clip->SaveToStream(stream);
      entry.Clip->UnLoad();
    }
  } catch (...) {
    // The file was not written: the collection still differs from it.
    SetModified(true);
    throw;
  }
}

TCollLoadReport TClipColl::LoadFromStream(TStreamReader& stream, bool show_failures) {
  Log(loglevel::kData, ">TClipColl.LoadFromStream", "");
  DestroyClips();
  removed_files_.clear();
  bool marked = false;

  const int version = CollFileVersion(stream.ReadShortString());
  AcceptNewClips = version >= kAcceptNewClipsVersion ? stream.ReadU8() != 0 : true;
  LastSerialNum = stream.ReadI32();
  CollType = stream.ReadU8();
  stream.ReadU8();  // Modified as it was saved
  Reserved1 = stream.ReadU8();
  Reserved2 = stream.ReadU8();
  if (version < kIconIndexVersion) stream.ReadU8();
  MaxItems = stream.ReadI32();
  MaxDays = stream.ReadI32();
  NewClipPosition = stream.ReadI32();
  Title = stream.ReadShortString();
  IconIndex = version >= kIconIndexVersion ? stream.ReadI32() : IconOfType(CollType);
  const bool legacy_sort_key = version < kTreeSortKeyVersion;
  if (!legacy_sort_key) TreeSortKey = stream.ReadI32();
  AcceptDuplicates = version >= kAcceptDuplicatesVersion ? stream.ReadU8() != 0 : false;
  if (version >= kClipSortKeyVersion) {
    LastClipSortKey = stream.ReadI32();
  } else {
    LastClipSortKey = 0;
    marked = true;
  }
  ListSortColumn = version >= kListSortVersion ? stream.ReadI32() : 1;
  ListSortAscending = version >= kListSortVersion ? stream.ReadU8() != 0 : false;
  Favorite = version >= kFavoriteVersion ? stream.ReadU8() != 0 : false;
  const std::int32_t count = stream.ReadI32();
  // Only a header read whole takes a legacy key: a file that fails here is
  // tried again from its backup, which takes it then.
  if (legacy_sort_key) {
    std::int32_t& counter = StoreServices().LegacyTreeSortKey;
    TreeSortKey = counter;
    counter += kLegacySortKeyStep;
  }

  TCollLoadReport report;
  for (std::int32_t attempt = 0; attempt < count; ++attempt) {
    const std::size_t start = stream.Position();
    if (stream.Remaining() == 0) {
      // The file announced more clips than it holds.
      report.Failed += count - attempt;
      Log(loglevel::kError, "Error Loading Item:",
          "(" + std::to_string(count - attempt) + " items announced but missing)");
      break;
    }
    auto clip = std::make_unique<TClipObj>(0, "");
    clip->SetColl(this);
    const bool read = clip->LoadFromStream(stream);
    if (stream.Position() == start) {
      // Nothing was read (no master list yet): nothing can be read from
      // here on either.
      report.Failed += count - attempt;
      break;
    }
    if (read && clip->Audit()) {
      AppendLoaded(std::move(clip), marked);
      ++report.Passed;
    } else {
      ++report.Failed;
      if (report.Failed <= kMaxFailureLines) {
        Log(loglevel::kError, "Error Loading Item:", clip->Title);
      } else if (report.Failed == kMaxFailureLines + 1) {
        Log(loglevel::kError, "Error Loading Item:", "(further failures are not logged)");
      }
      if (!read) Resynchronise(stream, clip->Title);
    }
  }
  // Clip records beyond the announced count (a count damaged to something
  // smaller, even negative) are still the user's clips: they are read as
  // long as the next bytes begin a clip record.
  std::int32_t beyond = 0;
  while (report.Failed == 0 && StartsClipRecord(stream)) {
    auto clip = std::make_unique<TClipObj>(0, "");
    clip->SetColl(this);
    const std::size_t start = stream.Position();
    if (!clip->LoadFromStream(stream) || stream.Position() == start || !clip->Audit()) {
      stream.Seek(start);
      break;
    }
    AppendLoaded(std::move(clip), marked);
    ++report.Passed;
    ++beyond;
  }
  if (beyond > 0) {
    Log(loglevel::kError, "TClipColl.LoadFromStream", "Items Beyond The Announced Count: " + std::to_string(beyond));
    marked = true;
  }
  report.Complete = report.Failed == 0 && beyond == 0 && stream.Remaining() == 0;

  if (report.Failed > 0) {
    if (show_failures) {
      ShowError(std::string("There were problems reading some of the items in collection: ") + kEol + "  " +
                Title + kEol + " This may be due to problems saving data from the last session, or  a system crash." +
                kEol + "The number of failed items is: " + std::to_string(report.Failed) + kEol +
                " You may proceed normally.");
    }
    marked = true;  // the next save writes a clean file
  }
  if (ReadOnly) AcceptNewClips = false;
  // Attaching the clips marked the collection; only the rules above count.
  Modified = false;
  if (marked) SetModified(true);
  Log(loglevel::kData, "<TClipColl.LoadFromStream",
      "Passed: " + std::to_string(report.Passed) + " Failed: " + std::to_string(report.Failed));
  return report;
}

void TClipColl::AppendLoaded(std::unique_ptr<TClipObj> clip, bool& marked) {
  if (clip->SortKey == 0) {
    // Records from before sort keys: the serial number's order. (The
    // product wraps as the int32 it is stored in.)
    clip->SortKey = static_cast<std::int32_t>(static_cast<std::uint32_t>(clip->SerialNbr) * 100u);
    LastClipSortKey = std::max(LastClipSortKey, clip->SortKey);
    marked = true;
  }
  std::string title = clip->Title;
  items_.push_back({std::move(title), clip.release()});
}

bool TClipColl::SaveToFile(std::string_view file) {
  if (ReadOnly || Role == collrole::kSearchResults) return true;
  if (!Modified) {
    Log(loglevel::kData, "SaveToFile", "Not Saving, Because Not Dirty: " + Title);
    return false;
  }
  Log(loglevel::kData, "SaveToFile", "Saving collection: " + Title);
  TStreamWriter stream;
  SaveToStream(stream);  // creates the folder
  if (StoreFiles().WriteWholeFile(file, stream.Data(), /*durable=*/true) != FsStatus::kOk) {
    SetModified(true);
    throw EMyStreamError("Cannot write the file " + std::string(file));
  }
  return true;
}

TCollLoadReport TClipColl::LoadFromFile(std::string_view file, bool show_failures) {
  IFileSystem& fs = StoreFiles();
  if (!fs.FileExists(file)) return {};
  const std::optional<Bytes> bytes = fs.ReadWholeFile(file);
  if (!bytes) throw EMyStreamError("Cannot open the file " + std::string(file));
  TStreamReader stream(*bytes);
  return LoadFromStream(stream, show_failures);
}

}  // namespace om
