// A find over every collection, measured on the real Ottermoor.exe under
// Wine.
//
// Two data folders, generated once with the program's own store and kept in
// the temporary folder, each of 100 collections of 1,000 text clips
// (100,000 clips, every body and title different). A rare word stands in
// the bodies of exactly kRareClips of them, past the part the title shows,
// so that only the body finds it:
//   "memory"  bodies of a few hundred bytes, kept inside the collection
//             files: the search runs through clips already in memory, and
//             under Wine it is over before the program's half second of
//             quiet, so it shows no progress and cannot be stopped;
//   "files"   bodies of one to three kilobytes, each in a data file of its
//             own beside its collection: the search reads 100,000 files,
//             for many seconds, which is what shows the progress, the
//             window's answers and Esc.
//
// Each run starts the program on one folder (the registry seeded as the
// end-to-end tests do), waits until its start-up is over, and then, as the
// user would, opens the Find dialog, types the word, picks all collections
// and clicks OK. It measures
//   - the time from the click until the search is over and Search Results
//     holds the clips found (checked against kRareClips);
//   - the time until the status bar first shows the search's progress
//     ("Searching <collection>... <n> of <count> Clips"), which the program
//     shows once a search has run half a second;
//   - how the window answers messages during the search: a second thread
//     sends it WM_NULL again and again with a short timeout and notes how
//     long each waited;
// and then starts the same search again and presses Esc a second after the
// click, timing the key until the status says the search was stopped.
// The bench says "-" for what a search did not reach. At the end the
// program's search loop runs in this process over the same files, for how
// much of the program's time is the search itself.
//
//   om_find_bench.exe [--runs N] [--regenerate] [--log]
//     --log  the program logs everything (LogLevel 127) into the data
//            folder's LOG.TXT, for a look at where the time goes
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "bench_support.h"
#include "child_process.h"
#include "clipboard/format_names.h"
#include "store/clip_coll.h"
#include "store/clip_data.h"
#include "store/clip_obj.h"
#include "platform/text_case.h"
#include "store/store_services.h"
#include "ui/dialogs/find.h"
#include "ui/dialogs/win32/find_window.h"
#include "ui/main/find.h"
#include "ui/main/main_form_events.h"
#include "ui/main/win32/main_menus.h"
#include "ui/main/win32/main_window.h"

