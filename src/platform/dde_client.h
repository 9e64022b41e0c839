// Port: a DDE client conversation (the browser URL request). One
// conversation at a time, set up in manual-connect mode: the service and
// topic are set first, the link is opened explicitly, and it stays open
// between requests until it is closed or the server ends it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace om {

class IDdeClient {
 public:
  virtual ~IDdeClient() = default;
  // Sets the service and topic of the conversation to open (closes an open
  // one first). False when they cannot be used (empty names, DDE not
  // available).
  virtual bool SetLink(std::string_view service, std::string_view topic) = 0;
  // Connects to the server set by SetLink. False when no server answers.
  virtual bool OpenLink() = 0;
  virtual bool IsOpen() const = 0;
  // Requests `item` as text (CF_TEXT) over the open conversation and waits
  // at most `timeout_ms` for the reply; nullopt on any failure. The reply
  // is cut at its first zero byte.
  virtual std::optional<std::string> RequestData(std::string_view item, unsigned timeout_ms) = 0;
  // Ends the conversation; nothing when none is open. OnClose is not called.
  virtual void CloseLink() = 0;
  // Called (on the user-interface thread) when the server ends the
  // conversation.
  std::function<void()> OnClose;
};

}  // namespace om
