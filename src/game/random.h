// The one random number generator of the program: seeded from the clock at start-up, seeded
// explicitly by tests.
#pragma once

#include <cstdint>

// Uniform integer in 0..n-1 (0 when n <= 0).
int32_t Random(int32_t n);
// Uniform real in [0, 1).
double RandomReal();
void Randomize(uint32_t seed);
