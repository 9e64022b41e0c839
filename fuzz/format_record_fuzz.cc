// Fuzz target: format records one after another, as a clip's data file
// holds them, read the way a stored-apart clip is loaded. The reader's one
// documented failure is EMyStreamError (a record cut short or claiming more
// bytes than there are); anything else leaving it ends the run as a crash.
//
// The records the reader accepts are then written back and read again: they
// must come back as the same entries, so the writer and the reader cannot
// drift apart for any record the reader takes.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <span>

#include "fuzz/fuzz_store.h"
#include "store/clip_obj.h"
#include "store/store_errors.h"
#include "tests/store/golden_records.h"

namespace om::fuzz {
namespace {

constexpr std::int32_t kSerial = 7;

bool SameEntry(const TClipData& a, const TClipData& b) {
  return a.FormatType == b.FormatType && a.FormatName == b.FormatName && a.FormatNum == b.FormatNum &&
         a.Size == b.Size && a.Selected == b.Selected && a.Handle == b.Handle;
}

// The clip's own reading loop over the whole input.
void ReadAsDataFile(FuzzStore& store, std::span<const std::uint8_t> bytes) {
  TClipObj clip(kSerial, "FUZZ");
  clip.SetColl(&store.Coll());
  // As many records as the input could hold; the loop stops at its end.
  clip.FormatCount = std::numeric_limits<std::int32_t>::max();
  TStreamReader reader(bytes);
  try {
    clip.ReadClipData(&reader);
  } catch (const EMyStreamError&) {
    return;
  }
  if (!clip.Online || !clip.DataList) FuzzFailure("records read but the clip is not online");
  if (reader.Position() > bytes.size()) FuzzFailure("read position past the end");
}

// The records one by one up to the first the reader refuses, written back
// and read again.
void RoundTrip(FuzzStore& store, std::span<const std::uint8_t> bytes) {
  TStreamReader reader(bytes);
  TClipDataList accepted;
  try {
    while (reader.Remaining() > 0) {
      auto entry = std::make_unique<TClipData>();
      if (!entry->LoadFromStream(reader, kSerial, store.Coll().GetPath())) break;
      if (entry->FormatType == formattype::kHandle && !entry->Handle) FuzzFailure("a memory block without its bytes");
      accepted.push_back(std::move(entry));
    }
  } catch (const EMyStreamError&) {
  }
  if (accepted.empty()) return;

  TStreamWriter writer;
  for (const auto& entry : accepted) entry->SaveToStream(writer, kSerial, store.Coll().GetPath());

  TClipObj clip(kSerial, "FUZZ");
  clip.SetColl(&store.Coll());
  clip.FormatCount = static_cast<std::int32_t>(accepted.size());
  TStreamReader again(writer.Data());
  bool ok = false;
  try {
    ok = clip.ReadClipData(&again);
  } catch (const EMyStreamError&) {
    FuzzFailure("records written by the program cannot be read back");
  }
  if (!ok || !clip.DataList || clip.DataList->size() != accepted.size()) FuzzFailure("records lost in a round trip");
  if (again.Remaining() != 0) FuzzFailure("bytes left over after a round trip");
  for (std::size_t i = 0; i < accepted.size(); ++i) {
    if (!SameEntry(*accepted[i], *(*clip.DataList)[i])) FuzzFailure("a record changed in a round trip");
  }
}

}  // namespace
}  // namespace om::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  om::fuzz::FuzzStore store;
  const std::span<const std::uint8_t> bytes(data, size);
  om::fuzz::ReadAsDataFile(store, bytes);
  om::fuzz::RoundTrip(store, bytes);
  return 0;
}

namespace om::fuzz {

// The golden format records and data files of the store tests
// (tests/store/clip_files_test.cc), built from the same layout and values.
std::vector<FuzzSeed> FuzzSeeds() {
  using testing::BlockRecord;
  using testing::Golden;
  using testing::PictureRecord;
  using testing::TextBlock;
  using testing::TextRecord;
  const Bytes abc = TextBlock("abc");
  Bytes cut = TextRecord("abcdef");
  cut.resize(cut.size() - 3);
  return {
      {"text", TextRecord("hello")},
      {"510-deselected", BlockRecord("TCLIPDATA.510", 1, "TEXT", abc, false)},
      {"500-no-flag", BlockRecord("TCLIPDATA.500", 1, "TEXT", abc, std::nullopt)},
      {"no-version", BlockRecord("TCLIPDATA", 1, "TEXT", abc, std::nullopt)},
      {"html-format", BlockRecord("TCLIPDATA.510", 0xC0AB, "HTML Format", Bytes{1, 2})},
      {"unknown-public-700", BlockRecord("TCLIPDATA.510", 700, "UNKN_PUBLIC:700", Bytes{1, 2})},
      {"table-name-registered-number", BlockRecord("TCLIPDATA.510", 0xC222, "locale", Bytes{1, 2})},
      {"text-and-locale", Golden().raw(TextRecord("ten bytes")).raw(BlockRecord("TCLIPDATA.510", 16, "LOCALE", Bytes{9, 4, 0, 0}))},
      {"unicode-text", BlockRecord("TCLIPDATA.510", 13, "UNICODTEXT", Bytes{'a', 0, 0, 0})},
      {"pictures", Golden().raw(PictureRecord(1, 2, "BITMAP")).raw(PictureRecord(2, 3, "PICTURE"))},
      {"html-and-text", Golden().raw(TextRecord("SourceURL:text\r\n"))
                            .raw(BlockRecord("TCLIPDATA.510", 0xC0AB, "HTML Format", TextBlock("SourceURL:html\r\n")))},
      {"unknown-type-then-text",
       Golden().raw(Golden().str("TCLIPDATA.510").i32(5).str("TEXT").u16(1).i32(4).u8(1).i32(4).raw(abc)).raw(TextRecord("second"))},
      {"cut-short", cut},
      {"negative-length", Golden().str("TCLIPDATA.510").i32(0).str("TEXT").u16(1).i32(4).u8(1).i32(-5).raw(abc)},
  };
}

}  // namespace om::fuzz
