// The HTML preview's window: a borderless child window for the preview
// pane's Html tab. A top row holds "Source:", the source URL field and the
// "Revisit" button; the system's WebBrowser control, hosted with plain OLE,
// fills the rest. The behaviour (TfrmWebBrowser) decides what is shown and
// where the browser may go; the window reports the browser's navigation
// events and the button to it.
//
// The window is made by Create, which fails when the embedded browser is
// not there or cannot show a document: the program then goes without the
// HTML preview. In use:
//
//   auto made = WebBrowserWindow::Create(html_tab);
//   if (made.window) {   // available: log TfrmWebBrowser::kAvailableLog
//     preview = std::make_unique<TfrmWebBrowser>(*made.window, files, shell, folder, HTMLFormat);
//   } else {             // not available: log kNotAvailableLog (and made.error)
//   }
//
// The behaviour refers to the window: it goes first, the window after it.
// A Display that answers kBrowserFailed means the browser failed later on;
// the caller then gives the preview up the same way.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "ui/dialogs/web_browser.h"

struct IOleObject;
struct IWebBrowser2;
struct IConnectionPoint;

namespace om::win32 {

class BrowserSite;

class WebBrowserWindow final : public IWebBrowserView {
 public:
  static constexpr char kClassName[] = "OttermoorWebBrowser";
  static constexpr int kSourceLabelId = 100;
  static constexpr int kSourceUrlId = 101;
  static constexpr int kRevisitId = 102;
  // How long Create waits for the browser's first (empty) document.
  static constexpr DWORD kFirstDocumentTimeoutMs = 10000;

  enum class Browser {
    kEmbedded,  // the system's web browser below the top row
    kNone,      // the top row only (nothing is shown below it)
  };
  struct Created {
    std::unique_ptr<WebBrowserWindow> window;  // null when it failed
    std::string error;                         // what failed, for the log
  };
  // A hidden child window of `parent`. With kEmbedded the browser is
  // created, placed and asked for an empty page, and the window is
  // returned only when that page arrived as an HTML document within
  // kFirstDocumentTimeoutMs (messages are processed meanwhile); otherwise
  // every part made so far is undone and `error` says what failed. Must be
  // called on the thread that owns `parent`, a thread that is not in the
  // multithreaded COM apartment.
  static Created Create(HWND parent, Browser browser = Browser::kEmbedded);
  ~WebBrowserWindow() override;
  WebBrowserWindow(const WebBrowserWindow&) = delete;
  WebBrowserWindow& operator=(const WebBrowserWindow&) = delete;

  HWND Handle() const { return window_; }
  // The tool tips of the source field and the button.
  HWND ToolTips() const { return tooltips_; }
  bool HasBrowser() const { return browser_ != nullptr; }

  // Where the window sits in its parent's client area (the pane keeps a
  // margin of 2 pixels inside the Html tab).
  void SetBounds(int x, int y, int width, int height);
  void Show(bool visible);
  // Gives the browser the keys it handles itself (Tab between links,
  // Ctrl+C, the arrows) when the message is for one of its windows; the
  // program's message loop asks before translating a message. True when
  // the browser took it.
  bool TranslateAccelerator(MSG& message);

  // --- IWebBrowserView ---
  void SetEvents(IWebBrowserEvents* events) override { events_ = events; }
  void SetSourceUrl(const std::string& text) override;
  std::string SourceUrl() const override;
  void EnableRevisit(bool enabled) override;
  bool Navigate(const std::string& url) override;

  // Browser sites alive in this process; 0 once every window is gone and
  // the browser let go of its site (tests check the teardown with it).
  static long LiveBrowserSites();

  // --- what the site reports (BrowserSite calls these) ---
  // True cancels the navigation.
  bool OnBeforeNavigate(const std::string& url);
  void OnDocumentComplete(const std::string& url);
  void OnNavigateError(const std::string& url, long status);
  // A page asks for a new window (a link with a target, window.open).
  void OnNewWindow(const std::string& url);
  RECT BrowserRect() const;

 private:
  // OleInitialize for the window's lifetime: the in-place browser needs OLE
  // on its thread, and the window balances what it called itself, so its
  // creator needs to know nothing about OLE.
  class OleScope {
   public:
    OleScope() = default;
    ~OleScope();
    OleScope(const OleScope&) = delete;
    OleScope& operator=(const OleScope&) = delete;
    HRESULT Enter();

   private:
    bool entered_ = false;
  };

  WebBrowserWindow() = default;
  bool CreateControls(HWND parent);
  std::string EmbedBrowser();
  std::string WaitForFirstDocument();
  void CloseBrowser();
  void Layout();
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam);

  // Declared first: OLE is left last, after every interface is released.
  OleScope ole_;
  HWND window_ = nullptr;
  HWND label_ = nullptr;
  HWND source_url_ = nullptr;
  HWND revisit_ = nullptr;
  HWND tooltips_ = nullptr;
  IWebBrowserEvents* events_ = nullptr;

  BrowserSite* site_ = nullptr;  // one reference held
  IOleObject* object_ = nullptr;
  IWebBrowser2* browser_ = nullptr;
  IConnectionPoint* events_point_ = nullptr;
  DWORD events_cookie_ = 0;

  // The first empty page, while Create waits for it.
  bool probing_ = false;
  bool probe_complete_ = false;
  std::string probe_error_;
  // The browser failed after it was created; Navigate refuses from then on.
  bool failed_ = false;
};

}  // namespace om::win32
