// The token rate limit on its own clock: per address, over a sliding window.
#include <gtest/gtest.h>

#include "rate_limiter.h"

namespace starmoat::server {
namespace {

using Clock = RateLimiter::Clock;
using std::chrono::seconds;

const Clock::time_point kStart = Clock::time_point(seconds(5000));

TEST(RateLimiter, EachAddressHasItsOwnCount) {
  RateLimiter limiter(2, seconds(60));
  EXPECT_TRUE(limiter.Allow("10.0.0.1", kStart));
  EXPECT_TRUE(limiter.Allow("10.0.0.1", kStart));
  EXPECT_FALSE(limiter.Allow("10.0.0.1", kStart));
  EXPECT_TRUE(limiter.Allow("10.0.0.2", kStart));
  EXPECT_TRUE(limiter.Allow("::1", kStart));
}

TEST(RateLimiter, TheWindowSlidesSoNoEdgeDoublesTheCount) {
  RateLimiter limiter(3, seconds(60));
  for (int at : {50, 55, 59}) EXPECT_TRUE(limiter.Allow("a", kStart + seconds(at))) << at;
  // A fixed minute would start afresh at 60 s; the last 60 s still hold three.
  for (int at : {60, 61, 100}) EXPECT_FALSE(limiter.Allow("a", kStart + seconds(at))) << at;
  // At 110 s the request of 50 s has left the window, and the refused ones never counted.
  EXPECT_TRUE(limiter.Allow("a", kStart + seconds(110)));
  EXPECT_FALSE(limiter.Allow("a", kStart + seconds(110)));
  EXPECT_TRUE(limiter.Allow("a", kStart + seconds(115)));
}

TEST(RateLimiter, ZeroSwitchesTheLimitOff) {
  RateLimiter limiter(0, seconds(60));
  EXPECT_FALSE(limiter.enabled());
  for (int i = 0; i < 1000; ++i) ASSERT_TRUE(limiter.Allow("a", kStart));
}

TEST(RateLimiter, ForgottenAddressesStartAfresh) {
  RateLimiter limiter(1, seconds(10));
  EXPECT_TRUE(limiter.Allow("a", kStart));
  EXPECT_FALSE(limiter.Allow("a", kStart + seconds(9)));
  // Long after, the sweep has dropped "a"; it gets its full count again.
  EXPECT_TRUE(limiter.Allow("b", kStart + seconds(100)));
  EXPECT_TRUE(limiter.Allow("a", kStart + seconds(100)));
  EXPECT_FALSE(limiter.Allow("a", kStart + seconds(101)));
}

}  // namespace
}  // namespace starmoat::server
