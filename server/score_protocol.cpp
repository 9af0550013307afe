#include "score_protocol.h"

#include <algorithm>
#include <charconv>
#include <ctime>
#include <thread>
#include <nlohmann/json.hpp>

#include "persistence/score_codec.h"
#include "random_token.h"
#include "web_text.h"
#include "world_page.h"

namespace starmoat::server {

namespace {

constexpr int kMaxApiLimit = 100;

Reply Refuse(int status, const std::string& reason) {
  return {status, "text/plain; charset=utf-8", reason + "\n"};
}

const std::string* Param(const QueryParams& params, const std::string& name) {
  const auto found = params.find(name);
  return found == params.end() ? nullptr : &found->second;
}

// A whole decimal number, nothing around it (no sign, spaces or "+"), within [low, high].
std::optional<int64_t> Number(const std::string& text, int64_t low, int64_t high) {
  int64_t value = 0;
  const char* end = text.data() + text.size();
  if (text.empty() || text[0] == '+') return std::nullopt;
  const auto [rest, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || rest != end || value < low || value > high) return std::nullopt;
  return value;
}

bool IsLetters(const std::string& text) {
  for (const char c : text) {
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return false;
  }
  return true;
}

bool HasControlBytes(const std::string& text) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return true;
  }
  return false;
}

// A country filter from the query: what the players' rows hold, so the same limit applies.
std::optional<std::string> CountryFilter(const QueryParams& params) {
  const std::string* country = Param(params, "country");
  if (country == nullptr) return std::string();
  if (country->size() > ScoreProtocol::kMaxCountryBytes) return std::nullopt;
  return *country;
}

int DeepReadsAtOnce(int configured) {
  if (configured > 0) return std::min(configured, 1024);
  return std::clamp(static_cast<int>(std::thread::hardware_concurrency() / 2), 1, 1024);
}

// Holds a turn for a deep read while it lasts; shallow reads pass straight through. busy()
// when the queue of deep reads is full: the read must not be made.
class DeepReadTurn {
 public:
  DeepReadTurn(std::counting_semaphore<1024>& turns, std::atomic<int>& in_flight, int most,
               int64_t offset) {
    if (offset < ScoreProtocol::kDeepRows) return;
    if (in_flight.fetch_add(1) >= most) {
      in_flight.fetch_sub(1);
      busy_ = true;
      return;
    }
    in_flight_ = &in_flight;
    turns_ = &turns;
    turns_->acquire();
  }
  ~DeepReadTurn() {
    if (!turns_) return;
    turns_->release();
    in_flight_->fetch_sub(1);
  }
  DeepReadTurn(const DeepReadTurn&) = delete;
  DeepReadTurn& operator=(const DeepReadTurn&) = delete;

  bool busy() const { return busy_; }

 private:
  std::counting_semaphore<1024>* turns_ = nullptr;
  std::atomic<int>* in_flight_ = nullptr;
  bool busy_ = false;
};

Reply Busy() { return Refuse(503, "the world table is busy; try again in a moment"); }

std::string RejectedToken(SubmitResult result, int64_t max_age_s) {
  switch (result) {
    case SubmitResult::UnknownToken: return "unknown token";
    case SubmitResult::SpentToken: return "the token was already used";
    case SubmitResult::ExpiredToken:
      return "the token is older than " + std::to_string(max_age_s / 60) + " minutes";
    case SubmitResult::Stored: break;
  }
  return "";
}

}  // namespace

ScoreProtocol::ScoreProtocol(Store& store, ProtocolOptions options)
    : store_(store),
      options_(std::move(options)),
      limiter_(options_.rate_limit, options_.rate_window),
      deep_reads_(DeepReadsAtOnce(options_.deep_reads_at_once)),
      deep_reads_at_once_(DeepReadsAtOnce(options_.deep_reads_at_once)),
      pages_(std::chrono::seconds(1), 64) {}

int ScoreProtocol::DeepReadsAllowed() const {
  return deep_reads_at_once_ + std::max(0, options_.deep_reads_waiting);
}

