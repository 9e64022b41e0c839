#include "platform/win32/dde_client.h"

#include <windows.h>
#include <dde.h>
#include <ddeml.h>

#include <algorithm>
#include <exception>
#include <utility>
#include <vector>

#include "platform/handler_errors.h"
#include "platform/win32/os_error.h"

namespace om::win32 {
namespace {

// DDEML calls back on the thread that initialised the instance and gives
// the callback no context, so the clients of each thread are listed here.
thread_local std::vector<Win32DdeClient*> t_clients;
// The thread timer that watches the open conversations (0: none).
thread_local UINT_PTR t_watch_timer = 0;
// How often an open conversation is looked at (see WatchConversations).
constexpr UINT kWatchIntervalMs = 1000;

HCONV ToHconv(std::uintptr_t conversation) { return reinterpret_cast<HCONV>(conversation); }

// A DDEML string handle, freed with its instance.
class DdeString {
 public:
  DdeString(DWORD instance, std::string_view text) : instance_(instance) {
    const std::string z(text);
    handle_ = ::DdeCreateStringHandleA(instance, z.c_str(), CP_WINANSI);
  }
  ~DdeString() {
    if (handle_) ::DdeFreeStringHandle(instance_, handle_);
  }
  DdeString(const DdeString&) = delete;
  DdeString& operator=(const DdeString&) = delete;
  HSZ get() const { return handle_; }

 private:
  DWORD instance_;
  HSZ handle_ = nullptr;
};

// The data handle a synchronous transaction returns: the client frees it.
class DdeData {
 public:
  explicit DdeData(HDDEDATA handle) : handle_(handle) {}
  ~DdeData() {
    if (handle_) ::DdeFreeDataHandle(handle_);
  }
  DdeData(const DdeData&) = delete;
  DdeData& operator=(const DdeData&) = delete;
  HDDEDATA get() const { return handle_; }

