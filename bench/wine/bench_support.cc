#include "bench_support.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "app/app_settings.h"
#include "platform/win32/registry.h"

namespace om::bench {

Options ReadOptions(int argc, char** argv, int default_runs) {
  Options options;
  options.runs = default_runs;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
      options.runs = std::max(1, std::atoi(argv[++i]));
    } else if (std::strcmp(argv[i], "--regenerate") == 0) {
      options.regenerate = true;
    } else if (std::strcmp(argv[i], "--log") == 0) {
      options.log = true;
    }
  }
  return options;
}

double Now() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER t;
  ::QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / frequency;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string TempFolder(const std::string& name) {
  char path[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, path);
  return std::string(path) + name + "\\";
}

bool GenerateOnce(const std::string& base, const char* generation, bool regenerate,
                  const std::function<bool()>& write) {
  const std::string marker = base + "generation.txt";
  std::string found;
  if (std::ifstream in(marker); in) std::getline(in, found);
  if (!regenerate && found == generation) return true;
  std::printf("generating the data folders in %s ...\n", base.c_str());
  std::fflush(stdout);
  const double start = Now();
  if (!write()) return false;
  std::ofstream(marker) << generation << "\n";
  std::printf("generated in %.1f s\n", Now() - start);
  return true;
}

Store::Store(const std::string& data) {
  services_.Files = &files_;
  services_.Clock = &clock_;
  services_.Locale = &locale_;
  services_.DataDirectory = data;
  services_.FreshDataFolder = &fresh_;
  services_.MasterListExists = true;
  services_.Clipboard = &clipboard_;
}

void SeedRegistry(const std::string& data, bool log) {
  win32::Win32Registry registry;
  registry.DeleteTree(kRegistryKey);
  const std::string sources = std::string(kRegistryKey) + "\\DataSources";
  registry.WriteString(sources + "\\_Dirs", kMyClips, "1");
  registry.WriteString(sources + "\\" + kMyClips, "Description", kMyClips);
  registry.WriteString(sources + "\\" + kMyClips, "Directory", data);
  registry.WriteString(sources + "\\" + kMyClips, "Read_Only", "0");
  registry.WriteString(sources + "\\" + kMyClips, "AutoLoad", "1");
  if (log) registry.WriteString(std::string(kRegistryKey) + "\\Preferences", "LogLevel", "127");
}

void ClearRegistry() { win32::Win32Registry().DeleteTree(kRegistryKey); }

RemoteBuffer::RemoteBuffer(HANDLE process, std::size_t size) : process_(process), size_(size) {
  address_ = ::VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
}

RemoteBuffer::~RemoteBuffer() {
  if (address_ != nullptr) ::VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
}

bool RemoteBuffer::Read(void* to, std::size_t size) const {
  SIZE_T got = 0;
  return address_ && size <= size_ && ::ReadProcessMemory(process_, address_, to, size, &got) && got == size;
}

bool RemoteBuffer::Write(const void* from, std::size_t size) const {
  SIZE_T put = 0;
  return address_ && size <= size_ && ::WriteProcessMemory(process_, address_, from, size, &put) && put == size;
}

HWND MainWindow(DWORD process_id) {
  struct Query {
    DWORD id;
    HWND found;
  } query{process_id, nullptr};
  ::EnumWindows(
      [](HWND hwnd, LPARAM param) -> BOOL {
        auto* q = reinterpret_cast<Query*>(param);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(hwnd, &owner);
        char name[64] = {};
        ::GetClassNameA(hwnd, name, sizeof name);
        if (owner == q->id && std::strcmp(name, "TfrmQL") == 0) {
          q->found = hwnd;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&query));
  return query.found;
}

bool Send(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, DWORD_PTR* result, DWORD timeout_ms) {
  DWORD_PTR ignored = 0;
  return ::SendMessageTimeoutA(hwnd, message, wparam, lparam, SMTO_NORMAL, timeout_ms, result ? result : &ignored);
}

std::string StatusText(HANDLE process, HWND main, DWORD timeout_ms) {
  HWND bar = ::FindWindowExA(main, nullptr, STATUSCLASSNAMEA, nullptr);
  RemoteBuffer text(process, 1024);
  char local[1024] = {};
  if (bar == nullptr || !Send(bar, SB_GETTEXTA, 2, text.address(), nullptr, timeout_ms) ||
      !text.Read(local, sizeof local - 1)) {
    return {};
  }
  return local;
}

}  // namespace om::bench
