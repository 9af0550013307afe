// The world table's depth: past the listed ranks the page and the JSON say how far they go,
// while the counts stay the whole table's.
#include <sqlite3.h>

#include <nlohmann/json.hpp>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <regex>
#include <thread>

#include "score_protocol.h"
#include "server/store_suite.h"

namespace starmoat::server {
namespace {

class ListedDepth : public ::testing::Test {
 protected:
  static constexpr int64_t kRows = ScoreProtocol::kListedRows + 50;

  void SetUp() override {
    database_ = backend_.fresh_database();
    store_ = OpenStore(database_);
    // Straight into the file in one transaction: far quicker than one submission a row, and
    // the store's triggers count the rows all the same. Scores fall by one every two rows,
    // so every page boundary splits a tie.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(database_.c_str(), &db), SQLITE_OK);
    const std::string fill =
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
        std::to_string(kRows) +
        ") INSERT INTO scores (name, country, score, created_unix, address, replay_state) "
        "SELECT 'P' || i, CASE WHEN i % 2 = 0 THEN 'Peru' ELSE 'Chile' END, 100000 - i / 2, "
        "1800000000, '::1', CASE WHEN i % 400 = 0 THEN 0 ELSE 2 END FROM n";
    EXPECT_EQ(sqlite3_exec(db, fill.c_str(), nullptr, nullptr, nullptr), SQLITE_OK)
        << sqlite3_errmsg(db);
    sqlite3_close(db);
    // Every row by default; the verified rows alone are asked for with all=0.
    ProtocolOptions options;
    options.show_unverified = true;
    protocol_ = std::make_unique<ScoreProtocol>(*store_, options);
  }
  void TearDown() override {
    protocol_.reset();
    store_.reset();
    backend_.drop_database(database_);
  }

  Reply Page(const std::string& page, const std::string& country = "",
             const std::string& all = "") {
    QueryParams params{{"prg", "Starmoat"}, {"show", ""}, {"type", "0"}, {"page", page}};
    if (!country.empty()) params.emplace("country", country);
    if (!all.empty()) params.emplace("all", all);
    return protocol_->WorldPage(params);
  }
  Reply Json(const std::string& offset, const std::string& limit = "100") {
    return protocol_->ScoresJson({{"offset", offset}, {"limit", limit}});
  }
  static std::vector<int64_t> Ranks(const std::string& html) {
    std::vector<int64_t> ranks;
    const std::regex rank("<td class=\"rank\">(\\d+)</td>");
    for (auto it = std::sregex_iterator(html.begin(), html.end(), rank);
         it != std::sregex_iterator(); ++it) {
      ranks.push_back(std::stoll((*it)[1]));
    }
    return ranks;
  }

