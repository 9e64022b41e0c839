// The clip list at scale, measured on the real Ottermoor.exe under Wine.
//
// Two data folders, generated once with the program's own store and kept in
// the temporary folder: "big" holds one collection "Big" of 100,000 short
// text clips (every column with varied values), "empty" the same collection
// without clips. Either way "Big" is the tree's second node (after the data
// source's root), the one the program shows at start.
//
// Each run starts the program on one folder (the registry seeded as the
// end-to-end tests do), times from CreateProcess until the list holds all
// rows, the start-up is over and the list has been painted, and reads the
// process's memory; with the big folder it then clicks every column's
// header twice (sort, then reverse), timing each click, which returns once
// the list has handled it (the sort included), and the repaint after it.
// The collection file is copied from a pristine copy before each run: a
// column click marks the collection modified, and the next start would sort
// by that column.
//
//   om_list_bench.exe [--runs N] [--regenerate] [--log]
//     --log  the program logs everything (LogLevel 127) into the data
//            folder's LOG.TXT, for a look at where the time goes
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench_support.h"
#include "child_process.h"
#include "clipboard/format_names.h"
#include "platform/win32/locale.h"
#include "store/clip_coll.h"
#include "store/clip_obj.h"
#include "store/store_services.h"
#include "ui/main/win32/clip_list_widget.h"
#include "ui/main/list_sort.h"

