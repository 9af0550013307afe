#include "sound_effects.h"

#include <algorithm>
#include <cmath>

#include "dsp.h"
#include "rng.h"
#include "wav_writer.h"

namespace packgen {

namespace {

using Samples = std::vector<double>;

constexpr double kPeak = 0.95;

// A short, soft tick: two decaying partials and a breath of noise.
Samples MenuClick(int n, double rate) {
  Samples s(n);
  Rng rng(1);
  for (int i = 0; i < n; ++i) {
    double t = i / rate;
    s[i] = std::sin(kTwoPi * 1750 * t) * std::exp(-t / 0.007) +
           0.6 * std::sin(kTwoPi * 880 * t) * std::exp(-t / 0.014) +
           0.25 * rng.Range(-1, 1) * std::exp(-t / 0.0015);
  }
  Finish(s, 0.8, size_t(rate * 0.0008), size_t(rate * 0.006));
  return s;
}

// Explosion: a falling sub thump under a burst of noise whose filter closes as it dies.
Samples Hit(int n, double rate) {
  Samples s(n);
  Rng rng(2);
  Svf noiseFilter, rumble;
  double phase = 0;
  for (int i = 0; i < n; ++i) {
    double t = i / rate;
    double f = 38 + 120 * std::exp(-t / 0.05);
    phase += f / rate;
    double thump = std::sin(kTwoPi * phase) * std::exp(-t / 0.22);
    double white = rng.Range(-1, 1);
    double cutoff = 200 + 5200 * std::exp(-t / 0.12);
    double noise = noiseFilter.Step(white, cutoff, rate, 0.8).low * std::exp(-t / 0.28);
    double low = rumble.Step(white, 120, rate, 1.2).low * 2.5 * std::exp(-t / 0.45);
    double crack = (rng.Unit() < 0.004 * std::exp(-t / 0.2)) ? rng.Range(-0.8, 0.8) : 0;
    s[i] = std::tanh(1.6 * (0.9 * thump + 0.8 * noise + low + crack));
  }
  Finish(s, 0.92, size_t(rate * 0.001), size_t(rate * 0.08));
  return s;
}

// Laser: a fast falling pitch sweep on a bright square with a touch of FM.
Samples Laser(int n, double rate) {
  Samples s(n);
  Svf tone;
  double phase = 0;
  for (int i = 0; i < n; ++i) {
    double t = i / rate;
    double f = 260 + 2900 * std::exp(-t / 0.045);
    phase += f / rate;
    double fm = std::sin(kTwoPi * phase * 2.01) * 0.25;
    double sq = SquareAt(phase + fm * 0.1, f, 7000);
    s[i] = tone.Step(sq, 5200, rate, 0.9).low * std::exp(-t / 0.07);
  }
  Finish(s, 0.85, size_t(rate * 0.001), size_t(rate * 0.02));
  return s;
}

// Plasma: a wobbling FM burst with a noisy whoosh, two slightly detuned voices.
Samples Plasma(int n, double rate) {
  Samples s(n);
  Rng rng(4);
  Svf whoosh;
  double pc[2] = {0, 0}, pm[2] = {0, 0};
  for (int i = 0; i < n; ++i) {
    double t = i / rate;
    double v = 0;
    for (int k = 0; k < 2; ++k) {
      double f = (150 + 520 * std::exp(-t / 0.09)) * (k ? 1.012 : 1.0);
      pm[k] += f * 1.5 / rate;
      double index = 1 + 5 * std::exp(-t / 0.12);
      pc[k] += f / rate;
      v += std::sin(kTwoPi * pc[k] + index * std::sin(kTwoPi * pm[k]));
    }
    double bp = whoosh.Step(rng.Range(-1, 1), 900 + 1800 * std::exp(-t / 0.2), rate, 2.5).band;
    double env = std::min(1.0, t / 0.006) * std::exp(-t / 0.2);
    s[i] = env * (0.45 * v + 0.9 * bp);
  }
  Finish(s, 0.9, size_t(rate * 0.002), size_t(rate * 0.06));
  return s;
}

// Rocket launch: ignition crackle, a rising roar and a long fading hiss.
Samples RocketLaunch(int n, double rate) {
  Samples s(n);
  Rng rng(5);
  Svf roar, rumble;
  for (int i = 0; i < n; ++i) {
    double t = i / rate;
    double white = rng.Range(-1, 1);
    double centre = t < 0.25 ? 300 + 2200 * (t / 0.25) : 2500 * std::exp(-(t - 0.25) / 0.5) + 350;
    double r = roar.Step(white, centre, rate, 1.6).band;
    double low = rumble.Step(white, 140, rate, 1.0).low * 3;
    double env = std::min(1.0, t / 0.03) * (t < 0.35 ? 1.0 : std::exp(-(t - 0.35) / 0.3));
    double crack = (rng.Unit() < 0.01 * std::exp(-t / 0.15)) ? rng.Range(-1, 1) : 0;
    s[i] = std::tanh(1.3 * env * (r + low * 0.6 + crack));
  }
  Finish(s, 0.9, size_t(rate * 0.003), size_t(rate * 0.1));
  return s;
}

// Skeel: the special weapon's long rising sweep with a warbling ring modulation.
Samples Skeel(int n, double rate) {
  Samples s(n);
  const double length = n / rate;
  double phase = 0;
  for (int i = 0; i < n; ++i) {
    double t = i / rate;
    double f = 180 * std::pow(14.0, t / length) * (1 + 0.02 * std::sin(kTwoPi * 11 * t));
    phase += f / rate;
    double tone = std::sin(kTwoPi * phase) + (f * 3 < 3800 ? 0.3 * std::sin(kTwoPi * 3 * phase) : 0);
    double ring = 0.6 + 0.4 * std::sin(kTwoPi * 23 * t);
    double env = std::min(1.0, t / 0.06) * std::min(1.0, (length - t) / 0.35);
    s[i] = tone * ring * env;
  }
  Finish(s, 0.85, size_t(rate * 0.005), size_t(rate * 0.05));
  return s;
}

// New stage: a short brass fanfare rising to a held major chord, with a soft echo.
Samples NewStage(int n, double rate) {
  struct Note {
    double start, end, freq, level;
  };
  const double G4 = 392.0, C5 = 523.25, E5 = 659.26, G5 = 783.99, C6 = 1046.5;
  const Note notes[] = {
      {0.00, 0.22, G4, 0.8}, {0.24, 0.46, C5, 0.8}, {0.48, 0.70, E5, 0.8}, {0.72, 1.55, G5, 0.9},
      {1.60, 1.78, E5, 0.7}, {1.80, 2.05, G5, 0.8}, {2.10, 6.20, C6, 0.8}, {2.10, 6.20, G5, 0.55},
      {2.10, 6.20, E5, 0.5}, {2.10, 6.20, C5, 0.55}};
  Samples s(n, 0.0);
  for (const Note& note : notes) {
    int a = int(note.start * rate), b = std::min(n, int((note.end + 0.35) * rate));
    double phase = 0;
    for (int i = a; i < b; ++i) {
      double t = (i - a) / rate, dur = note.end - note.start;
      double vib = 1 + (t > 0.3 ? 0.004 * std::sin(kTwoPi * 5.5 * t) : 0);
      double f = note.freq * vib;
      phase += f / rate;
      double bright = std::min(1.0, t / 0.05);
      double v = 0;
      for (int h = 1; h <= 8 && h * f < 4800; ++h) {
        double amp = std::pow(0.72, h - 1) * (h == 1 ? 1.0 : bright);
        v += amp * std::sin(kTwoPi * h * phase);
      }
      double env = std::min(1.0, t / 0.02);
      if (t > dur) env *= std::exp(-(t - dur) / 0.08);
      else if (dur > 1) env *= 0.85 + 0.15 * std::exp(-t / 0.3);
      s[i] += note.level * env * v;
    }
  }
  // Echo for space.
  const int delay = int(0.19 * rate);
  for (int i = delay; i < n; ++i) s[i] += 0.28 * s[i - delay];
  // Fade the held chord out over the last seconds.
  for (int i = 0; i < n; ++i) {
    double t = i / rate;
    if (t > 4.2) s[i] *= std::max(0.0, 1 - (t - 4.2) / 2.3);
  }
  Finish(s, 0.9, size_t(rate * 0.002), size_t(rate * 0.05));
  return s;
}

}  // namespace

std::vector<uint8_t> MakeEffectWav(int index) {
  const EffectFormat& f = kEffectFormats[index];
  const int count = f.dataBytes / (f.bits / 8);
  const double rate = f.rate;
  Samples s;
  switch (index) {
    case 0: s = MenuClick(count, rate); break;
    case 1: s = Hit(count, rate); break;
    case 2: s = Laser(count, rate); break;
    case 3: s = Plasma(count, rate); break;
    case 4: s = RocketLaunch(count, rate); break;
    case 5: s = Skeel(count, rate); break;
    default: s = NewStage(count, rate); break;
  }
  // Just below full scale whatever the fades left: the 8-bit effects keep all the resolution
  // they have, and the game's mixer sets how loud each one plays.
  double max = 1e-9;
  for (double v : s) max = std::max(max, std::fabs(v));
  for (double& v : s) v *= kPeak / max;
  return EncodeWav(f.rate, f.bits, s);
}

}  // namespace packgen
