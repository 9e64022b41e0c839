// What the benchmarks of the real Ottermoor.exe under Wine share: the clock
// and the median, the program's store for writing their data folders, the
// registry seeded for a data folder, and the program's main window read
// from outside (its messages, its memory, its status text).
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32/clipboard_system.h"
#include "platform/win32/clock.h"
#include "platform/win32/file_system.h"
#include "platform/win32/locale.h"
#include "store/store_services.h"

namespace om::bench {

// How long a message to the program may wait while its thread is busy.
constexpr DWORD kDeadlineMs = 180000;

// The options both benchmarks take: --runs N, --regenerate, --log.
struct Options {
  int runs = 3;
  bool regenerate = false;
  bool log = false;
};
Options ReadOptions(int argc, char** argv, int default_runs);

// Seconds on the performance counter.
double Now();
double Median(std::vector<double> values);

// `name` in the system's temporary folder, with a trailing backslash.
std::string TempFolder(const std::string& name);

// Runs `write` unless the folder `base` holds the marker of `generation`
// (or `regenerate` is set), then writes the marker; prints what it does and
// how long it took. False when `write` failed.
bool GenerateOnce(const std::string& base, const char* generation, bool regenerate,
                  const std::function<bool()>& write);

// What the program's store needs to write a data folder in this process.
class Store {
 public:
  explicit Store(const std::string& data);
  TStoreServices& services() { return services_; }

 private:
  win32::Win32FileSystem files_;
  win32::Win32Clock clock_;
  win32::Win32Locale locale_;
  win32::Win32ClipboardSystem clipboard_;
  const bool fresh_ = false;
  TStoreServices services_;
};

// The registry as the program reads it at start: one data source, the data
// folder `data`, loaded automatically; with `log`, everything logged
// (LogLevel 127) into the data folder's LOG.TXT.
void SeedRegistry(const std::string& data, bool log);
// Leaves the registry without the program's key.
void ClearRegistry();

// Memory in the program's process, for the messages that fill or read a
// buffer (their pointers are taken in the receiving process).
class RemoteBuffer {
 public:
  RemoteBuffer(HANDLE process, std::size_t size);
  ~RemoteBuffer();
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;
  LPARAM address() const { return reinterpret_cast<LPARAM>(address_); }
  bool Read(void* to, std::size_t size) const;
  bool Write(const void* from, std::size_t size) const;

 private:
  HANDLE process_;
  void* address_ = nullptr;
  std::size_t size_;
};

// The program's main window (class TfrmQL) in the process; nullptr while
// there is none.
HWND MainWindow(DWORD process_id);

// A message to the program's window, waiting up to `timeout_ms` while its
// thread is busy; false when it was not answered in time.
bool Send(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, DWORD_PTR* result = nullptr,
          DWORD timeout_ms = kDeadlineMs);

// The status text (the status bar's last part); "" when it could not be
// read within `timeout_ms`.
std::string StatusText(HANDLE process, HWND main, DWORD timeout_ms = kDeadlineMs);

}  // namespace om::bench
