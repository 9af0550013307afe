#include "sqlite_connection.h"

#include <cctype>
#include <filesystem>

namespace starmoat::server {

namespace {

// How long a writer waits for another process's write to finish before giving up.
constexpr int kBusyTimeoutMs = 5000;

std::string Message(sqlite3* db, const std::string& file, int code) {
  const char* text = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(code);
  return file + ": " + (text != nullptr ? text : sqlite3_errstr(code));
}

// "file:" and the path with every byte but letters, digits, "/", "-", "_" and "." escaped,
// so that no "?", "#" or "%" in a file name is taken for part of the URI.
std::string FileUri(const std::string& path) {
  static const char digits[] = "0123456789ABCDEF";
  std::string uri = "file:";
  for (const unsigned char c : std::filesystem::absolute(path).string()) {
    if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.') {
      uri.push_back(static_cast<char>(c));
    } else {
      uri += {'%', digits[c >> 4], digits[c & 15]};
    }
  }
  return uri;
}

}  // namespace

SqliteStatement::SqliteStatement(sqlite3* db, const std::string& file, const char* sql)
    : db_(db), file_(file) {
  const int code = sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr);
  if (code != SQLITE_OK) Fail(code);
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(statement_); }

void SqliteStatement::Fail(int code) { throw StoreError(Message(db_, file_, code)); }

SqliteStatement& SqliteStatement::Bind(int index, int64_t value) {
  const int code = sqlite3_bind_int64(statement_, index, value);
  if (code != SQLITE_OK) Fail(code);
  return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, std::string_view value) {
  const int code = sqlite3_bind_text(statement_, index, value.data(),
                                     static_cast<int>(value.size()), SQLITE_TRANSIENT);
  if (code != SQLITE_OK) Fail(code);
  return *this;
}

SqliteStatement& SqliteStatement::BindBlob(int index, std::string_view bytes) {
  const int code = sqlite3_bind_blob64(statement_, index, bytes.data(), bytes.size(),
                                       SQLITE_TRANSIENT);
  if (code != SQLITE_OK) Fail(code);
  return *this;
}

bool SqliteStatement::Step() {
  const int code = sqlite3_step(statement_);
  if (code == SQLITE_ROW) return true;
  if (code == SQLITE_DONE) return false;
  Fail(code);
}

int64_t SqliteStatement::Int(int column) { return sqlite3_column_int64(statement_, column); }

std::string SqliteStatement::Text(int column) {
  const auto* text = sqlite3_column_text(statement_, column);
  const int size = sqlite3_column_bytes(statement_, column);
  return text != nullptr ? std::string(reinterpret_cast<const char*>(text), size) : "";
}

std::string SqliteStatement::Blob(int column) {
  const void* bytes = sqlite3_column_blob(statement_, column);
  const int size = sqlite3_column_bytes(statement_, column);
  return bytes != nullptr ? std::string(static_cast<const char*>(bytes), size) : "";
}

void SqliteStatement::Reset() {
  sqlite3_reset(statement_);
  sqlite3_clear_bindings(statement_);
}

SqliteConnection::SqliteConnection(const std::string& file, SqliteAccess access) : file_(file) {
  // Checked first because SQLite's own word for both is "unable to open database file", which
  // names neither. The open flags below are what guarantees that nothing is created. A path
  // that cannot even be looked at (a folder without search permission) is left to SQLite.
  std::error_code error;
  const std::filesystem::path path(file);
  if (access == SqliteAccess::Create) {
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    if (!std::filesystem::exists(folder, error) && !error) {
      throw StoreError(folder.string() + ": no such folder for the database " +
                       path.filename().string());
    }
  } else if (!std::filesystem::exists(path, error) && !error) {
    throw StoreError(file + ": no such database file");
  }
  const bool read_only =
      access == SqliteAccess::ReadOnly || access == SqliteAccess::ReadOnlyAtRest;
  int flags = (read_only ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) |
              (access == SqliteAccess::Create ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_NOMUTEX;
  std::string name = file;
  if (access == SqliteAccess::ReadOnlyAtRest) {
    flags |= SQLITE_OPEN_URI;
    name = FileUri(file) + "?immutable=1";
  }
  const int code = sqlite3_open_v2(name.c_str(), &db_, flags, nullptr);
  if (code != SQLITE_OK) {
    const std::string message = Message(db_, file_, code);
    sqlite3_close(db_);
    throw StoreError(message);
  }
  // SQLite quietly falls back to read-only when the file is not writable; a score server
  // that cannot store scores must say so at start.
  if (!read_only && sqlite3_db_readonly(db_, "main") == 1) {
    sqlite3_close(db_);
    throw StoreError(file_ + ": the file is read-only");
  }
  sqlite3_busy_timeout(db_, kBusyTimeoutMs);
  sqlite3_extended_result_codes(db_, 1);
}

SqliteConnection::~SqliteConnection() {
  prepared_.clear();
  sqlite3_close(db_);
}

void SqliteConnection::Execute(const char* sql) {
  char* error = nullptr;
  const int code = sqlite3_exec(db_, sql, nullptr, nullptr, &error);
  if (code != SQLITE_OK) {
    const std::string message = file_ + ": " + (error != nullptr ? error : sqlite3_errstr(code));
    sqlite3_free(error);
    throw StoreError(message);
  }
}

SqliteStatement& SqliteConnection::Prepared(const char* sql) {
  auto found = prepared_.find(std::string_view(sql));
  if (found == prepared_.end()) {
    found = prepared_.emplace(sql, std::make_unique<SqliteStatement>(db_, file_, sql)).first;
  }
  SqliteStatement& statement = *found->second;
  statement.Reset();
  return statement;
}

int64_t SqliteConnection::QueryInt(const char* sql) {
  SqliteStatement statement(db_, file_, sql);
  return statement.Step() ? statement.Int(0) : 0;
}

int64_t SqliteConnection::Changes() const { return sqlite3_changes64(db_); }

SqliteTransaction::SqliteTransaction(SqliteConnection& connection, bool immediate)
    : connection_(connection) {
  connection_.Execute(immediate ? "BEGIN IMMEDIATE" : "BEGIN");
}

SqliteTransaction::~SqliteTransaction() {
  if (!open_) return;
  try {
    connection_.Execute("ROLLBACK");
  } catch (const StoreError&) {
    // SQLite may already have rolled back after the error that brought us here.
  }
}

void SqliteTransaction::Commit() {
  connection_.Execute("COMMIT");
  open_ = false;
}

}  // namespace starmoat::server
