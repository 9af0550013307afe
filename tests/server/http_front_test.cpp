// The world score server over real HTTP on a loopback port, with SQLite in a temporary folder.
#include <nlohmann/json.hpp>

#include <atomic>
#include <regex>
#include <set>

#include "persistence/config.h"
#include "persistence/score_submission.h"
#include "platform/sdl/sdl_http_client.h"
#include "server/live_server.h"
#include "web_text.h"
#include "shell/program_state.h"
#include "shell/screen_state.h"

namespace starmoat::server {
namespace {

// A raw payload padded as the game pads it, then encoded: lets a test send what the game never
// would.
std::string EncodeRaw(std::string payload) {
  payload.append((5 - payload.size() % 5) % 5, '0');
  return BitsToText32(BytesToBits(payload));
}

std::string Payload(const std::string& name, const std::string& score, const std::string& token,
                    const std::string& country) {
  return "type=0|name=" + name + "|score=" + score + "|key=S|p=" + token + "|add=" + country +
         "|z=";
}

class WorldServer : public ::testing::Test {
 protected:
  std::string FetchToken() {
    const httplib::Result reply = server_->Get(kTokenPath);
    EXPECT_TRUE(reply && reply->status == 200);
    return reply ? TokenFromReply(reply->body) : "";
  }
  httplib::Result SendResult(const std::string& encoded) {
    return server_->Get(kResultPath + encoded);
  }
  nlohmann::json Api(const std::string& query = "") {
    const httplib::Result reply = server_->Get("/api/scores" + query);
    EXPECT_TRUE(reply && reply->status == 200) << (reply ? reply->body : "no reply");
    return reply ? nlohmann::json::parse(reply->body) : nlohmann::json();
  }
  std::string Page(const std::string& extra = "") {
    const httplib::Result reply = server_->Get(std::string(kWorldTablePath) + extra);
    EXPECT_TRUE(reply && reply->status == 200) << (reply ? reply->body : "no reply");
    return reply ? reply->body : "";
  }

  // These tests are about the table itself, so the page and the list show every row (which
  // rows are verified is tested with the replays).
  static FrontOptions EveryRow() {
    FrontOptions options;
    options.protocol.show_unverified = true;
    return options;
  }

