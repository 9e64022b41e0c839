// Fuzz target: a whole collection file ("_COLL.QL4") read into a collection,
// as the master list reads one. The reader's one documented failure is
// EMyStreamError for a header it cannot read; unreadable clips are skipped
// and counted, never thrown. Anything else leaving it ends the run as a
// crash, and so do a report that disagrees with the list and a read past
// the end.
//
// The clips it accepts are used as the program uses them. A collection whose
// clips all live in the file is then written back and read again: what the
// writer makes of anything the reader took must read back whole, and
// writing that once more must give the same bytes.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>

#include "fuzz/fuzz_store.h"
#include "store/clip_coll.h"
#include "store/clip_obj.h"
#include "store/store_errors.h"
#include "tests/store/golden_records.h"

namespace om::fuzz {
namespace {

// Writing a collection makes its folder first; that, and every other file
// operation, is refused here. Clips stored apart then cannot be written
// (EMyStreamError), and nothing an input does reaches the disk.
class RefusingFileSystem final : public IFileSystem {
 public:
  bool FileExists(std::string_view) override { return false; }
  bool DirectoryExists(std::string_view) override { return false; }
  std::optional<std::vector<TDirEntry>> ListDirectory(std::string_view) override { return std::nullopt; }
  std::optional<Bytes> ReadWholeFile(std::string_view) override { return std::nullopt; }
  FsStatus MakeDirectories(std::string_view) override { return FsStatus::kFailed; }
  FsStatus RemoveEmptyDirectory(std::string_view) override { return FsStatus::kFailed; }
  FsStatus RemoveFile(std::string_view) override { return FsStatus::kFailed; }
  FsStatus WriteWholeFile(std::string_view, std::span<const std::uint8_t>, bool) override { return FsStatus::kFailed; }
  FsStatus KeepCopy(std::string_view, std::string_view) override { return FsStatus::kFailed; }
  FsStatus CopyWholeFile(std::string_view, std::string_view) override { return FsStatus::kFailed; }
  FsStatus RenameReplacing(std::string_view, std::string_view) override { return FsStatus::kFailed; }
};

void CheckReport(const TClipColl& coll, const TCollLoadReport& report, const TStreamReader& reader,
                 std::size_t size) {
  if (reader.Position() > size) FuzzFailure("read position past the end");
  if (report.Passed != coll.Count()) FuzzFailure("passed clips and the list differ");
  if (report.Failed < 0) FuzzFailure("a negative failure count");
  if (report.Complete && (report.Failed != 0 || reader.Remaining() != 0)) FuzzFailure("complete but not whole");
  for (const TCollEntry& entry : coll.Items()) {
    if (entry.Clip == nullptr) FuzzFailure("an entry without a clip");
    if (entry.Clip->Coll != &coll) FuzzFailure("a clip attached elsewhere");
  }
}

// The collection as its file: nullopt when a clip cannot be written here
// (its data file would be needed).
std::optional<Bytes> Written(TClipColl& coll) {
  // As a save finds it: the flag it writes is the state, not the content.
  coll.Modified = false;
  TStreamWriter writer;
  try {
    coll.SaveToStream(writer);
  } catch (const EMyStreamError&) {
    return std::nullopt;
  }
  return writer.Data();
}

void RoundTrip(FuzzStore& store, TClipColl& coll) {
  for (const TCollEntry& entry : coll.Items()) {
    if (entry.Clip->StoredApart) return;
  }
  const std::optional<Bytes> first = Written(coll);
  if (!first) return;

  TClipColl again(false);
  again.DirName = store.Coll().DirName;
  TStreamReader reader(*first);
  TCollLoadReport report;
  try {
    report = again.LoadFromStream(reader, true);
  } catch (const EMyStreamError&) {
    FuzzFailure("a written collection's header cannot be read");
  }
  CheckReport(again, report, reader, first->size());
  if (!report.Complete) FuzzFailure("a written collection does not read back whole");
  if (again.Count() != coll.Count()) FuzzFailure("a written collection reads back another number of clips");
  for (std::int32_t i = 0; i < coll.Count(); ++i) {
    if (again.EntryTitle(i) != coll.EntryTitle(i)) FuzzFailure("a clip's title changed on the way");
  }
  const std::optional<Bytes> second = Written(again);
  if (!second || *second != *first) FuzzFailure("writing a collection read back gives other bytes");
}

}  // namespace
}  // namespace om::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace om;
  fuzz::FuzzStore store;
  fuzz::RefusingFileSystem files;
  StoreServices().Files = &files;  // put back with the rest when `store` goes
  TClipColl& coll = store.Coll();
  TStreamReader reader(std::span<const std::uint8_t>(data, size));
  TCollLoadReport report;
  try {
    report = coll.LoadFromStream(reader, /*show_failures=*/true);
  } catch (const EMyStreamError&) {
    if (reader.Position() > size) fuzz::FuzzFailure("read position past the end");
    return 0;
  }
  fuzz::CheckReport(coll, report, reader, size);
  for (const TCollEntry& entry : coll.Items()) {
    try {
      fuzz::UseLoadedClip(*entry.Clip);
    } catch (const EMyStreamError&) {
      // A stored-apart clip whose data file cannot be read: the documented
      // answer of every access that loads it.
    }
  }
  fuzz::RoundTrip(store, coll);
  return 0;
}

