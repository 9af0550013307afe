// Fills a starmoat-scores database with made-up results, fast, for the world table benchmark:
// players' names of 1 to 10 letters, countries as unevenly spread as players are (a few big
// ones, a long tail, some rows without one), scores in steps of 10 with many ties (most games
// end early, few go far), dates over the last two years. The same seed gives the same rows.
//
//   score_fill --database PATH|postgresql://... [--rows 1000000] [--seed 1]
//
// The store creates or migrates the schema first, exactly as the server does; the rows then go
// in with one bulk statement (one SQLite transaction, or PostgreSQL's COPY), so the store's
// own triggers count them. On PostgreSQL the table is vacuumed and analysed afterwards, as
// autovacuum would do on a server that has been running for a while.
#include <libpq-fe.h>
#include <sqlite3.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "store.h"

namespace {

using starmoat::server::OpenStore;

struct Row {
  std::string name, country;
  int64_t score = 0;
  int64_t created_unix = 0;
  std::string address;
};

// Made-up rows from one seed.
class RowMaker {
 public:
  explicit RowMaker(uint64_t seed) : random_(seed) {
    double weight = 1.0;
    for (const char* country : kCountries) {
      countries_.push_back(country);
      weights_.push_back(weight);
      weight *= 0.86;  // each country a little smaller than the one before
    }
    country_pick_ = std::discrete_distribution<size_t>(weights_.begin(), weights_.end());
    now_ = static_cast<int64_t>(std::time(nullptr));
  }

  Row Next() {
    Row row;
    row.name = Name();
    row.country = Chance(0.04) ? "" : countries_[country_pick_(random_)];
    // Most games end early: a log-normal spread, in steps of 10 as the game counts, with a few
    // games that scored nothing at all.
    if (!Chance(0.02)) {
      const double score = std::exp(std::normal_distribution<double>(8.5, 1.4)(random_));
      row.score = std::min<int64_t>(10'000'000, static_cast<int64_t>(score / 10) * 10);
    }
    row.created_unix = now_ - std::uniform_int_distribution<int64_t>(0, 2 * 365 * 86400)(random_);
    row.address = "10." + std::to_string(Uniform(256)) + "." + std::to_string(Uniform(256)) +
                  "." + std::to_string(Uniform(256));
    return row;
  }

 private:
  static constexpr const char* kCountries[] = {
      "Germany", "United States", "France", "United Kingdom", "Poland", "Brazil", "Russia",
      "Italy", "Spain", "Netherlands", "Sweden", "Canada", "Czechia", "Japan", "Australia",
      "Finland", "Norway", "Denmark", "Austria", "Switzerland", "Belgium", "Hungary", "Mexico",
      "Argentina", "Portugal", "Ukraine", "Romania", "Greece", "Turkey", "Chile", "Peru",
      "New Zealand", "Ireland", "Slovakia", "Croatia", "Estonia", "Latvia", "Lithuania",
      "Iceland", "Korea", "India", "South Africa", "Egypt", "Colombia", "Slovenia", "Serbia"};
  static constexpr const char* kSyllables[] = {
      "ka", "ri", "to", "mo", "an", "el", "ix", "zu", "ra", "ne", "lo", "vi", "sa", "dor",
      "tha", "or", "en", "al", "ma", "ko", "jo", "lu", "ber", "ta", "ni", "st", "rex", "mi",
      "ace", "fox", "ny", "pe", "gu", "da", "win", "li"};

  bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(random_) < p; }
  int Uniform(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

  std::string Name() {
    // A few players play a lot: a tenth of the rows come from 200 regulars.
    if (Chance(0.1)) {
      std::mt19937_64 regular(static_cast<uint64_t>(Uniform(200)));
      return Word(regular);
    }
    return Word(random_);
  }
  static std::string Word(std::mt19937_64& random) {
    std::string name;
    const int syllables = std::uniform_int_distribution<int>(1, 4)(random);
    for (int i = 0; i < syllables; ++i) {
      name += kSyllables[std::uniform_int_distribution<size_t>(0, std::size(kSyllables) - 1)(random)];
    }
    if (name.size() > 10) name.resize(10);
    name[0] = static_cast<char>(name[0] - 'a' + 'A');
    return name;
  }

  std::mt19937_64 random_;
  std::vector<std::string> countries_;
  std::vector<double> weights_;
  std::discrete_distribution<size_t> country_pick_;
  int64_t now_ = 0;
};

[[noreturn]] void Fail(const std::string& message) {
  std::fprintf(stderr, "score_fill: %s\n", message.c_str());
  std::exit(1);
}

void FillSqlite(const std::string& path, RowMaker& maker, long rows) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
    Fail(path + ": " + sqlite3_errmsg(db));
  }
  auto exec = [db, &path](const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) Fail(path + ": " + error);
  };
  // A bulk load: no log to append every page to twice, and no syncs. The file goes back to
  // WAL, as the server keeps it, at the end.
  exec("PRAGMA journal_mode=DELETE; PRAGMA synchronous=OFF; PRAGMA cache_size=-400000;"
       "BEGIN IMMEDIATE");
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db,
                     "INSERT INTO scores (name, country, score, created_unix, address) "
                     "VALUES (?1, ?2, ?3, ?4, ?5)",
                     -1, &insert, nullptr);
  for (long i = 0; i < rows; ++i) {
    const Row row = maker.Next();
    sqlite3_bind_text(insert, 1, row.name.data(), static_cast<int>(row.name.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(insert, 2, row.country.data(), static_cast<int>(row.country.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int64(insert, 3, row.score);
    sqlite3_bind_int64(insert, 4, row.created_unix);
    sqlite3_bind_text(insert, 5, row.address.data(), static_cast<int>(row.address.size()), SQLITE_TRANSIENT);
    if (sqlite3_step(insert) != SQLITE_DONE) Fail(path + ": " + sqlite3_errmsg(db));
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  exec("COMMIT; ANALYZE; PRAGMA journal_mode=WAL");
  sqlite3_close(db);
}

std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string hex = "\\\\x";  // COPY's text format: a backslash is written twice
  for (const unsigned char c : bytes) {
    hex.push_back(digits[c >> 4]);
    hex.push_back(digits[c & 15]);
  }
  return hex;
}

void FillPostgres(const std::string& url, RowMaker& maker, long rows) {
  PGconn* db = PQconnectdb(url.c_str());
  if (PQstatus(db) != CONNECTION_OK) Fail(PQerrorMessage(db));
  auto exec = [db](const char* sql) {
    PGresult* result = PQexec(db, sql);
    const ExecStatusType status = PQresultStatus(result);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK && status != PGRES_COPY_IN) {
      Fail(PQresultErrorMessage(result));
    }
    PQclear(result);
  };
  exec("COPY scores (name, country, score, created_unix, address) FROM STDIN");
  std::string chunk;
  for (long i = 0; i < rows; ++i) {
    const Row row = maker.Next();
    chunk += Hex(row.name) + "\t" + Hex(row.country) + "\t" + std::to_string(row.score) + "\t" +
             std::to_string(row.created_unix) + "\t" + row.address + "\n";
    if (chunk.size() > (1 << 20) || i + 1 == rows) {
      if (PQputCopyData(db, chunk.data(), static_cast<int>(chunk.size())) != 1) {
        Fail(PQerrorMessage(db));
      }
      chunk.clear();
    }
  }
  if (PQputCopyEnd(db, nullptr) != 1) Fail(PQerrorMessage(db));
  PGresult* result = PQgetResult(db);
  if (PQresultStatus(result) != PGRES_COMMAND_OK) Fail(PQresultErrorMessage(result));
  PQclear(result);
  exec("VACUUM (ANALYZE) scores");
  exec("VACUUM (ANALYZE) score_counts");
  PQfinish(db);
}

}  // namespace

int main(int argc, char** argv) {
  std::string database;
  long rows = 1'000'000;
  uint64_t seed = 1;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--database") {
      database = argv[i + 1];
    } else if (option == "--rows") {
      rows = std::atol(argv[i + 1]);
    } else if (option == "--seed") {
      seed = std::strtoull(argv[i + 1], nullptr, 10);
    } else {
      Fail("unknown option " + option);
    }
  }
  if (database.empty() || rows <= 0 || argc % 2 == 0) {
    Fail("usage: score_fill --database PATH|URL [--rows 1000000] [--seed 1]");
  }
  try {
    OpenStore(database);  // creates or migrates the schema, then closes
  } catch (const std::exception& error) {
    Fail(error.what());
  }
  RowMaker maker(seed);
  const auto start = std::chrono::steady_clock::now();
  const bool postgres = database.rfind("postgres", 0) == 0;
  if (postgres) {
    FillPostgres(database, maker, rows);
  } else {
    FillSqlite(database, maker, rows);
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("score_fill: %ld rows into %s in %.1f s\n", rows,
              postgres ? "PostgreSQL" : database.c_str(), seconds);
  return 0;
}
