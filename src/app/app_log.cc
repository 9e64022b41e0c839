#include "app/app_log.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>

#include "app/paths.h"

namespace om {
namespace {

bool g_active = false;
TAppLog* g_log = nullptr;

constexpr char kEol[] = "\r\n";

}  // namespace

std::int32_t& LogLevelVariable() {
  static std::int32_t level = kDefaultLogLevel;
  return level;
}

TAppLog::TAppLog(std::int32_t mask, std::string_view directory, IClock& clock, ILocale& locale,
                 std::int32_t& level)
    : LogLevel(level), clock_(clock), locale_(locale) {
  LogLevel = mask;
  const std::string dir = IncludeTrailingBackslash(directory);
  file_name_ = dir + "LOG.TXT";
  const std::filesystem::path log_path = ToFsPath(file_name_);
  const std::filesystem::path prev_path = ToFsPath(dir + "PREV_LOG.TXT");

  std::error_code error;
  std::filesystem::create_directories(ToFsPath(dir), error);
  if (error) throw std::runtime_error("Cannot create the folder " + dir + ": " + error.message());

  // Keep the run before. Either step may fail (a file held open by another
  // program); the new run's log matters more, so failures are ignored.
  if (std::filesystem::exists(log_path, error)) {
    std::filesystem::remove(prev_path, error);
    std::filesystem::rename(log_path, prev_path, error);
  }

  std::ofstream file(log_path, std::ios::binary | std::ios::trunc);
  if (!file) throw std::runtime_error("Cannot create " + file_name_);
  file << Stamp() << ",,,## Quillark Log Session Started: " << kLogVersion << kEol;
  file.close();
  if (!file) throw std::runtime_error("Cannot write " + file_name_);

  g_active = true;
  g_log = this;
}

TAppLog::~TAppLog() {
  // The active flag stays set; only the route to this object goes.
  if (g_log == this) g_log = nullptr;
}

std::string TAppLog::Stamp() { return locale_.FormatDateTime(clock_.Now()); }

// The file is opened only for lines that pass the mask: a switched-off level
// (detail logging is the loud one) costs no file access at all.
//
// When "LOG.TXT" cannot be opened (deleted folder, file locked by another
// program, disk full), the program goes on as if the line were written; the
// line waits in memory and the waiting lines go out, in order and before the
// new one, as soon as the file can be opened again (a deleted file is simply
// created anew). At most kMaxPendingLines wait; beyond that the oldest are
// dropped and a line in the file says how many were lost.
void TAppLog::Write(std::int32_t level, std::string_view place, std::string_view text) {
  if ((level & LogLevel) <= 0) return;
  std::string line = Stamp();
  line += ',';
  line += std::to_string(LogLevel);
  line += ',';
  line += place;
  line += ',';
  line += text;
  line += kEol;
  pending_.push_back(std::move(line));
  if (!AppendPending()) {
    while (pending_.size() > kMaxPendingLines) {
      pending_.pop_front();
      ++lost_lines_;
    }
  }
}

bool TAppLog::AppendPending() {
  std::ofstream file(ToFsPath(file_name_), std::ios::binary | std::ios::app);
  if (!file) return false;
  if (lost_lines_ > 0) {
    file << Stamp() << ',' << LogLevel << ",TAppLog.Write," << lost_lines_
         << " log lines were lost while the log file could not be written" << kEol;
    if (!file.flush()) return false;
    lost_lines_ = 0;
  }
  while (!pending_.empty()) {
    file << pending_.front();
    // A line that did not reach the file stays pending for the next attempt.
    if (!file.flush()) return false;
    pending_.pop_front();
  }
  return true;  // the stream closes the file here, also after a failed write
}

void Log(std::int32_t level, std::string_view place, std::string_view text) {
  if (!g_active || g_log == nullptr) return;
  g_log->Write(level, place, text);
}

bool LogActive() { return g_active; }

}  // namespace om
