// How many tokens one client address may take: at most a count in any window of time (a
// sliding window, so no burst at a window's edge doubles it). Safe from several threads.
#pragma once

#include <chrono>
#include <deque>
#include <mutex>
#include <string>
#include <unordered_map>

namespace starmoat::server {

class RateLimiter {
 public:
  using Clock = std::chrono::steady_clock;

  // max_per_window 0 switches the limit off.
  RateLimiter(int max_per_window, Clock::duration window);

  // True, and the request is counted, when the address has had fewer than max_per_window
  // allowed requests in the window before now. Refused requests do not count.
  bool Allow(const std::string& address, Clock::time_point now);

  bool enabled() const { return max_per_window_ > 0; }

 private:
  // Forgets addresses whose last request has left the window, so memory follows the number of
  // recent clients and not of every client ever seen.
  void Sweep(Clock::time_point now);

  const int max_per_window_;
  const Clock::duration window_;
  std::mutex mutex_;
  std::unordered_map<std::string, std::deque<Clock::time_point>> recent_;
  Clock::time_point next_sweep_{};
};

}  // namespace starmoat::server