  std::unique_ptr<LiveServer> server_ = std::make_unique<LiveServer>(EveryRow());
};

TEST_F(WorldServer, TheTokenIsTheFifthFieldAndFreshEachTime) {
  std::set<std::string> tokens;
  for (int i = 0; i < 20; ++i) {
    const std::string token = FetchToken();
    EXPECT_TRUE(std::regex_match(token, std::regex("[A-Za-z0-9]{24}"))) << token;
    tokens.insert(token);
  }
  EXPECT_EQ(tokens.size(), 20u);
  const httplib::Result reply = server_->Get(kTokenPath);
  ASSERT_TRUE(reply);
  EXPECT_TRUE(std::regex_match(reply->body, std::regex("Starmoat\\|[^|]+\\|\\d+\\|900\\|[A-Za-z0-9]{24}\\|\n")))
      << reply->body;
}

TEST_F(WorldServer, TheGamesOwnSubmissionLandsInTheTableAndOnThePage) {
  ResetProgramState();
  platform::SdlHttpClient client;
  const platform::Platform saved = platform::Services();
  platform::Services().http = &client;
  ScoreHost = server_->host();
  Settings.Country = "New Zealand";
  ScreenState = ssSending;
  SubmitScore("Ace", 4200);
  EXPECT_EQ(ScreenState, ssHighScores);
  platform::SetServices(saved);
  ResetProgramState();

  const nlohmann::json table = Api();
  EXPECT_EQ(table["total"], 1);
  ASSERT_EQ(table["scores"].size(), 1u);
  const nlohmann::json& row = table["scores"][0];
  EXPECT_EQ(row["rank"], 1);
  EXPECT_EQ(row["name"], "Ace");
  EXPECT_EQ(row["country"], "New Zealand");
  EXPECT_EQ(row["score"], 4200);

  const std::string page = Page();
  EXPECT_NE(page.find("<td class=\"name\">Ace</td>"), std::string::npos);
  EXPECT_NE(page.find(">New Zealand</a>"), std::string::npos);
  EXPECT_NE(page.find("<td class=\"score\">4200</td>"), std::string::npos);
}

TEST_F(WorldServer, BadSubmissionsGet400WithAReasonAndStoreNothing) {
  const std::string spent = FetchToken();
  ASSERT_EQ(SendResult(EncodeRaw(Payload("Spent", "1", spent, "")))->status, 200);
  server_->store().IssueToken("OldToken123", "127.0.0.1", std::time(nullptr) - 16 * 60);

  struct Case {
    const char* what;
    std::function<std::string(const std::string& token)> encoded;
    const char* reason;
  };
  const Case cases[] = {
      {"a lower-case letter", [](auto& t) { return "a" + EncodeRaw(Payload("Ace", "1", t, "")).substr(1); }, "outside"},
      {"the letter I", [](auto& t) { return "I" + EncodeRaw(Payload("Ace", "1", t, "")).substr(1); }, "outside"},
      {"the digit 0", [](auto& t) { return "0" + EncodeRaw(Payload("Ace", "1", t, "")).substr(1); }, "outside"},
      {"a percent sign", [](auto& t) { return EncodeRaw(Payload("Ace", "1", t, "")).substr(1) + "%21"; }, "outside"},
      {"seven letters too many", [](auto& t) { return EncodeRaw(Payload("Ace", "1", t, "")) + "AAAAAAA"; }, "multiple of 8"},
      {"one letter short", [](auto& t) { return EncodeRaw(Payload("Ace", "1", t, "")).substr(1); }, "multiple of 8"},
      {"nothing", [](auto&) { return std::string(); }, "does not parse"},
      {"not a payload", [](auto&) { return EncodeRaw("hello world"); }, "does not parse"},
      {"no padding marker", [](auto& t) { return EncodeRaw("type=0|name=Ace|score=1|key=S|p=" + t + "|add="); }, "does not parse"},
      {"another type", [](auto& t) { return EncodeRaw("type=1|name=Ace|score=1|key=S|p=" + t + "|add=|z="); }, "type"},
      {"another key", [](auto& t) { return EncodeRaw("type=0|name=Ace|score=1|key=X|p=" + t + "|add=|z="); }, "key"},
      {"an empty name", [](auto& t) { return EncodeRaw(Payload("", "1", t, "")); }, "1 to 10 letters"},
      {"eleven letters", [](auto& t) { return EncodeRaw(Payload("Abcdefghijk", "1", t, "")); }, "1 to 10 letters"},
      {"a digit in the name", [](auto& t) { return EncodeRaw(Payload("Ace1", "1", t, "")); }, "1 to 10 letters"},
      {"a space in the name", [](auto& t) { return EncodeRaw(Payload("Ace Bo", "1", t, "")); }, "1 to 10 letters"},
      {"markup in the name", [](auto& t) { return EncodeRaw(Payload("<b>", "1", t, "")); }, "1 to 10 letters"},
      {"a negative score", [](auto& t) { return EncodeRaw(Payload("Ace", "-1", t, "")); }, "score"},
      {"a score over the maximum", [](auto& t) { return EncodeRaw(Payload("Ace", "10000001", t, "")); }, "score"},
      {"a score with letters", [](auto& t) { return EncodeRaw(Payload("Ace", "12a", t, "")); }, "score"},
      {"an empty score", [](auto& t) { return EncodeRaw(Payload("Ace", "", t, "")); }, "score"},
      {"a score with a plus", [](auto& t) { return EncodeRaw(Payload("Ace", "+5", t, "")); }, "score"},
      {"a country of 33 bytes", [](auto& t) { return EncodeRaw(Payload("Ace", "1", t, std::string(33, 'x'))); }, "longer than 32 bytes"},
      {"a control byte in the country", [](auto& t) { return EncodeRaw(Payload("Ace", "1", t, "Pe\nru")); }, "control"},
      {"an unknown token", [](auto&) { return EncodeRaw(Payload("Ace", "1", "NoSuchToken", "")); }, "unknown token"},
      {"an empty token", [](auto&) { return EncodeRaw(Payload("Ace", "1", "", "")); }, "unknown token"},
      {"a spent token", [&](auto&) { return EncodeRaw(Payload("Ace", "1", spent, "")); }, "already used"},
      {"an old token", [](auto&) { return EncodeRaw(Payload("Ace", "1", "OldToken123", "")); }, "older than 15 minutes"},
  };
  for (const Case& c : cases) {
    // Each case gets a fresh, valid token, so the refusal is for the case's own fault.
    const httplib::Result reply = SendResult(c.encoded(FetchToken()));
    ASSERT_TRUE(reply) << c.what;
    EXPECT_EQ(reply->status, 400) << c.what;
    EXPECT_NE(reply->body.find(c.reason), std::string::npos) << c.what << ": " << reply->body;
    EXPECT_EQ(reply->body.find('\n'), reply->body.size() - 1) << c.what << ": one line";
    EXPECT_EQ(server_->store().Count(""), 1) << c.what;
  }

  // The requests themselves malformed.
  const std::pair<std::string, std::string> requests[] = {
      {"//cgi/version.pl?hs&prg=Starmoat", "missing"},
      {"//cgi/version.pl?hs&prg=Other&inf=AAAAAAAA", "unknown program"},
      {"//cgi/version.pl?prg=Starmoat", "unknown request"},
  };
  for (const auto& [target, reason] : requests) {
    const httplib::Result reply = server_->Get(target);
    ASSERT_TRUE(reply) << target;
    EXPECT_EQ(reply->status, 400) << target;
    EXPECT_NE(reply->body.find(reason), std::string::npos) << target << ": " << reply->body;
  }
  EXPECT_EQ(server_->store().Count(""), 1);
}

TEST_F(WorldServer, ABoundaryResultIsStored) {
  // The largest score, a 10-letter name, a 32-byte country and a "|" in it.
  const std::string country = "Saint Vincent|and the Grenadine";
  ASSERT_EQ(country.size(), 31u);
  const httplib::Result reply =
      SendResult(EncodeRaw(Payload("Abcdefghij", "10000000", FetchToken(), country + "s")));
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->status, 200) << reply->body;
  const nlohmann::json table = Api();
  ASSERT_EQ(table["scores"].size(), 1u);
  EXPECT_EQ(table["scores"][0]["country"], country + "s");
  EXPECT_EQ(table["scores"][0]["score"], 10000000);
}

TEST_F(WorldServer, OneTokenStoresOneRow) {
  const std::string token = FetchToken();
  const std::string encoded = EncodeRaw(Payload("Ace", "50", token, "Peru"));
  EXPECT_EQ(SendResult(encoded)->status, 200);
  const httplib::Result again = SendResult(encoded);
  EXPECT_EQ(again->status, 400);
  EXPECT_NE(again->body.find("already used"), std::string::npos);
  EXPECT_EQ(Api()["total"], 1);
}

TEST_F(WorldServer, PlayerTextIsEscapedOnThePage) {
  // The protocol lets no markup into names, but the page must not trust the store either.
  server_->store().IssueToken("direct", "127.0.0.1", std::time(nullptr));
  server_->store().Submit("direct", std::time(nullptr), 900,
                          {"<script>alert(1)</script>", "\"><img src=x onerror=alert(2)>", 99, "x"});
  const std::string country = "<script>alert(3)</script>";
  ASSERT_EQ(SendResult(EncodeRaw(Payload("Ace", "98", FetchToken(), country)))->status, 200);

  for (const std::string& page : {Page(), Page("&country=" + UrlEncode(country))}) {
    EXPECT_EQ(page.find("<script"), std::string::npos);
    EXPECT_EQ(page.find("<img"), std::string::npos);
  }
  const std::string page = Page();
  EXPECT_NE(page.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
  EXPECT_NE(page.find("&quot;&gt;&lt;img src=x onerror=alert(2)&gt;"), std::string::npos);
  EXPECT_NE(page.find("&lt;script&gt;alert(3)&lt;/script&gt;"), std::string::npos);
  // The country link carries the country percent-encoded.
  EXPECT_NE(page.find("country=%3Cscript%3Ealert%283%29%3C%2Fscript%3E"), std::string::npos);
  // The filtered page shows the filter, escaped, in the form and the title.
  const std::string filtered = Page("&country=" + UrlEncode(country));
  EXPECT_NE(filtered.find("value=\"&lt;script&gt;alert(3)&lt;/script&gt;\""), std::string::npos);
  // And the JSON carries the text as it is.
  EXPECT_EQ(Api("?limit=1")["scores"][0]["name"], "<script>alert(1)</script>");
}

TEST_F(WorldServer, PagesAndTheCountryFilterWalkTheTable) {
  const int64_t now = std::time(nullptr);
  for (int i = 0; i < 150; ++i) {
    const std::string token = "seed" + std::to_string(i);
    server_->store().IssueToken(token, "127.0.0.1", now);
    server_->store().Submit(token, now, 900,
                            {"P" + std::string(1, 'a' + i % 26), i % 3 == 0 ? "Peru" : "Chile",
                             1000 - i, "127.0.0.1"});
  }
  auto ranks = [](const std::string& page) {
    std::vector<int> found;
    const std::regex rank("<td class=\"rank\">(\\d+)</td>");
    for (auto it = std::sregex_iterator(page.begin(), page.end(), rank);
         it != std::sregex_iterator(); ++it) {
      found.push_back(std::stoi((*it)[1]));
    }
    return found;
  };
  const std::vector<int> first = ranks(Page());
  ASSERT_EQ(first.size(), 100u);
  EXPECT_EQ(first.front(), 1);
  EXPECT_EQ(first.back(), 100);
  EXPECT_NE(Page().find("Page 1 of 2"), std::string::npos);
  EXPECT_NE(Page().find("rel=\"next\" href=\"version.pl?prg=Starmoat&amp;show&amp;type=0&amp;page=2\""),
            std::string::npos);
  const std::vector<int> second = ranks(Page("&page=2"));
  ASSERT_EQ(second.size(), 50u);
  EXPECT_EQ(second.front(), 101);
  EXPECT_NE(Page("&page=3").find("No scores on this page."), std::string::npos);

  const std::string peru = Page("&country=Peru");
  EXPECT_EQ(ranks(peru).size(), 50u);
  EXPECT_EQ(peru.find(">Chile</a>"), std::string::npos);
  EXPECT_NE(peru.find("Page 1 of 1"), std::string::npos);

  const nlohmann::json chile = Api("?country=Chile&limit=5&offset=10");
  EXPECT_EQ(chile["total"], 100);
  ASSERT_EQ(chile["scores"].size(), 5u);
  EXPECT_EQ(chile["scores"][0]["rank"], 11);
  EXPECT_EQ(chile["scores"][0]["country"], "Chile");
  EXPECT_GT(chile["scores"][0]["score"], chile["scores"][4]["score"]);

  for (const char* bad : {"?limit=0", "?limit=101", "?limit=x", "?offset=-1",
                          "?country=123456789012345678901234567890123"}) {
    const httplib::Result reply = server_->Get(std::string("/api/scores") + bad);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, 400) << bad;
  }
  for (const char* bad : {"&page=0", "&page=-2", "&page=two"}) {
    const httplib::Result reply = server_->Get(std::string(kWorldTablePath) + bad);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, 400) << bad;
  }
}

