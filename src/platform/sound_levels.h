// Levels in hundredths of a decibel, turned into the linear gains a mixer multiplies by, the
// way DirectSound applied them.
#pragma once

#include <cstdint>

namespace platform {

struct StereoGain {
  double left = 1.0;
  double right = 1.0;
};

// 10^(hundredthsDb / 2000), with the level clamped to -10000 .. 0 (gain 0.00001 .. 1).
double DecibelGain(int32_t hundredthsDb);

// Volume and pan together: the pan (clamped to -10000 .. 10000) attenuates only the opposite
// side, by |pan| hundredths of a decibel; the near side keeps the volume's gain.
StereoGain StereoGains(int32_t volume, int32_t pan);

// The mixer's volume step (0 .. `maxVolume`) nearest to a level's gain.
int MixerVolume(int32_t hundredthsDb, int maxVolume);

}  // namespace platform
