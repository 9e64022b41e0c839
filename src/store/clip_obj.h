// A clip: every accepted format of one clipboard change, with its title,
// source application, capture time, serial number and sort key in its
// collection, and the URL of the web page it came from.
//
// The formats (DataList) are in memory while Online. Small text-only clips
// keep them inside the collection file; every other clip keeps them in its
// own data file beside it ("stored apart") and reads them only when they are
// first needed. The record and file layouts are in clip_files.cc; capture
// from the clipboard is in clip_capture.cc, putting a clip back in
// clip_copy.cc.
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

class IPreviewPicture;
class TClipColl;
class TClipView5;
class IFormatFilter;
class TAsciiFoldedSearch;
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

// The clip-type images, by their index in the image list of clip types:
// what GetIconIndex answers and the lists show.
namespace clipimage {
constexpr int kText = 0;
constexpr int kRtf = 1;
constexpr int kBitmap = 2;
constexpr int kWmf = 3;
constexpr int kOle = 4;
constexpr int kUnknown = 5;
constexpr int kHDrop = 6;
constexpr int kHtml = 7;
}  // namespace clipimage

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
  // Drops every format of a clip with text when it has more than one,
  // leaving an empty format list for PutText to fill (the clip is then
  // changed, and its picture files go once its collection's file no longer
  // lists them); the icon flags become the text bit alone, in any case.
  void NukeNonText();

  // --- find (clip_find.cc) ---

  // Whether the search text occurs in Title, compared with only a to z
  // folded to capitals; an empty text occurs nowhere.
  bool FindInTitle(std::string_view text) const;
  bool FindInTitle(TAsciiFoldedSearch& text) const;

  // --- capture (clip_capture.cc) ---

  // Reads the clipboard into this new clip: every format of the viewer's
  // format list (read just before) that the profile accepts for the clip's
  // Creator, in the list's order, one entry each. Retries around a
  // clipboard held by another program (11 attempts, waiting 100 ms more
  // after each) and around a format whose data cannot be had (6 tries with
  // a re-open). A file list or URL that no plain text came before also gives
  // a text entry made from it. The result is the formats kept plus the texts
  // made; 0 when the clipboard could never be opened. A bitmap whose data is
  // bad raises EInvalidGraphic. A bitmap captured is shown in `preview`.
  std::int32_t Paste(TClipView5& view, IFormatFilter& profile, IPreviewPicture* preview = nullptr);
  // One format from the open clipboard appended to DataList: 1, or 0 when
  // its data cannot be had (empty text counts as none).
  std::int32_t PasteOne(TClipView5& view, std::uint32_t format, IPreviewPicture* preview = nullptr);
  // The title the clip's content gives: its text made one line, or
  // "Graphic:" / "Other:" and the capture time. Loads a stored-apart clip.
  std::string GetTitle();
  // One line of at most 60 characters from the start of a text block: every
  // control character a blank, every run of blanks and controls one blank,
  // nothing trimmed; at most the first 1025 bytes are looked at.
  static std::string CleanTitle(const Bytes* block);

  // --- copy back (clip_copy.cc) ---

  // Puts the clip on the clipboard, as SequentialPaste says: off, empties the
  // clipboard and places the ignore marker and every selected format; armed,
  // promises every format instead; rendering (the system asked for data),
  // writes the ignore marker and the selected formats into the clipboard the
  // system holds open, without opening, emptying or closing it. 1 when done,
  // 0 when the clipboard could not be opened (ten attempts). A format that
  // cannot be placed raises EBadCopy; those placed before it stay. The
  // viewer's open count is what it was before, also then.
  std::int32_t Copy(TClipView5& view, IPreviewPicture* preview = nullptr);
  // Places one entry on the open clipboard; raises EBadCopy when it cannot.
  // A registered format's number is first looked up again by its name.
  void CopyOne(TClipData& entry, IPreviewPicture* preview = nullptr);
  // Adds the metafile's clipboard form (and its palette, if any) to the open
  // clipboard. False when the clipboard did not take it.
  bool CopyMetafileToClipboard(const TMetafile& metafile);

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
  // Copies the data and picture files from one collection's folder and
  // serial number to another's; without `copy_only` the sources are then
  // handed to `from` to delete (RemoveClipFile: an ordinary collection
  // deletes them after its next save). True when a source was handed over,
  // that is, when files were moved. Throws EMyStreamError when a file cannot
  // be copied; the copies made before it are removed again, and the
  // sources are all kept.
  bool RelocateFiles(TClipColl* from, const TClipColl* to, std::int32_t old_serial, std::int32_t new_serial,
                     bool copy_only);

  // The folder of the clip's files: its collection's, "" without one.
  std::string Folder() const;

 private:
  void LoadIfOffline();
  TClipData* EntryAt(std::int32_t index);
  bool PasteAttempt(TClipView5& view, IFormatFilter& profile, IPreviewPicture* preview, std::int32_t& kept,
                    bool& text_from_drop, bool& text_from_url);
  std::int32_t PasteFlat(TClipView5& view, std::uint32_t format);
  std::int32_t PasteBitmap(TClipView5& view, IPreviewPicture* preview);
  std::int32_t PasteMetafile(TClipView5& view);
  bool TextFromDropList();
  bool TextFromUrl();
  void PutIgnoreMarker();
  void PromiseOne(TClipData& entry, IPreviewPicture* preview);
  [[noreturn]] void FailCopy(const TClipData& entry);
  bool GoesApart() const;
  void TakeSourceUrlFromData();
};

}  // namespace om
