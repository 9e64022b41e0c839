// The real Ottermoor.exe under Wine, end to end: a seeded registry and data
// folder, other programs (cliptool, Wine's notepad) copying, the program's
// window read from outside, and the collection file it leaves behind read
// with the program's own loader.
//
// Reading another process's controls: messages that carry no pointer
// (LVM_GETITEMCOUNT, TVM_GETNEXTITEM, TVM_GETCOUNT) work across processes
// as they are. Those that read or fill a buffer (SB_GETTEXT, LVM_GETITEMTEXT,
// LVM_GETITEMRECT) are given a buffer allocated in the program's own address
// space (VirtualAllocEx), written and read back with Write/ReadProcessMemory,
// as on Windows. A click on a row is the left button's two messages posted
// to the list at the row's middle. Menus are not readable from
// another process under Wine; the tests look at what capture did instead.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/app_settings.h"
#include "child_process.h"
#include "cliptool/wire.h"
#include "platform/win32/clipboard_system.h"
#include "platform/win32/clock.h"
#include "platform/win32/file_system.h"
#include "platform/win32/locale.h"
#include "platform/win32/registry.h"
#include "store/clip_coll.h"
#include "store/clip_obj.h"
#include "store/clip_text.h"
#include "store/store_services.h"
#include "ui/components/win32/tool_bar.h"
#include "ui/main/win32/pickdrop_bar.h"
#include "ui/dialogs/win32/find_window.h"
#include "ui/main/win32/main_menus.h"

namespace om::test {
namespace {

// Generous: Wine starts a program in seconds on a loaded machine.
constexpr std::uint32_t kDeadlineMs = 60000;

// The top-level windows of class `class_name` (of one process, or all).
std::vector<HWND> TopLevelWindows(const char* class_name, DWORD process_id) {
  struct Query {
    const char* class_name;
    DWORD process_id;
    std::vector<HWND> found;
  } query{class_name, process_id, {}};
  ::EnumWindows(
      [](HWND hwnd, LPARAM param) -> BOOL {
        auto* q = reinterpret_cast<Query*>(param);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(hwnd, &owner);
        char name[64] = {};
        ::GetClassNameA(hwnd, name, sizeof name);
        if (std::string(name) == q->class_name && (q->process_id == 0 || owner == q->process_id)) {
          q->found.push_back(hwnd);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&query));
  return query.found;
}

// Memory in another process, freed with it.
class RemoteBuffer {
 public:
  RemoteBuffer(DWORD process_id, std::size_t size)
      : process_(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process_id)),
        size_(size) {
    if (process_) address_ = ::VirtualAllocEx(process_.get(), nullptr, size, MEM_COMMIT, PAGE_READWRITE);
  }
  ~RemoteBuffer() {
    if (address_ != nullptr) ::VirtualFreeEx(process_.get(), address_, 0, MEM_RELEASE);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;

  bool ok() const { return address_ != nullptr; }
  LPARAM address(std::size_t offset = 0) const { return reinterpret_cast<LPARAM>(address_) + static_cast<LPARAM>(offset); }
  // The zero-terminated text at `offset`.
  std::string ReadText(std::size_t offset = 0) const {
    if (offset >= size_) return {};
    std::string text(size_ - offset, '\0');
    if (!Read(text.data(), text.size(), offset)) return {};
    text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
    return text;
  }
  bool Read(void* to, std::size_t size, std::size_t offset = 0) const {
    SIZE_T got = 0;
    return offset + size <= size_ &&
           ::ReadProcessMemory(process_.get(), static_cast<char*>(address_) + offset, to, size, &got) && got == size;
  }
  bool Write(const void* from, std::size_t size, std::size_t offset = 0) const {
    SIZE_T put = 0;
    return offset + size <= size_ &&
           ::WriteProcessMemory(process_.get(), static_cast<char*>(address_) + offset, from, size, &put) &&
           put == size;
  }

 private:
  win32::KernelHandle process_;
  void* address_ = nullptr;
  std::size_t size_;
};

// The running program, as the user sees it.
class ProgramWindow {
 public:
  ProgramWindow(HWND main, DWORD process_id) : main_(main), process_id_(process_id) {}

  HWND main() const { return main_; }
  HWND Control(const char* class_name) const { return ::FindWindowExA(main_, nullptr, class_name, nullptr); }

  // The status text: the last part of the status bar.
  std::string Status() const {
    HWND bar = Control(STATUSCLASSNAMEA);
    RemoteBuffer text(process_id_, 1024);
    if (bar == nullptr || !text.ok()) return {};
    DWORD_PTR ignored = 0;
    if (!::SendMessageTimeoutA(bar, SB_GETTEXTA, 2, text.address(), SMTO_NORMAL, 5000, &ignored)) return {};
    return text.ReadText();
  }
  int ClipCount() const { return Count(WC_LISTVIEWA, LVM_GETITEMCOUNT); }
  // The text of a row's column in the clip list ("" when there is none).
  std::string RowText(int row, int column) const {
    // The item record first, the text behind it.
    constexpr std::size_t kTextAt = 256;
    RemoteBuffer buffer(process_id_, kTextAt + 1024);
    if (!buffer.ok()) return {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = reinterpret_cast<char*>(buffer.address(kTextAt));
    item.cchTextMax = 1024;
    DWORD_PTR ignored = 0;
    if (!buffer.Write(&item, sizeof item) ||
        !::SendMessageTimeoutA(Control(WC_LISTVIEWA), LVM_GETITEMTEXTA, static_cast<WPARAM>(row), buffer.address(),
                               SMTO_NORMAL, 5000, &ignored)) {
      return {};
    }
    return buffer.ReadText(kTextAt);
  }
  // The titles of the rows, from the top.
  std::vector<std::string> Titles() const {
    std::vector<std::string> titles;
    for (int row = 0; row < ClipCount(); ++row) titles.push_back(RowText(row, 0));
    return titles;
  }
  // The middle of the row's title in the list's client coordinates.
  std::optional<POINT> RowCentre(int row) const {
    HWND list = Control(WC_LISTVIEWA);
    RemoteBuffer buffer(process_id_, sizeof(RECT));
    RECT rect{};
    rect.left = LVIR_LABEL;
    DWORD_PTR found = 0;
    if (list == nullptr || !buffer.ok() || !buffer.Write(&rect, sizeof rect) ||
        !::SendMessageTimeoutA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), buffer.address(), SMTO_NORMAL, 5000,
                               &found) ||
        !found || !buffer.Read(&rect, sizeof rect)) {
      return std::nullopt;
    }
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  }
  // Clicks the middle of the row's title, as the user's left button does.
  bool ClickRow(int row) const {
    HWND list = Control(WC_LISTVIEWA);
    const std::optional<POINT> centre = RowCentre(row);
    if (!centre) return false;
    const LPARAM at = MAKELPARAM(centre->x, centre->y);
    return ::PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at) && ::PostMessageA(list, WM_LBUTTONUP, 0, at);
  }
  // Adds the row to the selection, as a Ctrl+click does.
  bool AddRowToSelection(int row) const {
    RemoteBuffer buffer(process_id_, sizeof(LVITEMA));
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    DWORD_PTR done = 0;
    return buffer.ok() && buffer.Write(&item, sizeof item) &&
           ::SendMessageTimeoutA(Control(WC_LISTVIEWA), LVM_SETITEMSTATE, static_cast<WPARAM>(row), buffer.address(),
                                 SMTO_NORMAL, 5000, &done) &&
           done != 0;
  }
  // Clicks the middle of a button of the main tool bar.
  bool ClickToolButton(int id) const {
    HWND bar = Control(TOOLBARCLASSNAMEA);
    RemoteBuffer buffer(process_id_, sizeof(RECT));
    RECT rect{};
    DWORD_PTR found = 0;
    if (bar == nullptr || !buffer.ok() ||
        !::SendMessageTimeoutA(bar, TB_GETRECT, static_cast<WPARAM>(id), buffer.address(), SMTO_NORMAL, 5000,
                               &found) ||
        !found || !buffer.Read(&rect, sizeof rect)) {
      return false;
    }
    const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    return ::PostMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, at) && ::PostMessageA(bar, WM_LBUTTONUP, 0, at);
  }
  bool ToolButtonChecked(int id) const {
    DWORD_PTR checked = 0;
    return ::SendMessageTimeoutA(Control(TOOLBARCLASSNAMEA), TB_ISBUTTONCHECKED, static_cast<WPARAM>(id), 0,
                                 SMTO_NORMAL, 5000, &checked) &&
           checked != 0;
  }
  // Drags row `from` onto row `onto` with the left button: pressed on the
  // row and moved away (the list follows the press in a loop of its own,
  // reading the queue); once the window holds the mouse for the drag,
  // moved over the target row and released there.
  bool DragRow(int from, int onto) const {
    HWND list = Control(WC_LISTVIEWA);
    const std::optional<POINT> source = RowCentre(from);
    std::optional<POINT> target = RowCentre(onto);
    if (list == nullptr || !source || !target) return false;
    const LPARAM down = MAKELPARAM(source->x, source->y);
    if (!::PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, down) ||
        !::PostMessageA(list, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(source->x + 30, source->y - 5)) ||
        !::PostMessageA(list, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(source->x + 40, source->y - 10))) {
      return false;
    }
    const DWORD thread = ::GetWindowThreadProcessId(main_, nullptr);
    const bool captured = PumpUntil(
        [&] {
          GUITHREADINFO info{};
          info.cbSize = sizeof info;
          return ::GetGUIThreadInfo(thread, &info) && info.hwndCapture == main_;
        },
        kDeadlineMs);
    if (!captured) return false;
    ::MapWindowPoints(list, main_, &*target, 1);
    const LPARAM at = MAKELPARAM(target->x, target->y);
    return ::PostMessageA(main_, WM_MOUSEMOVE, MK_LBUTTON, at) && ::PostMessageA(main_, WM_LBUTTONUP, 0, at);
  }
  int NodeCount() const { return Count(WC_TREEVIEWA, TVM_GETCOUNT); }
  // The collections are loaded once a node is selected (the load selects
  // the first collection after everything else is in place).
  bool Loaded() const {
    DWORD_PTR selected = 0;
    return NodeCount() >= 4 && ::SendMessageTimeoutA(Control(WC_TREEVIEWA), TVM_GETNEXTITEM, TVGN_CARET, 0,
                                                     SMTO_NORMAL, 5000, &selected) &&
           selected != 0;
  }

 private:
  int Count(const char* class_name, UINT message) const {
    DWORD_PTR count = 0;
    HWND control = Control(class_name);
    if (control == nullptr || !::SendMessageTimeoutA(control, message, 0, 0, SMTO_NORMAL, 5000, &count)) return -1;
    return static_cast<int>(count);
  }

  HWND main_;
  DWORD process_id_;
};