  StoreBackend backend_ = SqliteBackend();
  std::string database_;
  std::unique_ptr<Store> store_;
  std::unique_ptr<ScoreProtocol> protocol_;
};

TEST_F(ListedDepth, PagesGoToTheLastListedRankAndSaySo) {
  const std::string pages = std::to_string(ScoreProtocol::kMaxPages);
  const std::string where = " &middot; the best " + std::to_string(ScoreProtocol::kListedRows) +
                            " of " + std::to_string(kRows) + " scores";

  const Reply first = Page("1");
  ASSERT_EQ(first.status, 200);
  EXPECT_NE(first.body.find("Page 1 of " + pages + where), std::string::npos);
  EXPECT_NE(first.body.find("rel=\"next\""), std::string::npos);

  const Reply last = Page(pages);
  ASSERT_EQ(last.status, 200);
  const std::vector<int64_t> ranks = Ranks(last.body);
  ASSERT_EQ(ranks.size(), 100u);
  EXPECT_EQ(ranks.front(), ScoreProtocol::kListedRows - 99);
  EXPECT_EQ(ranks.back(), ScoreProtocol::kListedRows);
  EXPECT_NE(last.body.find("Page " + pages + " of " + pages + where), std::string::npos);
  EXPECT_EQ(last.body.find("rel=\"next\""), std::string::npos);

  const Reply beyond = Page(std::to_string(ScoreProtocol::kMaxPages + 1));
  EXPECT_EQ(beyond.status, 400);
  EXPECT_EQ(beyond.body, "page must be a whole number from 1 to " + pages + "\n");

  // A country within the depth shows all of its rows and the plain count.
  const int64_t peru = kRows / 2;
  const Reply country = Page("1", "Peru");
  EXPECT_NE(country.body.find("Page 1 of " + std::to_string((peru + 99) / 100) + " &middot; " +
                              std::to_string(peru) + " scores"),
            std::string::npos);
}

static size_t Occurrences(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// All but every 400th row are verified (25 of them, all in Peru): the verified view has its
// own count, and the same depth bound.
TEST_F(ListedDepth, TheVerifiedViewIsCountedAndBoundTheSameWay) {
  const int64_t verified = kRows - kRows / 400;
  const std::string pages = std::to_string(ScoreProtocol::kMaxPages);
  const Reply last = Page(pages, "", "0");
  ASSERT_EQ(last.status, 200);
  EXPECT_NE(last.body.find("Page " + pages + " of " + pages + " &middot; the best " +
                           std::to_string(ScoreProtocol::kListedRows) + " of " +
                           std::to_string(verified) + " verified scores"),
            std::string::npos);
  const std::vector<int64_t> ranks = Ranks(last.body);
  ASSERT_EQ(ranks.size(), 100u);
  EXPECT_EQ(ranks.back(), ScoreProtocol::kListedRows);
  EXPECT_EQ(Occurrences(last.body, "<span class=\"mark\""), 100u);
  EXPECT_EQ(Occurrences(last.body, "<tr class=\"unverified\">"), 0u);
  // Its links keep to the verified rows; the other view is one link away.
  EXPECT_NE(last.body.find("rel=\"prev\" href=\"version.pl?prg=Starmoat&amp;show&amp;type=0&amp;page=99&amp;all=0\""),
            std::string::npos);
  EXPECT_NE(last.body.find(">Show unverified scores too</a>"), std::string::npos);
  EXPECT_EQ(Page(std::to_string(ScoreProtocol::kMaxPages + 1), "", "0").status, 400);

  const int64_t peru = kRows / 2 - kRows / 400;
  EXPECT_NE(Page("1", "Peru", "0").body.find("Page 1 of " + std::to_string((peru + 99) / 100) +
                                             " &middot; " + std::to_string(peru) +
                                             " verified scores"),
            std::string::npos);
  const nlohmann::json json =
      nlohmann::json::parse(protocol_->ScoresJson({{"offset", "9999"}, {"all", "0"}}).body);
  EXPECT_EQ(json["total"], verified);
  EXPECT_EQ(json["listed"], ScoreProtocol::kListedRows);
  EXPECT_EQ(json["rows"], "verified");
  EXPECT_EQ(json["scores"][0]["verified"], true);

  // Every row: the 400th is there, marked unverified, and has no replay.
  const Reply fourth = Page("4");
  EXPECT_EQ(Occurrences(fourth.body, "<tr class=\"unverified\">"), 1u);
  EXPECT_NE(fourth.body.find(">Verified scores only</a>"), std::string::npos);
  const nlohmann::json all = nlohmann::json::parse(Json("399", "1").body);
  EXPECT_EQ(all["scores"][0]["verified"], false);
  EXPECT_FALSE(all["scores"][0].contains("replay"));
}

TEST_F(ListedDepth, TheJsonListsTheSameRanksAndCountsTheWholeTable) {
  const nlohmann::json near_end = nlohmann::json::parse(Json("9950").body);
  EXPECT_EQ(near_end["total"], kRows);
  EXPECT_EQ(near_end["listed"], ScoreProtocol::kListedRows);
  ASSERT_EQ(near_end["scores"].size(), 50u);
  EXPECT_EQ(near_end["scores"][49]["rank"], ScoreProtocol::kListedRows);

  // The JSON's rows are the page's rows.
  const nlohmann::json last = nlohmann::json::parse(Json("9999", "1").body);
  ASSERT_EQ(last["scores"].size(), 1u);
  const std::string name = last["scores"][0]["name"];
  EXPECT_NE(Page(std::to_string(ScoreProtocol::kMaxPages)).body.find(">" + name + "</td>"),
            std::string::npos)
      << name;

  const Reply beyond = Json(std::to_string(ScoreProtocol::kListedRows));
  EXPECT_EQ(beyond.status, 400);
  EXPECT_NE(beyond.body.find("offset must be a whole number from 0 to 9999"), std::string::npos)
      << beyond.body;
}

// A real store whose deep reads wait at a gate until the test opens it, counting how many are
// inside at once.
class GatedStore : public Store {
 public:
  explicit GatedStore(std::unique_ptr<Store> store) : store_(std::move(store)) {}

  void IssueToken(const std::string& token, const std::string& address, int64_t now) override {
    store_->IssueToken(token, address, now);
  }
  SubmitResult Submit(const std::string& token, int64_t now, int64_t max_age,
                      const NewScore& score) override {
    return store_->Submit(token, now, max_age, score);
  }
  std::vector<ScoreRow> Top(const std::string& country, int limit, int offset,
                            Rows rows) override {
    if (offset < ScoreProtocol::kDeepRows) return store_->Top(country, limit, offset, rows);
    std::unique_lock<std::mutex> lock(mutex_);
    ++inside_;
    most_inside_ = std::max(most_inside_, inside_);
    changed_.notify_all();
    changed_.wait(lock, [this] { return open_; });
    --inside_;
    lock.unlock();
    return store_->Top(country, limit, offset, rows);
  }
  int64_t Count(const std::string& country, Rows rows) override {
    return store_->Count(country, rows);
  }
  ReplayClaim ClaimReplay(const std::string& token, const std::string& bytes,
                          ScoreRow* row) override {
    return store_->ClaimReplay(token, bytes, row);
  }
  void FinishReplay(int64_t id, bool verified) override { store_->FinishReplay(id, verified); }
  std::vector<ClaimedReplay> ClaimedReplays() override { return store_->ClaimedReplays(); }
  std::optional<std::string> Replay(int64_t id) override { return store_->Replay(id); }
  std::vector<ScoreRow> List(int limit) override { return store_->List(limit); }
  bool Delete(int64_t id) override { return store_->Delete(id); }

  // Waits until a deep read is at the gate.
  void AwaitOneInside() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return inside_ > 0; });
  }
  void Open() {
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = true;
    changed_.notify_all();
  }
  int most_inside() {
    std::lock_guard<std::mutex> lock(mutex_);
    return most_inside_;
  }