namespace om::bench {
namespace {

namespace fs = std::filesystem;

constexpr int kBigClips = 100000;
constexpr int kColumns = 12;
constexpr char kGeneration[] = "om_list_bench_v1";
constexpr double kStartTarget = 0.5;      // s more than with the empty collection
constexpr double kMemoryTarget = 100.0;   // MiB more than with the empty collection
constexpr double kSortTarget = 0.3;       // s per column click
const char* const kColumnNames[kColumns] = {"Title",   "MySort",   "Date/Time", "Source",  "Serial",   "Has Text",
                                            "Has RTF", "Has BMP",  "Has Picture", "Has HTML", "Has Files", "Source URL"};

std::string BaseFolder() { return TempFolder("OttermoorListBench"); }

// --- The data folders ------------------------------------------------------

// Writes data\Big\_COLL.QL4 with `clips` text clips and keeps a pristine copy
// beside the data folder.
bool WriteFolder(const std::string& folder, int clips) {
  const std::string data = folder + "data\\";
  std::error_code error;
  fs::remove_all(folder, error);
  fs::create_directories(data + "Big", error);
  Store store(data);
  ScopedStoreServices installed(store.services());
  TClipColl coll(true);
  coll.Title = coll.DirName = "Big";
  const auto position = coll.NewClipPosition;
  coll.NewClipPosition = 0;  // appended while generating: no quadratic inserts
  std::mt19937 random(20240601);
  auto uniform = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
  static const char* const kCreators[] = {"NOTEPAD", "WINWORD", "EXCEL", "FIREFOX", "CHROME", "OUTLOOK",
                                          "CODE", "EXPLORER", "CMD", "PUTTY", "SLACK", "TEAMS"};
  static const char* const kWords[] = {"otter", "river", "stone", "kelp", "shell", "current", "pebble",
                                       "moss", "reed", "tide", "harbour", "willow", "dusk", "salmon"};
  for (int i = 0; i < clips; ++i) {
    // Creators with a number: a few thousand distinct values.
    const std::string creator = std::string(kCreators[uniform(0, 11)]) + std::to_string(uniform(0, 400));
    auto clip = std::make_unique<TClipObj>(0, creator);
    clip->SetColl(&coll);
    clip->SerialNbr = coll.GetNextSerialNum();
    clip->SortKey = coll.GetNextClipSortKey();
    // Three years of copies, the newest first, a few minutes apart.
    clip->TimeStamp = 45500.0 - i * 0.011 - uniform(0, 999) / 1.0e6;
    std::string text = std::to_string(uniform(0, 99999)) + " ";
    const int words = uniform(3, 20);
    for (int w = 0; w < words; ++w) text += std::string(w ? " " : "") + kWords[uniform(0, 13)];
    text += " #" + std::to_string(i);  // distinct titles
    auto entry = std::make_unique<TClipData>(formattype::kHandle);
    entry->FormatNum = cf::kText;
    entry->FormatName = "TEXT";
    entry->Size = static_cast<std::uint32_t>(text.size() + 1);
    entry->Handle = Bytes(text.begin(), text.end());
    entry->Handle->push_back(0);
    clip->DataList->push_back(std::move(entry));
    clip->SetIcon(cf::kText);
    clip->Title = text.substr(0, 60);
    clip->Online = true;
    TClipObj* added = clip.release();
    coll.MyAddObject(added->Title, added);
  }
  coll.NewClipPosition = position;
  if (!coll.SaveToFile(data + "Big\\" + kCollFileName)) return false;
  fs::copy_file(data + "Big\\" + kCollFileName, folder + "pristine" + kCollFileName, error);
  return !error;
}

bool GenerateIfMissing(const std::string& base, bool regenerate) {
  return GenerateOnce(base, kGeneration, regenerate,
                      [&] { return WriteFolder(base + "big\\", kBigClips) && WriteFolder(base + "empty\\", 0); });
}

// --- The program, from outside ---------------------------------------------

// The working set (resident memory); Wine leaves PrivateUsage at zero.
struct Memory {
  double peak_working_set = 0, working_set = 0;  // MiB
};

Memory MemoryOf(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  Memory memory;
  if (::GetProcessMemoryInfo(process, &counters, sizeof counters)) {
    constexpr double kMiB = 1024.0 * 1024.0;
    memory.peak_working_set = static_cast<double>(counters.PeakWorkingSetSize) / kMiB;
    memory.working_set = static_cast<double>(counters.WorkingSetSize) / kMiB;
  }
  return memory;
}

struct Run {
  bool ok = false;
  double loaded = 0;   // s from CreateProcess to all rows in the list
  double painted = 0;  // s from CreateProcess to the list painted after that
  Memory memory;
  double click[2][kColumns] = {};    // s per header click: sort, reverse
  double repaint[2][kColumns] = {};  // s for the repaint after it
};

bool ClickHeader(HANDLE process, HWND header, int column) {
  RemoteBuffer buffer(process, sizeof(RECT));
  RECT rect{};
  DWORD_PTR found = 0;
  if (!Send(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), buffer.address(), &found) || !found ||
      !buffer.Read(&rect, sizeof rect)) {
    return false;
  }
  const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  return Send(header, WM_LBUTTONDOWN, MK_LBUTTON, at) && Send(header, WM_LBUTTONUP, 0, at);
}

// The sort arrow the header shows on `column`: 1 up, -1 down, 0 none.
int SortArrowOn(HANDLE process, HWND header, int column) {
  RemoteBuffer buffer(process, sizeof(HDITEMA));
  HDITEMA item{};
  item.mask = HDI_FORMAT;
  DWORD_PTR got = 0;
  if (!buffer.Write(&item, sizeof item) ||
      !Send(header, HDM_GETITEMA, static_cast<WPARAM>(column), buffer.address(), &got) || !got ||
      !buffer.Read(&item, sizeof item)) {
    return 0;
  }
  return (item.fmt & HDF_SORTUP) ? 1 : (item.fmt & HDF_SORTDOWN) ? -1 : 0;
}

Run RunOnce(const std::string& folder, int clips, bool sort, bool log) {
  Run run;
  const std::string data = folder + "data\\";
  std::error_code error;
  fs::copy_file(folder + "pristine" + kCollFileName, data + "Big\\" + kCollFileName,
                fs::copy_options::overwrite_existing, error);
  fs::remove(data + "LOG.TXT", error);
  if (error) {
    std::printf("the collection file could not be restored: %s\n", error.message().c_str());
    return run;
  }
  SeedRegistry(data, log);

  test::ChildProcess program;
  const double start = Now();
  if (!program.Start(test::ProgramPath("Ottermoor.exe"), false)) {
    std::printf("Ottermoor.exe could not be started\n");
    return run;
  }
  HWND main = nullptr, list = nullptr;
  std::string status;
  DWORD_PTR count = 0;
  // Every message waits while the program's thread is busy loading, so the
  // answer comes as soon as it is free.
  const bool loaded = test::PumpUntil(
      [&] {
        if (main == nullptr) main = MainWindow(program.Id());
        if (main == nullptr || !::IsWindowVisible(main)) return false;
        if (list == nullptr) list = ::FindWindowExA(main, nullptr, WC_LISTVIEWA, nullptr);
        if (list == nullptr || !Send(list, LVM_GETITEMCOUNT, 0, 0, &count)) return false;
        status = StatusText(program.Handle(), main);
        return static_cast<int>(count) == clips && status.find("Collections Loaded.") != std::string::npos;
      },
      kDeadlineMs);
  run.loaded = Now() - start;
  if (!loaded) {
    std::printf("the program did not show %d clips: %d rows, status \"%s\"\n", clips, static_cast<int>(count),
                status.c_str());
    program.Terminate();
    return run;
  }
  ::RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Send(list, WM_NULL, 0, 0);
  run.painted = Now() - start;
  run.memory = MemoryOf(program.Handle());

  if (sort) {
    DWORD_PTR header_handle = 0;
    Send(list, LVM_GETHEADER, 0, 0, &header_handle);
    const HWND header = reinterpret_cast<HWND>(header_handle);
    // The header takes clicks inside its window only, and the last columns
    // lie beyond the list's right edge: scrolled fully right, the header
    // window spans every column.
    Send(list, LVM_SCROLL, 4000, 0);
    for (int column = 0; column < kColumns; ++column) {
      int arrow = 0;
      for (int pass = 0; pass < 2; ++pass) {
        const double before = Now();
        if (!ClickHeader(program.Handle(), header, column)) {
          std::printf("the header of column %d could not be clicked\n", column);
          program.Terminate();
          return run;
        }
        const double clicked = Now();
        // The first click shows the arrow on the column, the second turns it.
        const int shown = SortArrowOn(program.Handle(), header, column);
        if (shown == 0 || shown == arrow) {
          std::printf("the click on the header of column %d was not taken for a column click\n", column);
          program.Terminate();
          return run;
        }
        arrow = shown;
        ::RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        Send(list, WM_NULL, 0, 0);
        run.click[pass][column] = clicked - before;
        run.repaint[pass][column] = Now() - clicked;
      }
    }
  }
  program.Terminate();
  run.ok = true;
  return run;
}

// --- Where a sort's time goes ----------------------------------------------

// The steps of the clip list's sort, one by one in this process, on the big
// collection's texts as the list makes them, with the system's locale.
void SortBreakdown(const std::string& base) {
  const std::string data = base + "big\\data\\";
  Store store(data);
  ScopedStoreServices installed(store.services());
  TClipColl coll;
  coll.Title = coll.DirName = "Big";
  double start = Now();
  coll.LoadFromFile(base + "big\\pristine" + kCollFileName, /*show_failures=*/false);
  const double load = Now() - start;
  std::printf("\nin this process, with the system's locale (%d clips; loading the collection file took %.3f s)\n",
              coll.Count(), load);
  std::printf("%-14s %9s %9s %9s %9s %9s %9s\n", "sort by", "texts", "keys", "of which:", "SortKey", "ParseFlt",
              "sort");
  win32::Win32Locale locale;
  for (int column = 0; column < kColumns; ++column) {
    start = Now();
    std::vector<std::string> texts;
    texts.reserve(static_cast<std::size_t>(coll.Count()));
    for (int i = 0; i < coll.Count(); ++i) {
      const TClipObj& clip = *coll.Clip(i);
      switch (column) {
        case 0: texts.push_back(clip.Title); break;
        case 1: texts.push_back(std::to_string(clip.SortKey)); break;
        case 2: texts.push_back(clip.STimeStamp()); break;
        case 3: texts.push_back(clip.Creator); break;
        case 4: texts.push_back(std::to_string(clip.SerialNbr)); break;
        case 11: texts.push_back(clip.SourceURL); break;
        default: texts.push_back(column == 5 ? "Y" : "N"); break;  // text clips only
      }
    }
    const double made = Now();
    const ListSortKeys keys(texts, locale);
    const double keyed = Now();
    std::size_t key_bytes = 0;
    for (const std::string& text : texts) key_bytes += locale.SortKey(text).size();
    const double sort_keys = Now();
    int numbers = 0;
    for (const std::string& text : texts) numbers += locale.ParseFloat(text) ? 1 : 0;
    const double parsed = Now();
    std::vector<std::size_t> order(keys.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&keys](std::size_t a, std::size_t b) { return keys.Compare(a, b) < 0; });
    const double sorted = Now();
    std::printf("%-14s %9.3f %9.3f %9s %9.3f %9.3f %9.3f\n", kColumnNames[column], made - start, keyed - made, "",
                sort_keys - keyed, parsed - sort_keys, sorted - parsed);
    if (key_bytes == 0 && numbers < 0) std::printf("\n");  // keeps the loops
  }
}

