#include "dde_serve.h"

#include <windows.h>
#include <dde.h>
#include <ddeml.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "wire.h"

namespace om::cliptool {
namespace {

constexpr UINT kEndConversation = WM_APP + 10;  // lparam: the HCONV to end
constexpr UINT_PTR kStopTimer = 1;
// The item a browser answers with its active window's URL and title.
constexpr char kActiveWindowItem[] = "0xFFFFFFFF";

struct Server {
  DWORD instance = 0;
  HSZ service = nullptr;
  HSZ topic = nullptr;
  std::string reply;
  unsigned long disconnect_after = 0;  // 0: never
  DWORD hang_ms = 0;                   // before answering the first request
  unsigned long requests = 0;
  HWND window = nullptr;
  std::function<void(const std::string&)> out;
};

// DDEML hands its callback no context: one server per process.
Server* g_server = nullptr;

std::string Text(HSZ hsz) {
  char text[256] = {};
  ::DdeQueryStringA(g_server->instance, hsz, text, sizeof text, CP_WINANSI);
  return text;
}

HDDEDATA CALLBACK DdeCallback(UINT type, UINT format, HCONV conversation, HSZ hsz1, HSZ hsz2, HDDEDATA, ULONG_PTR,
                              ULONG_PTR) {
  Server& s = *g_server;
  switch (type) {
    case XTYP_CONNECT: {
      // hsz1: the topic, hsz2: the service.
      const bool ours = ::DdeCmpStringHandles(hsz2, s.service) == 0 && ::DdeCmpStringHandles(hsz1, s.topic) == 0;
      s.out((ours ? "connect " : "refuse ") + Escape(Text(hsz1)));
      return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(ours ? TRUE : FALSE));
    }
    case XTYP_CONNECT_CONFIRM:
      s.out("connected");
      return nullptr;
    case XTYP_REQUEST: {
      // hsz2: the item.
      const unsigned long n = ++s.requests;
      const std::string item = Text(hsz2);
      s.out("request " + std::to_string(n) + " " + Escape(item));
      if (n == 1 && s.hang_ms != 0) ::Sleep(s.hang_ms);  // a browser busy with something else
      HDDEDATA data = nullptr;
      if (format == CF_TEXT && item == kActiveWindowItem) {
        data = ::DdeCreateDataHandle(s.instance, reinterpret_cast<LPBYTE>(s.reply.data()),
                                     static_cast<DWORD>(s.reply.size() + 1), 0, hsz2, CF_TEXT, 0);
      }
      s.out((data ? "answered " : "unanswered ") + std::to_string(n));
      // Ending the conversation from inside its own transaction would pull
      // it away under DDEML's feet: do it once the answer is out.
      if (n == s.disconnect_after) {
        ::PostMessageA(s.window, kEndConversation, 0, reinterpret_cast<LPARAM>(conversation));
      }
      return data;
    }
    case XTYP_DISCONNECT:
      s.out("disconnected");
      return nullptr;
    default:
      return nullptr;
  }
}

LRESULT CALLBACK ServerWindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case kEndConversation: {
      const auto conversation = reinterpret_cast<HCONV>(lparam);
      // Wine's DDEML ends conversations from the client's side only
      // (DdeDisconnect fails on a server's conversation there). The
      // protocol's own way, a WM_DDE_TERMINATE from the server's window to
      // the client's, is what DdeDisconnect sends on Windows.
      CONVINFO info{};
      info.cb = sizeof info;
      const bool known = ::DdeQueryConvInfo(conversation, QID_SYNC, &info) != 0;
      if (::DdeDisconnect(conversation)) {
        g_server->out("ended");
      } else if (known && ::PostMessageA(info.hwndPartner, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(info.hwnd), 0)) {
        g_server->out("ended");
      } else {
        g_server->out("end-failed " + std::to_string(::DdeGetLastError(g_server->instance)));
      }
      return 0;
    }
    case WM_TIMER:
      if (wparam == kStopTimer) ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcA(hwnd, message, wparam, lparam);
  }
}

int Usage(const std::string& problem) {
  std::fprintf(stderr, "cliptool: dde-serve: %s\n", problem.c_str());
  return 1;
}

}  // namespace

int RunDdeServer(const std::vector<std::string>& args, const std::function<void(const std::string&)>& line) {
  std::vector<std::string> words;
  Server server;
  server.out = line;
  unsigned long lifetime_ms = 30000;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const bool has_value = i + 1 < args.size() && ParseNumber(args[i + 1]).has_value();
    if (args[i] == "--ms" && has_value) {
      lifetime_ms = *ParseNumber(args[++i]);
    } else if (args[i] == "--disconnect-after" && has_value) {
      server.disconnect_after = *ParseNumber(args[++i]);
    } else if (args[i] == "--hang-ms" && has_value) {
      server.hang_ms = static_cast<DWORD>(*ParseNumber(args[++i]));
    } else if (args[i].rfind("--", 0) == 0) {
      return Usage("unknown option " + args[i]);
    } else {
      words.push_back(args[i]);
    }
  }
  if (words.size() != 3) return Usage("dde-serve SERVICE TOPIC REPLY [--ms N] [--disconnect-after N] [--hang-ms N]");
  server.reply = Unescape(words[2]);
  g_server = &server;

  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = ServerWindowProc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.lpszClassName = "CliptoolDdeServer";
  if (!::RegisterClassExA(&wc)) return 2;
  server.window = ::CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                                    nullptr);
  if (server.window == nullptr) return 2;

  const UINT init = ::DdeInitializeA(&server.instance, DdeCallback,
                                     APPCLASS_STANDARD | CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS |
                                         CBF_FAIL_EXECUTES | CBF_FAIL_POKES | CBF_FAIL_ADVISES,
                                     0);
  if (init != DMLERR_NO_ERROR) {
    line("error DdeInitialize " + std::to_string(init));
    return 2;
  }
  server.service = ::DdeCreateStringHandleA(server.instance, words[0].c_str(), CP_WINANSI);
  server.topic = ::DdeCreateStringHandleA(server.instance, words[1].c_str(), CP_WINANSI);
  if (server.service == nullptr || server.topic == nullptr ||
      ::DdeNameService(server.instance, server.service, nullptr, DNS_REGISTER) == nullptr) {
    line("error DdeNameService " + std::to_string(::DdeGetLastError(server.instance)));
    ::DdeUninitialize(server.instance);
    return 2;
  }
  line("ready");

  ::SetTimer(server.window, kStopTimer, static_cast<UINT>(lifetime_ms), nullptr);
  MSG m;
  while (::GetMessageA(&m, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&m);
    ::DispatchMessageA(&m);
  }

  ::DdeNameService(server.instance, server.service, nullptr, DNS_UNREGISTER);
  ::DdeFreeStringHandle(server.instance, server.service);
  ::DdeFreeStringHandle(server.instance, server.topic);
  ::DdeUninitialize(server.instance);
  ::DestroyWindow(server.window);
  g_server = nullptr;
  line("done");
  return 0;
}

}  // namespace om::cliptool
