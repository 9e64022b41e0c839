// What the fuzz targets share: the store's services on a simulated desktop,
// made afresh for every input, and the seed inputs each target declares.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "clipboard/format_names.h"
#include "platform/fake/fake_desktop.h"
#include "platform/fake/fake_locale.h"
#include "platform/types.h"
#include "store/clip_coll.h"
#include "store/clip_obj.h"
#include "store/store_services.h"

namespace om::fuzz {

// The readers register the format names they find with the clipboard. A
// desktop kept for the whole run would collect every name the fuzzer ever
// invents (up to the 16384 numbers the system hands out, then refusals): an
// input's outcome would depend on the inputs before it, and a crash found
// might not happen again when its input is replayed alone. So every input
// gets a desktop of its own. Measured: the runs are about 1.7 times slower
// than with one shared desktop, and the memory is the same (both level off
// near 500 MB, mostly the address sanitizer's quarantine).
class FuzzStore {
 public:
  FuzzStore() : services_(Services(desktop_, locale_)) {
    RegisterStartupFormats(desktop_.Clipboard());
    coll_.Title = "Fuzz";
    // Without a parent an ordinary collection's folder is its DirName.
    coll_.DirName = MissingFolder();
  }

  // Picture and data files are looked for in a folder that does not exist:
  // the readers take their "file cannot be read" paths, and nothing an
  // input does can depend on files left by another.
  TClipColl& Coll() { return coll_; }

 private:
  static TStoreServices Services(fake::FakeDesktop& desktop, fake::FakeLocale& locale) {
    TStoreServices services;
    services.Clock = &desktop.Clock();
    services.Locale = &locale;
    services.Clipboard = &desktop.Clipboard();
    services.MasterListExists = true;
    return services;
  }
  static std::string MissingFolder() {
    static const std::string folder =
        (std::filesystem::temp_directory_path() / ("om_fuzz_missing_" + std::to_string(::getpid()))).string() + "\\";
    return folder;
  }

  fake::FakeDesktop desktop_;
  fake::FakeLocale locale_;
  ScopedStoreServices services_;
  TClipColl coll_;
};

// A named input of the seed corpus, written by `--write-seeds DIR`.
struct FuzzSeed {
  std::string name;
  Bytes bytes;
};
// Defined by each target, next to its LLVMFuzzerTestOneInput.
std::vector<FuzzSeed> FuzzSeeds();

// Ends the process the way a sanitizer report does, so that the fuzzer and
// the replay both count a broken invariant as a crash.
[[noreturn]] inline void FuzzFailure(const char* what) {
  std::fprintf(stderr, "fuzz: invariant broken: %s\n", what);
  std::abort();
}

// Uses a clip just read as the program uses one: audited, its time stamp
// shown, its formats listed, its text locked.
inline void UseLoadedClip(TClipObj& clip) {
  clip.Audit();
  (void)clip.STimeStamp();
  (void)clip.GetIconIndex();
  if (!clip.Online) return;  // a stored-apart clip: its data file is missing
  if (!clip.DataList) FuzzFailure("an online clip without a format list");
  for (std::int32_t i = 0; i < clip.GetFormatCount(); ++i) {
    (void)clip.GetFormatName(i);
    (void)clip.GetFormatNum(i);
    (void)clip.GetDataSize(i);
    (void)clip.GetSelected(i);
  }
  const std::int32_t size = clip.Lock(cf::kText);
  if (size > 0) {
    if (clip.LockedText == nullptr) FuzzFailure("a lock without bytes");
    volatile std::uint8_t last = clip.LockedText[size - 1];  // the whole block is there
    (void)last;
  }
  if (clip.LockedFormat != 0) clip.Unlock();
}

}  // namespace om::fuzz
