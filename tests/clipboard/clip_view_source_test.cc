// Source identification: fingerprints, the clipboard owner's process, the
// foreground window's title, the object descriptor, the chain's names and
// the process tools found at start.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "clipboard/graphics_data.h"
#include "clipboard/viewer_fixture.h"

namespace om::testing {
namespace {

using ::testing::EndsWith;

constexpr char kCliptool[] = "C:\\Tools\\cliptool.exe";
constexpr char kNotepad[] = "C:\\Windows\\notepad.exe";

constexpr ProcessTools kAllTools{true, true, true, true, true};
constexpr ProcessTools kToolHelpOnly{true, true, true, false, false};
constexpr ProcessTools kPsapiOnly{false, false, false, true, true};
constexpr ProcessTools kNoTools{};

class SourceTest : public ViewerTest {
 protected:
  // Puts `items` from `app` and lets the viewer capture them.
  std::string Captured(ForeignApp& app, const std::vector<Item>& items, bool own_window = true) {
    if (!View().Active()) Listening(50);
    Advance(1000);
    app.Put(items, own_window);
    Advance(1000);
    return View().Creator();
  }
  // A window of a process neither look-up knows.
  WindowHandle Stranger(std::string title) {
    return desktop_.Windows().Create(stranger_handler_, {std::move(title), "Stranger", desktop_.NewProcessId()});
  }

