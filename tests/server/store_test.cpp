// What every store must do, whatever database is behind it.
#include <atomic>
#include <thread>
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
