// The RIFF WAVE reader of the sound bank: splits an effect's file into its format and samples.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

// A bad or truncated WAVE file. The texts are "Wave is invalid" for a file that does not start
// with the RIFF/WAVE header and "Stream read error" for a chunk that runs past the end.
class WaveError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The fields of a "fmt " chunk this program uses (little-endian WAVEFORMATEX layout).
struct WaveFormat {
  uint16_t FormatTag = 0;  // 1: integer PCM
  uint16_t Channels = 0;
  uint32_t SamplesPerSec = 0;
  uint16_t BitsPerSample = 0;
};

class TWave {
 public:
  // Reads a whole RIFF WAVE file. Chunks are read one after another until no further 8-byte
  // header fits; "fmt " is kept whole whatever its size, "data" gives the samples, any other
  // chunk is skipped by exactly its stated size (no pad byte after an odd size).
  // Throws WaveError.
  void LoadFromMemory(const uint8_t* bytes, size_t size);

  // The "fmt " chunk as read; false when it is missing or shorter than the 16 bytes of PCM.
  bool Format(WaveFormat& format) const;

  std::vector<uint8_t> FormatBytes;
  std::vector<uint8_t> Data;
};
