#include "postgres_store.h"

#include <iterator>
#include <string>

#include "pg_connection.h"

namespace starmoat::server {

namespace {

// Serialises schema changes of processes starting at once on one database ("SMSC").
constexpr int64_t kSchemaLockKey = 0x534D5343;

// Migrations in order: entry v brings the schema from version v to v + 1. Only ever append.
// Player text (token, name, country) is bytea: it is kept byte for byte, whatever the
// database's encoding, as the SQLite store keeps it.
const char* const kMigrations[] = {
    // 0 -> 1: tokens and scores.
    "CREATE TABLE tokens ("
    "  token bytea PRIMARY KEY,"
    "  address text NOT NULL,"
    "  created_unix bigint NOT NULL,"
    "  spent_unix bigint);"
    "CREATE INDEX tokens_by_age ON tokens (created_unix);"
    "CREATE TABLE scores ("
    "  id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,"
    "  name bytea NOT NULL,"
    "  country bytea NOT NULL,"
    "  score bigint NOT NULL,"
    "  created_unix bigint NOT NULL,"
    "  address text NOT NULL);"
    "CREATE INDEX scores_by_rank ON scores (score DESC, created_unix, id);"
    "CREATE INDEX scores_by_country_rank ON scores (country, score DESC, created_unix, id);",
    // 1 -> 2: how many rows the world (world, country '') and each country hold, kept by
    // triggers in the transaction that changes the rows, so a page never counts the table.
    // Each count is split over 16 rows by id, so that processes storing at once do not all
    // wait for one row's lock; a count is the sum of its rows. Statement triggers with
    // transition tables count a bulk insert in one step. The triggers are created before the
    // counting, so a process of the old version that inserts meanwhile waits for this
    // transaction and is then counted by them.
    "CREATE TABLE score_counts ("
    "  world boolean NOT NULL,"
    "  country bytea NOT NULL,"
    "  shard smallint NOT NULL,"
    "  n bigint NOT NULL,"
    "  PRIMARY KEY (world, country, shard));"
    "CREATE FUNCTION starmoat_count_scores() RETURNS trigger LANGUAGE plpgsql AS $$ "
    "BEGIN"
    "  IF TG_OP = 'TRUNCATE' THEN"
    "    DELETE FROM score_counts;"
    "    RETURN NULL;"
    "  END IF;"
    "  IF TG_OP IN ('DELETE', 'UPDATE') THEN"
    "    UPDATE score_counts AS c SET n = c.n - gone.n FROM ("
    "      SELECT true AS world, ''::bytea AS country, (id % 16)::smallint AS shard,"
    "             count(*) AS n FROM old_rows GROUP BY 3"
    "      UNION ALL"
    "      SELECT false, country, (id % 16)::smallint, count(*) FROM old_rows GROUP BY 2, 3"
    "    ) AS gone"
    "    WHERE c.world = gone.world AND c.country = gone.country AND c.shard = gone.shard;"
    "  END IF;"
    "  IF TG_OP IN ('INSERT', 'UPDATE') THEN"
    "    INSERT INTO score_counts AS c (world, country, shard, n)"
    "      SELECT true, ''::bytea, (id % 16)::smallint, count(*) FROM new_rows GROUP BY 3"
    "      UNION ALL"
    "      SELECT false, country, (id % 16)::smallint, count(*) FROM new_rows GROUP BY 2, 3"
    "    ON CONFLICT (world, country, shard) DO UPDATE SET n = c.n + EXCLUDED.n;"
    "  END IF;"
    "  RETURN NULL;"
    "END $$;"
    "CREATE TRIGGER scores_counted_on_insert AFTER INSERT ON scores"
    "  REFERENCING NEW TABLE AS new_rows"
    "  FOR EACH STATEMENT EXECUTE FUNCTION starmoat_count_scores();"
    "CREATE TRIGGER scores_counted_on_delete AFTER DELETE ON scores"
    "  REFERENCING OLD TABLE AS old_rows"
    "  FOR EACH STATEMENT EXECUTE FUNCTION starmoat_count_scores();"
    "CREATE TRIGGER scores_counted_on_update AFTER UPDATE ON scores"
    "  REFERENCING OLD TABLE AS old_rows NEW TABLE AS new_rows"
    "  FOR EACH STATEMENT EXECUTE FUNCTION starmoat_count_scores();"
    "CREATE TRIGGER scores_counted_on_truncate AFTER TRUNCATE ON scores"
    "  FOR EACH STATEMENT EXECUTE FUNCTION starmoat_count_scores();"
    "INSERT INTO score_counts"
    "  SELECT true, ''::bytea, (id % 16)::smallint, count(*) FROM scores GROUP BY 3;"
    "INSERT INTO score_counts"
    "  SELECT false, country, (id % 16)::smallint, count(*) FROM scores GROUP BY 2, 3;",
    // 2 -> 3: the ranking indexes carry what a page shows, so a page is an index-only scan:
    // no visit to the table for each of its rows, which are spread all over it.
    "DROP INDEX scores_by_rank;"
    "CREATE INDEX scores_by_rank ON scores (score DESC, created_unix, id) INCLUDE (name, country);"
    "DROP INDEX scores_by_country_rank;"
    "CREATE INDEX scores_by_country_rank ON scores (country, score DESC, created_unix, id)"
    "  INCLUDE (name);",
    // 3 -> 4: replays. A token remembers the row it stored, so the game's replay can follow
    // its result; replay_state says what became of that replay (0 none sent, 1 being checked,
    // 2 verified, 3 refused), and the bytes of a verified one are kept apart from the rows.
    // The counts gain the verified rows; the ranking indexes carry the state, and the
    // verified rows get ranking indexes of their own.
    "ALTER TABLE tokens ADD COLUMN score_id bigint;"
    "ALTER TABLE scores ADD COLUMN replay_state smallint NOT NULL DEFAULT 0;"
    "CREATE TABLE replays ("
    "  score_id bigint PRIMARY KEY,"
    "  bytes bytea NOT NULL);"
    "ALTER TABLE score_counts ADD COLUMN verified bigint NOT NULL DEFAULT 0;"
    // The rows' replays go with them (no foreign key: an operator's TRUNCATE of the scores
    // must keep working).
    "CREATE OR REPLACE FUNCTION starmoat_count_scores() RETURNS trigger LANGUAGE plpgsql AS $$ "
    "BEGIN"
    "  IF TG_OP = 'TRUNCATE' THEN"
    "    DELETE FROM score_counts;"
    "    DELETE FROM replays;"
    "    RETURN NULL;"
    "  END IF;"
    "  IF TG_OP = 'DELETE' THEN"
    "    DELETE FROM replays WHERE score_id IN (SELECT id FROM old_rows);"
    "  END IF;"
    "  IF TG_OP IN ('DELETE', 'UPDATE') THEN"
    "    UPDATE score_counts AS c SET n = c.n - gone.n, verified = c.verified - gone.verified"
    "    FROM ("
    "      SELECT true AS world, ''::bytea AS country, (id % 16)::smallint AS shard,"
    "             count(*) AS n, count(*) FILTER (WHERE replay_state = 2) AS verified"
    "      FROM old_rows GROUP BY 3"
    "      UNION ALL"
    "      SELECT false, country, (id % 16)::smallint, count(*),"
    "             count(*) FILTER (WHERE replay_state = 2) FROM old_rows GROUP BY 2, 3"
    "    ) AS gone"
    "    WHERE c.world = gone.world AND c.country = gone.country AND c.shard = gone.shard;"
    "  END IF;"
    "  IF TG_OP IN ('INSERT', 'UPDATE') THEN"
    "    INSERT INTO score_counts AS c (world, country, shard, n, verified)"
    "      SELECT true, ''::bytea, (id % 16)::smallint, count(*),"
    "             count(*) FILTER (WHERE replay_state = 2) FROM new_rows GROUP BY 3"
    "      UNION ALL"
    "      SELECT false, country, (id % 16)::smallint, count(*),"
    "             count(*) FILTER (WHERE replay_state = 2) FROM new_rows GROUP BY 2, 3"
    "    ON CONFLICT (world, country, shard)"
    "      DO UPDATE SET n = c.n + EXCLUDED.n, verified = c.verified + EXCLUDED.verified;"
    "  END IF;"
    "  RETURN NULL;"
    "END $$;"
    "DROP INDEX scores_by_rank;"
    "CREATE INDEX scores_by_rank ON scores (score DESC, created_unix, id)"
    "  INCLUDE (name, country, replay_state);"
    "DROP INDEX scores_by_country_rank;"
    "CREATE INDEX scores_by_country_rank ON scores (country, score DESC, created_unix, id)"
    "  INCLUDE (name, replay_state);"
    "CREATE INDEX scores_verified_by_rank ON scores (score DESC, created_unix, id)"
    "  INCLUDE (name, country) WHERE replay_state = 2;"
    "CREATE INDEX scores_verified_by_country_rank ON scores (country, score DESC, created_unix, id)"
    "  INCLUDE (name) WHERE replay_state = 2;",
};
constexpr int64_t kSchemaVersion = std::size(kMigrations);

// Tokens older than this are deleted when new ones are issued; they could not be used anyway.
constexpr int64_t kTokenKeepSeconds = 24 * 60 * 60;

// Creates our tables in the current schema (when mode allows), or migrates ours; refuses
// tables of someone else. ReadOnly only checks that the tables are ours.
void PrepareSchema(PgConnection& db, OpenMode mode) {
  PgTransaction transaction(db);
  if (mode != OpenMode::ReadOnly) {
    db.Query("SELECT pg_advisory_xact_lock(" + std::to_string(kSchemaLockKey) + ")");
  }
  if (db.Query("SELECT current_schema()").IsNull(0, 0)) {
    throw StoreError("PostgreSQL: no schema to create the tables in (check search_path)");
  }
  auto tables_named = [&db](const char* names) {
    return db.Query("SELECT count(*)::bigint FROM pg_class c "
                    "JOIN pg_namespace n ON n.oid = c.relnamespace "
                    "WHERE n.nspname = current_schema() AND c.relname IN (" +
                    std::string(names) + ")")
        .Int(0, 0);
  };
  if (tables_named("'starmoat_schema_version'") == 0) {
    if (tables_named("'tokens', 'scores'") != 0) {
      throw StoreError(
          "PostgreSQL: the database holds tables named tokens or scores that are not ours");
    }
    if (mode != OpenMode::CreateOrMigrate) {
      throw StoreError("PostgreSQL: the database holds no Starmoat scores (no tables of ours "
                       "in its schema)");
    }
    db.Execute("CREATE TABLE starmoat_schema_version (version bigint NOT NULL);"
               "INSERT INTO starmoat_schema_version VALUES (0)");
  }
  const int64_t version = db.Query("SELECT version FROM starmoat_schema_version").Int(0, 0);
  if (version > kSchemaVersion) {
    throw StoreError("PostgreSQL: schema version " + std::to_string(version) +
                     " is newer than this starmoat-scores knows (" +
                     std::to_string(kSchemaVersion) + ")");
  }
  if (mode == OpenMode::ReadOnly) return;
  for (int64_t step = version; step < kSchemaVersion; ++step) db.Execute(kMigrations[step]);
  if (version != kSchemaVersion) {
    db.Execute("UPDATE starmoat_schema_version SET version = " + std::to_string(kSchemaVersion));
  }
  transaction.Commit();
}

// Every statement is prepared once per connection; each call is then a single round trip.
void PrepareStatements(PgConnection& db) {
  // Old tokens go in the same statement that adds the new one.
  db.Prepare("issue",
             "WITH old AS (DELETE FROM tokens WHERE created_unix < $3::bigint - $4::bigint) "
             "INSERT INTO tokens (token, address, created_unix) "
             "VALUES ($1::bytea, $2::text, $3::bigint)");
  // Check, spend and store in one statement: of two submissions racing with one token, the
  // second waits for the first's row lock, then finds the token spent and stores nothing.
  // The row's id is drawn for the token first, so the token remembers the row it stored
  // (for the replay that follows the result) within the same single statement.
  db.Prepare("submit",
             "WITH spent AS ("
             "  UPDATE tokens SET spent_unix = $2::bigint,"
             "    score_id = nextval(pg_get_serial_sequence('scores', 'id'))"
             "  WHERE token = $1::bytea AND spent_unix IS NULL"
             "    AND created_unix > $2::bigint - $3::bigint"
             "  RETURNING score_id) "
             "INSERT INTO scores (id, name, country, score, created_unix, address) "
             "OVERRIDING SYSTEM VALUE "
             "SELECT score_id, $4::bytea, $5::bytea, $6::bigint, $2::bigint, $7::text FROM spent "
             "RETURNING id");
  // Why a submission stored nothing.
  db.Prepare("token", "SELECT spent_unix IS NOT NULL, created_unix FROM tokens "
                      "WHERE token = $1::bytea");
  // Index-only scans of the ranking indexes (which carry every column shown).
  db.Prepare("top", "SELECT id, name, country, score, created_unix, replay_state::bigint "
                    "FROM scores "
                    "ORDER BY score DESC, created_unix, id LIMIT $1::bigint OFFSET $2::bigint");
  db.Prepare("top_country",
             "SELECT id, name, country, score, created_unix, replay_state::bigint FROM scores "
             "WHERE country = $3::bytea "
             "ORDER BY score DESC, created_unix, id LIMIT $1::bigint OFFSET $2::bigint");
  db.Prepare("top_verified",
             "SELECT id, name, country, score, created_unix, 2::bigint FROM scores "
             "WHERE replay_state = 2 "
             "ORDER BY score DESC, created_unix, id LIMIT $1::bigint OFFSET $2::bigint");
  db.Prepare("top_verified_country",
             "SELECT id, name, country, score, created_unix, 2::bigint FROM scores "
             "WHERE country = $3::bytea AND replay_state = 2 "
             "ORDER BY score DESC, created_unix, id LIMIT $1::bigint OFFSET $2::bigint");
  db.Prepare("count", "SELECT coalesce(sum(n), 0)::bigint FROM score_counts "
                      "WHERE world AND country = ''::bytea");
  db.Prepare("count_country", "SELECT coalesce(sum(n), 0)::bigint FROM score_counts "
                              "WHERE NOT world AND country = $1::bytea");
  db.Prepare("count_verified", "SELECT coalesce(sum(verified), 0)::bigint FROM score_counts "
                               "WHERE world AND country = ''::bytea");
  db.Prepare("count_verified_country",
             "SELECT coalesce(sum(verified), 0)::bigint FROM score_counts "
             "WHERE NOT world AND country = $1::bytea");
  // Of two replays racing for one row, the second waits for the first's row lock and then
  // finds the row taken.
  // The replay's bytes are kept with the claim, so a check that a stop cuts short can be made
  // again (claimed_replays).
  db.Prepare("claim",
             "WITH claimed AS ("
             "  UPDATE scores AS s SET replay_state = 1 FROM tokens AS t"
             "  WHERE t.token = $1::bytea AND s.id = t.score_id AND s.replay_state = 0"
             "  RETURNING s.id, s.name, s.country, s.score, s.created_unix), "
             "kept AS ("
             "  INSERT INTO replays (score_id, bytes) SELECT id, $2::bytea FROM claimed"
             "  ON CONFLICT (score_id) DO UPDATE SET bytes = EXCLUDED.bytes) "
             "SELECT id, name, country, score, created_unix, 1::bigint FROM claimed");
  db.Prepare("claimed", "SELECT 1 FROM tokens AS t JOIN scores AS s ON s.id = t.score_id "
                        "WHERE t.token = $1::bytea");
  db.Prepare("finish",
             "WITH done AS ("
             "  UPDATE scores SET replay_state = $2::bigint"
             "  WHERE id = $1::bigint AND replay_state = 1 RETURNING id) "
             "DELETE FROM replays WHERE score_id IN (SELECT id FROM done) AND $2::bigint = 3");
  db.Prepare("claimed_replays",
             "SELECT s.id, s.name, s.country, s.score, s.created_unix, r.bytes "
             "FROM replays AS r JOIN scores AS s ON s.id = r.score_id "
             "WHERE s.replay_state = 1 ORDER BY s.id");
  db.Prepare("replay", "SELECT r.bytes FROM replays AS r JOIN scores AS s ON s.id = r.score_id "
                       "WHERE r.score_id = $1::bigint AND s.replay_state = 2");
  // A read-only list may look at a database of an older schema: no replay_state there.
  db.Prepare("list", "SELECT id, name, country, score, created_unix, 0::bigint FROM scores "
                     "ORDER BY id DESC LIMIT $1::bigint");
  db.Prepare("delete", "DELETE FROM scores WHERE id = $1::bigint");
}

std::vector<ScoreRow> ReadRows(const PgResult& result) {
  std::vector<ScoreRow> rows;
  rows.reserve(static_cast<size_t>(result.Rows()));
  for (int row = 0; row < result.Rows(); ++row) {
    rows.push_back({result.Int(row, 0), result.Bytes(row, 1), result.Bytes(row, 2),
                    result.Int(row, 3), result.Int(row, 4), result.Int(row, 5) == 2});
  }
  return rows;
}

}  // namespace

class PostgresStore::Lease {
 public:
  explicit Lease(PostgresStore& store) : store_(store) {
    {
      std::lock_guard<std::mutex> lock(store_.pool_mutex_);
      if (!store_.idle_.empty()) {
        connection_ = std::move(store_.idle_.back());
        store_.idle_.pop_back();
      }
    }
    if (!connection_) connection_ = store_.Connect();
  }
  ~Lease() {
    if (!connection_->Reusable()) return;
    std::lock_guard<std::mutex> lock(store_.pool_mutex_);
    store_.idle_.push_back(std::move(connection_));
  }
  PgConnection* operator->() { return connection_.get(); }
  PgConnection& operator*() { return *connection_; }

