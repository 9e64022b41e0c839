// The browser URL request over DDE. The conversation stays open between
// captures, so consecutive captures from one browser reuse it.
#include "ui/main/browser_url.h"

#include "ui/main/main_form.h"

namespace om {

std::string ParseBrowserUrlReply(std::string_view reply) {
  if (reply.empty() || reply.front() != '"') return "";
  const std::size_t end = reply.find("\",\"", 1);
  if (end == std::string_view::npos) return "";
  return std::string(reply.substr(1, std::min(end - 1, kMaxUrl)));
}

void TfrmQL::CloseDdeLink() {
  if (dde_link_open_ || ports_.dde.IsOpen()) ports_.dde.CloseLink();
  dde_link_open_ = false;
}

std::string TfrmQL::GetURLDDE(const std::string& browser) {
  constexpr char kPlace[] = "GetURLDDE";
  Log(loglevel::kDetail, ">GetURLDDE", "Begin");
  std::string url;
  // Leaves through the one exit below, so that every call logs its end.
  [&] {
    // A different browser than last time: its old conversation is closed.
    if (browser != last_dde_browser_) {
      if (dde_link_open_) ports_.dde.CloseLink();
      dde_link_open_ = false;
      Log(loglevel::kDetail, kPlace, "Browser Switch or First Time.  LastDDEBrowser: [" + last_dde_browser_ + "]");
    }
    // Connect to the browser's DDE server for the window-information topic.
    if (!dde_link_open_ && !ports_.dde.SetLink(browser, kBrowserTopic)) return;
    Log(loglevel::kDetail, kPlace, "Connected to " + browser);
    // Open the conversation unless it is open already.
    if (!dde_link_open_ && !ports_.dde.OpenLink()) return;
    // Ask for the active window's URL and title.
    dde_link_open_ = true;
    last_dde_browser_ = browser;
    const std::optional<std::string> reply = ports_.dde.RequestData(kActiveWindowItem, kDdeRequestTimeoutMs);
    if (!reply) {
      // A conversation that no longer answers is closed, so that the next
      // capture connects afresh instead of asking a dead link again.
      CloseDdeLink();
      return;
    }
    url = ParseBrowserUrlReply(*reply);
    Log(loglevel::kDetail, kPlace, "Openlink Successful:" + url);
  }();
  Log(loglevel::kDetail, "<GetURLDDE", "End");
  return url;
}

}  // namespace om
