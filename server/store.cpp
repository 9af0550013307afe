#include "store.h"

#include "sqlite_store.h"

namespace starmoat::server {

Store::~Store() = default;

namespace {

bool IsPostgresUrl(const std::string& database) {
  return database.rfind("postgresql://", 0) == 0 || database.rfind("postgres://", 0) == 0;
}

}  // namespace

std::unique_ptr<Store> OpenStore(const std::string& database) {
  if (IsPostgresUrl(database)) {
    // The URL may hold a password: it stays out of the message.
    throw StoreError("this starmoat-scores was built without PostgreSQL support");
  }
  return std::make_unique<SqliteStore>(database);
}

}  // namespace starmoat::server
