// The last rendered world table pages, so that a crowd looking at the table costs one render
// and two queries a second instead of one of each per look. A page is served from here for at
// most max_age; a result stored or deleted through this process drops every page at once, so
// a player who just sent a score finds it on the page straight away. Writes by other processes
// on a shared database show within max_age.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace starmoat::server {

class PageCache {
 public:
  using Clock = std::chrono::steady_clock;

  // At most max_pages pages are kept (countries and page numbers come from clients, so the
  // keys are theirs to choose); when full, the oldest pages make room.
  PageCache(Clock::duration max_age, size_t max_pages);

  // The page stored under key at most max_age before now; null when there is none.
  std::shared_ptr<const std::string> Find(const std::string& key, Clock::time_point now);
  // Read before the store is queried for a page, and handed to Put with it: a page rendered
  // from rows read before a Clear is not kept, since it may lack the change.
  uint64_t Generation();
  void Put(const std::string& key, std::string page, Clock::time_point now,
           uint64_t generation);
  // Every page, after a change of the table.
  void Clear();

 private:
  struct Entry {
    std::shared_ptr<const std::string> page;
    Clock::time_point rendered;
  };

  Clock::duration max_age_;
  size_t max_pages_;
  std::mutex mutex_;
  std::map<std::string, Entry> pages_;
  uint64_t generation_ = 0;
};

}  // namespace starmoat::server
