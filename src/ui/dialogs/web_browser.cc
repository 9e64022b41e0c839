#include "ui/dialogs/web_browser.h"

#include <cstring>
#include <exception>
#include <span>
#include <utility>

#include "app/app_log.h"
#include "platform/file_system.h"
#include "platform/shell.h"
#include "platform/text_case.h"
#include "platform/types.h"
#include "store/clip_obj.h"

namespace om {

namespace {

constexpr std::string_view kStartHtmlMarker = "StartHTML:";
constexpr std::size_t kMaxOffsetCharacters = 10;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && SameTextIgnoringCase(text.substr(0, prefix.size()), prefix);
}

bool ContainsIgnoringCase(std::string_view text, std::string_view piece) {
  return AsciiUpperCase(text).find(AsciiUpperCase(piece)) != std::string::npos;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string PercentDecoded(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
      out.push_back(static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2])));
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

// A location as a path with backslashes: a file URL loses "file:", its
// fragment and its escapes, and keeps the slashes that say what kind of path
// it is. Anything else only has its slashes turned.
std::string LocationAsPath(std::string_view location) {
  const bool url = StartsWithIgnoringCase(location, "file:");
  std::string_view rest = url ? location.substr(5) : location;
  // The fragment is the page's business; '#' in a name is escaped in a URL.
  if (url) {
    if (const auto hash = rest.find('#'); hash != std::string_view::npos) rest = rest.substr(0, hash);
  }
  std::string path = url ? PercentDecoded(rest) : std::string(rest);
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  if (!url) return path;
  std::size_t slashes = 0;
  while (slashes < path.size() && path[slashes] == '\\') ++slashes;
  const std::string after = path.substr(slashes);
  // "file:///C:/x", "file://C:\x" and "file:C:/x" name a drive;
  // "file://srv/x" and "file:////srv/x" a network share; "file:///x" a
  // folder at the root.
  if (after.size() >= 2 && after[1] == ':') return after;
  if (slashes == 2 || slashes >= 4) return "\\\\" + after;
  if (slashes == 1 || slashes == 3) return "\\" + after;
  return after;
}

// The clip's lock, released whichever way Display leaves.
class ClipLock {
 public:
  explicit ClipLock(TClipObj& clip) : clip_(clip) {}
  ~ClipLock() { Release(); }
  ClipLock(const ClipLock&) = delete;
  ClipLock& operator=(const ClipLock&) = delete;

  // The format's bytes; empty when the clip has none (or cannot lock it).
  std::string_view Take(std::uint32_t format) {
    Release();
    const std::int32_t size = clip_.Lock(format);
    if (size <= 0 || clip_.LockedText == nullptr) return {};
    return {reinterpret_cast<const char*>(clip_.LockedText), static_cast<std::size_t>(size)};
  }
  void Release() {
    // Lock marks the clip even when it hands out no bytes (an empty block).
    if (clip_.LockedFormat != 0) clip_.Unlock();
  }

 private:
  TClipObj& clip_;
};

}  // namespace

std::optional<std::uint64_t> ParseStartHtml(std::string_view text) {
  const auto at = text.find(kStartHtmlMarker);
  if (at == std::string_view::npos) return std::nullopt;
  std::string_view number = text.substr(at + kStartHtmlMarker.size(), kMaxOffsetCharacters);
  // The header's lines end in CR LF; a lone LF ends one as well.
  if (const auto end = number.find_first_of("\r\n"); end != std::string_view::npos) number = number.substr(0, end);
  while (!number.empty() && IsBlank(number.front())) number.remove_prefix(1);
  while (!number.empty() && IsBlank(number.back())) number.remove_suffix(1);
  if (number.empty()) return std::nullopt;
  std::uint64_t value = 0;  // ten digits fit easily
  for (const char c : number) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return value;
}

std::size_t HtmlStartOffset(std::string_view text) {
  const std::optional<std::uint64_t> offset = ParseStartHtml(text);
  if (!offset || *offset > text.size()) return 0;
  return static_cast<std::size_t>(*offset);
}

