// The master list: every collection in memory. It finds the collections of
// the data sources on disk, owns them, writes the changed ones back (each
// file replaced in one step, the previous one kept as "_COLL.bak") and
// designates the collection that receives captures.
//
// Order: for each data source loaded, its node (a folder node titled with
// the source's description), then its collections, each followed directly
// by the collections nested in its folder. Start-up appends the trash and
// the search results.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/app_settings.h"
#include "store/clip_coll.h"

namespace om {

// The collections tree's nodes as Designate walks them: the collection of
// each node from the top, in display order (nullptr for a node without
// one). The main window's tree implements it.
class ICollectionTreeOrder {
 public:
  virtual ~ICollectionTreeOrder() = default;
  virtual std::vector<TClipColl*> NodeCollections() const = 0;
};

class TMasterList {
 public:
  // Empty, not modified; the legacy tree-sort-key counter starts at 1000.
  // The list installs itself as the process's master list (StoreServices:
  // MasterList, MasterListExists) until it is destroyed.
  TMasterList();
  ~TMasterList();
  TMasterList(const TMasterList&) = delete;
  TMasterList& operator=(const TMasterList&) = delete;

  // Some collection changed since the last load or save.
  bool Modified = false;

  std::size_t Count() const { return items_.size(); }
  TClipColl* Items(std::size_t index) const { return items_.at(index).get(); }
  // Appends a collection (start-up's trash and search results, a new one).
  TClipColl* Add(std::unique_ptr<TClipColl> collection);
  // Takes a collection out of the list (deleting it); nullptr when absent.
  std::unique_ptr<TClipColl> Extract(const TClipColl* collection);
  // Destroys every collection.
  void Clear();

  // Loads every auto-loaded data source in list order. True when at least
  // one collection was loaded. Not modified afterwards. The sources' nodes
  // point into `sources`: the list must not change while they are in use.
  bool Load(std::vector<TDataSourceEntry>& sources);
  // One data source: its node, then LoadFromDirectory; marks it online.
  bool LoadDataSource(TDataSource& source);
  // The collection folders under `dir` (with trailing backslash): every
  // sub-folder without a dot in its name that holds "_COLL.QL4" (or, after
  // a save cut short, only "_COLL.tmp" or "_COLL.bak"), each followed by
  // the collections nested in it. True when one was loaded.
  bool LoadFromDirectory(std::string_view dir, bool read_only, TClipColl* parent);

  // Writes every changed ordinary collection that is not read-only, after
  // purging it: the new file is written beside the old one and flushed,
  // then takes its name in one step, keeping the old one as "_COLL.bak".
  // A collection that fails is reported and stays modified; the others go
  // on. Collections that received moved clips are written before those the
  // clips left (a source whose receiver failed waits for the next save),
  // and the files of removed clips are deleted only once every collection
  // is written: at no moment does no file on disk list a moved clip.
  void Save();

  // A clip left `from` for `to` (both saved collections): until the next
  // save `to` must be written before `from`.
  void NoteMove(const TClipColl* from, const TClipColl* to);
  // Moving a clip from `from` to `to` now would leave no order in which the
  // next save could write them (clips moved the other way already wait):
  // the mover saves first.
  bool MoveNeedsSaveFirst(const TClipColl* from, const TClipColl* to) const;

  // The first collection in the tree's order that accepts new clips, is not
  // read-only and is ordinary; failing that, the collection of the tree's
  // second node (and a message says so). nullptr when the tree has no
  // second node.
  TClipColl* Designate(const ICollectionTreeOrder& tree);

 private:
  // Reads one collection folder: the file, else its backup or a file a
  // save left behind. nullptr when none of them could be read.
  std::unique_ptr<TClipColl> LoadCollectionFolder(const std::string& dir, const std::string& name, bool read_only,
                                                  TClipColl* parent);

  // Whether a chain of pending moves leads from `from` to `to`.
  bool MovesReach(const TClipColl* from, const TClipColl* to) const;
  // The collections Save writes, receivers of moved clips before their
  // sources, otherwise in list order.
  std::vector<TClipColl*> SaveOrder() const;

  std::vector<std::unique_ptr<TClipColl>> items_;
  // Moves since the last save: (source, receiver).
  std::vector<std::pair<const TClipColl*, const TClipColl*>> pending_moves_;
};

// The order in which the collections tree shows the master list: the
// collections without a parent as roots, each collection under the nearest
// earlier collection that is its parent, siblings by TreeSortKey (equal
// keys in list order), depth first. What Designate walks until the tree
// exists.
std::vector<TClipColl*> CollectionTreeOrder(const TMasterList& list);

class TMasterListTreeOrder final : public ICollectionTreeOrder {
 public:
  explicit TMasterListTreeOrder(const TMasterList& list) : list_(list) {}
  std::vector<TClipColl*> NodeCollections() const override { return CollectionTreeOrder(list_); }

 private:
  const TMasterList& list_;
};

}  // namespace om