 private:
  std::unique_ptr<Store> store_;
  std::mutex mutex_;
  std::condition_variable changed_;
  int inside_ = 0, most_inside_ = 0;
  bool open_ = false;
};

TEST_F(ListedDepth, DeepReadsTakeTurnsAndShallowOnesPassThem) {
  GatedStore gated(OpenStore(database_));
  ProtocolOptions options;
  options.deep_reads_at_once = 1;
  options.deep_reads_waiting = 8;
  ScoreProtocol protocol(gated, options);

  std::atomic<int> answered{0};
  std::vector<std::thread> deep;
  for (int i = 0; i < 4; ++i) {
    deep.emplace_back([&protocol, &answered, i] {
      const QueryParams deep_json{{"offset", std::to_string(5000 + i)}};
      if (protocol.ScoresJson(deep_json).status == 200) ++answered;
      const QueryParams deep_page{{"page", std::to_string(50 + i)}};
      if (protocol.WorldPage(deep_page).status == 200) ++answered;
    });
  }
  gated.AwaitOneInside();
  // While deep reads wait their turn, the first page and the top of the JSON are answered.
  EXPECT_EQ(protocol.WorldPage({}).status, 200);
  EXPECT_EQ(protocol.ScoresJson({{"offset", "900"}}).status, 200);
  EXPECT_EQ(answered.load(), 0);
  gated.Open();
  for (std::thread& thread : deep) thread.join();
  EXPECT_EQ(answered.load(), 8);
  EXPECT_EQ(gated.most_inside(), 1);
}

TEST_F(ListedDepth, DeepReadsPastTheQueueAreToldTheTableIsBusy) {
  GatedStore gated(OpenStore(database_));
  ProtocolOptions options;
  options.deep_reads_at_once = 1;
  options.deep_reads_waiting = 0;
  ScoreProtocol protocol(gated, options);

  std::thread first([&protocol] {
    EXPECT_EQ(protocol.ScoresJson({{"offset", "5000"}}).status, 200);
  });
  gated.AwaitOneInside();
  for (const Reply& busy : {protocol.ScoresJson({{"offset", "6000"}}),
                            protocol.WorldPage({{"page", "77"}})}) {
    EXPECT_EQ(busy.status, 503);
    EXPECT_EQ(busy.body, "the world table is busy; try again in a moment\n");
  }
  EXPECT_EQ(protocol.ScoresJson({{"offset", "0"}}).status, 200);
  gated.Open();
  first.join();
  // The turn is free again.
  EXPECT_EQ(protocol.ScoresJson({{"offset", "6000"}}).status, 200);
  EXPECT_EQ(protocol.WorldPage({{"page", "77"}}).status, 200);
}

}  // namespace
}  // namespace starmoat::server