namespace om::bench {
namespace {

namespace fs = std::filesystem;

constexpr int kCollections = 100;
constexpr int kClipsPerCollection = 1000;
constexpr int kClips = kCollections * kClipsPerCollection;
constexpr int kRareClips = 50;
constexpr char kRareWord[] = "xylofjord";
constexpr char kGeneration[] = "om_find_bench_v1";
// A probe of the window that waits longer than this counts as unanswered.
constexpr DWORD kProbeTimeoutMs = 1000;
// The second search is stopped this long after its click.
constexpr double kEscAfter = 1.0;
// The program shows progress after half a second; a look at its messages
// may come up to a step later.
constexpr double kProgressTarget = 0.5 + 0.25;

struct DataSet {
  const char* name;   // its folder
  const char* label;  // in the table
  int body_min, body_max;
};
const DataSet kDataSets[] = {
    {"memory", "in memory", 200, 700},
    {"files", "in files", 1200, 3000},
};

std::string BaseFolder() { return TempFolder("OttermoorFindBench"); }

// --- The data folders ------------------------------------------------------

const char* const kWords[] = {"otter",   "river",  "stone",   "kelp",   "shell",   "current", "pebble", "moss",
                              "reed",    "tide",   "harbour", "willow", "dusk",    "salmon",  "meeting", "invoice",
                              "address", "phone",  "report",  "draft",  "summary", "budget",  "review", "quarter",
                              "project", "Monday", "Friday",  "please", "thanks",  "regards", "the",    "and",
                              "of",      "to",     "a",       "in",     "for",     "with",    "on",     "from"};
const char* const kTopics[] = {"Notes",   "Recipes", "Work",     "Snippets", "Links",  "Addresses", "Code",
                               "Letters", "Quotes",  "Research", "Travel",   "Orders", "Drafts",    "Archive"};

// The folder's collections; the rare word goes into the clips `rare` names
// (collection * kClipsPerCollection + clip).
bool WriteFolder(const std::string& folder, const DataSet& set, const std::vector<int>& rare) {
  const std::string data = folder + "data\\";
  std::error_code error;
  fs::remove_all(folder, error);
  fs::create_directories(data, error);
  if (error) return false;
  Store store(data);
  ScopedStoreServices installed(store.services());
  // The data source's node: the collections' folders, and the data files
  // of their clips, are found below it.
  TClipColl source;
  source.Role = collrole::kFolderNode;
  source.DirName = data;
  std::mt19937 random(20240607);
  auto uniform = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
  constexpr int kWordCount = static_cast<int>(std::size(kWords));
  for (int c = 0; c < kCollections; ++c) {
    TClipColl coll(true);
    coll.Parent = &source;
    char title[64];
    std::snprintf(title, sizeof title, "%s %03d", kTopics[c % std::size(kTopics)], c + 1);
    coll.Title = coll.DirName = title;
    coll.CollType = colltype::kSafe;
    coll.IconIndex = collicon::kSafe;
    coll.TreeSortKey = 1000 + 10 * c;
    coll.AcceptNewClips = c == 0;
    coll.Modified = false;
    fs::create_directories(data + coll.DirName, error);
    const auto position = coll.NewClipPosition;
    coll.NewClipPosition = 0;  // appended while generating: no quadratic inserts
    for (int i = 0; i < kClipsPerCollection; ++i) {
      const bool holds_rare = std::binary_search(rare.begin(), rare.end(), c * kClipsPerCollection + i);
      const int length = uniform(set.body_min, set.body_max);
      std::string text = "#";
      text += std::to_string(c * kClipsPerCollection + i);
      bool rare_placed = !holds_rare;
      while (static_cast<int>(text.size()) < length) {
        const int gap = uniform(0, 19);
        if (gap == 0) {
          text += ".\r\n";
        } else if (gap == 1) {
          text += ", ";
        } else {
          text += ' ';
          if (gap == 2) {
            text += std::to_string(uniform(0, 9999));
            text += ' ';
          }
        }
        // Well past the part the title shows (its first 60 characters).
        if (!rare_placed && text.size() >= 80) {
          text += kRareWord;
          rare_placed = true;
        } else {
          text += kWords[uniform(0, kWordCount - 1)];
        }
      }
      auto clip = std::make_unique<TClipObj>(0, "NOTEPAD");
      clip->SetColl(&coll);
      clip->SerialNbr = coll.GetNextSerialNum();
      clip->SortKey = coll.GetNextClipSortKey();
      clip->TimeStamp = 45500.0 - (c * kClipsPerCollection + i) * 0.001;
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
    if (!coll.SaveToFile(coll.GetPath() + kCollFileName)) return false;
    // A long body is in its clip's data file beside the collection file.
    const TClipObj& last = *coll.Clip(coll.Count() - 1);
    if (last.StoredApart != fs::exists(DataFileName(coll.GetPath(), last.SerialNbr))) {
      std::printf("the data file of %s's last clip is not where the program looks for it\n", title);
      return false;
    }
  }
  return true;
}

bool GenerateIfMissing(const std::string& base, bool regenerate) {
  return GenerateOnce(base, kGeneration, regenerate, [&] {
    // The same clips hold the word in both folders.
    std::mt19937 random(7);
    std::vector<int> rare;
    while (static_cast<int>(rare.size()) < kRareClips) {
      const int at = std::uniform_int_distribution<int>(0, kClips - 1)(random);
      if (std::find(rare.begin(), rare.end(), at) == rare.end()) rare.push_back(at);
    }
    std::sort(rare.begin(), rare.end());
    for (const DataSet& set : kDataSets) {
      if (!WriteFolder(base + set.name + "\\", set, rare)) return false;
    }
    // For a search of the same folders from outside (scripts/bench-wine).
    return static_cast<bool>(std::ofstream(base + "word.txt") << kRareWord << "\n");
  });
}

// --- The program, from outside ---------------------------------------------

// The process's visible dialog with this caption; nullptr after the deadline.
HWND WaitForDialog(DWORD process_id, const char* caption) {
  struct Query {
    DWORD id;
    const char* caption;
    HWND found;
  } query{process_id, caption, nullptr};
  test::PumpUntil(
      [&] {
        ::EnumWindows(
            [](HWND hwnd, LPARAM param) -> BOOL {
              auto* q = reinterpret_cast<Query*>(param);
              DWORD owner = 0;
              ::GetWindowThreadProcessId(hwnd, &owner);
              char name[64] = {}, text[64] = {};
              ::GetClassNameA(hwnd, name, sizeof name);
              ::GetWindowTextA(hwnd, text, sizeof text);
              if (owner == q->id && std::strcmp(name, "#32770") == 0 && std::strcmp(text, q->caption) == 0 &&
                  ::IsWindowVisible(hwnd)) {
                q->found = hwnd;
                return FALSE;
              }
              return TRUE;
            },
            reinterpret_cast<LPARAM>(&query));
        return query.found != nullptr;
      },
      kDeadlineMs);
  return query.found;
}

// The text of the tree's selected node.
std::string SelectedNodeText(HANDLE process, HWND tree) {
  DWORD_PTR selected = 0;
  if (!Send(tree, TVM_GETNEXTITEM, TVGN_CARET, 0, &selected) || selected == 0) return {};
  struct Remote {
    TVITEMA item;
    char text[256];
  };
  RemoteBuffer buffer(process, sizeof(Remote));
  Remote remote{};
  remote.item.mask = TVIF_TEXT;
  remote.item.hItem = reinterpret_cast<HTREEITEM>(selected);
  remote.item.pszText = reinterpret_cast<char*>(buffer.address() + offsetof(Remote, text));
  remote.item.cchTextMax = sizeof remote.text;
  DWORD_PTR ok = 0;
  if (!buffer.Write(&remote, sizeof remote) || !Send(tree, TVM_GETITEMA, 0, buffer.address(), &ok) || !ok ||
      !buffer.Read(&remote, sizeof remote)) {
    return {};
  }
  remote.text[sizeof remote.text - 1] = 0;
  return remote.text;
}

// Another thread's messages to the window, one after the other, each with a
// short timeout: how long each waited for its answer.
class Prober {
 public:
  explicit Prober(HWND window) : window_(window), thread_([this] { Probe(); }) {}
  ~Prober() { Stop(); }
  Prober(const Prober&) = delete;
  Prober& operator=(const Prober&) = delete;

  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  struct Sample {
    double sent, waited;
    bool answered;
  };
  // The probes sent from `from` until `to`.
  std::vector<Sample> Between(double from, double to) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<Sample> between;
    for (const Sample& s : samples_) {
      if (s.sent >= from && s.sent < to) between.push_back(s);
    }
    return between;
  }

 private:
  void Probe() {
    while (!stop_) {
      const double sent = Now();
      DWORD_PTR ignored = 0;
      const bool answered =
          ::SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, kProbeTimeoutMs, &ignored) != 0;
      const double waited = Now() - sent;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        samples_.push_back({sent, waited, answered});
      }
      ::Sleep(10);
    }
  }