 private:
  class Quiet final : public IMessageHandler {
    std::intptr_t OnMessage(WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t, bool& handled) override {
      handled = false;
      return 0;
    }
  } stranger_handler_;
};

TEST_F(SourceTest, FingerprintsNameTheApplicationWhateverTheOwner) {
  auto app = Start(kNotepad);
  const Bytes x{'x'};
  const Bytes pict = MetafilePict(8, 1, 1);
  const struct {
    std::vector<Item> items;
    const char* creator;
  } cases[] = {
      {{{"Csv", x}, {"3", pict}, {"1", TextBytes("a")}, {"Wk1", x}, {"Biff", x}}, "EXCEL"},
      {{{"3", pict}, {"Biff5", x}}, "EXCEL Picture"},
      {{{"1", TextBytes("a")}, {"WordPerfect 8 Text", x}}, "WordPerfect"},
      {{{"WordPerfect 7 Text", x}}, "WordPerfect"},
      {{{"wordperfect 6 text", x}, {"Ami Text Format", x}}, "WordPerfect"},
      {{{"Ami Text Format", x}, {"VBControls", x}}, "Ami Pro"},
      {{{"VBControls", x}}, "Visual Basic Controls"},
      // Near misses fall through to the owner.
      {{{"Csv", x}, {"3", pict}, {"1", TextBytes("a")}, {"Wk1", x}}, "NOTEPAD"},
      {{{"3", pict}, {"1", TextBytes("a")}, {"Biff5", x}}, "NOTEPAD"},
      {{{"WordPerfect 5 Text", x}}, "NOTEPAD"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.creator);
    EXPECT_EQ(Captured(*app, c.items), c.creator);
    EXPECT_EQ(View().OwnerMethod(), std::string(c.creator) == "NOTEPAD"
                                        ? "GetOwnerWithSnapshot:Using Clipboard Owner Handle"
                                        : "Fingerprint");
  }
}

struct OwnerCase {
  const char* name;
  ProcessTools tools;
  fake::FakeProcess owner_process;
  bool owner_window;  // the owner's window owns the data (else no owner)
  bool text;
  const char* foreground_title;
  bool foreground_known;  // the foreground window is the owner's
  const char* creator;
  const char* owner_method;
};

class OwnerTest : public SourceTest, public ::testing::WithParamInterface<OwnerCase> {};

TEST_P(OwnerTest, NamesTheSource) {
  const OwnerCase& c = GetParam();
  desktop_.Processes().SetAvailableTools(c.tools);
  auto app = Start(kNotepad, "Untitled - Notepad");
  app->SetProcess(c.owner_process);
  desktop_.Processes().SetForeground(c.foreground_known ? app->Window() : Stranger(c.foreground_title));
  std::vector<Item> items{{"Ottermoor Test Format", {1}}};
  if (c.text) items.push_back({"1", TextBytes("t")});
  EXPECT_EQ(Captured(*app, items, c.owner_window), c.creator);
  EXPECT_EQ(View().OwnerMethod(), c.owner_method);
}

INSTANTIATE_TEST_SUITE_P(
    Owners, OwnerTest,
    ::testing::Values(
        OwnerCase{"Snapshot",
                  kAllTools,
                  {kNotepad},
                  true,
                  true,
                  "",
                  false,
                  "NOTEPAD",
                  "GetOwnerWithSnapshot:Using Clipboard Owner Handle"},
        OwnerCase{"PsapiOnly",
                  kPsapiOnly,
                  {"C:\\Program Files\\Editor\\Edit.Pro.exe"},
                  true,
                  true,
                  "",
                  false,
                  "EDIT.PRO",
                  "GetOwnerNT:Using Clipboard Owner Handle"},
        OwnerCase{"PsapiWhenSnapshotMissesIt",
                  kAllTools,
                  {kNotepad, false, true},
                  true,
                  false,
                  "",
                  false,
                  "NOTEPAD",
                  "GetOwnerNT:Using Clipboard Owner Handle"},
        OwnerCase{"NeitherFindsTheOwner",
                  kAllTools,
                  {kNotepad, false, false},
                  true,
                  true,
                  "Document1 - WordPad",
                  false,
                  "DOCUMENT1",
                  "WindowTitle:Using Top Window"},
        OwnerCase{"NoToolsKnownTitle",
                  kNoTools,
                  {kNotepad},
                  true,
                  true,
                  "",
                  true,
                  "NOTEPAD",
                  "TitleFoundInTable:Using Top Window"},
        OwnerCase{
            "NoOwnerNoText", kAllTools, {kNotepad}, false, false, "Document1 - WordPad", false, "WINDOWS", "Unknown"},
        OwnerCase{"NoOwnerWithText",
                  kAllTools,
                  {kNotepad},
                  false,
                  true,
                  "",
                  true,
                  "NOTEPAD",
                  "GetOwnerWithSnapshot:Using TopWindow with OwnerWnd=0"}),
    [](const ::testing::TestParamInfo<OwnerCase>& info) { return std::string(info.param.name); });

TEST_F(SourceTest, TheForegroundTitleNamesAnApplicationNoLookUpFinds) {
  const struct {
    std::string title;
    std::string name;
    const char* method;
  } cases[] = {
      {"Untitled - Notepad", "Notepad", "TitleFoundInTable"},
      {"Inbox - Microsoft Exchange", "Microsoft Exchange", "TitleFoundInTable"},
      {"notepad help", "notepad help", "WindowTitle"},  // the table is case-sensitive
      {"Document1 - WordPad", "Document1", "WindowTitle"},
      {"  Report [Read-Only]  - Editor", "Report", "WindowTitle"},
      {"Inbox [Offline]", "Inbox", "WindowTitle"},
      {"Plain", "Plain", "WindowTitle"},
      {"", "Windows", "WindowTitle"},
      {" - Untitled", "Windows", "WindowTitle"},
      {"[x]", "Windows", "WindowTitle"},
      {std::string(50, 'A'), std::string(39, 'A'), "WindowTitle"},
  };
  TClipView5& view = View();
  for (const auto& c : cases) {
    desktop_.Processes().SetForeground(Stranger(c.title));
    EXPECT_EQ(view.TopWindowName(), c.name) << c.title;
    EXPECT_EQ(view.OwnerMethod(), c.method) << c.title;
  }
  // No foreground window at all. The real snapshot lists the idle process
  // under id 0, the id a missing window gives.
  desktop_.Processes().AddProcess(0, {"[System Process]"});
  desktop_.Processes().SetForeground(0);
  EXPECT_EQ(view.TopWindowName(), "Windows");
}

// An OLE object descriptor of `size` bytes whose type name starts at
// `offset` (the 32-bit value at byte 44).
Bytes Descriptor(std::uint32_t offset, const Bytes& name, std::size_t size = 0) {
  Bytes block(std::max<std::size_t>(size, offset + name.size()), 0);
  for (int i = 0; i < 4; ++i) block[44 + i] = static_cast<std::uint8_t>(offset >> (8 * i));
  std::copy(name.begin(), name.end(), block.begin() + offset);
  block.resize(size == 0 ? block.size() : size);
  return block;
}

TEST_F(SourceTest, TheObjectDescriptorAddsTheObjectsTypeName) {
  Bytes cafe = Utf16Bytes("Caf? Document");
  cafe[6] = 0xE9;  // é: not an ASCII letter
  Bytes runs_to_end(30, 'r');
  Bytes two_unreadable = Utf16Bytes("Data?X");
  two_unreadable[8] = 0x00;  // U+4100: a zero byte, then one that reads as "A"
  two_unreadable[9] = 0x41;
  const struct {
    const char* name;
    Bytes block;
    std::string creator;
  } cases[] = {
      {"8-bit", Descriptor(72, TextBytes("Microsoft Word Document")), "NOTEPAD:MICROSOFT WORD DOCUMENT"},
      {"UTF-16", Descriptor(72, Utf16Bytes("Paint Shop Image")), "NOTEPAD:PAINT SHOP IMAGE"},
      {"UTF-16 stops at a letter it cannot read", Descriptor(72, cafe), "NOTEPAD:CAF"},
      {"UTF-16 ends at two unreadable bytes in a row", Descriptor(72, two_unreadable), "NOTEPAD:DATA"},
      {"cut at a character above z", Descriptor(72, TextBytes("Sheet{1}")), "NOTEPAD:SHEET"},
      {"8-bit, at most 40", Descriptor(72, TextBytes(std::string(60, 'n'))), "NOTEPAD:" + std::string(40, 'N')},
      {"UTF-16, at most 40", Descriptor(72, Utf16Bytes(std::string(60, 'w'))), "NOTEPAD:" + std::string(40, 'W')},
      {"name runs to the end of the block", Descriptor(70, runs_to_end, 100), "NOTEPAD:" + std::string(30, 'R')},
      {"UTF-16 runs to the end", Descriptor(90, {'a', 0, 'b', 0, 'c'}, 95), "NOTEPAD:ABC"},
      {"64 bytes are not a descriptor", Descriptor(50, TextBytes("Ignored"), 64), "NOTEPAD"},
      {"offset outside the block", Descriptor(1000, {}, 80), "NOTEPAD:0"},
      {"offset at the very end", Descriptor(79, {'Q'}, 80), "NOTEPAD:Q"},
  };
  auto app = Start(kNotepad);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Captured(*app, {{"1", TextBytes("t")}, {"Object Descriptor", c.block}}), c.creator);
    EXPECT_EQ(View().OpenRefCount(), 0);
  }
  // A descriptor its owner fails to render adds nothing.
  EXPECT_EQ(Captured(*app, {{"1", TextBytes("t")}, {"Object Descriptor", {}, true}}), "NOTEPAD");
}