TEST_F(WorldServer, AnEmptyTableIsAPageToo) {
  const httplib::Result reply = server_->Get(kWorldTablePath);
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->status, 200);
  EXPECT_EQ(reply->get_header_value("Content-Type"), "text/html; charset=utf-8");
  EXPECT_NE(reply->get_header_value("Content-Security-Policy").find("default-src 'none'"),
            std::string::npos);
  EXPECT_NE(reply->body.find("<meta name=\"viewport\""), std::string::npos);
  EXPECT_NE(reply->body.find("No scores yet"), std::string::npos);
  EXPECT_EQ(Api()["scores"].size(), 0u);
}

TEST_F(WorldServer, OtherPathsHealthAndLimits) {
  const std::pair<std::string, int> requests[] = {
      {"/healthz", 200},
      {"/", 404},
      {"/cgi/other.pl?version&prg=Starmoat", 404},
      {"/api/scores/1", 404},
      {"/cgi/version.pl?version&prg=Starmoat", 200},  // one slash, typed by hand
      {"/x?" + std::string(3000, 'a'), 414},
  };
  for (const auto& [target, status] : requests) {
    const httplib::Result reply = server_->Get(target);
    ASSERT_TRUE(reply) << target.substr(0, 40);
    EXPECT_EQ(reply->status, status) << target.substr(0, 40);
  }
  httplib::Client client("127.0.0.1", server_->port());
  const httplib::Result post = client.Post("/healthz", std::string(5000, 'x'), "text/plain");
  ASSERT_TRUE(post);
  EXPECT_EQ(post->status, 413);
}

