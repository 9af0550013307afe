// The submission against a real HTTP server on the loopback interface.
#include <arpa/inet.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "persistence/config.h"
#include "persistence/score_submission.h"
#include "platform/sdl/sdl_clock.h"
#include "platform/sdl/sdl_http_client.h"
#include "shell/program_state.h"
#include "shell/screen_state.h"

namespace {

struct SeenRequest {
  std::string target, userAgent, accept, contentType, cookie;
  std::string method = "GET", body;
};

// The inverse of the result encoding: 5 bits per letter, 8 bits per byte.
std::string DecodeText32(const std::string& text) {
  std::string bits;
  for (char c : text) {
    const size_t g = std::string(Alphabet32).find(c);
    if (g == std::string::npos) return "<not Alphabet32: " + text + ">";
    for (int bit = 4; bit >= 0; --bit) bits.push_back((g >> bit) & 1 ? '1' : '0');
  }
  std::string bytes;
  for (size_t i = 0; i + 8 <= bits.size(); i += 8) {
    bytes.push_back(static_cast<char>(std::stoi(bits.substr(i, 8), nullptr, 2)));
  }
  return bytes;
}

// A listening socket on a free loopback port.
int ListenOnLoopback(int& port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  port = ntohs(address.sin_port);
  listen(fd, 4);
  return fd;
}

class ScoreServer : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramState();
    saved_ = platform::Services();
    platform::Services().http = &client_;
    SubmitTimeoutMs = 2000;
    SubmitConnectTimeoutMs = 1000;
  }

  void TearDown() override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      over_ = true;
      testOver_.notify_all();
    }
    server_.stop();
    if (thread_.joinable()) thread_.join();
    platform::SetServices(saved_);
    ResetProgramState();
  }

  void StartServer() {
    server_.Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        seen_.push_back({req.target, req.get_header_value("User-Agent"),
                         req.get_header_value("Accept"), req.get_header_value("Content-Type"),
                         req.get_header_value("Cookie"), "GET", ""});
      }
      if (req.target.find("?version&") != std::string::npos) {
        std::this_thread::sleep_for(std::chrono::milliseconds(tokenDelayMs_));
        res.status = tokenStatus_;
        res.set_header("Set-Cookie", "sid=77; Path=/");
        res.set_content(tokenReply_, "text/html");
      } else {
        if (resultHangs_) {
          // Holds the reply until the test is over.
          std::unique_lock<std::mutex> lock(mutex_);
          testOver_.wait_for(lock, std::chrono::seconds(30), [this] { return over_; });
        }
        res.status = resultStatus_;
        res.set_content("thanks", "text/html");
      }
    });
    server_.Post(".*", [this](const httplib::Request& req, httplib::Response& res) {
      std::lock_guard<std::mutex> lock(mutex_);
      seen_.push_back({req.target, req.get_header_value("User-Agent"),
                       req.get_header_value("Accept"), req.get_header_value("Content-Type"),
                       req.get_header_value("Cookie"), "POST", req.body});
      res.status = replayStatus_;
      res.set_content("checking", "text/plain");
    });
    const int port = server_.bind_to_any_port("127.0.0.1");
    ASSERT_GT(port, 0);
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ScoreHost = "127.0.0.1:" + std::to_string(port);
  }

  std::vector<SeenRequest> Seen() {
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
  }

  platform::SdlHttpClient client_;
  httplib::Server server_;
  std::string tokenReply_ = "1.0|x|y|z|T0K3N|more";
  int tokenStatus_ = 200;
  int resultStatus_ = 200;
  int replayStatus_ = 202;
  int tokenDelayMs_ = 0;
  bool resultHangs_ = false;

 private:
  platform::Platform saved_;
  std::thread thread_;
  std::mutex mutex_;
  std::vector<SeenRequest> seen_;
  std::condition_variable testOver_;
  bool over_ = false;
};

// Passes requests on to the real client and keeps what the game asked for.
class RecordingHttp : public platform::IHttpClient {
 public:
  explicit RecordingHttp(platform::IHttpClient& real) : real_(real) {}
  platform::HttpResponse Get(const platform::HttpRequest& request) override {
    requests.push_back(request);
    return real_.Get(request);
  }
  std::vector<platform::HttpRequest> requests;

 private:
  platform::IHttpClient& real_;
};

}  // namespace

TEST_F(ScoreServer, BothRequestsArriveWithTheirPathsHeadersAndThePayload) {
  StartServer();
  Settings.Country = "Peru";
  ScreenState = ssSending;
  SubmitScore("Ace", 12345);

  EXPECT_EQ(ScreenState, ssHighScores);
  const std::vector<SeenRequest> seen = Seen();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].target, "//cgi/version.pl?version&prg=Starmoat");
  const std::string prefix = "//cgi/version.pl?hs&prg=Starmoat&inf=";
  ASSERT_EQ(seen[1].target.substr(0, prefix.size()), prefix);
  EXPECT_EQ(DecodeText32(seen[1].target.substr(prefix.size())),
            "type=0|name=Ace|score=12345|key=S|p=T0K3N|add=Peru|z=00");
  for (const SeenRequest& r : seen) {
    EXPECT_EQ(r.userAgent, "Mozilla/3.0 (compatible; Indy Library)");
    EXPECT_EQ(r.accept, "text/html, */*");
    EXPECT_EQ(r.contentType, "text/html");
  }
  // The cookie of the token reply goes back with the result.
  EXPECT_EQ(seen[0].cookie, "");
  EXPECT_EQ(seen[1].cookie, "sid=77");
}

