// The HTML preview's window: whether the embedded browser is there (and
// what creating it leaves behind when it is not), and the top row wired to
// the behaviour.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "clipboard/format_names.h"
#include "platform/fake/fake_shell.h"
#include "platform/win32/clock.h"
#include "platform/win32/file_system.h"
#include "platform/win32/locale.h"
#include "store/clip_obj.h"
#include "store/store_services.h"
#include "ui/dialogs/web_browser.h"
#include "ui/dialogs/win32/web_browser_window.h"

namespace om::test {
namespace {

using win32::WebBrowserWindow;

// A hidden top-level window of the calling thread to put the preview in.
class ParentWindow {
 public:
  ParentWindow() {
    window_ = ::CreateWindowExA(0, "STATIC", "web browser test", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 640,
                                480, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
  }
  ~ParentWindow() {
    if (window_ != nullptr) ::DestroyWindow(window_);
  }
  ParentWindow(const ParentWindow&) = delete;
  ParentWindow& operator=(const ParentWindow&) = delete;
  HWND get() const { return window_; }

 private:
  HWND window_;
};

std::string Text(HWND window) {
  char text[512] = {};
  ::GetWindowTextA(window, text, sizeof text);
  return text;
}

std::vector<HWND> ThreadWindows() {
  std::vector<HWND> windows;
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND window, LPARAM list) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  return windows;
}

// Wine's installer of its HTML engine, which must never come up.
bool EngineInstallerShown() {
  bool shown = false;
  ::EnumWindows(
      [](HWND window, LPARAM found) {
        if (Text(window).find("Gecko") != std::string::npos) *reinterpret_cast<bool*>(found) = true;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&shown));
  return shown;
}

// Wine with its HTML engine switched off (the test environment's
// WINEDLLOVERRIDES "mshtml="): the system's browser cannot render there.
bool HtmlEngineDisabled() {
  const bool wine = ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
  const char* overrides = std::getenv("WINEDLLOVERRIDES");
  return wine && overrides != nullptr && std::string(overrides).find("mshtml=") != std::string::npos;
}

TEST(WebBrowserWindowTest, TheFactoryAnswersWhetherTheBrowserCanShowAPage) {
  // On a thread of its own, so that what OLE and the windows leave on the
  // thread can be seen afterwards.
  std::string error;
  bool created = false;
  bool installer = false;
  long sites_after = -1;
  std::size_t windows_before = 0, windows_after = 0;
  HRESULT free_threaded = E_FAIL;
  std::thread worker([&] {
    {
      ParentWindow parent;
      windows_before = ThreadWindows().size();
      WebBrowserWindow::Created made = WebBrowserWindow::Create(parent.get());
      created = made.window != nullptr;
      error = made.error;
      installer = EngineInstallerShown();
      made.window.reset();
      windows_after = ThreadWindows().size();
    }
    sites_after = WebBrowserWindow::LiveBrowserSites();
    // Left in OLE's apartment, the thread could not join the free-threaded one.
    free_threaded = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(free_threaded)) ::CoUninitialize();
  });
  worker.join();

  EXPECT_FALSE(installer);
  EXPECT_EQ(sites_after, 0);
  EXPECT_EQ(windows_after, windows_before);
  EXPECT_EQ(free_threaded, S_OK);
  if (HtmlEngineDisabled()) {
    EXPECT_FALSE(created);
    // The control itself is made, placed and connected here; it fails at
    // its first page. So the checks above saw a fully embedded control go.
    EXPECT_EQ(error.rfind("The web browser could not show about:blank", 0), 0u) << error;
  } else {
    EXPECT_TRUE(created) << error;
  }
}

TEST(WebBrowserWindowTest, GoesWithItsParentWindow) {
  auto parent = std::make_unique<ParentWindow>();
  WebBrowserWindow::Created made = WebBrowserWindow::Create(parent->get(), WebBrowserWindow::Browser::kNone);
  ASSERT_NE(made.window, nullptr) << made.error;
  const HWND handle = made.window->Handle();
  parent.reset();
  EXPECT_FALSE(::IsWindow(handle));
  EXPECT_EQ(made.window->Handle(), nullptr);
  // What the behaviour may still ask of it does nothing.
  made.window->SetSourceUrl("http://example.com/");
  EXPECT_EQ(made.window->SourceUrl(), "");
  EXPECT_FALSE(made.window->Navigate("file:///C:/x.htm"));
  made.window.reset();
}

// A recording view in front of the real one would prove nothing: the
// behaviour drives the window itself here.
class WebBrowserTopRowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    made_ = WebBrowserWindow::Create(parent_.get(), WebBrowserWindow::Browser::kNone);
    ASSERT_NE(made_.window, nullptr) << made_.error;
    window_ = made_.window.get();
    char temp[MAX_PATH] = {};
    ::GetTempPathA(sizeof temp, temp);
    folder_ = std::string(temp) + "om_web_browser_" + std::to_string(::GetCurrentProcessId()) + "\\";
    ::CreateDirectoryA(folder_.c_str(), nullptr);
  }
  void TearDown() override {
    ::DeleteFileA((folder_ + "HTMLBuffer.htm").c_str());
    ::RemoveDirectoryA(folder_.c_str());
  }
  HWND Item(int id) const { return ::GetDlgItem(window_->Handle(), id); }
  std::string ToolText(HWND control) const {
    char text[256] = {};
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = window_->Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text;
    ::SendMessageA(window_->ToolTips(), TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    return text;
  }

  win32::Win32Clock clock_;
  win32::Win32Locale locale_;
  ScopedStoreServices services_{TStoreServices{&clock_, &locale_, nullptr, true, false}};
  ParentWindow parent_;
  WebBrowserWindow::Created made_;
  WebBrowserWindow* window_ = nullptr;
  std::string folder_;
  win32::Win32FileSystem files_;
  fake::FakeShell shell_;
};

