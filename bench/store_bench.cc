// The clip store at scale: a data folder of 100 collections holding 100,000
// clips (80% short text kept inside the collection files, 20% stored apart:
// text of 4 KB to 1 MB or a bitmap of that size, most of them near 4 KB),
// generated once into the temporary folder and reused by later runs.
//
//   BM_MasterListLoad      TMasterList::Load of the whole folder; counters:
//                          the process's resident memory after the load and
//                          what the load added to it
//   BM_SaveModifiedCollection
//                          saving one collection of 10,000 clips after a
//                          change (written, flushed, replaced)
//   BM_FindVsGrep          every clip searched for a word by the find
//                          command's own test (TClipObj::FindInTitle and
//                          TClipColl::FindInbody: lock, copy and fold, search,
//                          unlock, unload), timed against `grep -r -c -F`
//                          for the same word over the same folder; the
//                          counter "ratio" is find / grep
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "clipboard/format_names.h"
#include "platform/fake/fake_desktop.h"
#include "platform/fake/fake_locale.h"
#include "platform/posix/file_system.h"
#include "platform/text_case.h"
#include "store/clip_coll.h"
#include "store/clip_obj.h"
#include "store/master_list.h"
#include "store/store_services.h"

namespace om {
namespace {

namespace fs = std::filesystem;

constexpr char kGeneration[] = "om_bench_store_v1";
constexpr int kCollections = 100;
constexpr int kClipsPerCollection = 1000;
constexpr int kBigCollectionClips = 10000;
constexpr char kNeedle[] = "Zebra-Quartz-42";

std::string Folder(const fs::path& path) { return path.string() + "\\"; }

long ResidentBytes() {
  long pages_total = 0, pages_resident = 0;
  if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%ld %ld", &pages_total, &pages_resident) != 2) pages_resident = 0;
    std::fclose(statm);
  }
  return pages_resident * ::sysconf(_SC_PAGESIZE);
}

class Generator {
 public:
  explicit Generator(std::uint32_t seed) : random_(seed) {
    const char* letters = "abcdefghijklmnopqrstuvwxyz";
    for (int i = 0; i < 3000; ++i) {
      std::string word;
      const int length = Uniform(2, 9);
      for (int j = 0; j < length; ++j) word += letters[Uniform(0, 25)];
      words_.push_back(word);
    }
  }

  int Uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  double Unit() { return std::uniform_real_distribution<double>(0.0, 1.0)(random_); }

  std::string Words(std::size_t length) {
    std::string text;
    while (text.size() < length) {
      if (!text.empty()) text += ' ';
      text += words_[static_cast<std::size_t>(Uniform(0, static_cast<int>(words_.size()) - 1))];
    }
    text.resize(length);
    return text;
  }
  // 4 KB to 1 MB, most near the low end: 4 KB * 256^(u^6), about 40 KB on
  // average.
  std::size_t ApartSize() {
    const double u = Unit();
    return static_cast<std::size_t>(4096.0 * std::pow(256.0, u * u * u * u * u * u));
  }

