// The real program starts, shows its main window and closes on request.
#include <windows.h>

#include <gtest/gtest.h>

#include "child_process.h"

namespace om::test {
namespace {

struct MainWindowSearch {
  DWORD process_id;
  HWND found = nullptr;
};

// The top-level "TfrmQL" window titled "Ottermoor" that belongs to the
// process (another instance on the desktop must not count).
HWND FindMainWindow(DWORD process_id) {
  MainWindowSearch search{process_id};
  ::EnumWindows(
      [](HWND hwnd, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<MainWindowSearch*>(param);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(hwnd, &owner);
        char class_name[64] = {}, title[64] = {};
        ::GetClassNameA(hwnd, class_name, sizeof class_name);
        ::GetWindowTextA(hwnd, title, sizeof title);
        if (owner == s->process_id && std::string(class_name) == "TfrmQL" && std::string(title) == "Ottermoor") {
          s->found = hwnd;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

TEST(OttermoorSmoke, ShowsMainWindowAndExitsOnClose) {
  ChildProcess program;  // terminated by its handle if the test fails early
  ASSERT_TRUE(program.Start(ProgramPath("Ottermoor.exe"), false));

  HWND main = nullptr;
  // Found as soon as it exists; shown a moment later.
  ASSERT_TRUE(PumpUntil(
      [&] {
        main = FindMainWindow(program.Id());
        return main != nullptr && ::IsWindowVisible(main);
      },
      30000))
      << "no visible TfrmQL window titled Ottermoor appeared";

  ASSERT_TRUE(::PostMessageA(main, WM_CLOSE, 0, 0));
  const auto exit_code = program.WaitForExit(30000);
  ASSERT_TRUE(exit_code.has_value()) << "Ottermoor.exe did not exit after WM_CLOSE";
  EXPECT_EQ(*exit_code, 0u);
}

}  // namespace
}  // namespace om::test
