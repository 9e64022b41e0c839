// The simulated desktop's DDE: scripted servers (a browser answering the
// URL request, say) and one client conversation, with counters a test can
// read.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/dde_client.h"

namespace om::fake {

struct FakeDdeServer {
  std::string topic;
  // The answer to every request; nullopt: the server does not answer.
  std::optional<std::string> reply;
};

class FakeDdeClient final : public IDdeClient {
 public:
  // A server that answers under `service` and `topic` with `reply`.
  void AddServer(std::string service, std::string topic, std::optional<std::string> reply) {
    servers_[std::move(service)] = {std::move(topic), std::move(reply)};
  }
  void SetReply(const std::string& service, std::optional<std::string> reply) {
    servers_.at(service).reply = std::move(reply);
  }
  // The server goes away; an open conversation with it breaks without
  // notice (requests fail).
  void RemoveServer(const std::string& service) { servers_.erase(service); }
  // The server ends the open conversation: OnClose is called.
  void ServerCloses() {
    if (!open_) return;
    open_ = false;
    if (OnClose) OnClose();
  }

  bool SetLink(std::string_view service, std::string_view topic) override {
    CloseLink();
    if (service.empty() || topic.empty()) return false;
    service_ = service;
    topic_ = topic;
    return true;
  }
  bool OpenLink() override {
    const auto server = servers_.find(service_);
    if (server == servers_.end() || server->second.topic != topic_) return false;
    open_ = true;
    ++connects_;
    return true;
  }
  bool IsOpen() const override { return open_; }
  std::optional<std::string> RequestData(std::string_view item, unsigned /*timeout_ms*/) override {
    if (!open_) return std::nullopt;
    requests_.emplace_back(service_, std::string(item));
    const auto server = servers_.find(service_);
    if (server == servers_.end() || !server->second.reply) return std::nullopt;
    const std::string& reply = *server->second.reply;
    return reply.substr(0, reply.find('\0'));
  }
  void CloseLink() override {
    if (open_) ++closes_;
    open_ = false;
  }

  // Conversations opened, and closed by the client, so far.
  int Connects() const { return connects_; }
  int Closes() const { return closes_; }
  // (service, item) of every request over an open conversation.
  const std::vector<std::pair<std::string, std::string>>& Requests() const { return requests_; }
  const std::string& Service() const { return service_; }

 private:
  std::map<std::string, FakeDdeServer> servers_;
  std::string service_;
  std::string topic_;
  bool open_ = false;
  int connects_ = 0;
  int closes_ = 0;
  std::vector<std::pair<std::string, std::string>> requests_;
};

}  // namespace om::fake
