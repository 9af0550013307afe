// The seven sound effects of the bank, synthesised to the exact formats and lengths the game's
// effect table gives. Each peaks near full scale, so that even the 8-bit ones keep their
// resolution; how loud each plays is set by the game's mixer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace packgen {

struct EffectFormat {
  const char* name;
  int rate;
  int bits;
  int dataBytes;
};

inline constexpr EffectFormat kEffectFormats[7] = {
    {"MenuClick", 8000, 8, 368},  {"Hit", 16000, 8, 16755},    {"Laser_1", 16000, 8, 2603},
    {"Plasma", 22050, 16, 29952}, {"Rocket", 22050, 8, 24130}, {"Skeel", 8000, 8, 14675},
    {"NewStage", 11025, 8, 73094}};

// The complete WAVE file of effect `index` (0..6).
std::vector<uint8_t> MakeEffectWav(int index);

}  // namespace packgen
