// Copies the SQLite write-ahead log back into the database file from a thread of its own, once
// an interval. Left to SQLite, the commit that fills the log past its threshold does this work,
// flush to disk included, while it holds the store's one write lock, so every request queued
// behind it waits: the slowest submissions. Here it runs beside the writer (a passive
// checkpoint never blocks writers or readers), and the store keeps SQLite's own as a late
// safety net only.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace starmoat::server {

class SqliteConnection;

class SqliteCheckpointer {
 public:
  // Opens its own connection to file (which must exist, in WAL mode) and starts the thread.
  SqliteCheckpointer(const std::string& file, std::chrono::milliseconds interval);
  // Stops the thread at once, without waiting for the interval to end.
  ~SqliteCheckpointer();
  SqliteCheckpointer(const SqliteCheckpointer&) = delete;
  SqliteCheckpointer& operator=(const SqliteCheckpointer&) = delete;

  struct Progress {
    int64_t log_frames = 0;           // frames in the log
    int64_t checkpointed_frames = 0;  // of those, now in the database file
  };
  // One passive checkpoint, as the thread runs it. Throws StoreError.
  Progress CheckpointNow();

 private:
  void Run();

  std::chrono::milliseconds interval_;
  std::mutex connection_mutex_;
  std::unique_ptr<SqliteConnection> db_;
  std::mutex stop_mutex_;
  std::condition_variable stop_signal_;
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace starmoat::server
