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
  // Connects to the "postgresql://" URL and brings the schema of the URL's database (its
  // current schema, normally "public") up to date. Throws StoreError when the database cannot
  // be reached, holds tables named like ours that are not ours, or has a newer schema than
  // this program knows.
  explicit PostgresStore(const std::string& url);
  ~PostgresStore() override;

  void IssueToken(const std::string& token, const std::string& address,
                  int64_t now_unix) override;
  SubmitResult Submit(const std::string& token, int64_t now_unix, int64_t max_age_s,
                      const NewScore& score) override;
  std::vector<ScoreRow> Top(const std::string& country, int limit, int offset) override;
  int64_t Count(const std::string& country) override;
  std::vector<ScoreRow> List(int limit) override;
  bool Delete(int64_t id) override;

 private:
  // A pooled connection, handed back when the lease ends unless it failed.
  class Lease;

  std::unique_ptr<PgConnection> Connect();

  std::string url_;
  std::mutex pool_mutex_;
  std::vector<std::unique_ptr<PgConnection>> idle_;
};

}  // namespace starmoat::server