// The process's dialog with this caption, once it is up; nullptr after the
// deadline.
HWND WaitForDialogOf(DWORD process_id, const std::string& caption) {
  HWND box = nullptr;
  PumpUntil(
      [&] {
        for (HWND candidate : TopLevelWindows("#32770", process_id)) {
          char text[64] = {};
          ::GetWindowTextA(candidate, text, sizeof text);
          if (caption == text && ::IsWindowVisible(candidate)) box = candidate;
        }
        return box != nullptr;
      },
      kDeadlineMs);
  return box;
}

std::string TempFolder() {
  char path[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, path);
  return std::string(path) + "OttermoorE2E\\";
}

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    std::error_code error;
    std::filesystem::remove_all(base_, error);
    ASSERT_TRUE(std::filesystem::create_directories(data_ + "Inbox", error)) << data_;
    SeedCollection();
    ASSERT_TRUE(registry_.DeleteTree(kRegistryKey));
    const std::string sources = std::string(kRegistryKey) + "\\DataSources";
    ASSERT_TRUE(registry_.WriteString(sources + "\\_Dirs", kMyClips, "1"));
    ASSERT_TRUE(registry_.WriteString(sources + "\\" + kMyClips, "Description", kMyClips));
    ASSERT_TRUE(registry_.WriteString(sources + "\\" + kMyClips, "Directory", data_));
    ASSERT_TRUE(registry_.WriteString(sources + "\\" + kMyClips, "Read_Only", "0"));
    ASSERT_TRUE(registry_.WriteString(sources + "\\" + kMyClips, "AutoLoad", "1"));
    // Everything logged: the log is one of the files a private copy must
    // stay out of.
    ASSERT_TRUE(registry_.WriteString(std::string(kRegistryKey) + "\\Preferences", "LogLevel", "127"));
  }

  void TearDown() override {
    if (cliptool_ && cliptool_->WriteLine("quit")) cliptool_->WaitForExit(kDeadlineMs);
    for (auto& program : programs_) program->Terminate();
    registry_.DeleteTree(kRegistryKey);
    std::error_code error;
    // A failed test leaves the data folder, with the program's LOG.TXT, to
    // be looked at; the next test starts by removing it.
    if (HasFailure()) {
      std::cout << "The data folder is kept: " << data_ << "\n";
    } else {
      std::filesystem::remove_all(base_, error);
    }
  }

  // What the program's store needs to write and read the data folder.
  TStoreServices Services() {
    TStoreServices services;
    services.Files = &files_;
    services.Clock = &clock_;
    services.Locale = &locale_;
    services.DataDirectory = data_;
    services.FreshDataFolder = &fresh_;
    // Clips are read only while a master list exists, as in the program.
    services.MasterListExists = true;
    services.Clipboard = &clipboard_;
    return services;
  }

  // "Inbox": takes new clips, no duplicates, new clips at the top.
  void SeedCollection() {
    ScopedStoreServices installed(Services());
    TClipColl inbox(true);
    inbox.Title = inbox.DirName = "Inbox";
    ASSERT_TRUE(inbox.SaveToFile(data_ + "Inbox\\" + kCollFileName));
  }

  // Starts Ottermoor.exe with `arguments` and waits until its collections
  // are loaded and capture is on.
  std::optional<ProgramWindow> StartProgram(const std::string& arguments = "") {
    auto& program = programs_.emplace_back(std::make_unique<ChildProcess>());
    program_ = program.get();
    if (!program->Start(ProgramPath("Ottermoor.exe") + (arguments.empty() ? "" : " " + arguments), false)) {
      ADD_FAILURE() << "Ottermoor.exe could not be started";
      return std::nullopt;
    }
    std::optional<ProgramWindow> window;
    const bool loaded = PumpUntil(
        [&] {
          const auto mains = TopLevelWindows("TfrmQL", program->Id());
          if (mains.empty()) return false;
          window.emplace(mains.front(), program->Id());
          return ::IsWindowVisible(mains.front()) && window->Loaded();
        },
        kDeadlineMs);
    if (!loaded) {
      ADD_FAILURE() << "Ottermoor did not show its loaded collections";
      return std::nullopt;
    }
    return window;
  }

  // Puts the items on the clipboard from cliptool.exe, as another program.
  // The tool stays until the test ends: the program looks the clipboard's
  // owner up after the change, and a program that has gone cannot be named.
  void Copy(std::initializer_list<std::string> items) {
    if (!cliptool_) {
      cliptool_ = std::make_unique<ChildProcess>();
      ASSERT_TRUE(cliptool_->Start(ProgramPath("cliptool.exe") + " serve", true));
    }
    std::string line = "put";
    for (const std::string& item : items) line += " " + item;
    ASSERT_TRUE(cliptool_->WriteLine(line));
    const auto reply = cliptool_->ReadLine(kDeadlineMs);
    ASSERT_TRUE(reply.has_value()) << "cliptool did not answer";
    ASSERT_EQ(*reply, "ok");
  }
  static std::string Text(std::string_view text) { return "text:" + cliptool::Escape(text); }

  // Closes the program as the user does and waits for it to end.
  void CloseProgram(const ProgramWindow& window) {
    ASSERT_TRUE(::PostMessageA(window.main(), WM_CLOSE, 0, 0));
    const auto code = program_->WaitForExit(kDeadlineMs);
    ASSERT_TRUE(code.has_value()) << "Ottermoor did not end after WM_CLOSE";
    EXPECT_EQ(*code, 0u);
  }

  // Starts Wine's notepad; its edit control, or nullptr when its window
  // did not appear.
  HWND StartNotepad() {
    char windows_dir[MAX_PATH] = {};
    ::GetWindowsDirectoryA(windows_dir, MAX_PATH);
    auto& notepad = programs_.emplace_back(std::make_unique<ChildProcess>());
    if (!notepad->Start("\"" + std::string(windows_dir) + "\\notepad.exe\"", false)) return nullptr;
    HWND edit = nullptr;
    PumpUntil(
        [&] {
          const auto found = TopLevelWindows("Notepad", notepad->Id());
          edit = found.empty() ? nullptr : ::FindWindowExA(found.front(), nullptr, "Edit", nullptr);
          return edit != nullptr;
        },
        kDeadlineMs);
    return edit;
  }

  // The program takes a change message that comes within 250 ms of the
  // last one for the echo of its own, and drops a change that follows a
  // capture within 200 ms (the settle rule): copies come at a human pace.
  static void WaitOutSettling() {
    PumpUntil([] { return false; }, 1000);
  }

  bool WaitForStatus(const ProgramWindow& window, const std::string& text) {
    std::string last;
    const bool seen = PumpUntil([&] { return (last = window.Status()) == text; }, kDeadlineMs);
    if (!seen) ADD_FAILURE() << "status \"" << last << "\" instead of \"" << text << "\"";
    return seen;
  }

  // The text on the system clipboard as any program reads it; nullopt
  // while another program holds the clipboard open.
  static std::optional<std::string> ClipboardText() {
    if (!::OpenClipboard(nullptr)) return std::nullopt;
    std::string text;
    if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
      if (const auto* bytes = static_cast<const char*>(::GlobalLock(data))) {
        text.assign(bytes, ::strnlen(bytes, ::GlobalSize(data)));
        ::GlobalUnlock(data);
      }
    }
    ::CloseClipboard();
    return text;
  }

  bool WaitForClipboardText(const std::string& text) {
    std::optional<std::string> last;
    const bool seen = PumpUntil([&] { return (last = ClipboardText()) == text; }, kDeadlineMs);
    if (!seen) ADD_FAILURE() << "the clipboard holds \"" << last.value_or("<busy>") << "\" instead of \"" << text << "\"";
    return seen;
  }

  bool WaitForClipCount(const ProgramWindow& window, int count) {
    const bool seen = PumpUntil([&] { return window.ClipCount() == count; }, kDeadlineMs);
    if (!seen) ADD_FAILURE() << window.ClipCount() << " clips instead of " << count << "; status: " << window.Status();
    return seen;
  }

  // The Inbox as the program left it.
  struct SavedClip {
    std::string title;
    std::string creator;
    std::int32_t sort_key = 0;
  };
  std::vector<SavedClip> SavedInbox() {
    ScopedStoreServices installed(Services());
    TClipColl inbox;
    inbox.LoadFromFile(data_ + "Inbox\\" + kCollFileName, /*show_failures=*/false);
    std::vector<SavedClip> clips;
    for (int i = 0; i < inbox.Count(); ++i) {
      clips.push_back({inbox.Clip(i)->Title, inbox.Clip(i)->Creator, inbox.Clip(i)->SortKey});
    }
    return clips;
  }

  bool WaitForRowTitle(const ProgramWindow& window, int row, const std::string& title) {
    std::string last;
    const bool seen = PumpUntil([&] { return (last = window.RowText(row, 0)) == title; }, kDeadlineMs);
    if (!seen) ADD_FAILURE() << "row " << row << " is \"" << last << "\" instead of \"" << title << "\"";
    return seen;
  }

  // Every file of the data folder whose bytes hold `text`.
  std::vector<std::string> FilesHolding(const std::string& text) {
    std::vector<std::string> holding;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(data_)) {
      if (!entry.is_regular_file()) continue;
      std::ifstream file(entry.path(), std::ios::binary);
      const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
      if (bytes.find(text) != std::string::npos) holding.push_back(entry.path().string());
    }
    return holding;
  }

  const std::string base_ = TempFolder();
  const std::string data_ = TempFolder() + "data\\";
  win32::Win32Registry registry_;
  win32::Win32FileSystem files_;
  win32::Win32Clock clock_;
  win32::Win32Locale locale_;
  win32::Win32ClipboardSystem clipboard_;
  // The collection's folder is the data folder's "Inbox", as for a new
  // collection of a fresh data folder.
  const bool fresh_ = true;
  std::vector<std::unique_ptr<ChildProcess>> programs_;
  ChildProcess* program_ = nullptr;  // the last Ottermoor started
  std::unique_ptr<ChildProcess> cliptool_;
};