  // Files one clip as capture does; returns whether the needle went into it.
  bool AddClip(TClipColl& coll) {
    auto clip = std::make_unique<TClipObj>(0, "NOTEPAD");
    clip->SetColl(&coll);
    clip->SerialNbr = coll.GetNextSerialNum();
    clip->SortKey = coll.GetNextClipSortKey();
    const double kind = Unit();
    bool planted = false;
    if (kind < 0.9) {  // text: 80% of all short, 10% long
      std::string text = Words(kind < 0.8 ? static_cast<std::size_t>(Uniform(10, 200)) : ApartSize());
      if (Uniform(0, 499) == 0) {
        text.replace(text.size() / 2, std::strlen(kNeedle), kNeedle);
        planted = true;
      }
      auto entry = std::make_unique<TClipData>(formattype::kHandle);
      entry->FormatNum = cf::kText;
      entry->FormatName = "TEXT";
      entry->Size = static_cast<std::uint32_t>(text.size() + 1);
      entry->Handle = Bytes(text.begin(), text.end());
      entry->Handle->push_back(0);
      clip->DataList->push_back(std::move(entry));
      clip->SetIcon(cf::kText);
      clip->Title = text.substr(0, 60);
    } else {  // a 24-bit bitmap 256 pixels wide
      const std::size_t height = std::max<std::size_t>(1, ApartSize() / 768);
      Bytes dib(40 + height * 768);
      const std::uint32_t header[] = {40, 256, static_cast<std::uint32_t>(height)};
      std::memcpy(dib.data(), header, sizeof header);
      dib[12] = 1;   // planes
      dib[14] = 24;  // bits per pixel
      for (std::size_t i = 40; i < dib.size(); ++i) dib[i] = static_cast<std::uint8_t>(i * 7);
      auto entry = std::make_unique<TClipData>(formattype::kBitmap);
      entry->FormatNum = cf::kBitmap;
      entry->FormatName = "BITMAP";
      entry->Bitmap = std::make_unique<TBitmap>(std::move(dib));
      clip->DataList->push_back(std::move(entry));
      clip->SetIcon(cf::kBitmap);
      clip->Title = "Bitmap " + std::to_string(clip->SerialNbr);
    }
    clip->Online = true;
    TClipObj* added = clip.release();
    coll.MyAddObject(added->Title, added);
    return planted;
  }

 private:
  std::mt19937 random_;
  std::vector<std::string> words_;
};

class World {
 public:
  World()
      : services_(TStoreServices{&desktop_.Clock(), &locale_, &desktop_.Clipboard(), false, false}),
        root_(fs::temp_directory_path() / kGeneration) {
    StoreServices().Files = &files_;
    RegisterStartupFormats(desktop_.Clipboard());
    sources_.push_back({"Data", {1, false, "Data", Folder(root_ / "data"), false, true}});
    big_sources_.push_back({"Big", {2, false, "Big", Folder(root_ / "big"), false, true}});
    const fs::path marker = root_ / "complete";
    std::ifstream in(marker);
    if (!(in >> planted_)) {
      Generate();
      std::ofstream(marker) << planted_;
    }
  }

  std::vector<TDataSourceEntry>& Sources() { return sources_; }
  std::vector<TDataSourceEntry>& BigSources() { return big_sources_; }
  int Planted() const { return planted_; }
  const fs::path& Root() const { return root_; }

 private:
  void Generate() {
    std::fprintf(stderr, "generating %s (once)...\n", root_.string().c_str());
    fs::remove_all(root_);
    TMasterList list;  // clip data is unloaded only while a master list exists
    Generator generator(20240305);
    planted_ = 0;
    for (int c = 0; c < kCollections; ++c) {
      char name[32];
      std::snprintf(name, sizeof name, "Coll %03d", c);
      planted_ += WriteCollection(generator, root_ / "data", name, kClipsPerCollection);
    }
    WriteCollection(generator, root_ / "big", "Big", kBigCollectionClips);
  }

  static int WriteCollection(Generator& generator, const fs::path& source, const std::string& name, int clips) {
    TClipColl node(false);
    node.DirName = Folder(source);
    node.Role = collrole::kFolderNode;
    TClipColl coll(true);
    coll.Parent = &node;
    coll.Title = name;
    coll.DirName = name;
    coll.CollType = colltype::kSafe;
    int planted = 0;
    for (int i = 0; i < clips; ++i) planted += generator.AddClip(coll) ? 1 : 0;
    coll.SaveToFile(coll.GetPath() + kCollFileName);
    return planted;
  }

