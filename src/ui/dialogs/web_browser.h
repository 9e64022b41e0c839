// The HTML preview window (TfrmWebBrowser): its behaviour. The window shows
// the clip's source URL with a "Revisit" button above the system's embedded
// web browser; this class decides what the browser is given and where
// navigations may go.
//
// A clip's HTML is shown through a file: its bytes are written to
// "HTMLBuffer.htm" in the first data source's folder and the browser is sent
// there. The page itself may load frames and images, but a link the user
// clicks opens in the user's own browser, never in the preview.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace om {

class IFileSystem;
class IShell;
class TClipObj;

// What the window reports: the browser's navigation events and the
// "Revisit" button. The behaviour implements it.
class IWebBrowserEvents {
 public:
  virtual ~IWebBrowserEvents() = default;
  // Before the browser goes to `url` (the page itself or one of its
  // frames). True cancels the navigation.
  virtual bool WebBrowser1BeforeNavigate2(std::string_view url) = 0;
  // A document (the page or one of its frames) has finished loading.
  virtual void WebBrowser1DocumentComplete(std::string_view url) = 0;
  virtual void cmdLaunchClick() = 0;
};

// The window as the behaviour sees it.
class IWebBrowserView {
 public:
  virtual ~IWebBrowserView() = default;
  // Who receives the window's reports; nullptr: nobody.
  virtual void SetEvents(IWebBrowserEvents* events) = 0;
  // txtSourceURL: set by the behaviour, and what "Revisit" opens (the user
  // may have changed it).
  virtual void SetSourceUrl(const std::string& text) = 0;
  virtual std::string SourceUrl() const = 0;
  virtual void EnableRevisit(bool enabled) = 0;
  // Sends the browser to `url`. False when the browser refused (the
  // embedded browser has failed; it should be given up).
  virtual bool Navigate(const std::string& url) = 0;
};

// The offset after "StartHTML:" in a clip's "HTML Format" data, as written:
// the characters that follow it, at most 10 and up to the next line end,
// read as a decimal number (blanks around it allowed). nullopt when the
// text has no "StartHTML:" or what follows is not a number (empty, signed,
// other characters).
std::optional<std::uint64_t> ParseStartHtml(std::string_view text);

// Where the HTML starts in `text` (the clip's data up to its first zero
// byte): the "StartHTML:" offset when there is a usable one, else 0. An
// offset that is missing, not a number (a "-1" included) or past the end of
// the text shows the whole text: the header lines then appear at the top of
// the page, but the page itself is shown, where showing nothing would leave
// the previous clip's page under this clip's source URL.
std::size_t HtmlStartOffset(std::string_view text);

// A file URL for a path in the program's text form, as a browser expects
// it: "C:\My Data\x.htm" gives "file:///C:/My%20Data/x.htm", a network path
// "\\server\share\x.htm" gives "file://server/share/x.htm". Characters that
// mean something in a URL ('%', '#', '?', blanks, bytes above 127) are
// percent-escaped, so a folder named "C#" or "100%" still names the file.
std::string FileUrlFromPath(std::string_view path);

// True when `location` names the file `path`: the path itself (as the
// browser reports a local document), "file://" followed by the path, or a
// file URL in any of the usual spellings (slashes or backslashes, two or
// three slashes after "file:", percent-escapes, a fragment). Letter case
// does not matter, as in Windows paths.
bool NamesLocalFile(std::string_view location, std::string_view path);

class TfrmWebBrowser final : public IWebBrowserEvents {
 public:
  static constexpr char kBufferFileName[] = "HTMLBuffer.htm";
  static constexpr char kSourceUrlHint[] = "This is the source URL from where the data came from.";
  static constexpr char kRevisitCaption[] = "Revisit";
  static constexpr char kRevisitHint[] = "Launches source URL in your default browser.";
  static constexpr char kSourceLabel[] = "Source:";
  // "Revisit" hands the shell at most this many characters.
  static constexpr std::size_t kMaxLaunchLength = 1023;
  // What start-up logs about the window ("Main Startup"), and the error
  // trap when the browser fails later ("Main Error Trap").
  static constexpr char kAvailableLog[] = "IE4 HTML Viewer Service Is Available.";
  static constexpr char kNotAvailableLog[] = "IE4 HTML Viewer Not Available, non-fatal.";

  // `data_folder`: the first data source's folder, with its trailing
  // backslash. `html_format`: the number "HTML Format" is registered under
  // (0 when it is not: then only plain text is shown). Reports of the view
  // come to this object while it lives.
  TfrmWebBrowser(IWebBrowserView& view, IFileSystem& files, IShell& shell, std::string data_folder,
                 std::uint32_t html_format);
  ~TfrmWebBrowser() override;
  TfrmWebBrowser(const TfrmWebBrowser&) = delete;
  TfrmWebBrowser& operator=(const TfrmWebBrowser&) = delete;

  // The file the HTML goes through, and the URL the browser is sent to.
  const std::string& BufferPath() const { return buffer_path_; }
  const std::string& BufferURL() const { return buffer_url_; }

  enum class DisplayResult {
    kShown,          // the browser was sent to the clip's HTML
    kNothingToShow,  // neither "HTML Format" nor text: the page stays
    kFailed,         // the data could not be read or the file not written
    kBrowserFailed,  // the browser refused the navigation
  };
  // Shows the clip: its source URL above, its "HTML Format" (else its plain
  // text) in the browser. The clip is never left locked.
  DisplayResult Display(TClipObj& clip);

  // --- the window's reports ---
  bool WebBrowser1BeforeNavigate2(std::string_view url) override;
  void WebBrowser1DocumentComplete(std::string_view url) override;
  void cmdLaunchClick() override;

  // Set while the browser loads the program's own page (and its frames).
  bool OwnDocument() const { return own_document_; }

 private:
  IWebBrowserView& view_;
  IFileSystem& files_;
  IShell& shell_;
  std::uint32_t html_format_;
  std::string buffer_path_;
  std::string buffer_url_;
  bool own_document_ = false;
};

}  // namespace om
