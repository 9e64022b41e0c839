// The fuzz targets as ordinary programs, for the native tree and its tests:
//
//   TARGET_replay --write-seeds DIR    writes the target's seed corpus to DIR
//   TARGET_replay FILE|DIR...          feeds every file (every file of every
//                                      folder, in name order) to the target
//
// A crash shows under the sanitizers as it would while fuzzing. Replaying
// nothing is an error, so an empty or missing corpus cannot pass for a
// clean run.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "fuzz/fuzz_store.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

int WriteSeeds(const fs::path& dir) {
  std::error_code error;
  fs::create_directories(dir, error);
  if (error) {
    std::fprintf(stderr, "cannot create %s: %s\n", dir.c_str(), error.message().c_str());
    return 1;
  }
  const std::vector<om::fuzz::FuzzSeed> seeds = om::fuzz::FuzzSeeds();
  for (const auto& seed : seeds) {
    std::ofstream out(dir / seed.name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(seed.bytes.data()), static_cast<std::streamsize>(seed.bytes.size()));
    if (!out) {
      std::fprintf(stderr, "cannot write %s\n", (dir / seed.name).c_str());
      return 1;
    }
  }
  std::printf("wrote %zu seeds to %s\n", seeds.size(), dir.c_str());
  return 0;
}

bool Replay(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", file.c_str());
    return false;
  }
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // A copy of its own, as the fuzzer gives: a read past its end is caught.
  auto copy = std::make_unique<std::uint8_t[]>(bytes.size());
  std::copy(bytes.begin(), bytes.end(), copy.get());
  LLVMFuzzerTestOneInput(copy.get(), bytes.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--write-seeds") return WriteSeeds(argv[2]);
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s --write-seeds DIR | FILE|DIR...\n", argv[0]);
    return 2;
  }
  std::size_t replayed = 0;
  for (int i = 1; i < argc; ++i) {
    const fs::path path = argv[i];
    std::vector<fs::path> files;
    if (fs::is_directory(path)) {
      for (const auto& entry : fs::directory_iterator(path)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
      }
      std::sort(files.begin(), files.end());
    } else {
      files.push_back(path);
    }
    for (const auto& file : files) {
      if (!Replay(file)) return 1;
      ++replayed;
    }
  }
  if (replayed == 0) {
    std::fprintf(stderr, "nothing to replay\n");
    return 1;
  }
  std::printf("replayed %zu inputs, no crash\n", replayed);
  return 0;
}