  fake::FakeDesktop desktop_;
  fake::FakeLocale locale_;
  posix::PosixFileSystem files_;
  ScopedStoreServices services_;
  fs::path root_;
  std::vector<TDataSourceEntry> sources_;
  std::vector<TDataSourceEntry> big_sources_;
  int planted_ = 0;
};

World& TheWorld() {
  static World world;
  return world;
}

std::size_t ClipCount(const TMasterList& list) {
  std::size_t clips = 0;
  for (std::size_t i = 0; i < list.Count(); ++i) clips += static_cast<std::size_t>(list.Items(i)->Count());
  return clips;
}

void BM_MasterListLoad(benchmark::State& state) {
  World& world = TheWorld();
  ::malloc_trim(0);
  const long before = ResidentBytes();
  long after = 0;
  std::size_t clips = 0;
  for (auto _ : state) {
    auto list = std::make_unique<TMasterList>();
    list->Load(world.Sources());
    state.PauseTiming();
    clips = ClipCount(*list);
    after = std::max(after, ResidentBytes());
    list.reset();
    ::malloc_trim(0);
    state.ResumeTiming();
  }
  state.counters["clips"] = static_cast<double>(clips);
  state.counters["rss_after_load_MB"] = static_cast<double>(after) / 1e6;
  state.counters["rss_added_by_load_MB"] = static_cast<double>(after - before) / 1e6;
}
BENCHMARK(BM_MasterListLoad)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SaveModifiedCollection(benchmark::State& state) {
  World& world = TheWorld();
  TMasterList list;
  list.Load(world.BigSources());
  TClipColl* big = list.Items(1);
  int round = 0;
  for (auto _ : state) {
    // One clip retitled, as the user would.
    const std::string title = "Retitled " + std::to_string(++round);
    big->Clip(0)->SetTitle(title);
    big->SetEntryTitle(0, title);
    list.Save();
  }
  state.counters["clips"] = big->Count();
  if (big->Modified) state.SkipWithError("the collection was not saved");
}
BENCHMARK(BM_SaveModifiedCollection)->Unit(benchmark::kMillisecond)->UseRealTime();

// Times `run` once on the wall clock, in milliseconds.
template <typename Run>
double WallMs(Run run) {
  const auto start = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// The find command's test of every clip, as a search of all collections
// makes it (title, then the text, each clip loaded from its data file and
// unloaded again), against `grep -r -c -F` for the same word over the same
// folder. Each iteration runs both, the page cache warm for both; the
// iteration time is the find's, and "ratio" is find / grep.
void BM_FindVsGrep(benchmark::State& state) {
  World& world = TheWorld();
  TMasterList list;
  list.Load(world.Sources());
  const std::string command =
      "grep -r -c -F '" + std::string(kNeedle) + "' '" + (world.Root() / "data").string() + "' > /dev/null";
  TAsciiFoldedSearch search(kNeedle);
  double find_ms = 0, grep_ms = 0;
  for (auto _ : state) {
    int in_bodies = 0, matched = 0;
    const double find = WallMs([&] {
      for (std::size_t i = 0; i < list.Count(); ++i) {
        TClipColl& coll = *list.Items(i);
        for (std::int32_t j = 0; j < coll.Count(); ++j) {
          TClipObj& clip = *coll.Clip(j);
          const bool in_title = clip.FindInTitle(search);
          const bool in_body = TClipColl::FindInbody(clip, search);
          in_bodies += in_body ? 1 : 0;
          matched += in_title || in_body ? 1 : 0;
        }
      }
    });
    const double grep = WallMs([&] {
      if (std::system(command.c_str()) != 0) state.SkipWithError("grep failed");
    });
    state.SetIterationTime(find / 1000.0);
    find_ms += find;
    grep_ms += grep;
    if (in_bodies != world.Planted()) state.SkipWithError("the find did not find every planted word");
    benchmark::DoNotOptimize(matched);
  }
  std::uintmax_t bytes = 0, files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(world.Root() / "data")) {
    if (entry.is_regular_file()) {
      bytes += entry.file_size();
      ++files;
    }
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["clips"] = static_cast<double>(ClipCount(list));
  state.counters["matches"] = world.Planted();
  state.counters["folder_MB"] = static_cast<double>(bytes) / 1e6;
  state.counters["files"] = static_cast<double>(files);
  state.counters["find_ms"] = find_ms / runs;
  state.counters["grep_ms"] = grep_ms / runs;
  state.counters["ratio"] = grep_ms > 0 ? find_ms / grep_ms : 0;
}
BENCHMARK(BM_FindVsGrep)->Unit(benchmark::kMillisecond)->UseManualTime();

}  // namespace
}  // namespace om
