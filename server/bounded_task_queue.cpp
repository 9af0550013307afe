#include "bounded_task_queue.h"

namespace starmoat::server {

BoundedTaskQueue::BoundedTaskQueue(size_t threads, size_t max_waiting)
    : pool_(threads), limit_(threads + max_waiting) {}

void BoundedTaskQueue::enqueue(std::function<void()> fn) {
  {
    std::unique_lock<std::mutex> lock(mutex_);
    room_.wait(lock, [this] { return taken_ < limit_; });
    ++taken_;
  }
  pool_.enqueue([this, fn = std::move(fn)] {
    fn();
    {
      std::lock_guard<std::mutex> lock(mutex_);
      --taken_;
    }
    room_.notify_one();
  });
}

void BoundedTaskQueue::shutdown() { pool_.shutdown(); }

}  // namespace starmoat::server