std::string FileUrlFromPath(std::string_view path) {
  std::string url = "file://";
  std::string_view rest = path;
  if (rest.size() >= 2 && (rest[0] == '\\' || rest[0] == '/') && (rest[1] == '\\' || rest[1] == '/')) {
    rest.remove_prefix(2);  // a network path: the server is the URL's host
  } else {
    url += '/';
    if (!rest.empty() && (rest[0] == '\\' || rest[0] == '/')) rest.remove_prefix(1);
  }
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (const char c : rest) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\') {
      url += '/';
    } else if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
               std::strchr("-._~!$&'()*+,;=:@/", c) != nullptr) {
      url += c;
    } else {
      url += '%';
      url += kHex[byte >> 4];
      url += kHex[byte & 15];
    }
  }
  return url;
}

bool NamesLocalFile(std::string_view location, std::string_view path) {
  // "file://" and the path as it stands is taken whole: read as a URL, a
  // '#' in it would start a fragment.
  if (SameTextIgnoringCase(location, "file://" + std::string(path))) return true;
  return SameTextIgnoringCase(LocationAsPath(location), LocationAsPath(path));
}

TfrmWebBrowser::TfrmWebBrowser(IWebBrowserView& view, IFileSystem& files, IShell& shell, std::string data_folder,
                               std::uint32_t html_format)
    : view_(view),
      files_(files),
      shell_(shell),
      html_format_(html_format),
      buffer_path_(std::move(data_folder) + kBufferFileName),
      // "file://" and the path as it stands would do for the simplest
      // folders only: a browser reads '#' in "C:\C#\" as the start of a
      // fragment and '%' in "C:\100%\" as an escape. The URL is therefore
      // spelled out properly; the own-page test below accepts every
      // spelling of it, the plain "file://" + path included.
      buffer_url_(FileUrlFromPath(buffer_path_)) {
  view_.SetEvents(this);
}

TfrmWebBrowser::~TfrmWebBrowser() { view_.SetEvents(nullptr); }

TfrmWebBrowser::DisplayResult TfrmWebBrowser::Display(TClipObj& clip) {
  own_document_ = false;
  view_.SetSourceUrl(clip.SourceURL);
  view_.EnableRevisit(!clip.SourceURL.empty());

  std::string html;
  try {
    ClipLock lock(clip);
    std::string_view data = html_format_ != 0 ? lock.Take(html_format_) : std::string_view();
    if (data.empty()) data = lock.Take(cf::kText);
    if (data.empty()) return DisplayResult::kNothingToShow;
    // The data ends at its first zero byte; the offset is looked for and
    // checked within that text only.
    data = data.substr(0, data.find('\0'));
    html.assign(data.substr(HtmlStartOffset(data)));
  } catch (const std::exception& error) {
    Log(loglevel::kError, "TfrmWebBrowser.Display", std::string("Could Not Read The Clip: ") + error.what());
    return DisplayResult::kFailed;
  }

  const auto* bytes = reinterpret_cast<const std::uint8_t*>(html.data());
  if (files_.WriteWholeFile(buffer_path_, std::span<const std::uint8_t>(bytes, html.size()), false) !=
      FsStatus::kOk) {
    Log(loglevel::kError, "TfrmWebBrowser.Display", "Could Not Write " + buffer_path_);
    return DisplayResult::kFailed;
  }
  if (!view_.Navigate(buffer_url_)) return DisplayResult::kBrowserFailed;
  return DisplayResult::kShown;
}

bool TfrmWebBrowser::WebBrowser1BeforeNavigate2(std::string_view url) {
  if (ContainsIgnoringCase(url, kBufferFileName)) {
    own_document_ = true;
    return false;
  }
  // The page's own frames and images load while it does.
  if (own_document_) return false;
  // A link the user followed: it opens outside, the preview stays.
  shell_.Open(url);
  return true;
}

void TfrmWebBrowser::WebBrowser1DocumentComplete(std::string_view url) {
  // The browser reports the page by its path or by its URL, in whatever
  // spelling it chose; NamesLocalFile takes them all.
  if (NamesLocalFile(url, buffer_path_)) own_document_ = false;
}

void TfrmWebBrowser::cmdLaunchClick() {
  const std::string url = view_.SourceUrl();
  if (url.empty()) return;
  shell_.Open(std::string_view(url).substr(0, kMaxLaunchLength));
}

}  // namespace om
