#include "app/app_log.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/fake/fake_desktop.h"
#include "platform/fake/fake_locale.h"

namespace om::testing {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::StartsWith;

constexpr char kHeader[] = "3/5/2024 2:07:09 PM,,,## Quillark Log Session Started: 1.0.02";
constexpr char kStamp[] = "3/5/2024 2:07:09 PM";

class AppLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("om_log_" + std::to_string(::getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    desktop_.Clock().SetNow(EncodeDateTime({2024, 3, 5, 14, 7, 9, 0}));
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::unique_ptr<TAppLog> Create(std::int32_t mask, const fs::path& where) {
    return std::make_unique<TAppLog>(mask, where.string() + "\\", desktop_.Clock(), locale_, level_);
  }
  std::unique_ptr<TAppLog> Create(std::int32_t mask = kDefaultLogLevel) { return Create(mask, dir_); }

  // The file's lines, each checked to end in CR LF.
  static std::vector<std::string> Lines(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string text = buffer.str();
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
      const auto end = text.find("\r\n", start);
      EXPECT_NE(end, std::string::npos) << "unterminated line: " << text.substr(start);
      if (end == std::string::npos) break;
      lines.push_back(text.substr(start, end - start));
      start = end + 2;
    }
    return lines;
  }
  std::vector<std::string> LogLines() { return Lines(dir_ / "LOG.TXT"); }

  fake::FakeDesktop desktop_;
  fake::FakeLocale locale_;
  std::int32_t level_ = 0;
  fs::path dir_;
};

TEST_F(AppLogTest, CreatesTheFolderAndStartsWithTheHeader) {
  dir_ /= "deeper/still";
  auto log = Create();
  EXPECT_EQ(level_, 23);
  EXPECT_EQ(log->FileName(), dir_.string() + "\\LOG.TXT");
  EXPECT_THAT(LogLines(), ElementsAre(kHeader));
  EXPECT_TRUE(LogActive());

  // The stamp is the user's formats, whatever they are.
  locale_.short_date_format = "dd.MM.yyyy";
  locale_.long_time_format = "HH:mm:ss";
  log->Write(loglevel::kError, "Place", "Text");
  EXPECT_EQ(LogLines().back(), "05.03.2024 14:07:09,23,Place,Text");
}

TEST_F(AppLogTest, MaskDecidesWhichLevelsAreWritten) {
  struct Case {
    std::int32_t mask, level;
    bool written;
  };
  const Case cases[] = {
      {23, 32, false}, {23, 16, true}, {23, 0, false}, {23, 1, true},  {23, 2, true},
      {23, 4, true},   {23, 8, false}, {23, 64, false}, {23, 48, true}, {3, 16, false},
      {3, 2, true},    {127, 64, true}, {0, 1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("mask " + std::to_string(c.mask) + ", level " + std::to_string(c.level));
    auto log = Create(c.mask);
    log->Write(c.level, ">Place", "text");
    const auto lines = LogLines();
    if (c.written) {
      EXPECT_THAT(lines, ElementsAre(kHeader, std::string(kStamp) + "," + std::to_string(c.mask) + ",>Place,text"));
    } else {
      EXPECT_THAT(lines, ElementsAre(kHeader));
    }
  }
}

TEST_F(AppLogTest, SecondFieldIsTheMaskAtTheTimeOfWriting) {
  auto log = Create(23);
  log->Write(loglevel::kError, "A", "one");
  log->LogLevel = 3;  // the settings dialog with only "Errors" ticked
  log->Write(loglevel::kError, "B", "two");
  log->Write(loglevel::kDeletion, "C", "not any more");
  EXPECT_EQ(level_, 3);
  EXPECT_THAT(LogLines(), ElementsAre(kHeader, std::string(kStamp) + ",23,A,one", std::string(kStamp) + ",3,B,two"));
}

TEST_F(AppLogTest, CommasAndEmptyFieldsAreWrittenUnchanged) {
  auto log = Create();
  log->Write(loglevel::kError, "TClipObj.Copy, step 2", "a,b,,c");
  log->Write(loglevel::kError, "", "");
  EXPECT_THAT(LogLines(), ElementsAre(kHeader, std::string(kStamp) + ",23,TClipObj.Copy, step 2,a,b,,c",
                                      std::string(kStamp) + ",23,,"));
}

TEST_F(AppLogTest, EachStartKeepsOnlyTheRunBefore) {
  {
    auto first = Create();
    first->Write(loglevel::kError, "run", "1");
  }
  {
    auto second = Create();
    second->Write(loglevel::kError, "run", "2");
  }
  desktop_.Clock().Advance(1000);
  auto third = Create();
  EXPECT_THAT(Lines(dir_ / "PREV_LOG.TXT"), ElementsAre(kHeader, std::string(kStamp) + ",23,run,2"));
  EXPECT_THAT(LogLines(), ElementsAre("3/5/2024 2:07:10 PM,,,## Quillark Log Session Started: 1.0.02"));
}

TEST_F(AppLogTest, GlobalLogGoesToTheLiveLogOnly) {
  fs::path first_file;
  {
    auto log = Create();
    first_file = dir_ / "LOG.TXT";
    Log(loglevel::kError, "Global", "routed");
    Log(loglevel::kData, "Global", "masked");
    EXPECT_THAT(LogLines(), ElementsAre(kHeader, std::string(kStamp) + ",23,Global,routed"));
  }
  Log(loglevel::kError, "Global", "after the log is gone");  // dropped, no crash
  EXPECT_THAT(Lines(first_file), ElementsAre(kHeader, std::string(kStamp) + ",23,Global,routed"));
}

TEST_F(AppLogTest, CreationFailsWhenTheFolderCannotBeMade) {
  fs::create_directories(dir_);
  std::ofstream(dir_ / "file") << "in the way";
  EXPECT_THROW(Create(23, dir_ / "file" / "data"), std::runtime_error);
}

// A log file that cannot be opened (here: its folder was deleted) loses no
// line: they wait and are written, in order, once the file can be opened.
TEST_F(AppLogTest, LinesWaitWhileTheFileCannotBeOpened) {
  const fs::path where = dir_ / "data";
  auto log = Create(23, where);
  log->Write(loglevel::kError, "P", "before");
  fs::remove_all(where);
  log->Write(loglevel::kError, "P", "while gone 1");
  log->Write(loglevel::kError, "P", "while gone 2");
  EXPECT_FALSE(fs::exists(where / "LOG.TXT"));
  fs::create_directories(where);
  log->Write(loglevel::kError, "P", "back");
  EXPECT_THAT(Lines(where / "LOG.TXT"),
              ElementsAre(std::string(kStamp) + ",23,P,while gone 1", std::string(kStamp) + ",23,P,while gone 2",
                          std::string(kStamp) + ",23,P,back"));
}

TEST_F(AppLogTest, AtMostABoundedNumberOfLinesWait) {
  const fs::path where = dir_ / "data";
  auto log = Create(23, where);
  fs::remove_all(where);
  const std::size_t extra = 3;
  for (std::size_t i = 0; i < TAppLog::kMaxPendingLines + extra; ++i) {
    log->Write(loglevel::kError, "P", std::to_string(i));
  }
  fs::create_directories(where);
  log->Write(loglevel::kError, "P", "back");
  const auto lines = Lines(where / "LOG.TXT");
  ASSERT_EQ(lines.size(), 1 + TAppLog::kMaxPendingLines + 1);
  EXPECT_EQ(lines[0], std::string(kStamp) +
                          ",23,TAppLog.Write,3 log lines were lost while the log file could not be written");
  EXPECT_EQ(lines[1], std::string(kStamp) + ",23,P," + std::to_string(extra));  // the oldest went first
  EXPECT_EQ(lines.back(), std::string(kStamp) + ",23,P,back");
}

}  // namespace
}  // namespace om::testing