  HWND window_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<Sample> samples_;
  std::thread thread_;
};

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

// "Searching <collection>... <n> of <count> Clips"
bool IsProgress(const std::string& status) {
  return StartsWith(status, "Searching ") && status.find(" of ") != std::string::npos &&
         status.size() > 6 && status.compare(status.size() - 6, 6, " Clips") == 0;
}

struct Search {
  double done = 0;                    // s from the click to Search Results filled
  std::optional<double> progress;     // s from the click to the first progress shown
  std::string first_progress;         // its text
  int results = -1;                   // rows in the list afterwards
  std::string node;                   // the tree's selected node afterwards
  int probes = 0, unanswered = 0;     // during the search
  double longest_wait = 0;            // s, the longest a probe waited
  double median_wait = 0;             // s, a probe's usual wait
};

struct Stop {
  bool reached = false;               // the key stopped the search
  double stopped = 0;                 // s from Esc to the status saying so
  std::string status;                 // what it said
};

struct Run {
  bool ok = false;
  double loaded = 0;  // s from CreateProcess to the collections loaded
  Search search;
  Stop stop;
};

class Program {
 public:
  bool Start(int* nodes_out) {
    if (!process_.Start(test::ProgramPath("Ottermoor.exe"), false)) {
      std::printf("Ottermoor.exe could not be started\n");
      return false;
    }
    std::string status;
    DWORD_PTR nodes = 0;
    const bool loaded = test::PumpUntil(
        [&] {
          if (main_ == nullptr) main_ = MainWindow(process_.Id());
          if (main_ == nullptr || !::IsWindowVisible(main_)) return false;
          if (tree_ == nullptr) tree_ = ::FindWindowExA(main_, nullptr, WC_TREEVIEWA, nullptr);
          if (list_ == nullptr) list_ = ::FindWindowExA(main_, nullptr, WC_LISTVIEWA, nullptr);
          if (tree_ == nullptr || list_ == nullptr || !Send(tree_, TVM_GETCOUNT, 0, 0, &nodes)) return false;
          status = Status();
          return static_cast<int>(nodes) > kCollections && status.find("Collections Loaded.") != std::string::npos;
        },
        kDeadlineMs);
    if (!loaded) {
      std::printf("the program did not load its collections: %d nodes, status \"%s\"\n", static_cast<int>(nodes),
                  status.c_str());
      return false;
    }
    *nodes_out = static_cast<int>(nodes);
    return true;
  }
  void Terminate() { process_.Terminate(); }

