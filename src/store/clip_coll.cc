#include "store/clip_coll.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/app_log.h"
#include "platform/datetime.h"
#include "store/clip_data.h"
#include "store/clip_obj.h"
#include "store/master_list.h"
#include "store/store_services.h"

namespace om {

namespace {

constexpr std::int32_t kLargestInt32 = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kSortKeyStep = 100;

// The age count of the retention rule: every month 30 days, every year 365.
// A clip from 31 January and one from 1 February get the same number.
std::int64_t DayNumber(const DateTimeParts& date) {
  return (static_cast<std::int64_t>(date.year) - 1980) * 365 + date.month * 30 + date.day;
}

// A time stamp read from a file may be anything; a date-time outside the
// years 1 to 9999 (or not a number) has no day to count from.
std::optional<std::int64_t> DayNumberOf(double stamp) {
  constexpr double kFirstDay = -693593.0;  // 0001-01-01
  constexpr double kLastDay = 2958466.0;   // 9999-12-31 + 1
  if (!std::isfinite(stamp) || stamp < kFirstDay || stamp >= kLastDay) return std::nullopt;
  return DayNumber(DecodeDateTime(stamp));
}

}  // namespace

TClipColl::TClipColl(bool initialise) {
  if (!initialise) return;
  Title = "NEW Collection";
  DirName = "NEW Collection";
  CollType = colltype::kLength;
  Role = collrole::kOrdinary;
  MaxItems = 100;
  MaxDays = 10;
  NewClipPosition = 1;
  Modified = true;
  AcceptNewClips = true;
  AcceptDuplicates = false;
  TreeSortKey = 1010;
  LastSerialNum = 0;
  LastClipSortKey = 0;
  IconIndex = collicon::kLength;
  ListSortColumn = 1;
  ListSortAscending = false;
  Favorite = false;
}

TClipColl::~TClipColl() { DestroyClips(); }

void TClipColl::DestroyClips() {
  if (OwnsClips()) {
    for (TCollEntry& entry : items_) delete entry.Clip;
  }
  items_.clear();
}

void TClipColl::SetEntryTitle(std::int32_t index, std::string_view title) {
  items_.at(static_cast<std::size_t>(index)).Title = std::string(title);
}

std::int32_t TClipColl::IndexOfClip(const TClipObj* clip) const {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].Clip == clip) return static_cast<std::int32_t>(i);
  }
  return -1;
}

std::string TClipColl::GetPath() const {
  if (Parent != nullptr) return Parent->GetPath() + DirName + "\\";
  const TStoreServices& services = StoreServices();
  const bool fresh = services.FreshDataFolder != nullptr && *services.FreshDataFolder;
  // A data source's node holds its whole directory in DirName, fresh data
  // folder or not.
  if (Role == collrole::kTrash || Role == collrole::kSearchResults || (fresh && Role != collrole::kFolderNode)) {
    return services.DataDirectory + DirName + "\\";
  }
  return DirName;
}

void TClipColl::SetModified(bool flag) {
  Modified = flag;
  if (TMasterList* list = StoreServices().MasterList) list->Modified = flag;
}

void TClipColl::SetIconIndex(std::int32_t index) {
  SetModified(true);
  IconIndex = index;
}

std::int32_t TClipColl::GetNextSerialNum() {
  const std::int64_t next = static_cast<std::int64_t>(LastSerialNum) + 1;
  LastSerialNum = next < 1 || next > kLargestInt32 ? 1 : static_cast<std::int32_t>(next);
  return LastSerialNum;
}

std::int32_t TClipColl::GetNextClipSortKey() {
  const std::int64_t next = static_cast<std::int64_t>(LastClipSortKey) + kSortKeyStep;
  LastClipSortKey = next < 1 || next > kLargestInt32 ? kSortKeyStep : static_cast<std::int32_t>(next);
  return LastClipSortKey;
}

std::optional<std::int32_t> TClipColl::MyAddObject(std::string_view title, TClipObj* clip) {
  if (ReadOnly) return std::nullopt;
  TCollEntry entry{std::string(title), clip};
  if (NewClipPosition == 1) {
    items_.insert(items_.begin(), std::move(entry));
  } else {
    items_.push_back(std::move(entry));
  }
  SetModified(true);
  ListStale = true;
  return NewClipPosition;
}

std::optional<std::int32_t> TClipColl::MyAddObjects(const std::vector<TClipObj*>& clips) {
  if (ReadOnly) return std::nullopt;
  if (clips.empty()) return NewClipPosition;
  std::vector<TCollEntry> entries;
  entries.reserve(clips.size());
  for (TClipObj* clip : clips) entries.push_back(TCollEntry{clip->Title, clip});
  if (NewClipPosition == 1) {
    // Added one by one at the top, the last one added comes first.
    items_.insert(items_.begin(), std::make_move_iterator(entries.rbegin()), std::make_move_iterator(entries.rend()));
  } else {
    items_.insert(items_.end(), std::make_move_iterator(entries.begin()), std::make_move_iterator(entries.end()));
  }
  SetModified(true);
  ListStale = true;
  return NewClipPosition;
}

