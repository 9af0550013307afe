#include "persistence/score_submission.h"

#include <algorithm>
#include <cstdlib>

#include "persistence/config.h"
#include "platform/platform.h"
#include "shell/screen_state.h"

#ifndef STARMOAT_SCORE_HOST
#define STARMOAT_SCORE_HOST "localhost:8077"
#endif

std::string ScoreHost = STARMOAT_SCORE_HOST;
uint32_t SubmitTimeoutMs = 10000;
uint32_t SubmitConnectTimeoutMs = 5000;

namespace {

// The request settings the score server has always seen from the game, with what is left of
// the sending's time budget.
platform::HttpRequest ScoreRequest(const std::string& pathAndQuery, uint32_t budgetLeftMs,
                                   const std::function<void()>& whileWaiting) {
  platform::HttpRequest request;
  request.url = ScoreServerUrl(pathAndQuery);
  request.headers = {
      {"User-Agent", "Mozilla/3.0 (compatible; Indy Library)"},
      {"Accept", "text/html, */*"},
      {"Content-Type", "text/html"},
  };
  request.timeoutMs = budgetLeftMs;
  request.connectTimeoutMs = std::min(SubmitConnectTimeoutMs, budgetLeftMs);
  request.whileWaiting = whileWaiting;
  return request;
}

platform::HttpResponse Get(const platform::HttpRequest& request) {
  platform::IHttpClient* http = platform::Services().http;
  if (!http) return platform::HttpResponse{false, "", "no HTTP client"};
  return http->Get(request);
}

// The token goes into a query: anything but letters and digits is percent-encoded, whatever
// the server chose to put in it.
std::string QueryValue(const std::string& text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const unsigned char c : text) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
      out.push_back(static_cast<char>(c));
    } else {
      out += {'%', kHex[c >> 4], kHex[c & 15]};
    }
  }
  return out;
}

// The replay after its stored result. Its own headers: the score server's replay route is
// ours, not the old protocol's.
void UploadReplay(const std::string& token, const std::string& replay, uint32_t budgetLeftMs,
                  const std::function<void()>& whileWaiting) {
  platform::IHttpClient* http = platform::Services().http;
  if (!http) return;
  platform::HttpRequest request;
  request.url = ScoreServerUrl(kReplayUploadPath + QueryValue(token));
  request.headers = {{"User-Agent", "Starmoat"}, {"Content-Type", "application/octet-stream"}};
  request.timeoutMs = budgetLeftMs;
  request.connectTimeoutMs = std::min(SubmitConnectTimeoutMs, budgetLeftMs);
  request.whileWaiting = whileWaiting;
  http->Post(request, replay);
}

// One budget for the whole sending, counted on the program's clock: the token request may use
// all of it, the result request gets what the token left.
class SendingBudget {
 public:
  SendingBudget() : start_(Now()) {}
  // 0 once the budget is spent (a time-out of 0 would mean none at all to the client).
  uint32_t LeftMs() const {
    const uint32_t used = Now() - start_;  // wraps with the tick count
    return used >= SubmitTimeoutMs ? 0 : SubmitTimeoutMs - used;
  }

 private:
  static uint32_t Now() {
    platform::IClock* clock = platform::Services().clock;
    return clock ? clock->TickCount() : 0;
  }
  uint32_t start_;
};

}  // namespace

void ResetSubmissionState() {
  ScoreHost = STARMOAT_SCORE_HOST;
  SubmitTimeoutMs = 10000;
  SubmitConnectTimeoutMs = 5000;
}

std::string ChooseScoreHost(const char* environmentValue) {
  if (environmentValue && *environmentValue) return environmentValue;
  return STARMOAT_SCORE_HOST;
}

void UseScoreHostFromEnvironment() {
  ScoreHost = ChooseScoreHost(std::getenv("STARMOAT_SCORE_HOST"));
}

std::string ScoreServerUrl(const std::string& pathAndQuery) {
  return "http://" + ScoreHost + pathAndQuery;
}

std::string WorldTableUrl() { return ScoreServerUrl(kWorldTablePath); }

void SubmitScore(const std::string& name, int32_t score,
                 const std::function<void()>& whileWaiting, const std::string& replay) {
  const SendingBudget budget;
  const platform::HttpResponse reply =
      Get(ScoreRequest(kTokenPath, budget.LeftMs(), whileWaiting));
  if (!reply.ok) {
    ScreenState = ssConnectFailed;
    return;
  }
  const std::string token = TokenFromReply(reply.body);
  const std::string payload = BuildPayload(name, score, token, Settings.Country);
  // The server's answer to the result is not shown: a rejected or lost result looks like a
  // success to the player. A result the budget has no time left for is lost the same way.
  if (const uint32_t left = budget.LeftMs(); left > 0) {
    const platform::HttpResponse stored =
        Get(ScoreRequest(kResultPath + BitsToText32(BytesToBits(payload)), left, whileWaiting));
    // Only a stored result has a row for its replay to prove.
    if (const uint32_t rest = budget.LeftMs(); stored.ok && !replay.empty() && rest > 0) {
      UploadReplay(token, replay, rest, whileWaiting);
    }
  }
  ScreenState = ssHighScores;
}
