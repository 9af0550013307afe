// cpp-httplib's task queue with a bound: a fixed number of worker threads, and at most
// max_waiting accepted connections waiting for one. When the bound is reached the accepting
// thread waits, so further clients wait in the kernel's listen backlog instead of in memory.
#pragma once

#include <httplib.h>

#include <condition_variable>
#include <cstddef>
#include <mutex>

namespace starmoat::server {

class BoundedTaskQueue : public httplib::TaskQueue {
 public:
  BoundedTaskQueue(size_t threads, size_t max_waiting);

  void enqueue(std::function<void()> fn) override;
  // Finishes every connection already taken, then stops the threads.
  void shutdown() override;

 private:
  httplib::ThreadPool pool_;
  const size_t limit_;
  std::mutex mutex_;
  std::condition_variable room_;
  size_t taken_ = 0;  // connections queued or being served
};

}  // namespace starmoat::server