TEST_F(ScoreServer, AStoredResultIsFollowedByItsReplayWithTheSpentToken) {
  StartServer();
  const std::string replay("SMRP\x01\x00 any bytes \xff\x00", 19);
  SubmitScore("Ace", 12345, {}, replay);
  EXPECT_EQ(ScreenState, ssHighScores);
  const std::vector<SeenRequest> seen = Seen();
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[2].method, "POST");
  EXPECT_EQ(seen[2].target, "/api/replays?token=T0K3N");
  EXPECT_EQ(seen[2].body, replay);
  EXPECT_EQ(seen[2].contentType, "application/octet-stream");
}

namespace {

struct ReplayCase {
  const char* what;
  int resultStatus, replayStatus;
  std::string token, replay;
  size_t requests;
  std::string replayTarget;
};
void PrintTo(const ReplayCase& c, std::ostream* out) { *out << c.what; }

class ReplayAfterResult : public ScoreServer, public ::testing::WithParamInterface<ReplayCase> {};

}  // namespace

TEST_P(ReplayAfterResult, GoesOnlyAfterAStoredResultAndItsFateIsNeverSeen) {
  const ReplayCase& c = GetParam();
  resultStatus_ = c.resultStatus;
  replayStatus_ = c.replayStatus;
  tokenReply_ = "1.0|x|y|z|" + c.token + "|";
  StartServer();
  SubmitScore("Ace", 1, {}, c.replay);
  EXPECT_EQ(ScreenState, ssHighScores);
  const std::vector<SeenRequest> seen = Seen();
  ASSERT_EQ(seen.size(), c.requests);
  if (c.requests == 3) {
    EXPECT_EQ(seen[2].target, c.replayTarget);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplayAfterResult,
    ::testing::Values(
        ReplayCase{"a refused result sends no replay", 400, 202, "T0K3N", "bytes", 2, ""},
        ReplayCase{"no replay, no upload", 200, 202, "T0K3N", "", 2, ""},
        ReplayCase{"a refused replay", 200, 409, "T0K3N", "bytes", 3, "/api/replays?token=T0K3N"},
        ReplayCase{"a failing server", 200, 500, "T0K3N", "bytes", 3,
                   "/api/replays?token=T0K3N"},
        ReplayCase{"a token is percent-encoded", 200, 202, "a+b/c&d", "bytes", 3,
                   "/api/replays?token=a%2Bb%2Fc%26d"}));

TEST_F(ScoreServer, AReplyWithFourBarsSendsAnEmptyToken) {
  tokenReply_ = "1.0|x|y|z|tail";
  StartServer();
  SubmitScore("", 0);
  const std::vector<SeenRequest> seen = Seen();
  ASSERT_EQ(seen.size(), 2u);
  const std::string prefix = "//cgi/version.pl?hs&prg=Starmoat&inf=";
  EXPECT_EQ(DecodeText32(seen[1].target.substr(prefix.size())),
            "type=0|name=|score=0|key=S|p=|add=|z=000");
}

TEST_F(ScoreServer, AFailingResultRequestStillEndsOnTheHighScorePage) {
  resultStatus_ = 500;
  StartServer();
  SubmitScore("Ace", 1);
  EXPECT_EQ(Seen().size(), 2u);
  EXPECT_EQ(ScreenState, ssHighScores);
}

TEST_F(ScoreServer, ARefusedConnectionAsksToRepeat) {
  int port = 0;
  close(ListenOnLoopback(port));  // nothing listens there any more
  ScoreHost = "127.0.0.1:" + std::to_string(port);
  SubmitScore("Ace", 1);
  EXPECT_EQ(ScreenState, ssConnectFailed);
}

TEST_F(ScoreServer, AServerThatNeverAnswersTimesOutAndAsksToRepeat) {
  int port = 0;
  const int fd = ListenOnLoopback(port);  // connections complete in the backlog, no reply
  ScoreHost = "127.0.0.1:" + std::to_string(port);
  SubmitTimeoutMs = 300;
  SubmitScore("Ace", 1);
  EXPECT_EQ(ScreenState, ssConnectFailed);
  close(fd);
}

TEST_F(ScoreServer, ARefusedTokenRequestSendsNoResultAndAsksToRepeat) {
  tokenStatus_ = 503;
  StartServer();
  SubmitScore("Ace", 1);
  EXPECT_EQ(Seen().size(), 1u);
  EXPECT_EQ(ScreenState, ssConnectFailed);
}

TEST_F(ScoreServer, OneBudgetCoversBothRequests) {
  // The token comes late; the result is never answered. The result request may only use what
  // the token left of the budget, so the sequence ends when the budget does.
  SubmitTimeoutMs = 3000;
  tokenDelayMs_ = 1200;
  resultHangs_ = true;
  StartServer();
  platform::SdlClock clock;
  RecordingHttp recording(client_);
  platform::Services().clock = &clock;
  platform::Services().http = &recording;

  SubmitScore("Ace", 1);

  EXPECT_EQ(ScreenState, ssHighScores) << "the unanswered result goes unnoticed";
  ASSERT_EQ(recording.requests.size(), 2u);
  EXPECT_EQ(recording.requests[0].timeoutMs, 3000u);
  EXPECT_GT(recording.requests[1].timeoutMs, 0u);
  // The program's clock moves in steps of 15.625 ms, so the budget is known to within one.
  EXPECT_LE(recording.requests[1].timeoutMs, 3000u - 1200u + 16u);
  EXPECT_LE(recording.requests[1].connectTimeoutMs, recording.requests[1].timeoutMs);
  EXPECT_EQ(Seen().size(), 2u);
}
