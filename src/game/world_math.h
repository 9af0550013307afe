// The game's trigonometry, the same on every build: compilers and C libraries may round sin and
// cos differently in the last bit, and one bit in a shot's step is another game after a while.
// The shot directions the game uses come from a table of the values this game always had (the
// GNU C library's, checked by a test); anything else, and the weave of enemy ships, from one
// portable implementation in plain IEEE double arithmetic.
#pragma once

#include <cstdint>

struct TDirection {
  double Cos;
  double Sin;
};

// The step of a shot fired at `angle` radians (0 straight down): cos and sin of angle + pi/2.
TDirection ShotDirection(double angle);
// True when ShotDirection(angle) comes from the table (tests).
bool ShotDirectionInTable(double angle);

// The sideways offset of a weaving ship at height y: 70 sin(y / 70), rounded half to even.
int32_t WeaveOffset(int32_t y);

// sin and cos by the portable implementation (argument reduction by pi/2 in two parts, then
// fdlibm's kernel polynomials); within about an ulp for |x| up to 10^5.
double PortableSin(double x);
double PortableCos(double x);
