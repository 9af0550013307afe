#include "game/world_math.h"

#include <cmath>
#include <numbers>

namespace {

// Gun angle (3.15 for the player, 0 for the others) plus each turn of the fire patterns, as
// the game adds them, with cos and sin of angle + pi/2.
struct TTableDirection {
  double Angle;
  double Cos;
  double Sin;
};
constexpr TTableDirection kShotDirections[] = {
    {0x1.9333333333333p+1, 0x1.137d1a3ee27e9p-7, -0x1.fffb5e2294982p-1},    // 3.15
    {0x1.b999999999999p+1, 0x1.36d396183e88cp-2, -0x1.e7d7c9fd6e69ap-1},    // 3.15 + 0.3
    {0x1.24ccccccccccdp+3, -0x1.15d8611b58071p-2, -0x1.eccae52faa988p-1},   // 3.15 + 6.0
    {0x1.d333333333333p+1, 0x1.f27833006c358p-2, -0x1.bf3e218fd9a36p-1},   // 3.15 + 0.5
    {0x1.5333333333333p+1, -0x1.e35bf966367fep-2, -0x1.c35ebdd810f31p-1},  // 3.15 - 0.5
    {0x0p+0, 0x1.1a62633145c07p-54, 0x1p+0},                                 // 0
    {0x1.3333333333333p-2, -0x1.2e9cd95baba33p-2, 0x1.e921dd42f09bap-1},    // 0.3
    {0x1.8p+2, 0x1.1e1f18ab0a2c1p-2, 0x1.eb9b7097822f5p-1},                 // 6.0
    {0x1p-1, -0x1.eaee8744b05efp-2, 0x1.c1528065b7d5p-1},                   // 0.5
    {-0x1p-1, 0x1.eaee8744b05f1p-2, 0x1.c1528065b7d4fp-1},                  // -0.5
};

const TTableDirection* Find(double angle) {
  for (const TTableDirection& d : kShotDirections) {
    if (d.Angle == angle) return &d;
  }
  return nullptr;
}

// fdlibm's kernels on [-pi/4, pi/4].
double KernelSin(double x) {
  constexpr double S1 = -1.66666666666666324348e-01, S2 = 8.33333333332248946124e-03,
                   S3 = -1.98412698298579493134e-04, S4 = 2.75573137070700676789e-06,
                   S5 = -2.50507602534068634195e-08, S6 = 1.58969099521155010221e-10;
  const double z = x * x;
  const double v = z * x;
  const double r = S2 + z * (S3 + z * (S4 + z * (S5 + z * S6)));
  return x + v * (S1 + z * r);
}

double KernelCos(double x) {
  constexpr double C1 = 4.16666666666666019037e-02, C2 = -1.38888888888741095749e-03,
                   C3 = 2.48015872894767294178e-05, C4 = -2.75573143513906633035e-07,
                   C5 = 2.08757232129817482790e-09, C6 = -1.13596475577881948265e-11;
  const double z = x * x;
  const double r = z * (C1 + z * (C2 + z * (C3 + z * (C4 + z * (C5 + z * C6)))));
  const double hz = 0.5 * z;
  const double w = 1.0 - hz;
  return w + (((1.0 - w) - hz) + z * r);
}

// x = n pi/2 + r with |r| <= about pi/4; pi/2 in two parts, the first with 33 bits, so n times
// it is exact for the |n| < 2^20 this is meant for.
double Reduce(double x, int64_t& n) {
  constexpr double kTwoOverPi = 6.36619772367581382433e-01;
  constexpr double kPio2Hi = 1.57079632673412561417e+00;
  constexpr double kPio2Lo = 6.07710050650619224932e-11;
  const double k = std::nearbyint(x * kTwoOverPi);
  n = static_cast<int64_t>(k);
  return (x - k * kPio2Hi) - k * kPio2Lo;
}

}  // namespace

double PortableSin(double x) {
  int64_t n = 0;
  const double r = Reduce(x, n);
  switch (n & 3) {
    case 0: return KernelSin(r);
    case 1: return KernelCos(r);
    case 2: return -KernelSin(r);
    default: return -KernelCos(r);
  }
}

double PortableCos(double x) {
  int64_t n = 0;
  const double r = Reduce(x, n);
  switch (n & 3) {
    case 0: return KernelCos(r);
    case 1: return -KernelSin(r);
    case 2: return -KernelCos(r);
    default: return KernelSin(r);
  }
}

TDirection ShotDirection(double angle) {
  if (const TTableDirection* d = Find(angle)) return {d->Cos, d->Sin};
  const double heading = angle + std::numbers::pi / 2;
  return {PortableCos(heading), PortableSin(heading)};
}

bool ShotDirectionInTable(double angle) { return Find(angle) != nullptr; }

int32_t WeaveOffset(int32_t y) {
  constexpr double kAmplitude = 70.0;
  constexpr double kStretch = 70.0;  // pixels of descent per radian
  return static_cast<int32_t>(std::nearbyint(kAmplitude * PortableSin(y / kStretch)));
}
