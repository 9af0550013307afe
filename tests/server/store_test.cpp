// What every store must do, whatever database is behind it.
#include <algorithm>
#include <atomic>
#include <thread>
#include <tuple>
#include <vector>

#include "server/store_suite.h"

namespace starmoat::server {
namespace {

constexpr int64_t kNow = 1'800'000'000;
constexpr int64_t kMaxAge = 15 * 60;

NewScore Score(const std::string& name, int64_t score, const std::string& country = "Peru") {
  return {name, country, score, "127.0.0.1"};
}

// Issues a token at issued_at and submits with it at kNow.
SubmitResult IssueAndSubmit(Store& store, const std::string& token, const NewScore& score,
                            int64_t issued_at = kNow) {
  store.IssueToken(token, "127.0.0.1", issued_at);
  return store.Submit(token, kNow, kMaxAge, score);
}

std::vector<std::string> Names(const std::vector<ScoreRow>& rows) {
  std::vector<std::string> names;
  for (const ScoreRow& row : rows) names.push_back(row.name);
  return names;
}

TEST_P(StoreTest, AnIssuedTokenStoresOneScoreAndIsThenSpent) {
  store_->IssueToken("tok1", "10.0.0.7", kNow - 60);
  EXPECT_EQ(store_->Submit("tok1", kNow, kMaxAge, Score("Ace", 4200, "New Zealand")),
            SubmitResult::Stored);
  EXPECT_EQ(store_->Submit("tok1", kNow + 1, kMaxAge, Score("Ace", 9999)),
            SubmitResult::SpentToken);

  const std::vector<ScoreRow> rows = store_->Top("", 100, 0);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_GT(rows[0].id, 0);
  EXPECT_EQ(rows[0].name, "Ace");
  EXPECT_EQ(rows[0].country, "New Zealand");
  EXPECT_EQ(rows[0].score, 4200);
  EXPECT_EQ(rows[0].created_unix, kNow);
  EXPECT_EQ(store_->Count(""), 1);
}

TEST_P(StoreTest, UnknownAndOldTokensStoreNothing) {
  struct Case {
    const char* token;
    int64_t issued_at;  // 0: never issued
    SubmitResult result;
  };
  const Case cases[] = {
      {"never-issued", 0, SubmitResult::UnknownToken},
      {"", 0, SubmitResult::UnknownToken},
      {"just-in-time", kNow - kMaxAge + 1, SubmitResult::Stored},
      {"exactly-max-age", kNow - kMaxAge, SubmitResult::ExpiredToken},
      {"an-hour-old", kNow - 3600, SubmitResult::ExpiredToken},
  };
  int64_t stored = 0;
  for (const Case& c : cases) {
    if (c.issued_at != 0) store_->IssueToken(c.token, "127.0.0.1", c.issued_at);
    EXPECT_EQ(store_->Submit(c.token, kNow, kMaxAge, Score("Ace", 1)), c.result) << c.token;
    if (c.result == SubmitResult::Stored) ++stored;
    EXPECT_EQ(store_->Count(""), stored) << c.token;
  }
}

TEST_P(StoreTest, TokensAreCaseSensitiveAndTakenWhole) {
  store_->IssueToken("AbC123", "127.0.0.1", kNow);
  EXPECT_EQ(store_->Submit("abc123", kNow, kMaxAge, Score("Ace", 1)), SubmitResult::UnknownToken);
  EXPECT_EQ(store_->Submit("AbC12", kNow, kMaxAge, Score("Ace", 1)), SubmitResult::UnknownToken);
  EXPECT_EQ(store_->Submit("AbC123%", kNow, kMaxAge, Score("Ace", 1)),
            SubmitResult::UnknownToken);
  EXPECT_EQ(store_->Submit("AbC123", kNow, kMaxAge, Score("Ace", 1)), SubmitResult::Stored);
}

TEST_P(StoreTest, TheTableIsOrderedByScoreThenAgeThenId) {
  // Issued and submitted at rising times so created_unix differs.
  struct Entry {
    const char* name;
    int64_t score;
    int64_t at;
  };
  const Entry entries[] = {{"Late", 500, kNow + 30}, {"Early", 500, kNow + 10},
                           {"Low", 5, kNow},         {"High", 9000, kNow + 40},
                           {"Zero", 0, kNow},        {"Twin", 500, kNow + 10}};
  int n = 0;
  for (const Entry& e : entries) {
    const std::string token = "t" + std::to_string(n++);
    store_->IssueToken(token, "127.0.0.1", e.at);
    ASSERT_EQ(store_->Submit(token, e.at, kMaxAge, Score(e.name, e.score)),
              SubmitResult::Stored);
  }
  EXPECT_EQ(Names(store_->Top("", 100, 0)),
            (std::vector<std::string>{"High", "Early", "Twin", "Late", "Low", "Zero"}));
  EXPECT_EQ(Names(store_->Top("", 2, 0)), (std::vector<std::string>{"High", "Early"}));
  EXPECT_EQ(Names(store_->Top("", 2, 2)), (std::vector<std::string>{"Twin", "Late"}));
  EXPECT_EQ(Names(store_->Top("", 10, 5)), (std::vector<std::string>{"Zero"}));
  EXPECT_TRUE(store_->Top("", 10, 6).empty());
  EXPECT_EQ(store_->Count(""), 6);
}

TEST_P(StoreTest, ACountryFilterKeepsExactlyThatCountry) {
  ASSERT_EQ(IssueAndSubmit(*store_, "a", Score("Ana", 30, "Peru")), SubmitResult::Stored);
  ASSERT_EQ(IssueAndSubmit(*store_, "b", Score("Ben", 20, "Chile")), SubmitResult::Stored);
  ASSERT_EQ(IssueAndSubmit(*store_, "c", Score("Cy", 10, "Peru")), SubmitResult::Stored);
  ASSERT_EQ(IssueAndSubmit(*store_, "d", Score("Di", 40, "peru")), SubmitResult::Stored);
  ASSERT_EQ(IssueAndSubmit(*store_, "e", Score("Ed", 50, "")), SubmitResult::Stored);

  EXPECT_EQ(Names(store_->Top("Peru", 100, 0)), (std::vector<std::string>{"Ana", "Cy"}));
  EXPECT_EQ(Names(store_->Top("Peru", 1, 1)), (std::vector<std::string>{"Cy"}));
  EXPECT_EQ(store_->Count("Peru"), 2);
  EXPECT_EQ(store_->Count("Chile"), 1);
  EXPECT_EQ(store_->Count("Atlantis"), 0);
  EXPECT_TRUE(store_->Top("Atlantis", 100, 0).empty());
  EXPECT_EQ(store_->Count(""), 5);
}

TEST_P(StoreTest, TextComesBackByteForByte) {
  const std::string texts[] = {"<script>alert(1)</script>", "O'Brien\"; DROP TABLE scores;--",
                               "Espa\xC3\xB1" "a", "a|b|z=0", std::string("nul\0byte", 8)};
  int n = 0;
  for (const std::string& text : texts) {
    ASSERT_EQ(IssueAndSubmit(*store_, "t" + std::to_string(n), Score(text, 100 - n, text)),
              SubmitResult::Stored);
    ++n;
  }
  const std::vector<ScoreRow> rows = store_->Top("", 100, 0);
  ASSERT_EQ(rows.size(), std::size(texts));
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].name, texts[i]);
    EXPECT_EQ(rows[i].country, texts[i]);
  }
  EXPECT_EQ(store_->Count(texts[1]), 1);
}

