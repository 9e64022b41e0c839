// The process-information port's contract, natively and under Wine alike:
// from a window to its process to its executable, through both look-ups.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "contract/contract_env.h"
#include "contract/test_window.h"
#include "platform/text_case.h"

namespace om::contract {
namespace {

constexpr std::uint32_t kWaitMs = 10000;
// No system hands out this id (ids are small multiples of four).
constexpr std::uint32_t kUnknownProcessId = 0xFFFFFF00;
constexpr std::size_t kPathChars = 260;

// The file name after the folder; the snapshot gives a full path on some
// systems and the bare name on others.
std::string BaseName(std::string_view path) {
  const std::size_t slash = path.find_last_of("\\/");
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool NamesFile(std::string_view path, std::string_view base_name) {
  return !base_name.empty() && SameTextIgnoringCase(BaseName(path), base_name);
}

class ProcessInfoContract : public ::testing::Test {
 protected:
  std::unique_ptr<ContractEnv> env_ = MakeContractEnv();
  IProcessInfo& processes_ = env_->Processes();
};

TEST_F(ProcessInfoContract, LookUpsWorkOnlyWhileTheToolsAreLoaded) {
  const std::uint32_t own = env_->OwnProcessId();
  EXPECT_EQ(processes_.SnapshotExeFile(own), std::nullopt) << "nothing before LoadTools";
  EXPECT_FALSE(processes_.PsapiExeFile(own).opened);

  const ProcessTools tools = processes_.LoadTools();
  EXPECT_TRUE(tools.create_snapshot && tools.process32_first && tools.process32_next);
  EXPECT_TRUE(tools.module_file_name_ex && tools.module_base_name);
  EXPECT_NE(processes_.SnapshotExeFile(own), std::nullopt);
  EXPECT_TRUE(processes_.PsapiExeFile(own).opened);

  processes_.ReleaseTools();
  EXPECT_EQ(processes_.SnapshotExeFile(own), std::nullopt);
  const PsapiLookup released = processes_.PsapiExeFile(own);
  EXPECT_FALSE(released.opened);
  EXPECT_EQ(released.path, "");

  // Loading again after a release finds them again.
  EXPECT_TRUE(processes_.LoadTools().HasPsapi());
  EXPECT_TRUE(processes_.PsapiExeFile(own).opened);
  processes_.ReleaseTools();
}

TEST_F(ProcessInfoContract, AForeignWindowLeadsToItsExecutable) {
  auto foreign = env_->StartForeign();
  ASSERT_NE(foreign, nullptr);
  ASSERT_TRUE(processes_.LoadTools().HasToolHelp());

  const WindowHandle window = foreign->Window();
  EXPECT_EQ(processes_.WindowTitle(window, 255), foreign->WindowTitle());
  const std::uint32_t process_id = processes_.WindowProcessId(window);
  ASSERT_NE(process_id, 0u);
  EXPECT_EQ(process_id, foreign->ProcessId());
  EXPECT_NE(process_id, env_->OwnProcessId());

  const auto snapshot = processes_.SnapshotExeFile(process_id);
  ASSERT_TRUE(snapshot.has_value());
  EXPECT_TRUE(NamesFile(*snapshot, foreign->ExecutableBaseName())) << *snapshot;

  const PsapiLookup psapi = processes_.PsapiExeFile(process_id);
  EXPECT_TRUE(psapi.opened);
  EXPECT_TRUE(NamesFile(psapi.path, foreign->ExecutableBaseName())) << psapi.path;
  EXPECT_NE(psapi.path, BaseName(psapi.path)) << "a path, not a bare name";

  // Once the program has ended, its window and its process are gone.
  foreign.reset();
  EXPECT_TRUE(env_->WaitFor([&] { return processes_.WindowProcessId(window) == 0; }, kWaitMs));
  EXPECT_EQ(processes_.WindowTitle(window, 255), "");
  EXPECT_TRUE(env_->WaitFor([&] { return !processes_.SnapshotExeFile(process_id).has_value(); }, kWaitMs));
  EXPECT_TRUE(env_->WaitFor([&] { return !processes_.PsapiExeFile(process_id).opened; }, kWaitMs));
  processes_.ReleaseTools();
}

TEST_F(ProcessInfoContract, OurOwnWindowNamesOurProcessAndExecutable) {
  const std::string title = "Ottermoor process window";
  TestWindow window(*env_, title);
  ASSERT_NE(window.handle(), 0u);
  processes_.LoadTools();

  struct Case {
    std::size_t max_chars;
    std::string expected;
  };
  for (const Case& c : {Case{255, title}, Case{title.size(), title}, Case{9, "Ottermoor"}, Case{1, "O"},
                        Case{0, ""}}) {
    EXPECT_EQ(processes_.WindowTitle(window.handle(), c.max_chars), c.expected) << "at most " << c.max_chars;
  }
  const std::uint32_t own = env_->OwnProcessId();
  EXPECT_EQ(processes_.WindowProcessId(window.handle()), own);

  // Both look-ups name the same executable for our own process.
  const auto snapshot = processes_.SnapshotExeFile(own);
  ASSERT_TRUE(snapshot.has_value());
  const PsapiLookup psapi = processes_.PsapiExeFile(own);
  ASSERT_TRUE(psapi.opened);
  EXPECT_TRUE(NamesFile(psapi.path, BaseName(*snapshot))) << psapi.path << " vs " << *snapshot;

  // Our window's class was registered by our executable.
  const std::string module = processes_.ClassModuleFileName(window.handle(), kPathChars);
  EXPECT_TRUE(NamesFile(module, BaseName(*snapshot))) << module;
  EXPECT_EQ(processes_.ClassModuleFileName(window.handle(), 3), module.substr(0, 3));
  processes_.ReleaseTools();
}

TEST_F(ProcessInfoContract, NoWindowAndNoProcessGiveEmptyAnswers) {
  processes_.LoadTools();
  TestWindow other(*env_);
  IMessageHandler& handler = other;
  const WindowHandle gone = env_->Windows().CreateHidden(handler, "Ottermoor gone");
  ASSERT_NE(gone, 0u);
  env_->Windows().Destroy(gone);

  for (const WindowHandle window : {WindowHandle{0}, gone}) {
    EXPECT_EQ(processes_.WindowTitle(window, 255), "") << window;
    EXPECT_EQ(processes_.WindowProcessId(window), 0u) << window;
    EXPECT_EQ(processes_.ClassModuleFileName(window, kPathChars), "") << window;
  }
  EXPECT_EQ(processes_.SnapshotExeFile(kUnknownProcessId), std::nullopt);
  EXPECT_FALSE(processes_.PsapiExeFile(kUnknownProcessId).opened);
  EXPECT_FALSE(processes_.PsapiExeFile(0).opened) << "process 0 is never opened";
  processes_.ReleaseTools();
}

}  // namespace
}  // namespace om::contract
