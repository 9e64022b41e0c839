// The DDE client against a real DDE server in another process: cliptool's
// dde-serve, which answers as a web browser does.
#include "platform/win32/dde_client.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "child_process.h"
#include "cliptool/wire.h"

namespace om::test {
namespace {

constexpr char kTopic[] = "WWW_GetWindowInfo";
constexpr char kItem[] = "0xFFFFFFFF";
constexpr char kReply[] = "\"http://example.com/\",\"Example Domain\",\"0x00000001\"";
// Generous: nothing waits this long when all is well.
constexpr std::uint32_t kWaitMs = 20000;
constexpr unsigned kRequestTimeoutMs = 10000;

// A service name no other test uses.
std::string Service(const char* name) { return std::string("OMTEST_") + name + "_" + std::to_string(::GetCurrentProcessId()); }

// cliptool dde-serve as a child process, its log read from its stdout.
class DdeServer {
 public:
  bool Start(const std::string& service, const std::string& options = {}) {
    const std::string command = ProgramPath("cliptool.exe") + " dde-serve " + cliptool::Escape(service) + " " +
                                kTopic + " " + cliptool::Escape(kReply) + " --ms 120000 " + options;
    return process_.Start(command, true) && WaitFor("ready");
  }
  // Reads the log until `line` appears (pumping this thread's messages).
  bool WaitFor(const std::string& line) {
    if (std::find(log_.begin(), log_.end(), line) != log_.end()) return true;
    while (auto next = process_.ReadLine(kWaitMs)) {
      log_.push_back(*next);
      if (*next == line) return true;
    }
    return false;
  }
  // Takes in whatever the server has written so far.
  void Drain() {
    while (auto next = process_.ReadLine(200)) log_.push_back(*next);
  }
  long Count(const std::string& line) const { return std::count(log_.begin(), log_.end(), line); }
  const std::vector<std::string>& Log() const { return log_; }

 private:
  ChildProcess process_;
  std::vector<std::string> log_;
};

std::string Joined(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& line : lines) out += line + " | ";
  return out;
}

TEST(DdeClient, RequestsOverOneConversationUntilClosed) {
  const std::string service = Service("ONE");
  DdeServer server;
  ASSERT_TRUE(server.Start(service));
  win32::Win32DdeClient client;
  int closes = 0;
  client.OnClose = [&] { ++closes; };

  ASSERT_TRUE(client.SetLink(service, kTopic));
  EXPECT_FALSE(client.IsOpen()) << "manual connect: SetLink does not open";
  ASSERT_TRUE(client.OpenLink());
  EXPECT_TRUE(client.IsOpen());
  EXPECT_EQ(client.RequestData(kItem, kRequestTimeoutMs), kReply);
  EXPECT_EQ(client.RequestData(kItem, kRequestTimeoutMs), kReply);
  // An item the server does not answer fails, and the conversation goes on.
  EXPECT_EQ(client.RequestData("0x00000002", kRequestTimeoutMs), std::nullopt);
  EXPECT_TRUE(client.IsOpen());
  EXPECT_TRUE(client.OpenLink()) << "an open link stays as it is";

  client.CloseLink();
  EXPECT_FALSE(client.IsOpen());
  EXPECT_EQ(client.RequestData(kItem, kRequestTimeoutMs), std::nullopt);
  EXPECT_TRUE(server.WaitFor("disconnected")) << Joined(server.Log());
  server.Drain();
  EXPECT_EQ(server.Count("connect " + std::string(kTopic)), 1) << Joined(server.Log());
  EXPECT_EQ(server.Count("answered 2"), 1) << Joined(server.Log());
  EXPECT_EQ(server.Count("unanswered 3"), 1) << Joined(server.Log());
  EXPECT_EQ(closes, 0) << "closing it ourselves is not news";
}

TEST(DdeClient, ServerEndingTheConversationReachesOnClose) {
  const std::string service = Service("ENDS");
  DdeServer server;
  ASSERT_TRUE(server.Start(service, "--disconnect-after 1"));
  win32::Win32DdeClient client;
  int closes = 0;
  client.OnClose = [&] { ++closes; };
  ASSERT_TRUE(client.SetLink(service, kTopic));
  ASSERT_TRUE(client.OpenLink());
  EXPECT_EQ(client.RequestData(kItem, kRequestTimeoutMs), kReply);

  // The news comes with this thread's messages, without another call.
  ASSERT_TRUE(PumpUntil([&] { return closes > 0; }, kWaitMs)) << Joined(server.Log());
  EXPECT_TRUE(server.WaitFor("ended")) << Joined(server.Log());
  EXPECT_EQ(closes, 1);
  EXPECT_FALSE(client.IsOpen());
  EXPECT_EQ(client.RequestData(kItem, kRequestTimeoutMs), std::nullopt);
  EXPECT_EQ(closes, 1) << "one end, one OnClose";

  // Opening again starts a new conversation.
  server.Drain();
  ASSERT_TRUE(client.OpenLink()) << Joined(server.Log());
  EXPECT_EQ(client.RequestData(kItem, kRequestTimeoutMs), kReply);
  client.CloseLink();
  server.Drain();
  EXPECT_EQ(server.Count("connect " + std::string(kTopic)), 2) << Joined(server.Log());
}

TEST(DdeClient, NoConversationWithoutAServerForServiceAndTopic) {
  const std::string service = Service("TOPIC");
  DdeServer server;
  ASSERT_TRUE(server.Start(service));
  struct Case {
    const char* what;
    std::string service;
    std::string topic;
  };
  const Case cases[] = {
      {"no such service", Service("ABSENT"), kTopic},
      {"another topic", service, "WWW_Activate"},
  };
  win32::Win32DdeClient client;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(client.SetLink(c.service, c.topic));
    EXPECT_FALSE(client.OpenLink());
    EXPECT_FALSE(client.IsOpen());
    EXPECT_EQ(client.RequestData(kItem, kRequestTimeoutMs), std::nullopt);
  }
  EXPECT_TRUE(server.WaitFor("refuse WWW_Activate")) << Joined(server.Log());

