// Small RIFF WAVE files built in memory for the audio tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testwave {

inline void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

inline void PutU16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

inline void PutChunk(std::vector<uint8_t>& out, const std::string& id,
                     const std::vector<uint8_t>& body) {
  out.insert(out.end(), id.begin(), id.end());
  PutU32(out, static_cast<uint32_t>(body.size()));
  out.insert(out.end(), body.begin(), body.end());
}

// A 16-byte PCM "fmt " body.
inline std::vector<uint8_t> FmtBody(uint16_t channels, uint32_t rate, uint16_t bits) {
  std::vector<uint8_t> f;
  const uint16_t block = static_cast<uint16_t>(channels * bits / 8);
  PutU16(f, 1);
  PutU16(f, channels);
  PutU32(f, rate);
  PutU32(f, rate * block);
  PutU16(f, block);
  PutU16(f, bits);
  return f;
}

// "RIFF", length, "WAVE" and the chunks given, already encoded.
inline std::vector<uint8_t> Riff(const std::vector<uint8_t>& chunks) {
  std::vector<uint8_t> out = {'R', 'I', 'F', 'F'};
  PutU32(out, static_cast<uint32_t>(chunks.size() + 4));
  out.insert(out.end(), {'W', 'A', 'V', 'E'});
  out.insert(out.end(), chunks.begin(), chunks.end());
  return out;
}

// A mono PCM wave with the given samples.
inline std::vector<uint8_t> MonoWave(uint32_t rate, uint16_t bits,
                                     const std::vector<uint8_t>& samples) {
  std::vector<uint8_t> chunks;
  PutChunk(chunks, "fmt ", FmtBody(1, rate, bits));
  PutChunk(chunks, "data", samples);
  return Riff(chunks);
}

}  // namespace testwave
