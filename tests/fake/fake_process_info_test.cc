// The simulated process information's own knobs: which look-up sees which
// process, the foreground window, and class modules.
#include <gtest/gtest.h>

#include "fake/recorder.h"
#include "platform/fake/fake_desktop.h"

namespace om::fake {
namespace {

constexpr ProcessTools kAll{true, true, true, true, true};

class FakeProcessInfoTest : public ::testing::Test {
 protected:
  FakeDesktop desktop_;
  FakeProcessInfo& processes_ = desktop_.Processes();
  Recorder handler_;
};

TEST_F(FakeProcessInfoTest, EachLookUpSeesWhatItsToolsAndTheProcessAllow) {
  struct Case {
    const char* what;
    FakeProcess process;
    ProcessTools tools;
    std::optional<std::string> snapshot;
    bool opened;
  };
  ProcessTools no_next = kAll;
  no_next.process32_next = false;
  ProcessTools no_file_name_ex = kAll;
  no_file_name_ex.module_file_name_ex = false;
  ProcessTools no_base_name = kAll;
  no_base_name.module_base_name = false;
  const std::string notepad = "C:\\Windows\\notepad.exe";
  const Case cases[] = {
      {"listed and openable", {notepad}, kAll, "notepad.exe", true},
      {"not in the snapshot", {notepad, false, true}, kAll, std::nullopt, true},
      {"not openable", {notepad, true, false}, kAll, "notepad.exe", false},
      {"ToolHelp incomplete", {notepad}, no_next, std::nullopt, true},
      {"no GetModuleFileNameExA", {notepad}, no_file_name_ex, "notepad.exe", false},
      {"no GetModuleBaseNameA (not needed)", {notepad}, no_base_name, "notepad.exe", true},
      {"bare module name", {"WRITE.EXE"}, kAll, "WRITE.EXE", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::uint32_t id = desktop_.NewProcessId();
    processes_.AddProcess(id, c.process);
    processes_.SetAvailableTools(c.tools);
    const ProcessTools loaded = processes_.LoadTools();
    EXPECT_EQ(loaded.HasToolHelp(), c.tools.HasToolHelp());
    EXPECT_EQ(loaded.module_base_name, c.tools.module_base_name);
    EXPECT_TRUE(processes_.ToolsLoaded());

    EXPECT_EQ(processes_.SnapshotExeFile(id), c.snapshot);
    const PsapiLookup psapi = processes_.PsapiExeFile(id);
    EXPECT_EQ(psapi.opened, c.opened);
    EXPECT_EQ(psapi.path, c.opened ? c.process.module_path : "");

    processes_.ReleaseTools();
    EXPECT_FALSE(processes_.ToolsLoaded());
    EXPECT_EQ(processes_.SnapshotExeFile(id), std::nullopt);
    EXPECT_FALSE(processes_.PsapiExeFile(id).opened);
  }
}

TEST_F(FakeProcessInfoTest, TheProgramItselfIsKnownFromTheStart) {
  processes_.LoadTools();
  EXPECT_EQ(processes_.SnapshotExeFile(FakeDesktop::kOwnProcessId), "Ottermoor.exe");
  EXPECT_EQ(processes_.PsapiExeFile(FakeDesktop::kOwnProcessId).path, FakeDesktop::kOwnModulePath);
  processes_.AddProcess(0, {"C:\\System"});
  EXPECT_FALSE(processes_.PsapiExeFile(0).opened) << "process 0 is never opened";
}

TEST_F(FakeProcessInfoTest, TheForegroundWindowIsGoneWithItsWindow) {
  const WindowHandle window = desktop_.Windows().Create(handler_, {"Untitled - Notepad", "Notepad", 0x2000});
  EXPECT_EQ(processes_.ForegroundWindow(), 0u);
  processes_.SetForeground(window);
  EXPECT_EQ(processes_.ForegroundWindow(), window);
  desktop_.Windows().Info(window)->title = "notes.txt - Notepad";
  EXPECT_EQ(processes_.WindowTitle(processes_.ForegroundWindow(), 9), "notes.txt") << "titles are read live";
  desktop_.Windows().Destroy(window);
  EXPECT_EQ(processes_.ForegroundWindow(), 0u);
}

TEST_F(FakeProcessInfoTest, ClassModulesDefaultToTheOwnExecutableForOwnWindowsOnly) {
  const WindowHandle ours = desktop_.Windows().CreateHidden(handler_, "ours");
  const WindowHandle theirs = desktop_.Windows().Create(handler_, {"theirs", "Theirs", desktop_.NewProcessId()});
  EXPECT_EQ(processes_.ClassModuleFileName(ours, 260), FakeDesktop::kOwnModulePath);
  EXPECT_EQ(processes_.ClassModuleFileName(theirs, 260), "");

  processes_.SetClassModule(theirs, "C:\\Windows\\system32\\user32.dll");
  EXPECT_EQ(processes_.ClassModuleFileName(theirs, 260), "C:\\Windows\\system32\\user32.dll");
  EXPECT_EQ(processes_.ClassModuleFileName(theirs, 10), "C:\\Windows");
  desktop_.Windows().Destroy(theirs);
  EXPECT_EQ(processes_.ClassModuleFileName(theirs, 260), "") << "no window, no class";
}

}  // namespace
}  // namespace om::fake
