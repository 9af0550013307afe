// One libpq connection to PostgreSQL with its prepared statements, used by one thread at a time.
// Text that players typed (names, countries, tokens) travels as bytea in binary form, so every
// byte comes back as it went in whatever the database's encoding; numbers go as text and come
// back in binary. Every failure becomes a StoreError with PostgreSQL's one-line message.
#pragma once

#include <libpq-fe.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "store.h"

namespace starmoat::server {

// One parameter of a statement: a number (sent as its decimal text), bytes (sent as bytea in
// binary form) or, through Text, text that is ours and plain ASCII (an IP address).
class PgParam {
 public:
  PgParam(int64_t number) : value_(std::to_string(number)), binary_(false) {}
  PgParam(std::string_view bytes) : value_(bytes), binary_(true) {}
  PgParam(const std::string& bytes) : value_(bytes), binary_(true) {}
  static PgParam Text(std::string_view text) {
    PgParam param(text);
    param.binary_ = false;
    return param;
  }

  const std::string& value() const { return value_; }
  bool binary() const { return binary_; }

 private:
  std::string value_;
  bool binary_;
};

// The rows of one statement, in binary form.
class PgResult {
 public:
  explicit PgResult(PGresult* result) : result_(result, PQclear) {}

  int Rows() const { return PQntuples(result_.get()); }
  // A bigint (or count) column.
  int64_t Int(int row, int column) const;
  // A bytea or text column, byte for byte.
  std::string Bytes(int row, int column) const;
  bool IsNull(int row, int column) const { return PQgetisnull(result_.get(), row, column) != 0; }
  // How many rows an INSERT, UPDATE or DELETE touched.
  int64_t Changed() const;

 private:
  std::unique_ptr<PGresult, void (*)(PGresult*)> result_;
};

class PgConnection {
 public:
  // Connects to a "postgresql://" URL; settings in the URL win over our defaults (a connect
  // time-out, the application name the operator sees in pg_stat_activity).
  explicit PgConnection(const std::string& url);
  ~PgConnection();
  PgConnection(const PgConnection&) = delete;
  PgConnection& operator=(const PgConnection&) = delete;

  // Runs SQL without parameters and without rows of interest, possibly several statements.
  void Execute(const std::string& sql);
  // One statement without parameters, its rows in binary form.
  PgResult Query(const std::string& sql);
  // Prepares a named statement once for this connection. Parameters are $1, $2, ... with their
  // types written as casts in the SQL ($1::bytea, $2::bigint).
  void Prepare(const char* name, const char* sql);
  PgResult Run(const char* name, std::initializer_list<PgParam> params);

  // False once the connection is lost or a transaction was left open by a failure: such a
  // connection goes back to no pool.
  bool Reusable() const;

 private:
  PgResult Check(PGresult* result, const char* what);

  PGconn* connection_ = nullptr;
};

// Rolls back unless Commit was called, so a statement that throws half-way leaves nothing.
class PgTransaction {
 public:
  explicit PgTransaction(PgConnection& connection);
  ~PgTransaction();
  void Commit();

 private:
  PgConnection& connection_;
  bool open_ = true;
};

}  // namespace starmoat::server
