// The find dialog as a real window, driven from the test's thread while it
// runs modally on a thread of its own: its caption, frame and controls, the
// fields it opens on and reports, OK by default and Cancel on Esc.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "child_process.h"
#include "ui/dialogs/win32/find_window.h"

namespace om::test {
namespace {

constexpr std::uint32_t kWaitMs = 20000;
using win32::FindDialogWindow;

HWND WaitForFind() {
  HWND found = nullptr;
  PumpUntil(
      [&] {
        found = ::FindWindowA("#32770", "Find");
        return found != nullptr && ::IsWindowVisible(found);
      },
      kWaitMs);
  return found;
}

std::string Text(HWND window) {
  char text[512] = {};
  ::GetWindowTextA(window, text, sizeof text);
  return text;
}

// Runs the dialog on `fields` on a thread of its own.
class RunningFind {
 public:
  explicit RunningFind(TFindFields& fields)
      : window_(nullptr), dialog_(window_), thread_([this, &fields] { ok_ = window_.ShowModal(dialog_, fields); }) {}
  ~RunningFind() {
    if (thread_.joinable()) thread_.join();
  }
  bool Result() {
    thread_.join();
    return ok_;
  }

 private:
  FindDialogWindow window_;
  TfrmFind dialog_;
  bool ok_ = false;
  std::thread thread_;
};

TEST(FindWindowTest, ShowsTheFieldsAndReportsTheEditsOnOk) {
  TFindFields fields;
  fields.Text = "needle";
  fields.MaxLength = 10;
  fields.Choice = FindChoice::kWithinClip;
  RunningFind running(fields);
  HWND box = WaitForFind();
  ASSERT_NE(box, nullptr);

  // A dialog frame without system buttons.
  const LONG_PTR style = ::GetWindowLongPtrA(box, GWL_STYLE);
  EXPECT_EQ(style & WS_SYSMENU, 0);
  EXPECT_NE(style & WS_CAPTION, 0);
  EXPECT_EQ(Text(::GetDlgItem(box, FindDialogWindow::kGroupId)), "Scope Of Search");
  EXPECT_EQ(Text(::GetDlgItem(box, FindDialogWindow::kCurrCollId)), "Search The C&urrent Collection");
  EXPECT_EQ(Text(::GetDlgItem(box, FindDialogWindow::kAllCollId)), "Search &All Collections");
  EXPECT_EQ(Text(::GetDlgItem(box, FindDialogWindow::kWithinClipId)), "Search The &Current Clip");
  EXPECT_EQ(Text(::GetDlgItem(box, IDOK)), "&OK");
  EXPECT_EQ(Text(::GetDlgItem(box, IDCANCEL)), "&Cancel");
  EXPECT_EQ(Text(::GetDlgItem(box, FindDialogWindow::kHelpId)), "&Help");
  EXPECT_EQ(LOWORD(::SendMessageA(box, DM_GETDEFID, 0, 0)), IDOK);

  // The text field has the focus with all of its text selected.
  HWND edit = ::GetDlgItem(box, FindDialogWindow::kTextId);
  EXPECT_EQ(Text(edit), "needle");
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  ASSERT_TRUE(::GetGUIThreadInfo(::GetWindowThreadProcessId(box, nullptr), &gui));
  EXPECT_EQ(gui.hwndFocus, edit);
  DWORD start = 1, end = 0;
  ::SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 6u);
  EXPECT_EQ(::IsDlgButtonChecked(box, FindDialogWindow::kWithinClipId), UINT{BST_CHECKED});
  EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(box, FindDialogWindow::kWithinClipId)));

  // Help leaves the dialog up.
  ::SendMessageA(box, WM_COMMAND, MAKEWPARAM(FindDialogWindow::kHelpId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(box, FindDialogWindow::kHelpId)));
  EXPECT_TRUE(::IsWindow(box));

  // The field holds at most its maximum; a click on "all collections";
  // Enter is OK.
  ::SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("a much longer text"));
  EXPECT_EQ(Text(edit), "a much lon");
  ::SendMessageA(::GetDlgItem(box, FindDialogWindow::kAllCollId), BM_CLICK, 0, 0);
  ::PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_TRUE(running.Result());
  EXPECT_EQ(fields.Text, "a much lon");
  EXPECT_EQ(fields.Choice, FindChoice::kAllColl);
}

TEST(FindWindowTest, EscCancelsAndTheDisabledChoiceStaysOff) {
  TFindFields fields;
  fields.Text = "kept";
  fields.Choice = FindChoice::kCurrColl;
  fields.WithinClipEnabled = false;
  RunningFind running(fields);
  HWND box = WaitForFind();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(::IsDlgButtonChecked(box, FindDialogWindow::kCurrCollId), UINT{BST_CHECKED});
  EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(box, FindDialogWindow::kWithinClipId)));
  ::PostMessageA(::GetDlgItem(box, FindDialogWindow::kTextId), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(running.Result());
  EXPECT_EQ(fields.Text, "kept");
  EXPECT_EQ(fields.Choice, FindChoice::kCurrColl);
}

}  // namespace
}  // namespace om::test