TEST_F(WorldServer, EveryRequestWritesOneAccessLogLine) {
  FetchToken();
  server_->Get("/healthz");
  server_->Get("/missing\x01");
  std::vector<std::string> log = server_->AccessLog(3);
  ASSERT_EQ(log.size(), 3u);
  // Each line is written once its response is out, so lines of separate connections may come
  // in any order.
  std::sort(log.begin(), log.end(), [](const std::string& a, const std::string& b) {
    return a.substr(a.find('"')) < b.substr(b.find('"'));
  });
  EXPECT_TRUE(std::regex_match(
      log[0], std::regex("\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ 127\\.0\\.0\\.1 "
                         "\"GET //cgi/version\\.pl\\?version&prg=Starmoat\" 200 \\d+ [0-9.]+ms")))
      << log[0];
  EXPECT_NE(log[1].find("\"GET /healthz\" 200 3 "), std::string::npos) << log[1];
  // A control byte is not allowed in a request target: refused, and escaped in the log.
  EXPECT_NE(log[2].find("\"GET /missing\\x01\" 400 "), std::string::npos) << log[2];
  for (const std::string& line : log) EXPECT_EQ(line.find_first_of("\r\n\x01"), std::string::npos);
}

class RateLimitedServer : public WorldServer {
 protected:
  FrontOptions Limited() {
    FrontOptions options = EveryRow();
    options.protocol.rate_limit = 3;
    options.protocol.rate_window = std::chrono::minutes(1);
    options.protocol.steady_now = [this] {
      return RateLimiter::Clock::time_point(std::chrono::seconds(elapsed_s_.load()));
    };
    return options;
  }
  std::atomic<int64_t> elapsed_s_{1000};
};

