#include "sqlite_store.h"

#include <chrono>
#include <filesystem>
#include <string>

#include "sqlite_checkpointer.h"
#include "sqlite_connection.h"

namespace starmoat::server {

namespace {

// PRAGMA application_id of our files ("SMSC", Starmoat scores): tells our store from any
// other SQLite file, even one that happens to have a table named like ours.
constexpr int64_t kApplicationId = 0x534D5343;

// Migrations in order: entry v brings the schema from version v to v + 1. Only ever append.
const char* const kMigrations[] = {
    // 0 -> 1: tokens and scores.
    "CREATE TABLE tokens ("
    "  token TEXT PRIMARY KEY,"
    "  address TEXT NOT NULL,"
    "  created_unix INTEGER NOT NULL,"
    "  spent_unix INTEGER);"
    "CREATE INDEX tokens_by_age ON tokens (created_unix);"
    "CREATE TABLE scores ("
    "  id INTEGER PRIMARY KEY AUTOINCREMENT,"
    "  name TEXT NOT NULL,"
    "  country TEXT NOT NULL,"
    "  score INTEGER NOT NULL,"
    "  created_unix INTEGER NOT NULL,"
    "  address TEXT NOT NULL);"
    "CREATE INDEX scores_by_rank ON scores (score DESC, created_unix, id);"
    "CREATE INDEX scores_by_country_rank ON scores (country, score DESC, created_unix, id);",
    // 1 -> 2: how many rows the world (world = 1, country '') and each country (world = 0)
    // hold, kept by triggers in the transaction that changes the rows, so a page never counts
    // the table. Triggers rather than the store's own statements, so that rows an operator
    // deletes with the sqlite3 shell are counted too.
    "CREATE TABLE score_counts ("
    "  world INTEGER NOT NULL,"
    "  country TEXT NOT NULL,"
    "  n INTEGER NOT NULL,"
    "  PRIMARY KEY (world, country)) WITHOUT ROWID;"
    "INSERT INTO score_counts SELECT 1, '', count(*) FROM scores;"
    "INSERT INTO score_counts SELECT 0, country, count(*) FROM scores GROUP BY country;"
    "CREATE TRIGGER scores_counted_on_insert AFTER INSERT ON scores BEGIN"
    "  INSERT INTO score_counts VALUES (1, '', 1), (0, NEW.country, 1)"
    "    ON CONFLICT DO UPDATE SET n = n + 1;"
    " END;"
    "CREATE TRIGGER scores_counted_on_delete AFTER DELETE ON scores BEGIN"
    "  UPDATE score_counts SET n = n - 1 WHERE world = 1 AND country = '';"
    "  UPDATE score_counts SET n = n - 1 WHERE world = 0 AND country = OLD.country;"
    "  DELETE FROM score_counts WHERE world = 0 AND country = OLD.country AND n = 0;"
    " END;"
    "CREATE TRIGGER scores_counted_on_move AFTER UPDATE OF country ON scores"
    "  WHEN OLD.country IS NOT NEW.country BEGIN"
    "  UPDATE score_counts SET n = n - 1 WHERE world = 0 AND country = OLD.country;"
    "  DELETE FROM score_counts WHERE world = 0 AND country = OLD.country AND n = 0;"
    "  INSERT INTO score_counts VALUES (0, NEW.country, 1) ON CONFLICT DO UPDATE SET n = n + 1;"
    " END;",
    // 2 -> 3: the ranking indexes hold what a page shows, so a page is read from the index
    // alone: no look-up in the table for each of its rows, which are spread all over it.
    "DROP INDEX scores_by_rank;"
    "DROP INDEX scores_by_country_rank;"
    "CREATE INDEX scores_by_rank ON scores (score DESC, created_unix, id, name, country);"
    "CREATE INDEX scores_by_country_rank ON scores (country, score DESC, created_unix, id, name);",
    // 3 -> 4: replays. A token remembers the row it stored, so the game's replay can follow
    // its result; replay_state says what became of that replay (0 none sent, 1 being checked,
    // 2 verified, 3 refused) and the bytes of a verified one are kept apart from the rows, so
    // the ranking stays as compact. The counts gain a column of verified rows (the triggers
    // are made anew to keep it), and the verified rows get ranking indexes of their own.
    "ALTER TABLE tokens ADD COLUMN score_id INTEGER;"
    "ALTER TABLE scores ADD COLUMN replay_state INTEGER NOT NULL DEFAULT 0;"
    "CREATE TABLE replays ("
    "  score_id INTEGER PRIMARY KEY,"
    "  bytes BLOB NOT NULL);"
    "ALTER TABLE score_counts ADD COLUMN verified INTEGER NOT NULL DEFAULT 0;"
    "DROP TRIGGER scores_counted_on_insert;"
    "DROP TRIGGER scores_counted_on_delete;"
    "DROP TRIGGER scores_counted_on_move;"
    "CREATE TRIGGER scores_counted_on_insert AFTER INSERT ON scores BEGIN"
    "  INSERT INTO score_counts (world, country, n, verified)"
    "    VALUES (1, '', 1, NEW.replay_state = 2), (0, NEW.country, 1, NEW.replay_state = 2)"
    "    ON CONFLICT DO UPDATE SET n = n + 1, verified = verified + excluded.verified;"
    " END;"
    "CREATE TRIGGER scores_counted_on_delete AFTER DELETE ON scores BEGIN"
    "  UPDATE score_counts SET n = n - 1, verified = verified - (OLD.replay_state = 2)"
    "    WHERE world = 1 AND country = '';"
    "  UPDATE score_counts SET n = n - 1, verified = verified - (OLD.replay_state = 2)"
    "    WHERE world = 0 AND country = OLD.country;"
    "  DELETE FROM score_counts WHERE world = 0 AND country = OLD.country AND n = 0;"
    "  DELETE FROM replays WHERE score_id = OLD.id;"
    " END;"
    "CREATE TRIGGER scores_counted_on_move AFTER UPDATE OF country, replay_state ON scores"
    "  WHEN OLD.country IS NOT NEW.country BEGIN"
    "  UPDATE score_counts"
    "    SET verified = verified - (OLD.replay_state = 2) + (NEW.replay_state = 2)"
    "    WHERE world = 1 AND country = '';"
    "  UPDATE score_counts SET n = n - 1, verified = verified - (OLD.replay_state = 2)"
    "    WHERE world = 0 AND country = OLD.country;"
    "  DELETE FROM score_counts WHERE world = 0 AND country = OLD.country AND n = 0;"
    "  INSERT INTO score_counts (world, country, n, verified)"
    "    VALUES (0, NEW.country, 1, NEW.replay_state = 2)"
    "    ON CONFLICT DO UPDATE SET n = n + 1, verified = verified + excluded.verified;"
    " END;"
    "CREATE TRIGGER scores_counted_on_verdict AFTER UPDATE OF replay_state ON scores"
    "  WHEN OLD.country IS NEW.country AND (OLD.replay_state = 2) IS NOT (NEW.replay_state = 2)"
    " BEGIN"
    "  UPDATE score_counts"
    "    SET verified = verified - (OLD.replay_state = 2) + (NEW.replay_state = 2)"
    "    WHERE (world = 1 AND country = '') OR (world = 0 AND country = NEW.country);"
    " END;"
    "DROP INDEX scores_by_rank;"
    "DROP INDEX scores_by_country_rank;"
    "CREATE INDEX scores_by_rank"
    "  ON scores (score DESC, created_unix, id, name, country, replay_state);"
    "CREATE INDEX scores_by_country_rank"
    "  ON scores (country, score DESC, created_unix, id, name, replay_state);"
    "CREATE INDEX scores_verified_by_rank"
    "  ON scores (score DESC, created_unix, id, name, country) WHERE replay_state = 2;"
    "CREATE INDEX scores_verified_by_country_rank"
    "  ON scores (country, score DESC, created_unix, id, name) WHERE replay_state = 2;",
};
constexpr int64_t kSchemaVersion = std::size(kMigrations);

// Tokens older than this are deleted when new ones are issued; they could not be used anyway.
constexpr int64_t kTokenKeepSeconds = 24 * 60 * 60;

// Refuses a schema newer than this program knows; returns the file's version.
int64_t CheckedVersion(SqliteConnection& db) {
  const int64_t version = db.QueryInt("SELECT version FROM schema_version");
  if (version > kSchemaVersion) {
    throw StoreError(db.file() + ": schema version " + std::to_string(version) +
                     " is newer than this starmoat-scores knows (" +
                     std::to_string(kSchemaVersion) + ")");
  }
  return version;
}

// Creates our tables in an empty file (when mode allows), or migrates ours; refuses anything
// else. Runs under the write lock so two processes starting on one new file do not both
// create it. ReadOnly only checks that the file is ours.
void PrepareSchema(SqliteConnection& db, OpenMode mode) {
  // Reading the header is the first access: a file that is not SQLite fails here.
  const int64_t application_id = db.QueryInt("PRAGMA application_id");
  if (application_id != 0 && application_id != kApplicationId) {
    throw StoreError(db.file() + ": not a Starmoat score database (another program's file)");
  }
  // Checked before anything is written, so someone else's file stays untouched.
  auto refuse_foreign_tables = [&db] {
    if (db.QueryInt("PRAGMA application_id") == 0 &&
        db.QueryInt("SELECT count(*) FROM sqlite_schema") != 0) {
      throw StoreError(db.file() + ": not a Starmoat score database (it holds other tables)");
    }
  };
  refuse_foreign_tables();
  if (mode != OpenMode::CreateOrMigrate && application_id == 0) {
    throw StoreError(db.file() + ": not a Starmoat score database (it holds no scores)");
  }
  if (mode == OpenMode::ReadOnly) {
    CheckedVersion(db);
    return;
  }
  // WAL cannot be switched on inside a transaction; it is a property of the file.
  db.Execute("PRAGMA journal_mode=WAL");

  SqliteTransaction transaction(db, true);
  refuse_foreign_tables();  // again under the lock: another process may have got there first
  if (db.QueryInt("PRAGMA application_id") == 0) {
    db.Execute("CREATE TABLE schema_version (version INTEGER NOT NULL);"
               "INSERT INTO schema_version VALUES (0);");
    db.Execute(("PRAGMA application_id=" + std::to_string(kApplicationId)).c_str());
  }
  const int64_t version = CheckedVersion(db);
  for (int64_t step = version; step < kSchemaVersion; ++step) db.Execute(kMigrations[step]);
  if (version != kSchemaVersion) {
    db.Prepared("UPDATE schema_version SET version = ?1").Bind(1, kSchemaVersion).Step();
  }
  transaction.Commit();
}

// Connection settings every connection needs; synchronous=NORMAL keeps every committed
// transaction through a crash of the process (WAL), and only risks the last ones on a power cut.
// The log is checkpointed by the store's SqliteCheckpointer; SQLite's own checkpoint (by
// default every 1000 pages, in the middle of a commit) only steps in when that falls behind.
void Configure(SqliteConnection& db) {
  db.Execute("PRAGMA synchronous=NORMAL");
  db.Execute("PRAGMA wal_autocheckpoint=20000");
}

constexpr std::chrono::milliseconds kCheckpointInterval{500};

constexpr int64_t kReplayNone = 0, kReplayChecking = 1, kReplayVerified = 2,
                  kReplayRefused = 3;

// Rows of SELECT id, name, country, score, created_unix, replay_state.
std::vector<ScoreRow> ReadRows(SqliteStatement& statement) {
  std::vector<ScoreRow> rows;
  while (statement.Step()) {
    rows.push_back({statement.Int(0), statement.Text(1), statement.Text(2), statement.Int(3),
                    statement.Int(4), statement.Int(5) == kReplayVerified});
  }
  statement.Reset();
  return rows;
}

}  // namespace

class SqliteStore::ReadLease {
 public:
  explicit ReadLease(SqliteStore& store) : store_(store) {
    {
      std::lock_guard<std::mutex> lock(store_.pool_mutex_);
      if (!store_.idle_readers_.empty()) {
        connection_ = std::move(store_.idle_readers_.back());
        store_.idle_readers_.pop_back();
      }
    }
    if (!connection_) {
      connection_ = std::make_unique<SqliteConnection>(store_.path_, store_.read_access_);
      Configure(*connection_);
    }
  }
  ~ReadLease() {
    std::lock_guard<std::mutex> lock(store_.pool_mutex_);
    store_.idle_readers_.push_back(std::move(connection_));
  }
  SqliteConnection& operator*() { return *connection_; }

