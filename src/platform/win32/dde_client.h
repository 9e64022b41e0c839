// IDdeClient over DDEML.
//
// Construction: `Win32DdeClient client;` on the user-interface thread. It
// registers a client-only DDEML instance for that thread; every call, and
// the destructor, must come from the same thread, and that thread must
// process its messages (the server's end of a conversation arrives as a
// message and is reported through OnClose). Several clients on one thread
// work, but the program needs one. When DDEML cannot be initialised the
// object still exists and every call fails cleanly (SetLink false).
//
// OnClose: called from the message processing of this thread (the DDEML
// callback, or the watch timer described at CheckConversation), never from
// inside CloseLink or SetLink.
//
// Waiting: OpenLink asks every top-level window whether it serves the
// service (the system bounds that broadcast); RequestData waits at most
// its timeout for the answer, processing messages meanwhile. Ending a
// conversation with a server that has stopped answering can take the
// system's own termination timeout (seconds, not for ever).
#pragma once

#include <cstdint>
#include <string>

#include "platform/dde_client.h"

namespace om::win32 {

class Win32DdeClient final : public IDdeClient {
 public:
  Win32DdeClient();
  ~Win32DdeClient() override;
  Win32DdeClient(const Win32DdeClient&) = delete;
  Win32DdeClient& operator=(const Win32DdeClient&) = delete;

  bool SetLink(std::string_view service, std::string_view topic) override;
  bool OpenLink() override;
  bool IsOpen() const override;
  std::optional<std::string> RequestData(std::string_view item, unsigned timeout_ms) override;
  void CloseLink() override;

  // Called from the DDEML callback when a conversation ends from the other
  // side; `conversation` is the HCONV.
  void ConversationEnded(std::uintptr_t conversation);
  // Reports the open conversation as ended (OnClose) when its server has
  // ended it without the callback being told (Wine). Called before every
  // use of the conversation and by a once-a-second thread timer while one
  // is open, so OnClose follows the server's end within about a second.
  void CheckConversation();

 private:
  void Initialize();
  void ReleaseEndedConversation();

  std::uint32_t instance_ = 0;      // DDEML instance id; 0 when DDEML is unusable
  std::uintptr_t conversation_ = 0;  // HCONV of the open conversation, 0 when none
  // A conversation the server ended, still to be let go of (not from
  // inside DDEML's callback).
  std::uintptr_t ended_conversation_ = 0;
  std::string service_;
  std::string topic_;
};

}  // namespace om::win32
