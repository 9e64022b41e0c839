// A collection: a named, ordered list of clips that lives in a folder of its
// own and is stored there as one file, "_COLL.QL4" (layout in coll_file.cc),
// with the clips' data and picture files beside it. It carries its own
// retention rule, decides where a new clip goes and hands out the serial
// numbers and sort keys of the clips filed in it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/byte_stream.h"

namespace om {

class TClipObj;
struct TDataSource;

// Role: what a collection is for.
namespace collrole {
constexpr std::uint8_t kOrdinary = 0;
// A data source's node, or a collection folder whose file could not be read.
constexpr std::uint8_t kFolderNode = 1;
constexpr std::uint8_t kTrash = 2;
// Refers to clips of other collections; owns none of them.
constexpr std::uint8_t kSearchResults = 3;
}  // namespace collrole

// CollType: the retention rule.
namespace colltype {
constexpr std::uint8_t kLength = 0;  // at most MaxItems clips
constexpr std::uint8_t kTime = 1;    // clips at most MaxDays old
constexpr std::uint8_t kSafe = 2;    // nothing is deleted automatically
}  // namespace colltype

// Images of the collections' image list.
namespace collicon {
constexpr std::int32_t kFolderNode = 7;
constexpr std::int32_t kSearchResults = 8;
constexpr std::int32_t kTrash = 9;
constexpr std::int32_t kLength = 10;
constexpr std::int32_t kSafe = 11;
constexpr std::int32_t kTime = 12;
}  // namespace collicon

// The names of a collection's own files in its folder.
inline constexpr char kCollFileName[] = "_COLL.QL4";
inline constexpr char kCollBackupName[] = "_COLL.bak";
inline constexpr char kCollTempName[] = "_COLL.tmp";

// One entry of the list: the title the lists show and the clip.
struct TCollEntry {
  std::string Title;
  TClipObj* Clip = nullptr;
};

// How reading a collection file went.
struct TCollLoadReport {
  std::int32_t Passed = 0;
  std::int32_t Failed = 0;
  // Exactly the clips the file announced were read and nothing follows
  // them: the file is as a save wrote it.
  bool Complete = false;
};

class TAsciiFoldedSearch;

class TClipColl {
 public:
  // With `initialise`: a new collection ("NEW Collection", a length
  // collection of 100 clips, new clips at the top, modified). Without (the
  // state before a file is read): every field zero or empty and DirName "0".
  explicit TClipColl(bool initialise = false);
  // Destroys the clips, except in the search results, which only refer to
  // clips of other collections.
  ~TClipColl();
  TClipColl(const TClipColl&) = delete;
  TClipColl& operator=(const TClipColl&) = delete;

  // The collection whose folder holds this one's; none for data-source
  // nodes and the special collections. Not owned.
  TClipColl* Parent = nullptr;
  // Set on a data source's node only; points into the data-source list.
  TDataSource* DataSource = nullptr;
  // Position among its siblings in the collections tree, smaller first.
  std::int32_t TreeSortKey = 0;
  std::int32_t LastSerialNum = 0;
  std::int32_t LastClipSortKey = 0;
  std::int32_t IconIndex = 0;
  // The folder's name; a data source's node holds the source's directory.
  std::string DirName = "0";
  std::string Title;
  std::uint8_t CollType = colltype::kLength;
  std::uint8_t Role = collrole::kOrdinary;
  // Differs from its file.
  bool Modified = false;
  // Kept in the file and written back unchanged.
  std::uint8_t Reserved1 = 0;
  std::uint8_t Reserved2 = 0;
  std::int32_t MaxItems = 0;
  std::int32_t MaxDays = 0;
  // 1: new clips go to the top (index 0); anything else: to the end.
  std::int32_t NewClipPosition = 0;
  bool AcceptNewClips = false;
  // From a read-only data source: nothing is added, removed, purged, saved
  // or wiped.
  bool ReadOnly = false;
  bool AcceptDuplicates = false;
  std::int32_t ListSortColumn = 0;
  bool ListSortAscending = false;
  bool Favorite = false;
  // Clips were added or removed since the clip list last drew this one.
  bool ListStale = true;

  // --- the list ---
  std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }
  const std::vector<TCollEntry>& Items() const { return items_; }
  TClipObj* Clip(std::int32_t index) const { return items_.at(static_cast<std::size_t>(index)).Clip; }
  const std::string& EntryTitle(std::int32_t index) const { return items_.at(static_cast<std::size_t>(index)).Title; }
  void SetEntryTitle(std::int32_t index, std::string_view title);
  // -1 when the clip is not in the list.
  std::int32_t IndexOfClip(const TClipObj* clip) const;

