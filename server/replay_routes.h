// The replay routes: the game sends the replay of a game whose result it has just stored
// (POST /api/replays?token=TOKEN, the replay's bytes as the body), and anyone downloads the
// replay of a verified row (GET /api/replays?id=ID).
#pragma once

#include <string>

#include "replay_verifier.h"
#include "score_protocol.h"
#include "store.h"

namespace starmoat::server {

class ReplayRoutes {
 public:
  // store and verifier must outlive the routes.
  ReplayRoutes(Store& store, ReplayVerifier& verifier) : store_(store), verifier_(verifier) {}

  // 202 "checking" once the replay is queued for its row; 400 without a token, 404 when the
  // token stored no row, 409 when the row already had a replay, 413 past the size limit,
  // 503 when the queue is full. Nothing is marked before the replay has been played.
  Reply Upload(const QueryParams& params, const std::string& body);
  // The replay file of a verified row; 404 for any other.
  Reply Download(const QueryParams& params);

 private:
  Store& store_;
  ReplayVerifier& verifier_;
};

}  // namespace starmoat::server
