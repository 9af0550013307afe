#include "game/random.h"

#include <random>

namespace {
// The Mersenne twister's output is fixed by the C++ standard for every seed.
std::mt19937 Generator{1};
}  // namespace

// Lemire's multiply-and-shift with rejection: exactly what libstdc++ 12 does for a 32-bit
// generator, so games played before this was written draw the same numbers.
int32_t Random(int32_t n) {
  if (n <= 0) return 0;
  const uint32_t range = static_cast<uint32_t>(n);
  uint64_t product = static_cast<uint64_t>(static_cast<uint32_t>(Generator())) * range;
  uint32_t low = static_cast<uint32_t>(product);
  if (low < range) {
    const uint32_t threshold = (0u - range) % range;
    while (low < threshold) {
      product = static_cast<uint64_t>(static_cast<uint32_t>(Generator())) * range;
      low = static_cast<uint32_t>(product);
    }
  }
  return static_cast<int32_t>(product >> 32);
}

void Randomize(uint32_t seed) { Generator.seed(seed); }

uint32_t RandomSeed() { return static_cast<uint32_t>(Generator()); }

uint64_t RandomStateDigest() {
  std::mt19937 copy = Generator;
  const uint64_t high = static_cast<uint32_t>(copy());
  return high << 32 | static_cast<uint32_t>(copy());
}

std::mt19937 RandomSave() { return Generator; }

void RandomRestore(const std::mt19937& state) { Generator = state; }
