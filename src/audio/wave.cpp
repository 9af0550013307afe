#include "audio/wave.h"

#include <cstring>

namespace {

uint32_t ReadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

bool IsId(const uint8_t* p, const char* id) { return std::memcmp(p, id, 4) == 0; }

}  // namespace

void TWave::LoadFromMemory(const uint8_t* bytes, size_t size) {
  if (size < 12 || !IsId(bytes, "RIFF") || !IsId(bytes + 8, "WAVE")) {
    throw WaveError("Wave is invalid");
  }
  std::vector<uint8_t> format;
  std::vector<uint8_t> data;
  size_t pos = 12;
  // Positions are kept in 64 bits: a skip may run far past the end, which just ends the loop.
  while (pos <= size && size - pos >= 8) {
    const uint8_t* header = bytes + pos;
    const uint32_t chunkSize = ReadU32(header + 4);
    pos += 8;
    const bool fits = chunkSize <= size - pos;
    if (IsId(header, "fmt ")) {
      if (!fits) throw WaveError("Stream read error");
      format.assign(bytes + pos, bytes + pos + chunkSize);
    } else if (IsId(header, "data")) {
      if (!fits) throw WaveError("Stream read error");
      data.assign(bytes + pos, bytes + pos + chunkSize);
    }
    pos += chunkSize;
  }
  FormatBytes = std::move(format);
  Data = std::move(data);
}

bool TWave::Format(WaveFormat& format) const {
  if (FormatBytes.size() < 16) return false;
  const uint8_t* p = FormatBytes.data();
  format.FormatTag = ReadU16(p);
  format.Channels = ReadU16(p + 2);
  format.SamplesPerSec = ReadU32(p + 4);
  format.BitsPerSample = ReadU16(p + 14);
  return true;
}