TEST_F(RateLimitedServer, TokensPastTheLimitGet429UntilTheWindowHasPassed) {
  server_ = std::make_unique<LiveServer>(Limited());
  for (int i = 0; i < 3; ++i) EXPECT_EQ(server_->Get(kTokenPath)->status, 200) << i;
  const httplib::Result refused = server_->Get(kTokenPath);
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->status, 429);
  EXPECT_EQ(TokenFromReply(refused->body), "");
  // Pages and results are not counted.
  EXPECT_EQ(server_->Get(kWorldTablePath)->status, 200);

  elapsed_s_ += 59;
  EXPECT_EQ(server_->Get(kTokenPath)->status, 429);
  elapsed_s_ += 1;
  EXPECT_EQ(server_->Get(kTokenPath)->status, 200);
}

TEST_F(RateLimitedServer, ARefusedTokenMakesTheGameAskToRepeat) {
  server_ = std::make_unique<LiveServer>(Limited());
  for (int i = 0; i < 3; ++i) server_->Get(kTokenPath);
  ResetProgramState();
  platform::SdlHttpClient client;
  const platform::Platform saved = platform::Services();
  platform::Services().http = &client;
  ScoreHost = server_->host();
  SubmitScore("Ace", 10);
  EXPECT_EQ(ScreenState, ssConnectFailed);
  platform::SetServices(saved);
  ResetProgramState();
  EXPECT_EQ(server_->store().Count(""), 0);
}

}  // namespace
}  // namespace starmoat::server