int64_t ScoreProtocol::Now() const {
  return options_.now_unix ? options_.now_unix() : static_cast<int64_t>(std::time(nullptr));
}

Reply ScoreProtocol::VersionPl(const QueryParams& params, const std::string& address) {
  const std::string* program = Param(params, "prg");
  if (program == nullptr || *program != "Starmoat") return Refuse(400, "unknown program");
  if (params.count("version") != 0) return Token(address);
  if (params.count("hs") != 0) {
    const std::string* encoded = Param(params, "inf");
    if (encoded == nullptr) return Refuse(400, "the result is missing (inf)");
    return Result(*encoded, address);
  }
  if (params.count("show") != 0) return WorldPage(params);
  return Refuse(400, "unknown request: expected version, hs or show");
}

Reply ScoreProtocol::Token(const std::string& address) {
  const RateLimiter::Clock::time_point steady =
      options_.steady_now ? options_.steady_now() : RateLimiter::Clock::now();
  if (!limiter_.Allow(address, steady)) {
    return Refuse(429, "too many tokens from this address; try again later");
  }
  const std::string token = RandomToken();
  const int64_t now = Now();
  store_.IssueToken(token, address, now);
  return {200, "text/plain; charset=utf-8",
          std::string("Starmoat|") + kServerVersion + "|" + std::to_string(now) + "|" +
              std::to_string(options_.token_max_age_s) + "|" + token + "|\n"};
}

Reply ScoreProtocol::Result(const std::string& encoded, const std::string& address) {
  if (encoded.find_first_not_of(Alphabet32) != std::string::npos) {
    return Refuse(400, "the result holds a character outside the 32-letter alphabet");
  }
  const std::optional<std::string> payload = Text32ToBytes(encoded);
  if (!payload) return Refuse(400, "the result's length is not a multiple of 8 letters");
  const std::optional<ScorePayload> fields = ParsePayload(*payload);
  if (!fields) return Refuse(400, "the result does not parse");
  if (fields->type != "0") return Refuse(400, "unknown table type");
  if (fields->key != std::string(1, kScoreKey)) return Refuse(400, "unknown key");
  if (fields->name.empty() || fields->name.size() > kMaxNameLetters || !IsLetters(fields->name)) {
    return Refuse(400, "the name must be 1 to 10 letters");
  }
  const std::optional<int64_t> score = Number(fields->score, 0, options_.max_score);
  if (!score) {
    return Refuse(400, "the score must be a whole number from 0 to " +
                           std::to_string(options_.max_score));
  }
  if (fields->country.size() > kMaxCountryBytes) {
    return Refuse(400, "the country is longer than 32 bytes");
  }
  if (HasControlBytes(fields->country)) {
    return Refuse(400, "the country holds control characters");
  }

  const SubmitResult result = store_.Submit(fields->token, Now(), options_.token_max_age_s,
                                            {fields->name, fields->country, *score, address});
  if (result != SubmitResult::Stored) {
    return Refuse(400, RejectedToken(result, options_.token_max_age_s));
  }
  // The player's next look at the world table shows the new row.
  pages_.Clear();
  return {200, "text/plain; charset=utf-8", "stored\n"};
}

Rows ScoreProtocol::RowsAsked(const QueryParams& params) const {
  if (const std::string* all = Param(params, "all"); all != nullptr) {
    if (*all == "1") return Rows::All;
    if (*all == "0") return Rows::Verified;
  }
  return options_.show_unverified ? Rows::All : Rows::Verified;
}

