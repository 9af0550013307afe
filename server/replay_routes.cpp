#include "replay_routes.h"

#include <charconv>

namespace starmoat::server {

namespace {

Reply Line(int status, const std::string& line) {
  return {status, "text/plain; charset=utf-8", line + "\n"};
}

}  // namespace

Reply ReplayRoutes::Upload(const QueryParams& params, const std::string& body) {
  const auto token = params.find("token");
  if (token == params.end() || token->second.empty()) {
    return Line(400, "the token of the stored result is missing (token)");
  }
  if (body.empty()) return Line(400, "the replay is missing (the request's body)");
  if (body.size() > verifier_.options().max_bytes) {
    return Line(413, "the replay is larger than " + std::to_string(verifier_.options().max_bytes) +
                         " bytes");
  }
  if (!verifier_.HasRoom()) return Line(503, "too many replays waiting; try again later");
  ScoreRow row;
  switch (store_.ClaimReplay(token->second, body, &row)) {
    case ReplayClaim::UnknownToken: return Line(404, "no stored result for that token");
    case ReplayClaim::Taken: return Line(409, "a replay was already sent for that result");
    case ReplayClaim::Claimed: break;
  }
  verifier_.Enqueue(row, body);
  return Line(202, "checking");
}

Reply ReplayRoutes::Download(const QueryParams& params) {
  const auto id = params.find("id");
  int64_t number = 0;
  if (id == params.end()) return Line(400, "which replay? (id)");
  const std::string& text = id->second;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || number <= 0) {
    return Line(400, "id must be a whole number from 1");
  }
  std::optional<std::string> bytes = store_.Replay(number);
  if (!bytes) return Line(404, "no verified replay with that id");
  return {200, "application/octet-stream", std::move(*bytes)};
}

}  // namespace starmoat::server
