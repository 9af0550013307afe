// The storage tests run against every store implementation. A backend names a fresh, empty
// database for OpenStore; store_test.cpp holds the tests, and each backend adds one
// INSTANTIATE_TEST_SUITE_P(Name, StoreTest, ::testing::Values(TheBackend())) line in its own
// file.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "store.h"

namespace starmoat::server {

struct StoreBackend {
  std::string name;
  // A database OpenStore accepts, empty and used by no other test; "" skips the test (the
  // backend's server is not available here).
  std::function<std::string()> fresh_database;
  // Removes what fresh_database made, after the test has closed every store on it.
  std::function<void(const std::string&)> drop_database;
};

// What gtest prints for the parameter (in failures and in ctest's test names): its name.
inline void PrintTo(const StoreBackend& backend, std::ostream* out) { *out << backend.name; }

// The name gtest shows for each instantiation.
inline std::string BackendName(const ::testing::TestParamInfo<StoreBackend>& info) {
  return info.param.name;
}

// A schema of its own in the throw-away PostgreSQL cluster that ctest starts for the tests
// whose names hold "Postgresql" (postgres_store_test.cpp); "" where there is none.
StoreBackend PostgresqlBackend();

class StoreTest : public ::testing::TestWithParam<StoreBackend> {
 protected:
  void SetUp() override {
    database_ = GetParam().fresh_database();
    if (database_.empty()) GTEST_SKIP() << GetParam().name << " is not available";
    store_ = OpenStore(database_);
  }
  void TearDown() override {
    store_.reset();
    if (!database_.empty()) GetParam().drop_database(database_);
  }

  std::string database_;
  std::unique_ptr<Store> store_;
};

// SQLite in a new temporary folder per test: the default store, always available.
inline StoreBackend SqliteBackend() {
  return {
      "Sqlite",
      [] {
        std::string folder = std::filesystem::temp_directory_path() / "starmoat-store-XXXXXX";
        if (mkdtemp(folder.data()) == nullptr) return std::string();
        return folder + "/scores.sqlite";
      },
      [](const std::string& database) {
        std::filesystem::remove_all(std::filesystem::path(database).parent_path());
      },
  };
}

}  // namespace starmoat::server