 private:
  HDDEDATA handle_;
};

std::optional<CONVINFO> ConversationInfo(HCONV conversation) {
  CONVINFO info{};
  info.cb = sizeof info;
  if (!::DdeQueryConvInfo(conversation, QID_SYNC, &info)) return std::nullopt;
  return info;
}

// Still connected to its server. On Windows DDEML reports the server's end
// of a conversation to the callback (XTYP_DISCONNECT), after which the
// handle is no longer valid. Wine's DDEML only marks the conversation as
// terminated and calls nobody, so the state is also looked at here.
bool Connected(HCONV conversation) {
  const auto info = ConversationInfo(conversation);
  return info && (info->wStatus & ST_CONNECTED) != 0 && (info->wStatus & ST_TERMINATED) == 0;
}

// Wine's DDEML server follows the data it sends for a request with a
// positive acknowledgement as well. A client that asks again at once takes
// that acknowledgement for the answer to its next request (which then
// fails), and every answer after it comes one request late. Delivering the
// acknowledgements already waiting for the conversation's window, while no
// transaction is pending, lets DDEML drop them. Against a server that sends
// none this finds nothing.
void DeliverStrayAcknowledgements(HCONV conversation) {
  const auto info = ConversationInfo(conversation);
  if (!info || info->hwnd == nullptr) return;
  MSG message;
  while (::PeekMessageA(&message, info->hwnd, WM_DDE_ACK, WM_DDE_ACK, PM_REMOVE)) ::DispatchMessageA(&message);
}

// DdeClientTransaction reads a timeout of 0 or TIMEOUT_ASYNC as "do not
// wait" and returns before any answer; this client always waits, so those
// two become the nearest real waits.
DWORD SynchronousTimeout(unsigned timeout_ms) {
  if (timeout_ms == 0) return 1;
  if (timeout_ms == TIMEOUT_ASYNC) return TIMEOUT_ASYNC - 1;
  return timeout_ms;
}

// Runs `action` for every client of this thread that still exists when its
// turn comes (an OnClose may create or destroy clients). Called from the
// system's frames (DDEML's callback, a timer), so nothing may unwind out.
template <typename Action>
void ForEachClient(Action action) {
  try {
    const std::vector<Win32DdeClient*> clients = t_clients;
    for (Win32DdeClient* client : clients) {
      if (std::find(t_clients.begin(), t_clients.end(), client) != t_clients.end()) action(*client);
    }
  } catch (...) {
    const std::exception_ptr error = std::current_exception();
    ::OutputDebugStringA(("Ottermoor: DDE close handler failed: " + HandlerErrorText(error) + "\n").c_str());
    ReportHandlerError(error);
  }
}

HDDEDATA CALLBACK ClientCallback(UINT type, UINT, HCONV conversation, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
  if (type == XTYP_DISCONNECT) {
    ForEachClient([&](Win32DdeClient& client) {
      client.ConversationEnded(reinterpret_cast<std::uintptr_t>(conversation));
    });
  }
  return nullptr;
}

void CALLBACK WatchConversations(HWND, UINT, UINT_PTR, DWORD) {
  ForEachClient([](Win32DdeClient& client) { client.CheckConversation(); });
}

// The watch timer runs while any client of this thread has a conversation.
void UpdateWatch() {
  const bool any_open = std::any_of(t_clients.begin(), t_clients.end(),
                                    [](const Win32DdeClient* client) { return client->IsOpen(); });
  if (any_open && t_watch_timer == 0) {
    t_watch_timer = ::SetTimer(nullptr, 0, kWatchIntervalMs, WatchConversations);
  } else if (!any_open && t_watch_timer != 0) {
    ::KillTimer(nullptr, t_watch_timer);
    t_watch_timer = 0;
  }
}

}  // namespace

Win32DdeClient::Win32DdeClient() {
  t_clients.push_back(this);
  Initialize();
}

Win32DdeClient::~Win32DdeClient() {
  CloseLink();
  t_clients.erase(std::remove(t_clients.begin(), t_clients.end(), this), t_clients.end());
  UpdateWatch();
  if (instance_ != 0) ::DdeUninitialize(instance_);
}

void Win32DdeClient::Initialize() {
  DWORD instance = 0;
  // Client only; the registration news of every server on the desktop is
  // of no interest.
  const UINT result = ::DdeInitializeA(&instance, ClientCallback,
                                       APPCMD_CLIENTONLY | CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS, 0);
  if (result != DMLERR_NO_ERROR) {
    LogOsFailure("DdeInitialize", result);
    return;
  }
  instance_ = instance;
}

void Win32DdeClient::ReleaseEndedConversation() {
  const std::uintptr_t ended = std::exchange(ended_conversation_, 0);
  if (ended == 0) return;
  ::DdeDisconnect(ToHconv(ended));
  // Wine cannot let go of a conversation its server ended (DdeDisconnect
  // passes over it), and refuses a new conversation with the same service
  // and topic while the old one is there. A fresh DDEML instance has none.
  if (ConversationInfo(ToHconv(ended))) {
    ::DdeUninitialize(std::exchange(instance_, 0));
    Initialize();
  }
}

bool Win32DdeClient::SetLink(std::string_view service, std::string_view topic) {
  CloseLink();
  service_.clear();
  topic_.clear();
  if (instance_ == 0 || service.empty() || topic.empty()) return false;
  service_ = service;
  topic_ = topic;
  return true;
}

bool Win32DdeClient::OpenLink() {
  CheckConversation();
  if (conversation_ != 0) return true;
  ReleaseEndedConversation();
  if (instance_ == 0 || service_.empty() || topic_.empty()) return false;
  const DdeString service(instance_, service_);
  const DdeString topic(instance_, topic_);
  if (!service.get() || !topic.get()) return false;
  // No server answering is the usual "no such browser running": not logged.
  const HCONV conversation = ::DdeConnect(instance_, service.get(), topic.get(), nullptr);
  conversation_ = reinterpret_cast<std::uintptr_t>(conversation);
  UpdateWatch();
  return conversation_ != 0;
}

bool Win32DdeClient::IsOpen() const { return conversation_ != 0 && Connected(ToHconv(conversation_)); }

std::optional<std::string> Win32DdeClient::RequestData(std::string_view item, unsigned timeout_ms) {
  CheckConversation();
  if (conversation_ == 0) return std::nullopt;
  const DdeString item_handle(instance_, item);
  if (!item_handle.get()) return std::nullopt;
  const HCONV conversation = ToHconv(conversation_);
  DeliverStrayAcknowledgements(conversation);
  DWORD transaction_result = 0;
  // Waits in a modal loop of its own: this thread's messages keep flowing,
  // and a server that does not answer in time gives nullptr.
  const DdeData data(::DdeClientTransaction(nullptr, 0, conversation, item_handle.get(), CF_TEXT, XTYP_REQUEST,
                                            SynchronousTimeout(timeout_ms), &transaction_result));
  // The conversation may have ended while we waited (OnClose has run).
  if (conversation_ == reinterpret_cast<std::uintptr_t>(conversation)) DeliverStrayAcknowledgements(conversation);
  if (!data.get()) return std::nullopt;
  const DWORD size = ::DdeGetData(data.get(), nullptr, 0, 0);
  std::string text(size, '\0');
  if (size != 0 && ::DdeGetData(data.get(), reinterpret_cast<LPBYTE>(text.data()), size, 0) != size) {
    return std::nullopt;
  }
  text.resize(std::min(text.size(), text.find('\0')));
  return text;
}

void Win32DdeClient::CloseLink() {
  // Forgotten first: the end of the conversation is ours, not news for OnClose.
  const std::uintptr_t conversation = std::exchange(conversation_, 0);
  if (conversation != 0) ::DdeDisconnect(ToHconv(conversation));
  ReleaseEndedConversation();
  UpdateWatch();
}

void Win32DdeClient::ConversationEnded(std::uintptr_t conversation) {
  if (conversation == 0 || conversation != conversation_) return;
  conversation_ = 0;
  // Let go of outside DDEML's callback, before the next conversation.
  ended_conversation_ = conversation;
  UpdateWatch();
  if (OnClose) OnClose();
}

void Win32DdeClient::CheckConversation() {
  if (conversation_ == 0 || Connected(ToHconv(conversation_))) return;
  ConversationEnded(conversation_);
}

}  // namespace om::win32