TEST_P(StoreTest, ListShowsTheNewestFirstAndDeleteRemovesOneRow) {
  for (int i = 0; i < 4; ++i) {
    ASSERT_EQ(IssueAndSubmit(*store_, "t" + std::to_string(i), Score("P" + std::to_string(i), i)),
              SubmitResult::Stored);
  }
  const std::vector<ScoreRow> newest = store_->List(3);
  EXPECT_EQ(Names(newest), (std::vector<std::string>{"P3", "P2", "P1"}));

  EXPECT_TRUE(store_->Delete(newest[1].id));
  EXPECT_FALSE(store_->Delete(newest[1].id));
  EXPECT_FALSE(store_->Delete(987654321));
  EXPECT_EQ(Names(store_->Top("", 100, 0)), (std::vector<std::string>{"P3", "P1", "P0"}));
  EXPECT_EQ(store_->Count(""), 3);
  // Ids are not handed out again after a delete.
  ASSERT_EQ(IssueAndSubmit(*store_, "t9", Score("P9", 1)), SubmitResult::Stored);
  EXPECT_GT(store_->List(1)[0].id, newest[0].id);
}

TEST_P(StoreTest, ASecondStoreOnTheSameDatabaseSharesTokensAndScores) {
  // Two server processes behind one load balancer: the token from one, the result to the other.
  store_->IssueToken("shared", "10.1.1.1", kNow);
  std::unique_ptr<Store> other = OpenStore(database_);
  EXPECT_EQ(other->Submit("shared", kNow, kMaxAge, Score("Ace", 77)), SubmitResult::Stored);
  EXPECT_EQ(store_->Submit("shared", kNow, kMaxAge, Score("Ace", 77)), SubmitResult::SpentToken);
  EXPECT_EQ(Names(store_->Top("", 10, 0)), (std::vector<std::string>{"Ace"}));

  // And everything is still there after both are closed and the database is opened anew.
  other.reset();
  store_.reset();
  store_ = OpenStore(database_);
  EXPECT_EQ(store_->Count(""), 1);
  EXPECT_EQ(store_->Submit("shared", kNow, kMaxAge, Score("Ace", 77)), SubmitResult::SpentToken);
}

