// The world table's depth: past the listed ranks the page and the JSON say how far they go,
// while the counts stay the whole table's.
#include <sqlite3.h>

#include <nlohmann/json.hpp>
#include <regex>

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
        ") INSERT INTO scores (name, country, score, created_unix, address) "
        "SELECT 'P' || i, CASE WHEN i % 2 = 0 THEN 'Peru' ELSE 'Chile' END, 100000 - i / 2, "
        "1800000000, '::1' FROM n";
    EXPECT_EQ(sqlite3_exec(db, fill.c_str(), nullptr, nullptr, nullptr), SQLITE_OK)
        << sqlite3_errmsg(db);
    sqlite3_close(db);
    protocol_ = std::make_unique<ScoreProtocol>(*store_, ProtocolOptions{});
  }
  void TearDown() override {
    protocol_.reset();
    store_.reset();
    backend_.drop_database(database_);
  }

  Reply Page(const std::string& page, const std::string& country = "") {
    QueryParams params{{"prg", "Starmoat"}, {"show", ""}, {"type", "0"}, {"page", page}};
    if (!country.empty()) params.emplace("country", country);
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

}  // namespace
}  // namespace starmoat::server
