// starmoat-scores against clients that play it foul, on the loopback: slow heads, oversized
// lines, headers and bodies, pipelined and forged requests, too many connections. The real
// executable is started as the operator starts it.
#include <httplib.h>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <regex>
#include <thread>
#include <vector>

#include "persistence/score_codec.h"
#include "server/raw_client.h"
#include "server/scores_process.h"
#include "server/store_suite.h"

namespace starmoat::server {
namespace {

using namespace std::chrono_literals;

class HostileClients : public ::testing::Test {
 protected:
  void TearDown() override {
    if (server_) {
      server_->Signal(SIGTERM);
      EXPECT_EQ(server_->Wait(), 0) << server_->Errors();
    }
    backend_.drop_database(database_);
  }

  // Starts serve with extra options; the port from its start-up line.
  int Serve(std::vector<std::string> extra = {}) {
    database_ = backend_.fresh_database();
    std::vector<std::string> arguments = {"serve", "--listen", "127.0.0.1:0", "--database",
                                          database_};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    server_ = std::make_unique<ScoresProcess>(arguments);
    std::smatch match;
    const std::string line = server_->ReadLine();
    if (!std::regex_search(line, match, std::regex("listening on http://127\\.0\\.0\\.1:(\\d+)"))) {
      ADD_FAILURE() << "no start-up line: " << line;
      return 0;
    }
    return std::stoi(match[1]);
  }

