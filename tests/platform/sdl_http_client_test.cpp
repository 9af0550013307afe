#include "platform/sdl/sdl_http_client.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

// A local server on a free port, stopped at the end of each test.
class SdlHttpClientTest : public testing::Test {
 protected:
  void SetUp() override {
    server_.Get("/echo", [](const httplib::Request& req, httplib::Response& res) {
      res.set_content("agent=" + req.get_header_value("User-Agent") + " q=" +
                          req.get_param_value("q"),
                      "text/plain");
    });
    server_.Get("/missing", [](const httplib::Request&, httplib::Response& res) {
      res.status = 404;
      res.set_content("not here", "text/plain");
    });
    server_.Get("/moved", [](const httplib::Request&, httplib::Response& res) {
      res.set_redirect("/echo");
    });
    server_.Get("/slow", [](const httplib::Request&, httplib::Response& res) {
      std::this_thread::sleep_for(std::chrono::milliseconds(600));
      res.set_content("late", "text/plain");
    });
    // Answers only once the client's waiting hook has run a few times.
    server_.Get("/held", [this](const httplib::Request&, httplib::Response& res) {
      std::unique_lock<std::mutex> lock(mutex_);
      heldReply_.wait_for(lock, std::chrono::seconds(10), [this] { return released_; });
      res.set_content(released_ ? "released" : "never released", "text/plain");
    });
    server_.Get("/huge", [](const httplib::Request&, httplib::Response& res) {
      res.set_content(std::string(platform::SdlHttpClient::kMaxBody + 1, 'x'), "text/plain");
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    ASSERT_GT(port_, 0);
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  void TearDown() override {
    Release();
    server_.stop();
    thread_.join();
  }
  platform::HttpRequest Request(const std::string& path) {
    platform::HttpRequest r;
    r.url = "http://127.0.0.1:" + std::to_string(port_) + path;
    r.timeoutMs = 5000;
    r.connectTimeoutMs = 2000;
    return r;
  }

  void Release() {
    std::lock_guard<std::mutex> lock(mutex_);
    released_ = true;
    heldReply_.notify_all();
  }

  httplib::Server server_;
  int port_ = 0;
  std::mutex mutex_;
  std::condition_variable heldReply_;
  bool released_ = false;
  std::thread thread_;
};

TEST_F(SdlHttpClientTest, ReturnsTheBodyAndSendsTheHeaders) {
  platform::HttpRequest r = Request("/echo?q=a%20b");
  r.headers = {{"User-Agent", "Starmoat test"}};
  const platform::HttpResponse response = platform::SdlHttpClient().Get(r);
  EXPECT_TRUE(response.ok) << response.error;
  EXPECT_EQ(response.body, "agent=Starmoat test q=a b");
  EXPECT_EQ(response.error, "");
}

TEST_F(SdlHttpClientTest, TheWaitingHookRunsAgainAndAgainWhileTheReplyIsOutstanding) {
  platform::HttpRequest r = Request("/held");
  int calls = 0;
  r.whileWaiting = [&] {
    if (++calls == 5) Release();
  };
  const platform::HttpResponse response = platform::SdlHttpClient().Get(r);
  EXPECT_TRUE(response.ok) << response.error;
  EXPECT_EQ(response.body, "released");
  EXPECT_GE(calls, 5);
}

TEST_F(SdlHttpClientTest, FailuresAreNotOk) {
  platform::HttpRequest slow = Request("/slow");
  slow.timeoutMs = 200;
  const struct {
    platform::HttpRequest request;
    std::string error;  // a part of the expected message
  } cases[] = {
      {Request("/missing"), "HTTP status 404"},
      {Request("/moved"), "HTTP status 302"},  // redirects are not followed
      {slow, "imed out"},
      {Request("/huge"), "reply too large"},
  };
  for (const auto& c : cases) {
    const platform::HttpResponse response = platform::SdlHttpClient().Get(c.request);
    EXPECT_FALSE(response.ok) << c.request.url;
    EXPECT_NE(response.error.find(c.error), std::string::npos) << c.request.url << ": " << response.error;
    EXPECT_EQ(response.body, "") << c.request.url;
  }
}

TEST_F(SdlHttpClientTest, RefusedConnectionAndOtherSchemesFail) {
  server_.stop();
  for (const std::string& url : {"http://127.0.0.1:" + std::to_string(port_) + "/echo",
                                std::string("file:///etc/hostname")}) {
    platform::HttpRequest r;
    r.url = url;
    const platform::HttpResponse response = platform::SdlHttpClient().Get(r);
    EXPECT_FALSE(response.ok) << url;
    EXPECT_FALSE(response.error.empty()) << url;
  }
}

}  // namespace
