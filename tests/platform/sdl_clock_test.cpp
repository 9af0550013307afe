#include "platform/sdl/sdl_clock.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

struct FakeTime {
  uint64_t micros = 1'000'000;  // any origin: the clock counts from its construction
  platform::SdlClock::TimeSource Source() {
    return [this] { return micros; };
  }
};

TEST(SdlClockTest, TicksInStepsOfOneSixtyFourthSecondTruncatedToMs) {
  FakeTime time;
  platform::SdlClock clock(time.Source());
  const uint64_t start = time.micros;
  // (microseconds since start, expected tick count)
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
  time.micros += stepsPastWrap * platform::SdlClock::kTickMicros;
  const uint64_t ms = stepsPastWrap * platform::SdlClock::kTickMicros / 1000;
  EXPECT_EQ(clock.TickCount(), static_cast<uint32_t>(ms - (uint64_t{1} << 32)));
  EXPECT_LT(clock.TickCount(), 16u);
}

TEST(SdlClockTest, MsUntilNextTickIsEnoughForTheCountToMove) {
  FakeTime time;
  platform::SdlClock clock(time.Source());
  const uint64_t start = time.micros;
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

}  // namespace
