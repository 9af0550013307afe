#include "platform/sound_levels.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace platform {

double DecibelGain(int32_t hundredthsDb) {
  return std::pow(10.0, std::clamp(hundredthsDb, -10000, 0) / 2000.0);
}

StereoGain StereoGains(int32_t volume, int32_t pan) {
  const double gain = DecibelGain(volume);
  pan = std::clamp(pan, -10000, 10000);
  const double far = DecibelGain(-std::abs(pan));
  StereoGain g{gain, gain};
  if (pan > 0) g.left *= far;
  if (pan < 0) g.right *= far;
  return g;
}

int MixerVolume(int32_t hundredthsDb, int maxVolume) {
  return static_cast<int>(std::lround(DecibelGain(hundredthsDb) * maxVolume));
}

}  // namespace platform
