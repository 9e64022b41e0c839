#include "app/app_messages.h"
#include "store/master_list.h"

#include <algorithm>

#include "app/app_log.h"
#include "store/clip_obj.h"
#include "store/store_errors.h"
#include "store/store_services.h"

namespace om {

namespace {

constexpr char kEol[] = "\r\n";
constexpr char kReadOnlySuffix[] = " (Read Only)";

void Show(const std::string& text, MsgIcon icon) {
  if (IPrompts* prompts = StoreServices().Prompts) {
    prompts->ShowMessage(text, kApplicationTitle, MsgButtons::kOk, icon);
  }
}

// Reads `file` into `coll`. With `strict` only a file exactly as a save
// wrote it counts, and its unreadable clips are not reported: it is a
// candidate that may be cut short, not the user's collection yet.
bool LoadFile(TClipColl& coll, const std::string& file, bool strict) {
  try {
    const TCollLoadReport report = coll.LoadFromFile(file, /*show_failures=*/!strict);
    return !strict || report.Complete;
  } catch (const std::exception& error) {
    Log(loglevel::kError, "TMasterList.LoadFromDirectory", "Cannot read " + file + ": " + error.what());
    return false;
  }
}

}  // namespace

TMasterList::TMasterList() {
  TStoreServices& services = StoreServices();
  services.MasterList = this;
  services.MasterListExists = true;
  services.LegacyTreeSortKey = 1000;
}

TMasterList::~TMasterList() {
  Clear();
  TStoreServices& services = StoreServices();
  if (services.MasterList == this) {
    services.MasterList = nullptr;
    services.MasterListExists = false;
  }
}

TClipColl* TMasterList::Add(std::unique_ptr<TClipColl> collection) {
  items_.push_back(std::move(collection));
  return items_.back().get();
}

std::unique_ptr<TClipColl> TMasterList::Extract(const TClipColl* collection) {
  const auto it = std::find_if(items_.begin(), items_.end(),
                               [collection](const auto& item) { return item.get() == collection; });
  if (it == items_.end()) return nullptr;
  std::unique_ptr<TClipColl> out = std::move(*it);
  items_.erase(it);
  // Its clips go with it: nothing waits for it to be written.
  std::erase_if(pending_moves_,
                [collection](const auto& move) { return move.first == collection || move.second == collection; });
  return out;
}

void TMasterList::Clear() {
  // Nested collections first: nothing may outlive the parent it points to.
  while (!items_.empty()) items_.pop_back();
  pending_moves_.clear();
}

bool TMasterList::Load(std::vector<TDataSourceEntry>& sources) {
  bool result = false;
  for (TDataSourceEntry& entry : sources) {
    if (entry.Source.AutoLoad && LoadDataSource(entry.Source)) result = true;
  }
  Modified = false;
  return result;
}

bool TMasterList::LoadDataSource(TDataSource& source) {
  auto node = std::make_unique<TClipColl>(false);
  node->DirName = source.Directory;
  node->Title = source.Description;
  node->IconIndex = collicon::kFolderNode;
  node->Role = collrole::kFolderNode;
  node->DataSource = &source;
  source.Online = true;
  TClipColl* parent = Add(std::move(node));
  return LoadFromDirectory(source.Directory, source.Read_Only, parent);
}

bool TMasterList::LoadFromDirectory(std::string_view dir_text, bool read_only, TClipColl* parent) {
  const std::string dir(dir_text);
  Log(loglevel::kData, ">TMasterList.LoadFromDirectory", "");
  IFileSystem& fs = StoreFiles();
  const std::optional<std::vector<TDirEntry>> entries = fs.ListDirectory(dir);
  std::vector<std::string> names;
  if (entries) {
    for (const TDirEntry& entry : *entries) {
      // Names with a dot are not collection folders ("." and ".." among them).
      if (entry.IsDirectory && entry.Name.find('.') == std::string::npos) names.push_back(entry.Name);
    }
  }
  if (names.empty()) {
    // A read-only source is never changed, not even to tidy it up.
    if (entries && entries->empty() && !read_only) {
      Log(loglevel::kError, "TMasterList.LoadFromDirectory", "Deleting Empty Directory: " + dir);
      fs.RemoveEmptyDirectory(dir);
    }
    Log(loglevel::kData, "<TMasterList.LoadFromDirectory", "Early Exit - No Subdirectories under: " + dir);
    return false;
  }

  bool result = false;
  for (const std::string& name : names) {
    const std::string folder = dir + name + "\\";
    if (!fs.FileExists(folder + kCollFileName) && !fs.FileExists(folder + kCollTempName) &&
        !fs.FileExists(folder + kCollBackupName)) {
      continue;  // not a collection folder, nor anything below it
    }
    std::unique_ptr<TClipColl> loaded = LoadCollectionFolder(dir, name, read_only, parent);
    if (!loaded) continue;
    if (loaded->Role == collrole::kOrdinary) result = true;
    TClipColl* collection = Add(std::move(loaded));
    // Collections nested in a folder stand on their own: they are found
    // below a collection read from its backup, or below one that could not
    // be read at all, as below any other.
    if (LoadFromDirectory(folder, read_only, collection)) {
      result = true;
      Log(loglevel::kData, "Recursive LoadDirectory Call Found Children!", "");
    }
  }
  Log(loglevel::kData, "<TMasterList.LoadFromDirectory", "Normal Exit");
  return result;
}

std::unique_ptr<TClipColl> TMasterList::LoadCollectionFolder(const std::string& dir, const std::string& name,
                                                             bool read_only, TClipColl* parent) {
  IFileSystem& fs = StoreFiles();
  const std::string folder = dir + name + "\\";
  const std::string file = folder + kCollFileName;
  const std::string backup = folder + kCollBackupName;
  const std::string temp = folder + kCollTempName;
  auto fresh = [&] {
    auto coll = std::make_unique<TClipColl>(false);
    coll->ReadOnly = read_only;
    coll->Parent = parent;
    coll->DirName = name;
    return coll;
  };
  auto keep = [&](std::unique_ptr<TClipColl> coll) {
    if (read_only) {
      coll->ReadOnly = true;
      coll->Title += kReadOnlySuffix;
    }
    return coll;
  };

  std::unique_ptr<TClipColl> coll = fresh();
  if (fs.FileExists(file)) {
    if (LoadFile(*coll, file, false)) return keep(std::move(coll));
    if (fs.FileExists(backup)) {
      Show("Ottermoor ERROR opening Collection: " + name + kEol + "An Attempt Will Be Made To Use Backup Copy.",
           MsgIcon::kError);
      coll = fresh();
      if (LoadFile(*coll, backup, false)) {
        Show(std::string("Backup Read Successful! ") + kEol + "(It would be wise to save now.)", MsgIcon::kInformation);
        coll->SetModified(true);
        return keep(std::move(coll));
      }
      Show("Ottermoor ERROR opening BACKUP: " + name + kEol +
               "Please Restore Directory From Tape or Floppy Backup, Or Erase Directory.",
           MsgIcon::kError);
      return nullptr;
    }
    if (read_only) return nullptr;
    // Shown as a folder and never saved: the unreadable file stays as it is.
    coll->Role = collrole::kFolderNode;
    coll->IconIndex = collicon::kFolderNode;
    if (coll->Title.empty()) coll->Title = name;
    coll->Modified = false;
    return coll;
  }

  // No "_COLL.QL4": a save stopped after the old file lost its name and
  // before the new one took it (a replacement the system could not finish).
  // The new file was on the disk before the replacement began; it counts
  // only when it reads exactly as written. Otherwise the previous file.
  if (fs.FileExists(temp)) {
    if (LoadFile(*coll, temp, true)) {
      Log(loglevel::kError, "TMasterList.LoadFromDirectory", "Recovered From " + temp);
      coll->SetModified(true);  // the next save gives it its name
      return keep(std::move(coll));
    }
    coll = fresh();
  }
  if (fs.FileExists(backup) && LoadFile(*coll, backup, false)) {
    Log(loglevel::kError, "TMasterList.LoadFromDirectory", "Recovered From " + backup);
    Show(std::string("Backup Read Successful! ") + kEol + "(It would be wise to save now.)", MsgIcon::kInformation);
    coll->SetModified(true);
    return keep(std::move(coll));
  }
  return nullptr;
}

namespace {

bool IsSaved(const TClipColl* coll) { return coll != nullptr && !coll->ReadOnly && coll->Role == collrole::kOrdinary; }

}  // namespace

void TMasterList::NoteMove(const TClipColl* from, const TClipColl* to) {
  if (!IsSaved(from) || !IsSaved(to) || from == to) return;
  const std::pair<const TClipColl*, const TClipColl*> move{from, to};
  if (std::find(pending_moves_.begin(), pending_moves_.end(), move) == pending_moves_.end()) {
    pending_moves_.push_back(move);
  }
}

bool TMasterList::MovesReach(const TClipColl* from, const TClipColl* to) const {
  std::vector<const TClipColl*> reached{from};
  for (std::size_t i = 0; i < reached.size(); ++i) {
    for (const auto& [source, receiver] : pending_moves_) {
      if (source != reached[i]) continue;
      if (receiver == to) return true;
      if (std::find(reached.begin(), reached.end(), receiver) == reached.end()) reached.push_back(receiver);
    }
  }
  return false;
}

bool TMasterList::MoveNeedsSaveFirst(const TClipColl* from, const TClipColl* to) const {
  return IsSaved(from) && IsSaved(to) && from != to && MovesReach(to, from);
}

std::vector<TClipColl*> TMasterList::SaveOrder() const {
  std::vector<TClipColl*> waiting;
  for (const auto& item : items_) {
    if (IsSaved(item.get())) waiting.push_back(item.get());
  }
  std::vector<TClipColl*> order;
  while (!waiting.empty()) {
    // The first in list order whose receivers are all written already.
    auto ready = std::find_if(waiting.begin(), waiting.end(), [&](const TClipColl* coll) {
      return std::none_of(pending_moves_.begin(), pending_moves_.end(), [&](const auto& move) {
        return move.first == coll && std::find(waiting.begin(), waiting.end(), move.second) != waiting.end();
      });
    });
    // Moves never form a ring (MoveNeedsSaveFirst), but should they, the
    // list order decides.
    if (ready == waiting.end()) ready = waiting.begin();
    order.push_back(*ready);
    waiting.erase(ready);
  }
  return order;
}

void TMasterList::Save() {
  Log(loglevel::kData, "MasterList Save", "Begin Save");
  bool failed = false;
  std::vector<TClipColl*> written;
  std::vector<const TClipColl*> not_written;
  for (TClipColl* const item : SaveOrder()) {
    TClipColl& coll = *item;
    // A source whose receiver could not be written keeps its old file,
    // which still lists the clips that left it.
    const bool receiver_failed = std::any_of(pending_moves_.begin(), pending_moves_.end(), [&](const auto& move) {
      return move.first == item &&
             std::find(not_written.begin(), not_written.end(), move.second) != not_written.end();
    });
    if (receiver_failed) {
      failed = true;
      not_written.push_back(item);
      coll.SetModified(true);
      Log(loglevel::kData, "MasterList SaveToFile", "Save Postponed for collection: " + coll.Title);
      continue;
    }
    try {
      const std::string folder = coll.GetPath();
      const std::string file = folder + kCollFileName;
      const std::string temp = folder + kCollTempName;
      coll.Purge();
      if (coll.SaveToFile(temp)) {
        const FsStatus replaced = ReplaceKeepingBackup(StoreFiles(), file, temp, folder + kCollBackupName);
        if (replaced != FsStatus::kOk) throw EMyStreamError("Cannot replace the file " + file);
        written.push_back(item);
        Log(loglevel::kData, "SaveToFile", "Save Completed for collection: " + coll.DirName);
      }
    } catch (const std::exception&) {
      failed = true;
      not_written.push_back(item);
      // Its file on disk is the old one: the next save tries again.
      coll.SetModified(true);
      Log(loglevel::kData, "MasterList SaveToFile", "Save Bombed for collection: " + coll.Title);
      Show("Quillark ERROR Saving Collection: " + coll.Title + kEol +
               "Last Good Copy, or Backup Copy Will Be Used During Next Session",
           MsgIcon::kError);
    }
  }
  // Only now does no file on disk list the removed clips under their old
  // names, and every moved clip is listed where it went.
  for (TClipColl* const coll : written) coll->DeleteRemovedFiles();
  std::erase_if(pending_moves_, [&](const auto& move) {
    return std::find(not_written.begin(), not_written.end(), move.first) == not_written.end();
  });
  Modified = failed;
  Log(loglevel::kData, "MasterList Save", "End Save");
}

TClipColl* TMasterList::Designate(const ICollectionTreeOrder& tree) {
  const std::vector<TClipColl*> nodes = tree.NodeCollections();
  for (TClipColl* coll : nodes) {
    if (coll != nullptr && coll->AcceptNewClips && !coll->ReadOnly && coll->Role == collrole::kOrdinary) return coll;
  }
  if (nodes.size() < 2 || nodes[1] == nullptr) return nullptr;
  TClipColl* second = nodes[1];
  Show("There are NO collections available that will accept new clips, " + std::string(kEol) + "so (" +
           second->Title + ") will be designated as the collection to receive new clips.",
       MsgIcon::kInformation);
  return second;
}

std::vector<TClipColl*> CollectionTreeOrder(const TMasterList& list) {
  struct Node {
    TClipColl* coll;
    std::vector<std::size_t> children;
  };
  std::vector<Node> nodes;
  std::vector<std::size_t> roots;
  for (std::size_t i = 0; i < list.Count(); ++i) {
    TClipColl* coll = list.Items(i);
    nodes.push_back({coll, {}});
    std::size_t parent = i;
    if (coll->Parent != nullptr) {
      for (std::size_t j = i; j-- > 0;) {
        if (nodes[j].coll == coll->Parent) {
          parent = j;
          break;
        }
      }
    }
    if (parent == i) {
      roots.push_back(i);
    } else {
      nodes[parent].children.push_back(i);
    }
  }
  auto by_key = [&](std::size_t a, std::size_t b) { return nodes[a].coll->TreeSortKey < nodes[b].coll->TreeSortKey; };
  std::vector<TClipColl*> order;
  std::vector<std::size_t> stack;
  std::stable_sort(roots.begin(), roots.end(), by_key);
  for (auto it = roots.rbegin(); it != roots.rend(); ++it) stack.push_back(*it);
  while (!stack.empty()) {
    const std::size_t at = stack.back();
    stack.pop_back();
    order.push_back(nodes[at].coll);
    std::vector<std::size_t> children = nodes[at].children;
    std::stable_sort(children.begin(), children.end(), by_key);
    for (auto it = children.rbegin(); it != children.rend(); ++it) stack.push_back(*it);
  }
  return order;
}

}  // namespace om
