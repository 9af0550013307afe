// The embedded store: one SQLite file in WAL mode. Writes go through one connection, one at a
// time (so the server's threads never wait on SQLite's file lock); reads use a pool of their
// own connections and never wait on a write. Other processes (a second server, the list and
// delete commands) may open the same file: they wait on its lock for up to the busy time-out.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "sqlite_connection.h"
#include "store.h"

namespace starmoat::server {

class SqliteCheckpointer;

class SqliteStore : public Store {
 public:
  // Opens the file as mode says (see OpenMode). Throws StoreError for a file that is missing
  // (where it may not be created), cannot be opened or written, is not SQLite, holds someone
  // else's tables, or whose schema is newer than this program knows.
  SqliteStore(const std::string& path, OpenMode mode);
  ~SqliteStore() override;

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
  // A read connection from the pool, handed back when the lease ends.
  class ReadLease;

  // The one connection that writes; a StoreError for a store opened read-only.
  SqliteConnection& Writer();

  std::string path_;
  OpenMode mode_;
  // How the read connections open the file (see SqliteAccess::ReadOnlyAtRest).
  SqliteAccess read_access_;
  std::mutex write_mutex_;
  std::unique_ptr<SqliteConnection> writer_;
  std::mutex pool_mutex_;
  std::vector<std::unique_ptr<SqliteConnection>> idle_readers_;
  // Last, so that it stops before the connections close.
  std::unique_ptr<SqliteCheckpointer> checkpointer_;
};

}  // namespace starmoat::server