// What the sort asks of the list control after the rows are in their new
// order (the selection and focus read, cleared and set again), timed on the
// program's own list widget with 100,000 rows in a window of this process.
void WidgetBreakdown() {
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = ::DefWindowProcA;
  window_class.hInstance = ::GetModuleHandleA(nullptr);
  window_class.lpszClassName = "OmListBenchHost";
  ::RegisterClassA(&window_class);
  HWND host = ::CreateWindowExA(0, "OmListBenchHost", "", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr, nullptr,
                                window_class.hInstance, nullptr);
  {
    win32::ClipListWidget list(host, 1, nullptr, nullptr);
    list.SetRowCount(kBigClips);
    list.SetSelected(0, true);
    list.SetFocused(0);
    std::printf("\nthe list widget in this process, %d rows, one selected (s):\n", kBigClips);
    double t = Now();
    const std::vector<int> selected = list.SelectedRows();
    std::printf("  SelectedRows %.3f", Now() - t);
    t = Now();
    const int focused = list.Focused();
    std::printf("  Focused %.3f", Now() - t);
    t = Now();
    list.ClearSelection();
    std::printf("  ClearSelection %.3f", Now() - t);
    t = Now();
    for (const int row : selected) list.SetSelected(row, true);
    list.SetFocused(focused);
    std::printf("  SetSelected+SetFocused %.3f", Now() - t);
    t = Now();
    list.RowsChanged(-1, -1);
    std::printf("  RowsChanged %.3f\n", Now() - t);
  }
  ::DestroyWindow(host);
}

