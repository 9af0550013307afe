#include "game/random.h"

#include <random>

namespace {
std::mt19937 Generator{1};
}

int32_t Random(int32_t n) {
  if (n <= 0) return 0;
  return std::uniform_int_distribution<int32_t>(0, n - 1)(Generator);
}

double RandomReal() { return std::uniform_real_distribution<double>(0.0, 1.0)(Generator); }

void Randomize(uint32_t seed) { Generator.seed(seed); }