namespace om::fuzz {

// The golden collection files of the store tests (tests/store/
// coll_file_test.cc), built from the same layouts and values: every header
// version, clips without sort keys, damaged clips between good ones, counts
// that lie, a header cut short, and clips stored apart.
std::vector<FuzzSeed> FuzzSeeds() {
  using testing::ClipRecord;
  using testing::CollHeader;
  using testing::Golden;
  using testing::kClipStamp;
  using testing::TextBlock;
  const auto header = [](int version, std::int32_t count, const std::string& tag = "") {
    CollHeader h;
    h.version = version;
    h.tag = tag;
    h.count = count;
    return h.Bytes();
  };
  const auto one_clip = [&](int version, const std::string& tag = "") {
    return Golden().raw(header(version, 1, tag)).raw(ClipRecord(510, "clip", 3, 300, "text")).bytes();
  };
  const Bytes data = TextBlock("hello");
  const auto broken = [&](std::int32_t type, std::int32_t length) {
    return Golden()
        .str("CLIP.510").str("broken").str("NOTEPAD").i32(1).f64(kClipStamp).i32(0).i32(2).i32(200).i32(1).str("")
        .u8(0).str("TCLIPDATA.510").i32(type).str("TEXT").u16(1).i32(6).u8(1).i32(length).raw(data)
        .bytes();
  };
  const auto damaged = [&](const Bytes& middle, int next_version) {
    return Golden()
        .raw(header(505, 3))
        .raw(ClipRecord(510, "one", 1, 100, "1"))
        .raw(middle)
        .raw(ClipRecord(next_version, "three", 3, 300, "3"))
        .bytes();
  };
  const Bytes two = Golden().raw(ClipRecord(510, "one", 1, 100, "1")).raw(ClipRecord(510, "two", 2, 200, "2"));
  const Bytes whole_header = header(505, 0);
  const Bytes apart = Golden()
                          .str("CLIP.510").str("apart").str("MSPAINT").i32(2).f64(kClipStamp).i32(0).i32(4)
                          .i32(400).i32(1).str("").u8(1)
                          .bytes();
  return {
      {"v0-notes", one_clip(0, "Notes")},
      {"v0-bad-digits", one_clip(0, "COLL.5X5")},
      {"v400", one_clip(400)},
      {"v401", one_clip(401)},
      {"v500", one_clip(500)},
      {"v501", one_clip(501)},
      {"v502", one_clip(502)},
      {"v503", one_clip(503)},
      {"v504", one_clip(504)},
      {"v505", one_clip(505)},
      {"empty", whole_header},
      {"no-sort-keys", Golden()
                           .raw(header(505, 2))
                           .raw(ClipRecord(400, "older", 4, 0, "a"))
                           .raw(ClipRecord(503, "newer", 9, 120, "b"))},
      {"damaged-type-510-next", damaged(broken(7, 6), 510)},
      {"damaged-type-503-next", damaged(broken(7, 6), 503)},
      {"damaged-type-400-next", damaged(broken(7, 6), 400)},
      {"damaged-length", damaged(broken(0, 0x7FFFFFF0), 510)},
      {"count-too-high", Golden().raw(header(505, 5)).raw(two)},
      {"count-max", Golden().raw(header(505, std::numeric_limits<std::int32_t>::max())).raw(two)},
      {"count-too-low", Golden().raw(header(505, 1)).raw(two)},
      {"count-negative", Golden().raw(header(505, -4)).raw(two)},
      {"header-cut", Bytes(whole_header.begin(), whole_header.end() - 1)},
      {"stored-apart", Golden().raw(header(505, 2)).raw(apart).raw(ClipRecord(510, "inline", 5, 500, "x"))},
  };
}

}  // namespace om::fuzz
