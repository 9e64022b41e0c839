#include "store/clip_filing.h"

#include <memory>

#include "app/app_log.h"
#include "store/clip_coll.h"
#include "store/clip_obj.h"
#include "store/master_list.h"
#include "store/store_errors.h"
#include "store/store_services.h"

namespace om {

namespace {

// The formats of `source`, in memory, given to `copy` (attached to its
// collection, serial number set): written as the file format writes them,
// pictures into the copy's folder under its serial number, and read back.
void CopyFormatsInMemory(TClipObj& source, TClipObj& copy) {
  const std::string folder = copy.Folder();
  TStreamWriter records;
  for (const auto& entry : *source.DataList) entry->SaveToStream(records, copy.SerialNbr, folder);
  copy.ClearClipData();
  copy.DataList.reset();
  copy.StoredApart = false;  // the records come from memory, not a data file
  copy.FormatCount = static_cast<std::int32_t>(source.DataList->size());
  TStreamReader reader(records.Data());
  copy.ReadClipData(&reader);
  copy.SetChanged(true);
}

TFiled CopyClip(TClipObj& clip, TClipColl& from, TClipColl& to) {
  const std::int32_t serial = to.GetNextSerialNum();
  auto copy = std::make_unique<TClipObj>(serial, clip.Creator);
  copy->SortKey = to.GetNextClipSortKey();
  copy->SetColl(&to);
  copy->CloneClipObj(clip);
  if (clip.Online && clip.DataList) {
    // The clip's formats in memory are its newest (an edit, a capture not
    // saved yet); its data file, if any, may be older, and a clip never
    // saved has none.
    if (StoreFiles().MakeDirectories(to.GetPath()) != FsStatus::kOk) {
      throw EMyStreamError("Cannot create the folder " + to.GetPath());
    }
    CopyFormatsInMemory(clip, *copy);
  } else {
    copy->RelocateFiles(&from, &to, clip.SerialNbr, serial, /*copy_only=*/true);
  }
  TClipObj* const filed = copy.get();
  if (!to.MyAddObject(filed->Title, filed)) return {};
  copy.release();  // the collection owns it now
  to.SetModified(true);
  return {filed, false};
}

}  // namespace

TFiled FileClip(TClipObj& clip, TClipColl& from, TClipColl& to, bool copy) {
  if (to.ReadOnly) return {};
  // A read-only collection cannot let go of its clip: it is copied.
  if (copy || from.ReadOnly) return CopyClip(clip, from, to);

  const std::int32_t index = from.IndexOfClip(&clip);
  if (index < 0) return {};
  TStoreServices& services = StoreServices();
  if (TMasterList* list = services.MasterList; list != nullptr && list->MoveNeedsSaveFirst(&from, &to)) {
    // Clips went the other way since the last save: no order of writing
    // both files would keep every clip listed somewhere. Those moves are
    // written first, with nothing purged (no clip may go from under the
    // caller).
    Log(loglevel::kData, "FileClip", "Saving Earlier Moves First: " + from.Title + " / " + to.Title);
    const bool autosaving = services.Autosaving;
    services.Autosaving = true;
    list->Save();
    services.Autosaving = autosaving;
  }

  const std::int32_t old_serial = clip.SerialNbr;
  const std::int32_t new_serial = to.GetNextSerialNum();
  // Copies first; throws, changing nothing, when a copy fails.
  const bool moved = clip.RelocateFiles(&from, &to, old_serial, new_serial, /*copy_only=*/false);
  // Removed under its old serial number: the files the source deletes after
  // its next save are the old ones.
  from.RemoveItem(index, /*destroy=*/false);
  clip.SerialNbr = new_serial;
  clip.SortKey = to.GetNextClipSortKey();
  clip.SetColl(&to);
  to.MyAddObject(clip.Title, &clip);
  from.SetModified(true);
  to.SetModified(true);
  if (TMasterList* list = services.MasterList) list->NoteMove(&from, &to);
  return {&clip, moved};
}

}  // namespace om