  EXPECT_FALSE(client.SetLink("", kTopic));
  EXPECT_FALSE(client.SetLink(service, ""));
  EXPECT_FALSE(client.OpenLink()) << "a refused SetLink leaves nothing to open";
}

TEST(DdeClient, SetLinkEndsTheOpenConversation) {
  const std::string service = Service("SWITCH");
  DdeServer server;
  ASSERT_TRUE(server.Start(service));
  win32::Win32DdeClient client;
  ASSERT_TRUE(client.SetLink(service, kTopic));
  ASSERT_TRUE(client.OpenLink());
  ASSERT_TRUE(client.SetLink(Service("OTHER"), kTopic));
  EXPECT_FALSE(client.IsOpen());
  EXPECT_TRUE(server.WaitFor("disconnected")) << Joined(server.Log());
}

TEST(DdeClient, HungServerGivesNothingAfterTheTimeoutAndAnswersLater) {
  const std::string service = Service("HUNG");
  DdeServer server;
  // Its first answer comes only after 4 s; the request gives up after 0.5 s.
  ASSERT_TRUE(server.Start(service, "--hang-ms 4000"));
  win32::Win32DdeClient client;
  ASSERT_TRUE(client.SetLink(service, kTopic));
  ASSERT_TRUE(client.OpenLink());
  EXPECT_EQ(client.RequestData(kItem, 500), std::nullopt);
  EXPECT_TRUE(server.WaitFor("request 1 " + std::string(kItem))) << Joined(server.Log());

  // Once the server is back, the same conversation serves again.
  ASSERT_TRUE(server.WaitFor("answered 1")) << Joined(server.Log());
  PumpMessages();
  EXPECT_EQ(client.RequestData(kItem, kRequestTimeoutMs), kReply);
  EXPECT_TRUE(client.IsOpen());
  EXPECT_TRUE(server.WaitFor("answered 2")) << Joined(server.Log());
}

}  // namespace
}  // namespace om::test
