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

std::string BytesToBits(const std::string& bytes) {
  std::string bits;
  bits.reserve(bytes.size() * 8);
  for (const char c : bytes) {
    const auto value = static_cast<uint8_t>(c);
    for (int bit = 7; bit >= 0; --bit) bits.push_back((value >> bit) & 1 ? '1' : '0');
  }
  return bits;
}

std::string BitsToText32(std::string bits) {
  if (bits.size() % 5 != 0) bits.insert(0, 5 - bits.size() % 5, '0');
  std::string text;
  text.reserve(bits.size() / 5);
  for (size_t start = 0; start < bits.size(); start += 5) {
    int group = 0;
    for (size_t i = start; i < start + 5; ++i) group = group * 2 + (bits[i] != '0' ? 1 : 0);
    text.push_back(Alphabet32[group]);
  }
  return text;
}

std::string TokenFromReply(std::string reply) {
  std::string token;
  for (int pass = 0; pass < 5; ++pass) {
    const size_t bar = reply.find('|');
    if (bar == std::string::npos) {
      token.clear();
      continue;
    }
    token = reply.substr(0, bar);
    reply.erase(0, bar + 1);
  }
  return token;
}

std::string BuildPayload(const std::string& name, int32_t score, const std::string& token,
                         const std::string& country) {
  std::string payload = "type=0|name=" + name + "|score=" + std::to_string(score) + "|key=" +
                        kScoreKey + "|p=" + token + "|add=" + country + "|z=";
  payload.append((5 - payload.size() % 5) % 5, '0');
  return payload;
}

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
