// The store for more than one machine: a PostgreSQL database that several starmoat-scores
// processes share. Tokens live in the database too, so any process accepts a token another one
// issued. Each thread borrows a connection of its own from a pool; a connection that failed
// is dropped and the next call opens a fresh one (a restarted database costs one error per
// pooled connection, not a restart of the server).
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "store.h"

namespace starmoat::server {

class PgConnection;

class PostgresStore : public Store {
 public:
  // Connects to the "postgresql://" URL and, as mode says (see OpenMode), creates or brings
  // up to date the schema of the URL's database (its current schema, normally "public").
  // Throws StoreError when the database cannot be reached, holds tables named like ours that
  // are not ours, holds none of ours where mode wants them, or has a newer schema than this
  // program knows.
  PostgresStore(const std::string& url, OpenMode mode);
  ~PostgresStore() override;

  void IssueToken(const std::string& token, const std::string& address,
                  int64_t now_unix) override;
  SubmitResult Submit(const std::string& token, int64_t now_unix, int64_t max_age_s,
                      const NewScore& score) override;
  std::vector<ScoreRow> Top(const std::string& country, int limit, int offset,
                            Rows rows = Rows::All) override;
  int64_t Count(const std::string& country, Rows rows = Rows::All) override;
  ReplayClaim ClaimReplay(const std::string& token, const std::string& bytes,
                          ScoreRow* row) override;
  void FinishReplay(int64_t id, bool verified) override;
  std::vector<ClaimedReplay> ClaimedReplays() override;
  std::optional<std::string> Replay(int64_t id) override;
  std::vector<ScoreRow> List(int limit) override;
  bool Delete(int64_t id) override;

 private:
  // A pooled connection, handed back when the lease ends unless it failed.
  class Lease;

  std::unique_ptr<PgConnection> Connect();
  // A new connection made ready for the store's statements.
  std::unique_ptr<PgConnection> Prepared(std::unique_ptr<PgConnection> connection);

  std::string url_;
  OpenMode mode_;
  std::mutex pool_mutex_;
  std::vector<std::unique_ptr<PgConnection>> idle_;
};

}  // namespace starmoat::server