TEST_F(EndToEnd, ACopyIsCapturedOnceAndSavedWithItsCreator) {
  auto window = StartProgram();
  ASSERT_TRUE(window);
  ASSERT_EQ(window->ClipCount(), 0);

  Copy({Text("Otters hold hands while they sleep")});
  ASSERT_TRUE(PumpUntil([&] { return window->ClipCount() == 1; }, kDeadlineMs)) << window->Status();
  EXPECT_EQ(window->Status(), "Captured Item #1 And Placed In: Inbox");

  // The same text again is the top clip already.
  WaitOutSettling();
  Copy({Text("Otters hold hands while they sleep")});
  ASSERT_TRUE(WaitForStatus(*window, "Duplicate Item Rejected."));
  EXPECT_EQ(window->ClipCount(), 1);

  CloseProgram(*window);
  const auto saved = SavedInbox();
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_EQ(saved[0].title, "Otters hold hands while they sleep");
  EXPECT_EQ(saved[0].creator, "CLIPTOOL");
}

TEST_F(EndToEnd, ClickingARowPutsThatClipBackWithoutCapturingItAgain) {
  auto window = StartProgram();
  ASSERT_TRUE(window);
  Copy({Text("The older clip")});
  ASSERT_TRUE(WaitForClipCount(*window, 1));
  WaitOutSettling();
  Copy({Text("The newer clip")});
  ASSERT_TRUE(WaitForClipCount(*window, 2));
  // The newest clip is on top.
  ASSERT_EQ(window->RowText(1, 0), "The older clip");
  WaitOutSettling();

  ASSERT_TRUE(window->ClickRow(1));
  EXPECT_TRUE(WaitForClipboardText("The older clip"));
  EXPECT_TRUE(WaitForStatus(*window, "Clip Item [The older clip] Copied To System Clipboard."));

  // The program's own copy is no new clip: once the copy has settled, the
  // next foreign copy is the third capture, not the fourth.
  WaitOutSettling();
  WaitOutSettling();
  EXPECT_EQ(window->ClipCount(), 2);
  Copy({Text("A third clip")});
  ASSERT_TRUE(WaitForStatus(*window, "Captured Item #3 And Placed In: Inbox"));
  EXPECT_EQ(window->ClipCount(), 3);

  CloseProgram(*window);
  std::vector<std::string> titles;
  for (const SavedClip& clip : SavedInbox()) titles.push_back(clip.title);
  EXPECT_EQ(titles, (std::vector<std::string>{"A third clip", "The newer clip", "The older clip"}));
}