TEST_F(SourceTest, ProcessLookUpsAndTheirFallbackNames) {
  TClipView5& view = View();
  auto good = Start(kNotepad);
  auto closed = Start(kNotepad);
  closed->SetProcess({kNotepad, true, false});
  auto system = Start("");
  const WindowHandle stranger = Stranger("Stranger");
  const struct {
    const char* name;
    WindowHandle window;
    bool found;
    std::string path;
  } cases[] = {
      {"found", good->Window(), true, kNotepad},
      {"cannot be opened", closed->Window(), false, "Error In GetOwnerNT"},
      {"unknown process", stranger, false, "Error In GetOwnerNT"},
      {"no module name", system->Window(), false, "System"},
      {"no window", 0, false, "Idle"},
  };
  for (const auto& c : cases) {
    std::string path = "before";
    EXPECT_EQ(view.GetOwnerNT(c.window, path), c.found) << c.name;
    EXPECT_EQ(path, c.path) << c.name;
    EXPECT_EQ(view.OwnerMethod(), "GetOwnerNT");
  }

  std::string path = "before";
  EXPECT_TRUE(view.GetOwnerWithSnapshot(good->Window(), path));
  EXPECT_EQ(path, "NOTEPAD.EXE");
  EXPECT_FALSE(view.GetOwnerWithSnapshot(0, path));
  EXPECT_EQ(path, "");

  EXPECT_EQ(view.GetWindowFileName(good->Window()), "NOTEPAD");
  EXPECT_EQ(view.OwnerMethod(), "GetWindowFileName");
  EXPECT_EQ(view.GetWindowFileName(stranger), "Unknown");
}

