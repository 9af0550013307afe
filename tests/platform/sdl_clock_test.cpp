#include "platform/sdl/sdl_clock.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>

namespace {

struct FakeTime {
  uint64_t micros = 0;  // the time source's origin (boot for the system clock)
  platform::SdlClock::TimeSource Source() {
    return [this] { return micros; };
  }
};

TEST(SdlClockTest, TicksInStepsOfOneSixtyFourthSecondTruncatedToMs) {
  FakeTime time;
  platform::SdlClock clock(time.Source());
  const uint64_t start = 0;
  // (microseconds since the origin, expected tick count)
  const struct {
    uint64_t elapsed;
    uint32_t tick;
  } cases[] = {
      {0, 0},       {15624, 0},   {15625, 15},  {31249, 15},  {31250, 31},
      {46875, 46},  {62500, 62},  {78125, 78},  {93750, 93},  {109375, 109},
      {125000, 125}, {999999, 984}, {1000000, 1000},
  };
  for (const auto& c : cases) {
    time.micros = start + c.elapsed;
    EXPECT_EQ(clock.TickCount(), c.tick) << "after " << c.elapsed << " us";
  }
}

TEST(SdlClockTest, TickCountWrapsAroundLikeA32BitCounter) {
  FakeTime time;
  platform::SdlClock clock(time.Source());
  // 2^32 ms is 274877906.944 steps; the step just past it gives a small count again.
  const uint64_t stepsPastWrap = 274877907;
  time.micros = stepsPastWrap * platform::SdlClock::kTickMicros;
  const uint64_t ms = stepsPastWrap * platform::SdlClock::kTickMicros / 1000;
  EXPECT_EQ(clock.TickCount(), static_cast<uint32_t>(ms - (uint64_t{1} << 32)));
  EXPECT_LT(clock.TickCount(), 16u);
}

TEST(SdlClockTest, MsUntilNextTickIsEnoughForTheCountToMove) {
  FakeTime time;
  platform::SdlClock clock(time.Source());
  const uint64_t start = 3'000'000'000;  // anywhere, the steps are the same
  const struct {
    uint64_t elapsed;
    uint32_t wait;
  } cases[] = {{0, 16}, {1, 16}, {625, 15}, {15000, 1}, {15624, 1}, {15625, 16}, {30000, 2}};
  for (const auto& c : cases) {
    time.micros = start + c.elapsed;
    const uint32_t before = clock.TickCount();
    EXPECT_EQ(clock.MsUntilNextTick(), c.wait) << "after " << c.elapsed << " us";
    time.micros += uint64_t{c.wait} * 1000;
    EXPECT_NE(clock.TickCount(), before) << "after " << c.elapsed << " us";
  }
}

TEST(SdlClockTest, CountsFromTheTimeSourcesOriginNotFromItsOwnStart) {
  // The seed of the game's generator is the tick count at start-up: it must differ between
  // starts, as the system's tick count since boot does.
  FakeTime time;
  time.micros = 5'000'000'000;
  platform::SdlClock early(time.Source());
  time.micros += 777'000'000;
  platform::SdlClock late(time.Source());
  EXPECT_EQ(late.TickCount(), early.TickCount());
  EXPECT_EQ(late.TickCount(), 5'777'000u);  // 369728 steps of 15.625 ms
}

TEST(SdlClockTest, SystemClockCountsSinceBoot) {
  double uptime = 0;
  std::ifstream("/proc/uptime") >> uptime;
  if (uptime <= 0) GTEST_SKIP() << "no /proc/uptime to compare with";
  const uint32_t tick = platform::SdlClock().TickCount();
  const auto sinceBoot = static_cast<uint32_t>(static_cast<uint64_t>(uptime * 1000));
  // Generous: the two readings are a moment apart, and /proc/uptime has 10 ms resolution.
  EXPECT_LT(static_cast<uint32_t>(tick - sinceBoot + 5000), 10000u)
      << "tick " << tick << ", uptime " << sinceBoot << " ms";
}

}  // namespace
