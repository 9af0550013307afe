// What the world score server answers, independent of HTTP: the game's token and result
// requests, the world table page and the JSON list. The HTTP front passes in the query
// parameters and the client's address and sends back the Reply.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <semaphore>
#include <string>

#include "page_cache.h"
#include "starmoat_version.h"
#include "rate_limiter.h"
#include "store.h"

namespace starmoat::server {

struct ProtocolOptions {
  // Results above this are refused (a finished game's score cannot reach it).
  int64_t max_score = 10'000'000;
  // A token must be used within this many seconds of its issue.
  int64_t token_max_age_s = 15 * 60;
  // Tokens per client address in any rate_window; 0: no limit.
  int rate_limit = 30;
  std::chrono::steady_clock::duration rate_window = std::chrono::minutes(1);
  // How many reads that start kDeepRows or more into the table run at once; 0: half the
  // processor's threads, at least one. Up to deep_reads_waiting more wait for their turn (each
  // holds one of the front's worker threads meanwhile); past that a deep read gets 503 at once.
  int deep_reads_at_once = 0;
  int deep_reads_waiting = 16;
  // The world page and the JSON list show every row by default, not only the verified ones
  // ("all=0" still asks for those alone).
  bool show_unverified = false;
  // The world page links to the game's web build at /play/ (the server serves one).
  bool play_link = false;
  // Seconds since 1970, and the clock of the rate limit's window; tests may set their own.
  std::function<int64_t()> now_unix;
  std::function<RateLimiter::Clock::time_point()> steady_now;
};

struct Reply {
  int status = 200;
  std::string content_type = "text/plain; charset=utf-8";
  std::string body;
};

// Query parameters after percent-decoding; a parameter without "=" has an empty value.
using QueryParams = std::multimap<std::string, std::string>;

class ScoreProtocol {
 public:
  // The store must outlive the protocol. Safe to call from several threads at once.
  ScoreProtocol(Store& store, ProtocolOptions options);

  // GET //cgi/version.pl: "version" asks for a token, "hs" carries a result in "inf", "show"
  // is the world table page. prg must be Starmoat.
  Reply VersionPl(const QueryParams& params, const std::string& address);

  // A fresh token in the fifth "|"-terminated field: "Starmoat|<server version>|<time>|
  // <seconds the token lives>|<token>|". 429 past the address's rate limit.
  Reply Token(const std::string& address);
  // The 32-letter encoded payload: 200 "stored" when the row is kept, else 400 with one line
  // saying why, and nothing is kept.
  Reply Result(const std::string& encoded, const std::string& address);
  // The world table page: 100 rows a page, page counted from 1 to kMaxPages, country "" for
  // every country.
  Reply WorldPage(const QueryParams& params);
  // GET /api/scores?limit=&offset=&country= as JSON; offset below kListedRows.
  Reply ScoresJson(const QueryParams& params);
  // Page and list show only verified rows unless "all=1" (or show_unverified without
  // "all=0"); these are the rows a request asks for.
  Rows RowsAsked(const QueryParams& params) const;

  // After a change of the rows that is not a submission (a replay's verdict): the next pages
  // are read anew.
  void TableChanged() { pages_.Clear(); }

  static constexpr int kPageRows = 100;
  // How deep the world table goes: the best kListedRows scores of the world or of a country
  // are listed, on the page and in the JSON, and counted in full. The stores read a page along
  // an ordered index, so its cost grows with its depth; the bound keeps every page as cheap as
  // the deepest listed one, however large the table grows.
  static constexpr int64_t kMaxPages = 100;
  static constexpr int64_t kListedRows = kMaxPages * kPageRows;
  // A deep read costs up to a few milliseconds of a processor. Clients flooding deep pages
  // therefore take turns (ProtocolOptions::deep_reads_at_once), and leave the rest of the
  // machine to everyone else: the first pages, the game's submissions; a flood larger than
  // the queue (deep_reads_waiting) is told 503 rather than holding every worker thread.
  static constexpr int64_t kDeepRows = 1000;
  static constexpr int kMaxNameLetters = 10;
  static constexpr size_t kMaxCountryBytes = 32;

 private:
  int64_t Now() const;
  // Deep reads running and waiting together, at most.
  int DeepReadsAllowed() const;

  Store& store_;
  ProtocolOptions options_;
  RateLimiter limiter_;
  std::counting_semaphore<1024> deep_reads_;
  int deep_reads_at_once_;
  std::atomic<int> deep_reads_in_flight_{0};  // running and waiting
  // World table pages, rendered at most once a second per country and page number.
  PageCache pages_;
};

// The version starmoat-scores reports (--version and the token reply).
inline constexpr const char* kServerVersion = STARMOAT_VERSION;

}  // namespace starmoat::server