int Main(int argc, char** argv) {
  const Options options = ReadOptions(argc, argv, /*default_runs=*/5);
  const int runs = options.runs;
  const bool regenerate = options.regenerate;
  const bool log = options.log;
  const std::string base = BaseFolder();
  if (!GenerateIfMissing(base, regenerate)) {
    std::printf("the data folders could not be written\n");
    return 1;
  }
  std::vector<Run> empty, big;
  for (int r = 0; r < runs; ++r) {
    // Alternating, so that a slower phase of the machine hits both.
    Run e = RunOnce(base + "empty\\", 0, false, log);
    Run b = RunOnce(base + "big\\", kBigClips, true, log);
    if (!e.ok || !b.ok) return 1;
    std::printf("run %d: empty %.3f s (painted %.3f), %.1f MiB; 100k %.3f s (painted %.3f), %.1f MiB (working set)\n",
                r + 1, e.loaded, e.painted, e.memory.working_set, b.loaded, b.painted, b.memory.working_set);
    std::fflush(stdout);
    empty.push_back(e);
    big.push_back(b);
  }
  ClearRegistry();

  auto median = [](const std::vector<Run>& of, auto field) {
    std::vector<double> values;
    for (const Run& run : of) values.push_back(field(run));
    return Median(values);
  };
  const double empty_start = median(empty, [](const Run& r) { return r.painted; });
  const double big_start = median(big, [](const Run& r) { return r.painted; });
  const double empty_loaded = median(empty, [](const Run& r) { return r.loaded; });
  const double big_loaded = median(big, [](const Run& r) { return r.loaded; });
  auto verdict = [](double value, double target) { return value <= target ? "met" : "MISSED"; };

  std::printf("\nOttermoor.exe under Wine, %d clips in the shown collection, median of %d runs\n", kBigClips, runs);
  std::printf("%-34s %10s %10s %10s %8s %s\n", "", "empty", "100k", "delta", "target", "");
  std::printf("%-34s %10.3f %10.3f %10.3f %8.3f %s\n", "start-up until rows in list (s)", empty_loaded, big_loaded,
              big_loaded - empty_loaded, kStartTarget, verdict(big_loaded - empty_loaded, kStartTarget));
  std::printf("%-34s %10.3f %10.3f %10.3f %8.3f %s\n", "start-up until list painted (s)", empty_start, big_start,
              big_start - empty_start, kStartTarget, verdict(big_start - empty_start, kStartTarget));
  struct MemoryRow {
    const char* name;
    double Memory::*field;
  };
  for (const MemoryRow& row : {MemoryRow{"memory: working set (MiB)", &Memory::working_set},
                               MemoryRow{"memory: peak working set (MiB)", &Memory::peak_working_set}}) {
    const double e = median(empty, [&](const Run& r) { return r.memory.*row.field; });
    const double b = median(big, [&](const Run& r) { return r.memory.*row.field; });
    std::printf("%-34s %10.1f %10.1f %10.1f %8.1f %s\n", row.name, e, b, b - e, kMemoryTarget,
                verdict(b - e, kMemoryTarget));
  }
  std::printf("\n%-14s %10s %10s %12s %12s %8s %s\n", "sort by", "click (s)", "reverse", "repaint (s)", "rev. repaint",
              "target", "");
  for (int c = 0; c < kColumns; ++c) {
    const double sort = median(big, [c](const Run& r) { return r.click[0][c]; });
    const double reverse = median(big, [c](const Run& r) { return r.click[1][c]; });
    const double repaint = median(big, [c](const Run& r) { return r.repaint[0][c]; });
    const double reverse_repaint = median(big, [c](const Run& r) { return r.repaint[1][c]; });
    std::printf("%-14s %10.3f %10.3f %12.3f %12.3f %8.3f %s\n", kColumnNames[c], sort, reverse, repaint,
                reverse_repaint, kSortTarget, verdict(std::max(sort, reverse), kSortTarget));
  }
  SortBreakdown(base);
  WidgetBreakdown();
  return 0;
}

}  // namespace
}  // namespace om::bench

int main(int argc, char** argv) { return om::bench::Main(argc, argv); }
