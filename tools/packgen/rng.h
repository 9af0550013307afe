// Deterministic randomness for the generator: the same seed gives the same picture and sound
// on every machine, which the standard library's distributions do not promise.
#pragma once

#include <cmath>
#include <cstdint>

namespace packgen {

class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed) {}

  uint64_t Next() {  // splitmix64
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, 1).
  double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
  double Range(double lo, double hi) { return lo + (hi - lo) * Unit(); }
  int Int(int n) { return static_cast<int>(Next() % static_cast<uint64_t>(n)); }
  // Roughly normal, mean 0, deviation 1 (sum of uniforms keeps it cheap and deterministic).
  double Gauss() {
    double s = 0;
    for (int i = 0; i < 6; ++i) s += Unit();
    return (s - 3.0) * 1.41421356;
  }

 private:
  uint64_t state_;
};

// Value noise on an integer lattice that repeats every `px` cells across and `py` cells down,
// so pictures built from it tile without a seam.
class TileNoise {
 public:
  TileNoise(uint64_t seed, int px, int py) : seed_(seed), px_(px), py_(py) {}

  double At(double x, double y) const {
    double fx = std::floor(x), fy = std::floor(y);
    int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    double tx = Smooth(x - fx), ty = Smooth(y - fy);
    double a = Lattice(ix, iy), b = Lattice(ix + 1, iy);
    double c = Lattice(ix, iy + 1), d = Lattice(ix + 1, iy + 1);
    return (a + (b - a) * tx) * (1 - ty) + (c + (d - c) * tx) * ty;
  }
  // Sum of octaves, each doubling the lattice period so it still tiles; result about 0..1.
  double Fractal(double x, double y, int octaves) const {
    double sum = 0, amp = 0.5, norm = 0;
    for (int o = 0; o < octaves; ++o) {
      TileNoise layer(seed_ + 977u * o, px_ << o, py_ << o);
      sum += amp * layer.At(x * (1 << o), y * (1 << o));
      norm += amp;
      amp *= 0.5;
    }
    return sum / norm;
  }

 private:
  static double Smooth(double t) { return t * t * (3 - 2 * t); }
  double Lattice(int x, int y) const {
    x = ((x % px_) + px_) % px_;
    y = ((y % py_) + py_) % py_;
    uint64_t h = seed_ * 0x9E3779B97F4A7C15ull + static_cast<uint64_t>(x) * 0x632BE59BD9B4E019ull +
                 static_cast<uint64_t>(y) * 0x85157AF5ull;
    h ^= h >> 29;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 32;
    return static_cast<double>(h & 0xFFFFFF) / 16777215.0;
  }

  uint64_t seed_;
  int px_, py_;
};

}  // namespace packgen