TEST_F(WebBrowserTopRowTest, ShowsTheSourceAndRevisitOpensIt) {
  EXPECT_FALSE(window_->HasBrowser());
  const HWND label = Item(WebBrowserWindow::kSourceLabelId);
  const HWND field = Item(WebBrowserWindow::kSourceUrlId);
  const HWND revisit = Item(WebBrowserWindow::kRevisitId);
  ASSERT_NE(field, nullptr);
  ASSERT_NE(revisit, nullptr);
  EXPECT_EQ(Text(label), "Source:");
  EXPECT_EQ(Text(revisit), "Revisit");
  EXPECT_EQ(ToolText(field), "This is the source URL from where the data came from.");
  EXPECT_EQ(ToolText(revisit), "Launches source URL in your default browser.");
  // A borderless child, hidden until the pane shows it.
  const LONG_PTR style = ::GetWindowLongPtrA(window_->Handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_CHILD);
  EXPECT_FALSE(style & (WS_BORDER | WS_CAPTION | WS_THICKFRAME | WS_VISIBLE));
  EXPECT_EQ(::GetParent(window_->Handle()), parent_.get());

  // Placed with the pane's margin; the row follows the width.
  window_->SetBounds(2, 2, 500, 300);
  window_->Show(true);
  EXPECT_TRUE(::GetWindowLongPtrA(window_->Handle(), GWL_STYLE) & WS_VISIBLE);
  RECT client{}, button{};
  ::GetClientRect(window_->Handle(), &client);
  EXPECT_EQ(client.right, 500);
  ::GetWindowRect(revisit, &button);
  ::MapWindowPoints(nullptr, window_->Handle(), reinterpret_cast<POINT*>(&button), 2);
  EXPECT_LE(button.right, client.right);
  EXPECT_GT(button.left, client.right / 2);
  EXPECT_EQ(window_->BrowserRect().bottom, 300);

  {
    TfrmWebBrowser form(*window_, files_, shell_, folder_, HTMLFormat);
    TClipObj clip(1, "IEXPLORE");
    auto entry = std::make_unique<TClipData>(formattype::kHandle);
    entry->FormatNum = cf::kText;
    entry->Handle = Bytes{'h', 'i', 0};
    clip.DataList->push_back(std::move(entry));
    clip.Online = true;
    clip.SourceURL = "http://example.com/page";
    // The page is written, but there is no browser to go to it.
    EXPECT_EQ(form.Display(clip), TfrmWebBrowser::DisplayResult::kBrowserFailed);
    EXPECT_EQ(Text(field), "http://example.com/page");
    EXPECT_TRUE(::IsWindowEnabled(revisit));

    ::SendMessageA(revisit, BM_CLICK, 0, 0);
    EXPECT_EQ(shell_.opened, std::vector<std::string>{"http://example.com/page"});
    ::SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("http://example.org/typed"));
    ::SendMessageA(revisit, BM_CLICK, 0, 0);
    EXPECT_EQ(shell_.opened.back(), "http://example.org/typed");

    clip.SourceURL.clear();
    form.Display(clip);
    EXPECT_EQ(Text(field), "");
    EXPECT_FALSE(::IsWindowEnabled(revisit));
  }
  // Without a behaviour the button reports to nobody.
  ::EnableWindow(revisit, TRUE);
  ::SendMessageA(revisit, BM_CLICK, 0, 0);
  EXPECT_EQ(shell_.opened.size(), 2u);

  const HWND handle = window_->Handle();
  made_.window.reset();
  EXPECT_FALSE(::IsWindow(handle));
}

}  // namespace
}  // namespace om::test
