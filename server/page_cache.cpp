#include "page_cache.h"

#include <algorithm>

namespace starmoat::server {

PageCache::PageCache(Clock::duration max_age, size_t max_pages)
    : max_age_(max_age), max_pages_(max_pages) {}

std::shared_ptr<const std::string> PageCache::Find(const std::string& key,
                                                   Clock::time_point now) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = pages_.find(key);
  if (found == pages_.end()) return nullptr;
  if (now - found->second.rendered > max_age_ || now < found->second.rendered) {
    pages_.erase(found);
    return nullptr;
  }
  return found->second.page;
}

uint64_t PageCache::Generation() {
  std::lock_guard<std::mutex> lock(mutex_);
  return generation_;
}

void PageCache::Put(const std::string& key, std::string page, Clock::time_point now,
                    uint64_t generation) {
  auto shared = std::make_shared<const std::string>(std::move(page));
  std::lock_guard<std::mutex> lock(mutex_);
  if (max_pages_ == 0 || generation != generation_) return;
  if (pages_.size() >= max_pages_ && pages_.count(key) == 0) {
    // Expired pages go first; if that is not enough, the oldest one.
    for (auto at = pages_.begin(); at != pages_.end();) {
      at = now - at->second.rendered > max_age_ ? pages_.erase(at) : std::next(at);
    }
    if (pages_.size() >= max_pages_) {
      pages_.erase(std::min_element(pages_.begin(), pages_.end(), [](const auto& a, const auto& b) {
        return a.second.rendered < b.second.rendered;
      }));
    }
  }
  pages_[key] = {std::move(shared), now};
}

void PageCache::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  pages_.clear();
  ++generation_;
}

}  // namespace starmoat::server
