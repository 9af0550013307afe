#include "rate_limiter.h"

namespace starmoat::server {

RateLimiter::RateLimiter(int max_per_window, Clock::duration window)
    : max_per_window_(max_per_window), window_(window) {}

bool RateLimiter::Allow(const std::string& address, Clock::time_point now) {
  if (!enabled()) return true;
  std::lock_guard<std::mutex> lock(mutex_);
  if (now >= next_sweep_) Sweep(now);
  std::deque<Clock::time_point>& times = recent_[address];
  while (!times.empty() && now - times.front() >= window_) times.pop_front();
  if (static_cast<int>(times.size()) >= max_per_window_) return false;
  times.push_back(now);
  return true;
}

void RateLimiter::Sweep(Clock::time_point now) {
  for (auto it = recent_.begin(); it != recent_.end();) {
    if (it->second.empty() || now - it->second.back() >= window_) {
      it = recent_.erase(it);
    } else {
      ++it;
    }
  }
  next_sweep_ = now + window_;
}

}  // namespace starmoat::server