  HWND main() const { return main_; }
  std::string Status(DWORD timeout_ms = kDeadlineMs) const { return StatusText(process_.Handle(), main_, timeout_ms); }
  int Rows() const {
    DWORD_PTR count = 0;
    return Send(list_, LVM_GETITEMCOUNT, 0, 0, &count) ? static_cast<int>(count) : -1;
  }
  std::string SelectedNode() const { return SelectedNodeText(process_.Handle(), tree_); }

  // Opens the Find dialog and fills it in; the dialog's OK button, or
  // nullptr when the dialog did not come.
  HWND PrepareFind(const char* word) {
    const UINT command = win32::MainMenus::IdOfCommand(MenuCommand::kFind);
    if (command == 0 || !::PostMessageA(main_, WM_COMMAND, MAKEWPARAM(command, 0), 0)) return nullptr;
    HWND box = WaitForDialog(process_.Id(), TfrmFind::kCaption);
    if (box == nullptr) {
      std::printf("the Find dialog did not come\n");
      return nullptr;
    }
    HWND edit = ::GetDlgItem(box, win32::FindDialogWindow::kTextId);
    HWND all = ::GetDlgItem(box, win32::FindDialogWindow::kAllCollId);
    HWND ok = ::GetDlgItem(box, IDOK);
    if (edit == nullptr || all == nullptr || ok == nullptr ||
        !Send(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(word)) || !Send(all, BM_CLICK, 0, 0)) {
      std::printf("the Find dialog's controls could not be set\n");
      return nullptr;
    }
    DWORD_PTR checked = 0;
    if (!Send(all, BM_GETCHECK, 0, 0, &checked) || checked != BST_CHECKED) {
      std::printf("the Find dialog did not take all collections\n");
      return nullptr;
    }
    return ok;
  }

 private:
  test::ChildProcess process_;
  HWND main_ = nullptr, tree_ = nullptr, list_ = nullptr;
};

