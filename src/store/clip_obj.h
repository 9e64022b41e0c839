// A clip: every accepted format of one clipboard change, with its title,
// source application, capture time, serial number and sort key in its
// collection, and the URL of the web page it came from.
//
// The formats (DataList) are in memory while Online. Small text-only clips
// keep them inside the collection file; every other clip keeps them in its
// own data file beside it ("stored apart") and reads them only when they are
// first needed. The record and file layouts are in clip_files.cc.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "clipboard/graphics.h"
#include "store/byte_stream.h"
#include "store/clip_data.h"

namespace om {

class TClipColl;
struct TThumbNailEntry;

using TClipDataList = std::vector<std::unique_ptr<TClipData>>;

// Icon flags: one bit per well-known format, kept in the clip's record so
// that lists can show the clip's kind without loading its data.
namespace iconflag {
constexpr std::int32_t kText = 1;
constexpr std::int32_t kBitmap = 2;
constexpr std::int32_t kMetafile = 4;
constexpr std::int32_t kRtf = 8;
constexpr std::int32_t kHDrop = 64;
constexpr std::int32_t kHtml = 128;
// What a format without a bit of its own is tested against: any of the
// text, bitmap, metafile and rich-text bits (and some never set).
constexpr std::int32_t kOtherFormatMask = 0x270F;
}  // namespace iconflag

class TClipObj {
 public:
  // A clip not yet filed in a collection, captured now, titled "X", changed,
  // not online, with an empty format list.
  TClipObj(std::int32_t serial_number, std::string creator);
  ~TClipObj();
  TClipObj(const TClipObj&) = delete;
  TClipObj& operator=(const TClipObj&) = delete;

  // The collection that holds the clip (not owned); gives the folder of the
  // clip's files.
  TClipColl* Coll = nullptr;
  // The formats in capture order; nullopt while they are not in memory.
  std::optional<TClipDataList> DataList;
  std::string Title = "X";
  // The source application, normally upper case without path or extension.
  std::string Creator;
  // Capture time: days since 1899-12-30.
  double TimeStamp = 0;
  std::int32_t Reserved = 0;
  std::int32_t SerialNbr = 0;
  std::int32_t SortKey = 0;
  // Differs from its files.
  bool Changed = true;
  // The formats live in the clip's data file; once set it stays set.
  bool StoredApart = false;
  // The number of formats as last stored; answers while DataList is absent.
  std::int32_t FormatCount = 0;
  bool Online = false;
  std::int32_t IconFlags = 0;
  // The bytes of the locked format, between Lock and Unlock only.
  std::uint8_t* LockedText = nullptr;
  std::int32_t LockedFormat = 0;
  TThumbNailEntry* Thumbnail = nullptr;  // not owned
  std::string SourceURL;

  // Frees the formats and clears Online, when online; otherwise nothing.
  void ClearClipData();
  // Sets Changed and passes the flag on to the collection.
  void SetChanged(bool flag);
  // The first 60 characters; marks the clip changed.
  void SetTitle(std::string_view text);
  // Marks the clip changed, except while start-up loads the collections.
  void SetColl(TClipColl* collection);

  std::int32_t GetFormatCount() const;
  // By position in DataList, loading a stored-apart clip first. Past the
  // end: false, ignored, "", -1, -1.
  bool GetSelected(std::int32_t index);
  void SetSelected(std::int32_t index, bool flag);
  std::string GetFormatName(std::int32_t index);
  std::int32_t GetFormatNum(std::int32_t index);
  std::int32_t GetDataSize(std::int32_t index);

  // A clip whose icon flags rule the format out answers false without
  // loading anything; otherwise the data is loaded and searched. `position`
  // is the entry's index, -1 when absent.
  bool HasFormat(std::uint32_t format, std::int32_t& position);
  bool HasFormat(std::uint32_t format);
  // The format's memory block, or nullptr.
  Bytes* GetHandle(std::uint32_t format);
  // The bitmap for CF_BITMAP, the metafile for CF_METAFILEPICT; nullptr for
  // other formats, absent ones and entries left without a picture.
  TGraphic* GetObj(std::uint32_t format);

  // Direct access to one format's bytes through LockedText; the result is
  // the block's size, 0 when the format is absent or cannot be locked. One
  // format at a time: a lock never released is released here, with a log
  // line.
  std::int32_t Lock(std::uint32_t format);
  void Unlock();

  bool HasIcon(std::uint32_t format) const;
  // Adds the format's bit; returns the new flags.
  std::int32_t SetIcon(std::uint32_t format);
  // The image index of the clip's kind in the lists.
  std::int32_t GetIconIndex() const;
  // The capture time in the user's short date and long time; the time is
  // left out at exactly midnight.
  std::string STimeStamp() const;

  // Makes this new clip a copy of `source`: title, creator, icon flags and,
  // for an inline clip, its text. A stored-apart source's formats are read
  // from the data file the caller copies for this clip (RelocateFiles).
  void CloneClipObj(TClipObj& source);
  // Replaces the text of the entry at `index`, or appends a new CF_TEXT
  // entry when the index is outside the list.
  void PutText(std::string_view text, std::int32_t index);

  // --- files (clip_files.cc) ---

  // Writes the clip record at the writer's end; for a clip stored apart, its
  // data file too (unless it is unchanged and exists). Throws
  // EInvalidFormatType for an entry of unknown type and EMyStreamError when
  // the data file cannot be written.
  void SaveToStream(TStreamWriter& stream);
  // Reads one clip record from the reader's position into a clip just made
  // and attached to its collection. False (with a log line) when the record
  // or its inline formats cannot be read; it never throws for bad data.
  bool LoadFromStream(TStreamReader& stream);
  // Reads the formats inline from `stream`, or from the data file for a
  // clip stored apart. Throws EMyStreamError when the data file cannot be
  // opened, when there is nothing to read from, or when a record is cut
  // short.
  bool ReadClipData(TStreamReader* stream);
  // Brings a stored-apart clip's formats into memory.
  void Load();
  // Drops a stored-apart, unchanged clip's formats from memory.
  void UnLoad();
  // Checks a clip just read: its data file exists, its entries are sound.
  bool Audit();
  // Moves (or copies) the data and picture files from one collection's
  // folder and serial number to another's. True when a source was removed.
  bool RelocateFiles(const TClipColl* from, const TClipColl* to, std::int32_t old_serial,
                     std::int32_t new_serial, bool copy_only);

  // The folder of the clip's files: its collection's, "" without one.
  std::string Folder() const;

 private:
  void LoadIfOffline();
  TClipData* EntryAt(std::int32_t index);
  bool GoesApart() const;
  void TakeSourceUrlFromData();
};

}  // namespace om
