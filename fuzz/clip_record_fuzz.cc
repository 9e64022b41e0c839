// Fuzz target: one clip record as the collection file holds it, read into a
// clip just made and attached to its collection, the inline format records
// included. The reader promises never to throw for bad data: any exception
// leaving LoadFromStream ends the run as a crash. A clip it accepts is then
// used as the program uses a clip it has just read: audited, its time stamp
// shown, its formats listed.
#include <cstddef>
#include <cstdint>
#include <span>

#include "fuzz/fuzz_store.h"
#include "store/clip_obj.h"
#include "store/store_errors.h"
#include "tests/store/golden_records.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace om;
  fuzz::FuzzStore store;
  TClipObj clip(0, "");
  clip.SetColl(&store.Coll());
  TStreamReader reader(std::span<const std::uint8_t>(data, size));
  const bool ok = clip.LoadFromStream(reader);
  if (reader.Position() > size) fuzz::FuzzFailure("read position past the end");
  if (!ok) return 0;
  if (!clip.StoredApart && !clip.Online) fuzz::FuzzFailure("an inline clip read but not online");
  try {
    fuzz::UseLoadedClip(clip);
  } catch (const EMyStreamError&) {
    // A stored-apart clip whose data file cannot be read: the documented
    // answer of every access that loads it.
  }
  return 0;
}

namespace om::fuzz {

// The golden clip records of the store tests (tests/store/clip_files_test.cc),
// built from the same layout and the same values: every record version,
// stored-apart records, old browser captures and the corrupt cases.
std::vector<FuzzSeed> FuzzSeeds() {
  using testing::BlockRecord;
  using testing::Golden;
  using testing::TextBlock;
  using testing::TextRecord;
  const double stamp = 45000.25;
  const Bytes text = TextRecord("hello");
  const auto header = [&](std::int32_t count) {
    return Golden().str("CLIP.510").str("Bad").str("NOTEPAD").i32(1).f64(stamp).i32(0).i32(3).i32(300).i32(count).str("").u8(0);
  };
  const auto old_browser = [&](const std::string& tag, const std::string& creator, const std::string& data) {
    Golden g;
    g.str(tag).str("T").str(creator).i32(1).f64(stamp).i32(0).i32(3).i32(300).i32(1);
    if (tag == "CLIP.510") g.str("");
    return g.u8(0).raw(TextRecord(data)).bytes();
  };
  const std::string html = "Version:0.9\r\nSourceURL:http://a.example/page\r\n<html>";
  const Bytes abc = TextBlock("abc");
  return {
      {"v0", Golden().str("Old title").str("NOTEPAD").f64(stamp).i32(3).i32(21).i32(1).u8(0).raw(text)},
      {"v0-clipping", Golden().str("CLIPPING").str("NOTEPAD").f64(stamp).i32(3).i32(21).i32(1).u8(0).raw(text)},
      {"v400-flags-0",
       Golden().str("CLIP.400").str("T").str("NOTEPAD").i32(0).f64(stamp).i32(3).i32(21).i32(1).u8(0).raw(text)},
      {"v400-flags-9",
       Golden().str("CLIP.400").str("T").str("NOTEPAD").i32(9).f64(stamp).i32(3).i32(21).i32(1).u8(0).raw(text)},
      {"v500-flags-0",
       Golden().str("CLIP.500").str("T").str("NOTEPAD").i32(0).f64(stamp).i32(3).i32(21).i32(1).u8(0).raw(text)},
      {"v503", Golden().str("CLIP.503").str("T").str("NOTEPAD").i32(1).f64(stamp).i32(3).i32(21).i32(2100).i32(1).u8(0).raw(text)},
      {"v503-coll",
       Golden().str("COLL.503").str("T").str("NOTEPAD").i32(1).f64(stamp).i32(3).i32(21).i32(2100).i32(1).u8(0).raw(text)},
      {"v510", Golden().str("CLIP.510").str("T").str("NOTEPAD").i32(1).f64(stamp).i32(3).i32(21).i32(2100).i32(1)
                   .str("http://example.com/").u8(0).raw(text)},
      {"v510-two-formats",
       Golden().str("CLIP.510").str("Hello").str("NOTEPAD").i32(1).f64(stamp).i32(-4).i32(33).i32(3300).i32(2)
           .str("http://x/").u8(0).raw(TextRecord("hello"))
           .raw(BlockRecord("TCLIPDATA.510", cf::kText, "TEXT", TextBlock("http://x/\r\n"), false))},
      {"v510-registered-format",
       Golden().str("CLIP.510").str("T").str("WORDPAD").i32(8).f64(stamp).i32(0).i32(4).i32(400).i32(1).str("").u8(0)
           .raw(BlockRecord("TCLIPDATA.510", 0xC001, "Rich Text Format", TextBlock("{\\rtf1 x}")))},
      {"v510-stored-apart",
       Golden().str("CLIP.510").str("T").str("NOTEPAD").i32(1).f64(stamp).i32(0).i32(3).i32(300).i32(2).str("").u8(1)},
      {"v400-stored-apart-rebuild",
       Golden().str("CLIP.400").str("T").str("NOTEPAD").i32(0).f64(stamp).i32(0).i32(3).i32(2).u8(1)},
      {"v500-browser-apart",
       Golden().str("CLIP.500").str("T").str("IEXPLORE").i32(1 | 128).f64(stamp).i32(0).i32(3).i32(2).u8(1)},
      {"v503-browser", old_browser("CLIP.503", "iexplore", html)},
      {"v503-browser-253", old_browser("CLIP.503", "IEXPLORE", "SourceURL:" + std::string(253, 'u') + "\r\n")},
      {"v510-browser", old_browser("CLIP.510", "IEXPLORE", html)},
      {"bad-length-beyond",
       header(1).raw(Golden().str("TCLIPDATA.510").i32(0).str("TEXT").u16(1).i32(4).u8(1).i32(0x7FFFFFFF).raw(abc))},
      {"bad-negative-length",
       header(1).raw(Golden().str("TCLIPDATA.510").i32(0).str("TEXT").u16(1).i32(4).u8(1).i32(-5).raw(abc))},
      {"bad-name-beyond", header(1).raw(Golden().str("TCLIPDATA.510").i32(0).u8(200).raw("TEXT").u16(1).i32(4))},
      {"bad-format-type",
       header(1).raw(Golden().str("TCLIPDATA.510").i32(7).str("TEXT").u16(1).i32(4).u8(1).i32(4).raw(abc))},
      {"type-low-byte",
       header(1).raw(Golden().str("TCLIPDATA.510").i32(0x100).str("TEXT").u16(1).i32(4).u8(1).i32(4).raw(abc))},
      {"no-format-records", header(0)},
      {"negative-count", header(-3).raw(TextRecord("abc"))},
      {"huge-count", header(0x7FFFFFFF).raw(TextRecord("abc"))},
      // Inputs the fuzzer found crashing, kept once fixed.
      {"crash-time-stamp-no-date", Golden().str("").str("").f64(6.38758e20).i32(0).i32(367).i32(0).u8(0x17)},
  };
}

}  // namespace om::fuzz
