#include "persistence/score_submission.h"

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

// The request settings the score server has always seen from the game.
platform::HttpRequest ScoreRequest(const std::string& pathAndQuery) {
  platform::HttpRequest request;
  request.url = ScoreServerUrl(pathAndQuery);
  request.headers = {
      {"User-Agent", "Mozilla/3.0 (compatible; Indy Library)"},
      {"Accept", "text/html, */*"},
      {"Content-Type", "text/html"},
  };
  request.timeoutMs = SubmitTimeoutMs;
  request.connectTimeoutMs = SubmitConnectTimeoutMs;
  return request;
}

platform::HttpResponse Get(const std::string& pathAndQuery) {
  platform::IHttpClient* http = platform::Services().http;
  if (!http) return platform::HttpResponse{false, "", "no HTTP client"};
  return http->Get(ScoreRequest(pathAndQuery));
}

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

void SubmitScore(const std::string& name, int32_t score) {
  const platform::HttpResponse reply = Get(kTokenPath);
  if (!reply.ok) {
    ScreenState = ssConnectFailed;
    return;
  }
  const std::string payload =
      BuildPayload(name, score, TokenFromReply(reply.body), Settings.Country);
  // The server's answer to the result is not read: a rejected or lost result looks like a
  // success to the player.
  Get(kResultPath + BitsToText32(BytesToBits(payload)));
  ScreenState = ssHighScores;
}
