#include "page_cache.h"

#include <gtest/gtest.h>

namespace starmoat::server {
namespace {

using namespace std::chrono_literals;
const PageCache::Clock::time_point t0{std::chrono::hours(1000)};

std::string Text(const std::shared_ptr<const std::string>& page) { return page ? *page : "<none>"; }

TEST(PageCache, APageIsServedUntilItIsOlderThanTheMaximumAge) {
  PageCache cache(1s, 8);
  EXPECT_EQ(Text(cache.Find("all|1", t0)), "<none>");
  cache.Put("all|1", "page one", t0, cache.Generation());
  EXPECT_EQ(Text(cache.Find("all|1", t0)), "page one");
  EXPECT_EQ(Text(cache.Find("all|1", t0 + 1s)), "page one");
  EXPECT_EQ(Text(cache.Find("all|2", t0)), "<none>");
  EXPECT_EQ(Text(cache.Find("all|1", t0 + 1001ms)), "<none>");
  // Once expired it stays gone, even for a clock read a little earlier by another thread.
  EXPECT_EQ(Text(cache.Find("all|1", t0 + 500ms)), "<none>");
}

TEST(PageCache, AChangeOfTheTableDropsEveryPageAndPagesRenderedBeforeIt) {
  PageCache cache(1s, 8);
  cache.Put("all|1", "one", t0, cache.Generation());
  cache.Put("Peru|1", "peru", t0, cache.Generation());
  // A page whose rows were read before the change is rendered while the change is stored.
  const uint64_t before = cache.Generation();
  cache.Clear();
  EXPECT_EQ(Text(cache.Find("all|1", t0)), "<none>");
  EXPECT_EQ(Text(cache.Find("Peru|1", t0)), "<none>");
  cache.Put("all|1", "stale", t0, before);
  EXPECT_EQ(Text(cache.Find("all|1", t0)), "<none>");
  cache.Put("all|1", "fresh", t0, cache.Generation());
  EXPECT_EQ(Text(cache.Find("all|1", t0)), "fresh");
}

TEST(PageCache, KeysChosenByClientsCannotGrowItPastItsSize) {
  PageCache cache(1s, 3);
  for (int i = 0; i < 100; ++i) {
    cache.Put("k" + std::to_string(i), "p" + std::to_string(i), t0 + std::chrono::milliseconds(i),
              cache.Generation());
  }
  int kept = 0;
  for (int i = 0; i < 100; ++i) kept += cache.Find("k" + std::to_string(i), t0 + 100ms) != nullptr;
  EXPECT_EQ(kept, 3);
  // The newest pages are the ones kept.
  EXPECT_EQ(Text(cache.Find("k99", t0 + 100ms)), "p99");
  EXPECT_EQ(Text(cache.Find("k97", t0 + 100ms)), "p97");
}

}  // namespace
}  // namespace starmoat::server
