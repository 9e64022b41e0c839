// The dialogs the collections tree opens, as real windows driven from the
// test's thread while each runs modally on a thread of its own: the input
// box, the icon picker and the data-source properties.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>

#include "child_process.h"
#include "platform/win32/prompts.h"
#include "ui/dialogs/win32/ds_prop_window.h"
#include "ui/dialogs/win32/select_bitmap_window.h"

namespace om::test {
namespace {

constexpr std::uint32_t kWaitMs = 20000;

// The dialog with this caption, once it is up; nullptr after the wait.
HWND WaitForDialog(const std::string& caption) {
  HWND found = nullptr;
  PumpUntil(
      [&] {
        found = ::FindWindowA("#32770", caption.c_str());
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

void Press(HWND dialog, int id) {
  ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

// --- the input box ---

struct InputCase {
  const char* typed;  // nullptr: leave the preset
  bool ok;
  std::optional<std::string> expected;
};

TEST(InputBoxWindowTest, ReturnsWhatWasTypedOnOkAndNothingOnCancel) {
  const InputCase cases[] = {
      {"Typed Name", true, "Typed Name"},
      {nullptr, true, "New Collection"},
      {"Not This", false, std::nullopt},
  };
  for (const InputCase& c : cases) {
    SCOPED_TRACE(c.typed != nullptr ? c.typed : "<preset>");
    win32::Win32Prompts prompts;
    std::optional<std::string> answer = "<not returned>";
    std::thread dialog([&] {
      answer = prompts.InputBox("Create New Collection", "Enter The Name Of The New Collection:", "New Collection");
    });
    HWND box = WaitForDialog("Create New Collection");
    ASSERT_NE(box, nullptr);
    HWND edit = ::FindWindowExA(box, nullptr, "Edit", nullptr);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(Text(edit), "New Collection");
    EXPECT_NE(::FindWindowExA(box, nullptr, "Static", "Enter The Name Of The New Collection:"), nullptr);
    if (c.typed != nullptr) ::SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.typed));
    Press(box, c.ok ? IDOK : IDCANCEL);
    dialog.join();
    EXPECT_EQ(answer, c.expected);
  }
}

// --- the icon picker ---

// Fourteen plain 16 x 16 images.
HIMAGELIST TestImages() {
  HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR24, 14, 0);
  HDC screen = ::GetDC(nullptr);
  for (int i = 0; i < 14; ++i) {
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 16, 16);
    ImageList_Add(images, bitmap, nullptr);
    ::DeleteObject(bitmap);
  }
  ::ReleaseDC(nullptr, screen);
  return images;
}

void SelectCell(HWND grid, int cell) {
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  ::SendMessageA(grid, LVM_SETITEMSTATE, static_cast<WPARAM>(cell), reinterpret_cast<LPARAM>(&item));
}

TEST(SelectBitmapWindowTest, ReturnsTheChosenImageAndShowsAllOnTheLabelsDoubleClick) {
  HIMAGELIST images = TestImages();
  win32::SelectBitmapWindow window(nullptr, images);
  {
    TfrmSelectBitmap picker(window, 14);
    std::optional<int> chosen;
    std::thread dialog([&] { chosen = picker.Execute(); });
    HWND box = WaitForDialog("Select A Bitmap");
    ASSERT_NE(box, nullptr);
    HWND grid = ::GetDlgItem(box, win32::SelectBitmapWindow::kGridId);
    EXPECT_EQ(ListView_GetItemCount(grid), 4) << "images 10 to 13";
    EXPECT_NE(::FindWindowExA(box, nullptr, "Button", "&OK"), nullptr);
    EXPECT_NE(::FindWindowExA(box, nullptr, "Button", "&Help"), nullptr);
    SelectCell(grid, 2);
    Press(box, IDOK);
    dialog.join();
    EXPECT_EQ(chosen, 12);
  }
  {
    TfrmSelectBitmap picker(window, 14);
    std::optional<int> chosen = -1;
    std::thread dialog([&] { chosen = picker.Execute(); });
    HWND box = WaitForDialog("Select A Bitmap");
    ASSERT_NE(box, nullptr);
    HWND label = ::GetDlgItem(box, win32::SelectBitmapWindow::kLabelId);
    ::SendMessageA(box, WM_COMMAND, MAKEWPARAM(win32::SelectBitmapWindow::kLabelId, STN_DBLCLK),
                   reinterpret_cast<LPARAM>(label));
    EXPECT_EQ(Text(box), "Now Showing ALL Images");
    HWND grid = ::GetDlgItem(box, win32::SelectBitmapWindow::kGridId);
    EXPECT_EQ(ListView_GetItemCount(grid), 14);
    SelectCell(grid, 0);
    Press(box, IDCANCEL);
    dialog.join();
    EXPECT_EQ(chosen, std::nullopt) << "closed without OK";
  }
  ImageList_Destroy(images);
}

// --- the data-source properties ---

TEST(DSPropWindowTest, ShowsTheSourceAndReturnsTheEdits) {
  win32::DSPropWindow window(nullptr);
  TDSPropFields fields;
  fields.Directory = "C:\\Data\\";
  fields.ID = "3";
  fields.Status = "Online";
  fields.Title = "My Clips";
  fields.ReadOnly = false;
  fields.AutoLoad = true;
  bool ok = false;
  std::thread dialog([&] { ok = window.ShowModal("Data Source Properties", fields); });
  HWND box = WaitForDialog("Data Source Properties");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(Text(::GetDlgItem(box, win32::DSPropWindow::kDirectoryId)), "C:\\Data\\");
  EXPECT_EQ(Text(::GetDlgItem(box, win32::DSPropWindow::kStatusId)), "Online");
  HWND title = ::GetDlgItem(box, win32::DSPropWindow::kTitleId);
  EXPECT_EQ(Text(title), "My Clips");
  ::SendMessageA(title, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Work"));
  ::SendMessageA(::GetDlgItem(box, win32::DSPropWindow::kReadOnlyId), BM_CLICK, 0, 0);
  Press(box, IDOK);
  dialog.join();
  EXPECT_TRUE(ok);
  EXPECT_EQ(fields.Title, "Work");
  EXPECT_TRUE(fields.ReadOnly);
  EXPECT_TRUE(fields.AutoLoad);
}

}  // namespace
}  // namespace om::test
