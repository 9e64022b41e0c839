// The application log: "LOG.TXT" in the current data directory, one line per
// event whose level is switched on in the mask, the run before kept as
// "PREV_LOG.TXT". Every line is opened, appended and closed, so the file is
// complete on disk even when the program is killed.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/locale.h"

namespace om {

// Levels: single bits of the mask.
namespace loglevel {
constexpr std::int32_t kChain = 1;
constexpr std::int32_t kError = 2;
constexpr std::int32_t kStartStop = 4;
constexpr std::int32_t kForm = 8;
constexpr std::int32_t kDeletion = 16;
constexpr std::int32_t kData = 32;
constexpr std::int32_t kDetail = 64;
}  // namespace loglevel

constexpr std::int32_t kDefaultLogLevel = 23;
inline constexpr char kLogVersion[] = "1.0.02";

// The log's mask lives outside the log object: the settings load it before
// the log exists, the settings dialog changes it while the program runs, and
// the settings save it at shutdown. One per process, 23 until loaded.
std::int32_t& LogLevelVariable();

class TAppLog {
 public:
  // Create(mask): stores the mask in `level`, creates `directory` (a path
  // with or without trailing backslash) with its parents, keeps an existing
  // "LOG.TXT" as "PREV_LOG.TXT" and starts a new "LOG.TXT" with the header
  // line. From then on this object receives the lines of Log(). Throws
  // std::runtime_error when the directory or "LOG.TXT" cannot be created.
  TAppLog(std::int32_t mask, std::string_view directory, IClock& clock, ILocale& locale,
          std::int32_t& level = LogLevelVariable());
  ~TAppLog();
  TAppLog(const TAppLog&) = delete;
  TAppLog& operator=(const TAppLog&) = delete;

  // Writes one line when `level AND LogLevel` is greater than 0.
  void Write(std::int32_t level, std::string_view place, std::string_view text);

  const std::string& FileName() const { return file_name_; }

  // The event mask; the settings dialog may change it at any time.
  std::int32_t& LogLevel;

  // Lines kept while "LOG.TXT" cannot be opened (see Write).
  static constexpr std::size_t kMaxPendingLines = 500;

 private:
  std::string Stamp();
  bool AppendPending();

  IClock& clock_;
  ILocale& locale_;
  std::string file_name_;
  std::deque<std::string> pending_;  // complete lines, CR LF included
  std::size_t lost_lines_ = 0;
};

// The global logging procedure. Does nothing until a log has written its
// header (while the settings load, for example); afterwards every call goes
// to TAppLog::Write of the live log.
void Log(std::int32_t level, std::string_view place, std::string_view text);
// True once a log has written its header; never cleared.
bool LogActive();

}  // namespace om
