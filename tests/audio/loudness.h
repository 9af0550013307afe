// How loud a recording of the mix is to a listener: integrated loudness after EBU R128 (the
// K-weighting and the two gates of ITU-R BS.1770), measured by libebur128, and its sample peak.
#pragma once

#include <ebur128.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace loudness {

struct Figures {
  double lufs = -HUGE_VAL;  // integrated loudness; -inf when everything is gated out
  int peak = 0;             // largest absolute sample value
  size_t fullScale = 0;     // samples at full scale (+32767 or -32767/-32768)
};

// Interleaved 16-bit stereo at `rate` Hz.
inline Figures Measure(const int16_t* samples, size_t count, unsigned long rate) {
  Figures f;
  for (size_t i = 0; i < count; ++i) {
    const int s = samples[i];
    if (s >= 32767 || s <= -32767) ++f.fullScale;
    f.peak = std::max(f.peak, std::abs(s));
  }
  ebur128_state* state = ebur128_init(2, rate, EBUR128_MODE_I);
  if (!state) return f;
  if (ebur128_add_frames_short(state, samples, count / 2) == EBUR128_SUCCESS) {
    double lufs = -HUGE_VAL;
    if (ebur128_loudness_global(state, &lufs) == EBUR128_SUCCESS) f.lufs = lufs;
  }
  ebur128_destroy(&state);
  return f;
}

inline Figures Measure(const std::vector<int16_t>& samples, unsigned long rate) {
  return Measure(samples.data(), samples.size(), rate);
}

// Decibels below full scale of a peak sample value.
inline double PeakDbfs(int peak) { return 20 * std::log10(std::max(peak, 1) / 32768.0); }

}  // namespace loudness