TEST_F(EndToEnd, ClipsAreKeptAcrossARestart) {
  auto window = StartProgram();
  ASSERT_TRUE(window);
  Copy({Text("Kept across a restart")});
  ASSERT_TRUE(WaitForClipCount(*window, 1));
  CloseProgram(*window);
  // The clip list's columns as they were shown (the format flags narrow).
  EXPECT_EQ(registry_.ReadString(std::string(kRegistryKey) + "\\lvClips\\Columns", "Sizes"),
            "200,60,100,100,60,18,18,18,18,18,18,400");

  // Something else is copied while the program is not running.
  Copy({Text("copied meanwhile")});
  ASSERT_TRUE(WaitForClipboardText("copied meanwhile"));

  auto again = StartProgram();
  ASSERT_TRUE(again);
  ASSERT_TRUE(WaitForStatus(*again, "4 Collections Loaded."));
  EXPECT_EQ(again->ClipCount(), 1);
  EXPECT_EQ(again->RowText(0, 0), "Kept across a restart");
  EXPECT_EQ(again->RowText(0, 3), "CLIPTOOL");
  // Showing the collection selects its first row, which puts the clip back
  // on the clipboard: its data came back from the files as well.
  EXPECT_TRUE(WaitForClipboardText("Kept across a restart"));
  CloseProgram(*again);
}

TEST_F(EndToEnd, TheSortOrderChosenByAHeaderClickSurvivesARestart) {
  auto window = StartProgram();
  ASSERT_TRUE(window);
  for (const char* text : {"bravo", "charlie", "alpha"}) {
    Copy({Text(text)});
    WaitOutSettling();
  }
  ASSERT_TRUE(WaitForClipCount(*window, 3));
  // Newest first, by "MySort".
  EXPECT_EQ(window->RowText(0, 0), "alpha");
  // A click on the "Title" header: by title, in the direction shown
  // (descending) until it is clicked again.
  HWND header = ::FindWindowExA(window->Control(WC_LISTVIEWA), nullptr, WC_HEADERA, nullptr);
  ASSERT_NE(header, nullptr);
  DWORD_PTR ignored = 0;
  const LPARAM at = MAKELPARAM(40, 8);
  ASSERT_TRUE(::SendMessageTimeoutA(header, WM_LBUTTONDOWN, MK_LBUTTON, at, SMTO_NORMAL, 5000, &ignored));
  ASSERT_TRUE(::SendMessageTimeoutA(header, WM_LBUTTONUP, 0, at, SMTO_NORMAL, 5000, &ignored));
  EXPECT_EQ(window->Titles(), (std::vector<std::string>{"charlie", "bravo", "alpha"}));
  ASSERT_TRUE(::SendMessageTimeoutA(header, WM_LBUTTONDOWN, MK_LBUTTON, at, SMTO_NORMAL, 5000, &ignored));
  ASSERT_TRUE(::SendMessageTimeoutA(header, WM_LBUTTONUP, 0, at, SMTO_NORMAL, 5000, &ignored));
  EXPECT_EQ(window->Titles(), (std::vector<std::string>{"alpha", "bravo", "charlie"}));
  CloseProgram(*window);

  // The order is the collection's: the next start shows it.
  auto again = StartProgram();
  ASSERT_TRUE(again);
  ASSERT_TRUE(WaitForClipCount(*again, 3));
  EXPECT_EQ(again->Titles(), (std::vector<std::string>{"alpha", "bravo", "charlie"}));
  CloseProgram(*again);
}