 private:
  SqliteStore& store_;
  std::unique_ptr<SqliteConnection> connection_;
};

SqliteStore::SqliteStore(const std::string& path, OpenMode mode)
    : path_(path),
      mode_(mode),
      read_access_(mode == OpenMode::ReadOnly ? SqliteAccess::ReadOnly : SqliteAccess::ReadWrite) {
  if (mode_ == OpenMode::ReadOnly) {
    // No writer and no checkpoints: the first reader checks the file and stays in the pool.
    try {
      ReadLease first(*this);
      PrepareSchema(*first, mode_);
    } catch (const StoreError&) {
      // A folder the reader may not write, and no process has the file open: read it at rest.
      std::error_code error;
      if (std::filesystem::exists(path_ + "-wal", error) ||
          std::filesystem::exists(path_ + "-shm", error)) {
        throw;
      }
      idle_readers_.clear();
      read_access_ = SqliteAccess::ReadOnlyAtRest;
      ReadLease first(*this);
      PrepareSchema(*first, mode_);
    }
    return;
  }
  writer_ = std::make_unique<SqliteConnection>(
      path_, mode_ == OpenMode::CreateOrMigrate ? SqliteAccess::Create : SqliteAccess::ReadWrite);
  PrepareSchema(*writer_, mode_);
  Configure(*writer_);
  checkpointer_ = std::make_unique<SqliteCheckpointer>(path_, kCheckpointInterval);
}

SqliteStore::~SqliteStore() = default;

SqliteConnection& SqliteStore::Writer() {
  if (!writer_) throw StoreError(path_ + ": opened read-only");
  return *writer_;
}

void SqliteStore::IssueToken(const std::string& token, const std::string& address,
                             int64_t now_unix) {
  std::lock_guard<std::mutex> lock(write_mutex_);
  SqliteConnection& db = Writer();
  SqliteTransaction transaction(db, true);
  db.Prepared("DELETE FROM tokens WHERE created_unix < ?1")
      .Bind(1, now_unix - kTokenKeepSeconds)
      .Step();
  db.Prepared("INSERT INTO tokens (token, address, created_unix) VALUES (?1, ?2, ?3)")
      .Bind(1, token)
      .Bind(2, address)
      .Bind(3, now_unix)
      .Step();
  transaction.Commit();
}

SubmitResult SqliteStore::Submit(const std::string& token, int64_t now_unix, int64_t max_age_s,
                                 const NewScore& score) {
  std::lock_guard<std::mutex> lock(write_mutex_);
  SqliteConnection& db = Writer();
  SqliteTransaction transaction(db, true);
  SqliteStatement& find =
      db.Prepared("SELECT created_unix, spent_unix IS NOT NULL FROM tokens WHERE token = ?1");
  find.Bind(1, token);
  if (!find.Step()) return SubmitResult::UnknownToken;
  const int64_t created = find.Int(0);
  const bool spent = find.Int(1) != 0;
  find.Reset();
  if (spent) return SubmitResult::SpentToken;
  if (now_unix - created >= max_age_s) return SubmitResult::ExpiredToken;

  db.Prepared("INSERT INTO scores (name, country, score, created_unix, address) "
              "VALUES (?1, ?2, ?3, ?4, ?5)")
      .Bind(1, score.name)
      .Bind(2, score.country)
      .Bind(3, score.score)
      .Bind(4, now_unix)
      .Bind(5, score.address)
      .Step();
  // The token remembers its row, for the replay that follows the result.
  db.Prepared("UPDATE tokens SET spent_unix = ?2, score_id = last_insert_rowid() WHERE token = ?1")
      .Bind(1, token)
      .Bind(2, now_unix)
      .Step();
  transaction.Commit();
  return SubmitResult::Stored;
}

std::vector<ScoreRow> SqliteStore::Top(const std::string& country, int limit, int offset,
                                        Rows rows) {
  ReadLease db(*this);
  // Each query names its rows exactly as its ranking index does, so the index is read alone.
  static constexpr const char* kQueries[2][2] = {
      {"SELECT id, name, country, score, created_unix, replay_state FROM scores "
       "ORDER BY score DESC, created_unix, id LIMIT ?1 OFFSET ?2",
       "SELECT id, name, country, score, created_unix, replay_state FROM scores "
       "WHERE country = ?3 ORDER BY score DESC, created_unix, id LIMIT ?1 OFFSET ?2"},
      {"SELECT id, name, country, score, created_unix, 2 FROM scores WHERE replay_state = 2 "
       "ORDER BY score DESC, created_unix, id LIMIT ?1 OFFSET ?2",
       "SELECT id, name, country, score, created_unix, 2 FROM scores "
       "WHERE country = ?3 AND replay_state = 2 "
       "ORDER BY score DESC, created_unix, id LIMIT ?1 OFFSET ?2"}};
  SqliteStatement& statement =
      (*db).Prepared(kQueries[rows == Rows::Verified ? 1 : 0][country.empty() ? 0 : 1]);
  statement.Bind(1, limit).Bind(2, offset);
  if (!country.empty()) statement.Bind(3, country);
  return ReadRows(statement);
}

int64_t SqliteStore::Count(const std::string& country, Rows rows) {
  ReadLease db(*this);
  SqliteStatement& count =
      (*db).Prepared(rows == Rows::Verified
                         ? "SELECT verified FROM score_counts WHERE world = ?1 AND country = ?2"
                         : "SELECT n FROM score_counts WHERE world = ?1 AND country = ?2")
          .Bind(1, int64_t{country.empty() ? 1 : 0})
          .Bind(2, country);
  const int64_t found = count.Step() ? count.Int(0) : 0;
  count.Reset();
  return found;
}

ReplayClaim SqliteStore::ClaimReplay(const std::string& token, const std::string& bytes,
                                     ScoreRow* row) {
  std::lock_guard<std::mutex> lock(write_mutex_);
  SqliteConnection& db = Writer();
  SqliteTransaction transaction(db, true);
  SqliteStatement& find =
      db.Prepared("SELECT s.id, s.name, s.country, s.score, s.created_unix, s.replay_state "
                  "FROM tokens t JOIN scores s ON s.id = t.score_id WHERE t.token = ?1");
  find.Bind(1, token);
  std::vector<ScoreRow> found = ReadRows(find);
  if (found.empty()) return ReplayClaim::UnknownToken;
  SqliteStatement& state =
      db.Prepared("SELECT replay_state FROM scores WHERE id = ?1").Bind(1, found[0].id);
  const int64_t current = state.Step() ? state.Int(0) : kReplayNone;
  state.Reset();
  if (current != kReplayNone) return ReplayClaim::Taken;
  db.Prepared("UPDATE scores SET replay_state = ?2 WHERE id = ?1")
      .Bind(1, found[0].id)
      .Bind(2, kReplayChecking)
      .Step();
  db.Prepared("INSERT OR REPLACE INTO replays (score_id, bytes) VALUES (?1, ?2)")
      .Bind(1, found[0].id)
      .BindBlob(2, bytes)
      .Step();
  transaction.Commit();
  if (row != nullptr) *row = found[0];
  return ReplayClaim::Claimed;
}

void SqliteStore::FinishReplay(int64_t id, bool verified) {
  std::lock_guard<std::mutex> lock(write_mutex_);
  SqliteConnection& db = Writer();
  SqliteTransaction transaction(db, true);
  db.Prepared("UPDATE scores SET replay_state = ?2 WHERE id = ?1 AND replay_state = ?3")
      .Bind(1, id)
      .Bind(2, verified ? kReplayVerified : kReplayRefused)
      .Bind(3, kReplayChecking)
      .Step();
  if (!verified && db.Changes() > 0) {
    db.Prepared("DELETE FROM replays WHERE score_id = ?1").Bind(1, id).Step();
  }
  transaction.Commit();
}

std::vector<ClaimedReplay> SqliteStore::ClaimedReplays() {
  ReadLease db(*this);
  // Through the replays, which hold only the rows verified or waiting, not through every row.
  SqliteStatement& find =
      (*db).Prepared("SELECT s.id, s.name, s.country, s.score, s.created_unix, r.bytes "
                     "FROM replays r JOIN scores s ON s.id = r.score_id "
                     "WHERE s.replay_state = ?1 ORDER BY s.id")
          .Bind(1, kReplayChecking);
  std::vector<ClaimedReplay> claimed;
  while (find.Step()) {
    claimed.push_back(
        {{find.Int(0), find.Text(1), find.Text(2), find.Int(3), find.Int(4), false}, find.Blob(5)});
  }
  find.Reset();
  return claimed;
}

std::optional<std::string> SqliteStore::Replay(int64_t id) {
  ReadLease db(*this);
  SqliteStatement& find =
      (*db).Prepared("SELECT r.bytes FROM replays r JOIN scores s ON s.id = r.score_id "
                     "WHERE r.score_id = ?1 AND s.replay_state = 2")
          .Bind(1, id);
  std::optional<std::string> bytes;
  if (find.Step()) bytes = find.Blob(0);
  find.Reset();
  return bytes;
}

std::vector<ScoreRow> SqliteStore::List(int limit) {
  ReadLease db(*this);
  return ReadRows((*db).Prepared("SELECT id, name, country, score, created_unix, 0 FROM scores "
                                 "ORDER BY id DESC LIMIT ?1")
                      .Bind(1, limit));
}

bool SqliteStore::Delete(int64_t id) {
  std::lock_guard<std::mutex> lock(write_mutex_);
  SqliteConnection& db = Writer();
  db.Prepared("DELETE FROM scores WHERE id = ?1").Bind(1, id).Step();
  return db.Changes() > 0;
}

}  // namespace starmoat::server