 private:
  PostgresStore& store_;
  std::unique_ptr<PgConnection> connection_;
};

PostgresStore::PostgresStore(const std::string& url, OpenMode mode) : url_(url), mode_(mode) {
  auto first = std::make_unique<PgConnection>(url_);
  PrepareSchema(*first, mode_);
  idle_.push_back(Prepared(std::move(first)));
}

PostgresStore::~PostgresStore() = default;

std::unique_ptr<PgConnection> PostgresStore::Connect() {
  return Prepared(std::make_unique<PgConnection>(url_));
}

std::unique_ptr<PgConnection> PostgresStore::Prepared(std::unique_ptr<PgConnection> connection) {
  // The database itself then refuses any write, whatever a caller tries.
  if (mode_ == OpenMode::ReadOnly) connection->Execute("SET default_transaction_read_only = on");
  PrepareStatements(*connection);
  return connection;
}

void PostgresStore::IssueToken(const std::string& token, const std::string& address,
                               int64_t now_unix) {
  Lease db(*this);
  db->Run("issue", {token, PgParam::Text(address), now_unix, kTokenKeepSeconds});
}

SubmitResult PostgresStore::Submit(const std::string& token, int64_t now_unix,
                                   int64_t max_age_s, const NewScore& score) {
  Lease db(*this);
  if (db->Run("submit", {token, now_unix, max_age_s, score.name, score.country, score.score,
                         PgParam::Text(score.address)})
          .Rows() == 1) {
    return SubmitResult::Stored;
  }
  const PgResult found = db->Run("token", {token});
  if (found.Rows() == 0) return SubmitResult::UnknownToken;
  // The boolean comes back as one byte.
  if (found.Bytes(0, 0) != std::string(1, '\0')) return SubmitResult::SpentToken;
  if (now_unix - found.Int(0, 1) >= max_age_s) return SubmitResult::ExpiredToken;
  // Tokens never become unspent or younger, so the statement above cannot have passed over
  // this one; a database that says otherwise is not one to store results in.
  throw StoreError("PostgreSQL: token check disagrees with itself");
}

std::vector<ScoreRow> PostgresStore::Top(const std::string& country, int limit, int offset,
                                          Rows rows) {
  Lease db(*this);
  const bool verified = rows == Rows::Verified;
  if (country.empty()) {
    return ReadRows(db->Run(verified ? "top_verified" : "top", {int64_t{limit}, int64_t{offset}}));
  }
  return ReadRows(db->Run(verified ? "top_verified_country" : "top_country",
                          {int64_t{limit}, int64_t{offset}, country}));
}

int64_t PostgresStore::Count(const std::string& country, Rows rows) {
  Lease db(*this);
  const bool verified = rows == Rows::Verified;
  const PgResult count =
      country.empty() ? db->Run(verified ? "count_verified" : "count", {})
                      : db->Run(verified ? "count_verified_country" : "count_country", {country});
  return count.Int(0, 0);
}

ReplayClaim PostgresStore::ClaimReplay(const std::string& token, const std::string& bytes,
                                       ScoreRow* row) {
  Lease db(*this);
  const std::vector<ScoreRow> claimed =
      ReadRows(db->Run("claim", {token, std::string_view(bytes)}));
  if (!claimed.empty()) {
    if (row != nullptr) *row = claimed[0];
    return ReplayClaim::Claimed;
  }
  return db->Run("claimed", {token}).Rows() == 0 ? ReplayClaim::UnknownToken
                                                 : ReplayClaim::Taken;
}

void PostgresStore::FinishReplay(int64_t id, bool verified) {
  Lease db(*this);
  db->Run("finish", {id, int64_t{verified ? 2 : 3}});
}

std::vector<ClaimedReplay> PostgresStore::ClaimedReplays() {
  Lease db(*this);
  const PgResult found = db->Run("claimed_replays", {});
  std::vector<ClaimedReplay> claimed;
  for (int row = 0; row < found.Rows(); ++row) {
    claimed.push_back({{found.Int(row, 0), found.Bytes(row, 1), found.Bytes(row, 2),
                        found.Int(row, 3), found.Int(row, 4), false},
                       found.Bytes(row, 5)});
  }
  return claimed;
}

std::optional<std::string> PostgresStore::Replay(int64_t id) {
  Lease db(*this);
  const PgResult found = db->Run("replay", {id});
  if (found.Rows() == 0) return std::nullopt;
  return found.Bytes(0, 0);
}

std::vector<ScoreRow> PostgresStore::List(int limit) {
  Lease db(*this);
  return ReadRows(db->Run("list", {int64_t{limit}}));
}

bool PostgresStore::Delete(int64_t id) {
  Lease db(*this);
  return db->Run("delete", {id}).Changed() > 0;
}

}  // namespace starmoat::server