TEST_F(EndToEnd, ARowDraggedOntoAnotherGoesInFrontOfItAndTheOrderIsSaved) {
  auto window = StartProgram();
  ASSERT_TRUE(window);
  for (const char* text : {"one", "two", "three"}) {
    Copy({Text(text)});
    WaitOutSettling();
  }
  ASSERT_TRUE(WaitForClipCount(*window, 3));
  // Newest first, by "MySort" (keys 300, 200, 100).
  ASSERT_EQ(window->Titles(), (std::vector<std::string>{"three", "two", "one"}));
  ASSERT_TRUE(window->ClickRow(2));
  ASSERT_TRUE(WaitForStatus(*window, "Clip Item [one] Copied To System Clipboard."));

  // "one" onto the first row: above "three", below the collection's next
  // key (400).
  ASSERT_TRUE(window->DragRow(2, 0));
  ASSERT_TRUE(WaitForStatus(*window, "1 Clip Moved Within Collection."));
  EXPECT_EQ(window->Titles(), (std::vector<std::string>{"one", "three", "two"}));
  EXPECT_EQ(window->RowText(0, 1), "350");
  // Onto a selected row (the one just dropped is): refused.
  ASSERT_TRUE(window->DragRow(0, 0));
  ASSERT_TRUE(WaitForStatus(*window, "Invalid Drop Target"));
  EXPECT_EQ(window->Titles(), (std::vector<std::string>{"one", "three", "two"}));

  CloseProgram(*window);
  std::vector<std::pair<std::string, std::int32_t>> saved;
  for (const SavedClip& clip : SavedInbox()) saved.emplace_back(clip.title, clip.sort_key);
  std::sort(saved.begin(), saved.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
  EXPECT_EQ(saved, (std::vector<std::pair<std::string, std::int32_t>>{{"one", 350}, {"three", 300}, {"two", 200}}));
}

TEST_F(EndToEnd, ACopyMarkedPrivateLeavesNoTrace) {
  auto window = StartProgram();
  ASSERT_TRUE(window);
  // A password manager's copy: the text with the marker beside it.
  Copy({Text("hunter2-secret"), "fmt:ExcludeClipboardContentFromMonitorProcessing=00"});
  ASSERT_TRUE(WaitForStatus(*window, "New Data Ignored (Ignore Flag Set By Sender)."));
  EXPECT_EQ(window->ClipCount(), 0);

  CloseProgram(*window);
  EXPECT_TRUE(SavedInbox().empty());
  EXPECT_EQ(FilesHolding("hunter2-secret"), std::vector<std::string>{});
}

TEST_F(EndToEnd, NocaptureStartsWithCaptureOff) {
  auto window = StartProgram("nocapture");
  ASSERT_TRUE(window);
  Copy({Text("not for keeping")});
  ASSERT_TRUE(WaitForStatus(*window, "New Data Ignored (Capture Is Off)."));
  EXPECT_EQ(window->ClipCount(), 0);

  CloseProgram(*window);
  EXPECT_TRUE(SavedInbox().empty());
}

TEST_F(EndToEnd, ASecondStartBringsTheFirstForwardAndEnds) {
  auto window = StartProgram();
  ASSERT_TRUE(window);
  ::ShowWindow(window->main(), SW_MINIMIZE);
  ASSERT_TRUE(PumpUntil([&] { return ::IsIconic(window->main()) != FALSE; }, kDeadlineMs));

  ChildProcess second;
  ASSERT_TRUE(second.Start(ProgramPath("Ottermoor.exe"), false));
  const auto code = second.WaitForExit(kDeadlineMs);
  ASSERT_TRUE(code.has_value()) << "the second instance did not end by itself";
  EXPECT_TRUE(PumpUntil([&] { return !::IsIconic(window->main()); }, kDeadlineMs))
      << "the first window was not shown normally";
  EXPECT_EQ(TopLevelWindows("TfrmQL", 0).size(), 1u);
  CloseProgram(*window);
}

TEST_F(EndToEnd, ACopyInNotepadIsCapturedWithItsCreator) {
  auto window = StartProgram();
  ASSERT_TRUE(window);

  const HWND edit = StartNotepad();
  ASSERT_NE(edit, nullptr) << "notepad's window did not appear";

  // Typed, selected and copied in notepad's own edit control.
  const char text[] = "Written in notepad";
  DWORD_PTR ignored = 0;
  ASSERT_TRUE(::SendMessageTimeoutA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 10000, &ignored));
  ASSERT_TRUE(::SendMessageTimeoutA(edit, EM_SETSEL, 0, -1, SMTO_NORMAL, 10000, &ignored));
  ASSERT_TRUE(::SendMessageTimeoutA(edit, WM_COPY, 0, 0, SMTO_NORMAL, 10000, &ignored));
  ASSERT_TRUE(PumpUntil([&] { return window->ClipCount() == 1; }, kDeadlineMs)) << window->Status();

  CloseProgram(*window);
  const auto saved = SavedInbox();
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_EQ(saved[0].title, text);
  EXPECT_EQ(saved[0].creator, "NOTEPAD");
}

TEST_F(EndToEnd, AddNewCollectionFromTheFileMenuMakesItsFolderAndNode) {
  auto window = StartProgram();
  ASSERT_TRUE(window);
  const int nodes = window->NodeCount();
  DWORD process_id = 0;
  ::GetWindowThreadProcessId(window->main(), &process_id);
  const UINT command = win32::MainMenus::IdOfCommand(MenuCommand::kNewCollection);
  ASSERT_NE(command, 0u);
  ASSERT_TRUE(::PostMessageA(window->main(), WM_COMMAND, MAKEWPARAM(command, 0), 0));

  // The program asks for the name in its input box.
  HWND box = WaitForDialogOf(process_id, "Create New Collection");
  ASSERT_NE(box, nullptr) << "no input box";
  HWND edit = ::FindWindowExA(box, nullptr, "Edit", nullptr);
  ASSERT_NE(edit, nullptr);
  DWORD_PTR ignored = 0;
  ASSERT_TRUE(::SendMessageTimeoutA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Made/Here"), SMTO_NORMAL, 10000,
                                    &ignored));
  ASSERT_TRUE(::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                             reinterpret_cast<LPARAM>(::GetDlgItem(box, IDOK))));

  // From the File menu it goes below the selected node: the load selected
  // the Inbox.
  ASSERT_TRUE(WaitForStatus(*window, "New Collection Created"));
  EXPECT_TRUE(std::filesystem::is_directory(data_ + "Inbox\\Made_Here"));
  EXPECT_EQ(window->NodeCount(), nodes + 1);
  CloseProgram(*window);
  EXPECT_TRUE(std::filesystem::exists(data_ + "Inbox\\Made_Here\\" + kCollFileName)) << "saved at shutdown";
}

// The preview's text pane of the running program (a rich edit, control 11).
HWND TextPane(HWND main) {
  struct Query {
    HWND found = nullptr;
  } query;
  ::EnumChildWindows(
      main,
      [](HWND hwnd, LPARAM param) -> BOOL {
        char name[64] = {};
        ::GetClassNameA(hwnd, name, sizeof name);
        if (std::string(name) == "RichEdit20A" && ::GetDlgCtrlID(hwnd) == 11) {
          reinterpret_cast<Query*>(param)->found = hwnd;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&query));
  return query.found;
}

std::string WindowText(HWND hwnd) {
  char text[512] = {};
  DWORD_PTR ignored = 0;
  ::SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 10000, &ignored);
  return text;
}

TEST_F(EndToEnd, AnEditInThePreviewLeavesOnlyTheEditedTextInTheClipAndItsFile) {
  auto window = StartProgram();
  ASSERT_TRUE(window);
  const std::string rtf = "{\\rtf1 plain and \\b rich\\b0}";
  cliptool::WireBytes rtf_bytes(rtf.begin(), rtf.end());
  rtf_bytes.push_back(0);
  Copy({Text("plain and rich"), "fmt:" + cliptool::Escape("Rich Text Format") + "=" + cliptool::ToHex(rtf_bytes)});
  ASSERT_TRUE(WaitForClipCount(*window, 1));
  WaitOutSettling();
  Copy({Text("another clip")});
  ASSERT_TRUE(WaitForClipCount(*window, 2));
  WaitOutSettling();

  // The rich clip is the second row: clicked, its text is in the pane.
  ASSERT_TRUE(window->ClickRow(1));
  const HWND pane = TextPane(window->main());
  ASSERT_NE(pane, nullptr) << "no text pane";
  ASSERT_TRUE(PumpUntil([&] { return WindowText(pane) == "plain and rich"; }, kDeadlineMs)) << WindowText(pane);

  // The user rewrites it and moves on to the other clip.
  DWORD_PTR ignored = 0;
  ASSERT_TRUE(::SendMessageTimeoutA(pane, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("edited in the pane"), SMTO_NORMAL,
                                    10000, &ignored));
  ASSERT_TRUE(::SendMessageTimeoutA(pane, EM_SETMODIFY, TRUE, 0, SMTO_NORMAL, 10000, &ignored));
  ASSERT_TRUE(window->ClickRow(0));
  ASSERT_TRUE(PumpUntil([&] { return WindowText(pane) == "another clip"; }, kDeadlineMs)) << WindowText(pane);
  EXPECT_EQ(window->RowText(1, 0), "plain and rich") << "the title stays";
  CloseProgram(*window);

  ScopedStoreServices installed(Services());
  TClipColl inbox;
  inbox.LoadFromFile(data_ + "Inbox\\" + kCollFileName, /*show_failures=*/false);
  ASSERT_EQ(inbox.Count(), 2);
  TClipObj& edited = *inbox.Clip(1);
  ASSERT_EQ(edited.GetFormatCount(), 1);
  EXPECT_EQ(edited.GetFormatName(0), "TEXT");
  ASSERT_GT(edited.Lock(1), 0);
  EXPECT_STREQ(reinterpret_cast<const char*>(edited.LockedText), "edited in the pane");
  edited.Unlock();
}

