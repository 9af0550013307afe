#include "sqlite_checkpointer.h"

#include <cstdio>

#include "sqlite_connection.h"

namespace starmoat::server {

SqliteCheckpointer::SqliteCheckpointer(const std::string& file,
                                       std::chrono::milliseconds interval)
    : interval_(interval), db_(std::make_unique<SqliteConnection>(file, SqliteAccess::ReadWrite)) {
  thread_ = std::thread([this] { Run(); });
}

SqliteCheckpointer::~SqliteCheckpointer() {
  {
    std::lock_guard<std::mutex> lock(stop_mutex_);
    stop_ = true;
  }
  stop_signal_.notify_all();
  thread_.join();
}

SqliteCheckpointer::Progress SqliteCheckpointer::CheckpointNow() {
  std::lock_guard<std::mutex> lock(connection_mutex_);
  SqliteStatement& checkpoint = db_->Prepared("PRAGMA wal_checkpoint(PASSIVE)");
  Progress progress;
  if (checkpoint.Step()) {
    progress.log_frames = checkpoint.Int(1);
    progress.checkpointed_frames = checkpoint.Int(2);
  }
  checkpoint.Reset();
  return progress;
}

void SqliteCheckpointer::Run() {
  std::unique_lock<std::mutex> lock(stop_mutex_);
  while (!stop_signal_.wait_for(lock, interval_, [this] { return stop_; })) {
    lock.unlock();
    try {
      CheckpointNow();
    } catch (const StoreError& e) {
      // A full disk or a vanished file: the writer's own checkpoint is still there, and the
      // next round tries again.
      std::fprintf(stderr, "starmoat-scores: checkpoint: %s\n", e.what());
    }
    lock.lock();
  }
}

}  // namespace starmoat::server
