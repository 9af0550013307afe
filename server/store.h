// Where the world score server keeps its tokens and scores. One interface, two
// implementations: SQLite (one file, the default) and PostgreSQL (shared by several server
// processes). Every method is safe to call from several threads at once, and several stores
// (in this process or others) may share one database.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace starmoat::server {

// A database that cannot be opened, is not ours, or failed a statement. what() is one line
// fit for the operator.
class StoreError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A result to keep: already checked by the protocol (name, country and score limits).
struct NewScore {
  std::string name, country;
  int64_t score = 0;
  std::string address;  // the client's IP address, for moderation
};

struct ScoreRow {
  int64_t id = 0;
  std::string name, country;
  int64_t score = 0;
  int64_t created_unix = 0;  // seconds since 1970, UTC
  // A replay of this game was played back on the server and reached this score under this
  // name; it can be downloaded (Store::Replay).
  bool verified = false;
};

enum class SubmitResult { Stored, UnknownToken, SpentToken, ExpiredToken };

// Which rows a page reads: only the verified ones, or every row.
enum class Rows { Verified, All };

// What became of a replay sent for a token (Store::ClaimReplay).
enum class ReplayClaim {
  Claimed,      // the row the token was spent on had no replay: it now waits for this one
  UnknownToken, // no such token, or one that stored no row (unspent, or its row deleted)
  Taken,        // a replay was already sent for that row (verified, refused or being checked)
};

// A replay claimed for its row, still to be checked (Store::ClaimedReplays).
struct ClaimedReplay {
  ScoreRow row;
  std::string bytes;
};

class Store {
 public:
  virtual ~Store();

  // Keeps a freshly drawn token with the time (seconds since 1970) and the address it went to.
  // Tokens more than a day old are forgotten here too, so the table does not grow for good.
  virtual void IssueToken(const std::string& token, const std::string& address,
                          int64_t now_unix) = 0;
  // In one transaction: the token must exist, be unspent and be less than max_age_s seconds
  // old; then it is spent and the score is stored. Of two submissions racing with one token,
  // exactly one is Stored.
  virtual SubmitResult Submit(const std::string& token, int64_t now_unix, int64_t max_age_s,
                              const NewScore& score) = 0;
  // The world table: score descending, then older first, then lower id. An empty country
  // means every country; otherwise rows of exactly that country. Read along an ordered index:
  // the cost grows with offset + limit, not with the table, so callers bound the offset.
  // rows says whether unverified rows are read too.
  virtual std::vector<ScoreRow> Top(const std::string& country, int limit, int offset,
                                    Rows rows = Rows::All) = 0;
  // How many rows Top would page through. Kept with the rows (the database counts in the same
  // transaction as every insert, delete and verification), so this reads a few rows, never
  // the table.
  virtual int64_t Count(const std::string& country, Rows rows = Rows::All) = 0;

  // A replay arrives for the game stored with `token`. In one transaction: the token must have
  // stored a row that has had no replay yet; that row is then marked as waiting for this
  // replay (so a second replay for it is Taken), the replay's bytes are kept with it until its
  // verdict, and the row is given back in *row. One replay per row, whatever its verdict: a
  // refused one is not followed by another try.
  virtual ReplayClaim ClaimReplay(const std::string& token, const std::string& bytes,
                                  ScoreRow* row) = 0;
  // The verdict on the replay claimed for row id: verified keeps its bytes with the row and
  // counts it as verified; refused drops them and leaves the row unverified for good. Nothing
  // happens when the row was deleted meanwhile.
  virtual void FinishReplay(int64_t id, bool verified) = 0;
  // The rows still waiting for their verdict, with their replays: those a stop of the server
  // cut short, to be checked again.
  virtual std::vector<ClaimedReplay> ClaimedReplays() = 0;
  // The bytes of a verified row's replay; nullopt when the row is not verified (or gone).
  virtual std::optional<std::string> Replay(int64_t id) = 0;

  // For moderation: the newest rows first.
  virtual std::vector<ScoreRow> List(int limit) = 0;
  // Removes one row; false when there was no such row.
  virtual bool Delete(int64_t id) = 0;
};

// How a command opens its database.
enum class OpenMode {
  // The server: a missing SQLite file is created (in a folder that exists), missing tables
  // too, and the schema is brought up to date.
  CreateOrMigrate,
  // Moderation that writes (delete): the database must exist and hold our tables; nothing is
  // created. The schema is brought up to date, as by a server start.
  Existing,
  // Moderation that reads (list): as Existing, but nothing is written (no migration either),
  // so a read-only file or a read-only database user does. Only the reading methods work
  // (and on a schema older than this program's, only List).
  ReadOnly,
};

// Opens the store named by database: a "postgresql://" or "postgres://" URL, otherwise the
// path of an SQLite file. Throws StoreError.
std::unique_ptr<Store> OpenStore(const std::string& database,
                                 OpenMode mode = OpenMode::CreateOrMigrate);

}  // namespace starmoat::server