// The first child of `parent` (at any depth) whose class name starts with
// `prefix`.
HWND FindChildByClassPrefix(HWND parent, const std::string& prefix) {
  struct Query {
    const std::string* prefix;
    HWND found = nullptr;
  } query{&prefix};
  ::EnumChildWindows(
      parent,
      [](HWND hwnd, LPARAM param) -> BOOL {
        auto* q = reinterpret_cast<Query*>(param);
        char name[64] = {};
        ::GetClassNameA(hwnd, name, sizeof name);
        if (std::string(name).rfind(*q->prefix, 0) == 0) {
          q->found = hwnd;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&query));
  return query.found;
}

TEST_F(EndToEnd, RichTextCopiedInWordPadShowsOnTheTextAndRichTextTabs) {
  auto window = StartProgram();
  ASSERT_TRUE(window);

  char system_dir[MAX_PATH] = {};
  ::GetSystemDirectoryA(system_dir, MAX_PATH);
  auto& write = programs_.emplace_back(std::make_unique<ChildProcess>());
  ASSERT_TRUE(write->Start("\"" + std::string(system_dir) + "\\write.exe\"", false));
  HWND edit = nullptr;
  HWND wordpad = nullptr;
  ASSERT_TRUE(PumpUntil(
      [&] {
        // WordPad's window is known by its title ("Document - Wordpad").
        ::EnumWindows(
            [](HWND hwnd, LPARAM param) -> BOOL {
              char title[128] = {};
              ::GetWindowTextA(hwnd, title, sizeof title);
              std::string lower(title);
              for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
              if (lower.find("wordpad") == std::string::npos) return TRUE;
              *reinterpret_cast<HWND*>(param) = hwnd;
              return FALSE;
            },
            reinterpret_cast<LPARAM>(&wordpad));
        if (wordpad != nullptr) edit = FindChildByClassPrefix(wordpad, "RichEdit");
        return edit != nullptr;
      },
      kDeadlineMs))
      << "WordPad's window did not appear";
  // write.exe hands over to WordPad and may end: the test ends WordPad's
  // process itself, whoever started it.
  DWORD wordpad_id = 0;
  ::GetWindowThreadProcessId(wordpad, &wordpad_id);
  struct EndProcess {
    DWORD id;
    ~EndProcess() {
      if (HANDLE process = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id)) {
        ::TerminateProcess(process, 0);
        ::WaitForSingleObject(process, 10000);
        ::CloseHandle(process);
      }
    }
  } end_wordpad{wordpad_id};

  const char text[] = "Written in WordPad";
  DWORD_PTR ignored = 0;
  ASSERT_TRUE(::SendMessageTimeoutA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 10000, &ignored));
  ASSERT_TRUE(::SendMessageTimeoutA(edit, EM_SETSEL, 0, -1, SMTO_NORMAL, 10000, &ignored));
  ASSERT_TRUE(::SendMessageTimeoutA(edit, WM_COPY, 0, 0, SMTO_NORMAL, 10000, &ignored));
  ASSERT_TRUE(PumpUntil([&] { return window->ClipCount() == 1; }, kDeadlineMs)) << window->Status();

  // The new clip is previewed: its text on the Text tab, and a Rich Text
  // tab beside it (no Html tab: there is no browser here).
  const HWND pane = TextPane(window->main());
  ASSERT_NE(pane, nullptr);
  EXPECT_TRUE(PumpUntil([&] { return WindowText(pane) == text; }, kDeadlineMs)) << WindowText(pane);
  const HWND tabs = FindChildByClassPrefix(window->main(), "SysTabControl32");
  ASSERT_NE(tabs, nullptr);
  DWORD_PTR tab_count = 0;
  ASSERT_TRUE(::SendMessageTimeoutA(tabs, TCM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 10000, &tab_count));
  EXPECT_EQ(tab_count, 2u);

  CloseProgram(*window);

  ScopedStoreServices installed(Services());
  // In its place below the data folder, so that the clip's data file (a
  // rich clip keeps its formats apart) is found beside the collection.
  TClipColl source;
  source.Role = collrole::kFolderNode;
  source.DirName = data_;
  TClipColl inbox;
  inbox.Parent = &source;
  inbox.DirName = "Inbox";
  inbox.LoadFromFile(data_ + "Inbox\\" + kCollFileName, /*show_failures=*/false);
  ASSERT_EQ(inbox.Count(), 1);
  std::vector<std::string> names;
  for (std::int32_t i = 0; i < inbox.Clip(0)->GetFormatCount(); ++i) names.push_back(inbox.Clip(0)->GetFormatName(i));
  EXPECT_NE(std::find(names.begin(), names.end(), "Rich Text Format"), names.end());
  const std::string creator = inbox.Clip(0)->Creator;
  EXPECT_TRUE(creator == "WORDPAD" || creator == "WRITE") << creator;
}

TEST_F(EndToEnd, GlueJoinsCopiedTextsAndSelectedClips) {
  auto window = StartProgram();
  ASSERT_TRUE(window);
  Copy({Text("alpha")});
  ASSERT_TRUE(WaitForClipCount(*window, 1));
  WaitOutSettling();

  // One clip selected: the button starts automatic glue with an empty clip.
  ASSERT_TRUE(window->ClickToolButton(win32::ToolBar::kGlueButtonId));
  ASSERT_TRUE(WaitForRowTitle(*window, 0, "Glue: (0 Items)"));
  EXPECT_EQ(window->ClipCount(), 2);
  EXPECT_TRUE(window->ToolButtonChecked(win32::ToolBar::kGlueButtonId));

  // Texts copied in another program are appended to it, not captured.
  Copy({Text("one")});
  ASSERT_TRUE(WaitForRowTitle(*window, 0, "Glue: (1) Items"));
  EXPECT_TRUE(WaitForClipboardText("one"));
  WaitOutSettling();
  WaitOutSettling();
  Copy({Text("two")});
  ASSERT_TRUE(WaitForRowTitle(*window, 0, "Glue: (2) Items"));
  EXPECT_TRUE(WaitForClipboardText("one\r\ntwo"));
  EXPECT_EQ(window->ClipCount(), 2);
  WaitOutSettling();

  // The button again ends it.
  ASSERT_TRUE(window->ClickToolButton(win32::ToolBar::kGlueButtonId));
  ASSERT_TRUE(WaitForRowTitle(*window, 0, "Glue Complete: (2) Items"));
  EXPECT_FALSE(window->ToolButtonChecked(win32::ToolBar::kGlueButtonId));
  WaitOutSettling();

  // Two rows selected from the top down: a manual glue of both, in that
  // order, on the clipboard.
  ASSERT_TRUE(window->AddRowToSelection(1));
  ASSERT_TRUE(window->ClickToolButton(win32::ToolBar::kGlueButtonId));
  ASSERT_TRUE(WaitForRowTitle(*window, 0, "Glue: (2 Items)"));
  EXPECT_TRUE(WaitForClipboardText("one\r\ntwo\r\nalpha"));
  EXPECT_EQ(window->ClipCount(), 3);
  EXPECT_FALSE(window->ToolButtonChecked(win32::ToolBar::kGlueButtonId));

  CloseProgram(*window);
  const auto saved = SavedInbox();
  ASSERT_EQ(saved.size(), 3u);
  EXPECT_EQ(saved[0].title, "Glue: (2 Items)");
  EXPECT_EQ(saved[0].creator, "Ottermoor - Glue");
  EXPECT_EQ(saved[1].title, "Glue Complete: (2) Items");
  EXPECT_EQ(saved[2].title, "alpha");
}