// The search with the rare word over every collection, from the click on
// OK until the status says it is over; false when it could not be run.
bool TimeSearch(Program& program, Search& search) {
  HWND ok = program.PrepareFind(kRareWord);
  if (ok == nullptr) return false;
  Prober prober(program.main());
  const double click = Now();
  // Returns once the dialog has taken the click; its end starts the search.
  if (!Send(ok, BM_CLICK, 0, 0)) return false;
  std::string status;
  const bool over = test::PumpUntil(
      [&] {
        // Answered only when the program looks at its messages.
        status = program.Status();
        if (!search.progress && IsProgress(status)) {
          search.progress = Now() - click;
          search.first_progress = status;
        }
        return status == TFind::kFoundIt || status == TFind::kNotFound;
      },
      kDeadlineMs);
  search.done = Now() - click;
  prober.Stop();
  if (!over) {
    std::printf("the search did not end: status \"%s\"\n", status.c_str());
    return false;
  }
  search.results = program.Rows();
  search.node = program.SelectedNode();
  const std::vector<Prober::Sample> samples = prober.Between(click, click + search.done);
  search.probes = static_cast<int>(samples.size());
  std::vector<double> waits;
  for (const Prober::Sample& s : samples) {
    if (!s.answered) ++search.unanswered;
    search.longest_wait = std::max(search.longest_wait, s.waited);
    waits.push_back(s.waited);
  }
  search.median_wait = Median(waits);
  return true;
}

void PressEscape(bool down) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = VK_ESCAPE;
  input.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(VK_ESCAPE, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  ::SendInput(1, &input, sizeof input);
}

// The same search again, Esc pressed kEscAfter after the click and held
// until the status says the search stopped; false when it could not be run.
bool TimeStop(Program& program, Stop& stop) {
  HWND ok = program.PrepareFind(kRareWord);
  if (ok == nullptr) return false;
  ::SetForegroundWindow(program.main());
  const double click = Now();
  if (!Send(ok, BM_CLICK, 0, 0)) return false;
  std::string status;
  // Until the moment for the key; the status is read only when the program
  // looks at its messages, so this ends at its first look after it.
  test::PumpUntil(
      [&] {
        status = program.Status();
        return Now() - click >= kEscAfter || status == TFind::kFoundIt || status == TFind::kNotFound;
      },
      kDeadlineMs);
  if (status == TFind::kFoundIt || status == TFind::kNotFound) return true;  // over before the key
  PressEscape(true);
  const double key = Now();
  const std::string stopped = TFind::StoppedText(0).substr(0, std::strlen("Search Stopped (Esc) - "));
  const bool seen = test::PumpUntil(
      [&] {
        status = program.Status();
        return StartsWith(status, stopped) || status == TFind::kFoundIt || status == TFind::kNotFound;
      },
      kDeadlineMs);
  stop.stopped = Now() - key;
  PressEscape(false);
  stop.status = status;
  if (!seen) {
    std::printf("the search did not end after Esc: status \"%s\"\n", status.c_str());
    return false;
  }
  // A search that ended on its own just then was not stopped by the key.
  stop.reached = StartsWith(status, stopped);
  return true;
}

Run RunOnce(const std::string& folder, bool log) {
  Run run;
  std::error_code error;
  fs::remove(folder + "data\\LOG.TXT", error);
  SeedRegistry(folder + "data\\", log);
  Program program;
  const double start = Now();
  int nodes = 0;
  if (!program.Start(&nodes)) {
    program.Terminate();
    return run;
  }
  run.loaded = Now() - start;
  if (!TimeSearch(program, run.search) || !TimeStop(program, run.stop)) {
    program.Terminate();
    return run;
  }
  program.Terminate();
  run.ok = true;
  return run;
}

// --- Where a search's time goes -------------------------------------------

