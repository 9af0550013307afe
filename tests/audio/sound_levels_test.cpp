#include "platform/sound_levels.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(SoundLevelsTest, HundredthsOfADecibelBecomeGains) {
  const struct {
    int32_t level;
    double gain;
  } cases[] = {{0, 1.0}, {-600, 0.501187}, {-2000, 0.1}, {-800, 0.398107},
               {-10000, 0.00001}, {-20000, 0.00001}, {500, 1.0}};
  for (const auto& c : cases) EXPECT_NEAR(platform::DecibelGain(c.level), c.gain, 1e-6) << c.level;
}

TEST(SoundLevelsTest, PanAttenuatesOnlyTheFarSide) {
  const struct {
    int32_t volume, pan;
    double left, right;
  } cases[] = {
      {0, 0, 1.0, 1.0},
      {-800, -4000, 0.398107, 0.398107 * 0.01},
      {-201, 3990, 0.793414 * std::pow(10.0, -3990 / 2000.0), 0.793414},
      {0, 10000, 0.00001, 1.0},
      {0, -14000, 1.0, 0.00001},
  };
  for (const auto& c : cases) {
    const platform::StereoGain g = platform::StereoGains(c.volume, c.pan);
    EXPECT_NEAR(g.left, c.left, 1e-6) << c.pan;
    EXPECT_NEAR(g.right, c.right, 1e-6) << c.pan;
  }
}
