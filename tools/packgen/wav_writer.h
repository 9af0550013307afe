// RIFF WAVE files: a 16-byte "fmt " chunk (PCM, one channel) and the "data" chunk.
#pragma once

#include <cstdint>
#include <vector>

namespace packgen {

// Samples in -1..1 are converted to 8-bit unsigned or 16-bit signed PCM, rounded and clamped.
std::vector<uint8_t> EncodeWav(int rate, int bits, const std::vector<double>& samples);

}  // namespace packgen