// The program's search loop (title, then body, as the program does it) in
// this process over each folder's collections read with the program's
// loader: what the program's time holds beyond searching.
void SearchBreakdown(const std::string& base) {
  std::printf("\nthe search loop in this process, over the same collection files:\n");
  for (const DataSet& set : kDataSets) {
    const std::string data = base + set.name + "\\data\\";
    Store store(data);
    ScopedStoreServices installed(store.services());
    TClipColl source;
    source.Role = collrole::kFolderNode;
    source.DirName = data;
    std::vector<std::unique_ptr<TClipColl>> collections;
    double start = Now();
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(data, error)) {
      if (!entry.is_directory() || !fs::exists(entry.path() / kCollFileName)) continue;
      auto coll = std::make_unique<TClipColl>();
      coll->Parent = &source;
      coll->DirName = entry.path().filename().string();
      coll->LoadFromFile(coll->GetPath() + kCollFileName, /*show_failures=*/false);
      collections.push_back(std::move(coll));
    }
    const double loaded = Now() - start;
    start = Now();
    TAsciiFoldedSearch search(kRareWord);
    int clips = 0, found = 0;
    for (const auto& coll : collections) {
      for (int i = 0; i < coll->Count(); ++i) {
        TClipObj& clip = *coll->Clip(i);
        ++clips;
        if (clip.FindInTitle(search) || TClipColl::FindInbody(clip, search)) ++found;
      }
    }
    const double searched = Now() - start;
    std::printf("  %-10s %zu collections read in %.3f s; %d clips searched in %.3f s (%.0f clips/s), %d found\n",
                set.label, collections.size(), loaded, clips, searched, clips / searched, found);
  }
}

// A search over every collection shows "Searching <collection>..." as it
// comes to each one: the program's status bar, in a visible window of this
// process, given one such text per collection.
void StatusBreakdown() {
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = ::DefWindowProcA;
  window_class.hInstance = ::GetModuleHandleA(nullptr);
  window_class.lpszClassName = "OmFindBenchHost";
  ::RegisterClassA(&window_class);
  HWND host = ::CreateWindowExA(0, "OmFindBenchHost", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 600, nullptr,
                                nullptr, window_class.hInstance, nullptr);
  {
    win32::StatusBar bar(host, 1);
    test::PumpMessages();
    const double start = Now();
    for (int c = 0; c < kCollections; ++c) {
      bar.SetPanelText(0, "Searching " + std::string(kTopics[c % std::size(kTopics)]) + " " + std::to_string(c) + "...");
    }
    const double took = Now() - start;
    std::printf("  the status bar's text set %d times (once per collection) in %.3f s\n", kCollections, took);
  }
  ::DestroyWindow(host);
}

