// One SQLite connection with its prepared statements, used by one thread at a time. Every
// failure becomes a StoreError naming the file and SQLite's message.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "store.h"

namespace starmoat::server {

// A prepared statement, reset and cleared of its bindings when its use ends.
class SqliteStatement {
 public:
  SqliteStatement(sqlite3* db, const std::string& file, const char* sql);
  ~SqliteStatement();
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  // Bindings count from 1, as in SQL's ?1, ?2, ...
  SqliteStatement& Bind(int index, int64_t value);
  SqliteStatement& Bind(int index, std::string_view value);
  // Bytes kept as a BLOB (any bytes, no text encoding).
  SqliteStatement& BindBlob(int index, std::string_view bytes);
  // Advances to the next row; false when there are no more (or the statement wrote).
  bool Step();
  int64_t Int(int column);
  std::string Text(int column);
  std::string Blob(int column);
  // Ready for the next use with new bindings.
  void Reset();

 private:
  [[noreturn]] void Fail(int code);

  sqlite3* db_;
  const std::string& file_;
  sqlite3_stmt* statement_ = nullptr;
};

// How a connection opens its file.
enum class SqliteAccess {
  Create,     // reading and writing; a missing file is created (its folder must exist)
  ReadWrite,  // reading and writing an existing file; a missing one is an error
  ReadOnly,   // reading an existing file, which may be read-only; nothing is ever written
  // As ReadOnly, for a file that no connection has open (no -wal or -shm file beside it) in a
  // folder the reader may not write: SQLite then cannot make the shared-memory index its WAL
  // mode needs, and reads the file as it stands instead (SQLite's immutable=1).
  ReadOnlyAtRest,
};

class SqliteConnection {
 public:
  // Opens the file and sets the busy time-out. A missing file (or, for Create, a missing
  // folder) is a StoreError naming it, and nothing is created.
  SqliteConnection(const std::string& file, SqliteAccess access);
  ~SqliteConnection();
  SqliteConnection(const SqliteConnection&) = delete;
  SqliteConnection& operator=(const SqliteConnection&) = delete;

  // Runs statements that return nothing of interest.
  void Execute(const char* sql);
  // A statement prepared once for this connection, reset and ready for bindings.
  SqliteStatement& Prepared(const char* sql);
  // The first column of the first row of a query without bindings.
  int64_t QueryInt(const char* sql);
  int64_t Changes() const;

  const std::string& file() const { return file_; }

 private:
  std::string file_;
  sqlite3* db_ = nullptr;
  std::map<std::string, std::unique_ptr<SqliteStatement>, std::less<>> prepared_;
};

// Rolls back the open transaction unless Commit was called: a statement that throws half-way
// leaves nothing behind.
class SqliteTransaction {
 public:
  // immediate: take the write lock now, so two writers never both read and then collide.
  SqliteTransaction(SqliteConnection& connection, bool immediate);
  ~SqliteTransaction();
  void Commit();

 private:
  SqliteConnection& connection_;
  bool open_ = true;
};

}  // namespace starmoat::server
