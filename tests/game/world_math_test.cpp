// The game's numbers are the same on every build: the shot directions, the weave and the
// random draws give exactly what the game gave with the C library's sin and cos and
// libstdc++'s uniform_int_distribution, from which they were taken.
#include "game/world_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "game/attack_tables.h"
#include "game/random.h"

namespace {

TEST(WorldMath, EveryShotDirectionOfTheGameIsInTheTableAndIsTheLibraryValue) {
  int checked = 0;
  for (const double gunAngle : {3.15, 0.0}) {
    for (const TFirePattern& pattern : FirePatterns) {
      for (uint8_t i = 0; i < pattern.Count; ++i) {
        const double angle = gunAngle + pattern.Shots[i].Turn;
        SCOPED_TRACE(angle);
        ASSERT_TRUE(ShotDirectionInTable(angle));
        const TDirection d = ShotDirection(angle);
        const double heading = angle + std::numbers::pi / 2;
#if defined(__GLIBC__)
        // Bit for bit what the game computed before the table.
        EXPECT_EQ(d.Cos, std::cos(heading));
        EXPECT_EQ(d.Sin, std::sin(heading));
#endif
        // And the portable implementation is within a few ulps of it.
        EXPECT_NEAR(PortableCos(heading), d.Cos, 1e-15);
        EXPECT_NEAR(PortableSin(heading), d.Sin, 1e-15);
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 20);
}

TEST(WorldMath, AnAngleOutsideTheTableUsesThePortableSine) {
  EXPECT_FALSE(ShotDirectionInTable(1.0));
  const TDirection d = ShotDirection(1.0);
  EXPECT_NEAR(d.Cos, std::cos(1.0 + std::numbers::pi / 2), 1e-15);
  EXPECT_NEAR(d.Sin, std::sin(1.0 + std::numbers::pi / 2), 1e-15);
}

TEST(WorldMath, TheWeaveIsTheLibrarySineRoundedForEveryHeight) {
  for (int32_t y = -32768; y <= 32767; ++y) {
    ASSERT_EQ(WeaveOffset(y), static_cast<int32_t>(std::nearbyint(70.0 * std::sin(y / 70.0))))
        << "y " << y;
  }
}

TEST(WorldMath, PortableSineAndCosineFollowTheLibraryClosely) {
  for (double x = -500.0; x <= 500.0; x += 0.0137) {
    ASSERT_NEAR(PortableSin(x), std::sin(x), 4e-16 * std::max(1.0, std::abs(x))) << x;
    ASSERT_NEAR(PortableCos(x), std::cos(x), 4e-16 * std::max(1.0, std::abs(x))) << x;
  }
}

#if defined(__GLIBCXX__)
TEST(WorldMath, RandomDrawsWhatTheStandardLibraryDrewForTheSameSeed) {
  for (const uint32_t seed : {1u, 7u, 42u, 0xDEADBEEFu}) {
    Randomize(seed);
    std::mt19937 reference(seed);
    for (int i = 0; i < 20000; ++i) {
      const int32_t n = 1 + i % 1000 + (i % 7 == 0 ? 0x7FFF0000 : 0);
      ASSERT_EQ(Random(n), std::uniform_int_distribution<int32_t>(0, n - 1)(reference))
          << "seed " << seed << " draw " << i;
    }
  }
  EXPECT_EQ(Random(0), 0);
  EXPECT_EQ(Random(-5), 0);
}
#endif

}  // namespace