int Main(int argc, char** argv) {
  const Options options = ReadOptions(argc, argv, /*default_runs=*/3);
  const int runs = options.runs;
  const bool regenerate = options.regenerate;
  const bool log = options.log;
  const std::string base = BaseFolder();
  if (!GenerateIfMissing(base, regenerate)) {
    std::printf("the data folders could not be written\n");
    return 1;
  }
  constexpr int kSets = static_cast<int>(std::size(kDataSets));
  std::vector<Run> results[kSets];
  for (int r = 0; r < runs; ++r) {
    // Alternating, so that a slower phase of the machine hits both.
    for (int s = 0; s < kSets; ++s) {
      const Run run = RunOnce(base + kDataSets[s].name + "\\", log);
      if (!run.ok) {
        ClearRegistry();
        return 1;
      }
      std::printf("run %d, %s: loaded %.2f s; search %.3f s, %d found, progress %s (\"%s\"), "
                  "%d probes, %d unanswered, longest wait %.3f s; Esc %s%s\n",
                  r + 1, kDataSets[s].label, run.loaded, run.search.done, run.search.results,
                  run.search.progress ? (std::to_string(*run.search.progress) + " s").c_str() : "-",
                  run.search.first_progress.c_str(), run.search.probes, run.search.unanswered,
                  run.search.longest_wait,
                  run.stop.reached ? (std::to_string(run.stop.stopped) + " s -> ").c_str() : "-",
                  run.stop.reached ? ("\"" + run.stop.status + "\"").c_str() : " (the search was over first)");
      std::fflush(stdout);
      results[s].push_back(run);
    }
  }
  ClearRegistry();

  // The median of the runs that reached it; nullopt when none did.
  auto median = [](const std::vector<Run>& of, auto field) -> std::optional<double> {
    std::vector<double> values;
    for (const Run& run : of) {
      if (const std::optional<double> value = field(run)) values.push_back(*value);
    }
    if (values.empty()) return std::nullopt;
    return Median(values);
  };
  auto cell = [](std::optional<double> value, const char* format) {
    char text[32] = "-";
    if (value) std::snprintf(text, sizeof text, format, *value);
    return std::string(text);
  };
  struct Row {
    const char* name;
    const char* format;
    std::optional<double> (*field)(const Run&);
    double target;  // 0: none
  };
  const Row rows[] = {
      {"start-up until loaded (s)", "%.2f", [](const Run& r) -> std::optional<double> { return r.loaded; }, 0},
      {"search until results (s)", "%.3f", [](const Run& r) -> std::optional<double> { return r.search.done; }, 0},
      {"clips searched per second", "%.0f",
       [](const Run& r) -> std::optional<double> { return kClips / r.search.done; }, 0},
      {"clips found", "%.0f",
       [](const Run& r) -> std::optional<double> { return static_cast<double>(r.search.results); }, 0},
      {"progress shown after (s)", "%.3f", [](const Run& r) { return r.search.progress; }, kProgressTarget},
      {"longest wait of a message (s)", "%.3f",
       [](const Run& r) -> std::optional<double> { return r.search.longest_wait; }, 0},
      {"usual wait of a message (s)", "%.3f",
       [](const Run& r) -> std::optional<double> { return r.search.median_wait; }, 0},
      {"messages sent while searching", "%.0f",
       [](const Run& r) -> std::optional<double> { return static_cast<double>(r.search.probes); }, 0},
      {"  of them unanswered in 1 s", "%.0f",
       [](const Run& r) -> std::optional<double> { return static_cast<double>(r.search.unanswered); }, 0},
      {"Esc until stopped (s)", "%.3f",
       [](const Run& r) -> std::optional<double> {
         if (!r.stop.reached) return std::nullopt;
         return r.stop.stopped;
       },
       0},
  };
  std::printf("\nfind over all collections in Ottermoor.exe under Wine: %d collections of %d text clips, "
              "\"%s\" in %d bodies; median of %d runs\n",
              kCollections, kClipsPerCollection, kRareWord, kRareClips, runs);
  std::printf("%-32s", "");
  for (const DataSet& set : kDataSets) std::printf(" %12s", set.label);
  std::printf(" %8s\n", "target");
  for (const Row& row : rows) {
    std::printf("%-32s", row.name);
    std::string verdict;
    for (int s = 0; s < kSets; ++s) {
      const std::optional<double> value = median(results[s], row.field);
      std::printf(" %12s", cell(value, row.format).c_str());
      if (row.target > 0 && value) verdict += std::string(" ") + (*value <= row.target ? "met" : "MISSED");
    }
    if (row.target > 0) {
      std::printf(" %8.3f%s", row.target, verdict.c_str());
    }
    std::printf("\n");
  }
  // What the searches showed, from the last run of each folder.
  for (int s = 0; s < kSets; ++s) {
    const Run& last = results[s].back();
    std::printf("\n%s: Search Results %s (%d rows, %d expected), tree on \"%s\"", kDataSets[s].label,
                last.search.results == kRareClips ? "right" : "WRONG", last.search.results, kRareClips,
                last.search.node.c_str());
    if (last.search.progress) std::printf("; progress \"%s\"", last.search.first_progress.c_str());
    if (last.stop.reached) std::printf("; after Esc \"%s\"", last.stop.status.c_str());
    std::printf("\n");
  }
  SearchBreakdown(base);
  StatusBreakdown();
  std::printf("\ndata folders: %s\n", base.c_str());
  return 0;
}

}  // namespace
}  // namespace om::bench

int main(int argc, char** argv) { return om::bench::Main(argc, argv); }