  // The folder, with trailing backslash: the parent's folder + DirName;
  // without a parent, the data directory + DirName for the trash, the
  // search results and while the data folder is fresh; else DirName itself
  // (a data source's node).
  std::string GetPath() const;
  // Sets Modified and the master list's mark to `flag`.
  void SetModified(bool flag);
  void SetIconIndex(std::int32_t index);
  // LastSerialNum + 1, back to 1 past the largest int32.
  std::int32_t GetNextSerialNum();
  // LastClipSortKey + 100, back to 100 past the largest int32.
  std::int32_t GetNextClipSortKey();

  // Files the clip, at the top when NewClipPosition is 1, else at the end;
  // the collection owns it from now on (the search results only refer to
  // it). Returns NewClipPosition; nullopt on a read-only collection, which
  // adds nothing and leaves the clip with the caller.
  std::optional<std::int32_t> MyAddObject(std::string_view title, TClipObj* clip);
  // MyAddObject for each clip in turn (under its title), in one step: the
  // list is moved once, not once per clip, so that a search with many
  // matches stays linear.
  std::optional<std::int32_t> MyAddObjects(const std::vector<TClipObj*>& clips);
  // Removes the entry, with the clip's data and picture files, and with
  // `destroy` the clip. The files of an ordinary collection go once its
  // next file without the clip is in place (DeleteRemovedFiles): until then
  // the file on disk still lists the clip, and a crash must find it whole.
  void RemoveItem(std::int32_t index, bool destroy);
  // Applies the retention rule; nothing during an autosave.
  void Purge();
  // Deletes the folder with every file in it.
  void WipeFiles();
  // Deletes the files of clips removed since the last save; the master list
  // calls it once the new collection file has taken its name.
  void DeleteRemovedFiles();
  // Deletes a file of one of the collection's clips that the file on disk
  // may still refer to: at once in the trash and folder nodes (never
  // saved), after the next save (DeleteRemovedFiles) in an ordinary
  // collection, never in a read-only one or the search results.
  void RemoveClipFile(std::string file);

  // --- find (clip_find.cc) ---

  // Whether the clip's plain text (CF_TEXT, up to its first zero byte)
  // holds the search text, compared as TClipObj::FindInTitle does. A test
  // of one clip, kept with the collections' search: it locks the text
  // (loading a stored-apart clip) and always unlocks and unloads the clip
  // again, so that a search of every collection leaves their data on disk.
  // A clip whose data file cannot be read is logged and does not match.
  static bool FindInbody(TClipObj& clip, std::string_view text);
  static bool FindInbody(TClipObj& clip, TAsciiFoldedSearch& text);

  // --- the collection file (coll_file.cc) ---

  // Creates the folder, writes the file and then every clip's record
  // (writing stored-apart clips' data files), unloading each clip after
  // it. Nothing for a read-only collection. Throws what writing a clip
  // throws; the collection then stays modified.
  void SaveToStream(TStreamWriter& stream);
  // Replaces the clips with those of the file. Throws EMyStreamError when
  // the header cannot be read; unreadable clips are skipped (resynchronising
  // on the next clip record), counted and, with `show_failures`, reported
  // to the user. Clips are read as the file holds them, whatever count it
  // announces: never past the end, never more than the bytes can hold.
  TCollLoadReport LoadFromStream(TStreamReader& stream, bool show_failures = true);
  // Writes the file when the collection is modified (true), else nothing
  // (false). Always true for read-only collections and the search results,
  // which are never written. The file is on the disk when this returns.
  bool SaveToFile(std::string_view file);
  // Reads the file when it exists; nothing otherwise (an empty report).
  // Throws EMyStreamError when it exists but cannot be read or its header
  // is bad.
  TCollLoadReport LoadFromFile(std::string_view file, bool show_failures = true);

 private:
  void DestroyClips();
  bool OwnsClips() const { return Role != collrole::kSearchResults; }
  void RemoveLogged(std::int32_t index, const char* place);
  void AppendLoaded(std::unique_ptr<TClipObj> clip, bool& marked);

  std::vector<TCollEntry> items_;
  // Files of removed clips that the file on disk may still refer to.
  std::vector<std::string> removed_files_;
};

}  // namespace om
