// Filing a clip into another collection: moving it there or copying it,
// its data and picture files with it.
//
// Nothing is lost on the way. A move copies the clip's files to the target
// folder under the clip's new serial number first; the source files go
// only once the source collection's file no longer lists the clip (the
// collection's removed files, deleted after its next save), and the master
// list writes the target before the source. A crash at any moment leaves
// the clip in the source, in the target, or briefly in both, never in
// neither.
#pragma once

namespace om {

class TClipColl;
class TClipObj;

struct TFiled {
  // The clip now in the target: the clip itself after a move, the new clip
  // after a copy; nullptr when nothing was filed (a read-only target, or a
  // clip its source does not hold).
  TClipObj* Clip = nullptr;
  // A move handed side files over to be deleted from the source's folder
  // (TClipObj::RelocateFiles answered true).
  bool FilesMoved = false;
};

// Moves (or with `copy` copies) `clip` of collection `from` into `to`. The
// clip gets `to`'s next serial number and sort key; both collections are
// marked modified (only `to` for a copy). A move out of a read-only
// collection, which cannot let go of the clip, copies it.
//
// A copy takes the formats as they are now: those in memory when the clip
// has them there (the newest, perhaps not saved yet), else those of its
// data file.
//
// Throws EMyStreamError when a file cannot be copied (the disk is full, the
// file is held by another program): then nothing has changed, the clip is
// whole in `from` and nothing of it is in `to`.
TFiled FileClip(TClipObj& clip, TClipColl& from, TClipColl& to, bool copy);

}  // namespace om