// A collection of text clips, titled as given, in the data folder's
// `folder` (written before the program starts).
void WriteTextCollection(const std::string& data, const std::string& folder,
                         const std::vector<std::string>& titles) {
  TClipColl coll(true);
  coll.Title = coll.DirName = folder;
  for (const std::string& title : titles) om::testing::AddTextClip(coll, title, title);
  ASSERT_TRUE(coll.SaveToFile(data + folder + "\\" + kCollFileName));
}

// The text of the tree's selected node in the running program.
std::string SelectedNodeText(HWND tree, DWORD process_id) {
  DWORD_PTR selected = 0;
  if (!::SendMessageTimeoutA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0, SMTO_NORMAL, 5000, &selected) || selected == 0) {
    return {};
  }
  constexpr std::size_t kTextAt = 256;
  RemoteBuffer buffer(process_id, kTextAt + 256);
  TVITEMA item{};
  item.mask = TVIF_TEXT;
  item.hItem = reinterpret_cast<HTREEITEM>(selected);
  item.pszText = reinterpret_cast<char*>(buffer.address(kTextAt));
  item.cchTextMax = 256;
  DWORD_PTR ok = 0;
  if (!buffer.ok() || !buffer.Write(&item, sizeof item) ||
      !::SendMessageTimeoutA(tree, TVM_GETITEMA, 0, buffer.address(), SMTO_NORMAL, 5000, &ok) || !ok) {
    return {};
  }
  return buffer.ReadText(kTextAt);
}

// Each paste in notepad (its edit control's own paste, as Ctrl+V does it)
// takes the clip the program promised, and the next one is promised a
// moment later. The program closed with a clip still promised: the paste
// after it still gets that clip.
TEST_F(EndToEnd, StepfeedFeedsEachPasteInNotepadTheNextClipAndTheLastOutlivesTheProgram) {
  {
    ScopedStoreServices installed(Services());
    WriteTextCollection(data_, "Inbox", {"first ", "second ", "third ", "fourth"});
  }
  auto window = StartProgram();
  ASSERT_TRUE(window);
  std::vector<std::string> rows;
  for (int row = 0; row < 4; ++row) rows.push_back(window->RowText(row, 0));
  const HWND edit = StartNotepad();
  ASSERT_NE(edit, nullptr) << "notepad's window did not appear";

  ASSERT_TRUE(window->ClickRow(0));
  ASSERT_TRUE(WaitForClipboardText(rows[0]));
  WaitOutSettling();
  ASSERT_TRUE(window->ClickToolButton(win32::ToolBar::kStepfeedDownButtonId));
  ASSERT_TRUE(PumpUntil([&] { return window->ToolButtonChecked(win32::ToolBar::kStepfeedDownButtonId); },
                        kDeadlineMs));
  DWORD_PTR ignored = 0;
  const auto paste = [&] {
    // The pause before the next clip is promised is 100 ms by default.
    PumpUntil([] { return false; }, 500);
    return ::SendMessageTimeoutA(edit, WM_PASTE, 0, 0, SMTO_NORMAL, 10000, &ignored) != 0;
  };
  const auto notepad_text = [&] {
    char text[256] = {};
    ::SendMessageTimeoutA(edit, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 10000,
                          &ignored);
    return std::string(text);
  };
  for (int pasted = 1; pasted <= 3; ++pasted) {
    ASSERT_TRUE(paste());
    std::string expected;
    for (int row = 0; row < pasted; ++row) expected += rows[row];
    EXPECT_EQ(notepad_text(), expected) << "after paste " << pasted;
  }
  EXPECT_TRUE(window->ToolButtonChecked(win32::ToolBar::kStepfeedDownButtonId));

  // The fourth clip is promised now; the program goes.
  PumpUntil([] { return false; }, 500);
  CloseProgram(*window);
  ASSERT_TRUE(paste());
  EXPECT_EQ(notepad_text(), rows[0] + rows[1] + rows[2] + rows[3]);
  // Nothing of the program's own placing was captured.
  EXPECT_EQ(SavedInbox().size(), 4u);
}

// Synthetic key presses, as the user's keyboard gives them: each key of
// `keys` pressed in order, then released in reverse.
void PressKeys(std::initializer_list<BYTE> keys) {
  for (BYTE key : keys) ::keybd_event(key, static_cast<BYTE>(::MapVirtualKeyA(key, MAPVK_VK_TO_VSC)), 0, 0);
  for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) {
    ::keybd_event(*key, static_cast<BYTE>(::MapVirtualKeyA(*key, MAPVK_VK_TO_VSC)), KEYEVENTF_KEYUP, 0);
  }
}

// The user works in notepad, presses the Pickdrop hot key (Shift+Ctrl+Q),
// steps down the list that comes up over notepad and presses Enter: the
// clip is typed into notepad's edit control, and the program steps back.
TEST_F(EndToEnd, PickdropOverNotepadPastesTheClipChosenInTheListIntoNotepad) {
  {
    ScopedStoreServices installed(Services());
    WriteTextCollection(data_, "Inbox", {"alpha", "beta", "gamma"});
  }
  auto window = StartProgram();
  ASSERT_TRUE(window);
  std::vector<std::string> rows;
  for (int row = 0; row < 3; ++row) rows.push_back(window->RowText(row, 0));
  ASSERT_TRUE(window->ClickRow(0));
  ASSERT_TRUE(WaitForClipboardText(rows[0]));
  const HWND edit = StartNotepad();
  ASSERT_NE(edit, nullptr) << "notepad's window did not appear";
  const HWND notepad = ::GetAncestor(edit, GA_ROOT);
  ::SetForegroundWindow(notepad);
  ASSERT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == notepad; }, kDeadlineMs));

  PressKeys({VK_SHIFT, VK_CONTROL, 'Q'});
  const HWND bar = ::GetDlgItem(window->main(), win32::PickdropBar::kControlId);
  ASSERT_NE(bar, nullptr) << "no Pickdrop tool bar";
  ASSERT_TRUE(PumpUntil([&] { return ::IsWindowVisible(bar) && ::GetForegroundWindow() == window->main(); },
                        kDeadlineMs))
      << "Pickdrop did not come up: " << window->Status();
  PumpUntil([] { return false; }, 300);
  PressKeys({VK_DOWN});
  ASSERT_TRUE(WaitForClipboardText(rows[1]));
  PressKeys({VK_RETURN});

  DWORD_PTR ignored = 0;
  std::string pasted;
  const bool arrived = PumpUntil(
      [&] {
        char text[256] = {};
        ::SendMessageTimeoutA(edit, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000,
                              &ignored);
        pasted = text;
        return !pasted.empty();
      },
      kDeadlineMs);
  EXPECT_TRUE(arrived) << "nothing arrived in notepad";
  EXPECT_EQ(pasted, rows[1]);
  // The mode is over: its tool bar is gone and notepad is in front.
  EXPECT_TRUE(PumpUntil([&] { return !::IsWindowVisible(bar); }, kDeadlineMs));
  EXPECT_EQ(::GetForegroundWindow(), notepad);
  CloseProgram(*window);
  EXPECT_EQ(SavedInbox().size(), 3u);
}