TEST_F(SourceTest, WithoutTheEntryPointsTheLookUpsFindNothing) {
  desktop_.Processes().SetAvailableTools(kPsapiOnly);
  auto app = Start(kNotepad);
  TClipView5& view = View();
  std::string path;
  EXPECT_TRUE(view.GetOwnerNT(app->Window(), path));
  path = "before";
  EXPECT_FALSE(view.GetOwnerWithSnapshot(app->Window(), path));
  EXPECT_EQ(path, "");
  EXPECT_EQ(view.OwnerMethod(), "GetOwnerNT");                  // untouched
  EXPECT_EQ(view.GetWindowFileName(app->Window()), "notepad");  // PSAPI keeps the case

  view_.reset();
  desktop_.Processes().SetAvailableTools(kToolHelpOnly);
  path = "before";
  EXPECT_FALSE(View().GetOwnerNT(app->Window(), path));
  EXPECT_EQ(path, "before");
}

TEST_F(SourceTest, TheChainsNames) {
  auto other = Start(kCliptool);
  TClipView5& view = View();
  EXPECT_EQ(view.FirstInLineName(), "Error - ZERO Handle");
  other->Join(ForeignApp::Viewer::kForwards);
  view.SetActive(true);  // chain: view, other
  EXPECT_EQ(view.FirstInLineName(), "Quillark");
  EXPECT_EQ(view.NextInLineName(), "CLIPTOOL");
  auto head = Start("C:\\Tools\\Watcher.exe");
  head->Join(ForeignApp::Viewer::kForwards);
  EXPECT_EQ(view.FirstInLineName(), "WATCHER");
  view.SetActive(false);
  EXPECT_EQ(view.NextInLineName(), "Unknown");  // nobody after us
}

TEST_F(SourceTest, StartUpNotesTheEntryPointsAndWarnsWhenThereAreNone) {
  const struct {
    ProcessTools tools;
    const char* marks;
  } cases[] = {
      {kAllTools, "1,2,34,5"}, {kToolHelpOnly, "1,2,3"},
      {kPsapiOnly, "4,5"},     {{true, false, true, false, true}, "1,35"},
      {kNoTools, ""},
  };
  for (const auto& c : cases) {
    view_.reset();
    desktop_.Processes().SetAvailableTools(c.tools);
    EXPECT_EQ(View().DLLTools(), c.marks);
  }
  const auto& shown = desktop_.Prompts().Shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text,
            "Error loading TOOLHELP functions (Windows95) or PSAPI.DLL (NT 4.0).  It is safe to continue, but you "
            "should re-install Quillark.");
  EXPECT_EQ(shown[0].caption, "Quillark Initialization - (Clipview Module)");
  EXPECT_EQ(shown[0].icon, MsgIcon::kWarning);

  // With nothing to look processes up with, a capture still has a name.
  auto app = Start(kNotepad, "Budget [Shared] - Sheets");
  desktop_.Processes().SetForeground(app->Window());
  EXPECT_EQ(Captured(*app, {{"1", TextBytes("t")}}), "BUDGET");
}

}  // namespace
}  // namespace om::testing
