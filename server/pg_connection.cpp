#include "pg_connection.h"

#include <cstring>
#include <vector>

namespace starmoat::server {

namespace {

// PostgreSQL's messages run over several lines (detail, hint); the operator gets the first.
std::string FirstLine(const char* message) {
  std::string line = message ? message : "";
  line = line.substr(0, line.find('\n'));
  while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.pop_back();
  return line.empty() ? "unknown error" : line;
}

// A statement in an error message: its start is enough to tell which one failed.
std::string Shortened(const char* sql) {
  std::string text = FirstLine(sql);
  return text.size() > 40 ? text.substr(0, 40) + "..." : text;
}

}  // namespace

int64_t PgResult::Int(int row, int column) const {
  const char* value = PQgetvalue(result_.get(), row, column);
  const int length = PQgetlength(result_.get(), row, column);
  if (length != 8) throw StoreError("PostgreSQL: expected a bigint in column " +
                                    std::to_string(column) + ", got " +
                                    std::to_string(length) + " bytes");
  // Binary results are in network byte order.
  uint64_t number = 0;
  for (int i = 0; i < 8; ++i) number = number << 8 | static_cast<unsigned char>(value[i]);
  return static_cast<int64_t>(number);
}

std::string PgResult::Bytes(int row, int column) const {
  return std::string(PQgetvalue(result_.get(), row, column),
                     static_cast<size_t>(PQgetlength(result_.get(), row, column)));
}

int64_t PgResult::Changed() const {
  const char* count = PQcmdTuples(result_.get());
  return count && *count ? std::stoll(count) : 0;
}

PgConnection::PgConnection(const std::string& url) {
  // With expand_dbname the URL is read last, so what it says overrides these defaults.
  const char* const keys[] = {"connect_timeout", "application_name", "dbname", nullptr};
  const char* const values[] = {"10", "starmoat-scores", url.c_str(), nullptr};
  connection_ = PQconnectdbParams(keys, values, 1);
  if (!connection_) throw StoreError("PostgreSQL: out of memory");
  if (PQstatus(connection_) != CONNECTION_OK) {
    // libpq's message names host and port but never the password.
    const std::string message = FirstLine(PQerrorMessage(connection_));
    PQfinish(connection_);
    connection_ = nullptr;
    throw StoreError("PostgreSQL: " + message);
  }
  // Warnings such as "there is no transaction in progress" are not the operator's business.
  PQsetNoticeProcessor(connection_, [](void*, const char*) {}, nullptr);
}

PgConnection::~PgConnection() { PQfinish(connection_); }

PgResult PgConnection::Check(PGresult* result, const char* what) {
  PgResult rows(result);
  const ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
    throw StoreError(std::string("PostgreSQL: ") + what + ": " +
                     FirstLine(result ? PQresultErrorMessage(result)
                                      : PQerrorMessage(connection_)));
  }
  return rows;
}

void PgConnection::Execute(const std::string& sql) {
  Check(PQexec(connection_, sql.c_str()), Shortened(sql.c_str()).c_str());
}

PgResult PgConnection::Query(const std::string& sql) {
  return Check(PQexecParams(connection_, sql.c_str(), 0, nullptr, nullptr, nullptr, nullptr, 1),
               Shortened(sql.c_str()).c_str());
}

void PgConnection::Prepare(const char* name, const char* sql) {
  Check(PQprepare(connection_, name, sql, 0, nullptr), name);
}

PgResult PgConnection::Run(const char* name, std::initializer_list<PgParam> params) {
  std::vector<const char*> values;
  std::vector<int> lengths, formats;
  for (const PgParam& param : params) {
    values.push_back(param.value().data());
    lengths.push_back(static_cast<int>(param.value().size()));
    formats.push_back(param.binary() ? 1 : 0);
  }
  return Check(PQexecPrepared(connection_, name, static_cast<int>(values.size()), values.data(),
                              lengths.data(), formats.data(), 1),
               name);
}

bool PgConnection::Reusable() const {
  return PQstatus(connection_) == CONNECTION_OK &&
         PQtransactionStatus(connection_) == PQTRANS_IDLE;
}

PgTransaction::PgTransaction(PgConnection& connection) : connection_(connection) {
  connection_.Execute("BEGIN");
}

PgTransaction::~PgTransaction() {
  if (!open_) return;
  try {
    connection_.Execute("ROLLBACK");
  } catch (const StoreError&) {
    // The connection is gone; Reusable() keeps it out of the pool.
  }
}

void PgTransaction::Commit() {
  connection_.Execute("COMMIT");
  open_ = false;
}

}  // namespace starmoat::server
