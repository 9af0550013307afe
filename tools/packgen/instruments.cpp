#include "instruments.h"

#include <cmath>
#include <functional>

#include "dsp.h"
#include "rng.h"

namespace packgen {

namespace {

constexpr double kDrumRate = 44100;
constexpr int kCycle = 168;  // samples per cycle of the tonal instruments

// Each instrument peaks near full scale for its resolution; the game's mixer sets how loud the
// music plays.
std::vector<int16_t> ToPcm(std::vector<double> s, double peak) {
  double max = 1e-9;
  for (double v : s) max = std::max(max, std::fabs(v));
  std::vector<int16_t> out(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    out[i] = int16_t(std::lround(s[i] / max * peak * 32767));
  }
  return out;
}

// Additive tone: `attackCycles` cycles whose harmonic amplitudes follow amp(h, cycle), then
// `loopCycles` steady cycles (amp at the last attack cycle) that form the loop.
XmInstrument Additive(const char* name, int attackCycles, int loopCycles,
                      const std::function<double(int, double)>& amp, int maxHarmonic) {
  const int total = (attackCycles + loopCycles) * kCycle;
  std::vector<double> s(total, 0.0);
  for (int h = 1; h <= maxHarmonic; ++h) {
    for (int i = 0; i < total; ++i) {
      double cycle = std::min(double(i) / kCycle, double(attackCycles));
      double a = amp(h, cycle);
      if (a != 0) s[i] += a * std::sin(kTwoPi * h * double(i % kCycle) / kCycle);
    }
  }
  XmInstrument in;
  in.name = name;
  in.sample = ToPcm(s, 0.9);
  in.loopStart = uint32_t(attackCycles * kCycle);
  in.loopLength = uint32_t(loopCycles * kCycle);
  TuneSample(in, kCycle, 1.0);
  return in;
}

void OneShot(XmInstrument& in, const std::vector<double>& s, double peak) {
  in.sample = ToPcm(s, peak);
  TuneSample(in, kDrumRate, 261.6255653);
}

}  // namespace

XmInstrument MakePad(const char* name, double brightness) {
  // Three detuned saws over 128 cycles: components at 127, 128 and 129 cycles per loop are
  // each whole, so the beating chorus repeats exactly with the loop.
  const int cycles = 128, total = cycles * kCycle;
  std::vector<double> s(total, 0.0);
  for (int voice = -1; voice <= 1; ++voice) {
    double perLoop = cycles + voice;
    for (int h = 1; h <= 14; ++h) {
      double a = std::pow(brightness, h - 1) / h;
      double phase0 = 0.37 * voice * h;
      for (int i = 0; i < total; ++i) {
        s[i] += a * std::sin(kTwoPi * (h * perLoop * double(i) / total + phase0));
      }
    }
  }
  XmInstrument in;
  in.name = name;
  in.sample = ToPcm(s, 0.85);
  in.loopStart = 0;
  in.loopLength = uint32_t(total);
  TuneSample(in, kCycle, 1.0);
  in.volumeEnvelope = {{0, 0}, {24, 64}, {60, 52}, {200, 48}};
  in.sustainPoint = 3;
  in.fadeout = 500;
  in.vibratoDepth = 2;
  in.vibratoRate = 6;
  in.vibratoSweep = 40;
  return in;
}

XmInstrument MakeBell(const char* name) {
  // Harmonics 1, 2, 3, 4, 6 (an organ-like glass tone); the envelope makes it ring out.
  XmInstrument in = Additive(name, 24, 8, [](int h, double c) {
    switch (h) {
      case 1: return 1.0;
      case 2: return 0.35 + 0.2 * std::exp(-c / 6);
      case 3: return 0.05 + 0.3 * std::exp(-c / 4);
      case 4: return 0.12 * std::exp(-c / 8);
      case 6: return 0.25 * std::exp(-c / 3);
      default: return 0.0;
    }
  }, 6);
  in.volumeEnvelope = {{0, 64}, {3, 56}, {30, 30}, {90, 12}, {200, 0}};
  in.fadeout = 800;
  return in;
}

XmInstrument MakeBass(const char* name, double bite) {
  XmInstrument in = Additive(name, 40, 4, [bite](int h, double c) {
    double open = 3 + bite * 18 * std::exp(-c / 8);  // filter opens then closes
    double a = 1.0 / h * std::exp(-(h - 1) / open);
    return h == 1 ? a * 1.3 : a;
  }, 40);
  in.volumeEnvelope = {{0, 64}, {8, 56}, {40, 44}, {120, 40}};
  in.sustainPoint = 3;
  in.fadeout = 2400;
  return in;
}

XmInstrument MakeLead(const char* name, double pulse) {
  XmInstrument in = Additive(name, 24, 4, [pulse](int h, double c) {
    // Pulse wave spectrum, brighter at the start.
    double a = std::sin(M_PI * h * pulse) / h;
    return a * std::exp(-(h - 1) / (6 + 10 * std::exp(-c / 6)));
  }, 24);
  in.volumeEnvelope = {{0, 0}, {2, 64}, {12, 52}, {80, 46}};
  in.sustainPoint = 3;
  in.fadeout = 1600;
  in.vibratoDepth = 4;
  in.vibratoRate = 10;
  in.vibratoSweep = 60;
  return in;
}

XmInstrument MakePluck(const char* name) {
  XmInstrument in = Additive(name, 30, 4, [](int h, double c) {
    return std::pow(0.8, h - 1) / std::sqrt(h) * std::exp(-(h - 1) * c / 40.0);
  }, 20);
  in.volumeEnvelope = {{0, 64}, {4, 40}, {16, 14}, {40, 0}};
  in.fadeout = 3000;
  return in;
}

XmInstrument MakeKick(const char* name, double punch) {
  const int n = int(kDrumRate * 0.45);
  std::vector<double> s(n);
  double phase = 0;
  for (int i = 0; i < n; ++i) {
    double t = i / kDrumRate;
    double f = 44 + 130 * punch * std::exp(-t / 0.035);
    phase += f / kDrumRate;
    s[i] = std::tanh(1.8 * std::sin(kTwoPi * phase) * std::exp(-t / 0.16)) +
           0.3 * std::exp(-t / 0.002) * std::sin(kTwoPi * 1800 * t);
  }
  Finish(s, 1.0, 8, 400);
  XmInstrument in;
  in.name = name;
  OneShot(in, s, 0.95);
  return in;
}

XmInstrument MakeSnare(const char* name, double noise) {
  const int n = int(kDrumRate * 0.32);
  std::vector<double> s(n);
  Rng rng(77);
  Svf hp;
  double p1 = 0, p2 = 0;
  for (int i = 0; i < n; ++i) {
    double t = i / kDrumRate;
    p1 += (180 + 60 * std::exp(-t / 0.02)) / kDrumRate;
    p2 += 330 / kDrumRate;
    double tone = (std::sin(kTwoPi * p1) + 0.5 * std::sin(kTwoPi * p2)) * std::exp(-t / 0.05);
    double sn = hp.Step(rng.Range(-1, 1), 1800, kDrumRate, 0.7).high * std::exp(-t / 0.09);
    s[i] = 0.8 * tone + noise * 1.4 * sn;
  }
  Finish(s, 1.0, 8, 600);
  XmInstrument in;
  in.name = name;
  OneShot(in, s, 0.9);
  return in;
}

XmInstrument MakeHat(const char* name, double length) {
  const int n = int(kDrumRate * (length * 3 + 0.02));
  std::vector<double> s(n);
  Rng rng(88);
  Svf hp, metal;
  const double ratios[] = {2.0, 3.0, 4.16, 5.43, 6.79, 8.21};
  for (int i = 0; i < n; ++i) {
    double t = i / kDrumRate;
    double m = 0;
    for (double r : ratios) m += std::sin(kTwoPi * 410 * r * t) > 0 ? 1 : -1;
    double noiseHp = hp.Step(rng.Range(-1, 1) + 0.15 * m, 7000, kDrumRate, 0.7).high;
    double bright = metal.Step(noiseHp, 9500, kDrumRate, 1.5).band;
    s[i] = (noiseHp * 0.7 + bright) * std::exp(-t / length);
  }
  Finish(s, 1.0, 4, 200);
  XmInstrument in;
  in.name = name;
  OneShot(in, s, 0.8);
  return in;
}

}  // namespace packgen
