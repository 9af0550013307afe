// Small signal-processing pieces for the synthesised effects and instrument samples.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

namespace packgen {

inline constexpr double kTwoPi = 6.283185307179586;

// State-variable filter (topology-preserving form): stable when the cutoff sweeps.
class Svf {
 public:
  // Returns low-, band- and high-pass outputs for one input sample.
  struct Out {
    double low, band, high;
  };
  Out Step(double in, double cutoffHz, double rate, double q) {
    double g = std::tan(M_PI * std::min(cutoffHz, rate * 0.45) / rate);
    double k = 1.0 / q;
    double a1 = 1 / (1 + g * (g + k)), a2 = g * a1, a3 = g * a2;
    double v3 = in - ic2_;
    double v1 = a1 * ic1_ + a2 * v3;
    double v2 = ic2_ + a2 * ic1_ + a3 * v3;
    ic1_ = 2 * v1 - ic1_;
    ic2_ = 2 * v2 - ic2_;
    return {v2, v1, in - k * v1 - v2};
  }

 private:
  double ic1_ = 0, ic2_ = 0;
};

// Band-limited sawtooth and square by summing harmonics below `maxHz`.
inline double SawAt(double phase, double freq, double maxHz) {
  double s = 0;
  for (int n = 1; n * freq < maxHz && n < 64; ++n) s += std::sin(kTwoPi * n * phase) / n;
  return s * (2 / M_PI);
}
inline double SquareAt(double phase, double freq, double maxHz) {
  double s = 0;
  for (int n = 1; n * freq < maxHz && n < 64; n += 2) s += std::sin(kTwoPi * n * phase) / n;
  return s * (4 / M_PI);
}

// Scales to the given peak and shapes the first and last samples to silence with raised-
// cosine ramps, so a sound starts and ends without a click.
inline void Finish(std::vector<double>& s, double peak, size_t fadeIn, size_t fadeOut) {
  double max = 1e-9;
  for (double v : s) max = std::max(max, std::fabs(v));
  for (double& v : s) v *= peak / max;
  fadeIn = std::min(fadeIn, s.size());
  fadeOut = std::min(fadeOut, s.size());
  for (size_t i = 0; i < fadeIn; ++i) s[i] *= 0.5 - 0.5 * std::cos(M_PI * double(i) / double(fadeIn));
  for (size_t i = 0; i < fadeOut; ++i) {
    s[s.size() - 1 - i] *= 0.5 - 0.5 * std::cos(M_PI * double(i) / double(fadeOut));
  }
}

}  // namespace packgen
