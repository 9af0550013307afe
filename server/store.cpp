#include "store.h"

#include "postgres_store.h"
#include "sqlite_store.h"

namespace starmoat::server {

Store::~Store() = default;

namespace {

bool IsPostgresUrl(const std::string& database) {
  return database.rfind("postgresql://", 0) == 0 || database.rfind("postgres://", 0) == 0;
}

}  // namespace

std::unique_ptr<Store> OpenStore(const std::string& database, OpenMode mode) {
  if (IsPostgresUrl(database)) return std::make_unique<PostgresStore>(database, mode);
  return std::make_unique<SqliteStore>(database, mode);
}

}  // namespace starmoat::server