void TClipColl::RemoveItem(std::int32_t index, bool destroy) {
  if (ReadOnly || index < 0 || index >= Count()) return;
  TClipObj* clip = items_[static_cast<std::size_t>(index)].Clip;
  // The search results' clips and their files belong to other collections.
  if (OwnsClips() && clip != nullptr) {
    // The files named by the clip's serial number go whichever formats it
    // holds: asking it would read a stored-apart clip's data only to delete
    // it, and fail when that file is already missing.
    const std::string folder = GetPath();
    const std::string files[] = {
        PictureFileName(folder, clip->SerialNbr, formattype::kBitmap),
        PictureFileName(folder, clip->SerialNbr, formattype::kMetafile),
        DataFileName(folder, clip->SerialNbr),
    };
    for (const std::string& file : files) RemoveClipFile(file);
    if (destroy) delete clip;
  }
  items_.erase(items_.begin() + index);
  ListStale = true;
  SetModified(true);
}

void TClipColl::RemoveClipFile(std::string file) {
  // The search results' clips and their files belong to other collections.
  if (ReadOnly || !OwnsClips()) return;
  // Collections that are saved keep the files until their next file no
  // longer lists the clip; the trash and folder nodes are never saved.
  if (Role == collrole::kOrdinary) {
    // A moved clip's files are handed over twice: once by the move, once
    // with the clip's removal.
    if (std::find(removed_files_.begin(), removed_files_.end(), file) == removed_files_.end()) {
      removed_files_.push_back(std::move(file));
    }
  } else if (IFileSystem* fs = StoreServices().Files) {
    fs->RemoveFile(file);  // a file that cannot be deleted does not stop the removal
  }
}

void TClipColl::DeleteRemovedFiles() {
  std::vector<std::string> files;
  files.swap(removed_files_);
  IFileSystem* fs = StoreServices().Files;
  if (fs == nullptr) return;
  for (const std::string& file : files) fs->RemoveFile(file);
}

void TClipColl::RemoveLogged(std::int32_t index, const char* place) {
  const TClipObj* clip = items_[static_cast<std::size_t>(index)].Clip;
  Log(loglevel::kDeletion, place,
      "Item:" + std::to_string(index) + " " + (clip != nullptr ? clip->Title : std::string()));
  RemoveItem(index, true);
}

void TClipColl::Purge() {
  // An autosave must not delete clips behind the user's back; a read-only
  // collection never changes.
  if (StoreServices().Autosaving || ReadOnly) return;
  Log(loglevel::kDeletion, "BEGIN PURGE", Title);
  const std::int64_t count = Count();
  if (CollType == colltype::kLength && count > MaxItems) {
    if (NewClipPosition == 1) {
      // Newest at the top: the surplus is at the end.
      const std::int64_t keep = std::max<std::int64_t>(MaxItems, 0);
      for (std::int64_t i = count - 1; i >= keep; --i) RemoveLogged(static_cast<std::int32_t>(i), "DELETING (LENGTH)");
    } else {
      const std::int64_t last = std::min<std::int64_t>(count - 1 - MaxItems, count - 1);
      for (std::int64_t i = last; i >= 0; --i) RemoveLogged(static_cast<std::int32_t>(i), "DELETING (LENGTH)");
    }
  } else if (CollType == colltype::kTime) {
    const std::int64_t today = DayNumber(DecodeDateTime(StoreServices().Clock->Now()));
    for (std::int64_t i = count - 1; i >= 0; --i) {
      const TClipObj* clip = items_[static_cast<std::size_t>(i)].Clip;
      // A clip without a countable date is kept: its age is unknown.
      const std::optional<std::int64_t> day = clip != nullptr ? DayNumberOf(clip->TimeStamp) : std::nullopt;
      if (day && today - *day >= MaxDays) RemoveLogged(static_cast<std::int32_t>(i), "DELETING (AGE)");
    }
  }
  Log(loglevel::kDeletion, "END PURGE", Title);
}

void TClipColl::WipeFiles() {
  // A data source's node stands for the whole data directory: never wiped.
  if (ReadOnly || (Role == collrole::kFolderNode && Parent == nullptr)) return;
  IFileSystem& fs = StoreFiles();
  const std::string folder = GetPath();
  if (!fs.DirectoryExists(folder)) return;
  Log(loglevel::kData, "WipeFiles", "About To Wipe Directory:" + folder);
  if (const auto entries = fs.ListDirectory(folder)) {
    for (const TDirEntry& entry : *entries) {
      if (!entry.IsDirectory) fs.RemoveFile(folder + entry.Name);
    }
  }
  fs.RemoveEmptyDirectory(folder);
  removed_files_.clear();
  if (!fs.DirectoryExists(folder)) {
    Log(loglevel::kData, "WipeFiles", "Directory Delete OK:" + folder);
  } else {
    Log(loglevel::kError, "WipeFiles", "Directory Delete NOT Sucessful:" + folder);
  }
}

}  // namespace om