TEST_F(EndToEnd, AFindOverAllCollectionsFillsSearchResultsAndTheTreeSelectsIt) {
  {
    ScopedStoreServices installed(Services());
    WriteTextCollection(data_, "Inbox", {"zebra in the inbox", "a lion"});
    WriteTextCollection(data_, "Second", {"nothing here", "another ZEBRA"});
  }
  // The search button shows on the tool bar when the settings ask for it;
  // the user opens the dialog with it.
  ASSERT_TRUE(registry_.WriteString(std::string(kRegistryKey) + "\\Preferences", "ShowSearch", "1"));
  auto window = StartProgram();
  ASSERT_TRUE(window);
  DWORD process_id = 0;
  ::GetWindowThreadProcessId(window->main(), &process_id);
  ASSERT_TRUE(window->ClickToolButton(win32::ToolBar::kSearchButtonId)) << "no search button";

  HWND box = WaitForDialogOf(process_id, "Find");
  ASSERT_NE(box, nullptr) << "no find dialog";
  // The user types the word, picks all collections and presses Enter.
  HWND edit = ::GetDlgItem(box, win32::FindDialogWindow::kTextId);
  ASSERT_NE(edit, nullptr);
  DWORD_PTR ignored = 0;
  ASSERT_TRUE(::SendMessageTimeoutA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Zebra"), SMTO_NORMAL, 10000,
                                    &ignored));
  ASSERT_TRUE(::SendMessageTimeoutA(::GetDlgItem(box, win32::FindDialogWindow::kAllCollId), BM_CLICK, 0, 0,
                                    SMTO_NORMAL, 10000, &ignored));
  ASSERT_TRUE(::PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0));

  ASSERT_TRUE(WaitForStatus(*window, "Found It!"));
  ASSERT_TRUE(WaitForClipCount(*window, 2));
  std::vector<std::string> rows = {window->RowText(0, 0), window->RowText(1, 0)};
  std::sort(rows.begin(), rows.end());
  EXPECT_EQ(rows, (std::vector<std::string>{"another ZEBRA", "zebra in the inbox"}));
  EXPECT_EQ(SelectedNodeText(window->Control(WC_TREEVIEWA), process_id), "Search Results");
  CloseProgram(*window);
  // The clips stayed in their collections.
  EXPECT_EQ(SavedInbox().size(), 2u);
}

// The program shows a popup menu now (a window of class "#32768" in its
// process).
bool ShownPopupMenu(DWORD process_id) {
  for (HWND candidate : TopLevelWindows("#32768", process_id)) {
    if (::IsWindowVisible(candidate)) return true;
  }
  return false;
}

TEST_F(EndToEnd, DeletingEveryClipLeavesTheClipboardEmpty) {
  auto window = StartProgram();
  ASSERT_TRUE(window);
  Copy({Text("First to go")});
  ASSERT_TRUE(WaitForClipCount(*window, 1));
  WaitOutSettling();
  Copy({Text("Second to go")});
  ASSERT_TRUE(WaitForClipCount(*window, 2));
  ASSERT_TRUE(WaitForClipboardText("Second to go"));
  WaitOutSettling();

  for (MenuCommand command : {MenuCommand::kSelectAll, MenuCommand::kDeleteSelected}) {
    ASSERT_TRUE(::PostMessageA(window->main(), WM_COMMAND, MAKEWPARAM(win32::MainMenus::IdOfCommand(command), 0), 0));
  }
  ASSERT_TRUE(WaitForClipCount(*window, 0));
  EXPECT_TRUE(WaitForClipboardText(""));
  CloseProgram(*window);
  EXPECT_TRUE(SavedInbox().empty());
}

TEST_F(EndToEnd, MovingAPictureClipMovesItsFilesToTheOtherCollection) {
  {
    ScopedStoreServices installed(Services());
    TClipColl archive(true);
    archive.Title = archive.DirName = "Archive";
    archive.TreeSortKey = 2000;
    archive.AcceptNewClips = false;
    ASSERT_TRUE(std::filesystem::create_directories(data_ + "Archive"));
    ASSERT_TRUE(archive.SaveToFile(data_ + "Archive\\" + kCollFileName));
  }
  auto window = StartProgram();
  ASSERT_TRUE(window);
  Copy({"dib:4x4"});
  ASSERT_TRUE(WaitForClipCount(*window, 1));
  WaitOutSettling();
  // Saved: the clip's data and picture files are in the Inbox's folder.
  const auto post = [&](MenuCommand command) {
    return ::PostMessageA(window->main(), WM_COMMAND, MAKEWPARAM(win32::MainMenus::IdOfCommand(command), 0), 0);
  };
  ASSERT_TRUE(post(MenuCommand::kFileSave));
  ASSERT_TRUE(PumpUntil([&] { return std::filesystem::exists(data_ + "Inbox\\I1.bmp"); }, kDeadlineMs));
  ASSERT_TRUE(std::filesystem::exists(data_ + "Inbox\\D1.DAT"));

  // Edit, "Move Item To Collection": the menu lists the tree's nodes (the
  // data source, the Inbox, the Archive, ...); the Archive is chosen with
  // the keyboard.
  ASSERT_TRUE(window->ClickRow(0));
  WaitOutSettling();
  ASSERT_TRUE(post(MenuCommand::kMoveToCollection));
  DWORD process_id = 0;
  ::GetWindowThreadProcessId(window->main(), &process_id);
  ASSERT_TRUE(PumpUntil([&] { return ShownPopupMenu(process_id); }, kDeadlineMs)) << "no menu";
  // Down steps through every entry but separators, greyed ones too: the
  // third is the Archive.
  for (int step = 0; step < 3; ++step) ::PostMessageA(window->main(), WM_KEYDOWN, VK_DOWN, 0);
  ::PostMessageA(window->main(), WM_KEYDOWN, VK_RETURN, 0);

  // Files were moved: the batch ends with a save of every collection.
  ASSERT_TRUE(WaitForStatus(*window, "Moved 1 clip to Archive"));
  EXPECT_EQ(window->ClipCount(), 0);
  // The files went with the clip, under its number in the Archive, and the
  // Inbox's are gone once its file no longer lists the clip.
  EXPECT_TRUE(std::filesystem::exists(data_ + "Archive\\I1.bmp"));
  EXPECT_TRUE(std::filesystem::exists(data_ + "Archive\\D1.DAT"));
  EXPECT_FALSE(std::filesystem::exists(data_ + "Inbox\\I1.bmp"));
  EXPECT_FALSE(std::filesystem::exists(data_ + "Inbox\\D1.DAT"));
  CloseProgram(*window);
  EXPECT_TRUE(SavedInbox().empty());
  ScopedStoreServices installed(Services());
  TClipColl archive;
  archive.DirName = "Archive";  // below the data folder, as in a fresh one
  archive.LoadFromFile(data_ + "Archive\\" + kCollFileName, /*show_failures=*/false);
  ASSERT_EQ(archive.Count(), 1);
  EXPECT_TRUE(archive.Clip(0)->HasIcon(CF_BITMAP));
  EXPECT_NE(archive.Clip(0)->GetObj(CF_BITMAP), nullptr);
}

}  // namespace
}  // namespace om::test