Reply ScoreProtocol::WorldPage(const QueryParams& params) {
  const std::optional<std::string> country = CountryFilter(params);
  if (!country) return Refuse(400, "the country is longer than 32 bytes");
  int64_t page = 1;
  if (const std::string* text = Param(params, "page"); text != nullptr && !text->empty()) {
    const std::optional<int64_t> number = Number(*text, 1, kMaxPages);
    if (!number) {
      return Refuse(400, "page must be a whole number from 1 to " + std::to_string(kMaxPages));
    }
    page = *number;
  }

  const Rows rows = RowsAsked(params);
  const std::string key =
      std::to_string(page) + (rows == Rows::All ? "|all|" : "|verified|") + *country;
  const PageCache::Clock::time_point now =
      options_.steady_now ? options_.steady_now() : PageCache::Clock::now();
  if (const auto cached = pages_.Find(key, now)) {
    return {200, "text/html; charset=utf-8", *cached};
  }
  const uint64_t generation = pages_.Generation();
  WorldPageView view;
  view.country = *country;
  view.page = page;
  view.all = rows == Rows::All;
  // The links keep the choice only where it differs from this server's default.
  if (view.all != options_.show_unverified) view.rows_choice = view.all ? "all=1" : "all=0";
  view.play_link = options_.play_link;
  view.total = store_.Count(view.country, rows);
  view.listed = std::min<int64_t>(view.total, kListedRows);
  view.pages = std::max<int64_t>(1, (view.listed + kPageRows - 1) / kPageRows);
  view.first_rank = (page - 1) * kPageRows + 1;
  {
    const DeepReadTurn turn(deep_reads_, deep_reads_in_flight_, DeepReadsAllowed(),
                            view.first_rank - 1);
    if (turn.busy()) return Busy();
    view.rows =
        store_.Top(view.country, kPageRows, static_cast<int>(view.first_rank - 1), rows);
  }
  Reply reply{200, "text/html; charset=utf-8", RenderWorldPage(view)};
  pages_.Put(key, reply.body, now, generation);
  return reply;
}

Reply ScoreProtocol::ScoresJson(const QueryParams& params) {
  const std::optional<std::string> country = CountryFilter(params);
  if (!country) return Refuse(400, "the country is longer than 32 bytes");
  int64_t limit = kPageRows;
  if (const std::string* text = Param(params, "limit"); text != nullptr && !text->empty()) {
    const std::optional<int64_t> number = Number(*text, 1, kMaxApiLimit);
    if (!number) return Refuse(400, "limit must be a whole number from 1 to 100");
    limit = *number;
  }
  int64_t offset = 0;
  if (const std::string* text = Param(params, "offset"); text != nullptr && !text->empty()) {
    const std::optional<int64_t> number = Number(*text, 0, kListedRows - 1);
    if (!number) {
      return Refuse(400, "offset must be a whole number from 0 to " +
                             std::to_string(kListedRows - 1) + " (the best " +
                             std::to_string(kListedRows) + " scores are listed)");
    }
    offset = *number;
  }

  const Rows which = RowsAsked(params);
  const int64_t total = store_.Count(*country, which);
  std::vector<ScoreRow> rows;
  {
    // Rows past the listed ranks are not read, so a request near the end may get fewer.
    const DeepReadTurn turn(deep_reads_, deep_reads_in_flight_, DeepReadsAllowed(), offset);
    if (turn.busy()) return Busy();
    rows = store_.Top(*country, static_cast<int>(std::min(limit, kListedRows - offset)),
                      static_cast<int>(offset), which);
  }
  nlohmann::json scores = nlohmann::json::array();
  for (size_t i = 0; i < rows.size(); ++i) {
    const ScoreRow& row = rows[i];
    nlohmann::json entry = {{"rank", offset + static_cast<int64_t>(i) + 1},
                            {"id", row.id},
                            {"name", row.name},
                            {"country", row.country},
                            {"score", row.score},
                            {"created", UtcDateTime(row.created_unix)},
                            {"created_unix", row.created_unix},
                            {"verified", row.verified}};
    if (row.verified) entry["replay"] = ReplayLink(row.id);
    scores.push_back(std::move(entry));
  }
  const nlohmann::json document = {{"total", total},
                                   {"listed", std::min<int64_t>(total, kListedRows)},
                                   {"offset", offset},
                                   {"limit", limit},
                                   {"country", *country},
                                   {"rows", which == Rows::All ? "all" : "verified"},
                                   {"scores", std::move(scores)}};
  // Stored text is whatever clients sent; bytes that are not UTF-8 become U+FFFD rather than
  // failing the whole answer.
  return {200, "application/json",
          document.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n"};
}

}  // namespace starmoat::server