  // The server's resident memory in KiB.
  long RssKiB() {
    std::ifstream status("/proc/" + std::to_string(server_->pid()) + "/status");
    std::string line;
    while (std::getline(status, line)) {
      if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return -1;
  }

  // The next access-log line that contains text (lines of other requests are skipped).
  std::string LogLineWith(const std::string& text) {
    for (int i = 0; i < 100; ++i) {
      const std::string line = server_->ReadLine();
      if (line.empty() || line.find(text) != std::string::npos) return line;
    }
    return "";
  }

  StoreBackend backend_ = SqliteBackend();
  std::string database_;
  std::unique_ptr<ScoresProcess> server_;
};

int Status(const std::string& reply) {
  std::smatch match;
  return std::regex_search(reply, match, std::regex("^HTTP/1\\.1 (\\d{3}) ")) ? std::stoi(match[1])
                                                                            : 0;
}

TEST_F(HostileClients, SlowHeadsDoNotKeepAFreshPlayerWaiting) {
  const int port = Serve();
  ASSERT_GT(port, 0);
  // 64 clients, each from an address of its own, that start a request and do not finish it.
  std::vector<std::unique_ptr<RawClient>> slow;
  for (int i = 0; i < 64; ++i) {
    slow.push_back(std::make_unique<RawClient>(port, "127.0.2." + std::to_string(i + 1)));
    ASSERT_TRUE(slow.back()->connected()) << i;
    ASSERT_TRUE(slow.back()->Send("GET /healthz HTTP/1.1\r\nHost: x\r\nX-Slow: ")) << i;
  }
  std::this_thread::sleep_for(200ms);
  for (auto& client : slow) ASSERT_TRUE(client->Send("a"));

  // A player's whole submission, with time-outs far above what it takes.
  httplib::Client player("127.0.0.1", port);
  player.set_connection_timeout(5);
  player.set_read_timeout(5);
  const httplib::Result token = player.Get(kTokenPath);
  ASSERT_TRUE(token) << httplib::to_string(token.error());
  ASSERT_EQ(token->status, 200);
  const httplib::Result result = player.Get(
      kResultPath + BitsToText32(BytesToBits(BuildPayload("Swift", 4100, TokenFromReply(token->body), "Peru"))));
  ASSERT_TRUE(result) << httplib::to_string(result.error());
  EXPECT_EQ(result->status, 200) << result->body;

  // The slow clients were held all along, not dropped to make room.
  int open = 0;
  for (auto& client : slow) open += client->ClosedByServer() ? 0 : 1;
  EXPECT_EQ(open, 64);
}

TEST_F(HostileClients, AHeadThatTricklesPastTheDeadlineIsClosed) {
  const int port = Serve({"--head-timeout", "1"});
  ASSERT_GT(port, 0);
  RawClient client(port);
  ASSERT_TRUE(client.Send("GET /healthz HTTP/1.1\r\n"));
  // A header line every 100 ms: never idle long, never done.
  std::string reply;
  const auto start = std::chrono::steady_clock::now();
  bool sending = true;
  while (std::chrono::steady_clock::now() - start < 10s) {
    if (sending) sending = client.Send("X-Trickle: a\r\n");
    if (client.Read(reply, 100ms) == 0) break;
  }
  EXPECT_TRUE(client.ClosedByServer());
  EXPECT_EQ(Status(reply), 408) << reply;
  EXPECT_NE(LogLineWith("408"), "");
}

TEST_F(HostileClients, OversizedRequestsAreRefusedWithoutBeingKept) {
  const int port = Serve();
  ASSERT_GT(port, 0);
  constexpr size_t k10MB = 10 << 20;
  std::string pad_headers;
  while (pad_headers.size() < k10MB) pad_headers += "X-Pad: " + std::string(1000, 'p') + "\r\n";
  std::string chunked = "POST /healthz HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n";
  for (int i = 0; i < 10; ++i) chunked += "100000\r\n" + std::string(1 << 20, 'b') + "\r\n";
  chunked += "0\r\n\r\n";
  struct Case {
    const char* what;
    std::string request;
    int status;
  };
  const Case cases[] = {
      {"a 10 MB request line", "GET /?" + std::string(k10MB, 'a') + " HTTP/1.1\r\n\r\n", 414},
      {"10 MB of headers", "GET /healthz HTTP/1.1\r\n" + pad_headers + "\r\n", 431},
      {"a 10 MB chunked body", chunked, 413},
  };
  // Warm up the server's own buffers before the baseline.
  {
    RawClient warm(port);
    warm.Send("GET /healthz HTTP/1.1\r\nConnection: close\r\n\r\n");
    ASSERT_EQ(Status(warm.ReadToEnd()), 200);
  }
  const long before = RssKiB();
  ASSERT_GT(before, 0);
  for (int round = 0; round < 2; ++round) {
    for (const Case& c : cases) {
      RawClient client(port);
      ASSERT_TRUE(client.connected());
      // Sent from a thread of its own: the server answers, and may stop reading, long before
      // the last byte.
      std::thread sender([&client, &c] { client.Send(c.request); });
      std::string reply;
      while (reply.find("\r\n\r\n") == std::string::npos && client.Read(reply, 10s) > 0) {
      }
      EXPECT_EQ(Status(reply), c.status) << c.what << ": " << reply.substr(0, 200);
      EXPECT_NE(reply.find("Connection: close"), std::string::npos) << c.what;
      sender.join();
    }
  }
  const long after = RssKiB();
  EXPECT_LT(after - before, 4 * 1024) << "VmRSS " << before << " KiB before, " << after
                                      << " KiB after 60 MB of refused requests";
  // The server still serves.
  RawClient client(port);
  client.Send("GET /healthz HTTP/1.1\r\nConnection: close\r\n\r\n");
  EXPECT_EQ(Status(client.ReadToEnd()), 200);
}

TEST_F(HostileClients, PipelinedRequestsAreAllAnsweredInOrder) {
  const int port = Serve();
  ASSERT_GT(port, 0);
  RawClient client(port);
  ASSERT_TRUE(client.Send(
      "GET /healthz HTTP/1.1\r\nHost: x\r\n\r\n"
      "GET //cgi/version.pl?version&prg=Starmoat HTTP/1.1\r\nHost: x\r\n\r\n"
      "GET /api/scores?limit=0 HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n"));
  const std::string replies = client.ReadToEnd();
  const std::regex answer("HTTP/1\\.1 (\\d{3}) [^]*?\r\n\r\n([^\n]*)");
  std::vector<std::pair<int, std::string>> found;
  for (auto it = std::sregex_iterator(replies.begin(), replies.end(), answer);
       it != std::sregex_iterator(); ++it) {
    found.emplace_back(std::stoi((*it)[1]), (*it)[2]);
  }
  ASSERT_EQ(found.size(), 3u) << replies;
  EXPECT_EQ(found[0], std::make_pair(200, std::string("ok")));
  EXPECT_EQ(found[1].first, 200);
  EXPECT_EQ(found[1].second.rfind("Starmoat|", 0), 0u) << found[1].second;
  EXPECT_EQ(found[2].first, 400);  // limit=0 is refused: the third answer is the third request's
}

TEST_F(HostileClients, AClientThatAsksBeforeItsBodyIsToldAtOnce) {
  const int port = Serve();
  ASSERT_GT(port, 0);
  RawClient client(port);
  ASSERT_TRUE(client.Send("POST /healthz HTTP/1.1\r\nContent-Length: 10\r\n"
                          "Expect: 100-continue\r\nConnection: close\r\n\r\n"));
  std::string reply;
  while (reply.find("\r\n\r\n") == std::string::npos && client.Read(reply, 10s) > 0) {
  }
  EXPECT_EQ(reply, "HTTP/1.1 100 Continue\r\n\r\n");
  ASSERT_TRUE(client.Send("0123456789"));
  std::string answer;
  while (answer.find("\r\n\r\n") == std::string::npos && client.Read(answer, 10s) > 0) {
  }
  EXPECT_EQ(Status(answer), 405) << answer;  // /healthz only answers GET

  // A body over the cap is refused without a go-ahead.
  RawClient big(port);
  ASSERT_TRUE(big.Send("POST /healthz HTTP/1.1\r\nContent-Length: 5000\r\n"
                       "Expect: 100-continue\r\n\r\n"));
  EXPECT_EQ(Status(big.ReadToEnd()), 413);
}

TEST_F(HostileClients, TheAccessLogEscapesQuotesAndBackslashes) {
  const int port = Serve();
  ASSERT_GT(port, 0);
  // Requests that would otherwise close the log's quotes and forge fields of their own: one
  // the server parses, one it refuses unparsed.
  const std::pair<std::string, std::string> cases[] = {
      {"GET /x\"\\\"\\ HTTP/1.1\r\nConnection: close\r\n\r\n", "/x\\x22\\x5C\\x22\\x5C"},
      {"GET /y\" 200 99 \"\\ HTTP/1.1\r\nConnection: close\r\n\r\n", "/y\\x22 200 99 \\x22\\x5C"},
  };
  for (const auto& [request, logged] : cases) {
    RawClient client(port);
    client.Send(request);
    client.ReadToEnd();
    const std::string line = LogLineWith(logged.substr(0, 2));
    EXPECT_NE(line.find("\"GET " + logged + "\" "), std::string::npos) << line;
    EXPECT_EQ(std::count(line.begin(), line.end(), '"'), 2) << line;
  }
}

TEST_F(HostileClients, ConnectionsPastTheLimitsAreTurnedAway) {
  const int port = Serve({"--max-per-address", "3", "--max-connections", "5"});
  ASSERT_GT(port, 0);
  std::vector<std::unique_ptr<RawClient>> held;
  for (int i = 0; i < 3; ++i) held.push_back(std::make_unique<RawClient>(port, "127.0.3.1"));
  // Each held connection has been admitted once it is answered.
  for (auto& client : held) {
    client->Send("GET /healthz HTTP/1.1\r\n\r\n");
    std::string reply;
    client->Read(reply, 5s);
    ASSERT_EQ(Status(reply), 200);
  }
  RawClient fourth(port, "127.0.3.1");
  EXPECT_EQ(Status(fourth.ReadToEnd()), 429);
  // Another address still gets in, up to the total.
  for (int i = 0; i < 2; ++i) {
    held.push_back(std::make_unique<RawClient>(port, "127.0.3.2"));
    held.back()->Send("GET /healthz HTTP/1.1\r\n\r\n");
    std::string reply;
    held.back()->Read(reply, 5s);
    ASSERT_EQ(Status(reply), 200);
  }
  RawClient sixth(port, "127.0.3.3");
  EXPECT_EQ(Status(sixth.ReadToEnd()), 503);
  // A closed connection makes room again.
  held.clear();
  std::string reply;
  for (int attempt = 0; attempt < 50 && Status(reply) != 200; ++attempt) {
    std::this_thread::sleep_for(20ms);
    RawClient again(port, "127.0.3.1");
    again.Send("GET /healthz HTTP/1.1\r\nConnection: close\r\n\r\n");
    reply = again.ReadToEnd();
  }
  EXPECT_EQ(Status(reply), 200) << reply;
}

}  // namespace
}  // namespace starmoat::server
