// What the clip-store tests share: the store's services on the simulated
// desktop, a live log whose lines a test can look for, a collection folder
// of its own, and a little-endian reader written from the file layouts
// (independent of the program's own stream classes); the byte builders are
// in golden_records.h.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/app_log.h"
#include "clipboard/format_names.h"
#include "platform/datetime.h"
#include "platform/fake/fake_desktop.h"
#include "platform/fake/fake_locale.h"
#include "platform/types.h"
#include "store/clip_coll.h"
#include "store/store_services.h"
#include "golden_records.h"

namespace om::testing {

// Reads a layout back field by field; a read past the end fails the test.
class LayoutReader {
 public:
  explicit LayoutReader(const Bytes& bytes) : bytes_(bytes) {}
  std::uint8_t u8() { return Take(1)[0]; }
  std::uint16_t u16() {
    const std::uint8_t* p = Take(2);
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
  }
  std::int32_t i32() {
    std::uint32_t v = 0;
    const std::uint8_t* p = Take(4);
    for (int i = 3; i >= 0; --i) v = v << 8 | p[i];
    return static_cast<std::int32_t>(v);
  }
  double f64() {
    std::uint64_t v = 0;
    const std::uint8_t* p = Take(8);
    for (int i = 7; i >= 0; --i) v = v << 8 | p[i];
    return std::bit_cast<double>(v);
  }
  std::string str() {
    const std::size_t n = u8();
    const std::uint8_t* p = Take(n);
    return std::string(reinterpret_cast<const char*>(p), n);
  }
  Bytes bytes(std::size_t n) {
    const std::uint8_t* p = Take(n);
    return Bytes(p, p + n);
  }
  std::size_t remaining() const { return bytes_.size() - at_; }

 private:
  const std::uint8_t* Take(std::size_t n) {
    static const std::uint8_t kZeros[256] = {};
    if (n > remaining()) {
      ADD_FAILURE() << "layout read past the end at " << at_;
      at_ = bytes_.size();
      return kZeros;
    }
    const std::uint8_t* p = bytes_.data() + at_;
    at_ += n;
    return p;
  }
  const Bytes& bytes_;
  std::size_t at_ = 0;
};

class StoreTest : public ::testing::Test {
 protected:
  StoreTest()
      : services_(TStoreServices{&desktop_.Clock(), &locale_, &desktop_.Clipboard(), true, false}) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    // Parameterised cases have slashes in their names; the folder is one level.
    std::string name = std::string(info->test_suite_name()) + "_" + info->name();
    std::replace(name.begin(), name.end(), '/', '_');
    dir_ = std::filesystem::temp_directory_path() / ("om_store_" + std::to_string(::getpid()) + "_" + name);
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_ / "coll");
    desktop_.Clock().SetNow(kNow);
    log_ = std::make_unique<TAppLog>(127, (dir_ / "log").string(), desktop_.Clock(), locale_, log_level_);
    coll_.Title = "Coll One";
    // Windows form: the folder text ends in a backslash.
    coll_.DirName = (dir_ / "coll").string() + "\\";
    saved_formats_ = {RTFFormat, HTMLFormat, URLFormat, IgnoreFormat};
    RegisterStartupFormats(desktop_.Clipboard());
  }
  ~StoreTest() override {
    RTFFormat = saved_formats_[0];
    HTMLFormat = saved_formats_[1];
    URLFormat = saved_formats_[2];
    IgnoreFormat = saved_formats_[3];
    log_.reset();
    std::filesystem::remove_all(dir_);
  }

  std::string LogText() const {
    std::ifstream in(dir_ / "log" / "LOG.TXT", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  // True when the log holds a line with this place and exactly this text.
  bool Logged(const std::string& place, const std::string& text) const {
    return LogText().find("," + place + "," + text + "\r\n") != std::string::npos;
  }
  std::size_t LogCount(const std::string& piece) const {
    const std::string log = LogText();
    std::size_t count = 0;
    for (auto at = log.find(piece); at != std::string::npos; at = log.find(piece, at + 1)) ++count;
    return count;
  }

  std::filesystem::path CollFile(const std::string& name) const { return dir_ / "coll" / name; }
  static Bytes ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  static void WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }

  const double kNow = EncodeDateTime({2024, 3, 5, 14, 7, 9, 0});

  fake::FakeDesktop desktop_;
  fake::FakeLocale locale_;
  ScopedStoreServices services_;
  std::int32_t log_level_ = 0;
  std::unique_ptr<TAppLog> log_;
  std::filesystem::path dir_;
  TClipColl coll_;
  std::array<std::uint32_t, 4> saved_formats_{};
};

}  // namespace om::testing