TEST_P(StoreTest, RacingSubmissionsWithOneTokenStoreItOnce) {
  constexpr int kTokens = 40;
  for (int i = 0; i < kTokens; ++i) store_->IssueToken("r" + std::to_string(i), "::1", kNow);
  std::unique_ptr<Store> other = OpenStore(database_);

  std::atomic<int> stored{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    Store& store = t % 2 == 0 ? *store_ : *other;
    threads.emplace_back([&store, &stored] {
      for (int i = 0; i < kTokens; ++i) {
        if (store.Submit("r" + std::to_string(i), kNow, kMaxAge, Score("Ace", i)) ==
            SubmitResult::Stored) {
          ++stored;
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(stored.load(), kTokens);
  EXPECT_EQ(store_->Count(""), kTokens);
}

// The table as a test sees it: every stored row, sorted as the world table must be.
class TableModel {
 public:
  void Add(const ScoreRow& row) { rows_.push_back(row); }
  void Remove(int64_t id) {
    rows_.erase(std::remove_if(rows_.begin(), rows_.end(),
                               [id](const ScoreRow& row) { return row.id == id; }),
                rows_.end());
  }
  std::vector<int64_t> Ids(const std::string& country, int limit, int offset) const {
    std::vector<ScoreRow> rows;
    for (const ScoreRow& row : rows_) {
      if (country.empty() || row.country == country) rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end(), [](const ScoreRow& a, const ScoreRow& b) {
      return std::make_tuple(-a.score, a.created_unix, a.id) <
             std::make_tuple(-b.score, b.created_unix, b.id);
    });
    std::vector<int64_t> ids;
    for (size_t i = static_cast<size_t>(offset); i < rows.size() && ids.size() < size_t(limit); ++i) {
      ids.push_back(rows[i].id);
    }
    return ids;
  }
  int64_t Count(const std::string& country) const {
    return static_cast<int64_t>(Ids(country, 1 << 30, 0).size());
  }

 private:
  std::vector<ScoreRow> rows_;
};

std::vector<int64_t> Ids(const std::vector<ScoreRow>& rows) {
  std::vector<int64_t> ids;
  for (const ScoreRow& row : rows) ids.push_back(row.id);
  return ids;
}

// Every page of every filter, compared with the model: first, middle and last pages, the
// page just past the end, and the counts.
void ExpectTheTableIs(Store& store, const TableModel& model, const std::string& when) {
  for (const std::string country : {"", "Peru", "Chile", "Atlantis"}) {
    EXPECT_EQ(store.Count(country), model.Count(country)) << when << " " << country;
    const int rows = static_cast<int>(model.Count(country));
    for (const int limit : {1, 7, 100}) {
      for (int offset = 0; offset <= rows + limit; offset += limit) {
        EXPECT_EQ(Ids(store.Top(country, limit, offset)), model.Ids(country, limit, offset))
            << when << ": country \"" << country << "\", limit " << limit << ", offset "
            << offset;
      }
    }
  }
}

TEST_P(StoreTest, PagesAndCountsFollowTheRowsThroughTiesAndDeletes) {
  EXPECT_EQ(store_->Count(""), 0);
  EXPECT_EQ(store_->Count("Peru"), 0);
  EXPECT_TRUE(store_->Top("", 100, 0).empty());
  EXPECT_TRUE(store_->Top("Peru", 100, 0).empty());

  // 60 rows with many ties: 5 scores, 3 submission times, 4 countries ("" is a country too).
  const char* const countries[] = {"Peru", "Chile", "", "Peru"};
  TableModel model;
  for (int i = 0; i < 60; ++i) {
    const int64_t at = kNow + (i * 7) % 3;
    const std::string token = "tie" + std::to_string(i);
    store_->IssueToken(token, "127.0.0.1", at);
    const NewScore score = Score("P" + std::to_string(i), (i * 13) % 5 * 100, countries[i % 4]);
    ASSERT_EQ(store_->Submit(token, at, kMaxAge, score), SubmitResult::Stored);
    ScoreRow row = store_->List(1)[0];
    ASSERT_EQ(row.name, score.name);
    model.Add(row);
  }
  ExpectTheTableIs(*store_, model, "after 60 submissions");

  // Rows of every rank and country go: the first, one in the middle of a tie, the last.
  std::vector<int64_t> gone = model.Ids("", 1, 0);
  gone.push_back(model.Ids("", 1, 31)[0]);
  gone.push_back(model.Ids("", 1, 59)[0]);
  gone.push_back(model.Ids("Chile", 1, 3)[0]);
  for (const int64_t id : gone) {
    ASSERT_TRUE(store_->Delete(id));
    model.Remove(id);
  }
  ExpectTheTableIs(*store_, model, "after 4 deletes");

  // Every row of one country: its count drops to 0, the others keep theirs.
  for (const int64_t id : model.Ids("Chile", 100, 0)) {
    ASSERT_TRUE(store_->Delete(id));
    model.Remove(id);
  }
  ExpectTheTableIs(*store_, model, "after Chile's rows went");
  ASSERT_EQ(IssueAndSubmit(*store_, "back", Score("Back", 250, "Chile")), SubmitResult::Stored);
  model.Add(store_->List(1)[0]);
  ExpectTheTableIs(*store_, model, "after Chile came back");
}

// A replay belongs to the row its token stored, and to no other: one per row, whatever its
// verdict. Only a verified row is listed, counted and downloadable as verified.
TEST_P(StoreTest, AReplayIsClaimedOnceForItsRowAndOnlyAVerifiedOneCounts) {
  ASSERT_EQ(IssueAndSubmit(*store_, "good", Score("Ace", 300, "Peru")), SubmitResult::Stored);
  ASSERT_EQ(IssueAndSubmit(*store_, "bad", Score("Bo", 200, "Chile")), SubmitResult::Stored);
  ASSERT_EQ(IssueAndSubmit(*store_, "none", Score("Cy", 100, "Peru")), SubmitResult::Stored);
  store_->IssueToken("unspent", "127.0.0.1", kNow);

  const std::string bytes("SMRP\0\x01\xff replay", 14);
  ScoreRow row;
  EXPECT_EQ(store_->ClaimReplay("nosuch", bytes, &row), ReplayClaim::UnknownToken);
  EXPECT_EQ(store_->ClaimReplay("unspent", bytes, &row), ReplayClaim::UnknownToken);
  ASSERT_EQ(store_->ClaimReplay("good", bytes, &row), ReplayClaim::Claimed);
  EXPECT_EQ(row.name, "Ace");
  EXPECT_EQ(row.score, 300);
  const int64_t good = row.id;
  EXPECT_EQ(store_->ClaimReplay("good", "another", &row), ReplayClaim::Taken);
  ASSERT_EQ(store_->ClaimReplay("bad", "edited", &row), ReplayClaim::Claimed);
  const int64_t bad = row.id;
  // Being checked is not verified.
  EXPECT_EQ(store_->Count("", Rows::Verified), 0);
  EXPECT_FALSE(store_->Replay(good));

  store_->FinishReplay(good, true);
  store_->FinishReplay(bad, false);
  EXPECT_EQ(store_->ClaimReplay("bad", "again", &row), ReplayClaim::Taken);
  // A verdict for a row that is not waiting for one changes nothing.
  store_->FinishReplay(bad, true);
  store_->FinishReplay(store_->Top("Peru", 1, 1)[0].id, true);
  EXPECT_TRUE(store_->ClaimedReplays().empty());

  EXPECT_EQ(store_->Replay(good), bytes);
  EXPECT_FALSE(store_->Replay(bad));
  const std::vector<ScoreRow> verified = store_->Top("", 10, 0, Rows::Verified);
  EXPECT_EQ(Names(verified), std::vector<std::string>{"Ace"});
  EXPECT_TRUE(verified[0].verified);
  EXPECT_EQ(Names(store_->Top("Peru", 10, 0, Rows::Verified)), std::vector<std::string>{"Ace"});
  EXPECT_TRUE(store_->Top("Chile", 10, 0, Rows::Verified).empty());
  const std::vector<ScoreRow> all = store_->Top("", 10, 0);
  ASSERT_EQ(Names(all), (std::vector<std::string>{"Ace", "Bo", "Cy"}));
  EXPECT_EQ((std::vector<bool>{all[0].verified, all[1].verified, all[2].verified}),
            (std::vector<bool>{true, false, false}));
  EXPECT_EQ(store_->Count("", Rows::Verified), 1);
  EXPECT_EQ(store_->Count("Peru", Rows::Verified), 1);
  EXPECT_EQ(store_->Count("Chile", Rows::Verified), 0);
  EXPECT_EQ(store_->Count(""), 3);

  // A deleted row takes its replay and its count along; its token finds no row any more.
  EXPECT_TRUE(store_->Delete(good));
  EXPECT_FALSE(store_->Replay(good));
  EXPECT_EQ(store_->Count("", Rows::Verified), 0);
  EXPECT_EQ(store_->Count("Peru", Rows::Verified), 0);
  EXPECT_EQ(store_->ClaimReplay("good", bytes, &row), ReplayClaim::UnknownToken);
}

// A replay waiting for its verdict is kept with its row: a server stopped in the middle of
// checking it finds it again when it reopens the store, and checks it then.
TEST_P(StoreTest, ClaimedReplaysOutliveTheStoreUntilTheirVerdict) {
  ASSERT_EQ(IssueAndSubmit(*store_, "first", Score("Ace", 300, "Peru")), SubmitResult::Stored);
  ASSERT_EQ(IssueAndSubmit(*store_, "second", Score("Bo", 200, "Chile")), SubmitResult::Stored);
  ASSERT_EQ(IssueAndSubmit(*store_, "unsent", Score("Cy", 100)), SubmitResult::Stored);
  const std::string first_bytes("SMRP\0first", 10), second_bytes(70000, '\xa5');
  ScoreRow first, second;
  ASSERT_EQ(store_->ClaimReplay("first", first_bytes, &first), ReplayClaim::Claimed);
  ASSERT_EQ(store_->ClaimReplay("second", second_bytes, &second), ReplayClaim::Claimed);

  store_ = OpenStore(database_);
  std::vector<ClaimedReplay> left = store_->ClaimedReplays();
  ASSERT_EQ(left.size(), 2u);
  EXPECT_EQ(left[0].row.id, first.id);
  EXPECT_EQ(left[0].row.name, "Ace");
  EXPECT_EQ(left[0].row.score, 300);
  EXPECT_EQ(left[0].bytes, first_bytes);
  EXPECT_EQ(left[1].row.id, second.id);
  EXPECT_EQ(left[1].row.country, "Chile");
  EXPECT_EQ(left[1].bytes, second_bytes);
  // Waiting is still not verified, and a second replay for the row is still refused.
  EXPECT_FALSE(store_->Replay(first.id));
  EXPECT_EQ(store_->ClaimReplay("first", "another", &first), ReplayClaim::Taken);

  // Once judged, a replay is no longer left over; a verified one stays downloadable.
  store_->FinishReplay(first.id, true);
  left = store_->ClaimedReplays();
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].row.id, second.id);
  store_->FinishReplay(second.id, false);
  EXPECT_TRUE(store_->ClaimedReplays().empty());
  EXPECT_EQ(store_->Replay(first.id), first_bytes);
  EXPECT_FALSE(store_->Replay(second.id));
}

TEST_P(StoreTest, RacingReplaysForOneRowClaimItOnce) {
  ASSERT_EQ(IssueAndSubmit(*store_, "tok", Score("Ace", 300)), SubmitResult::Stored);
  std::atomic<int> claimed{0};
  std::vector<std::thread> racers;
  for (int i = 0; i < 8; ++i) {
    racers.emplace_back([&] {
      std::unique_ptr<Store> store = OpenStore(database_);
      ScoreRow row;
      if (store->ClaimReplay("tok", "replay", &row) == ReplayClaim::Claimed) ++claimed;
    });
  }
  for (std::thread& racer : racers) racer.join();
  EXPECT_EQ(claimed, 1);
}

TEST_P(StoreTest, TokensOlderThanADayAreForgottenWhenNewOnesAreIssued) {
  store_->IssueToken("ancient", "127.0.0.1", kNow - 2 * 24 * 3600);
  store_->IssueToken("fresh", "127.0.0.1", kNow);
  EXPECT_EQ(store_->Submit("ancient", kNow, 10 * 24 * 3600, Score("Ace", 1)),
            SubmitResult::UnknownToken);
  EXPECT_EQ(store_->Submit("fresh", kNow, kMaxAge, Score("Ace", 1)), SubmitResult::Stored);
}

INSTANTIATE_TEST_SUITE_P(Sqlite, StoreTest, ::testing::Values(SqliteBackend()), BackendName);

}  // namespace
}  // namespace starmoat::server
