// The one random number generator of the game: seeded from the clock for each new game,
// seeded explicitly by tests and by the replay player. The mapping to a range is our own, so
// the sequence depends on nothing but the seed (the same on every compiler and library).
#pragma once

#include <cstdint>
#include <random>

// Uniform integer in 0..n-1 (0 when n <= 0).
int32_t Random(int32_t n);
void Randomize(uint32_t seed);
// A full 32-bit draw, for the seed of the next game.
uint32_t RandomSeed();
// A digest of the generator's state (for frame fingerprints); draws nothing.
uint64_t RandomStateDigest();
// The generator as it stands, and back to such a state (the replay checker keeps the
// caller's sequence this way).
std::mt19937 RandomSave();
void RandomRestore(const std::mt19937& state);
