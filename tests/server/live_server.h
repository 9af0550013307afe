// A real starmoat-scores HTTP front on a free loopback port, over a real SQLite store in a
// temporary folder, for tests that speak HTTP to it.
#pragma once

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "http_front.h"
#include "server/store_suite.h"
#include "store.h"

namespace starmoat::server {

class LiveServer {
 public:
  // On a fresh database of backend; available() is false (and nothing runs) where the
  // backend has none to give.
  explicit LiveServer(FrontOptions options = {}, StoreBackend backend = SqliteBackend())
      : backend_(std::move(backend)) {
    database_ = backend_.fresh_database();
    if (database_.empty()) return;
    store_ = OpenStore(database_);
    options.host = "127.0.0.1";
#ifdef STARMOAT_SCORES_EXE
    // Replays are played by the server's own executable, not by the test program.
    options.verifier.program = STARMOAT_SCORES_EXE;
#endif
    options.port = 0;
    options.access_log = [this](const std::string& line) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        log_.push_back(line);
      }
      logged_.notify_all();
    };
    front_ = std::make_unique<HttpFront>(*store_, options);
    front_->Bind();
    thread_ = std::thread([this] { front_->Run(); });
  }
  ~LiveServer() {
    if (!front_) return;
    front_->Stop();
    thread_.join();
    front_.reset();
    store_.reset();
    backend_.drop_database(database_);
  }

  bool available() const { return front_ != nullptr; }
  int port() const { return front_->port(); }
  std::string host() const { return "127.0.0.1:" + std::to_string(port()); }
  Store& store() { return *store_; }
  const std::string& database() const { return database_; }

  // One GET with its path and query exactly as given (not encoded again).
  httplib::Result Get(const std::string& target) {
    httplib::Client client("127.0.0.1", port());
    client.set_connection_timeout(5);
    client.set_read_timeout(10);
    return client.Get(target);
  }

  // The log once it has at least lines lines (or after 10 s): a line is written just after
  // its response has gone out, so it may come a moment after the client has the answer.
  std::vector<std::string> AccessLog(size_t lines) {
    std::unique_lock<std::mutex> lock(mutex_);
    logged_.wait_for(lock, std::chrono::seconds(10), [&] { return log_.size() >= lines; });
    return log_;
  }

 private:
  StoreBackend backend_;
  std::string database_;
  std::unique_ptr<Store> store_;
  std::unique_ptr<HttpFront> front_;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable logged_;
  std::vector<std::string> log_;
};

}  // namespace starmoat::server
